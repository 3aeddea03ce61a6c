#include "lists/forms/TfmOsoby.h"

#include "core/Session.h"
#include "db/Tdmu.h"
#include "lists/OsobyList.h"
#include "ui/FormKit.h"
#include "ui/TfmUwaga.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace kzm {

const QString TfmOsoby::prsnOff = QStringLiteral("Personalizator - nieaktywny");
const QString TfmOsoby::prsnOn = QStringLiteral("Personalizator - aktywny");

namespace {

constexpr Qt::Alignment alignLeft = Qt::AlignLeft | Qt::AlignVCenter;
constexpr Qt::Alignment alignRight = Qt::AlignRight | Qt::AlignVCenter;

// The water rate as the canteen knows it: 990 is the 166% rate of soldiers, 991 the 160% rate
// of civilian employees.
QString StawkaWodyText(const fb::Value& v) {
    if (v.isNull())
        return {};
    switch (v.toInt()) {
    case 0:
        return {};
    case 990:
        return QStringLiteral("166");
    case 991:
        return QStringLiteral("160");
    default:
        return QString::number(v.toInt());
    }
}

QString CywilText(const fb::Value& v) {
    return v.isNull() || v.toInt() == 0 ? QString() : QStringLiteral("✓");
}

// A unit of the unit filter: its number's last two characters right-aligned, "." and its name.
QString JednostkaText(const QString& numer, const QString& nazwa) {
    return numer.right(2).rightJustified(2, u' ') + u'.' + nazwa.trimmed();
}

// Rows of a choice grid shown at once.
constexpr int choiceRows = 5;

} // namespace

