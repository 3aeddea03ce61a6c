#include "schema/Catalogue.h"
#include "support/QtPrint.h"

#include <QDir>
#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

using kzm::schema::Catalogue;
using kzm::schema::Script;

namespace {

// The fixed creation order of every script the program carries.
const QStringList creationOrder{
    "C_PARAMETRY",
    "C_KZM_ANALIZA",
    "C_KZM_ANALIZA_IDX",
    "C_KZM_CENNIK",
    "C_KZM_CENNIK_IDX",
    "C_KZM_COMDEF",
    "C_KZM_DANE",
    "C_KZM_DANE_IDX",
    "C_KZM_GRUPY",
    "C_KZM_GRW",
    "C_KZM_HIST",
    "C_KZM_IMP",
    "C_KZM_JEDNOSTKI",
    "C_KZM_JEDNOSTKI_IDX",
    "C_KZM_KART",
    "C_KZM_KART_IDX",
    "C_KZM_MIEJSCA",
    "C_KZM_NAPOJE",
    "C_KZM_POPR",
    "C_KZM_PRZYDZIAL",
    "C_KZM_PRZYDZIAL_IDX",
    "C_KZM_PSY",
    "C_KZM_PSY_IDX",
    "C_KZM_RP00",
    "C_KZM_RP00_IDX",
    "C_KZM_RP04",
    "C_KZM_RP04_IDX",
    "C_KZM_RWODA",
    "C_KZM_RWODA_IDX",
    "C_KZM_RZLWODA",
    "C_KZM_RZLWODA_IDX",
    "C_KZM_STAWKI",
    "C_KZM_STOPNIE",
    "C_KZM_SZKODY_2",
    "C_KZM_SZKODY_2_IDX",
    "C_KZM_TMP",
    "C_KZM_TMP_IDX",
    "C_KZM_W11",
    "C_KZM_ZDARZ",
    "C_KZM_RWP",
    "C_KZM_RWP_IDX",
    "G_ID_HIST",
    "G_ID_INNE",
    "G_ID_KZM",
    "G_ID_RWP",
    "PKZM_PRZYDZIAL_1",
    "PKZM_RZL_WODA_1",
    "PKZM_STAWKI_2",
    "T_KZM_ANALIZA_ID",
    "T_KZM_CENNIK_ID",
    "T_KZM_DANE_ID",
    "T_KZM_HIST_ID",
    "T_KZM_JEDNOSTKI_ID",
    "T_KZM_KART",
    "T_KZM_NAPOJE_ID",
    "T_KZM_PRZYDZIAL_ID",
    "T_KZM_RP04_ID",
    "T_KZM_RWODA_ID",
    "T_KZM_STOPNIE_ID",
    "T_KZM_ZDARZ_ID",
    "T_RWP_ID",
    "PKZM_READPARD",
    "PKZM_READPARF",
    "PKZM_READPARI",
    "PKZM_READPARS",
    "PKZM_INIT_WODA0_1",
    "PKZM_ZMIEN_SZKODE",
    "PKZM_ZMIEN_ZDARZ_2",
    "PKZM_INIT_STAT2",
    "PKZM_INIT_STAT3",
    "PKZM_OPEN_PLAN_2",
    "PKZM_OPEN_WODA_1",
    "PKZM_RP04P_2",
    "PKZM_RWP_WRIT_ODCZYT_22",
    "PKZM_ZMIEN_DANE_OS_2",
    "PKZM_ZMIEN_STAWKE_2",
    "PKZM_EXPO_2",
    "PKZM_INIT_CENY_NAP",
    "PKZM_INIT_PSY",
    "PKZM_INIT_ZDARZ",
    "PKZM_RP01_2",
    "PKZM_RP011",
    "PKZM_RP011_1",
    "PKZM_RP02_2",
    "PKZM_RP02_3",
    "PKZM_RP03",
    "PKZM_RP04_2",
    "PKZM_RP05_2",
    "PKZM_RP05_3",
    "PKZM_RP06_2",
    "PKZM_RP06_3",
    "PKZM_RP07",
    "PKZM_RP08",
    "PKZM_RP12",
    "PKZM_VIEW_KART_2",
    "PKZM_VIEW_RWP_2",
    "PKZM_OPEN_ANALIZA",
    "GRANTY",
    "TEST",
};

bool IsTableScript(const QString& n) {
    return n.startsWith("C_") && !n.endsWith("_IDX");
}
bool IsIndexScript(const QString& n) {
    return n.startsWith("C_") && n.endsWith("_IDX");
}
bool IsProcedureScript(const QString& n) {
    return n.startsWith("PKZM_") || n == "TEST";
}

QStringList NamesWhere(bool (*pred)(const QString&)) {
    QStringList out;
    for (const QString& n : Catalogue())
        if (pred(n))
            out << n;
    return out;
}

// The lines of a script without the empty lines at its end.
QStringList Trimmed(QStringList lines) {
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
        lines.removeLast();
    return lines;
}

// Blank-separated words, runs of blanks counting as one separator.
QStringList Words(const QString& line) {
    return line.split(QRegularExpression("\\s+"), Qt::SkipEmptyParts);
}

} // namespace

