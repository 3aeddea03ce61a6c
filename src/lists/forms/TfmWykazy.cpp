#include "lists/forms/TfmWykazy.h"

#include "lists/forms/TfmJednostki.h"
#include "lists/forms/TfmNapoje.h"
#include "lists/forms/TfmOsoby.h"
#include "lists/forms/TfmStawki.h"
#include "lists/forms/TfmStopnie.h"
#include "lists/forms/TfmZdarz.h"
#include "terminals/forms/TfmParam.h"
#include "ui/FormKit.h"

#include <QAction>
#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace kzm {

const std::array<WykazyEntry, wykazySlotCount>& WykazyEntries() {
    static const std::array<WykazyEntry, wykazySlotCount> entries{{
        {WykazySlot::Osoby, "aOsoby", "btnOsoby", "Osoby", "Osoby", true, HubColumn::Narrowed},
        {WykazySlot::Jednostki, "aJednostki", "btnJednostki", "Jednostki", "Jednostki", false,
         HubColumn::Shown},
        {WykazySlot::Stopnie, "aStopnie", "btnStopnie", "Stopnie", "Stopnie", false,
         HubColumn::Shown},
        {WykazySlot::Stawki, "aStawki", "btnStawki", "Stawki ", "Stawki żywnościowe", false,
         HubColumn::Shown},
        {WykazySlot::Napoje, "aNapoje", "btnNapoje", "Napoje", "Napoje", false, HubColumn::Shown},
        {WykazySlot::Zdarz, "aZdarz", "btnZdarz", "Zdarzenia", "Zdarzenia", true,
         HubColumn::Hidden},
        {WykazySlot::Param, "aParam", "btnParam", "Parametry", "Parametry", true, HubColumn::Shown},
    }};
    return entries;
}

namespace {

size_t Index(WykazySlot slot) {
    return static_cast<size_t>(slot);
}

bool IsOpen(const QPointer<FunctionWindow>& w) {
    return !w.isNull() && !w->isClosed();
}

} // namespace

TfmWykazy::TfmWykazy(WindowHost& host)
    : FunctionWindow(host, QStringLiteral("fmWykazy"), QStringLiteral("Wykazy")) {
    setClearsCaption(true);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);

    pnButtons_ = new QFrame(this);
    pnButtons_->setObjectName(QStringLiteral("pnButtons"));
    pnButtons_->setFrameShape(QFrame::StyledPanel);
    pnButtons_->setFixedWidth(columnWidth);
    auto* column = new QVBoxLayout(pnButtons_);
    column->setContentsMargins(4, 4, 4, 4);
    btnExit_ = MakeButton(QStringLiteral("Wyjście"), QStringLiteral("btnExit"), pnButtons_);
    connect(btnExit_, &QPushButton::clicked, this, &QWidget::close);
    column->addWidget(btnExit_);
    column->addSpacing(12);
    for (const WykazyEntry& e : WykazyEntries()) {
        const size_t i = Index(e.slot);
        QAction* a = new QAction(QString::fromUtf8(e.caption), this);
        a->setObjectName(QString::fromLatin1(e.action));
        a->setEnabled(false);
        connect(a, &QAction::triggered, this, [this, slot = e.slot] { Open(slot); });
        actions_[i] = a;
        QPushButton* b =
            MakeButton(QString::fromUtf8(e.text), QString::fromLatin1(e.button), pnButtons_);
        b->setEnabled(false);
        connect(b, &QPushButton::clicked, a, &QAction::trigger);
        connect(a, &QAction::changed, b, [a, b] { b->setEnabled(a->isEnabled()); });
        column->addWidget(b);
    }
    column->addStretch(1);
    row->addWidget(pnButtons_);

    pnClient_ = new QWidget(this);
    pnClient_->setObjectName(QStringLiteral("pnClient"));
    auto* client = new QGridLayout(pnClient_);
    client->setContentsMargins(0, 0, 0, 0);
    row->addWidget(pnClient_, 1);
    setFocusProxy(btnExit_);

    setFactory(WykazySlot::Osoby,
               [](WindowHost& h, const QString& caption) { return new TfmOsoby(h, caption); });
    setFactory(WykazySlot::Jednostki,
               [](WindowHost& h, const QString& caption) { return new TfmJednostki(h, caption); });
    setFactory(WykazySlot::Stopnie,
               [](WindowHost& h, const QString& caption) { return new TfmStopnie(h, caption); });
    setFactory(WykazySlot::Stawki,
               [](WindowHost& h, const QString& caption) { return new TfmStawki(h, caption); });
    setFactory(WykazySlot::Napoje,
               [](WindowHost& h, const QString& caption) { return new TfmNapoje(h, caption); });
    setFactory(WykazySlot::Zdarz,
               [](WindowHost& h, const QString& caption) { return new TfmZdarz(h, caption); });
    setFactory(WykazySlot::Param, [](WindowHost& h, const QString& caption) {
        auto* w = new TfmParam(h);
        w->setWindowTitle(caption);
        return w;
    });
}

TfmWykazy::~TfmWykazy() {
    // The windows go while the hub, their host, still exists.
    for (auto& w : windows_)
        delete w.data();
}

void TfmWykazy::setFactory(WykazySlot slot, Factory factory) {
    const size_t i = Index(slot);
    factories_[i] = std::move(factory);
    actions_[i]->setEnabled(static_cast<bool>(factories_[i]));
}

FunctionWindow* TfmWykazy::listWindow(WykazySlot slot) const {
    const QPointer<FunctionWindow>& w = windows_[Index(slot)];
    return IsOpen(w) ? w.data() : nullptr;
}

void TfmWykazy::Open(WykazySlot slot) {
    const size_t i = Index(slot);
    const WykazyEntry& e = WykazyEntries()[i];
    if (!factories_[i])
        return;
    if (IsOpen(windows_[i])) {
        if (e.keptOpen)
            return;
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

void TfmWykazy::windowGone(HubColumn column) {
    switch (column) {
    case HubColumn::Shown:
        break;
    case HubColumn::Narrowed:
        pnButtons_->setFixedWidth(columnWidth);
        break;
    case HubColumn::Hidden:
        pnButtons_->show();
        break;
    }
}

void TfmWykazy::CloseChildren() {
    for (auto& w : windows_)
        if (IsOpen(w))
            w->close();
}

void TfmWykazy::showEvent(QShowEvent* event) {
    FunctionWindow::showEvent(event);
    pnButtons_->show();
    btnExit_->setFocus();
}

void TfmWykazy::closeEvent(QCloseEvent* event) {
    CloseChildren();
    FunctionWindow::closeEvent(event);
    if (event->isAccepted())
        emit closed();
}

// ---- the host of the hub's windows: the hub's own host

AppContext& TfmWykazy::ctx() const {
    return host().ctx();
}

void TfmWykazy::SetChCaption(const QString& text) {
    host().SetChCaption(text);
}

void TfmWykazy::RemChCaption() {
    host().RemChCaption();
}

void TfmWykazy::ClrChCaption() {
    host().ClrChCaption();
}

void TfmWykazy::TakeKeys(QWidget* handler) {
    host().TakeKeys(handler);
}

void TfmWykazy::GiveKeysBack(QWidget* handler) {
    host().GiveKeysBack(handler);
}

void TfmWykazy::setKeptWindow(const QString& name) {
    host().setKeptWindow(name);
}

QString TfmWykazy::keptWindow() const {
    return host().keptWindow();
}

void TfmWykazy::setLamp(const QColor& colour) {
    host().setLamp(colour);
}

} // namespace kzm
