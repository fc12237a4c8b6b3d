#pragma once
// The default-printer line of the system profile: name, driver and port
// separated by commas.

#include <string>

struct PrinterLine {
    std::string name;
    std::string driver;
    std::string port;
};

// Splits the line at its first two commas, stepping whole characters; the
// port keeps any further commas. True when all three parts are present.
bool SplitPrinterLine(const char* line, PrinterLine& parts);

// True when deviceName is fullName cut to the 31 bytes that a device record
// holds (or one byte less, where the 31st would split a character), so
// that the long name it stands for is kept.
bool IsCutDeviceName(const char* fullName, const char* deviceName);

// The names of a device-names block (DEVNAMES), in the order of its offsets.
enum class DevNamesPart { driver = 0, device = 1, port = 2 };

// One name of a device-names block (code page 932) of size bytes; empty
// when its offset or its terminator lies outside the block.
std::string DevNamesName(const unsigned char* block, std::size_t size, DevNamesPart part);
