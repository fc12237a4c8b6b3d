#include "file/backup_name.h"

#include <cstring>

std::string MakeBackupName(const char* path)
{
    static const char kSuffix[] = ".\x90\xa2\x91\xe3";  // ".世代"
    std::string name(path, std::strcspn(path, "."));
    name += kSuffix;
    return name;
}
