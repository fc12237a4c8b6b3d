#include "document/date_line.h"

#include "text/format.h"

namespace {

const char* const kWeekdayNames[7] = {"日", "月", "火", "水", "木", "金", "土"};

const char* WeekdayName(int dayOfWeek)
{
    return kWeekdayNames[((dayOfWeek % 7) + 7) % 7];
}

}  // namespace

long long YearForStyle(YearStyle style, int gregorianYear)
{
    const long long year = gregorianYear;
    switch (style) {
    case YearStyle::Koki:
        return year + 660;
    case YearStyle::Heisei:
        return year - 1988;
    case YearStyle::Seireki:
        break;
    }
    return year;
}

std::string FormatDateLine(YearStyle style, int year, int month, int day,
                           int dayOfWeek, int hour, int minute)
{
    const long long styledYear = YearForStyle(style, year);
    const char* const weekday = WeekdayName(dayOfWeek);
    switch (style) {
    case YearStyle::Koki:
        return FormatToString("日付：皇紀%lld年%d月%d日（%s）　時刻：%d時%d分\r\n",
                              styledYear, month, day, weekday, hour, minute);
    case YearStyle::Heisei:
        return FormatToString("日付：平成%lld年%d月%d日（%s）　時刻：%d時%d分\r\n",
                              styledYear, month, day, weekday, hour, minute);
    case YearStyle::Seireki:
        break;
    }
    return FormatToString("日付：西暦%lld年%d月%d日（%s）　時刻：%d時%d分\r\n",
                          styledYear, month, day, weekday, hour, minute);
}
