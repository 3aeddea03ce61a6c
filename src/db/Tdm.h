#pragma once

#include "fb/Database.h"
#include "fb/Error.h"
#include "fb/Query.h"
#include "fb/Service.h"
#include "fb/Transaction.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <utility>

namespace kzm {

class Session;
class RowSelection;
class ProgressGauge;

// Connection statuses of BazaConnect and database creation.
namespace Status {
constexpr int notTried = -1;
constexpr int connected = 0;
constexpr int badLogin = 1;
constexpr int openFailed = 2;
constexpr int setupFailed = 3; // also: database creation started
constexpr int oldRemoved = 4;  // the old database is gone, the new one not yet created
} // namespace Status

// The database data module: the one connection and the fixed queries, statements and
// transactions that every window and module uses. Each query is bound to its own
// transaction as listed below.
class Tdm {
public:
    explicit Tdm(Session& session);
    ~Tdm();
    Tdm(const Tdm&) = delete;
    Tdm& operator=(const Tdm&) = delete;

    Session& session() const { return s_; }

    // Declared in this order so that queries go before their transactions and those before
    // the connection.
    fb::Database IBBaza;
    fb::Transaction IBTrans;  // default: IBProc, IBQ, IBQ0 and the script executor
    fb::Transaction IBTdm;    // IBQdm, IBQ1: single values, existence tests, parameters
    fb::Transaction IBTSQL;   // IBSQL: RunSQL and the StartSQLA batch
    fb::Transaction IBTRun;   // IBQRun: RunScr, column and index changes
    fb::Transaction IBTTmp;   // QTmp
    fb::Transaction IBTSQT;   // SQT
    fb::Transaction IBTSQTmp; // SQTmp
    fb::Transaction IBTHist;  // IBQHist: history rows, apart from every batch
    fb::Service IBSecurityService;
    fb::Query IBProc;
    fb::Query IBQ;
    fb::Query IBQ0;
    fb::Query IBQdm;
    fb::Query IBQ1;
    fb::Query IBSQL;
    fb::Query IBQRun;
    fb::Query QTmp;
    fb::Query SQT;
    fb::Query SQTmp;
    fb::Query IBQHist;

    QStringList ListaScr; // statements waiting for RunScr, or a script for RunScript
    QStringList ListaSel; // keys of the marked rows kept across a re-open
    void ClearListaScr() { ListaScr.clear(); }

    // Connection.
    void BazaConnect();
    int CurrConnection();
    int CurrTrans();

    // Queries.
    bool OpenQ(fb::Query& q, const QString& sql);
    void CloseQ(fb::Query& q);
    void CloseQTran(fb::Query& q);
    void CloseTran(fb::Transaction& t);
    void ReOpenQ(fb::Query& q, const QString& keyField, int keyValue);
    bool OpenQTmp(const QString& sql);
    void CloseQTmp();
    void OpenSQT(const QString& sql);
    void OpenSQTmp(const QString& sql);
    void CloseSQT();
    void CloseSQTmp();
    int IBReccount(fb::Query& q);
    void SaveSelected(fb::Query& q, const QString& keyField, RowSelection& grid);
    void RestSelected(fb::Query& q, const QString& keyField, RowSelection& grid);

    // Statements.
    bool ExecQ(fb::Query& q, const QString& logText);
    bool RunSQL(const QString& sql);
    void StartSQLA();
    bool RunSQLA(const QString& sql);
    bool EndSQLA();
    bool RunScr(const QString& name, bool silent);

    // Single values; database errors reach the caller.
    bool Jest(const QString& sql);
    int ReadInteger(const QString& field, const QString& sql, int def);
    fb::Decimal MQReadCurrency(const QString& field, const QString& sql);
    QDate ReadDate(const QString& field, const QString& sql);
    QString MQReadString(const QString& field, const QString& sql);
    // Opens IBQdm on the text, its parameters set by `bind`, and gives what `take` reads of the
    // result; the query is closed and its transaction ended however the read ends.
    template <class Bind, class Take>
    auto ReadSingle(const QString& sql, Bind&& bind, Take&& take) -> decltype(take()) {
        fb::ReadScope scope(IBQdm);
        IBQdm.close();
        IBQdm.setSql(sql);
        bind(IBQdm);
        IBQdm.open();
        auto v = take();
        scope.finish();
        return v;
    }

    void SayInf(const QString& text);

    // Writes the query's rows, from the current one on, to an Excel 97 workbook: the heading's
    // lines in merged cells, an empty row, the column names, then the rows. Nothing is done
    // for a closed or empty query; the writer's errors reach the caller, and then nothing is
    // left under the file name.
    void ExportXls(fb::Query& q, const QString& fileName, ProgressGauge* gauge, bool closeAfter,
                   const QString& heading);

    // The role every user other than SYSDBA works in, and the account it is granted to.
    static const QString roleName;
    static const QString accountName;

private:
    // ReadSingle of a statement without parameters.
    template <class Take> auto single(const QString& sql, Take&& take) -> decltype(take()) {
        return ReadSingle(
            sql, [](fb::Query&) {}, std::forward<Take>(take));
    }
    void setUpServerObjects();

    Session& s_;
};

// Server text with its line ends made CR LF, as messages and the log carry it.
QString CrLf(const QString& text);

// One Polish line naming the cause of a common database failure (missing file, not a
// database, wrong name or password, server out of reach, object in use, repeated key, lock
// conflict); empty for any other.
QString ErrorCause(const fb::Error& e);
// What the user is shown of a database failure: the cause's line, when there is one, and then
// `text`.
QString DbErrorMessage(const fb::Error& e, const QString& text);
// What the user is shown of any failure: a database one with its cause, any other by its text.
QString ErrorMessage(const std::exception& e);

} // namespace kzm
