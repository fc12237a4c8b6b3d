// The built program's own resources, read back through the platform's
// loaders in code page 932 and compared byte for byte.

#include "res/resource.h"
#include "tests/win/harness.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The built program beside this test program.
std::wstring ProgramPath()
{
    wchar_t path[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring exe(path);
    return exe.substr(0, exe.find_last_of(L'\\') + 1) + L"" MOKURE_EXE_NAME;
}

HMODULE ProgramModule()
{
    static HMODULE module = LoadLibraryExW(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    return module;
}

std::wstring Wide(const char* ascii)
{
    return std::wstring(ascii, ascii + std::strlen(ascii));
}

// One line per menu item: its depth, then "-" for a separator, ">" and the
// caption for a submenu, or the identifier and the caption.
void DescribeMenu(HMENU menu, int depth, std::vector<std::string>& lines)
{
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        char text[256] = "";
        GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        const UINT state = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
        const std::string indent(static_cast<std::size_t>(depth) * 2, ' ');
        HMENU sub = GetSubMenu(menu, i);
        if (sub != nullptr) {
            lines.push_back(indent + "> " + text);
            DescribeMenu(sub, depth + 1, lines);
        } else if (state & MF_SEPARATOR) {
            lines.push_back(indent + "-");
        } else {
            lines.push_back(indent + std::to_string(GetMenuItemID(menu, i)) + " " + text);
            EXPECT_EQ(state & (MF_GRAYED | MF_CHECKED | MF_DISABLED), 0u) << text;
        }
    }
}

const char* const kMenu[] = {
    "> 記録体操作(&ｷ)",
    "  1001 新規作成(&ｼ)\tCTAL+ｼ",
    "  1002 取り出す(&ﾄ)\tCTAL+ﾄ",
    "  1010 指定した位置に読込(&ﾖ)\tCTAL+ﾖ",
    "  1003 上書き保管(&ﾎ)\tCTAL+ﾎ",
    "  1004 名前を付けて保管(&ﾅ)\tCTAL+ﾅ",
    "  -",
    "  1011 頁の中の割付設定(&ﾍ)\tCTAL+ﾍ",
    "  1005 印字(&ｲ)\tCTAL+ｲ",
    "  1008 印字機の設定(&ｾ)",
    "  -",
    "  1006 終了(&ｵ)\tALT+F4",
    "> 編集(&ﾍ)",
    "  2001 直前操作の取消(&ﾁ)\tESC",
    "  -",
    "  2002 切り取り(&ｷ)\tCTAL+ｷ",
    "  2003 複写(&ﾌ)\tCTRL+ﾌ",
    "  2004 貼り付け(&ﾊ)\tCTAL+ﾊ",
    "  2005 削除(&ｻ)\tDEL",
    "  -",
    "  > 文章の選択(&ｾ)",
    "    2006 全ての範囲を選択(&ｽ)\tSHIFT+F5",
    "    2010 指定した位置下の全て選択(&ｼ)\tSHIFT+F3",
    "    2011 指定した位置上の全て選択(&ｳ)\tSHIFT+F4",
    "  > 現在の時刻と日付を挿入(&ｹ)",
    "    2007 皇紀\tF5",
    "    2008 平成",
    "    2009 西暦",
    "> 検索(&ｹ)",
    "  3001 単語の検索(&ﾀ)\tCTAL+ﾀ",
    "  3002 次を検索(&ﾂ)\tF3",
    "  3003 後方検索(&ｺ)\tF4",
    "  3004 単語の置換(&ｵ)\tCTAL+ｵ",
    "  -",
    "  > 行移動(&ｷ)",
    "    3005 指定行に移動(&ｼ)\tF6",
    "    3006 文書頭\tF7",
    "    3007 文書末\tF8",
    "> 設定(&ｾ)",
    "  > 文書の改行(&ｶ)",
    "    4001 右端で折り返す(&ｵ)\tSHIFT+F2",
    "    4002 強制的改行(&ｶ)\tCTAL+ｶ",
    "  4003 機械独自文字体系変換(&ﾄ)",
    "  4004 文字書体(&ﾓ)\tCTAL+ﾓ",
    "> 窓口(&ﾏ)",
    "  > 並べて表示(&ﾅ)",
    "    5001 左右\tCTAL+F2",
    "    5002 上下\tCTAL+F3",
    "  5003 重ねて表示(&ｶ)",
    "  5005 アイコンの整列(&ｱ)",
    "  5004 すべて閉じる(&ﾄ)",
    "> 使用法(&ｼ)",
    "  6002 制作情報(&ｾ)...",
    "  6004 文書情報(&ﾌ)\tCTAL+F1",
};

TEST(ProgramResources, MenuCaptionsShortcutsAndOrder)
{
    ASSERT_NE(ProgramModule(), nullptr);
    HMENU menu = LoadMenuA(ProgramModule(), MAKEINTRESOURCEA(1));
    ASSERT_NE(menu, nullptr);
    std::vector<std::string> lines;
    DescribeMenu(menu, 0, lines);
    DestroyMenu(menu);
    ASSERT_EQ(lines.size(), std::size(kMenu));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i], kMenu[i]) << "menu line " << i;
    }
}

