#pragma once

#include <QByteArray>
#include <QtEndian>

#include <cstdint>
#include <cstring>

namespace xls {

// Little-endian values appended to, or written into, a byte array.
inline void PutU8(QByteArray& out, std::uint8_t value) {
    out.append(static_cast<char>(value));
}

inline void PutU16(QByteArray& out, std::uint16_t value) {
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

inline void PutU32(QByteArray& out, std::uint32_t value) {
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

inline void PutDouble(QByteArray& out, double value) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    char bytes[8];
    qToLittleEndian(bits, bytes);
    out.append(bytes, 8);
}

inline void SetU16(QByteArray& out, qsizetype at, std::uint16_t value) {
    qToLittleEndian(value, out.data() + at);
}

inline void SetU32(QByteArray& out, qsizetype at, std::uint32_t value) {
    qToLittleEndian(value, out.data() + at);
}

} // namespace xls
