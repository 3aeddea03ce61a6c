#pragma once

#include "lists/ListController.h"

#include <QString>

namespace kzm {

class RowSelection;

// The edit panel of the units window.
struct JednostkaFields {
    QString numer; // "Numer"
    QString nazwa; // "Nazwa"
    bool cywile = true;
};

// The units window's list (TfmJednostki): the units of KZM_JEDNOSTKI with their number, name
// and kind, 0 military ("Wojsko") and any other value civilian ("Cywile").
class JednostkiList : public ListController {
public:
    JednostkiList(Tdm& dm, Tdmu& dmu);

    JednostkaFields& fields() { return fields_; }
    const JednostkaFields& fields() const { return fields_; }
    // A unit keeps its number once it exists: "Numer" is typed only for a new unit.
    bool numerEditable() const { return mode() == ListMode::Adding; }

    // Gives every unit a kind (a unit without one is military), then opens the list.
    bool open() override;

    // Sets the kind of every marked unit (the current one is marked first when none is) to
    // `grupa`, 1 "Cywile" or 0 "Wojsko", in one transaction; the list is then re-opened on the
    // current unit. On an error no unit changes and the error goes to the daily log; false.
    bool WpiszGrupe(RowSelection& marks, int grupa);

    static const QString brakNumeru;      // "Brak numeru jednostki"
    static const QString numerPowtorzony; // "Numer jednostki nie może się powtarzać"

protected:
    void clearFields() override;
    void loadFields() override;
    QStringList check() override;
    QStringList saveStatements() const override;
    QStringList deleteStatements(int key) const override;
    QString refuseDelete(int key) override;

private:
    JednostkaFields fields_;
    int storedNumer_ = 0; // the edited unit's number
    int numer_ = 0;       // the number that passed the checks
};

} // namespace kzm
