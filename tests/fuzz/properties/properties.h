#pragma once
// The fuzz targets of the pure code. Each reads the fuzzer's bytes as the
// arguments of the functions it covers and checks a property of what they
// give, most often against a plain reference that walks one character at a
// time. The fuzz program runs them under libFuzzer; the unit tests run them
// over the inputs kept in the tree.

#include <cstddef>
#include <string>

// What went wrong with one input; empty when it passed.
using PropertyCheck = std::string (*)(const unsigned char* data, std::size_t size);

struct FuzzTarget {
    const char* name;
    PropertyCheck check;
    std::size_t maxLength;  // the longest input worth trying
};

extern const FuzzTarget kFuzzTargets[];
extern const std::size_t kFuzzTargetCount;

// The target of that name, or null.
const FuzzTarget* FindFuzzTarget(const std::string& name);

std::string CheckCommandLine(const unsigned char* data, std::size_t size);
std::string CheckLineEnds(const unsigned char* data, std::size_t size);
std::string CheckRoundTrip(const unsigned char* data, std::size_t size);
std::string CheckEditUnits(const unsigned char* data, std::size_t size);
std::string CheckSearch(const unsigned char* data, std::size_t size);
std::string CheckMessageBoxTemplate(const unsigned char* data, std::size_t size);
std::string CheckFormatArgument(const unsigned char* data, std::size_t size);
std::string CheckPrinterLine(const unsigned char* data, std::size_t size);
std::string CheckPageText(const unsigned char* data, std::size_t size);
std::string CheckBackupName(const unsigned char* data, std::size_t size);
std::string CheckFileNames(const unsigned char* data, std::size_t size);
std::string CheckFaceName(const unsigned char* data, std::size_t size);
std::string CheckDateLine(const unsigned char* data, std::size_t size);
std::string CheckEncoding(const unsigned char* data, std::size_t size);
std::string CheckRecoveryCopy(const unsigned char* data, std::size_t size);
