#pragma once
// How pages are laid out: header and footer patterns and the four margins
// in whole millimetres. Lives for one run; never stored.

#include <string>

constexpr int kPatternBytes = 50;  // 49 bytes of text and the zero

struct PageLayoutRecord {
    char headerPattern[kPatternBytes] = "文書名：%s";
    char footerPattern[kPatternBytes] = "-%d-";
    int leftMm = 20;
    int rightMm = 17;
    int topMm = 20;
    int bottomMm = 15;
};

extern PageLayoutRecord PageLayout;

// A pattern as its field gave it, cut to 49 bytes on a character boundary;
// a lone lead byte at its end is dropped.
std::string PatternFromField(const char* text);

// What the margins are checked against: the printer of the last lookup.
struct MarginLimits {
    int dpiX = 0;
    int dpiY = 0;
    int minLeft = 0;
    int minRight = 0;
    int minTop = 0;
    int minBottom = 0;
    int paperWidth = 0;
    int paperHeight = 0;
    int lineHeight = 0;   // one line of the device default font, in dots
};

struct MarginsMm {
    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;
};

// The first margin problem found, as a string-table message and the word
// that fills it: a side below its minimum (string 27 with 左, 右, 上 or
// 下), then left and right that leave no width (string 28 with 左右), then
// top and bottom that leave no line (string 28 with 上下). stringId 0 when
// the margins leave room for text.
struct MarginProblem {
    int stringId = 0;
    const char* word = "";
};

constexpr int kMarginTooShortString = 27;
constexpr int kMarginTooLongString = 28;

MarginProblem CheckMargins(const MarginsMm& margins, const MarginLimits& limits);
