#include "app/command_line.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string NameOf(const char* commandLine)
{
    const CommandLineName name = LocateCommandLineName(commandLine);
    return std::string(commandLine + name.offset, name.length);
}

struct Case {
    const char* commandLine;
    const char* name;
};

// Command lines without double quotes: the program name ends at its first
// space, the spaces after it are skipped, and the rest is one name.
const Case kUnquoted[] = {
    {"", ""},
    {"mokure.exe", ""},
    {"mokure.exe   ", ""},
    {"mokure.exe a.txt", "a.txt"},
    {"mokure.exe  a b.txt", "a b.txt"},
    {"mokure.exe a.txt  ", "a.txt  "},
    {"C:\\Program Files\\mokure.exe x.txt", "Files\\mokure.exe x.txt"},
    {"mokure.exe\ta.txt", ""},
    {"mokure.exe \ta.txt", "\ta.txt"},
    {"mokure.exe a\"b.txt", "a\"b.txt"},
};

// A space (0x20) is never a trail byte, but a scan that treats a trail
// byte as a character of its own must still not split 表 (95 5C) or ポ (83 7C).
const Case kDoubleByte[] = {
    {"\x95\x5c.exe \x95\x5c.txt", "\x95\x5c.txt"},
    {"C:\\\x83\x82\x83\x4e\x83\x8c\\m.exe \x83\x7c.txt", "\x83\x7c.txt"},
    {"\x81\x40.exe a", "a"},
};

// A quoted program name ends at its closing quote; a file name in one pair
// of quotes loses them.
const Case kQuoted[] = {
    {"\"C:\\Program Files\\mokure.exe\"", ""},
    {"\"C:\\Program Files\\mokure.exe\" ", ""},
    {"\"C:\\Program Files\\mokure.exe\" a.txt", "a.txt"},
    {"\"C:\\Program Files\\mokure.exe\" \"C:\\My Documents\\a b.txt\"", "C:\\My Documents\\a b.txt"},
    {"\"C:\\Program Files\\mokure.exe\"  \"a.txt\"  ", "a.txt"},
    {"mokure.exe \"C:\\\x95\x5c\\a.txt\"", "C:\\\x95\x5c\\a.txt"},
    {"\"C:\\unclosed name.exe a.txt", ""},
    {"mokure.exe \"a.txt", "\"a.txt"},
    {"mokure.exe \"a.txt\" \"b.txt\"", "\"a.txt\" \"b.txt\""},
    {"mokure.exe \"\"", ""},
};

void Check(const Case* cases, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        EXPECT_EQ(NameOf(cases[i].commandLine), cases[i].name) << "command line: " << cases[i].commandLine;
    }
}

TEST(CommandLine, UnquotedLinesSplitAtTheFirstSpace)
{
    Check(kUnquoted, std::size(kUnquoted));
}

TEST(CommandLine, DoubleByteCharactersStayWhole)
{
    Check(kDoubleByte, std::size(kDoubleByte));
}

TEST(CommandLine, QuotedProgramAndFileNames)
{
    Check(kQuoted, std::size(kQuoted));
}

TEST(CommandLine, NoNamePointsAtTheTerminator)
{
    const char line[] = "mokure.exe   ";
    const CommandLineName name = LocateCommandLineName(line);
    EXPECT_EQ(name.offset, sizeof line - 1);
    EXPECT_EQ(name.length, 0u);
}

}  // namespace
