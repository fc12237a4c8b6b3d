#include "document/recovery.h"

#include "document/copy_files.h"
#include "document/copy_timing.h"
#include "document/document_data.h"
#include "document/edit_control.h"
#include "msg/message_box.h"
#include "state/app_state.h"
#include "text/format.h"

#include <cstdlib>
#include <cstring>
#include <deque>
#include <exception>
#include <map>
#include <memory>

namespace {

constexpr char kProgramName[] = "モクレ";
constexpr char kBadCopy[] =
    "復元用の写し「%s」は壊れていて読み込めません（%s）。\r開かずに「%s」として残しました。";
constexpr char kBadCopyInPlace[] =
    "復元用の写し「%s」は壊れていて読み込めません（%s）。\r開かずにそのまま残しました。";
constexpr char kBadHeader[] = "見出しが正しくありません";
constexpr char kBadLength[] = "長さが見出しと合いません";
constexpr char kBadChecksum[] = "中身が書いた時と違います";

// A failing program's window thread may be the one that failed, or stuck.
constexpr DWORD kReadTimeout = 5000;
// How long a failing program waits for the writing thread to let go of the files.
constexpr DWORD kFailingPatience = 3000;

// The control's text in memory taken from the system rather than the heap,
// which a failing program may have damaged; released with the object.
class TextSnapshot {
public:
    TextSnapshot() = default;
    TextSnapshot(TextSnapshot&& other) noexcept : data_(other.data_), bytes_(other.bytes_)
    {
        other.data_ = nullptr;
        other.bytes_ = 0;
    }
    TextSnapshot& operator=(TextSnapshot&& other) noexcept
    {
        if (this != &other) {
            Release();
            data_ = other.data_;
            bytes_ = other.bytes_;
            other.data_ = nullptr;
            other.bytes_ = 0;
        }
        return *this;
    }
    ~TextSnapshot() { Release(); }
    TextSnapshot(const TextSnapshot&) = delete;
    TextSnapshot& operator=(const TextSnapshot&) = delete;

