#pragma once

#include "lists/ZdarzList.h"
#include "lists/forms/ListWindow.h"

#include <initializer_list>

class QAction;
class QButtonGroup;
class QComboBox;

namespace kzm {

// The event types window: the event types in the order of their print columns, with their
// meals and water as boxes a click turns over, their payouts and print group; the print column
// of the current one moved up and down; the print group of the marked ones set or removed; and
// beside them the print groups and the corrections ("Szkody"), whose water and payout change
// here.
class TfmZdarz : public ListWindow {
    Q_OBJECT
public:
    explicit TfmZdarz(WindowHost& host, const QString& caption = QStringLiteral("Zdarzenia"));

protected:
    void openLists() override;

private:
    // "Kolumna na wydr." up and down; the grid keeps the focus.
    void aUpExecute();
    void aDownExecute();
    // "Wpisz grupę" (the group current in "Grupy do wydruków") and "Usuń grupę".
    void aWpiszGExecute();
    void aUsunGExecute();
    void WpiszGrupe(int grw);
    void FlipFlag(const QString& column);
    // The corrections: the water turned over, another payout chosen, and the option of the
    // current correction's payout shown.
    void FlipWoda();
    void SetStawka(int stawkaDw);
    void showStawka();

    QAction* addTopAction(const QString& text, const QString& name, const QString& button);
    // A row of option buttons, one for each number, bound to a value of the list's fields.
    void addOptions(const QString& label, const QString& name, std::initializer_list<int> values,
                    int& value);

    ZdarzList& list_;
    ListController& grupy_;
    SzkodyList& szkody_;
    ListPane& pane_;
    ListPane& grw_;
    ListPane& szk_;
    QAction* aUp_ = nullptr;
    QAction* aDown_ = nullptr;
    QAction* aWpiszG_ = nullptr;
    QAction* aUsunG_ = nullptr;
    QComboBox* cbGrupa_ = nullptr;
    QButtonGroup* szkodaDw_ = nullptr;
};

} // namespace kzm
