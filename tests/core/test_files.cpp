#include "core/Files.h"

#include "support/QtPrint.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kzm;

namespace {

class FilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        for (const char* name :
             {"BazaOxle_20261208_01.fdb", "BazaOxle_20261208_02.FDB", "BazaOxle_20261209_01.fdb",
              "raport.txt", "dane.csv", "README", ".ukryty.txt"}) {
            Write(QString::fromLatin1(name), "x");
        }
        ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("Kopie.fdb")));
    }

    QString Path(const QString& name) const { return m_dir.filePath(name); }

    void Write(const QString& name, const QByteArray& bytes) const {
        QFile file(Path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    // The names of FileList's result, sorted, without the folder.
    QStringList Names(const QString& mask, const QString& only = {},
                      const QString& except = {}) const {
        QStringList list;
        FileList(list, m_dir.path(), mask, only, except);
        QStringList names;
        for (const QString& full : list) {
            EXPECT_EQ(full, m_dir.path() + u'/' + QFileInfo(full).fileName());
            names.append(QFileInfo(full).fileName());
        }
        names.sort();
        return names;
    }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(FilesTest, ReadWholeFileDecodesWindows1250AndKeepsLineEnds) {
    Write(QStringLiteral("DataPracy.txt"), QByteArray("Za\xBF\xF3\xB3\xE6\r\n\xA3\xF3\x64\xBA\n"));
    EXPECT_EQ(ReadWholeFile(Path(QStringLiteral("DataPracy.txt"))),
              QStringLiteral("Zażółć\r\nŁódş\n"));
    EXPECT_EQ(ReadWholeFile(Path(QStringLiteral("brak.txt"))), QString());
    EXPECT_EQ(ReadWholeFile(m_dir.path()), QString());
}

TEST_F(FilesTest, ForceDirCreatesParents) {
    const QString nested = Path(QStringLiteral("Hist/2025/01"));
    EXPECT_TRUE(ForceDir(nested));
    EXPECT_TRUE(QFileInfo(nested).isDir());
    EXPECT_TRUE(ForceDir(nested));
    EXPECT_TRUE(ForceDir(Path(QStringLiteral("Tmp\\Raporty"))));
    EXPECT_TRUE(QFileInfo(Path(QStringLiteral("Tmp/Raporty"))).isDir());
    EXPECT_FALSE(ForceDir(Path(QStringLiteral("raport.txt"))));
    EXPECT_FALSE(ForceDir(QString()));
}

TEST_F(FilesTest, FileListMatchesMaskWithoutFolders) {
    EXPECT_EQ(Names(QStringLiteral("BazaOxle_20261208_*.fdb")),
              (QStringList{QStringLiteral("BazaOxle_20261208_01.fdb"),
                           QStringLiteral("BazaOxle_20261208_02.FDB")}));
    EXPECT_EQ(Names(QStringLiteral("BazaOxle_2026120?_01.fdb")).size(), 2);
    EXPECT_EQ(Names(QStringLiteral("*")).size(), 7);
    EXPECT_EQ(Names(QStringLiteral("*.*")).size(), 7);
    EXPECT_EQ(Names(QStringLiteral("README")), QStringList{QStringLiteral("README")});
    EXPECT_TRUE(Names(QStringLiteral("*.xls")).isEmpty());
}

TEST_F(FilesTest, FileListFiltersByExtension) {
    EXPECT_EQ(Names(QStringLiteral("*"), QStringLiteral("txt, csv")),
              (QStringList{QStringLiteral(".ukryty.txt"), QStringLiteral("dane.csv"),
                           QStringLiteral("raport.txt")}));
    EXPECT_EQ(Names(QStringLiteral("*"), QStringLiteral(".f?b")).size(), 3);
    EXPECT_EQ(Names(QStringLiteral("*"), {}, QStringLiteral("fdb,txt")),
              (QStringList{QStringLiteral("README"), QStringLiteral("dane.csv")}));
    EXPECT_EQ(Names(QStringLiteral("*"), QStringLiteral("*"), QStringLiteral("c*")).size(), 6);
}

TEST_F(FilesTest, FileListAppendsAndReturnsCount) {
    QStringList list{QStringLiteral("earlier")};
    EXPECT_EQ(FileList(list, m_dir.path() + u'/', QStringLiteral("*.csv")), 2);
    EXPECT_EQ(list.last(), m_dir.path() + QStringLiteral("/dane.csv"));
    EXPECT_EQ(FileList(list, Path(QStringLiteral("brak")), QStringLiteral("*")), 2);
}

TEST_F(FilesTest, FileCountCountsFilesAndFolders) {
    EXPECT_EQ(FileCount(Path(QStringLiteral("BazaOxle_20261208_*.fdb"))), 2);
    EXPECT_EQ(FileCount(Path(QStringLiteral("*.fdb"))), 4);
    EXPECT_EQ(FileCount(Path(QStringLiteral("*"))), 8);
    EXPECT_EQ(FileCount(m_dir.path() + QStringLiteral("\\*.csv")), 1);
    EXPECT_EQ(FileCount(Path(QStringLiteral("brak/*"))), 0);
}
