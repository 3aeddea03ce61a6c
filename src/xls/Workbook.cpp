#include "xls/Workbook.h"

#include "xls/Bytes.h"
#include "xls/CompoundFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace xls {

namespace {

// Record types.
constexpr std::uint16_t RecBof = 0x0809;
constexpr std::uint16_t RecEof = 0x000A;
constexpr std::uint16_t RecInterfaceHdr = 0x00E1;
constexpr std::uint16_t RecMms = 0x00C1;
constexpr std::uint16_t RecInterfaceEnd = 0x00E2;
constexpr std::uint16_t RecCodepage = 0x0042;
constexpr std::uint16_t RecDsf = 0x0161;
constexpr std::uint16_t RecTabId = 0x013D;
constexpr std::uint16_t RecWindowProtect = 0x0019;
constexpr std::uint16_t RecProtect = 0x0012;
constexpr std::uint16_t RecPassword = 0x0013;
constexpr std::uint16_t RecProt4Rev = 0x01AF;
constexpr std::uint16_t RecProt4RevPass = 0x01BC;
constexpr std::uint16_t RecWindow1 = 0x003D;
constexpr std::uint16_t RecBackup = 0x0040;
constexpr std::uint16_t RecHideObj = 0x008D;
constexpr std::uint16_t RecDateMode = 0x0022;
constexpr std::uint16_t RecPrecision = 0x000E;
constexpr std::uint16_t RecRefreshAll = 0x01B7;
constexpr std::uint16_t RecBookBool = 0x00DA;
constexpr std::uint16_t RecFont = 0x0031;
constexpr std::uint16_t RecFormat = 0x041E;
constexpr std::uint16_t RecXf = 0x00E0;
constexpr std::uint16_t RecStyle = 0x0293;
constexpr std::uint16_t RecBoundSheet = 0x0085;
constexpr std::uint16_t RecSst = 0x00FC;
constexpr std::uint16_t RecContinue = 0x003C;
constexpr std::uint16_t RecExtSst = 0x00FF;
constexpr std::uint16_t RecCalcMode = 0x000D;
constexpr std::uint16_t RecCalcCount = 0x000C;
constexpr std::uint16_t RecRefMode = 0x000F;
constexpr std::uint16_t RecIteration = 0x0011;
constexpr std::uint16_t RecDelta = 0x0010;
constexpr std::uint16_t RecSaveRecalc = 0x005F;
constexpr std::uint16_t RecPrintHeaders = 0x002A;
constexpr std::uint16_t RecPrintGridlines = 0x002B;
constexpr std::uint16_t RecGridSet = 0x0082;
constexpr std::uint16_t RecGuts = 0x0080;
constexpr std::uint16_t RecDefaultRowHeight = 0x0225;
constexpr std::uint16_t RecWsBool = 0x0081;
constexpr std::uint16_t RecDefColWidth = 0x0055;
constexpr std::uint16_t RecColInfo = 0x007D;
constexpr std::uint16_t RecDimensions = 0x0200;
constexpr std::uint16_t RecLabelSst = 0x00FD;
constexpr std::uint16_t RecNumber = 0x0203;
constexpr std::uint16_t RecRk = 0x027E;
constexpr std::uint16_t RecWindow2 = 0x023E;
constexpr std::uint16_t RecMergedCells = 0x00E5;

// The most data one record may carry; longer data goes on in CONTINUE records.
constexpr qsizetype MaxRecordData = 8224;
constexpr int MaxRangesPerMergedCells = 1026;
// Streams shorter than this would belong in the mini stream.
constexpr qsizetype MinStreamSize = 4096;

constexpr std::uint16_t BiffVersion = 0x0600;
constexpr std::uint16_t Utf16Codepage = 1200;
constexpr std::uint16_t DateFormatIndex = 164;
const QString DateFormat = QStringLiteral("dd\\.mm\\.yyyy");

constexpr std::uint16_t StyleXfCount = 15;
constexpr std::uint16_t CellXf = 15;
constexpr std::uint16_t DateXf = 16;

// Column widths: the digit "0" of the default font is 7 pixels wide and a cell adds 5 pixels.
constexpr double DigitPixels = 7.0;
constexpr double CellPaddingPixels = 5.0;
constexpr double MaxColumnWidth = 255.0;

qsizetype BeginRecord(QByteArray& out, std::uint16_t type) {
    const qsizetype start = out.size();
    PutU16(out, type);
    PutU16(out, 0);
    return start;
}

void EndRecord(QByteArray& out, qsizetype start) {
    const qsizetype length = out.size() - start - 4;
    Q_ASSERT(length <= MaxRecordData);
    SetU16(out, start + 2, static_cast<std::uint16_t>(length));
}

void Record(QByteArray& out, std::uint16_t type, const QByteArray& data = {}) {
    const qsizetype start = BeginRecord(out, type);
    out.append(data);
    EndRecord(out, start);
}

QByteArray U16Data(std::uint16_t value) {
    QByteArray data;
    PutU16(data, value);
    return data;
}

// True when every character fits in one byte, so that the text may be stored compressed.
bool Compressible(QStringView text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x100; });
}

