#include "planning/forms/TfmPlan.h"

#include "core/Dates.h"
#include "core/Session.h"
#include "core/Text.h"
#include "db/Tdm.h"
#include "db/Tdmu.h"
#include "lists/forms/GridBoxes.h"
#include "planning/PlanGeneration.h"
#include "planning/PlanSums.h"
#include "ui/AppContext.h"
#include "ui/DbGrid.h"
#include "ui/FormKit.h"
#include "ui/WindowHost.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QEventLoop>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace kzm {

namespace {

const QString gridHint = QStringLiteral(" Prawy przycisk myszy uruchamia menu ");

// While another workstation makes the plan: a line on the main window and the window kept
// repainting between the tries.
class WaitingObserver : public PlanRunObserver {
public:
    explicit WaitingObserver(Tdm& dm) : dm_(dm) {}
    ~WaitingObserver() override {
        Session& s = dm_.session();
        if (told_ && s.ui.setInfoVisible)
            s.ui.setInfoVisible(false);
    }
    bool waiting() override {
        if (!told_) {
            dm_.SayInf(QStringLiteral("Plan tworzy teraz inne stanowisko, czekam na jego koniec"));
            told_ = true;
        }
        QEventLoop loop;
        QTimer::singleShot(200, &loop, &QEventLoop::quit);
        loop.exec();
        return true;
    }

private:
    Tdm& dm_;
    bool told_ = false;
};

QDateEdit* MakeDate(const QString& name, QWidget* parent) {
    auto* e = new QDateEdit(parent);
    e->setObjectName(name);
    e->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    e->setCalendarPopup(true);
    return e;
}

QAction* MakeAction(const QString& text, const QString& name, QWidget* owner) {
    auto* a = new QAction(text, owner);
    a->setObjectName(name);
    return a;
}

DbGrid* MakeSideGrid(fb::Query& q, const QString& name, std::vector<GridColumn> columns,
                     QWidget* parent) {
    auto* g = new DbGrid(q, parent);
    g->setObjectName(name);
    g->setColumns(std::move(columns));
    g->horizontalHeader()->setStretchLastSection(true);
    return g;
}

} // namespace

TfmPlan::TfmPlan(WindowHost& host, const QString& caption)
    : FunctionWindow(host, QStringLiteral("fmPlan"), caption),
      plan_(std::make_unique<PlanList>(host.ctx().dm, *host.ctx().dmu)),
      side_(std::make_unique<PlanSideLists>(host.ctx().dm)) {
    setHelpContext(20);
    auto* main = new QVBoxLayout(this);
    main->setContentsMargins(2, 2, 2, 2);
    main->setSpacing(2);
    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("pnTop"));
    buildTop(bar);
    main->addWidget(bar);

    auto* split = new QSplitter(Qt::Horizontal, this);
    split->addWidget(buildSide());
    auto* right = new QWidget(split);
    auto* rightLayout = new QGridLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    dbg_ = new DbGrid(plan_->query(), right);
    buildPlanGrid();
    rightLayout->addWidget(dbg_, 0, 0);

    pnSumy_ = new QWidget(right);
    pnSumy_->setObjectName(QStringLiteral("pnSumy"));
    pnSumy_->setAutoFillBackground(true);
    auto* sumy = new QVBoxLayout(pnSumy_);
    mSumy_ = new QPlainTextEdit(pnSumy_);
    mSumy_->setObjectName(QStringLiteral("mSumy"));
    mSumy_->setReadOnly(true);
    mSumy_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    mSumy_->setLineWrapMode(QPlainTextEdit::NoWrap);
    sumy->addWidget(mSumy_, 1);
    QPushButton* close =
        MakeButton(QStringLiteral("Zamknij"), QStringLiteral("btnZamknij"), pnSumy_);
    connect(close, &QPushButton::clicked, pnSumy_, &QWidget::hide);
    sumy->addWidget(close, 0, Qt::AlignRight);
    rightLayout->addWidget(pnSumy_, 0, 0);
    pnSumy_->hide();

    split->addWidget(right);
    split->setStretchFactor(0, 0);
    split->setStretchFactor(1, 1);
    split->setSizes({300, 900});
    main->addWidget(split, 1);
    setFocusProxy(dbg_);
}

