// The persons window in the hub: the grid's texts and the unit filter, a person added and then
// given a first assignment, the number change asked first, the filter field, identity entry
// person after person, the date for everybody, the personalizer's switch; and the picture.

#include "ListsFormsTest.h"

#include "core/Files.h"

#include "core/Literals.h"
#include "lists/forms/TfmOsoby.h"
#include "support/WhenModal.h"
#include "support/Widgets.h"
#include "terminals/RegistrationDb.h"
#include "terminals/RegistrationRun.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <QTextEdit>

#include <gtest/gtest.h>

using namespace kzm;

namespace {

// What the confirmation dialog asked, and in which colour.
struct Asked {
    bool ran = false;
    QString text;
    QColor colour;
};

class OsobyWindowTest : public listsforms::ListsFormsTest {
protected:
    void SetUp() override {
        ListsFormsTest::SetUp();
        exec("insert into kzm_stopnie (skrot,nazwa) values('szer.','SZEREGOWY')");
        exec("insert into kzm_stopnie (skrot,nazwa) values('kpr.','KAPRAL')");
        unit(1, QStringLiteral("SZTAB"), "0");
        unit(12, QStringLiteral("KOMPANIA ŁĄCZNOŚCI"), "0");
        unit(105, QStringLiteral("KUCHNIA"), "1");
    }

    // A person of KZM_KART with the rank of the abbreviation and, when `numer` is given, an
    // assignment to that unit from the day.
    void person(int nr, const char* ident, const char* name, const char* rank = "szer.",
                int stawka = 20, int numer = 12, const char* od = "01.01.2025") {
        exec(QStringLiteral("insert into kzm_kart (nr_oper,nr_ident,idstopien,idstawka,idstawkaw,"
                            "nazwisko) values(%1,%2,(select id from kzm_stopnie where skrot=%3),"
                            "%4,%5,%6)")
                 .arg(nr)
                 .arg(SqlStr(QString::fromLatin1(ident)), SqlStr(QString::fromUtf8(rank)))
                 .arg(stawka)
                 .arg(nr >= 5000 ? 991 : 990)
                 .arg(SqlStr(QString::fromUtf8(name))));
        if (numer)
            assign(nr, numer, od, stawka);
    }
    void assign(int nr, int numer, const char* od, int stawka) {
        exec(QStringLiteral("insert into kzm_przydzial (nr_oper,idjedn,od_kiedy,idstawka) values("
                            "%1,(select id from kzm_jednostki where numer=%2),'%3',%4)")
                 .arg(nr)
                 .arg(numer)
                 .arg(QString::fromLatin1(od))
                 .arg(stawka));
    }

    void open() {
        ASSERT_TRUE(openInHub("btnOsoby"));
        osoby = qobject_cast<TfmOsoby*>(w);
        grid = find<DbGrid>("dbg");
        history = find<DbGrid>("dbgPrz");
        panel = find<QFrame>("pnEdit");
        przPanel = find<QFrame>("pnPrz");
        ASSERT_TRUE(osoby && grid && history && panel && przPanel);
    }
    // The operational numbers the grid shows, in its order.
    QStringList numbers() const {
        QStringList out;
        for (const QString& row : gridRows(grid))
            out << row.section(u'|', 1, 1);
        return out;
    }
    // Makes the person current, as a click on the row does.
    void clickPerson(int nr) {
        const QAbstractItemModel* m = grid->model();
        for (int r = 0; r < m->rowCount(); ++r)
            if (m->data(m->index(r, 1)).toString() == QString::number(nr)) {
                const QRect at = grid->visualRect(m->index(r, 1));
                QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at.center());
                return;
            }
        ADD_FAILURE() << "no person " << nr;
    }
    QPushButton* button(const char* row, const char* name) const {
        return listsforms::child<QPushButton>(find<QWidget>(row), name);
    }
    // Clicks the button, which asks in the confirmation dialog, and answers.
    Asked ask(QPushButton* b, bool yes) {
        Asked asked;
        testdb::WhenModal script([&](QWidget* modal) {
            auto* text = testdb::Child<QTextEdit>(&fmUwaga, "meText");
            asked = {modal == &fmUwaga && fmUwaga.isQuestion(), text->toPlainText(),
                     fmUwaga.palette().color(QPalette::Window)};
            QTest::keyClick(text, yes ? Qt::Key_Return : Qt::Key_Escape);
        });
        b->click();
        EXPECT_FALSE(script.timedOut());
        return asked;
    }
    static void enter(QWidget* field, const QString& text) {
        type(field, text);
        QTest::keyClick(field, Qt::Key_Return);
    }

