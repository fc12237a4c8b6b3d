#pragma once
// The program's own messages for the common dialogs' extended error codes.

// The string-table message for a code: 0 (cancelled) has none and answers
// 0; a code the table does not know answers 79, an undefined error.
int CommonDialogErrorStringId(unsigned long code);