TEST(CatalogueTest, LookupIsExactAndUnknownNamesGiveNothing) {
    EXPECT_EQ(Script("C_KZM_DANE").value(0), "CREATE TABLE KZM_DANE (");
    for (const char* name : {"c_kzm_dane", "C_KZM_DANE ", "UDFS", "", "C_", "KZM_DANE"}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(Script(name).isEmpty());
    }
    // Every call hands out the same text.
    EXPECT_EQ(Script("T_RWP_ID"), Script("T_RWP_ID"));
}

TEST(CatalogueTest, NamesFollowTheCreationOrder) {
    const QStringList names = Catalogue();
    ASSERT_FALSE(names.isEmpty());
    EXPECT_EQ(names.first(), "C_PARAMETRY");
    EXPECT_EQ(names.mid(names.size() - 2), (QStringList{"GRANTY", "TEST"}));
    EXPECT_EQ(QSet<QString>(names.begin(), names.end()).size(), names.size()) << "duplicate names";

    // Everything but stored procedures is present; procedures may still be missing, but what is
    // there stands in the fixed order.
    QStringList expected;
    for (const QString& n : creationOrder)
        if (!n.startsWith("PKZM_") || names.contains(n))
            expected << n;
    EXPECT_EQ(names, expected);
    EXPECT_EQ(NamesWhere(IsTableScript).size(), 27);
}

TEST(CatalogueTest, EveryNameHasItsScriptAndEveryScriptIsListed) {
    const QStringList names = Catalogue();
    for (const QString& n : names)
        EXPECT_FALSE(Trimmed(Script(n)).isEmpty()) << n.toStdString();
    // The resource is linked into this program and holds nothing the catalogue does not list.
    const QStringList files = QDir(":/schema/sql").entryList(QDir::Files);
    ASSERT_FALSE(files.isEmpty());
    for (const QString& f : files)
        EXPECT_TRUE(names.contains(QFileInfo(f).completeBaseName())) << f.toStdString();
}

TEST(CatalogueTest, OrderInvariantsOfCreation) {
    const QStringList names = Catalogue();
    auto pos = [&](const QString& n) { return names.indexOf(n); };
    for (const QString& idx : NamesWhere(IsIndexScript)) {
        const QString table = idx.chopped(4);
        ASSERT_GE(pos(table), 0) << idx.toStdString() << " has no table script";
        EXPECT_LT(pos(table), pos(idx)) << idx.toStdString();
    }
    auto last = [&](bool (*pred)(const QString&)) {
        const QStringList l = NamesWhere(pred);
        return l.isEmpty() ? -1 : pos(l.last());
    };
    auto first = [&](bool (*pred)(const QString&)) {
        const QStringList l = NamesWhere(pred);
        return l.isEmpty() ? int(names.size()) : pos(l.first());
    };
    auto isGenerator = [](const QString& n) { return n.startsWith("G_"); };
    auto isTrigger = [](const QString& n) { return n.startsWith("T_"); };
    auto isTableOrIndex = [](const QString& n) { return n.startsWith("C_"); };
    EXPECT_LT(last(isTableOrIndex), first(isGenerator));
    EXPECT_LT(last(isGenerator), first(isTrigger));
    EXPECT_LT(last(isTableOrIndex), first(IsProcedureScript));

    // A procedure comes after every catalogue procedure that its body calls.
    const QStringList procedures = NamesWhere(IsProcedureScript);
    for (const QString& p : procedures) {
        const QString body = Script(p).mid(1).join('\n');
        for (const QString& callee : procedures) {
            if (callee == p || !body.contains(QRegularExpression("\\b" + callee + "\\b")))
                continue;
            EXPECT_LT(pos(callee), pos(p)) << p.toStdString() << " calls " << callee.toStdString();
        }
    }
}

