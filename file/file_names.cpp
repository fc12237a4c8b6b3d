#include "file/file_names.h"

#include "text/sjis.h"

namespace {

bool IsFolderSeparator(char c)
{
    return c == '\\' || c == ':';
}

// Where the character after the last folder separator starts; the start of
// the text when there is none.
std::size_t AfterLastSeparator(const std::string& text)
{
    std::size_t after = 0;
    for (const char* p = text.c_str(); *p != '\0'; p = NextChar932(p)) {
        if (IsFolderSeparator(*p)) {
            after = static_cast<std::size_t>(p - text.c_str()) + 1;
        }
    }
    return after;
}

}  // namespace

std::vector<std::string> SplitPatternList(const std::string& field)
{
    std::vector<std::string> patterns;
    const char* start = field.c_str();
    for (const char* p = start;; p = NextChar932(p)) {
        if (*p == ';' || *p == '\0') {
            if (p != start) {
                patterns.emplace_back(start, p);
            }
            if (*p == '\0') {
                return patterns;
            }
            start = p + 1;
        }
    }
}

bool HasWildcard(const std::string& text)
{
    for (const char* p = text.c_str(); *p != '\0'; p = NextChar932(p)) {
        if (*p == '*' || *p == '?') {
            return true;
        }
    }
    return false;
}

std::string FilePartOfPatterns(const std::string& field)
{
    return field.substr(AfterLastSeparator(field));
}

bool EndsWithFolderSeparator(const std::string& name)
{
    const char* last = nullptr;
    for (const char* p = name.c_str(); *p != '\0'; p = NextChar932(p)) {
        last = p;
    }
    return last != nullptr && IsFolderSeparator(*last);
}

std::string AddDefaultExtension(const std::string& name, const std::string& extension)
{
    bool marked = false;
    for (const char* p = name.c_str(); *p != '\0'; p = NextChar932(p)) {
        if (*p == '.') {
            marked = true;
        } else if (IsFolderSeparator(*p)) {
            marked = false;
        }
    }
    return marked ? name : name + extension;
}