struct Accel {
    BYTE modifiers;
    WORD key;
    WORD command;
};

constexpr BYTE kPlain = FVIRTKEY;
constexpr BYTE kCtrl = FVIRTKEY | FCONTROL;
constexpr BYTE kShift = FVIRTKEY | FSHIFT;

// The Ctrl keys are the keys that carry the kana of each mnemonic on a JIS
// kana keyboard.
const Accel kAccelerators[] = {
    {kCtrl, 'D', 1001},        {kCtrl, 'S', 1002},       {kCtrl, 'U', 1004},       {kCtrl, '9', 1010},
    {kCtrl, 'E', 1005},        {kCtrl, '2', 2003},       {kCtrl, 'F', 2004},       {kCtrl, 'G', 2002},
    {kCtrl, 'M', 4004},        {kCtrl, 'T', 4002},       {kCtrl, 'Q', 3001},       {kCtrl, '6', 3004},
    {kCtrl, 0xDE, 1011},       {kCtrl, 0xBD, 1003},      {kPlain, VK_ESCAPE, 2001}, {kShift, VK_F2, 4001},
    {kCtrl, VK_F2, 5001},      {kCtrl, VK_F3, 5002},     {kPlain, VK_F3, 3002},    {kPlain, VK_F4, 3003},
    {kShift, VK_F3, 2010},     {kShift, VK_F4, 2011},    {kPlain, VK_F5, 2007},    {kShift, VK_F5, 2006},
    {kPlain, VK_F6, 3005},     {kPlain, VK_F7, 3006},    {kPlain, VK_F8, 3007},    {kPlain, VK_F1, 6001},
    {kShift, VK_F1, 6003},     {kCtrl, VK_F1, 6004},
};

TEST(ProgramResources, AcceleratorTableInOrder)
{
    HACCEL table = LoadAcceleratorsA(ProgramModule(), MAKEINTRESOURCEA(1));
    ASSERT_NE(table, nullptr);
    ACCEL entries[64];
    const int count = CopyAcceleratorTableA(table, entries, 64);
    ASSERT_EQ(count, 30);
    for (int i = 0; i < count; ++i) {
        const Accel& want = kAccelerators[i];
        EXPECT_EQ(entries[i].fVirt & ~0x80, want.modifiers) << "entry " << i + 1;
        EXPECT_EQ(entries[i].key, want.key) << "entry " << i + 1;
        EXPECT_EQ(entries[i].cmd, want.command) << "entry " << i + 1;
    }
    DestroyAcceleratorTable(table);
}

struct StringEntry {
    UINT id;
    const char* text;
};

