#include "print/page_text.h"

#include "text/sjis.h"

#include <string>

namespace {

std::string FormatPageLine(const char* pattern, char conversion, const std::string& argument)
{
    std::string line;
    bool argumentUsed = false;
    for (const char* p = pattern; *p != '\0';) {
        const char* next = NextChar932(p);
        if (*p == '%' && p[1] == '%') {
            line += '%';
            next = p + 2;
        } else if (*p == '%' && p[1] == conversion && !argumentUsed) {
            line += argument;
            argumentUsed = true;
            next = p + 2;
        } else {
            line.append(p, static_cast<std::size_t>(next - p));
        }
        p = next;
    }
    line.resize(CutOnCharBoundary(line.c_str(), kPageLineBytes));
    return line;
}

}  // namespace

std::string FormatHeaderLine(const char* pattern, const char* title)
{
    return FormatPageLine(pattern, 's', title);
}

std::string FormatFooterLine(const char* pattern, int page)
{
    return FormatPageLine(pattern, 'd', std::to_string(page));
}

std::string TitleAfterLastSeparator(const char* path, std::size_t maxBytes)
{
    const char* start = path;
    for (const char* p = path; *p != '\0'; p = NextChar932(p)) {
        if (*p == '\\') {
            start = p + 1;
        }
    }
    return std::string(start, CutOnCharBoundary(start, maxBytes));
}
