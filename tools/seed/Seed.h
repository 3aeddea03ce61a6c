#pragma once
// A realistic canteen database: master data, a year of plans with event types and
// corrections, the readings of the terminals, dog rations and the drinks settlements, made
// through the program's own procedures. The same options give the same database.

#include "fb/Database.h"

#include <QDate>
#include <QString>
#include <cstdint>
#include <functional>

namespace kzm::seed {

struct Options {
    int persons = 3000;
    int units = 40;
    int days = 365;
    int readingsPerDay = 3; // readings of one person's planned meals on a day, at most
    std::uint64_t seed = 1;
    QDate firstDay{2025, 1, 1};
};

// What was made, counted from the database afterwards.
struct Counts {
    int units = 0;
    int persons = 0;
    int soldiers = 0;
    int assignments = 0;
    int planRows = 0;
    int readings = 0;
    int settlements = 0;
};

// The operational number of the n-th soldier and civilian (0-based): soldiers count from 1,
// below the civilian limit 5000; civilians from 5001.
int SoldierNumber(int n);
int CivilianNumber(int n);
// How many of `persons` are soldiers: most of them, never past the civilian limit.
int SoldierCount(int persons);

// A small deterministic generator (splitmix64): the same seed, the same sequence on every
// platform and library.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next();
    // 0 .. n-1
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }

private:
    std::uint64_t state_;
};

// Fills a database made from the catalogue (places, rates and the other starting rows in it).
class Seeder {
public:
    using Progress = std::function<void(const QString& step, int done, int total)>;

    // `readings`, a second attachment to the same database, stores each day's readings while
    // the next day is planned; without it everything goes through `db`.
    Seeder(fb::Database& db, const Options& options, Progress progress = {},
           fb::Database* readings = nullptr);

    void Run();
    Counts Count();

private:
    void Prices();
    void Units();
    void Ranks();
    void EventTypes();
    void Drinks();
    void Persons();
    // The statements of a day: its plan, or its readings.
    QString DayBlock(const QDate& day, int index, bool readings) const;
    static void Execute(fb::Database& db, const QString& sql);
    void Settle(const QDate& monthEnd);
    void Statistics();
    void report(const QString& step, int done, int total);

    fb::Database& db_;
    fb::Database* readings_;
    Options o_;
    Progress progress_;
    Random random_;
    // Keys given by the triggers, as the day's statements use them.
    QList<int> unitIds_;
    QList<int> rankIds_;
    struct Events {
        int sk = 0, so = 0, p20 = 0, p40 = 0, p80 = 0, p150 = 0, ur = 0, del = 0, szp = 0, rw = 0,
            bn = 0, pc = 0;
    } events_;
};

} // namespace kzm::seed
