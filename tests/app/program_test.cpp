// The real program, started as the README's run command starts it: headless, with its own
// settings and data folders.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

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
      if (s.rfind("XDG_CONFIG_HOME=", 0) && s.rfind("XDG_DATA_HOME=", 0) && s.rfind("QT_QPA_PLATFORM=", 0)) env.push_back(s);
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

}  // namespace
