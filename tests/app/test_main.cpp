#include "app/TfmLog.h"
#include "app/TfmMain.h"
#include "core/Literals.h"
#include "db/Tdmu.h"
#include "support/MainWindowDb.h"
#include "support/QtPrint.h"
#include "support/WhenModal.h"
#include "support/Widgets.h"
#include "ui/AppContext.h"
#include "ui/AppInfo.h"
#include "ui/FunctionWindow.h"
#include "ui/HelpWindow.h"
#include "ui/KzmApplication.h"
#include "ui/TfmInfProg.h"
#include "ui/TfmSF.h"
#include "ui/TfmUwaga.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTextBrowser>

#include <gtest/gtest.h>

using namespace kzm;
using testdb::Child;

namespace {

// A function window standing in for the windows of the later parts of the program.
class TestWindow : public FunctionWindow {
public:
    TestWindow(TfmMain& main, const QString& name, const QString& caption, int* childrenClosed)
        : FunctionWindow(main, name, caption), childrenClosed_(childrenClosed) {}
    void CloseChildren() override {
        if (childrenClosed_)
            ++*childrenClosed_;
    }

private:
    int* childrenClosed_;
};

class MainTest : public testdb::MainWindowTest {
protected:
    MainTest() { systemPrinters = {QStringLiteral("Biuro"), QStringLiteral("Kuchnia")}; }

    void start() { startMain(); }

    int histRows(const QString& text) {
        return dm.ReadInteger(
            "n", QStringLiteral("select count(*) as n from kzm_hist where tekst=") + SqlStr(text),
            -1);
    }

    TestWindow* windowFor(FunctionSlot slot, const QString& name, const QString& caption) {
        main->setFactory(slot, [this, name, caption](TfmMain& m) {
            return new TestWindow(m, name, caption, &childrenClosed);
        });
        main->OpenFunction(slot);
        settle();
        return static_cast<TestWindow*>(main->functionWindow(slot));
    }

