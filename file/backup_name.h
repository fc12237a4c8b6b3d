#pragma once
// The name of the backup generation kept beside a saved file.

#include <string>

// The path up to, not including, the first "." of its file name (the whole
// path when the name has none), followed by ".世代". A dot in a folder name
// does not count, so the backup always lies beside its file; A.TXT and A.DOC
// share A.世代.
std::string MakeBackupName(const char* path);

// The folder part of a path: everything up to and including its last "\" or
// ":" that starts a character (a trail byte may be 0x5C); "." when none.
std::string FolderOf(const char* path);
