#include "xls/Workbook.h"

#include "support/QtPrint.h"
#include "support/XlsReader.h"

#include <QTemporaryDir>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

namespace {

// Saves the workbook and reads the file back with xlrd, which must have nothing to complain of.
XlsRead SaveAndRead(const xls::Workbook& book) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("test.xls"));
    book.save(path);
    XlsRead read = ReadXls(path);
    EXPECT_EQ(read.error, QString());
    EXPECT_EQ(read.book.value(u"log").toString(), QString());
    EXPECT_EQ(read.book.value(u"biff").toInt(), 80);
    EXPECT_EQ(read.book.value(u"codepage").toInt(), 1200);
    EXPECT_EQ(read.book.value(u"datemode").toInt(), 0);
    return read;
}

bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

const QString PolishLetters = QStringLiteral("ąćęłńóśźżĄĆĘŁŃÓŚŹŻ");

} // namespace

TEST(XlsCells, TextComesBackWithItsLetters) {
    QString longText;
    for (int i = 0; i < 700; ++i) {
        longText += QStringLiteral("Zażółć gęślą jaźń %1; ").arg(i);
    }
    QString longestLatin1(xls::Workbook::MaxTextLength, u'x');
    longestLatin1[0] = QChar(0x00F3); // ó fits in a byte
    const std::vector<QString> texts = {
        PolishLetters,
        QStringLiteral("Stan na dzień 08.12.2026"),
        QStringLiteral("Café ó, à la carte"), // every character below 0x100
        QStringLiteral("ł"),
        QStringLiteral("Linia 1\nLinia 2\tz tabulatorem"),
        QStringLiteral("€ 100 – „cudzysłów”"),
        QStringLiteral("😀 poza BMP"),
        longText,
        longestLatin1,
        QString(xls::Workbook::MaxTextLength, QChar(0x0142)),
    };
    xls::Workbook book(QStringLiteral("Żywienie ąę"));
    for (std::size_t i = 0; i < texts.size(); ++i) {
        book.setText(static_cast<int>(i), static_cast<int>(i % 3), texts[i]);
    }
    const XlsRead read = SaveAndRead(book);
    EXPECT_EQ(read.sheet.value(u"name").toString(), QStringLiteral("Żywienie ąę"));
    ASSERT_EQ(read.cells.size(), texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const QJsonObject cell = read.cells.at({static_cast<int>(i), static_cast<int>(i % 3)});
        EXPECT_EQ(cell.value(u"type").toString(), QStringLiteral("text")) << i;
        EXPECT_EQ(cell.value(u"value").toString(), texts[i]) << i;
    }
}

TEST(XlsCells, NumbersComeBackBitForBit) {
    const std::vector<double> numbers = {
        0.0,
        -0.0,
        1.0,
        -1.0,
        42.0,
        536870911.0, // the largest integer RK holds
        536870912.0,
        -536870912.0,
        -536870913.0,
        12.5,
        0.1,
        -0.01,
        1234.56,
        3.14159265358979,
        1.0 / 3.0,
        -98765.4321,
        4294967296.0,
        1e15,
        123456789012.34,
        -1.5e300,
        std::numeric_limits<double>::max(),
        std::numeric_limits<double>::denorm_min(),
    };
    xls::Workbook book;
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        book.setNumber(static_cast<int>(i), 1, numbers[i]);
    }
    const XlsRead read = SaveAndRead(book);
    ASSERT_EQ(read.cells.size(), numbers.size());
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        const QJsonObject cell = read.cells.at({static_cast<int>(i), 1});
        EXPECT_EQ(cell.value(u"type").toString(), QStringLiteral("number")) << i;
        EXPECT_EQ(cell.value(u"format").toString(), QStringLiteral("General")) << i;
        const double back = ExactNumber(cell);
        EXPECT_TRUE(SameBits(back, numbers[i]))
            << i << ": " << numbers[i] << " came back as " << back;
    }
}