    // Reads the control's whole text in the given form; false when it could
    // not be had.
    bool Read(HWND edit, CopyTextForm form)
    {
        Release();
        const bool wide = form == CopyTextForm::Utf16Le;
        const auto send = wide ? SendMessageTimeoutW : SendMessageTimeoutA;
        DWORD_PTR length = 0;
        if (edit == nullptr || !send(edit, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kReadTimeout, &length)) {
            return false;
        }
        const std::size_t unit = wide ? sizeof(wchar_t) : 1;
        data_ = VirtualAlloc(nullptr, (length + 1) * unit, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        DWORD_PTR got = 0;
        if (data_ == nullptr ||
            !send(edit, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(data_), SMTO_ABORTIFHUNG, kReadTimeout,
                  &got) ||
            (got == 0 && length > 0)) {
            Release();
            return false;
        }
        bytes_ = (got < length ? got : length) * unit;
        return true;
    }
    const void* data() const { return data_; }
    std::size_t bytes() const { return bytes_; }

private:
    void Release()
    {
        if (data_ != nullptr) {
            VirtualFree(data_, 0, MEM_RELEASE);
        }
        data_ = nullptr;
        bytes_ = 0;
    }

    void* data_ = nullptr;
    std::size_t bytes_ = 0;
};

// One copy file of this run. What the file stands for is an order number:
// twice the document's count of changes for its text, one more once that
// text was saved, the largest number once the document was let go. A write
// or removal older than what the file stands for is not done.
struct CopySlot {
    std::wstring path;
    std::wstring temporary;
    // A failing program writes beside a temporary file the writing thread
    // may have left open.
    std::wstring failingTemporary;
    std::uint64_t handled = 0;  // guarded by the files lock
};

constexpr std::uint64_t kLetGo = ~std::uint64_t{0};

std::uint64_t TextOrder(std::uint64_t changes)
{
    return 2 * changes;
}

std::uint64_t SavedOrder(std::uint64_t changes)
{
    return 2 * changes + 1;
}

// A changed document, kept from its first change until its window goes.
struct Record {
    HWND document = nullptr;
    std::shared_ptr<CopySlot> slot;
    CopiedDocument described;  // as it was when it last became changed
    std::uint64_t changes = 0;
    bool dirty = false;    // holds changes that are not saved
    bool pending = false;  // changed since its copy was taken
    CopyTiming timing;
};

// A copy to write, or one to remove, for the writing thread.
struct Job {
    std::shared_ptr<CopySlot> slot;
    std::uint64_t order = 0;
    bool remove = false;
    CopiedDocument described;
    TextSnapshot text;
    LARGE_INTEGER started = {};
};

struct Recovery {
    bool active = false;
    std::wstring folder;
    std::string owner;
    HANDLE lock = INVALID_HANDLE_VALUE;
    unsigned nextSerial = 1;
    // Changed by the window's thread only, under the queue lock, so that a
    // failing thread reads it whole.
    std::vector<std::unique_ptr<Record>> records;
    std::deque<Job> queue;
    CRITICAL_SECTION queueLock;
    // Held while a copy file is written or removed.
    CRITICAL_SECTION filesLock;
    HANDLE wake = nullptr;
    HANDLE thread = nullptr;
    bool stopping = false;
    bool keepCopies = false;
    UINT_PTR timer = 0;
    std::uint64_t timerDue = 0;
    LPTOP_LEVEL_EXCEPTION_FILTER previousFilter = nullptr;
    std::terminate_handler previousTerminate = nullptr;
    volatile LONG failing = 0;
    volatile LONG copiesWritten = 0;
    volatile LONG64 longestPause = 0;
    volatile LONG64 lastWhole = 0;
};

Recovery recovery;

LONG64 MicrosecondsSince(const LARGE_INTEGER& start)
{
    LARGE_INTEGER now;
    LARGE_INTEGER frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return (now.QuadPart - start.QuadPart) * 1000000 / frequency.QuadPart;
}

// The files of copies take no memory to write: a failing program uses them.
bool WriteCopy(CopySlot& slot, std::uint64_t order, const CopiedDocument& described, const TextSnapshot& text,
               const wchar_t* temporary)
{
    if (order <= slot.handled) {
        return false;
    }
    const std::string& name = described.name;
    const std::uint32_t checksum = Crc32(Crc32(0, name.data(), name.size()), text.data(), text.bytes());
    unsigned char header[kCopyHeaderSize];
    FormatCopyHeader(described, text.bytes(), checksum, header);
    if (!WriteCopyFileWhole(slot.path.c_str(), temporary, header, name.data(), name.size(), text.data(),
                            text.bytes())) {
        return false;
    }
    slot.handled = order;
    return true;
}

void RemoveCopy(CopySlot& slot, std::uint64_t order)
{
    if (order > slot.handled) {
        DeleteFileW(slot.path.c_str());
        slot.handled = order;
    }
}

DWORD WINAPI WriteQueuedCopies(LPVOID)
{
    for (;;) {
        EnterCriticalSection(&recovery.queueLock);
        if (recovery.queue.empty()) {
            const bool stop = recovery.stopping;
            LeaveCriticalSection(&recovery.queueLock);
            if (stop) {
                return 0;
            }
            WaitForSingleObject(recovery.wake, INFINITE);
            continue;
        }
        Job job = std::move(recovery.queue.front());
        recovery.queue.pop_front();
        LeaveCriticalSection(&recovery.queueLock);

        EnterCriticalSection(&recovery.filesLock);
        bool written = false;
        if (job.remove) {
            RemoveCopy(*job.slot, job.order);
        } else {
            written = WriteCopy(*job.slot, job.order, job.described, job.text, job.slot->temporary.c_str());
        }
        LeaveCriticalSection(&recovery.filesLock);
        if (written) {
            InterlockedExchange64(&recovery.lastWhole, MicrosecondsSince(job.started));
            InterlockedIncrement(&recovery.copiesWritten);
        }
    }
}

void Enqueue(Job job)
{
    EnterCriticalSection(&recovery.queueLock);
    if (!job.remove) {
        // A newer text replaces one of the same document still waiting.
        for (auto it = recovery.queue.begin(); it != recovery.queue.end();) {
            it = !it->remove && it->slot == job.slot ? recovery.queue.erase(it) : it + 1;
        }
    }
    recovery.queue.push_back(std::move(job));
    LeaveCriticalSection(&recovery.queueLock);
    SetEvent(recovery.wake);
}

void EnqueueRemoval(const Record& record, std::uint64_t order)
{
    Job job;
    job.slot = record.slot;
    job.order = order;
    job.remove = true;
    Enqueue(std::move(job));
}

Record* FindRecord(HWND document)
{
    for (const auto& record : recovery.records) {
        if (record->document == document) {
            return record.get();
        }
    }
    return nullptr;
}

Record& RecordOf(HWND document)
{
    if (Record* found = FindRecord(document)) {
        return *found;
    }
    auto record = std::make_unique<Record>();
    record->document = document;
    record->slot = std::make_shared<CopySlot>();
    record->slot->path = recovery.folder + L"\\" + WideName(CopyFileName(recovery.owner, recovery.nextSerial++));
    record->slot->temporary = record->slot->path + L".tmp";
    record->slot->failingTemporary = record->slot->path + L".end";
    EnterCriticalSection(&recovery.queueLock);
    recovery.records.push_back(std::move(record));
    LeaveCriticalSection(&recovery.queueLock);
    return *recovery.records.back();
}

CopiedDocument Describe(HWND document)
{
    CopiedDocument described;
    described.encoding = DocumentEncoding(document);
    described.untitled = GetDocumentData(document, DocumentWindow::untitled) != 0;
    described.shortened = !ShortenedFile(document).empty();
    described.form = AppState.editBlockIsItsText ? CopyTextForm::CodePage932 : CopyTextForm::Utf16Le;
    described.name = described.untitled ? WindowTitle(document) : DocumentPath(document);
    return described;
}

void MarkCopied(Record& record, std::uint64_t now)
{
    record.timing.copied = true;
    record.timing.lastCopy = now;
}

// Reads the document's text, the only part of a copy on the window's
// thread, and hands it to the writing thread.
void TakeCopy(Record& record)
{
    LARGE_INTEGER started;
    QueryPerformanceCounter(&started);
    Job job;
    job.slot = record.slot;
    job.order = TextOrder(record.changes);
    job.described = record.described;
    job.started = started;
    // Without memory now, the copy is tried again after the interval.
    MarkCopied(record, GetTickCount64());
    if (!job.text.Read(DocumentEdit(record.document), record.described.form)) {
        return;
    }
    record.pending = false;
    Enqueue(std::move(job));
    const LONG64 pause = MicrosecondsSince(started);
    if (pause > recovery.longestPause) {
        InterlockedExchange64(&recovery.longestPause, pause);
    }
}

void ArmTimer(std::uint64_t due);

void CALLBACK CopyDueDocuments(HWND, UINT, UINT_PTR, DWORD)
{
    KillTimer(nullptr, recovery.timer);
    recovery.timer = 0;
    const std::uint64_t now = GetTickCount64();
    for (const auto& record : recovery.records) {
        if (record->pending && CopyDueAt(record->timing) <= now) {
            TakeCopy(*record);
        }
    }
    for (const auto& record : recovery.records) {
        if (record->pending) {
            ArmTimer(CopyDueAt(record->timing));
        }
    }
}

void ArmTimer(std::uint64_t due)
{
    if (recovery.timer != 0 && recovery.timerDue <= due) {
        return;
    }
    const std::uint64_t now = GetTickCount64();
    const std::uint64_t delay = due > now ? due - now : 0;
    const UINT ms = static_cast<UINT>(delay < USER_TIMER_MINIMUM ? USER_TIMER_MINIMUM
                                      : delay > USER_TIMER_MAXIMUM ? USER_TIMER_MAXIMUM
                                                                   : delay);
    recovery.timer = SetTimer(nullptr, recovery.timer, ms, CopyDueDocuments);
    recovery.timerDue = due;
}

// A failing program waits only so long for a lock: the thread that holds
// it may be the one that failed.
bool Acquire(CRITICAL_SECTION* lock, bool failing)
{
    if (!failing) {
        EnterCriticalSection(lock);
        return true;
    }
    for (DWORD waited = 0; waited < kFailingPatience; waited += 10) {
        if (TryEnterCriticalSection(lock)) {
            return true;
        }
        Sleep(10);
    }
    return false;
}

// The copy of every changed document that lacks changes, written on this
// thread, and the copies of documents saved or let go meanwhile removed. A
// failing program keeps both locks, so that nothing older is written after.
void WriteEveryCopy(bool failing)
{
    const bool queueHeld = Acquire(&recovery.queueLock, failing);
    const bool filesHeld = Acquire(&recovery.filesLock, failing);
    for (auto it = recovery.queue.begin(); queueHeld && it != recovery.queue.end(); ++it) {
        if (it->remove) {
            RemoveCopy(*it->slot, it->order);
        }
    }
    const std::uint64_t now = GetTickCount64();
    for (const auto& record : recovery.records) {
        if (!record->dirty || TextOrder(record->changes) <= record->slot->handled) {
            continue;
        }
        TextSnapshot text;
        if (text.Read(DocumentEdit(record->document), record->described.form)) {
            CopySlot& slot = *record->slot;
            WriteCopy(slot, TextOrder(record->changes), record->described, text,
                      failing ? slot.failingTemporary.c_str() : slot.temporary.c_str());
            record->pending = false;
            MarkCopied(*record, now);
        }
    }
    if (!failing) {
        if (filesHeld) {
            LeaveCriticalSection(&recovery.filesLock);
        }
        if (queueHeld) {
            LeaveCriticalSection(&recovery.queueLock);
        }
    }
}

LONG WINAPI WriteCopiesOnFailure(EXCEPTION_POINTERS* exception)
{
    if (InterlockedExchange(&recovery.failing, 1) == 0) {
        WriteEveryCopy(true);
    }
    return recovery.previousFilter != nullptr ? recovery.previousFilter(exception) : EXCEPTION_CONTINUE_SEARCH;
}

[[noreturn]] void WriteCopiesOnTerminate()
{
    if (InterlockedExchange(&recovery.failing, 1) == 0) {
        WriteEveryCopy(true);
    }
    if (recovery.previousTerminate != nullptr) {
        recovery.previousTerminate();
    }
    std::abort();
}

const char* FaultReason(CopyFault fault)
{
    switch (fault) {
    case CopyFault::length:
        return kBadLength;
    case CopyFault::checksum:
        return kBadChecksum;
    default:
        return kBadHeader;
    }
}

// Keeps a copy that cannot be read whole out of the way of those offered,
// under a name that says so, and tells the user where it is.
void SetAside(const std::wstring& file, const std::wstring& name, CopyFault fault)
{
    const std::wstring aside = recovery.folder + L"\\" + WideName(SetAsideName(NarrowName(name)));
    const std::string message =
        MoveFileExW(file.c_str(), aside.c_str(), 0)
            ? FormatToString(kBadCopy, NarrowName(file).c_str(), FaultReason(fault), NarrowName(aside).c_str())
            : FormatToString(kBadCopyInPlace, NarrowName(file).c_str(), FaultReason(fault));
    JpMessageBox(AppState.frameWindow, message.c_str(), kProgramName, MB_OK | MB_ICONEXCLAMATION);
}

bool Running(const std::string& owner, std::map<std::string, bool>& known)
{
    const auto found = known.find(owner);
    if (found != known.end()) {
        return found->second;
    }
    const bool running = owner == recovery.owner || OwnerIsRunning(recovery.folder, owner);
    known.emplace(owner, running);
    return running;
}

// The lock files that runs no longer running left: a power cut leaves them.
void RemoveDeadLocks(std::map<std::string, bool>& known)
{
    for (const std::string& owner : ListLockOwners(recovery.folder)) {
        if (!Running(owner, known)) {
            DeleteFileW((recovery.folder + L"\\" + WideName(LockFileName(owner))).c_str());
        }
    }
}

bool GiveCopiedText(HWND edit, CopyTextForm form, const char* text, std::size_t length)
{
    if (form == CopyTextForm::Utf16Le) {
        std::wstring wide(length / sizeof(wchar_t), L'\0');
        std::memcpy(wide.data(), text, wide.size() * sizeof(wchar_t));
        return SetShownText(edit, wide);
    }
    HLOCAL block = LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, length + 1);
    char* bytes = block != nullptr ? static_cast<char*>(LocalLock(block)) : nullptr;
    if (bytes == nullptr) {
        if (block != nullptr) {
            LocalFree(block);
        }
        return false;
    }
    std::memcpy(bytes, text, length);
    LocalUnlock(block);
    return GiveText(edit, block);
}

}  // namespace

