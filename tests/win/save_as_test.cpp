// The save-as dialog in a temporary folder tree, and the saves that follow it.

#include "app/frame.h"
#include "document/document_data.h"
#include "file/file_names.h"
#include "file/save_as_dialog.h"
#include "res/resource.h"
#include "state/app_state.h"
#include "tests/win/harness.h"

#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace {

using SaveAsDialog = FrameTest;
using SaveAsCommands = FrameTest;

struct Tree : TempDirectory {
    Tree()
    {
        for (const char* folder : {"SUB", "表", "sub.d", "X.文書"}) {
            MakeFolder(folder);
        }
        Write("old.txt", "old\r\n");
    }
    std::string Upper(const std::string& name) const { return UpperCase(File(name)); }
};

std::string Text(HWND dialog, int id) { return TitleOf(GetDlgItem(dialog, id)); }
bool SameName(const std::string& a, const std::string& b) { return UpperCase(a) == UpperCase(b); }

void TypeName(HWND dialog, const std::string& name) { SetDlgItemTextA(dialog, IDC_SAVEAS_NAME, name.c_str()); }
// Types a name and presses OK: Notify for what the dialog handles at once,
// PressButton for what brings up a box.
void TypeAndConfirm(HWND dialog, const std::string& name)
{
    TypeName(dialog, name);
    Notify(dialog, IDOK, BN_CLICKED);
}
void TypeAndPressOk(HWND dialog, const std::string& name)
{
    TypeName(dialog, name);
    PressButton(dialog, IDOK);
}

HWND OpenFile(std::string path)
{
    HWND document = CreateDocumentWindow(path.data());
    PumpMessages();
    return document;
}

// A name under the tree that makes the whole path exactly bytes long, made
// of double-byte characters as far as they go.
std::string NameOfLength(const Tree& tree, std::size_t bytes, const std::string& tail = "")
{
    std::string name;
    while (tree.path().size() + 1 + name.size() + tail.size() < bytes) {
        name += tree.path().size() + 1 + name.size() + tail.size() + 2 <= bytes ? "能" : "a";
    }
    return name + tail;
}

// The proposal is the whole title, upper case, with the default extension,
// all selected; OK follows the field; Cancel keeps the title.
TEST_F(SaveAsDialog, ProposesTheWholeTitleSelected)
{
    Tree tree;
    CurrentFolder here(tree.path());
    const std::string longPath = tree.File(NameOfLength(tree, 200, ".txt"));
    const std::pair<std::string, std::string> cases[] = {
        {"書簡1", "書簡1.文書"}, {"c:\\my.dir\\letter", "C:\\MY.DIR\\LETTER.文書"}, {longPath, UpperCase(longPath)}};
    HWND document = AppState.activeDocument;
    for (const auto& [title, proposal] : cases) {
        SetWindowTextA(document, title.c_str());
        std::string field, path;
        DWORD start = 1, end = 0;
        int length = -1;
        std::vector<bool> enabled;
        std::vector<std::string> folders;
        DialogAnswers answers;
        answers.Then([&](HWND dialog) {
            HWND edit = GetDlgItem(dialog, IDC_SAVEAS_NAME);
            field = TitleOf(edit);
            SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
            length = GetWindowTextLengthW(edit);  // positions as the control counts them
            path = Text(dialog, IDC_DIRPATH);
            folders = ListItems(GetDlgItem(dialog, IDC_DIRLIST));
            for (const char* text : {"x", ""}) {
                enabled.push_back(IsWindowEnabled(GetDlgItem(dialog, IDOK)) != FALSE);
                TypeName(dialog, text);
            }
            enabled.push_back(IsWindowEnabled(GetDlgItem(dialog, IDOK)) != FALSE);
            PressButton(dialog, IDCANCEL);
        });
        EXPECT_EQ(RunSaveAsDialog(document), 0);
        EXPECT_EQ(answers.Seen().at(0).caption, "名前を付けて装置に保管");
        EXPECT_EQ(field, proposal);
        EXPECT_EQ(start, 0u);
        EXPECT_EQ(static_cast<int>(end), length);
        EXPECT_TRUE(SameName(path, tree.path())) << path;
        EXPECT_EQ(folders.at(0), "[..]");
        EXPECT_EQ(enabled, (std::vector<bool>{true, true, false}));
        EXPECT_EQ(TitleOf(document), title);
    }
}

