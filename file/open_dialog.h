#pragma once
// The dialog that picks an existing file.

#include <windows.h>

#include <cstddef>

// Leaves the full path of the chosen file in buffer, or an empty string
// when the user cancelled.
void RunOpenDialog(char* buffer, std::size_t size);
