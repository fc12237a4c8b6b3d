#include "file/open_dialog.h"

void RunOpenDialog(char* buffer, std::size_t size)
{
    // No file can be picked yet, which reads as a cancelled dialog.
    if (size > 0) {
        buffer[0] = '\0';
    }
}
