// Loading files into documents and saving them back, with real files, the
// real edit control and the program's own message boxes. What happens when
// the platform fails is in the tests of nothing typed being lost.

#include "app/frame.h"
#include "document/document_data.h"
#include "file/load_file.h"
#include "res/resource.h"
#include "state/app_state.h"
#include "tests/win/file_support.h"
#include "tests/win/harness.h"
#include "tests/win/import_patch.h"

#include <winternl.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

using FileLoading = FrameTest;
using FileInsert = FrameTest;
using FileSaving = FrameTest;

const char kQuestion[] = "この「モクレ」で使用出来る為に\r改行記号を変換して宜しいですか";

void ExpectLineEndQuestion(const SeenDialog& seen)
{
    EXPECT_EQ(seen.caption, "モクレ");
    EXPECT_EQ(seen.texts, (std::vector<std::string>{kQuestion, "はい(&ﾊ)", "いいえ(&ｲ)", "取消(&ﾄ)"}));
}

// The backup names below are worked out by hand from a path whose only dots
// are the ones a test puts there.
struct QuietLoad {
    const char* what;
    std::string bytes;
    std::string text;
};

TEST_F(FileLoading, FilesWhoseFirstLineEndIsTheControlsOwnLoadWithoutAQuestion)
{
    const QuietLoad cases[] = {
        {"empty file", "", ""},
        {"no line end", "abc \x95\x5c\x8e\xa6", "abc \x95\x5c\x8e\xa6"},
        {"CR LF first, a later lone LF kept", "x\r\ny\nz", "x\r\ny\nz"},
        {"CR CR LF first", "x\r\r\ny\rz", "x\r\r\ny\rz"},
        {"trail byte 0x5C before CR LF", "\x95\x5c\r\n\x95\x5c\n", "\x95\x5c\r\n\x95\x5c\n"},
    };
    TempDirectory dir;
    for (const QuietLoad& c : cases) {
        SCOPED_TRACE(c.what);
        dir.Write("quiet.txt", c.bytes);
        DialogAnswers answers;
        HWND document = OpenDocument(dir.File("quiet.txt"));
        ASSERT_NE(document, nullptr);
        EXPECT_TRUE(answers.Seen().empty());
        EXPECT_EQ(EditText(DocumentEdit(document)), c.text);
        EXPECT_EQ(TitleOf(document), UpperCase(dir.File("quiet.txt")));
        EXPECT_EQ(GetDocumentData(document, DocumentWindow::untitled), 0);
        EXPECT_EQ(Changed(document), 0);
        EXPECT_EQ(AppState.activeDocument, document);
        SendMessageA(AppState.mdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(document), 0);
    }
}

struct AskedLoad {
    const char* what;
    std::string bytes;
    int answer;
    std::string text;
};

TEST_F(FileLoading, ALoneFirstLineEndAsksAndYesConvertsOnlyLoneOnes)
{
    const AskedLoad cases[] = {
        {"lone LF, later CR LF kept", "x\ny\r\nz", IDYES, "x\r\ny\r\nz"},
        {"CR only", "x\ry\rz", IDYES, "x\r\ny\r\nz"},
        {"CR CR LF kept after a lone LF", "a\nb\r\r\nc", IDYES, "a\r\nb\r\r\nc"},
        {"trail byte 0x5C around line ends", "\x95\x5c\n\x95\x5c\r\x95\x5c", IDYES,
         "\x95\x5c\r\n\x95\x5c\r\n\x95\x5c"},
        {"No keeps the file's own line ends", "x\ny\r\nz\r", IDNO, "x\ny\r\nz\r"},
    };
    TempDirectory dir;
    for (const AskedLoad& c : cases) {
        SCOPED_TRACE(c.what);
        dir.Write("asked.txt", c.bytes);
        DialogAnswers answers;
        answers.ThenPress(c.answer);
        HWND document = OpenDocument(dir.File("asked.txt"));
        ASSERT_NE(document, nullptr);
        ASSERT_EQ(answers.Seen().size(), 1u);
        ExpectLineEndQuestion(answers.Seen()[0]);
        EXPECT_EQ(EditText(DocumentEdit(document)), c.text);
        EXPECT_EQ(Changed(document), 0);
        SendMessageA(AppState.mdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(document), 0);
    }
}

