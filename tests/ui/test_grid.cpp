#include "support/CatalogueDb.h"
#include "support/QtPrint.h"
#include "ui/DbGrid.h"
#include "ui/GridModel.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace kzm;

namespace {

class GridTest : public testdb::CatalogueDbTest {
protected:
    void SetUp() override {
        CatalogueDbTest::SetUp();
        ASSERT_TRUE(dm.RunSQL("create table T_SIATKA (ID integer, NAZWA varchar(30) character "
                              "set WIN1250, KWOTA numeric(15,2), DZIEN date)"));
        ASSERT_TRUE(dm.RunSQL("execute block as declare i integer = 0; begin "
                              "while (i < 1000) do begin "
                              "insert into T_SIATKA values (:i, 'Łęczyca ' || :i, :i * 1.5, "
                              "dateadd(:i day to date '2026-01-01')); i = i + 1; end end"));
    }

    void openAll(const char* order = "ID") {
        dm.CloseQ(dm.IBQ);
        ASSERT_TRUE(dm.OpenQ(dm.IBQ, QStringLiteral("select ID, NAZWA, KWOTA, DZIEN from "
                                                    "T_SIATKA order by ") +
                                         QString::fromLatin1(order)));
    }

    static QString text(const QAbstractItemModel& m, int row, int column) {
        return m.data(m.index(row, column), Qt::DisplayRole).toString();
    }
};

TEST_F(GridTest, RowsComeFromTheOpenCursorAsNeededAndAReopenNeverShowsStaleRows) {
    openAll();
    GridModel model(dm.IBQ);
    EXPECT_EQ(model.columnCount(), 4);
    EXPECT_EQ(model.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), "NAZWA");
    EXPECT_EQ(model.rowCount(), 1) << "opening fetched the first row only";
    EXPECT_TRUE(model.canFetchMore({}));
    model.fetchMore({});
    EXPECT_EQ(model.rowCount(), 1 + GridModel::fetchStep);
    EXPECT_EQ(text(model, 10, 1), "Łęczyca 10");
    EXPECT_EQ(text(model, 3, 2), "4.5");
    EXPECT_EQ(text(model, 0, 3), "01.01.2026");
    EXPECT_EQ(model.data(model.index(3, 2), Qt::TextAlignmentRole).value<Qt::Alignment>(),
              Qt::AlignRight | Qt::AlignVCenter);

    // Rows the query's navigation fetches are announced to the model as they come.
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    dm.IBQ.moveTo(600);
    EXPECT_EQ(model.rowCount(), 601);
    EXPECT_GE(inserted.count(), 1);

    // Re-opened elsewhere: the model is reset at once and shows only the new result.
    openAll("ID desc");
    EXPECT_GE(reset.count(), 1);
    EXPECT_EQ(model.rowCount(), 1);
    EXPECT_EQ(text(model, 0, 0), "999");
    dm.IBQ.close();
    EXPECT_EQ(model.rowCount(), 0) << "a closed query shows no rows";
    EXPECT_FALSE(model.data(model.index(0, 0), Qt::DisplayRole).isValid());
    openAll("ID desc");

    // A view scrolled to the bottom fetches the whole result.
    QTableView view;
    view.setModel(&model);
    view.resize(400, 300);
    view.show();
    for (int i = 0; i < 20 && model.canFetchMore({}); ++i) {
        view.scrollToBottom();
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(model.rowCount(), 1000);
}

TEST_F(GridTest, ColumnsCarryCaptionsWidthsAndFormattersOfTheirOwnOrTheFields) {
    openAll();
    DbGrid grid(dm.IBQ);
    grid.gridModel().setFieldFormat(
        "kwota", [](const fb::Value& v) { return QString::number(v.toDouble(), 'f', 2); });
    grid.setColumns({
        {"NAZWA", "Jednostka", 20, Qt::AlignLeft | Qt::AlignVCenter, {}},
        {"KWOTA", "Kwota", 10, Qt::AlignRight | Qt::AlignVCenter, {}},
        {"ID", "", 0, Qt::AlignRight | Qt::AlignVCenter,
         [](const fb::Value& v) { return QStringLiteral("#") + v.toString(); }},
        {"BRAK", "Brak", 5, Qt::AlignLeft, {}},
    });
    const GridModel& m = grid.gridModel();
    EXPECT_EQ(m.columnCount(), 4);
    EXPECT_EQ(m.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), "Jednostka");
    EXPECT_EQ(m.headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(), "ID");
    EXPECT_EQ(text(m, 0, 1), "0.00") << "the field's formatter";
    EXPECT_EQ(text(m, 0, 2), "#0") << "the column's own formatter";
    EXPECT_EQ(m.fieldIndex(3), -1);
    EXPECT_FALSE(m.data(m.index(0, 3), Qt::DisplayRole).isValid()) << "a column not in the result";
    EXPECT_GT(grid.columnWidth(0), grid.columnWidth(1));
}

