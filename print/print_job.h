#pragma once
// The print job: the whole text of a document on the default printer, with
// a header and a footer on every page, while a small dialog offers cancel.

#include <windows.h>

#include <string>

// Shared by the job, its dialog and its abort procedure; one job at a time.
struct PrintJobRecord {
    bool cancelRequested = false;
    char documentTitle[128] = "";
    char printFaceName[30] = "";
};

extern PrintJobRecord PrintJob;

// Prints the document; every failure but a cancel by the user is reported
// with string 25. True when the job was spooled whole.
bool PrintDocument(HWND document);

INT_PTR CALLBACK PrintingDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Lets the program run while the job spools; false once cancel is asked.
BOOL CALLBACK PrintAbortProc(HDC printer, int error);

// One line of the body, the header or the footer, converted from code page
// 932 for GDI.
void DrawBodyLine(HDC printer, int x, int y, const std::string& text);
void DrawPageHeader(HDC printer);
void DrawPageFooter(HDC printer, int page, int footerBase);
void DrawCentred(HDC printer, int leftX, int baseY, const char* text);

// A screen font as large as the printer's device default font prints.
HFONT CreatePrintFont(int scaleX, int scaleY);
