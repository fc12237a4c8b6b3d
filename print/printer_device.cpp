#include "print/printer_device.h"

#include "msg/message_box.h"
#include "msg/msgbox_layout.h"
#include "print/page_layout.h"
#include "print/printer_line.h"
#include "state/app_state.h"
#include "text/gdi_text.h"
#include "text/shift_jis_font.h"
#include "text/sjis.h"

#include <cstring>
#include <string>

PrinterStateRecord PrinterState;

namespace {

template <std::size_t N>
void CopyCut(char (&target)[N], const char* text)
{
    const std::size_t length = CutOnCharBoundary(text, N - 1);
    std::memcpy(target, text, length);
    target[length] = '\0';
}

HDC MakeContext(bool informationOnly, const DEVMODEA* record)
{
    return CreatePrinterDc932(PrinterState.driver.c_str(), PrinterState.name.c_str(), PrinterState.port.c_str(),
                              record, informationOnly);
}

// The printer the saved settings were chosen for, and its port, which Wine
// prints to. The set-up dialog's device names hold both whole; the record
// holds only 31 bytes of the name, which still stand for the profile's
// printer when they begin its name.
void TakeSavedPrinter(const DEVMODEA& saved)
{
    std::string name;
    std::string port;
    if (const void* names = GlobalLock(PrinterState.savedDevNames)) {
        const auto* block = static_cast<const unsigned char*>(names);
        const std::size_t size = GlobalSize(PrinterState.savedDevNames);
        name = DevNamesName(block, size, DevNamesPart::device);
        port = DevNamesName(block, size, DevNamesPart::port);
        GlobalUnlock(PrinterState.savedDevNames);
    }
    if (!name.empty()) {
        PrinterState.name = name;
        if (!port.empty()) {
            PrinterState.port = port;
        }
        return;
    }
    char device[CCHDEVICENAME + 1] = "";
    std::memcpy(device, saved.dmDeviceName, CCHDEVICENAME);
    if (!IsCutDeviceName(PrinterState.name.c_str(), device)) {
        PrinterState.name = device;
    }
}

// The user chose this printer and will not get it: said once, since the
// settings are dropped.
void ReportChosenPrinterLost(const std::string& name)
{
    const std::string text =
        FormatOneArgument("印字機の設定で選んだ「%s」を開けません。初期設定の印字機を使います。", name.c_str(), 0);
    JpMessageBox(AppState.frameWindow, text.c_str(), "モクレ", MB_ICONEXCLAMATION);
}

// The context made with the saved settings; when none can be made they are
// dropped, the user is told, and the printer of the profile line is tried
// with the default record instead.
HDC MakeContextWithSavedSettings(bool informationOnly, const PrinterLine& line, DEVMODEA* defaults)
{
    std::string lost;
    if (auto* saved = static_cast<DEVMODEA*>(GlobalLock(PrinterState.savedDevMode))) {
        TakeSavedPrinter(*saved);
        saved->dmFields |= DM_SCALE | DM_TTOPTION;
        HDC context = MakeContext(informationOnly, saved);
        GlobalUnlock(PrinterState.savedDevMode);
        if (context != nullptr) {
            return context;
        }
        lost = PrinterState.name;
    }
    // Dropped before the box, whose messages may ask for the printer again.
    ForgetSavedSettings();
    PrinterState.name = line.name;
    PrinterState.port = line.port;
    if (!lost.empty()) {
        ReportChosenPrinterLost(lost);
    }
    return MakeContext(informationOnly, defaults);
}

using DeviceCapabilitiesFunction = int(WINAPI*)(LPCSTR, LPCSTR, WORD, LPSTR, const DEVMODEA*);

// The spooler is not one of the DLLs that Windows always takes from
// System32, so it is not imported: one lying beside the program would be
// loaded in its place. It is loaded here from System32 alone.
DeviceCapabilitiesFunction LoadDeviceCapabilities()
{
    HMODULE spooler = LoadLibraryExW(L"winspool.drv", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    FARPROC function = spooler != nullptr ? GetProcAddress(spooler, "DeviceCapabilitiesA") : nullptr;
    return reinterpret_cast<DeviceCapabilitiesFunction>(reinterpret_cast<void (*)()>(function));
}

// One capability of the printer; -1, as the driver's own failure, when the
// spooler cannot be had.
int AskCapability(const char* name, const char* port, WORD capability)
{
    static const DeviceCapabilitiesFunction deviceCapabilities = LoadDeviceCapabilities();
    if (deviceCapabilities == nullptr) {
        return -1;
    }
    return deviceCapabilities(name, port, capability, nullptr, nullptr);
}

struct ScreenDpi {
    int x;
    int y;
};

ScreenDpi ReadScreenDpi()
{
    HDC screen = GetDC(nullptr);
    const ScreenDpi dpi{GetDeviceCaps(screen, LOGPIXELSX), GetDeviceCaps(screen, LOGPIXELSY)};
    ReleaseDC(nullptr, screen);
    return dpi;
}

}  // namespace

bool BuildDefaultDevMode(const char* name, const char* port, DEVMODEA& record)
{
    record = DEVMODEA();
    // Every answer is asked, so that a driver that cannot give one is not
    // trusted with a record. DC_SIZE and DC_EXTRA describe the driver's own
    // record, DC_COPIES is the most it can print and DC_TRUETYPE a set of
    // capability bits: none of them is a value for this record.
    const WORD capabilities[] = {DC_VERSION, DC_DRIVER, DC_SIZE, DC_EXTRA, DC_FIELDS, DC_COPIES, DC_TRUETYPE};
    int answers[7] = {};
    for (int i = 0; i < 7; ++i) {
        answers[i] = AskCapability(name, port, capabilities[i]);
        if (answers[i] == -1) {
            return false;
        }
    }
    char device[CCHDEVICENAME] = "";
    CopyCut(device, name);
    std::memcpy(record.dmDeviceName, device, sizeof device);
    record.dmSpecVersion = static_cast<WORD>(answers[0]);
    record.dmDriverVersion = static_cast<WORD>(answers[1]);
    record.dmSize = sizeof(DEVMODEA);
    record.dmDriverExtra = 0;
    record.dmFields = static_cast<DWORD>(answers[4]);
    record.dmOrientation = DMORIENT_PORTRAIT;
    record.dmPaperSize = DMPAPER_A4;
    record.dmPaperLength = 0;
    record.dmPaperWidth = 0;
    record.dmScale = 100;
    record.dmCopies = 1;
    record.dmDefaultSource = 0;
    record.dmPrintQuality = DMRES_HIGH;
    record.dmColor = DMCOLOR_COLOR;
    record.dmDuplex = DMDUP_SIMPLEX;
    record.dmYResolution = 0;
    record.dmTTOption = DMTT_DOWNLOAD;
    record.dmCollate = DMCOLLATE_FALSE;
    return true;
}

HDC CreatePrinterContext(bool informationOnly)
{
    PrinterState.available = false;
    // Room for the line in Shift-JIS; one that does not fit is not read cut.
    char text[2 * 160 + 2] = "";
    GetProfileStringA("windows", "device", "", text, sizeof text);
    std::string device;
    PrinterLine line;
    if (!ReadAnsiAnswer(text, sizeof text, device) || !SplitPrinterLine(device.c_str(), line)) {
        PrinterState.name.clear();
        return nullptr;
    }
    PrinterState.name = line.name;
    PrinterState.driver = line.driver;
    PrinterState.port = line.port;

    DEVMODEA defaults;
    DEVMODEA* defaultRecord = nullptr;
    if (BuildDefaultDevMode(PrinterState.name.c_str(), PrinterState.port.c_str(), defaults)) {
        defaults.dmFields |= DM_SCALE | DM_TTOPTION;
        defaultRecord = &defaults;
    }
    HDC context = PrinterState.savedDevMode != nullptr
                      ? MakeContextWithSavedSettings(informationOnly, line, defaultRecord)
                      : MakeContext(informationOnly, defaultRecord);
    if (context == nullptr) {
        return nullptr;
    }
    MeasurePrinter(context);
    PrinterState.available = true;
    return context;
}

bool SetPrintMapping(HDC printer, int scaleX, int scaleY)
{
    if (scaleX <= 0 || scaleY <= 0) {
        return false;
    }
    SetMapMode(printer, MM_ANISOTROPIC);
    SetWindowExtEx(printer, 100, 100, nullptr);
    SetViewportExtEx(printer, scaleX, scaleY, nullptr);
    return true;
}

HeaderFont::HeaderFont(HDC printer) : printer_(printer)
{
    HGDIOBJ device = GetStockObject(DEVICE_DEFAULT_FONT);
    if (!SystemFontsShowShiftJis()) {
        made_ = CreateShiftJisFontLike(printer, device);
    }
    previous_ = SelectObject(printer, made_ != nullptr ? made_ : device);
}

HeaderFont::~HeaderFont()
{
    SelectObject(printer_, previous_);
    if (made_ != nullptr) {
        DeleteObject(made_);
    }
}

int DeviceFontLineHeight(HDC printer)
{
    const HeaderFont header(printer);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(printer, &metrics);
    return metrics.tmHeight + metrics.tmExternalLeading;
}

void MeasurePrinter(HDC printer)
{
    {
        const HeaderFont header(printer);
        GetTextMetricsA(printer, &PrinterState.fontMetrics);
    }
    PrinterState.lineHeight = PrinterState.fontMetrics.tmHeight + PrinterState.fontMetrics.tmExternalLeading;

    PrinterState.horzRes = GetDeviceCaps(printer, HORZRES);
    PrinterState.vertRes = GetDeviceCaps(printer, VERTRES);
    PrinterState.offsetX = GetDeviceCaps(printer, PHYSICALOFFSETX);
    PrinterState.offsetY = GetDeviceCaps(printer, PHYSICALOFFSETY);
    PrinterState.paperWidth = GetDeviceCaps(printer, PHYSICALWIDTH);
    PrinterState.paperHeight = GetDeviceCaps(printer, PHYSICALHEIGHT);
    PrinterState.dpiX = GetDeviceCaps(printer, LOGPIXELSX);
    PrinterState.dpiY = GetDeviceCaps(printer, LOGPIXELSY);

    PrinterState.minLeft = PrinterState.offsetX;
    PrinterState.minRight = PrinterState.paperWidth - PrinterState.horzRes - PrinterState.offsetX;
    PrinterState.minBottom = PrinterState.paperHeight - PrinterState.vertRes - PrinterState.offsetY;

    // The header is drawn in the device default font in the page units of
    // printing; its line is measured there, where it may differ from the
    // line in dots scaled down.
    const ScreenDpi screen = ReadScreenDpi();
    const int scaleX = MulDivRound(PrinterState.dpiX, 100, screen.x);
    const int scaleY = MulDivRound(PrinterState.dpiY, 100, screen.y);
    const int saved = SaveDC(printer);
    if (SetPrintMapping(printer, scaleX, scaleY)) {
        PrinterState.pageLineHeight = DeviceFontLineHeight(printer);
        PrinterState.minTop = PrinterState.offsetY + UnitsToDots(PrinterState.pageLineHeight, scaleY);
    } else {
        PrinterState.pageLineHeight = 0;
        PrinterState.minTop = PrinterState.offsetY + PrinterState.lineHeight;
    }
    RestoreDC(printer, saved);

    ComputeMarginDots();
}

void ComputeMarginDots()
{
    PrinterState.leftDots = DotsPerMm(PrinterState.dpiX) * PageLayout.leftMm;
    PrinterState.rightDots = DotsPerMm(PrinterState.dpiX) * PageLayout.rightMm;
    PrinterState.topDots = DotsPerMm(PrinterState.dpiY) * PageLayout.topMm;
    PrinterState.bottomDots = DotsPerMm(PrinterState.dpiY) * PageLayout.bottomMm;
}

PrinterMetrics CurrentPrinterMetrics()
{
    PrinterMetrics metrics;
    metrics.dpiX = PrinterState.dpiX;
    metrics.dpiY = PrinterState.dpiY;
    metrics.offsetX = PrinterState.offsetX;
    metrics.offsetY = PrinterState.offsetY;
    metrics.horzRes = PrinterState.horzRes;
    metrics.vertRes = PrinterState.vertRes;
    metrics.paperWidth = PrinterState.paperWidth;
    metrics.paperHeight = PrinterState.paperHeight;
    return metrics;
}

void RefreshPrinterState()
{
    HDC context = CreatePrinterContext(true);
    if (context != nullptr) {
        DeleteDC(context);
    }
}

void ForgetSavedSettings()
{
    for (HGLOBAL* block : {&PrinterState.savedDevMode, &PrinterState.savedDevNames}) {
        if (*block != nullptr) {
            GlobalFree(*block);
            *block = nullptr;
        }
    }
}
