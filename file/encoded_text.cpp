#include "file/encoded_text.h"

#include <cstring>
#include <memory>
#include <new>

namespace {

HLOCAL AllocateText(std::size_t bytes)
{
    return LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, bytes);
}

// The UTF-16 units of a UTF-8 or UTF-16 file, mark left out; false when
// memory ran short. An odd last byte of UTF-16 becomes U+FFFD, which code
// page 932 lacks, so that it is reported rather than dropped.
bool WideUnits(TextEncoding encoding, const char* bytes, std::size_t size, std::unique_ptr<wchar_t[]>& units,
               std::size_t* count)
{
    const std::size_t mark = ByteOrderMark(encoding).size();
    bytes += mark;
    size -= mark;
    if (IsUtf16(encoding)) {
        *count = (size + 1) / 2;
        units.reset(new (std::nothrow) wchar_t[*count + 1]);
        if (units == nullptr) {
            return false;
        }
        const bool big = IsBigEndian(encoding);
        const auto* b = reinterpret_cast<const unsigned char*>(bytes);
        for (std::size_t i = 0; i < size / 2; ++i) {
            const unsigned first = b[2 * i];
            const unsigned second = b[2 * i + 1];
            units[i] = static_cast<wchar_t>(big ? (first << 8) | second : (second << 8) | first);
        }
        if (size % 2 != 0) {
            units[*count - 1] = 0xFFFD;
        }
        return true;
    }
    if (size > 0x7FFFFFFF) {
        return false;
    }
    const int needed = size == 0 ? 0 : MultiByteToWideChar(CP_UTF8, 0, bytes, static_cast<int>(size), nullptr, 0);
    units.reset(new (std::nothrow) wchar_t[static_cast<std::size_t>(needed) + 1]);
    if (units == nullptr || (size > 0 && needed <= 0)) {
        return false;
    }
    *count = size == 0 ? 0
                       : static_cast<std::size_t>(
                             MultiByteToWideChar(CP_UTF8, 0, bytes, static_cast<int>(size), units.get(), needed));
    return true;
}

int ShiftJisBytes(const wchar_t* units, std::size_t count, char* out, int room, BOOL* defaulted)
{
    return WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, units, static_cast<int>(count), out, room, nullptr,
                               defaulted);
}

// The index of the first unit (or surrogate pair) that code page 932 has
// no character for.
std::size_t FirstLackingUnit(const wchar_t* units, std::size_t count)
{
    std::size_t at = 0;
    while (at < count) {
        const std::size_t step = IS_HIGH_SURROGATE(units[at]) && at + 1 < count ? 2 : 1;
        char out[8];
        BOOL defaulted = FALSE;
        ShiftJisBytes(units + at, step, out, sizeof out, &defaulted);
        if (defaulted) {
            return at;
        }
        at += step;
    }
    return std::string::npos;
}

// Unicode text into code page 932, each JIS character in its code page 932
// form.
HLOCAL UnicodeToShiftJis(TextEncoding encoding, const char* bytes, std::size_t size, std::size_t* length,
                         std::size_t* firstChanged)
{
    std::unique_ptr<wchar_t[]> units;
    std::size_t count = 0;
    if (!WideUnits(encoding, bytes, size, units, &count) || count > 0x7FFFFFFF) {
        return nullptr;
    }
    static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 units");
    std::size_t changedUnit = ToCodePage932Forms(reinterpret_cast<char16_t*>(units.get()), count);
    BOOL defaulted = FALSE;
    const int needed = count == 0 ? 0 : ShiftJisBytes(units.get(), count, nullptr, 0, nullptr);
    HLOCAL block = count > 0 && needed <= 0 ? nullptr : AllocateText(static_cast<std::size_t>(needed) + 1);
    char* text = block != nullptr ? static_cast<char*>(LocalLock(block)) : nullptr;
    if (text == nullptr) {
        LocalFree(block);
        return nullptr;
    }
    *length = count == 0 ? 0 : static_cast<std::size_t>(ShiftJisBytes(units.get(), count, text, needed, &defaulted));
    text[*length] = '\0';
    if (defaulted) {
        const std::size_t lacking = FirstLackingUnit(units.get(), count);
        changedUnit = changedUnit == std::string::npos || lacking < changedUnit ? lacking : changedUnit;
    }
    *firstChanged = std::string::npos;
    if (changedUnit != std::string::npos) {
        // Where the character stands in the converted text.
        *firstChanged = changedUnit == 0 ? 0
                                         : static_cast<std::size_t>(
                                               ShiftJisBytes(units.get(), changedUnit, nullptr, 0, nullptr));
    }
    LocalUnlock(block);
    return block;
}

}  // namespace

HLOCAL DecodeToShiftJis(TextEncoding encoding, const char* bytes, std::size_t size, std::size_t* length,
                        std::size_t* firstChanged)
{
    if (IsUtf8(encoding) || IsUtf16(encoding)) {
        return UnicodeToShiftJis(encoding, bytes, size, length, firstChanged);
    }
    HLOCAL block = AllocateText(size + 1);
    char* text = block != nullptr ? static_cast<char*>(LocalLock(block)) : nullptr;
    if (text == nullptr) {
        LocalFree(block);
        return nullptr;
    }
    if (IsJisBased(encoding)) {
        *length = JisToShiftJis(encoding, bytes, size, text, firstChanged);
    } else {
        std::memcpy(text, bytes, size);
        *length = size;
        *firstChanged = std::string::npos;
    }
    text[*length] = '\0';
    LocalUnlock(block);
    return block;
}

std::string EncodeUnicodeText(TextEncoding encoding, const wchar_t* text, std::size_t length)
{
    std::string bytes = ByteOrderMark(encoding);
    if (IsUtf16(encoding)) {
        const bool big = IsBigEndian(encoding);
        bytes.reserve(bytes.size() + 2 * length);
        for (std::size_t i = 0; i < length; ++i) {
            const unsigned unit = static_cast<unsigned>(text[i]);
            bytes += static_cast<char>(big ? unit >> 8 : unit & 0xFF);
            bytes += static_cast<char>(big ? unit & 0xFF : unit >> 8);
        }
        return bytes;
    }
    if (length == 0) {
        return bytes;
    }
    const int units = static_cast<int>(length);
    const int needed = WideCharToMultiByte(CP_UTF8, 0, text, units, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) {
        throw std::bad_alloc();
    }
    const std::size_t mark = bytes.size();
    bytes.resize(mark + static_cast<std::size_t>(needed));
    WideCharToMultiByte(CP_UTF8, 0, text, units, &bytes[mark], needed, nullptr, nullptr);
    return bytes;
}
