// The card personalizer on a pseudo-terminal: whole readings give their card numbers, a reading
// cut short gives nothing, ident.dat stands in for the device.

#include "support/QtPrint.h"
#include "terminals/Personalizer.h"
#include "terminals/Pty.h"

#include <QFile>

#include <gtest/gtest.h>

namespace kzm {
namespace {

class PersonalizerTest : public ptytest::PtyPort {
protected:
    // The switch files of the test's folder and a clock the test moves.
    WorkstationEnv env() {
        WorkstationEnv e;
        e.fileExists = [this](const QString& n) { return QFile::exists(dir.filePath(n)); };
        e.readFile = [this](const QString& n) {
            QFile f(dir.filePath(n));
            return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()) : QString();
        };
        e.removeFile = [this](const QString& n) { QFile::remove(dir.filePath(n)); };
        e.clockMs = [this] { return now; };
        return e;
    }
    void write(const QString& name, const QByteArray& content) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    }

    qint64 now = 0;
    QStringList delivered;
};

TEST(PersonalizerReading, TheNumberLiesBetweenTheFirstAndTheLastTwoCharacters) {
    const struct {
        QByteArray reading;
        std::optional<QString> number;
    } cases[] = {
        {"#12345;\r", QStringLiteral("12345")},
        {"#0000123450;\r", QStringLiteral("0000123450")},
        {"#;\r", std::nullopt}, // nothing between
        {"# ;\r", std::nullopt},
        {"\r", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Personalizer::CardNumber(c.reading), c.number) << c.reading.toStdString();
}

TEST_F(PersonalizerTest, ReadingsOnTheLineGiveTheirNumbersAndACutOneNothing) {
    Personalizer p(ini, env());
    p.target = [this](const QString& n) { delivered << n; };
    EXPECT_EQ(p.StartComP(0, true), "Nieustalone parametry portu personalizatora");
    EXPECT_EQ(p.StartComP(7, false), "Nieustalone parametry portu personalizatora");
    ASSERT_TRUE(ini.writeString("Porty", "COM8", dir.filePath("brak")));
    EXPECT_EQ(p.StartComP(8, true), "Nie można otworzyć portu COM8");
    EXPECT_FALSE(p.reading());
    ASSERT_EQ(p.StartComP(7, true), "");
    EXPECT_TRUE(p.reading());
    EXPECT_TRUE(p.timer().isActive());
    EXPECT_EQ(p.timer().interval(), 250);

    // A reading that comes in pieces over several ticks, and two in one tick.
    Send("#123");
    p.TimerPTimer();
    EXPECT_TRUE(delivered.isEmpty());
    now += 250;
    Send("45;\r#777;\r#88");
    p.TimerPTimer();
    EXPECT_EQ(delivered, QStringList({"12345", "777"}));
    EXPECT_TRUE(p.timer().isActive()) << "started again after the tick";

    // The rest of "#88" never comes: after the limit it is dropped, not delivered.
    now += 600;
    p.TimerPTimer();
    Send("8;\r");
    p.TimerPTimer();
    EXPECT_EQ(delivered, QStringList({"12345", "777"})) << "a truncated card is no identity";
    Send("#;\r");
    p.TimerPTimer();
    EXPECT_EQ(delivered.size(), 2) << "an empty number is not delivered";

    // Not visible: the reading waits for a later tick.
    bool visible = false;
    p.targetVisible = [&] { return visible; };
    Send("#4711;\r");
    p.TimerPTimer();
    EXPECT_EQ(delivered.size(), 2);
    visible = true;
    p.TimerPTimer();
    EXPECT_EQ(delivered.last(), "4711");

    p.StopComP();
    EXPECT_FALSE(p.reading());
    EXPECT_FALSE(p.timer().isActive());
}

TEST_F(PersonalizerTest, IdentDatStandsInForTheDeviceAndATickWithoutTargetStops) {
    write("Test.dat", "");
    Personalizer p(ini, env());
    p.target = [this](const QString& n) { delivered << n; };
    ASSERT_EQ(p.StartComP(9, true), "") << "test mode opens no port";
    write("ident.dat", "0000123450\r\n");
    p.TimerPTimer();
    EXPECT_EQ(delivered, QStringList({"0000123450"}));
    EXPECT_FALSE(QFile::exists(dir.filePath("ident.dat"))) << "taken once";
    p.TimerPTimer();
    EXPECT_EQ(delivered.size(), 1);

    p.target = nullptr; // the persons window closed
    p.TimerPTimer();
    EXPECT_FALSE(p.timer().isActive());
}

} // namespace
} // namespace kzm
