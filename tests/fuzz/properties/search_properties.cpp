// The search engine: find both ways, replace-and-find and replace-all, each
// against a plain search that tries every character start in turn.

#include "tests/fuzz/properties/fuzz_input.h"
#include "tests/fuzz/properties/properties.h"

#include "search/match.h"
#include "state/search_state.h"

#include <algorithm>

namespace {

// Bytes that make matches likely and that put lead bytes, trail bytes that
// look like '\' and 'A', and line ends next to each other.
constexpr char kSmallAlphabet[8] = {'a', 'b', '\\', 'A', '\x81', '\x95', '\x83', '\r'};

std::string Narrowed(const std::string& bytes)
{
    std::string narrowed;
    for (unsigned char c : bytes) {
        narrowed += kSmallAlphabet[c % 8];
    }
    return narrowed;
}

// As the find and replace fields hold them.
std::string Field(const std::string& bytes)
{
    return ZeroEnded(bytes).substr(0, sizeof SearchState.findText - 1);
}

bool MatchesAt(const std::string& text, std::size_t at, const std::string& find)
{
    return at + find.size() <= text.size() && text.compare(at, find.size(), find) == 0;
}

std::size_t ReferenceForward(const std::string& text, const std::string& find, std::size_t from)
{
    for (std::size_t at : CharacterStarts(text)) {
        if (at >= from && MatchesAt(text, at, find)) {
            return at;
        }
    }
    return kNotFound;
}

std::size_t ReferenceBackward(const std::string& text, const std::string& find, std::size_t before)
{
    std::size_t found = kNotFound;
    for (std::size_t at : CharacterStarts(text)) {
        if (at < before && MatchesAt(text, at, find)) {
            found = at;
        }
    }
    return found;
}

struct ReferenceReplacement {
    std::string text;
    std::size_t count = 0;
    std::size_t lastStart = 0;
};

ReferenceReplacement ReferenceReplaceAll(const std::string& text, const std::string& find,
                                         const std::string& replace)
{
    ReferenceReplacement result;
    for (std::size_t at = 0; at < text.size();) {
        if (MatchesAt(text, at, find)) {
            result.lastStart = result.text.size();
            result.text += replace;
            ++result.count;
            at += find.size();
        } else {
            const std::size_t length = CharacterLength(text, at);
            result.text.append(text, at, length);
            at += length;
        }
    }
    return result;
}

std::string Where(const std::string& text, const std::string& find, std::size_t at)
{
    return Show(find) + " in " + Show(text) + " at " + std::to_string(at);
}

std::string CheckFindForward(const Finder& finder, const std::string& text, const std::string& find,
                             std::size_t selectionStart)
{
    const ExactText exact(text);
    const std::vector<std::size_t> starts = CharacterStarts(text);
    const auto start = std::find(starts.begin(), starts.end(), selectionStart);
    const std::size_t after = start + 1 == starts.end() ? text.size() + 1 : *(start + 1);
    const std::size_t from = CharacterAfter(exact.get(), text.size(), selectionStart);
    PROPERTY(from == after, Where(text, find, selectionStart));
    PROPERTY(finder.Forward(exact.get(), text.size(), from) == ReferenceForward(text, find, from),
             Where(text, find, from));
    return {};
}

std::string CheckFindBackward(const Finder& finder, const std::string& text, const std::string& find,
                              std::size_t before)
{
    const ExactText exact(text);
    PROPERTY(finder.Backward(exact.get(), text.size(), before) == ReferenceBackward(text, find, before),
             Where(text, find, before));
    return {};
}

// The selection is replaced, then the search goes on from the end of the
// inserted text.
std::string CheckReplaceAndFind(const Finder& finder, const std::string& text, const std::string& find,
                                std::size_t start, std::size_t end, const std::string& replace)
{
    const std::size_t newLength = text.size() - (end - start) + replace.size();
    const std::unique_ptr<char[]> out(new char[newLength + 1]);
    WriteReplaceSelection(ExactText(text).get(), text.size(), start, end, replace.data(), replace.size(),
                          out.get());
    const std::string rebuilt(out.get(), newLength);
    const std::string where = Where(text, find, start) + " to " + std::to_string(end) + " by " + Show(replace);
    PROPERTY(out[newLength] == '\0', where);
    PROPERTY(rebuilt == text.substr(0, start) + replace + text.substr(end), where);
    const std::size_t from = start + replace.size();
    PROPERTY(IsCharacterStart(rebuilt, from), where);
    const std::size_t found = finder.Forward(ExactText(rebuilt).get(), newLength, from);
    PROPERTY(found == ReferenceForward(rebuilt, find, from), where);
    return {};
}

std::string CheckReplaceAll(const Finder& finder, const std::string& text, const std::string& find,
                            const std::string& replace)
{
    const ExactText exact(text);
    const ReferenceReplacement expected = ReferenceReplaceAll(text, find, replace);
    const ReplaceAllPlan plan = PlanReplaceAll(finder, exact.get(), text.size(), replace.size());
    const std::string where = Where(text, find, 0) + " by " + Show(replace);
    PROPERTY(plan.count == expected.count && plan.newLength == expected.text.size(), where);
    PROPERTY(plan.count == 0 || plan.lastStart == expected.lastStart, where);
    if (plan.count > 0) {
        const std::unique_ptr<char[]> out(new char[plan.newLength + 1]);
        WriteReplaceAll(finder, exact.get(), text.size(), replace.data(), replace.size(), out.get());
        PROPERTY(std::string(out.get(), plan.newLength + 1) == expected.text + '\0', where);
    }
    return {};
}

}  // namespace

