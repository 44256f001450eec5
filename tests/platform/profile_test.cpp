#include "platform/core/Afx.h"

#include "tests/platform/TestUtil.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>

namespace {

// Points the profile at a fresh XDG config folder for each test.
class Profile : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("XDG_CONFIG_HOME", m_dir.Path().c_str(), 1);
    AfxGetApp()->ResetProfile();
  }
  void TearDown() override { AfxGetApp()->ResetProfile(); }

  std::string ConfPath() const { return m_dir.File("Neapwise/Neapwise.conf"); }

  TempDir m_dir;
};

TEST_F(Profile, ValuesRoundTripThroughTheFile) {
  CWinAppBase* app = AfxGetApp();
  EXPECT_EQ(CString(ConfPath().c_str()), AfxGetProfilePath());
  EXPECT_EQ(0xC0C0C0u, app->GetProfileInt("Colours", "BackColour", 0xC0C0C0));
  EXPECT_EQ(CString("dflt"), app->GetProfileString("General", "LastRunDir", "dflt"));

  const BYTE blob[] = {0, 1, 0xFE, 0xFF};
  EXPECT_TRUE(app->WriteProfileInt("General", "LastPort", 1566));
  EXPECT_TRUE(app->WriteProfileInt("General", "TZ", -330));
  EXPECT_TRUE(app->WriteProfileInt("Map", "West", -11000));
  EXPECT_TRUE(app->WriteProfileString("General", "LastRunDir", "  /home/s\xC3\xA9 [x]=\\\n\ttab  "));
  EXPECT_TRUE(app->WriteProfileString("Odd=Section]", "key;#=", "v"));
  EXPECT_TRUE(app->WriteProfileBinary("Tip", "Blob", const_cast<BYTE*>(blob), sizeof blob));
  EXPECT_TRUE(Exists(ConfPath()));

  // A new store reads what the file holds, with names in any case.
  CProfileStore fresh(ConfPath().c_str());
  EXPECT_EQ(1566u, fresh.GetProfileInt("general", "lastport", 0));
  EXPECT_EQ((UINT)-330, fresh.GetProfileInt("General", "TZ", 0));
  EXPECT_EQ(-11000, (int)fresh.GetProfileInt("MAP", "West", 0));
  EXPECT_EQ(CString("  /home/s\xC3\xA9 [x]=\\\n\ttab  "), fresh.GetProfileString("General", "LastRunDir"));
  EXPECT_EQ(CString("v"), fresh.GetProfileString("Odd=Section]", "key;#="));
  BYTE* p = nullptr;
  UINT n = 0;
  ASSERT_TRUE(fresh.GetProfileBinary("Tip", "Blob", &p, &n));
  ASSERT_EQ(sizeof blob, n);
  EXPECT_EQ(0, std::memcmp(blob, p, n));
  delete[] p;
  EXPECT_FALSE(fresh.GetProfileBinary("Tip", "Missing", &p, &n));
  EXPECT_EQ(nullptr, p);
}

TEST_F(Profile, AnyTextRoundTripsAndTheFileStaysReadable) {
  const char* const texts[] = {
      "latin-1 \xE9t\xE9 \xFF",  // not UTF-8
      "\xC3\xA9\xE2\x82",        // a sequence cut short
      "\"quoted\"",
      "\"",
      " lead",
      "trail ",
      "a=b;c#d[e]",
      "\x7F\x01\x1F",
      "",
  };
  CWinAppBase* app = AfxGetApp();
  int i = 0;
  for (const char* text : texts) {
    std::string name = " name " + std::to_string(i++) + " ";
    EXPECT_TRUE(app->WriteProfileString(" Odd [section] ", name.c_str(), text));
  }
  CProfileStore fresh(ConfPath().c_str());
  i = 0;
  for (const char* text : texts) {
    SCOPED_TRACE(text);
    std::string name = " name " + std::to_string(i++) + " ";
    EXPECT_EQ(CString(text), fresh.GetProfileString(" Odd [section] ", name.c_str(), "(absent)"));
  }
  EXPECT_TRUE(fresh.GetMovedAsidePath().IsEmpty());
}