    TfmOsoby* osoby = nullptr;
    DbGrid* grid = nullptr;
    DbGrid* history = nullptr;
    QFrame* panel = nullptr;
    QFrame* przPanel = nullptr;
};

TEST_F(OsobyWindowTest, TheGridShowsUnitsRanksAndRatesAndTheUnitFilterListsTheUnits) {
    person(10, "0000100", "NOWAK JAN", "kpr.", 30);
    person(11, "", "WÓJCIK ŁUKASZ", "szer.", 0, 1);
    person(5001, "0005001", "ŻAK HALINA", "szer.", 0, 105);
    person(20, "", "BEZ PRZYDZIAŁU", "szer.", 20, 0);
    open();
    EXPECT_EQ(main->chCaption(), "Wykazy / Osoby");
    EXPECT_EQ(gridRows(grid), QStringList({"|20||BEZ PRZYDZIAŁU|szer.|020|166|",
                                           "1|11||WÓJCIK ŁUKASZ|szer.|brak|166|",
                                           "12|10|0000100|NOWAK JAN|kpr.|030|166|",
                                           "105|5001|0005001|ŻAK HALINA|szer.|brak|160|✓"}));
    EXPECT_FALSE(find<QPushButton>("btnEksport")->isEnabled());
    EXPECT_TRUE(find<QPushButton>("btnPrsn")->isHidden()) << "CPAKT is off";

    auto* cmb = find<QComboBox>("cmbJedn");
    QStringList units;
    for (int i = 0; i < cmb->count(); ++i)
        units << cmb->itemText(i);
    EXPECT_EQ(units, QStringList({"Wszyscy", " 1.SZTAB", "05.KUCHNIA", "12.KOMPANIA ŁĄCZNOŚCI"}));
    EXPECT_EQ(cmb->currentIndex(), 0);

    // The unit filter, chosen with the keys.
    cmb->setFocus();
    QTest::keyClick(cmb, Qt::Key_Down);
    EXPECT_EQ(numbers(), QStringList({"11"}));
    QTest::keyClick(cmb, Qt::Key_Down);
    EXPECT_EQ(numbers(), QStringList({"5001"}));
    QTest::keyClick(cmb, Qt::Key_Up);
    QTest::keyClick(cmb, Qt::Key_Up);
    EXPECT_EQ(numbers(), QStringList({"20", "11", "10", "5001"}));

    // The first and the last person, each with its history.
    find<QPushButton>("btnLast")->click();
    EXPECT_EQ(current(grid, 1), "5001");
    EXPECT_EQ(gridRows(history), QStringList({"01.01.2025|brak|105|KUCHNIA"}));
    find<QPushButton>("btnFirst")->click();
    EXPECT_EQ(current(grid, 1), "20");
    EXPECT_EQ(gridRows(history), QStringList());
    EXPECT_FALSE(button("pnPrzButtons", "btnPopraw")->isEnabled()) << "no assignments";
    EXPECT_TRUE(button("pnPrzButtons", "btnDopisz")->isEnabled());
}

