#pragma once

#include <QColor>
#include <QString>

namespace kzm {

class AppContext;

// What a function window, or a hub's child window, needs of the window it lives in: the
// application context, the path caption it adds its part to, and the status lamp. The main
// window is one; a hub or a test can be another.
class WindowHost {
public:
    virtual ~WindowHost() = default;

    virtual AppContext& ctx() const = 0;

    // The path caption: a part added, the last part taken off, everything taken off.
    virtual void SetChCaption(const QString& text) = 0;
    virtual void RemChCaption() = 0;
    virtual void ClrChCaption() = 0;

    // The round status indicator.
    virtual void setLamp(const QColor& colour) = 0;
};

} // namespace kzm
