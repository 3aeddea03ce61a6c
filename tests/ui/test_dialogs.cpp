#include "core/Session.h"
#include "support/QtPrint.h"
#include "support/WhenModal.h"
#include "support/Widgets.h"
#include "ui/AppInfo.h"
#include "ui/TfmInfProg.h"
#include "ui/TfmSF.h"
#include "ui/TfmUwaga.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

#include <functional>
#include <gtest/gtest.h>

using namespace kzm;
using testdb::Child;

namespace {

using testdb::WhenModal;

// Counts the times a widget is shown.
class ShowCounter : public QObject {
public:
    int shows = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show)
            ++shows;
        return QObject::eventFilter(watched, event);
    }
};

bool HasLabel(const QWidget* window, const QString& text) {
    for (const QLabel* label : window->findChildren<QLabel*>()) {
        if (label->text() == text)
            return true;
    }
    return false;
}

// ---------------------------------------------------------------------------------------------
// The confirmation dialog

// What the dialog looked like while it was shown.
struct UwagaSeen {
    QString text;
    int textHeight = 0;
    int barHeight = 0;
    int windowHeight = 0;
    Qt::ScrollBarPolicy vertical = Qt::ScrollBarAsNeeded;
    bool verticalVisible = false;
    bool horizontalVisible = false;
    bool allCentred = false;
    bool ok = false, yes = false, no = false;
    QString yesText, noText;
    QColor background;
    QPoint centre;
    QString title;
};

UwagaSeen Look(const TfmUwaga& dlg) {
    UwagaSeen seen;
    QTextEdit* area = Child<QTextEdit>(&dlg, "meText");
    seen.text = area->toPlainText();
    seen.textHeight = area->height();
    seen.barHeight = Child<QWidget>(&dlg, "pnBar")->height();
    seen.windowHeight = dlg.height();
    seen.vertical = area->verticalScrollBarPolicy();
    seen.verticalVisible = area->verticalScrollBar()->isVisible();
    seen.horizontalVisible = area->horizontalScrollBar()->isVisible();
    seen.allCentred = true;
    for (QTextBlock b = area->document()->begin(); b.isValid(); b = b.next())
        seen.allCentred = seen.allCentred && b.blockFormat().alignment() == Qt::AlignHCenter;
    seen.ok = Child<QLabel>(&dlg, "pnOK")->isVisible();
    seen.yes = Child<QLabel>(&dlg, "pnTak")->isVisible();
    seen.no = Child<QLabel>(&dlg, "pnNie")->isVisible();
    seen.yesText = Child<QLabel>(&dlg, "pnTak")->text();
    seen.noText = Child<QLabel>(&dlg, "pnNie")->text();
    seen.background = dlg.palette().color(QPalette::Window);
    seen.centre = dlg.frameGeometry().center();
    seen.title = dlg.windowTitle();
    return seen;
}

// Asks, records what was shown and answers with `answer` (Enter unless told).
bool AskAndLook(TfmUwaga& dlg, const QString& text, const QColor& colour, bool question,
                UwagaSeen* seen, std::function<void(TfmUwaga&)> answer = {}) {
    WhenModal script([&](QWidget*) {
        *seen = Look(dlg);
        if (answer)
            answer(dlg);
        else
            QTest::keyClick(Child<QTextEdit>(&dlg, "meText"), Qt::Key_Return);
    });
    const bool result = dlg.Ask(text, colour, question);
    EXPECT_TRUE(script.ran());
    EXPECT_FALSE(script.timedOut());
    return result;
}

