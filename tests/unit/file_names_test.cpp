#include "file/file_names.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// 表, ソ and 能 end in the byte of "\"; none of them is a folder separator.
#define HYO "\x95\x5c"
#define SO "\x83\x5c"
#define NO "\x94\x5c"

using Patterns = std::vector<std::string>;

TEST(FileNames, SplitPatternListSkipsEmptyPatterns)
{
    struct Case {
        const char* field;
        Patterns patterns;
    };
    const Case cases[] = {
        {"*.TXT", {"*.TXT"}},
        {"*.H;*.TXT", {"*.H", "*.TXT"}},
        {"SUB\\*.TXT;*.BAK;*.INI", {"SUB\\*.TXT", "*.BAK", "*.INI"}},
        {"*.TXT;;*.H", {"*.TXT", "*.H"}},
        {";*.TXT;", {"*.TXT"}},
        {";;", {}},
        {"", {}},
        {"*." HYO ";" SO "*", {"*." HYO, SO "*"}},
        {NO "\\*.*;*." NO, {NO "\\*.*", "*." NO}},
        {"\x81;;*.A", {"\x81;", "*.A"}},  // a lead byte takes the ";" after it
        {"*.TXT ; *.H", {"*.TXT ", " *.H"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        EXPECT_EQ(SplitPatternList(c.field), c.patterns);
    }
}

TEST(FileNames, HasWildcardLooksAtWholeCharacters)
{
    struct Case {
        const char* text;
        bool wildcard;
    };
    const Case cases[] = {
        {"*.TXT", true},
        {"A?.TXT", true},
        {"SUB\\A.TXT", false},
        {"", false},
        {HYO SO NO, false},
        {HYO "*", true},
        {"\x81*", false},  // the second byte of a character, not a "*"
        {"\x81?X", false},
        {"C:\\" SO "\\*.*", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(HasWildcard(c.text), c.wildcard);
    }
}

TEST(FileNames, FilePartFollowsTheLastSeparatorCharacter)
{
    struct Case {
        const char* field;
        const char* filePart;
    };
    const Case cases[] = {
        {"*.TXT", "*.TXT"},
        {"SUB\\*.TXT", "*.TXT"},
        {"SUB\\*.TXT;*.BAK;*.INI", "*.TXT;*.BAK;*.INI"},
        {"A:*.*", "*.*"},
        {"C:\\A\\B\\*.H;*.C", "*.H;*.C"},
        {"..\\*.*", "*.*"},
        {"SUB\\", ""},
        {HYO "*.TXT", HYO "*.TXT"},
        {"SUB\\" HYO "*", HYO "*"},
        {SO "\\" NO "*.*", NO "*.*"},
        {"*." HYO, "*." HYO},
        {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        EXPECT_EQ(FilePartOfPatterns(c.field), c.filePart);
    }
}

TEST(FileNames, EndsWithFolderSeparatorByCharacters)
{
    struct Case {
        const char* name;
        bool folder;
    };
    const Case cases[] = {
        {"SUB\\", true},
        {"A:", true},
        {"C:\\", true},
        {"SUB", false},
        {"", false},
        {HYO, false},
        {"SUB\\" SO, false},
        {NO "\\", true},
        {"A\\" NO, false},
        {"\x81\\", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(EndsWithFolderSeparator(c.name), c.folder);
    }
}

TEST(FileNames, DefaultExtensionOnlyWhereTheNameHasNone)
{
    const std::string ext = "." "\x95\xb6\x8f\x91";  // ".文書"
    struct Case {
        const char* name;
        std::string result;
    };
    const Case cases[] = {
        {"LETTER", "LETTER" + ext},
        {"LETTER.TXT", "LETTER.TXT"},
        {"C:\\MY.DIR\\LETTER", "C:\\MY.DIR\\LETTER" + ext},
        {"C:\\MY.DIR\\LETTER.TXT", "C:\\MY.DIR\\LETTER.TXT"},
        {"LETTER.", "LETTER."},
        {"A:B", "A:B" + ext},
        {"A.B:C", "A.B:C" + ext},
        {"\x8f\x91\x8a\xc8" "1", "\x8f\x91\x8a\xc8" "1" + ext},  // 書簡1
        {"C:\\" HYO, "C:\\" HYO + ext},
        {"C:\\X." HYO, "C:\\X." HYO},
        {"C:\\X." SO "\\" NO, "C:\\X." SO "\\" NO + ext},
        {"C:\\X." NO "A", "C:\\X." NO "A"},
        {"", ext},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(AddDefaultExtension(c.name, ext), c.result);
    }
}

TEST(FileNames, SourceTextNamesTheSameBytes)
{
    EXPECT_EQ(AddDefaultExtension("書簡1", ".文書"), "書簡1.文書");
    EXPECT_EQ(FilePartOfPatterns("表\\*.文書;*.文"), "*.文書;*.文");
}

}  // namespace
