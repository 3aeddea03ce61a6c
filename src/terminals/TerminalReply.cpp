#include "terminals/TerminalReply.h"

#include "core/Text.h"
#include "core/Win1250.h"
#include "terminals/TerminalProtocol.h"

namespace kzm {

namespace {

// Positions first..last (1-based, inclusive) of the reply, or nothing when the reply is shorter.
QByteArrayView Span(QByteArrayView reply, int first, int last) {
    if (reply.size() < last)
        return {};
    return reply.sliced(first - 1, last - first + 1);
}

QString Field(QByteArrayView reply, int first, int last) {
    const QByteArrayView span = Span(reply, first, last);
    return FromWin1250(span.data(), span.size());
}

void ParseStatus(TRekReceive& rek, QByteArrayView reply, bool tq700) {
    rek.direction = Field(reply, 3, 3);
    rek.mode = Field(reply, 4, 4);
    rek.year = Field(reply, 5, 6);
    rek.month = Field(reply, 7, 8);
    rek.day = Field(reply, 9, 10);
    rek.hour = Field(reply, 11, 12);
    rek.minute = Field(reply, 13, 14);
    if (tq700) {
        rek.second = Field(reply, 15, 16);
        rek.storedCount = Field(reply, 17, 20);
        rek.thousands = Field(reply, 21, 23);
    } else {
        rek.second = QStringLiteral("00");
        rek.storedCount = Field(reply, 15, 18);
        rek.thousands = Field(reply, 19, 21);
    }
}

void ParseRecord(TRekReceive& rek, QByteArrayView reply) {
    rek.cardNumber = DecodeCard(Span(reply, 3, 11));
    rek.month = Field(reply, 12, 13);
    rek.day = Field(reply, 14, 15);
    rek.hour = Field(reply, 16, 17);
    rek.minute = Field(reply, 18, 19);
    rek.second = Field(reply, 20, 21);
    rek.direction = Field(reply, 22, 22);
    rek.mode = Field(reply, 23, 23);
    rek.recordFlag = Field(reply, 24, 24);
}

void ParseDate(TRekReceive& rek, QByteArrayView reply) {
    rek.year = Field(reply, 3, 4);
    rek.month = Field(reply, 5, 6);
    rek.day = Field(reply, 7, 8);
    rek.dayOfWeek = Field(reply, 9, 9);
    rek.hour = Field(reply, 10, 11);
    rek.minute = Field(reply, 12, 13);
    rek.second = QStringLiteral("00");
}

} // namespace

void TRekReceive::ClearReplyFields() {
    for (QString* field : {&year, &month, &day, &hour, &minute, &second, &dayOfWeek, &direction,
                           &storedCount, &thousands, &cardNumber, &mode, &recordFlag})
        field->clear();
}

QByteArray StripRs485Reply(QByteArrayView raw) {
    QByteArray text;
    if (raw.size() <= 3)
        return text;
    for (char byte : raw.sliced(3)) {
        if (byte != Ctl::DLE)
            text.append(byte);
    }
    return text;
}

QByteArray ReplyText(QByteArrayView raw, bool rs485) {
    return rs485 ? StripRs485Reply(raw) : raw.toByteArray();
}

QString DecodeCard(QByteArrayView field) {
    field = field.first(qMin<qsizetype>(field.size(), 9));
    if (field.isEmpty() || field[0] != 'A')
        return FromWin1250(field.data(), field.size());
    if (field.size() < 9)
        return {};
    QString digits;
    for (char byte : field.sliced(1)) {
        const int pair = static_cast<unsigned char>(byte) - 28;
        if (pair < 0 || pair > 99)
            return {};
        digits += PadLeftInt(pair, 2, QLatin1Char('0'));
    }
    return digits.right(10);
}

void ParseReply(TRekReceive& rek, QByteArrayView reply, ReplyLayout layout, bool tq700) {
    rek.ClearReplyFields();
    const qsizetype end = reply.indexOf(Ctl::CR);
    if (end >= 0)
        reply = reply.first(end);
    switch (layout) {
    case ReplyLayout::Status:
        ParseStatus(rek, reply, tq700);
        break;
    case ReplyLayout::Record:
        ParseRecord(rek, reply);
        break;
    case ReplyLayout::Date:
        ParseDate(rek, reply);
        break;
    }
}

int ReplyInt(const QString& field) {
    try {
        return LeadingInt(field);
    } catch (const ConversionError&) {
        return 0;
    }
}

} // namespace kzm
