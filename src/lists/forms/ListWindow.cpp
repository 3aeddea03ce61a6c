#include "lists/forms/ListWindow.h"

#include "core/Session.h"
#include "ui/FormKit.h"
#include "ui/WindowHost.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDateEdit>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QVBoxLayout>

#include <algorithm>

namespace kzm {

const QColor ListWindow::activeGridColour{255, 243, 213};

ListActionNames PlainActionNames() {
    return {QStringLiteral("aInsert"), QStringLiteral("aEdit"), QStringLiteral("aDelete"),
            QStringLiteral("aSave"), QStringLiteral("aCancel")};
}

namespace {

QAction* MakeAction(const QString& text, const QString& name, QObject* parent) {
    auto* a = new QAction(text, parent);
    a->setObjectName(name);
    return a;
}

// A button that runs an action and is enabled and shown as the action is.
void LinkButton(QPushButton* button, QAction* action) {
    QObject::connect(button, &QPushButton::clicked, action, &QAction::trigger);
    const auto follow = [button, action] {
        button->setEnabled(action->isEnabled());
        button->setVisible(action->isVisible());
    };
    QObject::connect(action, &QAction::changed, button, follow);
    follow();
}

// A message as a box shows it: line by line, without the line break that ends it.
bool PanelOpen(const ListController& list) {
    return list.mode() == ListMode::Adding || list.mode() == ListMode::Editing;
}

} // namespace

ListWindow::ListWindow(WindowHost& host, const QString& componentName, const QString& caption)
    : FunctionWindow(host, componentName, caption) {
    auto* column = new QVBoxLayout(this);
    topBar_ = new QHBoxLayout();
    column->addLayout(topBar_);
    body_ = new QVBoxLayout();
    column->addLayout(body_, 1);

    aClose_ = MakeAction(QStringLiteral("Wyjście"), QStringLiteral("aClose"), this);
    connect(aClose_, &QAction::triggered, this, &QWidget::close);
    QPushButton* exit = MakeButton(QStringLiteral("Wyjście"), QStringLiteral("btnWyjscie"), this);
    LinkButton(exit, aClose_);
    topBar_->addWidget(exit);
    topBar_->addStretch(1);
}

ListWindow::~ListWindow() {
    // The grids' models listen to the lists' queries: they go before the lists do.
    for (const auto& p : panes_)
        delete p->grid;
}

ListPane& ListWindow::addList(ListController& list, const QString& gridName,
                              const ListActionNames& names) {
    panes_.push_back(std::make_unique<ListPane>(list));
    ListPane& p = *panes_.back();
    p.grid = new DbGrid(list.query(), this);
    p.grid->setObjectName(gridName);
    p.grid->setSelectionMode(QAbstractItemView::SingleSelection);
    p.grid->horizontalHeader()->setHighlightSections(false);
    p.normalPalette = p.grid->palette();
    p.grid->installEventFilter(this);
    if (panes_.size() == 1)
        setFocusProxy(p.grid);

    p.aInsert = MakeAction(QStringLiteral("Dopisz"), names.insert, this);
    p.aEdit = MakeAction(QStringLiteral("Popraw"), names.edit, this);
    p.aDelete = MakeAction(QStringLiteral("Usuń"), names.remove, this);
    p.aSave = MakeAction(QStringLiteral("Zapamiętaj"), names.save, this);
    p.aCancel = MakeAction(QStringLiteral("Rezygnacja"), names.cancel, this);
    connect(p.aInsert, &QAction::triggered, this, [this, &p] { aInsertExecute(p); });
    connect(p.aEdit, &QAction::triggered, this, [this, &p] { aEditExecute(p); });
    connect(p.aDelete, &QAction::triggered, this, [this, &p] { aDeleteExecute(p); });
    connect(p.aSave, &QAction::triggered, this, [this, &p] { aSaveExecute(p); });
    connect(p.aCancel, &QAction::triggered, this, [this, &p] { aCancelExecute(p); });
    p.aInsert->setVisible(list.offers(ListController::Insert));
    p.aEdit->setVisible(list.offers(ListController::Edit));
    p.aDelete->setVisible(list.offers(ListController::Delete));

    if (list.offers(ListController::AllActions)) {
        p.grid->setContextMenuPolicy(Qt::ActionsContextMenu);
        p.grid->addActions({p.aInsert, p.aEdit, p.aDelete});
    } else {
        p.grid->setContextMenuPolicy(Qt::NoContextMenu);
    }
    connect(p.grid, &DbGrid::rowActivated, p.aEdit, &QAction::trigger);
    connect(p.grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this, &p](const QModelIndex& current) {
                if (current.isValid() && syncing_ == 0)
                    rowChanged(p);
            });
    updateActions();
    return p;
}

