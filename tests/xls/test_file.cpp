#include "xls/Workbook.h"

#include "support/QtPrint.h"
#include "support/XlsReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <map>
#include <set>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

namespace {

constexpr std::uint16_t RecBof = 0x0809;
constexpr std::uint16_t RecBoundSheet = 0x0085;
constexpr std::uint16_t RecSst = 0x00FC;
constexpr std::uint16_t RecContinue = 0x003C;
constexpr std::uint16_t RecExtSst = 0x00FF;
constexpr std::uint16_t RecMergedCells = 0x00E5;
constexpr std::uint16_t RecFont = 0x0031;
constexpr std::uint16_t RecXf = 0x00E0;

constexpr std::uint32_t EndOfChain = 0xFFFFFFFE;

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QStringList Entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                                  QDir::Name);
}

std::vector<BiffRecord> RecordsOfType(const std::vector<BiffRecord>& records, std::uint16_t type) {
    std::vector<BiffRecord> found;
    for (const BiffRecord& r : records) {
        if (r.type == type) {
            found.push_back(r);
        }
    }
    return found;
}

// A text of at least the given length, starting with the number, of Polish letters (16-bit) or of
// Latin-1 letters only.
QString Filler(int n, int length, bool polish) {
    const QString letters = polish ? QStringLiteral("ąćęłńóśźżĄĆĘŁŃÓŚŹŻ abc")
                                   : QStringLiteral("abcdefghijklmnoprstuwyzó ");
    QString text = QString::number(n) + u' ';
    while (text.size() < length) {
        text += letters.at((text.size() * 7 + n) % letters.size());
    }
    return text;
}

} // namespace

TEST(XlsFile, CompoundFileAndRecordLayout) {
    xls::Workbook book(QStringLiteral("Arkusz1"));
    book.setText(0, 0, QStringLiteral("ą"));
    book.setNumber(1, 0, 1.5);
    const QByteArray file = book.toBytes();

    ASSERT_GE(file.size(), 512 + 4096 + 512);
    EXPECT_EQ(file.left(8), QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8));
    EXPECT_EQ(U16At(file, 0x1A), 3);     // major version
    EXPECT_EQ(U16At(file, 0x1E), 9);     // 512-byte sectors
    EXPECT_EQ(U32At(file, 0x38), 4096u); // mini stream cutoff
    EXPECT_EQ(U32At(file, 0x3C), EndOfChain) << "no mini FAT";
    EXPECT_EQ(U32At(file, 0x44), EndOfChain) << "no DIFAT sectors for a small file";
    EXPECT_EQ(file.size() % 512, 0);

    const qsizetype directory = 512 + static_cast<qsizetype>(U32At(file, 0x30)) * 512;
    const auto entryName = [&](int i) {
        const qsizetype at = directory + i * 128;
        const int chars = U16At(file, at + 0x40) / 2 - 1;
        return QString::fromUtf16(reinterpret_cast<const char16_t*>(file.constData() + at), chars);
    };
    EXPECT_EQ(entryName(0), QStringLiteral("Root Entry"));
    EXPECT_EQ(static_cast<int>(file.at(directory + 0x42)), 5);
    EXPECT_EQ(U32At(file, directory + 0x4C), 1u) << "the root's child is the workbook stream";
    EXPECT_EQ(U32At(file, directory + 0x78), 0u) << "the root holds no mini stream";
    EXPECT_EQ(entryName(1), QStringLiteral("Workbook"));
    EXPECT_EQ(static_cast<int>(file.at(directory + 128 + 0x42)), 2);
    const std::uint32_t streamStart = U32At(file, directory + 128 + 0x74);
    const std::uint32_t streamSize = U32At(file, directory + 128 + 0x78);
    EXPECT_GE(streamSize, 4096u) << "the stream is padded past the mini stream cutoff";

    const QByteArray stream = file.mid(512 + streamStart * 512, streamSize);
    EXPECT_TRUE(stream.startsWith(book.workbookStream()));
    const std::vector<BiffRecord> records = BiffRecords(stream);
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(records.front().type, RecBof);
    EXPECT_EQ(U16At(records.front().data, 0), 0x0600);
    EXPECT_EQ(U16At(records.front().data, 2), 0x0005);
    EXPECT_GE(RecordsOfType(records, RecFont).size(), 5u);
    EXPECT_EQ(RecordsOfType(records, RecXf).size(), 17u);

    const std::vector<BiffRecord> sheets = RecordsOfType(records, RecBoundSheet);
    ASSERT_EQ(sheets.size(), 1u);
    const std::uint32_t sheetAt = U32At(sheets[0].data, 0);
    ASSERT_LT(sheetAt + 8, static_cast<std::uint32_t>(stream.size()));
    EXPECT_EQ(U16At(stream, sheetAt), RecBof) << "BOUNDSHEET points at the sheet's BOF";
    EXPECT_EQ(U16At(stream, sheetAt + 6), 0x0010);

    // xlrd reads a workbook that holds nothing at all as well.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("pusty.xls"));
    xls::Workbook().save(path);
    const XlsRead read = ReadXls(path);
    EXPECT_EQ(read.error, QString());
    EXPECT_EQ(read.book.value(u"log").toString(), QString());
    EXPECT_EQ(read.sheet.value(u"nrows").toInt(), 0);
}

