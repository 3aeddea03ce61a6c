#pragma once

#include "lists/ListController.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace kzm {

// The edit panel of the event types window.
struct ZdarzFields {
    QString skrot; // "Kod"
    QString nazwa; // "Nazwa"
    bool sn = false, ob = false, ko = false, woda = false;
    int stawkaDw = 0;    // "Do wypłaty %": 0, 60, 100, 200
    int stawkaDw110 = 0; // "110 do wypłaty %": 0, 70, 150
    QString grupa;       // the name chosen in "Grupa do wydruków"
    QString lpw;         // "Kolumna na wydr."
};

// The event types window's list (TfmZdarz): the event types of KZM_ZDARZ in the order of their
// print columns, with their meals, payouts and print group.
class ZdarzList : public ListController {
public:
    ZdarzList(Tdm& dm, Tdmu& dmu);

    ZdarzFields& fields() { return fields_; }
    const ZdarzFields& fields() const { return fields_; }

    // The names of the print groups in ID order, for the panel's list; read on opening.
    const QStringList& grupy() const { return grupy_; }
    // The name shown for a print group number: the fixed names of 1 to 4, nothing otherwise.
    static QString GrupaText(int grw);

    bool open() override;
    // "Rezygnacja": the print columns go back to where they were when the panel opened.
    bool cancel() override;

    // "Kolumna na wydr." up and down: swaps the current event type's print column with its
    // neighbour's; nothing on the first or the last column. Works in every mode.
    ListResult Up();
    ListResult Down();

    // Turns a meal flag ("SN", "OB", "KO", "WODA") of the current event type over.
    bool FlipFlag(const QString& column);

    // "Wpisz grupę" (the group of the ID) and "Usuń grupę" (0) for the marked event types.
    bool WpiszGrupe(RowSelection& marks, int grw);

    // The print column a field holds: its leading integer (digits and "-"), 0 without one.
    static int LpwOf(const QString& text);

    static const QString brakKodu;      // "Brak kodu (skrótu nazwy)"
    static const QString kodPowtorzony; // "Skrót nazwy nie może się powtarzać"

protected:
    void clearFields() override;
    void loadFields() override;
    QStringList check() override;
    QStringList saveStatements() const override;
    QStringList deleteStatements(int key) const override;
    QString refuseDelete(int key) override;

private:
    void takeSnapshot();
    ListResult move(int step);

    ZdarzFields fields_;
    QStringList grupy_;
    QList<QPair<int, int>> snapshot_; // ID and print column when the panel opened
    int grw_ = 0;                     // the group that the checks resolved
};

// The correction codes (KZM_SZKODY_2) shown beside the event types under "Szkody": their water
// ration and payout percentage change; the codes themselves are fixed.
class SzkodyList : public ListController {
public:
    SzkodyList(Tdm& dm, Tdmu& dmu);

    // Turns the water ration of the current correction over.
    bool FlipWoda();
    // "Do wypłaty %" 0, 60 or 100 for the current correction; nothing when it has it already.
    bool SetStawka(int stawkaDw);
};

} // namespace kzm
