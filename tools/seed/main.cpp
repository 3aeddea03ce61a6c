// kzm-seed: a realistic canteen database for measuring and for trying the program out.
//   kzm-seed PATH [--persons N] [--units N] [--days N] [--readings-per-day N] [--seed S]
//                 [--from dd.MM.yyyy] [--force]
// The database is made from the catalogue by the program's schema engine and filled through
// its procedures; the same options give the same database. Progress goes to standard output,
// messages to standard error; the exit status is 0 on success.

#include "Seed.h"

#include "core/Session.h"
#include "db/Schema.h"
#include "db/Tdm.h"
#include "fb/Database.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

namespace {

void err(const QString& text) {
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
}

int usage() {
    err(QStringLiteral("użycie: kzm-seed ŚCIEŻKA [--persons N] [--units N] [--days N] "
                       "[--readings-per-day N] [--seed S] [--from dd.MM.yyyy] [--force]"));
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    kzm::Session session;
    session.InitConfig(kzm::ProgramFolder(argc, argv));
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty() || args[0].startsWith(QLatin1String("--")))
        return usage();

    kzm::seed::Options o;
    bool ok = true;
    for (qsizetype i = 1; i < args.size() && ok; ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--force"))
            continue;
        if (i + 1 >= args.size())
            return usage();
        const QString v = args[++i];
        bool number = true;
        if (a == QLatin1String("--persons"))
            o.persons = v.toInt(&number);
        else if (a == QLatin1String("--units"))
            o.units = v.toInt(&number);
        else if (a == QLatin1String("--days"))
            o.days = v.toInt(&number);
        else if (a == QLatin1String("--readings-per-day"))
            o.readingsPerDay = v.toInt(&number);
        else if (a == QLatin1String("--seed"))
            o.seed = v.toULongLong(&number);
        else if (a == QLatin1String("--from")) {
            o.firstDay = QDate::fromString(v, QStringLiteral("dd.MM.yyyy"));
            number = o.firstDay.isValid();
        } else
            return usage();
        ok = number;
    }
    if (!ok || o.persons < 1 || o.units < 2 || o.days < 1 || o.readingsPerDay < 0) {
        err(QStringLiteral("Błędna wartość opcji"));
        return usage();
    }

    session.dbPath = args[0];
    session.localServer = kzm::IsLocalDatabase(session.dbPath);
    session.ui.showMessage = [](const QString& text) { err(text); };
    if (!args.contains(QStringLiteral("--force")) && kzm::DatabaseExists(session)) {
        err(QStringLiteral("Baza już istnieje: %1 (--force zastępuje ją nową)")
                .arg(session.dbPath));
        return 1;
    }

    QElapsedTimer clock;
    clock.start();
    kzm::Tdm dm(session);
    kzm::Schema schema(dm);
    std::printf("Zakładanie bazy %s\n", session.dbPath.toUtf8().constData());
    schema.ZakladanieBazy(1, nullptr);
    if (session.connectionStatus != kzm::Status::connected || schema.failedChunks() > 0) {
        err(QStringLiteral("Nieudane założenie bazy (szczegóły w dzienniku %1)")
                .arg(session.logFile));
        return 1;
    }
    schema.InneTestyAfter();
    // The data module's own transactions stay out of the way of a long fill.
    dm.IBBaza.disconnect();

    try {
        fb::Database db;
        fb::Database readings;
        fb::ConnectParams params{session.dbPath, session.user, session.password};
        // A large cache: the fill touches the indexes of tables that grow by millions of rows.
        params.pageBuffers = 200000;
        db.connect(params);
        readings.connect(params);
        kzm::seed::Seeder seeder(
            db, o,
            [&](const QString& step, int done, int total) {
                std::printf("\r%-40s %3d%%  %5.0f s", step.toUtf8().constData(),
                            total > 0 ? done * 100 / total : 100, clock.elapsed() / 1000.0);
                std::fflush(stdout);
            },
            &readings);
        seeder.Run();
        const kzm::seed::Counts c = seeder.Count();
        std::printf("\nJednostki %d, osoby %d (wojsko %d), przydziały %d, plan %d, odczyty %d, "
                    "rozliczenia napojów %d; %.0f s\n",
                    c.units, c.persons, c.soldiers, c.assignments, c.planRows, c.readings,
                    c.settlements, clock.elapsed() / 1000.0);
    } catch (const std::exception& e) {
        err(kzm::ErrorMessage(e));
        return 1;
    }
    return 0;
}
