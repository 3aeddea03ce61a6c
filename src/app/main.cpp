#include "app/Program.h"
#include "app/TfmMain.h"
#include "core/Session.h"
#include "db/Tdm.h"
#include "ui/AppContext.h"
#include "ui/KzmApplication.h"
#include "ui/TfmUwaga.h"

#include <cstdio>
#include <cstring>

namespace {

const char* const usage =
    "Użycie: pelto_kzm [--home KATALOG] [--rejestrator]\n"
    "\n"
    "  --home KATALOG  katalog programu: KZM.ini, Baza/, Kopie/, Hist/, Tmp/, Pomoc/\n"
    "                  (bez tej opcji $KZM_HOME, a bez niej katalog programu wykonywalnego)\n"
    "  --rejestrator   stanowisko rejestracji: po zalogowaniu otwiera okno czytników\n"
    "                  i od razu zaczyna pracę ciągłą\n"
    "  --help          ten opis\n"
    "\n"
    "Ścieżka bazy bez nazwy serwera (np. /srv/kzm/Baza/BazaOxle.GDB) otwiera bazę wbudowanym\n"
    "silnikiem; serwer:/ścieżka łączy się z serwerem Firebird. Wpis [Main] CreateBaza=1\n"
    "w KZM.ini sprawia, że okno logowania zakłada nową bazę zamiast się z nią łączyć.\n";

} // namespace

int main(int argc, char** argv) {
    bool registrationStation = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(usage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--rejestrator") == 0)
            registrationStation = true;
    }

    kzm::Session session;
    session.InitConfig(kzm::ProgramFolder(argc, argv));

    kzm::KzmApplication app(argc, argv);
    kzm::Tdm dm(session);
    kzm::AppContext ctx(session, dm);
    kzm::InstallUiHooks(ctx);
    kzm::TfmUwaga fmUwaga;
    ctx.fmUwaga = &fmUwaga;

    bool stopRequested = false;
    ctx.terminateProgram = [&stopRequested] {
        stopRequested = true;
        QCoreApplication::exit(1);
    };

    kzm::TfmMain fmMain(ctx);
    kzm::SetFunctionWindows(fmMain);
    app.errorHandler = [&fmMain](const QString& message) { fmMain.ApplicationError(message); };
    try {
        if (!fmMain.Start())
            return 0;
    } catch (const std::exception& e) {
        // An error of the start goes to the same handler as every other.
        fmMain.ApplicationError(kzm::ErrorMessage(e));
        if (stopRequested)
            return 1;
    }
    fmMain.show();
    if (registrationStation)
        kzm::StartRegistrationStation(fmMain);
    return app.exec();
}
