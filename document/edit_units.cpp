#include "document/edit_units.h"

#include "text/sjis.h"

std::size_t EditPositionOfBytes(const char* text, std::size_t bytes, bool countsBytes)
{
    if (countsBytes) {
        return bytes;
    }
    std::size_t characters = 0;
    for (std::size_t offset = 0; offset < bytes && text[offset] != '\0';
         offset = static_cast<std::size_t>(NextChar932(text + offset) - text)) {
        ++characters;
    }
    return characters;
}

std::size_t BytesOfEditPosition(const char* text, std::size_t length, std::size_t position, bool countsBytes)
{
    if (countsBytes) {
        return position < length ? position : length;
    }
    std::size_t offset = 0;
    for (std::size_t i = 0; i < position && offset < length; ++i) {
        offset = static_cast<std::size_t>(NextChar932(text + offset) - text);
    }
    return offset < length ? offset : length;
}
