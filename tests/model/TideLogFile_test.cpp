// The tidal log file as the user meets it: saved and read back byte for byte, and read from
// files cut short, damaged or made by something else without ever losing the original.
#include "model/TideLogFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include "tests/platform/TestUtil.h"

namespace fs = std::filesystem;

namespace {

std::string Bytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void Put(const fs::path& p, const std::string& bytes) { std::ofstream(p, std::ios::binary) << bytes; }

std::string Ints(std::initializer_list<int> values) {
  std::string s;
  for (int v : values)
    for (int i = 0; i < 4; ++i) s += static_cast<char>((static_cast<unsigned>(v) >> (8 * i)) & 0xFF);
  return s;
}

class TideLogFile : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string tmpl = (fs::temp_directory_path() / "neapwise-log-XXXXXX").string();
    ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
    dir = tmpl;
    path = dir / "logdata.dat";
  }
  void TearDown() override { fs::remove_all(dir); }
  CString Path() const { return CString(path.c_str()); }
  fs::path dir, path;
  const std::vector<TIDELOG_ROW> rows = {{3, 12, 6, 2025, 12, 0}, {0, 29, 2, 2024, 6, 45}, {410, 31, 12, 2030, 23, 59}};
};

TEST_F(TideLogFile, AnEmptyLogIsTwelveBytes) {
  ASSERT_TRUE(CTideLogFile::Save(Path(), {}));
  EXPECT_EQ(Bytes(path), Ints({4689, 2002, 0}));
}

TEST_F(TideLogFile, ASavedLogReadsBackToTheSameRowsAndTheSameBytes) {
  CString problem;
  ASSERT_TRUE(CTideLogFile::Save(Path(), rows, &problem)) << problem.GetString();
  const std::string first = Bytes(path);
  EXPECT_EQ(first, Ints({4689, 2002, 3, 3, 12, 6, 2025, 12, 0, 0, 29, 2, 2024, 6, 45, 410, 31, 12, 2030, 23, 59}));
  std::vector<TIDELOG_ROW> back;
  TIDELOG_LOAD info = CTideLogFile::Load(Path(), 500, back);
  EXPECT_EQ(info.status, TIDELOG_LOAD::ok);
  EXPECT_EQ(back, rows);
  ASSERT_TRUE(CTideLogFile::Save(Path(), back));
  EXPECT_EQ(Bytes(path), first);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1) << "no file left beside it";
}

TEST_F(TideLogFile, LaterVersionsUpTo2006AreReadAndWrittenBackAs2002) {
  for (int version : {2002, 2004, 2006}) {
    Put(path, Ints({4689, version, 1, 7, 1, 3, 2026, 8, 30}));
    std::vector<TIDELOG_ROW> back;
    EXPECT_EQ(CTideLogFile::Load(Path(), 10, back).status, TIDELOG_LOAD::ok) << version;
    ASSERT_EQ(back.size(), 1u);
    ASSERT_TRUE(CTideLogFile::Save(Path(), back));
    EXPECT_EQ(Bytes(path), Ints({4689, 2002, 1, 7, 1, 3, 2026, 8, 30}));
  }
}

TEST_F(TideLogFile, AMissingFileIsAnEmptyLog) {
  std::vector<TIDELOG_ROW> back{{}};
  TIDELOG_LOAD info = CTideLogFile::Load(Path(), 10, back);
  EXPECT_EQ(info.status, TIDELOG_LOAD::missing);
  EXPECT_TRUE(back.empty());
  EXPECT_FALSE(info.bBlocked);
}

