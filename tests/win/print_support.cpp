#include "tests/win/print_support.h"

#include "tests/win/harness.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

DialogWatch* activeWatch = nullptr;

BOOL CALLBACK CollectTexts(HWND child, LPARAM lParam)
{
    reinterpret_cast<std::vector<std::string>*>(lParam)->push_back(TitleOf(child));
    return TRUE;
}

std::string Environment(const char* name)
{
    char value[1024] = "";
    const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    return length > 0 && length < sizeof value ? std::string(value) : std::string();
}

// A Unix path as this process reaches it.
std::string WindowsPath(const std::string& unixPath)
{
    std::string path = "Z:" + unixPath;
    for (char& c : path) {
        if (c == '/') {
            c = '\\';
        }
    }
    return path;
}

bool ReadWhole(const std::string& path, std::string& text)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    text = bytes.str();
    return true;
}

}  // namespace

bool RunningUnderWine()
{
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

DialogWatch::DialogWatch()
{
    activeWatch = this;
    hook_ = SetWindowsHookExA(WH_CALLWNDPROCRET, Hook, nullptr, GetCurrentThreadId());
}

DialogWatch::~DialogWatch()
{
    UnhookWindowsHookEx(hook_);
    activeWatch = nullptr;
}

void DialogWatch::On(const std::string& caption, Action action)
{
    actions_[caption] = std::move(action);
}

std::vector<std::string> DialogWatch::Captions() const
{
    std::vector<std::string> captions;
    for (const Seen& s : seen_) {
        captions.push_back(s.caption);
    }
    return captions;
}

std::vector<std::string> DialogWatch::Messages() const
{
    std::vector<std::string> messages;
    for (const Seen& s : seen_) {
        if (s.caption == "モクレ" && !s.texts.empty()) {
            messages.push_back(s.texts.front());
        }
    }
    return messages;
}

LRESULT CALLBACK DialogWatch::Hook(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_INITDIALOG && activeWatch != nullptr) {
        activeWatch->Opened(call->hwnd);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void DialogWatch::Opened(HWND dialog)
{
    Seen seen;
    seen.caption = TitleOf(dialog);
    EnumChildWindows(dialog, CollectTexts, reinterpret_cast<LPARAM>(&seen.texts));
    seen_.push_back(seen);
    const auto action = actions_.find(seen.caption);
    if (action != actions_.end()) {
        action->second(dialog);
    } else if (seen.caption != "印刷") {
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    }
}

bool EditSnapshot::operator==(const EditSnapshot& other) const
{
    return font == other.font && EqualRect(&rect, &other.rect) && text == other.text;
}

EditSnapshot TakeSnapshot(HWND edit)
{
    EditSnapshot snapshot;
    snapshot.font = reinterpret_cast<HFONT>(SendMessageA(edit, WM_GETFONT, 0, 0));
    SendMessageA(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&snapshot.rect));
    snapshot.text = TitleOf(edit);
    return snapshot;
}

std::string UniqueJobToken()
{
    static int serial = 0;
    SYSTEMTIME now;
    GetSystemTime(&now);
    std::ostringstream token;
    token << "P" << GetCurrentProcessId() << now.wMilliseconds << ++serial;
    return token.str();
}

bool PrintQueueAvailable(std::string& reason)
{
    if (Environment("MOKURE_PDF_DIR").empty() || Environment("MOKURE_PAGES_DIR").empty() ||
        Environment("MOKURE_READ_PAGES").empty()) {
        reason = "no PDF queue of the test script (scripts/test.sh starts one)";
        return false;
    }
    return true;
}

PrintedPages ReadPrintedPages(const std::string& token, bool text)
{
    PrintedPages result;
    // The reader is a Unix script; Wine starts it as a Unix process and does
    // not wait for it, so its answer is a file that appears when complete.
    std::string command = "/bin/sh -c \"exec /bin/sh \\\"$MOKURE_READ_PAGES\\\" " + token +
                          (text ? "" : " count") + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        ADD_FAILURE() << "cannot start the page reader: " << GetLastError();
        return result;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);

    const std::string answer = WindowsPath(Environment("MOKURE_PAGES_DIR") + "/" + token + ".txt");
    std::string contents;
    const DWORD deadline = GetTickCount() + 120000;
    while (!ReadWhole(answer, contents)) {
        if (GetTickCount() > deadline) {
            ADD_FAILURE() << "no pages were read back for " << token << " within 120 s";
            return result;
        }
        Sleep(100);
    }
    DeleteFileA(answer.c_str());

    // The reader writes UTF-8; the program's code page is 932.
    const int wideLength = MultiByteToWideChar(CP_UTF8, 0, contents.data(), static_cast<int>(contents.size()),
                                               nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, contents.data(), static_cast<int>(contents.size()), wide.data(), wideLength);
    const int length = WideCharToMultiByte(932, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    std::string text932(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(932, 0, wide.data(), wideLength, text932.data(), length, nullptr, nullptr);

    std::istringstream lines(text932);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind("pages ", 0) == 0) {
            result.count = std::stoi(line.substr(6));
        } else if (line.rfind("page ", 0) == 0) {
            result.pages.emplace_back();
        } else if (!result.pages.empty()) {
            const std::size_t tab = line.find('\t');
            if (tab != std::string::npos) {
                PrintedLine printed;
                printed.left = std::atoi(line.substr(0, tab).c_str());
                printed.text = NormaliseOcr(line.substr(tab + 1));
                result.pages.back().push_back(printed);
            }
        }
    }
    return result;
}

std::string NormaliseOcr(const std::string& text932)
{
    std::string out;
    for (std::size_t i = 0; i < text932.size();) {
        const unsigned char c = static_cast<unsigned char>(text932[i]);
        const bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
        if (lead && i + 1 < text932.size()) {
            const unsigned char t = static_cast<unsigned char>(text932[i + 1]);
            if (c == 0x81 && t == 0x40) {
                // the ideographic space
            } else if (c == 0x82 && t >= 0x4F && t <= 0x58) {
                out += static_cast<char>('0' + (t - 0x4F));
            } else if (c == 0x82 && t >= 0x60 && t <= 0x79) {
                out += static_cast<char>('A' + (t - 0x60));
            } else if (c == 0x82 && t >= 0x81 && t <= 0x9A) {
                out += static_cast<char>('a' + (t - 0x81));
            } else if (c == 0x81 && (t == 0x7C || t == 0x5B || t == 0x5D)) {
                // minus, the long vowel mark and the hyphen all read "-"
                out += '-';
            } else if (c == 0x81 && t == 0x46) {
                out += ':';
            } else {
                out.append(text932, i, 2);
            }
            i += 2;
        } else {
            if (c != ' ' && c != '\t' && c != '\r') {
                out += static_cast<char>(c);
            }
            ++i;
        }
    }
    return out;
}
