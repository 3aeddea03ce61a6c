#include "terminals/forms/TfmTQ200.h"

#include "core/Files.h"
#include "core/Session.h"
#include "core/Win1250.h"
#include "db/Params.h"
#include "db/Tdm.h"
#include "fb/Error.h"
#include "terminals/Registration.h"
#include "terminals/TerminalLink.h"
#include "ui/AppContext.h"
#include "ui/StatusLamp.h"
#include "ui/TfmUwaga.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTimeEdit>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>
#include <utility>

namespace kzm {

namespace {

const QString form = QStringLiteral("fmTQ200");

const QString readingError = QStringLiteral("Wystąpił błąd przy odczycie danych");

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

TfmTQ200::TfmTQ200(WindowHost& host)
    : FunctionWindow(host, form, QStringLiteral("Praca z czytnikami kart TQ-200")),
      trProc_(host.ctx().dm.IBBaza), qProc_(trProc_) {
    auto* column = new QVBoxLayout(this);

    // The run: lamp, date, start/stop, log switch.
    auto* top = new QHBoxLayout();
    lamp_ = new StatusLamp(lampOff, this);
    top->addWidget(lamp_);
    lbData_ = new QLabel(this);
    lbData_->setObjectName(QStringLiteral("lbData"));
    QFont bold = lbData_->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 4);
    lbData_->setFont(bold);
    lbData_->setCursor(Qt::PointingHandCursor);
    lbData_->installEventFilter(this);
    top->addWidget(lbData_);
    btnRun_ = new QPushButton(QStringLiteral("Praca ciągła"), this);
    btnRun_->setObjectName(QStringLiteral("btnRun"));
    btnRun_->setAutoDefault(false);
    btnRun_->setCheckable(true);
    connect(btnRun_, &QPushButton::clicked, this, &TfmTQ200::runButtonClicked);
    top->addWidget(btnRun_);
    cbLog_ = new QCheckBox(QStringLiteral("Zapis historii pracy"), this);
    cbLog_->setObjectName(QStringLiteral("cbLog"));
    cbLog_->setChecked(true);
    top->addWidget(cbLog_);
    lbStan_ = new QLabel(this);
    lbStan_->setObjectName(QStringLiteral("lbStan"));
    top->addWidget(lbStan_);
    top->addStretch(1);
    btnWyjscie_ = new QPushButton(QStringLiteral("Wyjście"), this);
    btnWyjscie_->setObjectName(QStringLiteral("btnWyjscie"));
    btnWyjscie_->setAutoDefault(false);
    connect(btnWyjscie_, &QPushButton::clicked, this, &QWidget::close);
    top->addWidget(btnWyjscie_);
    column->addLayout(top);

    // The day's counts.
    auto* counts = new QGridLayout();
    const char* titles[] = {"Śniadania", "Obiady", "Kolacje"};
    const char* rows[] = {"Zaplanowane", "Wydane", "Różnica"};
    for (int c = 0; c < 3; ++c) {
        auto* t = new QLabel(QString::fromUtf8(titles[c]), this);
        t->setObjectName(QStringLiteral("lbPosilek%1").arg(c + 1));
        t->setAlignment(Qt::AlignCenter);
        t->setAutoFillBackground(true);
        mealTitles_[static_cast<size_t>(c)] = t;
        counts->addWidget(t, 0, c + 1);
    }
    for (int r = 0; r < 3; ++r) {
        counts->addWidget(new QLabel(QString::fromUtf8(rows[r]), this), r + 1, 0);
        for (int c = 0; c < 3; ++c) {
            auto* box = new QLineEdit(this);
            box->setObjectName(QStringLiteral("edStat%1%2").arg(r).arg(c));
            box->setReadOnly(true);
            box->setAlignment(Qt::AlignRight);
            box->setFocusPolicy(Qt::NoFocus);
            stats_[static_cast<size_t>(r * 3 + c)] = box;
            counts->addWidget(box, r + 1, c + 1);
        }
    }
    column->addLayout(counts);

