#pragma once

#include "lists/CennikList.h"
#include "lists/ListController.h"

#include <QString>

namespace kzm {

// The drink panel.
struct NapojFields {
    QString kod;
    QString nazwa;
    QString pojemnosc; // "Pojemność"
    bool woda = false;
};

// The drinks window's list (TfmNapoje): the drinks of KZM_NAPOJE by code, at most one of them
// the water, each with its price list. Besides the changes of a drink, a drink may be added,
// and removed while no settlement has given it out.
class NapojeList : public ListController {
public:
    NapojeList(Tdm& dm, Tdmu& dmu);

    NapojFields& fields() { return fields_; }
    const NapojFields& fields() const { return fields_; }
    CennikList& ceny() { return ceny_; }

    // A click on "Rozl.prac.cywilnych" ("ROZLPC") or "woda" ("WODA"): turns the flag of the
    // current drink over; a drink that becomes the water is the only one.
    bool FlipFlag(const QString& column);

    void close() override;

    static const QString brakKodu;      // "Brak kodu napoju"
    static const QString kodPowtorzony; // "Kod nie może się powtarzać"

protected:
    void clearFields() override;
    void loadFields() override;
    QStringList check() override;
    QStringList saveStatements() const override;
    QStringList deleteStatements(int key) const override;
    QString refuseDelete(int key) override;
    void afterScroll() override;

private:
    NapojFields fields_;
    CennikList ceny_;
    QString pojemnosc_; // the capacity as the statement writes it
};

} // namespace kzm
