#pragma once
// The folder of recovery copies and the files in it: where it is, the lock
// each running program holds, writing a copy whole or not at all, reading
// one back, and telling a running program's copies from those a program
// left when it stopped.

#include <windows.h>

#include "document/recovery_copy.h"

#include <string>
#include <vector>

// %LOCALAPPDATA%\モクレ\復元 (the known folder when the variable is unset),
// made when missing; empty when it cannot be had.
std::wstring OpenCopyFolder();

// A name in code page 932 as UTF-16, and back; empty when it cannot be converted.
std::wstring WideName(const std::string& name);
std::string NarrowName(const std::wstring& name);

// The lock of this run, open until the run ends: shared for reading only, so
// that another run cannot open it for deleting while this one lives, and
// deleted when its handle is closed, also by the system when the process
// dies. INVALID_HANDLE_VALUE when it cannot be made.
HANDLE HoldOwnerLock(const std::wstring& folder, const std::string& owner);

// True while the run that owns copies holds its lock.
bool OwnerIsRunning(const std::wstring& folder, const std::string& owner);

// Writes header, name and text to temporary, flushes it to the disk and
// renames it over path, so that a power cut leaves the old copy or the new
// one, never half of one; the temporary file is removed on failure. Takes
// no memory, so that a failing program can use it.
bool WriteCopyFileWhole(const wchar_t* path, const wchar_t* temporary, const unsigned char* header,
                        const void* name, std::size_t nameLength, const void* text, std::size_t textLength);

// A copy file as read: its bytes and what they hold, or why they are no copy.
struct ReadCopy {
    bool opened = false;  // false when the file could not be opened or read
    CopyFault fault = CopyFault::none;
    CopiedDocument document;
    std::string bytes;
    std::size_t textOffset = 0;
    std::size_t textLength = 0;
};
ReadCopy ReadCopyFile(const std::wstring& path);

// The copy files in the folder, by name, with their owners.
struct CopyFileEntry {
    std::wstring name;
    std::string owner;
};
std::vector<CopyFileEntry> ListCopyFiles(const std::wstring& folder);

// The owners whose lock files lie in the folder.
std::vector<std::string> ListLockOwners(const std::wstring& folder);
