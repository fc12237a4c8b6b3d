#include "file/round_trip.h"

#include "text/sjis.h"

std::size_t FirstChangedCharacter(const char* text, std::string_view back)
{
    std::size_t same = 0;
    while (text[same] != '\0' && same < back.size() && text[same] == back[same]) {
        ++same;
    }
    if (text[same] == '\0') {
        if (same == back.size()) {
            return std::string::npos;
        }
        // The whole text came back with more after it: its last character
        // grew, or the text was empty.
        same = same > 0 ? same - 1 : 0;
    }
    // The bytes before the first difference are alike, so the character that
    // holds it starts where stepping from the start says.
    const char* p = text;
    for (const char* next = NextChar932(p); *p != '\0' && static_cast<std::size_t>(next - text) <= same;
         next = NextChar932(p)) {
        p = next;
    }
    return static_cast<std::size_t>(p - text);
}

std::size_t LineOfOffset(const char* text, std::size_t offset)
{
    std::size_t line = 1;
    for (const char* p = text; *p != '\0' && static_cast<std::size_t>(p - text) < offset; p = NextChar932(p)) {
        const bool endsWithNext = p[1] == '\n' || (p[1] == '\r' && p[2] == '\n');
        if (*p == '\n' || (*p == '\r' && !endsWithNext)) {
            ++line;
        }
    }
    return line;
}
