#include "file/backup_name.h"

#include "text/sjis.h"

#include <cstring>

std::string MakeBackupName(const char* path)
{
    static const char kSuffix[] = ".\x90\xa2\x91\xe3";  // ".世代"
    std::string name(path, std::strcspn(path, "."));
    name += kSuffix;
    return name;
}

std::string FolderOf(const char* path)
{
    const char* end = path;
    for (const char* p = path; *p != '\0'; p = NextChar932(p)) {
        if (*p == '\\' || *p == ':') {
            end = p + 1;
        }
    }
    if (end == path) {
        return ".";
    }
    return std::string(path, static_cast<std::size_t>(end - path));
}