std::string ChangedOnSaveQuestion(const std::string& path, int line)
{
    return "「" + path + "」の" + std::to_string(line) +
           "行目の文字は、保管すると別の文字として書き込まれます。\rそれでも読み込みますか";
}

void ExpectChangedOnSaveQuestion(const SeenDialog& seen, const std::string& path, int line)
{
    EXPECT_EQ(seen.caption, "モクレ");
    EXPECT_EQ(seen.texts, (std::vector<std::string>{ChangedOnSaveQuestion(path, line), "はい(&ﾊ)", "いいえ(&ｲ)"}));
}

// The edit control keeps its text as UTF-16, which a lone lead byte does not
// survive; the user is told before the line ends are looked at.
TEST_F(FileLoading, ALeadByteAtTheVeryEndIsToldAboutThenTheLineEndsConvert)
{
    TempDirectory dir;
    dir.Write("lead.txt", "x\ny\x95");
    DialogAnswers answers;
    answers.ThenPress(IDYES);
    answers.ThenPress(IDYES);
    HWND document = OpenDocument(dir.File("lead.txt"));
    ASSERT_NE(document, nullptr);
    ASSERT_EQ(answers.Seen().size(), 2u);
    ExpectChangedOnSaveQuestion(answers.Seen()[0], UpperCase(dir.File("lead.txt")), 2);
    ExpectLineEndQuestion(answers.Seen()[1]);
    EXPECT_EQ(EditText(DocumentEdit(document)).substr(0, 4), "x\r\ny");
}

struct UnkeptBytes {
    const char* what;
    std::string bytes;
    int line;
};

// Bytes that the edit control would give back changed, so that saving would
// write them differently though nobody changed them.
const UnkeptBytes kUnkept[] = {
    {"NEC-selected IBM extension", "ab\r\n\r\n\xed\x40 z\r\n", 3},
    {"undefined double-byte code", "\x85\x40\r\n", 1},
    {"lone lead byte before a line end", "a\r\nb\x95\r\nc", 2},
};

TEST_F(FileLoading, BytesTheControlWouldChangeAreToldAboutAndNoLoadsNothing)
{
    TempDirectory dir;
    for (const UnkeptBytes& c : kUnkept) {
        SCOPED_TRACE(c.what);
        dir.Write("unkept.txt", c.bytes);
        const std::string title = UpperCase(dir.File("unkept.txt"));
        {
            DialogAnswers answers;
            answers.ThenPress(IDNO);
            EXPECT_EQ(OpenDocument(dir.File("unkept.txt")), nullptr);
            ASSERT_EQ(answers.Seen().size(), 1u);
            ExpectChangedOnSaveQuestion(answers.Seen()[0], title, c.line);
            EXPECT_EQ(DocumentTitles(), std::vector<std::string>{"書簡1"});
        }
        DialogAnswers answers;
        answers.ThenPress(IDYES);
        HWND document = OpenDocument(dir.File("unkept.txt"));
        ASSERT_NE(document, nullptr);
        EXPECT_EQ(answers.Seen().size(), 1u);
        EXPECT_EQ(Changed(document), 0);
        EXPECT_EQ(dir.Read("unkept.txt"), c.bytes) << "loading never writes";
        SendMessageA(AppState.mdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(document), 0);
    }
}

TEST_F(FileInsert, BytesTheControlWouldChangeAreToldAboutAndNoInsertsNothing)
{
    TempDirectory dir;
    HWND document = AppState.activeDocument;
    HWND edit = DocumentEdit(document);
    for (const UnkeptBytes& c : kUnkept) {
        SCOPED_TRACE(c.what);
        dir.Write("unkept.txt", c.bytes);
        SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("kept"));
        SetDocumentData(document, DocumentWindow::changed, 0);
        DialogAnswers answers;
        answers.ThenPress(IDNO);
        EXPECT_EQ(LoadFile(document, dir.File("unkept.txt").c_str(), LoadMode::Insert), 0);
        ASSERT_EQ(answers.Seen().size(), 1u);
        ExpectChangedOnSaveQuestion(answers.Seen()[0], dir.File("unkept.txt"), c.line);
        EXPECT_EQ(EditText(edit), "kept");
        EXPECT_EQ(Changed(document), 0);
    }
}

