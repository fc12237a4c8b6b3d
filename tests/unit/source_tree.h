#pragma once
// The checkout the tests were built from, which the build gives as hex
// digits: a string literal would be turned into code page 932 like every
// other, and the path may hold Japanese.

#include <filesystem>
#include <string>

inline std::filesystem::path SourceTree()
{
    const std::string hex = MOKURE_SOURCE_DIR_HEX;
    std::string path;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        path += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    }
    return path;
}
