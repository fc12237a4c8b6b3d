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

const std::vector<std::string> kYesNo = {"はい(&ﾊ)", "いいえ(&ｲ)"};

std::string EncodingQuestion(const std::string& title, const std::string& name)
{
    return "「" + title + "」は " + name + " で書かれています。\rシフトJISに変換して読み込み、保管する時は " + name +
           " で書き戻します。\r変換して宜しいですか（「いいえ」はシフトJISとして読み込みます）";
}

void ExpectQuestion(const SeenDialog& seen, const std::string& text, bool cancel)
{
    std::vector<std::string> texts = {text, "はい(&ﾊ)", "いいえ(&ｲ)"};
    if (cancel) {
        texts.push_back("取消(&ﾄ)");
    }
    EXPECT_EQ(seen.caption, "モクレ");
    EXPECT_EQ(seen.texts, texts);
}

void Close(HWND document)
{
    SendMessageA(AppState.mdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(document), 0);
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
    for (const EncodedFile& c : kEncoded) {
        SCOPED_TRACE(c.name);
        dir.Write("encoded.txt", c.bytes);
        DialogAnswers answers;
        answers.ThenPress(IDYES);
        HWND document = OpenDocument(dir.File("encoded.txt"));
        ASSERT_NE(document, nullptr);
        ASSERT_EQ(answers.Seen().size(), 1u);
        ExpectQuestion(answers.Seen()[0], EncodingQuestion(UpperCase(dir.File("encoded.txt")), EncodingName(c.encoding)),
                       true);
        EXPECT_EQ(EditText(DocumentEdit(document)), c.shown);
        EXPECT_EQ(static_cast<int>(DocumentEncoding(document)), static_cast<int>(c.encoding));
        answers.ThenPress(IDOK);
        Command(IDM_HELPDOCINFO);
        ASSERT_EQ(answers.Seen().size(), 2u);
        const std::string report = answers.Seen()[1].texts.at(0);
        EXPECT_EQ(report.substr(report.rfind('\r')), "\r符号化方式： " + std::string(EncodingName(c.encoding)) + " ");
        EXPECT_EQ(Save(document), 0);
        EXPECT_EQ(dir.Read("encoded.txt"), c.bytes);
        EXPECT_EQ(dir.Read("encoded" + std::string(kBackupExtension)), c.bytes);
        Close(document);
    }
}

TEST_F(FileEncodings, TheLineEndQuestionComesAfterOnTheConvertedText)
{
    TempDirectory dir;
    dir.Write("lf.txt", "\xEF\xBB\xBF\xE6\x97\xA5\n\xE8\xA1\xA8\n");
    DialogAnswers answers;
    answers.ThenPress(IDYES);
    answers.ThenPress(IDYES);
    HWND document = OpenDocument(dir.File("lf.txt"));
    ASSERT_NE(document, nullptr);
    ASSERT_EQ(answers.Seen().size(), 2u);
    EXPECT_EQ(answers.Seen()[1].texts.at(0), "この「モクレ」で使用出来る為に\r改行記号を変換して宜しいですか");
    EXPECT_EQ(EditText(DocumentEdit(document)), "\x93\xFA\r\n\x95\x5C\r\n");
    EXPECT_EQ(Save(document), 0);
    EXPECT_EQ(dir.Read("lf.txt"), "\xEF\xBB\xBF\xE6\x97\xA5\r\n\xE8\xA1\xA8\r\n");
}

// 日本語です in EUC-JP, which reads as Shift-JIS too.
const std::string kEucJp = "\xC6\xFC\xCB\xDC\xB8\xEC\xA4\xC7\xA4\xB9\r\n";

TEST_F(FileEncodings, NoReadsTheBytesAsShiftJisAndCancelOpensNothing)
{
    TempDirectory dir;
    dir.Write("euc.txt", kEucJp);
    {
        DialogAnswers answers;
        answers.ThenPress(IDCANCEL);
        EXPECT_EQ(OpenDocument(dir.File("euc.txt")), nullptr);
        EXPECT_EQ(answers.Seen().size(), 1u);
        EXPECT_EQ(DocumentTitles(), std::vector<std::string>{"書簡1"});
    }
    DialogAnswers answers;
    answers.ThenPress(IDNO);
    answers.ThenPress(IDYES);  // as Shift-JIS it holds a code the control cannot keep
    HWND document = OpenDocument(dir.File("euc.txt"));
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(answers.Seen().size(), 2u);
    EXPECT_EQ(static_cast<int>(DocumentEncoding(document)), static_cast<int>(TextEncoding::ShiftJis));
}

