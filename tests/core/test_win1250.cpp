#include "core/Win1250.h"

#include "support/QtPrint.h"

#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

using namespace kzm;

namespace {

const QByteArray kUndefinedBytes("\x81\x83\x88\x90\x98");

bool IsUndefined(int byte) {
    return kUndefinedBytes.contains(static_cast<char>(byte));
}

// Every byte that Windows-1250 defines, in order.
QByteArray DefinedBytes() {
    QByteArray bytes;
    for (int b = 0; b < 256; ++b) {
        if (!IsUndefined(b)) {
            bytes.append(static_cast<char>(b));
        }
    }
    return bytes;
}

} // namespace

TEST(Win1250, PolishLettersHaveTheirBytes) {
    const QString letters = QStringLiteral("ĄĆĘŁŃÓŚŹŻąćęłńóśźż");
    const QByteArray bytes(
        "\xA5\xC6\xCA\xA3\xD1\xD3\x8C\x8F\xAF\xB9\xE6\xEA\xB3\xF1\xF3\x9C\x9F\xBF");
    EXPECT_EQ(ToWin1250(letters), bytes);
    EXPECT_EQ(FromWin1250(bytes), letters);
}

TEST(Win1250, HighBytesDecodeAsIconvDoes) {
    const QString iconv = QStandardPaths::findExecutable(QStringLiteral("iconv"));
    if (iconv.isEmpty()) {
        GTEST_SKIP() << "iconv is not installed";
    }
    QByteArray high;
    for (int b = 0x80; b < 0x100; ++b) {
        if (!IsUndefined(b)) {
            high.append(static_cast<char>(b));
        }
    }
    QProcess process;
    process.start(iconv, {QStringLiteral("-f"), QStringLiteral("CP1250"), QStringLiteral("-t"),
                          QStringLiteral("UTF-8")});
    ASSERT_TRUE(process.waitForStarted());
    process.write(high);
    process.closeWriteChannel();
    ASSERT_TRUE(process.waitForFinished());
    ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    const QString expected = QString::fromUtf8(process.readAllStandardOutput());

    const QString decoded = FromWin1250(high);
    ASSERT_EQ(decoded.size(), expected.size());
    for (qsizetype i = 0; i < high.size(); ++i) {
        EXPECT_EQ(decoded[i].unicode(), expected[i].unicode())
            << "byte 0x" << std::hex << (static_cast<unsigned char>(high[i]));
    }
}

TEST(Win1250, EveryDefinedByteRoundTrips) {
    const QByteArray bytes = DefinedBytes();
    const QString text = FromWin1250(bytes);
    EXPECT_EQ(text.size(), bytes.size());
    EXPECT_EQ(ToWin1250(text), bytes);
}

TEST(Win1250, UndefinedBytesDecodeToReplacementCharacter) {
    const QString decoded = FromWin1250(kUndefinedBytes);
    ASSERT_EQ(decoded.size(), kUndefinedBytes.size());
    for (QChar ch : decoded) {
        EXPECT_EQ(ch, QChar(QChar::ReplacementCharacter));
    }
}

TEST(Win1250, CharactersWithoutByteEncodeToOneQuestionMark) {
    // Omega, a C1 control, the replacement character, a character outside the basic plane
    // (two UTF-16 units) and an unpaired surrogate.
    QString text = QStringLiteral("aΩb\u0081c\uFFFDd😀e");
    text.append(QChar(0xD800));
    EXPECT_EQ(ToWin1250(text), QByteArray("a?b?c?d?e?"));
}

TEST(Win1250, NulBytesAndEmptyInputSurvive) {
    const QByteArray bytes("x\0y", 3);
    EXPECT_EQ(FromWin1250(bytes), QString::fromLatin1("x\0y", 3));
    EXPECT_EQ(ToWin1250(FromWin1250(bytes)), bytes);
    EXPECT_TRUE(FromWin1250(QByteArray()).isEmpty());
    EXPECT_TRUE(ToWin1250(QString()).isEmpty());
}