void PutChars(QByteArray& out, QStringView text, bool compressed) {
    for (const QChar c : text) {
        if (compressed) {
            PutU8(out, static_cast<std::uint8_t>(c.unicode()));
        } else {
            PutU16(out, c.unicode());
        }
    }
}

// A string with a one-byte length, as in FONT and BOUNDSHEET.
void PutShortString(QByteArray& out, const QString& text) {
    const bool compressed = Compressible(text);
    PutU8(out, static_cast<std::uint8_t>(text.size()));
    PutU8(out, compressed ? 0 : 1);
    PutChars(out, text, compressed);
}

// A string with a two-byte length, as in FORMAT.
void PutString(QByteArray& out, const QString& text) {
    const bool compressed = Compressible(text);
    PutU16(out, static_cast<std::uint16_t>(text.size()));
    PutU8(out, compressed ? 0 : 1);
    PutChars(out, text, compressed);
}

void PutBof(QByteArray& out, std::uint16_t substream) {
    QByteArray data;
    PutU16(data, BiffVersion);
    PutU16(data, substream);
    PutU16(data, 0x0DBB); // build
    PutU16(data, 0x07CC); // year
    PutU32(data, 0);      // file history
    PutU32(data, 0x0006); // lowest version that can read the file
    Record(out, RecBof, data);
}

void PutFont(QByteArray& out) {
    QByteArray data;
    PutU16(data, 200);    // 10 points in twips
    PutU16(data, 0);      // attributes
    PutU16(data, 0x7FFF); // automatic colour
    PutU16(data, 400);    // normal weight
    PutU16(data, 0);      // no super- or subscript
    PutU8(data, 0);       // no underline
    PutU8(data, 0);       // family
    PutU8(data, 0);       // character set
    PutU8(data, 0);
    PutShortString(data, QStringLiteral("Arial"));
    Record(out, RecFont, data);
}

void PutXf(QByteArray& out, std::uint16_t font, std::uint16_t format, bool style,
           std::uint8_t usedAttributes) {
    QByteArray data;
    PutU16(data, font);
    PutU16(data, format);
    PutU16(data, style ? 0xFFF5 : 0x0001); // locked; a style has no parent, a cell has style 0
    PutU8(data, 0x20);                     // general alignment, bottom
    PutU8(data, 0);                        // no rotation
    PutU8(data, 0);                        // no indent
    PutU8(data, usedAttributes);
    PutU32(data, 0);      // no borders
    PutU32(data, 0);      // no borders, no fill
    PutU16(data, 0x20C0); // pattern colours: system foreground and background
    Record(out, RecXf, data);
}

