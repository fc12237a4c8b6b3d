#include "print/common_dialog_errors.h"
#include "print/page_geometry.h"
#include "print/page_layout.h"
#include "print/page_text.h"
#include "print/printer_line.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(PrinterLineTest, SplitsAtTheFirstTwoCommasSteppingWholeCharacters)
{
    struct Case {
        const char* line;
        bool complete;
        const char* name;
        const char* driver;
        const char* port;
    };
    const Case cases[] = {
        {"Printer A,winspool,Ne00:", true, "Printer A", "winspool", "Ne00:"},
        {"P,drv,LPT1:,LPT2:", true, "P", "drv", "LPT1:,LPT2:"},
        {"P,drv", false, "P", "drv", ""},
        {"P,drv,", false, "P", "drv", ""},
        {"P", false, "P", "", ""},
        {"", false, "", "", ""},
        {",drv,port", false, "", "drv", "port"},
        // 0x2C is no trail byte, but a lead byte before the comma steps it
        // as a whole with the byte after it.
        {"\x95\x5c\x8e\xa6,wineps.drv,CUPS:\x95\x5c", true, "\x95\x5c\x8e\xa6", "wineps.drv", "CUPS:\x95\x5c"},
        {"PDF,wineps.drv,CUPS:PDF", true, "PDF", "wineps.drv", "CUPS:PDF"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        PrinterLine parts;
        EXPECT_EQ(SplitPrinterLine(c.line, parts), c.complete);
        EXPECT_EQ(parts.name, c.name);
        EXPECT_EQ(parts.driver, c.driver);
        EXPECT_EQ(parts.port, c.port);
    }
}

TEST(PrinterLineTest, ADeviceRecordsCutNameStandsForTheFullName)
{
    const std::string longName = "Printer with a name far longer than thirty-one bytes";
    // 30 single bytes, then 表: the 31st byte would split it.
    const std::string dbcsName = std::string(30, 'P') + "\x95\x5c" + "tail";
    struct Case {
        std::string full;
        std::string device;
        bool cut;
    };
    const Case cases[] = {
        {longName, longName.substr(0, 31), true},
        {longName, longName.substr(0, 30), false},
        {dbcsName, dbcsName.substr(0, 30), true},
        {dbcsName, dbcsName.substr(0, 31), true},
        {longName, "Printer B", false},
        {"PDF", "PDF", false},
        {longName, "", false},
        {longName, "Printer with a name far longer X", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.device);
        EXPECT_EQ(IsCutDeviceName(c.full.c_str(), c.device.c_str()), c.cut);
    }
}

TEST(PageGeometryTest, MulDivRoundsHalvesAwayFromZeroAndAnswersMinusOneWhenItCannot)
{
    struct Case {
        int a, b, c, result;
    };
    const Case cases[] = {
        {600, 100, 96, 625},  {300, 100, 96, 313},   {380, 100, 625, 61},   {5, 1, 2, 3},
        {-5, 1, 2, -3},       {5, -1, 2, -3},        {5, 1, -2, -3},        {-5, -1, -2, -3},
        {7, 1, 0, -1},        {0x7FFFFFFF, 2, 1, -1}, {0x40000000, 4, 2, -1}, {1, 1, 3, 0},
        {0x7FFFFFFF, 3, 3, 0x7FFFFFFF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.a) + "*" + std::to_string(c.b) + "/" + std::to_string(c.c));
        EXPECT_EQ(MulDivRound(c.a, c.b, c.c), c.result);
    }
}

TEST(PageGeometryTest, DotsPerMmIsRoundedBeforeTheMillimetresMultiply)
{
    const int dpi[] = {96, 150, 180, 200, 240, 300, 360, 400, 600, 720};
    const int dots[] = {4, 6, 7, 8, 9, 12, 14, 16, 24, 28};
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(DotsPerMm(dpi[i]), dots[i]) << dpi[i];
    }
    EXPECT_EQ(DotsPerMm(600) * 20, 480) << "not the exact 472";
}

