#include "print/printer_line.h"

#include "text/sjis.h"

#include <cstring>

namespace {

// The part from p up to the next comma or the end; p is left after the comma.
std::string TakeField(const char*& p, bool& stoppedAtComma)
{
    const char* start = p;
    while (*p != '\0' && *p != ',') {
        p = NextChar932(p);
    }
    std::string field(start, static_cast<std::size_t>(p - start));
    stoppedAtComma = *p == ',';
    if (stoppedAtComma) {
        ++p;
    }
    return field;
}

constexpr std::size_t kDeviceNameBytes = 31;

}  // namespace

bool SplitPrinterLine(const char* line, PrinterLine& parts)
{
    parts = PrinterLine();
    const char* p = line;
    bool comma = false;
    parts.name = TakeField(p, comma);
    if (comma) {
        parts.driver = TakeField(p, comma);
        if (comma) {
            parts.port = p;
        }
    }
    return !parts.name.empty() && !parts.driver.empty() && !parts.port.empty();
}

bool IsCutDeviceName(const char* fullName, const char* deviceName)
{
    const std::size_t fullLength = std::strlen(fullName);
    const std::size_t length = std::strlen(deviceName);
    if (fullLength <= kDeviceNameBytes || length == 0) {
        return false;
    }
    if (length != kDeviceNameBytes && length != CutOnCharBoundary(fullName, kDeviceNameBytes)) {
        return false;
    }
    return std::strncmp(fullName, deviceName, length) == 0;
}

std::string DevNamesName(const unsigned char* block, std::size_t size, DevNamesPart part)
{
    // Four little-endian words lead the block: the names' offsets, then a flag.
    const std::size_t at = 2 * static_cast<std::size_t>(part);
    if (block == nullptr || size < 8) {
        return std::string();
    }
    const std::size_t offset = block[at] | static_cast<std::size_t>(block[at + 1]) << 8;
    if (offset >= size) {
        return std::string();
    }
    const void* end = std::memchr(block + offset, '\0', size - offset);
    if (end == nullptr) {
        return std::string();
    }
    const auto* name = reinterpret_cast<const char*>(block + offset);
    return std::string(name, static_cast<const char*>(end));
}