TEST(CatalogueTest, TableScriptsHoldOneColumnPerLineThenTheKey) {
    const QRegularExpression column("^([A-Z][A-Z0-9_]*) +[A-Z]\\S*.*$");
    const QRegularExpression key("^(CONSTRAINT [A-Z][A-Z0-9_]* )?PRIMARY KEY \\([A-Z0-9_, ]+\\)$",
                                 QRegularExpression::CaseInsensitiveOption);
    for (const QString& name : NamesWhere(IsTableScript)) {
        SCOPED_TRACE(name.toStdString());
        const QStringList lines = Trimmed(Script(name));
        ASSERT_GE(lines.size(), 3);
        EXPECT_EQ(lines.first(), "CREATE TABLE " + name.mid(2) + " (");
        EXPECT_EQ(lines.last(), ");");
        const QStringList body = lines.mid(1, lines.size() - 2);
        const bool hasKey = body.last().toUpper().contains("PRIMARY KEY");
        const QStringList columns = hasKey ? body.mid(0, body.size() - 1) : body;
        ASSERT_FALSE(columns.isEmpty());
        if (hasKey) {
            EXPECT_TRUE(key.match(body.last()).hasMatch()) << body.last().toStdString();
        }
        QSet<QString> seen;
        for (int i = 0; i < columns.size(); ++i) {
            const QString& line = columns[i];
            SCOPED_TRACE(line.toStdString());
            const auto m = column.match(line);
            ASSERT_TRUE(m.hasMatch());
            EXPECT_FALSE(seen.contains(m.captured(1)));
            seen.insert(m.captured(1));
            // The column scan stops at a key line or a semicolon; neither may hide in a column.
            EXPECT_FALSE(line.toUpper().contains("PRIMARY KEY") || line.contains(';'));
            const bool lastColumn = i == columns.size() - 1;
            EXPECT_EQ(line.endsWith(','), !lastColumn || hasKey);
        }
    }
}

TEST(CatalogueTest, OnlyTheScriptsMeantToEndWithAnEmptyLineDoSo) {
    const QSet<QString> endingEmpty{"C_KZM_ANALIZA_IDX", "C_KZM_DANE_IDX", "C_KZM_PSY_IDX",
                                    "C_KZM_RP00_IDX",    "C_KZM_TMP_IDX",  "C_KZM_HIST",
                                    "C_KZM_RWP"};
    for (const QString& name : Catalogue()) {
        const QStringList lines = Script(name);
        ASSERT_FALSE(lines.isEmpty()) << name.toStdString();
        EXPECT_EQ(lines.last().isEmpty(), endingEmpty.contains(name)) << name.toStdString();
        if (endingEmpty.contains(name)) {
            EXPECT_FALSE(lines.at(lines.size() - 2).isEmpty()) << name.toStdString();
        }
    }
}

TEST(CatalogueTest, IndexScriptsHoldOneStatementPerLine) {
    const QRegularExpression statement(
        "^CREATE (DESCENDING )?INDEX ([A-Z][A-Z0-9_]*) ON ([A-Z][A-Z0-9_]*) \\([A-Z0-9_, ]+\\);$");
    for (const QString& name : NamesWhere(IsIndexScript)) {
        SCOPED_TRACE(name.toStdString());
        int statements = 0;
        for (const QString& line : Script(name)) {
            if (line.isEmpty())
                continue;
            SCOPED_TRACE(line.toStdString());
            const auto m = statement.match(line);
            ASSERT_TRUE(m.hasMatch());
            EXPECT_EQ(m.captured(3), name.mid(2).chopped(4));
            // How the schema check finds the index name on the line.
            const QStringList w = Words(line);
            EXPECT_EQ(line.contains("DESC") ? w.value(3) : w.value(2), m.captured(2));
            ++statements;
        }
        EXPECT_GT(statements, 0);
    }
}