TfmOsoby::TfmOsoby(WindowHost& host, const QString& caption)
    : ListWindow(host, QStringLiteral("fmOsoby"), caption),
      osoby_(makeList<OsobyList>(ctx().dm, *ctx().dmu)),
      persons_(addList(osoby_, QStringLiteral("dbg"))),
      assignments_(
          addList(osoby_.przydzialy(), QStringLiteral("dbgPrz"),
                  {QStringLiteral("aPrzIns"), QStringLiteral("aPrzChn"), QStringLiteral("aPrzDel"),
                   QStringLiteral("aPrzSave"), QStringLiteral("aPrzCan")})),
      stopnie_(makeList<ListController>(
          ctx().dm, *ctx().dmu, QStringLiteral("select id,skrot,nazwa from kzm_stopnie order by 2"),
          QStringLiteral("ID"), 0)),
      jednostki_(makeList<ListController>(
          ctx().dm, *ctx().dmu,
          QStringLiteral("select id,numer,nazwa from kzm_jednostki order by nazwa"),
          QStringLiteral("ID"), 0)),
      personalizer_(ctx().s.ini) {
    persons_.grid->setColumns({
        {QStringLiteral("NRJEDN"), QStringLiteral("Nr jedn."), 8, alignRight, {}},
        {QStringLiteral("NR_OPER"), QStringLiteral("Nr operacyjny"), 14, alignRight, {}},
        {QStringLiteral("NR_IDENT"), QStringLiteral("Identyfikator"), 13, alignLeft, {}},
        {QStringLiteral("NAZWISKO"), QStringLiteral("Nazwisko i imię"), 42, alignLeft, {}},
        {QStringLiteral("IDSTOPIEN"), QStringLiteral("Stopień"), 10, alignLeft,
         [this](const fb::Value& v) { return v.isNull() ? QString() : skroty_.value(v.toInt()); }},
        {QStringLiteral("IDSTAWKA"), QStringLiteral("Stawka żywn."), 13, Qt::AlignCenter,
         &Tdmu::getStawka},
        {QStringLiteral("IDSTAWKAW"), QStringLiteral("Stawka za wodę"), 16, Qt::AlignCenter,
         &StawkaWodyText},
        {QStringLiteral("CYWIL"), QStringLiteral("Prac. cywil."), 12, Qt::AlignCenter, &CywilText},
    });
    assignments_.grid->setColumns({
        {QStringLiteral("OD_KIEDY"), QStringLiteral("Od kiedy"), 13, Qt::AlignCenter,
         &Tdmu::getData},
        {QStringLiteral("IDSTAWKA"), QStringLiteral("Stawka"), 8, Qt::AlignCenter,
         &Tdmu::getStawka},
        {QStringLiteral("NUMER"), QStringLiteral("Nr"), 5, alignRight, {}},
        {QStringLiteral("NAZWA"), QStringLiteral("Jednostka"), 26, alignLeft, {}},
    });
    // The history is as wide as its columns, its unit's name taking what is left; the persons
    // take the rest of the window.
    DbGrid* history = assignments_.grid;
    history->setMinimumWidth(history->horizontalHeader()->length() + 2 * history->frameWidth() +
                             history->verticalScrollBar()->sizeHint().width());
    history->horizontalHeader()->setStretchLastSection(true);
    persons_.tabTo = assignments_.grid;
    assignments_.tabTo = persons_.grid;

    // The person panel.
    addPanel(persons_, QStringLiteral("pnEdit"));
    OsobaFields& f = osoby_.fields();
    FilterKeys(addEdit(persons_, QStringLiteral("Nr operacyjny"), QStringLiteral("edNrOper"), 9,
                       false, f.nrOper),
               KeyFilter::Digits);
    edNrIdent_ = addEdit(persons_, QStringLiteral("Identyfikator"), QStringLiteral("edNrIdent"), 14,
                         false, f.nrIdent);
    FilterKeys(edNrIdent_, KeyFilter::Digits);
    addEdit(persons_, QStringLiteral("Nazwisko"), QStringLiteral("edNazwisko"), 40, true,
            f.nazwisko);
    addChoiceGrid(persons_, QStringLiteral("Stopień"), QStringLiteral("dbgStopnie"), stopnie_,
                  {{QStringLiteral("SKROT"), QStringLiteral("Skrót"), 10, alignLeft, {}},
                   {QStringLiteral("NAZWA"), QStringLiteral("Nazwa"), 24, alignLeft, {}}},
                  f.idStopien);
    addStawka(persons_, QStringLiteral("gbStawka"), f.idStawka);

    // The assignment panel.
    addPanel(assignments_, QStringLiteral("pnPrz"));
    PrzydzialFields& p = osoby_.przydzialy().fields();
    addDate(assignments_, QStringLiteral("Przydział do jednostki od dnia"),
            QStringLiteral("deOdKiedy"), p.odKiedy);
    // The long label in two lines keeps the panel as narrow as the history above it.
    if (auto* label =
            qobject_cast<QLabel*>(assignments_.fieldLayout->itemAtPosition(0, 0)->widget()))
        label->setWordWrap(true);
    addChoiceGrid(assignments_, QString(), QStringLiteral("dbgJedn"), jednostki_,
                  {{QStringLiteral("NUMER"), QStringLiteral("Nr"), 5, alignRight, {}},
                   {QStringLiteral("NAZWA"), QStringLiteral("Jednostka"), 22, alignLeft, {}}},
                  p.idJedn);
    addStawka(assignments_, QStringLiteral("gbStawkaPrz"), p.idStawka, Qt::Vertical);

    // The persons with their panel and buttons on the left, the history beside them.
    topBar()->insertWidget(1, makeTopBar());
    auto* personsColumn = new QVBoxLayout();
    personsColumn->addWidget(persons_.grid, 1);
    personsColumn->addWidget(persons_.panel);
    auto* personButtons = new QHBoxLayout();
    personButtons->addWidget(makeButtonRow(&persons_));
    btnIdent_ = MakeButton(QStringLiteral("Identyfikatory"), QStringLiteral("btnIdent"), this);
    btnIdent_->setCheckable(true);
    connect(btnIdent_, &QPushButton::toggled, this, &TfmOsoby::btnIdentClick);
    nrIdent2_ = MakeEdit(QStringLiteral("nr_ident2"), this);
    nrIdent2_->setMaxLength(14);
    nrIdent2_->setFixedWidth(nrIdent2_->fontMetrics().horizontalAdvance(QString(14, u'0')) + 16);
    FilterKeys(nrIdent2_, KeyFilter::Digits);
    nrIdent2_->hide();
    connect(nrIdent2_, &QLineEdit::returnPressed, this, &TfmOsoby::nr_ident2Enter);
    QPushButton* eksport =
        MakeButton(QStringLiteral("Eksport danych"), QStringLiteral("btnEksport"), this);
    eksport->setEnabled(false);
    btnPrsn_ = MakeButton(prsnOff, QStringLiteral("btnPrsn"), this);
    btnPrsn_->setHidden(!ctx().params.CPAKT);
    connect(btnPrsn_, &QPushButton::clicked, this, &TfmOsoby::btnPrsnClick);
    showPrsn(false);
    for (QWidget* widget : std::initializer_list<QWidget*>{btnIdent_, nrIdent2_, eksport, btnPrsn_})
        personButtons->addWidget(widget);
    personButtons->addStretch(1);
    personsColumn->addLayout(personButtons);

    auto* columns = new QHBoxLayout();
    columns->addLayout(personsColumn, 1);
    QWidget* historyColumn = makeHistory();
    // The history keeps one width, its panel open or not; the persons take the rest.
    assignments_.panel->setVisible(true);
    const int withPanel = historyColumn->minimumSizeHint().width();
    assignments_.panel->setVisible(false);
    historyColumn->setFixedWidth(std::max(withPanel, historyColumn->sizeHint().width()));
    columns->addWidget(historyColumn);
    body()->addLayout(columns, 1);

    // In identity entry mode every move to another person puts the cursor into the entry field.
    connect(persons_.grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid() && identMode_)
                    nrIdent2_->setFocus();
            });
}

