#include "msg/msgbox_layout.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "text/sjis.h"

MessageTextMeasure MeasureMessageLines(const char* text)
{
    MessageTextMeasure measure{1, 0};
    if (text == nullptr) {
        return measure;
    }
    int current = 0;
    for (const char* p = text; *p != '\0';) {
        const char* next = NextChar932(p);
        if (*p == '\r') {
            ++measure.lines;
            current = 0;
        } else {
            current += static_cast<int>(next - p);
            measure.widest = std::max(measure.widest, current);
        }
        p = next;
    }
    return measure;
}

const MessageButton kMessageButtons[7] = {
    {1, u"了解(&ﾘ)"},
    {2, u"取消(&ﾄ)"},
    {3, u"中止(&ﾁ)"},
    {4, u"再試行(&ｻ)"},
    {5, u"無視(&ﾑ)"},
    {6, u"はい(&ﾊ)"},
    {7, u"いいえ(&ｲ)"},
};

const char16_t* MessageButtonCaption(int id)
{
    if (id < 1 || id > 7) {
        return nullptr;
    }
    return kMessageButtons[id - 1].caption;
}

MessageButtonSet ChooseMessageButtons(unsigned flags)
{
    // The bit tests run in this order, so the undefined values 6 and 7 fall
    // to abort/retry/ignore and yes/no/cancel.
    if (flags & 2u) {
        if (flags & 1u) {
            return {{6, 7, 2}, 3};
        }
        return {{3, 4, 5}, 3};
    }
    if (flags & 4u) {
        if (flags & 1u) {
            return {{4, 2, 0}, 2};
        }
        return {{6, 7, 0}, 2};
    }
    if (flags & 1u) {
        return {{1, 2, 0}, 2};
    }
    return {{1, 0, 0}, 1};
}

namespace {

// The largest L and M whose box still fits the template's signed 16-bit
// fields: 10 * L + 39 and 4 * M + 20 stay at or below 32767.
constexpr int kMaxLines = (32767 - 39) / 10;
constexpr int kMaxWidest = (32767 - 20) / 4;

} // namespace

MessageBoxGeometry ComputeMessageBoxGeometry(unsigned flags, MessageTextMeasure measure)
{
    const int n = ChooseMessageButtons(flags).count;
    const int lines = std::clamp(measure.lines, 1, kMaxLines);
    const int widest = std::clamp(measure.widest, 0, kMaxWidest);

    MessageBoxGeometry g{};
    g.buttonCount = n;
    g.width = std::max(4 * widest + 20, 45 * n + 30);
    g.textHeight = 10 * lines;
    g.height = 10 * lines + 39;
    g.firstButtonX = (g.width - (kMessageButtonStep * n - 10)) / 2;
    g.buttonY = 10 * lines + 15;
    return g;
}

int MessageButtonX(const MessageBoxGeometry& geometry, int k)
{
    return geometry.firstButtonX + kMessageButtonStep * k;
}

namespace {

// One axis of PlaceBoxOverOwner.
int PlaceAlong(int ownerStart, int ownerEnd, int length, int areaStart, int areaEnd)
{
    const int centred = ownerStart + (ownerEnd - ownerStart - length) / 2;
    if (centred < areaStart) {
        return areaStart;
    }
    if (centred + length > areaEnd) {
        return areaEnd - length;
    }
    return centred;
}

}  // namespace

ScreenPoint PlaceBoxOverOwner(int width, int height, const ScreenRect& owner, const ScreenRect& area)
{
    return {PlaceAlong(owner.left, owner.right, width, area.left, area.right),
            PlaceAlong(owner.top, owner.bottom, height, area.top, area.bottom)};
}

namespace {

class TemplateWriter {
public:
    void Word(unsigned value)
    {
        bytes_.push_back(static_cast<unsigned char>(value & 0xFF));
        bytes_.push_back(static_cast<unsigned char>((value >> 8) & 0xFF));
    }

    void Dword(std::uint32_t value)
    {
        Word(value & 0xFFFF);
        Word(value >> 16);
    }

