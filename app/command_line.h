#pragma once
// Where the one file name sits on the program's command line.

#include <cstddef>

struct CommandLineName {
    std::size_t offset;  // start of the name in the command line
    std::size_t length;  // 0 when there is no name
};

// The file name is everything behind the program's own name and the run of
// spaces after it. An unquoted program name ends at its first space; a
// program name that starts with a double quote ends at the matching quote
// (Windows shells quote paths with spaces). A file name wrapped in one pair
// of double quotes loses that pair.
CommandLineName LocateCommandLineName(const char* commandLine);