    // The terminal selector and the service panels.
    auto* middle = new QHBoxLayout();
    auto* gbCzytnik = new QGroupBox(QStringLiteral(" Czytnik "), this);
    auto* selectorRow = new QHBoxLayout(gbCzytnik);
    cbCzytnik_ = new QComboBox(gbCzytnik);
    cbCzytnik_->setObjectName(QStringLiteral("cbCzytnik"));
    cbCzytnik_->setMinimumWidth(220);
    connect(cbCzytnik_, &QComboBox::activated, this, [this](int index) { makeCurrent(index); });
    selectorRow->addWidget(cbCzytnik_);
    middle->addWidget(gbCzytnik);
    gbService_ = new QGroupBox(QStringLiteral(" Zegar "), this);
    gbService_->setObjectName(QStringLiteral("pnSerwis"));
    auto* clock = new QHBoxLayout(gbService_);
    edDate_ = new QDateEdit(gbService_);
    edDate_->setObjectName(QStringLiteral("edData"));
    edDate_->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    edDate_->setCalendarPopup(true);
    edTime_ = new QTimeEdit(gbService_);
    edTime_->setObjectName(QStringLiteral("edCzas"));
    edTime_->setDisplayFormat(QStringLiteral("hh:mm:ss"));
    clock->addWidget(edDate_);
    clock->addWidget(edTime_);
    middle->addWidget(gbService_);
    middle->addStretch(1);
    column->addLayout(middle);

    lbHistory_ = new QListWidget(this);
    lbHistory_->setObjectName(QStringLiteral("lbHistoria"));
    column->addWidget(lbHistory_, 1);

    clockMs = [clock = std::make_shared<QElapsedTimer>()] {
        if (!clock->isValid())
            clock->start();
        return clock->elapsed();
    };
    timer_.setInterval(timerInterval);
    connect(&timer_, &QTimer::timeout, this, &TfmTQ200::TimerTimer);

    // Creation: the clock panel and date, the highlighted meal titles, the terminals.
    const QDateTime now = QDateTime::currentDateTime();
    edDate_->setDate(now.date());
    edTime_->setTime(now.time());
    lbData_->setText(' ' + today().toString(QStringLiteral("dd.MM.yyyy")) + ' ');
    ParamStore store(ctx().dm);
    const char* counters[] = {"FCntWork01", "FCntWork02", "FCntWork03"};
    for (int c = 0; c < 3; ++c) {
        if (store.ReadParD(QString::fromLatin1(counters[c]), QDate()) != today())
            continue;
        QPalette p = mealTitles_[static_cast<size_t>(c)]->palette();
        p.setColor(QPalette::WindowText, titleHighlight);
        mealTitles_[static_cast<size_t>(c)]->setPalette(p);
    }
    loadTerminals();
}

TfmTQ200::~TfmTQ200() {
    timer_.stop();
    closePorts();
    qProc_.close();
    trProc_.rollbackQuietly();
}

bool TfmTQ200::running() const {
    return ctx().registrationRunning;
}

bool TfmTQ200::simulation() const {
    return QFile::exists(QStringLiteral("BezRCP.dat"));
}

void TfmTQ200::repaintNow() {
    QCoreApplication::processEvents();
}

void TfmTQ200::loadTerminals() {
    Tdm& dm = ctx().dm;
    if (dm.OpenQTmp(QStringLiteral("select * from KZM_ComDef where aktywny=1"))) {
        for (; !dm.QTmp.eof(); dm.QTmp.next()) {
            auto col = [&](const char* name) {
                return dm.QTmp.fieldByName(QString::fromLatin1(name)).asInteger();
            };
            if (col("AKTYWNY") != 1 || col("PORT") <= 0)
                continue;
            Terminal t;
            t.rec = ComRecordFromDefinition(dm.QTmp.fieldByName(QStringLiteral("NAZWA")).asString(),
                                            col("TQ700") == 1, col("NUMSCAN"), col("NUMINST"),
                                            col("RS485") == 1, col("ALARM"), col("BASE_ALARM"));
            t.rec.replyLimitMs = 50;
            t.port = std::make_unique<SerialPort>(ctx().s.ini, col("PORT"), col("SPEED"),
                                                  PortUse::Terminal);
            cbCzytnik_->addItem(QString::number(col("PORT")) + QStringLiteral("  ") + t.rec.name);
            terminals_.push_back(std::move(t));
        }
    }
    dm.CloseQTmp();
    if (!terminals_.empty())
        makeCurrent(0);
}

void TfmTQ200::makeCurrent(int index) {
    if (index < 0 || index >= static_cast<int>(terminals_.size()))
        return;
    current_ = index;
    if (cbCzytnik_->currentIndex() != index)
        cbCzytnik_->setCurrentIndex(index);
}

void TfmTQ200::showEvent(QShowEvent* event) {
    FunctionWindow::showEvent(event);
    if (terminals_.empty()) {
        ctx().s.ShowMessage(QStringLiteral("Brak aktywnych urządzeń"));
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    }
}

void TfmTQ200::closeEvent(QCloseEvent* event) {
    ctx().keptWindowName = objectName();
    if (running()) {
        event->ignore();
        hideKeepingAlive();
        return;
    }
    timer_.stop();
    closePorts();
    terminals_.clear();
    ctx().keptWindowName.clear();
    FunctionWindow::closeEvent(event);
}

bool TfmTQ200::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lbData_ && event->type() == QEvent::MouseButtonPress) {
        Statystyka(edDate_->date());
        return true;
    }
    return FunctionWindow::eventFilter(watched, event);
}

