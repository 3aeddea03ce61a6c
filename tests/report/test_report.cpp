#include "report/Export.h"
#include "report/Format.h"
#include "report/ListLayout.h"
#include "report/Printing.h"
#include "report/Report.h"
#include "support/QtPrint.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kzm::report;

namespace {

fb::Value amount(std::int64_t hundredths) {
    return fb::Decimal{hundredths, 2};
}

// Rows of groups: group g has counts[g] rows; each row's amount is (row number) złote 10.
MemorySource rows(const std::vector<int>& counts) {
    std::vector<std::vector<fb::Value>> data;
    int n = 0;
    for (size_t g = 0; g < counts.size(); ++g) {
        for (int i = 0; i < counts[g]; ++i, ++n)
            data.push_back({QString(QChar(u'A' + int(g))), QStringLiteral("Wiersz %1").arg(n),
                            amount(100 * n + 10)});
    }
    return MemorySource({QStringLiteral("GRUPA"), QStringLiteral("NAZWA"), QStringLiteral("KWOTA")},
                        std::move(data));
}

// A report with a page number, a caption, a group by GRUPA and the row's name per detail.
struct Layout {
    Layout() {
        r.clock = [] { return QDateTime(QDate(2026, 12, 10), QTime(15, 0, 0)); };
        r.pageHeader().height = 100;
        r.pageHeader().addExpression(QStringLiteral("strona"), QRect(0, 0, 500, 50),
                                     [this] { return QString::number(r.pageNumber()); });
        r.columnHeader().addLabel(QStringLiteral("naglowek"), QRect(0, 0, 500, 50),
                                  QStringLiteral("Nazwa"));
        g = &r.addGroup(QStringLiteral("grupa"), QStringLiteral("GRUPA"));
        g->header.addExpression(QStringLiteral("grupa"), QRect(0, 0, 500, 50), [this] {
            return r.value(QStringLiteral("GRUPA")).toString() +
                   (r.repeatingHeader() ? QStringLiteral(" cd.") : QString());
        });
        r.detail().addField(QStringLiteral("nazwa"), QRect(0, 0, 500, 50), QStringLiteral("NAZWA"));
    }
    Report r;
    Group* g = nullptr;
};

// The names of a page's bands with the text of their first item, "band:text".
QStringList outline(const Page& page) {
    QStringList out;
    for (const PlacedBand& band : page.bands)
        out << band.name + u':' + band.texts().value(0);
    return out;
}

TEST(Report, PagesFollowTheBandHeightsAndRepeatTheGroupHeader) {
    for (const bool repeat : {true, false}) {
        SCOPED_TRACE(repeat);
        Layout l;
        l.g->repeatHeader = repeat;
        MemorySource source = rows({60, 2});
        const PageModel model = l.r.run(source);
        // From 100 to 2870 on a page: the headers end at 300, 51 details at 2850.
        ASSERT_EQ(model.pageCount(), 2);
        const Page& first = model.pages[0];
        EXPECT_EQ(first.bands.front().top, 100);
        EXPECT_EQ(first.bandsNamed(QStringLiteral("detail")).size(), 51u);
        EXPECT_EQ(first.bands.back().top + first.bands.back().height, 2850);
        QStringList second = outline(model.pages[1]).mid(0, 4);
        if (repeat)
            EXPECT_EQ(second, QStringList({"pageHeader:2", "columnHeader:Nazwa",
                                           "grupaHeader:A cd.", "detail:Wiersz 51"}));
        else
            EXPECT_EQ(second, QStringList({"pageHeader:2", "columnHeader:Nazwa", "detail:Wiersz 51",
                                           "detail:Wiersz 52"}));
        // The next group's header is printed once, not as a repeat.
        EXPECT_EQ(model.pages[1].bandsNamed(QStringLiteral("grupaHeader")).back()->texts(),
                  QStringList{"B"});
        // A detail goes to the next page whole; positions are in tenths from the paper's top.
        const PlacedBand* next = model.pages[1].bandsNamed(QStringLiteral("detail")).front();
        EXPECT_EQ(next->items.front().box, QRect(100, next->top, 500, 50));
    }
}

TEST(Report, SuppressedBandLeavesItsChildAndItsRulesRun) {
    Layout l;
    Band& child = l.r.detail().addChild(QStringLiteral("drugi"));
    child.addExpression(QStringLiteral("kwota"), QRect(0, 0, 500, 50), [&l] {
        return FormatValue(l.r.value(QStringLiteral("KWOTA")), QStringLiteral("0.00"));
    });
    l.r.detail().beforePrint = [&l] {
        return l.r.source().currentRow() % 2 == 0; // odd rows are suppressed
    };
    QList<bool> after;
    l.r.detail().afterPrint = [&after](bool printed) { after << printed; };
    MemorySource source = rows({3});
    const PageModel model = l.r.run(source);
    EXPECT_EQ(outline(model.pages[0]),
              QStringList({"pageHeader:1", "columnHeader:Nazwa", "grupaHeader:A", "detail:Wiersz 0",
                           "drugi:0.10", "drugi:1.10", "detail:Wiersz 2", "drugi:2.10",
                           "grupaFooter:", "summary:"}));
    EXPECT_EQ(after, QList<bool>({true, false, true}));
}

TEST(Report, SumsAndCountsResetPerGroupOrOnDemand) {
    Layout l;
    Band& footer = l.g->footer;
    Aggregate& groupSum = l.r.sum(QStringLiteral("KWOTA"), &footer);
    Aggregate& groupCount = l.r.count(&footer);
    Aggregate& total = l.r.sum(QStringLiteral("KWOTA"));
    Aggregate& running = l.r.count(); // reset by the group header's rule
    footer.addExpression(QStringLiteral("suma"), QRect(0, 0, 500, 50), [&] {
        return FormatScaled(groupSum.scaled(), QStringLiteral("0.00")) + u'/' +
               QString::number(groupCount.count());
    });
    l.g->header.afterPrint = [&](bool) { running.reset(); };
    l.r.detail().addExpression(QStringLiteral("lp"), QRect(600, 0, 100, 50),
                               [&] { return QString::number(running.count()); });
    l.r.summary().addExpression(QStringLiteral("ogolem"), QRect(0, 0, 500, 50), [&] {
        return FormatScaled(total.scaled(), QStringLiteral("# ### ##0.00"));
    });
    // The footer of a group that prints only with more than one row keeps its sums.
    footer.beforePrint = [&] { return groupCount.count() > 1; };

    MemorySource source = rows({3, 1, 2});
    const Page page = l.r.run(source).pages[0];
    QStringList footers;
    for (const PlacedBand* band : page.bandsNamed(QStringLiteral("grupaFooter")))
        footers << band->texts();
    // A: 0.10+1.10+2.10; B (one row, suppressed) carries over into C: 3.10+4.10+5.10.
    EXPECT_EQ(footers, QStringList({"3.30/3", "12.30/3"}));
    QStringList numbers;
    for (const PlacedBand* band : page.bandsNamed(QStringLiteral("detail")))
        numbers << band->text(QStringLiteral("lp"));
    EXPECT_EQ(numbers, QStringList({"1", "2", "3", "1", "1", "2"}));
    EXPECT_EQ(page.bandsNamed(QStringLiteral("summary")).front()->texts(), QStringList{"15.60"});
}

TEST(Report, ForcedNewPageAndPrintPosition) {
    Layout l;
    // Every group after the first starts a page; the first leaves no empty page behind.
    l.g->header.newPageBefore = true;
    // The last footer moves the print position past the page end.
    Tenths remaining = -1;
    l.g->footer.height = 50;
    l.g->footer.addLabel(QStringLiteral("stopka"), QRect(0, 0, 500, 50), QStringLiteral("Razem"));
    l.g->footer.afterPrint = [&](bool) {
        remaining = l.r.pageBottom() - l.r.position();
        if (!l.r.moreRows())
            l.r.setPosition(l.r.pageLength());
    };
    MemorySource source = rows({2, 1, 1});
    const PageModel model = l.r.run(source);
    ASSERT_EQ(model.pageCount(), 4);
    EXPECT_EQ(outline(model.pages[0]),
              QStringList({"pageHeader:1", "columnHeader:Nazwa", "grupaHeader:A", "detail:Wiersz 0",
                           "detail:Wiersz 1", "grupaFooter:Razem"}));
    EXPECT_EQ(outline(model.pages[2]),
              QStringList({"pageHeader:3", "columnHeader:Nazwa", "grupaHeader:C", "detail:Wiersz 3",
                           "grupaFooter:Razem"}));
    // The summary went to a page of its own after the position was moved past the end.
    EXPECT_EQ(outline(model.pages[3]),
              QStringList({"pageHeader:4", "columnHeader:Nazwa", "summary:"}));
    EXPECT_EQ(remaining, 2870 - (100 + 100 + 50 + 50 + 50 + 50));
    EXPECT_EQ(l.r.pageLength(), 2970);
}

// The carried totals of a payout list: when less than 40 mm remain after a person's first
// line, the second line, "Do przeniesienia" and a new page follow, and the next page repeats
// the same sum once under its captions.
TEST(Report, CarryOverAtThePageFoot) {
    Layout l;
    Aggregate& sum = l.r.sum(QStringLiteral("KWOTA"));
    QString carried;
    bool carry = false;
    bool fromCarry = false;
    l.r.detail().height = 100;
    l.r.detail().afterPrint = [&](bool) {
        if (l.r.pageBottom() - l.r.position() < 400) {
            carry = true;
            carried = FormatScaled(sum.scaled(), QStringLiteral("0.00"));
        }
    };
    l.r.detail().addChild(QStringLiteral("drugi")).height = 100;
    Band& to = l.r.detail().addChild(QStringLiteral("do"));
    to.addExpression(QStringLiteral("suma"), QRect(0, 0, 500, 50),
                     [&] { return QStringLiteral("Do przeniesienia ") + carried; });
    to.beforePrint = [&] { return carry; };
    to.afterPrint = [&](bool printed) {
        if (!printed)
            return;
        carry = false;
        fromCarry = true;
        l.r.newPage();
    };
    Band& from = l.r.columnHeader().addChild(QStringLiteral("z"));
    from.addExpression(QStringLiteral("suma"), QRect(0, 0, 500, 50),
                       [&] { return QStringLiteral("Z przeniesienia ") + carried; });
    from.beforePrint = [&] { return fromCarry; };
    from.afterPrint = [&](bool) { fromCarry = false; };

    MemorySource source = rows({20});
    const PageModel model = l.r.run(source);
    ASSERT_EQ(model.pageCount(), 2);
    const Page& first = model.pages[0];
    // From 300 to 2870: the 12th person's first line ends at 2600, leaving 270.
    EXPECT_EQ(first.bandsNamed(QStringLiteral("detail")).size(), 12u);
    EXPECT_EQ(outline(first).mid(first.bands.size() - 3),
              QStringList({"detail:Wiersz 11", "drugi:", "do:Do przeniesienia 67.20"}));
    EXPECT_EQ(outline(model.pages[1]).mid(0, 5),
              QStringList({"pageHeader:2", "columnHeader:Nazwa", "z:Z przeniesienia 67.20",
                           "detail:Wiersz 12", "drugi:"}));
    EXPECT_EQ(model.pages[1].bandsNamed(QStringLiteral("z")).size(), 1u);
    EXPECT_TRUE(model.pages[1].bandsNamed(QStringLiteral("do")).empty());
}

TEST(Report, LabelsMadeAndBoundWhilePrinting) {
    Layout l;
    Label* extra = nullptr;
    // Before the report: a label made at run time, bound to a field chosen then.
    l.r.beforeReport = [&] {
        extra = &l.r.detail().addField(QStringLiteral("d01"), QRect(600, 0, 300, 50), QString());
        extra->field = QStringLiteral("KWOTA");
        extra->format = [](const fb::Value& v) { return FormatValue(v, QStringLiteral("#0.00")); };
    };
    // The name shows only on the first row; the second row's text is set by the rule.
    l.r.detail().beforePrint = [&] {
        const int row = l.r.source().currentRow();
        Label& name = *l.r.detail().label(QStringLiteral("nazwa"));
        name.visible = row != 0;
        name.field = row == 1 ? QString() : QStringLiteral("NAZWA");
        name.text = QStringLiteral("Łączna kwota");
        return true;
    };
    MemorySource source = rows({3});
    const Page page = l.r.run(source).pages[0];
    const auto details = page.bandsNamed(QStringLiteral("detail"));
    ASSERT_EQ(details.size(), 3u);
    EXPECT_EQ(details[0]->texts(), QStringList{"0.10"});
    EXPECT_EQ(details[1]->texts(), QStringList({"Łączna kwota", "1.10"}));
    EXPECT_EQ(details[2]->texts(), QStringList({"Wiersz 2", "2.10"}));
}

TEST(Report, EmptySourcePrintsHeadersAndSummary) {
    Layout l;
    MemorySource source({QStringLiteral("GRUPA")}, {});
    const PageModel model = l.r.run(source);
    ASSERT_EQ(model.pageCount(), 1);
    EXPECT_EQ(model.pages[0].bandNames(), QStringList({"pageHeader", "columnHeader", "summary"}));
}

TEST(ListLayout, PageHeaderGroupsTotalsAndTheAmountInWords) {
    ListLayout list(QStringLiteral("Wykaz należności"),
                    {{QStringLiteral("NAZWA"), QStringLiteral("Nazwisko i imię"), 600, {}, false},
                     {QStringLiteral("KWOTA"), QStringLiteral("Kwota"), 300,
                      QStringLiteral("# ### ##0.00"), true}},
                    QStringLiteral("GRUPA"), QStringLiteral("KWOTA"));
    list.report.clock = [] { return QDateTime(QDate(2026, 12, 10), QTime(15, 4, 5)); };
    std::vector<std::vector<fb::Value>> data = {
        {QStringLiteral("Jednostka 1"), QStringLiteral("Źdźbło Łucja"), amount(100000)},
        {QStringLiteral("Jednostka 1"), QStringLiteral("Gęś Michał"), amount(23456)},
        {QStringLiteral("Jednostka 2"), QStringLiteral("Żuk Ścibor"), amount(0)}};
    MemorySource source({QStringLiteral("GRUPA"), QStringLiteral("NAZWA"), QStringLiteral("KWOTA")},
                        std::move(data));
    const PageModel model = list.report.run(source);
    ASSERT_EQ(model.pageCount(), 1);
    const Page& page = model.pages[0];
    EXPECT_EQ(page.bands[0].texts(),
              QStringList({"Strona nr 1", "Druk dn. 10.12.2026 15:04:05", "Wykaz należności"}));
    EXPECT_EQ(page.bands[2].texts(), QStringList{"Jednostka 1"});
    EXPECT_EQ(page.bands[3].texts(), QStringList({"1.", "Źdźbło Łucja", "1 000.00"}));
    EXPECT_EQ(page.bands[5].texts(), QStringList({"Razem (2)", "1 234.56"}));
    EXPECT_EQ(page.bands[7].texts(), QStringList({"1.", "Żuk Ścibor", "0.00"}));
    EXPECT_EQ(page.bandsNamed(QStringLiteral("summary")).front()->texts(),
              QStringList({"Ogółem (3)", "1 234.56"}));
    EXPECT_EQ(page.bands.back().name, QStringLiteral("slownie"));
    EXPECT_EQ(page.bands.back().texts(),
              QStringList{"Kwota słownie:   jeden tysiąc dwieście trzydzieści cztery złote "
                          "pięćdziesiąt sześć groszy "});
}

// A memo keeps its line breaks and breaks long lines within its box; a one-line label stays
// whole past its box.
TEST(Printing, MemoBreaksIntoLinesInThePdf) {
    Report r;
    r.summary().height = 300;
    r.summary()
        .addLabel(QStringLiteral("memo"), QRect(0, 0, 300, 300),
                  QStringLiteral("Zestawienie przydziałów na dzień 10.12.2026\nRp10"))
        .alignment = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
    r.summary().addLabel(QStringLiteral("wiersz"), QRect(1000, 0, 100, 50),
                         QStringLiteral("Wydział personalny, Szef sekcji, Sporządził"));
    r.summary().addFrame(QRect(0, 0, 300, 300));
    MemorySource none({QStringLiteral("A")}, {});
    QTemporaryDir dir;
    const QString file = dir.path() + QStringLiteral("/memo.pdf");
    ASSERT_TRUE(WritePdf(r.run(none), file));
    QProcess p;
    p.start(QStringLiteral(PDFTOTEXT),
            {QStringLiteral("-enc"), QStringLiteral("UTF-8"), file, QStringLiteral("-")});
    ASSERT_TRUE(p.waitForFinished(60000));
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    EXPECT_FALSE(text.contains(QStringLiteral("Zestawienie przydziałów na dzień")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("przydziałów"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("\nRp10\n"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Wydział personalny, Szef sekcji, Sporządził")));
}

TEST(Export, RowsInMemoryToTabSeparatedText) {
    QTemporaryDir dir;
    MemorySource source = rows({2});
    const QString file = dir.path() + QStringLiteral("/Rp.csv");
    EXPECT_EQ(ExportCsv(source, file), 2);
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromLatin1(f.readAll()), QStringLiteral("GRUPA\tNAZWA\tKWOTA\t\r\n"
                                                               "'A'\t'Wiersz 0'\t0,1\t\r\n"
                                                               "'A'\t'Wiersz 1'\t1,1\t\r\n"));
}

} // namespace