TEST_F(FileLoading, AFileAnotherProgramIsWritingLoads)
{
    TempDirectory dir;
    dir.Write("log.txt", "line 1\r\n");
    HeldByAnotherProcess held(dir.File("log.txt"), true);
    ASSERT_TRUE(held.Holding());
    DialogAnswers answers;
    HWND document = OpenDocument(dir.File("log.txt"));
    ASSERT_NE(document, nullptr);
    EXPECT_TRUE(answers.Seen().empty());
    EXPECT_EQ(EditText(DocumentEdit(document)), "line 1\r\n");
}

TEST_F(FileLoading, CancelAtTheQuestionLeavesNoDocumentAndNoMessage)
{
    TempDirectory dir;
    dir.Write("lf.txt", "x\ny");
    DialogAnswers answers;
    answers.ThenPress(IDCANCEL);
    EXPECT_EQ(OpenDocument(dir.File("lf.txt")), nullptr);
    PumpMessages();
    ASSERT_EQ(answers.Seen().size(), 1u);
    ExpectLineEndQuestion(answers.Seen()[0]);
    EXPECT_EQ(DocumentTitles(), std::vector<std::string>{"書簡1"});
    EXPECT_EQ(TitleOf(AppState.activeDocument), "書簡1");
    EXPECT_EQ(dir.Read("lf.txt"), "x\ny");
}

// The cursor shown at the moment the edit control is handed the text, by
// its block or by WM_SETTEXT, whichever the control was found to need.
HCURSOR cursorAtHandOver = nullptr;

LRESULT CALLBACK NoteCursorAtHandOver(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    char cls[16] = "";
    if (code == HC_ACTION && (call->message == EM_SETHANDLE || call->message == WM_SETTEXT) &&
        GetClassNameA(call->hwnd, cls, sizeof cls) > 0 && lstrcmpiA(cls, "edit") == 0) {
        cursorAtHandOver = GetCursor();
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

struct CursorCase {
    const char* what;
    std::size_t lines;
    const char* lineEnd;
    int answer;  // to the line-end question, 0 when none comes
    bool waits;
};

TEST_F(FileLoading, ALargeFileShowsTheWaitCursorUntilItIsLoaded)
{
    const CursorCase cases[] = {
        {"2 MiB loaded", 20000, "\r\n", 0, true},
        {"small file", 20, "\r\n", 0, false},
        {"2 MiB cancelled at the question", 20000, "\n", IDCANCEL, false},
    };
    const HCURSOR wait = LoadCursor(nullptr, IDC_WAIT);
    const HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, NoteCursorAtHandOver, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    TempDirectory dir;
    for (const CursorCase& c : cases) {
        SCOPED_TRACE(c.what);
        std::string bytes;
        for (std::size_t i = 0; i < c.lines; ++i) {
            bytes += std::string(98, 'a') + "\x95\x5c" + c.lineEnd;
        }
        dir.Write("large.txt", bytes);
        DialogAnswers answers;
        if (c.answer != 0) {
            answers.ThenPress(c.answer);
        }
        cursorAtHandOver = nullptr;
        SetCursor(arrow);
        HWND document = OpenDocument(dir.File("large.txt"));
        EXPECT_EQ(GetCursor(), arrow) << "the cursor from before comes back";
        if (c.answer == IDCANCEL) {
            EXPECT_EQ(document, nullptr);
            continue;
        }
        ASSERT_NE(document, nullptr);
        EXPECT_EQ(cursorAtHandOver == wait, c.waits);
        SendMessageA(AppState.mdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(document), 0);
    }
    UnhookWindowsHookEx(hook);
}

TEST_F(FileInsert, InsertReplacesTheSelectionWithTheFilesBytesAsTheyAre)
{
    TempDirectory dir;
    dir.Write("lines.txt", "1\n\x95\x5c\n2");
    HWND document = AppState.activeDocument;
    HWND edit = DocumentEdit(document);
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("abcdef"));
    SetDocumentData(document, DocumentWindow::changed, 0);
    SendMessageA(edit, EM_SETSEL, 2, 4);

    DialogAnswers answers;
    EXPECT_EQ(LoadFile(document, dir.File("lines.txt").c_str(), LoadMode::Insert), 1);
    PumpMessages();
    EXPECT_TRUE(answers.Seen().empty());
    EXPECT_EQ(EditText(edit), "ab1\n\x95\x5c\n2ef");
    EXPECT_EQ(Changed(document), 1);
    EXPECT_EQ(GetDocumentData(document, DocumentWindow::untitled), 1) << "inserting names nothing";
    EXPECT_EQ(TitleOf(document), "書簡1");
    // Typed text lands at the caret, which the insert left after the file's bytes.
    SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("|"));
    EXPECT_EQ(EditText(edit), "ab1\n\x95\x5c\n2|ef");
}

