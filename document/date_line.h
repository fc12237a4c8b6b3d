#pragma once
// The date-and-time line that the edit menu inserts at the caret, in one of
// three year styles. Pure formatting: the caller reads the clock.

#include <string>

enum class YearStyle { Koki, Heisei, Seireki };

// The year as the style counts it: imperial era (+660), Heisei (-1988, for
// every date, with no era boundary) or the Gregorian year itself. Wider than
// the year given, so that no year overflows.
long long YearForStyle(YearStyle style, int gregorianYear);

// "日付：平成12年4月15日（土）　時刻：9時5分" and CR LF, in code page 932.
// dayOfWeek counts from 0 = Sunday; values outside 0-6 are taken modulo 7.
// The other fields are written as given, in plain decimal.
std::string FormatDateLine(YearStyle style, int year, int month, int day,
                           int dayOfWeek, int hour, int minute);
