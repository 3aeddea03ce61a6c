#include "db/ScriptSplit.h"
#include "support/QtPrint.h"

#include <gtest/gtest.h>

using namespace kzm;

namespace {

TEST(ScriptSplitTest, ChunksEndAtLinesHoldingAMark) {
    const QList<ScriptChunk> chunks = SplitChunks(
        {"GRANT ALL ON PARAMETRY TO ADMIN_KZM WITH GRANT OPTION;#", "a;", "b;# reszta", "c;"});
    ASSERT_EQ(chunks.size(), 3);
    EXPECT_EQ(chunks[0].lines,
              QStringList{"GRANT ALL ON PARAMETRY TO ADMIN_KZM WITH GRANT OPTION;"});
    EXPECT_EQ(chunks[1].lines, (QStringList{"a;", "b;"}));
    EXPECT_EQ(chunks[1].firstLine(), "a;");
    EXPECT_EQ(chunks[2].lines, QStringList{"c;"});
    EXPECT_TRUE(SplitChunks({}).isEmpty());
    EXPECT_EQ(SplitChunks({"#"}).size(), 1); // a chunk of one empty line
}

TEST(ScriptSplitTest, StatementsEndAtSemicolonsButBodiesStayWhole) {
    struct Case {
        QString text;
        QStringList statements;
    } cases[] = {
        {"CREATE INDEX A1 ON A (X);\nCREATE DESCENDING INDEX A2 ON A (Y);",
         {"CREATE INDEX A1 ON A (X)", "CREATE DESCENDING INDEX A2 ON A (Y)"}},
        {"CREATE GENERATOR G_ID_KZM;\nSET GENERATOR G_ID_KZM TO -1;",
         {"CREATE GENERATOR G_ID_KZM", "SET GENERATOR G_ID_KZM TO -1"}},
        {"CREATE TRIGGER T_X FOR X\nACTIVE BEFORE INSERT POSITION 0\nAS\nBEGIN\n  NEW.ID = "
         "GEN_ID(G_ID_KZM, 1);\nEND;\n",
         {"CREATE TRIGGER T_X FOR X\nACTIVE BEFORE INSERT POSITION 0\nAS\nBEGIN\n  NEW.ID = "
          "GEN_ID(G_ID_KZM, 1);\nEND"}},
        // A procedure whose last line is END without a semicolon runs to the end of the text.
        {"create procedure P returns (x integer) as\nbegin\n x = 1;\n suspend;\nEnd",
         {"create procedure P returns (x integer) as\nbegin\n x = 1;\n suspend;\nEnd"}},
        // Semicolons in literals and comments do not count; comments are left out.
        {"insert into T values ('a;b'); /* x; y */ insert into T values (2);",
         {"insert into T values ('a;b')", "insert into T values (2)"}},
        // END must be a word: APPEND; does not close a body.
        {"CREATE PROCEDURE Q AS BEGIN x = APPEND; END;",
         {"CREATE PROCEDURE Q AS BEGIN x = APPEND; END"}},
        {"ALTER TABLE T\nADD A INTEGER,\nADD B INTEGER\n;",
         {"ALTER TABLE T\nADD A INTEGER,\nADD B INTEGER"}},
        {"  ;\n;", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SplitStatements(c.text), c.statements) << c.text.toStdString();
}

} // namespace
