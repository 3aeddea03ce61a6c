#pragma once

#include "lists/forms/CennikWindow.h"

class QVBoxLayout;

namespace kzm {

class NapojeList;

// The drinks window: the drinks with their capacity and flags, a click turning a flag over,
// and the price list of the drink chosen. The grid that last had the focus is the active one:
// "Dopisz", "Popraw", "Usuń" and the keys act on its list, and the buttons stand under it.
class TfmNapoje : public CennikWindow {
    Q_OBJECT
public:
    explicit TfmNapoje(WindowHost& host, const QString& caption = QStringLiteral("Napoje"));

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The button row moves under the active grid.
    void followActive();
    void FlipFlag(const QString& column);

    NapojeList& napoje_;
    ListPane& drinks_;
    ListPane& prices_;
    QWidget* pnButtons_ = nullptr;
    QVBoxLayout* drinkColumn_ = nullptr;
    QVBoxLayout* priceColumn_ = nullptr;
};

} // namespace kzm
