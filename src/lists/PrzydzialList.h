#pragma once

#include "lists/OwnedList.h"

#include <QDate>
#include <functional>

namespace kzm {

// The assignment panel.
struct PrzydzialFields {
    QDate odKiedy;    // "Przydział do jednostki od dnia"
    int idJedn = 0;   // the unit grid's current unit
    int idStawka = 0; // " Stawka żywnościowa ": 0, 20 or 30
};

// The assignments of one person (KZM_PRZYDZIAL) with the number of their unit, as the persons
// window shows them under the person. The persons' list sets the person whenever its current
// row changes.
class PrzydzialList : public OwnedList {
public:
    PrzydzialList(Tdm& dm, Tdmu& dmu);

    PrzydzialFields& fields() { return fields_; }
    const PrzydzialFields& fields() const { return fields_; }

    // The day a new assignment starts.
    std::function<QDate()> today = [] { return QDate::currentDate(); };
    // The food rate a new assignment is given (the person's, for a person's first one).
    int newStawka = 0;

    static const QString brakJednostki; // no unit chosen
    static const QString brakDaty;      // no start day
    static const QString
        dwaPrzydzialy; // "Nie może być dwóch różnych przydziałów w tym samym czasie"

protected:
    QString ownerSelect(int nrOper) const override;
    void clearFields() override;
    void loadFields() override;
    QStringList check() override;
    QStringList saveStatements() const override;
    QStringList deleteStatements(int key) const override;

private:
    PrzydzialFields fields_;
};

} // namespace kzm
