#pragma once
// Databases of realistic size for the benchmarks: a copy of the catalogue database with
// 20 units, 12 ranks, 3000 persons and their assignments (half of them move to rate 030
// in mid-2024, a third change unit on 16 March 2025) and two years of monthly prices, and
// the plan of March 2025.

#include "fb/Database.h"

#include <QDate>
#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <vector>

namespace kzm {
class Session;
class Tdm;
} // namespace kzm

namespace bench {

inline constexpr int persons = 3000;
inline const QDate first(2025, 3, 1);
inline const QDate last(2025, 3, 31);

// The session of a program folder `dir` on the database at `path` (the administrator, embedded)
// with the working date, and its data module connected; false when the connection failed.
bool Connect(kzm::Session& s, kzm::Tdm& dm, const QTemporaryDir& dir, const QString& path,
             const QDate& workingDate);

// A copy of the catalogue database in `dir`; empty if it cannot be made.
QString CopyTemplate(const QTemporaryDir& dir, const QString& name);

void SeedPersons(fb::Database& db);

// PKZM_OPEN_PLAN_2 for every day from `from` to `to` (by default the month) in one transaction,
// committed; the milliseconds taken.
double OpenPlanMonth(fb::Database& db, int modyfikacja = 0, const QDate& from = first,
                     const QDate& to = last);

// Recomputes the selectivity of the named indexes.
void SetStatistics(fb::Database& db, std::initializer_list<const char*> indexes);

// Runs one statement in a transaction of its own (a select's rows are all fetched, their
// number goes to `rows`) and gives the milliseconds taken.
double Timed(fb::Database& db, const QString& sql, int* rows = nullptr);

// The first column of the first row of a select.
int Count(fb::Database& db, const QString& sql);

// The value below which the fraction q (0..1) of the samples lie, by the nearest rank.
double Percentile(std::vector<double> samples, double q);

// Runs the action `runs` times (`prepare` before each, untimed) and prints its median and
// slowest time as "<name>_p50" and "<name>_max"; false when the action failed once.
bool Measure(const char* name, int runs, const std::function<void()>& prepare,
             const std::function<bool()>& action);

} // namespace bench