QFrame* ListWindow::addPanel(ListPane& p, const QString& name) {
    p.panel = new QFrame(this);
    p.panel->setObjectName(name);
    p.panel->setFrameShape(QFrame::StyledPanel);
    auto* row = new QHBoxLayout(p.panel);
    p.fieldLayout = new QGridLayout();
    row->addLayout(p.fieldLayout);
    row->addSpacing(24);
    auto* buttons = new QVBoxLayout();
    QPushButton* save =
        MakeButton(QStringLiteral("Zapamiętaj"), QStringLiteral("btnZapamietaj"), p.panel);
    QPushButton* cancel =
        MakeButton(QStringLiteral("Rezygnacja"), QStringLiteral("btnRezygnacja"), p.panel);
    LinkButton(save, p.aSave);
    LinkButton(cancel, p.aCancel);
    buttons->addWidget(save);
    buttons->addWidget(cancel);
    buttons->addStretch(1);
    row->addLayout(buttons);
    row->addStretch(1);
    p.panel->hide();
    return p.panel;
}

void ListWindow::addField(ListPane& p, const QString& label, QWidget* field) {
    const int row = static_cast<int>(p.fields.size());
    if (label.isEmpty()) {
        p.fieldLayout->addWidget(field, row, 0, 1, 2);
    } else {
        auto* l = new QLabel(label, p.panel);
        l->setBuddy(field);
        p.fieldLayout->addWidget(l, row, 0);
        p.fieldLayout->addWidget(field, row, 1);
    }
    p.fields.push_back(field);
    field->installEventFilter(this);
}

QLineEdit* ListWindow::addEdit(ListPane& p, const QString& label, const QString& name,
                               int maxLength, bool upper, QString& value) {
    QLineEdit* edit = MakeEdit(name, p.panel);
    edit->setMaxLength(maxLength);
    // Wide enough for its longest text in capitals.
    edit->setMinimumWidth(
        edit->fontMetrics().horizontalAdvance(QString(std::min(maxLength, 30), u'N')) + 12);
    if (upper)
        ForceCase(edit, true);
    addField(p, label, edit);
    p.showFields.push_back([edit, &value] { edit->setText(value); });
    p.takeFields.push_back([edit, &value] { value = edit->text(); });
    return edit;
}

QCheckBox* ListWindow::addCheck(ListPane& p, const QString& text, const QString& name,
                                bool& value) {
    QCheckBox* check = MakeCheck(text, name, p.panel);
    addField(p, QString(), check);
    p.showFields.push_back([check, &value] { check->setChecked(value); });
    p.takeFields.push_back([check, &value] { value = check->isChecked(); });
    return check;
}

QDateEdit* ListWindow::addDate(ListPane& p, const QString& label, const QString& name,
                               QDate& value) {
    auto* date = new QDateEdit(QDate::currentDate(), p.panel);
    date->setObjectName(name);
    date->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    date->setCalendarPopup(true);
    addField(p, label, date);
    p.showFields.push_back([date, &value] { date->setDate(value); });
    p.takeFields.push_back([date, &value] { value = date->date(); });
    return date;
}

void ListWindow::placeList(ListPane& p, QBoxLayout* layout) {
    layout->addWidget(p.grid, 1);
    if (p.panel)
        layout->addWidget(p.panel);
    layout->addWidget(makeButtonRow(&p));
}

QWidget* ListWindow::makeButtonRow(ListPane* pane, const QString& name) {
    auto* row = new QWidget(this);
    row->setObjectName(name);
    auto* buttons = new QHBoxLayout(row);
    buttons->setContentsMargins(0, 0, 0, 0);
    ButtonRow b{pane, MakeButton(QStringLiteral("Dopisz"), QStringLiteral("btnDopisz"), row),
                MakeButton(QStringLiteral("Popraw"), QStringLiteral("btnPopraw"), row),
                MakeButton(QStringLiteral("Usuń"), QStringLiteral("btnUsun"), row)};
    const auto target = [this, pane] { return pane ? pane : active_; };
    connect(b.insert, &QPushButton::clicked, this, [target] {
        if (ListPane* p = target())
            p->aInsert->trigger();
    });
    connect(b.edit, &QPushButton::clicked, this, [target] {
        if (ListPane* p = target())
            p->aEdit->trigger();
    });
    connect(b.remove, &QPushButton::clicked, this, [target] {
        if (ListPane* p = target())
            p->aDelete->trigger();
    });
    buttons->addWidget(b.insert);
    buttons->addWidget(b.edit);
    buttons->addWidget(b.remove);
    buttons->addStretch(1);
    buttonRows_.push_back(b);
    updateActions();
    return row;
}

