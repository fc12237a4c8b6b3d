#pragma once
// The program-wide state of the shell: one record for the whole run.

#include <windows.h>

struct AppStateRecord {
    HINSTANCE instance = nullptr;
    HWND frameWindow = nullptr;
    HWND mdiClient = nullptr;
    HACCEL accelerators = nullptr;
    HWND activeDocument = nullptr;
    HWND activeEdit = nullptr;
    HFONT defaultFont = nullptr;
    // Untitled documents are numbered from 1; numbers are never reused.
    unsigned long untitledCounter = 0;
    DWORD childStyle = WS_MAXIMIZE;
    // Whether the edit control counts positions in bytes of the code page
    // 932 text, as Windows does, or in characters, as Wine does; probed once
    // at start-up.
    bool editCountsBytes = true;
    // Whether the block the edit control hands out (EM_GETHANDLE) is the
    // text it works on, as on Windows, so that the program lends it the text
    // and reads it in place; or a copy it converts from and to its UTF-16
    // text on every later message, as under Wine, so that the program gives
    // and reads the text by WM_SETTEXT and WM_GETTEXT. Probed once at start-up.
    bool editBlockIsItsText = true;
};

extern AppStateRecord AppState;

// Names of the two window classes.
extern const char kFrameClassName[];
extern const char kDocumentClassName[];
