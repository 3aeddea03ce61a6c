#pragma once

#include "core/IniFile.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>
#include <optional>

namespace kzm {

// Codes of the port errors; any other code is a failure of the port's own setup.
namespace PortErrorCode {
inline constexpr int Open = 1;
inline constexpr int Write = 2;
inline constexpr int Read = 3;
inline constexpr int LineSettings = 4;
inline constexpr int Purge = 5;
inline constexpr int ModemLines = 6;
inline constexpr int Speed = 7;
} // namespace PortErrorCode

// The text of a port error code, as the user sees it.
QString PortErrorText(int code);

// A port error: its code and, for the log, what the system said.
struct PortError {
    int code = 0;
    QString detail;
    int systemError = 0; // the system's error number, when the system gave one

    // The message shown to the user: code, " : " and the text of the code.
    QString message() const;
    // Why a port could not be opened, in the user's words: no such device, not a serial line,
    // no permission, in use; else what the system said.
    QString reason() const;
};

// Who talks over the port; it decides the modem lines and the handling of NUL bytes.
enum class PortUse {
    Terminal,     // DTR on, NUL bytes discarded
    Personalizer, // DTR off, NUL bytes delivered
};

// The line speed used for a configured rate: the rate itself when it is one of the accepted
// rates, otherwise 9600.
int AcceptedBaudRate(int rate);

// The device of port COM<number>: the value of key COM<number> in section Porty of KZM.ini,
// else /dev/ttyS<number-1>; empty for a number below 1 without a mapping.
QString ComDevice(const IniFile& ini, int number);

// Lets the user interface repaint while a port operation waits; empty means do nothing.
using RepaintHook = std::function<void()>;

// A hook that processes pending events of the application object, if there is one.
RepaintHook ProcessEventsHook();

// One serial port, used synchronously from the calling thread: 8 data bits, no parity, one stop
// bit, no handshake, raw bytes, RTS off, DTR as the use requires.
class SerialPort {
public:
    // `name` is what the user sees ("COM3"); `device` is the path that is opened.
    SerialPort(QString name, QString device, int baudRate, PortUse use);
    // Port COM<number>, mapped to its device through KZM.ini.
    SerialPort(const IniFile& ini, int number, int baudRate, PortUse use);
    ~SerialPort();

    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    const QString& name() const { return m_name; }
    const QString& device() const { return m_device; }
    int baudRate() const { return m_baudRate; } // already one of the accepted rates
    PortUse use() const { return m_use; }
    bool connected() const { return m_fd >= 0; }

    // True when the port is connected afterwards; an open port is left as it is. On failure the
    // error has code 1 when the device cannot be opened, another code when it cannot be set up.
    bool OpenPort();
    // Closes the port, abandoning pending transfers; nothing when not connected.
    void ClosePort();

    // Sends all bytes, waiting at most 100 ms per byte plus 1000 ms; the count written, or
    // nothing on failure (code 2).
    std::optional<qsizetype> Write(QByteArrayView bytes);
    // What has arrived, at most `maxBytes`, without waiting; nothing on failure (code 3).
    std::optional<QByteArray> Read(qsizetype maxBytes);
    // Discards what waits in the input queue, the output queue or both; false on failure
    // (code 5).
    bool Purge(bool input, bool output);

    // The error of the last operation that failed.
    const PortError& lastError() const { return m_error; }

private:
    bool fail(int code, const QString& detail, int systemError = 0);

    QString m_name;
    QString m_device;
    int m_baudRate;
    PortUse m_use;
    int m_fd = -1;
    PortError m_error;
};

// Waits until more than `milliseconds` have passed on a monotonic clock, calling `repaint`
// between short sleeps.
void Delay(int milliseconds, const RepaintHook& repaint = {});

// The outcome of waiting for one byte.
struct ByteWait {
    bool received = false;
    std::optional<PortError> error; // set when the port failed during the wait

    explicit operator bool() const { return received; }
};

// Reads one byte every 50 ms until it is `expected` or more than `limitMs` have passed, then
// purges both queues. A port error ends the wait at once.
ByteWait WaitForByte(SerialPort& port, char expected, int limitMs, const RepaintHook& repaint = {});

} // namespace kzm
