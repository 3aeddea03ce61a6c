// The pieces of taking a reading that need neither a terminal nor a database.

#include "db/Params.h"
#include "support/QtPrint.h"
#include "terminals/Registration.h"

#include <gtest/gtest.h>

using namespace kzm;

namespace {

TEST(Registration, YearSourceStatementOutcomeAndLogLine) {
    EXPECT_EQ(ReadingYear(QDate(2027, 1, 2), 12), 2026) << "31 December fetched on 2 January";
    EXPECT_EQ(ReadingYear(QDate(2026, 12, 8), 12), 2026);
    EXPECT_EQ(ReadingYear(QDate(2026, 12, 8), 1), 2026);
    EXPECT_EQ(SourcePortText("COM1"), "01");
    EXPECT_EQ(SourcePortText("COM12"), "12");

    TRekReceive rek;
    rek.year = "2026";
    rek.month = "12";
    rek.day = "08";
    rek.hour = "12";
    rek.minute = "31";
    rek.second = "05";
    rek.cardNumber = "0000123450";
    rek.readingTime = ReadingTimeOf(rek);
    EXPECT_EQ(rek.readingTime, QDateTime(QDate(2026, 12, 8), QTime(12, 31, 5)));
    GlobalParams g;
    g.OBIAD_OD = QTime(11, 0);
    g.OBIAD_DO = QTime(15, 0);
    DeriveReadingFields(rek, "COM1", g);
    EXPECT_EQ(ZapiszOdczytStatement(rek), "select ret from PKZM_RWP_WRIT_ODCZYT_22(2,'202612',"
                                          "'0000123450','08.12.2026','12:31:05','01261208')");

    TRekReceive bad = rek;
    bad.day = "31";
    bad.month = "02";
    EXPECT_EQ(ReadingTimeOf(bad), QDateTime(QDate(1899, 12, 30), QTime(0, 0)));

    const ReadingOutcome unknown = ParseOutcome("-1:-1:-1");
    EXPECT_EQ(unknown.code, "1");
    EXPECT_EQ(unknown.person, -1);
    const ReadingOutcome repeat = ParseOutcome("0:2:1234");
    EXPECT_EQ(repeat.code, "0");
    EXPECT_EQ(repeat.repeatCount, 2);
    EXPECT_EQ(repeat.person, 1234);

    rek.recordFlag = "0";
    rek.person = 1234;
    EXPECT_EQ(ReadingLogLine(0, 1, rek, "WYDANIE"),
              "TQ: 0/1  Y:2026  M:12  D:08  H:12  M:31  DoW:  S:05  We:  I:  Tys:  "
              "Krta:0000123450  NrO:1234  Tr:  WskB:0  RM:202612  RPos:2  SK:01261208   "
              "::WYDANIE");
    EXPECT_EQ(ReplyDetail("abc\r\n"), "abc");
}

TEST(Registration, WhatTheTerminalIsToldOfAReading) {
    GlobalParams g; // signals on, messages on
    const struct {
        const char* ret;
        int waiting;
        int sygnalWyd, sygnalBlok;
        bool wdn, blk;
        const char* text;
        bool alarm, shown;
    } cases[] = {
        {"0:1:1234", 1, 0, 0, false, false, "WYDANIE", true, true},
        {"0:1:1234", 1, 1, 0, false, false, "WYDANIE", false, true},
        {"1:1:1234", 1, 0, 1, false, false, "BLOKADA", false, true},
        {"1:1:1234", 1, 0, 0, false, false, "BLOKADA", true, true},
        {"-1:-1:-1", 1, 1, 1, false, false, "KARTA NIEZNANA", true, true},
        {"0:2:1234", 1, 1, 1, false, false, "WYDANIE REPETA", true, true},
        {"0:1:1234", 1, 1, 1, true, false, "WYDANIE", false, false},
        {"1:1:1234", 1, 1, 1, true, false, "BLOKADA", false, true},
        {"0:2:1234", 1, 1, 1, true, false, "WYDANIE REPETA", true, true},
        {"1:1:1234", 1, 1, 1, false, true, "BLOKADA", false, false},
        {"-1:-1:-1", 3, 1, 1, false, false, "KARTA NIEZNANA", true, false},
        {"0:1:1234", 2, 1, 1, false, false, "WYDANIE", false, true},
    };
    for (const auto& c : cases) {
        g.SYGNAL_WYD = c.sygnalWyd;
        g.SYGNAL_BLOK = c.sygnalBlok;
        g.WdnBzKmnkt = c.wdn;
        g.BlkWdnBzKmnkt = c.blk;
        const Announcement a = Announce(ParseOutcome(c.ret), c.waiting, g);
        EXPECT_EQ(a.text, c.text) << c.ret;
        EXPECT_EQ(a.alarm, c.alarm) << c.ret << " " << c.waiting;
        EXPECT_EQ(a.shown, c.shown) << c.ret << " " << c.waiting << c.wdn << c.blk;
    }
}

} // namespace