// A device of 600 dpi, a screen of 96 dpi, offsets of 100 dots, paper 4960 by
// 7016 dots with a printable area of 4760 by 6816, default margins.
PrinterMetrics WorkedExamplePrinter()
{
    PrinterMetrics printer;
    printer.dpiX = 600;
    printer.dpiY = 600;
    printer.offsetX = 100;
    printer.offsetY = 100;
    printer.horzRes = 4760;
    printer.vertRes = 6816;
    printer.paperWidth = 4960;
    printer.paperHeight = 7016;
    return printer;
}

MarginDots DefaultMarginDots(int dpi)
{
    const PageLayoutRecord layout;
    return {DotsPerMm(dpi) * layout.leftMm, DotsPerMm(dpi) * layout.rightMm, DotsPerMm(dpi) * layout.topMm,
            DotsPerMm(dpi) * layout.bottomMm};
}

TEST(PageGeometryTest, WorkedExampleGivesItsPageUnitsAndFortySixLinesAPage)
{
    const MarginDots margins = DefaultMarginDots(600);
    EXPECT_EQ(margins.left, 480);
    EXPECT_EQ(margins.right, 408);
    EXPECT_EQ(margins.top, 480);
    EXPECT_EQ(margins.bottom, 360);
    PageGeometry page;
    ASSERT_TRUE(ComputePageGeometry(WorkedExamplePrinter(), margins, 96, 96, page));
    EXPECT_EQ(page.scaleX, 625);
    EXPECT_EQ(page.scaleY, 625);
    EXPECT_EQ(page.textLeft, 61);
    EXPECT_EQ(page.textTop, 61);
    EXPECT_EQ(page.textWidth, 652);
    EXPECT_EQ(page.textHeight, 988);
    EXPECT_EQ(page.footerBase, 1091);
    EXPECT_EQ(page.pageWidth, 762);
    EXPECT_EQ(DotsToUnits(100, page.scaleY), 16) << "a 100-dot line scaled down";

    // Lines at y = 61, 81, ... 961; the 47th would end at 1001 > 988.
    PageFlow flow(page.textTop, page.textHeight, 20);
    int onFirstPage = 0;
    while (!flow.LineNeedsNewPage()) {
        ++onFirstPage;
        flow.Advance();
    }
    EXPECT_EQ(onFirstPage, 46);
    EXPECT_EQ(flow.Y(), 981);
    EXPECT_EQ(PageCount(46, page.textTop, page.textHeight, 20), 1);
    EXPECT_EQ(PageCount(47, page.textTop, page.textHeight, 20), 2);
    EXPECT_EQ(PageCount(60, page.textTop, page.textHeight, 20), 2);
    EXPECT_EQ(PageCount(93, page.textTop, page.textHeight, 20), 3);
}

TEST(PageGeometryTest, AxesScaleSeparatelyOnANonSquarePrinter)
{
    PrinterMetrics printer = WorkedExamplePrinter();
    printer.dpiY = 300;
    printer.offsetY = 50;
    printer.vertRes = 3408;
    printer.paperHeight = 3508;
    MarginDots margins = DefaultMarginDots(600);
    margins.top = DotsPerMm(300) * 20;
    margins.bottom = DotsPerMm(300) * 15;
    PageGeometry page;
    ASSERT_TRUE(ComputePageGeometry(printer, margins, 96, 96, page));
    EXPECT_EQ(page.scaleX, 625);
    EXPECT_EQ(page.scaleY, 313);
    EXPECT_EQ(page.textLeft, 61);
    EXPECT_EQ(page.textTop, MulDivRound(240 - 50, 100, 313));
    EXPECT_EQ(page.textHeight, MulDivRound(3508 - 240 - 180, 100, 313));
    EXPECT_EQ(page.footerBase, MulDivRound(3408, 100, 313));
}

TEST(PageGeometryTest, PageFlowKeepsALineEndingOnTheBoundAndGivesTooSmallPagesALineEach)
{
    struct Case {
        int textTop, textHeight, lineStep, lines, pages;
    };
    const Case cases[] = {
        {0, 100, 20, 5, 1},     // the fifth line ends exactly on the bound
        {0, 100, 20, 6, 2},
        {0, 0, 20, 0, 1},       // an empty document still prints one page
        {0, 0, 20, 1, 2},       // header and footer alone on the first page
        {0, 0, 20, 3, 4},       // then every line alone on a page
        {90, 100, 20, 2, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.lines) + " lines");
        EXPECT_EQ(PageCount(c.lines, c.textTop, c.textHeight, c.lineStep), c.pages);
    }
}

