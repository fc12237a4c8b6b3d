// Nothing typed is lost: faults injected into loading and saving, each
// checked on the document (still holding its text, still marked changed
// where it was) and on the disk (the old content in the file or its backup).

#include "app/frame.h"
#include "document/document_data.h"
#include "document/oem_conversion.h"
#include "file/load_file.h"
#include "file/save_as_dialog.h"
#include "res/resource.h"
#include "search/search_engine.h"
#include "state/app_state.h"
#include "state/search_state.h"
#include "tests/win/file_support.h"
#include "tests/win/harness.h"
#include "tests/win/import_patch.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using NothingTypedIsLost = FrameTest;

// What the injected platform calls report about the file being loaded.
enum class ReadFault { failsHalfWay, shrank, grew, tooLargeForTheControl };

ReadFault fault;
ImportPatch* sizePatch = nullptr;
ImportPatch* readPatch = nullptr;

BOOL WINAPI FaultySize(HANDLE file, PLARGE_INTEGER size)
{
    const BOOL ok = sizePatch->original<decltype(&GetFileSizeEx)>()(file, size);
    switch (fault) {
    case ReadFault::shrank:
        size->QuadPart += 100;
        break;
    case ReadFault::grew:
        size->QuadPart -= 100;
        break;
    case ReadFault::tooLargeForTheControl:
        size->QuadPart = 0x80000000LL;
        break;
    case ReadFault::failsHalfWay:
        break;
    }
    return ok;
}

BOOL WINAPI FaultyRead(HANDLE file, LPVOID buffer, DWORD count, LPDWORD read, LPOVERLAPPED overlapped)
{
    auto original = readPatch->original<decltype(&ReadFile)>();
    if (fault != ReadFault::failsHalfWay || count < 2) {
        return original(file, buffer, count, read, overlapped);
    }
    original(file, buffer, count / 2, read, overlapped);
    SetLastError(ERROR_READ_FAULT);
    return FALSE;
}

struct LoadFaultCase {
    const char* what;
    ReadFault fault;
    std::string message;
};

const char kNoStorage[] = "のファイルの記憶域を取ることが出来ません。";

TEST_F(NothingTypedIsLost, AFileThatCannotBeReadWholeLoadsNothing)
{
    TempDirectory dir;
    const std::string bytes = std::string(4000, 'a') + "\x95\x5c\r\n";
    dir.Write("memo.txt", bytes);
    const std::string path = dir.File("memo.txt");
    const std::string title = UpperCase(path);
    const LoadFaultCase cases[] = {
        {"a read that fails part-way", ReadFault::failsHalfWay, "「" + title + "」 " + kCannotRead},
        {"shrank after its size was taken", ReadFault::shrank, "「" + title + "」 " + kCannotRead},
        {"grew after its size was taken", ReadFault::grew, "「" + title + "」 " + kCannotRead},
        {"larger than the edit control holds", ReadFault::tooLargeForTheControl, "「" + title + "」" + kNoStorage},
    };
    HWND document = AppState.activeDocument;
    HWND edit = DocumentEdit(document);
    SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("typed \x95\x5c"));
    ASSERT_EQ(GetDocumentData(document, DocumentWindow::changed), 1);

    ImportPatch size("kernel32.dll", "GetFileSizeEx", reinterpret_cast<void*>(FaultySize));
    ImportPatch read("kernel32.dll", "ReadFile", reinterpret_cast<void*>(FaultyRead));
    ASSERT_TRUE(size.Patched() && read.Patched());
    sizePatch = &size;
    readPatch = &read;
    for (const LoadFaultCase& c : cases) {
        SCOPED_TRACE(c.what);
        fault = c.fault;
        for (LoadMode mode : {LoadMode::NewDocument, LoadMode::Insert}) {
            DialogAnswers answers;
            answers.ThenPress(IDOK);
            std::vector<char> name(path.begin(), path.end());
            name.push_back('\0');
            if (mode == LoadMode::NewDocument) {
                EXPECT_EQ(CreateDocumentWindow(name.data()), nullptr);
            } else {
                EXPECT_EQ(LoadFile(document, title.c_str(), mode), 0);
            }
            PumpMessages();
            ASSERT_EQ(answers.Seen().size(), 1u);
            EXPECT_EQ(answers.Seen()[0].texts.front(), c.message);
            EXPECT_EQ(DocumentWindows(), std::vector<HWND>{document});
            EXPECT_EQ(EditText(edit), "typed \x95\x5c");
            EXPECT_EQ(GetDocumentData(document, DocumentWindow::changed), 1);
            EXPECT_EQ(dir.Read("memo.txt"), bytes);
        }
    }
    sizePatch = nullptr;
    readPatch = nullptr;
}

