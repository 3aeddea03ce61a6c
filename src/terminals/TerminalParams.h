#pragma once

#include "db/Params.h"
#include "fb/Value.h"

#include <QString>
#include <QTime>
#include <array>
#include <vector>

namespace kzm {

// What the parameters window edits, without the window: the terminal definitions' statements,
// the choice of a new definition's port, and the global parameters taken from the fields.

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

} // namespace kzm
