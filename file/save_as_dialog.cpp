#include "document/document_window.h"

int RunSaveAsDialog(HWND)
{
    // No name can be chosen yet: an untitled document stays unsaved and open.
    return 0;
}
