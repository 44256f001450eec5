// A headless X server (Xvfb) of a test's own, on a display it picks itself, and the small
// process helpers the X11 tests use around it.
#pragma once

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace test_support {

// The tool's path on PATH; empty where it is not installed.
inline std::string FindTool(const char* name) {
  const char* path = std::getenv("PATH");
  std::string all = path ? path : "/usr/bin:/bin";
  size_t start = 0;
  while (start <= all.size()) {
    size_t end = all.find(':', start);
    if (end == std::string::npos) end = all.size();
    std::string p = all.substr(start, end - start) + "/" + name;
    if (::access(p.c_str(), X_OK) == 0) return p;
    start = end + 1;
  }
  return {};
}

// What the shell command prints.
inline std::string Output(const std::string& command) {
  std::string out;
  if (FILE* f = ::popen(command.c_str(), "r")) {
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
    ::pclose(f);
  }
  return out;
}

// Asks the process to end, and kills it where it has not within five seconds.
inline void StopProcess(pid_t pid) {
  if (pid <= 0) return;
  ::kill(pid, SIGTERM);
  for (int i = 0; i < 100; ++i) {
    int status;
    if (::waitpid(pid, &status, WNOHANG) == pid) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  ::kill(pid, SIGKILL);
  ::waitpid(pid, nullptr, 0);
}

// Started when made, stopped when it goes; display (the number alone) is empty where no Xvfb
// is installed or it did not start.
class CXvfb {
 public:
  // With bEndWithLastClient the server ends by itself when its last client goes (-terminate),
  // for a process whose application keeps its connection until exit: see Leave().
  explicit CXvfb(const char* screen = "1280x1024x24", bool bEndWithLastClient = false) {
    const std::string xvfb = FindTool("Xvfb");
    if (xvfb.empty()) return;
    // Xvfb writes the display it took to the pipe.
    int fds[2];
    if (::pipe(fds) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 3);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<std::string> args = {xvfb, "-displayfd", "3", "-screen", "0", screen, "-nolisten", "tcp"};
    if (bEndWithLastClient) args.push_back("-terminate");
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (::posix_spawn(&m_pid, xvfb.c_str(), &actions, nullptr, argv.data(), environ) != 0) m_pid = 0;
    m_bSpawned = m_pid > 0;
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    char c;
    while (m_pid && ::read(fds[0], &c, 1) == 1 && c != '\n') m_display += c;
    ::close(fds[0]);
    if (m_display.empty()) Stop();
  }
  ~CXvfb() { Stop(); }
  CXvfb(const CXvfb&) = delete;
  CXvfb& operator=(const CXvfb&) = delete;

  void Stop() {
    StopProcess(m_pid);
    m_pid = 0;
  }
  // Leaves a running server to end with its last client instead of stopping it here.
  void Leave() {
    if (Running()) m_pid = 0;
  }
  const std::string& Display() const { return m_display; }
  // Installed, and the process could be started (it may still have failed to open a display).
  bool Spawned() const { return m_bSpawned; }
  bool Running() const { return m_pid > 0 && !m_display.empty(); }

 private:
  pid_t m_pid = 0;
  bool m_bSpawned = false;
  std::string m_display;
};

}  // namespace test_support