const StringEntry kStrings[] = {
    {1, "「%s」 ファイルを取り出すことができません。"},
    {2, "「%s」 ファイルを読み込めません。"},
    {3, "「%s」 ファイルを作成できません。"},
    {4, "「%s」 ファイルに書き込めません。"},
    {5, "無効なファイル名: 「%s」'"},
    {6, ".文書"},
    {7, "「%s」 は更新されています。保存しますか?"},
    {8, "「%s」 が見つかりません。"},
    {9, "Windowsのヘルプ アプリケーションをロードできません。"},
    {10, "「%s」のファイルの記憶域を取ることが出来ません。"},
    {11, "「%s」のファイルの大きさが分かりません。"},
    {12, "「%s」 ファイルが存在しています。上書きしてよろしいでしょうか。"},
    {13, "「%s」 ファイルが編集しています。編集ファイルを閉じてから実行してください。"},
    {16, "モクレ, 第一版"},
    {17, "書簡"},
    {18, "モクレ"},
    {24, "モクレ - "},
    {25, "「%s」 を印刷できません!"},
    {27, "%sの余白の長さは短く取り過ぎています。"},
    {28, "%sの余白の長さは長く取り過ぎています。"},
    {30, "%d行より大きい行は編集されていません。"},
    {31, "%d文字しか使用出来ません。"},
    {51, "DialogBox() によるダイアログ作成に失敗しました。"},
    {52, "コモン ダイアログ用構造体サイズに誤りがあります。"},
    {53, "コモン ダイアログ初期化エラー\n\r メモリ不足の可能性があります"},
    {54, "カスタムテンプレートが見つかりません。"},
    {55, "インスタンスハンドルが渡されていません。"},
    {56, "文字列がロードできません。"},
    {57, "リソースが見つかりません。"},
    {58, "リソースがロードできません。"},
    {59, "リソースのロックに失敗しました。"},
    {60, "コモン ダイアログ内部データ用のメモリの獲得に失敗しました。"},
    {61, "コモン ダイアログ内部データ用のメモリのロックに失敗しました。"},
    {62, "ENABLEHOOK フラグが指定されているにもかかわらず\n\r Hook 関数が指定されていません。"},
    {63, "リソースのセットアップに失敗しました。"},
    {64, "WIN.INI ファイルの [devices] セクションが正しくありません"},
    {65, "PD_RETURNDEFAULT フラグがセットされているにもかかわらず\n\rhDevMode 又は hDevNames がゼロではありません。"},
    {66, "プリンタドライバのロードに失敗しました。"},
    {67, "プリンタドライバの DEVMODE データの初期化に失敗しました"},
    {68, "印刷共通ダイアログの初期化中にエラーが発生しました。"},
    {69, "プリンタデバイスドライバが見つかりません。"},
    {70, "デフォルトプリンタが見つかりません。"},
    {71, "DEVMODE のデータが DEVNAMES と矛盾しています。"},
    {72, "インフォーメーションコンテキストの作成に失敗しました。"},
    {73, "プリンタが見つかりません。"},
    {74, "フォントが見つかりません。"},
    {75, "コモン ダイアログ初期化中、サブクラス化に失敗しました。"},
    {76, "FileOpen 又は FileSave に無効なファイル名が渡されました。"},
    {77, "文字列格納のためのバッファサイズが小さすぎます。"},
    {78, "Write形式ﾌｧｲﾙ(*.WRI)|*.WRI|Word形式ﾌｧｲﾙ(*.DOC; *.TXT)|*.doc;*.txt|"},
    {79, "未定義のエラーが発生しました。"},
};

TEST(ProgramResources, StringTableByteForByte)
{
    for (const StringEntry& entry : kStrings) {
        char text[512] = "";
        LoadStringA(ProgramModule(), entry.id, text, sizeof text);
        EXPECT_EQ(std::string(text), entry.text) << "string " << entry.id;
    }
}

TEST(ProgramResources, IdentifiersOutsideTheTableAreEmpty)
{
    for (UINT id : {14u, 15u, 19u, 23u, 26u, 29u, 32u, 50u, 80u}) {
        char text[64] = "x";
        EXPECT_EQ(LoadStringA(ProgramModule(), id, text, sizeof text), 0) << "string " << id;
    }
}

TEST(ProgramResources, HalfWidthKanaSurviveAsSingleBytes)
{
    char text[64] = "";
    HMENU menu = LoadMenuA(ProgramModule(), MAKEINTRESOURCEA(1));
    GetMenuStringA(menu, IDM_FILEOPEN, text, sizeof text, MF_BYCOMMAND);
    DestroyMenu(menu);
    // 取り出す(&ﾄ)<tab>CTAL+ﾄ: ﾄ is the single byte C4.
    EXPECT_EQ(std::string(text), "\x8e\xe6\x82\xe8\x8f\x6f\x82\xb7(&\xc4)\tCTAL+\xc4");
}

struct TemplateCase {
    int id;
    const char* caption;
};

const TemplateCase kDialogs[] = {
    {IDD_GOTOLINE, "何行目に移動しますか？"},
    {IDD_OPEN, "装置から記録体を取り出す"},
    {IDD_ABOUT, "モクレの制作情報"},
    {IDD_FIND, "文章中の単語の検索"},
    {IDD_SAVEAS, "名前を付けて装置に保管"},
    {IDD_PRINTING, "印刷"},
    {IDD_REPLACE, "単語置き換え"},
    {IDD_PAGELAYOUT, "頁の割付の設定"},
    {IDD_PRINTDLG, "印刷"},
    {IDD_PRINTSETUPDLG, "印字機の設定"},
    {IDD_FONTDLG, "文字書体の指定"},
};

