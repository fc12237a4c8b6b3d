#include "document/copy_timing.h"
#include "document/recovery_copy.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

std::string Utf16(const std::u16string& text)
{
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2);
}

CopyFault Parse(const std::string& file, CopiedDocument* document, std::string* text)
{
    std::size_t offset = 0;
    std::size_t length = 0;
    const CopyFault fault = ParseCopyFile(reinterpret_cast<const unsigned char*>(file.data()), file.size(), document,
                                          &offset, &length);
    if (fault == CopyFault::none) {
        *text = file.substr(offset, length);
    }
    return fault;
}

TEST(RecoveryCopyTest, ACopyReadsBackAsItWasWritten)
{
    struct Case {
        CopiedDocument document;
        std::string text;
    };
    const Case cases[] = {
        {{TextEncoding::ShiftJis, false, false, CopyTextForm::CodePage932, "D:\\\x95\x5c\\memo.txt"},
         "typed \x95\x5c\r\n"},
        {{TextEncoding::Utf8Marked, true, false, CopyTextForm::Utf16Le, "書簡3"}, Utf16(u"今日は €\r\n")},
        {{TextEncoding::Iso2022Jp, false, true, CopyTextForm::CodePage932, "C:\\a b.c\\z.txt"}, ""},
        {{TextEncoding::Utf16BeMarked, false, false, CopyTextForm::Utf16Le, "x"}, std::string(100000, 'a')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.document.name);
        const std::string file = MakeCopyFile(c.document, c.text);
        EXPECT_EQ(file.size(), kCopyHeaderSize + c.document.name.size() + c.text.size());
        CopiedDocument read;
        std::string text;
        ASSERT_EQ(Parse(file, &read, &text), CopyFault::none);
        EXPECT_EQ(read.encoding, c.document.encoding);
        EXPECT_EQ(read.untitled, c.document.untitled);
        EXPECT_EQ(read.shortened, c.document.shortened);
        EXPECT_EQ(read.form, c.document.form);
        EXPECT_EQ(read.name, c.document.name);
        EXPECT_EQ(text, c.text);
    }
}

// A copy whose header fields were changed, with its checksum still right.
std::string WithField(std::size_t at, std::uint32_t value)
{
    const CopiedDocument document{TextEncoding::ShiftJis, false, false, CopyTextForm::CodePage932, "A.TXT"};
    std::string file = MakeCopyFile(document, "text!");
    for (int i = 0; i < 4; ++i) {
        file[at + i] = static_cast<char>(value >> (8 * i));
    }
    return file;
}

TEST(RecoveryCopyTest, ACopyNotWrittenWholeIsRefusedWithItsReason)
{
    const CopiedDocument titled{TextEncoding::ShiftJis, false, false, CopyTextForm::CodePage932, "A.TXT"};
    const std::string good = MakeCopyFile(titled, "text!");
    const auto changed = [&good](const std::function<void(std::string&)>& change) {
        std::string file = good;
        change(file);
        return file;
    };
    struct Case {
        const char* what;
        std::string file;
        CopyFault fault;
    };
    const Case cases[] = {
        {"empty", "", CopyFault::header},
        {"shorter than a header", good.substr(0, kCopyHeaderSize - 1), CopyFault::header},
        {"another magic", changed([](std::string& f) { f[0] = 'X'; }), CopyFault::header},
        {"another version", WithField(8, 2), CopyFault::header},
        {"an unknown encoding", WithField(12, 9), CopyFault::header},
        {"an unknown flag", WithField(16, 4), CopyFault::header},
        {"an unknown text form", WithField(20, 2), CopyFault::header},
        {"a titled copy without a name", MakeCopyFile({TextEncoding::ShiftJis, false, false,
                                                       CopyTextForm::CodePage932, ""}, "x"),
         CopyFault::header},
        {"UTF-16 of an odd length", MakeCopyFile({TextEncoding::ShiftJis, true, false, CopyTextForm::Utf16Le,
                                                  "N"}, "abc"),
         CopyFault::header},
        {"a zero in the name", MakeCopyFile({TextEncoding::ShiftJis, false, false, CopyTextForm::CodePage932,
                                             std::string("A\0B", 3)}, "x"),
         CopyFault::header},
        {"cut at the end", good.substr(0, good.size() - 1), CopyFault::length},
        {"cut after its header", good.substr(0, kCopyHeaderSize), CopyFault::length},
        {"a byte more", good + "!", CopyFault::length},
        {"a name longer than the file", WithField(24, 1000), CopyFault::length},
        {"a text byte changed", changed([](std::string& f) { f.back() = '?'; }), CopyFault::checksum},
        {"a name byte changed", changed([](std::string& f) { f[kCopyHeaderSize] = 'B'; }), CopyFault::checksum},
        {"the checksum changed", changed([](std::string& f) { f[36] ^= 1; }), CopyFault::checksum},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CopiedDocument read;
        std::string text;
        EXPECT_EQ(Parse(c.file, &read, &text), c.fault);
    }
}

