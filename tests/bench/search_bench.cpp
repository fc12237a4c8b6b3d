// Searching and replacing over large Shift-JIS texts: find against glibc's
// memmem over the same bytes, find-previous against find-next, and how
// replace-all grows with the text.

#include "search/match.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kMiB = std::size_t{1} << 20;

// Absent from the 100 MiB text: 検 is none of the generator's characters.
constexpr char kAbsent[] = "検索単語";
// Put into the replace-all texts about once every 100 bytes.
constexpr char kFind[] = "検索";
constexpr char kReplace[] = "置換語";

// Shift-JIS lines of 40 to 80 bytes ended by CR LF: kana, kanji and
// punctuation (some with trail bytes 0x5C and 0x7C or in the lead range)
// mixed with ASCII words; when asked for, kFind after about every 100
// bytes. The same bytes on every run.
std::string MakeText(std::size_t bytes, bool withFind)
{
    static const char* const kWide[] = {
        "あ", "い", "う", "の", "は", "を", "ア", "ポ", "ソ", "表", "能", "漢",
        "字", "文", "書", "日", "本", "語", "、", "。", "　", "ｱ", "ﾎﾟ", "一",
    };
    static const char* const kWords[] = {"the ", "MDI ", "text, ", "42 ", "C:\\DOCS ", "a|b ", "(x) ", "editor. "};
    std::uint64_t seed = 0x9E3779B97F4A7C15u;
    auto next = [&seed] {
        seed = seed * 6364136223846793005u + 1442695040888963407u;
        return static_cast<std::uint32_t>(seed >> 33);
    };
    std::string s;
    s.reserve(bytes + 128);
    std::size_t nextFind = 100;
    while (s.size() < bytes) {
        const std::size_t lineEnd = s.size() + 38 + next() % 41;
        while (s.size() < lineEnd) {
            s += next() % 10 < 7 ? kWide[next() % (sizeof kWide / sizeof kWide[0])]
                                 : kWords[next() % (sizeof kWords / sizeof kWords[0])];
            if (withFind && s.size() >= nextFind) {
                s += kFind;
                nextFind += 100;
            }
        }
        s += "\r\n";
    }
    return s;
}

const std::string& HundredMiB()
{
    static const std::string text = MakeText(100 * kMiB, false);
    return text;
}

void BM_SearchMemmem(benchmark::State& state)
{
    const std::string& text = HundredMiB();
    for (auto _ : state) {
        benchmark::DoNotOptimize(memmem(text.data(), text.size(), kAbsent, std::strlen(kAbsent)));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void BM_SearchFindNext(benchmark::State& state)
{
    const std::string& text = HundredMiB();
    for (auto _ : state) {
        const Finder finder(kAbsent, std::strlen(kAbsent));
        benchmark::DoNotOptimize(finder.Forward(text.c_str(), text.size(), 0));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void BM_SearchFindPrevious(benchmark::State& state)
{
    const std::string& text = HundredMiB();
    for (auto _ : state) {
        const Finder finder(kAbsent, std::strlen(kAbsent));
        benchmark::DoNotOptimize(finder.Backward(text.c_str(), text.size(), text.size()));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

// Replace-all as a command does it, planning and then writing the new
// text, into a block written once beforehand so that no run pays for
// first-touch page faults. The argument is the text in MiB, with an
// occurrence about every 100 bytes: 1 MiB and 10,000 occurrences is the
// size the Windows tests replace through the dialog.
void BM_SearchReplaceAll(benchmark::State& state)
{
    const std::string text = MakeText(static_cast<std::size_t>(state.range(0)) * kMiB, true);
    const std::size_t findLength = std::strlen(kFind);
    const std::size_t replaceLength = std::strlen(kReplace);
    const ReplaceAllPlan sized = PlanReplaceAll(Finder(kFind, findLength), text.c_str(), text.size(), replaceLength);
    std::vector<char> out(sized.newLength + 1, 'x');
    for (auto _ : state) {
        const Finder finder(kFind, findLength);
        const ReplaceAllPlan plan = PlanReplaceAll(finder, text.c_str(), text.size(), replaceLength);
        WriteReplaceAll(finder, text.c_str(), text.size(), kReplace, replaceLength, out.data());
        benchmark::DoNotOptimize(plan);
        benchmark::ClobberMemory();
    }
    state.counters["occurrences"] = static_cast<double>(sized.count);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

// The fastest repetition is the one least disturbed by whatever else the
// machine runs; the ratios are taken between those.
double Fastest(const std::vector<double>& times)
{
    return *std::min_element(times.begin(), times.end());
}

BENCHMARK(BM_SearchMemmem)->Unit(benchmark::kMillisecond)->UseRealTime()->ComputeStatistics("min", Fastest);
BENCHMARK(BM_SearchFindNext)->Unit(benchmark::kMillisecond)->UseRealTime()->ComputeStatistics("min", Fastest);
BENCHMARK(BM_SearchFindPrevious)->Unit(benchmark::kMillisecond)->UseRealTime()->ComputeStatistics("min", Fastest);
BENCHMARK(BM_SearchReplaceAll)
    ->Arg(1)
    ->Arg(10)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->ComputeStatistics("min", Fastest);

}  // namespace
