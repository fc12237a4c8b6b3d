// Recovery copies: a changed document's copy appears once the document is
// left alone and goes when it is saved or let go; the end of a session and
// a failing program leave copies, which the next start takes back; a
// running program's copies are left alone and a damaged one is refused.

#include "app/frame.h"
#include "document/copy_files.h"
#include "document/document_data.h"
#include "document/recovery.h"
#include "res/resource.h"
#include "state/app_state.h"
#include "tests/win/file_support.h"
#include "tests/win/harness.h"
#include "tests/win/import_patch.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

const char kTyped[] = "typed \x95\x5c";
const char kLocal[] = "ローカル データ.d";
const char kCopies[] = "ローカル データ.d\\モクレ\\復元\\";

// The program keeps its copies under a LOCALAPPDATA of the test's own,
// whose path holds spaces, dots and Japanese; a failing program run by a
// test keeps them in its parent's.
class RecoveryCopies : public FrameTest {
protected:
    void SetUp() override
    {
        local_ = Environment("MOKURE_TEST_LOCALAPPDATA");
        if (local_.empty()) {
            dir_ = std::make_unique<TempDirectory>();
            local_ = dir_->File(kLocal);
            CreateDirectoryA(local_.c_str(), nullptr);
        }
        SetEnvironmentVariableA("LOCALAPPDATA", local_.c_str());
    }
    void TearDown() override { Stop(); }

    // The program's start: copies kept, the frame made, left copies offered.
    void Start()
    {
        ASSERT_TRUE(StartRecovery());
        FrameTest::SetUp();
    }
    void Stop()
    {
        FrameTest::TearDown();
        EndRecovery();
    }
    std::string Folder() const { return local_ + "\\モクレ\\復元"; }
    std::wstring WideFolder() const { return WideName(Folder()); }
    std::vector<CopyFileEntry> Copies() const { return ListCopyFiles(WideFolder()); }
    ReadCopy Read(const CopyFileEntry& entry) const { return ReadCopyFile(WideFolder() + L"\\" + entry.name); }
    // A copy as a program that ran before left it.
    void Leave(const std::string& fileName, const std::string& bytes) const
    {
        dir_->MakeFolder(std::string(kLocal) + "\\モクレ");
        dir_->MakeFolder(std::string(kLocal) + "\\モクレ\\復元");
        dir_->Write(kCopies + fileName, bytes);
    }
    void Leave(const std::string& fileName, const CopiedDocument& document, const std::string& text) const
    {
        Leave(fileName, MakeCopyFile(document, text));
    }
    std::vector<std::string> FilesLeft() const { return FileNames(Folder()); }
    void EmptyFolder() const
    {
        for (const std::string& name : FileNames(Folder())) {
            DeleteFileA((Folder() + "\\" + name).c_str());
        }
    }

    std::unique_ptr<TempDirectory> dir_;
    std::string local_;
};

