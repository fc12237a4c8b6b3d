#include "text/gdi_text.h"

#include "text/sjis.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <cwchar>

namespace {

constexpr UINT kCodePage = 932;

// Converts a name of at most size bytes (it need not end) into a wide field
// of size units, which keeps room for its terminator.
void WidenName(const BYTE* name, std::size_t size, WCHAR* wide)
{
    const std::size_t length = strnlen(reinterpret_cast<const char*>(name), size);
    const std::wstring text = WideFrom932(reinterpret_cast<const char*>(name), length);
    const std::size_t units = std::min(text.size(), size - 1);
    std::wmemcpy(wide, text.data(), units);
    wide[units] = L'\0';
}

}  // namespace

std::wstring WideFrom932(const char* text, std::size_t length)
{
    if (length == 0) {
        return std::wstring();
    }
    const int bytes = static_cast<int>(length);
    const int units = MultiByteToWideChar(kCodePage, 0, text, bytes, nullptr, 0);
    if (units <= 0) {
        return std::wstring();
    }
    std::wstring wide(static_cast<std::size_t>(units), L'\0');
    MultiByteToWideChar(kCodePage, 0, text, bytes, wide.data(), units);
    return wide;
}

std::wstring WideFrom932(const std::string& text)
{
    return WideFrom932(text.data(), text.size());
}

std::string NarrowTo932(const wchar_t* text, std::size_t count)
{
    const int units = static_cast<int>(wcsnlen(text, count));
    if (units == 0) {
        return std::string();
    }
    const int bytes = WideCharToMultiByte(kCodePage, 0, text, units, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) {
        return std::string();
    }
    std::string narrow(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(kCodePage, 0, text, units, narrow.data(), bytes, nullptr, nullptr);
    return narrow;
}

LOGFONTW WideLogFont(const LOGFONTA& font)
{
    LOGFONTW wide = {};
    std::memcpy(&wide, &font, offsetof(LOGFONTA, lfFaceName));
    WidenName(reinterpret_cast<const BYTE*>(font.lfFaceName), LF_FACESIZE, wide.lfFaceName);
    return wide;
}

LOGFONTA NarrowLogFont(const LOGFONTW& font)
{
    LOGFONTA narrow = {};
    std::memcpy(&narrow, &font, offsetof(LOGFONTW, lfFaceName));
    const std::string face = NarrowTo932(font.lfFaceName, LF_FACESIZE);
    std::memcpy(narrow.lfFaceName, face.c_str(), CutOnCharBoundary(face.c_str(), LF_FACESIZE - 1));
    return narrow;
}

std::vector<BYTE> WideDevMode(const DEVMODEA* record)
{
    if (record == nullptr) {
        return {};
    }
    // The narrow record may be an older, shorter one: only what its size
    // covers is copied, around the two names that double in width.
    constexpr std::size_t fixedStart = offsetof(DEVMODEA, dmSpecVersion);
    constexpr std::size_t formStart = offsetof(DEVMODEA, dmFormName);
    constexpr std::size_t afterForm = offsetof(DEVMODEA, dmLogPixels);
    const std::size_t size = std::max<std::size_t>(record->dmSize, fixedStart);
    const bool hasForm = size >= afterForm;
    const std::size_t wideSize = size + CCHDEVICENAME + (hasForm ? CCHFORMNAME : 0);
    std::vector<BYTE> buffer(std::max(wideSize, sizeof(DEVMODEW)) + record->dmDriverExtra, 0);
    auto* wide = reinterpret_cast<DEVMODEW*>(buffer.data());
    const auto* narrow = reinterpret_cast<const BYTE*>(record);

    WidenName(record->dmDeviceName, CCHDEVICENAME, wide->dmDeviceName);
    std::memcpy(&wide->dmSpecVersion, narrow + fixedStart, std::min(size, formStart) - fixedStart);
    if (hasForm) {
        WidenName(record->dmFormName, CCHFORMNAME, wide->dmFormName);
        std::memcpy(&wide->dmLogPixels, narrow + afterForm, size - afterForm);
    }
    wide->dmSize = static_cast<WORD>(wideSize);
    std::memcpy(buffer.data() + wideSize, narrow + size, record->dmDriverExtra);
    return buffer;
}

HDC CreatePrinterDc932(const char* driver, const char* device, const char* port, const DEVMODEA* record,
                       bool informationOnly)
{
    const std::wstring wideDriver = WideFrom932(driver, std::strlen(driver));
    const std::wstring wideDevice = WideFrom932(device, std::strlen(device));
    const std::wstring widePort = WideFrom932(port, std::strlen(port));
    std::vector<BYTE> wideRecord = WideDevMode(record);
    const auto* settings = wideRecord.empty() ? nullptr : reinterpret_cast<const DEVMODEW*>(wideRecord.data());
    if (informationOnly) {
        return CreateICW(wideDriver.c_str(), wideDevice.c_str(), widePort.c_str(), settings);
    }
    return CreateDCW(wideDriver.c_str(), wideDevice.c_str(), widePort.c_str(), settings);
}

BOOL TextOut932(HDC dc, int x, int y, const std::string& text)
{
    const std::wstring wide = WideFrom932(text);
    return TabbedTextOutW(dc, x, y, wide.c_str(), static_cast<int>(wide.size()), 0, nullptr, 0) != 0;
}

SIZE TextExtent932(HDC dc, const std::string& text)
{
    const std::wstring wide = WideFrom932(text);
    SIZE extent = {};
    GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &extent);
    return extent;
}

void TextFace932(HDC dc, char* face, std::size_t size)
{
    WCHAR wide[LF_FACESIZE] = L"";
    const int got = GetTextFaceW(dc, LF_FACESIZE, wide);
    const std::string narrow = got > 0 ? NarrowTo932(wide, LF_FACESIZE) : std::string();
    const std::size_t length = CutOnCharBoundary(narrow.c_str(), size - 1);
    std::memcpy(face, narrow.c_str(), length);
    face[length] = '\0';
}

HFONT CreateFont932(const LOGFONTA& font)
{
    const LOGFONTW wide = WideLogFont(font);
    return CreateFontIndirectW(&wide);
}

bool FontOf932(HGDIOBJ font, LOGFONTA& record)
{
    LOGFONTW wide = {};
    if (GetObjectW(font, sizeof wide, &wide) == 0) {
        return false;
    }
    record = NarrowLogFont(wide);
    return true;
}

int StartDoc932(HDC printer, const std::string& documentName, DWORD& error)
{
    const std::wstring name = WideFrom932(documentName);
    DOCINFOW info = {};
    info.cbSize = sizeof info;
    info.lpszDocName = name.c_str();
    const int job = StartDocW(printer, &info);
    error = job > 0 ? ERROR_SUCCESS : GetLastError();
    return job;
}
