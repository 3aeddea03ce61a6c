#include "terminals/forms/TfmParam.h"

#include "core/Literals.h"
#include "core/Session.h"
#include "db/Tdm.h"
#include "db/Tdmu.h"
#include "ui/AppContext.h"
#include "ui/DbGrid.h"
#include "ui/FormKit.h"
#include "ui/TfmUwaga.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimeEdit>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace kzm {

namespace {

const QString form = QStringLiteral("fmParam");
const QString portField = QStringLiteral("PORT");

// A choice between the sound signal (item 0) and no signal (item 1).
QGroupBox* SignalChoice(const QString& title, const QString& name, QButtonGroup*& group,
                        QWidget* parent) {
    auto* box = new QGroupBox(title, parent);
    box->setObjectName(name);
    auto* column = new QVBoxLayout(box);
    group = new QButtonGroup(box);
    group->setObjectName(name);
    const QString items[] = {QStringLiteral("sygnał dźwiękowy"),
                             QStringLiteral("brak sygnalizacji")};
    for (int i = 0; i < 2; ++i) {
        auto* r = new QRadioButton(items[i], box);
        r->setObjectName(name + QString::number(i));
        group->addButton(r, i);
        column->addWidget(r);
    }
    return box;
}

// Checks the item of the index; an index without an item leaves no item checked.
void SetItemIndex(QButtonGroup* group, int index) {
    if (QAbstractButton* b = group->button(index)) {
        b->setChecked(true);
        return;
    }
    group->setExclusive(false);
    for (QAbstractButton* b : group->buttons())
        b->setChecked(false);
    group->setExclusive(true);
}

} // namespace

// ---- the window

