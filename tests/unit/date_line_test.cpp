#include "document/date_line.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

// Builds the expected line from raw code page 932 pieces, so these tests do
// not lean on the compiler's conversion of the source.
std::string ExpectedLine(const char* era, const char* year, const char* month,
                         const char* day, const char* weekday, const char* hour,
                         const char* minute)
{
    return std::string("\x93\xfa\x95\x74\x81\x46") + era + year + "\x94\x4e" + month +
           "\x8c\x8e" + day + "\x93\xfa\x81\x69" + weekday + "\x81\x6a\x81\x40" +
           "\x8e\x9e\x8d\x8f\x81\x46" + hour + "\x8e\x9e" + minute + "\x95\xaa\r\n";
}

const char* const kKoki = "\x8d\x63\x8b\x49";
const char* const kHeisei = "\x95\xbd\x90\xac";
const char* const kSeireki = "\x90\xbc\x97\xef";

TEST(DateLineTest, WorkedExampleInSourceText)
{
    EXPECT_EQ("日付：平成12年4月15日（土）　時刻：9時5分\r\n",
              FormatDateLine(YearStyle::Heisei, 2000, 4, 15, 6, 9, 5));
    EXPECT_EQ("日付：皇紀2660年4月15日（土）　時刻：9時5分\r\n",
              FormatDateLine(YearStyle::Koki, 2000, 4, 15, 6, 9, 5));
    EXPECT_EQ("日付：西暦2000年4月15日（土）　時刻：9時5分\r\n",
              FormatDateLine(YearStyle::Seireki, 2000, 4, 15, 6, 9, 5));
}

TEST(DateLineTest, WeekdayNamesAsBytes)
{
    struct Case {
        int dayOfWeek;
        const char* name;
    };
    // Out-of-range days wrap modulo 7 instead of reading past the table.
    const Case cases[] = {
        {0, "\x93\xfa"},  {1, "\x8c\x8e"}, {2, "\x89\xce"}, {3, "\x90\x85"},
        {4, "\x96\xd8"},  {5, "\x8b\xe0"}, {6, "\x93\x79"}, {7, "\x93\xfa"},
        {13, "\x93\x79"}, {-1, "\x93\x79"}, {-7, "\x93\xfa"}, {-8, "\x93\x79"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dayOfWeek);
        EXPECT_EQ(ExpectedLine(kSeireki, "2000", "4", "15", c.name, "9", "5"),
                  FormatDateLine(YearStyle::Seireki, 2000, 4, 15, c.dayOfWeek, 9, 5));
    }
}

TEST(DateLineTest, YearStylesAsBytes)
{
    struct Case {
        YearStyle style;
        int gregorian;
        const char* era;
        const char* year;
    };
    // Heisei is a plain subtraction: no era boundary in 2019, no floor at year 1.
    const Case cases[] = {
        {YearStyle::Koki, 2000, kKoki, "2660"},
        {YearStyle::Koki, 1940, kKoki, "2600"},
        {YearStyle::Heisei, 2000, kHeisei, "12"},
        {YearStyle::Heisei, 1989, kHeisei, "1"},
        {YearStyle::Heisei, 1988, kHeisei, "0"},
        {YearStyle::Heisei, 1980, kHeisei, "-8"},
        {YearStyle::Heisei, 2019, kHeisei, "31"},
        {YearStyle::Heisei, 2020, kHeisei, "32"},
        {YearStyle::Heisei, 2100, kHeisei, "112"},
        {YearStyle::Seireki, 2000, kSeireki, "2000"},
        {YearStyle::Seireki, 30827, kSeireki, "30827"},
        // Years beyond what an int holds once the era is counted.
        {YearStyle::Koki, INT_MAX, kKoki, "2147484307"},
        {YearStyle::Heisei, INT_MIN, kHeisei, "-2147485636"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.year);
        EXPECT_EQ(std::stoll(c.year), YearForStyle(c.style, c.gregorian));
        EXPECT_EQ(ExpectedLine(c.era, c.year, "4", "15", "\x93\x79", "9", "5"),
                  FormatDateLine(c.style, c.gregorian, 4, 15, 6, 9, 5));
    }
}

TEST(DateLineTest, FieldsHaveNoLeadingZerosOrPadding)
{
    struct Case {
        int month, day, hour, minute;
        const char *monthText, *dayText, *hourText, *minuteText;
    };
    const Case cases[] = {
        {1, 1, 0, 0, "1", "1", "0", "0"},
        {10, 10, 10, 10, "10", "10", "10", "10"},
        {12, 31, 23, 59, "12", "31", "23", "59"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.monthText) + "/" + c.dayText + " " + c.hourText + ":" +
                     c.minuteText);
        EXPECT_EQ(ExpectedLine(kHeisei, "31", c.monthText, c.dayText, "\x93\xfa", c.hourText,
                               c.minuteText),
                  FormatDateLine(YearStyle::Heisei, 2019, c.month, c.day, 0, c.hour, c.minute));
    }
}

} // namespace
