// The save-as dialog in a temporary folder tree: the proposal, new names,
// the overwrite question, names another document carries, folders entered,
// long names kept whole, and the saves that follow it.

#include "app/app_state.h"
#include "app/frame.h"
#include "document/document_window.h"
#include "file/file_names.h"
#include "res/resource.h"
#include "tests/win/harness.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

using SaveAsDialog = FrameTest;
using SaveAsCommands = FrameTest;

const char kCaption[] = "名前を付けて装置に保管";
const char kProperty[] = "ファイル名";

struct Tree {
    TempDirectory dir;
    Tree()
    {
        dir.MakeFolder("SUB");
        dir.MakeFolder("表");
        dir.MakeFolder("sub.d");
        dir.MakeFolder("X.文書");
        dir.Write("old.txt", "old\r\n");
    }
    std::string Upper(const std::string& name = "") const
    {
        return UpperCase(name.empty() ? dir.path() : dir.File(name));
    }
};

std::string Overwrite(const std::string& name)
{
    return "「" + name + "」 ファイルが存在しています。上書きしてよろしいでしょうか。";
}

std::string BeingEdited(const std::string& name)
{
    return "「" + name + "」 ファイルが編集しています。編集ファイルを閉じてから実行してください。";
}

std::string Text(HWND dialog, int id)
{
    return TitleOf(GetDlgItem(dialog, id));
}

bool Has(const std::vector<std::string>& items, const std::string& item)
{
    return std::find(items.begin(), items.end(), item) != items.end();
}

bool SameName(const std::string& a, const std::string& b)
{
    return UpperCase(a) == UpperCase(b);
}

void TypeName(HWND dialog, const std::string& name)
{
    SetDlgItemTextA(dialog, IDC_SAVEAS_NAME, name.c_str());
}

// Types a name and presses OK; the dialog has handled both on return.
void TypeAndConfirm(HWND dialog, const std::string& name)
{
    TypeName(dialog, name);
    Notify(dialog, IDOK, BN_CLICKED);
}

// Types a name and posts OK, for a name that raises a box.
void TypeAndPressOk(HWND dialog, const std::string& name)
{
    TypeName(dialog, name);
    PressButton(dialog, IDOK);
}

HWND OpenFile(const std::string& path)
{
    std::string name = path;
    HWND document = CreateDocumentWindow(name.data());
    PumpMessages();
    return document;
}

void TypeText(HWND document, const char* text)
{
    HWND edit = DocumentEdit(document);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
}

// A name under the tree that makes the whole path exactly bytes long,
// written with double-byte characters as far as they go.
std::string NameOfLength(const Tree& tree, std::size_t bytes, const std::string& tail)
{
    std::string name;
    while (tree.dir.path().size() + 1 + name.size() + 2 + tail.size() <= bytes) {
        name += "能";
    }
    while (tree.dir.path().size() + 1 + name.size() + tail.size() < bytes) {
        name += "a";
    }
    return name + tail;
}