TEST_F(OsobyWindowTest, APersonAddedThroughThePanelGetsAFirstAssignmentAtItsRateFromToday) {
    person(10, "0000100", "NOWAK JAN");
    open();
    button("pnButtons", "btnDopisz")->click();
    ASSERT_TRUE(panel->isVisible());
    auto* nrOper = find<QLineEdit>("edNrOper");
    EXPECT_EQ(focused(), nrOper);
    type(nrOper, "12a0");
    EXPECT_EQ(nrOper->text(), "120") << "the number filter";
    type(find<QLineEdit>("edNrIdent"), "00120");
    type(find<QLineEdit>("edNazwisko"), QStringLiteral("żółkiewski stanisław"));
    EXPECT_EQ(find<QLineEdit>("edNazwisko")->text(), "ŻÓŁKIEWSKI STANISŁAW");
    clickRow(find<DbGrid>("dbgStopnie"), "kpr.");
    listsforms::child<QRadioButton>(panel, "rbStawka030")->click();
    listsforms::child<QPushButton>(panel, "btnZapamietaj")->click();

    EXPECT_EQ(rows("select k.nr_oper, k.nr_ident, s.skrot, k.idstawka, k.idstawkaw, k.nazwisko "
                   "from kzm_kart k join kzm_stopnie s on s.id=k.idstopien where nr_oper=120"),
              QStringList({"120|00120|kpr.|30|990|ŻÓŁKIEWSKI STANISŁAW"}));
    EXPECT_FALSE(panel->isVisible());
    ASSERT_TRUE(przPanel->isVisible()) << "the first assignment of the new person";
    EXPECT_EQ(current(grid, 1), "120");
    EXPECT_EQ(find<QDateEdit>("deOdKiedy")->date(), QDate::currentDate());
    EXPECT_EQ(focused(), find<QDateEdit>("deOdKiedy"));
    EXPECT_TRUE(listsforms::child<QRadioButton>(przPanel, "rbStawka030")->isChecked());

    clickRow(find<DbGrid>("dbgJedn"), "12");
    listsforms::child<QPushButton>(przPanel, "btnZapamietaj")->click();
    EXPECT_FALSE(przPanel->isVisible());
    const QString today = QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy"));
    EXPECT_EQ(rows("select p.nr_oper, j.numer, p.od_kiedy, p.idstawka from kzm_przydzial p "
                   "join kzm_jednostki j on j.id=p.idjedn where nr_oper=120"),
              QStringList({"120|12|" + today + "|30"}));
    EXPECT_EQ(gridRows(history), QStringList({today + "|030|12|KOMPANIA ŁĄCZNOŚCI"}));
    EXPECT_EQ(current(grid, 0), "12") << "the persons' grid shows the unit at once";
}

// What the canteen does with a new person: entered with a card and a unit, found by name and by
// number, and known at a terminal from the first reading of the card.
TEST_F(OsobyWindowTest, APersonEnteredInTheWindowIsFoundAndKnownAtATerminal) {
    open();
    button("pnButtons", "btnDopisz")->click();
    type(find<QLineEdit>("edNrOper"), "4711");
    type(find<QLineEdit>("edNrIdent"), "0000471100");
    type(find<QLineEdit>("edNazwisko"), QStringLiteral("piątek józef"));
    listsforms::child<QPushButton>(panel, "btnZapamietaj")->click();
    ASSERT_TRUE(przPanel->isVisible());
    clickRow(find<DbGrid>("dbgJedn"), "12");
    listsforms::child<QPushButton>(przPanel, "btnZapamietaj")->click();
    ASSERT_FALSE(przPanel->isVisible());

    auto* filtr = find<QLineEdit>("lbeFiltr");
    for (const QString& text : {QStringLiteral("PIĄT"), QStringLiteral("4711")}) {
        filtr->clear();
        enter(filtr, text);
        EXPECT_EQ(numbers(), QStringList({"4711"})) << text.toStdString();
    }

    // The card read at a terminal: stored as a known card and answered as one (no plan yet).
    testreg::Registrations terminals(dm, s, home.path());
    terminals.definition(3, QStringLiteral("Kuchnia 1"));
    tqsim::SimLine& line = terminals.line(3, {{tqsim::Model::TQ200, 1}});
    line.addReading(0, testreg::Card("0000471100", testreg::At("12:00:00")));
    testreg::QuietRun quiet;
    RegistrationRun run(s, dm, ctx.params, quiet);
    run.loadTerminals();
    run.startStop();
    run.timer().stop();
    run.cycle();
    run.timer().stop();
    EXPECT_EQ(line.state(0).acknowledged, 1);
    EXPECT_EQ(testreg::Texts(line.state(0)), QStringList({"BLOKADA"}));
    EXPECT_EQ(terminals.stored().value(0).section(u'|', 4, 4), "1") << "a known card";
    run.startStop();
}

