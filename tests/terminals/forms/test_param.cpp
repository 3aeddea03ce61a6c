#include "app/TfmMain.h"
#include "core/Literals.h"
#include "db/Params.h"
#include "support/MainWindowDb.h"
#include "support/QtPrint.h"
#include "support/WhenModal.h"
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

namespace {

// ---- statements and conversions

TEST(ParamStatements, DefinitionUpdateInsertAndDeleteTexts) {
    ComDefFields f;
    f.nazwa = QStringLiteral("Wejście O'Hara");
    f.port = 4;
    f.speed = 19200;
    f.aktywny = true;
    f.timeoutR = 300;
    f.timeoutW = 500;
    f.numInst = 7;
    f.alarm = 5;
    f.baseAlarm = BaseAlarmOf(true);
    f.numScan = 3;
    f.rs485 = true;
    f.tq700 = false;
    f.numInst3Zn = true;
    EXPECT_EQ(ComDefUpdateStatement(f, 1, 3),
              "update KZM_COMDEF set nazwa='Wejście O\"Hara',port=4,speed=19200,aktywny=1,"
              "timeout_r=300,timeout_w=500,numinst=7,alarm=5,base_alarm=32,numscan=3,rs485=1,"
              "tq700=0,NumInst3Zn=1 where port=1 and numscan=3");
    f.baseAlarm = BaseAlarmOf(false);
    f.aktywny = f.rs485 = f.numInst3Zn = false;
    f.tq700 = true;
    EXPECT_EQ(ComDefUpdateStatement(f, 4, 2),
              "update KZM_COMDEF set nazwa='Wejście O\"Hara',port=4,speed=19200,aktywny=0,"
              "timeout_r=300,timeout_w=500,numinst=7,alarm=5,base_alarm=64,numscan=3,rs485=0,"
              "tq700=1,NumInst3Zn=0 where port=4 and numscan=2");

    EXPECT_EQ(ComDefInsertStatement(NewComDef(3, 42)),
              "insert into KZM_COMDEF (nazwa,port,speed,aktywny,timeout_r,timeout_w,numinst,"
              "alarm,base_alarm,numscan,rs485,tq700,NumInst3Zn) values ('Czytnik 3',3,9600,0,100,"
              "200,42,1,32,1,0,0,0)");
    EXPECT_EQ(ComDefDeleteStatement(12, 5), "delete from KZM_COMDEF where port=12 and numscan=5");
    EXPECT_EQ(PersonalizerClashStatement(3), "select port from kzm_comdef where port=3");
    EXPECT_EQ(PersonalizerClashMessage(3, "Czytnik 3  "),
              "Do jednego portu ( 3 ) może być przypisane tylko jedno urządzenie\r\n"
              "Na tym porcie jest personalizator kart i czytnik „Czytnik 3”");
}

TEST(ParamStatements, NextFreePortSkipsUsedAndExcludedPortsFromOne) {
    const struct {
        std::vector<int> used, excluded;
        int port;
    } cases[] = {
        {{}, {}, 1},      {{}, {1}, 2},        {{1, 2, 3}, {}, 4}, {{1, 3}, {2}, 4},
        {{0, 2}, {1}, 3}, {{5, 7}, {1, 1}, 2}, {{0}, {0}, 1},      {{2, 1}, {4, 3}, 5},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NextFreePort(c.used, c.excluded), c.port)
            << testing::PrintToString(c.used) << testing::PrintToString(c.excluded);
}

TEST(ParamStatements, TextThatIsNotANumberGivesTheDefault) {
    const struct {
        const char* text;
        int integer;   // IntOrDefault(text, -7)
        double number; // NumberOrDefault(text, -7)
    } cases[] = {
        {"123", 123, 123}, {" 80 ", 80, 80},  {"-5", -5, -5},       {"abc", -7, -7},
        {"", -7, -7},      {"12abc", -7, -7}, {"12.75", -7, 12.75}, {"12,5", -7, -7},
        {"1 000", -7, -7}, {"nan", -7, -7},   {"inf", -7, -7},      {"0.00", -7, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IntOrDefault(QString::fromUtf8(c.text), -7), c.integer) << c.text;
        EXPECT_EQ(NumberOrDefault(QString::fromUtf8(c.text), -7), c.number) << c.text;
    }

    ParamFields f;
    f.nrInstalacji = "abc";
    f.clearTimeout = "";
    f.loadTimeout = "x1";
    f.maxKodKarty = "abc";
    f.procentRzlWody = "abc";
    f.obiadOd = QTime(11, 30, 15, 250);
    GlobalParams g;
    g.NR_INSTALACJI = g.CLEARTIMEOUT = g.LOADTIMEOUT = g.MAXKODKARTY = 9;
    g.ProcentRzlWody = 9;
    TakeParams(f, g);
    EXPECT_EQ(g.NR_INSTALACJI, 0);
    EXPECT_EQ(g.CLEARTIMEOUT, 0);
    EXPECT_EQ(g.LOADTIMEOUT, 0);
    EXPECT_EQ(g.MAXKODKARTY, 1000);
    EXPECT_EQ(g.ProcentRzlWody, 0.0);
    EXPECT_EQ(g.OBIAD_OD, QTime(11, 30, 15)) << "the time of day, without fractions";
}

TEST(ParamStatements, ActiveColumnText) {
    EXPECT_EQ(AktywnyText(fb::Value(0)), "NIE");
    EXPECT_EQ(AktywnyText(fb::Value(1)), "TAK");
    EXPECT_EQ(AktywnyText(fb::Value()), "");
    EXPECT_EQ(AktywnyText(fb::Value(2)), "2");
}

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
        const QAbstractItemModel* m = w->grid()->model();
        for (int r = 0; r < m->rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < m->columnCount(); ++c)
                cells << m->data(m->index(r, c)).toString();
            out << cells.join('|');
        }
        return out;
    }

    static void clickRowOfPort(TfmParam* w, int port) {
        DbGrid* g = w->grid();
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
        const QModelIndex at = w->grid()->currentIndex();
        EXPECT_EQ(at.row(), dm.QTmp.currentRow());
        return dm.QTmp.fieldByName("PORT").asInteger();
    }

    void answer(bool yes, TfmParam* w, QString* question) {
        testdb::WhenModal script([&](QWidget*) {
            *question = fmUwaga.textArea()->toPlainText();
            EXPECT_TRUE(fmUwaga.isQuestion());
            QTest::keyClick(fmUwaga.textArea(), yes ? Qt::Key_Return : Qt::Key_Escape);
        });
        w->btnUsun()->click();
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

    EXPECT_EQ(w->comp()->value(), 7);
    EXPECT_TRUE(w->cpakt()->isChecked());
    EXPECT_EQ(w->obiadOd()->time(), QTime(11, 30));
    EXPECT_EQ(w->obiadDo()->time(), QTime(14, 0));
    EXPECT_EQ(w->sygnalWyd()->checkedId(), 1);
    EXPECT_EQ(w->sygnalBlok()->checkedId(), 0);
    EXPECT_FALSE(w->wdnBzKmnkt()->isChecked());
    EXPECT_TRUE(w->blkWdnBzKmnkt()->isChecked());
    EXPECT_EQ(w->procentRzlWody()->text(), "12.50");
    EXPECT_EQ(w->maxKodOper()->text(), "  5000");
    EXPECT_TRUE(w->maxKodOper()->isReadOnly());
    EXPECT_EQ(w->maxKodKarty()->text(), "3000");
    EXPECT_EQ(w->nrInstalacji()->text(), "42") << "from memory, not the row's NUMINST";
    EXPECT_EQ(w->clearTimeout()->text(), "9000");
    EXPECT_EQ(w->loadTimeout()->text(), "70");

    // The grid: all definitions, the activity as words, the port as the sort column.
    EXPECT_EQ(dm.QTmp.sql(), "select * from kzm_comdef");
    QAbstractItemModel* m = w->grid()->model();
    ASSERT_EQ(m->columnCount(), 3);
    EXPECT_EQ(m->headerData(0, Qt::Horizontal).toString(), "Port");
    EXPECT_EQ(m->headerData(1, Qt::Horizontal).toString(), "Nazwa");
    EXPECT_EQ(m->headerData(2, Qt::Horizontal).toString(), "Aktywny");
    EXPECT_TRUE(w->grid()->horizontalHeader()->isSortIndicatorShown());
    EXPECT_EQ(w->grid()->horizontalHeader()->sortIndicatorSection(), 0);
    EXPECT_EQ(w->grid()->horizontalHeader()->sortIndicatorOrder(), Qt::AscendingOrder);
    EXPECT_EQ(gridRows(w), QStringList({"2|Kuchnia górna|TAK", "5|Stołówka|NIE"}));
    EXPECT_EQ(currentPort(w), 2);

    // The group shows the first row.
    EXPECT_EQ(w->nazwa()->text(), "Kuchnia górna");
    EXPECT_EQ(w->com()->value(), 2);
    EXPECT_EQ(w->speed()->currentText(), "4800");
    EXPECT_TRUE(w->aktywny()->isChecked());
    EXPECT_EQ(w->timeoutR()->value(), 300);
    EXPECT_EQ(w->timeoutW()->value(), 400);
    EXPECT_TRUE(w->rs485()->isChecked());
    EXPECT_EQ(w->numScan()->value(), 4);
    EXPECT_TRUE(w->numInst3Zn()->isChecked());
    EXPECT_FALSE(w->tq700()->isChecked());
    EXPECT_EQ(w->alarm()->value(), 9);
    EXPECT_FALSE(w->baseAlarm()->isChecked()) << "BASE_ALARM 64: whole seconds";
    // The rules of the loaded row: RS-485 enables the terminal number and the clear time-out.
    EXPECT_TRUE(w->numScan()->isEnabled());
    EXPECT_TRUE(w->clearTimeout()->isEnabled());
    EXPECT_TRUE(w->rs485()->isEnabled());
    EXPECT_TRUE(w->speed()->isEnabled());

    // The ranges of the spin boxes.
    EXPECT_EQ(w->timeoutR()->minimum(), 100);
    EXPECT_EQ(w->timeoutR()->maximum(), 2000);
    EXPECT_EQ(w->timeoutR()->singleStep(), 100);
    EXPECT_EQ(w->timeoutW()->minimum(), 100);
    EXPECT_EQ(w->timeoutW()->maximum(), 2000);
    EXPECT_EQ(w->timeoutW()->singleStep(), 100);
    EXPECT_EQ(w->numScan()->minimum(), 1);
    EXPECT_EQ(w->numScan()->maximum(), 31);
    EXPECT_EQ(w->alarm()->minimum(), 0);
    EXPECT_EQ(w->alarm()->maximum(), 15);
    EXPECT_EQ(w->com()->minimum(), 0);
    QStringList speeds;
    for (int i = 0; i < w->speed()->count(); ++i)
        speeds << w->speed()->itemText(i);
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
    EXPECT_EQ(w->speed()->currentText(), "19200");
    EXPECT_FALSE(w->numScan()->isEnabled());

    w->maxKodKarty()->setText("777"); // typed, not saved: the next row shows memory again
    clickRowOfPort(w, 2);
    EXPECT_EQ(currentPort(w), 2);
    EXPECT_EQ(w->nazwa()->text(), "Drugi");
    EXPECT_EQ(w->com()->value(), 2);
    EXPECT_EQ(w->speed()->currentText(), "19200") << "4000 is none of the five";
    EXPECT_FALSE(w->aktywny()->isChecked());
    EXPECT_EQ(w->timeoutR()->value(), 700);
    EXPECT_EQ(w->alarm()->value(), 3);
    EXPECT_FALSE(w->baseAlarm()->isChecked());
    EXPECT_TRUE(w->rs485()->isChecked()) << "an RS-485 TQ200 keeps its line variant";
    EXPECT_EQ(w->numScan()->value(), 9);
    EXPECT_TRUE(w->numScan()->isEnabled());
    EXPECT_TRUE(w->clearTimeout()->isEnabled());
    EXPECT_TRUE(w->numInst3Zn()->isChecked());
    EXPECT_EQ(w->maxKodKarty()->text(), "3000");

    clickRowOfPort(w, 3);
    EXPECT_EQ(w->nazwa()->text(), "Trzeci");
    EXPECT_EQ(w->speed()->currentText(), "2400");
    EXPECT_TRUE(w->baseAlarm()->isChecked());
    EXPECT_FALSE(w->rs485()->isChecked());
    EXPECT_FALSE(w->numScan()->isEnabled());
    EXPECT_FALSE(w->clearTimeout()->isEnabled());
}

