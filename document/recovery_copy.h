#pragma once
// A recovery copy as plain bytes: what a changed document is kept as until it
// is saved, so that it can be opened again as it was after the program or the
// machine stopped. The names of the copy files, their owners' lock files, and
// the question that offers the copies back.
//
// A copy file is a header of kCopyHeaderSize bytes, little-endian:
//   0  magic "MkRecov" and 0x1A            8 bytes
//   8  version (kCopyVersion)             32 bits
//  12  encoding (TextEncoding)            32 bits
//  16  flags: 1 untitled, 2 shortened     32 bits
//  20  text form (CopyTextForm)           32 bits
//  24  name length in bytes               32 bits
//  28  text length in bytes               64 bits
//  36  CRC-32 of the name and the text    32 bits
// then the name (code page 932) and the text, and nothing after them.

#include "text/encoding.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// How the text is held: in the edit control's own form, so that it comes
// back exactly. Windows' ANSI control holds code page 932 bytes; Wine's
// holds UTF-16.
enum class CopyTextForm : std::uint32_t {
    CodePage932 = 0,
    Utf16Le = 1,
};

// What is needed to open the document again as it was.
struct CopiedDocument {
    TextEncoding encoding = TextEncoding::ShiftJis;
    bool untitled = false;
    // Read only up to a zero byte, so that a save asks before cutting the file.
    bool shortened = false;
    CopyTextForm form = CopyTextForm::CodePage932;
    // The file's name as the user gave it; the title of an untitled document.
    std::string name;
};

constexpr std::size_t kCopyHeaderSize = 40;
constexpr std::uint32_t kCopyVersion = 1;

// CRC-32 (the polynomial of zip and PNG) of data, continued from crc; start
// with 0.
std::uint32_t Crc32(std::uint32_t crc, const void* data, std::size_t size);

// The header of a copy of document whose text is textLength bytes with the
// given checksum of name and text. Takes no memory, so that it serves a
// failing program too.
void FormatCopyHeader(const CopiedDocument& document, std::uint64_t textLength, std::uint32_t checksum,
                      unsigned char header[kCopyHeaderSize]);

// The whole file of a copy: header, name, text. Throws std::bad_alloc.
std::string MakeCopyFile(const CopiedDocument& document, const std::string& text);

// Why a copy cannot be read whole.
enum class CopyFault {
    none,
    header,    // not a copy, another version, or values no copy has
    length,    // the file is longer or shorter than its header says
    checksum,  // name or text differ from what was written
};

// Reads a copy file: on none, *document holds its description and the text
// lies at bytes [*textOffset, *textOffset + *textLength) of data.
CopyFault ParseCopyFile(const unsigned char* data, std::size_t size, CopiedDocument* document,
                        std::size_t* textOffset, std::size_t* textLength);

// The owner of copies is one run of the program, named by its process id and
// the time it started (the platform's 100-ns ticks), both in hexadecimal:
// "0000162C-01DA3F5E8C9A1B20".
std::string OwnerName(std::uint32_t processId, std::uint64_t startTime);

// The owner's lock file, held open while it runs: "<owner>.lock".
std::string LockFileName(const std::string& owner);

// The file of the owner's copy number serial: "<owner>-<serial>.mkr".
std::string CopyFileName(const std::string& owner, unsigned serial);

// The owner of a copy file, by its name; false for a name that is not one.
bool OwnerOfCopyFile(const std::string& fileName, std::string* owner);

// The name a copy that cannot be read is kept under, out of the way of the
// copies offered: ".mkr" becomes ".壊れ".
std::string SetAsideName(const std::string& fileName);

// The question that offers copies back: how many, and their names (the
// first kListedCopies, each cut to kListedNameBytes).
constexpr std::size_t kListedCopies = 10;
constexpr std::size_t kListedNameBytes = 100;
std::string TakeBackQuestion(const std::vector<std::string>& names);
