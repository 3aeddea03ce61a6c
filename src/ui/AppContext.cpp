#include "ui/AppContext.h"

#include "core/Session.h"
#include "db/Tdm.h"
#include "db/Tdmu.h"
#include "ui/TfmSF.h"
#include "ui/TfmUwaga.h"

#include <QApplication>
#include <QMessageBox>
#include <QPrinterInfo>
#include <QScreen>

namespace kzm {

AppContext::AppContext(Session& session, Tdm& dataModule) : s(session), dm(dataModule) {
    systemPrinters = [] { return QPrinterInfo::availablePrinterNames(); };
    showError = [](const QString& message) {
        QMessageBox::critical(QApplication::activeWindow(), QStringLiteral("Błąd"), message);
    };
    terminateProgram = [] { QCoreApplication::exit(1); };
}

AppContext::~AppContext() {
    releaseFmSF();
}

bool AppContext::Ask(const QString& text, const QColor& colour, bool question) {
    if (!fmUwaga)
        return false;
    return fmUwaga->Ask(text, colour, question);
}

TfmSF& AppContext::fmSF() {
    if (sf_.isNull()) {
        sf_ = new TfmSF();
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            sf_->move(sf_->x(), screen->availableGeometry().top() + 60);
    }
    return *sf_;
}

void AppContext::releaseFmSF() {
    delete sf_.data();
    sf_.clear();
}

QString AppContext::pdfPrinterName() {
    return QStringLiteral("Plik PDF (Tmp)");
}

bool AppContext::pdfPrinterSelected() const {
    return selectedPrinter >= 0 && selectedPrinter < printers.size() &&
           printers[selectedPrinter] == pdfPrinterName();
}

} // namespace kzm
