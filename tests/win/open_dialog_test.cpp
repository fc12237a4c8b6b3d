// The open dialog in a temporary folder tree: its first state, pattern
// lists, walking folders and drives, the names it gives back and the names
// it refuses, and the commands that run it.

#include "app/app_state.h"
#include "app/frame.h"
#include "document/document_window.h"
#include "file/open_dialog.h"
#include "res/resource.h"
#include "tests/win/harness.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

using OpenDialog = FrameTest;
using OpenCommands = FrameTest;

const char kCaption[] = "装置から記録体を取り出す";
const char kFailure[] = "ファイル名を取り出す事に失敗しました。";
const char kProperty[] = "ファイル名";

// A tree with files of several types, a folder and a folder whose name ends
// in a trail byte 0x5C (表).
struct Tree {
    TempDirectory dir;
    Tree()
    {
        for (const char* name : {"letter.文書", "old.文", "a.h", "b.txt", "README", "表ソ能.txt"}) {
            dir.Write(name, std::string(name) + "\r\n");
        }
        dir.MakeFolder("SUB");
        dir.Write("SUB\\c.txt", "c\r\n");
        dir.Write("SUB\\d.h", "d\r\n");
        dir.MakeFolder("表");
        dir.Write("表\\e.txt", "e\r\n");
    }
    std::string Upper(const std::string& name = "") const
    {
        return UpperCase(name.empty() ? dir.path() : dir.File(name));
    }
};

std::string Text(HWND dialog, int id)
{
    return TitleOf(GetDlgItem(dialog, id));
}

std::vector<std::string> Items(HWND dialog, int id)
{
    return ListItems(GetDlgItem(dialog, id));
}

bool Has(const std::vector<std::string>& items, const std::string& item)
{
    return std::find(items.begin(), items.end(), item) != items.end();
}

// Wine lists names as they were made and the path in lower case; the
// comparisons that may meet either ignore the case of ASCII letters.
bool SameName(const std::string& a, const std::string& b)
{
    return UpperCase(a) == UpperCase(b);
}

// What a test reads from the dialog while it is up.
struct Look {
    std::string name;
    std::string path;
    std::vector<std::string> files;
    std::vector<std::string> folders;
};

Look LookAt(HWND dialog)
{
    return {Text(dialog, IDC_OPEN_NAME), Text(dialog, IDC_DIRPATH), Items(dialog, IDC_OPEN_FILES),
            Items(dialog, IDC_DIRLIST)};
}

// Types into the name field and presses OK; the dialog handles both at once.
void TypeAndConfirm(HWND dialog, const std::string& name)
{
    SetDlgItemTextA(dialog, IDC_OPEN_NAME, name.c_str());
    Notify(dialog, IDOK, BN_CLICKED);
}

