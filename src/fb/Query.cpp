#include "fb/Query.h"

#include "core/Win1250.h"
#include "fb/Api.h"

#include <QScopedValueRollback>
#include <cstring>
#include <map>

namespace fb {

using namespace detail;
using Firebird::IMessageMetadata;

namespace {

constexpr unsigned charsetOctets = 1;

struct Column {
    QString name;
    unsigned type = 0;
    int subType = 0;
    int scale = 0;
    unsigned length = 0;
    unsigned charset = 0;
    unsigned offset = 0;
    unsigned nullOffset = 0;
    FieldType fieldType = FieldType::Other;
};

FieldType fieldTypeOf(unsigned type, int scale) {
    switch (type) {
    case SQL_SHORT:
        return scale < 0 ? FieldType::Numeric : FieldType::SmallInt;
    case SQL_LONG:
        return scale < 0 ? FieldType::Numeric : FieldType::Integer;
    case SQL_INT64:
        return scale < 0 ? FieldType::Numeric : FieldType::BigInt;
    case SQL_FLOAT:
        return FieldType::Float;
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        return FieldType::Double;
    case SQL_TYPE_DATE:
        return FieldType::Date;
    case SQL_TYPE_TIME:
        return FieldType::Time;
    case SQL_TIMESTAMP:
        return FieldType::Timestamp;
    case SQL_TEXT:
        return FieldType::Char;
    case SQL_VARYING:
        return FieldType::Varchar;
    case SQL_BLOB:
        return FieldType::Blob;
    case SQL_BOOLEAN:
        return FieldType::Boolean;
    default:
        return FieldType::Other;
    }
}

template <typename T> T load(const unsigned char* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

template <typename T> void store(unsigned char* p, T v) {
    std::memcpy(p, &v, sizeof v);
}

Value scaled(std::int64_t units, int scale) {
    if (scale < 0)
        return Decimal{units, -scale};
    while (scale-- > 0)
        units *= 10;
    return units;
}

QString decodeText(const char* p, int len, unsigned charset) {
    const QByteArray bytes(p, len);
    return charset == charsetOctets ? QString::fromLatin1(bytes) : kzm::FromWin1250(bytes);
}

QDate decodeDate(ISC_DATE d) {
    unsigned y = 0, m = 0, day = 0;
    util()->decodeDate(d, &y, &m, &day);
    return QDate(static_cast<int>(y), static_cast<int>(m), static_cast<int>(day));
}

QTime decodeTime(ISC_TIME t) {
    unsigned h = 0, m = 0, s = 0, frac = 0;
    util()->decodeTime(t, &h, &m, &s, &frac);
    return QTime(static_cast<int>(h), static_cast<int>(m), static_cast<int>(s),
                 static_cast<int>(frac / 10));
}

ISC_DATE encodeDate(const QDate& d) {
    return util()->encodeDate(static_cast<unsigned>(d.year()), static_cast<unsigned>(d.month()),
                              static_cast<unsigned>(d.day()));
}

ISC_TIME encodeTime(const QTime& t) {
    return util()->encodeTime(static_cast<unsigned>(t.hour()), static_cast<unsigned>(t.minute()),
                              static_cast<unsigned>(t.second()),
                              static_cast<unsigned>(t.msec() * 10));
}

// Replaces ":name" parameters with "?" outside literals, quoted names and comments.
// Returns the names by position; a "?" gets an empty name.
QString parseParams(const QString& sql, std::vector<QString>& names) {
    QString out;
    out.reserve(sql.size());
    const int n = static_cast<int>(sql.size());
    for (int i = 0; i < n; ++i) {
        const QChar c = sql[i];
        if (c == '\'' || c == '"') {
            int j = i + 1;
            while (j < n) {
                if (sql[j] == c) {
                    if (j + 1 < n && sql[j + 1] == c) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            out += sql.mid(i, j - i + 1);
            i = j;
        } else if (c == '-' && i + 1 < n && sql[i + 1] == '-') {
            int j = sql.indexOf('\n', i);
            if (j < 0)
                j = n - 1;
            out += sql.mid(i, j - i + 1);
            i = j;
        } else if (c == '/' && i + 1 < n && sql[i + 1] == '*') {
            int j = sql.indexOf(QStringLiteral("*/"), i + 2);
            j = j < 0 ? n - 1 : j + 1;
            out += sql.mid(i, j - i + 1);
            i = j;
        } else if (c == '?') {
            names.emplace_back();
            out += c;
        } else if (c == ':' && i + 1 < n && (sql[i + 1].isLetter() || sql[i + 1] == '_')) {
            int j = i + 1;
            while (j < n && (sql[j].isLetterOrNumber() || sql[j] == '_' || sql[j] == '$'))
                ++j;
            names.push_back(sql.mid(i + 1, j - i - 1).toUpper());
            out += '?';
            i = j - 1;
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace

namespace {

// How one parameter travels: its type, length and scale in the input message. A null value
// (type 0) keeps whatever the slot had.
struct Slot {
    unsigned type = 0;
    unsigned length = 0;
    int scale = 0;
};

Slot slotOf(const Value& v, const QByteArray& text) {
    const auto& s = v.storage();
    if (std::holds_alternative<std::int64_t>(s) || std::holds_alternative<bool>(s))
        return {SQL_INT64, 8, 0};
    if (const auto* dec = std::get_if<Decimal>(&s))
        return {SQL_INT64, 8, -dec->scale};
    if (std::holds_alternative<double>(s))
        return {SQL_DOUBLE, 8, 0};
    if (std::holds_alternative<QString>(s))
        return {SQL_VARYING, static_cast<unsigned>(std::max<qsizetype>(1, text.size())), 0};
    if (std::holds_alternative<QDate>(s))
        return {SQL_TYPE_DATE, 4, 0};
    if (std::holds_alternative<QTime>(s))
        return {SQL_TYPE_TIME, 4, 0};
    if (std::holds_alternative<QDateTime>(s))
        return {SQL_TIMESTAMP, 8, 0};
    return {};
}

bool fits(const Slot& have, const Slot& want) {
    if (want.type == 0)
        return true;
    return have.type == want.type && have.scale == want.scale &&
           (want.type != SQL_VARYING || have.length >= want.length);
}

} // namespace

// The input message of the prepared statement, built for the kinds of values bound; it is
// kept while later values fit it, so a loop of executions builds it once.
struct InputMessage {
    std::vector<Slot> layout;
    Ref<IMessageMetadata> meta;
    std::vector<unsigned> offsets, nullOffsets;
    unsigned length = 0;
    bool built = false;

    void reset() {
        layout.clear();
        meta.reset();
        built = false;
    }

    // Each parameter is sent with the type of its value; the server converts it to the
    // parameter's own type.
    void prepareFor(Firebird::IStatement* stmt, const std::vector<Slot>& want) {
        bool ok = built && want.size() == layout.size();
        for (size_t i = 0; ok && i < want.size(); ++i)
            ok = fits(layout[i], want[i]);
        if (ok)
            return;
        Status st;
        Ref<IMessageMetadata> in(stmt->getInputMetadata(&st));
        std::vector<Slot> next = want;
        if (!want.empty()) {
            Ref<Firebird::IMetadataBuilder> b(in->getBuilder(&st));
            for (unsigned i = 0; i < want.size(); ++i) {
                Slot& slot = next[i];
                if (slot.type == 0) {
                    slot = {in->getType(&st, i), in->getLength(&st, i), in->getScale(&st, i)};
                    continue;
                }
                if (slot.type == SQL_VARYING) {
                    // Room to grow, so that texts of other lengths reuse the message.
                    unsigned room = 16;
                    while (room < slot.length)
                        room *= 2;
                    slot.length = std::min(room, 32765u);
                    slot.length = std::max(slot.length, want[i].length);
                }
                b->setType(&st, i, slot.type);
                b->setLength(&st, i, slot.length);
                b->setScale(&st, i, slot.scale);
            }
            meta.reset(b->getMetadata(&st));
        } else {
            meta = std::move(in);
        }
        layout = std::move(next);
        length = meta->getMessageLength(&st);
        offsets.resize(layout.size());
        nullOffsets.resize(layout.size());
        for (unsigned i = 0; i < layout.size(); ++i) {
            offsets[i] = meta->getOffset(&st, i);
            nullOffsets[i] = meta->getNullOffset(&st, i);
        }
        built = true;
    }

    void fill(const std::vector<Value>& params, const std::vector<QByteArray>& texts,
              std::vector<unsigned char>& buffer) const {
        buffer.assign(length, 0);
        for (size_t i = 0; i < params.size(); ++i) {
            const Value& v = params[i];
            const auto& s = v.storage();
            unsigned char* p = buffer.data() + offsets[i];
            const auto* date = std::get_if<QDate>(&s);
            const bool isNull = v.isNull() || (date && !date->isValid());
            store<short>(buffer.data() + nullOffsets[i], isNull ? -1 : 0);
            if (isNull)
                continue;
            if (const auto* n = std::get_if<std::int64_t>(&s))
                store<std::int64_t>(p, *n);
            else if (const auto* f = std::get_if<bool>(&s))
                store<std::int64_t>(p, *f ? 1 : 0);
            else if (const auto* dec = std::get_if<Decimal>(&s))
                store<std::int64_t>(p, dec->units);
            else if (const auto* d = std::get_if<double>(&s))
                store<double>(p, *d);
            else if (std::holds_alternative<QString>(s)) {
                store<std::uint16_t>(p, static_cast<std::uint16_t>(texts[i].size()));
                std::memcpy(p + 2, texts[i].constData(), static_cast<size_t>(texts[i].size()));
            } else if (date)
                store<ISC_DATE>(p, encodeDate(*date));
            else if (const auto* t = std::get_if<QTime>(&s))
                store<ISC_TIME>(p, encodeTime(t->isValid() ? *t : QTime(0, 0)));
            else if (const auto* dt = std::get_if<QDateTime>(&s)) {
                ISC_TIMESTAMP ts;
                ts.timestamp_date = encodeDate(dt->date());
                ts.timestamp_time = encodeTime(dt->time());
                store<ISC_TIMESTAMP>(p, ts);
            }
        }
    }
};

struct Query::Impl {
    Ref<Firebird::IStatement> stmt;
    InputMessage input;
    Ref<IMessageMetadata> outMeta;
    Ref<Firebird::IResultSet> cursor;
    unsigned stmtType = 0;
    unsigned inCount = 0;
    std::vector<Column> columns;
    unsigned stride = 0;
    std::vector<unsigned char> rows;
    // BLOB values already read, by row and column: a grid paints a cell again and again.
    std::map<std::pair<int, int>, Value> blobs;

    std::vector<QString> paramNames; // by position; empty for "?"
    std::vector<Value> params;       // by position
    QString sent;                    // the text sent to the server
    bool parsed = false;
};

// ---- Field

const QString& Field::name() const {
    return q_->d_->columns[static_cast<size_t>(index_)].name;
}
FieldType Field::type() const {
    return q_->d_->columns[static_cast<size_t>(index_)].fieldType;
}
int Field::scale() const {
    return -q_->d_->columns[static_cast<size_t>(index_)].scale;
}
int Field::size() const {
    return static_cast<int>(q_->d_->columns[static_cast<size_t>(index_)].length);
}

Value Field::value() const {
    if (q_->rowCount_ == 0)
        return {};
    return q_->value(q_->current_, index_);
}

bool Field::isNull() const {
    return value().isNull();
}

// ---- Query

Query::Query(Transaction& transaction) : tr_(&transaction), d_(std::make_unique<Impl>()) {
    tr_->bind(this);
}

Query::~Query() {
    quiet_ = true;
    close();
    unprepare();
    if (tr_)
        tr_->unbind(this);
}

void Query::setSql(const QString& sql) {
    close();
    unprepare();
    sql_ = sql;
    d_->paramNames.clear();
    d_->params.clear();
    d_->parsed = false;
}

void Query::setParamCheck(bool on) {
    if (paramCheck_ == on)
        return;
    setSql(QString(sql_));
    paramCheck_ = on;
}

namespace {
void ensureParsed(Query::Impl& d, const QString& sql, bool paramCheck) {
    if (d.parsed)
        return;
    std::vector<QString> names;
    d.sent = paramCheck ? parseParams(sql, names) : sql;
    if (!paramCheck || names.empty())
        d.sent = sql; // the text goes unchanged where it holds no parameters
    d.paramNames = std::move(names);
    d.params.assign(d.paramNames.size(), Value());
    d.parsed = true;
}
} // namespace

int Query::paramCount() const {
    ensureParsed(*d_, sql_, paramCheck_);
    return static_cast<int>(d_->paramNames.size());
}

QStringList Query::paramNames() const {
    ensureParsed(*d_, sql_, paramCheck_);
    QStringList out;
    for (const QString& n : d_->paramNames)
        if (!n.isEmpty() && !out.contains(n))
            out << n;
    return out;
}

void Query::setParam(int index, const Value& v) {
    ensureParsed(*d_, sql_, paramCheck_);
    if (index < 0 || index >= static_cast<int>(d_->params.size()))
        throw Error(0, QStringLiteral("Brak parametru nr %1 w zapytaniu").arg(index));
    d_->params[static_cast<size_t>(index)] = v;
}

void Query::setParam(const QString& name, const Value& v) {
    ensureParsed(*d_, sql_, paramCheck_);
    const QString key = name.toUpper();
    bool found = false;
    for (size_t i = 0; i < d_->paramNames.size(); ++i) {
        if (d_->paramNames[i] == key) {
            d_->params[i] = v;
            found = true;
        }
    }
    if (!found)
        throw Error(0, QStringLiteral("Brak parametru ") + name + QStringLiteral(" w zapytaniu"));
}

void Query::clearParams() {
    for (Value& v : d_->params)
        v = Value();
}

bool Query::prepared() const {
    return static_cast<bool>(d_->stmt);
}

void Query::prepare() {
    if (d_->stmt)
        return;
    if (!tr_)
        throw Error(0, QStringLiteral("Zapytanie nie ma transakcji"));
    ensureParsed(*d_, sql_, paramCheck_);
    tr_->start();
    const QByteArray text = kzm::ToWin1250(d_->sent);
    Status st;
    call([&] {
        Firebird::IAttachment* att = tr_->database().impl().att.get();
        d_->stmt.reset(att->prepare(&st, tr_->impl().tra.get(), static_cast<unsigned>(text.size()),
                                    text.constData(), tr_->database().params().dialect,
                                    Firebird::IStatement::PREPARE_PREFETCH_METADATA));
        d_->stmtType = d_->stmt->getType(&st);
        Ref<IMessageMetadata> in(d_->stmt->getInputMetadata(&st));
        d_->inCount = in->getCount(&st);
        d_->outMeta.reset(d_->stmt->getOutputMetadata(&st));
        const unsigned n = d_->outMeta->getCount(&st);
        d_->columns.clear();
        fields_.clear();
        for (unsigned i = 0; i < n; ++i) {
            Column c;
            const char* alias = d_->outMeta->getAlias(&st, i);
            c.name = QString::fromLatin1(alias && *alias ? alias : d_->outMeta->getField(&st, i));
            c.type = d_->outMeta->getType(&st, i);
            c.subType = d_->outMeta->getSubType(&st, i);
            c.scale = d_->outMeta->getScale(&st, i);
            c.length = d_->outMeta->getLength(&st, i);
            c.charset = d_->outMeta->getCharSet(&st, i);
            c.offset = d_->outMeta->getOffset(&st, i);
            c.nullOffset = d_->outMeta->getNullOffset(&st, i);
            c.fieldType = fieldTypeOf(c.type, c.scale);
            d_->columns.push_back(c);
            fields_.push_back(Field(this, static_cast<int>(i)));
        }
        d_->stride = d_->outMeta->getMessageLength(&st);
    });
    if (d_->inCount != d_->params.size()) {
        const unsigned expected = d_->inCount;
        unprepare();
        throw Error(0, QStringLiteral("Liczba parametrów zapytania (%1) nie zgadza się z "
                                      "oczekiwaną przez serwer (%2)")
                           .arg(d_->params.size())
                           .arg(expected));
    }
}

void Query::unprepare() {
    d_->cursor.reset();
    d_->input.reset();
    d_->outMeta.reset();
    if (d_->stmt) {
        Status st;
        try {
            d_->stmt->free(&st);
            d_->stmt.release(); // free released the interface
        } catch (const Firebird::FbException&) {
            d_->stmt.reset();
        }
    }
    d_->columns.clear();
    fields_.clear();
}

int Query::addListener(Listener listener) {
    listeners_[++nextListener_] = std::move(listener);
    return nextListener_;
}

void Query::removeListener(int handle) {
    listeners_.erase(handle);
}

void Query::notify(Change change) {
    if (quiet_ || listeners_.empty())
        return;
    const auto listeners = listeners_; // a listener may remove itself
    for (const auto& [handle, listener] : listeners)
        listener(change);
}

void Query::resetRows() {
    d_->rows.clear();
    d_->blobs.clear();
    rowCount_ = 0;
    current_ = 0;
    eof_ = bof_ = true;
}

namespace {

bool returnsCursor(unsigned stmtType) {
    return stmtType == isc_info_sql_stmt_select || stmtType == isc_info_sql_stmt_select_for_upd;
}

} // namespace

void Query::open() {
    close();
    prepare();
    if (!returnsCursor(d_->stmtType) && d_->columns.empty())
        throw Error(0, QStringLiteral("Polecenie nie zwraca wierszy: ") + sql_);
    execSql();
}

void Query::execSql() {
    close();
    prepare();
    tr_->start();
    std::vector<unsigned char> inBuf;
    Status st;
    call([&] {
        std::vector<QByteArray> texts(d_->params.size());
        std::vector<Slot> want(d_->params.size());
        for (size_t i = 0; i < d_->params.size(); ++i) {
            if (const auto* t = std::get_if<QString>(&d_->params[i].storage()))
                texts[i] = kzm::ToWin1250(*t);
            want[i] = slotOf(d_->params[i], texts[i]);
        }
        d_->input.prepareFor(d_->stmt.get(), want);
        d_->input.fill(d_->params, texts, inBuf);
        IMessageMetadata* inMeta = d_->input.meta.get();
        Firebird::ITransaction* tra = tr_->impl().tra.get();
        if (returnsCursor(d_->stmtType)) {
            d_->cursor.reset(
                d_->stmt->openCursor(&st, tra, inMeta, inBuf.data(), d_->outMeta.get(), 0));
            open_ = true;
        } else if (!d_->columns.empty()) {
            d_->rows.assign(d_->stride, 0);
            d_->stmt->execute(&st, tra, inMeta, inBuf.data(), d_->outMeta.get(), d_->rows.data());
            rowCount_ = 1;
            open_ = true;
        } else {
            d_->stmt->execute(&st, tra, inMeta, inBuf.data(), nullptr, nullptr);
        }
    });
    if (open_) {
        ++generation_;
        {
            const QScopedValueRollback quiet(quiet_, true);
            if (d_->cursor)
                fetchMore(1);
        }
        first();
        notify(Change::Reset);
    }
}

void Query::close() {
    if (d_->cursor) {
        Status st;
        try {
            d_->cursor->close(&st);
            d_->cursor.release(); // close released the interface
        } catch (const Firebird::FbException&) {
            d_->cursor.reset();
        }
    }
    const bool wasOpen = open_;
    if (open_)
        ++generation_;
    open_ = false;
    resetRows();
    if (wasOpen)
        notify(Change::Reset);
}

long Query::rowsAffected() const {
    // Asked for only when wanted: over a server it costs a round trip of its own.
    if (!d_->stmt)
        return 0;
    Status st;
    return call([&] { return static_cast<long>(d_->stmt->getAffectedRecords(&st)); });
}

bool Query::canFetchMore() const {
    return static_cast<bool>(d_->cursor);
}

int Query::fetchMore(int maxRows) {
    int fetched = 0;
    Status st;
    call([&] {
        while (d_->cursor && fetched < maxRows) {
            const size_t at = d_->rows.size();
            d_->rows.resize(at + d_->stride);
            if (d_->cursor->fetchNext(&st, d_->rows.data() + at) == Firebird::IStatus::RESULT_OK) {
                ++rowCount_;
                ++fetched;
            } else {
                d_->rows.resize(at);
                d_->cursor->close(&st);
                d_->cursor.release();
            }
        }
    });
    if (fetched > 0)
        notify(Change::RowsAdded);
    return fetched;
}

void Query::fetchAll() {
    while (canFetchMore())
        fetchMore(1000);
}

void Query::first() {
    current_ = 0;
    bof_ = true;
    eof_ = rowCount_ == 0;
}

void Query::next() {
    if (eof_)
        return;
    if (current_ + 1 >= rowCount_ && canFetchMore())
        fetchMore(64);
    if (current_ + 1 < rowCount_) {
        ++current_;
        bof_ = false;
    } else {
        eof_ = true;
    }
}

void Query::prior() {
    if (current_ > 0) {
        --current_;
        eof_ = false;
    } else {
        bof_ = true;
    }
}

void Query::last() {
    fetchAll();
    current_ = rowCount_ > 0 ? rowCount_ - 1 : 0;
    eof_ = true;
    bof_ = rowCount_ == 0;
}

bool Query::moveTo(int row) {
    if (row < 0)
        return false;
    while (row >= rowCount_ && canFetchMore())
        fetchMore(row - rowCount_ + 1);
    if (row >= rowCount_)
        return false;
    current_ = row;
    bof_ = eof_ = false;
    return true;
}

bool Query::locate(const QString& fieldName, std::int64_t key) {
    const int column = fieldByName(fieldName).index_;
    for (int r = 0; r < rowCount_ || (canFetchMore() && fetchMore(64) > 0); ++r) {
        const Value v = value(r, column);
        if (!v.isNull() && v.toInt64() == key)
            return moveTo(r);
    }
    return false;
}

const Field* Query::findField(const QString& name) const {
    for (const Field& f : fields_)
        if (f.name().compare(name, Qt::CaseInsensitive) == 0)
            return &f;
    return nullptr;
}

const Field& Query::fieldByName(const QString& name) const {
    if (const Field* f = findField(name))
        return *f;
    throw Error(0, QStringLiteral("Brak pola ") + name);
}

Value Query::value(int row, int column) const {
    if (row < 0 || row >= rowCount_ || column < 0 || column >= fieldCount())
        return {};
    const Column& c = d_->columns[static_cast<size_t>(column)];
    const unsigned char* base = d_->rows.data() + static_cast<size_t>(row) * d_->stride;
    if (load<short>(base + c.nullOffset) != 0)
        return {};
    const unsigned char* p = base + c.offset;
    switch (c.type) {
    case SQL_TEXT:
        return decodeText(reinterpret_cast<const char*>(p), static_cast<int>(c.length), c.charset);
    case SQL_VARYING:
        return decodeText(reinterpret_cast<const char*>(p + 2), load<std::uint16_t>(p), c.charset);
    case SQL_SHORT:
        return scaled(load<std::int16_t>(p), c.scale);
    case SQL_LONG:
        return scaled(load<std::int32_t>(p), c.scale);
    case SQL_INT64:
        return scaled(load<std::int64_t>(p), c.scale);
    case SQL_FLOAT:
        return static_cast<double>(load<float>(p));
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        return load<double>(p);
    case SQL_TYPE_DATE:
        return decodeDate(load<ISC_DATE>(p));
    case SQL_TYPE_TIME:
        return decodeTime(load<ISC_TIME>(p));
    case SQL_TIMESTAMP: {
        const auto ts = load<ISC_TIMESTAMP>(p);
        return QDateTime(decodeDate(ts.timestamp_date), decodeTime(ts.timestamp_time));
    }
    case SQL_BOOLEAN:
        return load<FB_BOOLEAN>(p) != 0;
    case SQL_BLOB: {
        if (const auto read = d_->blobs.find({row, column}); read != d_->blobs.end())
            return read->second;
        if (!tr_ || !tr_->inTransaction())
            return {};
        ISC_QUAD id = load<ISC_QUAD>(p);
        QByteArray bytes;
        Status st;
        call([&] {
            Ref<Firebird::IBlob> blob(
                tr_->database().impl().att->openBlob(&st, tr_->impl().tra.get(), &id, 0, nullptr));
            char chunk[8192];
            for (;;) {
                unsigned got = 0;
                const int r = blob->getSegment(&st, sizeof chunk, chunk, &got);
                if (r != Firebird::IStatus::RESULT_OK && r != Firebird::IStatus::RESULT_SEGMENT)
                    break;
                bytes.append(chunk, static_cast<int>(got));
            }
            blob->close(&st);
            blob.release();
        });
        const Value v = c.subType == 1 ? kzm::FromWin1250(bytes) : QString::fromLatin1(bytes);
        d_->blobs[{row, column}] = v;
        return v;
    }
    default:
        return {};
    }
}

void Query::transactionGone() {
    close();
    unprepare();
    tr_ = nullptr;
}

void Query::connectionGone() {
    close();
    unprepare();
}

ReadScope::~ReadScope() {
    if (finished_)
        return;
    q_.close();
    q_.transaction().rollbackQuietly();
}

void ReadScope::finish() {
    q_.close();
    if (q_.transaction().inTransaction())
        q_.transaction().commit();
    finished_ = true;
}

} // namespace fb
