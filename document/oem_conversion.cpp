#include "document/oem_conversion.h"

#include "document/document_data.h"
#include "document/edit_control.h"
#include "document/edit_positions.h"
#include "msg/message_box.h"
#include "state/app_state.h"

#include <cstring>

namespace {

constexpr UINT kNoMemory = 10;
constexpr char kCharacterConversion[] = "文字変換";

// The control's whole text in the other code page; none when memory ran short.
HGLOBAL ConvertEditText(HWND edit, UINT from, UINT to)
{
    EditText text(edit);
    if (!text.valid()) {
        return nullptr;
    }
    return ConvertedText(text.data(), text.length(), from, to);
}

bool ReplaceText(HWND edit, HGLOBAL converted)
{
    const char* text = static_cast<const char*>(GlobalLock(converted));
    const bool taken = SetTextChecked(edit, text);
    GlobalUnlock(converted);
    return taken;
}

// Converts the active document's text and shows it in font. Under a system
// whose OEM code page is its ANSI one the bytes are already in OEM form, and
// a round trip through Unicode would change some of them for good.
int ConvertActiveDocument(UINT from, UINT to, HFONT font)
{
    HWND edit = AppState.activeEdit;
    HGLOBAL converted = nullptr;
    if (from != to) {
        converted = ConvertEditText(edit, from, to);
        if (converted == nullptr) {
            ReportError(edit, MB_ICONSTOP, kNoMemory, kCharacterConversion);
            return 0;
        }
    }
    HFONT previous = reinterpret_cast<HFONT>(SendMessageA(edit, WM_GETFONT, 0, 0));
    SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (converted != nullptr) {
        const bool taken = ReplaceText(edit, converted);
        GlobalFree(converted);
        if (!taken) {
            SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(previous), FALSE);
            ReportError(edit, MB_ICONSTOP, kNoMemory, kCharacterConversion);
            return 0;
        }
    }
    InvalidateRect(edit, nullptr, TRUE);
    return 1;
}

}  // namespace

HGLOBAL ConvertedText(const char* text, std::size_t length, UINT from, UINT to)
{
    if (length > 0x7FFFFFFE) {
        return nullptr;
    }
    if (from == to || length == 0) {
        HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, length + 1);
        if (copy != nullptr && length > 0) {
            std::memcpy(GlobalLock(copy), text, length);
            GlobalUnlock(copy);
        }
        return copy;
    }
    std::size_t bytes = 0;
    return ThroughUnicode(text, length, from, to, &bytes);
}

HGLOBAL ThroughUnicode(const char* text, std::size_t length, UINT from, UINT to, std::size_t* bytes)
{
    *bytes = 0;
    if (length == 0 || length > 0x7FFFFFFE) {
        return nullptr;
    }
    const int count = static_cast<int>(length);
    // Sizes are asked first: a conversion may take more bytes than it gives.
    const int wideCount = MultiByteToWideChar(from, 0, text, count, nullptr, 0);
    if (wideCount <= 0) {
        return nullptr;
    }
    HGLOBAL wideBlock = GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(wideCount) * sizeof(WCHAR));
    if (wideBlock == nullptr) {
        return nullptr;
    }
    WCHAR* wide = static_cast<WCHAR*>(GlobalLock(wideBlock));
    MultiByteToWideChar(from, 0, text, count, wide, wideCount);
    const int converted = WideCharToMultiByte(to, 0, wide, wideCount, nullptr, 0, nullptr, nullptr);
    HGLOBAL result =
        converted > 0 ? GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, static_cast<SIZE_T>(converted) + 1) : nullptr;
    if (result != nullptr) {
        WideCharToMultiByte(to, 0, wide, wideCount, static_cast<char*>(GlobalLock(result)), converted, nullptr,
                            nullptr);
        GlobalUnlock(result);
        *bytes = static_cast<std::size_t>(converted);
    }
    GlobalUnlock(wideBlock);
    GlobalFree(wideBlock);
    return result;
}

int ConvertToOem()
{
    return ConvertActiveDocument(GetACP(), GetOEMCP(), static_cast<HFONT>(GetStockObject(OEM_FIXED_FONT)));
}

int ConvertFromOem()
{
    HFONT own = reinterpret_cast<HFONT>(GetDocumentData(AppState.activeDocument, DocumentWindow::font));
    return ConvertActiveDocument(GetOEMCP(), GetACP(), own);
}

void SwitchOemForm()
{
    HWND document = AppState.activeDocument;
    const bool oem = GetDocumentData(document, DocumentWindow::oemConverted) != 0;
    if ((oem ? ConvertFromOem() : ConvertToOem()) == 1) {
        SetDocumentData(document, DocumentWindow::oemConverted, oem ? 0 : 1);
    }
}