TEST(XlsFile, SharedStringsRunOnIntoContinueRecords) {
    // Distinct strings of every length up to a few hundred, 16-bit and compressed, some used
    // twice, so that strings and their headers meet the record boundaries in many ways.
    xls::Workbook book;
    std::vector<QString> distinct;
    std::map<std::pair<int, int>, QString> expected;
    int textCells = 0;
    for (int i = 0; i < 6000; ++i) {
        const QString text = Filler(i, (i * 37) % 420, i % 3 != 0);
        const int row = i / 4;
        const int col = i % 4;
        book.setText(row, col, text);
        expected[{row, col}] = text;
        distinct.push_back(text);
        ++textCells;
        if (i % 10 == 0) {
            book.setText(row, 4 + col % 2, text);
            expected[{row, 4 + col % 2}] = text;
            ++textCells;
        }
    }

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("teksty.xls"));
    book.save(path);
    const XlsRead read = ReadXls(path);
    ASSERT_EQ(read.error, QString());
    EXPECT_EQ(read.book.value(u"log").toString(), QString());
    ASSERT_EQ(read.cells.size(), expected.size());
    for (const auto& [at, text] : expected) {
        ASSERT_EQ(read.cells.at(at).value(u"value").toString(), text)
            << "row " << at.first << " col " << at.second;
    }

    const QByteArray stream = book.workbookStream();
    const std::vector<BiffRecord> records = BiffRecords(stream);
    for (const BiffRecord& r : records) {
        ASSERT_LE(r.data.size(), 8224) << "record 0x" << std::hex << r.type;
    }
    const auto sst = std::find_if(records.begin(), records.end(),
                                  [](const BiffRecord& r) { return r.type == RecSst; });
    ASSERT_NE(sst, records.end());
    EXPECT_EQ(U32At(sst->data, 0), static_cast<std::uint32_t>(textCells));
    EXPECT_EQ(U32At(sst->data, 4), static_cast<std::uint32_t>(distinct.size()));
    auto after = sst + 1;
    int continues = 0;
    while (after != records.end() && after->type == RecContinue) {
        ++continues;
        ++after;
    }
    EXPECT_GT(continues, 50);
    ASSERT_NE(after, records.end());
    ASSERT_EQ(after->type, RecExtSst);

    // Each EXTSST bucket points at the header of its first string, inside the SST or one of
    // its CONTINUE records.
    const std::uint16_t perBucket = U16At(after->data, 0);
    EXPECT_GE(perBucket, 8);
    const qsizetype buckets = (after->data.size() - 2) / 8;
    EXPECT_EQ(buckets, static_cast<qsizetype>((distinct.size() + perBucket - 1) / perBucket));
    std::set<qsizetype> sstRecords;
    for (auto r = sst; r != after; ++r) {
        sstRecords.insert(r->offset);
    }
    for (qsizetype b = 0; b < buckets; ++b) {
        const std::uint32_t ib = U32At(after->data, 2 + b * 8);
        const std::uint16_t offset = U16At(after->data, 2 + b * 8 + 4);
        ASSERT_TRUE(sstRecords.contains(ib - offset)) << "bucket " << b;
        EXPECT_EQ(U16At(stream, ib), distinct[b * perBucket].size()) << "bucket " << b;
    }
}

