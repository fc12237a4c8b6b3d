#include "print/common_dialog_errors.h"

namespace {

struct CodeString {
    unsigned long code;
    int stringId;
};

// The codes of the platform's <cderr.h>, spelled out so that this table
// stands without it.
constexpr CodeString kCodeStrings[] = {
    {0x0001, 52},  // CDERR_STRUCTSIZE
    {0x0002, 53},  // CDERR_INITIALIZATION
    {0x0003, 54},  // CDERR_NOTEMPLATE
    {0x0004, 55},  // CDERR_NOHINSTANCE
    {0x0005, 56},  // CDERR_LOADSTRFAILURE
    {0x0006, 57},  // CDERR_FINDRESFAILURE
    {0x0007, 58},  // CDERR_LOADRESFAILURE
    {0x0008, 59},  // CDERR_LOCKRESFAILURE
    {0x0009, 60},  // CDERR_MEMALLOCFAILURE
    {0x000A, 61},  // CDERR_MEMLOCKFAILURE
    {0x000B, 62},  // CDERR_NOHOOK
    {0x1001, 63},  // PDERR_SETUPFAILURE
    {0x1002, 64},  // PDERR_PARSEFAILURE
    {0x1003, 65},  // PDERR_RETDEFFAILURE
    {0x1004, 66},  // PDERR_LOADDRVFAILURE
    {0x1005, 67},  // PDERR_GETDEVMODEFAIL
    {0x1006, 68},  // PDERR_INITFAILURE
    {0x1007, 69},  // PDERR_NODEVICES
    {0x1008, 70},  // PDERR_NODEFAULTPRN
    {0x1009, 71},  // PDERR_DNDMMISMATCH
    {0x100A, 72},  // PDERR_CREATEICFAILURE
    {0x100B, 73},  // PDERR_PRINTERNOTFOUND
    {0x2001, 74},  // CFERR_NOFONTS
    {0x3001, 75},  // FNERR_SUBCLASSFAILURE
    {0x3002, 76},  // FNERR_INVALIDFILENAME
    {0x3003, 77},  // FNERR_BUFFERTOOSMALL
    {0xFFFF, 51},  // CDERR_DIALOGFAILURE
};

constexpr int kUndefinedErrorString = 79;

}  // namespace

int CommonDialogErrorStringId(unsigned long code)
{
    if (code == 0) {
        return 0;
    }
    for (const CodeString& entry : kCodeStrings) {
        if (entry.code == code) {
            return entry.stringId;
        }
    }
    return kUndefinedErrorString;
}
