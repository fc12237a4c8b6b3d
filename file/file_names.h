#pragma once
// File names and pattern lists as the open and save-as dialogs read them from
// their name fields. Names are code page 932 and are stepped by characters,
// so the 0x5C trail byte of characters such as 表, ソ and 能 is never taken for
// a folder separator.

#include <cstddef>
#include <string>
#include <vector>

// The longest name, in bytes, that a name field takes or a dialog gives back.
constexpr std::size_t kLongestFileName = 255;

// The patterns of a name field, split at every ";" and in order; empty
// patterns (";;", a leading or trailing ";") are left out.
std::vector<std::string> SplitPatternList(const std::string& field);

// True when the text holds a "*" or a "?".
bool HasWildcard(const std::string& text);

// What follows the last "\" or ":" of the field, the whole field when it has
// neither: the patterns to list once their folder has been entered.
std::string FilePartOfPatterns(const std::string& field);

// True when the last character of the name is "\" or ":", so that it names a
// folder or a drive rather than a file.
bool EndsWithFolderSeparator(const std::string& name);

// The name with extension appended when its last component has no "." of its
// own; a "." in a folder name does not count, a name ending in "." keeps it.
std::string AddDefaultExtension(const std::string& name, const std::string& extension);