TfmPlan::~TfmPlan() {
    // The grids go before the queries they show.
    const QList<DbGrid*> grids = findChildren<DbGrid*>();
    for (DbGrid* g : grids)
        delete g;
}

void TfmPlan::buildTop(QWidget* bar) {
    auto* rows = new QVBoxLayout(bar);
    rows->setContentsMargins(0, 0, 0, 0);
    auto* top = new QHBoxLayout;
    rows->addLayout(top);
    QPushButton* exit = MakeButton(QStringLiteral("Wyjście"), QStringLiteral("btnExit"), bar);
    connect(exit, &QPushButton::clicked, this, &QWidget::close);
    top->addWidget(exit);
    QPushButton* help = MakeButton(QStringLiteral("?"), QStringLiteral("btnHelp"), bar);
    help->setToolTip(QStringLiteral("Pomoc"));
    connect(help, &QPushButton::clicked, this, [this] {
        QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
        keyPressEvent(&f1);
    });
    top->addWidget(help);
    top->addWidget(new QLabel(QStringLiteral("Od"), bar));
    deOd_ = MakeDate(QStringLiteral("deOd"), bar);
    top->addWidget(deOd_);
    top->addWidget(new QLabel(QStringLiteral("Do"), bar));
    deDo_ = MakeDate(QStringLiteral("deDo"), bar);
    top->addWidget(deDo_);
    chMiesiac_ = MakeCheck(QString(), QStringLiteral("chMiesiac"), bar);
    top->addWidget(chMiesiac_);
    QStyle* st = style();
    QPushButton* next = MakeButton(QString(), QStringLiteral("btnNext"), bar);
    next->setIcon(st->standardIcon(QStyle::SP_ArrowRight));
    connect(next, &QPushButton::clicked, this, [this] { step(1); });
    top->addWidget(next);
    QPushButton* prev = MakeButton(QString(), QStringLiteral("btnPrev"), bar);
    prev->setIcon(st->standardIcon(QStyle::SP_ArrowLeft));
    connect(prev, &QPushButton::clicked, this, [this] { step(-1); });
    top->addWidget(prev);

    const struct {
        const char* action;
        const char* button;
        const char* text;
        const char* hint;
        QStyle::StandardPixmap icon;
        void (TfmPlan::*run)();
    } actions[] = {
        {"aOpen", "btnOpen", "", "Dopisz dane na podst.  stanu osobowego w danym okresie",
         QStyle::SP_FileDialogNewFolder, &TfmPlan::aOpenExecute},
        {"aAktuAll", "btnAktuAll", "", "Aktualizuj dane osobowe w bieżącym miesiącu",
         QStyle::SP_BrowserReload, &TfmPlan::aAktuAllExecute},
        {"aAktu", "btnAktu", "Aktualizuj dane",
         "Dane osobowe: stopień,nazwisko,jednostka. Stawka żywieniowa", QStyle::SP_CustomBase,
         &TfmPlan::aAktuExecute},
        {"aDelete", "btnDelete", "Skasuj dane ", "", QStyle::SP_CustomBase,
         &TfmPlan::aDeleteExecute},
        {"aZeruj", "btnZeruj", "Usuń zdarzenie", "", QStyle::SP_CustomBase,
         &TfmPlan::aZerujExecute},
        {"aZerujSz", "btnZerujSz", "Usuń szkodę", "", QStyle::SP_CustomBase,
         &TfmPlan::aZerujSzExecute},
    };
    for (const auto& a : actions) {
        QAction* act = MakeAction(QString::fromUtf8(a.text), QString::fromLatin1(a.action), this);
        connect(act, &QAction::triggered, this, a.run);
        QPushButton* b = MakeButton(QString::fromUtf8(a.text), QString::fromLatin1(a.button), bar);
        if (a.icon != QStyle::SP_CustomBase)
            b->setIcon(st->standardIcon(a.icon));
        b->setToolTip(QString::fromUtf8(a.hint));
        connect(b, &QPushButton::clicked, act, &QAction::trigger);
        top->addWidget(b);
    }
    QPushButton* sums = MakeButton(QStringLiteral("Sumy"), QStringLiteral("BitBtn9"), bar);
    connect(sums, &QPushButton::clicked, this, &TfmPlan::BitBtn9Click);
    top->addWidget(sums);
    top->addStretch(1);

    auto* second = new QHBoxLayout;
    rows->addLayout(second);
    cbJedn_ = new QComboBox(bar);
    cbJedn_->setObjectName(QStringLiteral("cbJedn"));
    cbJedn_->setMaxVisibleItems(30);
    cbJedn_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    cbJedn_->setMinimumContentsLength(30);
    cbJedn_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    connect(cbJedn_, &QComboBox::activated, this,
            [this](int index) { showUnit(PlanList::UnitOfEntry(cbJedn_->itemText(index))); });
    second->addWidget(cbJedn_);
    second->addWidget(new QLabel(QStringLiteral("Nr oper. lub nazwisko"), bar));
    eNrOper_ = MakeEdit(QStringLiteral("eNrOper"), bar);
    ForceCase(eNrOper_, true);
    connect(eNrOper_, &QLineEdit::returnPressed, this, &TfmPlan::bNr_operClick);
    second->addWidget(eNrOper_);
    QPushButton* show = MakeButton(QString(), QStringLiteral("bNr_oper"), bar);
    show->setIcon(st->standardIcon(QStyle::SP_FileDialogContentsView));
    show->setToolTip(QStringLiteral("Pokaż"));
    connect(show, &QPushButton::clicked, this, &TfmPlan::bNr_operClick);
    second->addWidget(show);
    chFiltruj_ = MakeCheck(QStringLiteral("Filtruj"), QStringLiteral("fNr_oper"), bar);
    connect(chFiltruj_, &QCheckBox::clicked, this, [this](bool on) {
        if (!on)
            showUnit(side_->currentUnit());
    });
    second->addWidget(chFiltruj_);

    auto* group = new QGroupBox(bar);
    group->setObjectName(QStringLiteral("gbWpisz"));
    auto* g = new QHBoxLayout(group);
    g->setContentsMargins(4, 2, 4, 2);
    QPushButton* wpisz = MakeButton(QStringLiteral("Wpisz"), QStringLiteral("BitBtn8"), group);
    connect(wpisz, &QPushButton::clicked, this, &TfmPlan::BitBtn8Click);
    g->addWidget(wpisz);
    chZdarzenie_ = MakeCheck(QStringLiteral("Zdarzenie"), QStringLiteral("chZdarzenie"), group);
    chSzkoda_ = MakeCheck(QStringLiteral("Szkoda"), QStringLiteral("chSzkoda"), group);
    chStawka_ = MakeCheck(QStringLiteral("Stawka"), QStringLiteral("chStawka"), group);
    chMiejsce_ = MakeCheck(QStringLiteral("Miejsce"), QStringLiteral("chMiejsce"), group);
    for (QCheckBox* box : {chZdarzenie_, chSzkoda_, chStawka_, chMiejsce_}) {
        connect(box, &QCheckBox::toggled, this, [this, box] { markWpisz(box); });
        g->addWidget(box);
    }
    second->addWidget(group);
    second->addStretch(1);
}