TEST(PageGeometryTest, AScaleOfZeroOrLessLaysNothingOut)
{
    PageGeometry page;
    EXPECT_FALSE(ComputePageGeometry(WorkedExamplePrinter(), DefaultMarginDots(600), 0, 96, page));
    PrinterMetrics noResolution = WorkedExamplePrinter();
    noResolution.dpiY = 0;
    EXPECT_FALSE(ComputePageGeometry(noResolution, DefaultMarginDots(600), 96, 96, page));
    noResolution.dpiY = -600;
    EXPECT_FALSE(ComputePageGeometry(noResolution, DefaultMarginDots(600), 96, 96, page));
}

MarginLimits WorkedExampleLimits()
{
    MarginLimits limits;
    limits.dpiX = 600;
    limits.dpiY = 600;
    limits.minLeft = 100;
    limits.minRight = 100;
    limits.minTop = 200;
    limits.minBottom = 100;
    limits.paperWidth = 4960;
    limits.paperHeight = 7016;
    limits.lineHeight = 100;
    return limits;
}

TEST(PageLayoutTest, MarginsAreCheckedSideBySideThenForRoomLeft)
{
    struct Case {
        MarginsMm margins;
        int stringId;
        const char* word;
    };
    const Case cases[] = {
        {{20, 17, 20, 15}, 0, ""},
        {{4, 17, 20, 15}, 27, "左"},
        {{5, 17, 20, 15}, 0, ""},
        {{20, 4, 20, 15}, 27, "右"},
        {{20, 17, 8, 15}, 27, "上"},
        {{20, 17, 9, 15}, 0, ""},
        {{20, 17, 20, 0}, 27, "下"},
        {{4, 4, 4, 4}, 27, "左"},  // the first side refused is named
        {{150, 56, 20, 15}, 0, ""},  // 4944 dots of 4960 leave a strip
        {{150, 57, 20, 15}, 28, "左右"},
        {{200, 88, 20, 15}, 28, "左右"},
        {{20, 17, 200, 88}, 0, ""},  // 6912 dots and a 100-dot line fit 7016
        {{20, 17, 200, 89}, 28, "上下"},
        {{999, 999, 999, 999}, 28, "左右"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.margins.left) + "," + std::to_string(c.margins.right) + "," +
                     std::to_string(c.margins.top) + "," + std::to_string(c.margins.bottom));
        const MarginProblem problem = CheckMargins(c.margins, WorkedExampleLimits());
        EXPECT_EQ(problem.stringId, c.stringId);
        EXPECT_STREQ(problem.word, c.word);
    }
}