// The edit control refuses a text silently when it finds no room for its
// own copy: Wine's EM_SETHANDLE returns without taking the block, and its
// WM_SETTEXT keeps the old text. Injected here, for each way of handing
// the text over.
UINT refused = 0;
ImportPatch* sendPatch = nullptr;
ImportPatch* sendWidePatch = nullptr;

LRESULT WINAPI RefusingSend(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == refused) {
        return TRUE;
    }
    return sendPatch->original<decltype(&SendMessageA)>()(window, message, wParam, lParam);
}

LRESULT WINAPI RefusingSendWide(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == refused) {
        return TRUE;
    }
    return sendWidePatch->original<decltype(&SendMessageW)>()(window, message, wParam, lParam);
}

UINT WINAPI OemCodePage437()
{
    return 437;
}

const char kCannotSwitchWrap[] = "<文字列の折り返し> メモリ不足のため、折り返しモードを変更できません！";

TEST_F(NothingTypedIsLost, ATextTheControlRefusesIsReportedAndTheOldTextStays)
{
    TempDirectory dir;
    dir.Write("memo.txt", "file \x95\x5c\r\n");
    const std::string title = UpperCase(dir.File("memo.txt"));
    HWND document = AppState.activeDocument;
    const struct {
        const char* name;
        bool blockIsText;
        UINT refused;
    } handOvers[] = {{"lending the block", true, EM_SETHANDLE}, {"by text messages", false, WM_SETTEXT}};
    for (const auto& handOver : handOvers) {
        SCOPED_TRACE(handOver.name);
        AppState.editBlockIsItsText = handOver.blockIsText;
        TypeText(document, "typed \x95\x5c");
        HWND edit = DocumentEdit(document);
        {
            ImportPatch send("user32.dll", "SendMessageA", reinterpret_cast<void*>(RefusingSend));
            ImportPatch sendWide("user32.dll", "SendMessageW", reinterpret_cast<void*>(RefusingSendWide));
            ASSERT_TRUE(send.Patched() && sendWide.Patched());
            sendPatch = &send;
            sendWidePatch = &sendWide;
            refused = handOver.refused;
            {
                DialogAnswers answers;
                answers.ThenPress(IDOK);
                std::vector<char> name(title.begin(), title.end());
                name.push_back('\0');
                EXPECT_EQ(CreateDocumentWindow(name.data()), nullptr);
                PumpMessages();
                ASSERT_EQ(answers.Seen().size(), 1u);
                EXPECT_EQ(answers.Seen()[0].texts.front(), About(title, kCannotRead));
            }
            {
                DialogAnswers answers;
                answers.ThenPress(IDOK);
                SendMessageA(document, WM_COMMAND, IDM_OPTWRAP, 1);
                PumpMessages();
                ASSERT_EQ(answers.Seen().size(), 1u);
                EXPECT_EQ(answers.Seen()[0].texts.front(), kCannotSwitchWrap);
            }
            {
                // Replace All gives the rebuilt text by WM_SETTEXT with
                // either hand-over: a refusal is reported, not taken for a
                // replace-all done.
                refused = WM_SETTEXT;
                DialogAnswers answers;
                answers.ThenPress(IDOK);
                std::strcpy(SearchState.findText, "typed");
                std::strcpy(SearchState.replaceText, "x");
                EXPECT_FALSE(ReplaceAll());
                ASSERT_EQ(answers.Seen().size(), 1u);
                EXPECT_EQ(answers.Seen()[0].texts.front(), std::string("「文字変換」") + kNoStorage);
            }
            {
                // So does the OEM switch where the OEM code page is another.
                ImportPatch oem("kernel32.dll", "GetOEMCP", reinterpret_cast<void*>(OemCodePage437));
                ASSERT_TRUE(oem.Patched());
                DialogAnswers answers;
                answers.ThenPress(IDOK);
                EXPECT_EQ(ConvertToOem(), 0);
                ASSERT_EQ(answers.Seen().size(), 1u);
                EXPECT_EQ(answers.Seen()[0].texts.front(), std::string("「文字変換」") + kNoStorage);
            }
            refused = 0;
            sendPatch = nullptr;
            sendWidePatch = nullptr;
        }
        EXPECT_EQ(DocumentWindows(), std::vector<HWND>{document});
        EXPECT_EQ(DocumentEdit(document), edit);
        EXPECT_EQ(GetDocumentData(document, DocumentWindow::wrap), 1);
        EXPECT_EQ(EditText(edit), "typed \x95\x5c");
        EXPECT_EQ(Changed(document), 1);
        SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("!"));
        EXPECT_EQ(EditText(edit), "typed \x95\x5c!");
    }
}