TEST(XlsFile, MergedRangesSplitAcrossRecords) {
    xls::Workbook book;
    const int ranges = 2500;
    for (int i = 0; i < ranges; ++i) {
        book.merge(i * 2, i * 2 + 1, i % 7, i % 7 + 2);
        book.setText(i * 2, i % 7, QStringLiteral("Nagłówek %1").arg(i));
    }
    const std::vector<BiffRecord> records = BiffRecords(book.workbookStream());
    const std::vector<BiffRecord> merged = RecordsOfType(records, RecMergedCells);
    ASSERT_EQ(merged.size(), 3u);
    EXPECT_EQ(U16At(merged[0].data, 0), 1026);
    EXPECT_EQ(U16At(merged[1].data, 0), 1026);
    EXPECT_EQ(U16At(merged[2].data, 0), ranges - 2 * 1026);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("scalone.xls"));
    book.save(path);
    const XlsRead read = ReadXls(path);
    ASSERT_EQ(read.error, QString());
    EXPECT_EQ(read.book.value(u"log").toString(), QString());
    const QJsonArray back = read.sheet.value(u"merged").toArray();
    ASSERT_EQ(back.size(), ranges);
    for (int i = 0; i < ranges; ++i) {
        ASSERT_EQ(back[i].toArray(), (QJsonArray{i * 2, i * 2 + 2, i % 7, i % 7 + 3})) << i;
    }
    EXPECT_EQ(read.cells.at({2 * 2499, 2499 % 7}).value(u"value").toString(),
              QStringLiteral("Nagłówek 2499"));
}

TEST(XlsFile, BigSheetNeedsDifatSectors) {
    const int rows = 60000;
    const int cols = 8;
    xls::Workbook book;
    std::vector<double> sums(cols, 0.0);
    const auto value = [](int r, int c) { return r * 8.0 + c + 0.123456789; };
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            book.setNumber(r, c, value(r, c));
            sums[c] += value(r, c);
        }
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("duzy.xls"));
    book.save(path);

    const QByteArray file = ReadFile(path);
    const std::uint32_t fatSectors = U32At(file, 0x2C);
    const std::uint32_t difatSectors = U32At(file, 0x48);
    EXPECT_GT(fatSectors, 109u);
    EXPECT_GE(difatSectors, 1u);
    EXPECT_NE(U32At(file, 0x44), EndOfChain);
    // Every sector the FAT describes is in the file, and the FAT covers the whole file.
    const qsizetype sectors = file.size() / 512 - 1;
    EXPECT_EQ(file.size() % 512, 0);
    EXPECT_LE(sectors, static_cast<qsizetype>(fatSectors) * 128);
    EXPECT_GT(sectors, static_cast<qsizetype>(fatSectors - 1) * 128);

    const QList<int> sample = {0, 1, 31337, rows - 1};
    const XlsRead read = ReadXls(path, sample);
    ASSERT_EQ(read.error, QString());
    EXPECT_EQ(read.book.value(u"log").toString(), QString());
    EXPECT_EQ(read.sheet.value(u"nrows").toInt(), rows);
    EXPECT_EQ(read.sheet.value(u"ncols").toInt(), cols);
    const QJsonArray counts = read.sheet.value(u"counts").toArray();
    const QJsonArray backSums = read.sheet.value(u"sums").toArray();
    ASSERT_EQ(counts.size(), cols);
    for (int c = 0; c < cols; ++c) {
        EXPECT_EQ(counts[c].toInt(), rows) << c;
        EXPECT_EQ(std::strtod(backSums[c].toString().toLatin1().constData(), nullptr), sums[c])
            << c;
    }
    for (const int r : sample) {
        for (int c = 0; c < cols; ++c) {
            ASSERT_TRUE(read.cells.contains({r, c}));
            EXPECT_EQ(ExactNumber(read.cells.at({r, c})), value(r, c)) << r << "," << c;
        }
    }
}

TEST(XlsFile, SaveReplacesAnExistingFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Stan.xls"));
    WriteFile(path, QByteArray(100000, 'x'));
    xls::Workbook book;
    book.setText(0, 0, QStringLiteral("nowy"));
    book.save(path);
    EXPECT_EQ(ReadFile(path), book.toBytes());
    EXPECT_EQ(Entries(dir.path()), QStringList{QStringLiteral("Stan.xls")})
        << "no file is left over";
    const XlsRead read = ReadXls(path);
    EXPECT_EQ(read.cells.at({0, 0}).value(u"value").toString(), QStringLiteral("nowy"));
}