TEST_F(FileSaving, ANewFileGetsExactlyTheTextAndNoBackup)
{
    TempDirectory dir;
    const std::string text = "\x95\x5c\x8e\xa6\r\nline two\r\n\r\n\x8a\xbf\x8e\x9a";
    HWND document = NamedDocument(dir.File("new.txt"), text);
    ASSERT_EQ(Changed(document), 1);
    DialogAnswers answers;
    EXPECT_EQ(Save(document), 0);
    EXPECT_TRUE(answers.Seen().empty());
    EXPECT_EQ(dir.Read("new.txt"), text);
    EXPECT_EQ(FileNames(dir.path()), std::vector<std::string>{"NEW.TXT"});
    EXPECT_EQ(Changed(document), 0);
    EXPECT_EQ(EditText(DocumentEdit(document)), text);
    EXPECT_EQ(TitleOf(document), UpperCase(dir.File("new.txt")));
}

TEST_F(FileSaving, AfterASaveUndoIsGone)
{
    TempDirectory dir;
    HWND document = NamedDocument(dir.File("undo.txt"), "typed");
    HWND edit = DocumentEdit(document);
    ASSERT_TRUE(SendMessageA(edit, EM_CANUNDO, 0, 0));
    ASSERT_EQ(Save(document), 0);
    EXPECT_FALSE(SendMessageA(edit, EM_CANUNDO, 0, 0));
    EXPECT_EQ(EditText(edit), "typed");
}

// Saving often must not lose the user's place in a long letter.
TEST_F(FileSaving, TheCaretAndTheViewStayWhereTheyWere)
{
    TempDirectory dir;
    std::string text;
    for (int i = 0; i < 200; ++i) {
        text += "\x95\x5c line " + std::to_string(i) + "\r\n";
    }
    HWND document = NamedDocument(dir.File("long.txt"), text);
    HWND edit = DocumentEdit(document);
    const LRESULT lineStart = SendMessageA(edit, EM_LINEINDEX, 150, 0);
    SendMessageA(edit, EM_SETSEL, lineStart + 1, lineStart + 3);
    SendMessageA(edit, EM_SCROLLCARET, 0, 0);
    const LRESULT firstLine = SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0);
    ASSERT_GT(firstLine, 0);

    ASSERT_EQ(Save(document), 0);
    DWORD start = 0;
    DWORD end = 0;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, static_cast<DWORD>(lineStart + 1));
    EXPECT_EQ(end, static_cast<DWORD>(lineStart + 3));
    EXPECT_EQ(SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0), firstLine);
    EXPECT_FALSE(SendMessageA(edit, EM_CANUNDO, 0, 0));
}

TEST_F(FileSaving, SavingTwiceKeepsOneBackupOfTheContentBeforeTheLastSave)
{
    TempDirectory dir;
    dir.Write("letter.txt", "first\r\n");
    DialogAnswers answers;
    HWND document = OpenDocument(dir.File("letter.txt"));
    ASSERT_NE(document, nullptr);

    TypeText(document, "second\r\n");
    ASSERT_EQ(Save(document), 0);
    EXPECT_EQ(dir.Read("letter.txt"), "second\r\n");
    EXPECT_EQ(dir.Read(std::string("letter") + kBackupExtension), "first\r\n");

    TypeText(document, "third \x95\x5c\r\n");
    ASSERT_EQ(Save(document), 0);
    EXPECT_EQ(dir.Read("letter.txt"), "third \x95\x5c\r\n");
    EXPECT_EQ(dir.Read(std::string("letter") + kBackupExtension), "second\r\n");
    EXPECT_EQ(FileNames(dir.path()).size(), 2u);
    EXPECT_TRUE(answers.Seen().empty());
}