TEST(TfmUwaga, LineHeightFollowsTheFontSizeTable) {
    const std::pair<int, int> table[] = {{6, 11},  {7, 13},  {8, 15},  {9, 16},  {10, 17},
                                         {11, 18}, {12, 19}, {13, 22}, {14, 23}, {5, 0},
                                         {15, 0},  {16, 0},  {0, 0}};
    for (auto [size, height] : table)
        EXPECT_EQ(UwagaLineHeight(size), height) << "size " << size;

    TfmUwaga dlg;
    EXPECT_EQ(dlg.objectName(), QStringLiteral("fmUwaga"));
    const QFont font = Child<QTextEdit>(&dlg, "meText")->font();
    EXPECT_EQ(font.family(), QStringLiteral("Arial"));
    EXPECT_EQ(font.pointSize(), 14);
    EXPECT_TRUE(font.bold());
    EXPECT_EQ(dlg.lineHeight(), 23);
    EXPECT_TRUE(Child<QTextEdit>(&dlg, "meText")->isReadOnly());
}

TEST(TfmUwaga, HasNoTitleBarButtons) {
    TfmUwaga dlg;
    const Qt::WindowFlags flags = dlg.windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::CustomizeWindowHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowContextHelpButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinMaxButtonsHint));
}

TEST(TfmUwaga, EmptyTextWithoutLinesReturnsFalseWithoutShowing) {
    TfmUwaga dlg;
    ShowCounter counter;
    dlg.installEventFilter(&counter);
    WhenModal script([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Return); });
    EXPECT_FALSE(dlg.Ask(QString()));
    EXPECT_FALSE(dlg.Ask(QString(), UwagaRed, true));
    EXPECT_EQ(counter.shows, 0);
    EXPECT_FALSE(script.ran());
    EXPECT_FALSE(dlg.isQuestion());
}

TEST(TfmUwaga, TextAreaHeightFollowsTheLinesUpToThreeHundredPixels) {
    QStringList twenty, twelve, thirteen;
    for (int i = 1; i <= 20; ++i) {
        const QString line = QStringLiteral("Wiersz %1").arg(i);
        twenty << line;
        if (i <= 12)
            twelve << line;
        if (i <= 13)
            thirteen << line;
    }
    struct Case {
        QString text;
        QString shown;
        int textHeight;
        bool capped;
    };
    const Case cases[] = {
        {QStringLiteral("Jedna linia"), QStringLiteral("Jedna linia"), 2 * 23, false},
        {QStringLiteral("a\r\nb\rc\nd"), QStringLiteral("a\nb\nc\nd"), 5 * 23, false},
        {QStringLiteral("Koniec wiersza\r\n"), QStringLiteral("Koniec wiersza"), 2 * 23, false},
        {QStringLiteral("Wystąpił błąd \rBrak tabeli\rCzy przerwać pracę programu?"),
         QStringLiteral("Wystąpił błąd \nBrak tabeli\nCzy przerwać pracę programu?"), 4 * 23,
         false},
        {twelve.join(QStringLiteral("\r\n")), twelve.join(u'\n'), 13 * 23, false},
        {thirteen.join(QStringLiteral("\r\n")), thirteen.join(u'\n'), 300, true},
        {twenty.join(QStringLiteral("\r\n")), twenty.join(u'\n'), 300, true},
    };
    TfmUwaga dlg;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        UwagaSeen seen;
        EXPECT_TRUE(AskAndLook(dlg, c.text, UwagaTeal, false, &seen));
        EXPECT_EQ(seen.text, c.shown);
        EXPECT_EQ(seen.textHeight, c.textHeight);
        EXPECT_EQ(seen.windowHeight, seen.barHeight + c.textHeight + 30);
        EXPECT_EQ(seen.vertical, c.capped ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
        EXPECT_EQ(seen.verticalVisible, c.capped);
        EXPECT_FALSE(seen.horizontalVisible);
        EXPECT_TRUE(seen.allCentred);
        EXPECT_TRUE(seen.title.isEmpty());
        EXPECT_FALSE(dlg.HasLines());
    }
}