TEST_F(ParamTest, ADefinitionWithAnUnofferedSpeedKeepsItWhenSavedWithoutAChoice) {
    define({.port = 1, .nazwa = "Stary", .speed = 4000});
    TfmParam* w = open();
    ASSERT_TRUE(w);
    EXPECT_EQ(w->speed()->currentIndex(), -1) << "no choice offered";
    w->nazwa()->setText("Nowy");
    w->btnSaveCom()->click();
    EXPECT_EQ(stored(), QStringList({"Nowy|1|4000|1|100|200|0|1|32|1|0|0|0"}));
    w->speed()->setCurrentIndex(0);
    w->btnSaveCom()->click();
    EXPECT_EQ(stored(), QStringList({"Nowy|1|1200|1|100|200|0|1|32|1|0|0|0"}));
    EXPECT_EQ(w->speed()->currentText(), "1200");
}

TEST_F(ParamTest, Tq700TicksAndLocksRs485AndGreysTheTq200Fields) {
    define({.port = 1, .nazwa = "TQ200 RS-232"});
    define({.port = 2, .nazwa = "TQ700", .rs485 = 0, .tq700 = 1});
    define({.port = 3, .nazwa = "TQ700 RS-485", .rs485 = 1, .tq700 = 1});
    TfmParam* w = open();
    ASSERT_TRUE(w);
    auto state = [w] {
        return QStringLiteral("rs485 %1%2 speed %3 nrinst %4 3zn %5 numscan %6 clear %7")
            .arg(w->rs485()->isChecked() ? "+" : "-")
            .arg(w->rs485()->isEnabled() ? "on" : "off")
            .arg(w->speed()->isEnabled() ? "on" : "off")
            .arg(w->nrInstalacji()->isEnabled() ? "on" : "off")
            .arg(w->numInst3Zn()->isEnabled() ? "on" : "off")
            .arg(w->numScan()->isEnabled() ? "on" : "off")
            .arg(w->clearTimeout()->isEnabled() ? "on" : "off");
    };
    const QString tq200 = "rs485 -on speed on nrinst on 3zn on numscan off clear off";
    const QString tq700 = "rs485 +off speed off nrinst off 3zn off numscan on clear on";
    EXPECT_EQ(state(), tq200);

    QTest::mouseClick(w->tq700(), Qt::LeftButton, {}, QPoint(6, w->tq700()->height() / 2));
    EXPECT_TRUE(w->tq700()->isChecked());
    EXPECT_EQ(state(), tq700);
    w->tq700()->click();
    EXPECT_EQ(state(), tq200) << "unticking TQ 700 unticks RS485 too";

    // Ticking RS485 by hand on a TQ200 enables its two fields only.
    w->rs485()->click();
    EXPECT_EQ(state(), "rs485 +on speed on nrinst on 3zn on numscan on clear on");
    w->rs485()->click();
    EXPECT_EQ(state(), tq200);

    // A TQ700 row stored without RS485 is shown on RS-485, locked; back on the TQ200 row all is
    // free again.
    clickRowOfPort(w, 2);
    EXPECT_EQ(w->nazwa()->text(), "TQ700");
    EXPECT_EQ(state(), tq700);
    clickRowOfPort(w, 1);
    EXPECT_EQ(state(), tq200);
    clickRowOfPort(w, 3);
    EXPECT_EQ(state(), tq700);
    clickRowOfPort(w, 2); // from one TQ700 to another
    EXPECT_EQ(w->nazwa()->text(), "TQ700");
    EXPECT_EQ(state(), tq700);

    // An RS-485 TQ200 loaded right after a TQ700 keeps its line variant, and a plain save
    // writes back what is stored.
    define({.port = 5, .nazwa = "TQ200 RS-485", .numScan = 4, .rs485 = 1});
    clickRowOfPort(w, 3);
    w->btnSaveCom()->click(); // re-opens the grid, which then shows the new row
    clickRowOfPort(w, 5);
    EXPECT_EQ(w->nazwa()->text(), "TQ200 RS-485");
    EXPECT_EQ(state(), "rs485 +on speed on nrinst on 3zn on numscan on clear on");
    w->btnSaveCom()->click();
    EXPECT_EQ(stored().value(3), "TQ200 RS-485|5|9600|1|100|200|0|1|32|4|1|0|0");

    // Saved from the window, the TQ700 is stored on RS-485.
    clickRowOfPort(w, 2);
    w->btnSaveCom()->click();
    EXPECT_EQ(stored().value(1), "TQ700|2|9600|1|100|200|0|1|32|1|1|1|0");
}