INT_PTR CALLBACK Quiet(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

TEST(ProgramResources, EveryDialogTemplateLoadsWithItsCaption)
{
    for (const TemplateCase& dialog : kDialogs) {
        HWND window = CreateDialogParamA(ProgramModule(), MAKEINTRESOURCEA(dialog.id), nullptr, Quiet, 0);
        ASSERT_NE(window, nullptr) << "template " << dialog.id;
        EXPECT_EQ(TitleOf(window), dialog.caption) << "template " << dialog.id;
        const LONG style = GetWindowLongA(window, GWL_STYLE);
        EXPECT_TRUE(style & WS_CAPTION) << dialog.id;
        EXPECT_TRUE(style & WS_SYSMENU) << dialog.id;
        DestroyWindow(window);
    }
}

TEST(ProgramResources, AboutBoxControls)
{
    HWND about = CreateDialogParamA(ProgramModule(), MAKEINTRESOURCEA(IDD_ABOUT), nullptr, Quiet, 0);
    ASSERT_NE(about, nullptr);
    HWND ok = GetDlgItem(about, IDOK);
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(TitleOf(ok), "了解");
    EXPECT_EQ(GetWindowLongA(ok, GWL_STYLE) & 0x0F, BS_DEFPUSHBUTTON);
    std::vector<std::string> statics;
    for (HWND c = GetWindow(about, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        statics.push_back(TitleOf(c));
    }
    EXPECT_NE(std::find(statics.begin(), statics.end(), "モクレ"), statics.end());
    EXPECT_NE(std::find(statics.begin(), statics.end(), "第二版"), statics.end());
    DestroyWindow(about);
}

TEST(ProgramResources, IconsAreThirtyTwoPixelsSixteenColours)
{
    for (int id : {IDI_PROGRAM, IDI_DOCUMENT}) {
        HRSRC group = FindResourceA(ProgramModule(), MAKEINTRESOURCEA(id), RT_GROUP_ICON);
        ASSERT_NE(group, nullptr) << id;
        const BYTE* dir = static_cast<const BYTE*>(LockResource(LoadResource(ProgramModule(), group)));
        const WORD count = *reinterpret_cast<const WORD*>(dir + 4);
        ASSERT_EQ(count, 1) << id;
        const BYTE* entry = dir + 6;
        EXPECT_EQ(entry[0], 32) << id;  // width
        EXPECT_EQ(entry[1], 32) << id;  // height
        EXPECT_EQ(entry[2], 16) << id;  // colours
    }
}

TEST(ProgramResources, VersionOfTheBuildInBothLanguagesAndInTheManifest)
{
    const std::wstring path = ProgramPath();
    std::vector<BYTE> info(GetFileVersionInfoSizeW(path.c_str(), nullptr));
    ASSERT_FALSE(info.empty());
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));
    const std::wstring version = Wide(MOKURE_VERSION);

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(std::to_wstring(HIWORD(fixed->dwFileVersionMS)) + L"." + std::to_wstring(LOWORD(fixed->dwFileVersionMS)) +
                  L"." + std::to_wstring(HIWORD(fixed->dwFileVersionLS)),
              version);
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);

    const struct {
        const wchar_t* block;
        std::wstring description;
        std::wstring copyright;
    } blocks[] = {
        {L"041104B0", L"モクレ 日本語テキスト編集器", L"Copyright (c) モクレの開発者 (MIT License)"},
        {L"040904B0", L"Mokure Japanese text editor", L"Copyright (c) The Mokure developers (MIT License)"},
    };
    for (const auto& b : blocks) {
        const std::pair<const wchar_t*, std::wstring> values[] = {
            {L"FileVersion", version},          {L"ProductVersion", version},
            {L"ProductName", L"モクレ"},         {L"OriginalFilename", L"mokure.exe"},
            {L"FileDescription", b.description}, {L"LegalCopyright", b.copyright},
        };
        for (const auto& [name, expected] : values) {
            const std::wstring key = std::wstring(L"\\StringFileInfo\\") + b.block + L"\\" + name;
            const wchar_t* value = L"(none)";
            VerQueryValueW(info.data(), key.c_str(), reinterpret_cast<void**>(const_cast<wchar_t**>(&value)), &length);
            EXPECT_EQ(std::wstring(value), expected) << std::string(key.begin(), key.end());
        }
    }

    // The manifest names the same version, in four parts, and the code page.
    HRSRC manifest = FindResourceW(ProgramModule(), MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(manifest, nullptr);
    const char* text = static_cast<const char*>(LockResource(LoadResource(ProgramModule(), manifest)));
    const std::string xml(text, SizeofResource(ProgramModule(), manifest));
    EXPECT_NE(xml.find(std::string("version=\"") + MOKURE_VERSION + ".0\""), std::string::npos) << xml;
    EXPECT_NE(xml.find(">ja-JP</activeCodePage>"), std::string::npos) << xml;
}

}  // namespace