TEST(TfmUwaga, LongServerLinesWrapWithoutLosingTheLastLine) {
    const QString server =
        QStringLiteral("Nie można połączyć się z bazą danych: brak pliku bazy danych lub brak "
                       "dostępu do niego\r\nI/O error during \"open\" operation for file "
                       "\"/srv/kzm/Baza/BazaOxle.GDB\"\r\n-Error while trying to open file\r\n"
                       "-No such file or directory, the last line of the message");
    const QString many = (server + QStringLiteral("\r\n")).repeated(4) + QStringLiteral("Koniec");
    TfmUwaga dlg;
    for (const QString& text : {server, many}) {
        bool fits = false, scrolls = false;
        WhenModal script([&](QWidget*) {
            QTextEdit* area = Child<QTextEdit>(&dlg, "meText");
            fits = area->document()->size().height() <= area->viewport()->height();
            scrolls =
                area->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn && area->height() == 300;
            QTest::keyClick(area, Qt::Key_Return);
        });
        dlg.Ask(text, UwagaTeal, false);
        EXPECT_TRUE(script.ran());
        EXPECT_TRUE(fits || scrolls) << text.size();
        EXPECT_EQ(scrolls, text == many);
    }
}

TEST(TfmUwaga, IsCentredOnTheScreen) {
    TfmUwaga dlg;
    UwagaSeen seen;
    AskAndLook(dlg, QStringLiteral("Środek ekranu"), UwagaTeal, false, &seen);
    const QPoint screenCentre = QGuiApplication::primaryScreen()->availableGeometry().center();
    EXPECT_LE((seen.centre - screenCentre).manhattanLength(), 2)
        << seen.centre.x() << "," << seen.centre.y();
}

TEST(TfmUwaga, QuestionIsAnsweredByEnterAndEscape) {
    struct Case {
        const char* name;
        std::function<void(TfmUwaga&)> answer;
        bool expected;
    };
    const Case cases[] = {
        {"Return in the text area",
         [](TfmUwaga& d) { QTest::keyClick(Child<QTextEdit>(&d, "meText"), Qt::Key_Return); },
         true},
        {"keypad Enter in the text area",
         [](TfmUwaga& d) {
             QTest::keyClick(Child<QTextEdit>(&d, "meText"), Qt::Key_Enter, Qt::KeypadModifier);
         },
         true},
        {"Escape in the text area",
         [](TfmUwaga& d) { QTest::keyClick(Child<QTextEdit>(&d, "meText"), Qt::Key_Escape); },
         false},
        {"Return to the window", [](TfmUwaga& d) { QTest::keyClick(&d, Qt::Key_Return); }, true},
        {"Escape to the window", [](TfmUwaga& d) { QTest::keyClick(&d, Qt::Key_Escape); }, false},
    };
    TfmUwaga dlg;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UwagaSeen seen;
        EXPECT_EQ(AskAndLook(dlg, QStringLiteral("Czy naprawdę skasować?"), UwagaRed, true, &seen,
                             c.answer),
                  c.expected);
        EXPECT_FALSE(seen.ok);
        EXPECT_TRUE(seen.yes);
        EXPECT_TRUE(seen.no);
        EXPECT_EQ(seen.yesText, QStringLiteral("Enter - Tak"));
        EXPECT_EQ(seen.noText, QStringLiteral("Escape - Nie"));
        EXPECT_FALSE(dlg.isVisible());
        EXPECT_FALSE(dlg.isQuestion());
    }
}

TEST(TfmUwaga, PlainMessageAfterAQuestionShowsOkAgain) {
    TfmUwaga dlg;
    UwagaSeen question;
    EXPECT_FALSE(AskAndLook(
        dlg, QStringLiteral("Czy przerwać pracę programu?"), UwagaRed, true, &question,
        [](TfmUwaga& d) { QTest::keyClick(Child<QTextEdit>(&d, "meText"), Qt::Key_Escape); }));
    EXPECT_TRUE(question.yes);

    UwagaSeen message;
    EXPECT_TRUE(AskAndLook(dlg, QStringLiteral("Dane zapisane"), QColor(), false, &message));
    EXPECT_TRUE(message.ok);
    EXPECT_FALSE(message.yes);
    EXPECT_FALSE(message.no);
}

