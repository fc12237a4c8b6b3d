#pragma once
// A dialog's edit field that holds at most a number of bytes of code page
// 932 text. The platform's own limit counts bytes on Windows but characters
// under Wine, so the field also checks its text each time it changes.

#include <windows.h>

#include <cstddef>

// Sets the platform's limit, once, as the dialog starts, and cuts what comes
// in (a paste, typed characters, what an IME commits) to what fits before
// the field takes it, so that the one change undo takes back is the input
// already cut.
void LimitFieldBytes(HWND field, std::size_t limit);

// For EN_UPDATE, for input that came in by other ways (EM_REPLACESEL from
// another program): an input that took the field past limit bytes is cut back
// from its end to what fits, on a character boundary, with a beep; the
// caret stays after what was kept.
void KeepFieldWithin(HWND field, std::size_t limit);