// Characters code page 932 lacks, or holds under another code point, are
// named by their line before anything is shown.
TEST_F(FileEncodings, CharactersASaveWouldChangeAreNamedBeforeTheTextIsShown)
{
    struct Case {
        const char* what;
        std::string bytes;
        int answer;
        std::string shown;
    };
    const Case cases[] = {
        {"euro sign", "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\r\n\xE2\x82\xAC" "100", IDYES, "\x93\xFA\x96\x7B\x8C\xEA\r\n?100"},
        {"wave dash", "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\r\n\xE3\x80\x9C", IDYES, "\x93\xFA\x96\x7B\x8C\xEA\r\n\x81\x60"},
        {"JIS X 0212 in EUC-JP", "\xA4\xA2\xA4\xA4\xA4\xA6\r\n\x8F\xB0\xA1", IDNO, ""},
    };
    TempDirectory dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dir.Write("lacking.txt", c.bytes);
        const std::string title = UpperCase(dir.File("lacking.txt"));
        DialogAnswers answers;
        answers.ThenPress(IDYES);
        answers.ThenPress(c.answer);
        HWND document = OpenDocument(dir.File("lacking.txt"));
        ASSERT_EQ(answers.Seen().size(), 2u);
        ExpectQuestion(answers.Seen()[1],
                       "「" + title + "」の2行目の文字は、保管すると別の文字として書き込まれます。\rそれでも読み込みますか",
                       false);
        ASSERT_EQ(document != nullptr, c.answer == IDYES);
        if (document != nullptr) {
            EXPECT_EQ(EditText(DocumentEdit(document)), c.shown);
            Close(document);
        }
    }
}

TEST_F(FileEncodings, ACharacterTheFilesEncodingLacksIsAskedAboutAndNoWritesNothing)
{
    TempDirectory dir;
    const std::string euc = kEucJp;
    dir.Write("euc.txt", euc);
    DialogAnswers answers;
    answers.ThenPress(IDYES);
    HWND document = OpenDocument(dir.File("euc.txt"));
    ASSERT_NE(document, nullptr);
    // ⅰ, one of IBM's own characters, has no JIS cell.
    TypeText(document, "\x82\xA0\r\n\xFA\x40");
    const std::string question = "「" + UpperCase(dir.File("euc.txt")) +
                                 "」の2行目の文字は、保管すると別の文字として書き込まれます。\rそれでも保管しますか";
    answers.ThenPress(IDNO);
    EXPECT_EQ(Save(document), 1);
    ASSERT_EQ(answers.Seen().size(), 2u);
    ExpectQuestion(answers.Seen()[1], question, false);
    EXPECT_EQ(dir.Read("euc.txt"), euc);
    EXPECT_FALSE(dir.Exists("euc" + std::string(kBackupExtension)));
    EXPECT_EQ(Changed(document), 1);
    answers.ThenPress(IDYES);
    EXPECT_EQ(Save(document), 0);
    EXPECT_EQ(dir.Read("euc.txt"), "\xA4\xA2\r\n?");
}

TEST_F(FileEncodings, AZeroByteIsToldByItsLineAndTheShortenedTextAsksBeforeWritingOverTheFile)
{
    TempDirectory dir;
    const std::string bytes = "ab\r\ncd\0ef\r\n"s;
    dir.Write("zero.txt", bytes);
    const std::string title = UpperCase(dir.File("zero.txt"));
    {
        DialogAnswers answers;
        answers.ThenPress(IDNO);
        EXPECT_EQ(OpenDocument(dir.File("zero.txt")), nullptr);
        ASSERT_EQ(answers.Seen().size(), 1u);
        ExpectQuestion(answers.Seen()[0],
                       "「" + title + "」の2行目にゼロのバイトがあり、そこから後は読み込めません。\rその前までを読み込みますか",
                       false);
    }
    DialogAnswers answers;
    answers.ThenPress(IDYES);
    HWND document = OpenDocument(dir.File("zero.txt"));
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(EditText(DocumentEdit(document)), "ab\r\ncd");
    answers.ThenPress(IDNO);
    EXPECT_EQ(Save(document), 1);
    ASSERT_EQ(answers.Seen().size(), 2u);
    ExpectQuestion(answers.Seen()[1],
                   "「" + title +
                       "」はゼロのバイトの所までしか読み込んでいません。\r保管すると、ファイルのそこから後の部分は無くなります。\rそれでも保管しますか",
                   false);
    EXPECT_EQ(dir.Read("zero.txt"), bytes);
    answers.ThenPress(IDYES);
    EXPECT_EQ(Save(document), 0);
    EXPECT_EQ(dir.Read("zero.txt"), "ab\r\ncd");
    EXPECT_EQ(Save(document), 0) << "asked once only";
    EXPECT_EQ(answers.Seen().size(), 3u);
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
    ExpectQuestion(answers.Seen()[0],
                   "「" + dir.File("part.txt") +
                       "」は UTF-8 で書かれています。\rシフトJISに変換して挿入して宜しいですか（「いいえ」はシフトJISとして挿入します）",
                   true);
    EXPECT_EQ(EditText(DocumentEdit(document)), "\x95\x5C");
    EXPECT_EQ(static_cast<int>(DocumentEncoding(document)), static_cast<int>(TextEncoding::ShiftJis));
}

