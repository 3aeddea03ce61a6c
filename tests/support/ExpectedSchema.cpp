#include "support/ExpectedSchema.h"

#include "fb/Database.h"
#include "fb/Query.h"
#include "fb/Transaction.h"

#include <QMap>
#include <QSet>

#include <algorithm>

namespace expected {

namespace {

const QString Pl = QStringLiteral("PXW_PLK");

Column Make(const char* name, Type type, int length = 0, int scale = 0) {
    Column c;
    c.name = name;
    c.type = type;
    c.length = length;
    c.scale = scale;
    return c;
}
Column Small(const char* n) {
    return Make(n, Type::SmallInt);
}
Column Int(const char* n) {
    return Make(n, Type::Integer);
}
Column IntNotNull(const char* n) {
    Column c = Make(n, Type::Integer);
    c.notNull = true;
    return c;
}
Column Float(const char* n) {
    return Make(n, Type::Float);
}
Column Date(const char* n) {
    return Make(n, Type::Date);
}
Column Time(const char* n) {
    return Make(n, Type::Time);
}
Column Timestamp(const char* n) {
    return Make(n, Type::Timestamp);
}
Column Char(const char* n, int length) {
    return Make(n, Type::Char, length);
}
Column Varchar(const char* n, int length, const QString& collation = {}) {
    Column c = Make(n, Type::Varchar, length);
    c.collation = collation;
    return c;
}
Column VarcharNotNull(const char* n, int length) {
    Column c = Make(n, Type::Varchar, length);
    c.notNull = true;
    return c;
}
Column Numeric(const char* n, int precision, int scale) {
    return Make(n, Type::Numeric, precision, scale);
}

Index Ix(const char* name, const char* table, const QStringList& columns, bool descending = false) {
    Index i;
    i.name = name;
    i.table = table;
    i.columns = columns;
    i.descending = descending;
    return i;
}

Trigger Tr(const char* name, const char* table) {
    Trigger t;
    t.name = name;
    t.table = table;
    return t;
}

std::vector<Table> BuildTables() {
    std::vector<Table> t;
    t.push_back({"PARAMETRY",
                 {VarcharNotNull("LOKALIZACJA", 12), VarcharNotNull("SEKCJA", 15),
                  VarcharNotNull("NAZWA", 25), Varchar("PSTRING", 100), Int("PINTEGER"),
                  Numeric("PFLOAT", 15, 4), Date("PDATA"), Time("PTIME")},
                 {{}, {"LOKALIZACJA", "SEKCJA", "NAZWA"}}});
    t.push_back({"KZM_STOPNIE",
                 {IntNotNull("ID"), Varchar("SKROT", 15, Pl), Varchar("NAZWA", 30, Pl)},
                 {"KZM_STOPNIE", {"ID"}}});
    t.push_back({"KZM_JEDNOSTKI",
                 {IntNotNull("ID"), Int("NUMER"), Int("GRUPA"), Varchar("NAZWA", 20, Pl)},
                 {"KZM_JEDNOSTKI", {"ID"}}});
    t.push_back({"KZM_GRUPY", {IntNotNull("ID"), Varchar("NAZWA", 20, Pl)}, {"KZM_GRUPY", {"ID"}}});
    t.push_back(
        {"KZM_MIEJSCA", {IntNotNull("ID"), Varchar("MIEJSCE", 20)}, {"KZM_MIEJSCA", {"ID"}}});
    t.push_back({"KZM_STAWKI",
                 {IntNotNull("ID"), Int("IDTR"), Varchar("KOD", 10), Varchar("NAZWA", 30)},
                 {"KZM_STAWKI", {"ID"}}});
    t.push_back({"KZM_CENNIK",
                 {IntNotNull("ID"), Int("IDTR"), Numeric("KWOTA", 6, 2), Date("OD_KIEDY")},
                 {"KZM_CENNIK", {"ID"}}});
    t.push_back({"KZM_NAPOJE",
                 {IntNotNull("ID"), Int("IDTR"), Varchar("KOD", 10), Varchar("NAZWA", 30),
                  Numeric("POJEMNOSC", 5, 2), Small("ROZLPC"), Small("WODA"), Numeric("CENA", 6, 2),
                  Numeric("PROCENT", 5, 2)},
                 {"KZM_NAPOJE", {"ID"}}});
    t.push_back({"KZM_ZDARZ",
                 {IntNotNull("ID"), Int("LPW"), Int("GRW"), Varchar("SKROT", 5, Pl),
                  Varchar("NAZWA", 30), Numeric("STAWKA_DW", 6, 2), Numeric("STAWKA_DW110", 6, 2),
                  Int("SN"), Int("OB"), Int("KO"), Int("WODA")},
                 {"KZM_ZDARZ", {"ID"}}});
    t.push_back({"KZM_GRW", {IntNotNull("ID"), Varchar("NAZWA", 15, Pl)}, {"KZM_GRW", {"ID"}}});
    t.push_back({"KZM_SZKODY_2",
                 {IntNotNull("ID"), Varchar("SKROT", 5), Int("WODA"), Numeric("STAWKA_DW", 5, 2)},
                 {"KZM_SZKODY_2", {"ID"}}});
    // A key column is NOT NULL even where its definition does not say so.
    t.push_back({"KZM_POPR", {IntNotNull("NR"), Varchar("NAZWA", 10)}, {"KZM_POPR", {"NR"}}});
    t.push_back({"KZM_KART",
                 {IntNotNull("NR_OPER"), Int("NR_KARTY"), Varchar("NR_IDENT", 14), Int("IDSTOPIEN"),
                  Int("IDJEDN"), Int("IDSTAWKA"), Int("IDSTAWKAW"), Varchar("NAZWISKO", 40, Pl),
                  Timestamp("DATAZAPISU")},
                 {"KZM_KART", {"NR_OPER"}}});
    t.push_back(
        {"KZM_PRZYDZIAL",
         {IntNotNull("ID"), Int("NR_OPER"), Int("IDJEDN"), Date("OD_KIEDY"), Int("IDSTAWKA")},
         {"KZM_PRZYDZIAL", {"ID"}}});
    t.push_back({"KZM_DANE",
                 {IntNotNull("ID"),
                  Date("DATA"),
                  Int("IDJEDN"),
                  Int("GRUPA"),
                  Varchar("STOPIEN", 15),
                  Int("MIEJSCE"),
                  Varchar("NAZWISKO", 40),
                  Int("NR_KARTY"),
                  Int("NR_OPER"),
                  Varchar("NR_IDENT", 14),
                  Small("AKTYWNY"),
                  Int("IDZDARZ"),
                  Int("SN"),
                  Int("OB"),
                  Int("KO"),
                  Int("WODA"),
                  Int("IDSTAWKA"),
                  Int("IDSTAWKA_110"),
                  Numeric("STAWKA", 6, 2),
                  Numeric("STAWKA_DW", 6, 2),
                  Numeric("STAWKA_110", 6, 2),
                  Numeric("STAWKA_DW110", 6, 2),
                  Int("IDSTAWKAWODA"),
                  Numeric("STAWKA_WODA", 6, 2),
                  Numeric("STAWKA_OBIAD", 6, 2),
                  Int("POPRAWKA"),
                  Date("DATA_POPR"),
                  Int("PWODA"),
                  Numeric("PSTAWKA_DW", 6, 2),
                  Int("RWODA"),
                  Numeric("RSTAWKA_DW", 6, 2),
                  Numeric("RSTAWKA_DW110", 6, 2),
                  Int("S5"),
                  Timestamp("DATAZAPISU"),
                  Int("IDPOPR")},
                 {"KZM_DANE", {"ID"}}});
    t.push_back({"KZM_RWP",
                 {IntNotNull("IDRWP"), Char("ROKMC", 6), Int("NR_OPER"), Int("KARTA"),
                  Varchar("NR_IDENT", 14), Date("DATA"), Time("CZAS"), Small("RDPOS"),
                  Small("WSKW"), Varchar("SKAD", 8)},
                 {"RWP_PK", {"IDRWP"}}});
    t.push_back(
        {"KZM_COMDEF",
         {Small("PORT"),     Int("SPEED"),          Varchar("PARITY", 1),    Small("DATA_LEN"),
          Small("STOP_BIT"), Small("XON_XOFF"),     Small("RTS_CTS"),        Small("KANAL"),
          Small("IRQ"),      Varchar("IO_BASE", 3), Varchar("INTERFACE", 1), Varchar("NAZWA", 30),
          Small("AKTYWNY"),  Small("TIMEOUT_R"),    Small("TIMEOUT_W"),      Small("NUMINST"),
          Small("NUMSCAN"),  Small("RS485"),        Small("TQ700"),          Small("NUMINST3ZN"),
          Int("ALARM"),      Int("BASE_ALARM")},
         {}});
    t.push_back(
        {"KZM_RWODA",
         {IntNotNull("ID"), Date("DATA"), Int("IDJEDN"), Int("NR_OPER"), Numeric("STP", 10, 2),
          Numeric("STAWKA", 6, 2), Numeric("DO_ROZL", 10, 2), Numeric("STK", 10, 2)},
         {"KZM_WODA", {"ID"}}});
    t.push_back({"KZM_RZLWODA",
                 {Date("DATA"), Int("NR_OPER"), Int("IDNAPOJ"), Int("ILOSC"), Numeric("CENA", 6, 2),
                  Numeric("WARTOSC", 10, 2)},
                 {}});
    t.push_back({"KZM_PSY", {Date("DATA"), Int("ILOSC")}, {}});
    t.push_back({"KZM_ANALIZA",
                 {IntNotNull("ID"), Int("GRW"), Int("LPW"), Int("IDA"), Date("DATA"),
                  Varchar("WSK", 1), Int("IDZDARZ"), Varchar("NAZWA", 30), Int("ILOSC"),
                  Numeric("STAWKA", 6, 2), Numeric("NARZUT", 6, 2), Numeric("WARTOSC", 6, 2)},
                 {"KZM_ANALIZA", {"ID"}}});
    t.push_back({"KZM_RP00", {Int("NR"), Int("GRW"), Int("LPW"), Float("ILE")}, {}});
    t.push_back({"KZM_RP04",
                 {IntNotNull("ID"), Int("WSK"), Int("IJEDN"), Int("NR_OPER"),
                  Varchar("KOLUMNA0", 10), Int("DZIEN"), Varchar("D", 20)},
                 {{}, {"ID"}}});
    t.push_back({"KZM_W11",
                 {Int("NUMER"),
                  Varchar("STOPIEN", 15),
                  Varchar("NAZWISKO", 40),
                  Int("NR_OPER"),
                  Int("IDSTAWKA"),
                  Numeric("STAWKA", 6, 2),
                  Numeric("KWOTA", 10, 2),
                  Numeric("STAWKA200", 6, 2),
                  Numeric("I200", 6, 1),
                  Numeric("KWOTA200", 10, 2),
                  Numeric("STAWKA100", 6, 2),
                  Numeric("I100", 6, 1),
                  Numeric("KWOTA100", 10, 2),
                  Numeric("STAWKA60", 6, 2),
                  Numeric("I60", 6, 1),
                  Numeric("KWOTA60", 10, 2),
                  Numeric("DOPL_110", 6, 2),
                  Numeric("DOPL_D070", 6, 2),
                  Numeric("ID070", 5, 1),
                  Numeric("KWOTA_D070", 6, 2),
                  Numeric("DOPL_D150", 6, 2),
                  Numeric("ID150", 5, 1),
                  Numeric("KWOTA_D150", 6, 2)},
                 {}});
    t.push_back(
        {"KZM_TMP",
         {Int("ID"), Int("IKOD"), Int("IKOD2"), Date("DKOD"), Date("DKOD2"), Varchar("S10", 10)},
         {}});
    Column wyb = Int("WYB");
    wyb.defaultValue = "0";
    t.push_back({"KZM_IMP",
                 {Date("DATA"), wyb, Varchar("NAZWA", 30), Int("IDJEDN"), Int("NUMER"),
                  Int("NR_OPER"), Int("IDZDARZ"), Int("SN"), Int("OB"), Int("KO"), Int("WODA"),
                  Numeric("STAWKA_DW", 6, 2), Numeric("STAWKA_DW110", 6, 2)},
                 {}});
    // TD is added by the start-up checks, not by the table's script.
    Column td = Varchar("TD", 50);
    td.optional = true;
    t.push_back(
        {"KZM_HIST",
         {IntNotNull("ID"), Varchar("VRS", 20), Timestamp("DATAZAPISU"), Varchar("TEKST", 200), td},
         {"KZM_HIST", {"ID"}}});
    return t;
}

std::vector<Index> BuildIndexes() {
    return {
        Ix("KZM_JEDN0", "KZM_JEDNOSTKI", {"NUMER"}),
        Ix("KZM_CENNIK1", "KZM_CENNIK", {"IDTR", "OD_KIEDY"}),
        Ix("KZM_CENNIK2", "KZM_CENNIK", {"OD_KIEDY", "IDTR"}, true),
        Ix("KZM_SZKODY_20", "KZM_SZKODY_2", {"SKROT"}),
        Ix("KZM_KART0", "KZM_KART", {"NAZWISKO"}),
        Ix("KZM_KART1", "KZM_KART", {"NR_KARTY"}),
        Ix("KZM_KART2", "KZM_KART", {"NR_IDENT"}),
        Ix("KZM_PRZYDZIAL1", "KZM_PRZYDZIAL", {"NR_OPER", "OD_KIEDY"}),
        Ix("KZM_DANE0", "KZM_DANE", {"NR_OPER", "DATA"}),
        Ix("KZM_DANE1", "KZM_DANE", {"DATA", "IDZDARZ", "IDJEDN"}),
        Ix("KZM_DANE2", "KZM_DANE", {"DATA", "IDSTAWKA", "RSTAWKA_DW", "IDJEDN"}),
        Ix("KZM_DANE3", "KZM_DANE", {"DATA", "POPRAWKA", "IDJEDN"}),
        Ix("KZM_DANE4", "KZM_DANE", {"DATA", "S5", "IDJEDN"}),
        Ix("KZM_DANE5", "KZM_DANE", {"DATA", "RWODA", "NR_OPER", "IDJEDN"}),
        Ix("KZM_DANE6", "KZM_DANE",
           {"DATA", "IDZDARZ", "IDJEDN", "NR_OPER", "IDSTAWKA", "STAWKA", "STAWKA_OBIAD"}),
        Ix("KZM_DANE7", "KZM_DANE", {"DATA", "IDJEDN", "IDSTAWKA"}),
        Ix("KZM_DANE8", "KZM_DANE", {"MIEJSCE", "DATA"}),
        Ix("RWP_KARTA", "KZM_RWP", {"KARTA"}),
        Ix("RWP_NR_OPER", "KZM_RWP", {"NR_OPER"}),
        Ix("RWP_ROKMC", "KZM_RWP", {"ROKMC"}),
        Ix("RWP_DATA_KARTA", "KZM_RWP", {"DATA", "KARTA"}),
        Ix("RWP_DATA_KARTA_RDPOS", "KZM_RWP", {"DATA", "KARTA", "RDPOS"}),
        Ix("RWP_NR_IDENT", "KZM_RWP", {"NR_IDENT"}),
        Ix("RWP_DATA_NR_IDENT", "KZM_RWP", {"DATA", "NR_IDENT"}),
        Ix("RWP_DATA_NR_IDENT_RDPOS", "KZM_RWP", {"DATA", "NR_IDENT", "RDPOS"}),
        Ix("KZM_RWODA0", "KZM_RWODA", {"DATA", "NR_OPER"}),
        Ix("KZM_RZLWODA0", "KZM_RZLWODA", {"DATA", "NR_OPER"}),
        Ix("KZM_PSY0", "KZM_PSY", {"DATA"}),
        Ix("KZM_ANALIZA0", "KZM_ANALIZA", {"DATA", "IDZDARZ"}),
        Ix("KZM_ANALIZA1", "KZM_ANALIZA", {"IDA", "WSK"}),
        Ix("KZM_RP000", "KZM_RP00", {"NR", "GRW", "LPW"}),
        Ix("KZM_RP040", "KZM_RP04", {"WSK", "IJEDN", "NR_OPER", "KOLUMNA0", "DZIEN"}),
        Ix("KZM_TMPIDX0", "KZM_TMP", {"ID", "IKOD"}),
        Ix("KZM_TMPIDX1", "KZM_TMP", {"ID", "DKOD"}),
    };
}

std::vector<Trigger> BuildTriggers() {
    return {
        Tr("T_KZM_ANALIZA_ID", "KZM_ANALIZA"),
        Tr("T_KZM_CENNIK_ID", "KZM_CENNIK"),
        Tr("T_KZM_DANE_ID", "KZM_DANE"),
        Tr("T_KZM_HIST_ID", "KZM_HIST"),
        Tr("T_KZM_JEDNOSTKI_ID", "KZM_JEDNOSTKI"),
        Tr("T_KZM_KART", "KZM_KART"),
        Tr("T_KZM_NAPOJE_ID", "KZM_NAPOJE"),
        Tr("T_KZM_PRZYDZIAL_ID", "KZM_PRZYDZIAL"),
        Tr("T_KZM_RP04_ID", "KZM_RP04"),
        Tr("T_KZM_RWODA_ID", "KZM_RWODA"),
        Tr("T_KZM_STOPNIE_ID", "KZM_STOPNIE"),
        Tr("T_KZM_ZDARZ_ID", "KZM_ZDARZ"),
        Tr("T_RWP_ID", "KZM_RWP"),
    };
}

QString TypeText(Type type, int length, int scale) {
    switch (type) {
    case Type::SmallInt:
        return "SMALLINT";
    case Type::Integer:
        return "INTEGER";
    case Type::Float:
        return "FLOAT";
    case Type::Date:
        return "DATE";
    case Type::Time:
        return "TIME";
    case Type::Timestamp:
        return "TIMESTAMP";
    case Type::Char:
        return QStringLiteral("CHAR(%1)").arg(length);
    case Type::Varchar:
        return QStringLiteral("VARCHAR(%1)").arg(length);
    case Type::Numeric:
        return QStringLiteral("NUMERIC(%1,%2)").arg(length).arg(scale);
    }
    return {};
}

bool IsText(Type type) {
    return type == Type::Char || type == Type::Varchar;
}

// A column as the system tables describe it.
struct ActualColumn {
    QString name;
    int position = 0;
    QString type; // rendered like TypeText
    bool text = false;
    bool notNull = false;
    QString collation;
    QString defaultValue;
};

// Renders RDB$FIELDS' type codes: exact numerics are integer types with a sub-type (1 NUMERIC,
// 2 DECIMAL) or a negative scale.
QString ActualType(int fieldType, int subType, int precision, int scale, int charLength) {
    const bool exact = fieldType == 7 || fieldType == 8 || fieldType == 16;
    if (exact && (subType != 0 || scale != 0))
        return QStringLiteral("%1(%2,%3)")
            .arg(subType == 2 ? "DECIMAL" : "NUMERIC")
            .arg(precision)
            .arg(-scale);
    switch (fieldType) {
    case 7:
        return "SMALLINT";
    case 8:
        return "INTEGER";
    case 16:
        return "BIGINT";
    case 10:
        return "FLOAT";
    case 27:
        return "DOUBLE PRECISION";
    case 12:
        return "DATE";
    case 13:
        return "TIME";
    case 35:
        return "TIMESTAMP";
    case 14:
        return QStringLiteral("CHAR(%1)").arg(charLength);
    case 37:
        return QStringLiteral("VARCHAR(%1)").arg(charLength);
    case 261:
        return "BLOB";
    default:
        return QStringLiteral("type %1").arg(fieldType);
    }
}

// "DEFAULT 0" as the server keeps it gives "0".
QString DefaultValue(const QString& source) {
    QString s = source.trimmed();
    if (s.startsWith(QLatin1String("DEFAULT"), Qt::CaseInsensitive))
        s = s.mid(7).trimmed();
    return s;
}

struct ActualIndex {
    QString table;
    QStringList columns;
    bool unique = false;
    bool descending = false;
    bool inactive = false;
};

struct ActualConstraint {
    QString name;
    QString type;
    QString index;
};

struct ActualTrigger {
    QString table;
    int type = 0;
    int position = 0;
    bool inactive = false;
};

struct Actual {
    QMap<QString, bool> relations; // name -> is a view
    QMap<QString, QMap<QString, ActualColumn>> columns;
    QMap<QString, ActualIndex> indexes;
    QMap<QString, QList<ActualConstraint>> constraints; // by table
    QSet<QString> generators;
    QMap<QString, ActualTrigger> triggers;
};

Actual ReadActual(fb::Database& db) {
    Actual a;
    fb::Transaction tr(db);
    fb::Query q(tr);

    q.setSql("select trim(rdb$relation_name) as name, "
             "iif(rdb$view_blr is null, 0, 1) as is_view from rdb$relations "
             "where coalesce(rdb$system_flag, 0) = 0");
    for (q.open(); !q.eof(); q.next())
        a.relations.insert(q.fieldByName("name").asString(), q.fieldByName("is_view").asInteger());

    q.setSql("select trim(rf.rdb$relation_name) as tab, trim(rf.rdb$field_name) as col, "
             "rf.rdb$field_position as pos, f.rdb$field_type as ftype, "
             "coalesce(f.rdb$field_sub_type, 0) as fsub, coalesce(f.rdb$field_precision, 0) as "
             "fprec, coalesce(f.rdb$field_scale, 0) as fscale, "
             "coalesce(f.rdb$character_length, f.rdb$field_length) as flen, "
             "iif(coalesce(rf.rdb$null_flag, 0) = 1 or coalesce(f.rdb$null_flag, 0) = 1, 1, 0) "
             "as not_null, trim(co.rdb$collation_name) as coll, "
             "coalesce(rf.rdb$default_source, f.rdb$default_source) as dflt "
             "from rdb$relation_fields rf "
             "join rdb$relations r on r.rdb$relation_name = rf.rdb$relation_name "
             "join rdb$fields f on f.rdb$field_name = rf.rdb$field_source "
             "left join rdb$collations co on co.rdb$character_set_id = f.rdb$character_set_id "
             "and co.rdb$collation_id = coalesce(rf.rdb$collation_id, f.rdb$collation_id, 0) "
             "where coalesce(r.rdb$system_flag, 0) = 0 and r.rdb$view_blr is null");
    for (q.open(); !q.eof(); q.next()) {
        ActualColumn c;
        c.name = q.fieldByName("col").asString();
        c.position = q.fieldByName("pos").asInteger();
        const int ftype = q.fieldByName("ftype").asInteger();
        c.type =
            ActualType(ftype, q.fieldByName("fsub").asInteger(), q.fieldByName("fprec").asInteger(),
                       q.fieldByName("fscale").asInteger(), q.fieldByName("flen").asInteger());
        c.text = ftype == 14 || ftype == 37;
        c.notNull = q.fieldByName("not_null").asInteger() != 0;
        c.collation = q.fieldByName("coll").asString();
        c.defaultValue = DefaultValue(q.fieldByName("dflt").asString());
        a.columns[q.fieldByName("tab").asString()].insert(c.name, c);
    }

    q.setSql("select trim(i.rdb$index_name) as name, trim(i.rdb$relation_name) as tab, "
             "coalesce(i.rdb$unique_flag, 0) as uniq, coalesce(i.rdb$index_type, 0) as is_desc, "
             "coalesce(i.rdb$index_inactive, 0) as inactive, trim(s.rdb$field_name) as col "
             "from rdb$indices i "
             "left join rdb$index_segments s on s.rdb$index_name = i.rdb$index_name "
             "where coalesce(i.rdb$system_flag, 0) = 0 "
             "order by i.rdb$index_name, s.rdb$field_position");
    for (q.open(); !q.eof(); q.next()) {
        ActualIndex& ix = a.indexes[q.fieldByName("name").asString()];
        ix.table = q.fieldByName("tab").asString();
        ix.unique = q.fieldByName("uniq").asInteger() != 0;
        ix.descending = q.fieldByName("is_desc").asInteger() != 0;
        ix.inactive = q.fieldByName("inactive").asInteger() != 0;
        if (!q.fieldByName("col").isNull())
            ix.columns.append(q.fieldByName("col").asString());
    }

    q.setSql("select trim(c.rdb$constraint_name) as name, trim(c.rdb$constraint_type) as ctype, "
             "trim(c.rdb$relation_name) as tab, trim(c.rdb$index_name) as ix "
             "from rdb$relation_constraints c "
             "join rdb$relations r on r.rdb$relation_name = c.rdb$relation_name "
             "where coalesce(r.rdb$system_flag, 0) = 0");
    for (q.open(); !q.eof(); q.next())
        a.constraints[q.fieldByName("tab").asString()].append({q.fieldByName("name").asString(),
                                                               q.fieldByName("ctype").asString(),
                                                               q.fieldByName("ix").asString()});

    q.setSql("select trim(rdb$generator_name) as name from rdb$generators "
             "where coalesce(rdb$system_flag, 0) = 0");
    for (q.open(); !q.eof(); q.next())
        a.generators.insert(q.fieldByName("name").asString());

    q.setSql("select trim(rdb$trigger_name) as name, trim(rdb$relation_name) as tab, "
             "rdb$trigger_type as ttype, coalesce(rdb$trigger_sequence, 0) as pos, "
             "coalesce(rdb$trigger_inactive, 0) as inactive from rdb$triggers "
             "where coalesce(rdb$system_flag, 0) = 0");
    for (q.open(); !q.eof(); q.next())
        a.triggers.insert(q.fieldByName("name").asString(),
                          {q.fieldByName("tab").asString(), q.fieldByName("ttype").asInteger(),
                           q.fieldByName("pos").asInteger(),
                           q.fieldByName("inactive").asInteger() != 0});
    q.close();
    tr.rollback();
    return a;
}

QString List(const QStringList& names) {
    return names.join(QStringLiteral(", "));
}

void CompareColumns(const Table& t, const QMap<QString, ActualColumn>& actual, QStringList& out) {
    QSet<QString> expectedNames;
    QStringList expectedOrder;
    for (const Column& c : t.columns) {
        expectedNames.insert(c.name);
        const QString where = t.name + '.' + c.name;
        auto it = actual.find(c.name);
        if (it == actual.end()) {
            if (!c.optional)
                out << "missing column " + where;
            continue;
        }
        expectedOrder << c.name;
        const ActualColumn& a = *it;
        const QString type = TypeText(c.type, c.length, c.scale);
        if (a.type != type)
            out << QStringLiteral("%1: type %2 expected, %3 found").arg(where, type, a.type);
        if (a.notNull != c.notNull)
            out << QStringLiteral("%1: %2 expected, %3 found")
                       .arg(where, c.notNull ? "NOT NULL" : "nullable",
                            a.notNull ? "NOT NULL" : "nullable");
        if (IsText(c.type) && a.text) {
            const QString collation = c.collation.isEmpty() ? "WIN1250" : c.collation;
            if (a.collation != collation)
                out << QStringLiteral("%1: collation %2 expected, %3 found")
                           .arg(where, collation, a.collation.isEmpty() ? "none" : a.collation);
        }
        if (a.defaultValue != c.defaultValue)
            out << QStringLiteral("%1: default %2 expected, %3 found")
                       .arg(where, c.defaultValue.isEmpty() ? "none" : c.defaultValue,
                            a.defaultValue.isEmpty() ? "none" : a.defaultValue);
    }
    QList<ActualColumn> present = actual.values();
    std::sort(present.begin(), present.end(),
              [](const ActualColumn& x, const ActualColumn& y) { return x.position < y.position; });
    QStringList actualOrder;
    for (const ActualColumn& a : present) {
        if (expectedNames.contains(a.name))
            actualOrder << a.name;
        else
            out << "extra column " + t.name + '.' + a.name;
    }
    if (actualOrder != expectedOrder)
        out << QStringLiteral("%1: column order %2 expected, %3 found")
                   .arg(t.name, List(expectedOrder), List(actualOrder));
}

void CompareConstraints(const Table& t, const Actual& a, QStringList& out) {
    const QList<ActualConstraint> constraints = a.constraints.value(t.name);
    const ActualConstraint* pk = nullptr;
    for (const ActualConstraint& c : constraints) {
        if (c.type == QLatin1String("PRIMARY KEY"))
            pk = &c;
        else if (c.type != QLatin1String("NOT NULL"))
            out << QStringLiteral("%1: unexpected %2 constraint %3").arg(t.name, c.type, c.name);
    }
    const QString keyText = QStringLiteral("%1 (%2)").arg(
        t.key.name.isEmpty() ? QStringLiteral("without a name") : t.key.name, List(t.key.columns));
    if (!pk) {
        if (!t.key.columns.isEmpty())
            out << QStringLiteral("%1: missing primary key %2").arg(t.name, keyText);
        return;
    }
    const QStringList columns = a.indexes.value(pk->index).columns;
    if (t.key.columns.isEmpty()) {
        out << QStringLiteral("%1: unexpected primary key %2 (%3)")
                   .arg(t.name, pk->name, List(columns));
        return;
    }
    const bool nameOk = t.key.name.isEmpty() ? pk->name.startsWith(QLatin1String("INTEG_"))
                                             : pk->name == t.key.name;
    if (!nameOk || columns != t.key.columns)
        out << QStringLiteral("%1: primary key %2 expected, %3 (%4) found")
                   .arg(t.name, keyText, pk->name, List(columns));
}

QString IndexText(const QString& name, const QString& table, const QStringList& columns,
                  bool descending, bool unique) {
    return QStringLiteral("%1%2index %3 on %4 (%5)")
        .arg(unique ? "unique " : "", descending ? "descending " : "", name, table, List(columns));
}

} // namespace

const std::vector<Table>& Tables() {
    static const std::vector<Table> tables = BuildTables();
    return tables;
}

const std::vector<Index>& Indexes() {
    static const std::vector<Index> indexes = BuildIndexes();
    return indexes;
}

const QStringList& Generators() {
    static const QStringList generators{"G_ID_HIST", "G_ID_INNE", "G_ID_KZM", "G_ID_RWP"};
    return generators;
}

const std::vector<Trigger>& Triggers() {
    static const std::vector<Trigger> triggers = BuildTriggers();
    return triggers;
}

} // namespace expected

