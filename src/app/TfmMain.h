#pragma once

#include "core/Session.h"
#include "ui/WindowHost.h"

#include <QColor>
#include <QMainWindow>
#include <QPointer>
#include <array>
#include <functional>

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QMenu;

namespace kzm {

class AppContext;
class FunctionWindow;
class StatusLamp;

// The function windows the button bar opens, one of each at most.
enum class FunctionSlot { Dane, Wydruki, Wykazy, Parametry, Funkcje, Rejestrator };
inline constexpr int functionSlotCount = 6;

// The program's only top-level window: the button bar, the status bar and the client area
// the function windows are shown in. It runs the start after the login, owns the
// application-wide error handler and decides whether the program may end.
class TfmMain : public QMainWindow, public WindowHost {
    Q_OBJECT
public:
    explicit TfmMain(AppContext& ctx, QWidget* parent = nullptr);
    ~TfmMain() override;

    AppContext& ctx() const override { return ctx_; }

    // The window behind a button; until one is set the button stays disabled.
    using Factory = std::function<FunctionWindow*(TfmMain& main)>;
    void setFactory(FunctionSlot slot, Factory factory);
    FunctionWindow* functionWindow(FunctionSlot slot) const;

    // The start after the window is made: the login, the utility data module, the server's
    // numbers, the printers, the global parameters and the start-up conversions. False when
    // the login ended the program (the window is then not to be shown).
    bool Start();
    // The login; the login window by default, replaceable in tests.
    std::function<void()> login;

    // The path caption.
    void SetChCaption(const QString& text) override;
    void RemChCaption() override;
    void ClrChCaption() override;
    QString chCaption() const;

    // Closes every function window except the kept one, and the file selection dialog.
    void CloseLastForm();
    // Opens the window of a button as its button does.
    void OpenFunction(FunctionSlot slot);

    void TakeKeys(QWidget* handler) override;
    void GiveKeysBack(QWidget* handler) override;
    QWidget* keyHandler() const { return keyHandler_; }
    void setKeptWindow(const QString& name) override { keptWindow_ = name; }
    QString keptWindow() const override { return keptWindow_; }

    // The round status indicator at the right of the button bar.
    void setLamp(const QColor& colour) override;
    QColor lamp() const;
    // The lamp while no registration runs.
    static inline const QColor lampIdle{0, 128, 0};

    ProgressGauge& gauge();
    QPushButton* button(FunctionSlot slot) const;

    // The text the error handler shows and logs for an error message and an error context.
    static QString ErrorText(const ErrContext& context, const QString& message);
    // The application-wide error handler.
    void ApplicationError(const QString& message);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    bool passesKey() const;
    void fillPrinters();
    void printerChanged(int index);
    void showInClientArea(FunctionWindow* w);
    void openAbout();
    QList<FunctionWindow*> openWindows() const;

    AppContext& ctx_;
    std::array<Factory, functionSlotCount> factories_;
    std::array<QPointer<FunctionWindow>, functionSlotCount> windows_;
    std::array<QPushButton*, functionSlotCount> buttons_{};
    QPushButton* btnWyjscie_ = nullptr;
    QPushButton* btnInfo_ = nullptr;
    QMenu* infoMenu_ = nullptr;
    StatusLamp* lamp_ = nullptr;
    QComboBox* cbPrinters_ = nullptr;
    QLabel* lbInfo_ = nullptr;
    QProgressBar* pbGauge_ = nullptr;
    QLabel* lbCaption_ = nullptr;
    QWidget* client_ = nullptr;
    std::unique_ptr<ProgressGauge> gauge_;
    bool closing_ = false;
    QPointer<QWidget> keyHandler_;
    bool passingKey_ = false; // a key on its way to the handler, which may send it back up
    QString keptWindow_;
};

} // namespace kzm
