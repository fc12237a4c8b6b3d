#include "doc/doc_info.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace {

// Measures first, so the result always fits, however long the face name.
__attribute__((format(printf, 1, 2)))
std::string FormatToString(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    std::string result;
    if (length > 0) {
        std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
        std::vsnprintf(buffer.data(), buffer.size(), format, args);
        result.assign(buffer.data(), static_cast<std::size_t>(length));
    }
    va_end(args);
    return result;
}

} // namespace

std::string FormatDocumentInfo(const DocumentInfo& info)
{
    std::string report =
        FormatToString("画面解像度：ｘ＝ %d　Ｙ ＝ %d  \r", info.dpiX, info.dpiY);
    report += FormatToString("左上：ｘ＝ %d　Ｙ ＝ %d  \r右下：ｘ＝ %d　Ｙ ＝ %d ",
                             info.left, info.top, info.right, info.bottom);
    report += FormatToString("\r作成文字数： %d\r作成行数　： %d行\r現在位置　： %d行 ",
                             info.textLength, info.lineCount, info.caretLine);
    report += FormatToString("%d桁 ", info.caretColumn);
    report += FormatToString("\r文字書体　： %s ", info.faceName.c_str());
    return report;
}

int ColumnFromOffsets(int selectionStart, int lineStart)
{
    if (lineStart > selectionStart) {
        return 1;
    }
    return selectionStart - lineStart + 1;
}

std::string FormatLineCountLabel(int lines)
{
    return FormatToString("%d行", lines);
}
