#include "app/TfmMain.h"
#include "core/Literals.h"
#include "db/Params.h"
#include "support/MainWindowDb.h"
#include "support/QtPrint.h"
#include "support/WhenModal.h"
#include "support/Widgets.h"
#include "terminals/TerminalProtocol.h"
#include "terminals/forms/TfmParam.h"
#include "ui/AppContext.h"
#include "ui/DbGrid.h"
#include "ui/TfmUwaga.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTextEdit>
#include <QTimeEdit>

#include <gtest/gtest.h>

using namespace kzm;
using testdb::Child;

namespace {

// ---- the window

struct Definition {
    int port = 1;
    const char* nazwa = "Czytnik";
    int speed = 9600;
    int aktywny = 1;
    int timeoutR = 100;
    int timeoutW = 200;
    int numInst = 0;
    int alarm = 1;
    int baseAlarm = 32;
    int numScan = 1;
    int rs485 = 0;
    int tq700 = 0;
    int numInst3Zn = 0;
};

class ParamTest : public testdb::MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        startMain();
        main->setFactory(FunctionSlot::Parametry, [](TfmMain& m) { return new TfmParam(m); });
    }

    void exec(const QString& sql) { ASSERT_TRUE(dm.RunSQL(sql)) << sql.toStdString(); }

    void define(const Definition& d) {
        exec(QStringLiteral("insert into KZM_COMDEF (PORT, NAZWA, SPEED, AKTYWNY, TIMEOUT_R, "
                            "TIMEOUT_W, NUMINST, ALARM, BASE_ALARM, NUMSCAN, RS485, TQ700, "
                            "NUMINST3ZN) values (%1, %2, %3, %4, %5, %6, %7, %8, %9, %10, %11, "
                            "%12, %13)")
                 .arg(d.port)
                 .arg(SqlStr(QString::fromUtf8(d.nazwa)))
                 .arg(d.speed)
                 .arg(d.aktywny)
                 .arg(d.timeoutR)
                 .arg(d.timeoutW)
                 .arg(d.numInst)
                 .arg(d.alarm)
                 .arg(d.baseAlarm)
                 .arg(d.numScan)
                 .arg(d.rs485)
                 .arg(d.tq700)
                 .arg(d.numInst3Zn));
    }

    TfmParam* open() {
        main->OpenFunction(FunctionSlot::Parametry);
        QCoreApplication::processEvents();
        return qobject_cast<TfmParam*>(main->functionWindow(FunctionSlot::Parametry));
    }

    // The stored definitions by port, each as
    // "nazwa|port|speed|aktywny|timeout_r|timeout_w|numinst|alarm|base_alarm|numscan|rs485|
    // tq700|numinst3zn".
    QStringList stored() {
        QStringList out;
        EXPECT_TRUE(dm.OpenQ(dm.IBQ, "select nazwa, port, speed, aktywny, timeout_r, timeout_w, "
                                     "numinst, alarm, base_alarm, numscan, rs485, tq700, "
                                     "numinst3zn from kzm_comdef order by port"));
        for (; !dm.IBQ.eof(); dm.IBQ.next()) {
            QStringList row;
            for (int i = 0; i < dm.IBQ.fieldCount(); ++i)
                row << dm.IBQ.field(i).asString();
            out << row.join('|');
        }
        dm.CloseQ(dm.IBQ);
        return out;
    }

    // The terminal record the terminal window would make of the stored definition of a port.
    TComRecord record(int port) {
        EXPECT_TRUE(
            dm.OpenQ(dm.IBQ, QStringLiteral("select * from kzm_comdef where port=%1").arg(port)));
        EXPECT_FALSE(dm.IBQ.isEmpty());
        auto col = [&](const char* n) {
            return dm.IBQ.fieldByName(QString::fromLatin1(n)).asInteger();
        };
        TComRecord r = ComRecordFromDefinition(dm.IBQ.fieldByName("NAZWA").asString(),
                                               col("TQ700") == 1, col("NUMSCAN"), col("NUMINST"),
                                               col("RS485") == 1, col("ALARM"), col("BASE_ALARM"));
        dm.CloseQ(dm.IBQ);
        return r;
    }

    // The grid's texts, row by row, as "Port|Nazwa|Aktywny".
    static QStringList gridRows(TfmParam* w) {
        QStringList out;
        const QAbstractItemModel* m = Child<DbGrid>(w, "dbgCom")->model();
        for (int r = 0; r < m->rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < m->columnCount(); ++c)
                cells << m->data(m->index(r, c)).toString();
            out << cells.join('|');
        }
        return out;
    }

    static void clickRowOfPort(TfmParam* w, int port) {
        DbGrid* g = Child<DbGrid>(w, "dbgCom");
        const QAbstractItemModel* m = g->model();
        for (int r = 0; r < m->rowCount(); ++r) {
            const QModelIndex i = m->index(r, 1);
            if (m->data(m->index(r, 0)).toInt() == port) {
                QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->visualRect(i).center());
                return;
            }
        }
        ADD_FAILURE() << "no row of port " << port;
    }

    // The port of the grid's row and of the shared query's row, which must be the same.
    int currentPort(TfmParam* w) {
        EXPECT_TRUE(dm.QTmp.isOpen());
        if (!dm.QTmp.isOpen() || dm.QTmp.isEmpty())
            return -1;
        const QModelIndex at = Child<DbGrid>(w, "dbgCom")->currentIndex();
        EXPECT_EQ(at.row(), dm.QTmp.currentRow());
        return dm.QTmp.fieldByName("PORT").asInteger();
    }

    void answer(bool yes, TfmParam* w, QString* question) {
        testdb::WhenModal script([&](QWidget*) {
            *question = Child<QTextEdit>(&fmUwaga, "meText")->toPlainText();
            EXPECT_TRUE(fmUwaga.isQuestion());
            QTest::keyClick(Child<QTextEdit>(&fmUwaga, "meText"),
                            yes ? Qt::Key_Return : Qt::Key_Escape);
        });
        Child<QPushButton>(w, "btnUsun")->click();
        EXPECT_TRUE(script.ran());
        EXPECT_FALSE(script.timedOut());
    }
};

