#pragma once

#include "lists/ListController.h"
#include "lists/PrzydzialList.h"

#include <QDate>
#include <QString>

namespace kzm {

// The person panel.
struct OsobaFields {
    QString nrOper;  // "Nr operacyjny"
    QString nrIdent; // "Identyfikator"
    QString nazwisko;
    int idStopien = 0; // the rank grid's current rank
    int idStawka = 0;  // " Stawka żywnościowa ": 0, 20 or 30
};

// What entering an identity in identity entry mode came to.
struct IdentResult {
    bool stored = false;
    QString message; // why nothing was stored, for a message box
};

// The persons window's list (TfmOsoby): the persons of KZM_KART with the unit of their
// assignment in force today (PKZM_VIEW_KART_2), filtered by unit or by a text, and the
// assignments of the current person.
class OsobyList : public ListController {
public:
    OsobyList(Tdm& dm, Tdmu& dmu);

    OsobaFields& fields() { return fields_; }
    const OsobaFields& fields() const { return fields_; }
    PrzydzialList& przydzialy() { return przydzialy_; }

    // The unit filter: the persons of the unit of the ID, -1 for everybody ("Wszyscy").
    void FiltrJednostki(int idJedn);
    // The text filter: a text of digits finds the operational number and the identities that
    // hold it, a text beginning with a digit the identities that hold it, any other text the
    // names that hold it; an empty text shows everybody.
    void Filtruj(const QString& text);
    // The select of a filter, as the list runs it.
    static QString FilterSelect(int idJedn, const QString& text);

    // The water rate of an operational number: 991 for a civilian employee (from 5000 on), 990
    // for a soldier.
    static int StawkaWodyOf(int nrOper);

    // Before saving an edit that changes the operational number: what the change moves and
    // what it leaves, for the user to confirm; empty when the number stays.
    QString numberChangeQuestion() const;

    // The food rate of the person last saved, for the first assignment of a new person.
    int savedStawka() const { return savedStawka_; }

    // Identity entry mode: stores the identity of the current person and moves to the next
    // one, unless another person holds it; an empty text stores nothing.
    IdentResult WpiszIdentyfikator(const QString& ident);

    // "wszystkim": how many assignments the date would be given (every assignment, and a new one
    // for each person without any), for the question before it.
    int AssignmentsForDate();
    // Gives every assignment the start date, a person without any a first one in the unit of
    // the person's card, in one transaction; false, with the server's text, when the database
    // refuses, and then nothing changed.
    bool WstawDate(const QDate& date, QString* error = nullptr);

    bool open() override;
    void close() override;
    QString deleteQuestion() const override;
    QString refusalTitle() const override;

    static const QString cywilBezStawki;  // "Pracownicy cywilni nie mają stawki żywnościowej"
    static const QString brakNumeru;      // "Brak numeru operacyjnego"
    static const QString brakNazwiska;    // "Brak nazwiska"
    static const QString numerPowtorzony; // "Numer operacyjny nie może się powtarzać"
    static const QString identPowtorzony; // "Identyfikator nie może się powtarzać"
    static const QString osobaWPlanie;    // "Nie można usuwać osoby ujętej w planie"

protected:
    void clearFields() override;
    void loadFields() override;
    QStringList check() override;
    QStringList saveStatements() const override;
    int keyAfterSave() const override { return numer_; }
    QStringList deleteStatements(int key) const override;
    QString refuseDelete(int key) override;
    void afterScroll() override;

private:
    QString currentName() const;

    OsobaFields fields_;
    PrzydzialList przydzialy_;
    int remembered_ = 0; // the edited person's number
    int numer_ = 0;      // the number that passed the checks
    int savedStawka_ = 0;
};

} // namespace kzm
