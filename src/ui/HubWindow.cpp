#include "ui/HubWindow.h"

#include "ui/FormKit.h"

#include <QAction>
#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace kzm {

namespace {

bool IsOpen(const QPointer<FunctionWindow>& w) {
    return !w.isNull() && !w->isClosed();
}

size_t Index(int slot) {
    return static_cast<size_t>(slot);
}

} // namespace

HubWindow::HubWindow(WindowHost& host, const QString& componentName, const QString& caption,
                     std::span<const HubEntry> entries, std::vector<int> closingOrder)
    : FunctionWindow(host, componentName, caption), entries_(entries),
      closingOrder_(std::move(closingOrder)), factories_(entries.size()), windows_(entries.size()),
      actions_(entries.size(), nullptr) {
    if (closingOrder_.empty())
        for (const HubEntry& e : entries_)
            closingOrder_.push_back(e.slot);
    setClearsCaption(true);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);

    pnButtons_ = new QFrame(this);
    pnButtons_->setObjectName(QStringLiteral("pnButtons"));
    pnButtons_->setFrameShape(QFrame::StyledPanel);
    auto* column = new QVBoxLayout(pnButtons_);
    column->setContentsMargins(4, 4, 4, 4);
    btnExit_ = MakeButton(QStringLiteral("Wyjście"), QStringLiteral("btnExit"), pnButtons_);
    connect(btnExit_, &QPushButton::clicked, this, &QWidget::close);
    column->addWidget(btnExit_);
    column->addSpacing(12);
    for (const HubEntry& e : entries_) {
        QAction* a = new QAction(QString::fromUtf8(e.caption), this);
        a->setObjectName(QString::fromLatin1(e.action));
        a->setEnabled(false);
        connect(a, &QAction::triggered, this, [this, slot = e.slot] { OpenSlot(slot); });
        actions_[Index(e.slot)] = a;
        QPushButton* b =
            MakeButton(QString::fromUtf8(e.text), QString::fromLatin1(e.button), pnButtons_);
        b->setEnabled(false);
        connect(b, &QPushButton::clicked, a, &QAction::trigger);
        connect(a, &QAction::changed, b, [a, b] { b->setEnabled(a->isEnabled()); });
        column->addWidget(b);
        buttonColumnWidth_ = std::max(buttonColumnWidth_, b->sizeHint().width() + 10);
    }
    column->addStretch(1);
    pnButtons_->setFixedWidth(buttonColumnWidth_);
    row->addWidget(pnButtons_);

    pnClient_ = new QWidget(this);
    pnClient_->setObjectName(QStringLiteral("pnClient"));
    auto* client = new QGridLayout(pnClient_);
    client->setContentsMargins(0, 0, 0, 0);
    row->addWidget(pnClient_, 1);
    setFocusProxy(btnExit_);
}

HubWindow::~HubWindow() {
    // The windows go while the hub, their host, still exists.
    for (auto& w : windows_)
        delete w.data();
}

const HubEntry& HubWindow::entry(int slot) const {
    for (const HubEntry& e : entries_)
        if (e.slot == slot)
            return e;
    Q_UNREACHABLE();
}

void HubWindow::setSlotFactory(int slot, Factory factory) {
    const size_t i = Index(slot);
    factories_[i] = std::move(factory);
    actions_[i]->setEnabled(static_cast<bool>(factories_[i]));
}

FunctionWindow* HubWindow::slotWindow(int slot) const {
    const QPointer<FunctionWindow>& w = windows_[Index(slot)];
    return IsOpen(w) ? w.data() : nullptr;
}

void HubWindow::OpenSlot(int slot) {
    const size_t i = Index(slot);
    const HubEntry& e = entry(slot);
    if (!factories_[i])
        return;
    if (IsOpen(windows_[i])) {
        if (e.keptOpen) {
            windows_[i]->raise();
            return;
        }
        windows_[i]->close();
    }
    CloseChildren();

    FunctionWindow* w = factories_[i](*this, QString::fromUtf8(e.caption));
    windows_[i] = w;
    connect(w, &QObject::destroyed, this, [this, column = e.column] { windowGone(column); });
    w->setParent(pnClient_);
    w->setWindowFlags(Qt::Widget | Qt::FramelessWindowHint);
    static_cast<QGridLayout*>(pnClient_->layout())->addWidget(w, 0, 0);
    switch (e.column) {
    case HubColumn::Shown:
        break;
    case HubColumn::Narrowed:
        pnButtons_->setFixedWidth(0);
        break;
    case HubColumn::Hidden:
        pnButtons_->hide();
        break;
    }
    w->show();
    w->raise();
    w->setFocus();
}

void HubWindow::windowGone(HubColumn column) {
    switch (column) {
    case HubColumn::Shown:
        break;
    case HubColumn::Narrowed:
        pnButtons_->setFixedWidth(buttonColumnWidth_);
        break;
    case HubColumn::Hidden:
        pnButtons_->show();
        break;
    }
}

void HubWindow::CloseChildren() {
    for (int slot : closingOrder_)
        if (const QPointer<FunctionWindow>& w = windows_[Index(slot)]; IsOpen(w))
            w->close();
}

void HubWindow::showEvent(QShowEvent* event) {
    FunctionWindow::showEvent(event);
    pnButtons_->show();
    btnExit_->setFocus();
}

void HubWindow::closeEvent(QCloseEvent* event) {
    CloseChildren();
    FunctionWindow::closeEvent(event);
    if (event->isAccepted())
        emit closed();
}

// ---- the host of the hub's windows: the hub's own host

AppContext& HubWindow::ctx() const {
    return host().ctx();
}

void HubWindow::SetChCaption(const QString& text) {
    host().SetChCaption(text);
}

void HubWindow::RemChCaption() {
    host().RemChCaption();
}

void HubWindow::ClrChCaption() {
    host().ClrChCaption();
}

void HubWindow::TakeKeys(QWidget* handler) {
    host().TakeKeys(handler);
}

void HubWindow::GiveKeysBack(QWidget* handler) {
    host().GiveKeysBack(handler);
}

void HubWindow::setKeptWindow(const QString& name) {
    host().setKeptWindow(name);
}

QString HubWindow::keptWindow() const {
    return host().keptWindow();
}

void HubWindow::setLamp(const QColor& colour) {
    host().setLamp(colour);
}

} // namespace kzm