TEST(PageLayoutTest, APatternFromItsFieldIsCutOnACharacterBoundary)
{
    const std::string dbcs25 = [] {
        std::string s;
        for (int i = 0; i < 25; ++i) {
            s += "\x95\x5c";
        }
        return s;
    }();
    struct Case {
        std::string field;
        std::string pattern;
    };
    const Case cases[] = {
        {"\x95\xb6\x8f\x91\x96\xbc\x81\x46%s", "\x95\xb6\x8f\x91\x96\xbc\x81\x46%s"},
        {std::string(49, 'a'), std::string(49, 'a')},
        {std::string(50, 'a'), std::string(49, 'a')},
        {dbcs25, dbcs25.substr(0, 48)},
        {"a" + dbcs25, "a" + dbcs25.substr(0, 48)},
        // A field that the platform cut inside a character ends with a lone
        // lead byte, which is dropped.
        {std::string(48, 'a') + "\x95", std::string(48, 'a')},
        {"ab\x95", "ab"},
        // 0x95 as a trail byte stays.
        {"\x81\x95", "\x81\x95"},
        {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        EXPECT_EQ(PatternFromField(c.field.c_str()), c.pattern);
    }
}

TEST(PageTextTest, HeaderTakesTheTitleAtItsFirstPercentSOnly)
{
    struct Case {
        const char* pattern;
        const char* title;
        const char* line;
    };
    const Case cases[] = {
        {"文書名：%s", "memo.txt", "文書名：memo.txt"},
        {"%s%s", "A", "A%s"},
        {"%d %s", "A", "%d A"},
        {"100%% %s", "A", "100% A"},
        {"%", "A", "%"},
        {"a%", "A", "a%"},
        {"%x%s%", "A", "%xA%"},
        {"%%s", "A", "%s"},
        {"plain", "A", "plain"},
        {"%s", "50%%", "50%%"},
        {"表%s", "\x95\x5c", "表表"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pattern);
        EXPECT_EQ(FormatHeaderLine(c.pattern, c.title), c.line);
    }
}

TEST(PageTextTest, FooterTakesThePageNumberAtItsFirstPercentDOnly)
{
    struct Case {
        const char* pattern;
        int page;
        const char* line;
    };
    const Case cases[] = {
        {"-%d-", 3, "-3-"},    {"%s", 3, "%s"},        {"%d/%d", 12, "12/%d"}, {"%%d", 1, "%d"},
        {"%%%d", 7, "%7"},     {"頁%d", 10, "頁10"},    {"", 1, ""},            {"%d", -1, "-1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pattern);
        EXPECT_EQ(FormatFooterLine(c.pattern, c.page), c.line);
    }
}

TEST(PageTextTest, LinesAreCutTo79BytesOnACharacterBoundary)
{
    const std::string title127(127, 'T');
    const std::string header = FormatHeaderLine("文書名：%s", title127.c_str());
    EXPECT_EQ(header.size(), 79u);
    EXPECT_EQ(header, "文書名：" + title127.substr(0, 71));

    // 80 bytes of 表 would end a byte into the 40th character.
    std::string dbcs;
    for (int i = 0; i < 45; ++i) {
        dbcs += "\x95\x5c";
    }
    EXPECT_EQ(FormatHeaderLine("%s", dbcs.c_str()), dbcs.substr(0, 78));
    EXPECT_EQ(FormatHeaderLine(("a" + dbcs).c_str(), ""), "a" + dbcs.substr(0, 78));
    EXPECT_EQ(FormatFooterLine(std::string(49, 'x').c_str(), 1).size(), 49u);
}

TEST(PageTextTest, TitleFallsBackToThePartAfterTheLastSeparator)
{
    struct Case {
        const char* path;
        std::size_t max;
        const char* title;
    };
    const Case cases[] = {
        {"C:\\DOCS\\MEMO.TXT", 127, "MEMO.TXT"},
        {"MEMO.TXT", 127, "MEMO.TXT"},
        {"C:\\DOCS\\", 127, ""},
        // The trail byte of 表 is a backslash, not a separator.
        {"C:\\\x95\x5c", 127, "\x95\x5c"},
        {"C:\\\x95\x5c\\A", 127, "A"},
        {"C:\\ABCDEF", 3, "ABC"},
        {"C:\\A\x95\x5c", 2, "A"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(TitleAfterLastSeparator(c.path, c.max), c.title);
    }
}

TEST(CommonDialogErrorsTest, EveryCodeHasItsMessageAndAnyOtherTheUndefinedOne)
{
    struct Case {
        unsigned long code;
        int stringId;
    };
    const Case cases[] = {
        {0x0000, 0},  {0x0001, 52}, {0x0002, 53}, {0x0003, 54}, {0x0004, 55}, {0x0005, 56}, {0x0006, 57},
        {0x0007, 58}, {0x0008, 59}, {0x0009, 60}, {0x000A, 61}, {0x000B, 62}, {0x1001, 63}, {0x1002, 64},
        {0x1003, 65}, {0x1004, 66}, {0x1005, 67}, {0x1006, 68}, {0x1007, 69}, {0x1008, 70}, {0x1009, 71},
        {0x100A, 72}, {0x100B, 73}, {0x2001, 74}, {0x3001, 75}, {0x3002, 76}, {0x3003, 77}, {0xFFFF, 51},
        {0x000C, 79}, {0x1000, 79}, {0x100C, 79}, {0x2000, 79}, {0x2002, 79}, {0x3000, 79}, {0x12345, 79},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CommonDialogErrorStringId(c.code), c.stringId) << std::hex << c.code;
    }
}

}  // namespace