TEST(XlsCells, DatesAreSerialsWithTheDateFormat) {
    struct Case {
        QDateTime value;
        double serial;
        std::vector<int> shown; // xlrd's (year, month, day, hour, minute, second); empty: none
    };
    const std::vector<Case> cases = {
        {QDateTime(QDate(1899, 12, 30), QTime(0, 0)), 0, {0, 0, 0, 0, 0, 0}},
        {QDateTime(QDate(1900, 1, 1), QTime(0, 0)), 1, {}},
        {QDateTime(QDate(1900, 2, 28), QTime(0, 0)), 59, {}},
        {QDateTime(QDate(1900, 3, 1), QTime(0, 0)), 61, {1900, 3, 1, 0, 0, 0}},
        {QDateTime(QDate(2026, 12, 8), QTime(0, 0)), 46364, {2026, 12, 8, 0, 0, 0}},
        {QDateTime(QDate(2026, 1, 31), QTime(0, 0)), 46053, {2026, 1, 31, 0, 0, 0}},
        {QDateTime(QDate(9999, 12, 31), QTime(0, 0)), 2958465, {9999, 12, 31, 0, 0, 0}},
        {QDateTime(QDate(2026, 12, 8), QTime(13, 45, 30)),
         46364 + (13 * 3600 + 45 * 60 + 30) / 86400.0,
         {2026, 12, 8, 13, 45, 30}},
        {QDateTime(QDate(2024, 2, 29), QTime(23, 59, 59)),
         45351 + 86399 / 86400.0,
         {2024, 2, 29, 23, 59, 59}},
    };
    xls::Workbook book;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const int row = static_cast<int>(i);
        if (cases[i].value.time() == QTime(0, 0)) {
            book.setDate(row, 0, cases[i].value.date());
        }
        book.setDateTime(row, 1, cases[i].value);
    }
    book.setDate(0, 2, QDate());
    book.setDateTime(0, 3, QDateTime());

    const XlsRead read = SaveAndRead(book);
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const int row = static_cast<int>(i);
        for (int col = 0; col < 2; ++col) {
            if (col == 0 && cases[i].value.time() != QTime(0, 0)) {
                continue;
            }
            SCOPED_TRACE(testing::Message()
                         << cases[i].value.toString(Qt::ISODate).toStdString() << " col " << col);
            ASSERT_TRUE(read.cells.contains({row, col}));
            const QJsonObject cell = read.cells.at({row, col});
            EXPECT_EQ(cell.value(u"type").toString(), QStringLiteral("date"));
            EXPECT_EQ(cell.value(u"format").toString(), QStringLiteral("dd\\.mm\\.yyyy"));
            EXPECT_DOUBLE_EQ(ExactNumber(cell), cases[i].serial);
            if (cases[i].shown.empty()) {
                // Days before 01.03.1900 are ambiguous to xlrd, which refuses them.
                EXPECT_TRUE(cell.value(u"date").isNull());
            } else {
                std::vector<int> shown;
                for (const QJsonValue& part : cell.value(u"date").toArray()) {
                    shown.push_back(part.toInt());
                }
                EXPECT_EQ(shown, cases[i].shown);
            }
        }
    }
    EXPECT_FALSE(read.cells.contains({0, 2})) << "an invalid date leaves the cell empty";
    EXPECT_FALSE(read.cells.contains({0, 3}));
}

TEST(XlsCells, MergedHeadingAndColumnWidths) {
    // The layout of a query export: a two-line heading merged over columns 0 to 10, an empty
    // row, column headings sized to fit, then the data.
    xls::Workbook book;
    book.merge(0, 0, 0, 10);
    book.setText(0, 0, QStringLiteral("Stan na dzień 08.12.2026"));
    book.merge(1, 1, 0, 10);
    book.setText(1, 0, QStringLiteral("Jednostka: Kuchnia główna"));
    const QStringList headings = {QStringLiteral("ID"), QStringLiteral("NAZWISKO"),
                                  QStringLiteral("IMIĘ I NAZWISKO ŻOŁNIERZA")};
    for (int c = 0; c < headings.size(); ++c) {
        book.setText(3, c, headings[c]);
        book.fitColumnToText(c, headings[c]);
    }
    book.setNumber(4, 0, 17);
    book.merge(10, 12, 4, 5);
    book.setColumnWidth(20, 8.43);
    book.setColumnWidth(21, 20);
    book.setColumnWidth(22, 0);
    book.setColumnWidth(23, 1000); // wider than Excel allows
    EXPECT_EQ(book.rowCount(), 5);
    EXPECT_EQ(book.columnCount(), 3);

    const XlsRead read = SaveAndRead(book);
    const QJsonArray merged = read.sheet.value(u"merged").toArray();
    ASSERT_EQ(merged.size(), 3);
    EXPECT_EQ(merged[0].toArray(), (QJsonArray{0, 1, 0, 11})); // xlrd's ends are exclusive
    EXPECT_EQ(merged[1].toArray(), (QJsonArray{1, 2, 0, 11}));
    EXPECT_EQ(merged[2].toArray(), (QJsonArray{10, 13, 4, 6}));
    EXPECT_EQ(read.cells.at({1, 0}).value(u"value").toString(),
              QStringLiteral("Jednostka: Kuchnia główna"));
    EXPECT_EQ(read.cells.at({3, 2}).value(u"value").toString(), headings[2]);
    EXPECT_EQ(ExactNumber(read.cells.at({4, 0})), 17.0);

    // Stored widths are 1/256 of a character with the cell's padding, as Excel stores them.
    const QJsonObject widths = read.sheet.value(u"widths").toObject();
    EXPECT_EQ(widths.value(u"20").toInt(), 2340);
    EXPECT_EQ(widths.value(u"21").toInt(), 5302);
    EXPECT_EQ(widths.value(u"22").toInt(), 0);
    EXPECT_EQ(widths.value(u"23").toInt(), 65462);
    EXPECT_FALSE(widths.contains(u"5")) << "a column never sized keeps the default width";
    // A short heading keeps the default width; a longer one widens its column.
    EXPECT_FALSE(widths.contains(u"0"));
    EXPECT_GT(widths.value(u"1").toInt(), 2340);
    EXPECT_GT(widths.value(u"2").toInt(), widths.value(u"1").toInt() + 256 * 15);
}

