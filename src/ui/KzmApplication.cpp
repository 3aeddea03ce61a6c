#include "ui/KzmApplication.h"

#include "core/Session.h"
#include "db/Tdm.h"
#include "ui/AppContext.h"
#include "ui/TfmUwaga.h"

#include <QMessageBox>
#include <exception>

namespace kzm {

KzmApplication::KzmApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool KzmApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        if (!errorHandler)
            throw;
        errorHandler(ErrorMessage(e));
    } catch (...) {
        if (!errorHandler)
            throw;
        errorHandler(QStringLiteral("Nieznany błąd"));
    }
    return false;
}

void InstallUiHooks(AppContext& ctx) {
    Session& s = ctx.s;
    s.ui.setBusyCursor = [](bool busy) {
        if (busy)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else if (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
    };
    s.ui.repaint = [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); };
    s.ui.showMessage = [&ctx](const QString& text) {
        if (ctx.fmUwaga) {
            ctx.Ask(text, UwagaTeal, false);
            return;
        }
        QMessageBox::information(QApplication::activeWindow(), QString(), text);
    };
}

} // namespace kzm
