#include "core/Win1250.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace kzm {

namespace {

constexpr char16_t kUndefined = 0xFFFD;

// Characters of the bytes 0x80..0xFF.
constexpr std::array<char16_t, 128> kHigh = {
    // 0x80
    0x20AC, kUndefined, 0x201A, kUndefined, 0x201E, 0x2026, 0x2020, 0x2021, //
    kUndefined, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,     //
    // 0x90
    kUndefined, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, //
    kUndefined, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A, //
    // 0xA0
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7, //
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B, //
    // 0xB0
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7, //
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C, //
    // 0xC0
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7, //
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E, //
    // 0xD0
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7, //
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF, //
    // 0xE0
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7, //
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F, //
    // 0xF0
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7, //
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9, //
};

constexpr std::array<char16_t, 256> kDecode = [] {
    std::array<char16_t, 256> table{};
    for (std::size_t i = 0; i < 128; ++i) {
        table[i] = static_cast<char16_t>(i);
        table[i + 128] = kHigh[i];
    }
    return table;
}();

struct EncodeEntry {
    char16_t ch;
    std::uint8_t byte;
};

constexpr std::size_t kDefinedHigh = static_cast<std::size_t>(
    std::count_if(kHigh.begin(), kHigh.end(), [](char16_t c) { return c != kUndefined; }));

// The defined high bytes ordered by character, for binary search.
constexpr std::array<EncodeEntry, kDefinedHigh> kEncode = [] {
    std::array<EncodeEntry, kDefinedHigh> table{};
    std::size_t n = 0;
    for (std::size_t i = 0; i < 128; ++i) {
        if (kHigh[i] != kUndefined) {
            table[n++] = {kHigh[i], static_cast<std::uint8_t>(i + 128)};
        }
    }
    std::sort(table.begin(), table.end(),
              [](const EncodeEntry& a, const EncodeEntry& b) { return a.ch < b.ch; });
    return table;
}();

char EncodeChar(char16_t ch) {
    if (ch < 0x80) {
        return static_cast<char>(ch);
    }
    const auto* it =
        std::lower_bound(kEncode.begin(), kEncode.end(), ch,
                         [](const EncodeEntry& entry, char16_t value) { return entry.ch < value; });
    if (it != kEncode.end() && it->ch == ch) {
        return static_cast<char>(it->byte);
    }
    return '?';
}

} // namespace

QByteArray ToWin1250(QStringView text) {
    QByteArray result(text.size(), Qt::Uninitialized);
    char* out = result.data();
    qsizetype n = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text[i];
        if (ch.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
            out[n++] = '?';
        } else {
            out[n++] = EncodeChar(ch.unicode());
        }
    }
    result.truncate(n);
    return result;
}

QString FromWin1250(const char* data, qsizetype length) {
    QString result(length, Qt::Uninitialized);
    QChar* out = result.data();
    for (qsizetype i = 0; i < length; ++i) {
        out[i] = QChar(kDecode[static_cast<unsigned char>(data[i])]);
    }
    return result;
}

QString FromWin1250(const QByteArray& bytes) {
    return FromWin1250(bytes.constData(), bytes.size());
}

} // namespace kzm
