#pragma once
// Scripting modal windows in window tests.

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <functional>

namespace testdb {

// Runs `step` on the modal window once it is up. A modal window still open after the safety
// timeout is closed and the script counts as timed out, so no test can hang.
class WhenModal {
public:
    explicit WhenModal(std::function<void(QWidget*)> step, int timeoutMs = 5000)
        : step_(std::move(step)) {
        poll_.setInterval(5);
        QObject::connect(&poll_, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal)
                return;
            poll_.stop();
            ran_ = true;
            step_(modal);
        });
        poll_.start();
        safety_.setSingleShot(true);
        QObject::connect(&safety_, &QTimer::timeout, [this] {
            poll_.stop();
            for (int i = 0; i < 10; ++i) {
                auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
                if (!dialog)
                    break;
                timedOut_ = true;
                dialog->reject();
            }
        });
        safety_.start(timeoutMs);
    }

    bool ran() const { return ran_; }
    bool timedOut() const { return timedOut_; }

private:
    std::function<void(QWidget*)> step_;
    QTimer poll_;
    QTimer safety_;
    bool ran_ = false;
    bool timedOut_ = false;
};

} // namespace testdb