    int childrenClosed = 0;
};

TEST_F(MainTest, TheStartLeavesTitlePrintersUtilityModuleAndAStartEntry) {
    const int starts = histRows("Start"); // the template's own start
    start();
    EXPECT_EQ(main->windowTitle(), "Pelto KZM  2.3 [24.129]");
    EXPECT_TRUE(ctx.dmu != nullptr);
    EXPECT_GT(ctx.connectionNumber, 0);
    EXPECT_GT(ctx.transactionNumber, 0);
    EXPECT_EQ(ctx.printers, QStringList({"Biuro", "Kuchnia", AppContext::pdfPrinterName()}));
    EXPECT_EQ(Child<QComboBox>(main.get(), "cbDrukarki")->count(), 3);
    EXPECT_EQ(ctx.selectedPrinter, 0) << "nothing remembered: the first printer";
    EXPECT_EQ(histRows("Start"), starts + 1);
    EXPECT_EQ(s.errContext.form, "fmMain");
    EXPECT_TRUE(Child<QPushButton>(main.get(), "btnWyjscie")->hasFocus());
    EXPECT_EQ(main->chCaption(), "");
    EXPECT_EQ(main->lamp(), QColor(0, 128, 0));
    EXPECT_TRUE(main->windowState() & Qt::WindowMaximized);
    // Maximised or not by the platform, the window takes the whole working area.
    EXPECT_EQ(main->frameGeometry(), main->screen()->availableGeometry());

    // The information label is the one the data module's messages go to.
    EXPECT_FALSE(Child<QLabel>(main.get(), "lbInfo")->isVisible());
    dm.SayInf(QStringLiteral("Sprawdzanie tabel"));
    EXPECT_TRUE(Child<QLabel>(main.get(), "lbInfo")->isVisible());
    EXPECT_EQ(Child<QLabel>(main.get(), "lbInfo")->text(), "Sprawdzanie tabel...");

    main->close();
    EXPECT_EQ(histRows("Koniec"), 1);
}

TEST_F(MainTest, ALoginThatEndsTheProgramLeavesNoStartEntry) {
    const int starts = histRows("Start");
    main->login = [this] { s.terminate = true; };
    EXPECT_FALSE(main->Start());
    EXPECT_TRUE(s.terminate);
    EXPECT_EQ(histRows("Start"), starts);
    EXPECT_TRUE(ctx.dmu == nullptr);
}

TEST_F(MainTest, TheRememberedPrinterIsChosenByExactNameAndAChoiceIsRemembered) {
    const struct {
        const char* remembered;
        int index;
    } cases[] = {{"Kuchnia", 1}, {"kuchnia", -1}, {"Magazyn", -1}, {"Plik PDF (Tmp)", 2}};
    for (const auto& c : cases) {
        s.ini.writeString("Main", "DefaultPrinter", QString::fromUtf8(c.remembered));
        TfmMain m(ctx);
        m.login = [this] { s.connectionStatus = Status::connected; };
        ASSERT_TRUE(m.Start());
        EXPECT_EQ(ctx.selectedPrinter, c.index) << c.remembered;
        EXPECT_EQ(Child<QComboBox>(&m, "cbDrukarki")->currentIndex(), c.index) << c.remembered;
    }
    start();
    Child<QComboBox>(main.get(), "cbDrukarki")->setCurrentIndex(2);
    EXPECT_EQ(ctx.selectedPrinter, 2);
    EXPECT_TRUE(ctx.pdfPrinterSelected());
    EXPECT_EQ(s.ini.readString("Main", "DefaultPrinter", QString()), AppContext::pdfPrinterName());
}

TEST_F(MainTest, ThePathCaptionGrowsAndShrinksByParts) {
    start();
    main->SetChCaption(QStringLiteral("Wykazy"));
    EXPECT_EQ(main->chCaption(), "Wykazy") << "no separator on an empty caption";
    main->SetChCaption(QStringLiteral("Osoby"));
    EXPECT_EQ(main->chCaption(), "Wykazy / Osoby");
    main->RemChCaption();
    EXPECT_EQ(main->chCaption(), "Wykazy");
    main->RemChCaption();
    EXPECT_EQ(main->chCaption(), "");
    main->RemChCaption();
    EXPECT_EQ(main->chCaption(), "");
    main->SetChCaption(QStringLiteral("Dane"));
    main->SetChCaption(QStringLiteral("Plan"));
    main->ClrChCaption();
    EXPECT_EQ(main->chCaption(), "");
}

// A window that takes the key handler gets the keys the main window receives, until it gives
// it back; a key it leaves unhandled does not come round again.
TEST_F(MainTest, TheKeyHandlerPassesTheMainWindowsKeysToTheWindowHoldingIt) {
    start();
    class KeyCounter : public QWidget {
    public:
        using QWidget::QWidget;
        QList<int> pressed, released;

    protected:
        void keyPressEvent(QKeyEvent* e) override {
            pressed << e->key();
            e->ignore(); // unhandled: up to the parent, the main window
        }
        void keyReleaseEvent(QKeyEvent* e) override {
            released << e->key();
            e->ignore();
        }
    };
    auto* list = new KeyCounter(Child<QWidget>(main.get(), "pnClient"));
    auto* other = new KeyCounter(Child<QWidget>(main.get(), "pnClient"));
    list->setFocusPolicy(Qt::StrongFocus);
    list->show();
    QApplication::setActiveWindow(main.get());
    Child<QPushButton>(main.get(), "btnWyjscie")->setFocus();
    QTest::keyClick(Child<QPushButton>(main.get(), "btnWyjscie"), Qt::Key_Insert);
    EXPECT_TRUE(list->pressed.isEmpty()) << "nothing passed before the handler is taken";

    main->TakeKeys(list);
    QTest::keyClick(Child<QPushButton>(main.get(), "btnWyjscie"), Qt::Key_Insert);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Escape);
    Child<QPushButton>(main.get(), "btnWyjscie")->setFocus();
    EXPECT_EQ(list->pressed, QList<int>({Qt::Key_Insert, Qt::Key_Escape}));
    EXPECT_EQ(list->released, QList<int>({Qt::Key_Insert, Qt::Key_Escape}));

    main->GiveKeysBack(other);
    EXPECT_EQ(main->keyHandler(), list) << "only the holder gives it back";
    main->GiveKeysBack(list);
    QTest::keyClick(Child<QPushButton>(main.get(), "btnWyjscie"), Qt::Key_Delete);
    EXPECT_EQ(list->pressed.size(), 2);
    EXPECT_TRUE(other->pressed.isEmpty());
}

