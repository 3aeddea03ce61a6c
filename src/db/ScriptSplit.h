#pragma once

#include <QString>
#include <QStringList>

namespace kzm {

// A script cut at its chunk marks: a line holding "#" ends a chunk, and only the text
// before the first "#" belongs to it.
struct ScriptChunk {
    QStringList lines;
    QString firstLine() const { return lines.isEmpty() ? QString() : lines.first(); }
};
QList<ScriptChunk> SplitChunks(const QStringList& script);

// The statements of a chunk: each ends at ";", except that one containing the word PROCEDURE
// or TRIGGER runs to a word END directly followed by ";" (or to the end of the text), so
// that a body stays whole. Comments are left out; semicolons inside literals don't count.
// The closing ";" is not part of a statement; empty statements are dropped.
QStringList SplitStatements(const QString& text);

} // namespace kzm
