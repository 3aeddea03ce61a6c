#include "db/Exists.h"

#include "db/Tdm.h"

namespace kzm {

namespace {

bool counted(Tdm& dm, const QString& sql) {
    return dm.ReadInteger(QStringLiteral("jest"), sql, 0) > 0;
}

QString up(const QString& name) {
    return name.toUpper();
}

} // namespace

bool JestTabela(Tdm& dm, const QString& table) {
    return counted(dm, QStringLiteral("select count(*) as jest from rdb$relations where "
                                      "rdb$flags=1 and rdb$relation_name='") +
                           up(table) + '\'');
}

bool JestPole(Tdm& dm, const QString& table, const QString& column) {
    return counted(dm, QStringLiteral("select count( r.rdb$field_name)  as jest from "
                                      "rdb$relation_fields r left outer join rdb$fields f on "
                                      "f.rdb$field_name = r.rdb$field_source where "
                                      "r.rdb$relation_name = '") +
                           up(table) + QStringLiteral("' and r.rdb$field_name = '") + up(column) +
                           '\'');
}

bool JestIndeks(Tdm& dm, const QString& table, const QString& index) {
    if (table.isEmpty())
        return counted(dm, QStringLiteral("select count(rdb$index_name) as jest from "
                                          "rdb$indices  where rdb$index_name='") +
                               up(index) + '\'');
    return counted(dm,
                   QStringLiteral("select count(rdb$index_name) as jest from rdb$indices  where "
                                  "rdb$relation_name='") +
                       up(table) + QStringLiteral("'and rdb$index_name='") + up(index) + '\'');
}

bool JestGenerator(Tdm& dm, const QString& name) {
    return counted(
        dm,
        QStringLiteral("select count(*) as jest from rdb$generators where rdb$generator_name='") +
            up(name) + '\'');
}

bool JestTrigger(Tdm& dm, const QString& name) {
    return counted(dm, QStringLiteral("Select Count(rdb$trigger_name) as jest from rdb$triggers  "
                                      "where rdb$trigger_name = '") +
                           up(name) + '\'');
}

bool JestProcedura(Tdm& dm, const QString& name) {
    return counted(dm, QStringLiteral("Select Count(rdb$procedure_name) as jest from "
                                      "rdb$procedures  where rdb$procedure_name = '") +
                           up(name) + '\'');
}

bool JestFunkcja(Tdm& dm, const QString& name) {
    return counted(
        dm, QStringLiteral("select count(*) as jest from rdb$functions where rdb$function_name='") +
                up(name) + '\'');
}

bool JestFunTrig(Tdm& dm, const QString& name) {
    return name.left(5) == QLatin1String("PKZM_") ? JestProcedura(dm, name) : JestTrigger(dm, name);
}

QStringList ListaPol(Tdm& dm, const QString& table) {
    QStringList columns;
    dm.IBQdm.close();
    dm.IBQdm.setSql(QStringLiteral("select r.rdb$field_name as pole from rdb$relation_fields r "
                                   "left outer join rdb$fields f on f.rdb$field_name = "
                                   "r.rdb$field_source where r.rdb$relation_name = '") +
                    up(table) + '\'');
    dm.IBQdm.open();
    for (; !dm.IBQdm.eof(); dm.IBQdm.next())
        columns << dm.IBQdm.fieldByName(QStringLiteral("Pole")).asString().trimmed();
    dm.CloseQ(dm.IBQdm);
    return columns;
}

QString ScrNazwaTabeli(const QString& scriptName) {
    if (scriptName.startsWith(QLatin1String("C_KZM_")) &&
        !scriptName.endsWith(QLatin1String("IDX")))
        return scriptName.mid(2, 40);
    return {};
}

} // namespace kzm