TEST_F(MainTest, FunctionWindowsOpenOneAtATimeInsideTheClientArea) {
    start();
    for (int i = 0; i < functionSlotCount; ++i)
        EXPECT_FALSE(main->button(static_cast<FunctionSlot>(i))->isEnabled())
            << "a button without its window is disabled: " << i;

    QPointer<TestWindow> lists = windowFor(FunctionSlot::Wykazy, "fmWykazy", "Wykazy");
    EXPECT_TRUE(main->button(FunctionSlot::Wykazy)->isEnabled());
    ASSERT_FALSE(lists.isNull());
    EXPECT_EQ(lists->parentWidget(), Child<QWidget>(main.get(), "pnClient"));
    EXPECT_TRUE(lists->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(lists->isVisible());
    EXPECT_EQ(main->chCaption(), "Wykazy");
    EXPECT_EQ(s.errContext.form, "fmWykazy");

    // The button of an open window does nothing; the data hub's closes the hub's children.
    main->button(FunctionSlot::Wykazy)->click();
    EXPECT_EQ(main->functionWindow(FunctionSlot::Wykazy), lists.data());
    QPointer<TestWindow> data = windowFor(FunctionSlot::Dane, "fmDane", "Dane");
    EXPECT_TRUE(lists.isNull()) << "opening a window closes the others";
    EXPECT_EQ(main->chCaption(), "Dane");
    main->button(FunctionSlot::Dane)->click();
    EXPECT_EQ(childrenClosed, 1);
    EXPECT_EQ(main->functionWindow(FunctionSlot::Dane), data.data());

    QPointer<TestWindow> params = windowFor(FunctionSlot::Parametry, "fmParam", "Parametry");
    EXPECT_TRUE(data.isNull());
    EXPECT_EQ(params->windowTitle(), "Parametry");

    // The file selection dialog goes with the others and is made again when needed.
    TfmSF* sf = &ctx.fmSF();
    EXPECT_TRUE(ctx.hasFmSF());
    main->CloseLastForm();
    settle();
    EXPECT_TRUE(params.isNull());
    EXPECT_FALSE(ctx.hasFmSF());
    EXPECT_EQ(main->chCaption(), "");
    EXPECT_NE(&ctx.fmSF(), nullptr);
    (void)sf;
}

TEST_F(MainTest, WhileRegistrationRunsTheMainWindowRefusesToCloseAndKeepsTheTerminalWindow) {
    start();
    QPointer<TestWindow> terminal = windowFor(FunctionSlot::Rejestrator, "fmTQ200", "Rejestrator");
    EXPECT_EQ(Child<QWidget>(main.get(), "pnClient")->palette().color(QPalette::Window),
              QColor(166, 202, 240));
    ctx.registrationRunning = true;
    main->setKeptWindow(QStringLiteral("fmTQ200"));
    terminal->hide(); // as the terminal window does when asked to close while running

    // Only the main and the terminal window: nothing is closed, the terminal comes forward.
    EXPECT_FALSE(main->close());
    EXPECT_TRUE(main->isVisible());
    ASSERT_FALSE(terminal.isNull());
    EXPECT_TRUE(terminal->isVisible());

    // A third window is closed; the kept terminal window survives the navigation.
    QPointer<TestWindow> lists = windowFor(FunctionSlot::Wykazy, "fmWykazy", "Wykazy");
    EXPECT_FALSE(terminal.isNull());
    EXPECT_FALSE(main->close());
    settle();
    EXPECT_TRUE(lists.isNull());
    EXPECT_FALSE(terminal.isNull());
    EXPECT_EQ(histRows("Koniec"), 0);

    // Once the run has stopped the main window closes and takes the terminal window along.
    ctx.registrationRunning = false;
    main->setKeptWindow(QString());
    EXPECT_TRUE(main->close());
    settle();
    EXPECT_TRUE(terminal.isNull());
    EXPECT_EQ(histRows("Koniec"), 1);
}

TEST_F(MainTest, TheErrorHandlerLogsTwiceShowsAndAsksWhetherToEnd) {
    start();
    const QString expected = QStringLiteral("FORM : ;  , \r\n!!!!!!!!!!! Nie można otworzyć pliku");
    EXPECT_EQ(TfmMain::ErrorText({}, QStringLiteral("Nie można otworzyć pliku")), expected);
    EXPECT_EQ(TfmMain::ErrorText({"fmPlan", "aSave", "12"}, QStringLiteral("x")),
              "FORM :fmPlan ; aSave , 12\r\n!!!!!!!!!!! x");

    for (const bool stop : {false, true}) {
        s.SetErrContext(QString(), QString(), QString());
        QColor colour;
        testdb::WhenModal answer([&](QWidget* w) {
            auto* uwaga = qobject_cast<TfmUwaga*>(w);
            ASSERT_NE(uwaga, nullptr);
            colour = uwaga->palette().color(QPalette::Window);
            QTest::keyClick(w, stop ? Qt::Key_Return : Qt::Key_Escape);
        });
        main->ApplicationError(QStringLiteral("Nie można otworzyć pliku"));
        EXPECT_TRUE(answer.ran());
        EXPECT_FALSE(answer.timedOut());
        EXPECT_EQ(colour, QColor(255, 0, 0));
        EXPECT_EQ(terminated, stop ? 1 : 0);
    }
    EXPECT_EQ(errors, QStringList({"Nie można otworzyć pliku", "Nie można otworzyć pliku"}));
    EXPECT_EQ(s.errContext.form, "");
    // Each error: the text itself and the log line with its prefixes.
    EXPECT_EQ(histRows(expected), 2);
    EXPECT_EQ(dm.ReadInteger("n",
                             "select count(*) as n from kzm_hist where tekst like "
                             "'[ 2.3 [24.129]] %FORM : ;  , %'",
                             -1),
              2);
    EXPECT_TRUE(log().contains(expected));
}

TEST_F(MainTest, AnErrorLeavingAHandlerReachesTheErrorHandlerAndLeavesNoFile) {
    start();
    auto* app = static_cast<KzmApplication*>(QCoreApplication::instance());
    app->errorHandler = [this](const QString& m) { main->ApplicationError(m); };
    const QString target = home.path() + QStringLiteral("/Brak/Stan.xls");
    QPushButton export_(QStringLiteral("Eksport"));
    QObject::connect(&export_, &QPushButton::clicked, [&] {
        s.SetErrContext(QStringLiteral("fmExpoStan"), QStringLiteral("btnRunClick"), QString());
        ASSERT_TRUE(dm.OpenQ(dm.IBQ, "select ID, TEKST from KZM_HIST"));
        dm.ExportXls(dm.IBQ, target, nullptr, true, QStringLiteral("Historia"));
    });
    export_.show();
    testdb::WhenModal answer([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    QTest::mouseClick(&export_, Qt::LeftButton);
    app->errorHandler = nullptr;
    EXPECT_TRUE(answer.ran());
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith("Nie można zapisać pliku ")) << errors[0].toStdString();
    EXPECT_EQ(terminated, 0) << "answered: go on";
    EXPECT_TRUE(log().contains("FORM :fmExpoStan ; btnRunClick , \r\n!!!!!!!!!!! Nie można"));
    EXPECT_FALSE(QFile::exists(target));
}

TEST_F(MainTest, TheInfoMenuShowsTheAboutBoxAndTheHelp) {
    start();
    const QList<QAction*> actions = Child<QMenu>(main.get(), "pmInfo")->actions();
    ASSERT_EQ(actions.size(), 2);
    EXPECT_EQ(actions[0]->text(), "O programie");
    EXPECT_EQ(actions[1]->text(), "Pomoc");

    QString about;
    testdb::WhenModal close([&](QWidget* w) {
        about = w->objectName();
        static_cast<QDialog*>(w)->accept();
    });
    actions[0]->trigger();
    EXPECT_EQ(about, "fmInfProg");

    actions[1]->trigger();
    EXPECT_EQ(shown, QStringList({"Brak pliku z pomocą"}));

    QDir().mkpath(s.helpDir);
    QFile page(s.helpDir + QStringLiteral("index.html"));
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.write("<html><body><h1>Spis treści</h1></body></html>");
    page.close();
    actions[1]->trigger();
    auto* help = main->findChild<HelpWindow*>();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(Child<QTextBrowser>(help, "reHelp")->toPlainText().contains("Spis treści"));
    help->close();
}

} // namespace

namespace {

// The pictures of the README: KZM_SCREENSHOTS names the folder they are written to.
TEST_F(MainTest, ScreenshotsOfTheLoginAndTheMainWindow) {
    const QString folder = qEnvironmentVariable("KZM_SCREENSHOTS");
    if (folder.isEmpty())
        GTEST_SKIP() << "KZM_SCREENSHOTS unset";
    QDir().mkpath(folder);

    s.dbPath = QStringLiteral("/srv/kzm/Baza/BazaOxle.GDB");
    QPointer<TfmLog> login = new TfmLog(s, dm);
    login->show();
    QCoreApplication::processEvents();
    EXPECT_TRUE(login->grab().save(folder + QStringLiteral("/login.png")));
    Child<QPushButton>(login, "btnZamknij")->click();
    s.terminate = false;

    start();
    main->setWindowState(Qt::WindowNoState);
    main->resize(1100, 640);
    main->SetChCaption(QStringLiteral("Wykazy"));
    QCoreApplication::processEvents();
    EXPECT_TRUE(main->grab().save(folder + QStringLiteral("/main.png")));
}

} // namespace