TEST_F(ParamTest, TheWindowShowsTheParametersInMemoryAndTheFirstDefinition) {
    GlobalParams& g = ctx.params;
    g.COMP = 7;
    g.CPAKT = true;
    g.OBIAD_OD = QTime(11, 30);
    g.OBIAD_DO = QTime(14, 0);
    g.SYGNAL_WYD = 1;
    g.SYGNAL_BLOK = 0;
    g.WdnBzKmnkt = false;
    g.BlkWdnBzKmnkt = true;
    g.ProcentRzlWody = 12.5;
    g.NR_INSTALACJI = 42;
    g.CLEARTIMEOUT = 9000;
    g.LOADTIMEOUT = 70;
    g.MAXKODKARTY = 3000;
    define({.port = 2,
            .nazwa = "Kuchnia górna",
            .speed = 4800,
            .aktywny = 1,
            .timeoutR = 300,
            .timeoutW = 400,
            .numInst = 5,
            .alarm = 9,
            .baseAlarm = 64,
            .numScan = 4,
            .rs485 = 1,
            .numInst3Zn = 1});
    define({.port = 5, .nazwa = "Stołówka", .aktywny = 0});

    TfmParam* w = open();
    ASSERT_TRUE(w);
    EXPECT_EQ(w->objectName(), "fmParam");
    EXPECT_EQ(s.errContext.form, "fmParam");
    EXPECT_TRUE(main->chCaption().contains("Parametry")) << main->chCaption().toStdString();
    EXPECT_TRUE(w->isVisible());

    EXPECT_EQ(Child<QSpinBox>(w, "seComp")->value(), 7);
    EXPECT_TRUE(Child<QCheckBox>(w, "cbCpAkt")->isChecked());
    EXPECT_EQ(Child<QTimeEdit>(w, "teObiadOd")->time(), QTime(11, 30));
    EXPECT_EQ(Child<QTimeEdit>(w, "teObiadDo")->time(), QTime(14, 0));
    EXPECT_EQ(Child<QButtonGroup>(w, "rgSygnalWyd")->checkedId(), 1);
    EXPECT_EQ(Child<QButtonGroup>(w, "rgSygnalBlok")->checkedId(), 0);
    EXPECT_FALSE(Child<QCheckBox>(w, "cbWdnBzKmnkt")->isChecked());
    EXPECT_TRUE(Child<QCheckBox>(w, "cbBlkWdnBzKmnkt")->isChecked());
    EXPECT_EQ(Child<QLineEdit>(w, "edProcentRzlWody")->text(), "12.50");
    EXPECT_EQ(Child<QLineEdit>(w, "edMaxKodOper")->text(), "  5000");
    EXPECT_TRUE(Child<QLineEdit>(w, "edMaxKodOper")->isReadOnly());
    EXPECT_EQ(Child<QLineEdit>(w, "edMaxKodKarty")->text(), "3000");
    EXPECT_EQ(Child<QLineEdit>(w, "edNrInstalacji")->text(), "42")
        << "from memory, not the row's NUMINST";
    EXPECT_EQ(Child<QLineEdit>(w, "edClearTimeout")->text(), "9000");
    EXPECT_EQ(Child<QLineEdit>(w, "edLoadTimeout")->text(), "70");

    // The grid: all definitions, the activity as words, the port as the sort column.
    EXPECT_EQ(dm.QTmp.sql(), "select * from kzm_comdef");
    QAbstractItemModel* m = Child<DbGrid>(w, "dbgCom")->model();
    ASSERT_EQ(m->columnCount(), 3);
    EXPECT_EQ(m->headerData(0, Qt::Horizontal).toString(), "Port");
    EXPECT_EQ(m->headerData(1, Qt::Horizontal).toString(), "Nazwa");
    EXPECT_EQ(m->headerData(2, Qt::Horizontal).toString(), "Aktywny");
    EXPECT_TRUE(Child<DbGrid>(w, "dbgCom")->horizontalHeader()->isSortIndicatorShown());
    EXPECT_EQ(Child<DbGrid>(w, "dbgCom")->horizontalHeader()->sortIndicatorSection(), 0);
    EXPECT_EQ(Child<DbGrid>(w, "dbgCom")->horizontalHeader()->sortIndicatorOrder(),
              Qt::AscendingOrder);
    EXPECT_EQ(gridRows(w), QStringList({"2|Kuchnia górna|TAK", "5|Stołówka|NIE"}));
    EXPECT_EQ(currentPort(w), 2);

    // The group shows the first row.
    EXPECT_EQ(Child<QLineEdit>(w, "edNazwa")->text(), "Kuchnia górna");
    EXPECT_EQ(Child<QSpinBox>(w, "sePort")->value(), 2);
    EXPECT_EQ(Child<QComboBox>(w, "rgSpeed")->currentText(), "4800");
    EXPECT_TRUE(Child<QCheckBox>(w, "cbAktywny")->isChecked());
    EXPECT_EQ(Child<QSpinBox>(w, "seTimeoutR")->value(), 300);
    EXPECT_EQ(Child<QSpinBox>(w, "seTimeoutW")->value(), 400);
    EXPECT_TRUE(Child<QCheckBox>(w, "cbRS485")->isChecked());
    EXPECT_EQ(Child<QSpinBox>(w, "seNumScan")->value(), 4);
    EXPECT_TRUE(Child<QCheckBox>(w, "cbNumInst3Zn")->isChecked());
    EXPECT_FALSE(Child<QCheckBox>(w, "cbTq700")->isChecked());
    EXPECT_EQ(Child<QSpinBox>(w, "seAlarm")->value(), 9);
    EXPECT_FALSE(Child<QCheckBox>(w, "cbBaseAlarm")->isChecked()) << "BASE_ALARM 64: whole seconds";
    // The rules of the loaded row: RS-485 enables the terminal number and the clear time-out.
    EXPECT_TRUE(Child<QSpinBox>(w, "seNumScan")->isEnabled());
    EXPECT_TRUE(Child<QLineEdit>(w, "edClearTimeout")->isEnabled());
    EXPECT_TRUE(Child<QCheckBox>(w, "cbRS485")->isEnabled());
    EXPECT_TRUE(Child<QComboBox>(w, "rgSpeed")->isEnabled());

    // The ranges of the spin boxes.
    EXPECT_EQ(Child<QSpinBox>(w, "seTimeoutR")->minimum(), 100);
    EXPECT_EQ(Child<QSpinBox>(w, "seTimeoutR")->maximum(), 2000);
    EXPECT_EQ(Child<QSpinBox>(w, "seTimeoutR")->singleStep(), 100);
    EXPECT_EQ(Child<QSpinBox>(w, "seTimeoutW")->minimum(), 100);
    EXPECT_EQ(Child<QSpinBox>(w, "seTimeoutW")->maximum(), 2000);
    EXPECT_EQ(Child<QSpinBox>(w, "seTimeoutW")->singleStep(), 100);
    EXPECT_EQ(Child<QSpinBox>(w, "seNumScan")->minimum(), 1);
    EXPECT_EQ(Child<QSpinBox>(w, "seNumScan")->maximum(), 31);
    EXPECT_EQ(Child<QSpinBox>(w, "seAlarm")->minimum(), 0);
    EXPECT_EQ(Child<QSpinBox>(w, "seAlarm")->maximum(), 15);
    EXPECT_EQ(Child<QSpinBox>(w, "sePort")->minimum(), 0);
    QStringList speeds;
    for (int i = 0; i < Child<QComboBox>(w, "rgSpeed")->count(); ++i)
        speeds << Child<QComboBox>(w, "rgSpeed")->itemText(i);
    EXPECT_EQ(speeds, QStringList({"1200", "2400", "4800", "9600", "19200"}));
}

