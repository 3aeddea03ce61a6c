#include "lists/forms/TfmZdarz.h"

#include "fb/Value.h"
#include "lists/forms/GridBoxes.h"
#include "ui/FormKit.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace kzm {

namespace {

// The columns of the event grid.
enum Column {
    colMark,
    colKod,
    colNazwa,
    colStawkaDw,
    colSn,
    colOb,
    colKo,
    colWoda,
    colD110,
    colLpw,
    colGrw
};
// The flags of the meals and the water, as columns and as the list turns them over.
const struct {
    Column column;
    const char* field;
} flags[] = {{colSn, "SN"}, {colOb, "OB"}, {colKo, "KO"}, {colWoda, "WODA"}};

// The columns of "Szkody".
enum SzkodaColumn { colSzSkrot, colSzWoda, colSzStawka };

QString GrupaCell(const fb::Value& v) {
    return v.isNull() ? QString() : ZdarzList::GrupaText(v.toInt());
}

// A row of option buttons, one a number, named `name` and the number ("rbDw60"); the group's
// ids are the numbers.
QWidget* OptionRow(const QString& name, std::initializer_list<int> values, QButtonGroup*& group,
                   QWidget* parent) {
    auto* row = new QWidget(parent);
    row->setObjectName(name);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    group = new QButtonGroup(row);
    for (const int v : values) {
        auto* b = new QRadioButton(QString::number(v), row);
        b->setObjectName(name + QString::number(v));
        group->addButton(b, v);
        layout->addWidget(b);
    }
    layout->addStretch(1);
    return row;
}

QLabel* Caption(const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    return l;
}

} // namespace

