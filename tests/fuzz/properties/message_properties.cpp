// The message box: its measures, its dialog template read back record by
// record, and the one-argument formatting of its messages.

#include "tests/fuzz/properties/fuzz_input.h"
#include "tests/fuzz/properties/properties.h"

#include "msg/msgbox_layout.h"

#include <algorithm>
#include <cstdint>

namespace {

MessageTextMeasure ReferenceMeasure(const std::string& text)
{
    MessageTextMeasure measure{1, 0};
    int current = 0;
    for (const std::string& c : Characters(text)) {
        if (c == "\r") {
            ++measure.lines;
            current = 0;
        } else {
            current += static_cast<int>(c.size());
            measure.widest = std::max(measure.widest, current);
        }
    }
    return measure;
}

std::u16string Units(const std::string& bytes)
{
    std::u16string units;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        units += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                       static_cast<unsigned char>(bytes[i + 1]) << 8);
    }
    return units;
}

std::u16string UpToZero(const std::u16string& s)
{
    return s.substr(0, s.find(u'\0'));
}

// Reads a template image back; a read past its end marks it as overrun and
// gives zeros.
class TemplateReader {
public:
    explicit TemplateReader(const std::vector<unsigned char>& image) : image_(image) {}

    unsigned Word()
    {
        if (at_ + 2 > image_.size()) {
            overrun_ = true;
            at_ = image_.size();
            return 0;
        }
        const unsigned value = image_[at_] | image_[at_ + 1] << 8;
        at_ += 2;
        return value;
    }
    std::uint32_t Dword()
    {
        const std::uint32_t low = Word();
        return low | static_cast<std::uint32_t>(Word()) << 16;
    }
    int Short() { return static_cast<std::int16_t>(Word()); }
    std::u16string String()
    {
        std::u16string s;
        for (unsigned c = Word(); c != 0 && !overrun_; c = Word()) {
            s += static_cast<char16_t>(c);
        }
        return s;
    }
    // Skips to the next 4-byte boundary; false when the padding is not zero.
    bool Align()
    {
        bool zero = true;
        while (at_ % 4 != 0 && at_ < image_.size()) {
            zero = zero && image_[at_] == 0;
            ++at_;
        }
        return zero;
    }
    std::size_t at() const { return at_; }
    bool overrun() const { return overrun_; }

private:
    const std::vector<unsigned char>& image_;
    std::size_t at_ = 0;
    bool overrun_ = false;
};

struct Item {
    std::uint32_t style;
    int x, y, cx, cy;
    unsigned id, classAtom;
    std::u16string title;
};

std::string CheckTemplate(const std::vector<unsigned char>& image, const std::u16string& caption,
                          const std::u16string& text, unsigned flags, const std::string& shown)
{
    const MessageButtonSet buttons = ChooseMessageButtons(flags);
    PROPERTY(buttons.count >= 1 && buttons.count <= 3, shown);
    TemplateReader r(image);
    r.Dword();  // style
    r.Dword();  // extended style
    const unsigned itemCount = r.Word();
    r.Short();
    r.Short();
    const int boxWidth = r.Short();
    const int boxHeight = r.Short();
    const unsigned menu = r.Word();
    const unsigned windowClass = r.Word();
    const std::u16string title = r.String();
    PROPERTY(itemCount == static_cast<unsigned>(buttons.count) + 1, shown);
    PROPERTY(boxWidth > 0 && boxHeight > 0, shown);
    PROPERTY(menu == 0 && windowClass == 0 && title == UpToZero(caption), shown);

    std::vector<Item> items;
    for (unsigned k = 0; k < itemCount && !r.overrun(); ++k) {
        PROPERTY(r.Align() && r.at() % 4 == 0, shown + " item " + std::to_string(k));
        Item item{};
        item.style = r.Dword();
        r.Dword();
        item.x = r.Short();
        item.y = r.Short();
        item.cx = r.Short();
        item.cy = r.Short();
        item.id = r.Word();
        const unsigned ordinal = r.Word();
        item.classAtom = r.Word();
        item.title = r.String();
        const unsigned creationData = r.Word();
        PROPERTY(ordinal == 0xFFFF && creationData == 0, shown + " item " + std::to_string(k));
        items.push_back(item);
    }
    PROPERTY(!r.overrun() && image.size() - r.at() < 4, shown);
    PROPERTY(std::all_of(image.begin() + static_cast<std::ptrdiff_t>(r.at()), image.end(),
                         [](unsigned char b) { return b == 0; }),
             shown);

    const Item& textItem = items.front();
    PROPERTY(textItem.classAtom == 0x0082 && textItem.title == UpToZero(text), shown);
    PROPERTY(textItem.x >= 0 && textItem.y >= 0 && textItem.cy > 0 && textItem.y + textItem.cy <= boxHeight,
             shown);
    int leftEdge = 0;
    for (int k = 0; k < buttons.count; ++k) {
        const Item& b = items[static_cast<std::size_t>(k) + 1];
        const std::string which = shown + " button " + std::to_string(k);
        PROPERTY(b.classAtom == 0x0080 && b.id == static_cast<unsigned>(buttons.ids[k]), which);
        PROPERTY(b.title == MessageButtonCaption(buttons.ids[k]), which);
        PROPERTY(((b.style & 0xF) == 1) == (k == 0), which);  // the first is the default button
        // Inside the box, below the text, left to right without overlap.
        PROPERTY(b.x >= leftEdge && b.cx > 0 && b.x + b.cx <= boxWidth, which);
        PROPERTY(b.y >= textItem.y + textItem.cy && b.cy > 0 && b.y + b.cy <= boxHeight, which);
        leftEdge = b.x + b.cx;
    }
    return {};
}

