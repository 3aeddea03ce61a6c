#pragma once

#include "db/Params.h"

#include <QColor>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace kzm {

class Session;
class Tdm;
class Tdmu;
class TfmUwaga;
class TfmSF;

// What the windows of the program share: the session, the two data modules, the global
// parameters, the common dialogs, the selected printer and the registration state. One is
// made at start and handed to every window.
class AppContext {
public:
    AppContext(Session& session, Tdm& dm);
    ~AppContext();
    AppContext(const AppContext&) = delete;
    AppContext& operator=(const AppContext&) = delete;

    Session& s;
    Tdm& dm;
    std::unique_ptr<Tdmu> dmu; // made after the login
    GlobalParams params;

    // The server's numbers of this connection and of its transaction at start.
    int connectionNumber = 0;
    int transactionNumber = 0;

    // The confirmation dialog, made at start and kept to the end.
    TfmUwaga* fmUwaga = nullptr;
    bool Ask(const QString& text, const QColor& colour = QColor(), bool question = false);

    // The file selection dialog; released by the main window's navigation and made again
    // here when next needed, 60 pixels from the top of the screen.
    TfmSF& fmSF();
    void releaseFmSF();
    bool hasFmSF() const { return !sf_.isNull(); }

    // Printers: the system's, then the entry that prints to a PDF file in Tmp/.
    QStringList printers;
    int selectedPrinter = -1; // -1: none selected
    std::function<QStringList()> systemPrinters;
    static QString pdfPrinterName();
    bool pdfPrinterSelected() const;

    // Whether a registration run is going on.
    bool registrationRunning = false;

    // The toolkit's error display, and the end of the program on the user's request; tests
    // replace both.
    std::function<void(const QString& message)> showError;
    std::function<void()> terminateProgram;

private:
    QPointer<TfmSF> sf_;
};

} // namespace kzm
