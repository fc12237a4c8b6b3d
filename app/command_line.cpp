#include "app/command_line.h"

#include "text/sjis.h"

#include <cstring>

namespace {

// The first byte at or after p that is c, stepping whole characters; the
// terminator when there is none.
const char* FindCharacter(const char* p, char c)
{
    while (*p != '\0' && *p != c) {
        p = NextChar932(p);
    }
    return p;
}

bool OnlySpaces(const char* p)
{
    while (*p == ' ') {
        ++p;
    }
    return *p == '\0';
}

}  // namespace

CommandLineName LocateCommandLineName(const char* commandLine)
{
    const std::size_t total = std::strlen(commandLine);
    CommandLineName none{total, 0};

    const char* p = commandLine;
    if (*p == '"') {
        p = FindCharacter(p + 1, '"');
        if (*p == '\0') {
            return none;
        }
        ++p;
    }
    p = FindCharacter(p, ' ');
    if (*p == '\0') {
        return none;
    }
    while (*p == ' ') {
        ++p;
    }

    const std::size_t offset = static_cast<std::size_t>(p - commandLine);
    std::size_t length = total - offset;
    if (*p == '"') {
        const char* close = FindCharacter(p + 1, '"');
        if (*close == '"' && OnlySpaces(close + 1)) {
            return {offset + 1, static_cast<std::size_t>(close - (p + 1))};
        }
    }
    return {offset, length};
}
