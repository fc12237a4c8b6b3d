#pragma once

#include <windows.h>

INT_PTR CALLBACK AboutDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Shows the about box, modal, owned by owner.
void RunAboutDialog(HWND owner);
