// Work on loading a large file, against one copy of the same bytes: the
// line ends, and recognising what encoding the bytes are in.

#include "file/line_ends.h"
#include "text/encoding.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kTextBytes = std::size_t{100} << 20;

// 100 MiB of Shift-JIS lines of 40 to 80 bytes, ended by LF: kana, kanji and
// punctuation (some with trail bytes 0x5C and 0x7C, or in the lead range)
// mixed with ASCII words. The same bytes on every run.
const std::string& SampleText()
{
    static const std::string text = [] {
        static const char* const kWide[] = {
            "\x82\xa0", "\x82\xa2", "\x82\xa4", "\x82\xcc", "\x82\xcd", "\x82\xf0",
            "\x83\x41", "\x83\x7c", "\x83\x5c", "\x95\x5c", "\x94\x5c", "\x8a\xbf",
            "\x8e\x9a", "\x95\xb6", "\x8f\x91", "\x93\xfa", "\x96\x7b", "\x8c\xea",
            "\x81\x41", "\x81\x42", "\x81\x40", "\xe0\x9f", "\xea\xa0", "\x88\xea",
        };
        static const char* const kWords[] = {"the ", "MDI ", "text, ", "42 ", "C:\\DOCS ",
                                             "a|b ", "(x) ", "editor. "};
        std::uint64_t seed = 0x9E3779B97F4A7C15u;
        auto next = [&seed] {
            seed = seed * 6364136223846793005u + 1442695040888963407u;
            return static_cast<std::uint32_t>(seed >> 33);
        };
        std::string s;
        s.reserve(kTextBytes + 1);
        while (s.size() < kTextBytes) {
            const std::size_t lineEnd = s.size() + 39 + next() % 41;
            while (s.size() < lineEnd) {
                s += next() % 10 < 7 ? kWide[next() % (sizeof kWide / sizeof kWide[0])]
                                     : kWords[next() % (sizeof kWords / sizeof kWords[0])];
            }
            s += '\n';
        }
        s.resize(kTextBytes);
        return s;
    }();
    return text;
}

// A destination written once beforehand, so that no run pays for first-touch
// page faults.
std::vector<char> TouchedBlock(std::size_t size)
{
    return std::vector<char>(size, 'x');
}

void BM_NormaliseMemcpy(benchmark::State& state)
{
    const std::string& text = SampleText();
    std::vector<char> out = TouchedBlock(text.size() + 1);
    for (auto _ : state) {
        std::memcpy(out.data(), text.data(), text.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void BM_NormaliseDecideCountConvert(benchmark::State& state)
{
    const std::string& text = SampleText();
    std::vector<char> out = TouchedBlock(NormalisedLength(text.c_str()) + 1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(FirstLineEndNeedsQuestion(text.c_str()));
        const std::size_t length = NormalisedLength(text.c_str());
        benchmark::DoNotOptimize(length);
        benchmark::DoNotOptimize(NormaliseLineEndsInto(text.c_str(), out.data()));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void BM_NormaliseCountOnly(benchmark::State& state)
{
    const std::string& text = SampleText();
    for (auto _ : state) {
        benchmark::DoNotOptimize(NormalisedLength(text.c_str()));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void BM_NormaliseConvertOnly(benchmark::State& state)
{
    const std::string& text = SampleText();
    std::vector<char> out = TouchedBlock(NormalisedLength(text.c_str()) + 1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(NormaliseLineEndsInto(text.c_str(), out.data()));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void BM_RecogniseEncoding(benchmark::State& state)
{
    const std::string& text = SampleText();
    for (auto _ : state) {
        benchmark::DoNotOptimize(RecogniseEncoding(text.data(), text.size()));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

BENCHMARK(BM_NormaliseMemcpy)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_NormaliseDecideCountConvert)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_NormaliseCountOnly)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_NormaliseConvertOnly)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RecogniseEncoding)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
