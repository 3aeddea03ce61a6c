#pragma once

#include <QDate>
#include <QString>

#include <ostream>

// Lets GoogleTest show Qt values in failure messages.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QDate& date, std::ostream* os) {
    *os << date.toString(Qt::ISODate).toStdString();
}