TfmOsoby::~TfmOsoby() {
    // The choice grids show lists of the window's: they go before the lists do.
    for (DbGrid* grid : choiceGrids_)
        delete grid;
}

QWidget* TfmOsoby::makeTopBar() {
    auto* bar = new QWidget(this);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    QPushButton* first = MakeButton(QStringLiteral("Pierwsza"), QStringLiteral("btnFirst"), bar);
    QPushButton* last = MakeButton(QStringLiteral("Ostatnia"), QStringLiteral("btnLast"), bar);
    connect(first, &QPushButton::clicked, this, [this] { moveToEnd(false); });
    connect(last, &QPushButton::clicked, this, [this] { moveToEnd(true); });
    row->addWidget(first);
    row->addWidget(last);
    row->addSpacing(16);

    cmbJedn_ = new QComboBox(bar);
    cmbJedn_->setObjectName(QStringLiteral("cmbJedn"));
    cmbJedn_->setMinimumContentsLength(24);
    connect(cmbJedn_, &QComboBox::activated, this, &TfmOsoby::cmbJednCloseUp);
    auto* jednLabel = new QLabel(QStringLiteral("Jednostka"), bar);
    jednLabel->setBuddy(cmbJedn_);
    row->addWidget(jednLabel);
    row->addWidget(cmbJedn_);
    row->addSpacing(16);

    lbeFiltr_ = MakeEdit(QStringLiteral("lbeFiltr"), bar);
    lbeFiltr_->setMinimumWidth(lbeFiltr_->fontMetrics().horizontalAdvance(QString(20, u'N')));
    ForceCase(lbeFiltr_, true);
    lbeFiltr_->installEventFilter(this);
    connect(lbeFiltr_, &QLineEdit::returnPressed, this, [this] { filtruj(lbeFiltr_->text()); });
    auto* filtrLabel =
        new QLabel(QStringLiteral("Filtruj (nr oper., identyfikator lub nazwisko)"), bar);
    filtrLabel->setBuddy(lbeFiltr_);
    QPushButton* apply = MakeButton(QStringLiteral("Filtruj"), QStringLiteral("btnFiltr"), bar);
    QPushButton* clear = MakeButton(QStringLiteral("Wyczyść"), QStringLiteral("btnWyczysc"), bar);
    connect(apply, &QPushButton::clicked, this, [this] { filtruj(lbeFiltr_->text()); });
    connect(clear, &QPushButton::clicked, this, [this] {
        lbeFiltr_->clear();
        filtruj(QString());
    });
    row->addWidget(filtrLabel);
    row->addWidget(lbeFiltr_);
    row->addWidget(apply);
    row->addWidget(clear);
    return bar;
}

QWidget* TfmOsoby::makeHistory() {
    auto* column = new QWidget(this);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);

    auto* history = new QGroupBox(QStringLiteral(" Historia przydziałów "), column);
    history->setObjectName(QStringLiteral("gbHistoria"));
    auto* inside = new QVBoxLayout(history);
    inside->addWidget(assignments_.grid, 1);
    inside->addWidget(assignments_.panel);
    inside->addWidget(makeButtonRow(&assignments_, QStringLiteral("pnPrzButtons")));
    layout->addWidget(history, 1);

    auto* wstaw = new QGroupBox(QStringLiteral("Wstaw datę przydziału"), column);
    wstaw->setObjectName(QStringLiteral("gbWstaw"));
    auto* row = new QHBoxLayout(wstaw);
    deWstaw_ = new QDateEdit(QDate::currentDate(), wstaw);
    deWstaw_->setObjectName(QStringLiteral("deWstaw"));
    deWstaw_->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    deWstaw_->setCalendarPopup(true);
    QPushButton* all = MakeButton(QStringLiteral("wszystkim"), QStringLiteral("BitBtn8"), wstaw);
    connect(all, &QPushButton::clicked, this, &TfmOsoby::BitBtn8Click);
    row->addWidget(deWstaw_);
    row->addWidget(all);
    row->addStretch(1);
    layout->addWidget(wstaw);
    return column;
}

