#include "tqsim/SimTerminal.h"

#include "core/Win1250.h"

#include <algorithm>

namespace kzm::tqsim {

namespace {

constexpr char SOH = 0x01;
constexpr char ACK = 0x06;
constexpr char DLE = 0x10;
constexpr char CR = 0x0D;

QByteArray Digits(qint64 value, int width) {
    return QByteArray::number(value).rightJustified(width, '0', true);
}

QByteArray Two(int value) {
    return Digits(value, 2);
}

// A clock setting "YYMMDDhhmm[d]" as a date and time; invalid when it does not read as one.
QDateTime ClockSetting(QByteArrayView args) {
    if (args.size() < 10)
        return {};
    const QString text = QString::fromLatin1(args.first(10));
    const QDateTime read = QDateTime::fromString(text, QStringLiteral("yyMMddHHmm"));
    if (!read.isValid())
        return {};
    // Two-digit years read as 19xx; a terminal's clock lives in this century.
    return read.addYears(100);
}

} // namespace

char CheckCharacter(QByteArrayView bytes) {
    unsigned char check = 0;
    for (char byte : bytes) {
        if (byte != DLE)
            check ^= static_cast<unsigned char>(byte);
    }
    return static_cast<char>(check | 0x20);
}

QByteArray CardField(const QString& card) {
    const QByteArray digits = card.toLatin1();
    if (digits.size() <= 9)
        return digits.rightJustified(9, '0');
    const QByteArray sixteen = digits.right(16).rightJustified(16, '0');
    QByteArray packed("A");
    for (int i = 0; i < 16; i += 2) {
        const int high = sixteen[i] - '0';
        const int low = sixteen[i + 1] - '0';
        packed.append(static_cast<char>(high * 10 + low + 28));
    }
    return packed;
}

SimTerminal::SimTerminal(Model model, int numScan) {
    m_state.model = model;
    m_state.numScan = numScan;
}

void SimTerminal::store(const Reading& reading) {
    m_state.stored.push_back(reading);
    ++m_state.counter;
}

QByteArray SimTerminal::statusFields(const QDateTime& now) const {
    QByteArray fields;
    fields += m_state.direction;
    fields += m_state.mode;
    fields += Two(now.date().year() % 100);
    fields += Two(now.date().month());
    fields += Two(now.date().day());
    fields += Two(now.time().hour());
    fields += Two(now.time().minute());
    if (m_state.model == Model::TQ700)
        fields += Two(now.time().second());
    fields += Digits(qMin<qint64>(qint64(m_state.stored.size()), 9999), 4);
    fields += Digits((m_state.counter / 1000) % 1000, 3);
    return fields;
}

QByteArray SimTerminal::recordFields() {
    if (m_state.stored.empty())
        return {};
    const Reading& reading = m_state.stored.front();
    m_state.offered = true;
    if (reading.card.isEmpty())
        return {};
    QByteArray fields = CardField(reading.card);
    fields += Two(reading.time.date().month());
    fields += Two(reading.time.date().day());
    fields += Two(reading.time.time().hour());
    fields += Two(reading.time.time().minute());
    fields += Two(reading.time.time().second());
    fields += reading.direction;
    fields += reading.mode;
    fields += m_state.faults.recordFlag.value_or(reading.flag);
    return fields;
}

QByteArray SimTerminal::frame(char echo, const QByteArray& fields, bool rs485) const {
    if (!rs485) {
        const QByteArray body = SOH + (echo + fields);
        return body + CheckCharacter(body) + CR;
    }
    const QByteArray body = QByteArray() + DLE + '!' + echo + fields;
    return QByteArray() + SOH + m_state.address() + body + CheckCharacter(body) + DLE + '-' + CR;
}

void SimTerminal::spoil(QByteArray& reply, bool rs485, bool record, QRandomGenerator& random) {
    const Faults& faults = m_state.faults;
    ++m_state.replies;
    const qsizetype start = rs485 ? 4 : 1; // the start mark stays, so the reply reads as one
    if (faults.garbleRate > 0) {
        for (qsizetype i = start; i < reply.size(); ++i) {
            if (random.generateDouble() < faults.garbleRate)
                reply[i] = static_cast<char>(random.bounded(256));
        }
    }
    // The card field follows the character after the start mark.
    if (record && faults.garbleCardRate > 0 && reply.size() > start + 10 &&
        random.generateDouble() < faults.garbleCardRate) {
        const qsizetype at = start + 1 + random.bounded(9);
        reply[at] = static_cast<char>(reply[at] ^ (1 + random.bounded(255)));
    }
    if (faults.truncateTo >= 0 && faults.truncateTo < reply.size() &&
        m_state.replies % std::max(1, faults.truncateEvery) == 0)
        reply.truncate(faults.truncateTo);
}

void SimTerminal::signalControl(char control) {
    m_state.signalControls.append(control);
    if (control == ' ')
        m_state.display = QString(16, QLatin1Char(' '));
}

Answer SimTerminal::handle(QByteArrayView command, bool rs485, const QDateTime& hostNow,
                           QRandomGenerator& random) {
    m_state.commands.push_back(command.toByteArray());
    if (command.isEmpty())
        return {};
    const QDateTime now = m_state.clock(hostNow);
    const char code = command[0];
    const QByteArrayView args = command.sliced(1);
    Answer answer;

    auto reply = [&](char echo, const QByteArray& fields, bool record = false) {
        answer.bytes = frame(echo, fields, rs485);
        answer.isReply = true;
        spoil(answer.bytes, rs485, record, random);
    };
    auto confirm = [&](char byte) { answer.bytes = QByteArray(1, byte); };

    const bool tq700 = m_state.model == Model::TQ700;
    if ((!tq700 && command == "S") || (tq700 && command == "s0")) {
        reply(code, statusFields(now));
    } else if ((!tq700 && command == "R") || (tq700 && command == "r")) {
        reply(code, recordFields(), true);
        ++m_state.recordReplies;
    } else if (command.size() == 1 && code == ACK) {
        const int every = m_state.faults.loseAckEvery;
        if (every > 0 && ++m_state.acksReceived % every == 0) {
            ++m_state.acksLost;
            return {};
        }
        if (m_state.offered && !m_state.stored.empty()) {
            m_state.stored.pop_front();
            ++m_state.acknowledged;
        }
        m_state.offered = false;
    } else if (code == 'C' && (tq700 ? args.isEmpty() : args.size() == 7)) {
        m_state.lastClear = args.toByteArray();
        m_state.stored.clear();
        m_state.offered = false;
        confirm(CR);
    } else if (command == "I") {
        ++m_state.initialisations;
        confirm(CR);
    } else if (command == "M00") {
        m_state.direction = '0';
        m_state.mode = '0';
        confirm(CR);
    } else if (command == "X") {
        QByteArray fields = Two(now.date().year() % 100) + Two(now.date().month()) +
                            Two(now.date().day()) + QByteArray::number(now.date().dayOfWeek()) +
                            Two(now.time().hour()) + Two(now.time().minute());
        reply(code, fields);
    } else if (code == 'T' && (args.size() == 10 || args.size() == 11)) {
        const QDateTime set = ClockSetting(args);
        if (set.isValid()) {
            m_state.lastClock = args.toByteArray();
            const QDateTime hostMinute(hostNow.date(),
                                       QTime(hostNow.time().hour(), hostNow.time().minute()));
            m_state.clockOffsetSecs = hostMinute.secsTo(set);
            confirm(CR);
        }
    } else if (code == 'l' && args.size() == 2 * 9 + 2) {
        // Either card number takes 9 bytes: plain digits or "A" and 8 packed bytes.
        m_state.rangeFrom = args.first(9).toByteArray();
        m_state.rangeTo = args.sliced(9, 9).toByteArray();
        m_state.rangeTail = args.sliced(18).toByteArray();
    } else if (command.startsWith("p0~") && command.size() == 3 + 15 + 1) {
        signalControl(command.back());
        confirm(ACK);
    } else if (command.startsWith("p0") && command.size() == 2 + 16) {
        m_state.display = FromWin1250(args.sliced(1).toByteArray());
        m_state.texts.append(m_state.display);
    }
    if (m_state.faults.silent)
        return {};
    return answer;
}

} // namespace kzm::tqsim
