#include "tests/fuzz/properties/properties.h"

// The line-end conversion reads the text in pieces of 4096 bytes: its inputs
// reach past two of them.
const FuzzTarget kFuzzTargets[] = {
    {"command_line", CheckCommandLine, 4096},
    {"line_ends", CheckLineEnds, 10000},
    {"round_trip", CheckRoundTrip, 4096},
    {"edit_units", CheckEditUnits, 4096},
    {"search", CheckSearch, 4096},
    {"msgbox_template", CheckMessageBoxTemplate, 4096},
    {"format_argument", CheckFormatArgument, 1024},
    {"printer_line", CheckPrinterLine, 1024},
    {"page_text", CheckPageText, 1024},
    {"backup_name", CheckBackupName, 1024},
    {"file_names", CheckFileNames, 1024},
    {"face_name", CheckFaceName, 64},
    {"date_line", CheckDateLine, 64},
    {"encoding", CheckEncoding, 4096},
    {"recovery_copy", CheckRecoveryCopy, 4096},
};

const std::size_t kFuzzTargetCount = sizeof kFuzzTargets / sizeof kFuzzTargets[0];

const FuzzTarget* FindFuzzTarget(const std::string& name)
{
    for (const FuzzTarget& target : kFuzzTargets) {
        if (name == target.name) {
            return &target;
        }
    }
    return nullptr;
}
