#include "terminals/forms/TfmTQ200.h"

#include "core/Session.h"
#include "db/Params.h"
#include "db/Tdm.h"
#include "ui/AppContext.h"
#include "ui/FormKit.h"
#include "ui/StatusLamp.h"
#include "ui/TfmUwaga.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace kzm {

namespace {

const QString form = QStringLiteral("fmTQ200");

} // namespace

TfmTQ200::TfmTQ200(WindowHost& host)
    : FunctionWindow(host, form, QStringLiteral("Praca z czytnikami kart TQ-200")),
      run_(host.ctx().s, host.ctx().dm, host.ctx().params, *this) {
    auto* column = new QVBoxLayout(this);

    // The run: lamp, date, start/stop, log switch.
    auto* top = new QHBoxLayout();
    lamp_ = new StatusLamp(lampOff, this);
    top->addWidget(lamp_);
    lbData_ = new QLabel(this);
    lbData_->setObjectName(QStringLiteral("lbData"));
    QFont bold = lbData_->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 4);
    lbData_->setFont(bold);
    lbData_->setCursor(Qt::PointingHandCursor);
    lbData_->installEventFilter(this);
    top->addWidget(lbData_);
    btnRun_ = MakeButton(QStringLiteral("Praca ciągła"), QStringLiteral("btnRun"), this);
    btnRun_->setCheckable(true);
    connect(btnRun_, &QPushButton::clicked, this, [this] { run_.click(); });
    top->addWidget(btnRun_);
    cbLog_ = new QCheckBox(QStringLiteral("Zapis historii pracy"), this);
    cbLog_->setObjectName(QStringLiteral("cbLog"));
    cbLog_->setChecked(true);
    connect(cbLog_, &QCheckBox::toggled, this, [this](bool on) { run_.logReadings = on; });
    top->addWidget(cbLog_);
    lbStan_ = new QLabel(this);
    lbStan_->setObjectName(QStringLiteral("lbStan"));
    top->addWidget(lbStan_);
    top->addStretch(1);
    auto* btnWyjscie = MakeButton(QStringLiteral("Wyjście"), QStringLiteral("btnWyjscie"), this);
    connect(btnWyjscie, &QPushButton::clicked, this, &QWidget::close);
    top->addWidget(btnWyjscie);
    column->addLayout(top);

    // The day's counts.
    auto* counts = new QGridLayout();
    const char* titles[] = {"Śniadania", "Obiady", "Kolacje"};
    const char* rows[] = {"Zaplanowane", "Wydane", "Różnica"};
    for (int c = 0; c < 3; ++c) {
        auto* t = new QLabel(QString::fromUtf8(titles[c]), this);
        t->setObjectName(QStringLiteral("lbPosilek%1").arg(c + 1));
        t->setAlignment(Qt::AlignCenter);
        t->setAutoFillBackground(true);
        mealTitles_[static_cast<size_t>(c)] = t;
        counts->addWidget(t, 0, c + 1);
    }
    for (int r = 0; r < 3; ++r) {
        counts->addWidget(new QLabel(QString::fromUtf8(rows[r]), this), r + 1, 0);
        for (int c = 0; c < 3; ++c) {
            QLineEdit* box = MakeReadOnly(QStringLiteral("edStat%1%2").arg(r).arg(c), this);
            box->setAlignment(Qt::AlignRight);
            stats_[static_cast<size_t>(r * 3 + c)] = box;
            counts->addWidget(box, r + 1, c + 1);
        }
    }
    column->addLayout(counts);

    // The terminal selector and the service panels.
    auto* middle = new QHBoxLayout();
    auto* gbCzytnik = new QGroupBox(QStringLiteral(" Czytnik "), this);
    auto* selectorRow = new QHBoxLayout(gbCzytnik);
    cbCzytnik_ = new QComboBox(gbCzytnik);
    cbCzytnik_->setObjectName(QStringLiteral("cbCzytnik"));
    cbCzytnik_->setMinimumWidth(220);
    connect(cbCzytnik_, &QComboBox::activated, this,
            [this](int index) { run_.makeCurrent(index); });
    selectorRow->addWidget(cbCzytnik_);
    middle->addWidget(gbCzytnik);
    gbService_ = new QGroupBox(QStringLiteral(" Zegar "), this);
    gbService_->setObjectName(QStringLiteral("pnSerwis"));
    auto* clock = new QHBoxLayout(gbService_);
    edDate_ = new QDateEdit(gbService_);
    edDate_->setObjectName(QStringLiteral("edData"));
    edDate_->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    edDate_->setCalendarPopup(true);
    auto* edTime = new QTimeEdit(QTime::currentTime(), gbService_);
    edTime->setObjectName(QStringLiteral("edCzas"));
    edTime->setDisplayFormat(QStringLiteral("hh:mm:ss"));
    clock->addWidget(edDate_);
    clock->addWidget(edTime);
    middle->addWidget(gbService_);
    middle->addStretch(1);
    column->addLayout(middle);

    lbHistory_ = new QListWidget(this);
    lbHistory_->setObjectName(QStringLiteral("lbHistoria"));
    column->addWidget(lbHistory_, 1);

    // Creation: the clock panel and date, the highlighted meal titles, the terminals.
    const QDate today = run_.env().today();
    edDate_->setDate(today);
    lbData_->setText(' ' + today.toString(QStringLiteral("dd.MM.yyyy")) + ' ');
    ParamStore store(ctx().dm);
    const char* counters[] = {"FCntWork01", "FCntWork02", "FCntWork03"};
    for (int c = 0; c < 3; ++c) {
        if (store.ReadParD(QString::fromLatin1(counters[c]), QDate()) != today)
            continue;
        QPalette p = mealTitles_[static_cast<size_t>(c)]->palette();
        p.setColor(QPalette::WindowText, titleHighlight);
        mealTitles_[static_cast<size_t>(c)]->setPalette(p);
    }
    run_.loadTerminals();
    for (const RegistrationRun::Terminal& t : run_.terminals())
        cbCzytnik_->addItem(QString::number(t.portNumber) + QStringLiteral("  ") + t.rec.name);
    if (!run_.terminals().empty())
        currentChanged(run_.current());
}