TfmZdarz::TfmZdarz(WindowHost& host, const QString& caption)
    : ListWindow(host, QStringLiteral("fmZdarz"), caption),
      list_(makeList<ZdarzList>(ctx().dm, *ctx().dmu)),
      grupy_(makeList<ListController>(ctx().dm, *ctx().dmu,
                                      QStringLiteral("select * from kzm_grw order by id"),
                                      QStringLiteral("ID"), 0)),
      szkody_(makeList<SzkodyList>(ctx().dm, *ctx().dmu)),
      pane_(addList(list_, QStringLiteral("dbg"))), grw_(addList(grupy_, QStringLiteral("dbgGrw"))),
      szk_(addList(szkody_, QStringLiteral("dbgSzkody"))) {
    DbGrid* grid = pane_.grid;
    grid->setColumns({
        {QString(), QString(), 2, Qt::AlignCenter, {}},
        LeftColumn(QStringLiteral("SKROT"), QStringLiteral("Kod"), 6),
        LeftColumn(QStringLiteral("NAZWA"), QStringLiteral("Nazwa."), 30),
        RightColumn(QStringLiteral("STAWKA_DW"), QStringLiteral("Stawka do wypł."), 14),
        CentredColumn(QStringLiteral("SN"), QStringLiteral("Śn."), 4),
        CentredColumn(QStringLiteral("OB"), QStringLiteral("Ob."), 4),
        CentredColumn(QStringLiteral("KO"), QStringLiteral("Ko."), 4),
        CentredColumn(QStringLiteral("WODA"), QStringLiteral("Woda."), 4),
        RightColumn(QStringLiteral("STAWKA_DW110"), QStringLiteral("D110"), 7),
        RightColumn(QStringLiteral("LPW"), QStringLiteral("LP kol."), 6),
        {QStringLiteral("GRW"), QStringLiteral("Gr.wydr."), 14, Qt::AlignLeft | Qt::AlignVCenter,
         &GrupaCell},
    });
    grid->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // The select orders the event types by print column.
    grid->horizontalHeader()->setSortIndicatorShown(true);
    grid->horizontalHeader()->setSortIndicator(colLpw, Qt::AscendingOrder);
    auto* boxes = new GridBoxes(grid);
    boxes->setMarkColumn(colMark);
    for (const auto& f : flags)
        boxes->setFlagColumn(f.column, BoxMark::Cross,
                             [this, field = QString::fromLatin1(f.field)] { FlipFlag(field); });

    grw_.grid->setColumns({RightColumn(QStringLiteral("ID"), QStringLiteral("Nr"), 3),
                           LeftColumn(QStringLiteral("NAZWA"), QStringLiteral("nazwa"), 15)});
    szk_.grid->setColumns(
        {LeftColumn(QStringLiteral("SKROT"), QStringLiteral("skrot"), 6),
         CentredColumn(QStringLiteral("WODA"), QStringLiteral("woda"), 4),
         RightColumn(QStringLiteral("STAWKA_DW"), QStringLiteral("Stawka do wypł."), 14)});
    (new GridBoxes(szk_.grid))->setFlagColumn(colSzWoda, BoxMark::Cross, [this] { FlipWoda(); });
    // Every caption and value whole; the last column takes what room is left.
    for (DbGrid* g : {grid, grw_.grid, szk_.grid}) {
        KeepColumnsFitted(g);
        g->horizontalHeader()->setStretchLastSection(true);
    }

    // Above the grid: the print column of the current event type and the print group of the
    // marked ones.
    aUp_ = addTopAction(QStringLiteral("Kolumna na wydr."), QStringLiteral("aUp"),
                        QStringLiteral("btnUp"));
    aUp_->setIcon(style()->standardIcon(QStyle::SP_ArrowUp));
    aDown_ = addTopAction(QStringLiteral("Kolumna na wydr."), QStringLiteral("aDown"),
                          QStringLiteral("btnDown"));
    aDown_->setIcon(style()->standardIcon(QStyle::SP_ArrowDown));
    aWpiszG_ = addTopAction(QStringLiteral("Wpisz grupę"), QStringLiteral("aWpiszG"),
                            QStringLiteral("btnWpiszG"));
    aUsunG_ = addTopAction(QStringLiteral("Usuń grupę"), QStringLiteral("aUsunG"),
                           QStringLiteral("btnUsunG"));
    connect(aUp_, &QAction::triggered, this, &TfmZdarz::aUpExecute);
    connect(aDown_, &QAction::triggered, this, &TfmZdarz::aDownExecute);
    connect(aWpiszG_, &QAction::triggered, this, &TfmZdarz::aWpiszGExecute);
    connect(aUsunG_, &QAction::triggered, this, &TfmZdarz::aUsunGExecute);
    // The groups are set while browsing only, and only when there are groups.
    const auto follow = [this] {
        const bool on = pane_.aInsert->isEnabled() && !list_.grupy().isEmpty();
        aWpiszG_->setEnabled(on);
        aUsunG_->setEnabled(on);
    };
    connect(pane_.aInsert, &QAction::changed, this, follow);
    follow();

    // The event types, their panel and buttons on the left; the groups and the corrections on
    // the right.
    auto* lists = new QHBoxLayout();
    auto* left = new QVBoxLayout();
    addPanel(pane_, QStringLiteral("pnEdit"));
    placeList(pane_, left);
    lists->addLayout(left, 1);
    auto* right = new QVBoxLayout();
    right->addWidget(Caption(QStringLiteral("Grupy do wydruków"), this));
    right->addWidget(grw_.grid, 1);
    right->addWidget(Caption(QStringLiteral("Szkody"), this));
    right->addWidget(szk_.grid, 1);
    auto* stawka = new QHBoxLayout();
    stawka->addWidget(new QLabel(QStringLiteral("Do wypłaty %"), this));
    stawka->addWidget(OptionRow(QStringLiteral("rbSzDw"), {0, 60, 100}, szkodaDw_, this), 1);
    right->addLayout(stawka);
    auto* rightPanel = new QWidget(this);
    rightPanel->setObjectName(QStringLiteral("pnPrawy"));
    rightPanel->setLayout(right);
    right->setContentsMargins(0, 0, 0, 0);
    rightPanel->setFixedWidth(240);
    lists->addWidget(rightPanel);
    body()->addLayout(lists, 1);
    // Moving through the corrections shows the payout; choosing another one writes it.
    connect(szk_.grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &TfmZdarz::showStawka);
    connect(szk_.grid->model(), &QAbstractItemModel::modelReset, this, &TfmZdarz::showStawka);
    connect(szkodaDw_, &QButtonGroup::idClicked, this, &TfmZdarz::SetStawka);

    // The edit panel.
    ZdarzFields& f = list_.fields();
    addEdit(pane_, QStringLiteral("Kod"), QStringLiteral("edKod"), 5, true, f.skrot);
    addEdit(pane_, QStringLiteral("Nazwa"), QStringLiteral("edNazwa"), 30, true, f.nazwa);
    auto* meals = new QWidget(pane_.panel);
    meals->setObjectName(QStringLiteral("pnPosilki"));
    auto* mealRow = new QHBoxLayout(meals);
    mealRow->setContentsMargins(0, 0, 0, 0);
    const struct {
        const char* text;
        const char* name;
        bool& value;
    } checks[] = {{"Śniadanie", "cbSn", f.sn},
                  {"Obiad", "cbOb", f.ob},
                  {"Kolacja", "cbKo", f.ko},
                  {"Woda", "cbWoda", f.woda}};
    for (const auto& c : checks) {
        QCheckBox* check = MakeCheck(QString::fromUtf8(c.text), QString::fromLatin1(c.name), meals);
        mealRow->addWidget(check);
        pane_.showFields.push_back([check, &v = c.value] { check->setChecked(v); });
        pane_.takeFields.push_back([check, &v = c.value] { v = check->isChecked(); });
    }
    mealRow->addStretch(1);
    addField(pane_, QString(), meals);
    addOptions(QStringLiteral("Do wypłaty %"), QStringLiteral("rbDw"), {0, 60, 100, 200},
               f.stawkaDw);
    addOptions(QStringLiteral("110 do wypłaty %"), QStringLiteral("rbDw110_"), {0, 70, 150},
               f.stawkaDw110);
    cbGrupa_ = new QComboBox(pane_.panel);
    cbGrupa_->setObjectName(QStringLiteral("cbGrupa"));
    addField(pane_, QStringLiteral("Grupa do wydruków"), cbGrupa_);
    pane_.showFields.push_back(
        [this, &f] { cbGrupa_->setCurrentIndex(std::max(0, cbGrupa_->findText(f.grupa))); });
    pane_.takeFields.push_back([this, &f] { f.grupa = cbGrupa_->currentText(); });
    QSpinBox* lpw = MakeSpin(QStringLiteral("seLpw"), 1, 9999, 1, pane_.panel);
    addField(pane_, QStringLiteral("Kolumna na wydr."), lpw);
    pane_.showFields.push_back([lpw, &f] { lpw->setValue(ZdarzList::LpwOf(f.lpw)); });
    pane_.takeFields.push_back([lpw, &f] { f.lpw = QString::number(lpw->value()); });
}

