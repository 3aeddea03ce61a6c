#pragma once

#include "terminals/SerialPort.h"
#include "terminals/TerminalProtocol.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QStringView>

#include <optional>

namespace kzm {

// The outcome of sending to a terminal. A port error stops the exchange; a confirmation that did
// not come does not, but is reported.
struct LinkResult {
    enum class Kind {
        Ok,          // sent, and every confirmation awaited came
        Unconfirmed, // sent, but at least one confirmation did not come within its limit
        PortFailure, // the port failed; `error` says how
    };
    Kind kind = Kind::Ok;
    std::optional<PortError> error; // set for PortFailure; its message() is shown to the user

    bool ok() const { return kind == Kind::Ok; }
    explicit operator bool() const { return ok(); }
};

// The outcome of reading a reply.
struct ReplyResult {
    enum class Kind {
        Ok,          // read up to and including CR
        Timeout,     // the limit passed before a CR; `raw` holds what came, possibly nothing
        PortFailure, // the port failed; `error` says how
    };
    Kind kind = Kind::Ok;
    QByteArray raw;  // the bytes as they came from the line
    QByteArray text; // `raw` as the reply layouts count it (ReplyText): what ParseReply takes
    std::optional<PortError> error;

    bool ok() const { return kind == Kind::Ok; }
};

// Builds the frame of `command`, purges the input queue of the port and writes the frame.
LinkResult SendFrame(SerialPort& port, const TComRecord& terminal, QByteArrayView command);

// Waits the terminal's reply delay (100 ms), then reads one byte at a time until a CR has come or
// the terminal's reply limit has passed, and purges both queues. Bytes already waiting are read
// even when the limit passed meanwhile.
ReplyResult ReceiveReply(SerialPort& port, const TComRecord& terminal,
                         const RepaintHook& repaint = {});

// Sends the command and, when it has a confirmation, waits for it with WaitForByte.
LinkResult SendCommand(SerialPort& port, const TComRecord& terminal, const TerminalCommand& command,
                       const RepaintHook& repaint = {});

// The model's status request; the status reply is then read with ReceiveReply.
LinkResult AskStatus(SerialPort& port, const TComRecord& terminal);
// The model's request for the oldest stored record; read the record reply with ReceiveReply.
LinkResult AskRecord(SerialPort& port, const TComRecord& terminal);

// Shows the text, cut or filled to 16 characters. Nothing is awaited.
LinkResult ShowText(SerialPort& port, const TComRecord& terminal, QStringView text);

// Opens the port if needed and sends the text with the terminal's sound signal: the signal
// character, '1', the text, '0' and a blank, waiting for each confirmation. A missing confirmation
// does not stop the sequence, so the signal is always switched off again; a port error does.
LinkResult ShowAlarm(SerialPort& port, const TComRecord& terminal, QStringView text,
                     const RepaintHook& repaint = {});

// Opens the port if needed and sends the blank signal control, waiting for its confirmation.
LinkResult ClearDisplay(SerialPort& port, const TComRecord& terminal,
                        const RepaintHook& repaint = {});

} // namespace kzm
