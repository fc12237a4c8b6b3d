#include "document/copy_files.h"

#include <initguid.h>

#include <knownfolders.h>
#include <shlobj.h>

#include <memory>

namespace {

constexpr wchar_t kProgramFolder[] = L"モクレ";
constexpr wchar_t kCopiesFolder[] = L"復元";
constexpr UINT kCodePage = 932;
// A write call takes at most a DWORD of bytes.
constexpr std::size_t kWriteChunk = 64u << 20;

std::wstring LocalAppData()
{
    const DWORD needed = GetEnvironmentVariableW(L"LOCALAPPDATA", nullptr, 0);
    if (needed > 1) {
        std::wstring value(needed, L'\0');
        const DWORD got = GetEnvironmentVariableW(L"LOCALAPPDATA", value.data(), needed);
        if (got > 0 && got < needed) {
            value.resize(got);
            return value;
        }
    }
    PWSTR known = nullptr;
    std::wstring folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &known)) && known != nullptr) {
        folder = known;
    }
    CoTaskMemFree(known);
    return folder;
}

bool MakeFolder(const std::wstring& folder)
{
    if (CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) {
        const DWORD attributes = GetFileAttributesW(folder.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    }
    return false;
}

bool WriteAll(HANDLE file, const void* data, std::size_t size)
{
    const auto* p = static_cast<const char*>(data);
    while (size > 0) {
        const DWORD chunk = static_cast<DWORD>(size < kWriteChunk ? size : kWriteChunk);
        DWORD written = 0;
        if (!WriteFile(file, p, chunk, &written, nullptr) || written != chunk) {
            return false;
        }
        p += chunk;
        size -= chunk;
    }
    return true;
}

// The names in the folder that match pattern (a wildcard of the platform's).
std::vector<std::wstring> NamesIn(const std::wstring& folder, const wchar_t* pattern)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\" + pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            names.emplace_back(found.cFileName);
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

}  // namespace

std::wstring OpenCopyFolder()
{
    const std::wstring base = LocalAppData();
    if (base.empty()) {
        return std::wstring();
    }
    const std::wstring program = base + L"\\" + kProgramFolder;
    const std::wstring copies = program + L"\\" + kCopiesFolder;
    return MakeFolder(program) && MakeFolder(copies) ? copies : std::wstring();
}

std::wstring WideName(const std::string& name)
{
    const int units = MultiByteToWideChar(kCodePage, 0, name.data(), static_cast<int>(name.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(units > 0 ? units : 0), L'\0');
    if (units > 0) {
        MultiByteToWideChar(kCodePage, 0, name.data(), static_cast<int>(name.size()), wide.data(), units);
    }
    return wide;
}

std::string NarrowName(const std::wstring& name)
{
    const int bytes = WideCharToMultiByte(kCodePage, 0, name.data(), static_cast<int>(name.size()), nullptr, 0,
                                          nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0) {
        WideCharToMultiByte(kCodePage, 0, name.data(), static_cast<int>(name.size()), narrow.data(), bytes, nullptr,
                            nullptr);
    }
    return narrow;
}

HANDLE HoldOwnerLock(const std::wstring& folder, const std::string& owner)
{
    const std::wstring path = folder + L"\\" + WideName(LockFileName(owner));
    return CreateFileW(path.c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
}

bool OwnerIsRunning(const std::wstring& folder, const std::string& owner)
{
    const std::wstring path = folder + L"\\" + WideName(LockFileName(owner));
    HANDLE lock = CreateFileW(path.c_str(), GENERIC_READ | DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (lock == INVALID_HANDLE_VALUE) {
        return GetLastError() == ERROR_SHARING_VIOLATION;
    }
    CloseHandle(lock);
    return false;
}

bool WriteCopyFileWhole(const wchar_t* path, const wchar_t* temporary, const unsigned char* header,
                        const void* name, std::size_t nameLength, const void* text, std::size_t textLength)
{
    HANDLE file =
        CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    bool done = WriteAll(file, header, kCopyHeaderSize) && WriteAll(file, name, nameLength) &&
                WriteAll(file, text, textLength) && FlushFileBuffers(file);
    CloseHandle(file);
    done = done && MoveFileExW(temporary, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!done) {
        DeleteFileW(temporary);
    }
    return done;
}

ReadCopy ReadCopyFile(const std::wstring& path)
{
    ReadCopy copy;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return copy;
    }
    LARGE_INTEGER size;
    bool read = GetFileSizeEx(file, &size) && size.QuadPart >= 0;
    if (read && static_cast<unsigned long long>(size.QuadPart) > copy.bytes.max_size()) {
        CloseHandle(file);
        copy.opened = true;
        copy.fault = CopyFault::length;
        return copy;
    }
    try {
        copy.bytes.resize(read ? static_cast<std::size_t>(size.QuadPart) : 0);
    } catch (const std::bad_alloc&) {
        read = false;
    }
    for (std::size_t at = 0; read && at < copy.bytes.size();) {
        const std::size_t left = copy.bytes.size() - at;
        const DWORD chunk = static_cast<DWORD>(left < kWriteChunk ? left : kWriteChunk);
        DWORD got = 0;
        read = ReadFile(file, copy.bytes.data() + at, chunk, &got, nullptr) && got == chunk;
        at += got;
    }
    CloseHandle(file);
    if (!read) {
        copy.bytes.clear();
        return copy;
    }
    copy.opened = true;
    copy.fault = ParseCopyFile(reinterpret_cast<const unsigned char*>(copy.bytes.data()), copy.bytes.size(),
                               &copy.document, &copy.textOffset, &copy.textLength);
    return copy;
}

std::vector<CopyFileEntry> ListCopyFiles(const std::wstring& folder)
{
    std::vector<CopyFileEntry> entries;
    for (const std::wstring& name : NamesIn(folder, L"*.mkr")) {
        std::string owner;
        if (OwnerOfCopyFile(NarrowName(name), &owner)) {
            entries.push_back({name, owner});
        }
    }
    return entries;
}

std::vector<std::string> ListLockOwners(const std::wstring& folder)
{
    std::vector<std::string> owners;
    for (const std::wstring& name : NamesIn(folder, L"*.lock")) {
        const std::string narrow = NarrowName(name);
        owners.push_back(narrow.substr(0, narrow.size() - 5));
    }
    return owners;
}