bool StartRecovery()
{
    if (recovery.active) {
        return true;
    }
    recovery.folder = OpenCopyFolder();
    if (recovery.folder.empty()) {
        return false;
    }
    FILETIME created;
    FILETIME exited;
    FILETIME kernel;
    FILETIME user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    recovery.owner = OwnerName(GetCurrentProcessId(),
                               (static_cast<std::uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime);
    recovery.lock = HoldOwnerLock(recovery.folder, recovery.owner);
    if (recovery.lock == INVALID_HANDLE_VALUE) {
        return false;
    }
    InitializeCriticalSection(&recovery.queueLock);
    InitializeCriticalSection(&recovery.filesLock);
    recovery.wake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    recovery.stopping = false;
    recovery.thread = CreateThread(nullptr, 0, WriteQueuedCopies, nullptr, 0, nullptr);
    recovery.previousFilter = SetUnhandledExceptionFilter(WriteCopiesOnFailure);
    recovery.previousTerminate = std::set_terminate(WriteCopiesOnTerminate);
    recovery.active = true;
    return true;
}

void EndRecovery()
{
    if (!recovery.active) {
        return;
    }
    recovery.active = false;
    if (recovery.timer != 0) {
        KillTimer(nullptr, recovery.timer);
        recovery.timer = 0;
    }
    EnterCriticalSection(&recovery.queueLock);
    recovery.stopping = true;
    LeaveCriticalSection(&recovery.queueLock);
    SetEvent(recovery.wake);
    if (recovery.thread != nullptr) {
        WaitForSingleObject(recovery.thread, INFINITE);
        CloseHandle(recovery.thread);
    }
    CloseHandle(recovery.wake);
    for (const auto& record : recovery.records) {
        if (!recovery.keepCopies) {
            RemoveCopy(*record->slot, kLetGo);
        }
    }
    SetUnhandledExceptionFilter(recovery.previousFilter);
    std::set_terminate(recovery.previousTerminate);
    CloseHandle(recovery.lock);
    // Nothing is left behind: the folders go when they are empty.
    RemoveDirectoryW(recovery.folder.c_str());
    RemoveDirectoryW(recovery.folder.substr(0, recovery.folder.rfind(L'\\')).c_str());
    DeleteCriticalSection(&recovery.queueLock);
    DeleteCriticalSection(&recovery.filesLock);
    recovery.records.clear();
    recovery.queue.clear();
    recovery.folder.clear();
    recovery.owner.clear();
    recovery.lock = INVALID_HANDLE_VALUE;
    recovery.thread = nullptr;
    recovery.wake = nullptr;
    recovery.nextSerial = 1;
    recovery.keepCopies = false;
    recovery.failing = 0;
}

void NoteDocumentChanged(HWND document)
{
    SetDocumentData(document, DocumentWindow::changed, 1);
    if (!recovery.active) {
        return;
    }
    Record& record = RecordOf(document);
    const std::uint64_t now = GetTickCount64();
    if (!record.dirty) {
        record.described = Describe(document);
        record.dirty = true;
    }
    if (!record.pending) {
        record.pending = true;
        record.timing.firstChange = now;
    }
    ++record.changes;
    record.timing.lastChange = now;
    ArmTimer(CopyDueAt(record.timing));
}

void NoteDocumentSaved(HWND document)
{
    Record* record = recovery.active ? FindRecord(document) : nullptr;
    if (record == nullptr) {
        return;
    }
    record->dirty = false;
    record->pending = false;
    record->timing = CopyTiming();
    EnqueueRemoval(*record, SavedOrder(record->changes));
}

void NoteDocumentClosed(HWND document)
{
    Record* record = recovery.active ? FindRecord(document) : nullptr;
    if (record == nullptr) {
        return;
    }
    if (!recovery.keepCopies) {
        EnqueueRemoval(*record, kLetGo);
    }
    EnterCriticalSection(&recovery.queueLock);
    for (auto it = recovery.records.begin(); it != recovery.records.end(); ++it) {
        if (it->get() == record) {
            recovery.records.erase(it);
            break;
        }
    }
    LeaveCriticalSection(&recovery.queueLock);
}

void WriteCopiesNow()
{
    if (recovery.active) {
        WriteEveryCopy(false);
    }
}

void KeepCopiesAtEnd()
{
    recovery.keepCopies = true;
}

std::vector<LeftCopy> FindLeftCopies()
{
    std::vector<LeftCopy> left;
    if (!recovery.active) {
        return left;
    }
    std::map<std::string, bool> running;
    for (const CopyFileEntry& entry : ListCopyFiles(recovery.folder)) {
        if (Running(entry.owner, running)) {
            continue;
        }
        const std::wstring file = recovery.folder + L"\\" + entry.name;
        const ReadCopy copy = ReadCopyFile(file);
        if (!copy.opened) {
            continue;
        }
        if (copy.fault != CopyFault::none) {
            SetAside(file, entry.name, copy.fault);
            continue;
        }
        left.push_back({file, copy.document});
    }
    RemoveDeadLocks(running);
    return left;
}

bool TakeBackCopy(HWND document, const LeftCopy& copy)
{
    const ReadCopy read = ReadCopyFile(copy.file);
    if (!recovery.active || !read.opened || read.fault != CopyFault::none ||
        !GiveCopiedText(DocumentEdit(document), read.document.form, read.bytes.data() + read.textOffset,
                        read.textLength)) {
        return false;
    }
    SetDocumentEncoding(document, read.document.encoding);
    SetShortenedFile(document, read.document.shortened ? WindowTitle(document) : std::string());
    NoteDocumentChanged(document);
    // The copy becomes this run's own as it stands: nothing is written
    // until the text changes again.
    Record& record = RecordOf(document);
    EnterCriticalSection(&recovery.filesLock);
    if (MoveFileExW(copy.file.c_str(), record.slot->path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        record.slot->handled = TextOrder(record.changes);
        record.pending = false;
        MarkCopied(record, GetTickCount64());
    }
    LeaveCriticalSection(&recovery.filesLock);
    return true;
}

void DiscardLeftCopies(const std::vector<LeftCopy>& copies)
{
    for (const LeftCopy& copy : copies) {
        DeleteFileW(copy.file.c_str());
    }
}

UINT CopyTimesMessage()
{
    static const UINT message = RegisterWindowMessageA("MokureRecoveryCopyTimes");
    return message;
}

LRESULT CopyTimes(WPARAM which)
{
    switch (which) {
    case 0:
        return recovery.copiesWritten;
    case 1:
        return static_cast<LRESULT>(recovery.longestPause);
    case 2:
        return static_cast<LRESULT>(recovery.lastWhole);
    default:
        return 0;
    }
}