TEST(TfmUwaga, PanelsActAsTheirKeys) {
    struct Case {
        const char* name;
        bool question;
        const char* panel;
        bool expected;
    };
    const Case cases[] = {
        {"Enter - Tak", true, "pnTak", true},
        {"Escape - Nie", true, "pnNie", false},
        {"OK after an answered Enter", false, "pnOK", false},
    };
    TfmUwaga dlg;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UwagaSeen seen;
        // An Enter answered just before must not carry over to a click on "OK".
        EXPECT_TRUE(AskAndLook(dlg, QStringLiteral("Poprzednie"), UwagaTeal, false, &seen));
        EXPECT_EQ(AskAndLook(dlg, QStringLiteral("Pytanie"), UwagaRed, c.question, &seen,
                             [&](TfmUwaga& d) {
                                 QTest::mouseClick(Child<QLabel>(&d, c.panel), Qt::LeftButton);
                             }),
                  c.expected);
        EXPECT_FALSE(dlg.isVisible());
    }
}

TEST(TfmUwaga, AddedLinesAreShownByAnEmptyAsk) {
    TfmUwaga dlg;
    EXPECT_FALSE(dlg.HasLines());
    dlg.AddLine(QStringLiteral("Pierwsza linia"));
    dlg.AddLine(QStringLiteral("Żółta linia"));
    EXPECT_TRUE(dlg.HasLines());

    UwagaSeen seen;
    EXPECT_TRUE(AskAndLook(dlg, QString(), UwagaTeal, false, &seen));
    EXPECT_EQ(seen.text, QStringLiteral("Pierwsza linia\nŻółta linia"));
    EXPECT_EQ(seen.textHeight, 3 * 23);
    EXPECT_FALSE(dlg.HasLines());
    EXPECT_FALSE(dlg.Ask(QString()));

    // A text passed to Ask replaces the lines added before it.
    dlg.AddLine(QStringLiteral("Zastąpiona"));
    EXPECT_TRUE(AskAndLook(dlg, QStringLiteral("Nowa"), UwagaTeal, false, &seen));
    EXPECT_EQ(seen.text, QStringLiteral("Nowa"));
    EXPECT_FALSE(dlg.HasLines());
}

TEST(TfmUwaga, BackgroundIsTheColourWithTealForNone) {
    const std::pair<QColor, QColor> cases[] = {
        {QColor(), UwagaTeal},
        {QColor(Qt::black), UwagaTeal},
        {UwagaRed, QColor(255, 0, 0)},
        {UwagaTeal, QColor(0, 128, 128)},
        {QColor(0, 0, 255), QColor(0, 0, 255)},
    };
    TfmUwaga dlg;
    for (const auto& [given, shown] : cases) {
        SCOPED_TRACE(given.name().toStdString());
        UwagaSeen seen;
        AskAndLook(dlg, QStringLiteral("Kolor"), given, false, &seen);
        EXPECT_EQ(seen.background, shown);
    }
}

// ---------------------------------------------------------------------------------------------
// The file selection dialog

class TfmSFTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        root = QDir::cleanPath(dir.path());
        ASSERT_TRUE(QDir(root).mkpath(QStringLiteral("Kopie")));
        ASSERT_TRUE(QDir(root).mkpath(QStringLiteral("Inne")));
        for (const char* name : {"baza.fdb", "KOPIA.GDB", "stara.dbf", "stara.db", "opis.txt",
                                 "README", "Kopie/BazaOxle.GDB", "Inne/inny.fdb"})
            Touch(root + u'/' + QString::fromLatin1(name));
    }

    static void Touch(const QString& path) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
        f.write("x");
    }

    static QStringList Files(const TfmSF& dlg) {
        QStringList names;
        for (int row = 0; row < Child<QListWidget>(&dlg, "flbFiles")->count(); ++row)
            names << Child<QListWidget>(&dlg, "flbFiles")->item(row)->text();
        return names;
    }

    static QString TreeFolder(const TfmSF& dlg) {
        const auto* model =
            qobject_cast<const QFileSystemModel*>(Child<QTreeView>(&dlg, "dlbFolders")->model());
        return model ? QDir::cleanPath(
                           model->filePath(Child<QTreeView>(&dlg, "dlbFolders")->currentIndex()))
                     : QString();
    }

    // What the dialog showed while it was open.
    struct Seen {
        QString folder;
        QString tree;
        QString selected;
        QString filter;
        bool full = true;
        int height = 0;
    };

    // Runs SelectFile, records what it showed and acts with `act`.
    QString Select(TfmSF& dlg, const QString& start, const std::function<void(TfmSF&)>& act,
                   Seen* seen = nullptr) {
        WhenModal script([&](QWidget*) {
            if (seen) {
                seen->folder = dlg.lastFolder();
                seen->tree = TreeFolder(dlg);
                seen->selected = dlg.selectedFile();
                seen->filter = Child<QComboBox>(&dlg, "fcbTyp")->currentText();
                seen->full = dlg.isFullHeight();
                seen->height = dlg.height();
            }
            act(dlg);
        });
        const QString path = dlg.SelectFile(start);
        EXPECT_TRUE(script.ran());
        EXPECT_FALSE(script.timedOut());
        return path;
    }

    static void DoubleClick(TfmSF& dlg, const QString& name) {
        const QList<QListWidgetItem*> items =
            Child<QListWidget>(&dlg, "flbFiles")->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << name.toStdString();
        const QRect rect = Child<QListWidget>(&dlg, "flbFiles")->visualItemRect(items.first());
        // A double click arrives as press, release, double click and release.
        QTest::mouseClick(Child<QListWidget>(&dlg, "flbFiles")->viewport(), Qt::LeftButton, {},
                          rect.center());
        QTest::mouseDClick(Child<QListWidget>(&dlg, "flbFiles")->viewport(), Qt::LeftButton, {},
                           rect.center());
        QTest::mouseRelease(Child<QListWidget>(&dlg, "flbFiles")->viewport(), Qt::LeftButton, {},
                            rect.center());
    }

    QTemporaryDir dir;
    QString root;
};

TEST_F(TfmSFTest, TypeFilterEntriesAndTheirMasks) {
    EXPECT_EQ(SfFilters(),
              (QStringList{QStringLiteral("SQL (*.fdb;*.gdb)"), QStringLiteral("DOS (*.dbf;*.db)"),
                           QStringLiteral("All files (*.*)")}));
    EXPECT_EQ(FilterMask(QStringLiteral("SQL (*.fdb;*.gdb)")),
              (QStringList{QStringLiteral("*.fdb"), QStringLiteral("*.gdb")}));
    EXPECT_EQ(FilterMask(QStringLiteral("DOS (*.dbf;*.db)")),
              (QStringList{QStringLiteral("*.dbf"), QStringLiteral("*.db")}));
    EXPECT_EQ(FilterMask(QStringLiteral("All files (*.*)")), QStringList{QStringLiteral("*")});

    TfmSF dlg;
    EXPECT_EQ(dlg.objectName(), QStringLiteral("fmSF"));
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Wybór pliku"));
    EXPECT_TRUE(HasLabel(&dlg, QStringLiteral("Wybór typu")));
    EXPECT_EQ(Child<QPushButton>(&dlg, "btnOK")->text(), QStringLiteral("OK"));
    EXPECT_EQ(Child<QPushButton>(&dlg, "btnAnuluj")->text(), QStringLiteral("Anuluj"));
    QStringList entries;
    for (int i = 0; i < Child<QComboBox>(&dlg, "fcbTyp")->count(); ++i)
        entries << Child<QComboBox>(&dlg, "fcbTyp")->itemText(i);
    EXPECT_EQ(entries, SfFilters());

    // Each entry really filters the list; the masks ignore letter case.
    dlg.SetFolder(root);
    const QStringList expected[] = {
        {QStringLiteral("baza.fdb"), QStringLiteral("KOPIA.GDB")},
        {QStringLiteral("stara.db"), QStringLiteral("stara.dbf")},
        {QStringLiteral("baza.fdb"), QStringLiteral("KOPIA.GDB"), QStringLiteral("opis.txt"),
         QStringLiteral("README"), QStringLiteral("stara.db"), QStringLiteral("stara.dbf")},
    };
    for (int i = 0; i < 3; ++i) {
        Child<QComboBox>(&dlg, "fcbTyp")->setCurrentIndex(i);
        EXPECT_EQ(Files(dlg), expected[i])
            << Child<QComboBox>(&dlg, "fcbTyp")->currentText().toStdString();
    }
}

