#include "document/doc_info.h"

#include "text/format.h"

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
    report += FormatToString("\r符号化方式： %s ", info.encodingName.c_str());
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
