// From the program's start to its login window, drawn offscreen: the configuration, the
// application object, the data module, the main window and the login window shown, as
// main() does them. The whole process, loading included, is timed by bench/run.sh around it.

#include "app/Program.h"
#include "app/TfmLog.h"
#include "app/TfmMain.h"
#include "core/Session.h"
#include "db/Tdm.h"
#include "ui/AppContext.h"
#include "ui/KzmApplication.h"
#include "ui/TfmUwaga.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv) {
    QElapsedTimer clock;
    clock.start();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    kzm::Session session;
    session.InitConfig(home.path());
    kzm::KzmApplication app(argc, argv);
    kzm::Tdm dm(session);
    kzm::AppContext ctx(session, dm);
    kzm::InstallUiHooks(ctx);
    kzm::TfmUwaga fmUwaga;
    ctx.fmUwaga = &fmUwaga;
    kzm::TfmMain fmMain(ctx);
    kzm::SetFunctionWindows(fmMain);
    double shown = 0;
    fmMain.login = [&] {
        auto* fmLog = new kzm::TfmLog(session, dm, &fmMain);
        // The window is on the screen once the event loop has run for it.
        QTimer::singleShot(0, fmLog, [&, fmLog] {
            shown = static_cast<double>(clock.nsecsElapsed()) / 1e6;
            fmLog->Zamknij();
        });
        fmLog->exec();
    };
    fmMain.Start();
    std::printf("start_to_login_window %.1f ms\n", shown);
    return 0;
}