void TfmPlan::markWpisz(QCheckBox* box) {
    // A ticked box shows its caption in red bold.
    QFont f = box->font();
    f.setBold(box->isChecked());
    box->setFont(f);
    QPalette p = box->palette();
    p.setColor(QPalette::WindowText,
               box->isChecked() ? QColor(Qt::red) : palette().color(QPalette::WindowText));
    box->setPalette(p);
}

QWidget* TfmPlan::buildSide() {
    pcSide_ = new QTabWidget(this);
    pcSide_->setObjectName(QStringLiteral("pcSide"));
    dbgZdarz_ = MakeSideGrid(side_->events(), QStringLiteral("dbgZdarz"),
                             {LeftColumn(QStringLiteral("SKROT"), QStringLiteral("Skrot"), 6),
                              LeftColumn(QStringLiteral("NAZWA"), QStringLiteral("Nazwa"), 24)},
                             pcSide_);
    pcSide_->addTab(dbgZdarz_, QStringLiteral("Zdarz."));

    auto* szkody = new QWidget(pcSide_);
    auto* s = new QVBoxLayout(szkody);
    s->setContentsMargins(2, 2, 2, 2);
    dbgMiejsca_ = MakeSideGrid(
        side_->places(), QStringLiteral("dbgMiejsca"),
        {LeftColumn(QStringLiteral("MIEJSCE"), QStringLiteral("Miejsce"), 20)}, szkody);
    dbgSzkody_ = MakeSideGrid(side_->corrections(), QStringLiteral("dbgSzkody"),
                              {LeftColumn(QStringLiteral("SKROT"), QStringLiteral("Kod"), 5),
                               LeftColumn(QStringLiteral("NAZWA"), QStringLiteral("Nazwa"), 18)},
                              szkody);
    dbgStawki_ =
        MakeSideGrid(side_->rates(), QStringLiteral("dbgStawki"),
                     {LeftColumn(QStringLiteral("KOD"), QStringLiteral("Kod"), 8)}, szkody);
    s->addWidget(new QLabel(QStringLiteral("Miejsca"), szkody));
    s->addWidget(dbgMiejsca_, 1);
    s->addWidget(new QLabel(QStringLiteral("Szkody ( poprawki )"), szkody));
    s->addWidget(dbgSzkody_, 2);
    s->addWidget(new QLabel(QStringLiteral("Stawki"), szkody));
    s->addWidget(dbgStawki_, 1);
    pcSide_->addTab(szkody, QStringLiteral("Szkody ..."));

    dbgJedn_ = MakeSideGrid(side_->units(), QStringLiteral("dbgJedn"),
                            {RightColumn(QStringLiteral("NUMER"), QStringLiteral("Numer"), 5),
                             LeftColumn(QStringLiteral("NAZWA"), QStringLiteral("Nazwa"), 20)},
                            pcSide_);
    pcSide_->addTab(dbgJedn_, QStringLiteral("Jednostki"));
    connect(dbgJedn_, &QAbstractItemView::clicked, this,
            [this] { showUnit(side_->currentUnit()); });
    connect(dbgJedn_, &DbGrid::rowActivated, this, [this] { showUnit(side_->currentUnit()); });

    const std::pair<DbGrid*, PlanSide> lists[] = {{dbgZdarz_, PlanSide::Events},
                                                  {dbgSzkody_, PlanSide::Corrections},
                                                  {dbgStawki_, PlanSide::Rates},
                                                  {dbgMiejsca_, PlanSide::Places}};
    for (const auto& [grid, side] : lists) {
        grid->installEventFilter(this);
        grid->setContextMenuPolicy(Qt::CustomContextMenu);
        QAction* enter = MakeAction(QStringLiteral("Wpisz do planu"),
                                    QStringLiteral("aWpisz") + grid->objectName(), grid);
        connect(enter, &QAction::triggered, this, [this, side] { WpiszdoplanuClick(side); });
        connect(grid, &QWidget::customContextMenuRequested, this, [grid, enter](const QPoint& at) {
            QMenu menu(grid);
            menu.addAction(enter);
            menu.exec(grid->viewport()->mapToGlobal(at));
        });
        connect(grid, &DbGrid::rowActivated, this, [this, side] { WpiszdoplanuClick(side); });
    }
    dbgZdarz_->setToolTip(gridHint);
    dbgSzkody_->setToolTip(gridHint);
    return pcSide_;
}

