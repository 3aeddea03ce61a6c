#include "db/Tdmu.h"

#include "core/Dates.h"
#include "core/Literals.h"
#include "core/Session.h"
#include "core/Text.h"
#include "core/Win1250.h"
#include "db/Params.h"
#include "db/Tdm.h"

#include <QFile>
#include <array>
#include <charconv>
#include <cmath>
#include <optional>
#include <stdexcept>
#include <vector>

namespace kzm {

const QString Tdmu::defaultCenaFields =
    QStringLiteral("KWOTA;STAWKA;STAWKA_DW;STAWKA_DW110;STAWKA_110;POJEMNOSC");

namespace {

// The number a cell holds; nothing for a null or for text that is not a number.
std::optional<double> numberOf(const fb::Value& v) {
    if (v.isNull())
        return std::nullopt;
    try {
        return v.toDouble();
    } catch (const std::invalid_argument&) {
        return std::nullopt;
    }
}

// The date a cell holds; invalid for a null or for text that is not a date.
QDate dateOf(const fb::Value& v) {
    if (v.isNull())
        return {};
    try {
        return v.toDate();
    } catch (const std::invalid_argument&) {
        return {};
    }
}

std::int64_t pow10(int n) {
    std::int64_t p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

// The decimal to hundredths, halves away from zero, as digits with "." and two decimals.
QString hundredths(const fb::Decimal& d) {
    if (d.scale == 0)
        return d.toString() + QStringLiteral(".00");
    if (d.scale == 1)
        return d.toString() + u'0';
    if (d.scale == 2)
        return d.toString();
    const std::int64_t p = pow10(d.scale - 2);
    std::int64_t units = d.units / p;
    const std::int64_t rest = d.units % p;
    if ((rest < 0 ? -rest : rest) * 2 >= p)
        units += d.units < 0 ? -1 : 1;
    return fb::Decimal{units, 2}.toString();
}

QString withComma(QString text) {
    text.replace(u'.', u',');
    return text;
}

// A binary fraction in general format with a decimal comma.
QString floatText(double x) {
    if (std::isnan(x))
        return QStringLiteral("NAN");
    if (std::isinf(x))
        return x < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    return withComma(SqlFloat(x));
}

// A single-precision value by the digits that identify it, so 0.1 stays 0,1.
QString singleText(double x) {
    if (!std::isfinite(x))
        return floatText(x);
    char buffer[32];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, static_cast<float>(x));
    double shortest = x;
    std::from_chars(buffer, written.ptr, shortest);
    return floatText(shortest);
}

QString plainText(const fb::Value& v) {
    return SqlStr(FlatLineBreaks(v.toString()));
}

} // namespace

Tdmu::Tdmu(Tdm& dm)
    : IBTrans(dm.IBBaza), IBTdmu(dm.IBBaza), IBTExp(dm.IBBaza), IBQ(IBTrans), IBQdmu(IBTdmu),
      IB(IBTExp), dm_(dm) {}

Tdmu::~Tdmu() = default;

// ---- uniqueness checks

bool Tdmu::found(const QString& sql) {
    fb::ReadScope scope(IBQ);
    IBQ.close();
    IBQ.setSql(sql);
    IBQ.open();
    const bool any = !IBQ.isEmpty();
    scope.finish();
    return any;
}

bool Tdmu::JestInt(const QString& table, const QString& field, int excludedValue,
                   const QString& excludedField, int value) {
    QString sql = QStringLiteral("select ") + field + QStringLiteral(" from ") + table +
                  QStringLiteral(" where ") + field + u'=' + QString::number(value);
    if (!excludedField.isEmpty() && excludedValue != -1)
        sql += QStringLiteral(" and ") + excludedField + QStringLiteral("<>") +
               QString::number(excludedValue);
    return found(sql);
}

bool Tdmu::JestString(const QString& table, const QString& field, int excludedId,
                      const QString& value) {
    QString sql = QStringLiteral("select ") + field + QStringLiteral(" from ") + table +
                  QStringLiteral(" where ") + field + u'=' + SqlStr(value);
    if (excludedId != -1)
        sql += QStringLiteral(" and id<>") + QString::number(excludedId);
    return found(sql);
}

// ---- row after a deletion

int Tdmu::NextID(fb::Query& q, const QString& keyField) {
    q.next();
    if (q.eof())
        q.prior();
    return q.fieldByName(keyField).asInteger();
}

// ---- names

QString Tdmu::lookup(const QString& sql, const QString& field) {
    fb::ReadScope scope(IBQdmu);
    // The same text keeps its prepared statement.
    if (IBQdmu.sql() != sql)
        IBQdmu.setSql(sql);
    IBQdmu.open();
    const QString text = IBQdmu.isEmpty() ? QString() : IBQdmu.fieldByName(field).asString();
    scope.finish();
    return text;
}

QString Tdmu::DajNazweJedn(int id) {
    return lookup(QStringLiteral("select nazwa from kzm_jednostki where id=") + QString::number(id),
                  QStringLiteral("nazwa"));
}

QString Tdmu::DajNazweJednNum(int number) {
    return lookup(QStringLiteral("select nazwa from kzm_jednostki where numer=") +
                      QString::number(number),
                  QStringLiteral("nazwa"));
}

QString Tdmu::DajNazweGrw(int group) {
    static const std::array<QString, 4> names = {
        QStringLiteral("Z KUCHNI"), QStringLiteral("POZA KUCHNIĄ"), QStringLiteral("RÓWNOWAŻNIK"),
        QStringLiteral("INNE")};
    if (group < 1 || group > 4)
        return {};
    return names[static_cast<size_t>(group - 1)];
}

QString Tdmu::DajNazweZdarz(int group, int column) {
    return lookup(QStringLiteral("select skrot from kzm_zdarz where  grw=") +
                      QString::number(group) + QStringLiteral(" and lpw=") +
                      QString::number(column),
                  QStringLiteral("skrot"));
}

// ---- display formatters

QString Tdmu::getCena(const fb::Value& v) {
    if (v.isNull())
        return {};
    const auto& s = v.storage();
    if (const auto* d = std::get_if<fb::Decimal>(&s))
        return hundredths(*d);
    if (const auto* n = std::get_if<std::int64_t>(&s))
        return QString::number(*n) + QStringLiteral(".00");
    const std::optional<double> x = numberOf(v);
    if (!x)
        return v.toString();
    const double r = RoundTo(*x, 2);
    return QString::number(r == 0 ? 0.0 : r, 'f', 2);
}

QString Tdmu::getDzien(const fb::Value& v) {
    return DayName(dateOf(v), 1);
}

QString Tdmu::getDzienF(const fb::Value& v) {
    static const std::array<QString, 7> names = {
        QStringLiteral("Poniedziałek"), QStringLiteral("Wtorek"), QStringLiteral("Środa"),
        QStringLiteral("Czwartek"),     QStringLiteral("Piatek"), QStringLiteral("Sobota"),
        QStringLiteral("Niedziela")};
    const QDate d = dateOf(v);
    if (!d.isValid())
        return {};
    return names[static_cast<size_t>(d.dayOfWeek() - 1)];
}

QString Tdmu::getGrupa(const fb::Value& v) {
    const std::optional<double> x = numberOf(v);
    if (!x)
        return {};
    return *x == 0 ? QStringLiteral("Wojsko") : QStringLiteral("Cywile");
}

QString Tdmu::getMiejsce(const fb::Value& v) {
    const std::optional<double> x = numberOf(v);
    if (!x)
        return {};
    return *x == 0 ? QStringLiteral("W") : QStringLiteral("G");
}

QString Tdmu::getData(const fb::Value& v) {
    const QDate d = dateOf(v);
    if (!d.isValid() || d == ZeroDate())
        return {};
    return DateText(d, 0);
}

QString Tdmu::getStawka(const fb::Value& v) {
    const std::optional<double> x = numberOf(v);
    if (!x)
        return {};
    if (*x == 20)
        return QStringLiteral("020");
    if (*x == 30)
        return QStringLiteral("030");
    return QStringLiteral("brak");
}

Formatter Tdmu::getJedn() {
    return [this](const fb::Value& v) -> QString {
        const std::optional<double> x = numberOf(v);
        if (!x)
            return {};
        return DajNazweJedn(v.toInt());
    };
}

bool Tdmu::CenaField(const QString& name, const QString& fieldList) {
    const QString list =
        u';' + (fieldList.isEmpty() ? defaultCenaFields : fieldList).toUpper() + u';';
    return list.contains(u';' + name.toUpper() + u';');
}

// ---- export

QString Tdmu::CsvField(const fb::Value& v, fb::FieldType type) {
    using fb::FieldType;
    if (v.isNull())
        return QStringLiteral("Null");
    switch (type) {
    case FieldType::SmallInt:
    case FieldType::Integer:
    case FieldType::BigInt:
        return QString::number(v.toInt64());
    case FieldType::Numeric:
        if (std::holds_alternative<fb::Decimal>(v.storage()))
            return withComma(v.toString());
        return floatText(v.toDouble());
    case FieldType::Float:
        return singleText(v.toDouble());
    case FieldType::Double:
        return floatText(v.toDouble());
    case FieldType::Date:
        return SqlDate(v.toDate());
    case FieldType::Time:
        return SqlDate(ZeroDate());
    default:
        return plainText(v);
    }
}

int Tdmu::WriteCSV(const QString& fileName, const QStringList& names,
                   const std::vector<fb::FieldType>& types,
                   const std::function<bool(std::vector<fb::Value>& row)>& nextRow) {
    QString heading;
    for (const QString& name : names)
        heading += name + u'\t';
    heading += QStringLiteral("\r\n");

    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 0;

    // Lines are collected into blocks of about this size before they go to the file.
    constexpr qsizetype blockSize = 1 << 16;
    QByteArray block = ToWin1250(heading);
    block.reserve(blockSize + 4096);
    bool ok = true;
    const auto flush = [&] {
        ok = ok && file.write(block) == block.size();
        block.clear();
    };

    int lines = 0;
    try {
        QString line;
        std::vector<fb::Value> row;
        while (ok && nextRow(row)) {
            line.clear();
            for (size_t c = 0; c < types.size(); ++c) {
                line += CsvField(c < row.size() ? row[c] : fb::Value(), types[c]);
                line += u'\t';
            }
            line += QStringLiteral("\r\n");
            block += ToWin1250(line);
            ++lines;
            if (block.size() >= blockSize)
                flush();
        }
        flush();
    } catch (...) {
        file.close();
        file.remove();
        throw;
    }
    file.close();
    if (!ok || file.error() != QFileDevice::NoError) {
        file.remove();
        return 0;
    }
    return lines;
}

int Tdmu::ExportCSV(const QString& fileName, bool closeAfter) {
    if (!IB.isOpen() || IB.isEmpty())
        return 0;
    BusyCursor busy(dm_.session());

    const int columns = IB.fieldCount();
    QStringList names;
    std::vector<fb::FieldType> types(static_cast<size_t>(columns));
    for (int c = 0; c < columns; ++c) {
        names << IB.field(c).name();
        types[static_cast<size_t>(c)] = IB.field(c).type();
    }
    constexpr int fetchBatch = 512;
    int r = 0;
    IB.first();
    const int lines = WriteCSV(fileName, names, types, [&](std::vector<fb::Value>& row) {
        if (r >= IB.fetchedRows() && (!IB.canFetchMore() || IB.fetchMore(fetchBatch) == 0))
            return false;
        row.resize(static_cast<size_t>(columns));
        for (int c = 0; c < columns; ++c)
            row[static_cast<size_t>(c)] = IB.value(r, c);
        ++r;
        return true;
    });
    // The query stands past its last row, as after reading it through.
    IB.last();
    if (lines == 0)
        return 0;

    if (closeAfter) {
        IB.close();
        IBTExp.commit();
    }
    return lines;
}

// ---- parameters

void Tdmu::InitParam(GlobalParams& g) {
    kzm::InitParam(dm_, g);
}

} // namespace kzm