// WM_GETTEXTLENGTH of an ANSI window may count more than the window holds
// of a double-byte text, as Windows allows for; injected here, where the
// text is given by messages, as it is on code pages 936, 949 and 950.
ImportPatch* lengthPatch = nullptr;

LRESULT WINAPI OvercountingSend(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const LRESULT answer = lengthPatch->original<decltype(&SendMessageW)>()(window, message, wParam, lParam);
    return message == WM_GETTEXTLENGTH ? answer * 2 : answer;
}

TEST_F(NothingTypedIsLost, ALengthThatCountsMoreThanTheControlHoldsRefusesNoText)
{
    AppState.editBlockIsItsText = false;
    TempDirectory dir;
    const std::string text = "\x95\x5c\x8e\xa6 double-byte\r\n";
    dir.Write("memo.txt", text);
    DialogAnswers answers;
    ImportPatch send("user32.dll", "SendMessageW", reinterpret_cast<void*>(OvercountingSend));
    lengthPatch = &send;
    HWND document = OpenDocument(dir.File("memo.txt"));
    ASSERT_NE(document, nullptr);
    SendMessageA(document, WM_COMMAND, IDM_OPTWRAP, 1);
    EXPECT_TRUE(answers.Seen().empty());
    EXPECT_EQ(GetDocumentData(document, DocumentWindow::wrap), 0);
    EXPECT_EQ(EditText(DocumentEdit(document)), text);
}

