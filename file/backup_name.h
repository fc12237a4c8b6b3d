#pragma once
// The name of the backup generation kept beside a saved file.

#include <string>

// The path up to, not including, its first "." (the whole path when it has
// none), followed by ".世代". The first dot anywhere counts, also one in a
// directory name. A byte scan is enough: 0x2E is never a code page 932 trail
// byte.
std::string MakeBackupName(const char* path);

// The folder part of a path: everything up to and including its last "\" or
// ":" that starts a character (a trail byte may be 0x5C); "." when none.
std::string FolderOf(const char* path);
