// Nothing typed is lost: faults injected into loading and saving, each
// checked on the document (still holding its text, still marked changed
// where it was) and on the disk (the old content in the file or its backup).

#include "app/app_state.h"
#include "app/frame.h"
#include "document/document_window.h"
#include "file/load_file.h"
#include "tests/win/harness.h"
#include "tests/win/import_patch.h"

#include <string>
#include <vector>

namespace {

using NothingTypedIsLost = FrameTest;

std::string TextOf(HWND edit)
{
    const LRESULT length = SendMessageA(edit, WM_GETTEXTLENGTH, 0, 0);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const LRESULT got = SendMessageA(edit, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(got));
    return text;
}

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

const char kCannotRead[] = "ファイルを読み込めません。";
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
            EXPECT_EQ(TextOf(edit), "typed \x95\x5c");
            EXPECT_EQ(GetDocumentData(document, DocumentWindow::changed), 1);
            EXPECT_EQ(dir.Read("memo.txt"), bytes);
        }
    }
    sizePatch = nullptr;
    readPatch = nullptr;
}

}  // namespace