TfmParam::TfmParam(WindowHost& host)
    : FunctionWindow(host, form, QStringLiteral("Parametry")), dm_(host.ctx().dm) {
    auto* column = new QVBoxLayout(this);
    auto* top = new QHBoxLayout();
    column->addLayout(top, 1);
    auto* left = new QVBoxLayout();
    auto* right = new QVBoxLayout();
    top->addLayout(left, 1);
    top->addLayout(right, 1);

    // General parameters.
    auto* general = new QGridLayout();
    general->addWidget(new QLabel(QStringLiteral("Godz. wydawania obiadu"), this), 0, 0);
    auto* lunch = new QHBoxLayout();
    lunch->addWidget(new QLabel(QStringLiteral("od"), this));
    teObiadOd_ = new QTimeEdit(this);
    teObiadOd_->setObjectName(QStringLiteral("teObiadOd"));
    teObiadOd_->setDisplayFormat(QStringLiteral("hh:mm"));
    lunch->addWidget(teObiadOd_);
    lunch->addWidget(new QLabel(QStringLiteral("do"), this));
    teObiadDo_ = new QTimeEdit(this);
    teObiadDo_->setObjectName(QStringLiteral("teObiadDo"));
    teObiadDo_->setDisplayFormat(QStringLiteral("hh:mm"));
    lunch->addWidget(teObiadDo_);
    lunch->addStretch(1);
    general->addLayout(lunch, 0, 1);
    general->addWidget(new QLabel(QStringLiteral("Maksymalny numer karty magnetycznej"), this), 1,
                       0);
    edMaxKodKarty_ = MakeEdit(QStringLiteral("edMaxKodKarty"), this);
    general->addWidget(edMaxKodKarty_, 1, 1);
    general->addWidget(
        new QLabel(QStringLiteral("Górna granica kodów operacyjnych dla wojska ( parametr stały )"),
                   this),
        2, 0);
    edMaxKodOper_ = MakeEdit(QStringLiteral("edMaxKodOper"), this);
    edMaxKodOper_->setReadOnly(true);
    edMaxKodOper_->setText(QStringLiteral("  5000"));
    general->addWidget(edMaxKodOper_, 2, 1);
    general->addWidget(new QLabel(QStringLiteral("Procent kwoty przypadającej na wodę"), this), 3,
                       0);
    edProcentRzlWody_ = MakeEdit(QStringLiteral("edProcentRzlWody"), this);
    general->addWidget(edProcentRzlWody_, 3, 1);
    left->addLayout(general);

    // Terminal settings of the definition selected in the grid.
    gbCom_ = new QGroupBox(QStringLiteral(" Ustawienia rejestratora "), this);
    gbCom_->setObjectName(QStringLiteral("gbCom"));
    auto* com = new QGridLayout(gbCom_);
    int row = 0;
    auto addRow = [&](const QString& label, QWidget* field) {
        com->addWidget(new QLabel(label, gbCom_), row, 0);
        com->addWidget(field, row, 1);
        ++row;
    };
    edNazwa_ = MakeEdit(QStringLiteral("edNazwa"), gbCom_);
    edNazwa_->setMaxLength(30);
    addRow(QStringLiteral("Nazwa"), edNazwa_);
    sePort_ = MakeSpin(QStringLiteral("sePort"), 0, 255, 1, gbCom_);
    addRow(QStringLiteral("COM"), sePort_);
    cbSpeed_ = new QComboBox(gbCom_);
    cbSpeed_->setObjectName(QStringLiteral("rgSpeed"));
    for (int s : ComSpeeds)
        cbSpeed_->addItem(QString::number(s), s);
    cbSpeed_->setCurrentIndex(-1);
    addRow(QStringLiteral("Szybkość transmisji"), cbSpeed_);
    cbAktywny_ =
        MakeCheck(QStringLiteral("Urządzenie aktywne"), QStringLiteral("cbAktywny"), gbCom_);
    com->addWidget(cbAktywny_, row++, 0, 1, 2);
    seTimeoutR_ = MakeSpin(QStringLiteral("seTimeoutR"), 100, 2000, 100, gbCom_);
    addRow(QStringLiteral("Timeout czytania"), seTimeoutR_);
    seTimeoutW_ = MakeSpin(QStringLiteral("seTimeoutW"), 100, 2000, 100, gbCom_);
    seTimeoutW_->setValue(200);
    addRow(QStringLiteral("Timeout zapisu"), seTimeoutW_);
    cbRS485_ = MakeCheck(QStringLiteral("Standard RS485"), QStringLiteral("cbRS485"), gbCom_);
    com->addWidget(cbRS485_, row++, 0, 1, 2);
    seNumScan_ = MakeSpin(QStringLiteral("seNumScan"), 1, 31, 1, gbCom_);
    addRow(QStringLiteral("Numer czytnika"), seNumScan_);
    edNrInstalacji_ = MakeEdit(QStringLiteral("edNrInstalacji"), gbCom_);
    addRow(QStringLiteral("Nr instalacji czytników"), edNrInstalacji_);
    edClearTimeout_ = MakeEdit(QStringLiteral("edClearTimeout"), gbCom_);
    addRow(QStringLiteral("Po zerowaniu pamięci przed ładowaniem blokad"), edClearTimeout_);
    edLoadTimeout_ = MakeEdit(QStringLiteral("edLoadTimeout"), gbCom_);
    addRow(QStringLiteral("Timeout po ładowaniu każdej karty"), edLoadTimeout_);
    cbNumInst3Zn_ = MakeCheck(QStringLiteral("Nr instalacji - ważne 3 znaki"),
                              QStringLiteral("cbNumInst3Zn"), gbCom_);
    com->addWidget(cbNumInst3Zn_, row++, 0, 1, 2);
    cbTq700_ = MakeCheck(QStringLiteral("TQ 700"), QStringLiteral("cbTq700"), gbCom_);
    com->addWidget(cbTq700_, row++, 0, 1, 2);
    auto* signal = new QHBoxLayout();
    seAlarm_ = MakeSpin(QStringLiteral("seAlarm"), 0, 15, 1, gbCom_);
    seAlarm_->setValue(1);
    signal->addWidget(seAlarm_);
    cbBaseAlarm_ = MakeCheck(QStringLiteral("0.1 SEK"), QStringLiteral("cbBaseAlarm"), gbCom_);
    signal->addWidget(cbBaseAlarm_);
    signal->addStretch(1);
    com->addWidget(new QLabel(QStringLiteral("Czas trwania sygnału dźwiękowego "), gbCom_), row, 0);
    com->addLayout(signal, row++, 1);
    btnSaveCom_ = MakeButton(QStringLiteral("Zachowaj"), QStringLiteral("btnSaveCom"), gbCom_);
    com->addWidget(btnSaveCom_, row++, 1, Qt::AlignRight);
    left->addWidget(gbCom_);
    left->addStretch(1);

    // The personalizer.
    auto* personalizer = new QGridLayout();
    personalizer->addWidget(new QLabel(QStringLiteral("Numer portu dla personalizatora COM"), this),
                            0, 0);
    seComp_ = MakeSpin(QStringLiteral("seComp"), 0, 255, 1, this);
    personalizer->addWidget(seComp_, 0, 1);
    cbCpAkt_ =
        MakeCheck(QStringLiteral("Praca z personalizatorem"), QStringLiteral("cbCpAkt"), this);
    personalizer->addWidget(cbCpAkt_, 1, 0);
    cbPrsnUsb_ = MakeCheck(QStringLiteral("USB"), QStringLiteral("cbPrsnUsb"), this);
    personalizer->addWidget(cbPrsnUsb_, 1, 1);
    right->addLayout(personalizer);

    // The terminal definitions.
    dbgCom_ = new DbGrid(dm_.QTmp, this);
    dbgCom_->setObjectName(QStringLiteral("dbgCom"));
    dbgCom_->setSelectionMode(QAbstractItemView::SingleSelection);
    GridColumn port{
        QStringLiteral("PORT"), QStringLiteral("Port"), 6, Qt::AlignRight | Qt::AlignVCenter, {}};
    GridColumn nazwa{
        QStringLiteral("NAZWA"), QStringLiteral("Nazwa"), 30, Qt::AlignLeft | Qt::AlignVCenter, {}};
    GridColumn aktywny{QStringLiteral("AKTYWNY"), QStringLiteral("Aktywny"), 8,
                       Qt::AlignLeft | Qt::AlignVCenter, &AktywnyText};
    dbgCom_->setColumns({port, nazwa, aktywny});
    dbgCom_->horizontalHeader()->setSortIndicatorShown(true);
    dbgCom_->horizontalHeader()->setSortIndicator(0, Qt::AscendingOrder);
    connect(dbgCom_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid())
                    ComAfterScroll();
            });
    right->addWidget(dbgCom_, 1);
    auto* definitions = new QHBoxLayout();
    btnDopisz_ = MakeButton(QStringLiteral("Dopisz"), QStringLiteral("btnDopisz"), this);
    btnUsun_ = MakeButton(QStringLiteral("Usuń"), QStringLiteral("btnUsun"), this);
    definitions->addWidget(btnDopisz_);
    definitions->addWidget(btnUsun_);
    definitions->addStretch(1);
    right->addLayout(definitions);

    // Messages on the terminals.
    cbWdnBzKmnkt_ = MakeCheck(QStringLiteral("Wydanie posiłku bez komunikatu"),
                              QStringLiteral("cbWdnBzKmnkt"), this);
    right->addWidget(cbWdnBzKmnkt_);
    auto* choices = new QHBoxLayout();
    gbSygnalWyd_ = SignalChoice(QStringLiteral(" Wydanie posiłku "), QStringLiteral("rgSygnalWyd"),
                                rgSygnalWyd_, this);
    choices->addWidget(gbSygnalWyd_);
    choices->addWidget(SignalChoice(QStringLiteral(" Blokada wydania posiłku "),
                                    QStringLiteral("rgSygnalBlok"), rgSygnalBlok_, this));
    right->addLayout(choices);
    cbBlkWdnBzKmnkt_ = MakeCheck(QStringLiteral("Blokada wydania posiłku bez komunikatu"),
                                 QStringLiteral("cbBlkWdnBzKmnkt"), this);
    right->addWidget(cbBlkWdnBzKmnkt_);

    auto* bottom = new QHBoxLayout();
    bottom->addStretch(1);
    btnSave_ = MakeButton(QStringLiteral("Zachowaj"), QStringLiteral("btnSave"), this);
    btnWyjscie_ = MakeButton(QStringLiteral("Wyjście"), QStringLiteral("btnWyjscie"), this);
    bottom->addWidget(btnSave_);
    bottom->addWidget(btnWyjscie_);
    column->addLayout(bottom);

    connect(btnSaveCom_, &QPushButton::clicked, this, &TfmParam::btnSaveComClick);
    connect(btnSave_, &QPushButton::clicked, this, &TfmParam::btnSaveClick);
    connect(btnDopisz_, &QPushButton::clicked, this, &TfmParam::btnDopiszClick);
    connect(btnUsun_, &QPushButton::clicked, this, &TfmParam::btnUsunClick);
    connect(btnWyjscie_, &QPushButton::clicked, this, &QWidget::close);
    connect(cbRS485_, &QCheckBox::toggled, this, &TfmParam::cbRS485Click);
    connect(cbTq700_, &QCheckBox::toggled, this, &TfmParam::cbTq700Click);
    connect(cbPrsnUsb_, &QCheckBox::toggled, this, &TfmParam::cbPrsnUsbClick);
    connect(cbWdnBzKmnkt_, &QCheckBox::toggled, this, &TfmParam::cbWdnBzKmnktClick);

    cbRS485Click();
    cbTq700Click();
    cbPrsnUsbClick();
    cbWdnBzKmnktClick();
}