void TfmTQ200::closePorts() {
    for (Terminal& t : terminals_)
        if (t.port)
            t.port->ClosePort();
}

QColor TfmTQ200::lamp() const {
    return lamp_->colour();
}

void TfmTQ200::setLamps(const QColor& colour) {
    lamp_->setColour(colour);
    host().setLamp(colour);
}

void TfmTQ200::setRunning(bool on) {
    ctx().registrationRunning = on;
    gbService_->setEnabled(!on);
    setLamps(on ? lampOn : lampOff);
    btnRun_->setChecked(on);
    if (!on) {
        dbLost_ = false;
        lbStan_->clear();
    }
}

void TfmTQ200::addHistory(const QString& line) {
    lbHistory_->insertItem(0, line);
}

void TfmTQ200::addHistoryOnce(Terminal& t, const QString& line) {
    if (t.lastFailure == line)
        return;
    t.lastFailure = line;
    addHistory(line);
    ctx().s.WriteHist(line);
}

qint64 TfmTQ200::nowMs() const {
    return clockMs();
}

// ---- start and stop

void TfmTQ200::runButtonClicked() {
    // A click while a cycle runs is taken when the cycle ends; a second one takes it back.
    if (busy_) {
        pendingClick_ = !pendingClick_;
        return;
    }
    btnRunClick();
}

void TfmTQ200::btnRunClick() {
    ctx().s.SetErrContext(form, QStringLiteral("BtnRun"), QString());
    if (running())
        stopRun();
    else
        startRun();
}

void TfmTQ200::startRun() {
    lbHistory_->clear();
    bool on = false;
    {
        const QScopedValueRollback busy(busy_, true);
        Statystyka(today());
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
                repaintNow();
            }
        }
    }
    if (on) {
        setRunning(true);
        timer_.start();
    }
    btnRun_->setChecked(running());
    if (std::exchange(pendingClick_, false))
        btnRunClick();
}

void TfmTQ200::stopRun() {
    lbHistory_->clear();
    for (Terminal& t : terminals_) {
        t.port->ClosePort();
        addHistory(QStringLiteral("Rozłączenie z ") + t.rec.name);
    }
    timer_.stop();
    setRunning(false);
}

