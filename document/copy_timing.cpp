#include "document/copy_timing.h"

#include <algorithm>

std::uint64_t CopyDueAt(const CopyTiming& timing)
{
    const std::uint64_t settled = std::min(timing.lastChange + kCopyQuiet, timing.firstChange + kCopyInterval);
    return timing.copied ? std::max(settled, timing.lastCopy + kCopyInterval) : settled;
}