std::uint32_t BitwiseCrc32(const std::string& data)
{
    std::uint32_t crc = 0xFFFFFFFF;
    for (unsigned char b : data) {
        crc ^= b;
        for (int k = 0; k < 8; ++k) {
            crc = (crc & 1) != 0 ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
        }
    }
    return ~crc;
}

TEST(RecoveryCopyTest, TheChecksumIsCrc32InPiecesAsWhole)
{
    EXPECT_EQ(Crc32(0, "123456789", 9), 0xCBF43926u);
    std::string data;
    for (int i = 0; i < 40; ++i) {
        data += static_cast<char>(i * 37 + 11);
        for (std::size_t cut = 0; cut <= data.size(); ++cut) {
            EXPECT_EQ(Crc32(Crc32(0, data.data(), cut), data.data() + cut, data.size() - cut), BitwiseCrc32(data))
                << data.size() << " cut at " << cut;
        }
    }
}

TEST(RecoveryCopyTest, CopyFilesNameTheirOwner)
{
    const std::string owner = OwnerName(0x162C, 0x01DA3F5E8C9A1B20ULL);
    EXPECT_EQ(owner, "0000162C-01DA3F5E8C9A1B20");
    EXPECT_EQ(LockFileName(owner), "0000162C-01DA3F5E8C9A1B20.lock");
    EXPECT_EQ(CopyFileName(owner, 12), "0000162C-01DA3F5E8C9A1B20-12.mkr");
    EXPECT_EQ(SetAsideName("0000162C-01DA3F5E8C9A1B20-12.mkr"), "0000162C-01DA3F5E8C9A1B20-12.壊れ");
    struct Case {
        const char* name;
        bool copy;
    };
    const Case cases[] = {
        {"0000162C-01DA3F5E8C9A1B20-12.mkr", true},
        {"0000162C-01DA3F5E8C9A1B20-1.mkr", true},
        {"0000162C-01DA3F5E8C9A1B20-.mkr", false},
        {"0000162C-01DA3F5E8C9A1B20-1x.mkr", false},
        {"0000162C-01DA3F5E8C9A1B20-1.mkr.tmp", false},
        {"0000162C-01DA3F5E8C9A1B20-1.壊れ", false},
        {"0000162c-01DA3F5E8C9A1B20-1.mkr", false},
        {"0000162C_01DA3F5E8C9A1B20-1.mkr", false},
        {"162C-01DA3F5E8C9A1B20-1.mkr", false},
        {"0000162C-01DA3F5E8C9A1B20.lock", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string found;
        EXPECT_EQ(OwnerOfCopyFile(c.name, &found), c.copy);
        if (c.copy) {
            EXPECT_EQ(found, owner);
        }
    }
}

TEST(RecoveryCopyTest, ACopyIsDueAfterAQuietMomentAndNotTooOften)
{
    struct Case {
        const char* what;
        CopyTiming timing;
        std::uint64_t due;
    };
    const Case cases[] = {
        {"first change, then quiet", {1000, 1000, false, 0}, 3000},
        {"typing for a while, first copy", {1000, 9000, false, 0}, 11000},
        {"typing without a pause", {1000, 30500, false, 0}, 31000},
        {"a pause soon after a copy", {41000, 42000, true, 40000}, 70000},
        {"a pause long after a copy", {100000, 100500, true, 40000}, 102500},
        {"typing on after a copy", {41000, 80000, true, 40000}, 71000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(CopyDueAt(c.timing), c.due);
    }
}

TEST(RecoveryCopyTest, TheQuestionCountsAndNamesTheCopies)
{
    EXPECT_EQ(TakeBackQuestion({"書簡3", "D:\\MEMO.TXT"}),
              "保管されないまま終わった文書が2件あります。\r　「書簡3」\r　「D:\\MEMO.TXT」\r取り戻しますか");
    std::vector<std::string> many(12, "A");
    many[0] = std::string(99, 'x') + "表";
    const std::string question = TakeBackQuestion(many);
    EXPECT_EQ(question.substr(0, question.find('\r')), "保管されないまま終わった文書が12件あります。");
    EXPECT_NE(question.find("　「" + std::string(99, 'x') + "…」\r"), std::string::npos);
    EXPECT_NE(question.find("\r　「A」\r　ほか2件\r取り戻しますか"), std::string::npos);
}

}  // namespace
