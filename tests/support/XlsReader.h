#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

// What xlrd read from a workbook file (see read_xls.py).
struct XlsRead {
    QJsonObject book;
    QJsonObject sheet; // the first sheet
    std::map<std::pair<int, int>, QJsonObject> cells;
    QString error; // empty when the reader ran and its output parsed
};

// Reads the file with xlrd; `rows` asks for per-column sums and the cells of those rows only.
XlsRead ReadXls(const QString& path, const QList<int>& rows = {});

// The number's exact double, from the "hex" field the reader gives for numbers.
double ExactNumber(const QJsonObject& cell);

// One BIFF record of a stream.
struct BiffRecord {
    qsizetype offset;
    std::uint16_t type;
    QByteArray data;
};

// The stream's records up to the end or the first zero padding.
std::vector<BiffRecord> BiffRecords(const QByteArray& stream);

std::uint16_t U16At(const QByteArray& bytes, qsizetype at);
std::uint32_t U32At(const QByteArray& bytes, qsizetype at);
