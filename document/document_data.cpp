#include "document/document_data.h"

#include "state/app_state.h"

#include <cstring>

namespace {

const char kPathProperty[] = "経路";
const char kEncodingProperty[] = "符号化方式";
const char kShortenedProperty[] = "途中まで";

int OffsetOf(DocumentWindow slot)
{
    return static_cast<int>(slot) * static_cast<int>(sizeof(LONG_PTR));
}

}  // namespace

LONG_PTR GetDocumentData(HWND document, DocumentWindow slot)
{
    return GetWindowLongPtrA(document, OffsetOf(slot));
}

void SetDocumentData(HWND document, DocumentWindow slot, LONG_PTR value)
{
    SetWindowLongPtrA(document, OffsetOf(slot), value);
}

HWND DocumentEdit(HWND document)
{
    return reinterpret_cast<HWND>(GetDocumentData(document, DocumentWindow::edit));
}

std::string WindowTitle(HWND window)
{
    const int length = GetWindowTextLengthA(window);
    std::string title(static_cast<std::size_t>(length) + 1, '\0');
    const int got = GetWindowTextA(window, title.data(), length + 1);
    title.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    return title;
}

namespace {

void ForgetString(HWND document, const char* property)
{
    HGLOBAL block = static_cast<HGLOBAL>(RemovePropA(document, property));
    if (block != nullptr) {
        GlobalFree(block);
    }
}

// Keeps a string with the window in movable memory; without memory for it,
// none is kept, never an older one.
void KeepString(HWND document, const char* property, const std::string& value)
{
    ForgetString(document, property);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, value.size() + 1);
    void* text = block != nullptr ? GlobalLock(block) : nullptr;
    if (text == nullptr) {
        GlobalFree(block);
        return;
    }
    std::memcpy(text, value.c_str(), value.size() + 1);
    GlobalUnlock(block);
    if (!SetPropA(document, property, block)) {
        GlobalFree(block);
    }
}

bool ReadString(HWND document, const char* property, std::string& value)
{
    HGLOBAL block = static_cast<HGLOBAL>(GetPropA(document, property));
    const char* text = block != nullptr ? static_cast<const char*>(GlobalLock(block)) : nullptr;
    if (text == nullptr) {
        return false;
    }
    value = text;
    GlobalUnlock(block);
    return true;
}

}  // namespace

// Without memory for the name the title stands for it, never an older name.
void SetDocumentPath(HWND document, const std::string& path)
{
    KeepString(document, kPathProperty, path);
}

std::string DocumentPath(HWND document)
{
    std::string path;
    return ReadString(document, kPathProperty, path) ? path : WindowTitle(document);
}

void ForgetDocumentPath(HWND document)
{
    ForgetString(document, kPathProperty);
}

// The encoding is kept as the property's value itself; Shift-JIS as none.
TextEncoding DocumentEncoding(HWND document)
{
    return static_cast<TextEncoding>(reinterpret_cast<INT_PTR>(GetPropA(document, kEncodingProperty)));
}

void SetDocumentEncoding(HWND document, TextEncoding encoding)
{
    RemovePropA(document, kEncodingProperty);
    if (encoding != TextEncoding::ShiftJis) {
        SetPropA(document, kEncodingProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(encoding)));
    }
}

std::string ShortenedFile(HWND document)
{
    std::string title;
    return ReadString(document, kShortenedProperty, title) ? title : std::string();
}

void SetShortenedFile(HWND document, const std::string& title)
{
    if (title.empty()) {
        ForgetString(document, kShortenedProperty);
    } else {
        KeepString(document, kShortenedProperty, title);
    }
}

void ForgetDocumentFile(HWND document)
{
    ForgetDocumentPath(document);
    RemovePropA(document, kEncodingProperty);
    ForgetString(document, kShortenedProperty);
}

// The title windows of minimised documents have an owner and are skipped.
std::vector<HWND> DocumentWindowsTopDown()
{
    std::vector<HWND> windows;
    for (HWND w = GetWindow(AppState.mdiClient, GW_CHILD); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
        if (GetWindow(w, GW_OWNER) == nullptr) {
            windows.push_back(w);
        }
    }
    return windows;
}

HWND FindDocumentWindow(char* name)
{
    CharUpperA(name);
    const std::string wanted(name);
    for (HWND document : DocumentWindowsTopDown()) {
        if (WindowTitle(document) == wanted) {
            return document;
        }
    }
    return nullptr;
}
