#include "app/take_back.h"

#include "app/frame.h"
#include "document/document_data.h"
#include "document/recovery.h"
#include "msg/message_box.h"
#include "state/app_state.h"
#include "text/format.h"

#include <windows.h>

#include <string>
#include <vector>

namespace {

constexpr char kProgramName[] = "モクレ";
constexpr char kKeepQuestion[] =
    "取り戻さない文書の写しを、次に起動する時まで残しますか\r（「いいえ」は写しを捨てます）";
constexpr char kCannotTakeBack[] = "「%s」を取り戻すことができません。\r写しは次に起動する時まで残します。";

// The title the document is opened under: an untitled one is named by the
// title it had, and opened as a new untitled document.
std::string TitleOf(const CopiedDocument& document)
{
    std::string title = document.name;
    if (!document.untitled) {
        CharUpperA(title.data());
    }
    return title;
}

HWND MakeWindowFor(const CopiedDocument& document)
{
    if (document.untitled) {
        return CreateDocumentWindow(nullptr);
    }
    HWND window = MakeDocumentWindow(TitleOf(document));
    if (window != nullptr) {
        SetDocumentPath(window, document.name);
        SetDocumentData(window, DocumentWindow::untitled, 0);
    }
    return window;
}

}  // namespace

int OfferLeftCopies()
{
    const std::vector<LeftCopy> left = FindLeftCopies();
    if (left.empty()) {
        return 0;
    }
    std::vector<std::string> names;
    for (const LeftCopy& copy : left) {
        names.push_back(TitleOf(copy.document));
    }
    const std::string question = TakeBackQuestion(names);
    if (JpMessageBox(AppState.frameWindow, question.c_str(), kProgramName, MB_YESNO | MB_ICONQUESTION) != IDYES) {
        if (JpMessageBox(AppState.frameWindow, kKeepQuestion, kProgramName, MB_YESNO | MB_ICONQUESTION) == IDNO) {
            DiscardLeftCopies(left);
        }
        return 0;
    }
    int opened = 0;
    for (std::size_t i = 0; i < left.size(); ++i) {
        HWND document = MakeWindowFor(left[i].document);
        if (document != nullptr && TakeBackCopy(document, left[i])) {
            ++opened;
            continue;
        }
        if (document != nullptr) {
            SendMessageA(AppState.mdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(document), 0);
        }
        const std::string report = FormatToString(kCannotTakeBack, names[i].c_str());
        JpMessageBox(AppState.frameWindow, report.c_str(), kProgramName, MB_OK | MB_ICONEXCLAMATION);
    }
    return opened;
}
