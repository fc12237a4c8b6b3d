#include "print/page_layout.h"

#include "print/page_geometry.h"
#include "text/sjis.h"

PageLayoutRecord PageLayout;

std::string PatternFromField(const char* text)
{
    return std::string(text, WholeCharacterLength(text, kPatternBytes - 1));
}

MarginProblem CheckMargins(const MarginsMm& margins, const MarginLimits& limits)
{
    const long long left = static_cast<long long>(DotsPerMm(limits.dpiX)) * margins.left;
    const long long right = static_cast<long long>(DotsPerMm(limits.dpiX)) * margins.right;
    const long long top = static_cast<long long>(DotsPerMm(limits.dpiY)) * margins.top;
    const long long bottom = static_cast<long long>(DotsPerMm(limits.dpiY)) * margins.bottom;
    const struct {
        long long dots;
        int minimum;
        const char* word;
    } sides[] = {
        {left, limits.minLeft, "左"},
        {right, limits.minRight, "右"},
        {top, limits.minTop, "上"},
        {bottom, limits.minBottom, "下"},
    };
    for (const auto& side : sides) {
        if (side.dots < side.minimum) {
            return {kMarginTooShortString, side.word};
        }
    }
    if (left + right >= limits.paperWidth) {
        return {kMarginTooLongString, "左右"};
    }
    if (top + bottom + limits.lineHeight >= limits.paperHeight) {
        return {kMarginTooLongString, "上下"};
    }
    return {};
}
