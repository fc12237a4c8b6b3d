#include "text/sjis.h"

#include <algorithm>
#include <cstring>

bool IsLeadByte932(unsigned char b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

const char* NextChar932(const char* p)
{
    if (*p == '\0') {
        return p;
    }
    if (IsLeadByte932(static_cast<unsigned char>(*p)) && p[1] != '\0') {
        return p + 2;
    }
    return p + 1;
}

std::size_t CutOnCharBoundary(const char* s, std::size_t maxBytes)
{
    const char* p = s;
    for (;;) {
        if (*p == '\0') {
            return static_cast<std::size_t>(p - s);
        }
        const char* next = NextChar932(p);
        if (static_cast<std::size_t>(next - s) > maxBytes) {
            return static_cast<std::size_t>(p - s);
        }
        p = next;
    }
}

std::size_t WholeCharacterLength(const char* s, std::size_t maxBytes)
{
    const char* p = s;
    while (*p != '\0') {
        if (IsLeadByte932(static_cast<unsigned char>(*p)) && p[1] == '\0') {
            break;
        }
        const char* next = NextChar932(p);
        if (static_cast<std::size_t>(next - s) > maxBytes) {
            break;
        }
        p = next;
    }
    return static_cast<std::size_t>(p - s);
}

std::size_t InputKeptWithin(const char* text, std::size_t caret, std::size_t limit)
{
    const std::size_t after = std::strlen(text + caret);
    const std::size_t room = after < limit ? limit - after : 0;
    return CutOnCharBoundary(text, std::min(room, caret));
}

bool ReadAnsiAnswer(const char* buffer, std::size_t size, std::string& answer)
{
    const std::size_t length = size < 2 ? size : strnlen(buffer, size);
    if (length + 2 > size) {
        return false;
    }
    answer.assign(buffer, length);
    return true;
}
