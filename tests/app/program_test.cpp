// The real program, started as the README's run command starts it: headless, with its own
// settings and data folders.
#include "chart/RoutesFile.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {
namespace fs = std::filesystem;

class RealProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/neapwise-program-XXXXXX";
    m_root = ::mkdtemp(tmpl);
    fs::create_directories(m_root / "config" / "Neapwise");
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(m_root, ec);
  }
  // Starts the program; its pid.
  pid_t Start() {
    const std::string cfg = "XDG_CONFIG_HOME=" + (m_root / "config").string();
    const std::string data = "XDG_DATA_HOME=" + (m_root / "data").string();
    std::vector<std::string> env = {cfg, data, "QT_QPA_PLATFORM=offscreen"};
    for (char** e = environ; *e; ++e) {
      const std::string s = *e;
      if (s.rfind("XDG_CONFIG_HOME=", 0) && s.rfind("XDG_DATA_HOME=", 0) && s.rfind("QT_QPA_PLATFORM=", 0))
        env.push_back(s);
    }
    std::vector<char*> envp;
    for (auto& s : env) envp.push_back(s.data());
    envp.push_back(nullptr);
    char* argv[] = {const_cast<char*>(NEAPWISE_PROGRAM), nullptr};
    pid_t pid = 0;
    EXPECT_EQ(0, ::posix_spawn(&pid, NEAPWISE_PROGRAM, nullptr, nullptr, argv, envp.data()));
    return pid;
  }
  // TRUE while the process runs after ms milliseconds.
  static bool StillRunning(pid_t pid, int ms) {
    for (int waited = 0; waited < ms; waited += 50) {
      int status;
      if (::waitpid(pid, &status, WNOHANG) == pid) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
  }
  fs::path m_root;
};

TEST_F(RealProgram, StartsAndKeepsRunning) {
  const pid_t pid = Start();
  EXPECT_TRUE(StillRunning(pid, 2000));
  ::kill(pid, SIGKILL);
  ::waitpid(pid, nullptr, 0);
}

TEST_F(RealProgram, ADamagedSettingsFileIsSetAsideAndTheProgramStarts) {
  {
    std::ofstream f(m_root / "config" / "Neapwise" / "Neapwise.conf");
    f << "[General\nLastPort=\x01\x02 garbage ]]]\n";
  }
  const pid_t pid = Start();
  // Set aside as the settings are first read, however long the start takes on a busy machine.
  const fs::path bad = m_root / "config" / "Neapwise" / "Neapwise.conf.bad";
  for (int waited = 0; waited < 20000 && !fs::exists(bad); waited += 50)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_TRUE(fs::exists(bad));
  EXPECT_TRUE(StillRunning(pid, 1000));
  ::kill(pid, SIGKILL);
  ::waitpid(pid, nullptr, 0);
}

TEST_F(RealProgram, TheRoutesFileSurvivesTheProgramStoppedAndStartedAgain) {
  const fs::path folder = m_root / "data" / "Neapwise", file = folder / "routes.dat";
  fs::create_directories(folder);
  CMapRoute solent, channel;
  solent.SetName("Solent");
  solent.AppendPoint(50.75, -1.3, "Cowes");
  solent.AppendPoint(50.7, -1.1, "Bembridge");
  channel.SetName("Channel");
  channel.SetSpeed(6.5);
  channel.AppendPoint(51.1, 1.4, "Dover");
  channel.AppendPoint(50.95, 1.8, "Calais");
  channel.AppendPoint(50.7, 1.55, "Boulogne");
  ASSERT_TRUE(CRoutesFile::Save(CString(file.c_str()), {&solent, &channel}));
  std::ifstream in(file, std::ios::binary);
  const std::string before((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  // Stopped without warning twice: each start reads the file and leaves it whole.
  for (int run = 0; run < 2; ++run) {
    const pid_t pid = Start();
    EXPECT_TRUE(StillRunning(pid, 1500));
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
  }
  CMapRouteList routes;
  const ROUTES_LOAD info = CRoutesFile::Load(CString(file.c_str()), routes);
  ASSERT_EQ(ROUTES_LOAD::ok, info.status) << info.strProblem.GetString();
  ASSERT_EQ(2u, routes.size());
  EXPECT_EQ(CString("Solent"), routes[0]->GetName());
  EXPECT_EQ(CString("Channel"), routes[1]->GetName());
  EXPECT_EQ(3, routes[1]->GetPointCount());
  EXPECT_DOUBLE_EQ(6.5, routes[1]->GetSpeed());
  std::ifstream again(file, std::ios::binary);
  EXPECT_EQ(before, std::string((std::istreambuf_iterator<char>(again)), std::istreambuf_iterator<char>()));
  // Nothing half-written is left beside it.
  int others = 0;
  for (const auto& e : fs::directory_iterator(folder)) others += e.path().filename() != "routes.dat";
  EXPECT_EQ(0, others);
}

// Started from a shell with no graphical session (ssh, a server): one line saying what is
// missing and status 1, not Qt's abort and a core dump.
TEST_F(RealProgram, WithoutADisplayItSaysWhatIsMissingAndEndsWithStatusOne) {
  struct Case {
    const char* display;  // null: not set
    const char* qpa;
    const char* said;
  } cases[] = {
      {nullptr, nullptr, "DISPLAY is not set"},
      {nullptr, "xcb", "DISPLAY is not set"},
      {":64999", nullptr, "\":64999\" does not answer"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> env = {"XDG_CONFIG_HOME=" + (m_root / "config").string(),
                                    "XDG_DATA_HOME=" + (m_root / "data").string()};
    if (c.display) env.push_back(std::string("DISPLAY=") + c.display);
    if (c.qpa) env.push_back(std::string("QT_QPA_PLATFORM=") + c.qpa);
    for (char** e = environ; *e; ++e) {
      const std::string s = *e;
      bool drop = false;
      for (const char* v : {"XDG_CONFIG_HOME=", "XDG_DATA_HOME=", "QT_QPA_PLATFORM=", "DISPLAY=", "WAYLAND_DISPLAY="})
        drop |= s.rfind(v, 0) == 0;
      if (!drop) env.push_back(s);
    }
    std::vector<char*> envp;
    for (auto& s : env) envp.push_back(s.data());
    envp.push_back(nullptr);
    const std::string err = (m_root / "stderr.txt").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    char* argv[] = {const_cast<char*>(NEAPWISE_PROGRAM), nullptr};
    pid_t pid = 0;
    ASSERT_EQ(0, ::posix_spawn(&pid, NEAPWISE_PROGRAM, &actions, nullptr, argv, envp.data()));
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    for (int waited = 0; waited < 20000 && ::waitpid(pid, &status, WNOHANG) != pid; waited += 50) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      if (waited + 50 >= 20000) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
      }
    }
    std::ifstream in(err);
    const std::string said((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_TRUE(WIFEXITED(status)) << c.said << ": ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    EXPECT_EQ(1, WIFEXITED(status) ? WEXITSTATUS(status) : -1) << c.said;
    EXPECT_NE(said.find("needs a graphical session to run in: X11, or Wayland with XWayland"), std::string::npos)
        << said;
    EXPECT_NE(said.find(c.said), std::string::npos) << said;
    EXPECT_EQ(1, std::count(said.begin(), said.end(), '\n')) << said;
  }
}

}  // namespace