TEST_F(TfmSFTest, ExistingStartFileIsSelectedAndReturned) {
    struct Case {
        const char* name;
        std::function<void(TfmSF&)> act;
        QString expected;
    };
    const QString start = root + QStringLiteral("/KOPIA.GDB");
    const Case cases[] = {
        {"Enter in the file list",
         [](TfmSF& d) { QTest::keyClick(Child<QListWidget>(&d, "flbFiles"), Qt::Key_Return); },
         start},
        {"keypad Enter in the file list",
         [](TfmSF& d) {
             QTest::keyClick(Child<QListWidget>(&d, "flbFiles"), Qt::Key_Enter, Qt::KeypadModifier);
         },
         start},
        {"OK", [](TfmSF& d) { QTest::mouseClick(Child<QPushButton>(&d, "btnOK"), Qt::LeftButton); },
         start},
        {"double click on another file",
         [](TfmSF& d) { DoubleClick(d, QStringLiteral("baza.fdb")); },
         root + QStringLiteral("/baza.fdb")},
        {"Anuluj",
         [](TfmSF& d) { QTest::mouseClick(Child<QPushButton>(&d, "btnAnuluj"), Qt::LeftButton); },
         QString()},
        {"Escape in the file list",
         [](TfmSF& d) { QTest::keyClick(Child<QListWidget>(&d, "flbFiles"), Qt::Key_Escape); },
         QString()},
    };
    TfmSF dlg;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Seen seen;
        EXPECT_EQ(Select(dlg, start, c.act, &seen), c.expected);
        EXPECT_EQ(seen.folder, root);
        EXPECT_EQ(seen.tree, root);
        EXPECT_EQ(seen.selected, start);
        EXPECT_FALSE(dlg.isVisible());
    }
}

TEST_F(TfmSFTest, OkWithoutASelectedFileKeepsTheDialogOpen) {
    TfmSF dlg;
    const QString path = Select(dlg, root, [](TfmSF& d) {
        EXPECT_TRUE(d.selectedFile().isEmpty());
        QTest::mouseClick(Child<QPushButton>(&d, "btnOK"), Qt::LeftButton);
        EXPECT_TRUE(d.isVisible());
        QTest::keyClick(Child<QListWidget>(&d, "flbFiles"), Qt::Key_Escape);
    });
    EXPECT_TRUE(path.isEmpty());
}

