#pragma once
// When a changed document's recovery copy is written: once the document has
// been left alone for a moment, and not so often that copying a large
// document over and over wears the disk. Times are milliseconds of a steady
// clock.

#include <cstdint>

// A document left alone this long gets its copy.
constexpr std::uint64_t kCopyQuiet = 2000;
// The least time between two copies of one document, and the longest that a
// change goes without a copy while typing goes on.
constexpr std::uint64_t kCopyInterval = 30000;

struct CopyTiming {
    std::uint64_t firstChange = 0;  // the first change the copy on disk lacks
    std::uint64_t lastChange = 0;
    bool copied = false;            // a copy was taken since the document was made or saved
    std::uint64_t lastCopy = 0;     // when it was taken
};

// When the copy is due: two seconds after the last change, or thirty after
// the first change that lacks one if typing never stops; never sooner than
// thirty seconds after the previous copy.
std::uint64_t CopyDueAt(const CopyTiming& timing);
