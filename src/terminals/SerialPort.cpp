#include "terminals/SerialPort.h"

#include "core/Timeout.h"

#include <QCoreApplication>
#include <QFile>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <iterator>
#include <thread>

#if defined(Q_OS_UNIX)
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace kzm {

namespace detail {
// Sets a line speed that has no termios constant; false where the system cannot.
bool SetOtherSpeed(int fd, int rate);
} // namespace detail

namespace {

constexpr std::array<int, 15> acceptedRates{110,   300,   600,    1200,   2400,
                                            4800,  9600,  14400,  19200,  38400,
                                            56000, 57600, 115200, 128000, 256000};

// Slices of the waits, so that the user interface repaints often enough.
constexpr int repaintSliceMs = 10;

void Sleep(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

// Sleeps for `milliseconds`, calling the hook before every slice.
void PauseWithRepaint(int milliseconds, const RepaintHook& repaint) {
    Timeout pause;
    pause.Start(milliseconds);
    while (pause.Running() && !pause.TimedOut()) {
        if (repaint)
            repaint();
        Sleep(std::min(repaintSliceMs, std::max(1, milliseconds)));
    }
}

#if defined(Q_OS_UNIX)

QString SystemText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

speed_t SpeedConstant(int rate) {
    switch (rate) {
    case 110:
        return B110;
    case 300:
        return B300;
    case 600:
        return B600;
    case 1200:
        return B1200;
    case 2400:
        return B2400;
    case 4800:
        return B4800;
    case 9600:
        return B9600;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 57600:
        return B57600;
    case 115200:
        return B115200;
    default:
        return B0; // no constant: set afterwards by rate
    }
}

// A modem-line ioctl that a pseudo-terminal does not implement is not a failure: such a line
// has no modem lines to drive.
bool ModemLinesUnsupported(int error) {
    return error == ENOTTY || error == EINVAL;
}

#endif

} // namespace

QString PortErrorText(int code) {
    switch (code) {
    case PortErrorCode::Open:
        return QStringLiteral("Bład otwarcia portu szeregowego");
    case PortErrorCode::Write:
        return QStringLiteral("Bład podczas zapisu do portu");
    case PortErrorCode::Read:
        return QStringLiteral("Błąd odczytu z portu");
    case PortErrorCode::Purge:
        return QStringLiteral("Błąd podczas czyszczenia portu");
    default:
        return QStringLiteral("Inny blad o numerze ") + QString::number(code);
    }
}

QString PortError::message() const {
    return QString::number(code) + QStringLiteral(" : ") + PortErrorText(code);
}

QString PortError::reason() const {
#if defined(Q_OS_UNIX)
    switch (systemError) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return QStringLiteral("brak urządzenia");
    case ENOTTY:
    case EISDIR:
        return QStringLiteral("to nie jest łącze szeregowe");
    case EACCES:
    case EPERM:
        return QStringLiteral("brak uprawnień");
    case EBUSY:
        return QStringLiteral("port zajęty");
    default:
        break;
    }
#endif
    return detail;
}

int AcceptedBaudRate(int rate) {
    return std::find(acceptedRates.begin(), acceptedRates.end(), rate) != acceptedRates.end()
               ? rate
               : 9600;
}

QString ComDevice(const IniFile& ini, int number) {
    const QString key = QStringLiteral("COM") + QString::number(number);
    const QString mapped = ini.readString(QStringLiteral("Porty"), key, QString());
    if (!mapped.isEmpty())
        return mapped;
    if (number < 1)
        return QString();
    return QStringLiteral("/dev/ttyS") + QString::number(number - 1);
}

RepaintHook ProcessEventsHook() {
    return [] {
        if (QCoreApplication::instance() != nullptr)
            QCoreApplication::processEvents();
    };
}

SerialPort::SerialPort(QString name, QString device, int baudRate, PortUse use)
    : m_name(std::move(name)), m_device(std::move(device)), m_baudRate(AcceptedBaudRate(baudRate)),
      m_use(use) {}

SerialPort::SerialPort(const IniFile& ini, int number, int baudRate, PortUse use)
    : SerialPort(QStringLiteral("COM") + QString::number(number), ComDevice(ini, number), baudRate,
                 use) {}

SerialPort::~SerialPort() {
    ClosePort();
}

bool SerialPort::fail(int code, const QString& detail, int systemError) {
    m_error =
        PortError{code, m_name + QStringLiteral(" (") + m_device + QStringLiteral("): ") + detail,
                  systemError};
    return false;
}

#if defined(Q_OS_UNIX)

bool SerialPort::OpenPort() {
    if (connected())
        return true;
    if (m_device.isEmpty())
        return fail(PortErrorCode::Open, QStringLiteral("no device"), ENOENT);

    const QByteArray path = QFile::encodeName(m_device);
    const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        return fail(PortErrorCode::Open, SystemText(error), error);
    }

    const auto abandon = [&](int code, int error) {
        ::close(fd);
        return fail(code, SystemText(error), error);
    };

    // Nobody else opens the line while it is ours (as a COM port on Windows).
    ::ioctl(fd, TIOCEXCL);

    termios tio{};
    if (::tcgetattr(fd, &tio) != 0)
        return abandon(PortErrorCode::LineSettings, errno);
    ::cfmakeraw(&tio);
    tio.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
    tio.c_cflag |= CS8 | CREAD | CLOCAL;
    tio.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK | ISTRIP | IGNBRK | BRKINT | PARMRK);
    tio.c_iflag |= IGNPAR;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    const speed_t speed = SpeedConstant(m_baudRate);
    if (speed != B0) {
        ::cfsetispeed(&tio, speed);
        ::cfsetospeed(&tio, speed);
    }
    if (::tcsetattr(fd, TCSANOW, &tio) != 0)
        return abandon(PortErrorCode::LineSettings, errno);
    if (speed == B0 && !detail::SetOtherSpeed(fd, m_baudRate))
        return abandon(PortErrorCode::Speed, errno);

    // RTS always off; DTR on for a terminal, off for the personalizer. Set even on a line
    // without modem lines (a pseudo-terminal), where the call fails harmlessly.
    const int rts = TIOCM_RTS;
    if (::ioctl(fd, TIOCMBIC, &rts) != 0 && !ModemLinesUnsupported(errno))
        return abandon(PortErrorCode::ModemLines, errno);
    const int dtr = TIOCM_DTR;
    if (::ioctl(fd, m_use == PortUse::Terminal ? TIOCMBIS : TIOCMBIC, &dtr) != 0 &&
        !ModemLinesUnsupported(errno))
        return abandon(PortErrorCode::ModemLines, errno);

    ::tcflush(fd, TCIOFLUSH);
    m_fd = fd;
    return true;
}

