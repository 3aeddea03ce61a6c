#include "xls/CompoundFile.h"

#include "xls/Bytes.h"

#include <cstdint>
#include <stdexcept>
#include <vector>

namespace xls {

namespace {

constexpr std::uint32_t SectorSize = 512;
constexpr std::uint32_t IdsPerSector = SectorSize / 4;
constexpr std::uint32_t HeaderDifatEntries = 109;
constexpr std::uint32_t MiniStreamCutoff = 4096;

constexpr std::uint32_t FreeSect = 0xFFFFFFFF;
constexpr std::uint32_t EndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t FatSect = 0xFFFFFFFD;
constexpr std::uint32_t DifSect = 0xFFFFFFFC;
constexpr std::uint32_t NoStream = 0xFFFFFFFF;

std::uint32_t SectorsFor(std::uint64_t bytes, std::uint32_t perSector) {
    return static_cast<std::uint32_t>((bytes + perSector - 1) / perSector);
}

enum class EntryType : std::uint8_t { Empty = 0, Stream = 2, Root = 5 };

void PutEntry(QByteArray& out, const QString& name, EntryType type, std::uint32_t child,
              std::uint32_t start, std::uint32_t size) {
    const qsizetype begin = out.size();
    const QString shown = name.left(31);
    for (const QChar c : shown) {
        PutU16(out, c.unicode());
    }
    out.append(64 - shown.size() * 2, '\0');
    PutU16(out, type == EntryType::Empty ? 0 : static_cast<std::uint16_t>((shown.size() + 1) * 2));
    PutU8(out, static_cast<std::uint8_t>(type));
    PutU8(out, type == EntryType::Empty ? 0 : 1); // black
    PutU32(out, NoStream);                        // left sibling
    PutU32(out, NoStream);                        // right sibling
    PutU32(out, child);
    out.append(16, '\0'); // class id
    PutU32(out, 0);       // state bits
    out.append(16, '\0'); // creation and modification times
    PutU32(out, start);
    PutU32(out, size);
    PutU32(out, 0); // high half of the size
    Q_ASSERT(out.size() - begin == 128);
}

} // namespace

QByteArray CompoundFile(const QString& streamName, const QByteArray& stream) {
    if (stream.size() < MiniStreamCutoff) {
        throw std::invalid_argument("compound file stream shorter than the mini stream cutoff");
    }
    if (static_cast<std::uint64_t>(stream.size()) > 0x7FFFFE00u) {
        throw std::invalid_argument("compound file stream too long");
    }
    const std::uint32_t streamSectors = SectorsFor(stream.size(), SectorSize);

    // The FAT covers itself and the DIFAT sectors, so their counts are found together.
    std::uint32_t fatSectors = 0;
    std::uint32_t difatSectors = 0;
    for (;;) {
        const std::uint32_t total = streamSectors + fatSectors + difatSectors + 1;
        const std::uint32_t fat = SectorsFor(total, IdsPerSector);
        const std::uint32_t difat =
            fat > HeaderDifatEntries ? SectorsFor(fat - HeaderDifatEntries, IdsPerSector - 1) : 0;
        if (fat == fatSectors && difat == difatSectors) {
            break;
        }
        fatSectors = fat;
        difatSectors = difat;
    }
    const std::uint32_t firstFat = streamSectors;
    const std::uint32_t firstDifat = firstFat + fatSectors;
    const std::uint32_t directory = firstDifat + difatSectors;
    const std::uint32_t totalSectors = directory + 1;

    QByteArray out;
    out.reserve(static_cast<qsizetype>(SectorSize) * (totalSectors + 1));

    // Header.
    out.append("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    out.append(16, '\0'); // class id
    PutU16(out, 0x003E);  // minor version
    PutU16(out, 0x0003);  // major version
    PutU16(out, 0xFFFE);  // byte order
    PutU16(out, 9);       // sector size 2^9
    PutU16(out, 6);       // mini sector size 2^6
    out.append(6, '\0');  // reserved
    PutU32(out, 0);       // directory sectors (always 0 in version 3)
    PutU32(out, fatSectors);
    PutU32(out, directory);
    PutU32(out, 0); // transaction signature
    PutU32(out, MiniStreamCutoff);
    PutU32(out, EndOfChain); // no mini FAT
    PutU32(out, 0);
    PutU32(out, difatSectors == 0 ? EndOfChain : firstDifat);
    PutU32(out, difatSectors);
    for (std::uint32_t i = 0; i < HeaderDifatEntries; ++i) {
        PutU32(out, i < fatSectors ? firstFat + i : FreeSect);
    }
    Q_ASSERT(out.size() == SectorSize);

    // The stream, padded to whole sectors.
    out.append(stream);
    out.append(static_cast<qsizetype>(streamSectors) * SectorSize - stream.size(), '\0');

    // FAT.
    std::vector<std::uint32_t> fat(static_cast<std::size_t>(fatSectors) * IdsPerSector, FreeSect);
    for (std::uint32_t i = 0; i < streamSectors; ++i) {
        fat[i] = i + 1 < streamSectors ? i + 1 : EndOfChain;
    }
    for (std::uint32_t i = 0; i < fatSectors; ++i) {
        fat[firstFat + i] = FatSect;
    }
    for (std::uint32_t i = 0; i < difatSectors; ++i) {
        fat[firstDifat + i] = DifSect;
    }
    fat[directory] = EndOfChain;
    for (const std::uint32_t id : fat) {
        PutU32(out, id);
    }

    // DIFAT sectors: the FAT sectors past the header's 109, each sector ending with the next.
    for (std::uint32_t d = 0; d < difatSectors; ++d) {
        for (std::uint32_t i = 0; i < IdsPerSector - 1; ++i) {
            const std::uint32_t n = HeaderDifatEntries + d * (IdsPerSector - 1) + i;
            PutU32(out, n < fatSectors ? firstFat + n : FreeSect);
        }
        PutU32(out, d + 1 < difatSectors ? firstDifat + d + 1 : EndOfChain);
    }

    // Directory: the root storage with the one stream as its child.
    PutEntry(out, QStringLiteral("Root Entry"), EntryType::Root, 1, EndOfChain, 0);
    PutEntry(out, streamName, EntryType::Stream, NoStream, 0,
             static_cast<std::uint32_t>(stream.size()));
    PutEntry(out, {}, EntryType::Empty, NoStream, 0, 0);
    PutEntry(out, {}, EntryType::Empty, NoStream, 0, 0);

    Q_ASSERT(out.size() == static_cast<qsizetype>(SectorSize) * (totalSectors + 1));
    return out;
}

} // namespace xls
