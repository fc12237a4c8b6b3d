// The product folders form floors: a file includes only its own folder, a
// floor below, or a neighbour on its floor that the features need; and no
// unit (a header with its source) reaches itself through its includes.

#include "tests/unit/source_tree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Top first: the shell; the features; the text and message helpers; the
// program-wide records and the resources.
const std::map<std::string, int> kFloors = {
    {"app", 3},  {"document", 2}, {"file", 2}, {"search", 2}, {"print", 2},
    {"text", 1}, {"msg", 1},      {"state", 0}, {"res", 0},
};

// Includes between folders of one floor. A document saves itself through
// file/ and lists the printer's fonts through print/; the features read the
// document's slots; the message box measures its text by characters.
const std::set<std::pair<std::string, std::string>> kNeighbours = {
    {"document", "file"}, {"document", "print"}, {"file", "document"},
    {"search", "document"}, {"print", "document"}, {"msg", "text"},
};

// A file's path, relative to the checkout, and the project files it includes.
using IncludeMap = std::map<std::string, std::vector<std::string>>;

std::string FolderOf(const std::string& path)
{
    return path.substr(0, path.find('/'));
}

std::string UnitOf(const std::string& path)
{
    return path.substr(0, path.rfind('.'));
}

void CheckFloors(const IncludeMap& includes, std::vector<std::string>& faults)
{
    for (const auto& [file, included] : includes) {
        const std::string from = FolderOf(file);
        for (const std::string& target : included) {
            const std::string to = FolderOf(target);
            const auto floor = kFloors.find(to);
            if (floor == kFloors.end() || from == to || floor->second < kFloors.at(from) ||
                kNeighbours.count({from, to}) != 0) {
                continue;
            }
            faults.push_back(file + " includes " + target + ": " + to + "/ is not below " + from + "/");
        }
    }
}

void FindCycle(const std::map<std::string, std::set<std::string>>& graph, const std::string& unit,
               std::map<std::string, int>& state, std::vector<std::string>& path,
               std::vector<std::string>& faults)
{
    state[unit] = 1;
    path.push_back(unit);
    const auto edges = graph.find(unit);
    if (edges != graph.end()) {
        for (const std::string& next : edges->second) {
            if (state[next] == 1) {
                std::string cycle;
                for (auto it = std::find(path.begin(), path.end(), next); it != path.end(); ++it) {
                    cycle += *it + " -> ";
                }
                faults.push_back("units include each other: " + cycle + next);
            } else if (state[next] == 0) {
                FindCycle(graph, next, state, path, faults);
            }
        }
    }
    path.pop_back();
    state[unit] = 2;
}

void CheckCycles(const IncludeMap& includes, std::vector<std::string>& faults)
{
    std::map<std::string, std::set<std::string>> graph;
    for (const auto& [file, included] : includes) {
        for (const std::string& target : included) {
            if (UnitOf(target) != UnitOf(file)) {
                graph[UnitOf(file)].insert(UnitOf(target));
            }
        }
    }
    std::map<std::string, int> state;
    std::vector<std::string> path;
    for (const auto& [unit, edges] : graph) {
        if (state[unit] == 0) {
            FindCycle(graph, unit, state, path, faults);
        }
    }
}

std::vector<std::string> IncludeFaults(const IncludeMap& includes)
{
    std::vector<std::string> faults;
    CheckFloors(includes, faults);
    CheckCycles(includes, faults);
    return faults;
}

// The files a source includes, in quotes or in angle brackets: the source
// root is on the include path, so <document/x.h> reaches the project too.
std::vector<std::string> IncludedFiles(std::istream& in)
{
    const std::regex include("^\\s*#\\s*include\\s*[<\"]([^\">]+)[\">]");
    std::vector<std::string> included;
    for (std::string line; std::getline(in, line);) {
        std::smatch match;
        if (std::regex_search(line, match, include)) {
            included.push_back(match[1]);
        }
    }
    return included;
}

IncludeMap ReadProductIncludes()
{
    IncludeMap includes;
    for (const auto& [folder, floor] : kFloors) {
        for (const fs::directory_entry& entry : fs::directory_iterator(SourceTree() / folder)) {
            const std::string extension = entry.path().extension().string();
            if (extension != ".cpp" && extension != ".h") {
                continue;
            }
            std::ifstream in(entry.path());
            includes[folder + "/" + entry.path().filename().string()] = IncludedFiles(in);
        }
    }
    return includes;
}

TEST(IncludeOrder, TheProductFoldersKeepTheirFloorsAndNoUnitsIncludeEachOther)
{
    const IncludeMap includes = ReadProductIncludes();
    ASSERT_GT(includes.size(), 50u) << "the product folders were not found under " << SourceTree();
    const std::vector<std::string> faults = IncludeFaults(includes);
    EXPECT_TRUE(faults.empty()) << ::testing::PrintToString(faults);
}

TEST(IncludeOrder, BothFormsOfIncludeAreRead)
{
    std::istringstream source("#include \"file/a.h\"\n#include <document/b.h>\n  #  include <windows.h>\n"
                              "// #include \"file/c.h\"\n");
    EXPECT_EQ(IncludedFiles(source), (std::vector<std::string>{"file/a.h", "document/b.h", "windows.h"}));
}

TEST(IncludeOrder, EachKindOfFaultIsNamedWithItsFileAndInclude)
{
    struct Case {
        IncludeMap includes;
        std::vector<std::string> faults;
    };
    const Case cases[] = {
        {{{"document/a.cpp", {"document/a.h", "file/b.h", "print/c.h", "text/d.h", "state/e.h", "res/r.h"}},
          {"msg/m.cpp", {"text/d.h"}},
          {"app/x.cpp", {"search/s.h", "msg/m.h"}}},
         {}},
        {{{"text/sjis.cpp", {"msg/message_box.h"}}},
         {"text/sjis.cpp includes msg/message_box.h: msg/ is not below text/"}},
        {{{"state/app_state.cpp", {"app/frame.h"}}},
         {"state/app_state.cpp includes app/frame.h: app/ is not below state/"}},
        {{{"search/s.cpp", {"print/p.h"}}},
         {"search/s.cpp includes print/p.h: print/ is not below search/"}},
        {{{"file/f.cpp", {"document/d.h"}}, {"document/d.cpp", {"file/f.h"}}},
         {"units include each other: document/d -> file/f -> document/d"}},
        {{{"search/a.cpp", {"search/b.h"}}, {"search/b.cpp", {"search/c.h"}}, {"search/c.h", {"search/a.h"}}},
         {"units include each other: search/a -> search/b -> search/c -> search/a"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IncludeFaults(c.includes), c.faults) << ::testing::PrintToString(c.includes);
    }
}

}  // namespace
