#pragma once

#include "ui/FunctionWindow.h"
#include "ui/WindowHost.h"

#include <QPointer>
#include <QString>
#include <functional>
#include <span>
#include <type_traits>
#include <vector>

class QAction;
class QFrame;
class QPushButton;

namespace kzm {

// What a window of a hub does to the hub's button column while it is open.
enum class HubColumn {
    Shown,    // nothing
    Narrowed, // narrowed to nothing, back to its width when the window closes
    Hidden,   // hidden, shown again when the window closes
};

// One button of a hub and the rules of the window behind it. The slot is the hub's own number
// of the window: a hub numbers its windows from 0 up, whatever the order of their buttons.
struct HubEntry {
    int slot;
    const char* action;  // the hub's action, "aJednostki"
    const char* button;  // the button's object name
    const char* text;    // the button's caption
    const char* caption; // the caption the window gets
    bool keptOpen;       // opening it while it is open brings it forward; otherwise it is made anew
    HubColumn column;
};

// A hub's own numbering of its windows (an enum) as the number a hub entry holds.
template <class Slot> constexpr int HubSlot(Slot slot) {
    static_assert(std::is_enum_v<Slot>);
    return static_cast<int>(slot);
}

// A hub: a column of buttons, "Wyjście" first and then one for each of its entries, each
// opening its window in the area beside it, one at a time. For its windows it is their host:
// their captions go onto its own host's path caption, and the key handler, the kept window and
// the lamp are its host's. Closing the hub closes its windows and empties the path caption.
class HubWindow : public FunctionWindow, public WindowHost {
    Q_OBJECT
public:
    ~HubWindow() override;

    // The window behind a button, made with the host and caption it is given; until one is set
    // the button stays disabled.
    using Factory = std::function<FunctionWindow*(WindowHost& host, const QString& caption)>;

    // Closes every open window of the hub, in the hub's closing order; the hub stays open.
    void CloseChildren() override;

    // The width of the button column: at least this, more when a button's caption needs it.
    static constexpr int columnWidth = 110;
    int buttonColumnWidth() const { return buttonColumnWidth_; }

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
    // The entries are the buttons below "Wyjście", top to bottom; the table outlives the hub.
    // The closing order lists the slots as CloseChildren closes their windows; empty, it is
    // the order of the buttons.
    HubWindow(WindowHost& host, const QString& componentName, const QString& caption,
              std::span<const HubEntry> entries, std::vector<int> closingOrder = {});

    void setSlotFactory(int slot, Factory factory);
    // The open window of a slot; null when there is none.
    FunctionWindow* slotWindow(int slot) const;
    // A button's action: opens its window by the rules of its entry and closes every other.
    void OpenSlot(int slot);

    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    const HubEntry& entry(int slot) const;
    void windowGone(HubColumn column);

    std::span<const HubEntry> entries_;
    std::vector<int> closingOrder_;
    // By slot.
    std::vector<Factory> factories_;
    std::vector<QPointer<FunctionWindow>> windows_;
    std::vector<QAction*> actions_;
    QFrame* pnButtons_ = nullptr;
    QWidget* pnClient_ = nullptr;
    QPushButton* btnExit_ = nullptr;
    int buttonColumnWidth_ = columnWidth;
};

// A hub whose windows are named by the enum Slot.
template <class Slot> class HubWindowOf : public HubWindow {
public:
    void setFactory(Slot slot, Factory factory) {
        setSlotFactory(HubSlot(slot), std::move(factory));
    }
    // The open window of a button; null when there is none.
    FunctionWindow* childWindow(Slot slot) const { return slotWindow(HubSlot(slot)); }
    // A button's action: opens its window by the rules of its entry and closes every other.
    void Open(Slot slot) { OpenSlot(HubSlot(slot)); }

protected:
    using HubWindow::HubWindow;
};

} // namespace kzm