// Excel's RK form of the number when it gives back exactly the same double.
bool ToRk(double value, std::uint32_t& rk) {
    const auto decode = [](std::uint32_t r) {
        double d = 0;
        if (r & 2) {
            d = static_cast<double>(static_cast<std::int32_t>(r) >> 2);
        } else {
            const std::uint64_t bits = static_cast<std::uint64_t>(r & 0xFFFFFFFCu) << 32;
            std::memcpy(&d, &bits, sizeof d);
        }
        return (r & 1) ? d / 100.0 : d;
    };
    const auto same = [](double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; };
    const auto asInteger = [&](double v, std::uint32_t flags) {
        if (v != std::trunc(v) || v < -536870912.0 || v > 536870911.0) {
            return false;
        }
        const std::uint32_t r =
            (static_cast<std::uint32_t>(static_cast<std::int32_t>(v)) << 2) | 2 | flags;
        if (!same(decode(r), value)) {
            return false;
        }
        rk = r;
        return true;
    };
    const auto asFloat = [&](double v, std::uint32_t flags) {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &v, sizeof bits);
        if ((bits & 0x3FFFFFFFFull) != 0) {
            return false;
        }
        const std::uint32_t r = static_cast<std::uint32_t>(bits >> 32) | flags;
        if (!same(decode(r), value)) {
            return false;
        }
        rk = r;
        return true;
    };
    return asInteger(value, 0) || asFloat(value, 0) || asInteger(value * 100.0, 1) ||
           asFloat(value * 100.0, 1);
}

// The SST record and the CONTINUE records it runs on into.
class SstWriter {
public:
    explicit SstWriter(QByteArray& out) : out_(out) { start_ = BeginRecord(out_, RecSst); }
    qsizetype room() const { return MaxRecordData - (out_.size() - start_ - 4); }
    void next() {
        EndRecord(out_, start_);
        start_ = BeginRecord(out_, RecContinue);
    }
    void finish() { EndRecord(out_, start_); }
    // Where a string begins: its stream position and its offset in the record holding it.
    struct Start {
        qsizetype position;
        qsizetype offsetInRecord;
    };

    Start putString(const QString& text) {
        const bool compressed = Compressible(text);
        const qsizetype charSize = compressed ? 1 : 2;
        // The header and the first character stay together.
        if (room() < 3 + charSize) {
            next();
        }
        const Start start{out_.size(), out_.size() - start_};
        PutU16(out_, static_cast<std::uint16_t>(text.size()));
        PutU8(out_, compressed ? 0 : 1);
        qsizetype done = 0;
        while (done < text.size()) {
            qsizetype fit = room() / charSize;
            if (fit == 0) {
                next();
                PutU8(out_, compressed ? 0 : 1);
                fit = room() / charSize;
            }
            const qsizetype n = std::min(fit, text.size() - done);
            PutChars(out_, QStringView(text).mid(done, n), compressed);
            done += n;
        }
        return start;
    }

private:
    QByteArray& out_;
    qsizetype start_;
};

// Arial's advance widths in thousandths of an em for the printable ASCII characters.
constexpr std::uint16_t ArialWidths[95] = {
    278, 278, 355, 556, 556, 889, 667,  191, 333, 333, 389, 584, 278, 333, 278, 278, // space to /
    556, 556, 556, 556, 556, 556, 556,  556, 556, 556,                               // 0 to 9
    278, 278, 584, 584, 584, 556, 1015,                                              // : to @
    667, 667, 722, 722, 667, 611, 778,  722, 278, 500, 667, 556, 833,                // A to M
    722, 778, 667, 778, 722, 667, 611,  722, 667, 944, 667, 667, 611,                // N to Z
    278, 278, 278, 469, 556, 333,                                                    // [ to `
    556, 556, 500, 556, 556, 278, 556,  556, 222, 222, 500, 222, 833,                // a to m
    556, 556, 556, 556, 333, 500, 278,  556, 500, 722, 500, 500, 500,                // n to z
    334, 260, 334, 584,                                                              // { to ~
};
constexpr double DigitWidth = 556.0;

