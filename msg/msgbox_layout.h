#pragma once
// The layout of the Japanese message box as plain data: the text's measures,
// the button set chosen by the flags, the box geometry in dialog units and the
// byte image of the in-memory dialog template; also the one-argument message
// formatting of error reports. No platform calls here.

#include <string>
#include <vector>

// L and M of a message: the number of lines and the widest line in bytes.
struct MessageTextMeasure {
    int lines;
    int widest;
};

// Walks the zero-ended code page 932 text by characters: each carriage return
// at a character start ends a line, and the byte after it (the line feed of a
// CR LF) begins the next one. A null text measures as empty: 1 line, 0 bytes.
MessageTextMeasure MeasureMessageLines(const char* text);

// One of the seven buttons; its identifier is also the box's result.
struct MessageButton {
    int id;
    const char16_t* caption;
};

// The buttons with identifiers 1 (OK) to 7 (no), in identifier order.
extern const MessageButton kMessageButtons[7];

// The caption of the button with identifier 1..7, or null for any other.
const char16_t* MessageButtonCaption(int id);

// The buttons of a box, left to right; the first is the default button. The
// count is also the n the box is sized for.
struct MessageButtonSet {
    int ids[3];
    int count;
};

// Only the three lowest bits of flags choose the set; icon bits and the rest
// have no effect.
MessageButtonSet ChooseMessageButtons(unsigned flags);

// Button size and spacing in dialog units.
constexpr int kMessageButtonWidth = 45;
constexpr int kMessageButtonHeight = 14;
constexpr int kMessageButtonStep = 55;

// Sizes and places of the box in dialog units.
struct MessageBoxGeometry {
    int width;       // W, of the box and of the text item
    int height;      // 10 per line + 39
    int textHeight;  // 10 per line
    int firstButtonX;
    int buttonY;
    int buttonCount;
};

// Measures beyond what the template's signed 16-bit fields can carry are
// taken at the largest that fits, so a huge text still gives a valid box.
MessageBoxGeometry ComputeMessageBoxGeometry(unsigned flags, MessageTextMeasure measure);

// Left edge of button k (0 for the leftmost).
int MessageButtonX(const MessageBoxGeometry& geometry, int k);

// A rectangle in screen pixels; right and bottom lie just outside it.
struct ScreenRect {
    int left;
    int top;
    int right;
    int bottom;
};

struct ScreenPoint {
    int x;
    int y;
};

// The top-left corner of a box of width by height centred over owner and
// kept within area, the work area of the owner's monitor, which may lie at
// negative coordinates. A box larger than the area ends at the area's left
// (top) edge when centred before it, otherwise at its right (bottom) edge.
ScreenPoint PlaceBoxOverOwner(int width, int height, const ScreenRect& owner, const ScreenRect& area);

// The dialog template image (DLGTEMPLATE and DLGITEMTEMPLATE records,
// little-endian, each item on a 4-byte boundary from the image's start) for a
// box with the given caption, text and flags; sized to hold all of it. The
// caption and the text end at their first zero unit, if any.
std::vector<unsigned char> BuildMessageBoxTemplate(const std::u16string& caption,
                                                   const std::u16string& text,
                                                   unsigned flags,
                                                   MessageTextMeasure measure);

// Formats a message with one argument: the first "%s" takes textArg (null
// shows as empty), or the first "%d" takes numberArg in signed decimal; "%%"
// gives "%"; any later conversion and any other "%" is copied as it stands.
// The format is walked by code page 932 characters, so a trail byte is never
// read as '%'. The result holds everything: nothing is cut.
std::string FormatOneArgument(const std::string& format, const char* textArg, long long numberArg);