void SerialPort::ClosePort() {
    if (!connected())
        return;
    // Abandon what is still queued instead of waiting for it on close.
    ::tcflush(m_fd, TCIOFLUSH);
    ::close(m_fd);
    m_fd = -1;
}

std::optional<qsizetype> SerialPort::Write(QByteArrayView bytes) {
    if (!connected()) {
        fail(PortErrorCode::Write, QStringLiteral("not open"));
        return std::nullopt;
    }
    Timeout limit;
    limit.Start(static_cast<int>(std::min<qsizetype>(bytes.size(), 20'000'000) * 100 + 1000));

    qsizetype sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::write(m_fd, bytes.data() + sent, size_t(bytes.size() - sent));
        if (n > 0) {
            sent += n;
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
            fail(PortErrorCode::Write, SystemText(errno));
            return std::nullopt;
        }
        if (limit.TimedOut()) {
            fail(PortErrorCode::Write,
                 QStringLiteral("time limit, %1 of %2 bytes sent").arg(sent).arg(bytes.size()));
            return std::nullopt;
        }
        pollfd p{m_fd, POLLOUT, 0};
        ::poll(&p, 1, repaintSliceMs);
    }

    // The bytes count as sent once the driver's output queue is empty.
    int queued = 0;
    while (::ioctl(m_fd, TIOCOUTQ, &queued) == 0 && queued > 0) {
        if (limit.TimedOut()) {
            fail(PortErrorCode::Write,
                 QStringLiteral("time limit, %1 bytes still queued").arg(queued));
            return std::nullopt;
        }
        Sleep(1);
    }
    return sent;
}

std::optional<QByteArray> SerialPort::Read(qsizetype maxBytes) {
    if (!connected()) {
        fail(PortErrorCode::Read, QStringLiteral("not open"));
        return std::nullopt;
    }
    QByteArray result;
    if (maxBytes <= 0)
        return result;
    result.reserve(maxBytes);
    QByteArray chunk(maxBytes, Qt::Uninitialized);
    while (result.size() < maxBytes) {
        const qsizetype wanted = maxBytes - result.size();
        const ssize_t n = ::read(m_fd, chunk.data(), size_t(wanted));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK)
                break;
            fail(PortErrorCode::Read, SystemText(errno));
            return std::nullopt;
        }
        if (n == 0)
            break;
        if (m_use == PortUse::Terminal) {
            std::copy_if(chunk.cbegin(), chunk.cbegin() + n, std::back_inserter(result),
                         [](char c) { return c != '\0'; });
        } else {
            result.append(chunk.constData(), n);
        }
        // A short read means the queue is empty; a full one may have lost NUL bytes and
        // leaves room for more.
        if (n < wanted)
            break;
    }
    return result;
}

bool SerialPort::Purge(bool input, bool output) {
    if (!connected())
        return fail(PortErrorCode::Purge, QStringLiteral("not open"));
    if (!input && !output)
        return true;
    const int queue = input && output ? TCIOFLUSH : input ? TCIFLUSH : TCOFLUSH;
    if (::tcflush(m_fd, queue) != 0)
        return fail(PortErrorCode::Purge, SystemText(errno));
    return true;
}

#else

bool SerialPort::OpenPort() {
    if (connected())
        return true;
    return fail(PortErrorCode::Open, QStringLiteral("serial ports are not available"));
}

void SerialPort::ClosePort() {}

std::optional<qsizetype> SerialPort::Write(QByteArrayView) {
    fail(PortErrorCode::Write, QStringLiteral("not open"));
    return std::nullopt;
}

std::optional<QByteArray> SerialPort::Read(qsizetype) {
    fail(PortErrorCode::Read, QStringLiteral("not open"));
    return std::nullopt;
}

bool SerialPort::Purge(bool, bool) {
    return fail(PortErrorCode::Purge, QStringLiteral("not open"));
}

#endif

void Delay(int milliseconds, const RepaintHook& repaint) {
    PauseWithRepaint(milliseconds, repaint);
}

ByteWait WaitForByte(SerialPort& port, char expected, int limitMs, const RepaintHook& repaint) {
    ByteWait outcome;
    Timeout limit;
    limit.Start(limitMs);
    for (;;) {
        // Decided before the read, so that a byte already waiting still counts.
        const bool passed = limit.TimedOut();
        const std::optional<QByteArray> byte = port.Read(1);
        if (!byte) {
            outcome.error = port.lastError();
            return outcome;
        }
        if (!byte->isEmpty() && byte->front() == expected) {
            outcome.received = true;
            break;
        }
        if (passed)
            break;
        PauseWithRepaint(50, repaint);
    }
    if (!port.Purge(true, true))
        outcome.error = port.lastError();
    return outcome;
}

} // namespace kzm
