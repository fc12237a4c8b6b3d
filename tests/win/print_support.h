#pragma once
// Helpers of the printing tests: dialogs answered as they open, the edit
// control's state, and the pages that the test run's PDF queue printed,
// read back as text.

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

// True under Wine, where some platform behaviour differs from Windows.
bool RunningUnderWine();

// Watches every dialog that opens on this thread, records it once its
// procedure has set it up, and runs the action given for its caption. A
// dialog with no action is cancelled, except the printing dialog, which is
// left to the job.
class DialogWatch {
public:
    struct Seen {
        std::string caption;
        std::vector<std::string> texts;
    };
    using Action = std::function<void(HWND dialog)>;

    DialogWatch();
    ~DialogWatch();
    DialogWatch(const DialogWatch&) = delete;
    DialogWatch& operator=(const DialogWatch&) = delete;

    void On(const std::string& caption, Action action);
    const std::vector<Seen>& seen() const { return seen_; }
    std::vector<std::string> Captions() const;
    // The texts of the message boxes shown, in order.
    std::vector<std::string> Messages() const;

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
    void Opened(HWND dialog);

    HHOOK hook_ = nullptr;
    std::map<std::string, Action> actions_;
    std::vector<Seen> seen_;
};

// What the user sees of an edit control; printing must leave it as it was.
struct EditSnapshot {
    HFONT font = nullptr;
    RECT rect = {};
    std::string text;
    bool operator==(const EditSnapshot& other) const;
};
EditSnapshot TakeSnapshot(HWND edit);

// A name no other test run prints under: cups-pdf names its file after it.
std::string UniqueJobToken();

// The queue of the test run, or why it is absent.
bool PrintQueueAvailable(std::string& reason);

struct PrintedLine {
    int left = 0;          // pixels at 150 dpi
    std::string text;      // code page 932, spaces removed, full-width ASCII made half-width
};

struct PrintedPages {
    int count = 0;
    std::vector<std::vector<PrintedLine>> pages;
};

// Reads back the PDF that the job named with token produced, once the queue
// is idle: the page count alone, or each page's lines as Tesseract reads
// them. Fails the test when no answer comes within the deadline.
PrintedPages ReadPrintedPages(const std::string& token, bool text);

// OCR text made comparable: spaces gone, full-width letters, digits and
// signs made half-width.
std::string NormaliseOcr(const std::string& text932);
