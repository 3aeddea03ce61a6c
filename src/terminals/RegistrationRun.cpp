#include "terminals/RegistrationRun.h"

#include "core/Session.h"
#include "core/Win1250.h"
#include "db/Params.h"
#include "db/Tdm.h"
#include "fb/Error.h"
#include "terminals/Registration.h"
#include "terminals/TerminalLink.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QScopedValueRollback>

#include <algorithm>
#include <memory>
#include <utility>

namespace kzm {

namespace {

const QString form = QStringLiteral("fmTQ200");

const QString readingError = QStringLiteral("Wystąpił błąd przy odczycie danych");

// The stored reply played instead of the terminals.
const QString simulationFile = QStringLiteral("BezRCP.dat");

// The bytes of a reply as hexadecimal pairs, for the history table.
QString Hex(const QByteArray& raw) {
    return QString::fromLatin1(raw.toHex(' '));
}

// The reply up to and including its first CR, as a terminal sends it.
QByteArray UpToCr(const QByteArray& raw) {
    const qsizetype end = raw.indexOf(Ctl::CR);
    return end < 0 ? raw : raw.first(end + 1);
}

} // namespace

RegistrationRun::RegistrationRun(Session& s, Tdm& dm, const GlobalParams& params,
                                 RegistrationObserver& observer, WorkstationEnv env)
    : s_(s), dm_(dm), params_(params), observer_(observer), env_(std::move(env)),
      trProc_(dm.IBBaza), qProc_(trProc_) {
    timer_.setInterval(timerInterval);
    connect(&timer_, &QTimer::timeout, this, &RegistrationRun::cycle);
}

RegistrationRun::~RegistrationRun() {
    timer_.stop();
    closePorts();
    qProc_.close();
    trProc_.rollbackQuietly();
}

bool RegistrationRun::simulation() const {
    return env_.fileExists(simulationFile);
}

void RegistrationRun::loadTerminals() {
    if (dm_.OpenQTmp(QStringLiteral("select * from KZM_ComDef where aktywny=1"))) {
        for (; !dm_.QTmp.eof(); dm_.QTmp.next()) {
            auto col = [&](const char* name) {
                return dm_.QTmp.fieldByName(QString::fromLatin1(name)).asInteger();
            };
            if (col("AKTYWNY") != 1 || col("PORT") <= 0)
                continue;
            Terminal t;
            t.rec = ComRecordFromDefinition(
                dm_.QTmp.fieldByName(QStringLiteral("NAZWA")).asString(), col("TQ700") == 1,
                col("NUMSCAN"), col("NUMINST"), col("RS485") == 1, col("ALARM"), col("BASE_ALARM"));
            t.rec.replyLimitMs = 50;
            t.portNumber = col("PORT");
            t.port =
                std::make_unique<SerialPort>(s_.ini, col("PORT"), col("SPEED"), PortUse::Terminal);
            terminals_.push_back(std::move(t));
        }
    }
    dm_.CloseQTmp();
    if (!terminals_.empty())
        makeCurrent(0);
}

void RegistrationRun::makeCurrent(int index) {
    if (index < 0 || index >= static_cast<int>(terminals_.size()))
        return;
    current_ = index;
    observer_.currentChanged(index);
}

void RegistrationRun::close() {
    timer_.stop();
    closePorts();
    terminals_.clear();
    current_ = -1;
}

void RegistrationRun::closePorts() {
    for (Terminal& t : terminals_)
        if (t.port)
            t.port->ClosePort();
}

void RegistrationRun::setRunning(bool on) {
    running_ = on;
    if (!on) {
        dbLost_ = false;
        observer_.stateChanged(QString());
    }
    observer_.lampChanged(on ? RunLamp::On : RunLamp::Off);
    observer_.runningChanged(on);
}

void RegistrationRun::interrupt() {
    running_ = false;
    observer_.runningChanged(false);
}

void RegistrationRun::addHistory(const QString& line) {
    observer_.historyAdded(line);
}

void RegistrationRun::addHistoryOnce(Terminal& t, const QString& line) {
    if (t.lastFailure == line)
        return;
    t.lastFailure = line;
    addHistory(line);
    s_.WriteHist(line);
}

// ---- start and stop

void RegistrationRun::click() {
    // A click while a cycle runs is taken when the cycle ends; a second one takes it back.
    if (busy_) {
        pendingClick_ = !pendingClick_;
        return;
    }
    startStop();
}

void RegistrationRun::startStop() {
    s_.SetErrContext(form, QStringLiteral("BtnRun"), QString());
    if (running())
        stopRun();
    else
        startRun();
}

void RegistrationRun::startRun() {
    observer_.historyCleared();
    bool on = false;
    {
        const QScopedValueRollback busy(busy_, true);
        Statystyka(env_.today());
        if (simulation()) {
            on = true;
        } else {
            for (int i = 0; i < static_cast<int>(terminals_.size()); ++i) {
                makeCurrent(i);
                Terminal& t = terminals_[static_cast<size_t>(i)];
                t.lastFailure.clear();
                t.gate.reset();
                t.rec.replyLimitMs = 50;
                t.rec.replyDelayMs = pace.replyDelayMs;
                t.retryAtMs = nowMs() + lineRetryMs;
                on = connectTerminal(t) || on;
                observer_.idle();
            }
        }
    }
    if (on) {
        setRunning(true);
        timer_.start();
    }
    observer_.runningChanged(running_);
    if (std::exchange(pendingClick_, false))
        startStop();
}

void RegistrationRun::stopRun() {
    observer_.historyCleared();
    for (Terminal& t : terminals_) {
        t.port->ClosePort();
        addHistory(QStringLiteral("Rozłączenie z ") + t.rec.name);
    }
    timer_.stop();
    setRunning(false);
}

bool RegistrationRun::connectTerminal(Terminal& t) {
    if (!t.port->OpenPort()) {
        addHistoryOnce(t, QStringLiteral("Brak połączenia z ") + t.rec.name + QStringLiteral(" (") +
                              t.port->lastError().reason() + ')');
        return false;
    }
    if (!TestConnection()) {
        // A port error is named; a terminal that is silent is not.
        addHistoryOnce(
            t, QStringLiteral("Brak połączenia z ") + t.rec.name +
                   (testError_ ? QStringLiteral(" (") + testError_->message() + ')' : QString()));
        return false;
    }
    const LinkResult cleared = ClearDisplay(*t.port, t.rec, ProcessEventsHook());
    if (cleared.kind == LinkResult::Kind::PortFailure) {
        lineFailed(t, cleared.error);
        return false;
    }
    t.lastFailure.clear();
    t.gate.reset();
    addHistory(QStringLiteral("Połączenie z ") + t.port->name());
    return true;
}

bool RegistrationRun::TestConnection() {
    if (env_.fileExists(QStringLiteral("Test.dat")))
        return true;
    Terminal& t = terminals_[static_cast<size_t>(current_)];
    testError_.reset();
    const LinkResult asked = AskStatus(*t.port, t.rec);
    bool ok = asked.ok();
    if (ok) {
        Delay(pace.testDelayMs, ProcessEventsHook());
        const ReplyResult reply = ReceiveReply(*t.port, t.rec, ProcessEventsHook());
        if (reply.kind == ReplyResult::Kind::PortFailure)
            testError_ = reply.error;
        ok = reply.kind != ReplyResult::Kind::PortFailure && !reply.raw.isEmpty();
    } else {
        testError_ = asked.error;
    }
    if (!ok)
        t.port->ClosePort();
    observer_.idle();
    return ok;
}

void RegistrationRun::lineFailed(Terminal& t, const std::optional<PortError>& error) {
    t.port->ClosePort();
    t.retryAtMs = nowMs() + lineRetryMs;
    const PortError e = error.value_or(t.port->lastError());
    addHistoryOnce(t, t.port->name() + QStringLiteral("  ") + e.message());
    s_.WriteHist(e.detail);
}

// ---- the database

void RegistrationRun::loseDatabase(const QString& why) {
    s_.WriteHist(why);
    dbRetryAtMs_ = nowMs() + databaseRetryMs;
    if (dbLost_)
        return;
    dbLost_ = true;
    addHistory(QStringLiteral("Utracono połączenie z bazą danych"));
    observer_.stateChanged(QStringLiteral("Oczekiwanie na połączenie z bazą danych"));
    observer_.lampChanged(RunLamp::Waiting);
    if (!unattended)
        s_.ShowMessage(
            QStringLiteral("Utracono połączenie z bazą danych\rOdczyty czekają w czytnikach, "
                           "praca będzie wznowiona po przywróceniu połączenia"));
}

bool RegistrationRun::reconnectDatabase() {
    if (nowMs() < dbRetryAtMs_)
        return false;
    dbRetryAtMs_ = nowMs() + databaseRetryMs;
    Tdm& dm = dm_;
    try {
        dm.IBBaza.connect(fb::ConnectParams(dm.IBBaza.params()));
        dm.CurrConnection();
    } catch (const std::exception& e) {
        s_.WriteHist(QString::fromUtf8(e.what()));
        return false;
    }
    dbLost_ = false;
    observer_.stateChanged(QString());
    observer_.lampChanged(RunLamp::On);
    addHistory(QStringLiteral("Przywrócono połączenie z bazą danych"));
    return true;
}

void RegistrationRun::refreshCounts() {
    try {
        Statystyka(QDate());
    } catch (const fb::Error& e) {
        if (ConnectionLost(e)) {
            loseDatabase(e.text());
            return;
        }
        if (!unattended)
            throw;
        s_.WriteHist(e.text());
        addHistory(e.text().section('\n', 0, 0));
    }
}

// ---- the cycle

void RegistrationRun::cycle() {
    if (!running()) {
        timer_.stop();
        return;
    }
    timer_.stop();
    {
        const QScopedValueRollback busy(busy_, true);
        if (!dbLost_ || reconnectDatabase())
            PetlaOdczytow();
    }
    // Without a port in use the run has nothing to wait for: simulation mode ends here.
    if (simulation() && running())
        setRunning(false);
    if (running())
        timer_.start();
    if (std::exchange(pendingClick_, false))
        startStop();
}

void RegistrationRun::PetlaOdczytow() {
    s_.SetErrContext(form, QStringLiteral("PetlaOdczytow"), QString());
    for (int i = 0; i < static_cast<int>(terminals_.size()) && !dbLost_; ++i) {
        makeCurrent(i);
        Odczyt();
        if (stopRequest_) {
            stopRequest_ = false;
            stopRun();
            return;
        }
    }
}

void RegistrationRun::Odczyt() {
    s_.SetErrContext(form, QStringLiteral("Odczyt"), QString());
    Terminal& t = terminals_[static_cast<size_t>(current_)];
    const bool sim = simulation();
    if (!sim && !t.port->connected()) {
        // A line that failed, or a terminal that did not answer, is tried again now and then.
        if (nowMs() < t.retryAtMs)
            return;
        t.retryAtMs = nowMs() + lineRetryMs;
        if (!connectTerminal(t))
            return;
    }
    QElapsedTimer turn;
    turn.start();
    const auto repaint = ProcessEventsHook();
    int n = 0;
    if (!sim) {
        const LinkResult asked = onLine([&] { return AskStatus(*t.port, t.rec); });
        if (!asked.ok()) {
            lineFailed(t, asked.error);
            return;
        }
        onLine([&] {
            Delay(pace.statusDelayMs, repaint);
            return 0;
        });
        observer_.idle();
        const ReplyResult reply = onLine([&] { return ReceiveReply(*t.port, t.rec, repaint); });
        if (reply.kind == ReplyResult::Kind::PortFailure) {
            lineFailed(t, reply.error);
            return;
        }
        ParseReply(rek_, reply.text, ReplyLayout::Status, t.rec.tq700);
        n = ReplyInt(rek_.storedCount);
    } else {
        rek_.ClearReplyFields();
        n = 1;
    }

    skipCounts_ = false;
    takeRecords(t, n, sim);
    if (!skipCounts_ && !dbLost_) {
        observer_.idle();
        refreshCounts();
    }
    times_.turnNs += turn.nsecsElapsed();
    observer_.idle();
}

void RegistrationRun::takeRecords(Terminal& t, int n, bool sim) {
    const auto repaint = ProcessEventsHook();
    for (int i = 0; i < n && running(); ++i) {
        if (sim) {
            const QByteArray raw = ToWin1250(env_.readFile(simulationFile));
            ParseReply(rek_, raw, ReplyLayout::Record, t.rec.tq700);
            if (RecordReplyForm(UpToCr(raw), false, env_.today()) == RecordForm::Reading &&
                !takeReading(i, n, raw, sim))
                return;
            continue;
        }
        const LinkResult asked = onLine([&] { return AskRecord(*t.port, t.rec); });
        if (!asked.ok()) {
            lineFailed(t, asked.error);
            return;
        }
        if (!running())
            return;
        const ReplyResult reply = onLine([&] { return ReceiveReply(*t.port, t.rec, repaint); });
        if (reply.kind == ReplyResult::Kind::PortFailure) {
            lineFailed(t, reply.error);
            return;
        }
        // Nothing at all within the limit: the terminal may answer late, give it longer.
        if (reply.raw.isEmpty())
            t.rec.replyLimitMs = std::min(t.rec.replyLimitMs * 2, maxReplyLimitMs);
        ParseReply(rek_, reply.text, ReplyLayout::Record, t.rec.tq700);
        switch (t.gate.judge(reply.text, t.rec.rs485, env_.today())) {
        case RecordGate::Verdict::Retry:
            return; // offered again in the next cycle
        case RecordGate::Verdict::GiveUp: {
            if (!acknowledge(t))
                return;
            const QString line = t.port->name() + QStringLiteral("  Odczyt uszkodzony ") +
                                 QString::number(RecordGate::malformedLimit) +
                                 QStringLiteral(" razy, usunięty z czytnika ") + t.rec.name;
            s_.WriteHistDB(line + QStringLiteral(": ") + Hex(reply.raw), ReplyDetail(reply.raw));
            s_.WriteHist(line + QStringLiteral(": ") + Hex(reply.raw));
            addHistory(line);
            break;
        }
        case RecordGate::Verdict::Skip:
            if (logReadings)
                s_.WriteHistDB(SkippedLogLine(i, n, rek_), ReplyDetail(reply.raw));
            if (!acknowledge(t))
                return;
            // An empty record may mean an empty memory, whatever the count said: the rest
            // waits for the next cycle.
            if (rek_.cardNumber.trimmed().isEmpty())
                return;
            break;
        case RecordGate::Verdict::Store:
            if (!takeReading(i, n, reply.raw, sim))
                return;
            break;
        }
    }
}

bool RegistrationRun::acknowledge(Terminal& t) {
    const LinkResult sent =
        onLine([&] { return SendCommand(*t.port, t.rec, AckCommand(), ProcessEventsHook()); });
    if (sent.kind != LinkResult::Kind::PortFailure)
        return true;
    lineFailed(t, sent.error);
    return false;
}

bool RegistrationRun::takeReading(int i, int n, const QByteArray& raw, bool sim) {
    Session& s = s_;
    Terminal& t = terminals_[static_cast<size_t>(current_)];
    const QString portName = t.port->name();
    QString line;
    ReadingOutcome outcome;
    try {
        rek_.year = QString::number(ReadingYear(env_.today(), rek_.month.toInt()));
        s.SetErrContext(form, QStringLiteral("Odczyt"), QStringLiteral("Przed zapisem"));
        rek_.readingTime = ReadingTimeOf(rek_);
        line = portName + QStringLiteral("  Karta ") + rek_.cardNumber + QStringLiteral(" data ") +
               rek_.readingTime.toString(QStringLiteral("dd.MM.yyyy hh:mm:ss"));
        DeriveReadingFields(rek_, portName, params_);
        outcome = ZapiszOdczyt();
    } catch (const std::exception& e) {
        readingFailed(e, line);
        return false;
    }
    if (!running())
        return false; // stored, not acknowledged: the terminal offers it again
    if (!sim && !acknowledge(t))
        return false; // the same: stored once however often it comes
    t.lastFailure.clear();
    const Announcement a = Announce(outcome, n, params_);
    observer_.historyTrimmed(historyLimit);
    bool lineOk = true;
    if (a.shown && !sim) {
        const LinkResult shown =
            a.alarm ? onLine([&] { return ShowAlarm(*t.port, t.rec, a.text, ProcessEventsHook()); })
                    : onLine([&] { return ShowText(*t.port, t.rec, a.text); });
        if (shown.kind == LinkResult::Kind::PortFailure) {
            lineFailed(t, shown.error);
            lineOk = false;
        }
    }
    if (logReadings)
        s.WriteHistDB(ReadingLogLine(i, n, rek_, a.text), ReplyDetail(raw));
    addHistory(line + ' ' + a.text);
    countIssued(rek_);
    observer_.idle();
    ++times_.readings;
    return lineOk;
}

void RegistrationRun::readingFailed(const std::exception& e, const QString& historyText) {
    Session& s = s_;
    const auto* db = dynamic_cast<const fb::Error*>(&e);
    if (db && ConnectionLost(*db)) {
        loseDatabase(db->text());
        return;
    }
    s.WriteHist(QString::fromUtf8(e.what()));
    if (unattended) {
        addHistoryOnce(terminals_[static_cast<size_t>(current_)],
                       historyText + QStringLiteral("  ") + readingError);
        return;
    }
    if (observer_.askStop(readingError + QStringLiteral("\rCzy przerwać pracę?"))) {
        stopRequest_ = true;
        skipCounts_ = true;
    }
}

void RegistrationRun::countIssued(const TRekReceive& rek) {
    if (rek.readingTime.date() != counts_.day || rek.mealSlot < 1 || rek.mealSlot > 3)
        return;
    const int c = rek.mealSlot - 1;
    ++counts_.issued[static_cast<size_t>(c)];
    observer_.countsChanged(counts_);
}

ReadingOutcome RegistrationRun::ZapiszOdczyt() {
    s_.SetErrContext(form, QStringLiteral("ZapiszOdczyt"), QString());
    const QString ret = dm_.MQReadString(QStringLiteral("ret"), ZapiszOdczytStatement(rek_));
    const ReadingOutcome outcome = ParseOutcome(ret);
    rek_.recordFlag = outcome.code;
    rek_.repeatCount = outcome.repeatCount;
    rek_.person = outcome.person;
    return outcome;
}

void RegistrationRun::Statystyka(const QDate& date) {
    s_.SetErrContext(form, QStringLiteral("Statystyka"), QString());
    const QDate day = date.isValid() ? date : env_.today();
    qProc_.setSql(QStringLiteral("execute procedure PKZM_INIT_STAT3(:PDATA, :PP)"));
    qProc_.setParam(QStringLiteral("PDATA"), day);
    qProc_.setParam(QStringLiteral("PP"), 0);
    qProc_.execSql();
    const char* plannedCols[] = {"S1", "O1", "K1"};
    const char* issuedCols[] = {"S2", "O2", "K2"};
    DayCounts counts;
    counts.day = day;
    for (size_t c = 0; c < 3; ++c) {
        counts.planned[c] = qProc_.fieldByName(QString::fromLatin1(plannedCols[c])).asInteger();
        counts.issued[c] = qProc_.fieldByName(QString::fromLatin1(issuedCols[c])).asInteger();
    }
    qProc_.close();
    if (trProc_.inTransaction())
        trProc_.commit();
    counts_ = counts;
    observer_.countsChanged(counts_);
}

} // namespace kzm
