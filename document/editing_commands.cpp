#include "document/editing_commands.h"

#include "document/date_line.h"
#include "document/document_data.h"
#include "document/doc_info.h"
#include "document/edit_positions.h"
#include "document/edit_units.h"
#include "msg/message_box.h"
#include "res/resource.h"
#include "state/app_state.h"
#include "state/current_log_font.h"
#include "text/gdi_text.h"

#include <cstring>

namespace {

constexpr char kProgramName[] = "モクレ";
constexpr char kNoDocument[] = "開いている文書がありません。";

void Select(HWND edit, LPARAM start, LPARAM end)
{
    SendMessageA(edit, EM_SETSEL, static_cast<WPARAM>(start), end);
    SendMessageA(edit, EM_SCROLLCARET, 0, 0);
}

DWORD SelectionStart(HWND edit)
{
    DWORD start = 0;
    DWORD end = 0;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return start;
}

void GoToLastLine(HWND edit)
{
    const LRESULT lines = SendMessageA(edit, EM_GETLINECOUNT, 0, 0);
    const LRESULT start = SendMessageA(edit, EM_LINEINDEX, static_cast<WPARAM>(lines - 1), 0);
    Select(edit, start, start);
}

YearStyle StyleOf(UINT command)
{
    switch (command) {
    case IDM_EDITDATEKOKI:
        return YearStyle::Koki;
    case IDM_EDITDATEHEISEI:
        return YearStyle::Heisei;
    default:
        return YearStyle::Seireki;
    }
}

DocumentInfo MeasureDocument(HWND edit)
{
    DocumentInfo info{};
    HDC dc = GetDC(edit);
    info.dpiX = GetDeviceCaps(dc, LOGPIXELSX);
    info.dpiY = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(edit, dc);

    RECT rect = {};
    SendMessageA(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&rect));
    info.left = rect.left;
    info.top = rect.top;
    info.right = rect.right;
    info.bottom = rect.bottom;

    info.lineCount = static_cast<int>(SendMessageA(edit, EM_GETLINECOUNT, 0, 0));
    info.textLength = static_cast<int>(SendMessageA(edit, WM_GETTEXTLENGTH, 0, 0));
    const LRESULT line = SendMessageA(edit, EM_LINEFROMCHAR, static_cast<WPARAM>(-1), 0);
    info.caretLine = static_cast<int>(line) + 1;

    // The column is taken on the same line as the line number, so that a
    // selection running over several lines cannot give a column below 1.
    const LRESULT lineStart = SendMessageA(edit, EM_LINEINDEX, static_cast<WPARAM>(line), 0);
    const EditSelection selection = SelectionOf(edit);

    HFONT font = reinterpret_cast<HFONT>(SendMessageA(edit, WM_GETFONT, 0, 0));
    if (font == nullptr) {
        font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    }
    FontOf932(font, CurrentLogFont);
    info.faceName.assign(CurrentLogFont.lfFaceName, strnlen(CurrentLogFont.lfFaceName, LF_FACESIZE));

    // The column counts bytes, whatever unit the control counts positions
    // in; the text is locked only once the control has answered everything.
    const EditText text(edit);
    const std::size_t lineStartBytes = BytesOfEditPosition(text.data(), text.length(),
                                                           static_cast<std::size_t>(lineStart),
                                                           AppState.editCountsBytes);
    info.caretColumn = ColumnFromOffsets(static_cast<int>(SelectionInBytes(selection, text).start),
                                         static_cast<int>(lineStartBytes));
    return info;
}

}  // namespace

void RunEditingCommand(HWND edit, UINT command)
{
    switch (command) {
    case IDM_EDITUNDO:
        SendMessageA(edit, WM_UNDO, 0, 0);
        break;
    case IDM_EDITCUT:
        SendMessageA(edit, WM_CUT, 0, 0);
        break;
    case IDM_EDITCOPY:
        SendMessageA(edit, WM_COPY, 0, 0);
        break;
    case IDM_EDITPASTE:
        SendMessageA(edit, WM_PASTE, 0, 0);
        break;
    case IDM_EDITCLEAR:
        SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(""));
        break;
    case IDM_EDITSELECTALL:
        Select(edit, 0, -1);
        break;
    case IDM_EDITSELECTBELOW:
        Select(edit, static_cast<LPARAM>(SelectionStart(edit)), -1);
        break;
    case IDM_EDITSELECTABOVE:
        Select(edit, 0, static_cast<LPARAM>(SelectionStart(edit)));
        break;
    case IDM_SEARCHTOP:
        Select(edit, 0, 0);
        break;
    case IDM_SEARCHBOTTOM:
        GoToLastLine(edit);
        break;
    case IDM_EDITDATEKOKI:
    case IDM_EDITDATEHEISEI:
    case IDM_EDITDATESEIREKI:
        InsertDateAndTime(edit, command);
        break;
    default:
        break;
    }
}

void InsertDateAndTime(HWND edit, UINT command)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    const std::string line = FormatDateLine(StyleOf(command), now.wYear, now.wMonth, now.wDay, now.wDayOfWeek,
                                            now.wHour, now.wMinute);
    SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(line.c_str()));
}

void ShowDocumentInformation(HWND owner, HWND edit)
{
    if (edit == nullptr) {
        JpMessageBox(owner, kNoDocument, kProgramName, MB_OK);
        return;
    }
    DocumentInfo info = MeasureDocument(edit);
    info.encodingName = EncodingName(DocumentEncoding(GetParent(edit)));
    const std::string report = FormatDocumentInfo(info);
    JpMessageBox(owner, report.c_str(), kProgramName, MB_OK);
}
