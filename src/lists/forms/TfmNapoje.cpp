#include "lists/forms/TfmNapoje.h"

#include "lists/NapojeList.h"
#include "lists/forms/GridBoxes.h"
#include "ui/FormKit.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace kzm {

namespace {

// The code column is narrow whatever the font.
constexpr int kodWidth = 100;

enum Column { colKod, colNazwa, colPojemnosc, colRozlpc, colWoda };

} // namespace

TfmNapoje::TfmNapoje(WindowHost& host, const QString& caption)
    : CennikWindow(host, QStringLiteral("fmNapoje"), caption),
      napoje_(makeList<NapojeList>(ctx().dm, *ctx().dmu)),
      drinks_(addList(napoje_, QStringLiteral("dbg"))), prices_(addCeny(napoje_.ceny())) {
    setTakesKeys(true);
    setEscapeOnPress(true);
    DbGrid* grid = drinks_.grid;
    grid->setColumns({
        {QStringLiteral("KOD"), QStringLiteral(" Kod"), 0, Qt::AlignLeft | Qt::AlignVCenter, {}},
        {QStringLiteral("NAZWA"),
         QStringLiteral("Nazwa "),
         20,
         Qt::AlignLeft | Qt::AlignVCenter,
         {}},
        {QStringLiteral("POJEMNOSC"),
         QStringLiteral("Pojemność"),
         10,
         Qt::AlignRight | Qt::AlignVCenter,
         {}},
        {QStringLiteral("ROZLPC"), QStringLiteral("Rozl.prac.cywilnych"), 0, Qt::AlignCenter, {}},
        {QStringLiteral("WODA"), QStringLiteral("woda"), 6, Qt::AlignCenter, {}},
    });
    KeepColumnsFitted(grid);
    const auto narrow = [grid] {
        grid->setColumnWidth(colKod, std::min(grid->columnWidth(colKod), kodWidth));
    };
    connect(grid->model(), &QAbstractItemModel::modelReset, grid, narrow);
    narrow();
    auto* boxes = new GridBoxes(grid);
    boxes->setFlagColumn(colRozlpc, BoxMark::Tick, [this] { FlipFlag(QStringLiteral("ROZLPC")); });
    boxes->setFlagColumn(colWoda, BoxMark::Tick, [this] { FlipFlag(QStringLiteral("WODA")); });
    drinks_.tabTo = prices_.grid;
    prices_.tabTo = grid;

    // The drinks and their panel on the left, the prices of the current drink and theirs
    // beside; one row of buttons under the active grid.
    addPanel(drinks_, QStringLiteral("pnEdit"));
    auto* lists = new QHBoxLayout();
    drinkColumn_ = new QVBoxLayout();
    drinkColumn_->addWidget(grid, 1);
    drinkColumn_->addWidget(drinks_.panel);
    priceColumn_ = new QVBoxLayout();
    priceColumn_->addWidget(prices_.grid, 1);
    priceColumn_->addWidget(prices_.panel);
    lists->addLayout(drinkColumn_, 2);
    lists->addLayout(priceColumn_, 1);
    body()->addLayout(lists, 1);
    pnButtons_ = makeButtonRow(nullptr);
    drinkColumn_->addWidget(pnButtons_);

    NapojFields& f = napoje_.fields();
    addEdit(drinks_, QStringLiteral("Kod"), QStringLiteral("edKod"), 10, true, f.kod);
    addEdit(drinks_, QStringLiteral("Nazwa"), QStringLiteral("edNazwa"), 30, true, f.nazwa);
    FilterKeys(addEdit(drinks_, QStringLiteral("Pojemność"), QStringLiteral("edPojemnosc"), 8,
                       false, f.pojemnosc),
               KeyFilter::Decimal);
    addCheck(drinks_, QStringLiteral("Woda"), QStringLiteral("cbWoda"), f.woda);
}

void TfmNapoje::FlipFlag(const QString& column) {
    napoje_.FlipFlag(column);
    listsChanged();
}

bool TfmNapoje::eventFilter(QObject* watched, QEvent* event) {
    const bool used = CennikWindow::eventFilter(watched, event);
    if (event->type() == QEvent::FocusIn)
        followActive();
    return used;
}

void TfmNapoje::followActive() {
    QVBoxLayout* under = activePane() == &prices_ ? priceColumn_ : drinkColumn_;
    if (under->indexOf(pnButtons_) >= 0)
        return;
    (under == priceColumn_ ? drinkColumn_ : priceColumn_)->removeWidget(pnButtons_);
    under->addWidget(pnButtons_);
}

} // namespace kzm
