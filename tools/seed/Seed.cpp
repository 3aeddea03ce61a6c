#include "Seed.h"

#include "core/Literals.h"
#include "fb/Query.h"
#include "fb/Transaction.h"

#include <QDateTime>
#include <QStringList>
#include <algorithm>
#include <exception>
#include <thread>

namespace kzm::seed {

namespace {

constexpr int civilianLimit = 5000; // MAXKODOPER of a new database

const char* const surnames[] = {
    "NOWAK",       "KOWALSKI",    "WIŚNIEWSKI",  "WÓJCIK",      "KOWALCZYK",  "KAMIŃSKI",
    "LEWANDOWSKI", "ZIELIŃSKI",   "SZYMAŃSKI",   "WOŹNIAK",     "DĄBROWSKI",  "KOZŁOWSKI",
    "JANKOWSKI",   "MAZUR",       "KWIATKOWSKI", "KRAWCZYK",    "PIOTROWSKI", "GRABOWSKI",
    "NOWAKOWSKI",  "PAWŁOWSKI",   "MICHALSKI",   "NOWICKI",     "ADAMCZYK",   "DUDEK",
    "ZAJĄC",       "WIECZOREK",   "JABŁOŃSKI",   "KRÓL",        "MAJEWSKI",   "OLSZEWSKI",
    "JAWORSKI",    "WRÓBEL",      "MALINOWSKI",  "PAWLAK",      "WITKOWSKI",  "WALCZAK",
    "STĘPIEŃ",     "GÓRSKI",      "RUTKOWSKI",   "MICHALAK",    "SIKORA",     "OSTROWSKI",
    "BARAN",       "DUDA",        "SZEWCZYK",    "TOMASZEWSKI", "PIETRZAK",   "MARCINIAK",
    "WRÓBLEWSKI",  "ZALEWSKI",    "JAKUBOWSKI",  "JASIŃSKI",    "ZAWADZKI",   "SADOWSKI",
    "BĄK",         "CHMIELEWSKI", "WŁODARCZYK",  "BORKOWSKI",   "CZARNECKI",  "SAWICKI",
};
const char* const firstNames[] = {
    "JAN",      "PIOTR",   "KRZYSZTOF", "ANDRZEJ",    "TOMASZ",    "PAWEŁ",   "MICHAŁ",  "MAREK",
    "GRZEGORZ", "JÓZEF",   "ŁUKASZ",    "ADAM",       "ZBIGNIEW",  "JERZY",   "TADEUSZ", "MATEUSZ",
    "DARIUSZ",  "MARIUSZ", "WOJCIECH",  "RYSZARD",    "JAKUB",     "KAMIL",   "MACIEJ",  "ROBERT",
    "ANNA",     "MARIA",   "KATARZYNA", "MAŁGORZATA", "AGNIESZKA", "BARBARA", "EWA",     "ŻANETA",
};
const char* const ranks[][2] = {
    {"szer.", "SZEREGOWY"},
    {"st. szer.", "STARSZY SZEREGOWY"},
    {"kpr.", "KAPRAL"},
    {"st. kpr.", "STARSZY KAPRAL"},
    {"plut.", "PLUTONOWY"},
    {"sierż.", "SIERŻANT"},
    {"st. sierż.", "STARSZY SIERŻANT"},
    {"mł. chor.", "MŁODSZY CHORĄŻY"},
    {"chor.", "CHORĄŻY"},
    {"st. chor.", "STARSZY CHORĄŻY"},
    {"ppor.", "PODPORUCZNIK"},
    {"por.", "PORUCZNIK"},
    {"kpt.", "KAPITAN"},
    {"mjr", "MAJOR"},
    {"ppłk", "PODPUŁKOWNIK"},
    {"płk", "PUŁKOWNIK"},
    {"prac. cyw.", "PRACOWNIK CYWILNY"},
};
const char* const militaryUnits[] = {
    "BATALION", "KOMPANIA",    "PLUTON ŁĄCZN.", "SZTAB",       "KOMP. SAPERÓW",
    "BATERIA",  "KOMP. ZAOP.", "KOMP. REMONT.", "ŻANDARMERIA", "DYWIZJON",
};
const char* const civilianUnits[] = {
    "ADMINISTRACJA", "KUCHNIA", "WARSZTATY", "MAGAZYN", "STRAŻ POŻARNA", "KSIĘGOWOŚĆ",
};

QString text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// Runs a statement with parameters in `tr`; the first column of its first row when it
// returns one.
int exec(fb::Transaction& tr, const QString& sql,
         std::initializer_list<std::pair<const char*, fb::Value>> params = {}) {
    fb::Query q(tr);
    q.setSql(sql);
    for (const auto& [name, value] : params)
        q.setParam(QString::fromLatin1(name), value);
    q.execSql();
    return q.isOpen() && !q.isEmpty() ? q.field(0).asInteger() : 0;
}

int count(fb::Database& db, const char* sql) {
    fb::Transaction tr(db);
    fb::Query q(tr);
    q.setSql(QString::fromLatin1(sql));
    q.open();
    const int n = q.field(0).asInteger();
    tr.commit();
    return n;
}

} // namespace

int SoldierNumber(int n) {
    return n + 1;
}

int CivilianNumber(int n) {
    return civilianLimit + 1 + n;
}

int SoldierCount(int persons) {
    return std::min(persons - persons / 8, civilianLimit - 1);
}

std::uint64_t Random::next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

Seeder::Seeder(fb::Database& db, const Options& options, Progress progress, fb::Database* readings)
    : db_(db), readings_(readings), o_(options), progress_(std::move(progress)),
      random_(options.seed) {}

void Seeder::report(const QString& step, int done, int total) {
    if (progress_)
        progress_(step, done, total);
}

void Seeder::Run() {
    report(QStringLiteral("Dane podstawowe"), 0, 1);
    Prices();
    Units();
    Ranks();
    EventTypes();
    Drinks();
    Persons();
    Statistics();
    // With a second attachment a day's readings are stored while the next day is planned.
    std::thread reader;
    std::exception_ptr readerError;
    const auto waitForReader = [&] {
        if (reader.joinable())
            reader.join();
        if (readerError)
            std::rethrow_exception(readerError);
    };
    int settled = 0;
    try {
        for (int i = 0; i < o_.days; ++i) {
            const QDate day = o_.firstDay.addDays(i);
            report(QStringLiteral("Plan i odczyty ") + day.toString(QStringLiteral("dd.MM.yyyy")),
                   i, o_.days);
            Execute(db_, DayBlock(day, i, false));
            waitForReader();
            const QString readings = DayBlock(day, i, true);
            if (readings_)
                reader = std::thread([this, readings, &readerError] {
                    try {
                        Execute(*readings_, readings);
                    } catch (...) {
                        readerError = std::current_exception();
                    }
                });
            else
                Execute(db_, readings);
            // The optimizer chooses its indexes by their selectivity, which the first days and
            // the first settlements change most.
            const bool monthEnd = day.addDays(1).month() != day.month();
            if (i == 0 || i == 6 || (monthEnd && ++settled <= 2)) {
                waitForReader();
                Statistics();
            }
            if (monthEnd) {
                report(QStringLiteral("Rozliczenie napojów ") +
                           day.toString(QStringLiteral("MM.yyyy")),
                       i, o_.days);
                Settle(day);
            }
        }
        waitForReader();
    } catch (...) {
        if (reader.joinable())
            reader.join();
        throw;
    }
    report(QStringLiteral("Gotowe"), o_.days, o_.days);
}

void Seeder::Statistics() {
    fb::Transaction tr(db_);
    QStringList indexes;
    {
        fb::Query q(tr);
        q.setSql(QStringLiteral("select trim(RDB$INDEX_NAME) from RDB$INDICES where "
                                "coalesce(RDB$SYSTEM_FLAG, 0) = 0"));
        for (q.open(); !q.eof(); q.next())
            indexes << q.field(0).asString();
    }
    for (const QString& index : indexes)
        tr.executeImmediate(QStringLiteral("set statistics index ") + index);
    tr.commit();
}

void Seeder::Prices() {
    // The amounts in force a year before the first day, raised twice during the year.
    fb::Transaction tr(db_);
    const QDate start = o_.firstDay.addYears(-1);
    const struct {
        int rate;
        double amount;
    } base[] = {{20, 24.60}, {30, 30.75}, {40, 9.80}, {990, 4.15}, {991, 4.00}, {992, 12.30}};
    for (int step = 0; step < 3; ++step) {
        const QDate from = step == 0 ? start : o_.firstDay.addMonths(step == 1 ? 3 : 8);
        for (const auto& b : base)
            exec(tr,
                 QStringLiteral("insert into KZM_CENNIK (IDTR, KWOTA, OD_KIEDY) values "
                                "(:idtr, :kwota, :od)"),
                 {{"idtr", b.rate},
                  {"kwota", fb::Decimal{static_cast<std::int64_t>(b.amount * 100) + step * 35, 2}},
                  {"od", from}});
    }
    tr.commit();
}

void Seeder::Units() {
    fb::Transaction tr(db_);
    exec(tr, QStringLiteral("insert into KZM_GRUPY (ID, NAZWA) values (1, 'WOJSKO')"));
    exec(tr, QStringLiteral("insert into KZM_GRUPY (ID, NAZWA) values (2, 'PRAC. CYWILNI')"));
    const int civilian = std::max(1, o_.units / 8);
    for (int i = 0; i < o_.units; ++i) {
        const bool military = i < o_.units - civilian;
        const QString name =
            military ? QString::number(i / 10 + 1) + ' ' + text(militaryUnits[i % 10])
                     : text(civilianUnits[(i - (o_.units - civilian)) % 6]) +
                           (i - (o_.units - civilian) >= 6 ? ' ' + QString::number(i) : QString());
        unitIds_ << exec(
            tr,
            QStringLiteral("insert into KZM_JEDNOSTKI (NUMER, GRUPA, NAZWA) values "
                           "(:numer, :grupa, :nazwa) returning ID"),
            {{"numer", 100 + i}, {"grupa", military ? 1 : 2}, {"nazwa", name.left(20)}});
    }
    tr.commit();
}

void Seeder::Ranks() {
    fb::Transaction tr(db_);
    for (const auto& r : ranks)
        rankIds_ << exec(tr,
                         QStringLiteral("insert into KZM_STOPNIE (SKROT, NAZWA) values (:s, :n) "
                                        "returning ID"),
                         {{"s", text(r[0])}, {"n", text(r[1])}});
    tr.commit();
}

void Seeder::EventTypes() {
    fb::Transaction tr(db_);
    const struct {
        int Events::*key;
        const char* skrot;
        const char* nazwa;
        int grw, lpw, sn, ob, ko, woda, dw, dw110;
    } types[] = {
        {&Events::sk, "SK", "STOŁÓWKA - PEŁNE WYŻYWIENIE", 1, 1, 1, 1, 1, 1, 0, 0},
        {&Events::so, "SO", "STOŁÓWKA - TYLKO OBIAD", 1, 2, 0, 1, 0, 1, 60, 0},
        {&Events::p20, "P20", "POLIGON - PORCJA 020", 1, 3, 1, 1, 1, 1, 0, 0},
        {&Events::p40, "P40", "POLIGON - DODATEK 40", 1, 4, 1, 1, 1, 1, 0, 70},
        {&Events::p80, "P80", "POLIGON - DODATEK 80", 1, 5, 1, 1, 1, 1, 0, 70},
        {&Events::p150, "P150", "POLIGON - DODATEK 150", 1, 6, 1, 1, 1, 1, 0, 150},
        {&Events::pc, "PC", "PRACOWNIK CYWILNY - OBIAD", 1, 7, 0, 1, 0, 0, 0, 0},
        {&Events::ur, "UR", "URLOP", 2, 1, 0, 0, 0, 0, 100, 0},
        {&Events::del, "DEL", "DELEGACJA", 2, 2, 0, 0, 0, 0, 60, 0},
        {&Events::szp, "SZP", "SZPITAL", 2, 3, 0, 0, 0, 0, 100, 0},
        {&Events::rw, "RW", "RÓWNOWAŻNIK PIENIĘŻNY", 3, 1, 0, 0, 0, 1, 200, 150},
        {&Events::bn, "BN", "BEZ NALEŻNOŚCI", 4, 1, 0, 0, 0, 0, 0, 0},
    };
    for (const auto& t : types)
        events_.*t.key =
            exec(tr,
                 QStringLiteral(
                     "insert into KZM_ZDARZ (LPW, GRW, SKROT, NAZWA, STAWKA_DW, STAWKA_DW110, "
                     "SN, OB, KO, WODA) values (:lpw, :grw, :skrot, :nazwa, :dw, :dw110, "
                     ":sn, :ob, :ko, :woda) returning ID"),
                 {{"lpw", t.lpw},
                  {"grw", t.grw},
                  {"skrot", text(t.skrot)},
                  {"nazwa", text(t.nazwa)},
                  {"dw", t.dw},
                  {"dw110", t.dw110},
                  {"sn", t.sn},
                  {"ob", t.ob},
                  {"ko", t.ko},
                  {"woda", t.woda}});
    tr.commit();
}

void Seeder::Drinks() {
    // The water a new database holds, and the drinks bought with the rest of the allowance.
    fb::Transaction tr(db_);
    const struct {
        const char* kod;
        const char* nazwa;
        int pojemnosc; // hundredths of a litre
        int rozlpc;
        int cena; // grosze
    } drinks[] = {
        {"SOK", "SOK JABŁKOWY", 100, 1, 389},
        {"IZO", "NAPÓJ IZOTONICZNY", 50, 0, 459},
        {"HERB", "HERBATA MROŻONA", 50, 1, 299},
        {"KAWA", "KAWA MROŻONA", 25, 0, 529},
    };
    const int water = exec(tr, QStringLiteral("select min(ID) from KZM_NAPOJE where WODA = 1"));
    for (const auto& d : drinks) {
        const int id = exec(tr,
                            QStringLiteral("insert into KZM_NAPOJE (KOD, NAZWA, POJEMNOSC, ROZLPC, "
                                           "WODA) values (:kod, :nazwa, :poj, :rozlpc, 0) "
                                           "returning ID"),
                            {{"kod", text(d.kod)},
                             {"nazwa", text(d.nazwa)},
                             {"poj", fb::Decimal{d.pojemnosc, 2}},
                             {"rozlpc", d.rozlpc}});
        for (int step = 0; step < 2; ++step)
            exec(tr,
                 QStringLiteral("insert into KZM_CENNIK (IDTR, KWOTA, OD_KIEDY) values "
                                "(:idtr, :kwota, :od)"),
                 {{"idtr", id},
                  {"kwota", fb::Decimal{d.cena + step * 20, 2}},
                  {"od", step == 0 ? o_.firstDay.addYears(-1) : o_.firstDay.addMonths(6)}});
    }
    if (water > 0)
        exec(tr,
             QStringLiteral("insert into KZM_CENNIK (IDTR, KWOTA, OD_KIEDY) values "
                            "(:idtr, 1.89, :od)"),
             {{"idtr", water}, {"od", o_.firstDay.addYears(-1)}});
    tr.commit();
}

void Seeder::Persons() {
    fb::Transaction tr(db_);
    fb::Query person(tr);
    person.setSql(QStringLiteral(
        "insert into KZM_KART (NR_OPER, NR_KARTY, NR_IDENT, IDSTOPIEN, IDJEDN, IDSTAWKA, "
        "IDSTAWKAW, NAZWISKO, DATAZAPISU) values (:nr, :karta, :ident, :stopien, :jedn, "
        ":stawka, :stawkaw, :nazwisko, :zapis)"));
    fb::Query assignment(tr);
    assignment.setSql(QStringLiteral("insert into KZM_PRZYDZIAL (NR_OPER, IDJEDN, IDSTAWKA, "
                                     "OD_KIEDY) values (:nr, :jedn, :stawka, :od)"));
    const int soldiers = SoldierCount(o_.persons);
    const int civilianUnitsFrom = o_.units - std::max(1, o_.units / 8);
    for (int i = 0; i < o_.persons; ++i) {
        const bool soldier = i < soldiers;
        const int nr = soldier ? SoldierNumber(i) : CivilianNumber(i - soldiers);
        // Cards of up to 9 digits as the terminal sends them; longer ones packed, read back as
        // their last 10 digits.
        const bool packed = random_.below(3) == 0;
        const int card = packed ? 1000000000 + random_.below(1000000000) : 100000 + i * 37;
        const QString ident = packed ? QString::number(card)
                                     : QStringLiteral("%1").arg(card, 9, 10, QLatin1Char('0'));
        const int unit = soldier ? random_.below(civilianUnitsFrom)
                                 : civilianUnitsFrom + random_.below(o_.units - civilianUnitsFrom);
        const int rate = soldier ? (random_.below(5) == 0 ? 30 : 20) : 0;
        const QString name = text(surnames[random_.below(std::size(surnames))]) + ' ' +
                             text(firstNames[random_.below(std::size(firstNames))]);
        const int rank = soldier ? rankIds_[random_.below(rankIds_.size() - 1)] : rankIds_.last();
        person.setParam(QStringLiteral("nr"), nr);
        person.setParam(QStringLiteral("karta"), card);
        person.setParam(QStringLiteral("ident"), ident);
        person.setParam(QStringLiteral("stopien"), rank);
        person.setParam(QStringLiteral("jedn"), unitIds_[unit]);
        person.setParam(QStringLiteral("stawka"), rate);
        person.setParam(QStringLiteral("stawkaw"), soldier ? 990 : 991);
        person.setParam(QStringLiteral("nazwisko"), name);
        person.setParam(QStringLiteral("zapis"), QDateTime(o_.firstDay.addYears(-2), QTime(8, 0)));
        person.execSql();

        const auto assign = [&](int u, int r, const QDate& from) {
            assignment.setParam(QStringLiteral("nr"), nr);
            assignment.setParam(QStringLiteral("jedn"), unitIds_[u]);
            assignment.setParam(QStringLiteral("stawka"), r);
            assignment.setParam(QStringLiteral("od"), from);
            assignment.execSql();
        };
        assign(unit, rate, o_.firstDay.addYears(-2));
        // During the year a fifth of the soldiers move to another unit, some with the other
        // rate.
        if (soldier && random_.below(5) == 0) {
            const int other = random_.below(civilianUnitsFrom);
            const int otherRate = random_.below(4) == 0 ? 50 - rate : rate;
            assign(other, otherRate,
                   o_.firstDay.addDays(1 + random_.below(std::max(1, o_.days - 1))));
        }
    }
    tr.commit();
}

QString Seeder::DayBlock(const QDate& day, int index, bool readings) const {
    // One block on the server per day and part: the plan rows, their event types and
    // corrections through the plan procedures; or every reading through the registration
    // procedure. Each part draws from a sequence of its own.
    const QString d = SqlDate(day);
    const bool weekend = day.dayOfWeek() >= 6;
    const int week = day.weekNumber();
    const QString yymmdd = day.toString(QStringLiteral("yyMMdd"));
    const QString rokmc = day.toString(QStringLiteral("yyyyMM"));
    const auto e = [](int id) { return QString::number(id); };
    QString soldierEvent;
    if (weekend)
        soldierEvent =
            QStringLiteral("case when :k < 550 then %1 when :k < 850 then %2 when :k < 950 "
                           "then %3 when :k < 990 then %4 else 0 end")
                .arg(e(events_.sk), e(events_.ur), e(events_.so), e(events_.rw));
    else
        soldierEvent =
            QStringLiteral(
                "case when :k < 700 then %1 when :k < 760 then %2 when :k < 800 then %3 "
                "when :k < 830 then %4 when :k < 870 then %5 when :k < 895 then %6 when :k "
                "< 925 then %7 when :k < 945 then %8 when :k < 960 then %9 when :k < 995 "
                "then %10 else 0 end")
                .arg(e(events_.sk), e(events_.ur), e(events_.del), e(events_.szp), e(events_.rw),
                     e(events_.so), e(events_.bn), e(events_.p20), e(events_.sk), e(events_.so));
    const QString exercise =
        QStringLiteral("case when :k < 400 then %1 when :k < 700 then %2 when :k < 900 then %3 "
                       "else %4 end")
            .arg(e(events_.p20), e(events_.p40), e(events_.p80), e(events_.p150));
    const QString civilianEvent =
        weekend ? QStringLiteral("case when :k < 995 then %1 else 0 end").arg(e(events_.bn))
                : QStringLiteral("case when :k < 900 then %1 when :k < "
                                 "960 then %2 else 0 end")
                      .arg(e(events_.pc), e(events_.ur));
    const std::uint64_t daySeed =
        (o_.seed * 1000003ULL + static_cast<std::uint64_t>(index) * 7919ULL) % 2147483648ULL;

    // What both parts of a day declare: their variables and the day's sequence of numbers.
    const QString declarations = QStringLiteral(R"(execute block as
declare r bigint;
declare k integer;
declare id integer;
declare nr integer;
declare jedn integer;
declare ident varchar(14);
declare sn integer;
declare ob integer;
declare ko integer;
declare n integer;
declare t time;
/* The next number of the day's sequence. */
declare function follow(x bigint) returns bigint as
begin
  return mod(x * 1103515245 + 12345, 2147483648);
end
)");
    QString sql =
        declarations +
        (readings
             ? QStringLiteral(R"(/* One reading, stored the way the registration loop stores it. */
declare procedure reading(slot integer, card varchar(14), tm time, source varchar(2)) as
declare ret varchar(20);
begin
  select RET from PKZM_RWP_WRIT_ODCZYT_22(:slot, '%ROKMC%', :card, %D%, :tm,
                                          :source || '%YYMMDD%') into :ret;
end
begin
  r = %DAYSEED%;
  /* A planned meal is taken nineteen times in twenty, at most %PER_DAY% a day. */
  for select NR_IDENT, SN, OB, KO from KZM_DANE where DATA = %D% order by NR_OPER
      into :ident, :sn, :ob, :ko do
  begin
    n = 0;
    r = follow(r);
    k = mod(r / 65536, 1000);
    if (sn = 1 and n < %PER_DAY% and k < 950) then
    begin
      execute procedure reading(1, :ident, dateadd(mod(:r, 9000) second to time '06:30:00'), '01');
      n = n + 1;
    end
    r = follow(r);
    k = mod(r / 65536, 1000);
    t = dateadd(mod(r, 12600) second to time '11:15:00');
    if (ob = 1 and n < %PER_DAY% and k < 950) then
    begin
      execute procedure reading(2, :ident, :t, '02');
      n = n + 1;
      /* Now and then the same card again for the same meal. */
      if (k < 5) then
        execute procedure reading(2, :ident, dateadd(180 + :k * 60 second to :t), '02');
    end
    /* A lunch not planned, refused by the terminal. */
    else if (ob = 0 and k > 970) then
      execute procedure reading(2, :ident, :t, '02');
    /* A card nobody holds. */
    if (k >= 995) then
      execute procedure reading(2, '9' || lpad(mod(:r, 100000000), 8, '0'), :t, '02');
    r = follow(r);
    k = mod(r / 65536, 1000);
    if (ko = 1 and n < %PER_DAY% and k < 950) then
      execute procedure reading(3, :ident, dateadd(mod(:r, 9000) second to time '17:00:00'), '01');
  end

end)")
             : QStringLiteral(R"(begin
  r = %DAYSEED%;
  execute procedure PKZM_OPEN_PLAN_2(%D%, 0);
  for select ID, NR_OPER, IDJEDN from KZM_DANE where DATA = %D% order by NR_OPER
      into :id, :nr, :jedn do
  begin
    r = follow(r);
    k = mod(r / 65536, 1000);
    if (nr >= 5000) then
      execute procedure PKZM_ZMIEN_ZDARZ_2(:id, %CIVILIAN%);
    else if (mod(jedn + %WEEK%, 12) = 0 and k < 900) then
      execute procedure PKZM_ZMIEN_ZDARZ_2(:id, %EXERCISE%);
    else
      execute procedure PKZM_ZMIEN_ZDARZ_2(:id, %SOLDIER%);
    r = follow(r);
    k = mod(r / 65536, 1000);
    if (k < 3) then
      execute procedure PKZM_ZMIEN_SZKODE(:id, case :k when 0 then 1 when 1 then 2 else 5 end, 0, %D%);
  end

  insert into KZM_PSY (DATA, ILOSC) values (%D%, 4 + mod(:r, 5));
end)"));
    sql.replace(QStringLiteral("%DAYSEED%"),
                QString::number(readings ? daySeed ^ 0x5BD1E995ULL : daySeed));
    sql.replace(QStringLiteral("%D%"), d);
    sql.replace(QStringLiteral("%WEEK%"), QString::number(week));
    sql.replace(QStringLiteral("%CIVILIAN%"), civilianEvent);
    sql.replace(QStringLiteral("%EXERCISE%"), exercise);
    sql.replace(QStringLiteral("%SOLDIER%"), soldierEvent);
    sql.replace(QStringLiteral("%PER_DAY%"), QString::number(o_.readingsPerDay));
    sql.replace(QStringLiteral("%ROKMC%"), rokmc);
    sql.replace(QStringLiteral("%YYMMDD%"), yymmdd);

    return sql;
}

void Seeder::Execute(fb::Database& db, const QString& sql) {
    fb::Transaction tr(db);
    tr.executeImmediate(sql);
    tr.commit();
}

void Seeder::Settle(const QDate& monthEnd) {
    // As the drinks window does for a month: the prices of its last day, then every person's
    // settlement row computed at once.
    const QDate first(monthEnd.year(), monthEnd.month(), 1);
    fb::Transaction tr(db_);
    exec(tr, QStringLiteral("execute procedure PKZM_INIT_CENY_NAP(:dtk)"), {{"dtk", monthEnd}});
    exec(tr, QStringLiteral("execute procedure PKZM_OPEN_WODA_1(:dstp, :dtp, :dtk, 0)"),
         {{"dstp", first.addDays(-1)}, {"dtp", first}, {"dtk", monthEnd}});
    tr.commit();
}

Counts Seeder::Count() {
    Counts c;
    c.units = count(db_, "select count(*) from KZM_JEDNOSTKI");
    c.persons = count(db_, "select count(*) from KZM_KART");
    c.soldiers = count(db_, "select count(*) from KZM_KART where NR_OPER < 5000");
    c.assignments = count(db_, "select count(*) from KZM_PRZYDZIAL");
    c.planRows = count(db_, "select count(*) from KZM_DANE");
    c.readings = count(db_, "select count(*) from KZM_RWP");
    c.settlements = count(db_, "select count(*) from KZM_RWODA");
    return c;
}

} // namespace kzm::seed