// A field's formatter follows the field's name across re-opens and new texts; SetOnGet shows the
// listed amount columns of the open query with two decimals.
TEST_F(GridTest, FieldFormatsFollowTheNameAcrossReopensAndSetOnGetShowsAmounts) {
    fb::Transaction t(dm.IBBaza);
    fb::Query q(t);
    GridModel m(q);
    q.setSql("select cast(3.5 as numeric(6,2)) as STAWKA, cast(7.1 as numeric(9,2)) as KWOTA2, "
             "'Łódź' as V from rdb$database");
    SetOnGet(m, "");
    EXPECT_FALSE(m.hasFieldFormat("STAWKA")) << "nothing for a closed query";
    q.open();
    m.refresh();
    EXPECT_EQ(m.displayText(0, 0), "3.5") << "no formatter: the value as text";
    SetOnGet(m, "");
    EXPECT_TRUE(m.hasFieldFormat("stawka"));
    EXPECT_FALSE(m.hasFieldFormat("KWOTA2"));
    EXPECT_EQ(m.displayText(0, 0), "3.50");
    EXPECT_EQ(m.displayText(0, 1), "7.1");
    EXPECT_EQ(m.displayText(0, 2), "Łódź");

    q.close();
    q.setSql("select 'Gdańsk' as V, cast(20 as numeric(6,2)) as STAWKA from rdb$database");
    q.open();
    m.refresh();
    EXPECT_EQ(m.displayText(0, 1), "20.00");
    EXPECT_EQ(m.displayText(0, 0), "Gdańsk");
    m.setFieldFormat("STAWKA", {});
    EXPECT_EQ(m.displayText(0, 1), "20");
}

TEST_F(GridTest, TheGridAndTheQueryShareTheCurrentRowAndMarksSurviveAReopen) {
    openAll();
    DbGrid grid(dm.IBQ);
    grid.resize(500, 400);
    grid.show();
    grid.refresh();
    grid.gridModel().fetchMore({});

    grid.setCurrentIndex(grid.model()->index(7, 1));
    EXPECT_EQ(dm.IBQ.fieldByName("ID").asInteger(), 7);

    QSignalSpy activated(&grid, &DbGrid::rowActivated);
    QTest::keyClick(grid.viewport(), Qt::Key_Return);
    QTest::keyClick(&grid, Qt::Key_Return);
    ASSERT_GE(activated.count(), 1);
    EXPECT_EQ(activated.last().at(0).toInt(), 7);

    // Marks are kept by key across a re-open that changes the order.
    grid.clearMarks();
    for (int row : {2, 5, 9})
        grid.setRowSelected(row, true);
    EXPECT_EQ(grid.selectedRows(), (std::vector<int>{2, 5, 9}));
    dm.SaveSelected(dm.IBQ, "ID", grid);
    EXPECT_EQ(dm.ListaSel, QStringList({"2", "5", "9"}));
    EXPECT_EQ(dm.IBQ.fieldByName("ID").asInteger(), 7) << "the current row stays";

    dm.CloseQ(dm.IBQ);
    dm.IBQ.setSql("select ID, NAZWA, KWOTA, DZIEN from T_SIATKA order by ID desc");
    dm.ReOpenQ(dm.IBQ, "ID", 5);
    grid.refresh();
    EXPECT_EQ(grid.currentIndex().row(), 994) << "the grid follows the re-opened query";
    grid.clearMarks();
    dm.RestSelected(dm.IBQ, "ID", grid);
    EXPECT_EQ(grid.selectedRows(), (std::vector<int>{990, 994, 997}));
    EXPECT_EQ(dm.IBQ.fieldByName("ID").asInteger(), 5);
}

} // namespace
