#pragma once
// The main window over a benchmark's connection, logged in and shown offscreen, for the
// benchmarks that drive real windows.

#include "app/TfmMain.h"
#include "core/Session.h"
#include "db/Tdm.h"
#include "ui/AppContext.h"
#include "ui/TfmUwaga.h"

#include <QCoreApplication>
#include <QStringList>

namespace bench {

// Lets the windows paint and closed windows go.
inline void Settle() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

class MainWindow {
public:
    MainWindow(kzm::Session& s, kzm::Tdm& dm) : ctx(s, dm), main(ctx) {
        ctx.fmUwaga = &fmUwaga;
        ctx.systemPrinters = [] { return QStringList(); };
        main.login = [&s] { s.connectionStatus = kzm::Status::connected; };
    }

    // The start after the login (the connection is the benchmark's) and the window shown; false
    // when the start ended the program.
    bool start() {
        if (!main.Start())
            return false;
        main.show();
        return true;
    }

    kzm::AppContext ctx;
    kzm::TfmUwaga fmUwaga;
    kzm::TfmMain main;
};

} // namespace bench