// Selects the list item with exactly this text, as a click does.
bool SelectItem(HWND dialog, int list, const std::string& item)
{
    HWND box = GetDlgItem(dialog, list);
    const LRESULT index = SendMessageA(box, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(item.c_str()));
    if (index == LB_ERR) {
        return false;
    }
    SendMessageA(box, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    Notify(dialog, list, LBN_SELCHANGE);
    return true;
}

// Runs the dialog; each action answers the next dialog or box that comes up.
std::string RunDialog(std::vector<DialogAnswers::Action> actions)
{
    DialogAnswers answers;
    for (auto& action : actions) {
        answers.Then(action);
    }
    char buffer[kFileNameBufferSize] = "junk";
    RunOpenDialog(buffer, sizeof buffer);
    PumpMessages();
    EXPECT_EQ(answers.Pending(), 0u);
    return buffer;
}

TEST_F(OpenDialog, StartsWithTheProgramsOwnFilesAndTheCurrentFolder)
{
    Tree tree;
    CurrentFolder here(tree.dir.path());
    Look look;
    std::vector<std::string> types;
    std::vector<std::string> typePatterns;
    LRESULT selected = -1;
    bool okEnabled = false;
    bool holdsBuffer = false;
    const std::string result = RunDialog({[&](HWND dialog) {
        look = LookAt(dialog);
        HWND combo = GetDlgItem(dialog, IDC_OPEN_TYPES);
        for (LRESULT i = 0; i < SendMessageA(combo, CB_GETCOUNT, 0, 0); ++i) {
            char label[64] = "";
            SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(label));
            types.push_back(label);
            typePatterns.push_back(
                reinterpret_cast<const char*>(SendMessageA(combo, CB_GETITEMDATA, static_cast<WPARAM>(i), 0)));
        }
        selected = SendMessageA(combo, CB_GETCURSEL, 0, 0);
        okEnabled = IsWindowEnabled(GetDlgItem(dialog, IDOK)) != FALSE;
        holdsBuffer = GetPropA(dialog, kProperty) != nullptr;
        PressButton(dialog, IDCANCEL);
    }});
    EXPECT_EQ(result, "");
    EXPECT_EQ(types, (std::vector<std::string>{"文書 ﾌｧｲﾙ(*.文書;*.文)", "機械翻訳(*.ASM;*.A86)", "Ｃ言語(*.C;*.CPP)",
                                               "定義ﾌｧｲﾙ(*.H;*.DEF)", "資源ﾌｧｲﾙ", "ﾃｷｽﾄﾌｧｲﾙ", "全て"}));
    EXPECT_EQ(typePatterns, (std::vector<std::string>{"*.文書;*.文", "*.ASM;*.A86", "*.C;*.CPP", "*.H;*.DEF",
                                                      "*.RC;*.RCV;*.DLG", "*.TXT;*.BAK;*.INI", "*.*"}));
    EXPECT_EQ(selected, 0);
    EXPECT_EQ(look.name, "*.文書;*.文");
    EXPECT_EQ(look.path, tree.Upper());
    EXPECT_TRUE(Has(look.files, "letter.文書"));
    EXPECT_TRUE(Has(look.files, "old.文"));
    EXPECT_FALSE(Has(look.files, "b.txt"));
    EXPECT_TRUE(Has(look.folders, "[SUB]"));
    EXPECT_TRUE(Has(look.folders, "[表]"));
    EXPECT_TRUE(Has(look.folders, "[..]"));
    EXPECT_TRUE(std::any_of(look.folders.begin(), look.folders.end(),
                            [](const std::string& item) { return item.rfind("[-", 0) == 0; }))
        << "no drive entry";
    EXPECT_TRUE(okEnabled);
    EXPECT_TRUE(holdsBuffer);
}

struct Refresh {
    const char* typed;
    const char* folder;  // where the dialog stands afterwards, "" for the tree
    std::vector<std::string> listed;
    std::vector<std::string> notListed;
    const char* field;
};

// Patterns list in one list; the first pattern's folder part is entered.
TEST_F(OpenDialog, PatternsListTheirFilesAndEnterTheirFolder)
{
    const Refresh cases[] = {
        {"*.H;*.TXT", "", {"a.h", "b.txt", "表ソ能.txt"}, {"letter.文書", "README"}, "*.H;*.TXT"},
        {"*.H;;*.TXT;", "", {"a.h", "b.txt"}, {"letter.文書"}, "*.H;;*.TXT;"},
        {"SUB\\*.TXT", "SUB", {"c.txt"}, {"d.h", "b.txt"}, "*.TXT"},
        {"SUB\\*.TXT;*.H", "SUB", {"c.txt", "d.h"}, {"a.h"}, "*.TXT;*.H"},
        {"表\\*.*", "表", {"e.txt"}, {"b.txt"}, "*.*"},
        {"*.文書", "", {"letter.文書"}, {"old.文"}, "*.文書"},
        {"NOWHERE\\*.TXT", "", {"b.txt"}, {"c.txt"}, "*.TXT"},
    };
    for (const Refresh& c : cases) {
        SCOPED_TRACE(c.typed);
        Tree tree;
        CurrentFolder here(tree.dir.path());
        Look look;
        RunDialog({[&](HWND dialog) {
            TypeAndConfirm(dialog, c.typed);
            look = LookAt(dialog);
            PressButton(dialog, IDCANCEL);
        }});
        for (const std::string& name : c.listed) {
            EXPECT_TRUE(Has(look.files, name)) << name;
        }
        for (const std::string& name : c.notListed) {
            EXPECT_FALSE(Has(look.files, name)) << name;
        }
        EXPECT_EQ(look.name, c.field);
        const std::string folder = c.folder[0] == '\0' ? tree.dir.path() : tree.dir.File(c.folder);
        EXPECT_EQ(look.path, UpperCase(folder)) << "the path line is upper case";
        EXPECT_TRUE(SameName(CurrentFolderPath(), folder)) << CurrentFolderPath();
    }
}