void TfmPlan::buildPlanGrid() {
    dbg_->setObjectName(QStringLiteral("dbgPlan"));
    dbg_->setToolTip(gridHint);
    dbg_->setAlternatingRowColors(false);
    QPalette p = dbg_->palette();
    p.setColor(QPalette::Base, QColor(255, 243, 213));
    dbg_->setPalette(p);
    const auto empty = [](const fb::Value&) { return QString(); };
    const auto event = [this](const fb::Value& v) { return plan_->eventCode(v.toInt()); };
    const auto f = [](const char* field) { return QString::fromLatin1(field); };
    const auto c = [](const char* caption) { return QString::fromUtf8(caption); };
    dbg_->setColumns({
        CentredColumn(f("ID"), c(" "), 2, empty),
        RightColumn(f("NR_OPER"), c("Nr oper"), 6),
        LeftColumn(f("DATA"), c("Data"), 10),
        LeftColumn(f("DZIEN"), c("Dzień"), 3,
                   [](const fb::Value& v) { return DayName(v.toDate(), 1); }),
        LeftColumn(f("STOPIEN"), c("Stopień"), 8),
        LeftColumn(f("NAZWISKO"), c("Nazwisko"), 24),
        LeftColumn(f("IDZDARZ"), c("Ident.zdarz."), 6, event),
        CentredColumn(f("SN"), c("Śn."), 3),
        CentredColumn(f("OB"), c("Ob."), 3),
        CentredColumn(f("KO"), c("Ko."), 3),
        CentredColumn(f("WODA"), c("Wo."), 3),
        RightColumn(f("STAWKA"), c("St. żywn."), 7, &Tdmu::getCena),
        RightColumn(f("STAWKA_DW"), c("% do wypł."), 7, &Tdmu::getCena),
        RightColumn(f("STAWKA_110"), c("St.110"), 6, &Tdmu::getCena),
        RightColumn(f("STAWKA_DW110"), c("110 do wypł."), 7, &Tdmu::getCena),
        LeftColumn(f("POPRAWKA"), c("Szkoda"), 5,
                   [this](const fb::Value& v) { return plan_->correctionCode(v.toInt()); }),
        LeftColumn(f("S5"), c("S5"), 5, event),
        CentredColumn(f("MIEJSCE"), c("Miejsce"), 4,
                      [](const fb::Value& v) {
                          return v.toInt() == 0 ? QStringLiteral("W") : QStringLiteral("G");
                      }),
    });
    // Rows without an event type in red.
    dbg_->gridModel().setRowForeground([this](int row) {
        const fb::Query& q = plan_->query();
        const fb::Field* f = q.isOpen() ? q.findField(QStringLiteral("IDZDARZ")) : nullptr;
        if (!f || row >= q.fetchedRows())
            return QColor();
        return q.value(row, f->index()).toInt() == 0 ? QColor(Qt::red) : QColor();
    });
    auto* boxes = new GridBoxes(dbg_);
    boxes->setMarkColumn(
        0, [this](int row) { return plan_->isMarked(row); },
        [this](int row) { plan_->setMarked(row, !plan_->isMarked(row)); });
    for (int c : {7, 8, 9})
        boxes->setFlagColumn(c, BoxMark::Cross, {});
    boxes->setFlagColumn(10, BoxMark::Tick, {});

    KeepColumnsFitted(dbg_);
    QHeaderView* header = dbg_->horizontalHeader();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(false);
    connect(header, &QHeaderView::sectionClicked, this, &TfmPlan::sortBy);
    dbg_->installEventFilter(this);

    dbg_->setContextMenuPolicy(Qt::ActionsContextMenu);
    const auto add = [this](const char* text, const char* name, auto run) {
        QAction* a = MakeAction(QString::fromUtf8(text), QString::fromLatin1(name), dbg_);
        connect(a, &QAction::triggered, this, run);
        dbg_->addAction(a);
    };
    add("Zaznacz wszystko", "aZaznacz", [this] {
        plan_->markAll();
        dbg_->refresh();
        dbg_->viewport()->update();
    });
    add("Odznacz wszystko", "aOdznacz", [this] {
        plan_->unmarkAll();
        dbg_->viewport()->update();
    });
    add("Odwróć zaznaczenia", "aOdwroc", [this] {
        plan_->invertMarks();
        dbg_->refresh();
        dbg_->viewport()->update();
    });
    auto* sep = new QAction(dbg_);
    sep->setSeparator(true);
    dbg_->addAction(sep);
    add("Aktualizuj dane osobowe w zaznaczonych pozycjach", "aAktuMenu",
        [this] { aAktuExecute(); });
    add("Aktualizuj dane osobowe wszystkim w całym okresie", "aAktuAllMenu",
        [this] { aAktuAllExecute(); });
    add("Skasuj zaznaczone pozycje ", "aDeleteMenu", [this] { aDeleteExecute(); });
    add("Usuń zdarzenie z zaznaczonych pozycji", "aZerujMenu", [this] { aZerujExecute(); });
    add("Usuń szkodę z zaznaczonych pozycji", "aZerujSzMenu", [this] { aZerujSzExecute(); });
    add("Wpisz stawkę zaprowiantowania", "aInsStawki", [this] { aInsStawkiExecute(); });
}

