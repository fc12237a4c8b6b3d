#pragma once
// The program's own dialog that picks an existing file, walking folders and
// drives in list boxes filtered by a fixed table of file types, and the file
// services it shares with the save-as dialog.

#include "file/file_names.h"

#include <windows.h>

#include <cstddef>
#include <string>

// Room for any name that the dialogs give back, with its NUL.
constexpr std::size_t kFileNameBufferSize = kLongestFileName + 1;

// Leaves the full path of the chosen file in buffer, or an empty string
// when the user cancelled. The process's current folder stays where the
// user walked to, also after Cancel.
void RunOpenDialog(char* buffer, std::size_t size);

INT_PTR CALLBACK OpenDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// True when path names a file on a disk that can be opened for reading now:
// folders, missing files, files held open elsewhere and devices give false.
bool FileExists(const char* path);

// The full path of name against the current folder, whole; false when it
// cannot be resolved.
bool FullPathOf(const std::string& name, std::string& full);

// Fills the folder list of a dialog for pattern (entering its folder part, as
// the platform does) and shows the current folder's path. False when the
// platform refused the pattern; nothing changed then.
bool ListFolders(HWND dialog, const std::string& pattern);

// Rewrites the path line of a dialog in upper case.
void ShowPathInUpperCase(HWND dialog);

// The selected entry of a list as the platform gives it: a file name, or a
// folder or drive as a path prefix ("SUB\", "C:"); empty when none.
std::string SelectedEntry(HWND dialog, int list);
