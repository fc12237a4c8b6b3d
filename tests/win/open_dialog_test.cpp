// The open dialog in a temporary folder tree, and the commands that run it.
// Lists are checked for what they contain: Wine also matches patterns
// against generated short names.

#include "document/document_data.h"
#include "file/open_dialog.h"
#include "res/resource.h"
#include "state/app_state.h"
#include "tests/win/harness.h"
#include "tests/win/import_patch.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

using OpenDialog = FrameTest;
using OpenCommands = FrameTest;

// Files of several types, a folder SUB and a folder 表 whose name ends in
// the byte of "\".
struct Tree : TempDirectory {
    Tree()
    {
        for (const char* name : {"letter.文書", "old.文", "a.h", "b.txt", "表ソ能.txt"}) {
            Write(name, std::string(name) + "\r\n");
        }
        for (const char* folder : {"SUB", "表"}) {
            MakeFolder(folder);
            Write(std::string(folder) + "\\c.txt", "c\r\n");
        }
    }
};

std::string Text(HWND dialog, int id) { return TitleOf(GetDlgItem(dialog, id)); }
bool Has(const std::vector<std::string>& items, const std::string& item)
{
    return std::find(items.begin(), items.end(), item) != items.end();
}
// Wine gives names as they were made and the path in lower case.
bool SameName(const std::string& a, const std::string& b) { return UpperCase(a) == UpperCase(b); }

struct Look {
    std::string field, path;
    std::vector<std::string> files, folders;
};
Look LookAt(HWND dialog)
{
    return {Text(dialog, IDC_OPEN_NAME), Text(dialog, IDC_DIRPATH), ListItems(GetDlgItem(dialog, IDC_OPEN_FILES)),
            ListItems(GetDlgItem(dialog, IDC_DIRLIST))};
}

void TypeAndConfirm(HWND dialog, const std::string& name)
{
    SetDlgItemTextA(dialog, IDC_OPEN_NAME, name.c_str());
    Notify(dialog, IDOK, BN_CLICKED);
}