TEST_F(SaveAsDialog, ProposesTheWholeTitleSelected)
{
    Tree tree;
    CurrentFolder here(tree.dir.path());
    const std::string longPath = tree.dir.File(NameOfLength(tree, 200, ".txt"));
    struct Case {
        std::string title;
        std::string proposal;
    };
    const Case cases[] = {
        {"書簡1", "書簡1.文書"},
        {"c:\\docs\\letter.txt", "C:\\DOCS\\LETTER.TXT"},
        {"c:\\my.dir\\letter", "C:\\MY.DIR\\LETTER.文書"},
        {longPath, UpperCase(longPath)},
    };
    HWND document = AppState.activeDocument;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        SetWindowTextA(document, c.title.c_str());
        std::string field;
        DWORD start = 1;
        DWORD end = 0;
        int length = -1;
        bool okEnabled = false;
        bool holdsDocument = false;
        std::string path;
        std::vector<std::string> folders;
        DialogAnswers answers;
        answers.Then([&](HWND dialog) {
            HWND edit = GetDlgItem(dialog, IDC_SAVEAS_NAME);
            field = TitleOf(edit);
            SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
            length = GetWindowTextLengthW(edit);  // positions count as the control counts
            okEnabled = IsWindowEnabled(GetDlgItem(dialog, IDOK)) != FALSE;
            holdsDocument = GetPropA(dialog, kProperty) == document;
            path = Text(dialog, IDC_DIRPATH);
            folders = ListItems(GetDlgItem(dialog, IDC_DIRLIST));
            PressButton(dialog, IDCANCEL);
        });
        EXPECT_EQ(RunSaveAsDialog(document), 0);
        ASSERT_EQ(answers.Seen().size(), 1u);
        EXPECT_EQ(answers.Seen()[0].caption, kCaption);
        EXPECT_EQ(field, c.proposal);
        EXPECT_EQ(start, 0u);
        EXPECT_EQ(static_cast<int>(end), length);
        EXPECT_TRUE(okEnabled);
        EXPECT_TRUE(holdsDocument);
        EXPECT_TRUE(SameName(path, tree.dir.path())) << path;
        EXPECT_TRUE(Has(folders, "[SUB]"));
        EXPECT_TRUE(Has(folders, "[..]"));
        EXPECT_EQ(TitleOf(document), c.title) << "Cancel leaves the title";
    }
}

