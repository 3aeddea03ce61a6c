#pragma once

#include "fb/Query.h"
#include "fb/Transaction.h"

#include <QString>
#include <QStringList>
#include <utility>

namespace fb {
class Error;
}

namespace kzm {

class RowSelection;
class Tdm;
class Tdmu;

// The mode of a list window: 0 browsing, 1 adding, 2 editing, 3 deleting. It is 0 whenever no
// edit panel is open.
enum class ListMode { Browsing = 0, Adding = 1, Editing = 2, Deleting = 3 };

// What a list action came to, for the window to present.
struct ListResult {
    enum class Kind {
        Done,    // written; the list is re-opened on the row to show, the mode is 0
        Nothing, // nothing to do (no panel open, an empty list, an action the list does not offer)
        Invalid, // the checks failed: `text` holds their messages, each ended by CR LF; nothing
                 // was written and the panel stays open
        Refused, // the list refuses the change: `text` says why; nothing was written
        Failed,  // the database refused the statements: `text` holds a Polish first line and the
                 // server's text; nothing was written and the mode is as it was
    };
    ListResult(Kind k = Kind::Done, QString t = {}, QString c = {})
        : kind(k), text(std::move(t)), caption(std::move(c)) {}

    Kind kind;
    QString text;
    QString caption; // the box's title when the list names its own

    bool ok() const { return kind == Kind::Done; }
    // The title of the box that shows `text`: the list's own caption when it gives one, else
    // "Błędne dane" for failed checks, "Kasowanie pozycji" for a refused deletion, empty
    // otherwise.
    QString title() const;
};

// The logic every list window shares: the window's own transaction and query over the list's
// select, the current row and its key, the mode, the checks collected into one "Błędne dane"
// text, the statements that save and delete a row, and the re-opening positioned on the row to
// show. A list states its select, key column, fields, checks and statements; the window shows
// the query in a grid, keeps the query's current row where the grid's is and presents the
// results of the actions.
class ListController {
public:
    // The actions a list offers besides browsing.
    enum Action { Insert = 1, Edit = 2, Delete = 4, AllActions = Insert | Edit | Delete };

    ListController(Tdm& dm, Tdmu& dmu, QString select, QString keyField, int actions = AllActions);
    virtual ~ListController();
    ListController(const ListController&) = delete;
    ListController& operator=(const ListController&) = delete;

    Tdm& dm() const { return dm_; }
    Tdmu& dmu() const { return dmu_; }

    // The list's rows, for the window's grid; the query tells its listeners when it is opened
    // or closed.
    fb::Query& query() { return IBQ; }
    const fb::Query& query() const { return IBQ; }
    const QString& select() const { return select_; }
    const QString& keyField() const { return keyField_; }

    ListMode mode() const { return mode_; }
    bool offers(Action action) const { return (actions_ & action) != 0; }
    bool hasRows() const { return IBQ.isOpen() && !IBQ.isEmpty(); }
    // The key of the current row; -1 without one.
    int currentKey() const;
    // The row being edited or deleted; -1 while adding or browsing.
    int key() const { return key_; }

    // Opens the select (the window's show); false when the database refuses it, and the list is
    // then empty.
    virtual bool open();
    // Re-opens the select positioned on the row of the key (-1: the row that is current now;
    // the first row when the key is not found). Database errors reach the caller.
    void reopen(int key = -1);
    // Closes the query and ends the transaction (the window's close).
    virtual void close();

    // The grid's current row changed: moves the query there and tells the list.
    bool moveTo(int row);
    // Makes the row of the key current; false (position kept) when there is none.
    bool locate(int key);
    // Tells the list that the query's current row changed under it (by the grid, say).
    void rowChanged() { afterScroll(); }

