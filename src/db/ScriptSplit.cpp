#include "db/ScriptSplit.h"

#include <QRegularExpression>

namespace kzm {

QList<ScriptChunk> SplitChunks(const QStringList& script) {
    QList<ScriptChunk> chunks;
    ScriptChunk current;
    bool open = false;
    for (const QString& line : script) {
        open = true;
        const qsizetype mark = line.indexOf('#');
        if (mark < 0) {
            current.lines << line;
            continue;
        }
        current.lines << line.left(mark);
        chunks << current;
        current = {};
        open = false;
    }
    if (open)
        chunks << current;
    return chunks;
}

namespace {

bool isWordChar(QChar c) {
    return c.isLetterOrNumber() || c == '_' || c == '$';
}

bool holdsBody(const QString& statement) {
    static const QRegularExpression word(QStringLiteral("\\b(PROCEDURE|TRIGGER)\\b"),
                                         QRegularExpression::CaseInsensitiveOption);
    return word.match(statement).hasMatch();
}

// True when the text ends with the word END (blanks after it allowed).
bool endsWithEnd(const QString& text) {
    qsizetype i = text.size();
    while (i > 0 && text[i - 1].isSpace())
        --i;
    if (i < 3 || text.mid(i - 3, 3).compare(QLatin1String("END"), Qt::CaseInsensitive) != 0)
        return false;
    return i == 3 || !isWordChar(text[i - 4]);
}

} // namespace

QStringList SplitStatements(const QString& text) {
    QStringList statements;
    QString current;
    auto finish = [&] {
        const QString s = current.trimmed();
        if (!s.isEmpty())
            statements << s;
        current.clear();
    };
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == '/' && i + 1 < n && text[i + 1] == '*') {
            const qsizetype close = text.indexOf(QStringLiteral("*/"), i + 2);
            i = close < 0 ? n : close + 1;
            continue;
        }
        if (c == '\'' || c == '"') {
            qsizetype j = i + 1;
            while (j < n && text[j] != c)
                ++j;
            current += text.mid(i, j - i + 1);
            i = j;
            continue;
        }
        if (c == ';' && (!holdsBody(current) || endsWithEnd(current))) {
            finish();
            continue;
        }
        current += c;
    }
    finish();
    return statements;
}

} // namespace kzm