// ---- the lists' state on the screen

ListPane* ListWindow::paneOf(const QObject* grid) const {
    for (const auto& p : panes_)
        if (p->grid == grid)
            return p.get();
    return nullptr;
}

void ListWindow::setActivePane(ListPane& pane) {
    active_ = &pane;
    for (const auto& p : panes_) {
        QPalette palette = p->normalPalette;
        if (p.get() == active_) {
            palette.setColor(QPalette::Base, activeGridColour);
            palette.setColor(QPalette::AlternateBase, activeGridColour.darker(106));
        }
        p->grid->setPalette(palette);
    }
    updateActions();
}

void ListWindow::rowChanged(ListPane& pane) {
    {
        const QScopedValueRollback syncing(syncing_, syncing_ + 1);
        pane.list.rowChanged();
    }
    listsChanged();
}

void ListWindow::listsChanged() {
    const QScopedValueRollback syncing(syncing_, syncing_ + 1);
    for (const auto& p : panes_) {
        p->grid->refresh();
        SetOnGet(p->grid->gridModel(), QString());
    }
    updatePanels();
    updateActions();
}

void ListWindow::updateActions() {
    for (const auto& p : panes_) {
        const ListController& l = p->list;
        const bool browsing = l.mode() == ListMode::Browsing && !locked(*p);
        p->aInsert->setEnabled(browsing && l.offers(ListController::Insert) && l.query().isOpen());
        p->aEdit->setEnabled(browsing && l.offers(ListController::Edit) && l.hasRows());
        p->aDelete->setEnabled(browsing && l.offers(ListController::Delete) && l.hasRows());
        p->aSave->setEnabled(PanelOpen(l));
        p->aCancel->setEnabled(PanelOpen(l));
    }
    for (const ButtonRow& b : buttonRows_) {
        const ListPane* p = b.pane ? b.pane : active_;
        const std::pair<QPushButton*, QAction*> links[] = {{b.insert, p ? p->aInsert : nullptr},
                                                           {b.edit, p ? p->aEdit : nullptr},
                                                           {b.remove, p ? p->aDelete : nullptr}};
        for (const auto& [button, action] : links) {
            button->setVisible(action && action->isVisible());
            button->setEnabled(action && action->isEnabled());
        }
    }
}

void ListWindow::updatePanels() {
    for (const auto& p : panes_) {
        if (!p->panel)
            continue;
        const bool open = PanelOpen(p->list);
        if (open != p->panel->isHidden())
            continue;
        const bool hadFocus = p->panel->isAncestorOf(QApplication::focusWidget());
        p->panel->setVisible(open);
        if (!open && hadFocus)
            p->grid->setFocus();
    }
}

void ListWindow::openPanel(ListPane& p) {
    for (const auto& show : p.showFields)
        show();
    listsChanged();
    focusFirstField(p);
}

void ListWindow::focusFirstField(ListPane& p) {
    for (QWidget* f : p.fields)
        if (f->isEnabled() && f->focusPolicy() != Qt::NoFocus) {
            f->setFocus();
            if (auto* edit = qobject_cast<QLineEdit*>(f))
                edit->selectAll();
            return;
        }
}

void ListWindow::closeActivePanel() {
    if (active_ && PanelOpen(active_->list))
        aCancelExecute(*active_);
}

// ---- the actions

void ListWindow::aInsertExecute(ListPane& p) {
    beginPanel(p, &ListController::beginInsert);
}

void ListWindow::aEditExecute(ListPane& p) {
    beginPanel(p, &ListController::beginEdit);
}

void ListWindow::beginPanel(ListPane& p, bool (ListController::*begin)()) {
    bool begun = false;
    {
        const QScopedValueRollback syncing(syncing_, syncing_ + 1);
        begun = p.list.mode() == ListMode::Browsing && (p.list.*begin)();
    }
    if (begun)
        openPanel(p);
}

void ListWindow::aSaveExecute(ListPane& p) {
    if (!PanelOpen(p.list))
        return;
    for (const auto& take : p.takeFields)
        take();
    if (!confirmSave(p))
        return;
    const ListMode was = p.list.mode();
    ListResult result;
    {
        const QScopedValueRollback syncing(syncing_, syncing_ + 1);
        result = p.list.save();
    }
    present(p, result);
    if (result.ok())
        saved(p, was);
}