TEST_F(ParamTest, ARowChangeFillsTheGroupAndAnUnofferedSpeedLeavesTheChoice) {
    ctx.params.MAXKODKARTY = 3000;
    define({.port = 1, .nazwa = "Pierwszy", .speed = 19200});
    define({.port = 2,
            .nazwa = "Drugi",
            .speed = 4000,
            .aktywny = 0,
            .timeoutR = 700,
            .alarm = 3,
            .baseAlarm = 64,
            .numScan = 9,
            .rs485 = 1,
            .numInst3Zn = 1});
    define({.port = 3, .nazwa = "Trzeci", .speed = 2400, .baseAlarm = 32});
    TfmParam* w = open();
    ASSERT_TRUE(w);
    EXPECT_EQ(Child<QComboBox>(w, "rgSpeed")->currentText(), "19200");
    EXPECT_FALSE(Child<QSpinBox>(w, "seNumScan")->isEnabled());

    Child<QLineEdit>(w, "edMaxKodKarty")
        ->setText("777"); // typed, not saved: the next row shows memory again
    clickRowOfPort(w, 2);
    EXPECT_EQ(currentPort(w), 2);
    EXPECT_EQ(Child<QLineEdit>(w, "edNazwa")->text(), "Drugi");
    EXPECT_EQ(Child<QSpinBox>(w, "sePort")->value(), 2);
    EXPECT_EQ(Child<QComboBox>(w, "rgSpeed")->currentText(), "19200") << "4000 is none of the five";
    EXPECT_FALSE(Child<QCheckBox>(w, "cbAktywny")->isChecked());
    EXPECT_EQ(Child<QSpinBox>(w, "seTimeoutR")->value(), 700);
    EXPECT_EQ(Child<QSpinBox>(w, "seAlarm")->value(), 3);
    EXPECT_FALSE(Child<QCheckBox>(w, "cbBaseAlarm")->isChecked());
    EXPECT_TRUE(Child<QCheckBox>(w, "cbRS485")->isChecked())
        << "an RS-485 TQ200 keeps its line variant";
    EXPECT_EQ(Child<QSpinBox>(w, "seNumScan")->value(), 9);
    EXPECT_TRUE(Child<QSpinBox>(w, "seNumScan")->isEnabled());
    EXPECT_TRUE(Child<QLineEdit>(w, "edClearTimeout")->isEnabled());
    EXPECT_TRUE(Child<QCheckBox>(w, "cbNumInst3Zn")->isChecked());
    EXPECT_EQ(Child<QLineEdit>(w, "edMaxKodKarty")->text(), "3000");

    clickRowOfPort(w, 3);
    EXPECT_EQ(Child<QLineEdit>(w, "edNazwa")->text(), "Trzeci");
    EXPECT_EQ(Child<QComboBox>(w, "rgSpeed")->currentText(), "2400");
    EXPECT_TRUE(Child<QCheckBox>(w, "cbBaseAlarm")->isChecked());
    EXPECT_FALSE(Child<QCheckBox>(w, "cbRS485")->isChecked());
    EXPECT_FALSE(Child<QSpinBox>(w, "seNumScan")->isEnabled());
    EXPECT_FALSE(Child<QLineEdit>(w, "edClearTimeout")->isEnabled());
}

