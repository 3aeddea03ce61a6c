// Which record replies are acknowledged: whole ones at once, damaged ones never, a record that
// keeps coming back damaged after the fifth time. The replies are those a simulated terminal
// sends, spoiled byte by byte.

#include "terminals/RecordGate.h"
#include "terminals/TerminalReply.h"
#include "tqsim/SimTerminal.h"

#include <gtest/gtest.h>

using namespace kzm;

namespace {

const QDate today(2026, 12, 10);

// The reply text (as the layouts count it) of a record the simulated terminal offers.
QByteArray RecordReply(const QString& card, const QDateTime& at, bool rs485, char flag = '0') {
    tqsim::SimTerminal terminal(tqsim::Model::TQ200, 1);
    tqsim::Reading reading;
    reading.card = card;
    reading.time = at;
    reading.flag = flag;
    terminal.store(reading);
    QRandomGenerator random(1);
    const tqsim::Answer answer = terminal.handle("R", rs485, QDateTime::currentDateTime(), random);
    return ReplyText(answer.bytes, rs485);
}

QByteArray Reply(bool rs485, char flag = '0') {
    return RecordReply("000004711", QDateTime(QDate(2026, 12, 8), QTime(12, 31, 5)), rs485, flag);
}

// The reply with the byte at 1-based position `at` replaced.
QByteArray With(QByteArray text, int at, char byte) {
    text[at - 1] = byte;
    return text;
}

std::string Shown(const QByteArray& text) {
    return text.toHex(' ').toStdString();
}

TEST(RecordGate, TheFormOfARecordReply) {
    for (const bool rs485 : {false, true}) {
        SCOPED_TRACE(rs485 ? "RS-485" : "RS-232");
        const QByteArray whole = Reply(rs485);
        const QByteArray packed =
            RecordReply("0000123450", QDateTime(QDate(2026, 12, 8), QTime(7, 5, 59)), rs485);
        const QByteArray empty = RecordReply("", QDateTime(), rs485);
        const struct {
            const char* what;
            QByteArray text;
            RecordForm form;
        } cases[] = {
            {"whole, plain card", whole, RecordForm::Reading},
            {"whole, packed card", packed, RecordForm::Reading},
            {"no card at all", empty, RecordForm::CardLess},
            {"a blank card field", whole.first(2) + QByteArray(9, ' ') + whole.sliced(11),
             RecordForm::CardLess},
            {"blanks before the digits", With(whole, 3, ' '), RecordForm::Reading},
            {"flagged T", Reply(rs485, 'T'), RecordForm::Flagged},
            {"flagged U", Reply(rs485, 'U'), RecordForm::Flagged},
            {"flagged ,", Reply(rs485, ','), RecordForm::Flagged},
            {"nothing", QByteArray(), RecordForm::Missing},
            {"cut after 18 bytes", whole.first(18), RecordForm::Cut},
            {"cut just before its CR", whole.first(whole.size() - 1), RecordForm::Cut},
            {"a byte missing", whole.first(10) + whole.sliced(11), RecordForm::Cut},
            {"a byte too many", whole.first(10) + "7" + whole.sliced(10), RecordForm::Cut},
            {"a letter in the card", With(whole, 7, 'x'), RecordForm::Malformed},
            {"a packed pair above 99", With(packed, 5, char(28 + 100)), RecordForm::Malformed},
            {"a packed byte below the range", With(packed, 5, char(27)), RecordForm::Malformed},
            {"month 13", whole.first(11) + "13" + whole.sliced(13), RecordForm::Malformed},
            {"month 00", whole.first(11) + "00" + whole.sliced(13), RecordForm::Malformed},
            {"day 00", whole.first(13) + "00" + whole.sliced(15), RecordForm::Malformed},
            {"31 February", whole.first(11) + "0231" + whole.sliced(15), RecordForm::Malformed},
            {"hour 24", whole.first(15) + "24" + whole.sliced(17), RecordForm::Malformed},
            {"minute 60", whole.first(17) + "60" + whole.sliced(19), RecordForm::Malformed},
            {"second 6x", whole.first(19) + "6x" + whole.sliced(21), RecordForm::Malformed},
            {"a blank in the time", With(whole, 17, ' '), RecordForm::Malformed},
        };
        for (const auto& c : cases)
            EXPECT_EQ(RecordReplyForm(c.text, rs485, today), c.form)
                << c.what << ": " << Shown(c.text);
        EXPECT_TRUE(ReplyCheckMatches(whole, rs485));
        EXPECT_TRUE(ReplyCheckMatches(packed, rs485));
        EXPECT_TRUE(ReplyCheckMatches(empty, rs485));
        EXPECT_FALSE(ReplyCheckMatches(With(whole, 9, '8'), rs485)) << "a digit for a digit";
    }
    // 29 February is a date only in a leap year: the record's year decides.
    const QByteArray leap = Reply(false).first(11) + "0229" + Reply(false).sliced(15);
    EXPECT_EQ(RecordReplyForm(leap, false, QDate(2028, 3, 1)), RecordForm::Reading);
    EXPECT_EQ(RecordReplyForm(leap, false, QDate(2027, 3, 1)), RecordForm::Malformed);
}

TEST(RecordGate, OnlyWholeRecordsAreAcknowledged) {
    using V = RecordGate::Verdict;
    const QByteArray whole = Reply(false);
    const QByteArray garbledDigit = With(whole, 9, '8'); // well formed, but not what was sent
    const QByteArray cut = whole.first(18);
    const QByteArray nothing;

    const struct {
        const char* what;
        std::vector<QByteArray> replies;
        std::vector<V> verdicts;
    } cases[] = {
        {"whole at once", {whole}, {V::Store}},
        {"flagged and card-less records are skipped",
         {Reply(false, 'T'), RecordReply("", {}, false)},
         {V::Skip, V::Skip}},
        {"a digit changed on the line, then the record as sent",
         {garbledDigit, whole},
         {V::Retry, V::Store}},
        {"a check character of the terminal's own, confirmed by the next offer",
         {garbledDigit, garbledDigit},
         {V::Retry, V::Store}},
        {"silence does not count towards giving up",
         {nothing, nothing, nothing, nothing, nothing, nothing, whole},
         {V::Retry, V::Retry, V::Retry, V::Retry, V::Retry, V::Retry, V::Store}},
        {"four times damaged, then whole",
         {cut, cut, cut, cut, whole},
         {V::Retry, V::Retry, V::Retry, V::Retry, V::Store}},
        {"five times damaged in a row: given up, and counting starts anew",
         {cut, With(whole, 7, 'x'), cut, nothing, cut, cut, cut},
         {V::Retry, V::Retry, V::Retry, V::Retry, V::Retry, V::GiveUp, V::Retry}},
        {"a whole record between damaged ones starts counting anew",
         {cut, cut, cut, cut, whole, cut, cut, cut, cut, cut},
         {V::Retry, V::Retry, V::Retry, V::Retry, V::Store, V::Retry, V::Retry, V::Retry, V::Retry,
          V::GiveUp}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RecordGate gate;
        ASSERT_EQ(c.replies.size(), c.verdicts.size());
        for (size_t k = 0; k < c.replies.size(); ++k)
            EXPECT_EQ(gate.judge(c.replies[k], false, today), c.verdicts[k]) << "reply " << k;
    }
}

} // namespace
