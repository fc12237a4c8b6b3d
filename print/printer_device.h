#pragma once
// The default printer and its metrics.

#include <windows.h>

struct PrinterStateRecord {
    char name[160] = "";
    char driver[160] = "";
    char port[160] = "";
    // False until a lookup has produced a printer context.
    bool available = false;
    HGLOBAL savedDevMode = nullptr;
};

extern PrinterStateRecord PrinterState;

// Looks the default printer up again and records what was found.
void RefreshPrinterState();