double CharWidth(QChar c) {
    if (c.unicode() == 0x0142) { // ł
        return ArialWidths['l' - 32];
    }
    if (c.unicode() == 0x0141) { // Ł
        return ArialWidths['L' - 32];
    }
    if (c.decompositionTag() == QChar::Canonical) {
        c = c.decomposition().at(0);
    }
    if (c.unicode() >= 32 && c.unicode() < 127) {
        return ArialWidths[c.unicode() - 32];
    }
    return c.isUpper() ? 722.0 : DigitWidth;
}

QString Where(int row, int col) {
    return QStringLiteral("wiersz %1, kolumna %2").arg(row).arg(col);
}

} // namespace

Error::Error(const QString& message) : std::runtime_error(message.toStdString()) {}

Workbook::Workbook(const QString& sheetName) : sheetName_(sheetName) {
    static const QString forbidden = QStringLiteral("[]:*?/\\");
    const bool valid = !sheetName.isEmpty() && sheetName.size() <= 31 &&
                       std::none_of(sheetName.begin(), sheetName.end(),
                                    [](QChar c) { return forbidden.contains(c); }) &&
                       !sheetName.startsWith(u'\'') && !sheetName.endsWith(u'\'');
    if (!valid) {
        throw Error(QStringLiteral("Nieprawidłowa nazwa arkusza \"%1\": nazwa musi mieć od 1 do 31 "
                                   "znaków, bez znaków [ ] : * ? / \\ i bez apostrofu na "
                                   "początku i końcu")
                        .arg(sheetName));
    }
}

void Workbook::checkCell(int row, int col) const {
    if (row < 0 || row >= MaxRows || col < 0 || col >= MaxColumns) {
        throw Error(QStringLiteral("Komórka (%1) leży poza arkuszem Excel 97: wiersze od 0 do "
                                   "%2, kolumny od 0 do %3")
                        .arg(Where(row, col))
                        .arg(MaxRows - 1)
                        .arg(MaxColumns - 1));
    }
}

void Workbook::checkColumn(int col) const {
    if (col < 0 || col >= MaxColumns) {
        throw Error(QStringLiteral("Kolumna %1 leży poza arkuszem Excel 97: kolumny od 0 do %2")
                        .arg(col)
                        .arg(MaxColumns - 1));
    }
}

void Workbook::put(int row, Cell cell) {
    if (static_cast<std::size_t>(row) >= rows_.size()) {
        rows_.resize(static_cast<std::size_t>(row) + 1);
    }
    std::vector<Cell>& cells = rows_[static_cast<std::size_t>(row)];
    if (cells.empty() || cells.back().col < cell.col) {
        cells.push_back(cell);
        return;
    }
    const auto at = std::lower_bound(cells.begin(), cells.end(), cell.col,
                                     [](const Cell& c, std::uint16_t col) { return c.col < col; });
    if (at != cells.end() && at->col == cell.col) {
        *at = cell;
    } else {
        cells.insert(at, cell);
    }
}

std::uint32_t Workbook::intern(const QString& text) {
    const auto found = textIndex_.constFind(text);
    if (found != textIndex_.constEnd()) {
        return found.value();
    }
    const auto index = static_cast<std::uint32_t>(texts_.size());
    texts_.push_back(text);
    textIndex_.insert(text, index);
    return index;
}

void Workbook::setText(int row, int col, const QString& text) {
    checkCell(row, col);
    if (text.size() > MaxTextLength) {
        throw Error(QStringLiteral("Tekst w komórce (%1) ma %2 znaków, a komórka Excel 97 mieści "
                                   "najwyżej %3")
                        .arg(Where(row, col))
                        .arg(text.size())
                        .arg(MaxTextLength));
    }
    if (text.isEmpty()) {
        clear(row, col);
        return;
    }
    put(row, Cell{static_cast<std::uint16_t>(col), Kind::Text, 0.0, intern(text)});
}

