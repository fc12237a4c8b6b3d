#include "text/font_names.h"

#include "text/sjis.h"

#include <cstring>

bool IsVerticalFace(const char* face)
{
    return face[0] == '@';
}

void TidyFaceName(char* face, std::size_t size)
{
    if (size == 0) {
        return;
    }
    std::size_t length = 0;
    while (length < size && face[length] != '\0') {
        ++length;
    }
    const bool unterminated = length == size;
    if (length > 0 && IsVerticalFace(face)) {
        std::memmove(face, face + 1, length - 1);
        face[--length] = '\0';
    }
    if (!unterminated) {
        return;
    }
    // The name was cut where the buffer ended: keep whole characters only,
    // and room for the terminator.
    const std::size_t limit = length < size - 1 ? length : size - 1;
    std::size_t end = 0;
    while (end < limit) {
        const std::size_t step = IsLeadByte932(static_cast<unsigned char>(face[end])) ? 2 : 1;
        if (end + step > limit) {
            break;
        }
        end += step;
    }
    face[end] = '\0';
}
