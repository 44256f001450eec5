// The program started as the README's run command starts it, on a real X server (Xvfb): its
// main window must come up mapped and of a usable size. Skipped where no Xvfb is installed.
#include "tests/support/Xvfb.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {
namespace fs = std::filesystem;

// The environment with the given variables replaced.
std::vector<std::string> Environment(const std::vector<std::string>& set) {
  std::vector<std::string> env = set;
  for (char** e = environ; *e; ++e) {
    std::string s = *e;
    bool replaced = false;
    for (auto& v : set) replaced |= s.compare(0, v.find('=') + 1, v, 0, v.find('=') + 1) == 0;
    if (!replaced) env.push_back(s);
  }
  return env;
}

pid_t Spawn(const std::vector<std::string>& args, const std::vector<std::string>& env,
            posix_spawn_file_actions_t* actions = nullptr) {
  std::vector<char*> argv, envp;
  for (auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  for (auto& e : env) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);
  pid_t pid = 0;
  if (::posix_spawn(&pid, args[0].c_str(), actions, nullptr, argv.data(), envp.data()) != 0) return 0;
  return pid;
}

using test_support::FindTool;
using test_support::Output;
using test_support::StopProcess;

TEST(OnX11, TheRunCommandShowsTheMainWindow) {
  const std::string xvfb = FindTool("Xvfb"), xwininfo = FindTool("xwininfo");
  if (xvfb.empty() || xwininfo.empty()) GTEST_SKIP() << "no Xvfb or xwininfo installed";

  test_support::CXvfb server;
  ASSERT_TRUE(server.Spawned());
  if (!server.Running()) GTEST_SKIP() << "Xvfb did not start";
  const std::string display = server.Display();

  char tmpl[] = "/tmp/neapwise-x11-XXXXXX";
  const fs::path root = ::mkdtemp(tmpl);
  fs::create_directories(root / "config");
  const std::string disp = "DISPLAY=:" + display;
  pid_t program = Spawn({NEAPWISE_PROGRAM},
                        Environment({disp, "QT_QPA_PLATFORM=xcb", "XDG_CONFIG_HOME=" + (root / "config").string(),
                                     "XDG_DATA_HOME=" + (root / "data").string(), "XDG_RUNTIME_DIR=" + root.string()}));
  ASSERT_GT(program, 0);

  // Wait for a mapped top-level window of the program's class of a usable size; the splash
  // screen and the start-up notice come and go beside it, so the largest one counts.
  const std::regex line(R"re((0x[0-9a-f]+) .*\("neapwise" "[^"]*"\)\s+(\d+)x(\d+))re", std::regex::icase);
  bool shown = false;
  int width = 0, height = 0;
  for (int waited = 0; waited < 15000 && (!shown || width < 400 || height < 300); waited += 250) {
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    int status;
    if (::waitpid(program, &status, WNOHANG) == program) {
      program = 0;
      break;
    }
    std::string tree = Output(disp + " " + xwininfo + " -root -children 2>/dev/null");
    for (std::sregex_iterator it(tree.begin(), tree.end(), line), end; it != end; ++it) {
      int w = std::stoi((*it)[2]), h = std::stoi((*it)[3]);
      if (w < 200 || h < 150 || w * h <= width * height) continue;
      std::string info = Output(disp + " " + xwininfo + " -id " + (*it)[1].str() + " 2>/dev/null");
      if (info.find("IsViewable") != std::string::npos) {
        shown = true;
        width = w;
        height = h;
      }
    }
  }
  const bool stillRunning = program != 0;
  StopProcess(program);
  server.Stop();
  std::error_code ec;
  fs::remove_all(root, ec);
  EXPECT_TRUE(stillRunning) << "the program ended on its own";
  EXPECT_TRUE(shown) << "no mapped main window on the X server";
  EXPECT_GE(width, 400);
  EXPECT_GE(height, 300);
}

}  // namespace