TEST(CatalogueTest, GeneratorScriptsCreateAndSetToMinusOne) {
    const QStringList generators = NamesWhere([](const QString& n) { return n.startsWith("G_"); });
    EXPECT_EQ(generators, (QStringList{"G_ID_HIST", "G_ID_INNE", "G_ID_KZM", "G_ID_RWP"}));
    for (const QString& g : generators)
        EXPECT_EQ(Script(g),
                  (QStringList{"CREATE GENERATOR " + g + ";", "SET GENERATOR " + g + " TO -1;"}));
}

TEST(CatalogueTest, TriggerScriptsHaveTheFixedLayout) {
    const QStringList triggers = NamesWhere([](const QString& n) { return n.startsWith("T_"); });
    EXPECT_EQ(triggers.size(), 13);
    for (const QString& name : triggers) {
        SCOPED_TRACE(name.toStdString());
        const QStringList lines = Trimmed(Script(name));
        ASSERT_GE(lines.size(), 7);
        const QStringList first = lines.first().split(' ');
        ASSERT_EQ(first.size(), 5) << lines.first().toStdString();
        EXPECT_EQ(first.mid(0, 3), (QStringList{"CREATE", "TRIGGER", name}));
        EXPECT_EQ(first[3], "FOR");
        EXPECT_TRUE(Catalogue().contains("C_" + first[4])) << "no table " << first[4].toStdString();
        EXPECT_EQ(lines.mid(1, 4),
                  (QStringList{"ACTIVE BEFORE INSERT", "POSITION 0", "AS", "BEGIN"}));
        EXPECT_EQ(lines.last(), "END;");
        for (const QString& assignment : lines.mid(5, lines.size() - 6))
            EXPECT_TRUE(assignment.trimmed().startsWith("NEW.") && assignment.endsWith(';'))
                << assignment.toStdString();
    }
}

TEST(CatalogueTest, ProcedureScriptsAreOneStatementEndingAtTheLastEnd) {
    const QRegularExpression head("^CREATE (OR ALTER )?PROCEDURE ([A-Za-z0-9_]+)\\b");
    const QRegularExpression endMark("\\bEND\\s*;", QRegularExpression::CaseInsensitiveOption);
    const QRegularExpression comment("/\\*.*?\\*/", QRegularExpression::DotMatchesEverythingOption);
    // Two procedures end without the semicolon; the runner then takes the script's end.
    const QSet<QString> endWithoutSemicolon{"PKZM_RWP_WRIT_ODCZYT_22", "PKZM_RP04_2"};
    for (const QString& name : NamesWhere(IsProcedureScript)) {
        SCOPED_TRACE(name.toStdString());
        const QStringList lines = Trimmed(Script(name));
        ASSERT_FALSE(lines.isEmpty());
        const auto m = head.match(lines.first());
        ASSERT_TRUE(m.hasMatch()) << lines.first().toStdString();
        EXPECT_EQ(m.captured(2).toUpper(), name);
        const QString text = lines.join('\n').remove(comment);
        if (endWithoutSemicolon.contains(name)) {
            EXPECT_EQ(lines.last().trimmed().toUpper(), "END");
            EXPECT_FALSE(text.contains(endMark));
        } else {
            EXPECT_EQ(lines.last(), "END;");
            // The runner ends the statement at the first END followed by ";".
            EXPECT_EQ(text.indexOf(endMark), text.lastIndexOf(endMark));
        }
        EXPECT_FALSE(text.contains(
            QRegularExpression("\\bSET\\s+TERM\\b", QRegularExpression::CaseInsensitiveOption)));
    }
}

TEST(CatalogueTest, GrantsAreOneChunk) {
    EXPECT_EQ(Script("GRANTY"),
              QStringList{"GRANT ALL ON PARAMETRY TO ADMIN_KZM WITH GRANT OPTION;#"});
}