void Workbook::setNumber(int row, int col, double value) {
    checkCell(row, col);
    if (!std::isfinite(value)) {
        throw Error(QStringLiteral("Wartość w komórce (%1) nie jest liczbą skończoną")
                        .arg(Where(row, col)));
    }
    put(row, Cell{static_cast<std::uint16_t>(col), Kind::Number, value, 0});
}

void Workbook::setDate(int row, int col, const QDate& date) {
    checkCell(row, col);
    if (!date.isValid()) {
        clear(row, col);
        return;
    }
    put(row, Cell{static_cast<std::uint16_t>(col), Kind::Date, serialOf(date), 0});
}

void Workbook::setDateTime(int row, int col, const QDateTime& value) {
    checkCell(row, col);
    if (!value.isValid()) {
        clear(row, col);
        return;
    }
    put(row, Cell{static_cast<std::uint16_t>(col), Kind::Date, serialOf(value), 0});
}

void Workbook::clear(int row, int col) {
    checkCell(row, col);
    if (static_cast<std::size_t>(row) >= rows_.size()) {
        return;
    }
    std::vector<Cell>& cells = rows_[static_cast<std::size_t>(row)];
    std::erase_if(cells, [col](const Cell& c) { return c.col == col; });
}

void Workbook::merge(int firstRow, int lastRow, int firstCol, int lastCol) {
    checkCell(firstRow, firstCol);
    checkCell(lastRow, lastCol);
    const QString range = QStringLiteral("wiersze %1–%2, kolumny %3–%4")
                              .arg(firstRow)
                              .arg(lastRow)
                              .arg(firstCol)
                              .arg(lastCol);
    if (firstRow > lastRow || firstCol > lastCol) {
        throw Error(QStringLiteral("Nieprawidłowy zakres do scalenia (%1)").arg(range));
    }
    if (firstRow == lastRow && firstCol == lastCol) {
        return;
    }
    for (const Range& m : merged_) {
        if (firstRow <= m.lastRow && m.firstRow <= lastRow && firstCol <= m.lastCol &&
            m.firstCol <= lastCol) {
            throw Error(QStringLiteral("Zakres do scalenia (%1) nachodzi na zakres już scalony")
                            .arg(range));
        }
    }
    merged_.push_back(Range{firstRow, lastRow, firstCol, lastCol});
}

void Workbook::setColumnWidth(int col, double widthInCharacters) {
    checkColumn(col);
    if (std::isnan(widthInCharacters)) {
        throw Error(QStringLiteral("Nieprawidłowa szerokość kolumny %1").arg(col));
    }
    if (static_cast<std::size_t>(col) >= widths_.size()) {
        widths_.resize(static_cast<std::size_t>(col) + 1, -1.0);
    }
    widths_[static_cast<std::size_t>(col)] = std::clamp(widthInCharacters, 0.0, MaxColumnWidth);
}

void Workbook::fitColumnToText(int col, const QString& text) {
    checkColumn(col);
    const double needed = textWidth(text) + 1.0;
    if (needed > columnWidth(col)) {
        setColumnWidth(col, needed);
    }
}

int Workbook::rowCount() const {
    for (std::size_t r = rows_.size(); r > 0; --r) {
        if (!rows_[r - 1].empty()) {
            return static_cast<int>(r);
        }
    }
    return 0;
}

int Workbook::columnCount() const {
    int count = 0;
    for (const std::vector<Cell>& cells : rows_) {
        if (!cells.empty()) {
            count = std::max(count, cells.back().col + 1);
        }
    }
    return count;
}

double Workbook::columnWidth(int col) const {
    checkColumn(col);
    const auto c = static_cast<std::size_t>(col);
    return c < widths_.size() && widths_[c] >= 0 ? widths_[c] : DefaultColumnWidth;
}

double Workbook::serialOf(const QDate& date) {
    static const QDate zero(1899, 12, 30);
    auto days = static_cast<double>(zero.daysTo(date));
    // Excel counts a 29.02.1900 that never was, so the days of January and February 1900
    // come one number earlier than a plain count gives.
    if (date >= QDate(1900, 1, 1) && date < QDate(1900, 3, 1)) {
        days -= 1;
    }
    return days;
}

