#pragma once
// The logical font that the font dialog starts from, kept for the whole run.

#include <windows.h>

extern LOGFONTA CurrentLogFont;
