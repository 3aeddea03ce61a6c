#include "db/Tdm.h"

#include "core/Dates.h"
#include "core/Session.h"
#include "db/RowSelection.h"
#include "fb/Error.h"

#include <QSet>

namespace kzm {

const QString Tdm::roleName = QStringLiteral("ADMIN_KZM");
const QString Tdm::accountName = QStringLiteral("USER_KZM");

namespace {

// The set-up account's password, kept out of the binary's plain strings.
QString accountPassword() {
    static constexpr unsigned char stored[] = {0x3b, 0x2c, 0x3a, 0x2c, 0x38, 0x2c, 0x33, 0x2a};
    QString p;
    for (unsigned char c : stored)
        p += QChar(char16_t(c ^ 0x5a));
    return p;
}

// The user name that means the administrator, exactly as the server spells it.
const QString sysdba = QStringLiteral("SYSDBA");

} // namespace

QString CrLf(const QString& text) {
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace('\n', QStringLiteral("\r\n"));
    return t;
}

QString ErrorCause(const fb::Error& e) {
    namespace isc = fb::isc;
    const struct {
        std::initializer_list<long> codes;
        const char* cause;
    } causes[] = {
        {{isc::login}, "Błędna nazwa użytkownika lub hasło"},
        {{isc::network_error, isc::net_connect_err, isc::unavailable, isc::conn_lost, isc::shutdown,
          isc::att_shutdown},
         "Brak połączenia z serwerem bazy danych"},
        {{isc::bad_db_format}, "Wskazany plik nie jest bazą danych"},
        {{isc::io_error}, "Brak pliku bazy danych albo brak dostępu do niego"},
        {{isc::obj_in_use}, "Obiekt bazy danych jest w tej chwili używany na innym stanowisku"},
        {{isc::unique_key, isc::no_dup}, "Taki wpis już jest w bazie (powtórzony klucz)"},
        {{isc::lock_conflict, isc::update_conflict, isc::deadlock},
         "Te same dane zmienia w tej chwili inne stanowisko (konflikt blokad)"},
    };
    for (const auto& c : causes)
        for (long code : c.codes)
            if (e.has(code))
                return QString::fromUtf8(c.cause);
    return QString();
}

QString DbErrorMessage(const fb::Error& e, const QString& text) {
    const QString cause = ErrorCause(e);
    return cause.isEmpty() ? text : cause + QStringLiteral("\r\n") + text;
}

QString ErrorMessage(const std::exception& e) {
    if (const auto* db = dynamic_cast<const fb::Error*>(&e))
        return DbErrorMessage(*db, db->text());
    return QString::fromUtf8(e.what());
}

Tdm::Tdm(Session& session)
    : IBTrans(IBBaza), IBTdm(IBBaza), IBTSQL(IBBaza), IBTRun(IBBaza), IBTTmp(IBBaza),
      IBTSQT(IBBaza), IBTSQTmp(IBBaza), IBTHist(IBBaza), IBProc(IBTrans), IBQ(IBTrans),
      IBQ0(IBTrans), IBQdm(IBTdm), IBQ1(IBTdm), IBSQL(IBTSQL), IBQRun(IBTRun), QTmp(IBTTmp),
      SQT(IBTSQT), SQTmp(IBTSQTmp), IBQHist(IBTHist), s_(session) {
    // Statements built as text carry no parameters: a colon goes to the server as written.
    IBSQL.setParamCheck(false);
    IBQRun.setParamCheck(false);
    IBQHist.setParamCheck(false);
    // A history row commits on its own channel: it neither ends nor joins a batch in progress.
    s_.historySink = [this](const QString& sql) {
        try {
            fb::TransactionGuard guard(IBTHist);
            IBQHist.setSql(sql);
            IBQHist.execSql();
            guard.commit();
        } catch (const std::exception&) {
            // The history is kept where it can be; the work it records goes on.
        }
    };
}

Tdm::~Tdm() {
    s_.historySink = nullptr;
}

// ---- connection

void Tdm::BazaConnect() {
    s_.connectionStatus = Status::notTried;
    IBBaza.disconnect();
    const QString role = s_.user == sysdba ? QString() : roleName;
    const fb::DatabasePath path = fb::DatabasePath::parse(s_.dbPath);

    // The credentials are checked against the services manager of the database's host (the
    // embedded engine's for a path without a host).
    IBSecurityService.detach();
    s_.connectionStatus = Status::badLogin;
    try {
        IBSecurityService.attach(path.host, s_.user, s_.password);
        IBSecurityService.detach();
        s_.connectionStatus = Status::connected;
    } catch (const fb::Error& e) {
        IBSecurityService.detach();
        if (e.code() == fb::isc::login) {
            const QString msg = QStringLiteral("Błędna nazwa użytkownika lub hasło");
            s_.WriteHist(msg);
            s_.ShowMessage(msg);
            return;
        }
        // The host cannot be reached at all: that is a failure to open the database.
        s_.connectionStatus = Status::openFailed;
        const QString msg = DbErrorMessage(e, CrLf(e.text()));
        s_.WriteHist(msg);
        s_.ShowMessage(msg);
        return;
    }

    s_.connectionStatus = Status::openFailed;
    try {
        IBBaza.connect({s_.dbPath, s_.user, s_.password, role});
        s_.connectionStatus = Status::connected;
    } catch (const fb::Error& e) {
        const QString msg = DbErrorMessage(e, CrLf(e.text()));
        s_.WriteHist(msg);
        s_.ShowMessage(msg);
        return;
    }

    if (s_.user == sysdba) {
        try {
            setUpServerObjects();
        } catch (const std::exception&) {
            s_.connectionStatus = Status::setupFailed;
        }
    }
}

void Tdm::setUpServerObjects() {
    IBTdm.rollback();
    IBQdm.setSql(QStringLiteral("select count(*) as jest from rdb$roles where rdb$role_name='") +
                 roleName + '\'');
    IBQdm.open();
    const bool haveRole = IBQdm.fieldByName(QStringLiteral("jest")).asInteger() > 0;
    IBQdm.close();
    if (!haveRole) {
        IBQdm.setSql(QStringLiteral("create role ") + roleName);
        ExecQ(IBQdm, QStringLiteral("BazaConnect:"));
    }

    // Accounts belong to a server; an embedded database is opened without one.
    const fb::DatabasePath path = fb::DatabasePath::parse(s_.dbPath);
    if (!path.host.isEmpty()) {
        IBSecurityService.attach(path.host, s_.user, s_.password);
        const bool haveAccount = IBSecurityService.users().contains(accountName);
        IBSecurityService.detach();
        if (!haveAccount) {
            IBSecurityService.attach(path.host, s_.user, s_.password);
            IBSecurityService.addUser({accountName, accountPassword(), accountName, accountName});
            IBSecurityService.detach();
        }
    }

    IBQdm.setSql(QStringLiteral("grant ") + roleName + QStringLiteral(" to ") + accountName +
                 QStringLiteral(" with ADMIN option"));
    ExecQ(IBQdm, QStringLiteral("BazaConnect"));
}

int Tdm::CurrConnection() {
    return ReadInteger(QStringLiteral("CURRENT_CONNECTION"),
                       QStringLiteral(" SELECT CURRENT_CONNECTION FROM RDB$DATABASE"), -1);
}

int Tdm::CurrTrans() {
    return ReadInteger(QStringLiteral("CURRENT_TRANSACTION"),
                       QStringLiteral(" SELECT CURRENT_TRANSACTION FROM RDB$DATABASE"), -1);
}

// ---- queries

bool Tdm::OpenQ(fb::Query& q, const QString& sql) {
    BusyCursor busy(s_);
    try {
        q.transaction().rollback();
        if (!sql.isEmpty()) {
            q.setSql(sql);
            q.open();
        }
        return true;
    } catch (const std::exception&) {
        // Nothing is left open by a query that could not be opened.
        q.close();
        q.transaction().rollbackQuietly();
        return false;
    }
}

void Tdm::CloseQ(fb::Query& q) {
    q.close();
    CloseQTran(q);
}

void Tdm::CloseQTran(fb::Query& q) {
    CloseTran(q.transaction());
}

void Tdm::CloseTran(fb::Transaction& t) {
    if (t.inTransaction())
        t.commit();
}

void Tdm::ReOpenQ(fb::Query& q, const QString& keyField, int keyValue) {
    if (q.isOpen()) {
        if (keyValue == -1 && !q.isEmpty())
            keyValue = q.fieldByName(keyField).asInteger();
        CloseQ(q);
    }
    q.open();
    q.locate(keyField, keyValue);
}

bool Tdm::OpenQTmp(const QString& sql) {
    return OpenQ(QTmp, sql);
}

void Tdm::CloseQTmp() {
    QTmp.close();
    IBTTmp.rollbackQuietly();
}

void Tdm::OpenSQT(const QString& sql) {
    SQT.close();
    SQT.setSql(sql);
    SQT.open();
}

void Tdm::OpenSQTmp(const QString& sql) {
    SQTmp.close();
    SQTmp.setSql(sql);
    SQTmp.open();
}

void Tdm::CloseSQT() {
    CloseQ(SQT);
}

void Tdm::CloseSQTmp() {
    CloseQ(SQTmp);
}

int Tdm::IBReccount(fb::Query& q) {
    if (!q.isOpen())
        return 0;
    const int current = q.currentRow();
    q.last();
    const int n = q.recNo();
    if (n > 0)
        q.moveTo(current);
    return n;
}

void Tdm::SaveSelected(fb::Query& q, const QString& keyField, RowSelection& grid) {
    if (!q.isOpen())
        return;
    ListaSel.clear();
    const std::vector<int> rows = grid.selectedRows();
    if (rows.empty())
        return;
    const fb::Field& key = q.fieldByName(keyField);
    const int current = q.currentRow();
    grid.beginUpdate();
    for (int r : rows)
        if (q.moveTo(r))
            ListaSel << key.asString();
    q.moveTo(current);
    grid.endUpdate();
}

void Tdm::RestSelected(fb::Query& q, const QString& keyField, RowSelection& grid) {
    if (!q.isOpen() || ListaSel.isEmpty())
        return;
    const QSet<QString> keys(ListaSel.begin(), ListaSel.end());
    const int current = q.currentRow();
    const int column = q.fieldByName(keyField).index();
    grid.beginUpdate();
    q.fetchAll();
    for (int r = 0; r < q.fetchedRows(); ++r)
        grid.setRowSelected(r, keys.contains(q.value(r, column).toString()));
    q.moveTo(current);
    grid.endUpdate();
}

// ---- statements

bool Tdm::ExecQ(fb::Query& q, const QString& logText) {
    try {
        q.close();
        fb::TransactionGuard guard(q.transaction());
        q.execSql();
        q.close();
        guard.commit();
        return true;
    } catch (const std::exception&) {
        q.close();
        if (!logText.isEmpty())
            s_.WriteHist(logText);
        return false;
    }
}

bool Tdm::RunSQL(const QString& sql) {
    try {
        IBTSQL.rollback();
        fb::TransactionGuard guard(IBTSQL);
        IBSQL.setSql(sql);
        IBSQL.execSql();
        guard.commit();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void Tdm::StartSQLA() {
    IBTSQL.rollbackQuietly();
    IBTSQL.start();
}

bool Tdm::RunSQLA(const QString& sql) {
    try {
        IBSQL.setSql(sql);
        IBSQL.execSql();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool Tdm::EndSQLA() {
    if (!IBTSQL.inTransaction())
        return true;
    try {
        IBTSQL.commit();
        return true;
    } catch (const std::exception&) {
        IBTSQL.rollbackQuietly();
        return false;
    }
}

bool Tdm::RunScr(const QString& name, bool silent) {
    if (ListaScr.isEmpty())
        return true;
    QString current;
    try {
        IBTRun.rollback();
        fb::TransactionGuard guard(IBTRun);
        for (const QString& line : ListaScr) {
            QString stmt = line.trimmed();
            if (stmt.isEmpty())
                continue;
            if (stmt.endsWith('#'))
                stmt.chop(1);
            if (stmt.endsWith(';'))
                stmt.chop(1);
            current = stmt;
            IBQRun.setSql(stmt);
            IBQRun.execSql();
        }
        guard.commit();
        return true;
    } catch (const fb::Error& e) {
        const QString msg = DbErrorMessage(e, current + QStringLiteral("\r\n") + name +
                                                  QStringLiteral("\r\n") + CrLf(e.text()));
        s_.WriteHist(msg);
        if (!silent)
            s_.ShowMessage(msg);
        return false;
    }
}

// ---- single values

bool Tdm::Jest(const QString& sql) {
    return single(sql + QStringLiteral(" rows 1"), [&] { return !IBQdm.isEmpty(); });
}

int Tdm::ReadInteger(const QString& field, const QString& sql, int def) {
    return single(sql,
                  [&] { return IBQdm.isEmpty() ? def : IBQdm.fieldByName(field).asInteger(); });
}

fb::Decimal Tdm::MQReadCurrency(const QString& field, const QString& sql) {
    return single(sql, [&] {
        return IBQdm.isEmpty() ? fb::Decimal{0, 2} : IBQdm.fieldByName(field).value().toDecimal();
    });
}

QDate Tdm::ReadDate(const QString& field, const QString& sql) {
    const QDate v =
        single(sql, [&] { return IBQdm.isEmpty() ? QDate() : IBQdm.fieldByName(field).asDate(); });
    return v.isValid() ? v : ZeroDate();
}

QString Tdm::MQReadString(const QString& field, const QString& sql) {
    return single(
        sql, [&] { return IBQdm.isEmpty() ? QString() : IBQdm.fieldByName(field).asString(); });
}

void Tdm::SayInf(const QString& text) {
    if (!s_.ui.showInfo)
        return;
    s_.ui.showInfo(text + QStringLiteral("..."));
    s_.Repaint();
}

} // namespace kzm
