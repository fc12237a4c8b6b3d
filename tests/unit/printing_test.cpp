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
    const struct {
        const char* line;
        bool complete;
        const char* name;
        const char* driver;
        const char* port;
    } cases[] = {
        {"Printer A,winspool,Ne00:", true, "Printer A", "winspool", "Ne00:"},
        {"P,drv,LPT1:,LPT2:", true, "P", "drv", "LPT1:,LPT2:"},
        {"P,drv", false, "P", "drv", ""},
        {"P,drv,", false, "P", "drv", ""},
        {"", false, "", "", ""},
        {",drv,port", false, "", "drv", "port"},
        {"\x95\x5c\x8e\xa6,wineps.drv,CUPS:\x95\x5c", true, "\x95\x5c\x8e\xa6", "wineps.drv", "CUPS:\x95\x5c"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        PrinterLine parts;
        EXPECT_EQ(SplitPrinterLine(c.line, parts), c.complete);
        EXPECT_EQ(parts.name + "|" + parts.driver + "|" + parts.port,
                  std::string(c.name) + "|" + c.driver + "|" + c.port);
    }
}

TEST(PrinterLineTest, ADeviceRecordsCutNameStandsForTheFullName)
{
    const std::string name = "Printer with a name far longer than thirty-one bytes";
    // 30 single bytes, then 表: a 31st byte would split it.
    const std::string dbcs = std::string(30, 'P') + "\x95\x5c" + "tail";
    const struct {
        std::string full;
        std::string device;
        bool cut;
    } cases[] = {
        {name, name.substr(0, 31), true},  {name, name.substr(0, 30), false}, {dbcs, dbcs.substr(0, 30), true},
        {dbcs, dbcs.substr(0, 31), true},  {name, "Printer B", false},        {"PDF", "PDF", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsCutDeviceName(c.full.c_str(), c.device.c_str()), c.cut) << c.device;
    }
}

TEST(PrinterLineTest, ADeviceNamesBlockGivesANameOnlyWhenItEndsInsideTheBlock)
{
    const std::string driver = "winspool";
    const std::string device = "Device \x95\x5c with a name longer than a record holds";
    const std::string port = "CUPS:Q";
    std::string block(8, '\0');
    block[0] = 8;
    block[2] = static_cast<char>(block[0] + driver.size() + 1);
    block[4] = static_cast<char>(block[2] + device.size() + 1);
    block += driver + '\0' + device + '\0' + port + '\0';
    const auto* bytes = reinterpret_cast<const unsigned char*>(block.data());
    EXPECT_EQ(DevNamesName(bytes, block.size(), DevNamesPart::driver), driver);
    EXPECT_EQ(DevNamesName(bytes, block.size(), DevNamesPart::device), device);
    EXPECT_EQ(DevNamesName(bytes, block.size(), DevNamesPart::port), port);
    EXPECT_EQ(DevNamesName(bytes, block.size() - 1, DevNamesPart::port), "") << "no terminator";
    EXPECT_EQ(DevNamesName(bytes, static_cast<unsigned char>(block[4]), DevNamesPart::port), "")
        << "offset past the end";
    EXPECT_EQ(DevNamesName(bytes, 7, DevNamesPart::driver), "") << "no room for the offsets";
}

TEST(PageGeometryTest, MulDivRoundsHalvesAwayFromZeroAndAnswersMinusOneWhenItCannot)
{
    const struct {
        int a, b, c, result;
    } cases[] = {
        {600, 100, 96, 625}, {300, 100, 96, 313}, {380, 100, 625, 61},        {5, 1, 2, 3},
        {-5, 1, 2, -3},      {5, 1, -2, -3},      {7, 1, 0, -1},              {0x40000000, 4, 2, -1},
        {1, 1, 3, 0},        {0x7FFFFFFF, 3, 3, 0x7FFFFFFF},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MulDivRound(c.a, c.b, c.c), c.result) << c.a << "*" << c.b << "/" << c.c;
    }
    const int dpi[] = {96, 150, 180, 200, 240, 300, 360, 400, 600, 720};
    const int perMm[] = {4, 6, 7, 8, 9, 12, 14, 16, 24, 28};
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(DotsPerMm(dpi[i]), perMm[i]) << dpi[i];
    }
}

