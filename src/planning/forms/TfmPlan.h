#pragma once

#include "planning/PlanList.h"
#include "ui/FunctionWindow.h"

#include <QString>
#include <memory>

class QAction;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QWidget;

namespace kzm {

class DbGrid;

// The meal plan window: the plan rows of a unit for a period, made and refreshed from the
// persons' data, with event types, corrections, rates and places entered into the marked rows
// from the lists beside the plan. The decisions are PlanList's; the window holds the widgets.
class TfmPlan : public FunctionWindow {
    Q_OBJECT
public:
    TfmPlan(WindowHost& host, const QString& caption = QStringLiteral("Plan"));
    ~TfmPlan() override;

    PlanList& plan() { return *plan_; }
    PlanSideLists& sideLists() { return *side_; }
    Period period() const;
    void setPeriod(const Period& p);

    // The actions, by their names.
    void aOpenExecute();    // "Dopisz dane"
    void aAktuAllExecute(); // "Aktualizuj dane osobowe w całym okresie"
    void aAktuExecute();    // "Aktualizuj dane"
    void aDeleteExecute();  // "Skasuj dane "
    void aZerujExecute();   // "Usuń zdarzenie"
    void aZerujSzExecute(); // "Usuń szkodę"
    void aInsStawkiExecute();
    void BitBtn8Click();  // "Wpisz"
    void BitBtn9Click();  // "Sumy"
    void bNr_operClick(); // "Pokaż"
    void WpiszdoplanuClick(PlanSide side);
    void step(int direction); // the next (1) and previous (-1) buttons
    // Shows the plan of the unit (from the unit list or the units page).
    void showUnit(int unit);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildTop(QWidget* bar);
    QWidget* buildSide();
    void buildPlanGrid();
    void runChange(PlanChange kind);
    void makePlan(bool refresh);
    void present(const ListResult& r);
    void afterAction();
    void sortBy(int column);
    void showOrder();
    void markWpisz(QCheckBox* box);

    std::unique_ptr<PlanList> plan_;
    std::unique_ptr<PlanSideLists> side_;
    PlanSide lastSide_ = PlanSide::Events;

    QDateEdit* deOd_ = nullptr;
    QDateEdit* deDo_ = nullptr;
    QCheckBox* chMiesiac_ = nullptr;
    QComboBox* cbJedn_ = nullptr;
    QLineEdit* eNrOper_ = nullptr;
    QCheckBox* chFiltruj_ = nullptr;
    QCheckBox* chZdarzenie_ = nullptr;
    QCheckBox* chSzkoda_ = nullptr;
    QCheckBox* chStawka_ = nullptr;
    QCheckBox* chMiejsce_ = nullptr;
    QTabWidget* pcSide_ = nullptr;
    DbGrid* dbgZdarz_ = nullptr;
    DbGrid* dbgMiejsca_ = nullptr;
    DbGrid* dbgSzkody_ = nullptr;
    DbGrid* dbgStawki_ = nullptr;
    DbGrid* dbgJedn_ = nullptr;
    DbGrid* dbg_ = nullptr;
    QWidget* pnSumy_ = nullptr;
    QPlainTextEdit* mSumy_ = nullptr;
    std::vector<int> unitIds_;
};

} // namespace kzm
