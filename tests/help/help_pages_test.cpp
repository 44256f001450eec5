// The help pages as a browser meets them: every page linked from the contents, every local link and
// picture found, every #anchor present in its page.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const fs::path kHelp = NEAPWISE_HELP_DIR;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

struct Page {
  std::string text;
  std::vector<std::string> links;  // href and src values, as written
  std::set<std::string> anchors;   // id and name values
};

std::map<std::string, Page> ReadPages() {
  static const std::regex link(R"re(\b(?:href|src)\s*=\s*"([^"]*)")re", std::regex::icase);
  static const std::regex anchor(R"re(\b(?:id|name)\s*=\s*"([^"]*)")re", std::regex::icase);
  std::map<std::string, Page> pages;
  for (const auto& entry : fs::directory_iterator(kHelp)) {
    if (entry.path().extension() != ".html") continue;
    Page page;
    page.text = ReadFile(entry.path());
    for (std::sregex_iterator it(page.text.begin(), page.text.end(), link), end; it != end; ++it)
      page.links.push_back((*it)[1]);
    for (std::sregex_iterator it(page.text.begin(), page.text.end(), anchor), end; it != end; ++it)
      page.anchors.insert((*it)[1]);
    pages[entry.path().filename().string()] = std::move(page);
  }
  return pages;
}

bool IsExternal(const std::string& link) {
  return link.rfind("http://", 0) == 0 || link.rfind("https://", 0) == 0 || link.rfind("mailto:", 0) == 0;
}

TEST(HelpPages, EveryLinkAndPictureResolves) {
  const auto pages = ReadPages();
  ASSERT_TRUE(pages.count("index.html"));
  for (const auto& [name, page] : pages) {
    for (const std::string& link : page.links) {
      if (IsExternal(link)) continue;
      ASSERT_FALSE(link.empty()) << name;
      const size_t hash = link.find('#');
      const std::string file = link.substr(0, hash), fragment = hash == std::string::npos ? "" : link.substr(hash + 1);
      const std::string target = file.empty() ? name : file;
      EXPECT_TRUE(fs::is_regular_file(kHelp / target)) << name << " links to " << link;
      if (!fragment.empty() && pages.count(target)) {
        EXPECT_TRUE(pages.at(target).anchors.count(fragment)) << name << " links to a missing anchor " << link;
      }
    }
  }
}

TEST(HelpPages, EveryPageIsLinkedFromTheContentsAndLinksBack) {
  const auto pages = ReadPages();
  std::set<std::string> fromContents;
  for (const std::string& link : pages.at("index.html").links) fromContents.insert(link.substr(0, link.find('#')));
  for (const auto& [name, page] : pages) {
    if (name == "index.html") continue;
    EXPECT_TRUE(fromContents.count(name)) << name << " is not on the contents page";
    bool back = false;
    for (const std::string& link : page.links) back = back || link == "index.html";
    EXPECT_TRUE(back) << name << " has no way back to the contents";
  }
}

TEST(HelpPages, EveryPageIsAWholeUtf8Document) {
  for (const auto& [name, page] : ReadPages()) {
    EXPECT_NE(std::string::npos, page.text.find("<meta charset=\"utf-8\">")) << name;
    EXPECT_TRUE(std::regex_search(page.text, std::regex("<title>[^<]+</title>"))) << name;
    EXPECT_TRUE(std::regex_search(page.text, std::regex("<h1>[^<]+</h1>"))) << name;
    EXPECT_NE(std::string::npos, page.text.find("</html>")) << name;
    // Every opened element of these kinds is closed again, so a browser shows the page as written.
    for (const char* tag : {"p", "ul", "ol", "li", "table", "tr", "td", "th", "a", "b", "code", "kbd", "pre", "h2"}) {
      const std::regex open(std::string("<") + tag + "[ >]"), close(std::string("</") + tag + ">");
      const std::string& text = page.text;  // clang 14 captures no structured binding
      const auto count = [&text](const std::regex& re) {
        return std::distance(std::sregex_iterator(text.begin(), text.end(), re), std::sregex_iterator());
      };
      EXPECT_EQ(count(open), count(close)) << name << " <" << tag << ">";
    }
  }
}

}  // namespace
