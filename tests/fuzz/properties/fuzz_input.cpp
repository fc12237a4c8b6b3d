#include "tests/fuzz/properties/fuzz_input.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

unsigned FuzzInput::Byte()
{
    return at_ < size_ ? data_[at_++] : 0;
}

std::uint32_t FuzzInput::Number32()
{
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
        value |= static_cast<std::uint32_t>(Byte()) << (8 * i);
    }
    return value;
}

std::uint64_t FuzzInput::Number64()
{
    const std::uint64_t low = Number32();
    return low | static_cast<std::uint64_t>(Number32()) << 32;
}

std::string FuzzInput::Piece()
{
    const std::size_t wanted = Byte();
    const std::size_t length = std::min(wanted, size_ - at_);
    std::string piece(reinterpret_cast<const char*>(data_ + at_), length);
    at_ += length;
    return piece;
}

std::string FuzzInput::LongPiece()
{
    const std::size_t low = Byte();
    const std::size_t wanted = low | static_cast<std::size_t>(Byte()) << 8;
    const std::size_t length = std::min(wanted, size_ - at_);
    std::string piece(reinterpret_cast<const char*>(data_ + at_), length);
    at_ += length;
    return piece;
}

std::string FuzzInput::Rest()
{
    std::string rest(reinterpret_cast<const char*>(data_ + at_), size_ - at_);
    at_ = size_;
    return rest;
}

std::string ZeroEnded(const std::string& bytes)
{
    return bytes.substr(0, bytes.find('\0'));
}

ExactText::ExactText(const std::string& bytes) : block_(new char[bytes.size() + 1]), size_(bytes.size())
{
    std::memcpy(block_.get(), bytes.data(), bytes.size());
    block_[bytes.size()] = '\0';
}

std::string Show(const std::string& bytes)
{
    std::string shown = "\"";
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F && c != '\\' && c != '"') {
            shown += static_cast<char>(c);
        } else {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02x", c);
            shown += escape;
        }
    }
    return shown + "\"";
}

bool IsLead(unsigned char b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

std::size_t CharacterLength(const std::string& text, std::size_t at)
{
    const bool pair = IsLead(static_cast<unsigned char>(text[at])) && at + 1 < text.size() && text[at + 1] != '\0';
    return pair ? 2 : 1;
}

std::vector<std::string> Characters(const std::string& text)
{
    std::vector<std::string> characters;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = CharacterLength(text, at);
        characters.push_back(text.substr(at, length));
        at += length;
    }
    return characters;
}

std::vector<std::size_t> CharacterStarts(const std::string& text)
{
    std::vector<std::size_t> starts;
    std::size_t at = 0;
    for (; at < text.size(); at += CharacterLength(text, at)) {
        starts.push_back(at);
    }
    starts.push_back(at);
    return starts;
}

bool IsCharacterStart(const std::string& text, std::size_t offset)
{
    const std::vector<std::size_t> starts = CharacterStarts(text);
    return std::binary_search(starts.begin(), starts.end(), offset);
}

std::size_t ReferenceCut(const std::string& text, std::size_t limit)
{
    std::size_t cut = 0;
    for (const std::string& c : Characters(ZeroEnded(text))) {
        if (cut + c.size() > limit) {
            break;
        }
        cut += c.size();
    }
    return cut;
}

std::size_t ReferenceWholeLength(const std::string& text, std::size_t limit)
{
    std::size_t length = 0;
    for (const std::string& c : Characters(ZeroEnded(text))) {
        const bool loneLead = c.size() == 1 && IsLead(static_cast<unsigned char>(c[0]));
        if (loneLead || length + c.size() > limit) {
            break;
        }
        length += c.size();
    }
    return length;
}