TEST_F(OpenDialog, ChoosingAFileTypeListsItsPatterns)
{
    Tree tree;
    CurrentFolder here(tree.dir.path());
    Look look;
    RunDialog({[&](HWND dialog) {
        SendDlgItemMessageA(dialog, IDC_OPEN_TYPES, CB_SETCURSEL, 6, 0);
        Notify(dialog, IDC_OPEN_TYPES, CBN_SELCHANGE);
        look = LookAt(dialog);
        PressButton(dialog, IDCANCEL);
    }});
    EXPECT_EQ(look.name, "*.*");
    for (const char* name : {"letter.文書", "old.文", "a.h", "b.txt", "README", "表ソ能.txt"}) {
        EXPECT_TRUE(Has(look.files, name)) << name;
    }
    EXPECT_FALSE(Has(look.files, "[SUB]")) << "folders are not files";
}

// Selecting [..] or a drive proposes it with the type's patterns; a
// double-click goes there.
TEST_F(OpenDialog, ParentAndDriveEntriesAreWalked)
{
    Tree tree;
    tree.dir.MakeFolder("SUB\\INNER");
    CurrentFolder here(tree.dir.File("SUB\\INNER"));
    std::string parentField;
    Look parent;
    std::string drive;
    std::string driveField;
    Look onDrive;
    RunDialog({[&](HWND dialog) {
        if (SelectItem(dialog, IDC_DIRLIST, "[..]")) {
            parentField = Text(dialog, IDC_OPEN_NAME);
            Notify(dialog, IDC_DIRLIST, LBN_DBLCLK);
            parent = LookAt(dialog);
        }
        // A drive other than the one the tree is on, so that its folder differs.
        for (const std::string& item : Items(dialog, IDC_DIRLIST)) {
            if (item.rfind("[-", 0) == 0 && !SameName(item.substr(2, 1), tree.dir.path().substr(0, 1))) {
                drive = item.substr(2, 1);
                SelectItem(dialog, IDC_DIRLIST, item);
                driveField = Text(dialog, IDC_OPEN_NAME);
                Notify(dialog, IDC_DIRLIST, LBN_DBLCLK);
                onDrive = LookAt(dialog);
                break;
            }
        }
        PressButton(dialog, IDCANCEL);
    }});
    EXPECT_EQ(parentField, "..\\*.文書;*.文");
    EXPECT_EQ(parent.path, tree.Upper("SUB"));
    EXPECT_TRUE(Has(parent.folders, "[INNER]"));
    EXPECT_EQ(parent.name, "*.文書;*.文");
    if (drive.empty()) {
        GTEST_SKIP() << "no second drive to walk to";
    }
    EXPECT_TRUE(SameName(driveField, drive + ":*.文書;*.文")) << driveField;
    EXPECT_TRUE(SameName(onDrive.path.substr(0, 2), drive + ":")) << onDrive.path;
    EXPECT_TRUE(SameName(CurrentFolderPath().substr(0, 2), drive + ":")) << CurrentFolderPath();
}