// Selects the list item with this text, or the first that starts with it.
void Select(HWND dialog, int list, const std::string& item, int notification = LBN_SELCHANGE)
{
    HWND box = GetDlgItem(dialog, list);
    const LRESULT index = SendMessageA(box, LB_FINDSTRING, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(item.c_str()));
    EXPECT_NE(index, LB_ERR) << item;
    SendMessageA(box, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    Notify(dialog, list, LBN_SELCHANGE);
    if (notification == LBN_DBLCLK) {
        Notify(dialog, list, LBN_DBLCLK);
    }
}

// Runs the dialog; each action answers the next dialog or box to come up.
std::string RunDialog(std::vector<DialogAnswers::Action> actions, std::vector<SeenDialog>* seen = nullptr)
{
    DialogAnswers answers;
    for (auto& action : actions) {
        answers.Then(action);
    }
    char buffer[kFileNameBufferSize] = "junk";
    RunOpenDialog(buffer, sizeof buffer);
    EXPECT_EQ(answers.Pending(), 0u);
    if (seen != nullptr) {
        *seen = answers.Seen();
    }
    return buffer;
}

TEST_F(OpenDialog, StartsWithTheProgramsOwnFilesAndChangesType)
{
    Tree tree;
    CurrentFolder here(tree.path());
    Look first, all;
    std::vector<std::string> types;
    bool okEnabled = false;
    RunDialog({[&](HWND dialog) {
        first = LookAt(dialog);
        okEnabled = IsWindowEnabled(GetDlgItem(dialog, IDOK)) != FALSE;
        for (int i = 0; i < 7; ++i) {
            char label[64] = "";
            SendDlgItemMessageA(dialog, IDC_OPEN_TYPES, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(label));
            types.push_back(label);
        }
        SendDlgItemMessageA(dialog, IDC_OPEN_TYPES, CB_SETCURSEL, 6, 0);
        Notify(dialog, IDC_OPEN_TYPES, CBN_SELCHANGE);
        all = LookAt(dialog);
        PressButton(dialog, IDCANCEL);
    }});
    EXPECT_EQ(types, (std::vector<std::string>{"文書 ﾌｧｲﾙ(*.文書;*.文)", "機械翻訳(*.ASM;*.A86)", "Ｃ言語(*.C;*.CPP)",
                                               "定義ﾌｧｲﾙ(*.H;*.DEF)", "資源ﾌｧｲﾙ", "ﾃｷｽﾄﾌｧｲﾙ", "全て"}));
    EXPECT_EQ(first.field, "*.文書;*.文");
    EXPECT_EQ(first.path, UpperCase(tree.path()));
    EXPECT_TRUE(Has(first.files, "letter.文書") && Has(first.files, "old.文") && !Has(first.files, "b.txt"));
    EXPECT_TRUE(Has(first.folders, "[SUB]") && Has(first.folders, "[表]") && Has(first.folders, "[..]"));
    EXPECT_TRUE(std::any_of(first.folders.begin(), first.folders.end(),
                            [](const std::string& f) { return f.rfind("[-", 0) == 0; }));
    EXPECT_TRUE(okEnabled);
    EXPECT_EQ(all.field, "*.*");
    EXPECT_TRUE(Has(all.files, "b.txt") && Has(all.files, "a.h") && !Has(all.files, "[SUB]"));
}

// All patterns list in one list; the first pattern's folder is entered.
TEST_F(OpenDialog, PatternsListTheirFilesAndEnterTheirFolder)
{
    struct Case {
        const char *typed, *folder, *listed, *notListed, *field;
    };
    const Case cases[] = {
        {"*.H;*.TXT", "", "a.h", "letter.文書", "*.H;*.TXT"},
        {"*.H;;*.TXT;", "", "表ソ能.txt", "old.文", "*.H;;*.TXT;"},
        {"SUB\\*.TXT", "SUB", "c.txt", "b.txt", "*.TXT"},
        {"表\\*.*", "表", "c.txt", "a.h", "*.*"},
        {"NOWHERE\\*.H", "", "a.h", "c.txt", "*.H"},
        // A bare folder first, which the platform answers by writing "*.*"
        // over the name it was given.
        {"表;*.TXT", "表", "c.txt", "b.txt", "表;*.TXT"},
        {"SUB\\..;*.H", "", "a.h", "c.txt", "..;*.H"},
    };
    for (const Case& c : cases) {
        Tree tree;
        CurrentFolder here(tree.path());
        Look look;
        RunDialog({[&](HWND dialog) {
            TypeAndConfirm(dialog, c.typed);
            look = LookAt(dialog);
            PressButton(dialog, IDCANCEL);
        }});
        const std::string folder = *c.folder != '\0' ? tree.File(c.folder) : tree.path();
        EXPECT_TRUE(Has(look.files, c.listed) && !Has(look.files, c.notListed)) << c.typed;
        EXPECT_EQ(look.field, c.field);
        EXPECT_EQ(look.path, UpperCase(folder)) << c.typed;
        EXPECT_TRUE(SameName(CurrentFolderPath(), folder)) << c.typed;
    }
}

// [..] and a drive are proposed with the type's patterns; a double-click on
// [..] enters it, and one on a file ends the dialog with its full path.
TEST_F(OpenDialog, FolderDriveAndFileEntriesAreWalked)
{
    Tree tree;
    CurrentFolder here(tree.File("SUB"));
    std::string parentField, driveField;
    Look parent;
    const std::string result = RunDialog({[&](HWND dialog) {
        Select(dialog, IDC_DIRLIST, "[-" + tree.path().substr(0, 1));
        driveField = Text(dialog, IDC_OPEN_NAME);
        Select(dialog, IDC_DIRLIST, "[..]");
        parentField = Text(dialog, IDC_OPEN_NAME);
        Notify(dialog, IDC_DIRLIST, LBN_DBLCLK);
        parent = LookAt(dialog);
        Select(dialog, IDC_OPEN_FILES, "letter.文書", LBN_DBLCLK);
    }});
    EXPECT_TRUE(SameName(driveField, tree.path().substr(0, 1) + ":*.文書;*.文")) << driveField;
    EXPECT_EQ(parentField, "..\\*.文書;*.文");
    EXPECT_EQ(parent.path, UpperCase(tree.path()));
    EXPECT_TRUE(SameName(result, tree.File("letter.文書"))) << result;
}

// A name is given back as a full path only when it is an openable disk
// file; others get the failure message, or a beep when too long to keep.
TEST_F(OpenDialog, NamesAreAcceptedOnlyForDiskFiles)
{
    Tree tree;
    tree.Write("held.txt", "held");
    HeldByAnotherProcess held(tree.File("held.txt"));
    ASSERT_TRUE(held.Holding());
    CurrentFolder here(tree.path());
    std::string tooLong;  // a full path of more bytes than kept, but short enough to resolve
    while (tree.path().size() + 1 + tooLong.size() <= kLongestFileName) {
        tooLong += "表";
    }
    struct Case {
        std::string typed;
        const char* file;  // the file given back; null when refused
    };
    const Case cases[] = {
        {"b.txt", "b.txt"}, {"SUB\\c.txt", "SUB\\c.txt"}, {"表\\c.txt", "表\\c.txt"}, {"SUB", nullptr},
        {"missing.txt", nullptr}, {"NUL", nullptr}, {"nul.txt", nullptr}, {"CON", nullptr},
        {"held.txt", nullptr}, {tooLong, nullptr},
    };
    for (const Case& c : cases) {
        const bool message = c.file == nullptr && c.typed != tooLong;
        std::vector<SeenDialog> seen;
        std::vector<DialogAnswers::Action> actions{[&](HWND dialog) {
            TypeAndConfirm(dialog, c.typed);
            if (c.file == nullptr && !message) {
                PressButton(dialog, IDCANCEL);
            }
        }};
        if (message) {
            actions.push_back([](HWND box) { PressButton(box, IDOK); });
            actions.push_back([](HWND dialog) { PressButton(dialog, IDCANCEL); });
        }
        const std::string result = RunDialog(actions, &seen);
        EXPECT_TRUE(SameName(result, c.file != nullptr ? tree.File(c.file) : "")) << c.typed << ": " << result;
        ASSERT_EQ(seen.size(), message ? 3u : 1u) << c.typed;
        if (message) {
            EXPECT_EQ(seen[1].caption, "モクレ");
            EXPECT_TRUE(Has(seen[1].texts, "ファイル名を取り出す事に失敗しました。")) << c.typed;
        }
    }
}

// OK follows the field; Cancel gives nothing back, whatever was selected,
// and leaves current the folder reached, where the next dialog starts.
TEST_F(OpenDialog, CancelGivesNothingAndKeepsTheFolderReached)
{
    Tree tree;
    CurrentFolder here(tree.path());
    std::vector<bool> enabled;
    const std::string result = RunDialog({[&](HWND dialog) {
        for (const char* text : {"", "x"}) {
            SetDlgItemTextA(dialog, IDC_OPEN_NAME, text);
            enabled.push_back(IsWindowEnabled(GetDlgItem(dialog, IDOK)) != FALSE);
        }
        TypeAndConfirm(dialog, "SUB\\*.TXT");
        Select(dialog, IDC_OPEN_FILES, "c.txt");
        PressButton(dialog, IDCANCEL);
    }});
    EXPECT_EQ(enabled, (std::vector<bool>{false, true}));
    EXPECT_EQ(result, "");
    Look next;
    RunDialog({[&](HWND dialog) {
        next = LookAt(dialog);
        PressEscape(dialog);
    }});
    EXPECT_EQ(next.path, UpperCase(tree.File("SUB")));
}

ImportPatch* selectPatch = nullptr;

// The answer as Wine gives one whose Shift-JIS outgrows the buffer: the
// buffer filled to its end, no terminator, and success.
BOOL WINAPI SelectionFillingTheBuffer(HWND dialog, LPSTR buffer, int size, int list)
{
    selectPatch->original<decltype(&DlgDirSelectExA)>()(dialog, buffer, size, list);
    std::memset(buffer, 'X', static_cast<std::size_t>(size));
    return TRUE;
}

TEST_F(OpenDialog, ASelectionThatFillsItsBufferIsNotBelieved)
{
    Tree tree;
    CurrentFolder here(tree.path());
    std::vector<std::string> fields;
    RunDialog({[&](HWND dialog) {
        ImportPatch patch("user32.dll", "DlgDirSelectExA", reinterpret_cast<void*>(SelectionFillingTheBuffer));
        selectPatch = &patch;
        EXPECT_TRUE(patch.Patched());
        fields.push_back(Text(dialog, IDC_OPEN_NAME));
        Select(dialog, IDC_DIRLIST, "[..]");
        fields.push_back(Text(dialog, IDC_OPEN_NAME));
        Select(dialog, IDC_OPEN_FILES, "letter.文書");
        fields.push_back(Text(dialog, IDC_OPEN_NAME));
        PressButton(dialog, IDCANCEL);
    }});
    ASSERT_EQ(fields.size(), 3u);
    EXPECT_EQ(fields[1], fields[0]) << "the folder list";
    EXPECT_EQ(fields[2], fields[0]) << "the file list";
}

// Open reads a file once; choosing it again brings its document forward
// with its unsaved changes. Insert puts a file at the caret; cancelling
// either does nothing.
TEST_F(OpenCommands, OpenLoadsOnceAndInsertAddsAtTheCaret)
{
    Tree tree;
    CurrentFolder here(tree.path());
    HWND untitled = AppState.activeDocument;
    auto choose = [&](UINT command, const char* name) {
        DialogAnswers answers;
        answers.Then([name](HWND dialog) {
            name != nullptr ? TypeAndConfirm(dialog, name) : PressButton(dialog, IDCANCEL);
        });
        Command(command);
    };
    choose(IDM_FILEOPEN, "表ソ能.txt");
    HWND opened = AppState.activeDocument;
    ASSERT_NE(opened, untitled);
    EXPECT_EQ(TitleOf(opened), UpperCase(tree.File("表ソ能.txt")));
    SendMessageA(DocumentEdit(opened), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("[]"));
    SendMessageA(AppState.mdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(untitled), 0);
    choose(IDM_FILEOPEN, "表ソ能.TXT");
    EXPECT_EQ(AppState.activeDocument, opened);
    EXPECT_EQ(TitleOf(DocumentEdit(opened)), "[]表ソ能.txt\r\n");
    SendMessageA(DocumentEdit(opened), EM_SETSEL, 1, 1);
    choose(IDM_FILEINSERT, "SUB\\c.txt");
    choose(IDM_FILEINSERT, nullptr);
    choose(IDM_FILEOPEN, nullptr);
    EXPECT_EQ(TitleOf(DocumentEdit(opened)), "[c\r\n]表ソ能.txt\r\n");
    EXPECT_EQ(DocumentWindows().size(), 2u);
}

}  // namespace
