#pragma once
// The name of the backup generation kept beside a saved file.

#include <string>

// The path up to, not including, its first "." (the whole path when it has
// none), followed by ".世代". The first dot anywhere counts, also one in a
// directory name. A byte scan is enough: 0x2E is never a code page 932 trail
// byte.
std::string MakeBackupName(const char* path);