DbGrid* TfmOsoby::addChoiceGrid(ListPane& pane, const QString& label, const QString& name,
                                ListController& list, std::vector<GridColumn> columns, int& value) {
    auto* grid = new DbGrid(list.query(), pane.panel);
    choiceGrids_.push_back(grid);
    grid->setObjectName(name);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setColumns(std::move(columns));
    grid->horizontalHeader()->setStretchLastSection(true);
    grid->setFixedHeight(grid->verticalHeader()->defaultSectionSize() * choiceRows +
                         grid->horizontalHeader()->sizeHint().height() + 2 * grid->frameWidth());
    addField(pane, label, grid);
    pane.showFields.push_back([grid, &list, &value] {
        list.locate(value);
        grid->refresh();
    });
    pane.takeFields.push_back([&list, &value] { value = std::max(0, list.currentKey()); });
    return grid;
}

void TfmOsoby::addStawka(ListPane& pane, const QString& name, int& value,
                         Qt::Orientation orientation) {
    auto* box = new QGroupBox(QStringLiteral(" Stawka żywnościowa "), pane.panel);
    box->setObjectName(name);
    auto* row = new QBoxLayout(
        orientation == Qt::Horizontal ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom, box);
    const struct {
        const char* text;
        const char* name;
        int stawka;
    } choices[] = {{"Bez stawki", "rbBezStawki", 0},
                   {"Stawka 020", "rbStawka020", 20},
                   {"Stawka 030", "rbStawka030", 30}};
    std::vector<std::pair<QRadioButton*, int>> buttons;
    for (const auto& c : choices) {
        auto* b = new QRadioButton(QString::fromUtf8(c.text), box);
        b->setObjectName(QString::fromLatin1(c.name));
        row->addWidget(b);
        buttons.emplace_back(b, c.stawka);
    }
    buttons.front().first->setChecked(true);
    addField(pane, QString(), box);
    // A value that is none of the three leaves the choice as it was.
    pane.showFields.push_back([buttons, &value] {
        for (const auto& [b, stawka] : buttons)
            if (stawka == value)
                b->setChecked(true);
    });
    pane.takeFields.push_back([buttons, &value] {
        for (const auto& [b, stawka] : buttons)
            if (b->isChecked())
                value = stawka;
    });
}

// ---- show and close

void TfmOsoby::openLists() {
    stopnie_.open();
    jednostki_.open();
    for (DbGrid* grid : choiceGrids_)
        grid->refresh();
    skroty_.clear();
    fb::Query& ranks = stopnie_.query();
    if (ranks.isOpen()) {
        ranks.fetchAll();
        const int id = ranks.fieldByName(QStringLiteral("ID")).index();
        const int skrot = ranks.fieldByName(QStringLiteral("SKROT")).index();
        for (int r = 0; r < ranks.fetchedRows(); ++r)
            skroty_.insert(ranks.value(r, id).toInt(), ranks.value(r, skrot).toString().trimmed());
    }
    fillJednostki();
    osoby_.open();
}