std::string CheckSearch(const unsigned char* data, std::size_t size)
{
    FuzzInput input(data, size);
    const unsigned mode = input.Byte();
    const bool narrow = (mode & 4) != 0;
    std::string findField = Field(input.Piece());
    std::string replaceField = Field(input.Piece());
    const std::size_t place = input.Number32();
    const std::size_t otherPlace = input.Number32();
    std::string text = input.Rest();
    if (narrow) {
        findField = Narrowed(findField);
        replaceField = Narrowed(replaceField);
        text = Narrowed(text);
    }
    text = ZeroEnded(text);

    const ExactText findBytes(findField);
    const std::size_t limit = place % (findField.size() + 4);
    PROPERTY(WholeCharacterLength(findBytes.get(), limit) == ReferenceWholeLength(findField, limit),
             Show(findField) + " within " + std::to_string(limit));
    const std::size_t findLength = WholeCharacterLength(findBytes.get());
    PROPERTY(findLength == ReferenceWholeLength(findField, findField.size()), Show(findField));
    const std::string replace = replaceField.substr(0, WholeCharacterLength(ExactText(replaceField).get()));
    if (findLength == 0) {
        return {};  // nothing to search for
    }
    const std::string find = findField.substr(0, findLength);
    const Finder finder(findBytes.get(), findLength);

    const std::vector<std::size_t> starts = CharacterStarts(text);
    // Short texts are searched from every place; longer ones from one.
    const bool everywhere = text.size() <= 64;
    std::string failure;
    switch (mode % 4) {
    case 0:
        for (std::size_t k = 0; k < starts.size() && failure.empty(); ++k) {
            if (everywhere || k == place % starts.size()) {
                failure = CheckFindForward(finder, text, find, starts[k]);
            }
        }
        break;
    case 1:
        for (std::size_t before = 0; before <= text.size() + 1 && failure.empty(); ++before) {
            if (everywhere || before == place % (text.size() + 2)) {
                failure = CheckFindBackward(finder, text, find, before);
            }
        }
        break;
    case 2: {
        std::size_t start = starts[place % starts.size()];
        std::size_t end = starts[otherPlace % starts.size()];
        if (start > end) {
            std::swap(start, end);
        }
        failure = CheckReplaceAndFind(finder, text, find, start, end, replace);
        break;
    }
    default:
        failure = CheckReplaceAll(finder, text, find, replace);
        break;
    }
    return failure;
}
