#pragma once
// Helpers of the printing tests: dialogs answered as they open, the edit
// control's state, and the pages that the test run's PDF queue printed.

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

// Records every dialog of this thread once its procedure has set it up and
// runs the action given for its caption; any other dialog but the printing
// dialog is cancelled, so that a test never hangs.
class DialogWatch {
public:
    struct Seen {
        std::string caption;
        std::vector<std::string> texts;
    };
    DialogWatch();
    ~DialogWatch();
    void On(const std::string& caption, std::function<void(HWND)> action) { actions_[caption] = action; }
    const std::vector<Seen>& seen() const { return seen_; }
    std::vector<std::string> Captions() const;
    std::vector<std::string> Messages() const;  // texts of the program's message boxes

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
    HHOOK hook_ = nullptr;
    std::map<std::string, std::function<void(HWND)>> actions_;
    std::vector<Seen> seen_;
};

// What the user sees of an edit control; printing leaves it as it was.
struct EditSnapshot {
    HFONT font = nullptr;
    RECT rect = {};
    std::string text;
    bool operator==(const EditSnapshot& other) const;
};
EditSnapshot TakeSnapshot(HWND edit);

// A document name that no other run prints under; cups-pdf names its file after it.
std::string UniqueJobToken();
bool PrintQueueAvailable(std::string& reason);
// The test run's second queue, whose name outgrows a device record's 31 bytes.
std::string LongQueueName();
// The jobs that the test run's print server has counted pages of on queue.
int JobsPrintedOn(const std::string& queue);

struct PrintedLine {
    int left = 0;      // pixels at 150 dpi
    std::string text;  // code page 932, made comparable by NormaliseOcr
};

// The pages of the job named token, once the queue is idle: their count,
// and with text, each page's lines as Tesseract reads them.
struct PrintedPages {
    int count = 0;
    std::vector<std::vector<PrintedLine>> pages;
};
PrintedPages ReadPrintedPages(const std::string& token, bool text);

// Spaces dropped; full-width digits, letters, colon and the dashes made ASCII.
std::string NormaliseOcr(const std::string& text932);
