#pragma once

#include <QString>
#include <QWidget>

namespace kzm {

class AppContext;
class TfmMain;

// A window that the main window shows without a frame in its client area: made on demand,
// released when closed. On show it sets the error context to its component name and puts its
// caption on the main window's path caption; on close it takes the caption off again.
class FunctionWindow : public QWidget {
    Q_OBJECT
public:
    FunctionWindow(TfmMain& main, const QString& componentName, const QString& caption);

    TfmMain& fmMain() const { return main_; }
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
    TfmMain& main_;
    QString caption_;
    int helpContext_ = 0;
    bool captionShown_ = false;
    bool clearsCaption_ = false;
    bool closed_ = false;
};

} // namespace kzm
