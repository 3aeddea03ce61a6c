#pragma once

#include "db/Params.h"
#include "fb/Value.h"
#include "ui/FunctionWindow.h"
#include "ui/WindowHost.h"

#include <QString>
#include <QTime>
#include <array>
#include <vector>

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

// The line speeds a terminal definition offers, in the order of the speed choice.
inline constexpr std::array<int, 5> ComSpeeds{1200, 2400, 4800, 9600, 19200};

// The columns of one terminal definition (KZM_COMDEF) as the parameters window edits them.
struct ComDefFields {
    QString nazwa;
    int port = 0;
    int speed = 9600;
    bool aktywny = false;
    int timeoutR = 100;
    int timeoutW = 200;
    int numInst = 0;
    int alarm = 1;      // length of the sound signal, 0..15
    int baseAlarm = 32; // 32: the length counts tenths of a second, 64: whole seconds
    int numScan = 1;    // RS-485 address, 1..31
    bool rs485 = false;
    bool tq700 = false;
    bool numInst3Zn = false;
};

// BASE_ALARM of the "0.1 SEK" switch.
inline int BaseAlarmOf(bool tenths) {
    return tenths ? 32 : 64;
}

// The update of the definition that had port `oldPort` and terminal number `oldNumScan`,
// columns in the order of the form. The terminal number keeps apart the terminals of one
// RS-485 line, which share their port.
QString ComDefUpdateStatement(const ComDefFields& f, int oldPort, int oldNumScan);
// The insert of a new definition with the columns the form edits.
QString ComDefInsertStatement(const ComDefFields& f);
// The delete of the definition of a port and terminal number.
QString ComDefDeleteStatement(int port, int numScan);

// A new definition on a port: named after it, inactive, at 9600, the default time-outs and
// signal, terminal number 1, a TQ200 on RS-232, with the installation number given.
ComDefFields NewComDef(int port, int numInst);

// The smallest port number from 1 on that is neither used by a definition nor excluded.
int NextFreePort(const std::vector<int>& used, const std::vector<int>& excluded);

// The existence test of a definition on the personalizer's port, and the message when one is
// found.
QString PersonalizerClashStatement(int port);
QString PersonalizerClashMessage(int port, const QString& terminal);

// The text the definitions grid shows for AKTYWNY: "TAK" for 1, "NIE" for 0, nothing for null.
QString AktywnyText(const fb::Value& v);

// The trimmed text as a decimal integer, or `def` when it is not one.
int IntOrDefault(const QString& text, int def);
// The trimmed text as a number with "." as the decimal separator, or `def` when it is not one.
double NumberOrDefault(const QString& text, double def);

// The general parameters, personalizer and message options as the window's fields hold them.
struct ParamFields {
    QString nrInstalacji;
    QString clearTimeout;
    QString loadTimeout;
    int sygnalWyd = 0;  // item index of the signal choice
    int sygnalBlok = 1; // item index of the signal choice
    QTime obiadOd{0, 0};
    QTime obiadDo{0, 0};
    QString maxKodKarty;
    int comp = 1;
    bool cpakt = false;
    bool wdnBzKmnkt = false;
    bool blkWdnBzKmnkt = false;
    QString procentRzlWody;
};

// Takes the fields into the global parameters: text that is not a number gives 0, for the
// maximum card number 1000; the lunch period keeps the time of day only.
void TakeParams(const ParamFields& f, GlobalParams& g);
// Writes the parameters the window edits to the store.
void WriteParams(ParamStore& store, const GlobalParams& g);

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

    // General parameters.
    QTimeEdit* obiadOd() const { return teObiadOd_; }
    QTimeEdit* obiadDo() const { return teObiadDo_; }
    QLineEdit* maxKodKarty() const { return edMaxKodKarty_; }
    QLineEdit* maxKodOper() const { return edMaxKodOper_; }
    QLineEdit* procentRzlWody() const { return edProcentRzlWody_; }
    // The terminal group.
    QGroupBox* comGroup() const { return gbCom_; }
    QLineEdit* nazwa() const { return edNazwa_; }
    QSpinBox* com() const { return sePort_; }
    QComboBox* speed() const { return cbSpeed_; }
    QCheckBox* aktywny() const { return cbAktywny_; }
    QSpinBox* timeoutR() const { return seTimeoutR_; }
    QSpinBox* timeoutW() const { return seTimeoutW_; }
    QCheckBox* rs485() const { return cbRS485_; }
    QSpinBox* numScan() const { return seNumScan_; }
    QLineEdit* nrInstalacji() const { return edNrInstalacji_; }
    QLineEdit* clearTimeout() const { return edClearTimeout_; }
    QLineEdit* loadTimeout() const { return edLoadTimeout_; }
    QCheckBox* numInst3Zn() const { return cbNumInst3Zn_; }
    QCheckBox* tq700() const { return cbTq700_; }
    QSpinBox* alarm() const { return seAlarm_; }
    QCheckBox* baseAlarm() const { return cbBaseAlarm_; }
    QPushButton* btnSaveCom() const { return btnSaveCom_; }
    // The personalizer.
    QSpinBox* comp() const { return seComp_; }
    QCheckBox* cpakt() const { return cbCpAkt_; }
    QCheckBox* prsnUsb() const { return cbPrsnUsb_; }
    // The definitions.
    DbGrid* grid() const { return dbgCom_; }
    QPushButton* btnDopisz() const { return btnDopisz_; }
    QPushButton* btnUsun() const { return btnUsun_; }
    // Messages on the terminals.
    QCheckBox* wdnBzKmnkt() const { return cbWdnBzKmnkt_; }
    QGroupBox* sygnalWydGroup() const { return gbSygnalWyd_; }
    QButtonGroup* sygnalWyd() const { return rgSygnalWyd_; }
    QButtonGroup* sygnalBlok() const { return rgSygnalBlok_; }
    QCheckBox* blkWdnBzKmnkt() const { return cbBlkWdnBzKmnkt_; }
    QPushButton* btnSave() const { return btnSave_; }
    QPushButton* btnWyjscie() const { return btnWyjscie_; }

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
