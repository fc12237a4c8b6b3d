#include "text/shift_jis_font.h"

#include <vector>

namespace {

constexpr UINT kShiftJisCodePage = 932;

int CALLBACK NoteFixedPitchFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM face)
{
    if ((font->lfPitchAndFamily & 3) != FIXED_PITCH || font->lfFaceName[0] == L'@') {
        return 1;
    }
    lstrcpynW(reinterpret_cast<WCHAR*>(face), font->lfFaceName, LF_FACESIZE);
    return 0;
}

// Left empty where no face is fixed-pitch: the font mapper then picks one
// by the character set alone.
void FindFixedPitchShiftJisFace(HDC dc, WCHAR (&face)[LF_FACESIZE])
{
    LOGFONTW wanted = {};
    wanted.lfCharSet = SHIFTJIS_CHARSET;
    face[0] = L'\0';
    EnumFontFamiliesExW(dc, &wanted, NoteFixedPitchFace, reinterpret_cast<LPARAM>(face), 0);
}

struct Metrics {
    LONG height;
    LONG weight;
};

Metrics MetricsOf(HDC dc, HGDIOBJ model)
{
    HGDIOBJ previous = SelectObject(dc, model);
    TEXTMETRICW metrics = {};
    const bool measured = GetTextMetricsW(dc, &metrics) != FALSE;
    SelectObject(dc, previous);
    return measured ? Metrics{metrics.tmHeight, metrics.tmWeight} : Metrics{0, FW_NORMAL};
}

HFONT CreateShiftJisFont(HDC dc, const Metrics& metrics)
{
    LOGFONTW font = {};
    font.lfHeight = metrics.height;
    font.lfWeight = metrics.weight;
    font.lfCharSet = SHIFTJIS_CHARSET;
    font.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    FindFixedPitchShiftJisFace(dc, font.lfFaceName);
    return CreateFontIndirectW(&font);
}

// Dialogs come and go, their fonts stay: one for each size, kept as long as
// the program runs, as the system's own fonts are.
HFONT DialogFont(HDC dc, const Metrics& metrics)
{
    struct Made {
        Metrics metrics;
        HFONT font;
    };
    static std::vector<Made> made;
    for (const Made& m : made) {
        if (m.metrics.height == metrics.height && m.metrics.weight == metrics.weight) {
            return m.font;
        }
    }
    HFONT font = CreateShiftJisFont(dc, metrics);
    if (font != nullptr) {
        made.push_back({metrics, font});
    }
    return font;
}

BOOL CALLBACK GiveFont(HWND control, LPARAM font)
{
    SendMessageA(control, WM_SETFONT, static_cast<WPARAM>(font), FALSE);
    return TRUE;
}

}  // namespace

UINT SystemCodePage()
{
    DWORD codePage = 0;
    const int got = GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                                   reinterpret_cast<LPWSTR>(&codePage), sizeof codePage / sizeof(WCHAR));
    return got != 0 && codePage != 0 ? codePage : GetACP();
}

bool SystemFontsShowShiftJis()
{
    return SystemCodePage() == kShiftJisCodePage;
}

HFONT CreateShiftJisFontLike(HDC dc, HGDIOBJ model)
{
    return CreateShiftJisFont(dc, MetricsOf(dc, model));
}

void ShowDialogInShiftJis(HWND dialog)
{
    if (SystemFontsShowShiftJis()) {
        return;
    }
    // A template without a font of its own shows the system font.
    HGDIOBJ own = reinterpret_cast<HGDIOBJ>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    HDC dc = GetDC(dialog);
    if (dc == nullptr) {
        return;
    }
    HFONT font = DialogFont(dc, MetricsOf(dc, own != nullptr ? own : GetStockObject(SYSTEM_FONT)));
    ReleaseDC(dialog, dc);
    if (font != nullptr) {
        EnumChildWindows(dialog, GiveFont, reinterpret_cast<LPARAM>(font));
    }
}
