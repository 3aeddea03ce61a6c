#pragma once

#include "lists/forms/ListWindow.h"
#include "terminals/Personalizer.h"

#include <QHash>
#include <QString>

class QComboBox;
class QDateEdit;
class QLineEdit;
class QPushButton;

namespace kzm {

class OsobyList;

// The persons window: the persons with their unit, rank and rates, filtered by unit or by a
// text, the person panel, the history of the current person's assignments with its own panel,
// the assignment date for everybody, identity entry person after person and the card
// personalizer's switch. It takes the whole hub while it is open.
class TfmOsoby : public ListWindow {
    Q_OBJECT
public:
    explicit TfmOsoby(WindowHost& host, const QString& caption = QStringLiteral("Osoby"));
    ~TfmOsoby() override;

    // The card personalizer of the window: off when the window opens, switched by its button,
    // stopped when the window closes.
    Personalizer& personalizer() { return personalizer_; }

    static const QString prsnOff; // "Personalizator - nieaktywny"
    static const QString prsnOn;  // "Personalizator - aktywny"

protected:
    void openLists() override;
    bool confirmSave(ListPane& pane) override;
    void saved(ListPane& pane, ListMode was) override;
    bool locked(const ListPane& pane) const override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // A grid of the panel to choose a row of the list from; the value is the chosen row's key.
    DbGrid* addChoiceGrid(ListPane& pane, const QString& label, const QString& name,
                          ListController& list, std::vector<GridColumn> columns, int& value);
    // " Stawka żywnościowa ": "Bez stawki" (0), "Stawka 020" (20), "Stawka 030" (30).
    void addStawka(ListPane& pane, const QString& name, int& value,
                   Qt::Orientation orientation = Qt::Horizontal);
    QWidget* makeTopBar();
    QWidget* makeHistory();

    void fillJednostki();
    void cmbJednCloseUp(int index);
    void filtruj(const QString& text);
    void moveToEnd(bool last);
    void BitBtn8Click(); // "wszystkim"
    void btnIdentClick(bool on);
    void nr_ident2Enter();
    void btnPrsnClick();
    void showPrsn(bool active);

    // Identity entry mode; first, as the view asks for it while the lists are being added.
    bool identMode_ = false;
    OsobyList& osoby_;
    ListPane& persons_;
    ListPane& assignments_;
    ListController& stopnie_;   // the ranks of the rank grid and of the rank column
    ListController& jednostki_; // the units of the assignment panel and of the unit filter
    QHash<int, QString> skroty_;
    std::vector<DbGrid*> choiceGrids_;

    QComboBox* cmbJedn_ = nullptr;
    QLineEdit* lbeFiltr_ = nullptr;
    QLineEdit* edNrIdent_ = nullptr;
    QPushButton* btnIdent_ = nullptr;
    QLineEdit* nrIdent2_ = nullptr;
    QPushButton* btnPrsn_ = nullptr;
    QDateEdit* deWstaw_ = nullptr;
    Personalizer personalizer_;
};

} // namespace kzm