    // Coordinates are signed 16-bit words.
    void Short(int value) { Word(static_cast<unsigned>(static_cast<std::uint16_t>(value))); }

    // The string up to its first zero unit, then the terminating zero: a zero
    // inside would end the field early and shift every record after it.
    void String(const std::u16string& s)
    {
        for (char16_t c : s) {
            if (c == u'\0') {
                break;
            }
            Word(c);
        }
        Word(0);
    }

    void AlignToDword()
    {
        while (bytes_.size() % 4 != 0) {
            bytes_.push_back(0);
        }
    }

    void Item(std::uint32_t style, int x, int y, int cx, int cy, int id, unsigned classAtom,
              const std::u16string& title)
    {
        AlignToDword();
        Dword(style);
        Dword(0);
        Short(x);
        Short(y);
        Short(cx);
        Short(cy);
        Word(static_cast<unsigned>(id));
        Word(0xFFFF);
        Word(classAtom);
        String(title);
        Word(0); // no creation data
    }

    std::vector<unsigned char> Take() { return std::move(bytes_); }

private:
    std::vector<unsigned char> bytes_;
};

constexpr std::uint32_t kBoxStyle = 0x10C80080;    // WS_VISIBLE|WS_CAPTION|WS_SYSMENU|DS_MODALFRAME
constexpr std::uint32_t kTextStyle = 0x50000000;   // WS_CHILD|WS_VISIBLE, SS_LEFT
constexpr std::uint32_t kButtonStyle = 0x50010000; // WS_CHILD|WS_VISIBLE|WS_TABSTOP
constexpr std::uint32_t kDefaultButton = 1;        // BS_DEFPUSHBUTTON
constexpr unsigned kButtonClass = 0x0080;
constexpr unsigned kStaticClass = 0x0082;

} // namespace

std::vector<unsigned char> BuildMessageBoxTemplate(const std::u16string& caption,
                                                   const std::u16string& text,
                                                   unsigned flags,
                                                   MessageTextMeasure measure)
{
    const MessageButtonSet buttons = ChooseMessageButtons(flags);
    const MessageBoxGeometry g = ComputeMessageBoxGeometry(flags, measure);

    TemplateWriter w;
    w.Dword(kBoxStyle);
    w.Dword(0);
    w.Word(static_cast<unsigned>(buttons.count + 1));
    w.Short(100);
    w.Short(100);
    w.Short(g.width);
    w.Short(g.height);
    w.Word(0); // no menu
    w.Word(0); // standard dialog class
    w.String(caption);

    w.Item(kTextStyle, 10, 10, g.width, g.textHeight, 0, kStaticClass, text);

    for (int k = 0; k < buttons.count; ++k) {
        const int id = buttons.ids[k];
        const std::uint32_t style = kButtonStyle | (k == 0 ? kDefaultButton : 0);
        w.Item(style, MessageButtonX(g, k), g.buttonY, kMessageButtonWidth, kMessageButtonHeight, id,
               kButtonClass, MessageButtonCaption(id));
    }
    w.Word(0);
    return w.Take();
}

std::string FormatOneArgument(const std::string& format, const char* textArg, long long numberArg)
{
    std::string out;
    out.reserve(format.size() + 16);
    bool argumentUsed = false;

    // c_str() ends in a zero, so NextChar932 never steps past the end; a zero
    // inside the string is copied and stepped over by hand.
    const char* p = format.c_str();
    const char* const end = p + format.size();
    while (p < end) {
        const char* next = (*p == '\0') ? p + 1 : NextChar932(p);
        if (*p == '%' && next < end) {
            const char c = *next;
            if (c == '%') {
                out += '%';
                p = next + 1;
                continue;
            }
            if (!argumentUsed && (c == 's' || c == 'd')) {
                if (c == 's') {
                    out += (textArg != nullptr) ? textArg : "";
                } else {
                    out += std::to_string(numberArg);
                }
                argumentUsed = true;
                p = next + 1;
                continue;
            }
        }
        out.append(p, next);
        p = next;
    }
    return out;
}
