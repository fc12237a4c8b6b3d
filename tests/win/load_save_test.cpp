// Loading files into documents and saving them back, with real files, the
// real edit control and the program's own message boxes; failures are
// provoked on the file system to show that no text is lost.

#include "app/app_state.h"
#include "app/frame.h"
#include "document/document_window.h"
#include "file/load_file.h"
#include "res/resource.h"
#include "tests/win/harness.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

using FileLoading = FrameTest;
using FileInsert = FrameTest;
using FileSaving = FrameTest;
using SaveFailure = FrameTest;

const char kQuestion[] = "この「モクレ」で使用出来る為に\r改行記号を変換して宜しいですか";
const char kBackupExtension[] = ".世代";

std::string EditText(HWND edit)
{
    const LRESULT length = SendMessageA(edit, WM_GETTEXTLENGTH, 0, 0);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const LRESULT got = SendMessageA(edit, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(got));
    return text;
}

LONG_PTR Changed(HWND document)
{
    return GetDocumentData(document, DocumentWindow::changed);
}

// Opens the file as the open command and drops do; the name is upper-cased
// on the way, as the caller's buffer is.
HWND OpenDocument(const std::string& path)
{
    std::vector<char> name(path.begin(), path.end());
    name.push_back('\0');
    return CreateDocumentWindow(name.data());
}

