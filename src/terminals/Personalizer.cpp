#include "terminals/Personalizer.h"

#include "core/Win1250.h"

namespace kzm {

namespace {

const QString identFile = QStringLiteral("ident.dat");
const QString testFile = QStringLiteral("Test.dat");
constexpr char CR = '\r';

} // namespace

Personalizer::Personalizer(const IniFile& ini, WorkstationEnv env)
    : ini_(ini), env_(std::move(env)) {
    timer_.setInterval(interval);
    QObject::connect(&timer_, &QTimer::timeout, [this] { TimerPTimer(); });
}

Personalizer::~Personalizer() {
    timer_.stop();
    if (port_)
        port_->ClosePort();
}

std::optional<QString> Personalizer::CardNumber(QByteArrayView reading) {
    if (reading.size() <= 3)
        return std::nullopt;
    const QString number = FromWin1250(reading.sliced(1, reading.size() - 3).toByteArray());
    if (number.trimmed().isEmpty())
        return std::nullopt;
    return number;
}

QString Personalizer::StartComP(int comp, bool cpakt) {
    if (comp == 0 || !cpakt)
        return QStringLiteral("Nieustalone parametry portu personalizatora");
    pending_.clear();
    if (!env_.fileExists(testFile)) {
        if (!port_ || port_->name() != QStringLiteral("COM") + QString::number(comp))
            port_ = std::make_unique<SerialPort>(ini_, comp, 9600, PortUse::Personalizer);
        if (!port_->OpenPort())
            return QStringLiteral("Nie można otworzyć portu ") + port_->name();
        port_->Purge(true, true);
    }
    reading_ = true;
    timer_.start();
    return QString();
}

void Personalizer::StopComP() {
    if (port_)
        port_->ClosePort();
    timer_.stop();
    reading_ = false;
    pending_.clear();
}

void Personalizer::deliver(const QString& number) {
    if (target)
        target(number);
}

void Personalizer::TimerPTimer() {
    if (!target) {
        timer_.stop();
        return;
    }
    if (targetVisible && !targetVisible())
        return;
    timer_.stop();
    if (env_.fileExists(identFile)) {
        const QString number = env_.readFile(identFile).trimmed();
        env_.removeFile(identFile);
        if (!number.isEmpty())
            deliver(number);
    } else if (port_ && port_->connected()) {
        // What has come is taken without waiting; a reading may span several ticks.
        if (const std::optional<QByteArray> got = port_->Read(4096); got && !got->isEmpty()) {
            if (pending_.isEmpty())
                pendingAt_ = env_.clockMs();
            pending_ += *got;
        }
        for (qsizetype end = pending_.indexOf(CR); end >= 0; end = pending_.indexOf(CR)) {
            const QByteArray whole = pending_.first(end + 1);
            pending_.remove(0, end + 1);
            pendingAt_ = env_.clockMs();
            if (const std::optional<QString> number = CardNumber(whole))
                deliver(*number);
        }
        // A reading cut short never completes: what came of it is dropped, not delivered.
        if (!pending_.isEmpty() && env_.clockMs() - pendingAt_ > frameLimitMs)
            pending_.clear();
    }
    if (reading_)
        timer_.start();
}

} // namespace kzm