QStringList SchemaDifferences(fb::Database& db) {
    using namespace expected;
    const Actual a = ReadActual(db);
    QStringList out;

    QSet<QString> tableNames;
    for (const Table& t : Tables()) {
        tableNames.insert(t.name);
        if (!a.relations.contains(t.name)) {
            out << "missing table " + t.name;
            continue;
        }
        if (a.relations.value(t.name)) {
            out << t.name + " is a view, not a table";
            continue;
        }
        CompareColumns(t, a.columns.value(t.name), out);
        CompareConstraints(t, a, out);
    }
    for (auto it = a.relations.begin(); it != a.relations.end(); ++it)
        if (!tableNames.contains(it.key()))
            out << QStringLiteral("extra %1 %2").arg(it.value() ? "view" : "table", it.key());

    // Indexes that serve a constraint are compared with the keys above.
    QSet<QString> constraintIndexes;
    for (const auto& list : a.constraints)
        for (const ActualConstraint& c : list)
            if (!c.index.isEmpty())
                constraintIndexes.insert(c.index);
    QSet<QString> indexNames;
    for (const Index& e : Indexes()) {
        indexNames.insert(e.name);
        const QString want = IndexText(e.name, e.table, e.columns, e.descending, e.unique);
        auto it = a.indexes.find(e.name);
        if (it == a.indexes.end()) {
            out << "missing " + want;
            continue;
        }
        const QString have = IndexText(e.name, it->table, it->columns, it->descending, it->unique);
        if (have != want)
            out << QStringLiteral("%1 expected, %2 found").arg(want, have);
        if (it->inactive)
            out << QStringLiteral("index %1 is inactive").arg(e.name);
    }
    for (auto it = a.indexes.begin(); it != a.indexes.end(); ++it)
        if (!indexNames.contains(it.key()) && !constraintIndexes.contains(it.key()))
            out << "extra " +
                       IndexText(it.key(), it->table, it->columns, it->descending, it->unique);

    for (const QString& g : Generators())
        if (!a.generators.contains(g))
            out << "missing generator " + g;
    for (const QString& g : a.generators)
        if (!Generators().contains(g))
            out << "extra generator " + g;

    QSet<QString> triggerNames;
    for (const Trigger& e : Triggers()) {
        triggerNames.insert(e.name);
        auto it = a.triggers.find(e.name);
        if (it == a.triggers.end()) {
            out << QStringLiteral("missing trigger %1 for %2").arg(e.name, e.table);
            continue;
        }
        if (it->table != e.table)
            out << QStringLiteral("trigger %1: table %2 expected, %3 found")
                       .arg(e.name, e.table, it->table);
        // RDB$TRIGGER_TYPE 1 is "before insert".
        if ((it->type == 1) != e.beforeInsert)
            out << QStringLiteral("trigger %1: type %2 found").arg(e.name).arg(it->type);
        if (it->position != e.position)
            out << QStringLiteral("trigger %1: position %2 expected, %3 found")
                       .arg(e.name)
                       .arg(e.position)
                       .arg(it->position);
        if (it->inactive)
            out << QStringLiteral("trigger %1 is inactive").arg(e.name);
    }
    for (auto it = a.triggers.begin(); it != a.triggers.end(); ++it)
        if (!triggerNames.contains(it.key()))
            out << QStringLiteral("extra trigger %1 for %2").arg(it.key(), it->table);
    return out;
}