TEST_F(ParamTest, ADefinitionWithAnUnofferedSpeedKeepsItWhenSavedWithoutAChoice) {
    define({.port = 1, .nazwa = "Stary", .speed = 4000});
    TfmParam* w = open();
    ASSERT_TRUE(w);
    EXPECT_EQ(Child<QComboBox>(w, "rgSpeed")->currentIndex(), -1) << "no choice offered";
    Child<QLineEdit>(w, "edNazwa")->setText("Nowy");
    Child<QPushButton>(w, "btnSaveCom")->click();
    EXPECT_EQ(stored(), QStringList({"Nowy|1|4000|1|100|200|0|1|32|1|0|0|0"}));
    Child<QComboBox>(w, "rgSpeed")->setCurrentIndex(0);
    Child<QPushButton>(w, "btnSaveCom")->click();
    EXPECT_EQ(stored(), QStringList({"Nowy|1|1200|1|100|200|0|1|32|1|0|0|0"}));
    EXPECT_EQ(Child<QComboBox>(w, "rgSpeed")->currentText(), "1200");
}

TEST_F(ParamTest, Tq700TicksAndLocksRs485AndGreysTheTq200Fields) {
    define({.port = 1, .nazwa = "TQ200 RS-232"});
    define({.port = 2, .nazwa = "TQ700", .rs485 = 0, .tq700 = 1});
    define({.port = 3, .nazwa = "TQ700 RS-485", .rs485 = 1, .tq700 = 1});
    TfmParam* w = open();
    ASSERT_TRUE(w);
    auto state = [w] {
        return QStringLiteral("rs485 %1%2 speed %3 nrinst %4 3zn %5 numscan %6 clear %7")
            .arg(Child<QCheckBox>(w, "cbRS485")->isChecked() ? "+" : "-")
            .arg(Child<QCheckBox>(w, "cbRS485")->isEnabled() ? "on" : "off")
            .arg(Child<QComboBox>(w, "rgSpeed")->isEnabled() ? "on" : "off")
            .arg(Child<QLineEdit>(w, "edNrInstalacji")->isEnabled() ? "on" : "off")
            .arg(Child<QCheckBox>(w, "cbNumInst3Zn")->isEnabled() ? "on" : "off")
            .arg(Child<QSpinBox>(w, "seNumScan")->isEnabled() ? "on" : "off")
            .arg(Child<QLineEdit>(w, "edClearTimeout")->isEnabled() ? "on" : "off");
    };
    const QString tq200 = "rs485 -on speed on nrinst on 3zn on numscan off clear off";
    const QString tq700 = "rs485 +off speed off nrinst off 3zn off numscan on clear on";
    EXPECT_EQ(state(), tq200);

    QTest::mouseClick(Child<QCheckBox>(w, "cbTq700"), Qt::LeftButton, {},
                      QPoint(6, Child<QCheckBox>(w, "cbTq700")->height() / 2));
    EXPECT_TRUE(Child<QCheckBox>(w, "cbTq700")->isChecked());
    EXPECT_EQ(state(), tq700);
    Child<QCheckBox>(w, "cbTq700")->click();
    EXPECT_EQ(state(), tq200) << "unticking TQ 700 unticks RS485 too";

    // Ticking RS485 by hand on a TQ200 enables its two fields only.
    Child<QCheckBox>(w, "cbRS485")->click();
    EXPECT_EQ(state(), "rs485 +on speed on nrinst on 3zn on numscan on clear on");
    Child<QCheckBox>(w, "cbRS485")->click();
    EXPECT_EQ(state(), tq200);

    // A TQ700 row stored without RS485 is shown on RS-485, locked; back on the TQ200 row all is
    // free again.
    clickRowOfPort(w, 2);
    EXPECT_EQ(Child<QLineEdit>(w, "edNazwa")->text(), "TQ700");
    EXPECT_EQ(state(), tq700);
    clickRowOfPort(w, 1);
    EXPECT_EQ(state(), tq200);
    clickRowOfPort(w, 3);
    EXPECT_EQ(state(), tq700);
    clickRowOfPort(w, 2); // from one TQ700 to another
    EXPECT_EQ(Child<QLineEdit>(w, "edNazwa")->text(), "TQ700");
    EXPECT_EQ(state(), tq700);

    // An RS-485 TQ200 loaded right after a TQ700 keeps its line variant, and a plain save
    // writes back what is stored.
    define({.port = 5, .nazwa = "TQ200 RS-485", .numScan = 4, .rs485 = 1});
    clickRowOfPort(w, 3);
    Child<QPushButton>(w, "btnSaveCom")->click(); // re-opens the grid, which then shows the new row
    clickRowOfPort(w, 5);
    EXPECT_EQ(Child<QLineEdit>(w, "edNazwa")->text(), "TQ200 RS-485");
    EXPECT_EQ(state(), "rs485 +on speed on nrinst on 3zn on numscan on clear on");
    Child<QPushButton>(w, "btnSaveCom")->click();
    EXPECT_EQ(stored().value(3), "TQ200 RS-485|5|9600|1|100|200|0|1|32|4|1|0|0");

    // Saved from the window, the TQ700 is stored on RS-485.
    clickRowOfPort(w, 2);
    Child<QPushButton>(w, "btnSaveCom")->click();
    EXPECT_EQ(stored().value(1), "TQ700|2|9600|1|100|200|0|1|32|1|1|1|0");
}