TEST(XlsCells, FittingWidensToTheLongestLineAndNeverNarrows) {
    xls::Workbook book;
    EXPECT_DOUBLE_EQ(book.columnWidth(0), xls::Workbook::DefaultColumnWidth);
    book.fitColumnToText(0, QStringLiteral("KOD"));
    EXPECT_DOUBLE_EQ(book.columnWidth(0), xls::Workbook::DefaultColumnWidth);

    book.fitColumnToText(0, QStringLiteral("NAZWA JEDNOSTKI"));
    const double wide = book.columnWidth(0);
    EXPECT_GT(wide, 15.0);
    EXPECT_LT(wide, 22.0);
    book.fitColumnToText(0, QStringLiteral("NAZWA"));
    EXPECT_DOUBLE_EQ(book.columnWidth(0), wide);

    book.fitColumnToText(1, QStringLiteral("krótka\nNAZWA JEDNOSTKI\nśrednia"));
    EXPECT_DOUBLE_EQ(book.columnWidth(1), wide);
    // Capitals need more room than small letters, accented letters as much as plain ones.
    EXPECT_GT(xls::Workbook::textWidth(QStringLiteral("WWWW")),
              xls::Workbook::textWidth(QStringLiteral("iiii")) * 3);
    EXPECT_DOUBLE_EQ(xls::Workbook::textWidth(QStringLiteral("ŻÓŁĆ ąę")),
                     xls::Workbook::textWidth(QStringLiteral("ZOLC ae")));
    EXPECT_DOUBLE_EQ(xls::Workbook::textWidth(QStringLiteral("0000000000")), 10.0);
}

TEST(XlsCells, CellsSetInAnyOrderAreWrittenInOrderAndOverwritten) {
    xls::Workbook book;
    book.setNumber(10, 5, 1);
    book.setText(10, 2, QStringLiteral("b"));
    book.setText(3, 7, QStringLiteral("a"));
    book.setNumber(10, 3, 2);
    book.setText(10, 5, QStringLiteral("zastąpiona")); // a number replaced by text
    book.setNumber(3, 7, 3.5);                         // text replaced by a number
    book.setText(10, 2, QString());                    // cleared
    book.setText(0, 0, QStringLiteral("nieużywany"));
    book.clear(0, 0);
    EXPECT_EQ(book.rowCount(), 11);
    EXPECT_EQ(book.columnCount(), 8);

    const XlsRead read = SaveAndRead(book);
    ASSERT_EQ(read.cells.size(), 3u);
    EXPECT_EQ(ExactNumber(read.cells.at({3, 7})), 3.5);
    EXPECT_EQ(ExactNumber(read.cells.at({10, 3})), 2.0);
    EXPECT_EQ(read.cells.at({10, 5}).value(u"value").toString(), QStringLiteral("zastąpiona"));
    EXPECT_EQ(read.sheet.value(u"nrows").toInt(), 11);
    EXPECT_EQ(read.sheet.value(u"ncols").toInt(), 8);
}

TEST(XlsCells, LastRowAndColumnOfTheSheet) {
    xls::Workbook book;
    book.setText(65535, 255, QStringLiteral("róg"));
    book.setNumber(65535, 0, 1);
    book.setDate(0, 255, QDate(2026, 12, 8));
    book.merge(65534, 65535, 254, 255);
    book.setColumnWidth(255, 12);
    EXPECT_EQ(book.rowCount(), 65536);
    EXPECT_EQ(book.columnCount(), 256);
    const XlsRead read = SaveAndRead(book);
    EXPECT_EQ(read.sheet.value(u"nrows").toInt(), 65536);
    EXPECT_EQ(read.sheet.value(u"ncols").toInt(), 256);
    EXPECT_EQ(read.cells.at({65535, 255}).value(u"value").toString(), QStringLiteral("róg"));
    EXPECT_EQ(read.cells.at({0, 255}).value(u"type").toString(), QStringLiteral("date"));
    EXPECT_EQ(read.sheet.value(u"merged").toArray().at(0).toArray(),
              (QJsonArray{65534, 65536, 254, 256}));
}