// Pumps messages until the condition holds, for at most twenty seconds.
bool WaitFor(const std::function<bool()>& condition)
{
    const ULONGLONG deadline = GetTickCount64() + 20000;
    while (!condition()) {
        if (GetTickCount64() > deadline) {
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        PumpMessages();
    }
    return true;
}

// The control's text in the form a copy holds it.
std::string ControlText(HWND edit, CopyTextForm form)
{
    if (form == CopyTextForm::CodePage932) {
        return EditText(edit);
    }
    const std::wstring text = ShownText(edit);
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

std::string Utf16(const std::u16string& text)
{
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2);
}

void ExpectCopyOf(const ReadCopy& copy, HWND document, const CopiedDocument& expected)
{
    ASSERT_TRUE(copy.opened);
    ASSERT_EQ(copy.fault, CopyFault::none);
    EXPECT_EQ(copy.document.name, expected.name);
    EXPECT_EQ(copy.document.untitled, expected.untitled);
    EXPECT_EQ(copy.document.encoding, expected.encoding);
    EXPECT_EQ(copy.document.form, expected.form);
    EXPECT_EQ(copy.bytes.substr(copy.textOffset), ControlText(DocumentEdit(document), copy.document.form));
}

TEST_F(RecoveryCopies, ACopyAppearsOnceTheDocumentIsLeftAloneAndGoesWhenSavedOrLetGo)
{
    Start();
    dir_->Write("メモ 1.txt", "\xEF\xBB\xBF" "UTF-8 \xE4\xBB\x8A\r\n");
    const std::string path = dir_->File("メモ 1.txt");
    // Where the control's block is its text (Windows), the copy keeps its
    // code page 932 bytes; where it holds UTF-16 (Wine), its UTF-16.
    const struct {
        const char* what;
        bool named;
        bool blockIsText;
        std::function<void(HWND)> end;
    } cases[] = {
        {"saved", true, false, [](HWND document) { EXPECT_EQ(Save(document), 0); }},
        {"closed without saving", false, true,
         [](HWND document) {
             DialogAnswers answers;
             answers.ThenPress(IDNO);
             SendMessageA(document, WM_CLOSE, 0, 0);
             PumpMessages();
             EXPECT_EQ(answers.Seen().size(), 1u);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        AppState.editBlockIsItsText = c.blockIsText;
        HWND document = nullptr;
        if (c.named) {
            DialogAnswers answers;
            answers.ThenPress(IDYES);
            document = OpenDocument(path);
        } else {
            Command(IDM_FILENEW);
            document = AppState.activeDocument;
        }
        ASSERT_NE(document, nullptr);
        TypeText(document, kTyped);
        EXPECT_TRUE(Copies().empty()) << "a copy before the document was left alone";
        ASSERT_TRUE(WaitFor([this] { return Copies().size() == 1; })) << "no copy appeared";
        ExpectCopyOf(Read(Copies()[0]), document,
                     {c.named ? TextEncoding::Utf8Marked : TextEncoding::ShiftJis, !c.named, false,
                      c.blockIsText ? CopyTextForm::CodePage932 : CopyTextForm::Utf16Le,
                      c.named ? path : TitleOf(document)});
        c.end(document);
        EXPECT_TRUE(WaitFor([this] { return Copies().empty(); })) << "the copy stayed";
    }
}

int blockReasons = 0;
ImportPatch* reasonPatch = nullptr;
ImportPatch* reasonGonePatch = nullptr;

BOOL WINAPI CountedReasonCreate(HWND window, LPCWSTR reason)
{
    ++blockReasons;
    EXPECT_STREQ(reason, L"保管されていない文書があります。");
    return reasonPatch->original<decltype(&ShutdownBlockReasonCreate)>()(window, reason);
}

BOOL WINAPI CountedReasonDestroy(HWND window)
{
    --blockReasons;
    return reasonGonePatch->original<decltype(&ShutdownBlockReasonDestroy)>()(window);
}

TEST_F(RecoveryCopies, TheSessionsEndLeavesCopiesUnlessTheUserLetTheDocumentsGo)
{
    const struct {
        const char* what;
        bool queried;
        LPARAM how;
        int answer;  // to the save question; 0 when none is asked
        LRESULT agreed;
        std::size_t documentsLeft;
        std::size_t copiesKept;
    } cases[] = {
        {"critical", true, ENDSESSION_CRITICAL, 0, TRUE, 1, 1},
        {"restart manager", true, ENDSESSION_CLOSEAPP, 0, TRUE, 1, 1},
        {"ended without a query", false, ENDSESSION_CRITICAL, 0, TRUE, 1, 1},
        {"log-off, not saved", true, ENDSESSION_LOGOFF, IDNO, TRUE, 0, 0},
        {"shut-down cancelled", true, 0, IDCANCEL, FALSE, 1, 0},
    };
    ImportPatch create("user32.dll", "ShutdownBlockReasonCreate", reinterpret_cast<void*>(CountedReasonCreate));
    ImportPatch destroy("user32.dll", "ShutdownBlockReasonDestroy", reinterpret_cast<void*>(CountedReasonDestroy));
    ASSERT_TRUE(create.Patched() && destroy.Patched());
    reasonPatch = &create;
    reasonGonePatch = &destroy;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Start();
        HWND document = AppState.activeDocument;
        TypeText(document, kTyped);
        if (c.queried) {
            DialogAnswers answers;
            int reasonsWhileAsking = -1;
            if (c.answer != 0) {
                answers.Then([&](HWND box) {
                    reasonsWhileAsking = blockReasons;
                    PressButton(box, c.answer);
                });
            }
            EXPECT_EQ(SendMessageA(frame(), WM_QUERYENDSESSION, 0, c.how), c.agreed);
            PumpMessages();
            EXPECT_EQ(answers.Seen().size(), c.answer != 0 ? 1u : 0u);
            EXPECT_EQ(reasonsWhileAsking, c.answer != 0 ? 1 : -1) << "the reason stands while the user is asked";
            EXPECT_EQ(blockReasons, 0);
            ASSERT_EQ(Copies().size(), 1u) << "no copy before asking";
            ExpectCopyOf(Read(Copies()[0]), document,
                         {TextEncoding::ShiftJis, true, false, CopyTextForm::Utf16Le, "書簡1"});
        }
        SendMessageA(frame(), WM_ENDSESSION, c.agreed, c.how);
        PumpMessages();
        EXPECT_EQ(DocumentWindows().size(), c.documentsLeft);
        Stop();
        EXPECT_EQ(Copies().size(), c.copiesKept);
        EmptyFolder();
    }
    reasonPatch = nullptr;
    reasonGonePatch = nullptr;
}

// The fault layer makes the date command fail, as a fault of the program would.
VOID WINAPI FailWithAccessViolation(LPSYSTEMTIME)
{
    RaiseException(EXCEPTION_ACCESS_VIOLATION, EXCEPTION_NONCONTINUABLE, 0, nullptr);
}

VOID WINAPI FailByTerminating(LPSYSTEMTIME)
{
    std::terminate();
}

// Run by the next test in a process of its own, which fails as it asks.
TEST_F(RecoveryCopies, DISABLED_FailingProgram)
{
    const std::string failure = Environment("MOKURE_TEST_FAILURE");
    if (failure.empty()) {
        GTEST_SKIP() << "run by AFailingProgramLeavesCopiesThatTheNextStartTakesBack";
    }
    Start();
    TypeText(AppState.activeDocument, kTyped);
    ImportPatch time("kernel32.dll", "GetLocalTime",
                     reinterpret_cast<void*>(failure == "terminate" ? FailByTerminating : FailWithAccessViolation));
    ASSERT_TRUE(time.Patched());
    Command(IDM_EDITDATESEIREKI);
    ADD_FAILURE() << "the program did not fail";
}

DWORD RunFailingProgram(const char* failure, const std::string& localAppData)
{
    SetEnvironmentVariableA("MOKURE_TEST_FAILURE", failure);
    SetEnvironmentVariableA("MOKURE_TEST_LOCALAPPDATA", localAppData.c_str());
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string commandLine = std::string("\"") + self +
                              "\" --gtest_filter=RecoveryCopies.DISABLED_FailingProgram --gtest_also_run_disabled_tests";
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE nowhere = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = nowhere;
    startup.hStdError = nowhere;
    PROCESS_INFORMATION process = {};
    DWORD code = 0;
    if (CreateProcessA(self, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        if (WaitForSingleObject(process.hProcess, 120000) != WAIT_OBJECT_0) {
            TerminateProcess(process.hProcess, 0);
        }
        GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    CloseHandle(nowhere);
    SetEnvironmentVariableA("MOKURE_TEST_FAILURE", nullptr);
    SetEnvironmentVariableA("MOKURE_TEST_LOCALAPPDATA", nullptr);
    return code;
}

TEST_F(RecoveryCopies, AFailingProgramLeavesCopiesThatTheNextStartTakesBack)
{
    for (const char* failure : {"access violation", "terminate"}) {
        SCOPED_TRACE(failure);
        EXPECT_NE(RunFailingProgram(failure, local_), 0u) << "the program did not fail";
        ASSERT_EQ(Copies().size(), 1u);
        {
            DialogAnswers answers;
            answers.ThenPress(IDYES);
            Start();
            ASSERT_EQ(answers.Seen().size(), 1u);
        }
        ASSERT_EQ(DocumentTitles(), std::vector<std::string>{"書簡1"});
        EXPECT_EQ(EditText(AppState.activeEdit), kTyped);
        EXPECT_EQ(Changed(AppState.activeDocument), 1);
        Stop();
        EXPECT_TRUE(FilesLeft().empty());
    }
}

// Owners of copies in the folder before the start: two programs no longer
// running, one of which left its lock, and one still running.
const char kGone[] = "00000001-0000000000000001";
const char kGoneWithLock[] = "00000002-0000000000000002";
const char kRunning[] = "00000003-0000000000000003";

TEST_F(RecoveryCopies, TheStartOffersTheCopiesOfProgramsNoLongerRunningOnly)
{
    const CopiedDocument marked{TextEncoding::Utf8Marked, false, false, CopyTextForm::Utf16Le, dir_->File("戻る 1.txt")};
    const CopiedDocument untitled{TextEncoding::ShiftJis, true, false, CopyTextForm::CodePage932, "書簡7"};
    const CopiedDocument shortened{TextEncoding::ShiftJis, false, true, CopyTextForm::CodePage932, dir_->File("半分.txt")};
    const CopiedDocument running{TextEncoding::ShiftJis, false, false, CopyTextForm::CodePage932, dir_->File("走る.txt")};
    const std::string markedText = Utf16(u"戻った €\r\n");
    const struct {
        const char* what;
        std::vector<int> answers;
        std::vector<std::string> titles;
        std::size_t filesLeft;
    } cases[] = {
        {"taken back", {IDYES}, {UpperCase(marked.name), "書簡1", UpperCase(shortened.name)}, 3},
        {"kept for the next start", {IDNO, IDYES}, {"書簡1"}, 3},
        {"thrown away", {IDNO, IDNO}, {"書簡1"}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Leave(CopyFileName(kGone, 1), marked, markedText);
        Leave(CopyFileName(kGone, 2), untitled, "\x89\xba\x8f\x91\x82\xab");
        Leave(CopyFileName(kGoneWithLock, 1), shortened, "\x93\x72\x92\x86");
        Leave(LockFileName(kGoneWithLock), "");
        Leave(CopyFileName(kRunning, 1), running, "running");
        Leave(LockFileName(kRunning), "");
        HeldByAnotherProcess held(Folder() + "\\" + LockFileName(kRunning));
        ASSERT_TRUE(held.Holding());
        {
            DialogAnswers answers;
            for (int answer : c.answers) {
                answers.ThenPress(answer);
            }
            Start();
            ASSERT_EQ(answers.Seen().size(), c.answers.size());
            const std::string question = answers.Seen()[0].texts.front();
            EXPECT_EQ(question.find("保管されないまま終わった文書が3件あります。"), 0u) << question;
            for (const std::string& name : {UpperCase(marked.name), std::string("書簡7"), UpperCase(shortened.name)}) {
                EXPECT_NE(question.find("「" + name + "」"), std::string::npos) << name;
            }
        }
        std::vector<std::string> titles = DocumentTitles();
        std::sort(titles.begin(), titles.end());
        std::vector<std::string> expected = c.titles;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(titles, expected);
        if (c.titles.size() == 3) {
            char name[MAX_PATH];
            std::strcpy(name, UpperCase(marked.name).c_str());
            HWND document = FindDocumentWindow(name);
            ASSERT_NE(document, nullptr);
            EXPECT_EQ(ControlText(DocumentEdit(document), CopyTextForm::Utf16Le), markedText);
            EXPECT_EQ(DocumentEncoding(document), TextEncoding::Utf8Marked);
            EXPECT_EQ(DocumentPath(document), marked.name);
            EXPECT_EQ(Changed(document), 1);
            std::strcpy(name, "書簡1");
            EXPECT_EQ(EditText(DocumentEdit(FindDocumentWindow(name))), "\x89\xba\x8f\x91\x82\xab");
            std::strcpy(name, UpperCase(shortened.name).c_str());
            document = FindDocumentWindow(name);
            EXPECT_EQ(ShortenedFile(document), UpperCase(shortened.name));
            EXPECT_EQ(GetDocumentData(document, DocumentWindow::untitled), 0);
        }
        // Besides these, the running program's copy and lock, and this run's lock.
        std::vector<std::string> left = FilesLeft();
        EXPECT_EQ(left.size(), c.filesLeft + 3) << ::testing::PrintToString(left);
        EXPECT_NE(std::find(left.begin(), left.end(), UpperCase(CopyFileName(kRunning, 1))), left.end());
        EXPECT_EQ(std::find(left.begin(), left.end(), UpperCase(LockFileName(kGoneWithLock))), left.end());
        Stop();
        EmptyFolder();
    }
}

TEST_F(RecoveryCopies, ADamagedCopyIsReportedAndKeptAsideUnopened)
{
    const CopiedDocument document{TextEncoding::ShiftJis, false, false, CopyTextForm::CodePage932, "A.TXT"};
    const std::string whole = MakeCopyFile(document, "text");
    const struct {
        const char* reason;
        std::string bytes;
    } cases[] = {
        {"見出しが正しくありません", "not a copy at all, but long enough for a header"},
        {"長さが見出しと合いません", whole.substr(0, whole.size() - 1)},
        {"中身が書いた時と違います", whole.substr(0, whole.size() - 1) + "!"},
    };
    std::vector<std::string> reports;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const std::string name = CopyFileName(kGone, static_cast<unsigned>(i + 1));
        Leave(name, cases[i].bytes);
        reports.push_back("復元用の写し「" + Folder() + "\\" + name + "」は壊れていて読み込めません（" +
                          cases[i].reason + "）。\r開かずに「" + Folder() + "\\" + SetAsideName(name) +
                          "」として残しました。");
    }
    DialogAnswers answers;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        answers.ThenPress(IDOK);
    }
    Start();
    std::vector<std::string> seen;
    for (const SeenDialog& box : answers.Seen()) {
        seen.push_back(box.texts.front());
    }
    std::sort(seen.begin(), seen.end());
    std::sort(reports.begin(), reports.end());
    EXPECT_EQ(seen, reports);
    EXPECT_EQ(DocumentTitles(), std::vector<std::string>{"書簡1"});
    EXPECT_TRUE(Copies().empty());
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const std::string aside = SetAsideName(CopyFileName(kGone, static_cast<unsigned>(i + 1)));
        EXPECT_EQ(dir_->Read(kCopies + aside), cases[i].bytes);
    }
}

}  // namespace