TEST_F(TfmSFTest, MissingStartFileOpensTheFolderShownLast) {
    TfmSF dlg;
    EXPECT_EQ(dlg.lastFolder(), QDir::cleanPath(QDir::currentPath()));

    const QString kopie = root + QStringLiteral("/Kopie");
    EXPECT_EQ(Select(dlg, kopie + QStringLiteral("/BazaOxle.GDB"),
                     [](TfmSF& d) {
                         QTest::keyClick(Child<QListWidget>(&d, "flbFiles"), Qt::Key_Return);
                     }),
              kopie + QStringLiteral("/BazaOxle.GDB"));
    EXPECT_EQ(dlg.lastFolder(), kopie);

    for (const QString& missing : {root + QStringLiteral("/Inne/brak.fdb"),
                                   QStringLiteral("/nie/ma/takiego/folderu/baza.fdb"), QString()}) {
        SCOPED_TRACE(missing.toStdString());
        Seen seen;
        EXPECT_TRUE(Select(
                        dlg, missing,
                        [](TfmSF& d) {
                            QTest::mouseClick(Child<QPushButton>(&d, "btnAnuluj"), Qt::LeftButton);
                        },
                        &seen)
                        .isEmpty());
        EXPECT_EQ(seen.folder, kopie);
        EXPECT_EQ(seen.tree, kopie);
        EXPECT_TRUE(seen.selected.isEmpty());
    }

    // A folder chosen in the tree becomes the folder shown last.
    const QString inne = root + QStringLiteral("/Inne");
    Seen seen;
    Select(dlg, QString(), [&](TfmSF& d) {
        const auto* model =
            qobject_cast<const QFileSystemModel*>(Child<QTreeView>(&d, "dlbFolders")->model());
        Child<QTreeView>(&d, "dlbFolders")->setCurrentIndex(model->index(inne));
        EXPECT_EQ(Files(d), QStringList{QStringLiteral("inny.fdb")});
        QTest::keyClick(Child<QListWidget>(&d, "flbFiles"), Qt::Key_Escape);
    });
    Select(
        dlg, root + QStringLiteral("/brak.fdb"),
        [](TfmSF& d) { QTest::keyClick(Child<QListWidget>(&d, "flbFiles"), Qt::Key_Escape); },
        &seen);
    EXPECT_EQ(seen.folder, inne);
}

TEST_F(TfmSFTest, StartFileOutsideTheFilterSwitchesToAMatchingEntry) {
    TfmSF dlg;
    Child<QComboBox>(&dlg, "fcbTyp")->setCurrentIndex(0);
    Seen seen;
    EXPECT_EQ(
        Select(
            dlg, root + QStringLiteral("/stara.dbf"),
            [](TfmSF& d) { QTest::keyClick(Child<QListWidget>(&d, "flbFiles"), Qt::Key_Return); },
            &seen),
        root + QStringLiteral("/stara.dbf"));
    EXPECT_EQ(seen.filter, QStringLiteral("DOS (*.dbf;*.db)"));

    EXPECT_EQ(
        Select(
            dlg, root + QStringLiteral("/README"),
            [](TfmSF& d) { QTest::keyClick(Child<QListWidget>(&d, "flbFiles"), Qt::Key_Return); },
            &seen),
        root + QStringLiteral("/README"));
    EXPECT_EQ(seen.filter, QStringLiteral("All files (*.*)"));
}

TEST_F(TfmSFTest, FullHeightButtonTogglesBetweenOwnAndScreenHeight) {
    TfmSF dlg;
    dlg.move(40, 60);
    const int normalHeight = dlg.height();
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    ASSERT_LT(normalHeight, area.height());

    Seen seen;
    Select(
        dlg, root + QStringLiteral("/baza.fdb"),
        [&](TfmSF& d) {
            const QIcon before = Child<QToolButton>(&d, "sbFull")->icon();
            QTest::mouseClick(Child<QToolButton>(&d, "sbFull"), Qt::LeftButton);
            EXPECT_TRUE(d.isFullHeight());
            EXPECT_EQ(d.frameGeometry().top(), area.top());
            EXPECT_EQ(d.frameGeometry().height(), area.height());
            EXPECT_NE(Child<QToolButton>(&d, "sbFull")->icon().cacheKey(), before.cacheKey());

            QTest::mouseClick(Child<QToolButton>(&d, "sbFull"), Qt::LeftButton);
            EXPECT_FALSE(d.isFullHeight());
            EXPECT_EQ(d.y(), 60);
            EXPECT_EQ(d.height(), normalHeight);

            // Left at full height, the next SelectFile starts at the window's own height.
            QTest::mouseClick(Child<QToolButton>(&d, "sbFull"), Qt::LeftButton);
            QTest::keyClick(Child<QListWidget>(&d, "flbFiles"), Qt::Key_Escape);
        },
        nullptr);
    EXPECT_TRUE(dlg.isFullHeight());

    Select(
        dlg, root + QStringLiteral("/baza.fdb"),
        [](TfmSF& d) { QTest::keyClick(Child<QListWidget>(&d, "flbFiles"), Qt::Key_Escape); },
        &seen);
    EXPECT_FALSE(seen.full);
    EXPECT_EQ(seen.height, normalHeight);
}