// Files the program cannot take whole: the good rows are kept, the original goes aside
// untouched and the user is told.
TEST_F(TideLogFile, FilesNotWhollyGoodAreKeptAsideWithTheirGoodRowsRead) {
  const std::string good = Ints({4689, 2002, 2, 1, 5, 5, 2025, 10, 15, 2, 6, 5, 2025, 11, 20});
  struct Case {
    const char* what;
    std::string bytes;
    int status;
    size_t rows;
  } cases[] = {
      {"foreign file", "PK\x03\x04 this is a zip file, not a log", TIDELOG_LOAD::unreadable, 0},
      {"empty file", "", TIDELOG_LOAD::unreadable, 0},
      {"cut inside the header", good.substr(0, 7), TIDELOG_LOAD::unreadable, 0},
      {"version 2001", Ints({4689, 2001, 0}), TIDELOG_LOAD::unreadable, 0},
      {"version 2007", Ints({4689, 2007, 0}), TIDELOG_LOAD::unreadable, 0},
      {"negative count", Ints({4689, 2002, -1}), TIDELOG_LOAD::unreadable, 0},
      {"cut inside the second row", good.substr(0, good.size() - 5), TIDELOG_LOAD::damaged, 1},
      {"count beyond the size", Ints({4689, 2002, 100000000, 1, 5, 5, 2025, 10, 15}), TIDELOG_LOAD::damaged, 1},
      {"bytes after the rows", good + "xyz", TIDELOG_LOAD::damaged, 2},
      {"port out of the table", Ints({4689, 2002, 2, 1, 5, 5, 2025, 10, 15, 999, 6, 5, 2025, 11, 20}),
       TIDELOG_LOAD::damaged, 1},
      {"29 February of a common year", Ints({4689, 2002, 2, 1, 29, 2, 2025, 10, 15, 2, 6, 5, 2025, 11, 20}),
       TIDELOG_LOAD::damaged, 1},
      {"hour 24, minute 60, month 13, negative port",
       Ints({4689, 2002, 5, 1, 5,  5, 2025, 24,   0, 1, 5, 5, 2025, 0,    60, 1, 5,
             13,   2025, 0, 0, -1, 5, 5,    2025, 0, 0, 2, 6, 5,    2025, 11, 20}),
       TIDELOG_LOAD::damaged, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(dir);
    fs::create_directories(dir);
    Put(path, c.bytes);
    std::vector<TIDELOG_ROW> back;
    TIDELOG_LOAD info = CTideLogFile::Load(Path(), 100, back);
    EXPECT_EQ(info.status, c.status);
    EXPECT_EQ(back.size(), c.rows);
    for (const TIDELOG_ROW& r : back) EXPECT_TRUE(CTideLogFile::IsValidRow(r, 100));
    EXPECT_FALSE(info.strProblem.IsEmpty());
    EXPECT_FALSE(fs::exists(path)) << "the original must be out of the way of the next save";
    EXPECT_EQ(info.strMovedTo, CString((path.string() + ".bad").c_str()));
    EXPECT_EQ(Bytes(path.string() + ".bad"), c.bytes) << "the original is kept as it was";
    // The next save writes the good rows and leaves the kept file alone.
    ASSERT_TRUE(CTideLogFile::Save(Path(), back));
    EXPECT_EQ(Bytes(path.string() + ".bad"), c.bytes);
  }
}

TEST_F(TideLogFile, LogsBeyondTheLargestKeptAreReadInPartAndDescribedWhole) {
  // More rows than the program keeps: the first ones are read and the message counts them all.
  std::string big = Ints({4689, 2002, 6000});
  for (int i = 0; i < 6000; ++i) big += Ints({i % 90, 1 + i % 28, 1 + i % 12, 2020, i % 24, 0});
  Put(path, big);
  std::vector<TIDELOG_ROW> back;
  TIDELOG_LOAD info = CTideLogFile::Load(Path(), 100, back);
  EXPECT_EQ(info.status, TIDELOG_LOAD::damaged);
  EXPECT_EQ(back.size(), static_cast<size_t>(CTideLogFile::kMaxRows));
  EXPECT_NE(info.strProblem.Find("holds 6000 rows; only the first 5000"), -1) << info.strProblem.GetString();
  EXPECT_EQ(Bytes(path.string() + ".bad"), big);

  // A file of gigabytes whose header promises the most rows there can be: only what could be
  // kept is read, in a moment, and the file is kept aside untouched.
  fs::remove_all(dir);
  fs::create_directories(dir);
  Put(path, Ints({4689, 2002, 0x7fffffff, 1, 5, 5, 2025, 10, 15}));
  const std::uintmax_t huge = std::uintmax_t(8) << 30;
  std::error_code ec;
  fs::resize_file(path, huge, ec);
  if (ec) GTEST_SKIP() << "no sparse file of 8 GiB here: " << ec.message();
  info = CTideLogFile::Load(Path(), 100, back);
  EXPECT_EQ(info.status, TIDELOG_LOAD::damaged);
  ASSERT_EQ(back.size(), 1u);
  EXPECT_EQ(back[0], (TIDELOG_ROW{1, 5, 5, 2025, 10, 15}));
  EXPECT_EQ(info.nDeclared, 0x7fffffff);
  EXPECT_NE(info.strProblem.Find("should hold 2147483647 rows but holds 357913940."), -1)
      << info.strProblem.GetString();
  EXPECT_EQ(fs::file_size(path.string() + ".bad"), huge);
}

TEST_F(TideLogFile, APipeInPlaceOfTheLogDoesNotStopTheProgram) {
  ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
  std::vector<TIDELOG_ROW> back;
  const TIDELOG_LOAD info = CTideLogFile::Load(Path(), 10, back);
  EXPECT_EQ(info.status, TIDELOG_LOAD::unreadable);
  EXPECT_TRUE(back.empty());
  EXPECT_FALSE(info.strProblem.IsEmpty());
  EXPECT_FALSE(fs::exists(path)) << "kept aside, out of the way of the next save";
  EXPECT_TRUE(fs::is_fifo(path.string() + ".bad"));
}

TEST_F(TideLogFile, ASecondBadFileDoesNotReplaceTheFirstKeptOne) {
  Put(path, "first bad file");
  std::vector<TIDELOG_ROW> back;
  CTideLogFile::Load(Path(), 10, back);
  Put(path, "second bad file");
  TIDELOG_LOAD info = CTideLogFile::Load(Path(), 10, back);
  EXPECT_EQ(info.strMovedTo, CString((path.string() + ".bad2").c_str()));
  EXPECT_EQ(Bytes(path.string() + ".bad"), "first bad file");
  EXPECT_EQ(Bytes(path.string() + ".bad2"), "second bad file");
}

TEST_F(TideLogFile, SavesThatCannotBeDoneAreReported) {
  // A folder that is a file, and a log name taken by a folder: neither can be written.
  Put(dir / "notafolder", "x");
  CString problem;
  EXPECT_FALSE(CTideLogFile::Save(CString((dir / "notafolder" / "logdata.dat").c_str()), rows, &problem));
  EXPECT_NE(problem.Find("could not be saved"), -1) << problem.GetString();
  fs::create_directories(path / "inside");
  problem.Empty();
  EXPECT_FALSE(CTideLogFile::Save(Path(), rows, &problem));
  EXPECT_FALSE(problem.IsEmpty());
  EXPECT_TRUE(fs::is_directory(path / "inside"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2) << "no temporary file left";
}

TEST_F(TideLogFile, AFailedSaveIsReportedAndLeavesTheOldFile) {
  ASSERT_TRUE(CTideLogFile::Save(Path(), rows));
  const std::string before = Bytes(path);
  // A read-only folder, tried by a user it stops (run as root, the child drops to nobody).
  ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
  ASSERT_EQ(::chmod(dir.c_str(), 0555), 0);
  const std::string problem = RunUnprivileged([&] {
    if (Bytes(path) != before) return std::string("the child cannot read the old file");
    CString text;
    if (CTideLogFile::Save(Path(), {}, &text)) return std::string("saved");
    return text.GetStdString();
  });
  ::chmod(dir.c_str(), 0700);
  EXPECT_NE(problem.find("could not be saved"), std::string::npos) << problem;
  EXPECT_NE(problem.find("logdata.dat"), std::string::npos) << problem;
  EXPECT_EQ(Bytes(path), before);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1) << "no temporary file left";
}

TEST_F(TideLogFile, AFileThatCanBeNeitherReadNorMovedIsNotToBeReplaced) {
  Put(path, Ints({4689, 2002, 0}));
  ASSERT_EQ(::chmod(path.c_str(), 0000), 0);
  ASSERT_EQ(::chmod(dir.c_str(), 0555), 0);
  const std::string seen = RunUnprivileged([&] {
    std::vector<TIDELOG_ROW> back;
    const TIDELOG_LOAD info = CTideLogFile::Load(Path(), 10, back);
    return std::to_string(info.status) + (info.bBlocked ? " blocked " : " free ") + info.strProblem.GetStdString();
  });
  ::chmod(dir.c_str(), 0700);
  ::chmod(path.c_str(), 0600);
  EXPECT_EQ(seen.rfind(std::to_string(TIDELOG_LOAD::unreadable) + " blocked ", 0), 0u) << seen;
  EXPECT_NE(seen.find("could not be opened"), std::string::npos) << seen;
  EXPECT_NE(seen.find("will not be replaced"), std::string::npos) << seen;
  EXPECT_EQ(Bytes(path), Ints({4689, 2002, 0})) << "left as it was";
}

// Counts in the messages agree with their nouns: "1 row", "2 rows".
TEST_F(TideLogFile, MessagesCountInTheRightNumber) {
  struct Case {
    std::string bytes;
    const char* text;
  } cases[] = {
      {Ints({4689, 2002, 2, 1, 5, 5, 2025, 10, 15, 1, 5, 13, 2025, 0, 0}),
       " 1 row with impossible values was left out."},
      {Ints({4689, 2002, 3, 1, 5, 5, 2025, 10, 15, 1, 5, 13, 2025, 0, 0, 1, 5, 5, 2025, 24, 0}),
       " 2 rows with impossible values were left out."},
      {Ints({4689, 2002, 1}), "it should hold 1 row but holds 0."},
      {Ints({4689, 2002, 2, 1, 5, 5, 2025, 10, 15}), "it should hold 2 rows but holds 1."},
  };
  for (const Case& c : cases) {
    std::vector<TIDELOG_ROW> back;
    TIDELOG_LOAD info;
    CTideLogFile::Parse(reinterpret_cast<const BYTE*>(c.bytes.data()), c.bytes.size(), 10, back, &info);
    EXPECT_NE(info.strProblem.Find(c.text), -1) << info.strProblem.GetString();
  }
}

TEST(TideLogRows, FieldRanges) {
  EXPECT_TRUE(CTideLogFile::IsValidRow({0, 29, 2, 2024, 0, 0}, 1));
  EXPECT_FALSE(CTideLogFile::IsValidRow({0, 29, 2, 2100, 0, 0}, 1));
  EXPECT_FALSE(CTideLogFile::IsValidRow({1, 1, 1, 2024, 0, 0}, 1));
  EXPECT_TRUE(CTideLogFile::IsValidRow({70000, 1, 1, 2024, 0, 0}, -1));
  EXPECT_FALSE(CTideLogFile::IsValidRow({0, 0, 1, 2024, 0, 0}, 1));
  EXPECT_FALSE(CTideLogFile::IsValidRow({0, 31, 4, 2024, 0, 0}, 1));
  EXPECT_FALSE(CTideLogFile::IsValidRow({0, 1, 1, 1899, 0, 0}, 1));
  EXPECT_FALSE(CTideLogFile::IsValidRow({0, 1, 1, 2024, -1, 0}, 1));
}

}  // namespace
