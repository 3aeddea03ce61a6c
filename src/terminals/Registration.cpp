#include "terminals/Registration.h"

#include "core/Dates.h"
#include "core/Literals.h"
#include "core/Text.h"
#include "core/Win1250.h"
#include "db/Params.h"
#include "fb/Error.h"

#include <algorithm>
#include <array>

namespace kzm {

int ReadingYear(const QDate& today, int recordMonth) {
    return today.month() < recordMonth ? today.year() - 1 : today.year();
}

QDateTime ReadingTimeOf(const TRekReceive& rek) {
    const QString text = rek.day + '.' + rek.month + '.' + rek.year + ' ' + rek.hour + ':' +
                         rek.minute + ':' + rek.second;
    const QDateTime t = QDateTime::fromString(text, QStringLiteral("d.M.yyyy H:m:s"));
    return t.isValid() ? t : QDateTime(QDate(1899, 12, 30), QTime(0, 0));
}

QString SourcePortText(const QString& portName) {
    const QString digits = portName.mid(3, 2).trimmed();
    return digits.size() >= 2 ? digits.left(2) : digits.rightJustified(2, u'0');
}

void DeriveReadingFields(TRekReceive& rek, const QString& portName, const GlobalParams& g) {
    rek.yearMonth = YearMonthKey(rek.readingTime.date());
    rek.mealSlot = LunchPeriod(rek.readingTime.time(), g);
    rek.source = SourcePortText(portName) + DateKey(rek.readingTime.date()).right(6);
}

QString ZapiszOdczytStatement(const TRekReceive& rek) {
    QTime t =
        QTime::fromString(rek.hour + ':' + rek.minute + ':' + rek.second, QStringLiteral("H:m:s"));
    if (!t.isValid())
        t = QTime(0, 0);
    return QStringLiteral("select ret from PKZM_RWP_WRIT_ODCZYT_22(") +
           SqlInt(rek.mealSlot, false) + SqlStr(rek.yearMonth, false) +
           SqlStr(rek.cardNumber, false) + SqlDate(rek.readingTime.date(), false) +
           SqlStr(t.toString(QStringLiteral("hh:mm:ss")), false) + SqlStr(rek.source) +
           QStringLiteral(")");
}

ReadingOutcome ParseOutcome(const QString& ret) {
    ReadingOutcome o;
    o.code = FieldAt(ret, 1, QStringLiteral(":"));
    if (o.code == QLatin1String("-1"))
        o.code = QStringLiteral("1");
    // A malformed count or person reads as nothing rather than stopping the run.
    auto number = [&](int n) {
        try {
            return LeadingInt(FieldAt(ret, n, QStringLiteral(":")));
        } catch (const std::exception&) {
            return 0;
        }
    };
    o.repeatCount = number(2);
    o.person = number(3);
    return o;
}

Announcement Announce(const ReadingOutcome& outcome, int waiting, const GlobalParams& g) {
    Announcement a;
    a.text =
        outcome.code == QLatin1String("1") ? QStringLiteral("BLOKADA") : QStringLiteral("WYDANIE");
    if (outcome.person == -1) {
        a.text = QStringLiteral("KARTA NIEZNANA");
        a.alarm = true;
    } else if (outcome.repeatCount > 1) {
        a.text += QStringLiteral(" REPETA");
        a.alarm = true;
    } else {
        a.alarm = (g.SYGNAL_BLOK == 0 && a.text.contains(QLatin1String("BLOK"))) ||
                  (g.SYGNAL_WYD == 0 && a.text.contains(QLatin1String("WYDA")));
    }
    a.shown =
        !(a.text == QLatin1String("WYDANIE") && g.WdnBzKmnkt) && !g.BlkWdnBzKmnkt && waiting < 3;
    return a;
}

QString ReadingLogLine(int i, int n, const TRekReceive& rek, const QString& outcomeText) {
    return QStringLiteral("TQ: ") + QString::number(i) + '/' + QString::number(n) +
           QStringLiteral("  Y:") + rek.year + QStringLiteral("  M:") + rek.month +
           QStringLiteral("  D:") + rek.day + QStringLiteral("  H:") + rek.hour +
           QStringLiteral("  M:") + rek.minute + QStringLiteral("  DoW:") + rek.dayOfWeek +
           QStringLiteral("  S:") + rek.second + QStringLiteral("  We:") + rek.direction +
           QStringLiteral("  I:") + rek.storedCount + QStringLiteral("  Tys:") + rek.thousands +
           QStringLiteral("  Krta:") + rek.cardNumber + QStringLiteral("  NrO:") +
           QString::number(rek.person) + QStringLiteral("  Tr:") + rek.mode +
           QStringLiteral("  WskB:") + rek.recordFlag + QStringLiteral("  RM:") + rek.yearMonth +
           QStringLiteral("  RPos:") + QString::number(rek.mealSlot) + QStringLiteral("  SK:") +
           rek.source + QStringLiteral("   ::") + outcomeText;
}

QString SkippedLogLine(int i, int n, const TRekReceive& rek) {
    return QStringLiteral("T,U: ") + rek.recordFlag + QStringLiteral("  ") + QString::number(i) +
           '/' + QString::number(n);
}

QString ReplyDetail(const QByteArray& raw) {
    QByteArray r = raw;
    if (r.endsWith("\r\n"))
        r.chop(2);
    return FromWin1250(r);
}

bool ConnectionLost(const fb::Error& e) {
    // ISC codes of a connection that broke or a server that is gone or shutting down.
    static constexpr std::array<long, 8> lost{
        fb::isc::network_error, fb::isc::unavailable,        fb::isc::net_read_err,
        fb::isc::net_write_err, fb::isc::lost_db_connection, fb::isc::shutdown,
        fb::isc::att_shutdown,  fb::isc::conn_lost,
    };
    return std::find(lost.begin(), lost.end(), e.code()) != lost.end();
}

} // namespace kzm
