// Files that are not Shift-JIS, and files that hold a zero byte: opened as
// what they are, shown as Shift-JIS, and written back as they were.

#include "document/document_data.h"
#include "file/load_file.h"
#include "res/resource.h"
#include "state/app_state.h"
#include "tests/win/file_support.h"
#include "tests/win/harness.h"

#include <string>
#include <vector>

namespace {

using FileEncodings = FrameTest;

using std::string_literals::operator""s;

std::string EncodingQuestion(const std::string& title, const std::string& name)
{
    return "「" + title + "」は " + name + " で書かれています。\rシフトJISに変換して読み込み、保管する時は " + name +
           " で書き戻します。\r変換して宜しいですか（「いいえ」はシフトJISとして読み込みます）";
}

std::string ChangedQuestion(const std::string& title, int line, const char* ending)
{
    return "「" + title + "」の" + std::to_string(line) + "行目の文字は、保管すると別の文字として書き込まれます。\r" +
           ending;
}

const char kLoadAnyway[] = "それでも読み込みますか";
const char kSaveAnyway[] = "それでも保管しますか";

// Opens path answering each question in turn; what the questions said.
HWND OpenAnswering(const std::string& path, const std::vector<int>& answers, std::vector<std::string>* asked)
{
    DialogAnswers dialogs;
    for (int answer : answers) {
        dialogs.ThenPress(answer);
    }
    HWND document = OpenDocument(path);
    for (const SeenDialog& seen : dialogs.Seen()) {
        asked->push_back(seen.texts.at(0));
    }
    return document;
}

void Close(HWND document)
{
    SendMessageA(AppState.mdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(document), 0);
}

int EncodingOf(HWND document)
{
    return static_cast<int>(DocumentEncoding(document));
}

struct EncodedFile {
    const char* name;
    std::string bytes;
    TextEncoding encoding;
    std::string shown;  // what the control holds, in Shift-JIS
};

// 日本語〜―−‖ CR LF ｱ表 CR LF in each encoding: the JIS characters keep their
// cells, the trail byte 0x5C stays a trail byte.
const EncodedFile kEncoded[] = {
    {"UTF-8", "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xEF\xBD\x9E\xE2\x80\x95\xEF\xBC\x8D\xE2\x88\xA5\r\n"
              "\xEF\xBD\xB1\xE8\xA1\xA8\r\n",
     TextEncoding::Utf8, "\x93\xFA\x96\x7B\x8C\xEA\x81\x60\x81\x5C\x81\x7C\x81\x61\r\n\xB1\x95\x5C\r\n"},
    {"UTF-8 with its mark", "\xEF\xBB\xBF\xE6\x97\xA5\r\n\xE8\xA1\xA8", TextEncoding::Utf8Marked,
     "\x93\xFA\r\n\x95\x5C"},
    {"UTF-16LE with its mark", "\xFF\xFE\xE5\x65\x2C\x67\r\0\n\0\x68\x88"s, TextEncoding::Utf16LeMarked,
     "\x93\xFA\x96\x7B\r\n\x95\x5C"},
    {"UTF-16BE with its mark", "\xFE\xFF\x65\xE5\x67\x2C\0\r\0\n\x88\x68"s, TextEncoding::Utf16BeMarked,
     "\x93\xFA\x96\x7B\r\n\x95\x5C"},
    {"UTF-16LE without a mark", "a\0b\0\r\0\n\0c\0\x68\x88"s, TextEncoding::Utf16Le, "ab\r\nc\x95\x5C"},
    {"EUC-JP", "\xC6\xFC\xCB\xDC\xB8\xEC\xA1\xC1\xA1\xBD\xA1\xDD\xA1\xC2\r\n\x8E\xB1\xC9\xBD\r\n",
     TextEncoding::EucJp, "\x93\xFA\x96\x7B\x8C\xEA\x81\x60\x81\x5C\x81\x7C\x81\x61\r\n\xB1\x95\x5C\r\n"},
    {"ISO-2022-JP", "\x1B$BF|K\\8l!A!=!]!B\x1B(B\r\n\x1B(I1\x1B$BI=\x1B(B\r\n", TextEncoding::Iso2022Jp,
     "\x93\xFA\x96\x7B\x8C\xEA\x81\x60\x81\x5C\x81\x7C\x81\x61\r\n\xB1\x95\x5C\r\n"},
};

TEST_F(FileEncodings, EachEncodingIsNamedShownAndSavedBackByteForByte)
{
    TempDirectory dir;
    const std::string title = UpperCase(dir.File("encoded.txt"));
    for (const EncodedFile& c : kEncoded) {
        SCOPED_TRACE(c.name);
        dir.Write("encoded.txt", c.bytes);
        DialogAnswers answers;
        answers.ThenPress(IDYES);
        HWND document = OpenDocument(dir.File("encoded.txt"));
        ASSERT_NE(document, nullptr);
        ASSERT_EQ(answers.Seen().size(), 1u);
        EXPECT_EQ(answers.Seen()[0].texts, (std::vector<std::string>{EncodingQuestion(title, EncodingName(c.encoding)),
                                                                    "はい(&ﾊ)", "いいえ(&ｲ)", "取消(&ﾄ)"}));
        EXPECT_EQ(EditText(DocumentEdit(document)), c.shown);
        EXPECT_EQ(EncodingOf(document), static_cast<int>(c.encoding));
        answers.ThenPress(IDOK);
        Command(IDM_HELPDOCINFO);
        const std::string report = answers.Seen().at(1).texts.at(0);
        EXPECT_EQ(report.substr(report.rfind('\r')), "\r符号化方式： " + std::string(EncodingName(c.encoding)) + " ");
        EXPECT_EQ(Save(document), 0);
        EXPECT_EQ(dir.Read("encoded.txt"), c.bytes);
        EXPECT_EQ(dir.Read("encoded" + std::string(kBackupExtension)), c.bytes);
        Close(document);
    }
}

// あいうえ in EUC-JP, which reads as half-width kana in Shift-JIS too.
const std::string kEucJp = "\xA4\xA2\xA4\xA4\xA4\xA6\xA4\xA8\r\n";

// The questions of a load come in their order and each answer counts: the
// encoding, characters a save would write otherwise (named by their line),
// a zero byte, the line ends on the converted text.
TEST_F(FileEncodings, EveryQuestionBeforeTheTextIsShownCounts)
{
    TempDirectory dir;
    const std::string title = UpperCase(dir.File("asked.txt"));
    const std::string utf8 = EncodingQuestion(title, "UTF-8");
    const std::string euc = EncodingQuestion(title, "EUC-JP");
    const struct {
        const char* what;
        std::string bytes;
        std::vector<int> answers;
        std::vector<std::string> asked;
        const char* shown;  // none: no document
    } cases[] = {
        {"line ends asked on the converted text", "\xEF\xBB\xBF\xE6\x97\xA5\n\xE8\xA1\xA8\n", {IDYES, IDYES},
         {utf8, "この「モクレ」で使用出来る為に\r改行記号を変換して宜しいですか"}, "\x93\xFA\r\n\x95\x5C\r\n"},
        {"cancel opens nothing", kEucJp, {IDCANCEL}, {euc}, nullptr},
        {"no reads the bytes as Shift-JIS", kEucJp, {IDNO}, {euc}, "\xA4\xA2\xA4\xA4\xA4\xA6\xA4\xA8\r\n"},
        {"euro sign", "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\r\n\xE2\x82\xAC" "100", {IDYES, IDYES},
         {utf8, ChangedQuestion(title, 2, kLoadAnyway)}, "\x93\xFA\x96\x7B\x8C\xEA\r\n?100"},
        {"wave dash", "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\r\n\xE3\x80\x9C", {IDYES, IDYES},
         {utf8, ChangedQuestion(title, 2, kLoadAnyway)}, "\x93\xFA\x96\x7B\x8C\xEA\r\n\x81\x60"},
        {"JIS X 0212 declined", "\xA4\xA2\xA4\xA4\xA4\xA6\r\n\x8F\xB0\xA1", {IDYES, IDNO},
         {euc, ChangedQuestion(title, 2, kLoadAnyway)}, nullptr},
        {"zero byte declined", "ab\r\ncd\0ef\r\n"s, {IDNO},
         {"「" + title + "」の2行目にゼロのバイトがあり、そこから後は読み込めません。\rその前までを読み込みますか"},
         nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        dir.Write("asked.txt", c.bytes);
        std::vector<std::string> asked;
        HWND document = OpenAnswering(dir.File("asked.txt"), c.answers, &asked);
        EXPECT_EQ(asked, c.asked);
        ASSERT_EQ(document != nullptr, c.shown != nullptr);
        if (document != nullptr) {
            EXPECT_EQ(EditText(DocumentEdit(document)), c.shown);
            Close(document);
        }
    }
}

TEST_F(FileEncodings, ACharacterTheFilesEncodingLacksIsAskedAboutAndNoWritesNothing)
{
    TempDirectory dir;
    dir.Write("euc.txt", kEucJp);
    std::vector<std::string> asked;
    HWND document = OpenAnswering(dir.File("euc.txt"), {IDYES}, &asked);
    ASSERT_NE(document, nullptr);
    // ⅰ, one of IBM's own characters, has no JIS cell.
    TypeText(document, "\x82\xA0\r\n\xFA\x40");
    DialogAnswers answers;
    answers.ThenPress(IDNO);
    EXPECT_EQ(Save(document), 1);
    ASSERT_EQ(answers.Seen().size(), 1u);
    EXPECT_EQ(answers.Seen()[0].texts.at(0), ChangedQuestion(UpperCase(dir.File("euc.txt")), 2, kSaveAnyway));
    EXPECT_EQ(dir.Read("euc.txt"), kEucJp);
    EXPECT_FALSE(dir.Exists("euc" + std::string(kBackupExtension)));
    EXPECT_EQ(Changed(document), 1);
    answers.ThenPress(IDYES);
    EXPECT_EQ(Save(document), 0);
    EXPECT_EQ(dir.Read("euc.txt"), "\xA4\xA2\r\n?");
}

TEST_F(FileEncodings, AShortenedTextAsksOnceBeforeWritingOverTheLongerFile)
{
    TempDirectory dir;
    const std::string bytes = "ab\r\ncd\0ef\r\n"s;
    dir.Write("zero.txt", bytes);
    std::vector<std::string> asked;
    HWND document = OpenAnswering(dir.File("zero.txt"), {IDYES}, &asked);
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(EditText(DocumentEdit(document)), "ab\r\ncd");
    DialogAnswers answers;
    answers.ThenPress(IDNO);
    EXPECT_EQ(Save(document), 1);
    ASSERT_EQ(answers.Seen().size(), 1u);
    EXPECT_EQ(answers.Seen()[0].texts.at(0),
              "「" + UpperCase(dir.File("zero.txt")) +
                  "」はゼロのバイトの所までしか読み込んでいません。\r保管すると、ファイルのそこから後の部分は無くなります。\rそれでも保管しますか");
    EXPECT_EQ(dir.Read("zero.txt"), bytes);
    answers.ThenPress(IDYES);
    EXPECT_EQ(Save(document), 0);
    EXPECT_EQ(dir.Read("zero.txt"), "ab\r\ncd");
    EXPECT_EQ(Save(document), 0);
    EXPECT_EQ(answers.Seen().size(), 2u) << "asked once only";
}

TEST_F(FileEncodings, AnInsertConvertsAndLeavesTheDocumentsEncoding)
{
    TempDirectory dir;
    dir.Write("part.txt", "\xEF\xBB\xBF\xE8\xA1\xA8");
    HWND document = AppState.activeDocument;
    DialogAnswers answers;
    answers.ThenPress(IDYES);
    EXPECT_EQ(LoadFile(document, dir.File("part.txt").c_str(), LoadMode::Insert), 1);
    ASSERT_EQ(answers.Seen().size(), 1u);
    EXPECT_EQ(answers.Seen()[0].texts.at(0),
              "「" + dir.File("part.txt") +
                  "」は UTF-8 で書かれています。\rシフトJISに変換して挿入して宜しいですか（「いいえ」はシフトJISとして挿入します）");
    EXPECT_EQ(EditText(DocumentEdit(document)), "\x95\x5C");
    EXPECT_EQ(EncodingOf(document), static_cast<int>(TextEncoding::ShiftJis));
}

// The Japanese sample text of Python's codec tests (Debian's
// libpython3.X-testsuite), in the encodings its authors wrote it in.
std::string PythonSample(const std::string& name)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA("Z:\\usr\\lib\\python3*", &found);
    std::string bytes;
    for (BOOL more = search != INVALID_HANDLE_VALUE; more && bytes.empty(); more = FindNextFileA(search, &found)) {
        bytes = ReadBytes(std::string("Z:\\usr\\lib\\") + found.cFileName + "\\test\\cjkencodings\\" + name);
    }
    if (search != INVALID_HANDLE_VALUE) {
        FindClose(search);
    }
    return bytes;
}

// A registry key holding 日本語の文章, as the platform's own registry editor
// exports it: UTF-16 with its mark.
std::string ExportedRegistryKey(const std::string& to)
{
    HKEY key = nullptr;
    const wchar_t kKey[] = L"Software\\MokureEncodingTest";
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return std::string();
    }
    const wchar_t kValue[] = L"\u65E5\u672C\u8A9E\u306E\u6587\u7AE0";
    RegSetValueExW(key, L"text", 0, REG_SZ, reinterpret_cast<const BYTE*>(kValue), sizeof kValue);
    RegCloseKey(key);
    std::string command = "regedit.exe /E \"" + to + "\" HKEY_CURRENT_USER\\Software\\MokureEncodingTest";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        WaitForSingleObject(process.hProcess, 60000);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    RegDeleteKeyW(HKEY_CURRENT_USER, kKey);
    return ReadBytes(to);
}