void ListWindow::aCancelExecute(ListPane& p) {
    if (!p.list.cancel())
        return;
    listsChanged();
    p.grid->setFocus();
}

void ListWindow::aDeleteExecute(ListPane& p) {
    if (p.list.mode() != ListMode::Browsing || !p.list.hasRows() ||
        !p.list.offers(ListController::Delete))
        return;
    const QString why = p.list.deleteRefusal();
    if (!why.isEmpty()) {
        warn(p.list.refusalTitle(), why);
        return;
    }
    if (!askYesNo(ListController::deleteTitle, p.list.deleteQuestion()))
        return;
    ListResult result;
    {
        const QScopedValueRollback syncing(syncing_, syncing_ + 1);
        result = p.list.deleteCurrent();
    }
    present(p, result);
    p.grid->setFocus();
}

// ---- what the actions came to

void ListWindow::present(ListPane& p, const ListResult& result) {
    listsChanged();
    switch (result.kind) {
    case ListResult::Kind::Done:
        p.grid->setFocus();
        break;
    case ListResult::Kind::Nothing:
        break;
    case ListResult::Kind::Invalid:
    case ListResult::Kind::Refused:
        warn(result.title(), result.text);
        if (PanelOpen(p.list))
            focusFirstField(p);
        break;
    case ListResult::Kind::Failed:
        ctx().s.ShowMessage(result.text);
        if (PanelOpen(p.list))
            focusFirstField(p);
        break;
    }
}

void ListWindow::warn(const QString& title, const QString& text) {
    WarnBox(this, title, text);
}

bool ListWindow::askYesNo(const QString& title, const QString& text) {
    return AskBox(this, title, text);
}

// ---- show, close and keys

void ListWindow::openLists() {
    if (!panes_.empty())
        panes_.front()->list.open();
}

void ListWindow::showEvent(QShowEvent* event) {
    FunctionWindow::showEvent(event);
    if (opened_)
        return;
    opened_ = true;
    if (takesKeys_)
        host().TakeKeys(this);
    {
        const QScopedValueRollback syncing(syncing_, syncing_ + 1);
        openLists();
    }
    listsChanged();
    if (!panes_.empty()) {
        setActivePane(*panes_.front());
        panes_.front()->grid->setFocus();
    }
}

void ListWindow::closeEvent(QCloseEvent* event) {
    FunctionWindow::closeEvent(event);
    if (!event->isAccepted())
        return;
    if (takesKeys_)
        host().GiveKeysBack(this);
    for (auto it = panes_.rbegin(); it != panes_.rend(); ++it)
        (*it)->list.close();
}

bool ListWindow::eventFilter(QObject* watched, QEvent* event) {
    // The window sees Escape before the grids and fields, which keep its release to themselves.
    if ((event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) &&
        escapeKey(static_cast<QKeyEvent*>(event)))
        return true;
    ListPane* p = paneOf(watched);
    if (!p)
        return FunctionWindow::eventFilter(watched, event);
    if (event->type() == QEvent::FocusIn) {
        if (active_ != p)
            setActivePane(*p);
    } else if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
        case Qt::Key_Insert:
            p->aInsert->trigger();
            return true;
        case Qt::Key_Delete:
            p->aDelete->trigger();
            return true;
        case Qt::Key_Tab:
            if (p->tabTo) {
                p->tabTo->setFocus(Qt::TabFocusReason);
                return true;
            }
            break;
        default:
            break;
        }
    }
    return FunctionWindow::eventFilter(watched, event);
}

bool ListWindow::escapeKey(QKeyEvent* event) {
    if (event->key() != Qt::Key_Escape)
        return false;
    if (event->type() == QEvent::KeyPress) {
        if (!event->isAutoRepeat())
            escapePressed_ = true;
        if (escapeOnPress_)
            closeActivePanel();
        return escapeOnPress_;
    }
    // Only the release of a press this window saw: the Escape that answered a box leaves the
    // panel open.
    if (!escapeOnPress_ && escapePressed_ && !event->isAutoRepeat()) {
        escapePressed_ = false;
        closeActivePanel();
        return true;
    }
    return false;
}

bool ListWindow::takeEscape(QKeyEvent* event) {
    if (event->key() != Qt::Key_Escape)
        return false;
    escapeKey(event);
    event->accept();
    return true;
}

void ListWindow::keyPressEvent(QKeyEvent* event) {
    if (!takeEscape(event))
        FunctionWindow::keyPressEvent(event);
}

void ListWindow::keyReleaseEvent(QKeyEvent* event) {
    if (!takeEscape(event))
        FunctionWindow::keyReleaseEvent(event);
}

} // namespace kzm
