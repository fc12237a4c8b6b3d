#pragma once
// What the tests of loading and saving share: documents named and typed into
// as a user would, saves, and the program's reports about files.

#include "tests/win/harness.h"

#include <windows.h>

#include <string>
#include <vector>

extern const char kBackupExtension[];  // ".世代"
extern const char kCannotOpen[];
extern const char kCannotRead[];
extern const char kCannotCreate[];
extern const char kCannotWrite[];

LONG_PTR Changed(HWND document);

// Replaces the whole text as typing does: undoable, and reported as a change.
void TypeText(HWND document, const std::string& text);

// The first document, named path as if opened from it, holding text.
HWND NamedDocument(const std::string& path, const std::string& text);

// The save command sent to the document: 1 when nothing was saved.
LRESULT Save(HWND document);

// The report of a failure with a file, as the program formats it.
std::string About(const std::string& path, const char* failure);

// A failure report: caption, the one message, and only the OK button.
void ExpectReport(const SeenDialog& seen, const std::string& message);

bool FileExists(const std::string& path);

// The names of the files in a directory, upper case.
std::vector<std::string> FileNames(const std::string& directory);