TEST_F(ParamTest, UsbAndPlainIssueOptionsGreyTheirFields) {
    ctx.params.WdnBzKmnkt = true;
    TfmParam* w = open();
    ASSERT_TRUE(w);
    EXPECT_FALSE(w->sygnalWydGroup()->isEnabled()) << "the loaded option applies its rule";
    EXPECT_TRUE(w->sygnalBlok()->button(0)->isEnabled());
    w->wdnBzKmnkt()->click();
    EXPECT_TRUE(w->sygnalWydGroup()->isEnabled());
    w->wdnBzKmnkt()->click();
    EXPECT_FALSE(w->sygnalWydGroup()->isEnabled());

    EXPECT_FALSE(w->prsnUsb()->isChecked());
    EXPECT_TRUE(w->comp()->isEnabled());
    EXPECT_TRUE(w->cpakt()->isEnabled());
    w->prsnUsb()->click();
    EXPECT_FALSE(w->comp()->isEnabled());
    EXPECT_FALSE(w->cpakt()->isEnabled());
    w->prsnUsb()->click();
    EXPECT_TRUE(w->comp()->isEnabled());
    EXPECT_TRUE(w->cpakt()->isEnabled());
}

TEST_F(ParamTest, SavingADefinitionUpdatesTheRowOfItsOldPortAndStaysOnTheNewPort) {
    ctx.params.NR_INSTALACJI = 42;
    define({.port = 1, .nazwa = "A", .numInst = 3});
    define({.port = 2, .nazwa = "B"});
    TfmParam* w = open();
    ASSERT_TRUE(w);
    ASSERT_EQ(currentPort(w), 1);

    w->nazwa()->setText("Wejście główne");
    w->com()->setValue(4);
    w->speed()->setCurrentIndex(w->speed()->findText("19200"));
    w->aktywny()->setChecked(false);
    w->timeoutR()->setValue(300);
    w->timeoutW()->setValue(500);
    w->rs485()->click();
    w->numScan()->setValue(3);
    w->nrInstalacji()->setText("99"); // typed, not saved: the definition takes the one in memory
    w->numInst3Zn()->setChecked(true);
    w->alarm()->setValue(5);
    w->baseAlarm()->setChecked(true);
    w->btnSaveCom()->click();

    EXPECT_EQ(stored(), QStringList({"B|2|9600|1|100|200|0|1|32|1|0|0|0",
                                     "Wejście główne|4|19200|0|300|500|42|5|32|3|1|0|1"}));
    EXPECT_EQ(currentPort(w), 4);
    EXPECT_EQ(w->nazwa()->text(), "Wejście główne");
    EXPECT_TRUE(gridRows(w).contains("4|Wejście główne|NIE"))
        << gridRows(w).join(", ").toStdString();
    // "0.1 SEK" with length 5: the signal character is 32 + 5.
    EXPECT_EQ(SignalChar(record(4)), 37);
    EXPECT_EQ(SignalChar(record(4)), '%');

    // Whole seconds; and the installation number once it was saved with the parameters.
    w->baseAlarm()->setChecked(false);
    w->nrInstalacji()->setText("99");
    w->btnSave()->click();
    EXPECT_EQ(ctx.params.NR_INSTALACJI, 99);
    w->btnSaveCom()->click();
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
    ASSERT_EQ(w->nazwa()->text(), "Wydawka A");
    QTest::keyClick(w->grid(), Qt::Key_Down);
    ASSERT_EQ(w->nazwa()->text(), "Wydawka B");
    w->nazwa()->setText("Wydawka Bis");
    w->btnSaveCom()->click();
    EXPECT_EQ(w->nazwa()->text(), "Wydawka Bis") << "the grid stays on the saved terminal";
    QStringList rows = stored();
    rows.sort();
    EXPECT_EQ(rows, QStringList({"Wydawka A|4|9600|1|100|200|0|1|32|1|1|1|0",
                                 "Wydawka Bis|4|9600|1|100|200|0|1|32|2|1|1|0"}));

    testdb::WhenModal yes([](QWidget* m) { QTest::keyClick(m, Qt::Key_Return); });
    w->btnUsun()->click();
    EXPECT_EQ(stored(), QStringList({"Wydawka A|4|9600|1|100|200|0|1|32|1|1|1|0"}));
}

