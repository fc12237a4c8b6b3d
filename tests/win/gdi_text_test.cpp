// GDI is given and gives back UTF-16 converted from code page 932, whatever
// the process's ANSI code page: the suite also runs on code page 1252
// (wine.GdiText.cp1252), where a narrow GDI call would garble every line.

#include "print/page_layout.h"
#include "print/print_job.h"
#include "text/gdi_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

int CALLBACK CollectText(HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM texts)
{
    if (record->iType == EMR_EXTTEXTOUTW) {
        const auto* text = reinterpret_cast<const EMREXTTEXTOUTW*>(record);
        const auto* chars = reinterpret_cast<const wchar_t*>(reinterpret_cast<const BYTE*>(record) +
                                                             text->emrtext.offString);
        reinterpret_cast<std::vector<std::wstring>*>(texts)->emplace_back(chars, text->emrtext.nChars);
    }
    return 1;
}

// The wide texts that drawing into an enhanced metafile recorded.
std::vector<std::wstring> RecordedTexts(const std::function<void(HDC)>& draw)
{
    HDC dc = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
    draw(dc);
    HENHMETAFILE metafile = CloseEnhMetaFile(dc);
    std::vector<std::wstring> texts;
    EnumEnhMetaFile(nullptr, metafile, CollectText, &texts, nullptr);
    DeleteEnhMetaFile(metafile);
    return texts;
}

}  // namespace

TEST(GdiText, HeaderFooterAndBodyLinesReachTheMetafileAsUtf16)
{
    std::strcpy(PrintJob.documentTitle, "\x95\x5c\x8e\xa6.TXT");  // 表示.TXT, a trail byte 0x5C
    const struct {
        const char* what;
        std::function<void(HDC)> draw;
        std::wstring expected;
    } cases[] = {
        {"header", [](HDC dc) { DrawPageHeader(dc); }, L"文書名：表示.TXT"},
        {"footer", [](HDC dc) { DrawPageFooter(dc, 12, 500); }, L"-12-"},
        {"body", [](HDC dc) { DrawBodyLine(dc, 0, 0, "\x95\x5c\x5c\x82\xcd\xb1"); }, L"表\\はｱ"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RecordedTexts(c.draw), std::vector<std::wstring>{c.expected}) << c.what;
    }
}

// ＭＳ 明朝 is made by the test prefix from the IPA font (scripts/wine-env.sh),
// as a Windows with Japanese fonts has it.
TEST(GdiText, JapaneseFaceNamesGoInAndComeBackWhole)
{
    HDC dc = CreateCompatibleDC(nullptr);
    const struct {
        const char* face932;
        std::wstring face;
    } cases[] = {
        {"\x82\x6c\x82\x72 \x96\xbe\x92\xa9", L"ＭＳ 明朝"},
        {"IPA\x83\x53\x83\x56\x83\x62\x83\x4e", L"IPAゴシック"},
    };
    for (const auto& c : cases) {
        LOGFONTA wanted = {};
        wanted.lfHeight = -16;
        wanted.lfCharSet = SHIFTJIS_CHARSET;
        std::strcpy(wanted.lfFaceName, c.face932);
        HFONT font = CreateFont932(wanted);
        ASSERT_NE(font, nullptr) << c.face932;
        HGDIOBJ previous = SelectObject(dc, font);
        WCHAR face[LF_FACESIZE] = L"";
        GetTextFaceW(dc, LF_FACESIZE, face);
        char narrow[LF_FACESIZE] = "";
        TextFace932(dc, narrow, sizeof narrow);
        LOGFONTA back = {};
        EXPECT_TRUE(FontOf932(font, back));
        SelectObject(dc, previous);
        DeleteObject(font);

        EXPECT_EQ(std::wstring(face), c.face);
        EXPECT_STREQ(narrow, c.face932);
        EXPECT_STREQ(back.lfFaceName, c.face932);
    }
    DeleteDC(dc);
}

TEST(GdiText, NamesThatOutgrowTheNarrowRecordAreCutWhole)
{
    // Sixteen double-byte characters are 32 bytes, one more than the narrow
    // face holds with its terminator: the last character goes whole.
    LOGFONTW wide = {};
    std::wstring(16, L'表').copy(wide.lfFaceName, 16);
    std::string fifteen;
    for (int i = 0; i < 15; ++i) {
        fifteen += "\x95\x5c";
    }
    EXPECT_EQ(std::string(NarrowLogFont(wide).lfFaceName), fifteen);
}

TEST(GdiText, DeviceRecordKeepsItsSettingsAndDriverBytes)
{
    std::vector<BYTE> narrowBytes(sizeof(DEVMODEA) + 3, 0);
    auto* narrow = reinterpret_cast<DEVMODEA*>(narrowBytes.data());
    std::memcpy(narrow->dmDeviceName, "\x88\xf3\x8e\x9a\x8b\x40 PDF", 11);  // 印字機 PDF
    std::memcpy(narrow->dmFormName, "A4", 2);
    narrow->dmSize = sizeof(DEVMODEA);
    narrow->dmDriverExtra = 3;
    narrow->dmCopies = 2;
    narrow->dmLogPixels = 300;
    std::memcpy(narrowBytes.data() + sizeof(DEVMODEA), "abc", 3);

    const std::vector<BYTE> wideBytes = WideDevMode(narrow);
    ASSERT_EQ(wideBytes.size(), sizeof(DEVMODEW) + 3);
    const auto* wide = reinterpret_cast<const DEVMODEW*>(wideBytes.data());
    EXPECT_EQ(std::wstring(wide->dmDeviceName), L"印字機 PDF");
    EXPECT_EQ(std::wstring(wide->dmFormName), L"A4");
    // One setting before the form name and one behind it.
    EXPECT_EQ(wide->dmCopies, 2);
    EXPECT_EQ(wide->dmLogPixels, 300);
    EXPECT_EQ(wide->dmSize, sizeof(DEVMODEW));
    EXPECT_EQ(std::string(wideBytes.end() - 3, wideBytes.end()), "abc");
    EXPECT_TRUE(WideDevMode(nullptr).empty());
}
