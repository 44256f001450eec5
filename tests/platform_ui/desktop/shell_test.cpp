// ShellExecute through the shell-open hook: addresses and files go to the desktop's default
// application; missing files and other verbs fail with the platform's codes.
#include "platform/ui/Shell.h"
#include "platform/ui/AfxWin.h"

#include "tests/platform_ui/TestDir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace {

std::vector<std::string> g_opened;
BOOL record(LPCTSTR url) {
  g_opened.emplace_back(url);
  return TRUE;
}

intptr_t run(LPCTSTR verb, LPCTSTR file, LPCTSTR dir = nullptr) {
  return reinterpret_cast<intptr_t>(ShellExecute(nullptr, verb, file, nullptr, dir, SW_SHOWNORMAL));
}

TEST(Shell, OpenGoesThroughTheHookWithTheCodesOfThePlatform) {
  AfxWinInit(0, nullptr);
  AfxSetShellOpenHookForTest(record);
  TestDir dir;
  WriteAll(dir.file("table.htm"), "<html></html>");
  std::string folder = std::filesystem::path(dir.file("x")).parent_path().string();
  g_opened.clear();
  EXPECT_GT(run("open", "https://tides.example.org/ports?id=12"), 32);
  EXPECT_GT(run(nullptr, "mailto:someone@example.org"), 32);
  EXPECT_GT(run("open", "table.htm", folder.c_str()), 32);
  EXPECT_GT(run("explore", folder.c_str()), 32);
  ASSERT_EQ(g_opened.size(), 4u);
  EXPECT_EQ(g_opened[0], "https://tides.example.org/ports?id=12");
  EXPECT_EQ(g_opened[1], "mailto:someone@example.org");
  EXPECT_EQ(g_opened[2], "file://" + dir.file("table.htm"));
  EXPECT_EQ(g_opened[3].rfind("file://", 0), 0u);

  g_opened.clear();
  EXPECT_EQ(run("open", "missing.htm", folder.c_str()), SE_ERR_FNF);
  EXPECT_EQ(run("open", dir.file("no/such/folder/x.htm").c_str()), SE_ERR_PNF);
  EXPECT_EQ(run("print", dir.file("table.htm").c_str()), SE_ERR_NOASSOC);
  EXPECT_EQ(run("explore", dir.file("table.htm").c_str()), SE_ERR_NOASSOC);
  EXPECT_EQ(run("open", ""), SE_ERR_FNF);
  EXPECT_EQ(run("open", "javascript://alert(1)"), SE_ERR_NOASSOC);  // only known kinds of address
  EXPECT_TRUE(g_opened.empty());
  AfxSetShellOpenHookForTest(nullptr);
}

}  // namespace