TEST_F(ParamTest, UsbAndPlainIssueOptionsGreyTheirFields) {
    ctx.params.WdnBzKmnkt = true;
    TfmParam* w = open();
    ASSERT_TRUE(w);
    EXPECT_FALSE(Child<QGroupBox>(w, "rgSygnalWyd")->isEnabled())
        << "the loaded option applies its rule";
    EXPECT_TRUE(Child<QButtonGroup>(w, "rgSygnalBlok")->button(0)->isEnabled());
    Child<QCheckBox>(w, "cbWdnBzKmnkt")->click();
    EXPECT_TRUE(Child<QGroupBox>(w, "rgSygnalWyd")->isEnabled());
    Child<QCheckBox>(w, "cbWdnBzKmnkt")->click();
    EXPECT_FALSE(Child<QGroupBox>(w, "rgSygnalWyd")->isEnabled());

    EXPECT_FALSE(Child<QCheckBox>(w, "cbPrsnUsb")->isChecked());
    EXPECT_TRUE(Child<QSpinBox>(w, "seComp")->isEnabled());
    EXPECT_TRUE(Child<QCheckBox>(w, "cbCpAkt")->isEnabled());
    Child<QCheckBox>(w, "cbPrsnUsb")->click();
    EXPECT_FALSE(Child<QSpinBox>(w, "seComp")->isEnabled());
    EXPECT_FALSE(Child<QCheckBox>(w, "cbCpAkt")->isEnabled());
    Child<QCheckBox>(w, "cbPrsnUsb")->click();
    EXPECT_TRUE(Child<QSpinBox>(w, "seComp")->isEnabled());
    EXPECT_TRUE(Child<QCheckBox>(w, "cbCpAkt")->isEnabled());
}

TEST_F(ParamTest, SavingADefinitionUpdatesTheRowOfItsOldPortAndStaysOnTheNewPort) {
    ctx.params.NR_INSTALACJI = 42;
    define({.port = 1, .nazwa = "A", .numInst = 3});
    define({.port = 2, .nazwa = "B"});
    TfmParam* w = open();
    ASSERT_TRUE(w);
    ASSERT_EQ(currentPort(w), 1);

    Child<QLineEdit>(w, "edNazwa")->setText("Wejście główne");
    Child<QSpinBox>(w, "sePort")->setValue(4);
    Child<QComboBox>(w, "rgSpeed")
        ->setCurrentIndex(Child<QComboBox>(w, "rgSpeed")->findText("19200"));
    Child<QCheckBox>(w, "cbAktywny")->setChecked(false);
    Child<QSpinBox>(w, "seTimeoutR")->setValue(300);
    Child<QSpinBox>(w, "seTimeoutW")->setValue(500);
    Child<QCheckBox>(w, "cbRS485")->click();
    Child<QSpinBox>(w, "seNumScan")->setValue(3);
    Child<QLineEdit>(w, "edNrInstalacji")
        ->setText("99"); // typed, not saved: the definition takes the one in memory
    Child<QCheckBox>(w, "cbNumInst3Zn")->setChecked(true);
    Child<QSpinBox>(w, "seAlarm")->setValue(5);
    Child<QCheckBox>(w, "cbBaseAlarm")->setChecked(true);
    Child<QPushButton>(w, "btnSaveCom")->click();

    EXPECT_EQ(stored(), QStringList({"B|2|9600|1|100|200|0|1|32|1|0|0|0",
                                     "Wejście główne|4|19200|0|300|500|42|5|32|3|1|0|1"}));
    EXPECT_EQ(currentPort(w), 4);
    EXPECT_EQ(Child<QLineEdit>(w, "edNazwa")->text(), "Wejście główne");
    EXPECT_TRUE(gridRows(w).contains("4|Wejście główne|NIE"))
        << gridRows(w).join(", ").toStdString();
    // "0.1 SEK" with length 5: the signal character is 32 + 5.
    EXPECT_EQ(SignalChar(record(4)), 37);
    EXPECT_EQ(SignalChar(record(4)), '%');

    // Whole seconds; and the installation number once it was saved with the parameters.
    Child<QCheckBox>(w, "cbBaseAlarm")->setChecked(false);
    Child<QLineEdit>(w, "edNrInstalacji")->setText("99");
    Child<QPushButton>(w, "btnSave")->click();
    EXPECT_EQ(ctx.params.NR_INSTALACJI, 99);
    Child<QPushButton>(w, "btnSaveCom")->click();
    EXPECT_EQ(stored().value(1), "Wejście główne|4|19200|0|300|500|99|5|64|3|1|0|1");
    EXPECT_EQ(SignalChar(record(4)), 64 + 5);
    EXPECT_EQ(currentPort(w), 4);
}

