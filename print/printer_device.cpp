#include "print/printer_device.h"

PrinterStateRecord PrinterState;

void RefreshPrinterState()
{
    // No printer is used yet: the printing commands stay grayed.
    PrinterState.available = false;
}