// ---------------------------------------------------------------------------------------------
// The about box

class TfmInfProgTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home.isValid());
        s.InitConfig(home.path(), QDate::currentDate(), home.path());
    }

    QTemporaryDir home;
    Session s;
};

TEST_F(TfmInfProgTest, ShowsProductInstallationVersionAndExecutable) {
    TfmInfProg dlg(s);
    EXPECT_EQ(dlg.objectName(), QStringLiteral("fmInfProg"));
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Informacje o programie "));
    EXPECT_EQ(Child<QLabel>(&dlg, "lbTytul")->text(), ProductTitle());
    EXPECT_EQ(Child<QLabel>(&dlg, "lbNazwa")->text(), QStringLiteral("JW 1000"));
    EXPECT_TRUE(Child<QLabel>(&dlg, "lbAdres")->text().isEmpty());
    EXPECT_EQ(Child<QLabel>(&dlg, "lbWersja")->text(), QStringLiteral(" 2.3 [24.129]"));
    for (const char* caption : {"Nazwa firmy:", "Adres firmy:", "Wersja:"})
        EXPECT_TRUE(HasLabel(&dlg, QString::fromLatin1(caption))) << caption;

    const QString exe = QCoreApplication::applicationFilePath();
    EXPECT_EQ(Child<QLabel>(&dlg, "lbPath")->text(), exe);
    const QString date = Child<QLabel>(&dlg, "lbData")->text();
    EXPECT_TRUE(QRegularExpression(QStringLiteral(R"(^\( \d\d\.\d\d\.\d{4} \d\d:\d\d:\d\d \)$)"))
                    .match(date)
                    .hasMatch())
        << date.toStdString();
    const QDateTime stamp =
        QDateTime::fromString(date.mid(2, 19), QStringLiteral("dd.MM.yyyy hh:mm:ss"));
    EXPECT_EQ(stamp.secsTo(QFileInfo(exe).lastModified()), 0);

    const auto* producer = dlg.findChild<QGroupBox*>(QStringLiteral("gbProducent"));
    ASSERT_NE(producer, nullptr);
    EXPECT_EQ(producer->title(), QStringLiteral(" Producent "));
    EXPECT_TRUE(HasLabel(producer, ProductTitle()));
    EXPECT_EQ(Child<QPushButton>(&dlg, "btnZamknij")->text(), QStringLiteral("Zamknij"));
}

TEST_F(TfmInfProgTest, ZamknijClosesTheModalBox) {
    TfmInfProg dlg(s);
    WhenModal script([&](QWidget* modal) {
        EXPECT_EQ(modal, &dlg);
        QTest::mouseClick(Child<QPushButton>(&dlg, "btnZamknij"), Qt::LeftButton);
    });
    dlg.exec();
    EXPECT_TRUE(script.ran());
    EXPECT_FALSE(script.timedOut());
    EXPECT_FALSE(dlg.isVisible());
}

TEST_F(TfmInfProgTest, ReleasesItselfWhenTheCallerAsksForIt) {
    QPointer<TfmInfProg> dlg = new TfmInfProg(s);
    EXPECT_FALSE(dlg->testAttribute(Qt::WA_DeleteOnClose));
    dlg->setAttribute(Qt::WA_DeleteOnClose);
    WhenModal script([&](QWidget*) {
        QTest::mouseClick(Child<QPushButton>(dlg, "btnZamknij"), Qt::LeftButton);
    });
    dlg->exec();
    EXPECT_TRUE(script.ran());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(dlg.isNull());
}

} // namespace