TEST_F(NothingTypedIsLost, AFileThatCannotBeOpenedLeavesNoDocument)
{
    TempDirectory dir;
    CreateDirectoryA(dir.File("folder").c_str(), nullptr);
    dir.Write("held.txt", "held\r\n");
    {
        // A file another program keeps open without sharing cannot be read.
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

TEST_F(NothingTypedIsLost, AFileThatCannotBeOpenedIsNotInserted)
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

// Why a target cannot be written, and whether the platform here can make it so.
enum class Obstacle { readOnlyFile, heldOpen, missingFolder };

struct UnwritableCase {
    const char* what;
    const char* file;
    Obstacle obstacle;
    bool closing;  // saved by Yes to the close question, not by the command
};

// Puts the obstacle in place; false when this platform cannot (a root
// wineserver writes read-only files).
bool PutObstacle(const TempDirectory& dir, const UnwritableCase& c, std::unique_ptr<HeldByAnotherProcess>& held)
{
    if (c.obstacle == Obstacle::missingFolder) {
        return true;
    }
    dir.Write(c.file, "old");
    const std::string path = dir.File(c.file);
    if (c.obstacle == Obstacle::heldOpen) {
        held = std::make_unique<HeldByAnotherProcess>(path);
        return held->Holding();
    }
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    HANDLE probe = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (probe != INVALID_HANDLE_VALUE) {
        CloseHandle(probe);
        return false;
    }
    return true;
}

TEST_F(NothingTypedIsLost, AnUnwritableTargetIsReportedAndTheTextStays)
{
    const UnwritableCase cases[] = {
        {"read-only file", "locked.txt", Obstacle::readOnlyFile, false},
        {"held open by another program", "held.txt", Obstacle::heldOpen, false},
        {"missing folder", "nowhere\\a.txt", Obstacle::missingFolder, false},
        {"read-only file, on closing", "locked.txt", Obstacle::readOnlyFile, true},
        {"held open, on closing", "held.txt", Obstacle::heldOpen, true},
        {"missing folder, on closing", "nowhere\\a.txt", Obstacle::missingFolder, true},
    };
    std::string unsupported;
    for (const UnwritableCase& c : cases) {
        SCOPED_TRACE(c.what);
        TempDirectory dir;
        std::unique_ptr<HeldByAnotherProcess> held;
        if (!PutObstacle(dir, c, held)) {
            unsupported += std::string(" ") + c.what + ";";
            continue;
        }
        const std::string path = dir.File(c.file);
        HWND document = NamedDocument(path, "precious");
        DialogAnswers answers;
        if (c.closing) {
            answers.ThenPress(IDYES);
            answers.ThenPress(IDOK);
            SendMessageA(document, WM_CLOSE, 0, 0);
            PumpMessages();
        } else {
            answers.ThenPress(IDOK);
            EXPECT_EQ(Save(document), 1);
        }
        ASSERT_EQ(answers.Seen().size(), c.closing ? 2u : 1u);
        ExpectReport(answers.Seen().back(), About(UpperCase(path), kCannotCreate));
        ASSERT_EQ(DocumentWindows(), std::vector<HWND>{document});
        EXPECT_EQ(Changed(document), 1);
        EXPECT_EQ(EditText(DocumentEdit(document)), "precious");
        EXPECT_TRUE(SendMessageA(DocumentEdit(document), EM_CANUNDO, 0, 0));
        held.reset();
        if (c.obstacle == Obstacle::missingFolder) {
            EXPECT_TRUE(FileNames(dir.path()).empty());
        } else {
            EXPECT_EQ(dir.Read(c.file), "old");
            EXPECT_EQ(FileNames(dir.path()), std::vector<std::string>{UpperCase(c.file)}) << "no backup";
        }
    }
    if (!unsupported.empty()) {
        GTEST_SKIP() << "Wine keeps the read-only attribute as Unix permission bits, which a root wineserver "
                        "does not obey; not run:"
                     << unsupported;
    }
}

// The save-as dialog takes a name whose file another program holds open:
// the write fails, and the document keeps its text, its title and its marks.
TEST_F(NothingTypedIsLost, ASaveAsTargetHeldByAnotherProgramKeepsTheDocumentAsItWas)
{
    TempDirectory dir;
    CurrentFolder here(dir.path());
    dir.Write("held.txt", "held");
    auto held = std::make_unique<HeldByAnotherProcess>(dir.File("held.txt"));
    ASSERT_TRUE(held->Holding());
    HWND document = AppState.activeDocument;
    SendMessageA(DocumentEdit(document), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("\x95\x5c typed"));
    DialogAnswers answers;
    answers.Then([](HWND dialog) {
        SetDlgItemTextA(dialog, IDC_SAVEAS_NAME, "held.txt");
        PressButton(dialog, IDOK);
    });
    answers.ThenPress(IDYES);  // the file exists: overwrite?
    answers.ThenPress(IDOK);   // it cannot be created
    SendMessageA(frame(), WM_COMMAND, IDM_FILESAVEAS, 0);
    PumpMessages();
    EXPECT_EQ(answers.Pending(), 0u);
    ASSERT_EQ(answers.Seen().size(), 3u);
    ExpectReport(answers.Seen()[2], About(UpperCase(dir.File("held.txt")), kCannotCreate));
    EXPECT_EQ(TitleOf(document), "書簡1");
    EXPECT_EQ(GetDocumentData(document, DocumentWindow::untitled), 1);
    EXPECT_EQ(Changed(document), 1);
    EXPECT_EQ(EditText(DocumentEdit(document)), "\x95\x5c typed");
    held.reset();
    EXPECT_EQ(dir.Read("held.txt"), "held");
}

// Where no new file can be made beside the document (a read-only folder),
// no backup can be made either, so the old file is not rewritten; where only
// the backup copy fails, the new text still replaces the old file whole.
UINT WINAPI NoNewFile(LPCWSTR, LPCWSTR, UINT, LPWSTR)
{
    SetLastError(ERROR_ACCESS_DENIED);
    return 0;
}

BOOL WINAPI NoCopy(LPCSTR, LPCSTR, BOOL)
{
    SetLastError(ERROR_DISK_FULL);
    return FALSE;
}

TEST_F(NothingTypedIsLost, ABackupThatCannotBeWrittenLeavesTheOldFileOrItsBackup)
{
    struct Case {
        const char* what;
        const char* function;
        void* replacement;
        bool saved;
    };
    const Case cases[] = {
        {"no new file in the folder", "GetTempFileNameW", reinterpret_cast<void*>(NoNewFile), false},
        {"the backup copy fails", "CopyFileA", reinterpret_cast<void*>(NoCopy), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDirectory dir;
        dir.Write("memo.txt", "old\r\n");
        dir.Write(std::string("memo") + kBackupExtension, "generation before\r\n");
        HWND document = NamedDocument(dir.File("memo.txt"), "new \x95\x5c\r\n");
        DialogAnswers answers;
        answers.ThenPress(IDOK);
        {
            ImportPatch patch("kernel32.dll", c.function, c.replacement);
            ASSERT_TRUE(patch.Patched());
            EXPECT_EQ(Save(document), c.saved ? 0 : 1);
        }
        EXPECT_EQ(answers.Seen().size(), c.saved ? 0u : 1u);
        if (!c.saved) {
            ExpectReport(answers.Seen()[0], About(UpperCase(dir.File("memo.txt")), kCannotWrite));
        }
        EXPECT_EQ(Changed(document), c.saved ? 0 : 1);
        EXPECT_EQ(EditText(DocumentEdit(document)), "new \x95\x5c\r\n");
        EXPECT_EQ(dir.Read("memo.txt"), c.saved ? "new \x95\x5c\r\n" : "old\r\n");
        EXPECT_EQ(dir.Read(std::string("memo") + kBackupExtension), "generation before\r\n");
        EXPECT_EQ(FileNames(dir.path()).size(), 2u) << "no temporary file is left";
    }
}

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

// Typed text can still be undone after the failed save; a replace-all
// leaves nothing to undo.
void ExpectFailedSaveKeepsTheDocument(HWND document, const std::string& path, const std::string& text,
                                      bool typed = true)
{
    DialogAnswers answers;
    answers.ThenPress(IDOK);
    EXPECT_EQ(Save(document), 1);
    ASSERT_EQ(answers.Seen().size(), 1u);
    ExpectReport(answers.Seen()[0], About(UpperCase(path), kCannotWrite));
    EXPECT_EQ(Changed(document), 1);
    EXPECT_EQ(EditText(DocumentEdit(document)), text);
    EXPECT_EQ(SendMessageA(DocumentEdit(document), EM_CANUNDO, 0, 0) != 0, typed);
}

// The old file and its backup fit on the small file system, the new text
// does not: the write fails part-way, and the old text is in the backup.
TEST_F(NothingTypedIsLost, AWriteThatRunsOutOfSpaceKeepsTheOldContentInTheBackup)
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
TEST_F(NothingTypedIsLost, WithoutRoomForTheBackupTheOldFileAndTheOldBackupSurvive)
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
TEST_F(NothingTypedIsLost, WithoutRoomForTheBackupASmallerTextIsStillSaved)
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

// Replace-all makes the text larger than the small file system holds; the
// save that follows fails, and the old text stays in the file's backup.
TEST_F(NothingTypedIsLost, TheDiskFillingAfterAReplaceAllKeepsTheOldTextAndTheNew)
{
    SmallDirectory dir;
    if (!dir.Ready()) {
        GTEST_SKIP() << "MOKURE_SMALL_FS names no directory on a small file system";
    }
    const std::string path = dir.File("big.txt");
    const std::string old = TextOfSize(dir.Free() / 4);
    WriteWhole(path, old);
    HWND document = OpenDocument(path);
    ASSERT_NE(document, nullptr);
    std::strcpy(SearchState.findText, "line");
    const std::string longer = std::string(146, '-') + "\x95\x5c";
    std::strcpy(SearchState.replaceText, longer.c_str());
    ASSERT_TRUE(ReplaceAll());
    PumpMessages();
    const std::string replaced = EditText(DocumentEdit(document));
    ASSERT_GT(replaced.size(), old.size() * 3) << "the new text must not fit beside the backup";
    ExpectFailedSaveKeepsTheDocument(document, path, replaced, false);
    const std::string inFile = ReadWhole(path);
    const std::string inBackup = ReadWhole(dir.File(std::string("big") + kBackupExtension));
    EXPECT_TRUE(inFile == old || inBackup == old) << "the old text is in neither the file nor its backup";
    SearchState = SearchStateRecord();
}

}  // namespace
