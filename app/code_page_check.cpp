#include "app/code_page_check.h"

#include "text/shift_jis_font.h"

#include <string>

namespace {

constexpr UINT kProgramCodePage = 932;

// Wide text of the program's own, not its Shift-JIS strings, which this
// code page would show garbled.
std::wstring CodePageWarning(UINT codePage)
{
    const std::wstring number = std::to_wstring(codePage);
    return L"モクレはシフトJIS（コードページ 932）の文書を読み書きします。"
           L"この Windows はコードページ " + number + L" を使っています。\n"
           L"Windows 11 ではモクレが自分でコードページ 932 に切り替えます。"
           L"それより前の Windows では、システム ロケール（「Unicode 対応ではないプログラムの言語」）を"
           L"日本語にしてください。\n"
           L"このまま起動しますか？\n\n"
           L"モクレ reads and writes Shift-JIS (code page 932) text. "
           L"This Windows uses code page " + number + L".\n"
           L"On Windows 11 the program switches to code page 932 itself. "
           L"On older Windows, set the system locale (\"Language for non-Unicode programs\") to Japanese.\n"
           L"Start anyway?";
}

}  // namespace

bool ConfirmCodePage()
{
    if (GetACP() == kProgramCodePage) {
        return true;
    }
    const std::wstring text = CodePageWarning(SystemCodePage());
    const int answer = MessageBoxW(nullptr, text.c_str(), L"モクレ",
                                   MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2 | MB_SETFOREGROUND);
    return answer == IDYES;
}
