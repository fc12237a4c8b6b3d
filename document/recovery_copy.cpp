#include "document/recovery_copy.h"

#include "text/sjis.h"

#include <array>
#include <cstdio>
#include <cstring>

namespace {

constexpr unsigned char kMagic[8] = {'M', 'k', 'R', 'e', 'c', 'o', 'v', 0x1A};
constexpr std::uint32_t kUntitledFlag = 1;
constexpr std::uint32_t kShortenedFlag = 2;
constexpr char kCopyExtension[] = ".mkr";
constexpr char kSetAsideExtension[] = ".壊れ";
constexpr char kLockExtension[] = ".lock";

// Eight tables, so that the checksum takes eight bytes a step: it runs over
// every copy written and read, which may hold tens of megabytes.
using CrcTables = std::array<std::array<std::uint32_t, 256>, 8>;

constexpr CrcTables MakeCrcTables()
{
    CrcTables tables{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k) {
            c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        }
        tables[0][n] = c;
    }
    for (std::size_t t = 1; t < 8; ++t) {
        for (std::size_t n = 0; n < 256; ++n) {
            const std::uint32_t previous = tables[t - 1][n];
            tables[t][n] = (previous >> 8) ^ tables[0][previous & 0xFF];
        }
    }
    return tables;
}

constexpr CrcTables kCrcTables = MakeCrcTables();

void Put32(unsigned char* at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) {
        at[i] = static_cast<unsigned char>(value >> (8 * i));
    }
}

void Put64(unsigned char* at, std::uint64_t value)
{
    for (int i = 0; i < 8; ++i) {
        at[i] = static_cast<unsigned char>(value >> (8 * i));
    }
}

std::uint32_t Get32(const unsigned char* at)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | at[i];
    }
    return value;
}

std::uint64_t Get64(const unsigned char* at)
{
    std::uint64_t value = 0;
    for (int i = 7; i >= 0; --i) {
        value = (value << 8) | at[i];
    }
    return value;
}

bool EndsWith(const std::string& text, const char* tail)
{
    const std::size_t n = std::strlen(tail);
    return text.size() >= n && text.compare(text.size() - n, n, tail) == 0;
}

bool IsUpperHex(const std::string& text)
{
    for (char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) {
            return false;
        }
    }
    return !text.empty();
}

}  // namespace

std::uint32_t Crc32(std::uint32_t crc, const void* data, std::size_t size)
{
    const auto* p = static_cast<const unsigned char*>(data);
    crc = ~crc;
    while (size >= 8) {
        const std::uint32_t low = crc ^ (static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
                                         static_cast<std::uint32_t>(p[2]) << 16 |
                                         static_cast<std::uint32_t>(p[3]) << 24);
        crc = kCrcTables[7][low & 0xFF] ^ kCrcTables[6][(low >> 8) & 0xFF] ^ kCrcTables[5][(low >> 16) & 0xFF] ^
              kCrcTables[4][low >> 24] ^ kCrcTables[3][p[4]] ^ kCrcTables[2][p[5]] ^ kCrcTables[1][p[6]] ^
              kCrcTables[0][p[7]];
        p += 8;
        size -= 8;
    }
    while (size-- > 0) {
        crc = kCrcTables[0][(crc ^ *p++) & 0xFF] ^ (crc >> 8);
    }
    return ~crc;
}

void FormatCopyHeader(const CopiedDocument& document, std::uint64_t textLength, std::uint32_t checksum,
                      unsigned char header[kCopyHeaderSize])
{
    std::memcpy(header, kMagic, sizeof kMagic);
    Put32(header + 8, kCopyVersion);
    Put32(header + 12, static_cast<std::uint32_t>(document.encoding));
    Put32(header + 16, (document.untitled ? kUntitledFlag : 0) | (document.shortened ? kShortenedFlag : 0));
    Put32(header + 20, static_cast<std::uint32_t>(document.form));
    Put32(header + 24, static_cast<std::uint32_t>(document.name.size()));
    Put64(header + 28, textLength);
    Put32(header + 36, checksum);
}

std::string MakeCopyFile(const CopiedDocument& document, const std::string& text)
{
    const std::uint32_t checksum = Crc32(Crc32(0, document.name.data(), document.name.size()), text.data(),
                                         text.size());
    unsigned char header[kCopyHeaderSize];
    FormatCopyHeader(document, text.size(), checksum, header);
    std::string file(reinterpret_cast<const char*>(header), kCopyHeaderSize);
    file += document.name;
    file += text;
    return file;
}

