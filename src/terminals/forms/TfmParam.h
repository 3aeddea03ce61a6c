#pragma once

#include "terminals/TerminalParams.h"
#include "ui/FunctionWindow.h"
#include "ui/WindowHost.h"

#include <QString>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTimeEdit;

namespace kzm {

class DbGrid;
class Tdm;

// The parameters window: the global operating parameters, the personalizer and message options,
// and the settings of each terminal definition, edited through the group beside the grid.
class TfmParam : public FunctionWindow {
    Q_OBJECT
public:
    explicit TfmParam(WindowHost& host);
    ~TfmParam() override;

    void FormShow();
    void ComAfterScroll();
    void btnSaveComClick();
    void btnSaveClick();
    void btnDopiszClick();
    void btnUsunClick();
    void cbRS485Click();
    void cbTq700Click();
    void cbPrsnUsbClick();
    void cbWdnBzKmnktClick();

    // The definition in the group's fields; the speed is the row's own when none is chosen.
    ComDefFields comDefFields() const;
    ParamFields paramFields() const;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Shows the shared query again after it was re-opened.
    void showDefinitions();
    // Re-opens the definitions on the row of the port (and of the terminal number, when given).
    void reopenOn(int port, int numScan = -1);

    Tdm& dm_;
    bool formShown_ = false;
    bool closing_ = false;
    bool loadingRow_ = false; // a definition's row is being shown
    int rowSpeed_ = 9600;     // SPEED of the row in the group

    QTimeEdit* teObiadOd_ = nullptr;
    QTimeEdit* teObiadDo_ = nullptr;
    QLineEdit* edMaxKodKarty_ = nullptr;
    QLineEdit* edMaxKodOper_ = nullptr;
    QLineEdit* edProcentRzlWody_ = nullptr;
    QGroupBox* gbCom_ = nullptr;
    QLineEdit* edNazwa_ = nullptr;
    QSpinBox* sePort_ = nullptr;
    QComboBox* cbSpeed_ = nullptr;
    QCheckBox* cbAktywny_ = nullptr;
    QSpinBox* seTimeoutR_ = nullptr;
    QSpinBox* seTimeoutW_ = nullptr;
    QCheckBox* cbRS485_ = nullptr;
    QSpinBox* seNumScan_ = nullptr;
    QLineEdit* edNrInstalacji_ = nullptr;
    QLineEdit* edClearTimeout_ = nullptr;
    QLineEdit* edLoadTimeout_ = nullptr;
    QCheckBox* cbNumInst3Zn_ = nullptr;
    QCheckBox* cbTq700_ = nullptr;
    QSpinBox* seAlarm_ = nullptr;
    QCheckBox* cbBaseAlarm_ = nullptr;
    QPushButton* btnSaveCom_ = nullptr;
    QSpinBox* seComp_ = nullptr;
    QCheckBox* cbCpAkt_ = nullptr;
    QCheckBox* cbPrsnUsb_ = nullptr;
    DbGrid* dbgCom_ = nullptr;
    QPushButton* btnDopisz_ = nullptr;
    QPushButton* btnUsun_ = nullptr;
    QCheckBox* cbWdnBzKmnkt_ = nullptr;
    QGroupBox* gbSygnalWyd_ = nullptr;
    QButtonGroup* rgSygnalWyd_ = nullptr;
    QButtonGroup* rgSygnalBlok_ = nullptr;
    QCheckBox* cbBlkWdnBzKmnkt_ = nullptr;
    QPushButton* btnSave_ = nullptr;
    QPushButton* btnWyjscie_ = nullptr;
};

} // namespace kzm