TfmParam::~TfmParam() {
    if (formShown_ && !closing_)
        dm_.CloseQTmp();
}

void TfmParam::showEvent(QShowEvent* event) {
    FunctionWindow::showEvent(event);
    if (formShown_)
        return;
    formShown_ = true;
    FormShow();
}

void TfmParam::FormShow() {
    const GlobalParams& g = ctx().params;
    seComp_->setValue(g.COMP);
    cbCpAkt_->setChecked(g.CPAKT);
    teObiadOd_->setTime(g.OBIAD_OD);
    teObiadDo_->setTime(g.OBIAD_DO);
    SetItemIndex(rgSygnalWyd_, g.SYGNAL_WYD);
    SetItemIndex(rgSygnalBlok_, g.SYGNAL_BLOK);
    cbWdnBzKmnkt_->setChecked(g.WdnBzKmnkt);
    cbBlkWdnBzKmnkt_->setChecked(g.BlkWdnBzKmnkt);
    edProcentRzlWody_->setText(QString::number(g.ProcentRzlWody, 'f', 2));
    dm_.OpenQTmp(QStringLiteral("select * from kzm_comdef"));
    showDefinitions();
}

void TfmParam::showDefinitions() {
    dbgCom_->refresh();
    ComAfterScroll();
}

void TfmParam::reopenOn(int port, int numScan) {
    fb::Query& q = dm_.QTmp;
    dm_.ReOpenQ(q, portField, port);
    if (numScan >= 0 && q.isOpen()) {
        // Several terminals of one line share the port: the one with the number.
        q.fetchAll();
        const int portColumn = q.fieldByName(portField).index();
        const int scanColumn = q.fieldByName(QStringLiteral("NUMSCAN")).index();
        for (int r = 0; r < q.fetchedRows(); ++r)
            if (q.value(r, portColumn).toInt() == port &&
                q.value(r, scanColumn).toInt() == numScan) {
                q.moveTo(r);
                break;
            }
    }
    showDefinitions();
}

