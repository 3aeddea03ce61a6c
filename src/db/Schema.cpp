#include "db/Schema.h"

#include "core/Files.h"
#include "core/Literals.h"
#include "core/Session.h"
#include "core/Text.h"
#include "db/Exists.h"
#include "db/ScriptSplit.h"
#include "db/Tdm.h"
#include "fb/Error.h"
#include "schema/Catalogue.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QThread>

namespace kzm {

namespace {

QString trimRight(const QString& s) {
    qsizetype n = s.size();
    while (n > 0 && s[n - 1].isSpace())
        --n;
    return s.left(n);
}

} // namespace

bool IsLocalDatabase(const QString& path) {
    return path.contains(QLatin1String("127.0.")) || fb::DatabasePath::parse(path).host.isEmpty();
}

bool DatabaseExists(const Session& s) {
    const fb::DatabasePath path = fb::DatabasePath::parse(s.dbPath);
    if (s.localServer)
        return QFileInfo::exists(path.file);
    try {
        fb::Database probe;
        probe.connect({s.dbPath, s.user, s.password});
        return true;
    } catch (const fb::Error&) {
        return false;
    }
}

QString KeepDatabaseCopy(const QString& file, const QString& backupDir, const QDateTime& at) {
    const QFileInfo source(file);
    if (!ForceDir(backupDir))
        return QString();
    QString copy = backupDir;
    if (!copy.endsWith('/'))
        copy += '/';
    copy += source.completeBaseName() + '_' + at.toString(QStringLiteral("yyyyMMdd_hhmmss"));
    if (!source.suffix().isEmpty())
        copy += '.' + source.suffix();
    return QFile::copy(file, copy) ? copy : QString();
}

Schema::Schema(Tdm& dm) : dm_(dm) {}

QString Schema::TestProcText(int result) {
    switch (result) {
    case 1:
        return QStringLiteral("Wymiana");
    case 2:
        return QStringLiteral("Dopisanie");
    default:
        return QStringLiteral("Błąd przy testowaniu");
    }
}

void Schema::LoadScript(const QString& name) {
    dm_.ListaScr = schema::Script(name);
}

bool Schema::RunScript(const QString& name, bool silent) {
    Session& s = dm_.session();
    if (dm_.ListaScr.isEmpty())
        return true;
    bool ok = true;
    for (const ScriptChunk& chunk : SplitChunks(dm_.ListaScr)) {
        if (chunk.lines.isEmpty()) {
            s.WriteHist(QStringLiteral("Pusty skrypt ") + name);
            return false;
        }
        try {
            dm_.IBTrans.rollback();
            fb::TransactionGuard guard(dm_.IBTrans);
            for (const QString& stmt : SplitStatements(chunk.lines.join('\n')))
                dm_.IBTrans.executeImmediate(stmt);
            guard.commit();
        } catch (const fb::Error& e) {
            const QString msg =
                DbErrorMessage(e, chunk.firstLine() + QStringLiteral("\r\n") + name +
                                      QStringLiteral("\r\n") + CrLf(e.text()));
            s.WriteHist(msg);
            if (!silent)
                s.ShowMessage(msg);
            ok = false;
            ++failedChunks_;
        }
    }
    return ok;
}

QString RefreshFirstLine(const QString& name, const QString& firstLine) {
    if (name.startsWith(QLatin1String("T_")))
        return QStringLiteral("ALTER TRIGGER ") + name;
    QString line = firstLine;
    if (!line.contains(QLatin1String("ALTER"))) {
        const qsizetype at = line.indexOf(QLatin1String("CREATE"), 0, Qt::CaseInsensitive);
        if (at >= 0)
            line.replace(at, 6, QStringLiteral("ALTER"));
    }
    return line;
}

int Schema::WymianaProc(const QString& name) {
    LoadScript(name);
    int result = 2;
    if (!dm_.ListaScr.isEmpty() && JestFunTrig(dm_, name)) {
        dm_.ListaScr.first() = RefreshFirstLine(name, dm_.ListaScr.first());
        result = 1;
    }
    if (!RunScript(QString(), false))
        result = 0;
    return result;
}

int Schema::DopiszTabele(const QString& table) {
    if (JestTabela(dm_, table))
        return 1;
    LoadScript(QStringLiteral("C_") + table);
    if (!RunScript(QString(), false))
        return 255;
    LoadScript(QStringLiteral("C_") + table + QStringLiteral("_IDX"));
    RunScript(QString(), false);
    return 0;
}

void Schema::DopiszPola(const QString& scriptName) {
    dm_.ClearListaScr();
    QString table = ScrNazwaTabeli(scriptName);
    if (table.isEmpty() && scriptName.startsWith(QLatin1String("C_")) &&
        !scriptName.contains(QLatin1String("_IDX")))
        table = scriptName.mid(2);
    if (table.isEmpty() || !JestTabela(dm_, table))
        return;

    const QStringList script = schema::Script(scriptName);
    const QStringList have = ListaPol(dm_, table);
    QStringList adds;
    for (qsizetype i = 1; i < script.size(); ++i) {
        if (i > 1) {
            const QString upper = script[i].toUpper();
            if (upper.contains(QLatin1String("PRIMARY KEY")) || upper.contains(';'))
                break;
        }
        const QString column = Token(script[i].trimmed(), 1, ' ').toUpper();
        if (!column.isEmpty() && !have.contains(column))
            adds << QStringLiteral("ADD ") + script[i];
    }
    if (adds.isEmpty())
        return;
    QString& last = adds.last();
    last = trimRight(last);
    if (last.endsWith(','))
        last.chop(1);
    dm_.ListaScr << QStringLiteral("ALTER TABLE ") + table << adds << QStringLiteral(";");
    RunScript(QStringLiteral("zmiana struktury ") + table, false);
}

void Schema::DopiszIndeksy(const QString& scriptName, bool recreate) {
    dm_.ClearListaScr();
    const QStringList script = schema::Script(scriptName);
    QString lastName;
    for (const QString& line : script) {
        if (line.trimmed().isEmpty())
            continue;
        const QString index =
            Token(line.trimmed(), line.contains(QLatin1String("DESC")) ? 4 : 3, ' ');
        if (!JestIndeks(dm_, QString(), index)) {
            dm_.ListaScr << line;
        } else if (recreate) {
            dm_.ListaScr << QStringLiteral("drop index ") + index << line;
        }
        lastName = index;
    }
    if (!dm_.ListaScr.isEmpty())
        dm_.SayInf(lastName + QStringLiteral(" indeksowanie"));
    dm_.RunScr(QString(), false);
}

void Schema::ZakladanieBazy(int mode, const std::function<void(const QString&)>& label) {
    if (mode != 1)
        return;
    Session& s = dm_.session();
    s.connectionStatus = Status::setupFailed;
    s.WriteHist(QStringLiteral("Zakładanie bazy ") + s.dbPath);
    dm_.IBBaza.disconnect();

    const fb::DatabasePath path = fb::DatabasePath::parse(s.dbPath);
    try {
        if (s.localServer) {
            if (QFile::exists(path.file) && !QFile::remove(path.file))
                throw fb::Error(0, QStringLiteral("Nie można usunąć pliku ") + path.file);
            // The folder of a new installation's database may not be there yet.
            ForceDir(QFileInfo(path.file).absolutePath());
        } else {
            try {
                dm_.IBBaza.connect({s.dbPath, s.user, s.password});
            } catch (const fb::Error& e) {
                // Nothing to remove where no database is.
                if (e.code() != fb::isc::io_error)
                    throw;
            }
            if (dm_.IBBaza.connected())
                dm_.IBBaza.dropDatabase();
        }
    } catch (const std::exception&) {
        dm_.IBBaza.disconnect();
        const QString msg = QStringLiteral("Nieudana operacja usunięcia bazy");
        s.WriteHist(msg);
        s.ShowMessage(msg);
        return;
    }

    s.connectionStatus = Status::oldRemoved;
    try {
        // Path, name and password are literals: an apostrophe in them is doubled.
        const auto literal = [](QString text) {
            return QLatin1Char('\'') + text.replace(QLatin1Char('\''), QStringLiteral("''")) +
                   QLatin1Char('\'');
        };
        fb::Database::createDatabase(
            QStringLiteral("CREATE DATABASE ") + literal(path.connectionString()) +
            QStringLiteral(" USER ") + literal(s.user) + QStringLiteral(" PASSWORD ") +
            literal(s.password) + QStringLiteral(" DEFAULT CHARACTER SET WIN1250"));
        s.connectionStatus = Status::connected;
    } catch (const fb::Error& e) {
        const QString msg = DbErrorMessage(
            e, QStringLiteral("Nieudana operacja założenia bazy \r\n") + CrLf(e.text()));
        s.WriteHist(msg);
        s.ShowMessage(msg);
        return;
    }

    dm_.BazaConnect();
    if (s.connectionStatus != Status::connected)
        return;
    for (const QString& name : schema::Catalogue()) {
        if (label)
            label(name);
        s.Repaint();
        LoadScript(name);
        RunScript(QString(), true);
    }
    if (label)
        label(QStringLiteral("Dane startowe"));
    if (!DaneStartowe(true))
        ++failedChunks_;
    if (s.connectionStatus == Status::connected)
        s.ini.writeInteger(QStringLiteral("Main"), QStringLiteral("CreateBaza"), 0);
}

void Schema::TestBazy(ProgressGauge* gauge, bool recreateIndexes) {
    Session& s = dm_.session();
    auto at = [gauge](int position) {
        if (gauge)
            gauge->setPosition(position);
    };
    // The label goes away however the check ends.
    struct HideInfo {
        Session& s;
        ~HideInfo() {
            if (s.ui.setInfoVisible)
                s.ui.setInfoVisible(false);
        }
    } hideInfo{s};
    if (s.ui.showInfo) {
        s.ui.showInfo(QString());
        if (s.ui.setInfoVisible)
            s.ui.setInfoVisible(true);
    }

    dm_.SayInf(QStringLiteral("Testy początkowe"));
    {
        BusyCursor busy(s);
        InneTestyBefore();
    }
    if (gauge)
        gauge->start(7);

    dm_.SayInf(QStringLiteral("Struktury "));
    {
        BusyCursor busy(s);
        TestStru(recreateIndexes);
    }
    at(1);

    if (s.localServer || s.user == QLatin1String("SYSDBA")) {
        const struct {
            const char* info;
            void (Schema::*step)();
        } steps[] = {
            {"Generatory ", &Schema::TestGen},     {"UDF ", &Schema::TestUdf},
            {"Triggery ", &Schema::TestTrig},      {"Procedury ", &Schema::TestProc},
            {"Uprawnienia ", &Schema::TestGranty},
        };
        int position = 2;
        for (const auto& step : steps) {
            dm_.SayInf(QString::fromUtf8(step.info));
            BusyCursor busy(s);
            (this->*step.step)();
            if (position <= 5)
                at(position++);
        }
    }

    dm_.SayInf(QStringLiteral("Dane startowe"));
    {
        BusyCursor busy(s);
        DaneStartowe(false);
    }
    at(6);
    at(7);
    dm_.SayInf(QStringLiteral("Testy końcowe"));
    InneTestyAfter();
    if (reloadParams)
        reloadParams();
    QThread::msleep(50);
    if (gauge)
        gauge->end();
}

void Schema::TestStru(bool recreateIndexes) {
    for (const QString& name : schema::Catalogue()) {
        if (!name.startsWith(QLatin1String("C_")))
            continue;
        DopiszPola(name);
        if (name.contains(QLatin1String("_IDX"))) {
            DopiszIndeksy(name, recreateIndexes);
            continue;
        }
        const QString table = name.mid(2);
        dm_.SayInf(QStringLiteral("Tabela ") + table);
        if (DopiszTabele(table) == 0)
            dm_.session().WriteHist(QStringLiteral("Dopisana tabela ") + table);
    }
}

void Schema::TestGen() {
    for (const QString& name : schema::Catalogue()) {
        if (!name.startsWith(QLatin1String("G_")) || JestGenerator(dm_, name))
            continue;
        LoadScript(name);
        if (RunScript(QString(), false))
            dm_.session().WriteHist(QStringLiteral("Stworzony generator ") + name);
    }
}

void Schema::TestUdf() {
    const QStringList lines = schema::Script(QStringLiteral("UDFS"));
    if (lines.isEmpty())
        return;
    dm_.StartSQLA();
    for (QString line : lines) {
        if (JestFunkcja(dm_, Token(line.trimmed(), 4, ' ')))
            continue;
        line = line.trimmed();
        if (line.endsWith('#'))
            line.chop(1);
        if (line.endsWith(';'))
            line.chop(1);
        dm_.RunSQLA(line);
    }
    dm_.EndSQLA();
}

void Schema::TestTrig() {
    for (const QString& name : schema::Catalogue()) {
        if (!name.startsWith(QLatin1String("T_")) || JestTrigger(dm_, name))
            continue;
        LoadScript(name);
        if (RunScript(QString(), false))
            dm_.session().WriteHist(QStringLiteral("Stworzony trigger ") + name);
    }
}

void Schema::TestProc() {
    for (const QString& name : schema::Catalogue()) {
        if (!name.startsWith(QLatin1String("T_")) && !name.startsWith(QLatin1String("PKZM_")))
            continue;
        dm_.SayInf(QStringLiteral("Procedura ") + name);
        const int result = WymianaProc(name);
        dm_.session().WriteHist(TestProcText(result) + ' ' + name);
    }
}

void Schema::TestGranty() {
    dm_.ClearListaScr();
    LoadScript(QStringLiteral("GRANTY"));
    for (const QString& name : schema::Catalogue()) {
        if (name.startsWith(QLatin1String("PKZM_"))) {
            dm_.ListaScr << QStringLiteral("GRANT EXECUTE ON PROCEDURE ") + name +
                                QStringLiteral("    TO PUBLIC;#");
        } else {
            const QString table = ScrNazwaTabeli(name);
            if (!table.isEmpty())
                dm_.ListaScr << QStringLiteral("GRANT ALL ON ") + table + QStringLiteral(" TO ") +
                                    Tdm::roleName + QStringLiteral(" WITH GRANT OPTION;#");
        }
    }
    const int year = QDate::currentDate().year();
    for (int y = year; y > year - 5; --y)
        for (const char* prefix : {"MAGA", "KAMA", "KARTAS"}) {
            const QString table = QString::fromLatin1(prefix) + QString::number(y);
            if (JestTabela(dm_, table))
                dm_.ListaScr << QStringLiteral("GRANT ALL ON ") + table +
                                    QStringLiteral(" TO ADMIN_KZM WITH GRANT OPTION;#");
        }
    dm_.RunScr(QStringLiteral("Tdm.TestGranty"), false);
}

void Schema::InneTestyBefore() {
    dm_.SayInf(QStringLiteral("Testy początkowe 1"));
    if (!JestTabela(dm_, QStringLiteral("KZM_MIEJSCA"))) {
        DopiszTabele(QStringLiteral("KZM_MIEJSCA"));
        dm_.RunSQL(QStringLiteral("insert into KZM_MIEJSCA (id,miejsce) values (0,") +
                   SqlStr(QStringLiteral("Warszawa")) + ')');
        dm_.RunSQL(QStringLiteral("insert into KZM_MIEJSCA (id,miejsce) values (1,") +
                   SqlStr(QStringLiteral("Gdańsk")) + ')');
    }

    dm_.SayInf(QStringLiteral("Testy początkowe 2"));
    if (!JestTabela(dm_, QStringLiteral("KZM_SZKODY_2"))) {
        DopiszTabele(QStringLiteral("KZM_SZKODY_2"));
        for (const auto& [id, code] : {std::pair{1, "S1"}, {2, "S2"}, {5, "S5"}})
            dm_.RunSQL(
                QStringLiteral("insert into KZM_SZKODY_2 (ID,SKROT,WODA,STAWKA_DW) values (") +
                QString::number(id) + ',' + SqlStr(QString::fromLatin1(code)) +
                QStringLiteral(",0,0)"));
    }

    dm_.SayInf(QStringLiteral("Testy początkowe 3"));
    if (!JestPole(dm_, QStringLiteral("KZM_DANE"), QStringLiteral("MIEJSCE")))
        dm_.RunSQL(QStringLiteral("ALTER TABLE KZM_DANE ADD MIEJSCE INTEGER"));

    dm_.SayInf(QStringLiteral("Testy początkowe 4"));
    dm_.StartSQLA();

    dm_.SayInf(QStringLiteral("Testy początkowe 5"));
    if (JestIndeks(dm_, QStringLiteral("KZM_RP04"), QStringLiteral("KZM_RP04")) ||
        QFile::exists(QStringLiteral("KZM_RP04.dat"))) {
        if (JestProcedura(dm_, QStringLiteral("PKZM_RP04_2")))
            dm_.RunSQLA(QStringLiteral("drop procedure PKZM_RP04_2"));
        if (JestProcedura(dm_, QStringLiteral("PKZM_RP04P_2")))
            dm_.RunSQLA(QStringLiteral("drop procedure PKZM_RP04P_2"));
        if (JestTabela(dm_, QStringLiteral("KZM_RP04")))
            dm_.RunSQLA(QStringLiteral("drop table KZM_RP04"));
    }
    if (JestProcedura(dm_, QStringLiteral("PKZM_OPEN_ANALIZA")))
        dm_.RunSQLA(QStringLiteral("drop procedure PKZM_OPEN_ANALIZA"));
    if (JestProcedura(dm_, QStringLiteral("PKZM_NOWY_DZIEN")))
        dm_.RunSQLA(QStringLiteral("drop procedure PKZM_NOWY_DZIEN"));
    if (!JestPole(dm_, QStringLiteral("KZM_ZDARZ"), QStringLiteral("STAWKA_DW110")))
        dm_.RunSQLA(QStringLiteral("ALTER TABLE KZM_ZDARZ ADD STAWKA_DW110 NUMERIC(6,2)"));
    // The batch is committed before the single statements below, which share its channel
    // and would otherwise undo it.
    const bool batchDone = dm_.EndSQLA();

    if (!JestTabela(dm_, QStringLiteral("KZM_STAWKI")))
        DopiszTabele(QStringLiteral("KZM_STAWKI"));
    if (dm_.Jest(QStringLiteral(" select id from kzm_stawki where id=993")))
        dm_.RunSQL(QStringLiteral("update kzm_stawki set id=40 where id=993"));
    if (JestTabela(dm_, QStringLiteral("KZM_CENNIK")) &&
        dm_.Jest(QStringLiteral(" select idtr from kzm_cennik where idtr=993")))
        dm_.RunSQL(QStringLiteral("update kzm_cennik set idtr=40 where idtr=993"));
    if (!dm_.Jest(QStringLiteral(" select id from kzm_stawki where id=40")))
        dm_.RunSQL(QStringLiteral("insert into kzm_stawki (id,kod,nazwa) values (40,") +
                   SqlStr(QStringLiteral("110"), false) + SqlStr(QStringLiteral("DOPŁATA")) + ')');

    dm_.SayInf(QStringLiteral("Testy początkowe 8"));
    if (batchDone) {
        if (JestTabela(dm_, QStringLiteral("KZM_OSOBY")))
            dm_.RunSQL(QStringLiteral("drop table KZM_OSOBY"));
        for (const char* table : {"KZM_RWODA", "KZM_RZLWODA"})
            if (JestPole(dm_, QString::fromLatin1(table), QStringLiteral("IDOSOBA")))
                dm_.RunSQL(QStringLiteral("ALTER TABLE ") + QString::fromLatin1(table) +
                           QStringLiteral(" ALTER IDOSOBA TO NR_OPER"));
    }
}

namespace {

// "insert ... select ... where not exists": the row goes in only when `key` finds none.
QString insertWhenMissing(const QString& table, const QString& columns, const QString& values,
                          const QString& key) {
    return QStringLiteral("insert into ") + table + QStringLiteral(" (") + columns +
           QStringLiteral(") select ") + values +
           QStringLiteral(" from rdb$database where not exists (select 1 from ") + table +
           QStringLiteral(" where ") + key + QStringLiteral(")");
}

QString byId(int id) {
    return QStringLiteral("id=") + QString::number(id);
}

// A global parameter with its value in `column` (a literal of that column's type).
QString globalParameter(const char* name, const char* column, const QString& value) {
    const QString n = SqlStr(QString::fromLatin1(name));
    return insertWhenMissing(
        QStringLiteral("PARAMETRY"),
        QStringLiteral("LOKALIZACJA,SEKCJA,NAZWA,") + QLatin1StringView(column),
        QStringLiteral("'GLOBAL','PR_KZM',") + n + ',' + value,
        QStringLiteral("LOKALIZACJA='GLOBAL' and SEKCJA='PR_KZM' and NAZWA=") + n);
}

QString integerParameter(const char* name, int value) {
    return globalParameter(name, "PINTEGER", QString::number(value));
}

QString timeParameter(const char* name, const char* time) {
    return globalParameter(name, "PTIME",
                           QStringLiteral("cast('") + QLatin1StringView(time) +
                               QStringLiteral("' as time)"));
}

} // namespace

namespace {
// Keys of the shared generator begin above the fixed keys of the rates.
constexpr int firstGeneratedKey = 1000;
} // namespace

bool Schema::DaneStartowe(bool silent) {
    dm_.ClearListaScr();
    QStringList& sql = dm_.ListaScr;
    // Keys of G_ID_KZM start at 0 in a new database, and 0 means "none" where they are
    // referred to (an event type 0 would count every plan row without one). Price lists keep
    // rates and drinks apart only by key (IDTR), and the rates have the fixed keys 20 to 992:
    // generated keys begin above them, so that no drink takes a rate's prices.
    if (JestGenerator(dm_, QStringLiteral("G_ID_KZM")) &&
        dm_.ReadInteger(QStringLiteral("ID"),
                        QStringLiteral("select gen_id(G_ID_KZM,0) as id from rdb$database"),
                        0) < firstGeneratedKey)
        sql << QStringLiteral("SET GENERATOR G_ID_KZM TO ") + QString::number(firstGeneratedKey);

    const auto named = [&](const char* table, const char* columns, int id, const QString& rest) {
        sql << insertWhenMissing(QString::fromLatin1(table), QString::fromLatin1(columns),
                                 QString::number(id) + ',' + rest, byId(id));
    };
    named("KZM_MIEJSCA", "ID,MIEJSCE", 0, SqlStr(QStringLiteral("Warszawa")));
    named("KZM_MIEJSCA", "ID,MIEJSCE", 1, SqlStr(QStringLiteral("Gdańsk")));
    for (const auto& [id, code] : {std::pair{1, "S1"}, {2, "S2"}, {5, "S5"}})
        named("KZM_SZKODY_2", "ID,SKROT,WODA,STAWKA_DW", id,
              SqlStr(QString::fromLatin1(code)) + QStringLiteral(",0,0"));

    const struct {
        int id;
        const char* kod;
        const char* nazwa;
    } rates[] = {
        {20, "020", "STAWKA 020"},     {30, "030", "STAWKA 030"},     {40, "110", "DOPŁATA"},
        {990, "WODA166", "WODA 166%"}, {991, "WODA160", "WODA 160%"}, {992, "OBIAD", "OBIAD"},
    };
    for (const auto& r : rates)
        named("KZM_STAWKI", "ID,KOD,NAZWA", r.id,
              SqlStr(QString::fromUtf8(r.kod), false) + SqlStr(QString::fromUtf8(r.nazwa)));

    const char* groups[] = {"Z KUCHNI", "POZA KUCHNIĄ", "RÓWNOWAŻNIK", "INNE"};
    for (int id = 1; id <= 4; ++id)
        named("KZM_GRW", "ID,NAZWA", id, SqlStr(QString::fromUtf8(groups[id - 1])));

    // The drinks settlement needs the water; a table that already holds drinks keeps its set,
    // since the first drinks by key head the columns of the printed settlement.
    sql << insertWhenMissing(
        QStringLiteral("KZM_NAPOJE"), QStringLiteral("ID,KOD,NAZWA,POJEMNOSC,ROZLPC,WODA"),
        QStringLiteral("-1,") + SqlStr(QStringLiteral("WODA"), false) +
            SqlStr(QStringLiteral("WODA MINERALNA"), false) + QStringLiteral("1.50,1,1"),
        QStringLiteral("1=1"));

    for (const auto& [name, value] : {std::pair{"SYGNAL_WYD", 0},
                                      {"SYGNAL_BLOK", 1},
                                      {"NR_INSTALACJI", 0},
                                      {"CLEARTIMEOUT", 10000},
                                      {"LOADTIMEOUT", 50},
                                      {"MAXKODKARTY", 1000},
                                      {"COMP", 1},
                                      {"CPAKT", 0},
                                      {"WDNBZKMNKT", 0},
                                      {"BLKWDNBZKMNKT", 0},
                                      {"MAXKODOPER", 5000},
                                      {"IDSTAWKA020", 20},
                                      {"IDSTAWKA030", 30},
                                      {"IDSTAWKA110", 40},
                                      {"IDWODA166", 990},
                                      {"IDWODA160", 991},
                                      {"IDOBIAD", 992}})
        sql << integerParameter(name, value);
    sql << globalParameter("PROCENTRZLWODY", "PFLOAT", QStringLiteral("30"));
    sql << timeParameter("OBIAD_OD", "11:00") << timeParameter("OBIAD_DO", "15:00");

    return dm_.RunScr(QStringLiteral("Dane startowe"), silent);
}

void Schema::InneTestyAfter() {
    Session& s = dm_.session();
    BusyCursor busy(s);
    if (JestTabela(dm_, QStringLiteral("KZM_ZDARZ")) &&
        !dm_.Jest(QStringLiteral("select id from kzm_zdarz where skrot=") +
                  SqlStr(QStringLiteral("SŁNBW"))))
        dm_.RunSQL(QStringLiteral("insert into kzm_zdarz "
                                  "(GRW,ID,KO,LPW,NAZWA,OB,SKROT,SN,STAWKA_DW,STAWKA_DW110,WODA)"
                                  "  values (3,-1,0,20,") +
                   SqlStr(QStringLiteral("SŁ. NIEETATOWA BEZ WYŻYWIENIA"), false) +
                   QStringLiteral("0,") + SqlStr(QStringLiteral("SŁNBW"), false) +
                   QStringLiteral("0,200,0,1)"));
    if (!JestTabela(dm_, QStringLiteral("KZM_IMP")))
        DopiszTabele(QStringLiteral("KZM_IMP"));
    if (!JestTabela(dm_, QStringLiteral("KZM_W11")))
        DopiszTabele(QStringLiteral("KZM_W11"));
    if (JestTabela(dm_, QStringLiteral("KZM_HIST")) &&
        JestTrigger(dm_, QStringLiteral("T_KZM_HIST_ID"))) {
        if (!JestPole(dm_, QStringLiteral("KZM_HIST"), QStringLiteral("TD")))
            dm_.RunSQL(QStringLiteral("ALTER TABLE KZM_HIST ADD TD VARCHAR(50)"));
        s.WriteHistDB(QStringLiteral("Start"), QString());
    }
}

} // namespace kzm
