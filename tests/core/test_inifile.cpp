#include "core/IniFile.h"
#include "core/Win1250.h"
#include "support/QtPrint.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kzm;

namespace {

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(IniFileTest, MissingFileReadsDefaultsAndFirstWriteCreatesIt) {
    QTemporaryDir dir;
    IniFile ini(dir.path() + "/KZM.ini");
    EXPECT_FALSE(ini.exists());
    EXPECT_EQ(ini.readString("IbPths", "Pth0", "def"), "def");
    EXPECT_EQ(ini.readInteger("ExpoStan", "RGS", -1), -1);

    ASSERT_TRUE(ini.writeString("IbPths", "Pth0", "127.0.0.1:/srv/Baza.GDB"));
    EXPECT_EQ(readFile(ini.path()), "[IbPths]\r\nPth0=127.0.0.1:/srv/Baza.GDB\r\n");
}

TEST(IniFileTest, WritesReplaceInPlaceAndKeepEverythingElse) {
    QTemporaryDir dir;
    const QString path = dir.path() + "/KZM.ini";
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("; komentarz\r\n[Main]\r\nUser=SYSDBA\r\n\r\n[IbPths]\r\nPth0=a\r\n");
    }
    IniFile ini(path);
    ASSERT_TRUE(ini.writeString("ibpths", "PTH0", "b"));    // names ignore case
    ASSERT_TRUE(ini.writeInteger("Main", "CreateBaza", 0)); // new key in its section
    ASSERT_TRUE(ini.writeString("ExpoStan", "Tytul", QStringLiteral("Stan na dzień 08.12.2026")));
    EXPECT_EQ(readFile(path),
              ToWin1250(QStringLiteral("; komentarz\r\n[Main]\r\nUser=SYSDBA\r\nCreateBaza=0\r\n"
                                       "\r\n[IbPths]\r\nPTH0=b\r\n\r\n[ExpoStan]\r\n"
                                       "Tytul=Stan na dzień 08.12.2026\r\n")));
    EXPECT_EQ(ini.readString("EXPOSTAN", "tytul", ""), QStringLiteral("Stan na dzień 08.12.2026"));
    EXPECT_EQ(ini.readInteger("Main", "CreateBaza", 5), 0);
    EXPECT_EQ(ini.readInteger("Main", "User", 5), 5); // not a number: the default
}

TEST(IniFileTest, ValuesAreTrimmedAndUnquoted) {
    QTemporaryDir dir;
    const QString path = dir.path() + "/KZM.ini";
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[ExpoStan]\nPola = 0,2, \nPth=\"Stan 1.xls\"\n");
    }
    IniFile ini(path);
    EXPECT_EQ(ini.readString("ExpoStan", "Pola", ""), "0,2,");
    EXPECT_EQ(ini.readString("ExpoStan", "Pth", ""), "Stan 1.xls");
}

TEST(IniFileTest, UnwritableFileReportsFailure) {
    IniFile ini("/nonexistent-folder/KZM.ini");
    EXPECT_FALSE(ini.writeString("Main", "CreateBaza", "0"));
}

} // namespace