void TfmParam::ComAfterScroll() {
    if (closing_)
        return;
    const fb::Query& q = dm_.QTmp;
    const bool hasRow = q.isOpen() && !q.isEmpty();
    btnSaveCom_->setEnabled(hasRow);
    btnUsun_->setEnabled(hasRow);
    if (hasRow) {
        auto col = [&](const char* name) {
            return q.fieldByName(QString::fromLatin1(name)).asInteger();
        };
        edNazwa_->setText(q.fieldByName(QStringLiteral("NAZWA")).asString());
        sePort_->setValue(col("PORT"));
        seNumScan_->setValue(col("NUMSCAN"));
        seTimeoutR_->setValue(col("TIMEOUT_R"));
        seTimeoutW_->setValue(col("TIMEOUT_W"));
        seAlarm_->setValue(col("ALARM"));
        // The boxes show what is stored; the rules for the other fields apply below.
        loadingRow_ = true;
        cbRS485_->setChecked(col("RS485") == 1);
        cbTq700_->setChecked(col("TQ700") == 1);
        loadingRow_ = false;
        cbNumInst3Zn_->setChecked(col("NUMINST3ZN") == 1);
        cbAktywny_->setChecked(col("AKTYWNY") == 1);
        cbBaseAlarm_->setChecked(col("BASE_ALARM") == 32);
        rowSpeed_ = col("SPEED");
        const int speed = cbSpeed_->findData(rowSpeed_);
        if (speed >= 0)
            cbSpeed_->setCurrentIndex(speed);
    }
    const GlobalParams& g = ctx().params;
    edNrInstalacji_->setText(QString::number(g.NR_INSTALACJI));
    edClearTimeout_->setText(QString::number(g.CLEARTIMEOUT));
    edLoadTimeout_->setText(QString::number(g.LOADTIMEOUT));
    edMaxKodKarty_->setText(QString::number(g.MAXKODKARTY));
    loadingRow_ = true;
    cbTq700Click();
    loadingRow_ = false;
}

