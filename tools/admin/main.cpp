// kzm-admin: the schema engine from the command line.
//   kzm-admin create PATH [--force] [--user U] [--password P]
//                                                      a new database from the catalogue
//   kzm-admin check PATH [--reindex] [--user U] [--password P]
//   kzm-admin catalogue                                the script names in creation order
//   kzm-admin script NAME                              the text of one script
//   kzm-admin raport-demo PATH PDF [--sql S] [--grupa F] [--kwota F] [--tytul T] [--csv CSV]
//                                  [--user U] [--password P]
//                                                      a query's rows as a list in a PDF file
// Log lines go to standard output, messages to standard error; the exit status is 0 on
// success.

#include "core/Session.h"
#include "db/Params.h"
#include "db/Schema.h"
#include "db/Tdm.h"
#include "fb/Database.h"
#include "report/Export.h"
#include "report/ListLayout.h"
#include "report/Printing.h"
#include "schema/Catalogue.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <cstdio>
#include <memory>

namespace {

void out(const QString& text) {
    std::printf("%s\n", text.toUtf8().constData());
}
void err(const QString& text) {
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
}

int usage() {
    err(QStringLiteral("użycie: kzm-admin create ŚCIEŻKA [--force] [--user U] [--password P]\n"
                       "       kzm-admin check ŚCIEŻKA [--reindex] [--user U] [--password P]\n"
                       "       kzm-admin catalogue\n"
                       "       kzm-admin script NAZWA\n"
                       "       kzm-admin raport-demo ŚCIEŻKA PLIK.pdf [--sql ZAPYTANIE] "
                       "[--grupa POLE] [--kwota POLE] [--tytul TYTUŁ] [--csv PLIK]"));
    return 2;
}

// The value after an option, or the default.
QString option(const QStringList& args, const QString& name, const QString& def) {
    const qsizetype at = args.indexOf(name);
    return at >= 0 && at + 1 < args.size() ? args[at + 1] : def;
}

// The demonstration list: the persons by unit, or the rows of the query given.
int raportDemo(kzm::Tdm& dm, const QStringList& args) {
    const QString sql =
        option(args, QStringLiteral("--sql"),
               QStringLiteral("select j.NAZWA as JEDNOSTKA, k.NR_OPER, k.NAZWISKO from KZM_KART k "
                              "left join KZM_JEDNOSTKI j on j.ID = k.IDJEDN "
                              "order by j.NUMER, k.NAZWISKO"));
    const QString group =
        option(args, QStringLiteral("--grupa"),
               args.contains(QStringLiteral("--sql")) ? QString() : QStringLiteral("JEDNOSTKA"));
    const QString title = option(args, QStringLiteral("--tytul"), QStringLiteral("Wykaz osób"));
    try {
        fb::Transaction tr(dm.IBBaza);
        fb::Query q(tr);
        q.setSql(sql);
        q.open();
        const kzm::report::PageModel pages = kzm::report::ListaZapytania(
            q, title, group, option(args, QStringLiteral("--kwota"), QString()));
        if (!kzm::report::WritePdf(pages, args[2])) {
            err(QStringLiteral("Nie można zapisać pliku ") + args[2]);
            return 1;
        }
        out(QStringLiteral("Wydruk zapisano w pliku %1 (stron: %2)")
                .arg(args[2])
                .arg(pages.pageCount()));
        const QString csv = option(args, QStringLiteral("--csv"), QString());
        if (!csv.isEmpty()) {
            kzm::report::QuerySource rows(q);
            out(QStringLiteral("Wiersze zapisano w pliku %1 (wierszy: %2)")
                    .arg(csv)
                    .arg(kzm::report::ExportCsv(rows, csv)));
        }
    } catch (const std::exception& e) {
        err(kzm::ErrorMessage(e));
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    kzm::Session session;
    session.InitConfig(kzm::ProgramFolder(argc, argv));
    // Printing needs fonts, which a GUI application brings; it draws off screen.
    const bool printing = argc > 1 && QByteArray(argv[1]) == "raport-demo";
    if (printing && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::unique_ptr<QCoreApplication> app(printing ? new QGuiApplication(argc, argv)
                                                         : new QCoreApplication(argc, argv));
    const QStringList args = app->arguments().mid(1);
    if (args.isEmpty())
        return usage();
    const QString command = args[0];

    if (command == QLatin1String("catalogue")) {
        for (const QString& name : kzm::schema::Catalogue())
            out(name);
        return 0;
    }
    if (command == QLatin1String("script")) {
        if (args.size() < 2)
            return usage();
        const QStringList lines = kzm::schema::Script(args[1]);
        if (lines.isEmpty()) {
            err(QStringLiteral("Brak skryptu ") + args[1]);
            return 1;
        }
        for (const QString& line : lines)
            out(line);
        return 0;
    }
    if ((command != QLatin1String("create") && command != QLatin1String("check") && !printing) ||
        args.size() < (printing ? 3 : 2))
        return usage();

    session.dbPath = args[1];
    session.user = option(args, QStringLiteral("--user"), QStringLiteral("SYSDBA"));
    session.password = option(args, QStringLiteral("--password"), QStringLiteral("pantrykey"));
    const fb::DatabasePath path = fb::DatabasePath::parse(session.dbPath);
    session.localServer = kzm::IsLocalDatabase(session.dbPath);
    if (path.host.isEmpty())
        QDir().mkpath(QFileInfo(path.file).absolutePath());

    int failures = 0;
    session.ui.showMessage = [&](const QString& text) {
        ++failures;
        err(text);
    };
    session.onLogLine = out;

    kzm::Tdm dm(session);
    kzm::Schema schema(dm);
    kzm::GlobalParams params;
    schema.reloadParams = [&] { kzm::InitParam(dm, params); };
    if (command == QLatin1String("create")) {
        // Creation removes a database already at the path; that takes an explicit --force.
        if (!args.contains(QStringLiteral("--force")) && kzm::DatabaseExists(session)) {
            err(QStringLiteral("Baza już istnieje: %1 (--force zastępuje ją nową)")
                    .arg(session.dbPath));
            return 1;
        }
        schema.ZakladanieBazy(1, nullptr);
        if (session.connectionStatus != kzm::Status::connected) {
            err(QStringLiteral("Nieudane założenie bazy (%1)").arg(session.connectionStatus));
            return 1;
        }
        // Script errors during creation go only to the log; the exit status tells of them.
        if (schema.failedChunks() > 0) {
            err(QStringLiteral("Błędne skrypty: %1 (szczegóły w dzienniku %2)")
                    .arg(schema.failedChunks())
                    .arg(session.logFile));
            return 1;
        }
        return 0;
    }

    dm.BazaConnect();
    if (session.connectionStatus != kzm::Status::connected) {
        err(QStringLiteral("Brak dostępu do bazy (%1)").arg(session.connectionStatus));
        return 1;
    }
    if (printing)
        return raportDemo(dm, args);
    session.ui.showInfo = [](const QString& text) {
        if (!text.isEmpty())
            out(text);
    };
    schema.TestBazy(nullptr, args.contains(QStringLiteral("--reindex")));
    return failures == 0 ? 0 : 1;
}
