#pragma once

#include "lists/ListController.h"
#include "ui/AppContext.h"
#include "ui/DbGrid.h"
#include "ui/FunctionWindow.h"
#include "ui/GridModel.h"

#include <QBoxLayout>
#include <QColor>
#include <QDate>
#include <QPalette>
#include <QString>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

class QAction;
class QCheckBox;
class QDateEdit;
class QFrame;
class QGridLayout;
class QLineEdit;
class QPushButton;

namespace kzm {

// The object names of one list's actions: aInsert, aEdit, aDelete, aSave and aCancel for the
// window's list; a second list of a window has its own prefixed names (aCeInsert, aPrzIns).
struct ListActionNames {
    QString insert, edit, remove, save, cancel;
};
ListActionNames PlainActionNames();

// One list of a list window: the grid over the list's query, the list's actions, and its edit
// panel with the fields the window moves between the panel and the list.
struct ListPane {
    explicit ListPane(ListController& l) : list(l) {}

    ListController& list;
    DbGrid* grid = nullptr;
    QAction* aInsert = nullptr; // "Dopisz"
    QAction* aEdit = nullptr;   // "Popraw"
    QAction* aDelete = nullptr; // "Usuń"
    QAction* aSave = nullptr;   // "Zapamiętaj"
    QAction* aCancel = nullptr; // "Rezygnacja"
    QFrame* panel = nullptr;    // shown while a row is added or edited
    // The panel's fields in focus order: the first enabled one takes the focus when the panel
    // opens and after failed checks.
    std::vector<QWidget*> fields;
    // Each moves one value of the list's fields into the panel ("Dopisz", "Popraw"), or of the
    // panel into the list's fields ("Zapamiętaj").
    std::vector<std::function<void()>> showFields;
    std::vector<std::function<void()>> takeFields;
    // Tab in the grid moves the focus to this grid.
    QWidget* tabTo = nullptr;

    QGridLayout* fieldLayout = nullptr;
    QPalette normalPalette;
};

// The view every list window derives from: its lists' grids with their keys, context menus and
// edit panels, "Wyjście" above and "Dopisz", "Popraw", "Usuń" below, the boxes that present
// what the lists' actions came to, the active grid's colour and the host's key handler. The
// lists decide; a window states its lists, columns and fields.
class ListWindow : public FunctionWindow {
    Q_OBJECT
public:
    ListWindow(WindowHost& host, const QString& componentName, const QString& caption);
    ~ListWindow() override;

    // The background of the grid that has, or last had, the focus.
    static const QColor activeGridColour;

protected:
    // The actions of a list, as its keys, buttons and menu run them.
    void aInsertExecute(ListPane& pane);
    void aEditExecute(ListPane& pane);
    void aDeleteExecute(ListPane& pane);
    void aSaveExecute(ListPane& pane);
    void aCancelExecute(ListPane& pane);

    // A list the window keeps until its grids are gone (they show the list's query).
    template <class List, class... Args> List& makeList(Args&&... args) {
        lists_.push_back(std::make_unique<List>(std::forward<Args>(args)...));
        return static_cast<List&>(*lists_.back());
    }
    // A list of the window with its grid (not placed yet) and its actions.
    ListPane& addList(ListController& list, const QString& gridName,
                      const ListActionNames& names = PlainActionNames());
    // The edit panel of a list, with "Zapamiętaj" and "Rezygnacja"; fields go in with addField.
    QFrame* addPanel(ListPane& pane, const QString& name);
    // A labelled field of the panel; an empty label lets the field take the whole row.
    void addField(ListPane& pane, const QString& label, QWidget* field);
    // Fields of the panel bound to a value of the list's fields. A line of text holds at most
    // `maxLength` characters, in upper case when `upper`.
    QLineEdit* addEdit(ListPane& pane, const QString& label, const QString& name, int maxLength,
                       bool upper, QString& value);
    QCheckBox* addCheck(ListPane& pane, const QString& text, const QString& name, bool& value);
    // A day, shown and typed as dd.MM.yyyy.
    QDateEdit* addDate(ListPane& pane, const QString& label, const QString& name, QDate& value);
    // The grid, the panel and a row of "Dopisz", "Popraw", "Usuń" for the list, one under the
    // other.
    void placeList(ListPane& pane, QBoxLayout* layout);
    // A row of "Dopisz", "Popraw", "Usuń" acting on a list, or on the active list when none is
    // given; a button shows only when its list offers the action.
    QWidget* makeButtonRow(ListPane* pane, const QString& name = QStringLiteral("pnButtons"));

