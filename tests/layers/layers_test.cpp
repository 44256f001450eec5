// The program's folders stand in layers: engine and platform at the bottom, then model, then the
// toolkit, then the views and the chart, then the shell; the resources' numbers
// (resources/ResourceIds.h) are for every layer above the platform. A folder includes only folders below it,
// the views and the chart not each other, and only platform/ includes Qt; the testing library
// (platform/testing) is the tests' and benchmarks' alone. The same check lists the
// offending lines, so a newcomer sees at once what broke the layering.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const fs::path kSource = NEAPWISE_SOURCE_DIR;

// What each production folder may include besides itself.
const std::map<std::string, std::set<std::string>> kAllowed = {
    {"engine", {}},
    {"platform", {}},
    {"model", {"engine", "platform", "resources"}},
    {"toolkit", {"model", "platform", "resources"}},
    {"views", {"toolkit", "model", "engine", "platform", "resources"}},
    {"chart", {"toolkit", "model", "engine", "platform", "resources"}},
    {"app", {"views", "chart", "toolkit", "model", "engine", "platform", "resources"}},
};
const std::set<std::string> kProjectFolders = {"engine", "platform",  "model", "toolkit", "views", "chart",
                                               "app",    "resources", "tools", "tests",   "bench"};

struct Include {
  std::string file;
  int line;
  std::string name;
};

std::vector<Include> IncludesOf(const std::string& folder) {
  static const std::regex include(R"re(^\s*#\s*include\s*[<"]([^">]+)[">])re");
  std::vector<Include> found;
  for (const auto& entry : fs::recursive_directory_iterator(kSource / folder)) {
    const std::string ext = entry.path().extension().string();
    if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp" && ext != ".cc" && ext != ".c")) continue;
    std::ifstream in(entry.path());
    std::string text;
    std::smatch m;
    for (int n = 1; std::getline(in, text); ++n)
      if (std::regex_search(text, m, include)) found.push_back({fs::relative(entry.path(), kSource).string(), n, m[1]});
  }
  return found;
}

bool IsQt(const std::string& name) {
  static const std::regex qt("^(Q[A-Za-z]+(/|$)|qpa/)");
  return std::regex_search(name, qt);
}

TEST(Layers, EachFolderIncludesOnlyTheFoldersBelowIt) {
  for (const auto& [folder, allowed] : kAllowed) {
    for (const Include& inc : IncludesOf(folder)) {
      const std::string top = inc.name.substr(0, inc.name.find('/'));
      if (inc.name.find('/') == std::string::npos || top == folder || !kProjectFolders.count(top)) continue;
      EXPECT_TRUE(allowed.count(top)) << inc.file << ":" << inc.line << " includes " << inc.name;
    }
  }
}

TEST(Layers, OnlyThePlatformLayerIncludesQt) {
  for (const auto& [folder, allowed] : kAllowed) {
    if (folder == "platform") continue;
    for (const Include& inc : IncludesOf(folder))
      EXPECT_FALSE(IsQt(inc.name)) << inc.file << ":" << inc.line << " includes " << inc.name;
  }
}

// The window core reaches frames, menus and owner-drawn controls only through the hooks those files
// install (g_afxWndHooks), so it builds and reads without them.
TEST(Layers, TheWindowCoreKnowsNoFramesMenusOrControls) {
  for (const Include& inc : IncludesOf("platform/ui")) {
    if (inc.file != "platform/ui/Wnd.cpp") continue;
    for (const char* higher : {"platform/ui/Controls.h", "platform/ui/FrameWnd.h", "platform/ui/Menu.h"})
      EXPECT_NE(inc.name, higher) << inc.file << ":" << inc.line;
  }
}

TEST(Layers, OnlyTestsAndBenchmarksIncludeTheTestingLibrary) {
  for (const auto& [folder, allowed] : kAllowed) {
    for (const Include& inc : IncludesOf(folder)) {
      if (inc.file.rfind("platform/testing/", 0) == 0) continue;
      EXPECT_NE(0u, inc.name.rfind("platform/testing/", 0)) << inc.file << ":" << inc.line << " includes " << inc.name;
    }
  }
}

}  // namespace