// What OK does with a typed name: a new name renames the document at once;
// a folder, typed or matched by a wildcard, is entered and never becomes a
// name; a name longer than the program keeps is refused, never cut.
TEST_F(SaveAsDialog, OkRenamesOrEntersFolders)
{
    Tree tree;
    const std::string longest = NameOfLength(tree, kLongestFileName - 5);  // with ".文書"
    const std::string tooLong = NameOfLength(tree, kLongestFileName - 4);
    struct Case {
        std::string typed, title, folder;  // title "": the dialog stays; folder "": the tree
    };
    const Case cases[] = {
        {"new", "NEW.文書", ""},         {"sub.d\\new", "SUB.D\\NEW.文書", ""}, {"表\\ソ.txt", "表\\ソ.TXT", ""},
        {longest, longest + ".文書", ""}, {tooLong, "", ""},                   {"SUB\\", "", "SUB"},
        {"表", "", "表"},                 {".", "", ""},                        {"X", "", "X.文書"},
        {"表\\*.*", "", "表"},            {"NOWHERE\\*.*", "", ""},             {"NOWHERE\\", "", ""},
    };
    for (const Case& c : cases) {
        CurrentFolder here(tree.path());
        HWND document = AppState.activeDocument;
        SetWindowTextA(document, "書簡1");
        std::string field, path;
        DialogAnswers answers;
        answers.Then([&](HWND dialog) {
            TypeAndConfirm(dialog, c.typed);
            field = Text(dialog, IDC_SAVEAS_NAME);
            path = Text(dialog, IDC_DIRPATH);
            if (c.title.empty()) {
                PressButton(dialog, IDCANCEL);
            }
        });
        EXPECT_EQ(RunSaveAsDialog(document), c.title.empty() ? 0 : 1) << c.typed;
        EXPECT_EQ(answers.Seen().size(), 1u) << c.typed;
        EXPECT_EQ(TitleOf(document), c.title.empty() ? "書簡1" : tree.Upper(c.title)) << c.typed;
        const std::string folder = c.folder.empty() ? tree.path() : tree.File(c.folder);
        EXPECT_TRUE(SameName(CurrentFolderPath(), folder)) << c.typed << ": " << CurrentFolderPath();
        if (!c.folder.empty()) {
            EXPECT_EQ(path, UpperCase(folder)) << c.typed;
            EXPECT_EQ(field, c.typed);
        }
    }
}

// A device is no name to keep a document under: the dialog says so and stays.
TEST_F(SaveAsDialog, ADeviceIsRefusedAsAName)
{
    Tree tree;
    CurrentFolder here(tree.path());
    for (const char* typed : {"NUL", "com1.txt"}) {
        DialogAnswers answers;
        answers.Then([&](HWND dialog) {
            TypeAndPressOk(dialog, typed);
            PressButton(dialog, IDCANCEL);
        });
        answers.ThenPress(IDOK);
        EXPECT_EQ(RunSaveAsDialog(AppState.activeDocument), 0);
        ASSERT_EQ(answers.Seen().size(), 2u);
        EXPECT_EQ(answers.Seen()[1].texts.front(), std::string("無効なファイル名: 「") + typed + "」'");
        EXPECT_EQ(TitleOf(AppState.activeDocument), "書簡1");
    }
}

