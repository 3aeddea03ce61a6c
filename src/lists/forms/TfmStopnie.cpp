#include "lists/forms/TfmStopnie.h"

#include "ui/FormKit.h"

#include <QHeaderView>

namespace kzm {

TfmStopnie::TfmStopnie(WindowHost& host, const QString& caption)
    : OneListWindow(host, QStringLiteral("fmStopnie"), caption,
                    {{QStringLiteral("SKROT"),
                      QStringLiteral("Skrót"),
                      12,
                      Qt::AlignLeft | Qt::AlignVCenter,
                      {}},
                     {QStringLiteral("NAZWA"),
                      QStringLiteral("Nazwa"),
                      30,
                      Qt::AlignLeft | Qt::AlignVCenter,
                      {}}}) {
    setTakesKeys(true);
    // The select sorts the ranks by abbreviation.
    pane_.grid->horizontalHeader()->setSortIndicatorShown(true);
    pane_.grid->horizontalHeader()->setSortIndicator(0, Qt::AscendingOrder);

    StopienFields& f = list_.fields();
    FilterKeys(
        addEdit(pane_, QStringLiteral("Skrót"), QStringLiteral("edSkrot"), 15, true, f.skrot),
        KeyFilter::Digits);
    addEdit(pane_, QStringLiteral("Nazwa"), QStringLiteral("edNazwa"), 30, true, f.nazwa);
}

} // namespace kzm
