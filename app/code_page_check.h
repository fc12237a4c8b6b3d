#pragma once
// The program reads and writes Shift-JIS through the ANSI calls, so it needs
// code page 932 as the process's ANSI code page. The manifest asks for it;
// Windows before 11 ignores that, and the user is told what to set.

#include <windows.h>

// True when the program may go on: the code page is 932, or the user chose
// to start anyway in the box that says why it cannot work.
bool ConfirmCodePage();