TEST_F(Profile, NonNumbersGiveTheDefault) {
  CWinAppBase* app = AfxGetApp();
  app->WriteProfileString("General", "Draught", "1.5m");
  EXPECT_EQ(100u, app->GetProfileInt("General", "Draught", 100));
  app->WriteProfileString("General", "Draught", "4294967295");
  EXPECT_EQ(4294967295u, app->GetProfileInt("General", "Draught", 100));
  app->WriteProfileString("General", "Draught", "99999999999");
  EXPECT_EQ(100u, app->GetProfileInt("General", "Draught", 100));
}

TEST_F(Profile, EntriesAndSectionsCanBeRemoved) {
  CWinAppBase* app = AfxGetApp();
  app->WriteProfileInt("HistoryUK", "PortHistory0", 5);
  app->WriteProfileInt("HistoryUK", "PortHistory1", 6);
  app->WriteProfileString("HistoryUK", "PortHistory0", nullptr);
  EXPECT_EQ((UINT)-1, app->GetProfileInt("HistoryUK", "PortHistory0", -1));
  EXPECT_EQ(6u, app->GetProfileInt("HistoryUK", "PortHistory1", -1));
  app->WriteProfileString("HistoryUK", nullptr, nullptr);
  EXPECT_EQ((UINT)-1, app->GetProfileInt("HistoryUK", "PortHistory1", -1));
}

TEST_F(Profile, ACorruptFileIsMovedAsideAndReplaced) {
  ASSERT_TRUE(AfxCreateFolder(m_dir.File("Neapwise").c_str()));
  const std::string garbage("LastPort=3\n\x01\x02 not a settings file \xFF\n");
  WriteBytes(ConfPath(), garbage);

  CWinAppBase* app = AfxGetApp();
  EXPECT_EQ(0u, app->GetProfileInt("General", "LastPort", 0));
  EXPECT_EQ(CString((ConfPath() + ".bad").c_str()), app->GetProfileStore().GetMovedAsidePath());
  EXPECT_EQ(garbage, ReadBytes(ConfPath() + ".bad"));
  EXPECT_TRUE(app->WriteProfileInt("General", "LastPort", 9));
  CProfileStore fresh(ConfPath().c_str());
  EXPECT_EQ(9u, fresh.GetProfileInt("General", "LastPort", 0));
}

TEST_F(Profile, MalformedLinesCountAsCorrupt) {
  const char* const bad[] = {
      "[General\nLastPort=1\n",     // unclosed section
      "LastPort=1\n",               // entry before any section
      "[General]\nLastPort\n",      // no '='
      "[General]\nLastPort=\\q\n",  // unknown escape
  };
  ASSERT_TRUE(AfxCreateFolder(m_dir.File("Neapwise").c_str()));
  for (const char* text : bad) {
    SCOPED_TRACE(text);
    WriteBytes(ConfPath(), text);
    CProfileStore store(ConfPath().c_str());
    EXPECT_EQ(0u, store.GetProfileInt("General", "LastPort", 0));
    EXPECT_FALSE(store.GetMovedAsidePath().IsEmpty());
    ::unlink(store.GetMovedAsidePath());
  }
  // Comments, blank lines and spaces around names are fine.
  WriteBytes(ConfPath(), "; note\n\n  [ General ]  \n  LastPort =  7 \n# more\n");
  CProfileStore good(ConfPath().c_str());
  EXPECT_EQ(7u, good.GetProfileInt("General", "LastPort", 0));
  EXPECT_TRUE(good.GetMovedAsidePath().IsEmpty());
}

