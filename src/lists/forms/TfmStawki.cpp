#include "lists/forms/TfmStawki.h"

#include "lists/StawkiList.h"
#include "ui/FormKit.h"

#include <QDateEdit>
#include <QLineEdit>

namespace kzm {

TfmStawki::TfmStawki(WindowHost& host, const QString& caption)
    : ListWindow(host, QStringLiteral("fmStawki"), caption),
      stawki_(makeList<StawkiList>(ctx().dm, *ctx().dmu)),
      rates_(addList(stawki_, QStringLiteral("dbg"))),
      prices_(addList(stawki_.ceny(), QStringLiteral("dbgCe"),
                      {QStringLiteral("aCeInsert"), QStringLiteral("aCeEdit"),
                       QStringLiteral("aCeDelete"), QStringLiteral("aCeSave"),
                       QStringLiteral("aCeCancel")})) {
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
    prices_.grid->setColumns({
        {QStringLiteral("OD_KIEDY"), QStringLiteral("Od kiedy"), 12, Qt::AlignCenter, {}},
        {QStringLiteral("KWOTA"),
         QStringLiteral("Kwota"),
         12,
         Qt::AlignRight | Qt::AlignVCenter,
         {}},
    });
    prices_.tabTo = rates_.grid;

    // The rates on the left; the prices of the current rate, their panel and buttons beside.
    auto* lists = new QHBoxLayout();
    lists->addWidget(rates_.grid, 1);
    auto* priceColumn = new QVBoxLayout();
    addPanel(prices_, QStringLiteral("pnCena"));
    placeList(prices_, priceColumn);
    lists->addLayout(priceColumn, 1);
    body()->addLayout(lists, 1);

    CenaFields& f = stawki_.ceny().fields();
    QDateEdit* odKiedy =
        addDate(prices_, QStringLiteral("Od kiedy"), QStringLiteral("deOdKiedy"), f.odKiedy);
    QLineEdit* kwota =
        addEdit(prices_, QStringLiteral("Kwota"), QStringLiteral("edKwota"), 12, false, f.kwota);
    FilterKeys(kwota, KeyFilter::Decimal);
    // A price is typed from its amount on.
    prices_.fields = {kwota, odKiedy};
}

} // namespace kzm
