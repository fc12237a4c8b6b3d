// Every input kept for the fuzz targets, the seeds and those that once
// found a fault, still passes its target's property check.

#include "tests/fuzz/properties/properties.h"
#include "tests/unit/source_tree.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>

// A target shows as its name in the test's listing.
void PrintTo(const FuzzTarget& target, std::ostream* out)
{
    *out << target.name;
}

namespace {

namespace fs = std::filesystem;

fs::path FuzzFolder()
{
    return SourceTree() / "tests" / "fuzz";
}

std::string ReadBytes(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class FuzzInputs : public testing::TestWithParam<FuzzTarget> {};

TEST_P(FuzzInputs, EveryKeptInputHoldsItsProperty)
{
    const FuzzTarget& target = GetParam();
    int seeds = 0;
    for (const char* kind : {"seeds", "regressions"}) {
        const fs::path folder = FuzzFolder() / kind / target.name;
        if (!fs::is_directory(folder)) {
            continue;
        }
        for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
            const std::string bytes = ReadBytes(entry.path());
            EXPECT_EQ(target.check(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()), "")
                << kind << "/" << target.name << "/" << entry.path().filename().string();
            seeds += std::string(kind) == "seeds" ? 1 : 0;
        }
    }
    EXPECT_GT(seeds, 0) << "no seed inputs in " << (FuzzFolder() / "seeds" / target.name).string();
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzInputs, testing::ValuesIn(kFuzzTargets, kFuzzTargets + kFuzzTargetCount),
                         [](const testing::TestParamInfo<FuzzTarget>& info) { return std::string(info.param.name); });

}  // namespace
