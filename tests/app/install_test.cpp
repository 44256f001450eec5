// The program as `cmake --install` lays it out, installed into a temporary folder (DESTDIR)
// and started from there: it must find its engine library and its data beside itself, and
// the desktop must find its menu entry and icon.
#include "tests/support/Xvfb.h"

#include <gtest/gtest.h>

#include <xcb/xcb.h>

#include <QImage>
#include <QString>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
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
  for (const fs::path& p :
       {m_prefix / "bin" / "neapwise", m_prefix / NEAPWISE_LIBDIR / "libebbcalc32.so", data / "tips.txt",
        data / "ATTRIBUTIONS.txt", data / "help", data / "dlldata.dat", data / "mapuk.data", data / "mapeur.data",
        data / "mapuse.data", data / "mapaus.data", m_prefix / "share" / "applications" / "neapwise.desktop"})
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
    const std::string cmd =
        "desktop-file-validate " + Quote((m_prefix / "share/applications/neapwise.desktop").string());
    EXPECT_EQ(0, std::system(cmd.c_str()));
  }
  // The icon in the theme's sizes, each a picture of its size, opaque in the middle.
  for (int n : {16, 22, 24, 32, 48, 64, 128, 256}) {
    const fs::path icon =
        m_prefix / "share/icons/hicolor" / (std::to_string(n) + "x" + std::to_string(n)) / "apps/neapwise.png";
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
    for (const char* v :
         {"XDG_CONFIG_HOME=", "XDG_DATA_HOME=", "HOME=", "QT_QPA_PLATFORM=", "LD_LIBRARY_PATH=", "NEAPWISE_DATA_DIR="})
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
  EXPECT_EQ(maps.find(std::string(NEAPWISE_BUILD_DIR) + "/"), std::string::npos)
      << "something of the build tree is loaded";
  ::kill(m_pid, SIGKILL);
  ::waitpid(m_pid, nullptr, 0);
  m_pid = 0;
}

// Pixels near this colour on the X server's screen (24-bit depth, 32 bits a pixel): the curve
// is drawn through the graph's palette.
int CountOnScreen(const std::string& display, unsigned rgb) {
  auto near = [rgb](unsigned r, unsigned g, unsigned b) {
    auto d = [](unsigned a, unsigned b) { return a > b ? a - b : b - a; };
    return d(r, rgb >> 16 & 0xFF) < 40 && d(g, rgb >> 8 & 0xFF) < 40 && d(b, rgb & 0xFF) < 40;
  };
  xcb_connection_t* c = xcb_connect((":" + display).c_str(), nullptr);
  int n = 0;
  if (c && !xcb_connection_has_error(c)) {
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    xcb_get_image_reply_t* img =
        xcb_get_image_reply(c,
                            xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, screen->root, 0, 0, screen->width_in_pixels,
                                          screen->height_in_pixels, ~0u),
                            nullptr);
    if (img && img->depth == 24) {
      const uint8_t* p = xcb_get_image_data(img);
      const int len = xcb_get_image_data_length(img);
      for (int i = 0; i + 3 < len; i += 4) n += near(p[i + 2], p[i + 1], p[i]);
    }
    std::free(img);
  }
  if (c) xcb_disconnect(c);
  return n;
}

// On a real X server the installed program comes up with its first graph drawn: the curve, in a
// line colour of the settings' own, is on the screen.
TEST_F(Installed, TheInstalledProgramDrawsItsFirstGraphOnX11) {
  if (test_support::FindTool("Xvfb").empty()) GTEST_SKIP() << "no Xvfb installed";
  test_support::CXvfb server("1280x1024x24");
  if (!server.Running()) GTEST_SKIP() << "Xvfb did not start";
  fs::create_directories(m_root / "config" / "Neapwise");
  {
    // Magenta curve (COLORREF 0xFF00FF), and no tip of the day over it.
    std::ofstream f(m_root / "config" / "Neapwise" / "Neapwise.conf");
    f << "[Colours]\nLineColour=16711935\nAgroundColour=16711935\n[Tip]\nStartUp=1\n";
  }
  const std::string disp = "DISPLAY=:" + server.Display();
  std::vector<std::string> env = {disp, "QT_QPA_PLATFORM=xcb", "XDG_CONFIG_HOME=" + (m_root / "config").string(),
                                  "XDG_DATA_HOME=" + (m_root / "data").string(), "XDG_RUNTIME_DIR=" + m_root.string()};
  for (char** e = environ; *e; ++e) {
    const std::string s = *e;
    bool drop = false;
    for (const char* v : {"DISPLAY=", "QT_QPA_PLATFORM=", "XDG_CONFIG_HOME=", "XDG_DATA_HOME=", "XDG_RUNTIME_DIR=",
                          "LD_LIBRARY_PATH=", "NEAPWISE_DATA_DIR="})
      drop |= s.rfind(v, 0) == 0;
    if (!drop) env.push_back(s);
  }
  std::vector<char*> envp;
  for (auto& s : env) envp.push_back(s.data());
  envp.push_back(nullptr);
  std::string arg0 = (m_prefix / "bin" / "neapwise").string();
  char* argv[] = {arg0.data(), nullptr};
  ASSERT_EQ(0, ::posix_spawn(&m_pid, arg0.c_str(), nullptr, nullptr, argv, envp.data()));
  int curve = 0;
  for (int waited = 0; waited < 20000 && curve < 100; waited += 500) {
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    int status;
    if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
      m_pid = 0;
      break;
    }
    curve = CountOnScreen(server.Display(), 0xFF00FF);
  }
  EXPECT_NE(m_pid, 0) << "the installed program ended on its own";
  EXPECT_GE(curve, 100) << "no curve on the screen";
  test_support::StopProcess(m_pid);
  m_pid = 0;
  server.Stop();
}

}  // namespace