    // "Wyjście" and what a window puts beside it.
    QHBoxLayout* topBar() const { return topBar_; }
    // What lies under the top bar: the grids and panels.
    QVBoxLayout* body() const { return body_; }

    // The window takes the host's key handler while it is open.
    void setTakesKeys(bool on) { takesKeys_ = on; }
    // Escape closes the active list's panel when pressed, not when released; the key is then
    // consumed with or without a panel.
    void setEscapeOnPress(bool on) { escapeOnPress_ = on; }

    ListPane* activePane() const { return active_; }
    void setActivePane(ListPane& pane);
    // The lists' state moved on (a re-open, another row): grids, panels and actions follow.
    void listsChanged();

    // Opens the window's lists on its first show; the first list by default.
    virtual void openLists();
    // Right before a save, the panel's fields taken: false writes nothing and leaves the panel
    // open.
    virtual bool confirmSave(ListPane& /*pane*/) { return true; }
    // After a save that wrote, made in the mode `was`.
    virtual void saved(ListPane& /*pane*/, ListMode /*was*/) {}
    // Whether the list's "Dopisz", "Popraw" and "Usuń" are held off for now.
    virtual bool locked(const ListPane& /*pane*/) const { return false; }

    // Shows what an action came to: failed checks in one "Błędne dane" box with the focus back
    // on the panel, a refusal in a box of its title, the database's message as the program
    // shows it.
    void present(ListPane& pane, const ListResult& result);
    void warn(const QString& title, const QString& text);
    bool askYesNo(const QString& title, const QString& text);

    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct ButtonRow {
        ListPane* pane; // null: the active list
        QPushButton* insert;
        QPushButton* edit;
        QPushButton* remove;
    };

    ListPane* paneOf(const QObject* grid) const;
    void rowChanged(ListPane& pane);
    void updateActions();
    void updatePanels();
    void beginPanel(ListPane& pane, bool (ListController::*begin)());
    void openPanel(ListPane& pane);
    void focusFirstField(ListPane& pane);
    void closeActivePanel();
    // Escape pressed or released in the window; true when the window used it.
    bool escapeKey(QKeyEvent* event);
    // Escape reaching the window itself, from its widgets or the host: always consumed.
    bool takeEscape(QKeyEvent* event);

    std::vector<std::unique_ptr<ListController>> lists_;
    std::vector<std::unique_ptr<ListPane>> panes_;
    std::vector<ButtonRow> buttonRows_;
    ListPane* active_ = nullptr;
    QHBoxLayout* topBar_ = nullptr;
    QVBoxLayout* body_ = nullptr;
    QAction* aClose_ = nullptr;
    bool takesKeys_ = false;
    bool escapeOnPress_ = false;
    bool escapePressed_ = false;
    bool opened_ = false;
    int syncing_ = 0; // grids moved by the window itself, not by the user
};

// A list window of one list: its grid "dbg" with the columns given, its edit panel "pnEdit",
// and the buttons under them. A window adds the panel's fields.
template <class List> class OneListWindow : public ListWindow {
protected:
    OneListWindow(WindowHost& host, const QString& componentName, const QString& caption,
                  std::vector<GridColumn> columns)
        : ListWindow(host, componentName, caption), list_(makeList<List>(ctx().dm, *ctx().dmu)),
          pane_(addList(list_, QStringLiteral("dbg"))) {
        pane_.grid->setColumns(std::move(columns));
        addPanel(pane_, QStringLiteral("pnEdit"));
        placeList(pane_, body());
    }

    List& list_;
    ListPane& pane_;
};

} // namespace kzm