TEST_F(ParamTest, APersonalizerPortUsedByADefinitionRefusesTheWholeSave) {
    define({.port = 3, .nazwa = "Czytnik 3"});
    ParamStore store(dm);
    const GlobalParams before = ctx.params;
    TfmParam* w = open();
    ASSERT_TRUE(w);

    w->comp()->setValue(3);
    w->cpakt()->setChecked(true);
    w->wdnBzKmnkt()->setChecked(true);
    w->blkWdnBzKmnkt()->setChecked(true);
    w->maxKodKarty()->setText("2000");
    w->sygnalWyd()->button(1)->setChecked(true);
    w->btnSave()->click();
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
    w->comp()->setValue(4);
    w->btnSave()->click();
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
    w->maxKodKarty()->setText("1500");
    w->btnSave()->click();
    EXPECT_TRUE(shown.isEmpty()) << shown.join('\n').toStdString();
    EXPECT_EQ(ctx.params.MAXKODKARTY, 1500);

    // Switched on, the same port clashes and nothing is saved.
    w->cpakt()->setChecked(true);
    w->maxKodKarty()->setText("1600");
    w->btnSave()->click();
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
        w->nrInstalacji()->setText(c.nrInst);
        w->clearTimeout()->setText(c.clear);
        w->loadTimeout()->setText(c.load);
        w->maxKodKarty()->setText(c.maxKod);
        w->procentRzlWody()->setText(c.procent);
        w->sygnalWyd()->button(c.sygnalWyd)->setChecked(true);
        w->sygnalBlok()->button(c.sygnalBlok)->setChecked(true);
        w->comp()->setValue(c.comp);
        w->cpakt()->setChecked(c.cpakt);
        w->wdnBzKmnkt()->setChecked(c.wdn);
        w->blkWdnBzKmnkt()->setChecked(c.blk);
        w->obiadOd()->setTime(c.od);
        w->obiadDo()->setTime(c.do_);
        w->btnSave()->click();
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
    EXPECT_FALSE(w->btnSaveCom()->isEnabled()) << "no definition to save";
    EXPECT_FALSE(w->btnUsun()->isEnabled());
    EXPECT_EQ(w->nrInstalacji()->text(), "42") << "memory shown without any definition";

    w->btnDopisz()->click();
    EXPECT_EQ(stored(), QStringList({"Czytnik 1|1|9600|0|100|200|42|1|32|1|0|0|0"}));
    EXPECT_EQ(currentPort(w), 1);
    EXPECT_EQ(w->nazwa()->text(), "Czytnik 1");
    EXPECT_TRUE(w->btnSaveCom()->isEnabled());
    EXPECT_TRUE(w->btnUsun()->isEnabled());

    // Port 2 is the personalizer's (in use or not), 4 is taken by another workstation.
    define({.port = 4, .nazwa = "Obcy"});
    w->btnDopisz()->click();
    EXPECT_EQ(currentPort(w), 3);
    EXPECT_EQ(w->nazwa()->text(), "Czytnik 3");
    EXPECT_EQ(w->speed()->currentText(), "9600");
    EXPECT_FALSE(w->aktywny()->isChecked());
    EXPECT_EQ(w->timeoutW()->value(), 200);
    // The personalizer port shown but not yet saved is left free too.
    w->comp()->setValue(5);
    w->btnDopisz()->click();
    EXPECT_EQ(currentPort(w), 6);
    EXPECT_EQ(stored(), QStringList({"Czytnik 1|1|9600|0|100|200|42|1|32|1|0|0|0",
                                     "Czytnik 3|3|9600|0|100|200|42|1|32|1|0|0|0",
                                     "Obcy|4|9600|1|100|200|0|1|32|1|0|0|0",
                                     "Czytnik 6|6|9600|0|100|200|42|1|32|1|0|0|0"}));
    EXPECT_EQ(gridRows(w).size(), 4);

    // A new definition does not stop the parameters from being saved.
    w->btnSave()->click();
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
    EXPECT_EQ(w->nazwa()->text(), "Trzy");
    EXPECT_EQ(gridRows(w), QStringList({"1|Jeden|TAK", "3|Trzy|TAK"}));

    answer(true, w, &question);
    EXPECT_EQ(currentPort(w), 1) << "the last row gone: on the one before";
    EXPECT_EQ(w->nazwa()->text(), "Jeden");

    answer(true, w, &question);
    EXPECT_TRUE(stored().isEmpty());
    EXPECT_TRUE(gridRows(w).isEmpty());
    EXPECT_FALSE(w->btnUsun()->isEnabled());
    EXPECT_FALSE(w->btnSaveCom()->isEnabled());
}

TEST_F(ParamTest, WyjscieClosesTheWindowAndTheSharedQuery) {
    define({.port = 1});
    TfmParam* w = open();
    ASSERT_TRUE(w);
    ASSERT_TRUE(dm.QTmp.isOpen());
    EXPECT_TRUE(dm.IBTTmp.inTransaction());
    w->btnWyjscie()->click();
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
