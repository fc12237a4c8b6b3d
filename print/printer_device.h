#pragma once
// The default printer: looked up afresh from the system profile at every
// use, measured, and its margins converted to dots.

#include <windows.h>

#include "print/page_geometry.h"

#include <string>

struct PrinterStateRecord {
    // Whole: a name cut to fit would open no printer.
    std::string name;
    std::string driver;
    std::string port;
    // False from the start of every lookup until it produced a context.
    bool available = false;
    // The settings confirmed in the printer set-up dialog, or none, and the
    // device names that came with them, which hold the printer's whole name.
    HGLOBAL savedDevMode = nullptr;
    HGLOBAL savedDevNames = nullptr;
    TEXTMETRICA fontMetrics = {};
    int lineHeight = 0;       // device default font, in dots
    // The same font's line in the page units of printing, where the header
    // and footer are drawn in it.
    int pageLineHeight = 0;
    int horzRes = 0;
    int vertRes = 0;
    int offsetX = 0;
    int offsetY = 0;
    int paperWidth = 0;
    int paperHeight = 0;
    int minLeft = 0;
    int minRight = 0;
    int minTop = 0;
    int minBottom = 0;
    int dpiX = 0;
    int dpiY = 0;
    int leftDots = 0;
    int rightDots = 0;
    int topDots = 0;
    int bottomDots = 0;
};

extern PrinterStateRecord PrinterState;

// Looks the default printer up and refreshes PrinterState. Answers an
// information context or a device context (the caller deletes it), or none
// when there is no printer or no context could be made.
HDC CreatePrinterContext(bool informationOnly);

// Fills the measured fields of PrinterState from a fresh context.
void MeasurePrinter(HDC printer);

// The default device settings for a printer, filled from its capabilities.
// False when the driver cannot answer them: then no record is used.
bool BuildDefaultDevMode(const char* name, const char* port, DEVMODEA& record);

// The margins of PageLayout in dots at the measured resolution.
void ComputeMarginDots();

// The printer metrics of PrinterState, for the page arithmetic.
PrinterMetrics CurrentPrinterMetrics();

// Puts a printer context into the page units of printing: one unit is one
// screen pixel, the axes scaled separately. False when a scale is 0 or less.
bool SetPrintMapping(HDC printer, int scaleX, int scaleY);

// The font of page headers and footers, selected into a printer context
// while this object lives: the device's default font where the system's
// fonts show Shift-JIS, else a Shift-JIS font of its size.
class HeaderFont {
public:
    explicit HeaderFont(HDC printer);
    ~HeaderFont();
    HeaderFont(const HeaderFont&) = delete;
    HeaderFont& operator=(const HeaderFont&) = delete;

private:
    HDC printer_;
    HFONT made_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

// The line height of the header font in the current mapping of the context.
int DeviceFontLineHeight(HDC printer);

// The frame's refresh: a lookup whose information context is deleted at once.
void RefreshPrinterState();

// Drops the settings of the printer set-up dialog: the default printer with
// the default record is used again.
void ForgetSavedSettings();
