#pragma once

#include "lists/OwnedList.h"

#include <QDate>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

namespace kzm {

// The price panel.
struct CenaFields {
    QString kwota; // "Kwota"
    QDate odKiedy; // "Od kiedy"
};

// A price list of KZM_CENNIK: the amounts of one owner, a rate or a drink (its ID in IDTR),
// each with the day from which it is valid. The owner's list sets the owner whenever its
// current row changes.
class CennikList : public OwnedList {
public:
    CennikList(Tdm& dm, Tdmu& dmu);

    CenaFields& fields() { return fields_; }
    const CenaFields& fields() const { return fields_; }

    // The day a new price is valid from.
    std::function<QDate()> today = [] { return QDate::currentDate(); };

    // The amount a "Kwota" field holds, in hundredths, rounded half away from zero; "," counts
    // as the decimal point. Nothing for empty text or text that is not a plain decimal number.
    static std::optional<std::int64_t> GroszeOf(const QString& text);
    // The largest amount KWOTA holds (NUMERIC(6,2)), in hundredths.
    static constexpr std::int64_t maxGrosze = 999999;

    static const QString brakKwoty;   // "Brak kwoty"
    static const QString blednaKwota; // "Błędna kwota"
    static const QString kwotaZakres; // the amount lies outside 0.00 to 9999.99

protected:
    QString ownerSelect(int id) const override;
    void clearFields() override;
    void loadFields() override;
    QStringList check() override;
    QStringList saveStatements() const override;
    QStringList deleteStatements(int key) const override;

private:
    CenaFields fields_;
    std::int64_t grosze_ = 0; // the amount that passed the checks
};

} // namespace kzm