TEST_F(OsobyWindowTest, ANewNumberIsSavedOnlyOnYesAndAPersonInThePlanIsNotDeleted) {
    person(120, "0000120", "KOWALSKI PIOTR");
    person(130, "0000130", "NOWAK JAN");
    exec("insert into kzm_dane (nr_oper,data,sn,ob,ko,idzdarz) values(120,'03.01.2026',1,1,1,1)");
    exec("insert into kzm_dane (nr_oper,data,sn,ob,ko,idzdarz) values(120,'28.02.2026',1,1,1,1)");
    open();
    clickPerson(130);
    QTest::keyClick(grid, Qt::Key_Return);
    ASSERT_TRUE(panel->isVisible());
    auto* nrOper = find<QLineEdit>("edNrOper");
    nrOper->selectAll();
    type(nrOper, "131");
    auto* save = listsforms::child<QPushButton>(panel, "btnZapamietaj");
    Asked asked = ask(save, false);
    EXPECT_TRUE(asked.ran);
    EXPECT_TRUE(asked.text.contains("130") && asked.text.contains("131"))
        << asked.text.toStdString();
    EXPECT_EQ(asked.colour, UwagaRed);
    EXPECT_EQ(rows("select nr_oper from kzm_kart order by 1"), QStringList({"120", "130"}));
    EXPECT_TRUE(panel->isVisible()) << "still to be decided";

    asked = ask(save, true);
    EXPECT_TRUE(asked.ran);
    EXPECT_EQ(rows("select nr_oper from kzm_kart order by 1"), QStringList({"120", "131"}));
    EXPECT_FALSE(panel->isVisible());
    EXPECT_EQ(current(grid, 1), "131");

    // A person in the plan stays, and the box says why under its own title.
    clickPerson(120);
    const listsforms::Box box =
        answer(QMessageBox::Ok, [&] { QTest::keyClick(grid, Qt::Key_Delete); });
    EXPECT_EQ(box.title, "Nie można usuwać osoby ujętej w planie");
    EXPECT_EQ(box.text, "KOWALSKI PIOTR\nwystępuje w przedziale czasowym 03.01.2026 - 28.02.2026");
    EXPECT_EQ(rows("select nr_oper from kzm_kart order by 1"), QStringList({"120", "131"}));
}

TEST_F(OsobyWindowTest, TheFilterFieldFindsNumbersIdentitiesAndNamesAndTakesTextAsText) {
    person(12, "0000900", "NOWAK JAN");
    person(120, "0000120", "KOWALSKI PIOTR");
    person(5012, "7712777", "KOWALCZYK ANNA", "szer.", 0, 105);
    person(33, "", "ŁUKASIEWICZ ZOFIA", "szer.", 20, 1);
    open();
    auto* filtr = find<QLineEdit>("lbeFiltr");
    auto* cmb = find<QComboBox>("cmbJedn");
    cmb->setFocus();
    QTest::keyClick(cmb, Qt::Key_Down);
    EXPECT_EQ(numbers(), QStringList({"33"}));

    const struct {
        const char* typed;
        const char* shown;
        QStringList found;
    } cases[] = {
        {"12", "12", {"12", "120", "5012"}}, // the number and the identities holding it
        {"kow", "KOW", {"120", "5012"}},
        {"łuk", "ŁUK", {"33"}},
        {"12' or '1'='1", "12' OR '1'='1", {}},
    };
    for (const auto& c : cases) {
        filtr->clear();
        enter(filtr, QString::fromUtf8(c.typed));
        EXPECT_EQ(filtr->text(), QString::fromUtf8(c.shown));
        EXPECT_EQ(numbers(), c.found) << c.typed;
        EXPECT_EQ(cmb->currentIndex(), 0) << "a text looks through every unit";
    }
    EXPECT_EQ(number("select count(*) from kzm_kart"), 4);

    QTest::keyClick(filtr, Qt::Key_Escape);
    EXPECT_EQ(filtr->text(), "");
    EXPECT_EQ(numbers(), QStringList({"33", "12", "120", "5012"}));
    EXPECT_TRUE(panel->isHidden());
}