QAction* TfmZdarz::addTopAction(const QString& text, const QString& name, const QString& button) {
    auto* a = new QAction(text, this);
    a->setObjectName(name);
    auto* b = new QToolButton(this);
    b->setObjectName(button);
    b->setDefaultAction(a);
    b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    // Before the stretch that ends the bar.
    topBar()->insertWidget(topBar()->count() - 1, b);
    return a;
}

void TfmZdarz::addOptions(const QString& label, const QString& name,
                          std::initializer_list<int> values, int& value) {
    QButtonGroup* group = nullptr;
    addField(pane_, label, OptionRow(name, values, group, pane_.panel));
    pane_.showFields.push_back([group, &value] {
        if (QAbstractButton* b = group->button(value))
            b->setChecked(true);
    });
    pane_.takeFields.push_back([group, &value] {
        if (group->checkedId() >= 0)
            value = group->checkedId();
    });
}

void TfmZdarz::openLists() {
    list_.open();
    grupy_.open();
    szkody_.open();
    // The groups of the panel's list as they were when the window opened.
    cbGrupa_->clear();
    cbGrupa_->addItems(list_.grupy());
}

void TfmZdarz::aUpExecute() {
    present(pane_, list_.Up());
    pane_.grid->setFocus();
}

void TfmZdarz::aDownExecute() {
    present(pane_, list_.Down());
    pane_.grid->setFocus();
}

void TfmZdarz::aWpiszGExecute() {
    WpiszGrupe(grupy_.currentKey());
}

void TfmZdarz::aUsunGExecute() {
    WpiszGrupe(0);
}

void TfmZdarz::WpiszGrupe(int grw) {
    if (list_.mode() != ListMode::Browsing || !grupy_.hasRows())
        return;
    list_.WpiszGrupe(*pane_.grid, grw);
    listsChanged();
    pane_.grid->setFocus();
}

void TfmZdarz::FlipFlag(const QString& column) {
    list_.FlipFlag(column);
    listsChanged();
}

void TfmZdarz::FlipWoda() {
    szkody_.FlipWoda();
    listsChanged();
}

void TfmZdarz::SetStawka(int stawkaDw) {
    szkody_.SetStawka(stawkaDw);
    listsChanged();
    showStawka();
}

void TfmZdarz::showStawka() {
    const int dw = szkody_.hasRows()
                       ? szkody_.query().fieldByName(QStringLiteral("STAWKA_DW")).asInteger()
                       : -1;
    if (QAbstractButton* b = szkodaDw_->button(dw)) {
        b->setChecked(true);
        return;
    }
    // No option for it: none is chosen.
    szkodaDw_->setExclusive(false);
    for (QAbstractButton* b : szkodaDw_->buttons())
        b->setChecked(false);
    szkodaDw_->setExclusive(true);
}

} // namespace kzm