CopyFault ParseCopyFile(const unsigned char* data, std::size_t size, CopiedDocument* document,
                        std::size_t* textOffset, std::size_t* textLength)
{
    if (size < kCopyHeaderSize || std::memcmp(data, kMagic, sizeof kMagic) != 0 ||
        Get32(data + 8) != kCopyVersion) {
        return CopyFault::header;
    }
    const std::uint32_t encoding = Get32(data + 12);
    const std::uint32_t flags = Get32(data + 16);
    const std::uint32_t form = Get32(data + 20);
    const std::uint32_t nameLength = Get32(data + 24);
    const std::uint64_t length = Get64(data + 28);
    const bool untitled = (flags & kUntitledFlag) != 0;
    if (encoding > static_cast<std::uint32_t>(TextEncoding::Iso2022Jp) ||
        (flags & ~(kUntitledFlag | kShortenedFlag)) != 0 || form > static_cast<std::uint32_t>(CopyTextForm::Utf16Le) ||
        (form == static_cast<std::uint32_t>(CopyTextForm::Utf16Le) && length % 2 != 0) ||
        (!untitled && nameLength == 0)) {
        return CopyFault::header;
    }
    const std::size_t body = size - kCopyHeaderSize;
    if (nameLength > body || length != body - nameLength) {
        return CopyFault::length;
    }
    const unsigned char* name = data + kCopyHeaderSize;
    if (Crc32(Crc32(0, name, nameLength), name + nameLength, static_cast<std::size_t>(length)) != Get32(data + 36)) {
        return CopyFault::checksum;
    }
    // A name is a text: a zero in it would cut it short wherever it is used.
    if (std::memchr(name, '\0', nameLength) != nullptr) {
        return CopyFault::header;
    }
    document->encoding = static_cast<TextEncoding>(encoding);
    document->untitled = untitled;
    document->shortened = (flags & kShortenedFlag) != 0;
    document->form = static_cast<CopyTextForm>(form);
    document->name.assign(reinterpret_cast<const char*>(name), nameLength);
    *textOffset = kCopyHeaderSize + nameLength;
    *textLength = static_cast<std::size_t>(length);
    return CopyFault::none;
}

std::string OwnerName(std::uint32_t processId, std::uint64_t startTime)
{
    char name[32];
    std::snprintf(name, sizeof name, "%08lX-%016llX", static_cast<unsigned long>(processId),
                  static_cast<unsigned long long>(startTime));
    return name;
}

std::string LockFileName(const std::string& owner)
{
    return owner + kLockExtension;
}

std::string CopyFileName(const std::string& owner, unsigned serial)
{
    return owner + "-" + std::to_string(serial) + kCopyExtension;
}

bool OwnerOfCopyFile(const std::string& fileName, std::string* owner)
{
    // "<8 hex>-<16 hex>-<serial>.mkr"
    constexpr std::size_t kOwnerLength = 8 + 1 + 16;
    if (!EndsWith(fileName, kCopyExtension) || fileName.size() <= kOwnerLength + 1 + 4 ||
        fileName[8] != '-' || fileName[kOwnerLength] != '-' || !IsUpperHex(fileName.substr(0, 8)) ||
        !IsUpperHex(fileName.substr(9, 16))) {
        return false;
    }
    const std::string serial = fileName.substr(kOwnerLength + 1, fileName.size() - kOwnerLength - 1 - 4);
    if (serial.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    *owner = fileName.substr(0, kOwnerLength);
    return true;
}

std::string SetAsideName(const std::string& fileName)
{
    const std::string stem =
        EndsWith(fileName, kCopyExtension) ? fileName.substr(0, fileName.size() - 4) : fileName;
    return stem + kSetAsideExtension;
}

std::string TakeBackQuestion(const std::vector<std::string>& names)
{
    std::string question = "保管されないまま終わった文書が" + std::to_string(names.size()) + "件あります。\r";
    for (std::size_t i = 0; i < names.size() && i < kListedCopies; ++i) {
        const std::string& name = names[i];
        const std::size_t kept = CutOnCharBoundary(name.c_str(), kListedNameBytes);
        question += "　「" + name.substr(0, kept) + (kept < name.size() ? "…" : "") + "」\r";
    }
    if (names.size() > kListedCopies) {
        question += "　ほか" + std::to_string(names.size() - kListedCopies) + "件\r";
    }
    return question + "取り戻しますか";
}