// The Japanese sample text of Python's codec tests (Debian's
// libpython3.11-testsuite), in the encodings its authors wrote it in; the
// folder under Z: is the Linux one.
std::string PythonSamples()
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA("Z:\\usr\\lib\\python3*", &found);
    std::string folder;
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string candidate = std::string("Z:\\usr\\lib\\") + found.cFileName + "\\test\\cjkencodings\\";
            if (GetFileAttributesA((candidate + "euc_jp.txt").c_str()) != INVALID_FILE_ATTRIBUTES) {
                folder = candidate;
            }
        } while (folder.empty() && FindNextFileA(search, &found));
        FindClose(search);
    }
    return folder;
}

std::string ReadWhole(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    std::string bytes(file != INVALID_HANDLE_VALUE ? GetFileSize(file, nullptr) : 0, '\0');
    DWORD read = 0;
    if (file != INVALID_HANDLE_VALUE) {
        ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
        CloseHandle(file);
    }
    return bytes;
}

// A .reg file as the platform's own registry editor exports it: UTF-16
// with its mark.
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
    return ReadWhole(to);
}

TEST_F(FileEncodings, TextsWrittenByOthersComeBackAsTheyWere)
{
    TempDirectory dir;
    const std::string samples = PythonSamples();
    ASSERT_FALSE(samples.empty()) << "Python's codec samples (libpython3.11-testsuite) are not installed";
    const std::string shiftJis = ReadWhole(samples + "shift_jis.txt");
    struct Case {
        std::string file;
        TextEncoding encoding;
    };
    const Case cases[] = {
        {"euc_jp.txt", TextEncoding::EucJp},
        {"iso2022_jp.txt", TextEncoding::Iso2022Jp},
        {"euc_jp-utf8.txt", TextEncoding::Utf8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string original = ReadWhole(samples + c.file);
        dir.Write("sample.txt", original);
        DialogAnswers answers;
        answers.ThenPress(IDYES);
        answers.ThenPress(IDNO);  // keeps the file's own LF line ends
        HWND document = OpenDocument(dir.File("sample.txt"));
        ASSERT_NE(document, nullptr);
        EXPECT_EQ(answers.Seen().size(), 2u);
        EXPECT_EQ(static_cast<int>(DocumentEncoding(document)), static_cast<int>(c.encoding));
        EXPECT_EQ(EditText(DocumentEdit(document)), shiftJis);
        EXPECT_EQ(Save(document), 0);
        EXPECT_TRUE(dir.Read("sample.txt") == original);
        Close(document);
    }

    const std::string exported = ExportedRegistryKey(dir.File("exported.reg"));
    ASSERT_EQ(exported.substr(0, 2), "\xFF\xFE");
    DialogAnswers answers;
    answers.ThenPress(IDYES);
    HWND document = OpenDocument(dir.File("exported.reg"));
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(static_cast<int>(DocumentEncoding(document)), static_cast<int>(TextEncoding::Utf16LeMarked));
    EXPECT_NE(EditText(DocumentEdit(document)).find("\"text\"=\"\x93\xFA\x96\x7B\x8C\xEA\x82\xCC\x95\xB6\x8F\xCD\""),
              std::string::npos);
    EXPECT_EQ(Save(document), 0);
    EXPECT_TRUE(dir.Read("exported.reg") == exported);
}

}  // namespace
