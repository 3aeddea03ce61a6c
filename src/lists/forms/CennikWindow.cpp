#include "lists/forms/CennikWindow.h"

#include "lists/CennikList.h"
#include "ui/FormKit.h"

#include <QDateEdit>
#include <QLineEdit>

namespace kzm {

ListPane& CennikWindow::addCeny(CennikList& ceny) {
    ListPane& prices = addList(ceny, QStringLiteral("dbgCe"),
                               {QStringLiteral("aCeInsert"), QStringLiteral("aCeEdit"),
                                QStringLiteral("aCeDelete"), QStringLiteral("aCeSave"),
                                QStringLiteral("aCeCancel")});
    prices.grid->setColumns({
        {QStringLiteral("OD_KIEDY"), QStringLiteral("Od kiedy"), 12, Qt::AlignCenter, {}},
        {QStringLiteral("KWOTA"),
         QStringLiteral("Kwota"),
         12,
         Qt::AlignRight | Qt::AlignVCenter,
         {}},
    });
    addPanel(prices, QStringLiteral("pnCena"));
    CenaFields& f = ceny.fields();
    QDateEdit* odKiedy =
        addDate(prices, QStringLiteral("Od kiedy"), QStringLiteral("deOdKiedy"), f.odKiedy);
    QLineEdit* kwota =
        addEdit(prices, QStringLiteral("Kwota"), QStringLiteral("edKwota"), 12, false, f.kwota);
    FilterKeys(kwota, KeyFilter::Decimal);
    // A price is typed from its amount on.
    prices.fields = {kwota, odKiedy};
    return prices;
}

} // namespace kzm
