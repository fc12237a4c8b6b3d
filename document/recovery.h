#pragma once
// Recovery copies of changed documents: a copy of each changed document's
// text, with what is needed to open it again as it was, kept in the copies'
// folder (copy_files.h) until the document is saved or let go. The text is
// read from the control on the window's thread, at a quiet moment
// (copy_timing.h); a thread of its own writes it. The copies are written
// at once when the session ends or the program fails, and offered back at
// the next start.

#include <windows.h>

#include "document/recovery_copy.h"

#include <string>
#include <vector>

// Starts keeping copies: the folder, this run's lock, the writing thread,
// the handlers of a failing program. False, and no copies kept, when the
// folder cannot be had.
bool StartRecovery();

// The program's normal end: every copy written or removed, the lock and
// the handlers gone, and the folder too when nothing else is in it.
void EndRecovery();

// The document's text changed: marks it changed and schedules its copy.
void NoteDocumentChanged(HWND document);
// The document was saved: its copy goes.
void NoteDocumentSaved(HWND document);
// The document window goes: its copy goes too, unless the session ended.
void NoteDocumentClosed(HWND document);

// Writes the copy of every changed document now, on this thread.
void WriteCopiesNow();
// The session ends with documents changed: their copies stay.
void KeepCopiesAtEnd();

// A copy that a program no longer running left, read whole.
struct LeftCopy {
    std::wstring file;
    CopiedDocument document;
};

// The copies left by programs no longer running, in the order of their
// files. A copy that cannot be read whole is reported and set aside; the
// lock files those programs left are removed.
std::vector<LeftCopy> FindLeftCopies();

// Gives the copy's text to a document made for it (untitled, or titled with
// its name) and makes the copy this run's own; the document is changed.
// False, and the copy left where it was, when its text cannot be read or
// given.
bool TakeBackCopy(HWND document, const LeftCopy& copy);

// Removes the copies.
void DiscardLeftCopies(const std::vector<LeftCopy>& copies);

// For the benchmark, through a registered message of the frame: 0 asks
// for the number of copies written, 1 for the longest time the window's
// thread spent on one copy, 2 for the time the last copy took whole, both
// in microseconds.
UINT CopyTimesMessage();
LRESULT CopyTimes(WPARAM which);
