#pragma once

#include "lists/ListController.h"

#include <QString>

namespace kzm {

// The edit panel of the ranks window.
struct StopienFields {
    QString skrot; // "Skrót"
    QString nazwa; // "Nazwa"
};

// The ranks window's list (TfmStopnie): the ranks of KZM_STOPNIE by abbreviation.
class StopnieList : public ListController {
public:
    StopnieList(Tdm& dm, Tdmu& dmu);

    StopienFields& fields() { return fields_; }
    const StopienFields& fields() const { return fields_; }

    static const QString brakSkrotu;      // "Brak brak skrótu nazwy"
    static const QString skrotPowtorzony; // "Skrót nie może się powtarzać"

protected:
    void clearFields() override;
    void loadFields() override;
    QStringList check() override;
    QStringList saveStatements() const override;
    QStringList deleteStatements(int key) const override;
    QString refuseDelete(int key) override;

private:
    StopienFields fields_;
};

} // namespace kzm
