#pragma once
// The main window over a copy of the catalogue database, logged in, as the function windows'
// tests need it. What the error display would show and the program's end are recorded.

#include "app/TfmMain.h"
#include "support/CatalogueDb.h"
#include "ui/AppContext.h"
#include "ui/TfmUwaga.h"

#include <QCoreApplication>
#include <memory>

namespace testdb {

class MainWindowTest : public CatalogueDbTest {
protected:
    void SetUp() override {
        CatalogueDbTest::SetUp();
        ctx.fmUwaga = &fmUwaga;
        ctx.systemPrinters = [this] { return systemPrinters; };
        ctx.showError = [this](const QString& m) { errors << m; };
        ctx.terminateProgram = [this] { ++terminated; };
        main = std::make_unique<kzm::TfmMain>(ctx);
        // The login of these tests: the connection the fixture made.
        main->login = [this] { s.connectionStatus = kzm::Status::connected; };
    }
    void TearDown() override { main.reset(); }

    // The start after the login, and the window shown.
    void startMain() {
        ASSERT_TRUE(main->Start());
        main->show();
        QCoreApplication::processEvents();
    }

    // Lets closed windows be released.
    static void settle() {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QStringList systemPrinters;
    QStringList errors;
    int terminated = 0;
    kzm::AppContext ctx{s, dm};
    kzm::TfmUwaga fmUwaga;
    std::unique_ptr<kzm::TfmMain> main;
};

} // namespace testdb