TEST(XlsFile, FailedSaveLeavesNothingBehind) {
    QTemporaryDir dir;
    const QString root = dir.path();
    WriteFile(root + QStringLiteral("/plik.txt"), "to nie folder");
    QDir(root).mkdir(QStringLiteral("folder.xls"));
    WriteFile(root + QStringLiteral("/folder.xls/w_srodku.txt"), "treść");
    const bool asRoot = geteuid() == 0;
    if (!asRoot) {
        QDir(root).mkdir(QStringLiteral("tylko_odczyt"));
        QFile::setPermissions(root + QStringLiteral("/tylko_odczyt"),
                              QFile::ReadOwner | QFile::ExeOwner);
        WriteFile(root + QStringLiteral("/zablokowany.xls"), "stara treść");
        QFile::setPermissions(root + QStringLiteral("/zablokowany.xls"), QFile::ReadOwner);
    }
    const QStringList before = Entries(root);

    struct Case {
        QString path;
        bool needsUser; // root may write there anyway
    };
    const std::vector<Case> cases = {
        {root + QStringLiteral("/brak/Stan.xls"), false},
        {root + QStringLiteral("/plik.txt/Stan.xls"), false},
        {root + QStringLiteral("/folder.xls"), false},
        {QStringLiteral("/proc/kzm_stan.xls"), false},
        {QString(), false},
        {root + QStringLiteral("/tylko_odczyt/Stan.xls"), true},
        {root + QStringLiteral("/zablokowany.xls"), true},
    };
    xls::Workbook book;
    book.setText(0, 0, QStringLiteral("ąę"));
    for (const Case& c : cases) {
        if (c.needsUser && asRoot) {
            continue;
        }
        try {
            book.save(c.path);
            ADD_FAILURE() << c.path.toStdString() << ": saved";
        } catch (const xls::Error& e) {
            EXPECT_TRUE(e.message().startsWith(QStringLiteral("Nie można zapisać pliku ") + c.path +
                                               QStringLiteral(": ")))
                << e.what();
        }
        EXPECT_EQ(Entries(root), before) << c.path.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("/proc/kzm_stan.xls")));
    EXPECT_EQ(Entries(root + QStringLiteral("/folder.xls")),
              QStringList{QStringLiteral("w_srodku.txt")});
    if (!asRoot) {
        EXPECT_EQ(Entries(root + QStringLiteral("/tylko_odczyt")), QStringList());
        EXPECT_EQ(ReadFile(root + QStringLiteral("/zablokowany.xls")), QByteArray("stara treść"));
        QFile::setPermissions(root + QStringLiteral("/tylko_odczyt"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    try {
        book.save(root + QStringLiteral("/brak/Stan.xls"));
    } catch (const xls::Error& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Nie można zapisać pliku %1/brak/Stan.xls: folder "
                                              "%1/brak nie istnieje")
                                   .arg(root));
    }
}

TEST(XlsFile, LibreOfficeShowsTheCells) {
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty()) {
        GTEST_SKIP() << "LibreOffice is not installed";
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lo.xls"));
    xls::Workbook book;
    book.merge(0, 0, 0, 3);
    book.setText(0, 0, QStringLiteral("Zażółć gęślą jaźń"));
    book.setDate(1, 0, QDate(2026, 12, 8));
    book.setDate(1, 1, QDate(1900, 3, 1));
    book.setNumber(1, 2, 42);
    book.save(path);

    QProcess convert;
    convert.setWorkingDirectory(dir.path());
    convert.start(
        soffice,
        {QStringLiteral("--headless"),
         QStringLiteral("-env:UserInstallation=file://") + dir.path() + QStringLiteral("/profile"),
         QStringLiteral("--convert-to"), QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76"),
         QStringLiteral("--outdir"), dir.path(), path});
    ASSERT_TRUE(convert.waitForFinished(120000));
    const QString csv = QString::fromUtf8(ReadFile(dir.filePath(QStringLiteral("lo.csv"))));
    const QStringList lines = csv.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 2) << csv.toStdString();
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("Zażółć gęślą jaźń"))) << csv.toStdString();
    EXPECT_TRUE(lines[1].trimmed().startsWith(QStringLiteral("08.12.2026,01.03.1900,42")))
        << csv.toStdString();
}