std::string ReferenceFormat(const std::string& format, const char* textArg, long long number)
{
    const std::vector<std::string> c = Characters(format);
    std::string out;
    bool used = false;
    for (std::size_t k = 0; k < c.size(); ++k) {
        if (c[k] == "%" && k + 1 < c.size()) {
            if (c[k + 1] == "%") {
                out += '%';
                ++k;
                continue;
            }
            if (!used && (c[k + 1] == "s" || c[k + 1] == "d")) {
                out += c[k + 1] == "s" ? std::string(textArg != nullptr ? textArg : "") : std::to_string(number);
                used = true;
                ++k;
                continue;
            }
        }
        out += c[k];
    }
    return out;
}

}  // namespace

std::string CheckMessageBoxTemplate(const unsigned char* data, std::size_t size)
{
    FuzzInput input(data, size);
    const unsigned flags = input.Number32();
    const unsigned mode = input.Byte();
    MessageTextMeasure given{static_cast<int>(input.Number32()), static_cast<int>(input.Number32())};
    const std::u16string caption = Units(input.Piece());
    const std::string textBytes = ZeroEnded(input.LongPiece());
    const std::u16string text = Units(input.Rest());

    const MessageTextMeasure measured = MeasureMessageLines(ExactText(textBytes).get());
    const MessageTextMeasure expected = ReferenceMeasure(textBytes);
    PROPERTY(measured.lines == expected.lines && measured.widest == expected.widest, Show(textBytes));
    const MessageTextMeasure none = MeasureMessageLines(nullptr);
    PROPERTY(none.lines == 1 && none.widest == 0, std::string("no text"));

    // Measures as a text gives them, or any numbers at all.
    const MessageTextMeasure measure = (mode & 1) != 0 ? given : measured;
    const std::string shown = "flags " + std::to_string(flags) + ", " + std::to_string(measure.lines) +
                              " lines of " + std::to_string(measure.widest) + " bytes, caption of " +
                              std::to_string(caption.size()) + " and text of " + std::to_string(text.size()) +
                              " units";
    return CheckTemplate(BuildMessageBoxTemplate(caption, text, flags, measure), caption, text, flags, shown);
}

std::string CheckFormatArgument(const unsigned char* data, std::size_t size)
{
    FuzzInput input(data, size);
    const long long number = static_cast<long long>(input.Number64());
    const unsigned mode = input.Byte();
    const std::string argument = ZeroEnded(input.Piece());
    const std::string format = input.Rest();
    const ExactText exactArgument(argument);
    const char* textArg = (mode & 1) != 0 ? nullptr : exactArgument.get();
    const std::string formatted = FormatOneArgument(format, textArg, number);
    PROPERTY(formatted == ReferenceFormat(format, textArg, number),
             Show(format) + " with " + Show(argument) + " and " + std::to_string(number) + " gave " +
                 Show(formatted));
    return {};
}
