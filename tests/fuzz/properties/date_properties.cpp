// The date line, for any numbers in its fields.

#include "tests/fuzz/properties/fuzz_input.h"
#include "tests/fuzz/properties/properties.h"

#include "document/date_line.h"

namespace {

// Code page 932 bytes of the line's words.
const char* const kEras[3] = {
    "\x8d\x63\x8b\x49",  // 皇紀
    "\x95\xbd\x90\xac",  // 平成
    "\x90\xbc\x97\xef",  // 西暦
};
const char* const kWeekdays[7] = {
    "\x93\xfa", "\x8c\x8e", "\x89\xce", "\x90\x85", "\x96\xd8", "\x8b\xe0", "\x93\x79",  // 日月火水木金土
};

std::string ReferenceDateLine(int style, int year, int month, int day, int dayOfWeek, int hour, int minute)
{
    const long long offsets[3] = {660, -1988, 0};
    const long long styledYear = year + offsets[style];
    return std::string("\x93\xfa\x95\x74\x81\x46") + kEras[style] + std::to_string(styledYear) +  // 日付：
           "\x94\x4e" + std::to_string(month) + "\x8c\x8e" + std::to_string(day) + "\x93\xfa" +   // 年 月 日
           "\x81\x69" + kWeekdays[((dayOfWeek % 7) + 7) % 7] + "\x81\x6a" +                       // （ ）
           "\x81\x40\x8e\x9e\x8d\x8f\x81\x46" + std::to_string(hour) + "\x8e\x9e" +               // 　時刻： 時
           std::to_string(minute) + "\x95\xaa\r\n";                                               // 分
}

}  // namespace

std::string CheckDateLine(const unsigned char* data, std::size_t size)
{
    FuzzInput input(data, size);
    const int style = static_cast<int>(input.Byte() % 3);
    int fields[6];
    for (int& field : fields) {
        field = static_cast<int>(input.Number32());
    }
    const YearStyle styles[3] = {YearStyle::Koki, YearStyle::Heisei, YearStyle::Seireki};
    const std::string line =
        FormatDateLine(styles[style], fields[0], fields[1], fields[2], fields[3], fields[4], fields[5]);
    const std::string expected =
        ReferenceDateLine(style, fields[0], fields[1], fields[2], fields[3], fields[4], fields[5]);
    PROPERTY(line == expected, Show(line) + " and not " + Show(expected));
    return {};
}