PrinterMetrics WorkedExamplePrinter()
{
    PrinterMetrics printer;
    printer.dpiX = printer.dpiY = 600;
    printer.offsetX = printer.offsetY = 100;
    printer.horzRes = 4760;
    printer.vertRes = 6816;
    printer.paperWidth = 4960;
    printer.paperHeight = 7016;
    return printer;
}

TEST(PageGeometryTest, WorkedExampleGivesItsPageUnitsAndFortySixLinesAPage)
{
    const PageLayoutRecord layout;
    const MarginDots margins{DotsPerMm(600) * layout.leftMm, DotsPerMm(600) * layout.rightMm,
                             DotsPerMm(600) * layout.topMm, DotsPerMm(600) * layout.bottomMm};
    EXPECT_EQ(margins.left, 480) << "rounded per millimetre, not the exact 472";
    PageGeometry page;
    ASSERT_TRUE(ComputePageGeometry(WorkedExamplePrinter(), margins, 96, 96, page));
    const int expected[] = {625, 625, 61, 61, 652, 988, 1091, 762};
    const int actual[] = {page.scaleX,    page.scaleY,     page.textLeft,   page.textTop,
                          page.textWidth, page.textHeight, page.footerBase, page.pageWidth};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(actual[i], expected[i]) << i;
    }
    // Lines at y = 61, 81, ... 961; the 47th would end at 1001 > 988.
    EXPECT_EQ(PageCount(46, page.textTop, page.textHeight, 20), 1);
    EXPECT_EQ(PageCount(47, page.textTop, page.textHeight, 20), 2);
    EXPECT_EQ(PageCount(93, page.textTop, page.textHeight, 20), 3);

    // A 300 dpi vertical axis scales by itself.
    PrinterMetrics tall = WorkedExamplePrinter();
    tall.dpiY = 300;
    ASSERT_TRUE(ComputePageGeometry(tall, margins, 96, 96, page));
    EXPECT_EQ(page.scaleX, 625);
    EXPECT_EQ(page.scaleY, 313);
    EXPECT_FALSE(ComputePageGeometry(WorkedExamplePrinter(), margins, 0, 96, page)) << "no scale, no layout";
}

TEST(PageGeometryTest, ALineEndingOnTheBoundFitsAndTooSmallPagesTakeALineEach)
{
    const struct {
        int textTop, textHeight, lineStep, lines, pages;
    } cases[] = {
        {0, 100, 20, 5, 1}, {0, 100, 20, 6, 2}, {0, 0, 20, 0, 1}, {0, 0, 20, 1, 2}, {0, 0, 20, 3, 4},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PageCount(c.lines, c.textTop, c.textHeight, c.lineStep), c.pages) << c.lines << " lines";
    }
}

TEST(PageLayoutTest, MarginsAreCheckedSideBySideThenForRoomLeft)
{
    MarginLimits limits;
    limits.dpiX = limits.dpiY = 600;
    limits.minLeft = limits.minRight = limits.minBottom = 100;
    limits.minTop = 200;
    limits.paperWidth = 4960;
    limits.paperHeight = 7016;
    limits.lineHeight = 100;
    const struct {
        MarginsMm margins;
        int stringId;
        const char* word;
    } cases[] = {
        {{20, 17, 20, 15}, 0, ""},        {{4, 17, 20, 15}, 27, "左"},      {{5, 17, 20, 15}, 0, ""},
        {{20, 4, 20, 15}, 27, "右"},      {{20, 17, 8, 15}, 27, "上"},      {{20, 17, 9, 15}, 0, ""},
        {{20, 17, 20, 0}, 27, "下"},      {{4, 4, 4, 4}, 27, "左"},         {{150, 56, 20, 15}, 0, ""},
        {{150, 57, 20, 15}, 28, "左右"},  {{20, 17, 200, 88}, 0, ""},       {{20, 17, 200, 89}, 28, "上下"},
    };
    for (const auto& c : cases) {
        const MarginProblem problem = CheckMargins(c.margins, limits);
        EXPECT_EQ(problem.stringId, c.stringId) << c.margins.left << "," << c.margins.right << ","
                                                << c.margins.top << "," << c.margins.bottom;
        EXPECT_STREQ(problem.word, c.word);
    }
}