TfmTQ200::~TfmTQ200() = default;

void TfmTQ200::showEvent(QShowEvent* event) {
    FunctionWindow::showEvent(event);
    if (run_.terminals().empty()) {
        ctx().s.ShowMessage(QStringLiteral("Brak aktywnych urządzeń"));
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    }
}

void TfmTQ200::closeEvent(QCloseEvent* event) {
    host().setKeptWindow(objectName());
    if (running()) {
        event->ignore();
        hideKeepingAlive();
        return;
    }
    run_.close();
    host().setKeptWindow(QString());
    FunctionWindow::closeEvent(event);
}

bool TfmTQ200::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lbData_ && event->type() == QEvent::MouseButtonPress) {
        run_.Statystyka(edDate_->date());
        return true;
    }
    return FunctionWindow::eventFilter(watched, event);
}

void TfmTQ200::btnRunClick() {
    run_.startStop();
}

void TfmTQ200::TimerTimer() {
    run_.cycle();
}

QColor TfmTQ200::lamp() const {
    return lamp_->colour();
}

// ---- what the run reports

void TfmTQ200::historyCleared() {
    lbHistory_->clear();
}

void TfmTQ200::historyAdded(const QString& line) {
    lbHistory_->insertItem(0, line);
}

void TfmTQ200::historyTrimmed(int keep) {
    while (lbHistory_->count() > keep)
        delete lbHistory_->takeItem(lbHistory_->count() - 1);
}

void TfmTQ200::lampChanged(RunLamp lamp) {
    // The main window's lamp says whether the run is on; waiting for the database shows here.
    switch (lamp) {
    case RunLamp::Off:
        lamp_->setColour(lampOff);
        host().setLamp(lampOff);
        break;
    case RunLamp::On:
        lamp_->setColour(lampOn);
        host().setLamp(lampOn);
        break;
    case RunLamp::Waiting:
        lamp_->setColour(lampWaiting);
        break;
    }
}

void TfmTQ200::runningChanged(bool running) {
    ctx().registrationRunning = running;
    gbService_->setEnabled(!running);
    btnRun_->setChecked(running);
}

void TfmTQ200::stateChanged(const QString& text) {
    lbStan_->setText(text);
}

void TfmTQ200::countsChanged(const DayCounts& counts) {
    for (int c = 0; c < 3; ++c) {
        const size_t i = static_cast<size_t>(c);
        stats_[i]->setText(QString::number(counts.planned[i]));
        stats_[3 + i]->setText(QString::number(counts.issued[i]));
        stats_[6 + i]->setText(QString::number(counts.difference(c)));
    }
}

void TfmTQ200::currentChanged(int index) {
    if (cbCzytnik_->currentIndex() != index)
        cbCzytnik_->setCurrentIndex(index);
}

bool TfmTQ200::askStop(const QString& question) {
    return ctx().Ask(question, UwagaRed, true);
}

void TfmTQ200::idle() {
    QCoreApplication::processEvents();
}

} // namespace kzm
