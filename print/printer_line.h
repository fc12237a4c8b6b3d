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
