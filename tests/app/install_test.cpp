// The program as `cmake --install` lays it out, installed into a temporary folder (DESTDIR)
// and started from there: it must find its engine library and its data beside itself, and
// the desktop must find its menu entry and icon.
#include <gtest/gtest.h>

#include <QImage>
#include <QString>

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
#include <vector>

extern char** environ;

namespace {
namespace fs = std::filesystem;

std::string ReadFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string Quote(const std::string& s) { return "'" + s + "'"; }

class Installed : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/neapwise-install-XXXXXX";
    ASSERT_NE(nullptr, ::mkdtemp(tmpl));
    m_root = tmpl;
    m_dest = m_root / "dest";
    m_prefix = m_dest / "usr";
    const std::string cmd = "DESTDIR=" + Quote(m_dest.string()) + " " + Quote(NEAPWISE_CMAKE) + " --install " +
                            Quote(NEAPWISE_BUILD_DIR) + " --prefix /usr >" + Quote((m_root / "install.log").string()) +
                            " 2>&1";
    ASSERT_EQ(0, std::system(cmd.c_str())) << ReadFile(m_root / "install.log");
  }
  void TearDown() override {
    if (m_pid > 0) {
      ::kill(m_pid, SIGKILL);
      ::waitpid(m_pid, nullptr, 0);
    }
    std::error_code ec;
    fs::remove_all(m_root, ec);
  }
  fs::path m_root, m_dest, m_prefix;
  pid_t m_pid = 0;
};

TEST_F(Installed, TheLayoutHasTheProgramItsLibraryDataMenuEntryAndIcons) {
  const fs::path data = m_prefix / "share" / "neapwise";
  for (const fs::path& p : {m_prefix / "bin" / "neapwise", m_prefix / NEAPWISE_LIBDIR / "libebbcalc32.so", data / "tips.txt",
                            data / "ATTRIBUTIONS.txt", data / "help", data / "dlldata.dat", data / "mapuk.data",
                            data / "mapeur.data", data / "mapuse.data", data / "mapaus.data",
                            m_prefix / "share" / "applications" / "neapwise.desktop"})
    EXPECT_TRUE(fs::exists(p)) << p;
  EXPECT_FALSE(fs::is_empty(data / "help"));

  // The menu entry starts the program by its name and shows its icon.
  const std::string entry = ReadFile(m_prefix / "share" / "applications" / "neapwise.desktop");
  EXPECT_NE(entry.find("[Desktop Entry]"), std::string::npos);
  EXPECT_NE(entry.find("\nType=Application\n"), std::string::npos);
  EXPECT_NE(entry.find("\nExec=neapwise\n"), std::string::npos);
  EXPECT_NE(entry.find("\nIcon=neapwise\n"), std::string::npos);
  EXPECT_NE(entry.find("\nName=Neapwise\n"), std::string::npos);
  if (std::system("command -v desktop-file-validate >/dev/null 2>&1") == 0) {
    const std::string cmd = "desktop-file-validate " + Quote((m_prefix / "share/applications/neapwise.desktop").string());
    EXPECT_EQ(0, std::system(cmd.c_str()));
  }
  // The icon in the theme's sizes, each a picture of its size, opaque in the middle.
  for (int n : {16, 22, 24, 32, 48, 64, 128, 256}) {
    const fs::path icon = m_prefix / "share/icons/hicolor" / (std::to_string(n) + "x" + std::to_string(n)) / "apps/neapwise.png";
    QImage img(QString::fromStdString(icon.string()));
    ASSERT_FALSE(img.isNull()) << icon;
    EXPECT_EQ(n, img.width());
    EXPECT_EQ(n, img.height());
    EXPECT_EQ(255, qAlpha(img.pixel(n / 2, n / 2)));
  }
}

// Started from the folder it was installed in, with no library path and no data folder named:
// it keeps running on the installed engine library, not the build tree's.
TEST_F(Installed, TheInstalledProgramStartsAndRunsOnTheInstalledLibrary) {
  const fs::path program = m_prefix / "bin" / "neapwise";
  std::vector<std::string> env = {"XDG_CONFIG_HOME=" + (m_root / "config").string(),
                                  "XDG_DATA_HOME=" + (m_root / "data").string(), "HOME=" + m_root.string(),
                                  "QT_QPA_PLATFORM=offscreen"};
  for (char** e = environ; *e; ++e) {
    const std::string s = *e;
    bool drop = false;
    for (const char* v : {"XDG_CONFIG_HOME=", "XDG_DATA_HOME=", "HOME=", "QT_QPA_PLATFORM=", "LD_LIBRARY_PATH=",
                          "NEAPWISE_DATA_DIR="})
      drop |= s.rfind(v, 0) == 0;
    if (!drop) env.push_back(s);
  }
  std::vector<char*> envp;
  for (auto& s : env) envp.push_back(s.data());
  envp.push_back(nullptr);
  std::string arg0 = program.string();
  char* argv[] = {arg0.data(), nullptr};
  ASSERT_EQ(0, ::posix_spawn(&m_pid, arg0.c_str(), nullptr, nullptr, argv, envp.data()));
  // Its first graph is up once the settings are read and the frame runs; a program that cannot
  // load its library or aborts on a missing file ends well before.
  std::string maps;
  bool running = true;
  for (int waited = 0; waited < 3000; waited += 100) {
    int status;
    if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
      running = false;
      m_pid = 0;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  ASSERT_TRUE(running) << "the installed program ended on its own";
  maps = ReadFile("/proc/" + std::to_string(m_pid) + "/maps");
  const std::string lib = fs::canonical(m_prefix / NEAPWISE_LIBDIR / "libebbcalc32.so").string();
  EXPECT_NE(maps.find(lib), std::string::npos) << "the engine library is not the installed one";
  EXPECT_EQ(maps.find(std::string(NEAPWISE_BUILD_DIR) + "/"), std::string::npos) << "something of the build tree is loaded";
  ::kill(m_pid, SIGKILL);
  ::waitpid(m_pid, nullptr, 0);
  m_pid = 0;
}

}  // namespace
