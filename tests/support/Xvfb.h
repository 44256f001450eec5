// A headless X server (Xvfb) of a test's own, on a display it picks itself, and the small
// process helpers the X11 tests use around it.
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
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

// A program of the desktop (a window manager, a compositing manager) started on a display
// with the given extra environment; stopped when it goes.
inline pid_t SpawnOnDisplay(const std::vector<std::string>& args, const std::string& display,
                            const std::vector<std::string>& env = {}) {
  std::vector<std::string> all = env;
  all.push_back("DISPLAY=:" + display);
  for (char** e = environ; *e; ++e) {
    const std::string v = *e;
    bool replaced = false;
    for (const std::string& mine : all) replaced |= v.compare(0, mine.find('=') + 1, mine, 0, mine.find('=') + 1) == 0;
    if (!replaced) all.push_back(v);
  }
  std::vector<char*> argv, envp;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  for (const auto& e : all) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  if (::posix_spawn(&pid, args[0].c_str(), &actions, nullptr, argv.data(), envp.data()) != 0) pid = 0;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

// Waits up to timeoutMs for the condition, looking again every 50 ms.
template <class F>
bool WaitUntil(int timeoutMs, F done) {
  for (int waited = 0;; waited += 50) {
    if (done()) return true;
    if (waited >= timeoutMs) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

// A window manager (openbox) on a display, with its configuration and cache in a folder of its
// own that goes with it. The screen's bottom panelHeight pixels are kept out of the work area,
// as a desktop's panel keeps them. Running() once it has taken the screen (it says so on the
// root window); not where openbox or xprop is not installed.
class COpenbox {
 public:
  explicit COpenbox(const std::string& display, int panelHeight = 40) : m_display(display) {
    const std::string openbox = FindTool("openbox"), xprop = FindTool("xprop");
    if (display.empty() || openbox.empty() || xprop.empty()) return;
    char tmpl[] = "/tmp/neapwise-openbox-XXXXXX";
    if (!::mkdtemp(tmpl)) return;
    m_dir = tmpl;
    // The system's configuration, with the panel's margin.
    std::ifstream in("/etc/xdg/openbox/rc.xml");
    std::stringstream rc;
    rc << in.rdbuf();
    std::string conf = rc.str();
    const std::string from = "<bottom>0</bottom>";
    if (size_t at = conf.find(from); at != std::string::npos)
      conf.replace(at, from.size(), "<bottom>" + std::to_string(panelHeight) + "</bottom>");
    std::ofstream(m_dir + "/rc.xml") << conf;
    m_pid = SpawnOnDisplay({openbox, "--sm-disable", "--config-file", m_dir + "/rc.xml"}, display,
                           {"HOME=" + m_dir, "XDG_CACHE_HOME=" + m_dir + "/cache",
                            "XDG_CONFIG_HOME=" + m_dir + "/config", "XDG_DATA_HOME=" + m_dir + "/data"});
    m_running = m_pid > 0 && WaitUntil(15000, [&] {
                  return Output("DISPLAY=:" + display + " " + xprop +
                                " -root _NET_SUPPORTING_WM_CHECK _NET_WORKAREA 2>/dev/null")
                             .find("_NET_WORKAREA(CARDINAL)") != std::string::npos;
                });
  }
  ~COpenbox() {
    StopProcess(m_pid);
    if (!m_dir.empty()) {
      std::error_code ec;
      std::filesystem::remove_all(m_dir, ec);
    }
  }
  COpenbox(const COpenbox&) = delete;
  COpenbox& operator=(const COpenbox&) = delete;
  bool Running() const { return m_running; }

 private:
  std::string m_display, m_dir;
  pid_t m_pid = 0;
  bool m_running = false;
};

}  // namespace test_support
