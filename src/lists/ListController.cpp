#include "lists/ListController.h"

#include "core/Session.h"
#include "db/RowSelection.h"
#include "db/Tdm.h"
#include "db/Tdmu.h"
#include "fb/Error.h"

#include <utility>

namespace kzm {

const QString ListController::deleteTitle = QStringLiteral("Kasowanie pozycji");
const QString ListController::invalidTitle = QStringLiteral("Błędne dane");

QString ListResult::title() const {
    if (!caption.isEmpty())
        return caption;
    switch (kind) {
    case Kind::Invalid:
        return ListController::invalidTitle;
    case Kind::Refused:
        return ListController::deleteTitle;
    default:
        return QString();
    }
}

QString RefusalMessage(const fb::Error& e) {
    QString first = ErrorCause(e);
    if (first.isEmpty())
        first = QStringLiteral("Baza danych odrzuciła polecenie");
    return first + QStringLiteral("\r\n") + CrLf(e.text());
}

QString OsobGen(int n) {
    return QString::number(n) + (n == 1 ? QStringLiteral(" osoby") : QStringLiteral(" osób"));
}

ListController::ListController(Tdm& dm, Tdmu& dmu, QString select, QString keyField, int actions)
    : dm_(dm), dmu_(dmu), select_(std::move(select)), keyField_(std::move(keyField)),
      actions_(actions), IBTrans(dm.IBBaza), IBTW(dm.IBBaza), IBQ(IBTrans), IBW(IBTW) {
    // Statements built as text carry no parameters: a colon goes to the server as written.
    IBW.setParamCheck(false);
}

ListController::~ListController() {
    IBQ.close();
    IBTrans.rollbackQuietly();
    IBTW.rollbackQuietly();
}

int ListController::currentKey() const {
    return hasRows() ? IBQ.fieldByName(keyField_).asInteger() : -1;
}

void ListController::setSelect(const QString& select) {
    select_ = select;
}

bool ListController::open() {
    const bool opened = dm_.OpenQ(IBQ, select_);
    afterScroll();
    return opened;
}

void ListController::reopen(int key) {
    if (key == -1)
        key = currentKey();
    if (IBQ.sql() != select_) {
        IBQ.setSql(select_);
        dm_.CloseQTran(IBQ);
    }
    dm_.ReOpenQ(IBQ, keyField_, key);
    afterScroll();
}

void ListController::close() {
    dm_.CloseQ(IBQ);
    IBTW.rollbackQuietly();
}

bool ListController::moveTo(int row) {
    if (!IBQ.isOpen() || !IBQ.moveTo(row))
        return false;
    afterScroll();
    return true;
}

bool ListController::locate(int key) {
    if (!IBQ.isOpen() || !IBQ.locate(keyField_, key))
        return false;
    afterScroll();
    return true;
}

bool ListController::beginInsert() {
    if (!offers(Insert) || !IBQ.isOpen())
        return false;
    mode_ = ListMode::Adding;
    key_ = -1;
    clearFields();
    return true;
}

bool ListController::beginEdit() {
    if (!offers(Edit) || !hasRows())
        return false;
    mode_ = ListMode::Editing;
    key_ = currentKey();
    loadFields();
    return true;
}

bool ListController::cancel() {
    if (mode_ == ListMode::Browsing)
        return false;
    mode_ = ListMode::Browsing;
    key_ = -1;
    return true;
}

ListResult ListController::save() {
    if (mode_ != ListMode::Adding && mode_ != ListMode::Editing)
        return {ListResult::Kind::Nothing, {}};
    QString messages;
    try {
        for (const QString& m : check())
            messages += m + QStringLiteral("\r\n");
    } catch (const fb::Error& e) {
        return {ListResult::Kind::Failed, RefusalMessage(e)};
    }
    if (!messages.isEmpty())
        return {ListResult::Kind::Invalid, messages};
    QString error;
    if (!write(saveStatements(), &error))
        return {ListResult::Kind::Failed, error};
    const int at = keyAfterSave();
    mode_ = ListMode::Browsing;
    key_ = -1;
    reopen(at);
    return {};
}

QString ListController::deleteRefusal() {
    return hasRows() ? refuseDelete(currentKey()) : QString();
}

ListResult ListController::deleteCurrent() {
    if (!offers(Delete) || !hasRows() || mode_ != ListMode::Browsing)
        return {ListResult::Kind::Nothing, {}};
    const int key = currentKey();
    const QStringList statements = deleteStatements(key);
    if (statements.isEmpty())
        return {ListResult::Kind::Nothing, {}};
    try {
        const QString why = refuseDelete(key);
        if (!why.isEmpty())
            return {ListResult::Kind::Refused, why, refusalTitle()};
    } catch (const fb::Error& e) {
        return {ListResult::Kind::Failed, RefusalMessage(e)};
    }
    mode_ = ListMode::Deleting;
    key_ = key;
    const int row = IBQ.currentRow();
    const int next = Tdmu::NextID(IBQ, keyField_);
    QString error;
    const bool deleted = write(statements, &error);
    mode_ = ListMode::Browsing;
    key_ = -1;
    if (!deleted) {
        IBQ.moveTo(row);
        return {ListResult::Kind::Failed, error};
    }
    reopen(next);
    return {};
}

bool ListController::updateMarked(RowSelection& marks, const QString& update, int value,
                                  const QString& logName) {
    if (!hasRows())
        return false;
    fb::Query& list = query();
    const int current = list.currentRow();
    const int currentRow = currentKey();
    std::vector<int> rows = marks.selectedRows();
    if (rows.empty()) {
        marks.setRowSelected(current, true);
        rows = marks.selectedRows();
    }
    std::vector<int> keys;
    for (int r : rows)
        if (list.moveTo(r))
            keys.push_back(currentKey());
    list.moveTo(current);

    BusyCursor busy(dm().session());
    bool done = false;
    try {
        fb::TransactionGuard guard(writeTransaction());
        fb::Query q(writeTransaction());
        q.setSql(update);
        for (int key : keys) {
            q.setParam(QStringLiteral("v"), value);
            q.setParam(QStringLiteral("id"), key);
            q.execSql();
        }
        guard.commit();
        done = true;
    } catch (const fb::Error& e) {
        dm().session().WriteHist(logName + u' ' + QString::number(value) + u' ' + CrLf(e.text()));
    }
    reopen(currentRow);
    return done;
}

bool ListController::write(const QStringList& statements, QString* error) {
    QString current;
    try {
        IBTW.rollback();
        fb::TransactionGuard guard(IBTW);
        for (const QString& sql : statements) {
            current = sql;
            IBW.setSql(sql);
            IBW.execSql();
        }
        guard.commit();
        return true;
    } catch (const fb::Error& e) {
        const QString message = RefusalMessage(e);
        dm_.session().WriteHist(current + QStringLiteral("\r\n") + message);
        if (error)
            *error = message;
        return false;
    }
}

} // namespace kzm
