// Names that come from outside: the command line, backup names, what the
// file dialogs read from their name fields, and the font dialog's face names.

#include "tests/fuzz/properties/fuzz_input.h"
#include "tests/fuzz/properties/properties.h"

#include "app/command_line.h"
#include "file/backup_name.h"
#include "file/file_names.h"
#include "text/font_names.h"

#include <algorithm>

namespace {

// ".世代"
const std::string kBackupSuffix = ".\x90\xa2\x91\xe3";

bool IsSeparator(const std::string& c)
{
    return c == "\\" || c == ":";
}

// Where the characters after the last "\" or ":" start; 0 when there is none.
std::size_t ReferenceNameStart(const std::string& path)
{
    std::size_t start = 0;
    std::size_t at = 0;
    for (const std::string& c : Characters(path)) {
        at += c.size();
        if (IsSeparator(c)) {
            start = at;
        }
    }
    return start;
}

CommandLineName ReferenceCommandLineName(const std::string& line)
{
    const std::vector<std::string> c = Characters(line);
    const std::vector<std::size_t> starts = CharacterStarts(line);
    const CommandLineName none{line.size(), 0};
    std::size_t k = 0;
    if (!c.empty() && c[0] == "\"") {
        for (k = 1; k < c.size() && c[k] != "\""; ++k) {
        }
        if (k == c.size()) {
            return none;
        }
        ++k;
    }
    for (; k < c.size() && c[k] != " "; ++k) {
    }
    if (k == c.size()) {
        return none;
    }
    for (; k < c.size() && c[k] == " "; ++k) {
    }
    const std::size_t offset = starts[k];
    if (k < c.size() && c[k] == "\"") {
        std::size_t close = k + 1;
        for (; close < c.size() && c[close] != "\""; ++close) {
        }
        const bool onlySpacesAfter =
            close < c.size() && std::all_of(c.begin() + static_cast<std::ptrdiff_t>(close) + 1, c.end(),
                                            [](const std::string& s) { return s == " "; });
        if (onlySpacesAfter) {
            return {offset + 1, starts[close] - offset - 1};
        }
    }
    return {offset, line.size() - offset};
}

std::vector<std::string> ReferencePatterns(const std::string& field)
{
    std::vector<std::string> patterns(1);
    for (const std::string& c : Characters(field)) {
        if (c == ";") {
            patterns.emplace_back();
        } else {
            patterns.back() += c;
        }
    }
    patterns.erase(std::remove(patterns.begin(), patterns.end(), std::string()), patterns.end());
    return patterns;
}

}  // namespace

std::string CheckCommandLine(const unsigned char* data, std::size_t size)
{
    FuzzInput input(data, size);
    const std::string line = ZeroEnded(input.Rest());
    const CommandLineName name = LocateCommandLineName(ExactText(line).get());
    const CommandLineName expected = ReferenceCommandLineName(line);
    const std::string shown = Show(line) + " gave " + std::to_string(name.offset) + "+" + std::to_string(name.length);
    PROPERTY(name.offset <= line.size() && name.length <= line.size() - name.offset, shown);
    PROPERTY(name.offset == expected.offset && name.length == expected.length, shown);
    PROPERTY(name.length == 0 || (IsCharacterStart(line, name.offset) &&
                                  IsCharacterStart(line, name.offset + name.length)),
             shown);
    return {};
}

std::string CheckBackupName(const unsigned char* data, std::size_t size)
{
    FuzzInput input(data, size);
    const std::string path = ZeroEnded(input.Rest());
    const ExactText exact(path);
    const std::string backup = MakeBackupName(exact.get());
    const std::string shown = Show(path) + " gave " + Show(backup);

    PROPERTY(backup.size() >= kBackupSuffix.size() &&
                 backup.compare(backup.size() - kBackupSuffix.size(), kBackupSuffix.size(), kBackupSuffix) == 0,
             shown);
    PROPERTY(FolderOf(ExactText(backup).get()) == FolderOf(exact.get()), shown);
    // The path up to the first "." of its file name, the folder whole.
    const std::string stem = backup.substr(0, backup.size() - kBackupSuffix.size());
    const std::size_t nameStart = ReferenceNameStart(path);
    PROPERTY(stem.size() >= nameStart && path.compare(0, stem.size(), stem) == 0, shown);
    PROPERTY(stem.find('.', nameStart) == std::string::npos, shown);
    PROPERTY(stem.size() == path.size() || path[stem.size()] == '.', shown);

    const std::string folder = FolderOf(exact.get());
    PROPERTY(folder == (nameStart == 0 ? "." : path.substr(0, nameStart)), Show(path) + " in " + Show(folder));
    return {};
}

std::string CheckFileNames(const unsigned char* data, std::size_t size)
{
    FuzzInput input(data, size);
    const std::string extension = ZeroEnded(input.Piece());
    const std::string field = ZeroEnded(input.Rest());
    const std::vector<std::string> characters = Characters(field);
    const std::string shown = Show(field);

    PROPERTY(SplitPatternList(field) == ReferencePatterns(field), shown);
    const bool wildcard = std::any_of(characters.begin(), characters.end(),
                                      [](const std::string& c) { return c == "*" || c == "?"; });
    PROPERTY(HasWildcard(field) == wildcard, shown);
    const std::size_t nameStart = ReferenceNameStart(field);
    PROPERTY(FilePartOfPatterns(field) == field.substr(nameStart), shown);
    PROPERTY(EndsWithFolderSeparator(field) == (!characters.empty() && IsSeparator(characters.back())), shown);
    const std::vector<std::string> name = Characters(field.substr(nameStart));
    const bool hasDot = std::find(name.begin(), name.end(), ".") != name.end();
    PROPERTY(AddDefaultExtension(field, extension) == (hasDot ? field : field + extension),
             shown + " with " + Show(extension));
    return {};
}

std::string CheckFaceName(const unsigned char* data, std::size_t size)
{
    FuzzInput input(data, size);
    const std::size_t bufferSize = input.Byte() % 40;
    const std::string bytes = input.Rest().substr(0, bufferSize);
    // The buffer as the dialog filled it, with or without a terminator.
    const std::unique_ptr<char[]> face(new char[bufferSize]);
    std::fill(face.get(), face.get() + bufferSize, '\0');
    std::copy(bytes.begin(), bytes.end(), face.get());
    const std::string given(face.get(), bufferSize);
    TidyFaceName(face.get(), bufferSize);
    if (bufferSize == 0) {
        return {};
    }

    const std::string name = ZeroEnded(given);
    const bool unterminated = name.size() == bufferSize;
    std::string expected = !name.empty() && name[0] == '@' ? name.substr(1) : name;
    if (unterminated) {
        expected.resize(ReferenceWholeLength(expected, bufferSize - 1));
    }
    const std::string tidied(face.get(), std::find(face.get(), face.get() + bufferSize, '\0'));
    PROPERTY(tidied.size() < bufferSize && tidied == expected,
             Show(given) + " gave " + Show(tidied));
    return {};
}
