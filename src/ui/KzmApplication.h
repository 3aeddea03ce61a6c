#pragma once

#include <QApplication>
#include <functional>

namespace kzm {

// The application object: every error that leaves an event handler unhandled goes to the
// application-wide error handler instead of ending the program.
class KzmApplication : public QApplication {
public:
    KzmApplication(int& argc, char** argv);

    std::function<void(const QString& message)> errorHandler;

    bool notify(QObject* receiver, QEvent* event) override;
};

// Wires the session's user-interface hooks to the toolkit: the busy cursor, repainting and
// messages (in the confirmation dialog once it exists).
class AppContext;
void InstallUiHooks(AppContext& ctx);

} // namespace kzm