// ---- show and close

void TfmPlan::showEvent(QShowEvent* event) {
    FunctionWindow::showEvent(event);
    if (event->spontaneous() || cbJedn_->count() > 0)
        return;
    AppContext& c = ctx();
    cbJedn_->addItems(plan_->unitEntries(&unitIds_));
    cbJedn_->setCurrentIndex(0);
    const QDate day = c.s.workDate.isValid() ? c.s.workDate : QDate::currentDate();
    setPeriod({day, day});
    pcSide_->setCurrentIndex(0);
    side_->open();
    for (DbGrid* g : {dbgZdarz_, dbgMiejsca_, dbgSzkody_, dbgStawki_, dbgJedn_})
        g->refresh();
    plan_->loadCodes();
}

void TfmPlan::closeEvent(QCloseEvent* event) {
    FunctionWindow::closeEvent(event);
    if (!event->isAccepted())
        return;
    plan_->closePlan();
    side_->close();
}

Period TfmPlan::period() const {
    return {deOd_->date(), deDo_->date()};
}

void TfmPlan::setPeriod(const Period& p) {
    deOd_->setDate(p.od);
    deDo_->setDate(p.dd);
}

void TfmPlan::step(int direction) {
    setPeriod(StepPeriod(period(), direction, chMiesiac_->isChecked()));
}

