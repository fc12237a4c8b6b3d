#pragma once
// printf-style formatting into a string sized to fit. Safe for code page
// 932 formats: no trail byte is ever '%' (trail bytes start at 0x40).

#include <string>

__attribute__((format(printf, 1, 2)))
std::string FormatToString(const char* format, ...);
