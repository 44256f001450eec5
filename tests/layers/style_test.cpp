// Every C++ source keeps the tree's one style (.clang-format at the root), so a change never arrives
// wrapped in reformatting. The failure names the files and the command that mends them.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const fs::path kSource = NEAPWISE_SOURCE_DIR;
const char* const kFolders[] = {"engine",   "model",     "views", "chart", "toolkit", "app",
                                "platform", "resources", "tools", "bench", "tests"};

std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// Runs the command and returns its output, with its exit status in `status`.
std::string RunCommand(const std::string& command, int& status) {
  std::string out;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) {
    status = -1;
    return out;
  }
  char buf[4096];
  for (size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;) out.append(buf, n);
  const int rc = ::pclose(pipe);
  status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
  return out;
}

}  // namespace

TEST(Style, EverySourceIsClangFormatted) {
  int status = 0;
  RunCommand("clang-format --version >/dev/null 2>&1", status);
  if (status != 0) GTEST_SKIP() << "clang-format is not installed";

  std::vector<std::string> files;
  for (const char* folder : kFolders) {
    if (!fs::exists(kSource / folder)) continue;
    for (const auto& entry : fs::recursive_directory_iterator(kSource / folder)) {
      const std::string ext = entry.path().extension().string();
      if (entry.is_regular_file() && (ext == ".h" || ext == ".cpp" || ext == ".c"))
        files.push_back(fs::relative(entry.path(), kSource).string());
    }
  }
  ASSERT_GT(files.size(), 100u);

  std::string unformatted;
  for (size_t i = 0; i < files.size(); i += 64) {
    std::string command = "cd " + Quote(kSource.string()) + " && clang-format --dry-run -Werror";
    for (size_t k = i; k < files.size() && k < i + 64; ++k) command += " " + Quote(files[k]);
    command += " 2>&1";
    const std::string out = RunCommand(command, status);
    if (status != 0) unformatted += out;
  }
  EXPECT_TRUE(unformatted.empty()) << "Run `git clang-format` (or clang-format -i on these files):\n"
                                   << unformatted.substr(0, 4000);
}