TEST_F(OsobyWindowTest, IdentitiesAreEnteredPersonAfterPersonAndAHeldOneIsRefused) {
    person(1, "0000111", "ADAMSKA ANNA");
    person(2, "", "BRZĘCZEK BARTOSZ");
    person(3, "", "CIEŚLAK CELINA");
    open();
    auto* btnIdent = find<QPushButton>("btnIdent");
    auto* field = find<QLineEdit>("nr_ident2");
    EXPECT_FALSE(field->isVisible());
    btnIdent->click();
    ASSERT_TRUE(field->isVisible());
    EXPECT_EQ(focused(), field);
    for (const char* b : {"btnDopisz", "btnPopraw", "btnUsun"})
        EXPECT_FALSE(button("pnButtons", b)->isEnabled()) << b;
    QTest::keyClick(grid, Qt::Key_Insert);
    EXPECT_TRUE(panel->isHidden());

    clickPerson(2);
    EXPECT_EQ(focused(), field) << "each move puts the cursor into the field";
    enter(field, "0000111");
    EXPECT_EQ(shown, QStringList({"Identyfikator 0000111 ma już ADAMSKA ANNA"}));
    EXPECT_EQ(rows("select nr_oper, nr_ident from kzm_kart order by 1"),
              QStringList({"1|0000111", "2|", "3|"}));
    EXPECT_EQ(current(grid, 1), "2");
    EXPECT_EQ(field->text(), "");

    enter(field, "0000222");
    EXPECT_EQ(rows("select nr_oper, nr_ident from kzm_kart order by 1"),
              QStringList({"1|0000111", "2|0000222", "3|"}));
    EXPECT_EQ(current(grid, 1), "3") << "on to the next person";
    EXPECT_EQ(gridRows(grid)[1], "12|2|0000222|BRZĘCZEK BARTOSZ|szer.|020|166|");
    EXPECT_EQ(focused(), field);
    EXPECT_EQ(shown.size(), 1);

    btnIdent->click();
    EXPECT_FALSE(field->isVisible());
    EXPECT_TRUE(button("pnButtons", "btnPopraw")->isEnabled());
}

TEST_F(OsobyWindowTest, WszystkimAsksFirstAndOnYesGivesEveryAssignmentTheDate) {
    person(1, "", "ADAMSKA ANNA", "szer.", 20, 12, "01.03.2026");
    assign(1, 1, "01.06.2026", 30);
    person(2, "", "BRZĘCZEK BARTOSZ", "szer.", 20, 0);
    open();
    find<QDateEdit>("deWstaw")->setDate(QDate(2026, 1, 1));
    const QString before = "select nr_oper, od_kiedy from kzm_przydzial order by 1, 2";
    const QStringList unchanged = rows(before);

    Asked asked = ask(find<QPushButton>("BitBtn8"), false);
    EXPECT_TRUE(asked.ran);
    EXPECT_EQ(asked.colour, UwagaRed);
    EXPECT_TRUE(asked.text.contains("01.01.2026")) << asked.text.toStdString();
    EXPECT_TRUE(asked.text.contains(": 3."))
        << "two assignments and a new one: " << asked.text.toStdString();
    EXPECT_EQ(rows(before), unchanged);

    clickPerson(1);
    asked = ask(find<QPushButton>("BitBtn8"), true);
    EXPECT_TRUE(asked.ran);
    EXPECT_EQ(rows(before), QStringList({"1|01.01.2026", "1|01.01.2026", "2|01.01.2026"}));
    EXPECT_EQ(gridRows(history).size(), 2);
    for (const QString& row : gridRows(history))
        EXPECT_TRUE(row.startsWith("01.01.2026|")) << row.toStdString();
}