// Replaces the whole text as typing does: undoable, and reported as a change.
void TypeText(HWND document, const std::string& text)
{
    HWND edit = DocumentEdit(document);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

// The first document, named path as if opened from it, holding text.
HWND NamedDocument(const std::string& path, const std::string& text)
{
    HWND document = AppState.activeDocument;
    SetWindowTextA(document, UpperCase(path).c_str());
    SetDocumentData(document, DocumentWindow::untitled, 0);
    TypeText(document, text);
    return document;
}

LRESULT Save(HWND document)
{
    return SendMessageA(document, WM_COMMAND, IDM_FILESAVE, 0);
}

// The report of a failure with a file, as the program formats it.
std::string About(const std::string& path, const char* failure)
{
    return "「" + path + "」 " + failure;
}

const char kCannotOpen[] = "ファイルを取り出すことができません。";
const char kCannotCreate[] = "ファイルを作成できません。";
const char kCannotWrite[] = "ファイルに書き込めません。";

// A failure report: caption, the one message, and only the OK button.
void ExpectReport(const SeenDialog& seen, const std::string& message)
{
    EXPECT_EQ(seen.caption, "モクレ");
    EXPECT_EQ(seen.texts, (std::vector<std::string>{message, "了解(&ﾘ)"}));
}

void ExpectLineEndQuestion(const SeenDialog& seen)
{
    EXPECT_EQ(seen.caption, "モクレ");
    EXPECT_EQ(seen.texts, (std::vector<std::string>{kQuestion, "はい(&ﾊ)", "いいえ(&ｲ)", "取消(&ﾄ)"}));
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> FileNames(const std::string& directory)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((directory + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
                names.push_back(UpperCase(found.cFileName));
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    return names;
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
        {"NUL in the middle ends the text", std::string("ab\0c\nd", 6), "ab"},
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

bool RunningUnderWine()
{
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
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

// The cursor shown at the moment the edit control is handed the text.
HCURSOR cursorAtHandOver = nullptr;

LRESULT CALLBACK NoteCursorAtHandOver(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == EM_SETHANDLE) {
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

TEST_F(FileLoading, AFileThatCannotBeOpenedIsReportedAndLeavesNoDocument)
{
    TempDirectory dir;
    CreateDirectoryA(dir.File("folder").c_str(), nullptr);
    dir.Write("held.txt", "held\r\n");
    {
        // Loading asks for the file without sharing, so a file another
        // program keeps open cannot be loaded.
        HeldByAnotherProcess held(dir.File("held.txt"));
        ASSERT_TRUE(held.Holding());
        for (const char* name : {"missing.txt", "folder", "held.txt"}) {
            SCOPED_TRACE(name);
            const std::string path = dir.File(name);
            DialogAnswers answers;
            answers.ThenPress(IDOK);
            EXPECT_EQ(OpenDocument(path), nullptr);
            PumpMessages();
            ASSERT_EQ(answers.Seen().size(), 1u);
            ExpectReport(answers.Seen()[0], About(UpperCase(path), kCannotOpen));
            EXPECT_EQ(DocumentTitles(), std::vector<std::string>{"書簡1"});
        }
    }
    EXPECT_EQ(dir.Read("held.txt"), "held\r\n");
    RemoveDirectoryA(dir.File("folder").c_str());
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

TEST_F(FileInsert, AFileThatCannotBeOpenedChangesNothing)
{
    TempDirectory dir;
    HWND document = AppState.activeDocument;
    SendMessageA(DocumentEdit(document), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("kept"));
    SetDocumentData(document, DocumentWindow::changed, 0);
    DialogAnswers answers;
    answers.ThenPress(IDOK);
    EXPECT_EQ(LoadFile(document, dir.File("missing.txt").c_str(), LoadMode::Insert), 0);
    ASSERT_EQ(answers.Seen().size(), 1u);
    ExpectReport(answers.Seen()[0], About(dir.File("missing.txt"), kCannotOpen));
    EXPECT_EQ(EditText(DocumentEdit(document)), "kept");
    EXPECT_EQ(Changed(document), 0);
    EXPECT_EQ(DocumentTitles(), std::vector<std::string>{"書簡1"});
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
    const BackupPlace cases[] = {
        {"", "readme", "README\x2e\x90\xa2\x91\xe3"},
        {"", "a.b.txt", "A\x2e\x90\xa2\x91\xe3"},
        {"my.dir", "my.dir\\a.txt", "MY.DIR\\A\x2e\x90\xa2\x91\xe3"},
        {"\x95\x5c", "\x95\x5c\\a.txt", "\x95\x5c\\A\x2e\x90\xa2\x91\xe3"},
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
enum class Obstacle { readOnly, heldOpen, missingDirectory };

struct Unwritable {
    const char* what;
    const char* file;
    Obstacle obstacle;
};

void PrintTo(const Unwritable& c, std::ostream* out)
{
    *out << c.what;
}

class UnwritableTarget : public FrameTest, public ::testing::WithParamInterface<Unwritable> {
protected:
    // False when a read-only file can still be written here (skipped).
    bool Prepare()
    {
        const Unwritable& c = GetParam();
        if (c.obstacle == Obstacle::missingDirectory) {
            return true;
        }
        dir_.Write(c.file, "old");
        const std::string path = dir_.File(c.file);
        if (c.obstacle == Obstacle::heldOpen) {
            held_ = std::make_unique<HeldByAnotherProcess>(path);
            EXPECT_TRUE(held_->Holding());
            return true;
        }
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
        HANDLE probe = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (probe != INVALID_HANDLE_VALUE) {
            CloseHandle(probe);
            return false;
        }
        return true;
    }

    void ExpectUntouched()
    {
        const Unwritable& c = GetParam();
        held_.reset();
        if (c.obstacle == Obstacle::missingDirectory) {
            EXPECT_FALSE(FileExists(dir_.File("nowhere")));
            EXPECT_TRUE(FileNames(dir_.path()).empty());
        } else {
            EXPECT_EQ(dir_.Read(c.file), "old");
            EXPECT_EQ(FileNames(dir_.path()), std::vector<std::string>{UpperCase(c.file)}) << "no backup";
        }
    }

    std::string Path() const { return dir_.File(GetParam().file); }

private:
    TempDirectory dir_;
    std::unique_ptr<HeldByAnotherProcess> held_;
};

constexpr const char* kRootIgnoresReadOnly =
    "Wine keeps the read-only attribute as Unix permission bits, which a root wineserver does not obey";

TEST_P(UnwritableTarget, IsReportedAndNothingIsLost)
{
    if (!Prepare()) {
        GTEST_SKIP() << kRootIgnoresReadOnly;
    }
    HWND document = NamedDocument(Path(), "precious");
    DialogAnswers answers;
    answers.ThenPress(IDOK);
    EXPECT_EQ(Save(document), 1);
    ASSERT_EQ(answers.Seen().size(), 1u);
    ExpectReport(answers.Seen()[0], About(UpperCase(Path()), kCannotCreate));
    EXPECT_EQ(Changed(document), 1);
    EXPECT_EQ(EditText(DocumentEdit(document)), "precious");
    EXPECT_TRUE(SendMessageA(DocumentEdit(document), EM_CANUNDO, 0, 0));
    ExpectUntouched();
}

TEST_P(UnwritableTarget, KeepsTheWindowOpenWhenTheCloseQuestionAskedForTheSave)
{
    if (!Prepare()) {
        GTEST_SKIP() << kRootIgnoresReadOnly;
    }
    HWND document = NamedDocument(Path(), "precious");
    DialogAnswers answers;
    answers.ThenPress(IDYES);
    answers.ThenPress(IDOK);
    SendMessageA(document, WM_CLOSE, 0, 0);
    PumpMessages();
    ASSERT_EQ(answers.Seen().size(), 2u);
    ExpectReport(answers.Seen()[1], About(UpperCase(Path()), kCannotCreate));
    ASSERT_TRUE(IsWindow(document));
    EXPECT_EQ(DocumentWindows(), std::vector<HWND>{document});
    EXPECT_EQ(Changed(document), 1);
    EXPECT_EQ(EditText(DocumentEdit(document)), "precious");
    ExpectUntouched();
}

INSTANTIATE_TEST_SUITE_P(SaveFailure, UnwritableTarget,
                         ::testing::Values(Unwritable{"ReadOnlyFile", "locked.txt", Obstacle::readOnly},
                                           Unwritable{"HeldOpen", "held.txt", Obstacle::heldOpen},
                                           Unwritable{"MissingDirectory", "nowhere\\a.txt",
                                                      Obstacle::missingDirectory}),
                         [](const ::testing::TestParamInfo<Unwritable>& info) { return info.param.what; });

// A fresh directory on a small file system, named (as a Windows path) by
// MOKURE_SMALL_FS; removed with everything in it at the end. Empty when
// there is none, and then the test skips.
class SmallDirectory {
public:
    SmallDirectory()
    {
        const char* place = std::getenv("MOKURE_SMALL_FS");
        if (place == nullptr || *place == '\0') {
            return;
        }
        ULARGE_INTEGER total;
        ULARGE_INTEGER available;
        if (!GetDiskFreeSpaceExA(place, &available, &total, nullptr) || available.QuadPart >= 1024u * 1024u) {
            return;
        }
        path_ = std::string(place) + "\\full-" + std::to_string(GetCurrentProcessId());
        if (path_.find('.') != std::string::npos || !CreateDirectoryA(path_.c_str(), nullptr)) {
            path_.clear();
        }
    }
    ~SmallDirectory()
    {
        for (const std::string& name : {File("big.txt"), File(std::string("big") + kBackupExtension)}) {
            DeleteFileA(name.c_str());
        }
        RemoveDirectoryA(path_.c_str());
    }
    bool Ready() const { return !path_.empty(); }
    std::string File(const std::string& name) const { return path_ + "\\" + name; }
    ULONGLONG Free() const
    {
        ULARGE_INTEGER total;
        ULARGE_INTEGER available;
        GetDiskFreeSpaceExA(path_.c_str(), &available, &total, nullptr);
        return available.QuadPart;
    }

private:
    std::string path_;
};

void WriteWhole(const std::string& path, const std::string& bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    ASSERT_EQ(written, bytes.size());
}

std::string ReadWhole(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return "(missing)";
    }
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

std::string TextOfSize(ULONGLONG bytes)
{
    std::string text;
    while (text.size() < bytes) {
        text += "\x95\x5c\x8e\xa6 line of text that fills the small file system\r\n";
    }
    return text;
}

void ExpectFailedSaveKeepsTheDocument(HWND document, const std::string& path, const std::string& text)
{
    DialogAnswers answers;
    answers.ThenPress(IDOK);
    EXPECT_EQ(Save(document), 1);
    ASSERT_EQ(answers.Seen().size(), 1u);
    ExpectReport(answers.Seen()[0], About(UpperCase(path), kCannotWrite));
    EXPECT_EQ(Changed(document), 1);
    EXPECT_EQ(EditText(DocumentEdit(document)), text);
    EXPECT_TRUE(SendMessageA(DocumentEdit(document), EM_CANUNDO, 0, 0));
}

// The old file and its backup fit on the small file system, the new text
// does not: the write fails part-way, and the old text is in the backup.
TEST_F(SaveFailure, AWriteThatRunsOutOfSpaceKeepsTheOldContentInTheBackup)
{
    SmallDirectory dir;
    if (!dir.Ready()) {
        GTEST_SKIP() << "MOKURE_SMALL_FS names no directory on a small file system";
    }
    const std::string path = dir.File("big.txt");
    WriteWhole(path, "old\r\n");
    const std::string text = TextOfSize(dir.Free() + 4096);
    ExpectFailedSaveKeepsTheDocument(NamedDocument(path, text), path, text);
    EXPECT_EQ(ReadWhole(dir.File(std::string("big") + kBackupExtension)), "old\r\n");
}

// The old file is too big to be copied beside itself: no backup can be
// made, so the old file must survive the failed save whole, and so must the
// backup of the save before.
TEST_F(SaveFailure, WithoutRoomForTheBackupTheOldFileAndTheOldBackupSurvive)
{
    SmallDirectory dir;
    if (!dir.Ready()) {
        GTEST_SKIP() << "MOKURE_SMALL_FS names no directory on a small file system";
    }
    const std::string path = dir.File("big.txt");
    const std::string backup = dir.File(std::string("big") + kBackupExtension);
    WriteWhole(backup, "generation before\r\n");
    const std::string old = TextOfSize(dir.Free() * 6 / 10);
    WriteWhole(path, old);
    const std::string text = TextOfSize(old.size() + 8192);
    ExpectFailedSaveKeepsTheDocument(NamedDocument(path, text), path, text);
    EXPECT_EQ(ReadWhole(path), old);
    EXPECT_EQ(ReadWhole(backup), "generation before\r\n");
}

// Without room for a backup, a new text that fits still replaces the file.
TEST_F(SaveFailure, WithoutRoomForTheBackupASmallerTextIsStillSaved)
{
    SmallDirectory dir;
    if (!dir.Ready()) {
        GTEST_SKIP() << "MOKURE_SMALL_FS names no directory on a small file system";
    }
    const std::string path = dir.File("big.txt");
    const std::string old = TextOfSize(dir.Free() * 6 / 10);
    WriteWhole(path, old);
    HWND document = NamedDocument(path, "short\r\n");
    EXPECT_EQ(Save(document), 0);
    EXPECT_EQ(Changed(document), 0);
    EXPECT_EQ(ReadWhole(path), "short\r\n");
}

}  // namespace
