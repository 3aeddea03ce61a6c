#pragma once

#include "ui/FunctionWindow.h"
#include "ui/WindowHost.h"

#include <QPointer>
#include <QString>
#include <array>
#include <functional>

class QAction;
class QFrame;
class QPushButton;

namespace kzm {

// The windows of the lists hub, in the order of its buttons.
enum class WykazySlot { Osoby, Jednostki, Stopnie, Stawki, Napoje, Zdarz, Param };
inline constexpr int wykazySlotCount = 7;

// What a window of the hub does to the hub's button column while it is open.
enum class HubColumn {
    Shown,    // nothing
    Narrowed, // narrowed to nothing, back to its width when the window closes
    Hidden,   // hidden, shown again when the window closes
};

// One button of the hub and the rules of the window behind it.
struct WykazyEntry {
    WykazySlot slot;
    const char* action;  // the hub's action, "aJednostki"
    const char* button;  // the button's object name
    const char* text;    // the button's caption
    const char* caption; // the caption the window gets
    bool keptOpen;       // opening it while it is open does nothing; otherwise it is made anew
    HubColumn column;
};
const std::array<WykazyEntry, wykazySlotCount>& WykazyEntries();

// The lists hub: a column of buttons, each opening one list window (or the parameters window)
// in the area beside it, one at a time. For its windows it is their host: their captions go
// onto its own host's path caption, and the key handler, the kept window and the lamp are its
// host's.
class TfmWykazy : public FunctionWindow, public WindowHost {
    Q_OBJECT
public:
    explicit TfmWykazy(WindowHost& host);
    ~TfmWykazy() override;

    // The window behind a button, made with the host and caption it is given; until one is set
    // the button stays disabled.
    using Factory = std::function<FunctionWindow*(WindowHost& host, const QString& caption)>;
    void setFactory(WykazySlot slot, Factory factory);
    // The open window of a button; null when there is none.
    FunctionWindow* listWindow(WykazySlot slot) const;

    // A button's action: opens its window by the rules of its entry and closes every other.
    void Open(WykazySlot slot);
    // Closes every open window of the hub; the hub stays open.
    void CloseChildren() override;

    // The width of the button column.
    static constexpr int columnWidth = 110;

    AppContext& ctx() const override;
    void SetChCaption(const QString& text) override;
    void RemChCaption() override;
    void ClrChCaption() override;
    void TakeKeys(QWidget* handler) override;
    void GiveKeysBack(QWidget* handler) override;
    void setKeptWindow(const QString& name) override;
    QString keptWindow() const override;
    void setLamp(const QColor& colour) override;

signals:
    // The hub closed; its host may put the focus where the hub was opened from.
    void closed();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void windowGone(HubColumn column);

    std::array<Factory, wykazySlotCount> factories_;
    std::array<QPointer<FunctionWindow>, wykazySlotCount> windows_;
    std::array<QAction*, wykazySlotCount> actions_{};
    QFrame* pnButtons_ = nullptr;
    QWidget* pnClient_ = nullptr;
    QPushButton* btnExit_ = nullptr;
};

} // namespace kzm
