// The printer line of the system profile, cut device names, and the texts
// printed on a page: header, footer, title and the patterns of their fields.

#include "tests/fuzz/properties/fuzz_input.h"
#include "tests/fuzz/properties/properties.h"

#include "print/page_layout.h"
#include "print/page_text.h"
#include "print/printer_line.h"
#include "text/sjis.h"

namespace {

constexpr std::size_t kDeviceNameBytes = 31;

// The line split at its first two commas that start characters.
PrinterLine ReferenceSplit(const std::string& line)
{
    PrinterLine parts;
    std::string* field = &parts.name;
    int commas = 0;
    std::size_t at = 0;
    for (const std::string& c : Characters(line)) {
        at += c.size();
        if (c == "," && commas < 2) {
            ++commas;
            field = commas == 1 ? &parts.driver : &parts.port;
            if (commas == 2) {
                parts.port = line.substr(at);
                break;
            }
        } else {
            *field += c;
        }
    }
    return parts;
}

// A cut string ends on a character boundary, within its limit, and is as
// long as that allows.
std::string CheckCut(const std::string& text, std::size_t limit)
{
    const std::size_t cut = CutOnCharBoundary(ExactText(text).get(), limit);
    PROPERTY(cut <= limit && IsCharacterStart(text, cut) && cut == ReferenceCut(text, limit),
             Show(text) + " cut to " + std::to_string(limit));
    return {};
}

std::string ReferencePageLine(const std::string& pattern, const std::string& conversion,
                              const std::string& argument)
{
    const std::vector<std::string> c = Characters(pattern);
    std::string line;
    bool used = false;
    for (std::size_t k = 0; k < c.size(); ++k) {
        if (c[k] == "%" && k + 1 < c.size() && c[k + 1] == "%") {
            line += '%';
            ++k;
        } else if (c[k] == "%" && k + 1 < c.size() && c[k + 1] == conversion && !used) {
            line += argument;
            used = true;
            ++k;
        } else {
            line += c[k];
        }
    }
    return line;
}

std::string CheckPageLine(const std::string& line, const std::string& full, const std::string& shown)
{
    PROPERTY(line.size() <= kPageLineBytes && IsCharacterStart(full, line.size()), shown);
    PROPERTY(line == full.substr(0, ReferenceCut(full, kPageLineBytes)), shown + " gave " + Show(line));
    return {};
}

std::string ReferenceTitle(const std::string& path, std::size_t limit)
{
    std::size_t start = 0;
    std::size_t at = 0;
    for (const std::string& c : Characters(path)) {
        at += c.size();
        if (c == "\\") {
            start = at;
        }
    }
    const std::string title = path.substr(start);
    return title.substr(0, ReferenceCut(title, limit));
}

// Whole characters up to the field's limit; a lead byte that ends the text
// alone is not a character and is dropped.
std::string ReferencePattern(const std::string& text)
{
    std::string pattern;
    for (const std::string& c : Characters(text)) {
        if (pattern.size() + c.size() > kPatternBytes - 1) {
            break;
        }
        if (c.size() == 1 && IsLead(static_cast<unsigned char>(c[0]))) {
            break;
        }
        pattern += c;
    }
    return pattern;
}

}  // namespace

std::string CheckPrinterLine(const unsigned char* data, std::size_t size)
{
    FuzzInput input(data, size);
    const std::string device = ZeroEnded(input.Piece());
    const std::string line = ZeroEnded(input.Rest());
    const ExactText exactLine(line);

    PrinterLine parts;
    const bool complete = SplitPrinterLine(exactLine.get(), parts);
    const PrinterLine expected = ReferenceSplit(line);
    PROPERTY(parts.name == expected.name && parts.driver == expected.driver && parts.port == expected.port,
             Show(line));
    PROPERTY(complete == (!parts.name.empty() && !parts.driver.empty() && !parts.port.empty()), Show(line));
    PROPERTY(!complete || parts.name + "," + parts.driver + "," + parts.port == line, Show(line));

    // The line as a full printer name, and the names a device record could
    // hold for it.
    const std::string failure = CheckCut(line, kDeviceNameBytes);
    if (!failure.empty()) {
        return failure;
    }
    const std::string cut = line.substr(0, CutOnCharBoundary(exactLine.get(), kDeviceNameBytes));
    const bool longName = line.size() > kDeviceNameBytes;
    PROPERTY(IsCutDeviceName(exactLine.get(), ExactText(cut).get()) == (longName && !cut.empty()), Show(line));
    PROPERTY(IsCutDeviceName(exactLine.get(), ExactText(line.substr(0, kDeviceNameBytes)).get()) == longName,
             Show(line));
    PROPERTY(!IsCutDeviceName(exactLine.get(), exactLine.get()), Show(line));
    if (IsCutDeviceName(exactLine.get(), ExactText(device).get())) {
        PROPERTY(longName && !device.empty() && line.compare(0, device.size(), device) == 0 &&
                     (device.size() == kDeviceNameBytes || device.size() == cut.size()),
                 Show(line) + " and " + Show(device));
    }
    return {};
}

std::string CheckPageText(const unsigned char* data, std::size_t size)
{
    FuzzInput input(data, size);
    const unsigned mode = input.Byte();
    const std::uint32_t number = input.Number32();
    const std::string argument = ZeroEnded(input.Piece());
    const std::string text = ZeroEnded(input.Rest());
    const ExactText exact(text);

    switch (mode % 4) {
    case 0: {
        const std::string shown = Show(text) + " with " + Show(argument);
        return CheckPageLine(FormatHeaderLine(exact.get(), ExactText(argument).get()),
                             ReferencePageLine(text, "s", argument), shown);
    }
    case 1: {
        const int page = static_cast<int>(number);
        const std::string shown = Show(text) + " on page " + std::to_string(page);
        return CheckPageLine(FormatFooterLine(exact.get(), page), ReferencePageLine(text, "d", std::to_string(page)),
                             shown);
    }
    case 2: {
        const std::size_t limit = number % 300;
        const std::string title = TitleAfterLastSeparator(exact.get(), limit);
        PROPERTY(title.size() <= limit && title == ReferenceTitle(text, limit),
                 Show(text) + " within " + std::to_string(limit) + " gave " + Show(title));
        return CheckCut(text, limit);
    }
    default: {
        const std::string pattern = PatternFromField(exact.get());
        PROPERTY(pattern.size() < kPatternBytes && pattern == ReferencePattern(text),
                 Show(text) + " gave " + Show(pattern));
        return {};
    }
    }
}
