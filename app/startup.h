#pragma once
// Start-up: window classes, the command line, the frame, the message loop.

#include <windows.h>

#include <string>

// Registers the frame and document window classes; false on the first failure.
bool RegisterWindowClasses();

// The file name that the process command line carries, or an empty string.
std::string ParseCommandLine();

// Creates and shows the frame, loads the accelerators, opens the first
// document (the named file, or an untitled one) and accepts dropped files.
bool CreateFrameWindow(const std::string& name, int showCommand);

// Runs the message loop until the quit message; MDI keys first, then the
// program's accelerators.
void RunMessageLoop();

// The whole program; answers 1 when the user declines to start on a code
// page other than 932, and 0 otherwise.
int MokureMain(HINSTANCE instance, HINSTANCE previousInstance, int showCommand);
