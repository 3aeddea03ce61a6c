// The statements and conversions of the parameters window, without the window.

#include "core/Text.h"
#include "support/QtPrint.h"
#include "terminals/TerminalParams.h"

#include <gtest/gtest.h>

using namespace kzm;

namespace {

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

} // namespace