TEST(PageTextTest, PatternsAreDataWithOneArgumentAndLinesAreCutOnCharacters)
{
    const struct {
        const char* pattern;
        const char* header;
        const char* footer;
    } cases[] = {
        {"文書名：%s", "文書名：memo.txt", "文書名：%s"},
        {"-%d-", "-%d-", "-3-"},
        {"%s%s", "memo.txt%s", "%s%s"},
        {"%d/%d %s", "%d/%d memo.txt", "3/%d %s"},
        {"100%% %x %", "100% %x %", "100% %x %"},
        {"%%s%%d", "%s%d", "%s%d"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatHeaderLine(c.pattern, "memo.txt"), c.header) << c.pattern;
        EXPECT_EQ(FormatFooterLine(c.pattern, 3), c.footer) << c.pattern;
    }
    const std::string title(127, 'T');
    EXPECT_EQ(FormatHeaderLine("文書名：%s", title.c_str()), "文書名：" + title.substr(0, 71));
    std::string dbcs;
    for (int i = 0; i < 45; ++i) {
        dbcs += "\x95\x5c";
    }
    EXPECT_EQ(FormatHeaderLine("%s", dbcs.c_str()), dbcs.substr(0, 78)) << "79 bytes would split 表";
    EXPECT_EQ(FormatHeaderLine("%s", "50%%"), "50%%") << "the title is not a pattern";
}

TEST(PageTextTest, PatternFieldsAndFallbackTitlesAreCutOnCharacters)
{
    std::string dbcs25;
    for (int i = 0; i < 25; ++i) {
        dbcs25 += "\x95\x5c";
    }
    EXPECT_EQ(PatternFromField(std::string(50, 'a').c_str()), std::string(49, 'a'));
    EXPECT_EQ(PatternFromField(dbcs25.c_str()), dbcs25.substr(0, 48));
    EXPECT_EQ(PatternFromField((std::string(48, 'a') + "\x95").c_str()), std::string(48, 'a'))
        << "a lone lead byte is dropped";
    EXPECT_EQ(PatternFromField("\x81\x95"), "\x81\x95") << "0x95 as a trail byte stays";

    EXPECT_EQ(TitleAfterLastSeparator("C:\\DOCS\\MEMO.TXT", 127), "MEMO.TXT");
    EXPECT_EQ(TitleAfterLastSeparator("C:\\\x95\x5c", 127), "\x95\x5c") << "表's trail byte is no separator";
    EXPECT_EQ(TitleAfterLastSeparator("C:\\A\x95\x5c", 2), "A");
}

TEST(CommonDialogErrorsTest, EveryCodeHasItsMessageAndAnyOtherTheUndefinedOne)
{
    const unsigned long codes[] = {0x0000, 0x0001, 0x0002, 0x0003, 0x0004, 0x0005, 0x0006, 0x0007, 0x0008,
                                   0x0009, 0x000A, 0x000B, 0x1001, 0x1002, 0x1003, 0x1004, 0x1005, 0x1006,
                                   0x1007, 0x1008, 0x1009, 0x100A, 0x100B, 0x2001, 0x3001, 0x3002, 0x3003,
                                   0xFFFF, 0x000C, 0x1000, 0x100C, 0x2000, 0x2002, 0x3000};
    const int strings[] = {0,  52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63, 64, 65, 66, 67,
                           68, 69, 70, 71, 72, 73, 74, 75, 76, 77, 51, 79, 79, 79, 79, 79, 79};
    for (std::size_t i = 0; i < sizeof codes / sizeof codes[0]; ++i) {
        EXPECT_EQ(CommonDialogErrorStringId(codes[i]), strings[i]) << std::hex << codes[i];
    }
}

}  // namespace