// Terminals of one RS-485 line share the port; the terminal number keeps their rows apart.
TEST_F(ParamTest, TwoTerminalsOfOneLineAreSavedAndDeletedEachOnItsOwn) {
    define({.port = 4, .nazwa = "Wydawka A", .numScan = 1, .rs485 = 1, .tq700 = 1});
    define({.port = 4, .nazwa = "Wydawka B", .numScan = 2, .rs485 = 1, .tq700 = 1});
    TfmParam* w = open();
    ASSERT_TRUE(w);
    ASSERT_EQ(Child<QLineEdit>(w, "edNazwa")->text(), "Wydawka A");
    QTest::keyClick(Child<DbGrid>(w, "dbgCom"), Qt::Key_Down);
    ASSERT_EQ(Child<QLineEdit>(w, "edNazwa")->text(), "Wydawka B");
    Child<QLineEdit>(w, "edNazwa")->setText("Wydawka Bis");
    Child<QPushButton>(w, "btnSaveCom")->click();
    EXPECT_EQ(Child<QLineEdit>(w, "edNazwa")->text(), "Wydawka Bis")
        << "the grid stays on the saved terminal";
    QStringList rows = stored();
    rows.sort();
    EXPECT_EQ(rows, QStringList({"Wydawka A|4|9600|1|100|200|0|1|32|1|1|1|0",
                                 "Wydawka Bis|4|9600|1|100|200|0|1|32|2|1|1|0"}));

    testdb::WhenModal yes([](QWidget* m) { QTest::keyClick(m, Qt::Key_Return); });
    Child<QPushButton>(w, "btnUsun")->click();
    EXPECT_EQ(stored(), QStringList({"Wydawka A|4|9600|1|100|200|0|1|32|1|1|1|0"}));
}

TEST_F(ParamTest, APersonalizerPortUsedByADefinitionRefusesTheWholeSave) {
    define({.port = 3, .nazwa = "Czytnik 3"});
    ParamStore store(dm);
    const GlobalParams before = ctx.params;
    TfmParam* w = open();
    ASSERT_TRUE(w);

    Child<QSpinBox>(w, "seComp")->setValue(3);
    Child<QCheckBox>(w, "cbCpAkt")->setChecked(true);
    Child<QCheckBox>(w, "cbWdnBzKmnkt")->setChecked(true);
    Child<QCheckBox>(w, "cbBlkWdnBzKmnkt")->setChecked(true);
    Child<QLineEdit>(w, "edMaxKodKarty")->setText("2000");
    Child<QButtonGroup>(w, "rgSygnalWyd")->button(1)->setChecked(true);
    Child<QPushButton>(w, "btnSave")->click();
    EXPECT_EQ(shown, QStringList({PersonalizerClashMessage(3, "Czytnik 3")}));
    EXPECT_EQ(ctx.params, before) << "nothing taken into memory";
    // The store keeps the values a new database starts with.
    EXPECT_EQ(store.ReadParI("COMP", -1), 1);
    EXPECT_EQ(store.ReadParI("CPAKT", -1), 0);
    EXPECT_EQ(store.ReadParI("WDNBZKMNKT", -1), 0);
    EXPECT_EQ(store.ReadParI("BLKWDNBZKMNKT", -1), 0);
    EXPECT_EQ(store.ReadParI("MAXKODKARTY", -1), 1000);
    EXPECT_EQ(store.ReadParI("SYGNAL_WYD", -1), 0);

    // Another port: all of it is saved.
    Child<QSpinBox>(w, "seComp")->setValue(4);
    Child<QPushButton>(w, "btnSave")->click();
    EXPECT_EQ(shown.size(), 1);
    EXPECT_EQ(store.ReadParI("COMP", -1), 4);
    EXPECT_EQ(store.ReadParI("CPAKT", -1), 1);
    EXPECT_EQ(store.ReadParI("WDNBZKMNKT", -1), 1);
    EXPECT_EQ(store.ReadParI("BLKWDNBZKMNKT", -1), 1);
    EXPECT_EQ(store.ReadParI("MAXKODKARTY", -1), 2000);
    EXPECT_EQ(store.ReadParI("SYGNAL_WYD", -1), 1);
}

