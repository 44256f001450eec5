#include "platform/core/Afx.h"

#include "tests/platform/TestUtil.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

TEST(Folders, UserDataFolderIsCreatedUnderXdgDataHome) {
  TempDir dir;
  ::setenv("XDG_DATA_HOME", dir.Path().c_str(), 1);
  CString folder = AfxGetUserDataFolder();
  EXPECT_EQ(CString((dir.Path() + "/Neapwise").c_str()), folder);
  struct stat st;
  ASSERT_EQ(0, ::stat(folder, &st));
  EXPECT_TRUE(S_ISDIR(st.st_mode));

  // A relative XDG value is ignored, as the XDG rules say.
  ::setenv("XDG_DATA_HOME", "relative/path", 1);
  ::setenv("HOME", dir.Path().c_str(), 1);
  EXPECT_EQ(CString((dir.Path() + "/.local/share/Neapwise").c_str()), AfxGetUserDataFolder());
  ::unsetenv("XDG_DATA_HOME");
}

// A per-user data folder that cannot be made is never replaced by the program's own folder
// (installed, a system folder): there is none, and the reason names where it would have been.
TEST(Folders, AUserDataFolderThatCannotBeMadeIsNoneAndSaysWhy) {
  TempDir dir;
  WriteBytes(dir.File("file"), "x");
  ::setenv("XDG_DATA_HOME", dir.File("file").c_str(), 1);
  EXPECT_TRUE(AfxGetUserDataFolder().IsEmpty());
  EXPECT_EQ(CString(dir.File("file/Neapwise").c_str()), AfxGetUserDataFolderPath());
  const CString problem = AfxGetUserDataFolderProblem();
  EXPECT_NE(-1, problem.Find(dir.File("file/Neapwise").c_str())) << problem.GetString();
  EXPECT_NE(-1, problem.Find("could not be made")) << problem.GetString();
  ::setenv("XDG_DATA_HOME", dir.Path().c_str(), 1);
  EXPECT_TRUE(AfxGetUserDataFolderProblem().IsEmpty());
  ::unsetenv("XDG_DATA_HOME");
}

TEST(Folders, DataFolderLookup) {
  ::setenv("NEAPWISE_DATA_DIR", "/opt/neapwise-data", 1);
  EXPECT_EQ(CString("/opt/neapwise-data"), AfxGetDataFolder());
  ::unsetenv("NEAPWISE_DATA_DIR");
  // This test runs from the build tree.
  CString folder = AfxGetDataFolder();
  EXPECT_EQ(CString("data"), folder.Right(4));
  EXPECT_FALSE(AfxGetProgramFolder().IsEmpty());
  EXPECT_EQ(0, AfxGetModuleFileName().Find(AfxGetProgramFolder()));
}

TEST(Folders, AppendPath) {
  EXPECT_EQ(CString("/a/b/logdata.dat"), AfxAppendPath("/a/b", "logdata.dat"));
  EXPECT_EQ(CString("/a/b/logdata.dat"), AfxAppendPath("/a/b/", "\\logdata.dat"));
  EXPECT_EQ(CString("/x"), AfxAppendPath("/", "x"));
  EXPECT_EQ(CString("x/y"), AfxAppendPath("", "x/y"));
  EXPECT_EQ(CString("/a"), AfxAppendPath("/a", ""));
}

TEST(Folders, ShortPathsStayUnder256Characters) {
  TempDir dir;
  std::string folder = dir.Path();
  while (folder.size() < 300) {
    folder += "/a-rather-long-folder-name";
    ASSERT_EQ(0, ::mkdir(folder.c_str(), 0755));
  }
  const std::string longPath = folder + "/dlldata.dat";
  WriteBytes(longPath, "grid");
  char buf[260];
  DWORD n = GetShortPathName(longPath.c_str(), buf, sizeof buf);
  ASSERT_GT(n, 0u);
  ASSERT_LT(n, 256u);
  EXPECT_EQ("grid", ReadBytes(buf));

  const std::string shortPath = dir.File("x.dat");
  WriteBytes(shortPath, "x");
  EXPECT_EQ(shortPath.size(), GetShortPathName(shortPath.c_str(), buf, sizeof buf));
  EXPECT_EQ(shortPath, std::string(buf));
  EXPECT_EQ(shortPath.size() + 1, GetShortPathName(shortPath.c_str(), buf, 3));  // too small
  EXPECT_EQ(0u, GetShortPathName(dir.File("missing").c_str(), buf, sizeof buf));
}

}  // namespace