struct BackupPlace {
    const char* folder;  // made first when not empty
    const char* file;
    const char* backup;  // from the temporary directory, upper case
};

TEST_F(FileSaving, TheBackupLiesBesideItsFileCutAtTheFirstDotOfTheName)
{
    // A folder whose Shift-JIS path outgrows MAX_PATH bytes while its UTF-16 fits.
    std::string deep;
    for (int i = 0; i < 120; ++i) {
        deep += "\x93\xfa";  // 日
    }
    const std::string deepFile = deep + "\\a.txt";
    const std::string deepBackup = deep + "\\A\x2e\x90\xa2\x91\xe3";
    const BackupPlace cases[] = {
        {"", "readme", "README\x2e\x90\xa2\x91\xe3"},
        {"", "a.b.txt", "A\x2e\x90\xa2\x91\xe3"},
        {"my.dir", "my.dir\\a.txt", "MY.DIR\\A\x2e\x90\xa2\x91\xe3"},
        {"\x95\x5c", "\x95\x5c\\a.txt", "\x95\x5c\\A\x2e\x90\xa2\x91\xe3"},
        {deep.c_str(), deepFile.c_str(), deepBackup.c_str()},
    };
    for (const BackupPlace& c : cases) {
        SCOPED_TRACE(c.file);
        TempDirectory dir;
        if (c.folder[0] != '\0') {
            ASSERT_TRUE(CreateDirectoryA(dir.File(c.folder).c_str(), nullptr));
        }
        dir.Write(c.file, "old");
        HWND document = NamedDocument(dir.File(c.file), "new");
        DialogAnswers answers;
        EXPECT_EQ(Save(document), 0);
        EXPECT_EQ(dir.Read(c.file), "new");
        EXPECT_EQ(dir.Read(c.backup), "old");
        DeleteFileA(dir.File(c.file).c_str());
        DeleteFileA(dir.File(c.backup).c_str());
        if (c.folder[0] != '\0') {
            EXPECT_TRUE(RemoveDirectoryA(dir.File(c.folder).c_str())) << "a file was left in " << c.folder;
        }
    }
}

// Makes a file by its exact name from the Unix side, where Wine's own file
// functions would open any name that differs only in case; false elsewhere.
bool WriteByExactCase(const std::string& folder, const std::string& name, const std::string& bytes)
{
    using UnixName = char*(CDECL*)(const wchar_t*);
    using Spawn = NTSTATUS(CDECL*)(char* const*, int);
    const auto unixName = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    const auto spawn = reinterpret_cast<Spawn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "__wine_unix_spawnvp")));
    wchar_t wide[2 * MAX_PATH] = L"";
    if (unixName == nullptr || spawn == nullptr ||
        MultiByteToWideChar(CP_ACP, 0, folder.c_str(), -1, wide, 2 * MAX_PATH) == 0) {
        return false;
    }
    char* target = unixName(wide);
    if (target == nullptr) {
        return false;
    }
    std::string command = "printf %s '" + bytes + "' > '" + target + "/" + name + "'";
    HeapFree(GetProcessHeap(), 0, target);
    char shell[] = "/bin/sh";
    char option[] = "-c";
    char* argv[] = {shell, option, command.data(), nullptr};
    return spawn(argv, 1) == 0;
}