TEST_F(ParamTest, WithThePersonalizerOffItsPortIsFreeForTerminals) {
    // Two terminals of one RS-485 line on COM 1, the personalizer's default port.
    define({.port = 1, .nazwa = "Wydawka 1", .numScan = 1, .rs485 = 1});
    define({.port = 1, .nazwa = "Wydawka 2", .numScan = 2, .rs485 = 1});
    ctx.params.COMP = 1;
    ctx.params.CPAKT = false;
    TfmParam* w = open();
    ASSERT_TRUE(w);
    Child<QLineEdit>(w, "edMaxKodKarty")->setText("1500");
    Child<QPushButton>(w, "btnSave")->click();
    EXPECT_TRUE(shown.isEmpty()) << shown.join('\n').toStdString();
    EXPECT_EQ(ctx.params.MAXKODKARTY, 1500);

    // Switched on, the same port clashes and nothing is saved.
    Child<QCheckBox>(w, "cbCpAkt")->setChecked(true);
    Child<QLineEdit>(w, "edMaxKodKarty")->setText("1600");
    Child<QPushButton>(w, "btnSave")->click();
    EXPECT_EQ(shown, QStringList({PersonalizerClashMessage(1, "Wydawka 1")}));
    EXPECT_FALSE(ctx.params.CPAKT);
    EXPECT_EQ(ctx.params.MAXKODKARTY, 1500);
}

TEST_F(ParamTest, SavedParametersAreReadBackByInitParam) {
    define({.port = 1});
    TfmParam* w = open();
    ASSERT_TRUE(w);
    ParamStore store(dm);

    // Good values, then text that is not a number.
    const struct {
        const char *nrInst, *clear, *load, *maxKod, *procent;
        int sygnalWyd, sygnalBlok, comp;
        bool cpakt, wdn, blk;
        QTime od, do_;
        int expNrInst, expClear, expLoad, expMaxKod;
        double expProcent;
    } cases[] = {
        {"17", "12000", " 80 ", "2500", "12.75", 1, 0, 6, true, true, true, QTime(11, 30),
         QTime(14, 0), 17, 12000, 80, 2500, 12.75},
        {"x", "", "5ms", "abc", "abc", 0, 1, 2, false, false, false, QTime(0, 0), QTime(0, 0), 0, 0,
         0, 1000, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.maxKod);
        Child<QLineEdit>(w, "edNrInstalacji")->setText(c.nrInst);
        Child<QLineEdit>(w, "edClearTimeout")->setText(c.clear);
        Child<QLineEdit>(w, "edLoadTimeout")->setText(c.load);
        Child<QLineEdit>(w, "edMaxKodKarty")->setText(c.maxKod);
        Child<QLineEdit>(w, "edProcentRzlWody")->setText(c.procent);
        Child<QButtonGroup>(w, "rgSygnalWyd")->button(c.sygnalWyd)->setChecked(true);
        Child<QButtonGroup>(w, "rgSygnalBlok")->button(c.sygnalBlok)->setChecked(true);
        Child<QSpinBox>(w, "seComp")->setValue(c.comp);
        Child<QCheckBox>(w, "cbCpAkt")->setChecked(c.cpakt);
        Child<QCheckBox>(w, "cbWdnBzKmnkt")->setChecked(c.wdn);
        Child<QCheckBox>(w, "cbBlkWdnBzKmnkt")->setChecked(c.blk);
        Child<QTimeEdit>(w, "teObiadOd")->setTime(c.od);
        Child<QTimeEdit>(w, "teObiadDo")->setTime(c.do_);
        Child<QPushButton>(w, "btnSave")->click();
        EXPECT_TRUE(shown.isEmpty()) << shown.join('\n').toStdString();

        GlobalParams fresh;
        InitParam(dm, fresh);
        const GlobalParams* both[] = {&ctx.params, &fresh};
        for (const GlobalParams* g : both) {
            EXPECT_EQ(g->NR_INSTALACJI, c.expNrInst);
            EXPECT_EQ(g->CLEARTIMEOUT, c.expClear);
            EXPECT_EQ(g->LOADTIMEOUT, c.expLoad);
            EXPECT_EQ(g->MAXKODKARTY, c.expMaxKod);
            EXPECT_DOUBLE_EQ(g->ProcentRzlWody, c.expProcent);
            EXPECT_EQ(g->SYGNAL_WYD, c.sygnalWyd);
            EXPECT_EQ(g->SYGNAL_BLOK, c.sygnalBlok);
            EXPECT_EQ(g->COMP, c.comp);
            EXPECT_EQ(g->CPAKT, c.cpakt);
            EXPECT_EQ(g->WdnBzKmnkt, c.wdn);
            EXPECT_EQ(g->BlkWdnBzKmnkt, c.blk);
            EXPECT_EQ(g->OBIAD_OD, c.od);
            EXPECT_EQ(g->OBIAD_DO, c.do_);
        }
        // The flags are stored as 1 or 0, the lunch period as times, the percentage as a number.
        EXPECT_EQ(store.ReadParI("CPAKT", -1), c.cpakt ? 1 : 0);
        EXPECT_EQ(store.ReadParT("OBIAD_DO", QTime(1, 1)), c.do_);
        EXPECT_DOUBLE_EQ(store.ReadParF("PROCENTRZLWODY", -1), c.expProcent);
    }
}

