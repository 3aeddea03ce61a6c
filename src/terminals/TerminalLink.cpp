#include "terminals/TerminalLink.h"

#include "core/Timeout.h"
#include "terminals/TerminalReply.h"

#include <chrono>
#include <thread>

namespace kzm {

namespace {

// More than any reply is long: a line that keeps sending without a CR is not read forever.
constexpr qsizetype maxReplyBytes = 256;

LinkResult PortFailure(const SerialPort& port) {
    return LinkResult{LinkResult::Kind::PortFailure, port.lastError()};
}

} // namespace

LinkResult SendFrame(SerialPort& port, const TComRecord& terminal, QByteArrayView command) {
    const QByteArray frame = BuildFrame(terminal, command);
    // Only what waits to be read is discarded. Every write waits for the output queue to drain,
    // so that queue is empty here on a sound line; on lines that report it empty too early
    // (pseudo-terminals, some USB adapters) purging it would destroy the previous frame.
    if (!port.Purge(true, false))
        return PortFailure(port);
    if (!port.Write(frame))
        return PortFailure(port);
    return {};
}

ReplyResult ReceiveReply(SerialPort& port, const TComRecord& terminal, const RepaintHook& repaint) {
    ReplyResult result;
    Delay(terminal.replyDelayMs, repaint);

    Timeout limit;
    limit.Start(terminal.replyLimitMs);
    result.kind = ReplyResult::Kind::Timeout;
    bool passed = false;
    for (;;) {
        // Decided before the read, so that what waits on the line is read even when the
        // workstation was busy past the limit.
        passed = passed || limit.TimedOut();
        const std::optional<QByteArray> byte = port.Read(1);
        if (!byte) {
            result.kind = ReplyResult::Kind::PortFailure;
            result.error = port.lastError();
            break;
        }
        if (!byte->isEmpty()) {
            result.raw.append(*byte);
            if (byte->front() == Ctl::CR) {
                result.kind = ReplyResult::Kind::Ok;
                break;
            }
            if (result.raw.size() >= maxReplyBytes)
                break;
            continue;
        }
        if (passed)
            break;
        // Nothing has come yet: give the line a moment instead of spinning on it.
        if (repaint)
            repaint();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }

    // Purged even after a port error, as far as the port lets it; the first error is kept.
    if (!port.Purge(true, true) && !result.error) {
        result.kind = ReplyResult::Kind::PortFailure;
        result.error = port.lastError();
    }
    result.text = ReplyText(result.raw, terminal.rs485);
    return result;
}

LinkResult SendCommand(SerialPort& port, const TComRecord& terminal, const TerminalCommand& command,
                       const RepaintHook& repaint) {
    LinkResult sent = SendFrame(port, terminal, command.bytes);
    if (!sent.ok() || !command.confirmation)
        return sent;
    const ByteWait wait = WaitForByte(port, *command.confirmation, command.confirmationMs, repaint);
    if (wait.error)
        return LinkResult{LinkResult::Kind::PortFailure, wait.error};
    if (!wait.received)
        sent.kind = LinkResult::Kind::Unconfirmed;
    return sent;
}

LinkResult AskStatus(SerialPort& port, const TComRecord& terminal) {
    return SendFrame(port, terminal, StatusCommand(terminal.tq700).bytes);
}

LinkResult AskRecord(SerialPort& port, const TComRecord& terminal) {
    return SendFrame(port, terminal, RecordCommand(terminal.tq700).bytes);
}

LinkResult ShowText(SerialPort& port, const TComRecord& terminal, QStringView text) {
    return SendFrame(port, terminal, ShowTextCommand(text).bytes);
}

LinkResult ShowAlarm(SerialPort& port, const TComRecord& terminal, QStringView text,
                     const RepaintHook& repaint) {
    if (!port.OpenPort())
        return PortFailure(port);
    LinkResult overall;
    for (const TerminalCommand& command : ShowAlarmCommands(text, SignalChar(terminal))) {
        const LinkResult step = SendCommand(port, terminal, command, repaint);
        if (step.kind == LinkResult::Kind::PortFailure)
            return step;
        if (!step.ok())
            overall.kind = step.kind;
    }
    return overall;
}

LinkResult ClearDisplay(SerialPort& port, const TComRecord& terminal, const RepaintHook& repaint) {
    if (!port.OpenPort())
        return PortFailure(port);
    return SendCommand(port, terminal, ClearDisplayCommand(), repaint);
}

} // namespace kzm