// ---- dependent fields

void TfmParam::cbRS485Click() {
    const bool on = cbRS485_->isChecked();
    seNumScan_->setEnabled(on);
    edClearTimeout_->setEnabled(on);
}

void TfmParam::cbTq700Click() {
    const bool tq700 = cbTq700_->isChecked();
    // A TQ700 always works on RS-485; a loaded TQ200 row keeps the line variant it has.
    if (tq700 || !loadingRow_)
        cbRS485_->setChecked(tq700);
    cbRS485_->setEnabled(!tq700);
    cbSpeed_->setEnabled(!tq700);
    edNrInstalacji_->setEnabled(!tq700);
    cbNumInst3Zn_->setEnabled(!tq700);
    cbRS485Click();
}

void TfmParam::cbPrsnUsbClick() {
    const bool usb = cbPrsnUsb_->isChecked();
    seComp_->setEnabled(!usb);
    cbCpAkt_->setEnabled(!usb);
}

void TfmParam::cbWdnBzKmnktClick() {
    gbSygnalWyd_->setEnabled(!cbWdnBzKmnkt_->isChecked());
}

// ---- saving

ComDefFields TfmParam::comDefFields() const {
    ComDefFields f;
    f.nazwa = edNazwa_->text();
    f.port = sePort_->value();
    f.speed = cbSpeed_->currentIndex() >= 0 ? cbSpeed_->currentData().toInt() : rowSpeed_;
    f.aktywny = cbAktywny_->isChecked();
    f.timeoutR = seTimeoutR_->value();
    f.timeoutW = seTimeoutW_->value();
    f.numInst = ctx().params.NR_INSTALACJI;
    f.alarm = seAlarm_->value();
    f.baseAlarm = BaseAlarmOf(cbBaseAlarm_->isChecked());
    f.numScan = seNumScan_->value();
    f.rs485 = cbRS485_->isChecked();
    f.tq700 = cbTq700_->isChecked();
    f.numInst3Zn = cbNumInst3Zn_->isChecked();
    return f;
}