TEST(XlsCells, WhatExcel97CannotHoldIsRefused) {
    using Call = std::function<void(xls::Workbook&)>;
    const std::vector<std::pair<const char*, Call>> cases = {
        {"text below row 65535",
         [](xls::Workbook& b) { b.setText(65536, 0, QStringLiteral("x")); }},
        {"text in a negative row", [](xls::Workbook& b) { b.setText(-1, 0, QStringLiteral("x")); }},
        {"number past column 255", [](xls::Workbook& b) { b.setNumber(0, 256, 1); }},
        {"number in a negative column", [](xls::Workbook& b) { b.setNumber(0, -1, 1); }},
        {"date below row 65535", [](xls::Workbook& b) { b.setDate(70000, 0, QDate(2026, 1, 1)); }},
        {"date-time past column 255",
         [](xls::Workbook& b) {
             b.setDateTime(0, 300, QDateTime(QDate(2026, 1, 1), QTime(1, 0)));
         }},
        {"merge to row 65536", [](xls::Workbook& b) { b.merge(0, 65536, 0, 1); }},
        {"merge to column 256", [](xls::Workbook& b) { b.merge(0, 0, 0, 256); }},
        {"merge upside down", [](xls::Workbook& b) { b.merge(5, 4, 0, 1); }},
        {"merge overlapping",
         [](xls::Workbook& b) {
             b.merge(0, 0, 0, 10);
             b.merge(0, 1, 10, 12);
         }},
        {"width of column 256", [](xls::Workbook& b) { b.setColumnWidth(256, 10); }},
        {"width not a number",
         [](xls::Workbook& b) { b.setColumnWidth(0, std::numeric_limits<double>::quiet_NaN()); }},
        {"fit of column -1", [](xls::Workbook& b) { b.fitColumnToText(-1, QStringLiteral("x")); }},
        {"text longer than a cell holds",
         [](xls::Workbook& b) {
             b.setText(0, 0, QString(xls::Workbook::MaxTextLength + 1, u'a'));
         }},
        {"infinite number",
         [](xls::Workbook& b) { b.setNumber(0, 0, std::numeric_limits<double>::infinity()); }},
        {"NaN", [](xls::Workbook& b) { b.setNumber(0, 0, std::nan("")); }},
    };
    // One workbook takes every refusal and stays whole: only what was accepted is written.
    xls::Workbook book;
    book.setText(0, 0, QStringLiteral("przed"));
    for (const auto& [name, call] : cases) {
        try {
            call(book);
            ADD_FAILURE() << name << ": no error";
        } catch (const xls::Error& e) {
            EXPECT_FALSE(e.message().isEmpty()) << name;
        }
    }
    const XlsRead read = SaveAndRead(book);
    ASSERT_EQ(read.cells.size(), 1u);
    EXPECT_EQ(read.cells.at({0, 0}).value(u"value").toString(), QStringLiteral("przed"));
    EXPECT_EQ(read.sheet.value(u"merged").toArray(), (QJsonArray{QJsonArray{0, 1, 0, 11}}));
    EXPECT_EQ(read.sheet.value(u"widths").toObject(), QJsonObject());

    try {
        xls::Workbook book;
        book.setNumber(65536, 3, 1);
        FAIL() << "no error";
    } catch (const xls::Error& e) {
        EXPECT_EQ(e.message(),
                  QStringLiteral("Komórka (wiersz 65536, kolumna 3) leży poza arkuszem "
                                 "Excel 97: wiersze od 0 do 65535, kolumny od 0 do 255"));
    }
}

TEST(XlsCells, SheetNamesExcelRefuses) {
    for (const QString& name :
         {QString(), QString(32, u'a'), QStringLiteral("a/b"), QStringLiteral("a[1]"),
          QStringLiteral("co?"), QStringLiteral("'cytat'"), QStringLiteral("a:b")}) {
        EXPECT_THROW(xls::Workbook{name}, xls::Error) << name.toStdString();
    }
    EXPECT_EQ(xls::Workbook(QString(31, u'ż')).sheetName(), QString(31, u'ż'));
    EXPECT_EQ(xls::Workbook().sheetName(), QStringLiteral("Arkusz1"));
}
