#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QString>

#include <cstdint>
#include <stdexcept>
#include <vector>

namespace xls {

// A failure of the workbook writer; the message is meant for the user.
class Error : public std::runtime_error {
public:
    explicit Error(const QString& message);
    QString message() const { return QString::fromStdString(what()); }
};

// An Excel 97 (BIFF8) workbook with one sheet, written as an OLE2 compound file.
// Rows are 0 to 65535 and columns 0 to 255, counted from 0.
class Workbook {
public:
    static constexpr int MaxRows = 65536;
    static constexpr int MaxColumns = 256;
    static constexpr int MaxTextLength = 32767;
    // The width of a column that was never set, in characters.
    static constexpr double DefaultColumnWidth = 8.43;

    explicit Workbook(const QString& sheetName = QStringLiteral("Arkusz1"));

    // Unicode text; an empty text leaves the cell empty.
    void setText(int row, int col, const QString& text);
    // Any finite number.
    void setNumber(int row, int col, double value);
    // A date cell shown as dd.mm.yyyy; an invalid date leaves the cell empty.
    void setDate(int row, int col, const QDate& date);
    // The date with its time of day as the fraction of the day, shown with the date format.
    void setDateTime(int row, int col, const QDateTime& value);
    // Removes the cell's value.
    void clear(int row, int col);
    // Joins the rectangle into one cell; the value of its top left cell is the one shown.
    // A range of one cell does nothing; a range overlapping another merged range is refused.
    void merge(int firstRow, int lastRow, int firstCol, int lastCol);
    void setColumnWidth(int col, double widthInCharacters);
    // Widens the column so that the text (its longest line) fits; never narrows it.
    void fitColumnToText(int col, const QString& text);

    QString sheetName() const { return sheetName_; }
    // One past the last row or column holding a value; 0 for an empty sheet.
    int rowCount() const;
    int columnCount() const;
    // The column's width in characters (the default for a column never set).
    double columnWidth(int col) const;

    // Writes the file through a temporary file in the target's folder that is then renamed
    // over the target; on failure the temporary file is gone and an existing target is left
    // as it was.
    void save(const QString& path) const;
    // The whole file.
    QByteArray toBytes() const;
    // The "Workbook" stream alone (BIFF8 records, not padded).
    QByteArray workbookStream() const;

    // The date's serial number in Excel's 1900 date system (30.12.1899 is 0, 01.01.1900 is 1,
    // 01.03.1900 is 61); Excel shows no day before 01.01.1900.
    static double serialOf(const QDate& date);
    static double serialOf(const QDateTime& value);
    // The estimated width in characters that the text needs in the default font.
    static double textWidth(const QString& text);

private:
    enum class Kind : std::uint8_t { Text, Number, Date };
    struct Cell {
        std::uint16_t col;
        Kind kind;
        double number;      // Number and Date
        std::uint32_t text; // index into texts_
    };
    struct Range {
        int firstRow, lastRow, firstCol, lastCol;
    };

    void checkCell(int row, int col) const;
    void checkColumn(int col) const;
    void put(int row, Cell cell);
    std::uint32_t intern(const QString& text);

    QString sheetName_;
    std::vector<std::vector<Cell>> rows_;
    std::vector<QString> texts_;
    QHash<QString, std::uint32_t> textIndex_;
    std::vector<Range> merged_;
    std::vector<double> widths_; // in characters; negative for "never set"
};

} // namespace xls