void TfmOsoby::fillJednostki() {
    std::vector<std::pair<QString, int>> units;
    fb::Query& q = jednostki_.query();
    if (q.isOpen()) {
        q.fetchAll();
        const int id = q.fieldByName(QStringLiteral("ID")).index();
        const int numer = q.fieldByName(QStringLiteral("NUMER")).index();
        const int nazwa = q.fieldByName(QStringLiteral("NAZWA")).index();
        for (int r = 0; r < q.fetchedRows(); ++r)
            units.emplace_back(
                JednostkaText(q.value(r, numer).toString(), q.value(r, nazwa).toString()),
                q.value(r, id).toInt());
        q.first();
    }
    std::stable_sort(units.begin(), units.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    cmbJedn_->clear();
    cmbJedn_->addItem(QStringLiteral("Wszyscy"), -1);
    for (const auto& [text, id] : units)
        cmbJedn_->addItem(text, id);
    cmbJedn_->setCurrentIndex(0);
}

void TfmOsoby::closeEvent(QCloseEvent* event) {
    ListWindow::closeEvent(event);
    if (!event->isAccepted())
        return;
    // Card numbers have nowhere to go once the window is gone.
    showPrsn(false);
    personalizer_.StopComP();
    stopnie_.close();
    jednostki_.close();
}

// ---- the persons' panel

bool TfmOsoby::confirmSave(ListPane& pane) {
    if (&pane != &persons_)
        return true;
    const QString question = osoby_.numberChangeQuestion();
    return question.isEmpty() || ctx().Ask(question, UwagaRed, true);
}

void TfmOsoby::saved(ListPane& pane, ListMode was) {
    if (&pane == &assignments_) {
        // The person's unit and rate of today may be the saved assignment's.
        osoby_.reopen();
        listsChanged();
        return;
    }
    if (was != ListMode::Adding)
        return;
    // A new person gets a first assignment right away, at the person's rate from today. A
    // person the filter leaves out of the list gets none here.
    if (osoby_.currentKey() != osoby_.fields().nrOper.trimmed().toInt())
        return;
    osoby_.przydzialy().newStawka = osoby_.savedStawka();
    aInsertExecute(assignments_);
}

bool TfmOsoby::locked(const ListPane& pane) const {
    return identMode_ && &pane == &persons_;
}

// ---- moving and filtering

void TfmOsoby::moveToEnd(bool last) {
    if (!osoby_.hasRows())
        return;
    fb::Query& q = osoby_.query();
    if (last)
        q.fetchAll();
    osoby_.moveTo(last ? q.fetchedRows() - 1 : 0);
    listsChanged();
    if (!identMode_)
        persons_.grid->setFocus();
}

void TfmOsoby::cmbJednCloseUp(int index) {
    aCancelExecute(persons_);
    aCancelExecute(assignments_);
    lbeFiltr_->clear();
    osoby_.FiltrJednostki(cmbJedn_->itemData(index).toInt());
    listsChanged();
}

void TfmOsoby::filtruj(const QString& text) {
    aCancelExecute(persons_);
    aCancelExecute(assignments_);
    // A text filter looks through every unit.
    cmbJedn_->setCurrentIndex(0);
    osoby_.Filtruj(text);
    listsChanged();
}

bool TfmOsoby::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lbeFiltr_ &&
        (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        if (event->type() == QEvent::KeyPress) {
            lbeFiltr_->clear();
            filtruj(QString());
        }
        return true;
    }
    return ListWindow::eventFilter(watched, event);
}

// ---- the assignment date for everybody

void TfmOsoby::BitBtn8Click() {
    const QDate day = deWstaw_->date();
    const QString question = QStringLiteral("Data przydziału %1 zostanie wpisana wszystkim.\r"
                                            "Przydziałów do zmiany: %2.\rCzy wstawić datę?")
                                 .arg(day.toString(QStringLiteral("dd.MM.yyyy")))
                                 .arg(osoby_.AssignmentsForDate());
    if (!ctx().Ask(question, UwagaRed, true))
        return;
    QString error;
    if (!osoby_.WstawDate(day, &error))
        ctx().s.ShowMessage(error);
    PrzydzialList& przydzialy = osoby_.przydzialy();
    if (przydzialy.query().isOpen())
        przydzialy.reopen();
    listsChanged();
}

// ---- identity entry

void TfmOsoby::btnIdentClick(bool on) {
    identMode_ = on;
    if (on)
        aCancelExecute(persons_);
    nrIdent2_->clear();
    nrIdent2_->setVisible(on);
    listsChanged();
    if (on)
        nrIdent2_->setFocus();
    else
        persons_.grid->setFocus();
}

void TfmOsoby::nr_ident2Enter() {
    const IdentResult result = osoby_.WpiszIdentyfikator(nrIdent2_->text());
    nrIdent2_->clear();
    listsChanged();
    if (!result.stored && !result.message.isEmpty())
        ctx().s.ShowMessage(result.message);
    nrIdent2_->setFocus();
}

// ---- the card personalizer

void TfmOsoby::btnPrsnClick() {
    if (personalizer_.reading()) {
        personalizer_.StopComP();
        showPrsn(false);
        return;
    }
    showPrsn(true);
    QLineEdit* field = identMode_ ? nrIdent2_ : edNrIdent_;
    personalizer_.target = [field](const QString& number) { field->setText(number); };
    personalizer_.targetVisible = [field] { return field->isVisible(); };
    const QString why = personalizer_.StartComP(ctx().params.COMP, ctx().params.CPAKT);
    if (why.isEmpty())
        return;
    showPrsn(false);
    ctx().s.ShowMessage(why);
}

void TfmOsoby::showPrsn(bool active) {
    btnPrsn_->setText(active ? prsnOn : prsnOff);
    QPalette palette = btnPrsn_->palette();
    palette.setColor(QPalette::ButtonText, active ? QColor(Qt::blue) : QColor(Qt::red));
    btnPrsn_->setPalette(palette);
    if (!active) {
        personalizer_.target = nullptr;
        personalizer_.targetVisible = nullptr;
    }
}

} // namespace kzm