// ---- views

void TfmPlan::showUnit(int unit) {
    if (unit < 0)
        return;
    pnSumy_->hide();
    chFiltruj_->setChecked(false);
    plan_->openUnit(unit, period());
    side_->locateUnit(unit);
    dbgJedn_->refresh();
    dbg_->refresh();
    showOrder();
}

void TfmPlan::bNr_operClick() {
    chFiltruj_->setChecked(true);
    pnSumy_->hide();
    if (plan_->search(eNrOper_->text(), period())) {
        side_->locateUnit(plan_->firstRowUnit());
        dbgJedn_->refresh();
    }
    dbg_->refresh();
    showOrder();
}

void TfmPlan::sortBy(int column) {
    if (plan_->view() == PlanList::View::Closed || column <= 0)
        return;
    const auto& columns = dbg_->gridModel().columns();
    plan_->sort(plan_->sortRequest(columns[static_cast<size_t>(column)].field));
    dbg_->refresh();
    dbg_->viewport()->update();
    showOrder();
}

void TfmPlan::showOrder() {
    bool desc = false;
    const QString field = plan_->orderColumn(&desc);
    const auto& columns = dbg_->gridModel().columns();
    for (size_t c = 0; c < columns.size(); ++c)
        if (columns[c].field == field) {
            QHeaderView* header = dbg_->horizontalHeader();
            header->setSortIndicatorShown(true);
            header->setSortIndicator(static_cast<int>(c),
                                     desc ? Qt::DescendingOrder : Qt::AscendingOrder);
            return;
        }
}

// ---- changes

