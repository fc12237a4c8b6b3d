#include "search/search_dialog.h"

#include "document/document_data.h"
#include "document/limited_field.h"
#include "msg/message_box.h"
#include "res/resource.h"
#include "search/match.h"
#include "search/search_engine.h"
#include "state/app_state.h"
#include "state/search_state.h"
#include "text/shift_jis_font.h"

#include <cstring>
#include <string>

namespace {

constexpr int kSearchButtons[] = {IDOK, IDC_FIND_BACKWARD, IDC_REPLACE_ALL, IDC_REPLACE_AND_FIND};
constexpr char kReplaceAllDone[] = "全て単語置き換え終了しました。";
constexpr char kProgramName[] = "モクレ";

// The fields hold what SearchState can: 159 bytes and a terminator.
constexpr WPARAM kFieldLimit = sizeof SearchState.findText - 1;

// The search and replace buttons work only while there is something to find.
void ApplyEnablingRule(HWND dialog)
{
    const LRESULT length = SendDlgItemMessageA(dialog, IDC_FIND_TEXT, WM_GETTEXTLENGTH, 0, 0);
    const BOOL enable = LOWORD(length) != 0 ? TRUE : FALSE;
    for (int id : kSearchButtons) {
        HWND button = GetDlgItem(dialog, id);
        if (button != nullptr) {
            EnableWindow(button, enable);
        }
    }
}

void InitialiseFields(HWND dialog)
{
    LimitFieldBytes(GetDlgItem(dialog, IDC_FIND_TEXT), kFieldLimit);
    LimitFieldBytes(GetDlgItem(dialog, IDC_REPLACE_TEXT), kFieldLimit);
    SetDlgItemTextA(dialog, IDC_FIND_TEXT, SearchState.findText);
    SetDlgItemTextA(dialog, IDC_REPLACE_TEXT, SearchState.replaceText);
    ApplyEnablingRule(dialog);
}

// Copies a field into a string of SearchState. The field never holds more
// than fits; no half character ever joins the text.
template <std::size_t N>
void CopyField(HWND dialog, int id, char (&into)[N])
{
    const std::string text = WindowTitle(GetDlgItem(dialog, id));
    const std::size_t keep = WholeCharacterLength(text.c_str(), N - 1);
    std::memcpy(into, text.data(), keep);
    into[keep] = '\0';
}

void SearchFromDialog(HWND dialog, int direction, int replaceFirst)
{
    CopyField(dialog, IDC_FIND_TEXT, SearchState.findText);
    if (replaceFirst != 0) {
        CopyField(dialog, IDC_REPLACE_TEXT, SearchState.replaceText);
    }
    if (FindText(direction, replaceFirst) == 0) {
        // The not-found report belongs to the frame; the user goes on here.
        BringWindowToTop(dialog);
    }
}

// The completion message comes while the dialog still holds the frame
// disabled, and only when the replacing ran to its end.
void ReplaceAllFromDialog(HWND dialog)
{
    CopyField(dialog, IDC_FIND_TEXT, SearchState.findText);
    CopyField(dialog, IDC_REPLACE_TEXT, SearchState.replaceText);
    if (ReplaceAll()) {
        JpMessageBox(dialog, kReplaceAllDone, kProgramName, MB_OK);
    }
    EndDialog(dialog, 0);
}

INT_PTR SearchDialogCommand(HWND dialog, WPARAM wParam)
{
    switch (LOWORD(wParam)) {
    case IDOK:
        SearchFromDialog(dialog, +1, 0);
        return TRUE;
    case IDC_FIND_BACKWARD:
        SearchFromDialog(dialog, -1, 0);
        return TRUE;
    case IDC_REPLACE_AND_FIND:
        SearchFromDialog(dialog, +1, 1);
        return TRUE;
    case IDC_REPLACE_ALL:
        ReplaceAllFromDialog(dialog);
        return TRUE;
    case IDCANCEL:
        EndDialog(dialog, 0);
        return TRUE;
    case IDC_FIND_TEXT:
        if (HIWORD(wParam) == EN_UPDATE) {
            KeepFieldWithin(GetDlgItem(dialog, IDC_FIND_TEXT), kFieldLimit);
        } else if (HIWORD(wParam) == EN_CHANGE) {
            ApplyEnablingRule(dialog);
        }
        return TRUE;
    case IDC_REPLACE_TEXT:
        if (HIWORD(wParam) == EN_UPDATE) {
            KeepFieldWithin(GetDlgItem(dialog, IDC_REPLACE_TEXT), kFieldLimit);
        }
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace

INT_PTR CALLBACK SearchDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        ShowDialogInShiftJis(dialog);
        InitialiseFields(dialog);
        return TRUE;
    case WM_COMMAND:
        return SearchDialogCommand(dialog, wParam);
    default:
        return FALSE;
    }
}

void RunSearchDialog(HWND owner, int templateId)
{
    DialogBoxParamA(AppState.instance, MAKEINTRESOURCEA(templateId), owner, SearchDialogProc, 0);
}

void FindNext()
{
    if (WholeCharacterLength(SearchState.findText) == 0) {
        RunSearchDialog(AppState.frameWindow, IDD_FIND);
        return;
    }
    FindText(+1, 0);
}
