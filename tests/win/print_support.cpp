#include "tests/win/print_support.h"

#include "tests/win/harness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <fstream>
#include <sstream>

namespace {

DialogWatch* activeWatch = nullptr;

BOOL CALLBACK CollectTexts(HWND child, LPARAM lParam)
{
    reinterpret_cast<std::vector<std::string>*>(lParam)->push_back(TitleOf(child));
    return TRUE;
}

std::string Utf8To932(const std::string& utf8)
{
    const int units = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(units), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), units);
    const int bytes = WideCharToMultiByte(932, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(932, 0, wide.data(), units, text.data(), bytes, nullptr, nullptr);
    return text;
}

}  // namespace

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
        Seen seen{TitleOf(call->hwnd), {}};
        EnumChildWindows(call->hwnd, CollectTexts, reinterpret_cast<LPARAM>(&seen.texts));
        activeWatch->seen_.push_back(seen);
        const auto action = activeWatch->actions_.find(seen.caption);
        if (action != activeWatch->actions_.end()) {
            action->second(call->hwnd);
        } else if (seen.caption != "印刷") {
            PostMessageA(call->hwnd, WM_COMMAND, IDCANCEL, 0);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
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
    // The seconds of the day keep a PDF left by an earlier run from answering for this one.
    return "P" + std::to_string(std::time(nullptr) % 86400) + std::to_string(GetCurrentProcessId()) +
           std::to_string(GetTickCount() % 1000) + std::to_string(++serial);
}

bool PrintQueueAvailable(std::string& reason)
{
    reason = "no PDF queue of the test script (scripts/test.sh starts one)";
    return !Environment("MOKURE_PDF_DIR").empty() && !Environment("MOKURE_PAGES_DIR").empty() &&
           !Environment("MOKURE_READ_PAGES").empty();
}

std::string LongQueueName()
{
    return Environment("MOKURE_LONG_QUEUE");
}

int JobsPrintedOn(const std::string& queue)
{
    std::string path = "Z:" + Environment("MOKURE_CUPS_PAGE_LOG");
    std::replace(path.begin(), path.end(), '/', '\\');
    std::ifstream log(path, std::ios::binary);
    int jobs = 0;
    for (std::string line; std::getline(log, line);) {
        jobs += line.rfind(queue + " ", 0) == 0 ? 1 : 0;
    }
    return jobs;
}

PrintedPages ReadPrintedPages(const std::string& token, bool text)
{
    PrintedPages result;
    // Wine starts the Unix reader without waiting for it: its answer is a
    // file that appears once complete.
    std::string command =
        "/bin/sh -c \"exec /bin/sh \\\"$MOKURE_READ_PAGES\\\" " + token + (text ? "" : " count") + "\"";
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

    std::string answer = "Z:" + Environment("MOKURE_PAGES_DIR") + "/" + token + ".txt";
    for (char& c : answer) {
        c = c == '/' ? '\\' : c;
    }
    std::ifstream in;
    for (const DWORD deadline = GetTickCount() + 120000; !in.is_open(); Sleep(100)) {
        if (GetTickCount() > deadline) {
            ADD_FAILURE() << "no pages were read back for " << token << " within 120 s";
            return result;
        }
        in.open(answer, std::ios::binary);
    }
    std::ostringstream contents;
    contents << in.rdbuf();
    in.close();
    DeleteFileA(answer.c_str());

    std::istringstream lines(Utf8To932(contents.str()));
    bool blank = false;
    std::string log;
    for (std::string line; std::getline(lines, line);) {
        const std::size_t tab = line.find('\t');
        if (line == "blank") {
            blank = true;
        } else if (line.rfind("log ", 0) == 0) {
            log += "\n  " + line.substr(4);
        } else if (line.rfind("pages ", 0) == 0) {
            result.count = std::stoi(line.substr(6));
        } else if (line.rfind("page ", 0) == 0) {
            result.pages.emplace_back();
        } else if (!result.pages.empty() && tab != std::string::npos) {
            result.pages.back().push_back({std::atoi(line.c_str()), NormaliseOcr(line.substr(tab + 1))});
        }
    }
    if (blank) {
        ADD_FAILURE() << "the print server made job " << token << " into blank pages; its log:" << log;
    } else if (!log.empty()) {
        ADD_FAILURE() << "the print server could not finish a job; its log:" << log;
    }
    return result;
}

std::string NormaliseOcr(const std::string& text932)
{
    std::string out;
    for (std::size_t i = 0; i < text932.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text932[i]);
        const bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
        if (!lead || i + 1 == text932.size()) {
            out += c == ' ' || c == '\t' || c == '\r' ? "" : std::string(1, static_cast<char>(c));
            continue;
        }
        const unsigned char t = static_cast<unsigned char>(text932[++i]);
        if (c == 0x82 && t >= 0x4F && t <= 0x58) {
            out += static_cast<char>('0' + (t - 0x4F));
        } else if (c == 0x82 && t >= 0x60 && t <= 0x79) {
            out += static_cast<char>('A' + (t - 0x60));
        } else if (c == 0x81 && (t == 0x7C || t == 0x5B || t == 0x5D)) {
            out += '-';  // minus, the long vowel mark and the hyphen
        } else if (c == 0x81 && t == 0x46) {
            out += ':';
        } else if (!(c == 0x81 && t == 0x40)) {
            out += static_cast<char>(c);
            out += static_cast<char>(t);
        }
    }
    return out;
}