bool TfmTQ200::connectTerminal(Terminal& t) {
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

bool TfmTQ200::TestConnection() {
    if (QFile::exists(QStringLiteral("Test.dat")))
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
    repaintNow();
    return ok;
}

void TfmTQ200::lineFailed(Terminal& t, const std::optional<PortError>& error) {
    t.port->ClosePort();
    t.retryAtMs = nowMs() + lineRetryMs;
    const PortError e = error.value_or(t.port->lastError());
    addHistoryOnce(t, t.port->name() + QStringLiteral("  ") + e.message());
    ctx().s.WriteHist(e.detail);
}

// ---- the database

void TfmTQ200::loseDatabase(const QString& why) {
    ctx().s.WriteHist(why);
    dbRetryAtMs_ = nowMs() + databaseRetryMs;
    if (dbLost_)
        return;
    dbLost_ = true;
    addHistory(QStringLiteral("Utracono połączenie z bazą danych"));
    lbStan_->setText(QStringLiteral("Oczekiwanie na połączenie z bazą danych"));
    lamp_->setColour(lampWaiting);
    if (!unattended)
        ctx().s.ShowMessage(
            QStringLiteral("Utracono połączenie z bazą danych\rOdczyty czekają w czytnikach, "
                           "praca będzie wznowiona po przywróceniu połączenia"));
}

bool TfmTQ200::reconnectDatabase() {
    if (nowMs() < dbRetryAtMs_)
        return false;
    dbRetryAtMs_ = nowMs() + databaseRetryMs;
    Tdm& dm = ctx().dm;
    try {
        dm.IBBaza.connect(fb::ConnectParams(dm.IBBaza.params()));
        dm.CurrConnection();
    } catch (const std::exception& e) {
        ctx().s.WriteHist(QString::fromUtf8(e.what()));
        return false;
    }
    dbLost_ = false;
    lbStan_->clear();
    lamp_->setColour(lampOn);
    addHistory(QStringLiteral("Przywrócono połączenie z bazą danych"));
    return true;
}

void TfmTQ200::refreshCounts() {
    try {
        Statystyka(QDate());
    } catch (const fb::Error& e) {
        if (ConnectionLost(e)) {
            loseDatabase(e.text());
            return;
        }
        if (!unattended)
            throw;
        ctx().s.WriteHist(e.text());
        addHistory(e.text().section('\n', 0, 0));
    }
}

// ---- the cycle

void TfmTQ200::TimerTimer() {
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
        btnRunClick();
}

void TfmTQ200::PetlaOdczytow() {
    ctx().s.SetErrContext(form, QStringLiteral("PetlaOdczytow"), QString());
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

void TfmTQ200::Odczyt() {
    ctx().s.SetErrContext(form, QStringLiteral("Odczyt"), QString());
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
        repaintNow();
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
        repaintNow();
        refreshCounts();
    }
    times_.turnNs += turn.nsecsElapsed();
    repaintNow();
}

void TfmTQ200::takeRecords(Terminal& t, int n, bool sim) {
    const auto repaint = ProcessEventsHook();
    for (int i = 0; i < n && running(); ++i) {
        if (sim) {
            const QByteArray raw = ToWin1250(ReadWholeFile(QStringLiteral("BezRCP.dat")));
            ParseReply(rek_, raw, ReplyLayout::Record, t.rec.tq700);
            if (RecordReplyForm(UpToCr(raw), false, today()) == RecordForm::Reading &&
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
        switch (t.gate.judge(reply.text, t.rec.rs485, today())) {
        case RecordGate::Verdict::Retry:
            return; // offered again in the next cycle
        case RecordGate::Verdict::GiveUp: {
            if (!acknowledge(t))
                return;
            const QString line = t.port->name() + QStringLiteral("  Odczyt uszkodzony ") +
                                 QString::number(RecordGate::malformedLimit) +
                                 QStringLiteral(" razy, usunięty z czytnika ") + t.rec.name;
            ctx().s.WriteHistDB(line + QStringLiteral(": ") + Hex(reply.raw),
                                ReplyDetail(reply.raw));
            ctx().s.WriteHist(line + QStringLiteral(": ") + Hex(reply.raw));
            addHistory(line);
            break;
        }
        case RecordGate::Verdict::Skip:
            if (cbLog_->isChecked())
                ctx().s.WriteHistDB(SkippedLogLine(i, n, rek_), ReplyDetail(reply.raw));
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

bool TfmTQ200::acknowledge(Terminal& t) {
    const LinkResult sent =
        onLine([&] { return SendCommand(*t.port, t.rec, AckCommand(), ProcessEventsHook()); });
    if (sent.kind != LinkResult::Kind::PortFailure)
        return true;
    lineFailed(t, sent.error);
    return false;
}

bool TfmTQ200::takeReading(int i, int n, const QByteArray& raw, bool sim) {
    Session& s = ctx().s;
    Terminal& t = terminals_[static_cast<size_t>(current_)];
    const QString portName = t.port->name();
    QString line;
    ReadingOutcome outcome;
    try {
        rek_.year = QString::number(ReadingYear(today(), rek_.month.toInt()));
        s.SetErrContext(form, QStringLiteral("Odczyt"), QStringLiteral("Przed zapisem"));
        rek_.readingTime = ReadingTimeOf(rek_);
        line = portName + QStringLiteral("  Karta ") + rek_.cardNumber + QStringLiteral(" data ") +
               rek_.readingTime.toString(QStringLiteral("dd.MM.yyyy hh:mm:ss"));
        DeriveReadingFields(rek_, portName, ctx().params);
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
    const Announcement a = Announce(outcome, n, ctx().params);
    while (lbHistory_->count() > historyLimit)
        delete lbHistory_->takeItem(lbHistory_->count() - 1);
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
    if (cbLog_->isChecked())
        s.WriteHistDB(ReadingLogLine(i, n, rek_, a.text), ReplyDetail(raw));
    addHistory(line + ' ' + a.text);
    countIssued(rek_);
    repaintNow();
    ++times_.readings;
    return lineOk;
}

void TfmTQ200::readingFailed(const std::exception& e, const QString& historyText) {
    Session& s = ctx().s;
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
    if (ctx().Ask(readingError + QStringLiteral("\rCzy przerwać pracę?"), UwagaRed, true)) {
        stopRequest_ = true;
        skipCounts_ = true;
    }
}

void TfmTQ200::countIssued(const TRekReceive& rek) {
    if (rek.readingTime.date() != countsDate_ || rek.mealSlot < 1 || rek.mealSlot > 3)
        return;
    const int c = rek.mealSlot - 1;
    const int issued = statBox(1, c)->text().toInt() + 1;
    statBox(1, c)->setText(QString::number(issued));
    statBox(2, c)->setText(QString::number(statBox(0, c)->text().toInt() - issued));
}

ReadingOutcome TfmTQ200::ZapiszOdczyt() {
    ctx().s.SetErrContext(form, QStringLiteral("ZapiszOdczyt"), QString());
    const QString ret = ctx().dm.MQReadString(QStringLiteral("ret"), ZapiszOdczytStatement(rek_));
    const ReadingOutcome outcome = ParseOutcome(ret);
    rek_.recordFlag = outcome.code;
    rek_.repeatCount = outcome.repeatCount;
    rek_.person = outcome.person;
    return outcome;
}

void TfmTQ200::Statystyka(const QDate& date) {
    ctx().s.SetErrContext(form, QStringLiteral("Statystyka"), QString());
    const QDate day = date.isValid() ? date : QDate::currentDate();
    countsDate_ = day;
    qProc_.setSql(QStringLiteral("execute procedure PKZM_INIT_STAT3(:PDATA, :PP)"));
    qProc_.setParam(QStringLiteral("PDATA"), day);
    qProc_.setParam(QStringLiteral("PP"), 0);
    qProc_.execSql();
    const char* plannedCols[] = {"S1", "O1", "K1"};
    const char* issuedCols[] = {"S2", "O2", "K2"};
    for (int c = 0; c < 3; ++c) {
        const int planned = qProc_.fieldByName(QString::fromLatin1(plannedCols[c])).asInteger();
        const int issued = qProc_.fieldByName(QString::fromLatin1(issuedCols[c])).asInteger();
        statBox(0, c)->setText(QString::number(planned));
        statBox(1, c)->setText(QString::number(issued));
        statBox(2, c)->setText(QString::number(planned - issued));
    }
    qProc_.close();
    if (trProc_.inTransaction())
        trProc_.commit();
}

} // namespace kzm