// A new name becomes the title at once, in upper case and with the default
// extension where it has none.
TEST_F(SaveAsDialog, ANewNameRenamesWithoutAQuestion)
{
    struct Case {
        const char* typed;
        const char* title;  // in the tree
    };
    const Case cases[] = {
        {"new", "NEW.文書"},
        {"new.txt", "NEW.TXT"},
        {"sub.d\\new", "SUB.D\\NEW.文書"},
        {"表\\ソ", "表\\ソ.文書"},
        {"SUB\\能.txt", "SUB\\能.TXT"},
        {"..\\" "SUB\\..\\n", "N.文書"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        Tree tree;
        CurrentFolder here(tree.dir.path());
        HWND document = AppState.activeDocument;
        SetWindowTextA(document, "書簡1");
        SetDocumentData(document, DocumentWindow::untitled, 1);
        DialogAnswers answers;
        answers.Then([&](HWND dialog) { TypeAndConfirm(dialog, c.typed); });
        std::string typed = c.typed;
        if (typed.rfind("..\\", 0) == 0) {
            SetCurrentDirectoryA(tree.dir.File("SUB").c_str());
        }
        EXPECT_EQ(RunSaveAsDialog(document), 1);
        EXPECT_EQ(answers.Seen().size(), 1u) << "no question";
        EXPECT_EQ(TitleOf(document), tree.Upper(c.title));
        EXPECT_EQ(GetDocumentData(document, DocumentWindow::untitled), 0);
    }
}

// An existing file is asked about, also one that cannot be read because
// another program holds it; No keeps the dialog with the typed name.
TEST_F(SaveAsDialog, AnExistingFileIsOverwrittenOnlyAfterYes)
{
    for (const char* file : {"old.txt", "held.txt"}) {
        SCOPED_TRACE(file);
        Tree tree;
        tree.dir.Write("held.txt", "held\r\n");
        HeldByAnotherProcess held(tree.dir.File("held.txt"));
        ASSERT_TRUE(held.Holding());
        CurrentFolder here(tree.dir.path());
        HWND document = AppState.activeDocument;
        std::string fieldAfterNo;
        DialogAnswers answers;
        answers.Then([&](HWND dialog) { TypeAndPressOk(dialog, file); });
        answers.ThenPress(IDNO);
        answers.Then([&](HWND dialog) {
            fieldAfterNo = Text(dialog, IDC_SAVEAS_NAME);
            PressButton(dialog, IDOK);
        });
        answers.ThenPress(IDYES);
        EXPECT_EQ(RunSaveAsDialog(document), 1);
        ASSERT_EQ(answers.Seen().size(), 4u);
        const std::string name = tree.Upper(file);
        for (int box : {1, 3}) {
            EXPECT_EQ(answers.Seen()[box].caption, "モクレ");
            EXPECT_EQ(answers.Seen()[box].texts,
                      (std::vector<std::string>{Overwrite(name), "はい(&ﾊ)", "いいえ(&ｲ)"}));
        }
        EXPECT_EQ(answers.Seen()[2].caption, kCaption);
        EXPECT_EQ(fieldAfterNo, file);
        EXPECT_EQ(TitleOf(document), name);
    }
}

// No two documents carry one name: the document's own name is refused after
// the overwrite question, another's even when its file is gone.
TEST_F(SaveAsDialog, ANameAnOpenDocumentCarriesIsRefused)
{
    Tree tree;
    CurrentFolder here(tree.dir.path());
    tree.dir.Write("mine.txt", "mine\r\n");
    tree.dir.Write("other.txt", "other\r\n");
    HWND other = OpenFile(tree.dir.File("other.txt"));
    ASSERT_NE(other, nullptr);
    DeleteFileA(tree.dir.File("other.txt").c_str());
    HWND mine = OpenFile(tree.dir.File("mine.txt"));
    ASSERT_NE(mine, nullptr);

    struct Case {
        const char* typed;  // null: the proposal as it stands
        bool asked;
    };
    const Case cases[] = {{nullptr, true}, {"mine.txt", true}, {"other.txt", false}, {"OTHER.TXT", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed != nullptr ? c.typed : "proposal");
        const std::string name = tree.Upper(c.typed != nullptr ? c.typed : "mine.txt");
        DialogAnswers answers;
        answers.Then([&](HWND dialog) {
            if (c.typed != nullptr) {
                TypeName(dialog, c.typed);
            }
            PressButton(dialog, IDOK);
        });
        if (c.asked) {
            answers.ThenPress(IDYES);
        }
        answers.ThenPress(IDOK);
        answers.ThenPress(IDCANCEL);
        EXPECT_EQ(RunSaveAsDialog(mine), 0);
        const std::vector<SeenDialog>& seen = answers.Seen();
        ASSERT_EQ(seen.size(), c.asked ? 4u : 3u);
        if (c.asked) {
            EXPECT_EQ(seen[1].texts[0], Overwrite(name));
        }
        EXPECT_EQ(seen[seen.size() - 2].texts, (std::vector<std::string>{BeingEdited(name), "了解(&ﾘ)"}));
        EXPECT_EQ(seen.back().caption, kCaption) << "the dialog is up again";
        EXPECT_EQ(TitleOf(mine), tree.Upper("mine.txt"));
        EXPECT_EQ(TitleOf(other), tree.Upper("other.txt"));
    }
}

// A folder is entered as a wildcard would enter it, and never becomes a
// file name: "SUB\" never becomes "SUB\.文書", "." never "<folder>.文書".
TEST_F(SaveAsDialog, FoldersAreEnteredNeverSavedOver)
{
    struct Case {
        const char* typed;
        const char* folder;  // where the dialog stands afterwards, "" for the tree
    };
    const Case cases[] = {
        {"SUB\\", "SUB"},       {"SUB", "SUB"},           {"表\\", "表"},          {"表", "表"},
        {".", ""},              {"X", "X.文書"},          {"SUB\\*.*", "SUB"},     {"表\\*.*", "表"},
        {"NOWHERE\\*.*", ""},   {"NOWHERE\\", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        Tree tree;
        CurrentFolder here(tree.dir.path());
        HWND document = AppState.activeDocument;
        SetWindowTextA(document, "書簡1");
        std::string field;
        std::string path;
        bool stillUp = false;
        DialogAnswers answers;
        answers.Then([&](HWND dialog) {
            TypeAndConfirm(dialog, c.typed);
            field = Text(dialog, IDC_SAVEAS_NAME);
            path = Text(dialog, IDC_DIRPATH);
            stillUp = IsWindowVisible(dialog) != FALSE;
            PressButton(dialog, IDCANCEL);
        });
        EXPECT_EQ(RunSaveAsDialog(document), 0);
        EXPECT_EQ(answers.Seen().size(), 1u) << "no question";
        EXPECT_TRUE(stillUp);
        EXPECT_EQ(field, c.typed);
        const std::string folder = c.folder[0] == '\0' ? tree.dir.path() : tree.dir.File(c.folder);
        EXPECT_TRUE(SameName(CurrentFolderPath(), folder)) << CurrentFolderPath();
        if (c.folder[0] != '\0') {
            EXPECT_EQ(path, UpperCase(folder)) << "the path line is upper case after a walk";
        }
        EXPECT_EQ(TitleOf(document), "書簡1");
    }
}

// Selecting [..] proposes ..\*.*, which OK enters; a double-click lists the
// current folder again and enters nothing.
TEST_F(SaveAsDialog, TheFolderListProposesAndDoubleClickOnlyRelists)
{
    Tree tree;
    CurrentFolder here(tree.dir.File("SUB"));
    std::string proposed;
    std::string path;
    std::string fieldAfter;
    std::string folderAfterDoubleClick;
    DialogAnswers answers;
    answers.Then([&](HWND dialog) {
        HWND list = GetDlgItem(dialog, IDC_DIRLIST);
        SendMessageA(list, LB_SETCURSEL,
                     static_cast<WPARAM>(SendMessageA(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                      reinterpret_cast<LPARAM>("[..]"))),
                     0);
        Notify(dialog, IDC_DIRLIST, LBN_SELCHANGE);
        proposed = Text(dialog, IDC_SAVEAS_NAME);
        Notify(dialog, IDOK, BN_CLICKED);
        path = Text(dialog, IDC_DIRPATH);
        fieldAfter = Text(dialog, IDC_SAVEAS_NAME);
        SendMessageA(list, LB_SETCURSEL,
                     static_cast<WPARAM>(SendMessageA(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                      reinterpret_cast<LPARAM>("[SUB]"))),
                     0);
        Notify(dialog, IDC_DIRLIST, LBN_DBLCLK);
        folderAfterDoubleClick = CurrentFolderPath();
        PressButton(dialog, IDCANCEL);
    });
    EXPECT_EQ(RunSaveAsDialog(AppState.activeDocument), 0);
    EXPECT_EQ(proposed, "..\\*.*");
    EXPECT_EQ(path, tree.Upper());
    EXPECT_EQ(fieldAfter, "..\\*.*");
    EXPECT_TRUE(SameName(folderAfterDoubleClick, tree.dir.path())) << folderAfterDoubleClick;
}

bool UnderWine()
{
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

TEST_F(SaveAsDialog, ADrivesRootIsReachedByItsWildcard)
{
    if (UnderWine()) {
        GTEST_SKIP() << "Wine's DlgDirList enters \"C:\" for \"C:\\*.*\", the drive's current folder, not its "
                        "root (known platform difference)";
    }
    Tree tree;
    CurrentFolder here(tree.dir.path());
    const std::string root = tree.dir.path().substr(0, 3);
    std::string path;
    DialogAnswers answers;
    answers.Then([&](HWND dialog) {
        TypeAndConfirm(dialog, root + "*.*");
        path = Text(dialog, IDC_DIRPATH);
        PressButton(dialog, IDCANCEL);
    });
    RunSaveAsDialog(AppState.activeDocument);
    EXPECT_EQ(path, UpperCase(root));
}

// Names are taken whole up to the longest name the program keeps, default
// extension included; a longer one is refused with a beep, never cut.
TEST_F(SaveAsDialog, LongNamesAreTakenWholeOrRefused)
{
    const std::string extension = ".文書";
    struct Case {
        std::size_t bytes;  // of the whole path with its extension
        bool taken;
    };
    const Case cases[] = {{200, true}, {kLongestFileName, true}, {kLongestFileName + 1, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        Tree tree;
        CurrentFolder here(tree.dir.path());
        const std::string typed = NameOfLength(tree, c.bytes - extension.size(), "");
        HWND document = AppState.activeDocument;
        SetWindowTextA(document, "書簡1");
        bool stillUp = false;
        DialogAnswers answers;
        answers.Then([&](HWND dialog) {
            TypeAndConfirm(dialog, typed);
            stillUp = IsWindow(dialog) && IsWindowVisible(dialog) && Text(dialog, IDC_SAVEAS_NAME) == typed;
            if (stillUp) {
                PressButton(dialog, IDCANCEL);
            }
        });
        EXPECT_EQ(RunSaveAsDialog(document), c.taken ? 1 : 0);
        const std::string title = TitleOf(document);
        if (c.taken) {
            EXPECT_EQ(title, tree.Upper(typed) + extension);
            EXPECT_EQ(title.size(), c.bytes);
        } else {
            EXPECT_TRUE(stillUp);
            EXPECT_EQ(title, "書簡1");
        }
    }
}

TEST_F(SaveAsDialog, OkFollowsTheNameField)
{
    Tree tree;
    CurrentFolder here(tree.dir.path());
    std::vector<bool> enabled;
    DialogAnswers answers;
    answers.Then([&](HWND dialog) {
        for (const char* text : {"", "x", ""}) {
            TypeName(dialog, text);
            enabled.push_back(IsWindowEnabled(GetDlgItem(dialog, IDOK)) != FALSE);
        }
        PressButton(dialog, IDCANCEL);
    });
    RunSaveAsDialog(AppState.activeDocument);
    EXPECT_EQ(enabled, (std::vector<bool>{false, true, false}));
}

TEST_F(SaveAsDialog, ThePropertyIsRemovedWhateverEndsTheDialog)
{
    struct Case {
        const char* how;
        void (*end)(HWND dialog);
    };
    const Case cases[] = {
        {"OK", [](HWND dialog) { TypeAndPressOk(dialog, "fresh"); }},
        {"Cancel", [](HWND dialog) { PressButton(dialog, IDCANCEL); }},
        {"Escape", [](HWND dialog) { PressEscape(dialog); }},
        {"close box", [](HWND dialog) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        Tree tree;
        CurrentFolder here(tree.dir.path());
        DestroyedDialogs destroyed(kProperty);
        DialogAnswers answers;
        answers.Then(c.end);
        RunSaveAsDialog(AppState.activeDocument);
        EXPECT_EQ(destroyed.KeptProperty(), std::vector<bool>{false});
    }
}

// Save-as, the save of an untitled document and Yes to the close question
// all write the text under the name chosen.
TEST_F(SaveAsCommands, TheTextIsWrittenUnderTheChosenName)
{
    struct Case {
        const char* how;
        bool titled;
        bool asks;  // the close question comes first
        void (*request)(HWND frame, HWND document);
    };
    const Case cases[] = {
        {"save-as of a titled document", true, false,
         [](HWND frame, HWND) { SendMessageA(frame, WM_COMMAND, IDM_FILESAVEAS, 0); }},
        {"save-as of an untitled document", false, false,
         [](HWND frame, HWND) { SendMessageA(frame, WM_COMMAND, IDM_FILESAVEAS, 0); }},
        {"save of an untitled document", false, false,
         [](HWND frame, HWND) { SendMessageA(frame, WM_COMMAND, IDM_FILESAVE, 0); }},
        {"close of an untitled document", false, true,
         [](HWND, HWND document) { SendMessageA(document, WM_CLOSE, 0, 0); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        Tree tree;
        CurrentFolder here(tree.dir.path());
        tree.dir.Write("a.txt", "a\r\n");
        HWND document = c.titled ? OpenFile(tree.dir.File("a.txt")) : CreateDocumentWindow(nullptr);
        ASSERT_NE(document, nullptr);
        TypeText(document, "表ソ能\r\n");
        DialogAnswers answers;
        if (c.asks) {
            answers.ThenPress(IDYES);
        }
        answers.Then([](HWND dialog) { TypeAndConfirm(dialog, "saved"); });
        c.request(frame(), document);
        PumpMessages();
        EXPECT_EQ(answers.Pending(), 0u);
        EXPECT_EQ(tree.dir.Read("SAVED.文書"), "表ソ能\r\n");
        if (c.titled) {
            EXPECT_EQ(tree.dir.Read("a.txt"), "a\r\n");
        }
        if (c.asks) {
            EXPECT_FALSE(IsWindow(document));
            continue;
        }
        EXPECT_EQ(TitleOf(document), tree.Upper("SAVED.文書"));
        EXPECT_EQ(GetDocumentData(document, DocumentWindow::untitled), 0);
        EXPECT_EQ(GetDocumentData(document, DocumentWindow::changed), 0);
        SendMessageA(AppState.mdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(document), 0);
    }
}

// When the write under the new name fails, the document is as it was
// before the dialog: its title, its untitled mark, its changes, its window.
TEST_F(SaveAsCommands, AFailedWriteGivesTheOldNameBack)
{
    struct Case {
        const char* how;
        bool titled;
        bool asks;
        void (*request)(HWND frame, HWND document);
    };
    const Case cases[] = {
        {"save-as of a titled document", true, false,
         [](HWND frame, HWND) { SendMessageA(frame, WM_COMMAND, IDM_FILESAVEAS, 0); }},
        {"save-as of an untitled document", false, false,
         [](HWND frame, HWND) { SendMessageA(frame, WM_COMMAND, IDM_FILESAVEAS, 0); }},
        {"save of an untitled document", false, false,
         [](HWND frame, HWND) { SendMessageA(frame, WM_COMMAND, IDM_FILESAVE, 0); }},
        {"close of an untitled document", false, true,
         [](HWND, HWND document) { SendMessageA(document, WM_CLOSE, 0, 0); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        Tree tree;
        CurrentFolder here(tree.dir.path());
        tree.dir.Write("a.txt", "a\r\n");
        tree.dir.Write("held.txt", "held\r\n");
        auto held = std::make_unique<HeldByAnotherProcess>(tree.dir.File("held.txt"));
        ASSERT_TRUE(held->Holding());
        HWND document = c.titled ? OpenFile(tree.dir.File("a.txt")) : CreateDocumentWindow(nullptr);
        ASSERT_NE(document, nullptr);
        const std::string title = TitleOf(document);
        TypeText(document, "new\r\n");
        DialogAnswers answers;
        if (c.asks) {
            answers.ThenPress(IDYES);
        }
        answers.Then([](HWND dialog) { TypeAndPressOk(dialog, "held.txt"); });
        answers.ThenPress(IDYES);
        answers.ThenPress(IDOK);
        c.request(frame(), document);
        PumpMessages();
        ASSERT_EQ(answers.Pending(), 0u);
        EXPECT_EQ(answers.Seen().back().texts[0], "「" + tree.Upper("held.txt") + "」 ファイルを作成できません。");
        ASSERT_TRUE(IsWindow(document));
        EXPECT_EQ(TitleOf(document), title);
        EXPECT_EQ(GetDocumentData(document, DocumentWindow::untitled), c.titled ? 0 : 1);
        EXPECT_EQ(GetDocumentData(document, DocumentWindow::changed), 1);
        held.reset();
        EXPECT_EQ(tree.dir.Read("held.txt"), "held\r\n") << "the held file is untouched";
        SendMessageA(AppState.mdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(document), 0);
    }
}

}  // namespace
