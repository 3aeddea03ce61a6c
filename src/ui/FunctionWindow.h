#pragma once

#include <QString>
#include <QWidget>

namespace kzm {

class AppContext;
class WindowHost;

// A window that its host (the main window, or a hub) shows without a frame in its client area:
// made on demand, released when closed. On show it sets the error context to its component
// name and puts its caption on the host's path caption; on close it takes the caption off
// again.
class FunctionWindow : public QWidget {
    Q_OBJECT
public:
    FunctionWindow(WindowHost& host, const QString& componentName, const QString& caption);

    WindowHost& host() const { return host_; }
    AppContext& ctx() const;
    const QString& caption() const { return caption_; }
    int helpContext() const { return helpContext_; }

    // Closed and waiting to be released.
    bool isClosed() const { return closed_; }

    // For the data hub: closes the hub's own windows and leaves the hub open.
    virtual void CloseChildren() {}

protected:
    void setHelpContext(int context) { helpContext_ = context; }
    // Hubs empty the whole path caption when they close instead of taking off their part.
    void setClearsCaption(bool on) { clearsCaption_ = on; }

    // Hides the window instead of closing it, its caption taken off the path caption; the
    // terminal window does so while registration runs.
    void hideKeepingAlive();

    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    WindowHost& host_;
    QString caption_;
    int helpContext_ = 0;
    bool captionShown_ = false;
    bool clearsCaption_ = false;
    bool closed_ = false;
};

} // namespace kzm