TEST_F(ParamTest, DopiszAddsADefinitionOnTheNextFreePortWithTheDefaults) {
    ctx.params.COMP = 2;
    ctx.params.CPAKT = false;
    ctx.params.NR_INSTALACJI = 42;
    TfmParam* w = open();
    ASSERT_TRUE(w);
    EXPECT_TRUE(gridRows(w).isEmpty());
    EXPECT_FALSE(Child<QPushButton>(w, "btnSaveCom")->isEnabled()) << "no definition to save";
    EXPECT_FALSE(Child<QPushButton>(w, "btnUsun")->isEnabled());
    EXPECT_EQ(Child<QLineEdit>(w, "edNrInstalacji")->text(), "42")
        << "memory shown without any definition";

    Child<QPushButton>(w, "btnDopisz")->click();
    EXPECT_EQ(stored(), QStringList({"Czytnik 1|1|9600|0|100|200|42|1|32|1|0|0|0"}));
    EXPECT_EQ(currentPort(w), 1);
    EXPECT_EQ(Child<QLineEdit>(w, "edNazwa")->text(), "Czytnik 1");
    EXPECT_TRUE(Child<QPushButton>(w, "btnSaveCom")->isEnabled());
    EXPECT_TRUE(Child<QPushButton>(w, "btnUsun")->isEnabled());

    // Port 2 is the personalizer's (in use or not), 4 is taken by another workstation.
    define({.port = 4, .nazwa = "Obcy"});
    Child<QPushButton>(w, "btnDopisz")->click();
    EXPECT_EQ(currentPort(w), 3);
    EXPECT_EQ(Child<QLineEdit>(w, "edNazwa")->text(), "Czytnik 3");
    EXPECT_EQ(Child<QComboBox>(w, "rgSpeed")->currentText(), "9600");
    EXPECT_FALSE(Child<QCheckBox>(w, "cbAktywny")->isChecked());
    EXPECT_EQ(Child<QSpinBox>(w, "seTimeoutW")->value(), 200);
    // The personalizer port shown but not yet saved is left free too.
    Child<QSpinBox>(w, "seComp")->setValue(5);
    Child<QPushButton>(w, "btnDopisz")->click();
    EXPECT_EQ(currentPort(w), 6);
    EXPECT_EQ(stored(), QStringList({"Czytnik 1|1|9600|0|100|200|42|1|32|1|0|0|0",
                                     "Czytnik 3|3|9600|0|100|200|42|1|32|1|0|0|0",
                                     "Obcy|4|9600|1|100|200|0|1|32|1|0|0|0",
                                     "Czytnik 6|6|9600|0|100|200|42|1|32|1|0|0|0"}));
    EXPECT_EQ(gridRows(w).size(), 4);

    // A new definition does not stop the parameters from being saved.
    Child<QPushButton>(w, "btnSave")->click();
    EXPECT_TRUE(shown.isEmpty()) << shown.join('\n').toStdString();
    EXPECT_EQ(ctx.params.COMP, 5);
}

TEST_F(ParamTest, UsunAsksAndDeletesTheSelectedDefinition) {
    define({.port = 1, .nazwa = "Jeden"});
    define({.port = 2, .nazwa = "Dwa"});
    define({.port = 3, .nazwa = "Trzy"});
    TfmParam* w = open();
    ASSERT_TRUE(w);
    clickRowOfPort(w, 2);
    ASSERT_EQ(currentPort(w), 2);

    QString question;
    answer(false, w, &question);
    EXPECT_EQ(question, "Czy naprawdę skasować?");
    EXPECT_EQ(stored().size(), 3);
    EXPECT_EQ(currentPort(w), 2);

    answer(true, w, &question);
    EXPECT_EQ(stored(), QStringList({"Jeden|1|9600|1|100|200|0|1|32|1|0|0|0",
                                     "Trzy|3|9600|1|100|200|0|1|32|1|0|0|0"}));
    EXPECT_EQ(currentPort(w), 3) << "on the next row";
    EXPECT_EQ(Child<QLineEdit>(w, "edNazwa")->text(), "Trzy");
    EXPECT_EQ(gridRows(w), QStringList({"1|Jeden|TAK", "3|Trzy|TAK"}));

    answer(true, w, &question);
    EXPECT_EQ(currentPort(w), 1) << "the last row gone: on the one before";
    EXPECT_EQ(Child<QLineEdit>(w, "edNazwa")->text(), "Jeden");

    answer(true, w, &question);
    EXPECT_TRUE(stored().isEmpty());
    EXPECT_TRUE(gridRows(w).isEmpty());
    EXPECT_FALSE(Child<QPushButton>(w, "btnUsun")->isEnabled());
    EXPECT_FALSE(Child<QPushButton>(w, "btnSaveCom")->isEnabled());
}

TEST_F(ParamTest, WyjscieClosesTheWindowAndTheSharedQuery) {
    define({.port = 1});
    TfmParam* w = open();
    ASSERT_TRUE(w);
    ASSERT_TRUE(dm.QTmp.isOpen());
    EXPECT_TRUE(dm.IBTTmp.inTransaction());
    Child<QPushButton>(w, "btnWyjscie")->click();
    settle();
    EXPECT_TRUE(main->functionWindow(FunctionSlot::Parametry) == nullptr);
    EXPECT_FALSE(dm.QTmp.isOpen());
    EXPECT_FALSE(dm.IBTTmp.inTransaction());
    EXPECT_FALSE(main->chCaption().contains("Parametry")) << main->chCaption().toStdString();

    // Opened again, it shows the definitions afresh.
    TfmParam* again = open();
    ASSERT_TRUE(again);
    EXPECT_EQ(gridRows(again), QStringList({"1|Czytnik|TAK"}));
}

} // namespace
