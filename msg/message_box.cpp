#include "msg/message_box.h"

#include "msg/msgbox_layout.h"
#include "state/app_state.h"
#include "text/shift_jis_font.h"

#include <new>
#include <vector>

namespace {

constexpr UINT kCodePage = 932;
constexpr UINT kNoMemoryMessage = 10;
constexpr char kConversionWork[] = "文字変換";
constexpr UINT kProgramNameString = 18;

// Set while a box is being built, so that a failure to build the report of
// a failure falls back to the platform's own box instead of recursing.
bool reportingBuildFailure = false;

INT_PTR CALLBACK MessageBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: {
        // Messages name files, and a file name may hold "&": the text is
        // shown as written, as the platform's own box shows it.
        ShowDialogInShiftJis(box);
        HWND text = GetDlgItem(box, 0);
        SetWindowLongPtrA(text, GWL_STYLE, GetWindowLongPtrA(text, GWL_STYLE) | SS_NOPREFIX);
        CentreOnOwner(box, GetWindow(box, GW_OWNER));
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) >= 1 && LOWORD(wParam) <= 7) {
            EndDialog(box, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

std::string LoadProgramString(UINT id)
{
    char buffer[512] = "";
    LoadStringA(AppState.instance, id, buffer, sizeof buffer);
    return buffer;
}

int ShowFormatted(UINT flags, UINT stringId, const char* text, long long number)
{
    const std::string format = LoadProgramString(LOWORD(stringId));
    const std::string message = FormatOneArgument(format, text, number);
    const std::string caption = LoadProgramString(kProgramNameString);
    return JpMessageBox(AppState.frameWindow, message.c_str(), caption.c_str(), flags);
}

// The last resort when the program's own box cannot be built: the same
// words in the platform's box, which needs nothing of ours.
int PlatformBox(HWND owner, const char* text, const char* caption, UINT flags)
{
    return MessageBoxA(owner, text, caption, flags);
}

void ReportNoMemory()
{
    if (reportingBuildFailure) {
        return;
    }
    reportingBuildFailure = true;
    try {
        ReportError(nullptr, MB_ICONHAND, kNoMemoryMessage, kConversionWork);
    } catch (const std::bad_alloc&) {
        // Not even the report can be formatted: it is dropped rather than
        // thrown through the caller's window procedure.
    }
    reportingBuildFailure = false;
}

// The report's box belongs to the frame; a dialog of the frame beneath it,
// the one that asked or the active one, is held still until it is answered,
// so that nothing in it is pressed twice. Other windows are left alone.
class HeldDialog {
public:
    explicit HeldDialog(HWND window)
    {
        const bool popup = window != nullptr && (GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD) == 0;
        HWND candidate = popup ? window : GetActiveWindow();
        if (candidate != nullptr && GetWindow(candidate, GW_OWNER) == AppState.frameWindow &&
            IsWindowEnabled(candidate)) {
            dialog_ = candidate;
            EnableWindow(dialog_, FALSE);
        }
    }
    ~HeldDialog()
    {
        if (dialog_ != nullptr) {
            EnableWindow(dialog_, TRUE);
            SetActiveWindow(dialog_);
        }
    }
    HeldDialog(const HeldDialog&) = delete;
    HeldDialog& operator=(const HeldDialog&) = delete;

private:
    HWND dialog_ = nullptr;
};

// The work area of the monitor that the window is on (or nearest to): with
// a monitor left of or above the primary one it lies at negative coordinates.
ScreenRect WorkAreaOf(HWND window)
{
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info)) {
        return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    return {info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
}

}  // namespace

bool ToWideText(const char* text, std::u16string& wide)
{
    wide.clear();
    if (text == nullptr) {
        return true;
    }
    const int units = MultiByteToWideChar(kCodePage, 0, text, -1, nullptr, 0);
    if (units <= 0) {
        return false;
    }
    try {
        std::vector<wchar_t> buffer(static_cast<std::size_t>(units), L'\0');
        MultiByteToWideChar(kCodePage, 0, text, -1, buffer.data(), units);
        wide.assign(buffer.begin(), buffer.end() - 1);
    } catch (const std::bad_alloc&) {
        ReportNoMemory();
        return false;
    }
    return true;
}

int MeasureMessageText(const char* text, int& lineCount)
{
    const MessageTextMeasure measure = MeasureMessageLines(text);
    lineCount += measure.lines - 1;
    return measure.widest;
}

int JpMessageBox(HWND owner, const char* text, const char* caption, UINT flags)
{
    std::u16string wideCaption;
    std::u16string wideText;
    ToWideText(caption, wideCaption);
    ToWideText(text, wideText);

    MessageTextMeasure measure{1, 0};
    measure.widest = MeasureMessageText(text, measure.lines);

    std::vector<unsigned char> image;
    try {
        image = BuildMessageBoxTemplate(wideCaption, wideText, flags, measure);
    } catch (const std::bad_alloc&) {
        if (reportingBuildFailure) {
            return PlatformBox(owner, text, caption, flags);
        }
        ReportNoMemory();
        return -1;
    }

    MessageBeep(0xFFFFFFFF);
    const INT_PTR result =
        DialogBoxIndirectParamA(AppState.instance, reinterpret_cast<const DLGTEMPLATE*>(image.data()), owner,
                                MessageBoxProc, 0);
    return static_cast<int>(static_cast<unsigned>(result) & 0xFFFFu);
}

int ReportError(HWND window, UINT flags, UINT stringId, const char* argument)
{
    HeldDialog held(window);
    return ShowFormatted(flags, stringId, argument, 0);
}

int ReportError(HWND window, UINT flags, UINT stringId, long long argument)
{
    HeldDialog held(window);
    return ShowFormatted(flags, stringId, nullptr, argument);
}

void CentreOnOwner(HWND window, HWND owner)
{
    RECT box;
    RECT ownerRect;
    GetWindowRect(window, &box);
    if (owner == nullptr || !GetWindowRect(owner, &ownerRect)) {
        ownerRect = {0, 0, 0, 0};
    }
    const ScreenPoint place = PlaceBoxOverOwner(box.right - box.left, box.bottom - box.top,
                                                {ownerRect.left, ownerRect.top, ownerRect.right, ownerRect.bottom},
                                                WorkAreaOf(owner != nullptr ? owner : window));
    SetWindowPos(window, nullptr, place.x, place.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}
