#include "support/XlsReader.h"

#include <QJsonDocument>
#include <QProcess>
#include <QtEndian>

#include <cstdlib>

XlsRead ReadXls(const QString& path, const QList<int>& rows) {
    XlsRead read;
    QStringList arguments{QStringLiteral(XLS_READER), path};
    if (!rows.isEmpty()) {
        QStringList numbers;
        for (const int r : rows) {
            numbers.append(QString::number(r));
        }
        arguments << QStringLiteral("--rows") << numbers.join(u',');
    }
    QProcess python;
    python.start(QStringLiteral(XLS_PYTHON), arguments);
    if (!python.waitForFinished(120000) || python.exitStatus() != QProcess::NormalExit ||
        python.exitCode() != 0) {
        read.error =
            QStringLiteral("xlrd failed: ") + QString::fromUtf8(python.readAllStandardError());
        return read;
    }
    QJsonParseError parseError;
    const QJsonDocument document =
        QJsonDocument::fromJson(python.readAllStandardOutput(), &parseError);
    if (document.isNull()) {
        read.error = QStringLiteral("reader output: ") + parseError.errorString();
        return read;
    }
    read.book = document.object();
    const QJsonArray sheets = read.book.value(u"sheets").toArray();
    if (sheets.isEmpty()) {
        read.error = QStringLiteral("no sheet");
        return read;
    }
    read.sheet = sheets.first().toObject();
    for (const QJsonValue& value : read.sheet.value(u"cells").toArray()) {
        const QJsonObject cell = value.toObject();
        read.cells[{cell.value(u"r").toInt(), cell.value(u"c").toInt()}] = cell;
    }
    return read;
}

double ExactNumber(const QJsonObject& cell) {
    return std::strtod(cell.value(u"hex").toString().toLatin1().constData(), nullptr);
}

std::uint16_t U16At(const QByteArray& bytes, qsizetype at) {
    return qFromLittleEndian<std::uint16_t>(bytes.constData() + at);
}

std::uint32_t U32At(const QByteArray& bytes, qsizetype at) {
    return qFromLittleEndian<std::uint32_t>(bytes.constData() + at);
}

std::vector<BiffRecord> BiffRecords(const QByteArray& stream) {
    std::vector<BiffRecord> records;
    qsizetype at = 0;
    while (at + 4 <= stream.size()) {
        const std::uint16_t type = U16At(stream, at);
        const std::uint16_t length = U16At(stream, at + 2);
        if (type == 0 && length == 0) {
            break;
        }
        records.push_back(BiffRecord{at, type, stream.mid(at + 4, length)});
        at += 4 + length;
    }
    return records;
}