// Where the folder tells names apart by case, as a Unix one under Wine
// does, the file the user named is the one loaded and written back, however
// it was named: on the command line, in the open dialog, or by a drop.
TEST_F(FileSaving, TheFileIsLoadedAndSavedByTheNameAsGiven)
{
    const struct {
        const char* way;
        std::function<void(const std::string&)> open;
    } ways[] = {
        {"named", [](const std::string& path) { OpenDocument(path); }},
        {"chosen in the open dialog",
         [this](const std::string& path) {
             DialogAnswers answers;
             answers.Then([&](HWND dialog) {
                 SetDlgItemTextA(dialog, IDC_OPEN_NAME, path.c_str());
                 Notify(dialog, IDOK, BN_CLICKED);
             });
             Command(IDM_FILEOPEN);
         }},
        {"dropped",
         [this](const std::string& path) {
             SendMessageA(frame(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({path})), 0);
         }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.way);
        TempDirectory dir;
        dir.Write("memo.txt", "lower");
        if (!WriteByExactCase(dir.path(), "MEMO.TXT", "upper") || dir.Read("MEMO.TXT") != "upper" ||
            dir.Read("memo.txt") != "lower") {
            GTEST_SKIP() << "memo.txt and MEMO.TXT cannot lie side by side here";
        }
        way.open(dir.File("memo.txt"));
        HWND document = AppState.activeDocument;
        ASSERT_NE(document, nullptr);
        EXPECT_EQ(TitleOf(document), UpperCase(dir.File("memo.txt")));
        EXPECT_EQ(EditText(DocumentEdit(document)), "lower");
        TypeText(document, "new");
        DialogAnswers answers;
        EXPECT_EQ(Save(document), 0);
        EXPECT_EQ(dir.Read("memo.txt"), "new");
        EXPECT_EQ(dir.Read("MEMO.TXT"), "upper");
        SendMessageA(AppState.mdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(document), 0);
    }
}

TEST_F(FileSaving, SavingTheBackupFileItselfStillSaves)
{
    TempDirectory dir;
    const std::string name = std::string("a") + kBackupExtension;
    dir.Write(name, "old");
    HWND document = NamedDocument(dir.File(name), "new");
    DialogAnswers answers;
    EXPECT_EQ(Save(document), 0);
    EXPECT_TRUE(answers.Seen().empty());
    EXPECT_EQ(dir.Read(name), "new");
    EXPECT_EQ(Changed(document), 0);
}

TEST_F(FileSaving, AnEmptyDocumentWritesAnEmptyFileAndStillKeepsTheBackup)
{
    TempDirectory dir;
    dir.Write("old.txt", "old content\r\n");
    HWND document = NamedDocument(dir.File("old.txt"), "");
    SetDocumentData(document, DocumentWindow::changed, 1);
    EXPECT_EQ(Save(document), 0);
    EXPECT_TRUE(FileExists(dir.File("old.txt")));
    EXPECT_EQ(dir.Read("old.txt"), "");
    EXPECT_EQ(dir.Read(std::string("old") + kBackupExtension), "old content\r\n");
    EXPECT_EQ(Changed(document), 0);
}

// A target that can neither be opened nor created: message 3, nothing on
// disk touched, and the document keeps its text, its undo and its changed mark.
ImportPatch* createPatch = nullptr;

// Windows refuses CREATE_ALWAYS on an existing hidden or system file unless
// the same attributes are asked for (CreateFile's documentation); Wine does
// not, so the refusal is put in front of it.
HANDLE WINAPI CreateAsWindowsDoes(LPCSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                  DWORD disposition, DWORD flags, HANDLE model)
{
    const DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    const DWORD attributes = GetFileAttributesA(name);
    if (disposition == CREATE_ALWAYS && attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & kept & ~flags) != 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    return createPatch->original<decltype(&CreateFileA)>()(name, access, share, security, disposition, flags, model);
}

TEST_F(FileSaving, AHiddenOrSystemFileIsSavedOverAndKeepsItsAttributes)
{
    for (DWORD attribute : {FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM}) {
        SCOPED_TRACE(attribute);
        TempDirectory dir;
        dir.Write("secret.txt", "old\r\n");
        const std::string path = dir.File("secret.txt");
        SetFileAttributesA(path.c_str(), attribute);
        HWND document = NamedDocument(path, "new\r\n");
        ImportPatch patch("kernel32.dll", "CreateFileA", reinterpret_cast<void*>(CreateAsWindowsDoes));
        ASSERT_TRUE(patch.Patched());
        createPatch = &patch;
        DialogAnswers answers;
        EXPECT_EQ(Save(document), 0);
        EXPECT_TRUE(answers.Seen().empty());
        EXPECT_EQ(dir.Read("secret.txt"), "new\r\n");
        EXPECT_NE(GetFileAttributesA(path.c_str()) & attribute, 0u);
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        SetFileAttributesA(dir.File(std::string("secret") + kBackupExtension).c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

}  // namespace
