#pragma once

#include <QDate>
#include <QString>

namespace kzm {

// Dates. A null or invalid QDate stands for the zero date wherever a date is written as text.

// 30.12.1899, the date that stands for "no date".
QDate ZeroDate();
// yyyymmdd, for example "20261208".
QString DateKey(const QDate& date);
// yyyymm, the first six characters of DateKey.
QString YearMonthKey(const QDate& date);
// Style 0 "dd.MM.yyyy", style 1 "dd.MM.yy", any other style "yyyy-MM-dd".
QString DateText(const QDate& date, int style = 0);
// The date written exactly as dd.MM.yyyy (two-digit day and month, four-digit year, "."
// separators, nothing before or after), independent of the system's settings; any other text,
// or a day that does not exist, gives the zero date.
QDate DateFromText(const QString& text);
// The first day of the date's month; a null date stays null.
QDate FirstOfMonth(const QDate& date);
// Kind 0 the weekday's name in lower case ("poniedziałek"), kind 1 its two-letter abbreviation
// ("Pn"); empty for another kind or a null date.
QString DayName(const QDate& date, int kind);
// The month's name ("Styczeń"); empty for a null date.
QString MonthName(const QDate& date);
// The name of month 1 to 12; empty outside that range.
QString MonthName(int month);

} // namespace kzm
