// The units window: the kinds as the grid shows them and the kind of the marked units set from
// the grid's menu; and the picture of the window in the main window.

#include "ListsFormsTest.h"

#include <QAction>
#include <QDir>
#include <QFrame>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

using namespace kzm;

namespace {

class JednostkiWindowTest : public listsforms::ListsFormsTest {
protected:
    DbGrid* open() { return openInHub("btnJednostki") ? find<DbGrid>("dbg") : nullptr; }
    QStringList kinds() { return rows("select numer, grupa from kzm_jednostki order by numer"); }
};

TEST_F(JednostkiWindowTest, TheKindOfTheMarkedUnitsOrOfTheCurrentOne) {
    unit(1, QStringLiteral("PIERWSZA"));
    unit(2, QStringLiteral("DRUGA"));
    unit(3, QStringLiteral("TRZECIA"));
    unit(4, QStringLiteral("CZWARTA"));
    unit(5, QStringLiteral("BEZ RODZAJU"), "null");
    DbGrid* grid = open();
    ASSERT_TRUE(grid);
    EXPECT_EQ(gridRows(grid).last(), "5|BEZ RODZAJU|Wojsko") << "a unit without a kind";
    EXPECT_EQ(grid->model()->data(grid->model()->index(0, 2), Qt::TextAlignmentRole).toInt(),
              int(Qt::AlignCenter));

    // Three marked with the mouse, the current one among them.
    clickRow(grid, "1");
    const QAbstractItemModel* m = grid->model();
    for (int row : {1, 3})
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::ControlModifier,
                          grid->visualRect(m->index(row, 1)).center());
    ASSERT_EQ(grid->selectionModel()->selectedRows().size(), 3);
    find<QAction>("Wojsko1")->trigger();
    EXPECT_EQ(kinds(), QStringList({"1|0", "2|0", "3|1", "4|0", "5|0"}));
    EXPECT_EQ(gridRows(grid),
              QStringList({"1|PIERWSZA|Wojsko", "2|DRUGA|Wojsko", "3|TRZECIA|Cywile",
                           "4|CZWARTA|Wojsko", "5|BEZ RODZAJU|Wojsko"}));
    EXPECT_EQ(current(grid), "4") << "on the unit that was current";
    EXPECT_EQ(focused(), grid);

    // Nothing marked: the current unit alone.
    grid->clearSelection();
    clickRow(grid, "5");
    grid->clearSelection();
    find<QAction>("Cywile1")->trigger();
    EXPECT_EQ(kinds(), QStringList({"1|0", "2|0", "3|1", "4|0", "5|1"}));

    // Not while a unit is being edited.
    QTest::keyClick(grid, Qt::Key_Return);
    EXPECT_FALSE(find<QAction>("Wojsko1")->isEnabled());
}

// The picture of the README: KZM_SCREENSHOTS names the folder it is written to.
TEST_F(JednostkiWindowTest, ScreenshotOfTheUnitsWindowInTheHub) {
    const QString folder = qEnvironmentVariable("KZM_SCREENSHOTS");
    if (folder.isEmpty())
        GTEST_SKIP() << "KZM_SCREENSHOTS unset";
    QDir().mkpath(folder);
    const struct {
        int numer;
        const char* nazwa;
        const char* grupa;
    } units[] = {
        {1, "SZTAB JEDNOSTKI", "0"},   {2, "KOMPANIA ŁĄCZNOŚCI", "0"}, {3, "PLUTON SAPERÓW", "0"},
        {4, "BATALION CZOŁGÓW", "0"},  {5, "ŻANDARMERIA", "0"},        {11, "KUCHNIA GŁÓWNA", "1"},
        {12, "OBSŁUGA STOŁÓWKI", "1"}, {13, "MAGAZYN ŻYWNOŚCI", "1"},
    };
    for (const auto& u : units)
        unit(u.numer, QString::fromUtf8(u.nazwa), u.grupa);
    main->setWindowState(Qt::WindowNoState);
    main->resize(1000, 640);
    DbGrid* grid = open();
    ASSERT_TRUE(grid);
    clickRow(grid, "2");
    QTest::keyClick(grid, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_TRUE(main->grab().save(folder + QStringLiteral("/jednostki.png")));
}

} // namespace
