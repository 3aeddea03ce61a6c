#include "report/Export.h"
#include "report/ListLayout.h"
#include "report/Printing.h"
#include "report/forms/TfmPodglad.h"
#include "support/CatalogueDb.h"
#include "support/QtPrint.h"
#include "support/WhenModal.h"
#include "ui/AppContext.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <gtest/gtest.h>

using namespace kzm::report;

namespace {

// The text of a PDF file as pdftotext reads it, the layout kept.
QString pdfText(const QString& file) {
    QProcess p;
    p.start(QStringLiteral(PDFTOTEXT), {QStringLiteral("-layout"), QStringLiteral("-enc"),
                                        QStringLiteral("UTF-8"), file, QStringLiteral("-")});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Two units (their keys given by the trigger) and seven persons with Polish names; the persons'
// list by unit over a query.
class PrintedListTest : public testdb::CatalogueDbTest {
protected:
    void SetUp() override {
        CatalogueDbTest::SetUp();
        dm.ListaScr = {"insert into KZM_JEDNOSTKI (ID, NUMER, GRUPA, NAZWA) values (0, 1, 0, "
                       "'Kompania Łączności')",
                       "insert into KZM_JEDNOSTKI (ID, NUMER, GRUPA, NAZWA) values (0, 2, 0, "
                       "'Batalion Źródło')"};
        const QStringList names = {"Żółkiewski Łukasz", "Gęślarz Ździsław", "Ćwik Óla",
                                   "Śliwa Ńina",        "Bąk Ęmil",         "Kowal Jan",
                                   "Nowak Źenon"};
        for (int i = 0; i < names.size(); ++i)
            dm.ListaScr << QStringLiteral("insert into KZM_KART (NR_OPER, NR_KARTY, IDJEDN, "
                                          "NAZWISKO) values (%1, %2, (select ID from KZM_JEDNOSTKI "
                                          "where NUMER = %3), '%4')")
                               .arg(1000 + i)
                               .arg(5000 + i)
                               .arg(i < 4 ? 1 : 2)
                               .arg(names[i]);
        ASSERT_TRUE(dm.RunScr(QStringLiteral("osoby"), true));
    }

    PageModel persons() {
        fb::Transaction tr(dm.IBBaza);
        fb::Query q(tr);
        q.setSql(QStringLiteral("select j.NAZWA as JEDNOSTKA, k.NR_OPER, k.NAZWISKO from "
                                "KZM_KART k join KZM_JEDNOSTKI j on j.ID = k.IDJEDN "
                                "order by j.NUMER, k.NAZWISKO"));
        q.open();
        return ListaZapytania(q, QStringLiteral("Wykaz osób według jednostek"),
                              QStringLiteral("JEDNOSTKA"));
    }
};

TEST_F(PrintedListTest, QueryListToPdfReadBackWithPolishLetters) {
    const PageModel model = persons();
    ASSERT_EQ(model.pageCount(), 1);
    EXPECT_EQ(model.pages[0].bandsNamed(QStringLiteral("detail")).size(), 7u);

    const QString file = home.path() + QStringLiteral("/wykaz.pdf");
    ASSERT_TRUE(WritePdf(model, file));
    const QString text = pdfText(file);
    for (const char* expected :
         {"Strona nr 1", "Wykaz osób według jednostek", "Kompania Łączności", "Batalion Źródło",
          "Żółkiewski Łukasz", "Gęślarz Ździsław", "Ćwik Óla", "Śliwa Ńina", "Nowak Źenon",
          "Razem (4)", "Razem (3)", "Ogółem (7)"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected;
    // Within a group the rows keep the query's order, each on its own line below the header.
    EXPECT_LT(text.indexOf(QStringLiteral("Kompania Łączności")),
              text.indexOf(QStringLiteral("Ćwik Óla")));
    EXPECT_LT(text.indexOf(QStringLiteral("Ćwik Óla")), text.indexOf(QStringLiteral("Śliwa")));
    EXPECT_FALSE(WritePdf(model, home.path() + QStringLiteral("/brak/wykaz.pdf")));
}

TEST_F(PrintedListTest, QueryRowsToTabSeparatedText) {
    fb::Transaction tr(dm.IBBaza);
    fb::Query q(tr);
    q.setSql(QStringLiteral("select NR_OPER, NAZWISKO from KZM_KART order by NR_OPER"));
    q.open();
    QuerySource rows(q);
    const QString file = home.path() + QStringLiteral("/Rp.csv");
    EXPECT_EQ(ExportCsv(rows, file), 7);
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromLatin1(f.readAll()).split(QStringLiteral("\r\n"));
    EXPECT_EQ(lines.value(0), QStringLiteral("NR_OPER\tNAZWISKO\t"));
    EXPECT_TRUE(lines.value(1).startsWith(QStringLiteral("1000\t")));
}

TEST_F(PrintedListTest, PreviewShowsThePagesOnTheChosenPrinter) {
    kzm::AppContext ctx(s, dm);
    ctx.printers = {QStringLiteral("Biuro"), kzm::AppContext::pdfPrinterName()};
    ctx.selectedPrinter = 0;
    PageModel model = persons();
    {
        // A landscape report turns the preview's pages.
        PageModel landscape = model;
        landscape.orientation = QPageLayout::Landscape;
        TfmPodglad turned(ctx, landscape);
        turned.show();
        QCoreApplication::processEvents();
        EXPECT_EQ(turned.findChild<QPrintPreviewWidget*>()->orientation(), QPageLayout::Landscape);
    }
    TfmPodglad preview(ctx, model);
    EXPECT_TRUE(preview.pdfFile().isEmpty());
    EXPECT_TRUE(preview.printer()->fullPage());
    preview.resize(900, 700);
    preview.show();
    QCoreApplication::processEvents();
    auto* widget = preview.findChild<QPrintPreviewWidget*>();
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->pageCount(), 1);
    EXPECT_EQ(widget->orientation(), QPageLayout::Portrait);
    QStringList buttons;
    for (const QAction* action : preview.findChildren<QAction*>())
        buttons << action->toolTip();
    EXPECT_TRUE(buttons.contains(QStringLiteral("Drukuj")));
    EXPECT_FALSE(buttons.contains(QStringLiteral("Print")));

    const QString folder = qEnvironmentVariable("KZM_SCREENSHOTS");
    if (!folder.isEmpty()) {
        QDir().mkpath(folder);
        widget->setZoomMode(QPrintPreviewWidget::FitToWidth);
        QCoreApplication::processEvents();
        EXPECT_TRUE(preview.grab().save(folder + QStringLiteral("/podglad.png")));
    }
}

TEST_F(PrintedListTest, PdfEntryWritesTheFileInTmpAndSaysWhere) {
    kzm::AppContext ctx(s, dm);
    ctx.printers = {kzm::AppContext::pdfPrinterName()};
    ctx.selectedPrinter = 0;
    testdb::WhenModal close([](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
    const QString file = PokazRaport(ctx, persons());
    ASSERT_FALSE(file.isEmpty());
    EXPECT_TRUE(file.startsWith(s.tmpDir)) << file.toStdString();
    EXPECT_TRUE(pdfText(file).contains(QStringLiteral("Żółkiewski Łukasz")));
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0], QStringLiteral("Wydruk zapisano w pliku ") + file);
}

TEST_F(PrintedListTest, AdminToolPrintsTheListOfPersons) {
    dm.IBBaza.disconnect(); // the embedded database is opened by one process at a time
    const QString file = home.path() + QStringLiteral("/demo.pdf");
    QProcess p;
    p.start(QStringLiteral(KZM_ADMIN),
            {QStringLiteral("raport-demo"), s.dbPath, file, QStringLiteral("--home"), home.path()});
    ASSERT_TRUE(p.waitForFinished(120000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    const QString text = pdfText(file);
    EXPECT_TRUE(text.contains(QStringLiteral("Wykaz osób")));
    EXPECT_TRUE(text.contains(QStringLiteral("Batalion Źródło")));
    EXPECT_TRUE(text.contains(QStringLiteral("Gęślarz Ździsław")));
}

} // namespace
