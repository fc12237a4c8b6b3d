#include "document/document_data.h"

#include "state/app_state.h"

#include <cstring>

namespace {

const char kPathProperty[] = "経路";

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

// Without memory for the name the title stands for it, never an older name.
void SetDocumentPath(HWND document, const std::string& path)
{
    ForgetDocumentPath(document);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, path.size() + 1);
    void* text = block != nullptr ? GlobalLock(block) : nullptr;
    if (text == nullptr) {
        GlobalFree(block);
        return;
    }
    std::memcpy(text, path.c_str(), path.size() + 1);
    GlobalUnlock(block);
    if (!SetPropA(document, kPathProperty, block)) {
        GlobalFree(block);
    }
}

std::string DocumentPath(HWND document)
{
    HGLOBAL block = static_cast<HGLOBAL>(GetPropA(document, kPathProperty));
    const char* text = block != nullptr ? static_cast<const char*>(GlobalLock(block)) : nullptr;
    if (text == nullptr) {
        return WindowTitle(document);
    }
    const std::string path(text);
    GlobalUnlock(block);
    return path;
}

void ForgetDocumentPath(HWND document)
{
    HGLOBAL block = static_cast<HGLOBAL>(RemovePropA(document, kPathProperty));
    if (block != nullptr) {
        GlobalFree(block);
    }
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
