#pragma once

#include "fb/Value.h"

#include <QDate>
#include <QString>
#include <QTime>
#include <optional>

namespace kzm {

class Tdm;
struct ParamColumn;

// The key parts under which all of the program's own parameters are kept.
inline const QString parGlobal = QStringLiteral("GLOBAL");
inline const QString parSection = QStringLiteral("PR_KZM");

// Typed parameters in table PARAMETRY under the key location, section, name, on IBQdm and
// its transaction IBTdm. The key parts are stored and looked up in upper case. Writers trim
// the name, readers take it as given. Each typed operation uses only its own value column.
//
// Readers give the default when there is no row, and 0, the zero date, 00:00 or empty text
// when the row's column is null; they commit, and database errors reach the caller.
// Writers update the row or insert it and commit; a failing write is rolled back and
// otherwise ignored.
class ParamStore {
public:
    explicit ParamStore(Tdm& dm) : dm_(dm) {}

    int ReadParI(const QString& name, int def, const QString& section = parSection,
                 const QString& location = parGlobal);
    double ReadParF(const QString& name, const QString& location, const QString& section,
                    double def);
    QDate ReadParD(const QString& name, const QString& location, const QString& section,
                   const QDate& def);
    QTime ReadParT(const QString& name, const QString& location, const QString& section,
                   const QTime& def);
    void ReadParS(const QString& name, const QString& def, QString& out,
                  const QString& section = parSection, const QString& location = parGlobal);

    // The same under GLOBAL / PR_KZM.
    double ReadParF(const QString& name, double def) {
        return ReadParF(name, parGlobal, parSection, def);
    }
    QDate ReadParD(const QString& name, const QDate& def) {
        return ReadParD(name, parGlobal, parSection, def);
    }
    QTime ReadParT(const QString& name, const QTime& def) {
        return ReadParT(name, parGlobal, parSection, def);
    }

    bool JestPar(const QString& name, const QString& location = parGlobal,
                 const QString& section = parSection);

    void WriteParI(const QString& name, int value, const QString& section = parSection,
                   const QString& location = parGlobal);
    void WriteParF(const QString& name, const QString& location, const QString& section,
                   double value);
    void WriteParD(const QString& name, const QString& location, const QString& section,
                   const QDate& value);
    void WriteParT(const QString& name, const QString& location, const QString& section,
                   const QTime& value);
    void WriteParS(const QString& name, const QString& value, const QString& section = parSection,
                   const QString& location = parGlobal);

    // The same under GLOBAL / PR_KZM.
    void WriteParF(const QString& name, double value) {
        WriteParF(name, parGlobal, parSection, value);
    }
    void WriteParD(const QString& name, const QDate& value) {
        WriteParD(name, parGlobal, parSection, value);
    }
    void WriteParT(const QString& name, const QTime& value) {
        WriteParT(name, parGlobal, parSection, value);
    }

private:
    // The column's value of the row, null when the column is; nothing when there is no row.
    std::optional<fb::Value> read(const ParamColumn& column, const QString& name,
                                  const QString& section, const QString& location);
    void write(const char* writer, const ParamColumn& column, const QString& name,
               const QString& section, const QString& location, const fb::Value& value);

    Tdm& dm_;
};

// The global parameters, loaded from the store by InitParam and changed by the parameters
// form. Before the first load everything is zero, off or 00:00.
struct GlobalParams {
    int SYGNAL_WYD = 0;         // 0: an issued meal makes the terminal sound, 1: silent
    int SYGNAL_BLOK = 0;        // 0: a refused issue makes the terminal sound, 1: silent
    int NR_INSTALACJI = 0;      // installation number of the terminals
    int CLEARTIMEOUT = 0;       // wait after clearing a terminal's memory, before the blocks
    int LOADTIMEOUT = 0;        // pause after loading each card's block
    int MAXKODKARTY = 0;        // highest card number
    int COMP = 0;               // COM port of the card personalizer
    bool CPAKT = false;         // the card personalizer is in use
    bool WdnBzKmnkt = false;    // an issued meal sends no message to the terminal
    bool BlkWdnBzKmnkt = false; // no outcome message at all is sent to the terminal display
    double ProcentRzlWody = 0;  // per cent of the amount that falls to water
    int MAXKODOPER = 0;         // operational numbers below it are soldiers
    QTime OBIAD_OD{0, 0};       // lunch is issued from
    QTime OBIAD_DO{0, 0};       // until (exclusive)
    // Identifiers of the rates, water rations and lunch price, also the price-list items.
    int idStawka020 = 0;
    int idSTawka030 = 0;
    int idStawka110 = 0;
    int idWoda166 = 0;
    int idWoda160 = 0;
    int idObiad = 0;

    friend bool operator==(const GlobalParams&, const GlobalParams&) = default;
};

// Loads the global parameters from the store and writes the fixed ones. Without table
// PARAMETRY nothing changes; a failing read reaches the caller with `g` unchanged.
void InitParam(Tdm& dm, GlobalParams& g);

// 1 before lunch, 2 during lunch (from OBIAD_OD, until OBIAD_DO), 3 after it; by the time of
// day only.
int LunchPeriod(const QTime& t, const GlobalParams& g);

} // namespace kzm
