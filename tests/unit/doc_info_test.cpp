#include "document/doc_info.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {

std::vector<std::string> SplitOnCarriageReturn(const std::string& text)
{
    std::vector<std::string> lines;
    std::string::size_type from = 0;
    for (;;) {
        const std::string::size_type at = text.find('\r', from);
        lines.push_back(text.substr(from, at - from));
        if (at == std::string::npos) {
            return lines;
        }
        from = at + 1;
    }
}

DocumentInfo TwoLineDocument()
{
    // "ab" CR LF "c" with the caret at the start of the second line.
    return DocumentInfo{96, 96, 0, 0, 620, 380, 5, 2, 2, 1, "Fixedsys", "UTF-16"};
}

TEST(DocumentInfoTest, WholeReportInSourceText)
{
    EXPECT_EQ("画面解像度：ｘ＝ 96　Ｙ ＝ 96  \r"
              "左上：ｘ＝ 0　Ｙ ＝ 0  \r"
              "右下：ｘ＝ 620　Ｙ ＝ 380 \r"
              "作成文字数： 5\r"
              "作成行数　： 2行\r"
              "現在位置　： 2行 1桁 \r"
              "文字書体　： Fixedsys \r"
              "符号化方式： UTF-16 ",
              FormatDocumentInfo(TwoLineDocument()));
    EXPECT_EQ("\x8c\xbb\x8d\xdd\x88\xca\x92\x75\x81\x40\x81\x46 2\x8d\x73 1\x8c\x85 ",
              SplitOnCarriageReturn(FormatDocumentInfo(TwoLineDocument())).at(5));
}

TEST(DocumentInfoTest, ReportLinesAsBytes)
{
    const DocumentInfo info{120, 144, 1, 2, 1003, 704, 12345, 678, 90, 17,
                            "\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e", "EUC-JP"};
    const std::vector<std::string> expected = {
        "\x89\xe6\x96\xca\x89\xf0\x91\x9c\x93\x78\x81\x46\x82\x98\x81\x81 120"
        "\x81\x40\x82\x78 \x81\x81 144  ",
        "\x8d\xb6\x8f\xe3\x81\x46\x82\x98\x81\x81 1\x81\x40\x82\x78 \x81\x81 2  ",
        "\x89\x45\x89\xba\x81\x46\x82\x98\x81\x81 1003\x81\x40\x82\x78 \x81\x81 704 ",
        "\x8d\xec\x90\xac\x95\xb6\x8e\x9a\x90\x94\x81\x46 12345",
        "\x8d\xec\x90\xac\x8d\x73\x90\x94\x81\x40\x81\x46 678\x8d\x73",
        "\x8c\xbb\x8d\xdd\x88\xca\x92\x75\x81\x40\x81\x46 90\x8d\x73 17\x8c\x85 ",
        "\x95\xb6\x8e\x9a\x8f\x91\x91\xcc\x81\x40\x81\x46 "
        "\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e ",
        "\x95\x84\x8d\x86\x89\xbb\x95\xfb\x8e\xae\x81\x46 EUC-JP ",
    };
    EXPECT_EQ(expected, SplitOnCarriageReturn(FormatDocumentInfo(info)));
}

TEST(DocumentInfoTest, ExtremeValuesAndLongFaceNameAreNotCut)
{
    // Far longer than the fixed report buffers the layout was first drawn for.
    const std::string face(300, 'W');
    const DocumentInfo info{INT_MIN, INT_MAX, INT_MIN, INT_MIN, INT_MAX, INT_MAX,
                            INT_MAX, INT_MAX, INT_MAX, INT_MIN, face, ""};
    const std::vector<std::string> lines = SplitOnCarriageReturn(FormatDocumentInfo(info));
    ASSERT_EQ(8u, lines.size());
    EXPECT_EQ("画面解像度：ｘ＝ -2147483648　Ｙ ＝ 2147483647  ", lines[0]);
    EXPECT_EQ("現在位置　： 2147483647行 -2147483648桁 ", lines[5]);
    EXPECT_EQ("文字書体　： " + face + " ", lines[6]);
}

TEST(DocumentInfoTest, ColumnFromOffsets)
{
    struct Case {
        int selectionStart, lineStart, column;
    };
    const Case cases[] = {
        {0, 0, 1}, {4, 4, 1}, {10, 4, 7}, {1000000, 0, 1000001},
        // A line start past the selection (caret's line below it) gives 1.
        {3, 4, 1}, {0, 100, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.selectionStart) + " " + std::to_string(c.lineStart));
        EXPECT_EQ(c.column, ColumnFromOffsets(c.selectionStart, c.lineStart));
    }
}

TEST(LineCountLabelTest, NumberThenGyo)
{
    struct Case {
        int lines;
        const char* label;
    };
    const Case cases[] = {
        {1, "1\x8d\x73"},
        {0, "0\x8d\x73"},
        {10, "10\x8d\x73"},
        {2147483647, "2147483647\x8d\x73"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.label, FormatLineCountLabel(c.lines));
    }
}

} // namespace