ParamFields TfmParam::paramFields() const {
    ParamFields f;
    f.nrInstalacji = edNrInstalacji_->text();
    f.clearTimeout = edClearTimeout_->text();
    f.loadTimeout = edLoadTimeout_->text();
    f.sygnalWyd = rgSygnalWyd_->checkedId();
    f.sygnalBlok = rgSygnalBlok_->checkedId();
    f.obiadOd = teObiadOd_->time();
    f.obiadDo = teObiadDo_->time();
    f.maxKodKarty = edMaxKodKarty_->text();
    f.comp = seComp_->value();
    f.cpakt = cbCpAkt_->isChecked();
    f.wdnBzKmnkt = cbWdnBzKmnkt_->isChecked();
    f.blkWdnBzKmnkt = cbBlkWdnBzKmnkt_->isChecked();
    f.procentRzlWody = edProcentRzlWody_->text();
    return f;
}

void TfmParam::btnSaveComClick() {
    if (!dm_.QTmp.isOpen() || dm_.QTmp.isEmpty())
        return;
    const int oldPort = dm_.QTmp.fieldByName(portField).asInteger();
    const int oldNumScan = dm_.QTmp.fieldByName(QStringLiteral("NUMSCAN")).asInteger();
    const ComDefFields f = comDefFields();
    dm_.RunSQL(ComDefUpdateStatement(f, oldPort, oldNumScan));
    reopenOn(f.port, f.numScan);
}

void TfmParam::btnSaveClick() {
    const ParamFields f = paramFields();
    // The personalizer's port is taken only while the personalizer is in use.
    if (f.cpakt && dm_.Jest(PersonalizerClashStatement(f.comp))) {
        const QString terminal = dm_.MQReadString(
            QStringLiteral("NAZWA"),
            QStringLiteral("select nazwa from kzm_comdef where port=") + QString::number(f.comp));
        ctx().s.ShowMessage(PersonalizerClashMessage(f.comp, terminal));
        return;
    }
    GlobalParams& g = ctx().params;
    TakeParams(f, g);
    ParamStore store(dm_);
    WriteParams(store, g);
}

void TfmParam::btnDopiszClick() {
    // The definitions as they stand now, also those another workstation has added.
    dm_.ReOpenQ(dm_.QTmp, portField, -1);
    fb::Query& q = dm_.QTmp;
    std::vector<int> used;
    if (q.isOpen()) {
        q.fetchAll();
        const int column = q.fieldByName(portField).index();
        for (int r = 0; r < q.fetchedRows(); ++r)
            used.push_back(q.value(r, column).toInt());
    }
    // Neither the saved nor the shown personalizer port, so that saving the parameters is not
    // refused once the personalizer is switched on.
    const int port = NextFreePort(used, {ctx().params.COMP, seComp_->value()});
    dm_.RunSQL(ComDefInsertStatement(NewComDef(port, ctx().params.NR_INSTALACJI)));
    reopenOn(port);
}

void TfmParam::btnUsunClick() {
    fb::Query& q = dm_.QTmp;
    if (!q.isOpen() || q.isEmpty())
        return;
    if (!ctx().Ask(QStringLiteral("Czy naprawdę skasować?"), UwagaRed, true))
        return;
    const int port = q.fieldByName(portField).asInteger();
    const int numScan = q.fieldByName(QStringLiteral("NUMSCAN")).asInteger();
    const int next = Tdmu::NextID(q, portField);
    const int nextScan = q.fieldByName(QStringLiteral("NUMSCAN")).asInteger();
    dm_.RunSQL(ComDefDeleteStatement(port, numScan));
    reopenOn(next, nextScan);
}

void TfmParam::closeEvent(QCloseEvent* event) {
    closing_ = true;
    dm_.CloseQTmp();
    FunctionWindow::closeEvent(event);
}

} // namespace kzm
