#include "terminals/TerminalParams.h"

#include "core/Literals.h"
#include "core/Text.h"

#include <algorithm>
#include <cmath>

namespace kzm {

namespace {

QString Flag(bool on) {
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

// The time of day of a time, without seconds' fractions.
QTime TimeOfDay(const QTime& t) {
    return t.isValid() ? QTime(t.hour(), t.minute(), t.second()) : QTime(0, 0);
}

} // namespace

QString ComDefUpdateStatement(const ComDefFields& f, int oldPort, int oldNumScan) {
    return QStringLiteral("update KZM_COMDEF set nazwa=") + SqlStr(f.nazwa) +
           QStringLiteral(",port=") + QString::number(f.port) + QStringLiteral(",speed=") +
           QString::number(f.speed) + QStringLiteral(",aktywny=") + Flag(f.aktywny) +
           QStringLiteral(",timeout_r=") + QString::number(f.timeoutR) +
           QStringLiteral(",timeout_w=") + QString::number(f.timeoutW) +
           QStringLiteral(",numinst=") + QString::number(f.numInst) + QStringLiteral(",alarm=") +
           QString::number(f.alarm) + QStringLiteral(",base_alarm=") +
           QString::number(f.baseAlarm) + QStringLiteral(",numscan=") + QString::number(f.numScan) +
           QStringLiteral(",rs485=") + Flag(f.rs485) + QStringLiteral(",tq700=") + Flag(f.tq700) +
           QStringLiteral(",NumInst3Zn=") + Flag(f.numInst3Zn) + QStringLiteral(" where port=") +
           QString::number(oldPort) + QStringLiteral(" and numscan=") + QString::number(oldNumScan);
}

QString ComDefInsertStatement(const ComDefFields& f) {
    return QStringLiteral("insert into KZM_COMDEF (nazwa,port,speed,aktywny,timeout_r,timeout_w,"
                          "numinst,alarm,base_alarm,numscan,rs485,tq700,NumInst3Zn) values (") +
           SqlStr(f.nazwa, false) + SqlInt(f.port, false) + SqlInt(f.speed, false) +
           Flag(f.aktywny) + ',' + SqlInt(f.timeoutR, false) + SqlInt(f.timeoutW, false) +
           SqlInt(f.numInst, false) + SqlInt(f.alarm, false) + SqlInt(f.baseAlarm, false) +
           SqlInt(f.numScan, false) + Flag(f.rs485) + ',' + Flag(f.tq700) + ',' +
           Flag(f.numInst3Zn) + ')';
}

QString ComDefDeleteStatement(int port, int numScan) {
    return QStringLiteral("delete from KZM_COMDEF where port=") + QString::number(port) +
           QStringLiteral(" and numscan=") + QString::number(numScan);
}

ComDefFields NewComDef(int port, int numInst) {
    ComDefFields f;
    f.nazwa = QStringLiteral("Czytnik ") + QString::number(port);
    f.port = port;
    f.numInst = numInst;
    return f;
}

int NextFreePort(const std::vector<int>& used, const std::vector<int>& excluded) {
    auto taken = [&](int port) {
        return std::find(used.begin(), used.end(), port) != used.end() ||
               std::find(excluded.begin(), excluded.end(), port) != excluded.end();
    };
    int port = 1;
    while (taken(port))
        ++port;
    return port;
}

QString PersonalizerClashStatement(int port) {
    return QStringLiteral("select port from kzm_comdef where port=") + QString::number(port);
}

QString PersonalizerClashMessage(int port, const QString& terminal) {
    return QStringLiteral("Do jednego portu ( ") + QString::number(port) +
           QStringLiteral(" ) może być przypisane tylko jedno urządzenie\r\n"
                          "Na tym porcie jest personalizator kart i czytnik „") +
           terminal.trimmed() + QStringLiteral("”");
}

QString AktywnyText(const fb::Value& v) {
    if (v.isNull())
        return QString();
    switch (v.toInt()) {
    case 0:
        return QStringLiteral("NIE");
    case 1:
        return QStringLiteral("TAK");
    default:
        return QString::number(v.toInt());
    }
}

void TakeParams(const ParamFields& f, GlobalParams& g) {
    g.NR_INSTALACJI = IntOrDefault(f.nrInstalacji, 0);
    g.CLEARTIMEOUT = IntOrDefault(f.clearTimeout, 0);
    g.LOADTIMEOUT = IntOrDefault(f.loadTimeout, 0);
    g.SYGNAL_WYD = f.sygnalWyd;
    g.SYGNAL_BLOK = f.sygnalBlok;
    g.OBIAD_OD = TimeOfDay(f.obiadOd);
    g.OBIAD_DO = TimeOfDay(f.obiadDo);
    g.MAXKODKARTY = IntOrDefault(f.maxKodKarty, 1000);
    g.COMP = f.comp;
    g.CPAKT = f.cpakt;
    g.WdnBzKmnkt = f.wdnBzKmnkt;
    g.BlkWdnBzKmnkt = f.blkWdnBzKmnkt;
    g.ProcentRzlWody = NumberOrDefault(f.procentRzlWody, 0.0);
}

void WriteParams(ParamStore& store, const GlobalParams& g) {
    store.WriteParI(QStringLiteral("SYGNAL_WYD"), g.SYGNAL_WYD);
    store.WriteParI(QStringLiteral("SYGNAL_BLOK"), g.SYGNAL_BLOK);
    store.WriteParI(QStringLiteral("NR_INSTALACJI"), g.NR_INSTALACJI);
    store.WriteParI(QStringLiteral("CLEARTIMEOUT"), g.CLEARTIMEOUT);
    store.WriteParI(QStringLiteral("LOADTIMEOUT"), g.LOADTIMEOUT);
    store.WriteParI(QStringLiteral("MAXKODKARTY"), g.MAXKODKARTY);
    store.WriteParT(QStringLiteral("OBIAD_OD"), g.OBIAD_OD);
    store.WriteParT(QStringLiteral("OBIAD_DO"), g.OBIAD_DO);
    store.WriteParI(QStringLiteral("COMP"), g.COMP);
    store.WriteParI(QStringLiteral("CPAKT"), g.CPAKT ? 1 : 0);
    store.WriteParI(QStringLiteral("WdnBzKmnkt"), g.WdnBzKmnkt ? 1 : 0);
    store.WriteParI(QStringLiteral("BlkWdnBzKmnkt"), g.BlkWdnBzKmnkt ? 1 : 0);
    store.WriteParF(QStringLiteral("ProcentRzlWody"), g.ProcentRzlWody);
}

} // namespace kzm
