#pragma once
// GDI's text calls in their wide forms. GDI reads and writes ANSI text in
// the system code page, which the manifest's code page does not change; the
// program's text is code page 932 wherever it runs, so it is converted here.

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

std::wstring WideFrom932(const char* text, std::size_t length);
std::wstring WideFrom932(const std::string& text);
// Up to the terminator or count units, whichever comes first.
std::string NarrowTo932(const wchar_t* text, std::size_t count);

// The face name converted; a name that outgrows the narrow record is cut on
// a character boundary.
LOGFONTW WideLogFont(const LOGFONTA& font);
LOGFONTA NarrowLogFont(const LOGFONTW& font);

// A wide copy of a device record with its names converted and the driver's
// own bytes behind it; empty for no record.
std::vector<BYTE> WideDevMode(const DEVMODEA* record);

HDC CreatePrinterDc932(const char* driver, const char* device, const char* port, const DEVMODEA* record,
                       bool informationOnly);
BOOL TextOut932(HDC dc, int x, int y, const std::string& text);
SIZE TextExtent932(HDC dc, const std::string& text);
// The selected font's face, cut whole to fit size bytes with the terminator.
void TextFace932(HDC dc, char* face, std::size_t size);
HFONT CreateFont932(const LOGFONTA& font);
// The logical font of a font object; false when it is none.
bool FontOf932(HGDIOBJ font, LOGFONTA& record);
// The job's number; 0 or less when it cannot start, with the platform's
// reason in error.
int StartDoc932(HDC printer, const std::string& documentName, DWORD& error);
