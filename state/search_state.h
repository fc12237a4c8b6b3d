#pragma once
// The find and replace strings, kept for the whole run.

struct SearchStateRecord {
    char findText[160] = "";
    char replaceText[160] = "";
    // Every comparison is exact; nothing switches this off.
    int matchCase = 1;
};

extern SearchStateRecord SearchState;