// An existing file is overwritten only after Yes, also one that another
// program holds so that it cannot be read; No keeps the dialog.
TEST_F(SaveAsDialog, AnExistingFileIsTakenOnlyAfterYes)
{
    for (const char* file : {"old.txt", "held.txt"}) {
        Tree tree;
        tree.Write("held.txt", "held");
        HeldByAnotherProcess held(tree.File("held.txt"));
        CurrentFolder here(tree.path());
        DialogAnswers answers;
        answers.Then([&](HWND dialog) { TypeAndPressOk(dialog, file); });
        answers.ThenPress(IDNO);
        answers.ThenPress(IDOK);
        answers.ThenPress(IDYES);
        EXPECT_EQ(RunSaveAsDialog(AppState.activeDocument), 1);
        const std::string name = tree.Upper(file);
        ASSERT_EQ(answers.Seen().size(), 4u);
        EXPECT_EQ(answers.Seen()[1].texts,
                  (std::vector<std::string>{"「" + name + "」 ファイルが存在しています。上書きしてよろしいでしょうか。",
                                            "はい(&ﾊ)", "いいえ(&ｲ)"}));
        EXPECT_EQ(answers.Seen()[2].texts.at(1), file) << "the dialog is up again with the name";
        EXPECT_EQ(TitleOf(AppState.activeDocument), name);
    }
}

// No two documents carry one name: the document's own is refused after the
// overwrite question, another document's even when its file is gone.
TEST_F(SaveAsDialog, ANameAnOpenDocumentCarriesIsRefused)
{
    Tree tree;
    CurrentFolder here(tree.path());
    tree.Write("other.txt", "other");
    HWND other = OpenFile(tree.File("other.txt"));
    DeleteFileA(tree.File("other.txt").c_str());
    HWND mine = OpenFile(tree.File("old.txt"));
    ASSERT_TRUE(other && mine);
    for (const char* typed : {"old.txt", "other.txt"}) {
        const bool exists = typed[1] == 'l';
        DialogAnswers answers;
        answers.Then([&](HWND dialog) { TypeAndPressOk(dialog, typed); });
        if (exists) {
            answers.ThenPress(IDYES);
        }
        answers.ThenPress(IDOK);
        answers.ThenPress(IDCANCEL);
        EXPECT_EQ(RunSaveAsDialog(mine), 0);
        ASSERT_EQ(answers.Seen().size(), exists ? 4u : 3u) << typed;
        EXPECT_EQ(answers.Seen()[exists ? 2 : 1].texts.at(0),
                  "「" + tree.Upper(typed) + "」 ファイルが編集しています。編集ファイルを閉じてから実行してください。");
        EXPECT_EQ(TitleOf(mine), tree.Upper("old.txt"));
    }
}

// [..] proposes ..\*.*, which OK enters; a double-click only lists again.
TEST_F(SaveAsDialog, TheFolderListProposesAndDoubleClickOnlyRelists)
{
    Tree tree;
    CurrentFolder here(tree.File("SUB"));
    std::string proposed, path, afterDoubleClick;
    DialogAnswers answers;
    answers.Then([&](HWND dialog) {
        SendDlgItemMessageA(dialog, IDC_DIRLIST, LB_SETCURSEL, 0, 0);  // [..] sorts first
        Notify(dialog, IDC_DIRLIST, LBN_SELCHANGE);
        proposed = Text(dialog, IDC_SAVEAS_NAME);
        Notify(dialog, IDOK, BN_CLICKED);
        path = Text(dialog, IDC_DIRPATH);
        SendDlgItemMessageA(dialog, IDC_DIRLIST, LB_SELECTSTRING, static_cast<WPARAM>(-1),
                            reinterpret_cast<LPARAM>("[SUB]"));
        Notify(dialog, IDC_DIRLIST, LBN_DBLCLK);
        afterDoubleClick = CurrentFolderPath();
        PressButton(dialog, IDCANCEL);
    });
    RunSaveAsDialog(AppState.activeDocument);
    EXPECT_EQ(proposed, "..\\*.*");
    EXPECT_EQ(path, UpperCase(tree.path()));
    EXPECT_TRUE(SameName(afterDoubleClick, tree.path())) << afterDoubleClick;
}

