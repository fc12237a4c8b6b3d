#include "file/backup_name.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(BackupNameTest, CutAtFirstDotOfTheFileName)
{
    struct Case {
        const char* path;
        const char* backup;
    };
    const Case cases[] = {
        {"D:\\DOCS\\LETTER.\x95\xb6\x8f\x91", "D:\\DOCS\\LETTER.\x90\xa2\x91\xe3"},
        {"D:\\DOCS\\README", "D:\\DOCS\\README.\x90\xa2\x91\xe3"},
        {"D:\\MY.DIR\\A.TXT", "D:\\MY.DIR\\A.\x90\xa2\x91\xe3"},
        {"D:\\DOCS\\A.B.TXT", "D:\\DOCS\\A.\x90\xa2\x91\xe3"},
        {"D:\\MY.DIR\\README", "D:\\MY.DIR\\README.\x90\xa2\x91\xe3"},
        {"\\\\HOST.NET\\SHARE\\A.TXT", "\\\\HOST.NET\\SHARE\\A.\x90\xa2\x91\xe3"},
        {"D:..\\A.TXT", "D:..\\A.\x90\xa2\x91\xe3"},
        {"D:.PROFILE", "D:.\x90\xa2\x91\xe3"},
        {"D:\\DOCS\\A.TXT", "D:\\DOCS\\A.\x90\xa2\x91\xe3"},
        {"D:\\DOCS\\A.DOC", "D:\\DOCS\\A.\x90\xa2\x91\xe3"},
        {"D:\\DOCS\\A.\x90\xa2\x91\xe3", "D:\\DOCS\\A.\x90\xa2\x91\xe3"},
        {"D:\\\x95\x5c\\\x83\x7c.TXT", "D:\\\x95\x5c\\\x83\x7c.\x90\xa2\x91\xe3"},
        {"D:\\\x95\x5c\\A.TXT", "D:\\\x95\x5c\\A.\x90\xa2\x91\xe3"},
        {"D:\\X.Y\\\x95\x5c.TXT", "D:\\X.Y\\\x95\x5c.\x90\xa2\x91\xe3"},
        {"D:\\X\\A.B\x95\x5c.TXT", "D:\\X\\A.\x90\xa2\x91\xe3"},
        {".TXT", ".\x90\xa2\x91\xe3"},
        {"", ".\x90\xa2\x91\xe3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(c.backup, MakeBackupName(c.path));
    }
}

TEST(BackupNameTest, SourceTextNamesTheSameBytes)
{
    EXPECT_EQ("D:\\DOCS\\LETTER.世代", MakeBackupName("D:\\DOCS\\LETTER.文書"));
}

// The 0x5C trail byte of 表 and ソ is no folder separator.
TEST(BackupNameTest, FolderOfStopsAtTheLastSeparatorCharacter)
{
    struct Case {
        const char* path;
        const char* folder;
    };
    const Case cases[] = {
        {"D:\\DOCS\\A.TXT", "D:\\DOCS\\"},
        {"D:\\A.TXT", "D:\\"},
        {"D:A.TXT", "D:"},
        {"A.TXT", "."},
        {"D:\\\x95\x5c.TXT", "D:\\"},
        {"D:\\\x83\x5c\\\x95\x5c", "D:\\\x83\x5c\\"},
        {"\\\\SERVER\\SHARE\\A", "\\\\SERVER\\SHARE\\"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(c.folder, FolderOf(c.path));
    }
}

}  // namespace