TEST_F(FileEncodings, TextsWrittenByOthersComeBackAsTheyWere)
{
    TempDirectory dir;
    const std::string sample = PythonSample("shift_jis.txt");
    ASSERT_FALSE(sample.empty()) << "Python's codec samples (libpython3.X-testsuite) are not installed";
    const std::string exported = ExportedRegistryKey(dir.File("exported.reg"));
    ASSERT_EQ(exported.substr(0, 2), "\xFF\xFE");
    const struct {
        std::string bytes;
        TextEncoding encoding;
        std::string shown;
        std::vector<int> answers;  // the samples keep their LF line ends
    } cases[] = {
        {PythonSample("euc_jp.txt"), TextEncoding::EucJp, sample, {IDYES, IDNO}},
        {PythonSample("iso2022_jp.txt"), TextEncoding::Iso2022Jp, sample, {IDYES, IDNO}},
        {PythonSample("euc_jp-utf8.txt"), TextEncoding::Utf8, sample, {IDYES, IDNO}},
        {exported, TextEncoding::Utf16LeMarked, "\"text\"=\"\x93\xFA\x96\x7B\x8C\xEA\x82\xCC\x95\xB6\x8F\xCD\"", {IDYES}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(EncodingName(c.encoding));
        dir.Write("sample.txt", c.bytes);
        std::vector<std::string> asked;
        HWND document = OpenAnswering(dir.File("sample.txt"), c.answers, &asked);
        ASSERT_NE(document, nullptr);
        EXPECT_EQ(asked.size(), c.answers.size());
        EXPECT_EQ(EncodingOf(document), static_cast<int>(c.encoding));
        EXPECT_NE(EditText(DocumentEdit(document)).find(c.shown), std::string::npos);
        EXPECT_EQ(Save(document), 0);
        EXPECT_TRUE(dir.Read("sample.txt") == c.bytes);
        Close(document);
    }
}

}  // namespace
