#include "file/file_names.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// 表, ソ and 能 end in the byte of "\"; none of them is a folder separator.
#define HYO "\x95\x5c"
#define SO "\x83\x5c"
#define NO "\x94\x5c"

TEST(FileNames, SplitPatternListSkipsEmptyPatterns)
{
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"*.H;*.TXT", {"*.H", "*.TXT"}},         {"SUB\\*.TXT;*.BAK", {"SUB\\*.TXT", "*.BAK"}},
        {";*.TXT;;*.H;", {"*.TXT", "*.H"}},      {";;", {}},
        {"*." HYO ";" SO "*", {"*." HYO, SO "*"}}, {"\x81;;*.A", {"\x81;", "*.A"}},  // 0x81 takes the ";"
    };
    for (const auto& [field, patterns] : cases) {
        EXPECT_EQ(SplitPatternList(field), patterns) << field;
    }
}

TEST(FileNames, HasWildcardLooksAtWholeCharacters)
{
    const std::pair<const char*, bool> cases[] = {
        {"*.TXT", true}, {"A?.TXT", true}, {"SUB\\A.TXT", false}, {"", false},
        {HYO SO NO, false}, {NO "*", true}, {"\x81*", false}, {"\x81?X", false},
    };
    for (const auto& [text, wildcard] : cases) {
        EXPECT_EQ(HasWildcard(text), wildcard) << text;
    }
}

TEST(FileNames, FilePartFollowsTheLastSeparatorCharacter)
{
    const std::pair<const char*, const char*> cases[] = {
        {"*.TXT", "*.TXT"},      {"SUB\\*.TXT;*.BAK", "*.TXT;*.BAK"}, {"A:*.*", "*.*"},
        {"..\\*.*", "*.*"},      {"SUB\\", ""},                      {HYO "*.TXT", HYO "*.TXT"},
        {SO "\\" NO "*", NO "*"}, {"*." HYO, "*." HYO},
    };
    for (const auto& [field, filePart] : cases) {
        EXPECT_EQ(FilePartOfPatterns(field), filePart) << field;
    }
}

TEST(FileNames, EndsWithFolderSeparatorByCharacters)
{
    const std::pair<const char*, bool> cases[] = {
        {"SUB\\", true}, {"A:", true}, {NO "\\", true}, {"SUB", false},
        {"", false},     {HYO, false}, {"SUB\\" SO, false}, {"\x81\\", false},
    };
    for (const auto& [name, folder] : cases) {
        EXPECT_EQ(EndsWithFolderSeparator(name), folder) << name;
    }
}

TEST(FileNames, DefaultExtensionOnlyWhereTheLastComponentHasNone)
{
    const std::string ext = ".文書";
    const std::pair<std::string, std::string> cases[] = {
        {"書簡1", "書簡1" + ext},          {"LETTER.TXT", "LETTER.TXT"},
        {"C:\\MY.DIR\\A", "C:\\MY.DIR\\A" + ext}, {"LETTER.", "LETTER."},
        {"A.B:C", "A.B:C" + ext},          {"C:\\X." HYO, "C:\\X." HYO},
        {"C:\\X." SO "\\" NO, "C:\\X." SO "\\" NO + ext}, {"C:\\" NO, "C:\\" NO + ext},
    };
    for (const auto& [name, result] : cases) {
        EXPECT_EQ(AddDefaultExtension(name, ext), result) << name;
    }
}

}  // namespace
