// The registration run of the real terminal window, drawn offscreen, against simulated
// terminals on a pseudo-terminal: a backlog of 200 readings on one terminal, and on two
// addressed terminals of one RS-485 line. The loop's own cost per reading (the database call,
// parsing and the screen) is measured against the protocol's fixed waits.

#include "BenchDb.h"
#include "BenchMain.h"

#include "app/TfmMain.h"
#include "core/Session.h"
#include "db/Params.h"
#include "db/Tdm.h"
#include "fb/Database.h"
#include "terminals/forms/TfmTQ200.h"
#include "tqsim/SimLine.h"
#include "ui/AppContext.h"
#include "ui/KzmApplication.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>

namespace {

using kzm::tqsim::Model;
using kzm::tqsim::Reading;
using kzm::tqsim::SimLine;

constexpr int backlog = 200;

struct Scenario {
    const char* name;
    bool rs485;
    std::vector<int> addresses;
};

// One scenario: the definitions, the line with its backlog, the run until every reading is
// acknowledged; prints the figures.
void Run(kzm::AppContext& ctx, kzm::TfmMain& main, const QTemporaryDir& dir,
         const QStringList& cards, const Scenario& sc) {
    kzm::Tdm& dm = ctx.dm;
    dm.RunSQL(QStringLiteral("delete from KZM_COMDEF"));
    dm.RunSQL(QStringLiteral("delete from KZM_RWP"));
    SimLine line(sc.rs485);
    for (size_t t = 0; t < sc.addresses.size(); ++t) {
        const int address = sc.addresses[t];
        line.addTerminal(sc.rs485 ? Model::TQ700 : Model::TQ200, address);
        dm.RunSQL(QStringLiteral("insert into KZM_COMDEF (PORT, SPEED, NAZWA, AKTYWNY, NUMSCAN, "
                                 "RS485, TQ700, ALARM, BASE_ALARM, NUMINST) values (3, 9600, "
                                 "'Czytnik %1', 1, %1, %2, %2, 5, 32, 0)")
                      .arg(address)
                      .arg(sc.rs485 ? 1 : 0));
    }
    const int perTerminal = backlog / static_cast<int>(sc.addresses.size());
    const QDateTime start(QDate::currentDate(), QTime(12, 0));
    for (size_t t = 0; t < sc.addresses.size(); ++t)
        for (int i = 0; i < perTerminal; ++i) {
            Reading r;
            r.card = cards[(static_cast<int>(t) * perTerminal + i) % cards.size()];
            r.time = start.addSecs(i);
            line.addReading(static_cast<int>(t), r);
        }
    const QString link = dir.path() + QStringLiteral("/com3");
    ctx.s.ini.writeString(QStringLiteral("Porty"), QStringLiteral("COM3"), link);
    QString error;
    if (!line.start(link, &error)) {
        std::fprintf(stderr, "%s\n", error.toLocal8Bit().constData());
        return;
    }

    main.OpenFunction(kzm::FunctionSlot::Rejestrator);
    auto* w = qobject_cast<kzm::TfmTQ200*>(main.functionWindow(kzm::FunctionSlot::Rejestrator));
    if (!w)
        return;
    w->btnRunClick();
    w->timer().stop();
    auto acknowledged = [&] {
        int n = 0;
        for (int t = 0; t < line.terminalCount(); ++t)
            n += line.state(t).acknowledged;
        return n;
    };
    QElapsedTimer clock;
    clock.start();
    for (int cycle = 0; cycle < 20 && acknowledged() < backlog && w->running(); ++cycle) {
        w->TimerTimer();
        w->timer().stop();
    }
    const double seconds = clock.nsecsElapsed() / 1e9;
    const auto& times = w->times();
    const int readings = times.readings;
    std::printf("window_%s_readings %d readings\n", sc.name, readings);
    std::printf("window_%s_readings_per_second %.2f readings/s\n", sc.name, readings / seconds);
    if (readings > 0) {
        std::printf("window_%s_turn_per_reading %.2f ms\n", sc.name, times.turnNs / 1e6 / readings);
        std::printf("window_%s_outside_waits_per_reading %.3f ms\n", sc.name,
                    (times.turnNs - times.lineNs) / 1e6 / readings);
        std::printf("window_%s_outside_waits_share %.4f ratio\n", sc.name,
                    static_cast<double>(times.turnNs - times.lineNs) / times.turnNs);
    }
    w->btnRunClick();
    w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    kzm::KzmApplication app(argc, argv);
    QTemporaryDir dir;
    kzm::Session s;
    s.InitConfig(dir.path(), QDate::currentDate(), dir.path());
    s.ui.showMessage = [](const QString& m) {
        std::fprintf(stderr, "%s\n", m.toLocal8Bit().constData());
    };
    s.dbPath = bench::CopyTemplate(dir, QStringLiteral("BazaOxle.GDB"));
    s.localServer = true;
    {
        fb::Database db;
        db.connect({s.dbPath, QStringLiteral("SYSDBA"), QStringLiteral("pantrykey")});
        bench::SeedPersons(db);
    }
    kzm::Tdm dm(s);
    dm.BazaConnect();
    if (s.connectionStatus != kzm::Status::connected)
        return 1;
    // Cards of digits, as the terminals read them.
    dm.RunSQL(QStringLiteral("update KZM_KART set NR_IDENT = lpad(NR_OPER, 10, '0')"));
    QStringList cards;
    dm.OpenQ(dm.IBQ, QStringLiteral("select first 400 NR_IDENT from KZM_KART order by NR_OPER"));
    for (; !dm.IBQ.eof(); dm.IBQ.next())
        cards << dm.IBQ.field(0).asString();
    dm.CloseQ(dm.IBQ);

    bench::MainWindow window(s, dm);
    if (!window.start())
        return 1;
    kzm::AppContext& ctx = window.ctx;
    kzm::TfmMain& main = window.main;
    kzm::ParamStore store(dm);
    store.WriteParT(QStringLiteral("OBIAD_OD"), QTime(11, 0));
    store.WriteParT(QStringLiteral("OBIAD_DO"), QTime(15, 0));
    ctx.params.OBIAD_OD = QTime(11, 0);
    ctx.params.OBIAD_DO = QTime(15, 0);
    main.setFactory(kzm::FunctionSlot::Rejestrator,
                    [](kzm::TfmMain& m) { return new kzm::TfmTQ200(m); });

    Run(ctx, main, dir, cards, {"rs232_one_terminal", false, {1}});
    Run(ctx, main, dir, cards, {"rs485_two_terminals", true, {1, 2}});
    return 0;
}
