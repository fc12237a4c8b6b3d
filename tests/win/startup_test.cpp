// The entry routine as the system starts it, on this test program's own
// command line.

#include "app/startup.h"
#include "state/app_state.h"
#include "tests/win/harness.h"

namespace {

void EnsureClasses()
{
    WNDCLASSA existing;
    if (!GetClassInfoA(GetModuleHandleA(nullptr), kFrameClassName, &existing)) {
        AppState.instance = GetModuleHandleA(nullptr);
        ASSERT_TRUE(RegisterWindowClasses());
    }
}

TEST(EntryRoutine, FailedStartAnswersZeroWithoutAWindow)
{
    EnsureClasses();
    AppState = AppStateRecord();
    // The classes exist already, so registering them again fails.
    EXPECT_EQ(MokureMain(GetModuleHandleA(nullptr), nullptr, SW_SHOW), 0);
    EXPECT_EQ(AppState.frameWindow, nullptr);
    AppState = AppStateRecord();
}

std::size_t documentsAfterTheReport = 99;

// Runs in the program's own message loop once the report is gone: notes the
// documents left and exits as the user would.
void CALLBACK CloseOnceStarted(HWND, UINT, UINT_PTR timer, DWORD)
{
    if (AppState.frameWindow != nullptr && IsWindowEnabled(AppState.frameWindow)) {
        KillTimer(nullptr, timer);
        documentsAfterTheReport = DocumentWindows().size();
        PostMessageA(AppState.frameWindow, WM_CLOSE, 0, 0);
    }
}

TEST(EntryRoutine, NamedFileThatCannotBeLoadedLeavesAnEmptyFrameThenExits)
{
    const std::string name = ParseCommandLine();
    if (name.empty()) {
        GTEST_SKIP() << "needs an argument on the command line, as CTest gives one";
    }
    EnsureClasses();
    AppState = AppStateRecord();
    DialogAnswers answers;
    answers.ThenPress(IDOK);
    SetTimer(nullptr, 0, 50, CloseOnceStarted);
    EXPECT_EQ(MokureMain(GetModuleHandleA(nullptr), GetModuleHandleA(nullptr), SW_SHOW), 0);

    ASSERT_EQ(answers.Seen().size(), 1u);
    EXPECT_EQ(answers.Seen()[0].caption, "モクレ");
    ASSERT_FALSE(answers.Seen()[0].texts.empty());
    // A relative name is made whole against the current folder first.
    char full[MAX_PATH] = "";
    ASSERT_NE(GetFullPathNameA(name.c_str(), sizeof full, full, nullptr), 0u);
    ASSERT_NE(std::string(full), name);
    EXPECT_EQ(answers.Seen()[0].texts[0], "「" + UpperCase(full) + "」 ファイルを取り出すことができません。");
    EXPECT_EQ(documentsAfterTheReport, 0u);
    EXPECT_FALSE(IsWindow(AppState.frameWindow));
    AppState = AppStateRecord();
}

}  // namespace