double Workbook::serialOf(const QDateTime& value) {
    return serialOf(value.date()) + value.time().msecsSinceStartOfDay() / 86400000.0;
}

double Workbook::textWidth(const QString& text) {
    double widest = 0;
    for (const QStringView line : QStringView(text).split(u'\n')) {
        double width = 0;
        for (const QChar c : line) {
            if (c != u'\r') {
                width += CharWidth(c);
            }
        }
        widest = std::max(widest, width);
    }
    return widest / DigitWidth;
}

QByteArray Workbook::workbookStream() const {
    // The shared strings: the texts still used by a cell, in the order of first use.
    constexpr std::uint32_t Unused = std::numeric_limits<std::uint32_t>::max();
    std::vector<std::uint32_t> sstIndex(texts_.size(), Unused);
    std::vector<std::uint32_t> sstTexts;
    std::uint32_t textCells = 0;
    for (const std::vector<Cell>& cells : rows_) {
        for (const Cell& cell : cells) {
            if (cell.kind == Kind::Text) {
                ++textCells;
                if (sstIndex[cell.text] == Unused) {
                    sstIndex[cell.text] = static_cast<std::uint32_t>(sstTexts.size());
                    sstTexts.push_back(cell.text);
                }
            }
        }
    }

    QByteArray out;

    // Workbook globals.
    PutBof(out, 0x0005);
    Record(out, RecInterfaceHdr, U16Data(Utf16Codepage));
    Record(out, RecMms, U16Data(0));
    Record(out, RecInterfaceEnd);
    Record(out, RecCodepage, U16Data(Utf16Codepage));
    Record(out, RecDsf, U16Data(0));
    Record(out, RecTabId, U16Data(1));
    Record(out, RecWindowProtect, U16Data(0));
    Record(out, RecProtect, U16Data(0));
    Record(out, RecPassword, U16Data(0));
    Record(out, RecProt4Rev, U16Data(0));
    Record(out, RecProt4RevPass, U16Data(0));
    {
        QByteArray data;
        PutU16(data, 0x01E0); // window position and size in twips
        PutU16(data, 0x005A);
        PutU16(data, 0x3FCF);
        PutU16(data, 0x2A4E);
        PutU16(data, 0x0038); // scroll bars and sheet tabs shown
        PutU16(data, 0);      // active sheet
        PutU16(data, 0);      // first visible tab
        PutU16(data, 1);      // selected sheets
        PutU16(data, 0x0258); // tab bar width ratio
        Record(out, RecWindow1, data);
    }
    Record(out, RecBackup, U16Data(0));
    Record(out, RecHideObj, U16Data(0));
    Record(out, RecDateMode, U16Data(0)); // the 1900 date system
    Record(out, RecPrecision, U16Data(1));
    Record(out, RecRefreshAll, U16Data(0));
    Record(out, RecBookBool, U16Data(0));
    // Font index 4 is never used, so five records give fonts 0 to 3 and 5.
    for (int i = 0; i < 5; ++i) {
        PutFont(out);
    }
    {
        QByteArray data;
        PutU16(data, DateFormatIndex);
        PutString(data, DateFormat);
        Record(out, RecFormat, data);
    }
    PutXf(out, 0, 0, true, 0x00);
    for (std::uint16_t i = 1; i < StyleXfCount; ++i) {
        PutXf(out, i <= 2 ? 1 : (i <= 4 ? 2 : 0), 0, true, 0xF4);
    }
    PutXf(out, 0, 0, false, 0x00);
    PutXf(out, 0, DateFormatIndex, false, 0x04); // number format differs from the style
    {
        QByteArray data;
        PutU16(data, 0x8000); // built-in style of XF 0
        PutU8(data, 0);       // Normal
        PutU8(data, 0xFF);
        Record(out, RecStyle, data);
    }
    qsizetype sheetOffsetAt = 0;
    {
        QByteArray data;
        PutU32(data, 0); // stream offset of the sheet, filled in below
        PutU8(data, 0);  // visible
        PutU8(data, 0);  // worksheet
        PutShortString(data, sheetName_);
        sheetOffsetAt = out.size() + 4;
        Record(out, RecBoundSheet, data);
    }
    {
        const auto unique = static_cast<std::uint32_t>(sstTexts.size());
        const std::uint32_t perBucket = std::max<std::uint32_t>(8, 1 + unique / 128);
        QByteArray buckets;
        SstWriter sst(out);
        PutU32(out, textCells);
        PutU32(out, unique);
        for (std::uint32_t i = 0; i < unique; ++i) {
            const SstWriter::Start start = sst.putString(texts_[sstTexts[i]]);
            // Each bucket points at its first string.
            if (i % perBucket == 0) {
                PutU32(buckets, static_cast<std::uint32_t>(start.position));
                PutU16(buckets, static_cast<std::uint16_t>(start.offsetInRecord));
                PutU16(buckets, 0);
            }
        }
        sst.finish();
        QByteArray data;
        PutU16(data, static_cast<std::uint16_t>(perBucket));
        data.append(buckets);
        Record(out, RecExtSst, data);
    }
    Record(out, RecEof);

    // The sheet.
    SetU32(out, sheetOffsetAt, static_cast<std::uint32_t>(out.size()));
    PutBof(out, 0x0010);
    Record(out, RecCalcMode, U16Data(1));
    Record(out, RecCalcCount, U16Data(100));
    Record(out, RecRefMode, U16Data(1));
    Record(out, RecIteration, U16Data(0));
    {
        QByteArray data;
        PutDouble(data, 0.001);
        Record(out, RecDelta, data);
    }
    Record(out, RecSaveRecalc, U16Data(1));
    Record(out, RecPrintHeaders, U16Data(0));
    Record(out, RecPrintGridlines, U16Data(0));
    Record(out, RecGridSet, U16Data(1));
    Record(out, RecGuts, QByteArray(8, '\0'));
    {
        QByteArray data;
        PutU16(data, 0);   // row height not changed
        PutU16(data, 255); // in twips
        Record(out, RecDefaultRowHeight, data);
    }
    Record(out, RecWsBool, U16Data(0x04C1));
    Record(out, RecDefColWidth, U16Data(8));
    for (std::size_t c = 0; c < widths_.size(); ++c) {
        if (widths_[c] < 0) {
            continue;
        }
        const double pixels = std::round(widths_[c] * DigitPixels);
        const auto units = static_cast<std::uint16_t>(
            widths_[c] <= 0 ? 0 : std::trunc((pixels + CellPaddingPixels) * 256 / DigitPixels));
        QByteArray data;
        PutU16(data, static_cast<std::uint16_t>(c));
        PutU16(data, static_cast<std::uint16_t>(c));
        PutU16(data, units);
        PutU16(data, CellXf);
        PutU16(data, widths_[c] <= 0 ? 0x0003 : 0x0002); // set by the user; hidden when 0
        PutU16(data, 0);
        Record(out, RecColInfo, data);
    }
    {
        int firstRow = -1;
        int firstCol = MaxColumns;
        for (std::size_t r = 0; r < rows_.size(); ++r) {
            if (!rows_[r].empty()) {
                if (firstRow < 0) {
                    firstRow = static_cast<int>(r);
                }
                firstCol = std::min<int>(firstCol, rows_[r].front().col);
            }
        }
        QByteArray data;
        PutU32(data, firstRow < 0 ? 0 : static_cast<std::uint32_t>(firstRow));
        PutU32(data, static_cast<std::uint32_t>(rowCount()));
        PutU16(data, firstRow < 0 ? 0 : static_cast<std::uint16_t>(firstCol));
        PutU16(data, static_cast<std::uint16_t>(columnCount()));
        PutU16(data, 0);
        Record(out, RecDimensions, data);
    }
    for (std::size_t r = 0; r < rows_.size(); ++r) {
        for (const Cell& cell : rows_[r]) {
            const std::uint16_t xf = cell.kind == Kind::Date ? DateXf : CellXf;
            std::uint32_t rk = 0;
            const bool asRk = cell.kind != Kind::Text && ToRk(cell.number, rk);
            qsizetype start = 0;
            if (cell.kind == Kind::Text) {
                start = BeginRecord(out, RecLabelSst);
            } else if (asRk) {
                start = BeginRecord(out, RecRk);
            } else {
                start = BeginRecord(out, RecNumber);
            }
            PutU16(out, static_cast<std::uint16_t>(r));
            PutU16(out, cell.col);
            PutU16(out, xf);
            if (cell.kind == Kind::Text) {
                PutU32(out, sstIndex[cell.text]);
            } else if (asRk) {
                PutU32(out, rk);
            } else {
                PutDouble(out, cell.number);
            }
            EndRecord(out, start);
        }
    }
    {
        QByteArray data;
        PutU16(data, 0x06B6); // grid, headers, zeros, outline symbols shown; sheet selected
        PutU16(data, 0);      // top row
        PutU16(data, 0);      // left column
        PutU32(data, 0x40);   // automatic grid colour
        PutU16(data, 0);      // zoom in page break preview
        PutU16(data, 0);      // zoom in normal view
        PutU32(data, 0);
        Record(out, RecWindow2, data);
    }
    for (std::size_t i = 0; i < merged_.size(); i += MaxRangesPerMergedCells) {
        const std::size_t n = std::min<std::size_t>(MaxRangesPerMergedCells, merged_.size() - i);
        QByteArray data;
        PutU16(data, static_cast<std::uint16_t>(n));
        for (std::size_t j = i; j < i + n; ++j) {
            PutU16(data, static_cast<std::uint16_t>(merged_[j].firstRow));
            PutU16(data, static_cast<std::uint16_t>(merged_[j].lastRow));
            PutU16(data, static_cast<std::uint16_t>(merged_[j].firstCol));
            PutU16(data, static_cast<std::uint16_t>(merged_[j].lastCol));
        }
        Record(out, RecMergedCells, data);
    }
    Record(out, RecEof);

    return out;
}