// A selected file goes into the field as the list shows it; a double-click
// ends the dialog with its full path.
TEST_F(OpenDialog, DoubleClickOnAFileGivesItsFullPath)
{
    struct Case {
        const char* type;  // the type to list with
        const char* file;
        const char* field;
    };
    const Case cases[] = {
        {"*.TXT", "b.txt", "b.txt"},
        {"*.*", "README", "README."},  // the platform marks a name without extension with a dot
        {"*.TXT", "表ソ能.txt", "表ソ能.txt"},
        {"*.文書", "letter.文書", "letter.文書"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        Tree tree;
        CurrentFolder here(tree.dir.path());
        std::string field;
        const std::string result = RunDialog({[&](HWND dialog) {
            TypeAndConfirm(dialog, c.type);
            if (!SelectItem(dialog, IDC_OPEN_FILES, c.file)) {
                ADD_FAILURE() << "not listed";
                PressButton(dialog, IDCANCEL);
                return;
            }
            field = Text(dialog, IDC_OPEN_NAME);
            Notify(dialog, IDC_OPEN_FILES, LBN_DBLCLK);
        }});
        EXPECT_TRUE(SameName(field, c.field)) << field;
        EXPECT_TRUE(SameName(result, tree.dir.File(c.file))) << result;
    }
}

TEST_F(OpenDialog, TypedNamesAreResolvedAgainstTheCurrentFolder)
{
    struct Case {
        const char* typed;  // from the folder X of the tree
        const char* file;   // in the tree
    };
    const Case cases[] = {
        {"x.txt", "X\\x.txt"},
        {"..\\b.txt", "b.txt"},
        {"..\\SUB\\c.txt", "SUB\\c.txt"},
        {"..\\表\\e.txt", "表\\e.txt"},
        {"..\\表ソ能.txt", "表ソ能.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        Tree tree;
        tree.dir.MakeFolder("X");
        tree.dir.Write("X\\x.txt", "x");
        CurrentFolder here(tree.dir.File("X"));
        const std::string result = RunDialog({[&](HWND dialog) { TypeAndConfirm(dialog, c.typed); }});
        EXPECT_TRUE(SameName(result, tree.dir.File(c.file))) << result;
    }
}

// Names that are no openable disk file give the failure message, and the
// dialog stays for another name.
TEST_F(OpenDialog, NamesThatAreNoDiskFileAreRefused)
{
    const char* const names[] = {"SUB", "表", "missing.txt", "NUL", "nul.txt", "CON", "held.txt", "SUB\\"};
    for (const char* typed : names) {
        SCOPED_TRACE(typed);
        Tree tree;
        tree.dir.Write("held.txt", "held\r\n");
        HeldByAnotherProcess held(tree.dir.File("held.txt"));
        ASSERT_TRUE(held.Holding());
        CurrentFolder here(tree.dir.path());
        DialogAnswers answers;
        answers.Then([&](HWND dialog) {
            SetDlgItemTextA(dialog, IDC_OPEN_NAME, typed);
            PressButton(dialog, IDOK);
        });
        answers.ThenPress(IDOK);
        std::string fieldAfter;
        answers.Then([&](HWND dialog) {
            fieldAfter = Text(dialog, IDC_OPEN_NAME);
            PressButton(dialog, IDCANCEL);
        });
        char buffer[kFileNameBufferSize] = "";
        RunOpenDialog(buffer, sizeof buffer);
        PumpMessages();
        EXPECT_STREQ(buffer, "");
        ASSERT_EQ(answers.Seen().size(), 3u);
        EXPECT_EQ(answers.Seen()[1].caption, "モクレ");
        EXPECT_TRUE(Has(answers.Seen()[1].texts, kFailure));
        EXPECT_EQ(answers.Seen()[2].caption, kCaption) << "the dialog is up again";
        EXPECT_EQ(fieldAfter, typed);
    }
}

// A name longer than any the program keeps is never cut to fit: the dialog
// stays without giving anything back.
TEST_F(OpenDialog, ANameTooLongToKeepIsNotCut)
{
    Tree tree;
    CurrentFolder here(tree.dir.path());
    std::string typed;
    while (tree.dir.path().size() + 1 + typed.size() <= kLongestFileName) {
        typed += "表";
    }
    bool stillUp = false;
    const std::string result = RunDialog({[&](HWND dialog) {
        TypeAndConfirm(dialog, typed);
        stillUp = IsWindowVisible(dialog) != FALSE;
        PressButton(dialog, IDCANCEL);
    }});
    EXPECT_TRUE(stillUp);
    EXPECT_EQ(result, "");
}

TEST_F(OpenDialog, OkFollowsTheNameField)
{
    Tree tree;
    CurrentFolder here(tree.dir.path());
    std::vector<bool> enabled;
    RunDialog({[&](HWND dialog) {
        for (const char* text : {"", "x", ""}) {
            SetDlgItemTextA(dialog, IDC_OPEN_NAME, text);
            enabled.push_back(IsWindowEnabled(GetDlgItem(dialog, IDOK)) != FALSE);
        }
        PressButton(dialog, IDCANCEL);
    }});
    EXPECT_EQ(enabled, (std::vector<bool>{false, true, false}));
}

// Cancel gives nothing back, whatever was selected, and leaves the folder
// the user walked to current, for the next dialog to start from.
TEST_F(OpenDialog, CancelGivesNothingAndKeepsTheFolderReached)
{
    Tree tree;
    CurrentFolder here(tree.dir.path());
    const std::string result = RunDialog({[&](HWND dialog) {
        TypeAndConfirm(dialog, "SUB\\*.TXT");
        SelectItem(dialog, IDC_OPEN_FILES, "c.txt");
        PressButton(dialog, IDCANCEL);
    }});
    EXPECT_EQ(result, "");
    EXPECT_TRUE(SameName(CurrentFolderPath(), tree.dir.File("SUB"))) << CurrentFolderPath();
    Look next;
    RunDialog({[&](HWND dialog) {
        next = LookAt(dialog);
        PressEscape(dialog);
    }});
    EXPECT_EQ(next.path, tree.Upper("SUB"));
}

// The property that keeps the caller's buffer goes with the dialog, however
// the dialog ends.
TEST_F(OpenDialog, ThePropertyIsRemovedWhateverEndsTheDialog)
{
    struct Case {
        const char* how;
        void (*end)(HWND dialog);
    };
    const Case cases[] = {
        {"OK", [](HWND dialog) {
             SetDlgItemTextA(dialog, IDC_OPEN_NAME, "b.txt");
             PressButton(dialog, IDOK);
         }},
        {"Cancel", [](HWND dialog) { PressButton(dialog, IDCANCEL); }},
        {"Escape", [](HWND dialog) { PressEscape(dialog); }},
        {"close box", [](HWND dialog) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        Tree tree;
        CurrentFolder here(tree.dir.path());
        DestroyedDialogs destroyed(kProperty);
        RunDialog({[&](HWND dialog) {
            EXPECT_NE(GetPropA(dialog, kProperty), nullptr);
            c.end(dialog);
        }});
        EXPECT_EQ(destroyed.KeptProperty(), std::vector<bool>{false});
    }
}

std::string EditText(HWND document)
{
    return TitleOf(DocumentEdit(document));
}

// Open reads the chosen file into a new document titled with its path;
// choosing it again brings that document forward without reading it again,
// so that its unsaved changes stay.
TEST_F(OpenCommands, OpenLoadsOnceAndThenBringsTheDocumentForward)
{
    Tree tree;
    CurrentFolder here(tree.dir.path());
    HWND untitled = AppState.activeDocument;
    {
        DialogAnswers answers;
        answers.Then([](HWND dialog) { TypeAndConfirm(dialog, "表ソ能.txt"); });
        Command(IDM_FILEOPEN);
    }
    HWND opened = AppState.activeDocument;
    ASSERT_NE(opened, untitled);
    EXPECT_EQ(TitleOf(opened), tree.Upper("表ソ能.txt"));
    EXPECT_EQ(EditText(opened), "表ソ能.txt\r\n");

    SendMessageA(DocumentEdit(opened), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("changed "));
    SendMessageA(AppState.mdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(untitled), 0);
    PumpMessages();
    ASSERT_EQ(AppState.activeDocument, untitled);
    {
        DialogAnswers answers;
        answers.Then([](HWND dialog) { TypeAndConfirm(dialog, "表ソ能.TXT"); });
        Command(IDM_FILEOPEN);
    }
    EXPECT_EQ(AppState.activeDocument, opened);
    EXPECT_EQ(DocumentWindows().size(), 2u);
    EXPECT_EQ(EditText(opened).rfind("changed ", 0), 0u) << EditText(opened);
}

TEST_F(OpenCommands, CancelledOpenAndInsertChangeNothing)
{
    Tree tree;
    CurrentFolder here(tree.dir.path());
    HWND document = AppState.activeDocument;
    for (UINT command : {IDM_FILEOPEN, IDM_FILEINSERT}) {
        DialogAnswers answers;
        answers.ThenPress(IDCANCEL);
        Command(command);
        EXPECT_EQ(answers.Seen().size(), 1u) << command;
        EXPECT_EQ(DocumentWindows().size(), 1u) << command;
        EXPECT_EQ(EditText(document), "") << command;
        EXPECT_EQ(GetDocumentData(document, DocumentWindow::changed), 0) << command;
    }
}

TEST_F(OpenCommands, InsertPutsTheChosenFileAtTheCaret)
{
    Tree tree;
    CurrentFolder here(tree.dir.path());
    HWND document = AppState.activeDocument;
    SendMessageA(DocumentEdit(document), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("[]"));
    SendMessageA(DocumentEdit(document), EM_SETSEL, 1, 1);
    DialogAnswers answers;
    answers.Then([](HWND dialog) { TypeAndConfirm(dialog, "SUB\\c.txt"); });
    Command(IDM_FILEINSERT);
    EXPECT_EQ(EditText(document), "[c\r\n]");
    EXPECT_EQ(DocumentWindows().size(), 1u);
    EXPECT_EQ(TitleOf(document), "書簡1");
}

}  // namespace
