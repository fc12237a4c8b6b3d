#include "file/backup_name.h"

#include "text/sjis.h"

#include <cstring>

namespace {

// Where the last component of a path starts: after its last "\" or ":" that
// starts a character (a trail byte may be 0x5C).
const char* NamePart(const char* path)
{
    const char* name = path;
    for (const char* p = path; *p != '\0'; p = NextChar932(p)) {
        if (*p == '\\' || *p == ':') {
            name = p + 1;
        }
    }
    return name;
}

}  // namespace

std::string MakeBackupName(const char* path)
{
    static const char kSuffix[] = ".\x90\xa2\x91\xe3";  // ".世代"
    const char* name = NamePart(path);
    std::string backup(path, static_cast<std::size_t>(name - path) + std::strcspn(name, "."));
    backup += kSuffix;
    return backup;
}

std::string FolderOf(const char* path)
{
    const char* name = NamePart(path);
    if (name == path) {
        return ".";
    }
    return std::string(path, static_cast<std::size_t>(name - path));
}