TEST_F(OsobyWindowTest, ThePersonalizersFirstClickSwitchesItOnAndItsCardsFillTheField) {
    person(1, "", "ADAMSKA ANNA");
    person(2, "", "BRZĘCZEK BARTOSZ");
    QFile test(home.filePath("Test.dat"));
    ASSERT_TRUE(test.open(QIODevice::WriteOnly));
    test.close();

    ctx.params.CPAKT = true;
    ctx.params.COMP = 3;
    open();
    // The switch files of the test's program folder, not of the current directory.
    WorkstationEnv& env = osoby->personalizer().env();
    env.fileExists = [this](const QString& n) { return QFile::exists(home.filePath(n)); };
    env.readFile = [this](const QString& n) { return ReadWholeFile(home.filePath(n)); };
    env.removeFile = [this](const QString& n) { QFile::remove(home.filePath(n)); };
    auto* prsn = find<QPushButton>("btnPrsn");
    ASSERT_FALSE(prsn->isHidden());
    EXPECT_EQ(prsn->text(), "Personalizator - nieaktywny");
    EXPECT_EQ(prsn->palette().color(QPalette::ButtonText), QColor(Qt::red));
    EXPECT_FALSE(osoby->personalizer().reading());

    find<QPushButton>("btnIdent")->click();
    prsn->click();
    EXPECT_EQ(prsn->text(), "Personalizator - aktywny");
    EXPECT_EQ(prsn->palette().color(QPalette::ButtonText), QColor(Qt::blue));
    EXPECT_TRUE(osoby->personalizer().reading());
    EXPECT_EQ(ctx.params.CPAKT, true) << "the switch is the program's, not the parameter";

    // A card read: its number in the identity entry field, where Enter stores it.
    QFile card(home.filePath("ident.dat"));
    ASSERT_TRUE(card.open(QIODevice::WriteOnly));
    card.write("0000123450");
    card.close();
    auto* field = find<QLineEdit>("nr_ident2");
    osoby->personalizer().TimerPTimer();
    EXPECT_EQ(field->text(), "0000123450");
    EXPECT_FALSE(QFile::exists(home.filePath("ident.dat")));
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(rows("select nr_ident from kzm_kart where nr_oper=1"), QStringList({"0000123450"}));

    prsn->click();
    EXPECT_EQ(prsn->text(), "Personalizator - nieaktywny");
    EXPECT_FALSE(osoby->personalizer().reading());

    // Without a port nothing reads, and the button says so.
    ctx.params.COMP = 0;
    prsn->click();
    EXPECT_EQ(shown, QStringList({"Nieustalone parametry portu personalizatora"}));
    EXPECT_EQ(prsn->text(), "Personalizator - nieaktywny");
    EXPECT_EQ(prsn->palette().color(QPalette::ButtonText), QColor(Qt::red));
    EXPECT_FALSE(osoby->personalizer().reading());
}

// The picture of the README: the main window with the hub and the persons window, a person
// with two assignments current. KZM_SCREENSHOTS names the folder it is written to.
TEST_F(OsobyWindowTest, ScreenshotOfThePersonsWindowInTheHub) {
    const QString folder = qEnvironmentVariable("KZM_SCREENSHOTS");
    if (folder.isEmpty())
        GTEST_SKIP() << "KZM_SCREENSHOTS unset";
    QDir().mkpath(folder);
    exec("insert into kzm_stopnie (skrot,nazwa) values('st. szer.','STARSZY SZEREGOWY')");
    exec("insert into kzm_stopnie (skrot,nazwa) values('sierż.','SIERŻANT')");
    exec("insert into kzm_stopnie (skrot,nazwa) values('por.','PORUCZNIK')");
    const struct {
        int nr;
        const char* ident;
        const char* name;
        const char* rank;
        int stawka;
        int numer;
    } persons[] = {
        {101, "0004417021", "BRZĘCZYSZCZYKIEWICZ GRZEGORZ", "szer.", 20, 1},
        {102, "0004417388", "ŁUKASZEWSKI PAWEŁ", "st. szer.", 20, 1},
        {103, "0004418120", "ŚLIWIŃSKA MAŁGORZATA", "por.", 30, 1},
        {104, "", "ŻUKOWSKI JĘDRZEJ", "szer.", 20, 1},
        {201, "0004420911", "GĄSIOROWSKI MICHAŁ", "kpr.", 20, 12},
        {202, "0004420954", "WÓJCIK ŁUCJA", "sierż.", 30, 12},
        {203, "0004421006", "KOŹMIŃSKI ANDRZEJ", "szer.", 20, 12},
        {204, "0004421310", "DĄBROWSKA KATARZYNA", "st. szer.", 20, 12},
        {205, "0004421377", "PIĄTEK ŚWIĘTOSŁAW", "kpr.", 0, 12},
        {5001, "0004430015", "ZIĘBA TERESA", "szer.", 0, 105},
        {5002, "0004430022", "MAŃKOWSKA HALINA", "szer.", 0, 105},
        {5003, "", "SOŁTYSIAK ZBIGNIEW", "szer.", 0, 105},
    };
    for (const auto& p : persons)
        person(p.nr, p.ident, p.name, p.rank, p.stawka, p.numer, "01.01.2025");
    exec("update kzm_przydzial set idjedn=(select id from kzm_jednostki where numer=1) "
         "where nr_oper=202");
    assign(202, 12, "01.02.2026", 30);
    ctx.params.CPAKT = true;
    main->setWindowState(Qt::WindowNoState);
    main->resize(1280, 720);
    open();
    clickPerson(202);
    QCoreApplication::processEvents();
    EXPECT_TRUE(main->grab().save(folder + QStringLiteral("/osoby.png")));
}

} // namespace
