#include "lists/forms/TfmStawki.h"

#include "lists/StawkiList.h"

namespace kzm {

TfmStawki::TfmStawki(WindowHost& host, const QString& caption)
    : CennikWindow(host, QStringLiteral("fmStawki"), caption),
      stawki_(makeList<StawkiList>(ctx().dm, *ctx().dmu)),
      rates_(addList(stawki_, QStringLiteral("dbg"))), prices_(addCeny(stawki_.ceny())) {
    setTakesKeys(true);
    setEscapeOnPress(true);
    rates_.grid->setColumns({
        {QStringLiteral("KOD"), QStringLiteral("Kod"), 12, Qt::AlignLeft | Qt::AlignVCenter, {}},
        {QStringLiteral("NAZWA"),
         QStringLiteral("Nazwa"),
         30,
         Qt::AlignLeft | Qt::AlignVCenter,
         {}},
    });
    prices_.tabTo = rates_.grid;

    // The rates on the left; the prices of the current rate, their panel and buttons beside.
    auto* lists = new QHBoxLayout();
    lists->addWidget(rates_.grid, 1);
    auto* priceColumn = new QVBoxLayout();
    placeList(prices_, priceColumn);
    lists->addLayout(priceColumn, 1);
    body()->addLayout(lists, 1);
}

} // namespace kzm