TEST_F(SaveAsDialog, ADrivesRootIsReachedByItsWildcard)
{
    if (RunningUnderWine()) {
        GTEST_SKIP() << "Wine's DlgDirList enters \"C:\" for \"C:\\*.*\", the drive's current folder, not its "
                        "root (known platform difference)";
    }
    Tree tree;
    CurrentFolder here(tree.path());
    const std::string root = tree.path().substr(0, 3);
    DialogAnswers answers;
    answers.Then([&](HWND dialog) {
        TypeAndConfirm(dialog, root + "*.*");
        EXPECT_EQ(Text(dialog, IDC_DIRPATH), UpperCase(root));
        PressButton(dialog, IDCANCEL);
    });
    RunSaveAsDialog(AppState.activeDocument);
}

// Title, untitled mark and changed mark of a document, or "closed".
std::tuple<std::string, LONG_PTR, LONG_PTR> StateOf(HWND document)
{
    if (!IsWindow(document)) {
        return {"closed", 0, 0};
    }
    return {TitleOf(document), GetDocumentData(document, DocumentWindow::untitled),
            GetDocumentData(document, DocumentWindow::changed)};
}

// Save-as, the save of an untitled document and Yes to the close question
// write the text under the name chosen. When that write fails, the document
// is as it was before: title, untitled mark, changes and window.
TEST_F(SaveAsCommands, WriteUnderTheNewNameOrKeepTheOldOne)
{
    struct Case {
        bool titled, closing, fails;
        UINT command;  // to the frame, unless closing
    };
    const Case cases[] = {
        {true, false, false, IDM_FILESAVEAS}, {false, false, false, IDM_FILESAVE}, {false, true, false, 0},
        {true, false, true, IDM_FILESAVEAS},  {false, false, true, IDM_FILESAVEAS}, {false, false, true, IDM_FILESAVE},
        {false, true, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.titled << c.closing << c.fails << c.command);
        Tree tree;
        CurrentFolder here(tree.path());
        tree.Write("held.txt", "held");
        auto held = std::make_unique<HeldByAnotherProcess>(tree.File("held.txt"));
        ASSERT_TRUE(held->Holding()) << "held.txt was not held by the other process";
        HWND document = c.titled ? OpenFile(tree.File("old.txt")) : CreateDocumentWindow(nullptr);
        SendMessageA(DocumentEdit(document), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("表ソ能"));
        const auto before = StateOf(document);
        DialogAnswers answers;
        if (c.closing) {
            answers.ThenPress(IDYES);
        }
        if (c.fails) {
            answers.Then([](HWND dialog) { TypeAndPressOk(dialog, "held.txt"); });
            answers.ThenPress(IDYES);
            answers.ThenPress(IDOK);  // "cannot be created"
        } else {
            answers.Then([](HWND dialog) { TypeAndConfirm(dialog, "saved"); });
        }
        c.closing ? SendMessageA(document, WM_CLOSE, 0, 0) : SendMessageA(frame(), WM_COMMAND, c.command, 0);
        PumpMessages();
        EXPECT_EQ(answers.Pending(), 0u);
        held.reset();
        const std::string text = c.titled ? "表ソ能old\r\n" : "表ソ能";
        EXPECT_EQ(tree.Read(c.fails ? "held.txt" : "SAVED.文書"), c.fails ? "held" : text);
        EXPECT_EQ(tree.Read("old.txt"), "old\r\n");
        const decltype(before) saved{tree.Upper("SAVED.文書"), 0, 0};
        EXPECT_EQ(StateOf(document), c.fails ? before : c.closing ? StateOf(nullptr) : saved);
        if (IsWindow(document)) {
            SendMessageA(AppState.mdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(document), 0);
        }
    }
}

}  // namespace