TEST_F(Profile, AFileOfManyEntriesReadsQuicklyAndAHugeOneIsMovedAside) {
  // Names differing only in case are one entry, the last value read wins.
  ASSERT_TRUE(AfxCreateFolder(m_dir.File("Neapwise").c_str()));
  std::string text = "[General]\nLastPort=1\n[general]\nLASTPORT=2\n[Many]\n";
  for (int i = 0; i < 100000; ++i) text += "k" + std::to_string(i) + "=" + std::to_string(i) + "\n";
  text += "[GENERAL]\nlastport=3\n";
  WriteBytes(ConfPath(), text);
  const auto started = std::chrono::steady_clock::now();
  {
    CProfileStore store(ConfPath().c_str());
    EXPECT_EQ(3u, store.GetProfileInt("General", "LastPort", 0));
    EXPECT_EQ(99999u, store.GetProfileInt("many", "K99999", 0));
    EXPECT_TRUE(store.GetMovedAsidePath().IsEmpty());
    EXPECT_TRUE(store.WriteProfileInt("General", "LastPort", 4));
  }
  // Read once for the values and once more to save: a search through the entries for each
  // line read took minutes here.
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(30));
  const std::string saved = ReadBytes(ConfPath());
  EXPECT_NE(saved.find("LastPort=4\n"), std::string::npos);
  EXPECT_EQ(saved.find("LASTPORT"), std::string::npos);

  // Gigabytes of something else in its place are not read into memory.
  std::error_code ec;
  std::filesystem::resize_file(ConfPath(), std::uintmax_t(4) << 30, ec);
  ASSERT_FALSE(ec) << ec.message();
  CProfileStore huge(ConfPath().c_str());
  EXPECT_EQ(7u, huge.GetProfileInt("General", "LastPort", 7));
  EXPECT_EQ(CString((ConfPath() + ".bad").c_str()), huge.GetMovedAsidePath());
  EXPECT_EQ(std::filesystem::file_size(ConfPath() + ".bad"), std::uintmax_t(4) << 30);
}

TEST_F(Profile, AFailedSaveIsReported) {
  // A folder where the settings file should be: it cannot be replaced.
  ASSERT_TRUE(AfxCreateFolder(ConfPath().c_str()));
  CWinAppBase* app = AfxGetApp();
  EXPECT_FALSE(app->WriteProfileInt("General", "LastPort", 4));
  EXPECT_FALSE(app->GetProfileStore().GetLastError().IsEmpty());
  EXPECT_EQ(4u, app->GetProfileInt("General", "LastPort", 0));  // kept in memory
}

TEST_F(Profile, DeferredWritesSaveOnce) {
  CProfileStore& store = AfxGetApp()->GetProfileStore();
  store.BeginDeferredWrites();
  for (int i = 0; i < 30; ++i) EXPECT_TRUE(store.WriteProfileInt("General", "V", i));
  EXPECT_FALSE(Exists(ConfPath()));
  EXPECT_TRUE(store.EndDeferredWrites());
  CProfileStore fresh(ConfPath().c_str());
  EXPECT_EQ(29u, fresh.GetProfileInt("General", "V", 0));
}

TEST_F(Profile, TwoProgramsSharingTheFileKeepEachOthersChanges) {
  CProfileStore a(ConfPath().c_str());
  CProfileStore b(ConfPath().c_str());
  EXPECT_TRUE(a.WriteProfileInt("General", "LastPort", 1));
  EXPECT_EQ(0u, b.GetProfileInt("Map", "West", 0));  // b has read the file now
  EXPECT_TRUE(a.WriteProfileInt("Tip", "FilePos", 10));
  EXPECT_TRUE(b.WriteProfileInt("Map", "West", -5));
  EXPECT_TRUE(b.WriteProfileString("Tip", "FilePos", nullptr));

  CProfileStore fresh(ConfPath().c_str());
  EXPECT_EQ(1u, fresh.GetProfileInt("General", "LastPort", 0));
  EXPECT_EQ((UINT)-5, fresh.GetProfileInt("Map", "West", 0));
  EXPECT_EQ(7u, fresh.GetProfileInt("Tip", "FilePos", 7));   // b's later removal holds
  EXPECT_EQ(1u, b.GetProfileInt("General", "LastPort", 0));  // b sees a's value after saving
}

