// The libFuzzer entry of every fuzz target: MOKURE_FUZZ_TARGET names the
// one to run; "list" prints each target's name and longest input instead.
// A property that does not hold aborts, so that libFuzzer keeps the input.

#include "tests/fuzz/properties/properties.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const FuzzTarget* g_target = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    const char* name = std::getenv("MOKURE_FUZZ_TARGET");
    const std::string wanted = name != nullptr ? name : "";
    if (wanted == "list") {
        for (std::size_t i = 0; i < kFuzzTargetCount; ++i) {
            std::printf("%s %zu\n", kFuzzTargets[i].name, kFuzzTargets[i].maxLength);
        }
        std::exit(0);
    }
    g_target = FindFuzzTarget(wanted);
    if (g_target == nullptr) {
        std::fprintf(stderr, "MOKURE_FUZZ_TARGET names no fuzz target: \"%s\" (list gives them)\n",
                     wanted.c_str());
        std::exit(2);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    const std::string failure = g_target->check(data, size);
    if (!failure.empty()) {
        std::fprintf(stderr, "%s: property does not hold: %s\n", g_target->name, failure.c_str());
        std::abort();
    }
    return 0;
}
