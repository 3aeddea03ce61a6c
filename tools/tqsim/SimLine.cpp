#include "tqsim/SimLine.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <termios.h>
#include <unistd.h>

namespace kzm::tqsim {

namespace {

using Clock = std::chrono::steady_clock;

constexpr char SOH = 0x01;
constexpr char DLE = 0x10;
constexpr char CR = 0x0D;

// A partial frame older than this is taken as it stands (or dropped) rather than waited on.
constexpr auto staleAfter = std::chrono::milliseconds(300);

QString SystemError(const char* what) {
    return QString::fromLatin1(what) + QStringLiteral(": ") +
           QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

std::optional<LineFrame> TakeFrame(QByteArray& buffer, bool rs485, bool flush) {
    const qsizetype start = buffer.indexOf(SOH);
    if (start < 0) {
        buffer.clear();
        return std::nullopt;
    }
    buffer.remove(0, start);

    LineFrame frame;
    frame.at = Clock::now();
    if (!rs485) {
        const qsizetype end = buffer.indexOf(CR);
        if (end < 0)
            return std::nullopt;
        frame.raw = buffer.first(end + 1);
        buffer.remove(0, end + 1);
        if (frame.raw.size() >= 3) {
            const QByteArray payload = frame.raw.first(frame.raw.size() - 2);
            frame.command = payload.sliced(1);
            frame.checkOk = CheckCharacter(payload) == frame.raw[frame.raw.size() - 2];
        }
        return frame;
    }

    // SOH, address, DLE "!", command, check, DLE "-", CR.
    if (buffer.size() < 4)
        return std::nullopt;
    if (buffer[2] != DLE || buffer[3] != '!') {
        // Not the start of a frame: look for the next one.
        buffer.remove(0, 1);
        return TakeFrame(buffer, rs485, flush);
    }
    const qsizetype endMark = buffer.indexOf(QByteArrayView("\x10-"), 4);
    if (endMark < 0)
        return std::nullopt;
    qsizetype length = endMark + 2;
    if (buffer.size() > length && buffer[length] == CR)
        ++length;
    else if (buffer.size() == length && !flush)
        return std::nullopt; // the final CR may still come
    frame.raw = buffer.first(length);
    buffer.remove(0, length);
    frame.address = static_cast<unsigned char>(frame.raw[1]);
    if (endMark >= 5) {
        const QByteArray payload = frame.raw.sliced(2, endMark - 3);
        frame.command = payload.sliced(2);
        frame.checkOk = CheckCharacter(payload) == frame.raw[endMark - 1];
    }
    return frame;
}

SimLine::SimLine(bool rs485) : m_rs485(rs485) {}

SimLine::~SimLine() {
    stop();
}

int SimLine::addTerminal(Model model, int numScan) {
    std::lock_guard lock(m_mutex);
    if (!m_rs485 && !m_terminals.empty())
        throw std::logic_error("an RS-232 line takes one terminal");
    m_terminals.push_back(std::make_unique<SimTerminal>(model, numScan));
    return int(m_terminals.size()) - 1;
}

int SimLine::terminalCount() const {
    std::lock_guard lock(m_mutex);
    return int(m_terminals.size());
}

bool SimLine::start(const QString& linkPath, QString* error) {
    auto fail = [&](const QString& text) {
        if (error)
            *error = text;
        stop();
        return false;
    };
    if (m_thread.joinable())
        return true;

    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (m_master < 0)
        return fail(SystemError("posix_openpt"));
    if (::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0)
        return fail(SystemError("unlockpt"));
    m_devicePath = QString::fromLocal8Bit(::ptsname(m_master));

    // The line is raw from the start: no echo of what the terminal sends before the program
    // has opened and set up its side.
    m_slave = ::open(m_devicePath.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (m_slave < 0)
        return fail(SystemError("open"));
    termios tio{};
    if (::tcgetattr(m_slave, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::tcsetattr(m_slave, TCSANOW, &tio);
    }

    if (!linkPath.isEmpty()) {
        const QByteArray link = linkPath.toLocal8Bit();
        ::unlink(link.constData());
        if (::symlink(m_devicePath.toLocal8Bit().constData(), link.constData()) != 0)
            return fail(SystemError("symlink"));
        m_linkPath = linkPath;
    }

    m_stopping = false;
    m_thread = std::thread([this] { run(); });
    return true;
}

void SimLine::stop() {
    m_stopping = true;
    if (m_thread.joinable())
        m_thread.join();
    if (!m_linkPath.isEmpty()) {
        ::unlink(m_linkPath.toLocal8Bit().constData());
        m_linkPath.clear();
    }
    for (int* fd : {&m_slave, &m_master}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
}

void SimLine::unplug() {
    m_unpluggedLink = m_linkPath;
    stop();
}

bool SimLine::plugIn(QString* error) {
    return start(m_unpluggedLink, error);
}

QString SimLine::portPath() const {
    return m_linkPath.isEmpty() ? m_devicePath : m_linkPath;
}

void SimLine::addReading(int terminal, const Reading& reading) {
    std::lock_guard lock(m_mutex);
    m_terminals.at(size_t(terminal))->store(reading);
}

void SimLine::setFaults(int terminal, const Faults& faults) {
    std::lock_guard lock(m_mutex);
    m_terminals.at(size_t(terminal))->state().faults = faults;
}

void SimLine::update(int terminal, const std::function<void(TerminalState&)>& change) {
    std::lock_guard lock(m_mutex);
    change(m_terminals.at(size_t(terminal))->state());
}

TerminalState SimLine::state(int terminal) const {
    std::lock_guard lock(m_mutex);
    return m_terminals.at(size_t(terminal))->state();
}

std::vector<LineFrame> SimLine::frames() const {
    std::lock_guard lock(m_mutex);
    return m_frames;
}

bool SimLine::WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (condition())
            return true;
        if (Clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

void SimLine::setObserver(Observer observer) {
    std::lock_guard lock(m_mutex);
    m_observer = std::move(observer);
}

void SimLine::setSeed(quint32 seed) {
    std::lock_guard lock(m_mutex);
    m_random.seed(seed);
}

int SimLine::terminalFor(const LineFrame& frame) const {
    if (!m_rs485)
        return m_terminals.empty() ? -1 : 0;
    for (size_t i = 0; i < m_terminals.size(); ++i) {
        if (static_cast<unsigned char>(m_terminals[i]->state().address()) == frame.address)
            return int(i);
    }
    return -1;
}

void SimLine::dispatch(const LineFrame& frame) {
    Observer observer;
    int index = -1;
    {
        std::lock_guard lock(m_mutex);
        m_frames.push_back(frame);
        index = terminalFor(frame);
        // A frame whose check character is wrong is not acted on, as a terminal would not.
        if (index >= 0 && frame.checkOk) {
            SimTerminal& terminal = *m_terminals[size_t(index)];
            const Answer answer =
                terminal.handle(frame.command, m_rs485, QDateTime::currentDateTime(), m_random);
            const Faults& faults = terminal.state().faults;
            if (!answer.bytes.isEmpty()) {
                const auto delay = std::chrono::milliseconds(faults.replyDelayMs);
                m_pending.push_back({Clock::now() + delay, answer.bytes});
            }
            if (answer.isReply && terminal.state().recordReplies == faults.freezeAfterRecords)
                m_frozenUntil = Clock::now() + std::chrono::milliseconds(faults.freezeMs);
        }
        observer = m_observer;
    }
    if (observer)
        observer(index, frame);
}

void SimLine::run() {
    QByteArray buffer;
    auto lastByte = Clock::now();
    while (!m_stopping) {
        bool frozen = false;
        {
            std::lock_guard lock(m_mutex);
            frozen = Clock::now() < m_frozenUntil;
        }
        if (frozen) {
            // Nothing is read or answered; what comes meanwhile waits on the line.
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            lastByte = Clock::now();
            continue;
        }
        // Answers that are due go out first.
        std::vector<QByteArray> due;
        {
            std::lock_guard lock(m_mutex);
            const auto now = Clock::now();
            for (auto it = m_pending.begin(); it != m_pending.end();) {
                if (it->due <= now) {
                    due.push_back(it->bytes);
                    it = m_pending.erase(it);
                } else {
                    ++it;
                }
            }
        }
        for (const QByteArray& bytes : due) {
            qsizetype sent = 0;
            while (sent < bytes.size() && !m_stopping) {
                const ssize_t n =
                    ::write(m_master, bytes.constData() + sent, size_t(bytes.size() - sent));
                if (n > 0)
                    sent += n;
                else
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        }

        bool waiting = false;
        {
            std::lock_guard lock(m_mutex);
            waiting = !m_pending.empty();
        }
        pollfd p{m_master, POLLIN, 0};
        if (::poll(&p, 1, waiting || !buffer.isEmpty() ? 1 : 20) > 0 && (p.revents & POLLIN)) {
            char chunk[512];
            const ssize_t n = ::read(m_master, chunk, sizeof chunk);
            if (n > 0) {
                buffer.append(chunk, n);
                lastByte = Clock::now();
            }
        }
        const bool stale = !buffer.isEmpty() && Clock::now() - lastByte > staleAfter;
        while (auto frame = TakeFrame(buffer, m_rs485, stale))
            dispatch(*frame);
        if (stale && !buffer.isEmpty() && Clock::now() - lastByte > 2 * staleAfter)
            buffer.clear(); // a frame that will never be finished
    }
}

} // namespace kzm::tqsim