TEST_F(Profile, TheApplicationObjectTakesOver) {
  {
    CWinAppBase app("Neapwise");
    app.SetRegistryKey("Quillane Software");
    EXPECT_EQ(&app, AfxGetApp());
    EXPECT_EQ(CString("Quillane Software"), app.GetRegistryKey());
    EXPECT_TRUE(app.WriteProfileInt("General", "AutoTZ", 0));
  }
  EXPECT_NE(nullptr, AfxGetApp());
  AfxGetApp()->ResetProfile();
  EXPECT_EQ(0u, AfxGetApp()->GetProfileInt("General", "AutoTZ", 1));
}

}  // namespace

namespace {

// Settings that cannot be taken as they are: the user is told why, what became of the file
// and that the settings are back to their defaults; the file is never read whole.
TEST_F(Profile, DamagedSettingsAreDescribedForTheUser) {
  struct Case {
    const char* what;
    std::function<void(const std::string& path)> make;
    const char* reason;
    bool movedAside;
  } cases[] = {
      {"random bytes", [](const std::string& p) { WriteBytes(p, "[General]\nLastPort=\xC3\x28\xFF\xFE\n"); },
       "it is not UTF-8 text", true},
      {"a NUL", [](const std::string& p) { WriteBytes(p, std::string("[General]\nLastPort=5\0\n", 22)); },
       "it holds a NUL byte", true},
      {"a bad line", [](const std::string& p) { WriteBytes(p, "[General]\nLastPort=5\nnonsense\n"); },
       "line 3 is not a setting", true},
      {"over 16 MiB",
       [](const std::string& p) {
         WriteBytes(p, "[General]\nLastPort=5\n");
         std::filesystem::resize_file(p, std::uintmax_t(17) << 20);
       },
       "larger than any settings file (16 MiB)", true},
      {"a link to an endless device", [](const std::string& p) { ::symlink("/dev/zero", p.c_str()); },
       "not a file but a device, a pipe or a socket", true},
      {"a pipe", [](const std::string& p) { ::mkfifo(p.c_str(), 0600); }, "not a file but a device, a pipe or a socket",
       true},
      {"a folder", [](const std::string& p) { ::mkdir(p.c_str(), 0755); }, "is a folder, not a file", false},
  };
  ASSERT_TRUE(AfxCreateFolder(m_dir.File("Neapwise").c_str()));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove_all(m_dir.File("Neapwise"));
    ASSERT_TRUE(AfxCreateFolder(m_dir.File("Neapwise").c_str()));
    c.make(ConfPath());
    const auto started = std::chrono::steady_clock::now();
    CProfileStore store(ConfPath().c_str());
    EXPECT_EQ(7u, store.GetProfileInt("General", "LastPort", 7)) << "the default";
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
    const CString problem = store.GetLoadProblem();
    EXPECT_NE(-1, problem.Find(ConfPath().c_str())) << problem.GetString();
    EXPECT_NE(-1, problem.Find(c.reason)) << problem.GetString();
    EXPECT_NE(-1, problem.Find("default")) << problem.GetString();
    if (c.movedAside) {
      EXPECT_EQ(CString((ConfPath() + ".bad").c_str()), store.GetMovedAsidePath());
      EXPECT_NE(-1, problem.Find((ConfPath() + ".bad").c_str())) << problem.GetString();
      // The next save writes a settings file of its own in the freed place.
      EXPECT_TRUE(store.WriteProfileInt("General", "LastPort", 9));
      struct stat st;
      ASSERT_EQ(0, ::lstat(ConfPath().c_str(), &st));
      EXPECT_TRUE(S_ISREG(st.st_mode));
    } else {
      EXPECT_TRUE(store.GetMovedAsidePath().IsEmpty());
      EXPECT_FALSE(store.WriteProfileInt("General", "LastPort", 9)) << "left alone, never written over";
      EXPECT_TRUE(std::filesystem::is_directory(ConfPath()));
    }
  }
  // Good settings, or none, are nothing to tell.
  std::filesystem::remove_all(m_dir.File("Neapwise"));
  CProfileStore none(ConfPath().c_str());
  EXPECT_EQ(1u, none.GetProfileInt("General", "LastPort", 1));
  EXPECT_TRUE(none.GetLoadProblem().IsEmpty());
}

}  // namespace
