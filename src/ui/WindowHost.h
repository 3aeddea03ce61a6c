#pragma once

#include <QColor>
#include <QString>

class QWidget;

namespace kzm {

class AppContext;

// What a function window, or a hub's child window, needs of the window it lives in: the
// application context, the path caption it adds its part to, the key handler, the name of the
// window kept alive while hidden, and the status lamp. The main window is one; a hub or a test
// can be another.
class WindowHost {
public:
    virtual ~WindowHost() = default;

    virtual AppContext& ctx() const = 0;

    // The path caption: a part added, the last part taken off, everything taken off.
    virtual void SetChCaption(const QString& text) = 0;
    virtual void RemChCaption() = 0;
    virtual void ClrChCaption() = 0;

    // The key handler: while a window has taken it, the keys the host receives go to that
    // window. Given back only by the window that holds it.
    virtual void TakeKeys(QWidget* handler) = 0;
    virtual void GiveKeysBack(QWidget* handler) = 0;

    // The window that stays alive while hidden (the terminal window during a run), by its
    // component name; the host's closing of its windows leaves it open. Empty for none.
    virtual void setKeptWindow(const QString& name) = 0;
    virtual QString keptWindow() const = 0;

    // The round status indicator.
    virtual void setLamp(const QColor& colour) = 0;
};

} // namespace kzm