QByteArray Workbook::toBytes() const {
    QByteArray stream = workbookStream();
    // Padded to 4096 bytes the stream lives in ordinary sectors, so the file needs no mini
    // stream.
    if (stream.size() < MinStreamSize) {
        stream.append(MinStreamSize - stream.size(), '\0');
    }
    return CompoundFile(QStringLiteral("Workbook"), stream);
}

void Workbook::save(const QString& path) const {
    const auto fail = [&path](const QString& reason) {
        throw Error(QStringLiteral("Nie można zapisać pliku ") + path + QStringLiteral(": ") +
                    reason);
    };
    if (path.isEmpty()) {
        fail(QStringLiteral("nie podano nazwy pliku"));
    }
    const QFileInfo target(path);
    const QDir folder = target.absoluteDir();
    if (!folder.exists()) {
        fail(QStringLiteral("folder %1 nie istnieje").arg(QDir::toNativeSeparators(folder.path())));
    }
    if (target.isDir()) {
        fail(QStringLiteral("pod tą nazwą istnieje folder"));
    }
    const QByteArray bytes = toBytes();
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) {
        if (target.exists() && !target.isWritable()) {
            fail(QStringLiteral("plik jest tylko do odczytu"));
        }
        fail(QStringLiteral("nie można utworzyć pliku w folderze %1 (brak uprawnień?)")
                 .arg(QDir::toNativeSeparators(folder.path())));
    }
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        fail(QStringLiteral("błąd zapisu (brak miejsca na dysku?)"));
    }
    if (!file.commit()) {
        fail(QStringLiteral("nie można zastąpić pliku, być może jest otwarty w innym programie"));
    }
}

} // namespace xls
