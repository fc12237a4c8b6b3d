#include "tests/win/file_support.h"

#include "document/document_data.h"
#include "res/resource.h"
#include "state/app_state.h"

const char kBackupExtension[] = ".世代";
const char kCannotOpen[] = "ファイルを取り出すことができません。";
const char kCannotRead[] = "ファイルを読み込めません。";
const char kCannotCreate[] = "ファイルを作成できません。";
const char kCannotWrite[] = "ファイルに書き込めません。";

LONG_PTR Changed(HWND document)
{
    return GetDocumentData(document, DocumentWindow::changed);
}

void TypeText(HWND document, const std::string& text)
{
    HWND edit = DocumentEdit(document);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

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

std::string About(const std::string& path, const char* failure)
{
    return "「" + path + "」 " + failure;
}

void ExpectReport(const SeenDialog& seen, const std::string& message)
{
    EXPECT_EQ(seen.caption, "モクレ");
    EXPECT_EQ(seen.texts, (std::vector<std::string>{message, "了解(&ﾘ)"}));
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