    // "Dopisz": mode 1 with the fields cleared. False when the list does not add rows or is not
    // open.
    bool beginInsert();
    // "Popraw": mode 2 with the fields filled from the current row. False, and the mode left as
    // it is, on an empty list or when the list does not edit rows.
    bool beginEdit();
    // "Rezygnacja" and Escape: mode 0; false when no panel was open.
    virtual bool cancel();
    // "Zapamiętaj": runs the checks and, when they all pass, the statements of the mode; the
    // mode is then 0 and the list re-opened on the saved row (after an insert: on the row
    // current before), and an error of that re-opening reaches the caller.
    ListResult save();
    // Why the current row may not be deleted; empty when it may. The window asks before asking
    // for the confirmation; deleteCurrent asks again. Database errors reach the caller.
    QString deleteRefusal();
    // The question that confirms a deletion, in a box titled deleteTitle.
    virtual QString deleteQuestion() const { return QStringLiteral("Czy naprawdę skasować?"); }
    // The title of the box that shows a refused deletion.
    virtual QString refusalTitle() const { return deleteTitle; }
    // "Usuń", confirmed: mode 3, the current row's key, the key of the row to show afterwards
    // (the next row, or the previous one when the current row is the last), the delete by key,
    // the list re-opened on that row, mode 0. A deletion the database refuses leaves the
    // current row where it was.
    ListResult deleteCurrent();

    static const QString deleteTitle;  // "Kasowanie pozycji"
    static const QString invalidTitle; // "Błędne dane"

protected:
    // Replaces the select; the next open or re-open runs it.
    void setSelect(const QString& select);

    // "Dopisz": the edit panel's fields for a new row.
    virtual void clearFields() {}
    // "Popraw": the edit panel's fields from the current row.
    virtual void loadFields() {}
    // The messages of the checks that fail for the fields, in order; empty when all pass. Runs
    // right before saveStatements and may keep what it read for them.
    virtual QStringList check() { return {}; }
    // The statements that save the fields in the current mode (an insert when adding, an
    // update of the row key() when editing), run together in one transaction.
    virtual QStringList saveStatements() const { return {}; }
    // The row the list shows once saved: the edited row; after an insert the row that was
    // current (-1), as a new row's key is the trigger's.
    virtual int keyAfterSave() const { return mode() == ListMode::Adding ? -1 : key(); }
    // The statements that delete the row of the key, run together in one transaction.
    virtual QStringList deleteStatements(int /*key*/) const { return {}; }
    // Why the row of the key may not be deleted; empty when it may.
    virtual QString refuseDelete(int /*key*/) { return {}; }
    // After the current row changed or the list was opened again.
    virtual void afterScroll() {}

    // Sets a column of every marked row (the current row is marked first when none is) by the
    // statement `update` with the parameters :v (the value) and :id (the row's key), in one
    // transaction; the list is then re-opened on the current row. On an error no row changes
    // and "<logName> <value> <error>" goes to the daily log; false.
    bool updateMarked(RowSelection& marks, const QString& update, int value,
                      const QString& logName);

    // Runs the statements in one transaction of the list's own and commits them. On a refusal
    // everything is rolled back, the failing statement and the server's text go to the daily
    // log and `error` (when given) gets what the user is shown.
    bool write(const QStringList& statements, QString* error = nullptr);
    // The transaction of the list's writes, for a write of its own (under a TransactionGuard).
    fb::Transaction& writeTransaction() { return IBTW; }

private:
    Tdm& dm_;
    Tdmu& dmu_;
    QString select_;
    QString keyField_;
    int actions_;
    ListMode mode_ = ListMode::Browsing;
    int key_ = -1;
    // In this order, so that each query goes before its transaction.
    fb::Transaction IBTrans; // the list's select
    fb::Transaction IBTW;    // the list's writes
    fb::Query IBQ;
    fb::Query IBW;
};

// What the user is shown when the database refuses a statement: a Polish first line (the cause
// when it is a common one) and the server's text.
QString RefusalMessage(const fb::Error& e);

// A number of persons in the genitive, as in "w przydziałach 3 osób": "1 osoby", "3 osób".
QString OsobGen(int n);

} // namespace kzm
