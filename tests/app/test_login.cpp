#include "app/TfmLog.h"
#include "db/Tdm.h"
#include "fb/Database.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "support/CatalogueDb.h"
#include "support/QtPrint.h"
#include "support/TestDb.h"
#include "support/Widgets.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace kzm;
using testdb::Child;

namespace {

class LoginTest : public testdb::SessionTest {
protected:
    // A working database in the program folder, copied from the catalogue's template.
    QString catalogueCopy(const QString& name = QStringLiteral("BazaOxle.GDB")) {
        QDir().mkpath(home.path() + QStringLiteral("/Baza"));
        const QString path = home.path() + QStringLiteral("/Baza/") + name;
        EXPECT_TRUE(QFile::copy(testdb::CatalogueTemplate(), path));
        return path;
    }

    // The login window as the start shows it; it releases itself when it closes.
    QPointer<TfmLog> open() {
        QPointer<TfmLog> w = new TfmLog(s, dm);
        w->show();
        QCoreApplication::processEvents();
        return w;
    }

    static void press(QWidget* w, Qt::Key key) {
        QTest::keyClick(w, key);
        QCoreApplication::processEvents();
    }

    static void closeLater() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    Tdm dm{s};
};

TEST(LoginRules, LocalDatabasesAreThoseOnThisMachinesServerOrWithoutAHost) {
    const struct {
        const char* path;
        bool local;
    } cases[] = {
        {"127.0.0.1:/srv/kzm/Baza/BazaOxle.GDB", true},
        {"127.0.0.2:/srv/kzm/Baza/BazaOxle.GDB", true},
        {"serwer:/dane/127.0.0.1/BazaOxle.GDB", true}, // the text anywhere in the path
        {"/srv/kzm/Baza/BazaOxle.GDB", true},
        {"C:\\KZM\\Baza\\BazaOxle.GDB", true}, // a drive letter is not a host
        {"localhost:/srv/kzm/Baza/BazaOxle.GDB", false},
        {"10.1.2.3:/srv/kzm/Baza/BazaOxle.GDB", false},
        {"serwer:C:\\KZM\\Baza\\BazaOxle.GDB", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsLocalDatabase(QString::fromUtf8(c.path)), c.local) << c.path;
}

TEST_F(LoginTest, ShowFillsTheFieldsAndALocalPathHidesNameAndPassword) {
    s.user = QStringLiteral("KOWALSKI");
    s.password = QStringLiteral("tajne");
    s.dbPath = catalogueCopy();
    QPointer<TfmLog> w = open();
    EXPECT_EQ(s.errContext.form, "fmLog");
    EXPECT_EQ(Child<QLineEdit>(w, "edWersja")->text(), "  2.3 [24.129]");
    EXPECT_EQ(Child<QLineEdit>(w, "edFirma")->text(), " JW 1000");
    EXPECT_EQ(Child<QLineEdit>(w, "edPth")->text(), s.dbPath);
    EXPECT_EQ(Child<QLineEdit>(w, "edUser")->text(), "KOWALSKI");
    EXPECT_TRUE(s.localServer);
    EXPECT_FALSE(Child<QLineEdit>(w, "edUser")->isVisible());
    EXPECT_FALSE(Child<QLineEdit>(w, "edPass")->isVisible());
    EXPECT_FALSE(Child<QLineEdit>(w, "edPth")->isVisible());
    EXPECT_FALSE(Child<QLabel>(w, "lbInfo")->isVisible());

    // Whatever was typed, the local database is opened as the administrator; Enter on the
    // focused "Wejście" logs in.
    EXPECT_TRUE(Child<QPushButton>(w, "btnWejscie")->hasFocus());
    press(Child<QPushButton>(w, "btnWejscie"), Qt::Key_Return);
    closeLater();
    EXPECT_EQ(s.connectionStatus, Status::connected);
    EXPECT_EQ(s.user, "SYSDBA");
    EXPECT_EQ(s.password, "pantrykey");
    EXPECT_FALSE(s.terminate);
    EXPECT_TRUE(w.isNull()) << "the window releases itself";
    EXPECT_TRUE(dm.IBBaza.connected());
}

TEST_F(LoginTest, AFailedLocalAttemptShowsTheFieldsYetTheNextStillUsesTheAdministrator) {
    // 127.0.0.2 is this machine too; nothing is there to be opened.
    s.dbPath = QStringLiteral("127.0.0.2:") + home.path() + QStringLiteral("/Baza/Brak.GDB");
    QPointer<TfmLog> w = open();
    EXPECT_TRUE(s.localServer);
    EXPECT_FALSE(Child<QLineEdit>(w, "edUser")->isVisible());
    Child<QPushButton>(w, "btnWejscie")->click();
    EXPECT_EQ(s.connectionStatus, Status::openFailed);
    ASSERT_FALSE(w.isNull());
    EXPECT_EQ(Child<QLabel>(w, "lbInfo")->text(), "Brak dostępu do bazy (2)");
    EXPECT_EQ(Child<QLabel>(w, "lbInfo")->palette().color(QPalette::Window), QColor(Qt::red));
    EXPECT_TRUE(Child<QLineEdit>(w, "edUser")->isVisible());
    EXPECT_TRUE(Child<QLineEdit>(w, "edPass")->isVisible());
    EXPECT_TRUE(Child<QLineEdit>(w, "edPth")->isVisible());
    EXPECT_TRUE(Child<QLabel>(w, "lbPth")->isVisible());
    EXPECT_TRUE(Child<QLineEdit>(w, "edUser")->hasFocus());
    EXPECT_EQ(shown.size(), 1) << "the server's text was shown";
    EXPECT_FALSE(s.ini.exists()) << "only a successful connection writes KZM.ini";

    // The user corrects the path and types a name: the administrator is still used.
    Child<QLineEdit>(w, "edUser")->clear();
    QTest::keyClicks(Child<QLineEdit>(w, "edUser"), QStringLiteral("jan"));
    EXPECT_EQ(Child<QLineEdit>(w, "edUser")->text(), "JAN") << "the name is typed in upper case";
    Child<QLineEdit>(w, "edPass")->clear();
    QTest::keyClicks(Child<QLineEdit>(w, "edPass"), QStringLiteral("XyZ"));
    EXPECT_EQ(Child<QLineEdit>(w, "edPass")->text(), "xyz") << "the password in lower case";
    const QString good = catalogueCopy(QStringLiteral("Inna.GDB"));
    Child<QLineEdit>(w, "edPth")->setText(good);
    press(Child<QLineEdit>(w, "edPass"), Qt::Key_Return); // Enter in the password logs in
    closeLater();
    EXPECT_EQ(s.connectionStatus, Status::connected);
    EXPECT_EQ(s.user, "SYSDBA");
    EXPECT_TRUE(w.isNull());

    // The changed path is the default of the next start; name and password are not kept.
    EXPECT_EQ(s.ini.readString("IbPths", "Pth0", QString()), good);
    EXPECT_FALSE(s.ini.hasKey("Main", "User"));
    EXPECT_FALSE(s.ini.hasKey("Main", "Pass"));
    Session next;
    next.InitConfig(home.path(), QDate(2026, 12, 9), home.path());
    EXPECT_EQ(next.dbPath, good);
}

TEST_F(LoginTest, KeysMoveBetweenFieldsAndEscapeHidesThePathBeforeItEndsTheProgram) {
    s.dbPath = QStringLiteral("serwer:/srv/kzm/BazaOxle.GDB");
    QPointer<TfmLog> w = open();
    EXPECT_TRUE(Child<QLineEdit>(w, "edUser")->isVisible())
        << "a remote database asks for the name";
    Child<QLineEdit>(w, "edUser")->setFocus();
    press(Child<QLineEdit>(w, "edUser"), Qt::Key_Return);
    EXPECT_TRUE(Child<QLineEdit>(w, "edPass")->hasFocus());

    press(w, Qt::Key_F2);
    EXPECT_TRUE(Child<QLineEdit>(w, "edPth")->isVisible());
    EXPECT_TRUE(Child<QLineEdit>(w, "edPth")->hasFocus());
    press(Child<QLineEdit>(w, "edPth"), Qt::Key_Escape);
    ASSERT_FALSE(w.isNull());
    EXPECT_FALSE(Child<QLineEdit>(w, "edPth")->isVisible());
    EXPECT_FALSE(s.terminate);
    EXPECT_TRUE(w->isVisible());

    press(w, Qt::Key_Escape);
    closeLater();
    EXPECT_TRUE(s.terminate);
    EXPECT_TRUE(w.isNull());
    EXPECT_EQ(s.connectionStatus, Status::notTried);
}

TEST_F(LoginTest, CloseAndTheWindowFrameEndTheProgram) {
    s.dbPath = catalogueCopy();
    for (int viaFrame = 0; viaFrame < 2; ++viaFrame) {
        s.terminate = false;
        QPointer<TfmLog> w = open();
        if (viaFrame)
            w->close();
        else
            Child<QPushButton>(w, "btnZamknij")->click();
        closeLater();
        EXPECT_TRUE(s.terminate) << viaFrame;
        EXPECT_TRUE(w.isNull()) << viaFrame;
        EXPECT_FALSE(dm.IBBaza.connected());
    }
}

TEST_F(LoginTest, TheCreationFlagInKzmIniCreatesTheDatabaseInsteadOfConnecting) {
    s.ini.writeInteger("Main", "CreateBaza", 1);
    s.dbPath = home.path() + QStringLiteral("/Baza/BazaOxle.GDB");
    QDir().mkpath(home.path() + QStringLiteral("/Baza"));
    QPointer<TfmLog> w = open();
    EXPECT_TRUE(w->createFlag());
    QStringList labels; // what the information label showed while the database was made
    s.ui.repaint = [&] {
        if (w && Child<QLabel>(w, "lbInfo")->isVisible() &&
            !labels.contains(Child<QLabel>(w, "lbInfo")->text()))
            labels << Child<QLabel>(w, "lbInfo")->text();
    };
    Child<QPushButton>(w, "btnWejscie")->click();
    s.ui.repaint = nullptr;
    closeLater();
    EXPECT_EQ(s.connectionStatus, Status::connected);
    EXPECT_EQ(s.ini.readInteger("Main", "CreateBaza", -1), 0);
    EXPECT_EQ(s.ini.readString("IbPths", "Pth0", QString()), s.dbPath);
    ASSERT_GE(labels.size(), 3) << labels.join(", ").toStdString();
    EXPECT_EQ(labels.first(), "Łączenie z bazą ...");
    EXPECT_TRUE(labels.contains("Zakładanie bazy: C_KZM_DANE")) << labels.join(", ").toStdString();
    ASSERT_TRUE(dm.IBBaza.connected());
    EXPECT_TRUE(dm.Jest("select rdb$relation_name from rdb$relations "
                        "where rdb$relation_name='KZM_DANE'"));
    EXPECT_TRUE(dm.Jest("select rdb$procedure_name from rdb$procedures "
                        "where rdb$procedure_name='PKZM_RWP_WRIT_ODCZYT_22'"));
}

TEST_F(LoginTest, AMissingLocalDatabaseIsOfferedForCreationInAFolderMadeForIt) {
    // Neither the flag nor the folder: the README's steps taken in another order.
    s.dbPath = home.path() + QStringLiteral("/Nowa/Baza/BazaOxle.GDB");
    QStringList questions;
    bool answer = false;
    for (int attempt = 0; attempt < 2; ++attempt) {
        QPointer<TfmLog> w = open();
        w->ask = [&](const QString& q) {
            questions << q;
            return answer;
        };
        Child<QPushButton>(w, "btnWejscie")->click();
        closeLater();
        ASSERT_EQ(questions.size(), attempt + 1);
        EXPECT_TRUE(questions.last().startsWith(QStringLiteral("Nie ma bazy danych\r") + s.dbPath +
                                                QStringLiteral("\rCzy założyć")));
        if (!answer) {
            // Declined: the cause in Polish, then the server's text; no database made.
            EXPECT_EQ(s.connectionStatus, Status::openFailed);
            ASSERT_EQ(shown.size(), 1);
            EXPECT_TRUE(shown[0].startsWith(QStringLiteral("Brak pliku bazy danych")))
                << shown[0].toStdString();
            EXPECT_FALSE(QFile::exists(s.dbPath));
            ASSERT_FALSE(w.isNull());
            EXPECT_EQ(Child<QLabel>(w, "lbInfo")->text(), "Brak dostępu do bazy (2)");
            w->close();
            closeLater();
            answer = true;
        } else {
            EXPECT_EQ(s.connectionStatus, Status::connected);
            EXPECT_TRUE(QFile::exists(s.dbPath));
            EXPECT_TRUE(dm.Jest("select * from kzm_stawki where id=20"));
        }
    }
}

TEST_F(LoginTest, TheCreationFlagOverAnExistingDatabaseAsksAndKeepsACopy) {
    s.dbPath = catalogueCopy();
    {
        Tdm old(s);
        old.BazaConnect();
        ASSERT_TRUE(old.RunSQL("insert into KZM_GRUPY (ID, NAZWA) values (7, 'stara')"));
    }
    const auto grupy = [](Tdm& d) {
        return d.ReadInteger("N", "select count(*) as n from KZM_GRUPY where ID=7", -1);
    };
    QStringList questions;
    for (const bool answer : {false, true}) {
        s.ini.writeInteger("Main", "CreateBaza", 1);
        QPointer<TfmLog> w = open();
        w->ask = [&](const QString& q) {
            questions << q;
            return answer;
        };
        w->now = [] { return QDateTime(QDate(2026, 12, 10), QTime(14, 5, 9)); };
        Child<QPushButton>(w, "btnWejscie")->click();
        closeLater();
        EXPECT_EQ(s.connectionStatus, Status::connected);
        EXPECT_EQ(s.ini.readInteger("Main", "CreateBaza", -1), 0) << "asked once only";
        ASSERT_EQ(questions.size(), answer ? 2 : 1);
        EXPECT_TRUE(questions.last().contains(s.dbPath));
        EXPECT_TRUE(questions.last().contains(QStringLiteral("Kopia obecnej bazy")));
        const QString copy = s.backupDir + QStringLiteral("BazaOxle_20261210_140509.GDB");
        if (!answer) {
            EXPECT_EQ(grupy(dm), 1) << "the database was kept and opened";
            EXPECT_FALSE(QFile::exists(copy));
            dm.IBBaza.disconnect();
        } else {
            EXPECT_EQ(grupy(dm), 0) << "a new database";
            ASSERT_TRUE(QFile::exists(copy));
            dm.IBBaza.disconnect();
            s.dbPath = copy;
            Tdm kept(s);
            kept.BazaConnect();
            EXPECT_EQ(grupy(kept), 1) << "the copy holds the old data";
            EXPECT_TRUE(log().contains(copy));
        }
    }
}

TEST_F(LoginTest, ARemoteServerAsksForNameAndPasswordAndRefusesWrongOnes) {
    REQUIRE_SERVER();
    testdb::ServerDb db;
    // "localhost" reaches the same server without counting as local.
    s.dbPath = QStringLiteral("localhost:") + db.file();
    s.user = QStringLiteral("SYSDBA");
    s.password = QStringLiteral("zle");
    QPointer<TfmLog> w = open();
    EXPECT_FALSE(s.localServer);
    EXPECT_TRUE(Child<QLineEdit>(w, "edPass")->isVisible());
    Child<QPushButton>(w, "btnWejscie")->click();
    EXPECT_EQ(s.connectionStatus, Status::badLogin);
    ASSERT_FALSE(w.isNull());
    EXPECT_EQ(Child<QLabel>(w, "lbInfo")->text(), "Brak dostępu do bazy (1)");
    EXPECT_TRUE(shown.contains("Błędna nazwa użytkownika lub hasło"))
        << shown.join(", ").toStdString();

    // A second try with the right password.
    Child<QLineEdit>(w, "edPass")->setText(QString::fromUtf8(testdb::password));
    Child<QPushButton>(w, "btnWejscie")->click();
    closeLater();
    EXPECT_EQ(s.connectionStatus, Status::connected);
    EXPECT_TRUE(w.isNull());
}

TEST_F(LoginTest, TheLocalServerIsOpenedAsTheAdministratorWhateverWasTyped) {
    REQUIRE_SERVER();
    testdb::ServerDb db;
    ASSERT_TRUE(db.path().startsWith("127.0.0.1:"));
    s.dbPath = db.path();
    s.user = QStringLiteral("NIKT");
    s.password = QStringLiteral("zle");
    QPointer<TfmLog> w = open();
    EXPECT_FALSE(Child<QLineEdit>(w, "edPass")->isVisible());
    Child<QPushButton>(w, "btnWejscie")->click();
    closeLater();
    EXPECT_EQ(s.connectionStatus, Status::connected);
    EXPECT_EQ(s.user, "SYSDBA");
}

} // namespace