void TfmPlan::present(const ListResult& r) {
    if (r.kind == ListResult::Kind::Refused || r.kind == ListResult::Kind::Failed)
        WarnBox(this, r.title(), r.text);
}

void TfmPlan::afterAction() {
    dbg_->refresh();
    dbg_->viewport()->update();
    dbg_->setFocus();
}

void TfmPlan::runChange(PlanChange kind) {
    if (!plan_->hasRows())
        return;
    const QString refused = plan_->refusal(kind);
    if (!refused.isEmpty()) {
        WarnBox(this, caption(), refused);
        return;
    }
    if (kind == PlanChange::Delete &&
        !AskBox(this, ListController::deleteTitle, QStringLiteral("Czy naprawdę skasować?")))
        return;
    dbg_->beginUpdate();
    const ListResult r = plan_->change(kind, side_->entry());
    dbg_->endUpdate();
    afterAction();
    present(r);
}

void TfmPlan::aAktuExecute() {
    runChange(PlanChange::PersonalData);
}

void TfmPlan::aDeleteExecute() {
    runChange(PlanChange::Delete);
}

void TfmPlan::aZerujExecute() {
    runChange(PlanChange::ClearEvents);
}

void TfmPlan::aZerujSzExecute() {
    runChange(PlanChange::ClearCorrections);
}

void TfmPlan::aInsStawkiExecute() {
    runChange(PlanChange::Rates);
}

void TfmPlan::WpiszdoplanuClick(PlanSide side) {
    lastSide_ = side;
    runChange(PlanList::ChangeOf(side));
}

void TfmPlan::BitBtn8Click() {
    if (plan_->hasRows()) {
        dbg_->beginUpdate();
        const ListResult r =
            plan_->enter(chZdarzenie_->isChecked(), chSzkoda_->isChecked(), chStawka_->isChecked(),
                         chMiejsce_->isChecked(), side_->entry());
        dbg_->endUpdate();
        afterAction();
        present(r);
    }
    for (QCheckBox* box : {chZdarzenie_, chSzkoda_, chStawka_, chMiejsce_})
        box->setChecked(false);
}

void TfmPlan::makePlan(bool refresh) {
    ListResult r;
    {
        WaitingObserver waiting(ctx().dm);
        // The window repaints between days; nothing in it may start meanwhile.
        setEnabled(false);
        r = plan_->makePlan(period(), refresh, side_->currentUnit(), &waiting);
        setEnabled(true);
    }
    if (r.ok()) {
        afterAction();
        showOrder();
    }
    present(r);
}

void TfmPlan::aOpenExecute() {
    makePlan(false);
}

void TfmPlan::aAktuAllExecute() {
    makePlan(true);
}

void TfmPlan::BitBtn9Click() {
    const QString text = eNrOper_->text().trimmed();
    int nr = -1;
    if (chFiltruj_->isChecked() && IsDigits(text) && text.size() <= 9)
        nr = text.toInt();
    mSumy_->setPlainText(PlanSums(ctx().dm, period(), nr).join(u'\n'));
    pnSumy_->show();
    pnSumy_->raise();
}

// ---- keys

bool TfmPlan::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        if (watched == dbgZdarz_)
            lastSide_ = PlanSide::Events;
        else if (watched == dbgSzkody_)
            lastSide_ = PlanSide::Corrections;
        else if (watched == dbgStawki_)
            lastSide_ = PlanSide::Rates;
        else if (watched == dbgMiejsca_)
            lastSide_ = PlanSide::Places;
    }
    if (watched == dbg_ && event->type() == QEvent::KeyRelease &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space &&
        !static_cast<QKeyEvent*>(event)->isAutoRepeat()) {
        // Releasing the space bar moves to the next row.
        const QModelIndex at = dbg_->currentIndex();
        const QModelIndex next = dbg_->model()->index(at.row() + 1, std::max(0, at.column()));
        if (next.isValid())
            dbg_->setCurrentIndex(next);
        return true;
    }
    return FunctionWindow::eventFilter(watched, event);
}

} // namespace kzm
