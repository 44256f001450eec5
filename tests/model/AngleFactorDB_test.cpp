#include "model/AngleFactorDB.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <unistd.h>

#include "tests/model/ModelTables.h"

using model_test::Day;
using model_test::Days;
using model_test::TableBytes;

namespace {

int32_t Int32At(const std::vector<BYTE>& bytes, std::size_t offset) {
  int32_t v;
  std::memcpy(&v, bytes.data() + offset, 4);
  return v;
}

double DoubleAt(const std::vector<BYTE>& bytes, std::size_t offset) {
  double v;
  std::memcpy(&v, bytes.data() + offset, 8);
  return v;
}

}  // namespace

TEST(AngleFactorTable, WritesTheTableLayout) {
  std::vector<CAngleFactorData> days = {Day(4777, 2009, 12, 31, 359, 12, 7, 301, 0.97)};
  days[0].SetFactor(CAngleFactorData::O1, 1.125);
  const std::vector<BYTE> bytes = TableBytes<CAngleFactorDB>(days);
  ASSERT_EQ(bytes.size(), 8u + 76u);
  EXPECT_EQ(Int32At(bytes, 0), 643);
  EXPECT_EQ(Int32At(bytes, 4), 1);
  EXPECT_EQ(Int32At(bytes, 8), 4777);
  // Date: year, month, day, hour, minute, second.
  EXPECT_EQ(Int32At(bytes, 12), 2009);
  EXPECT_EQ(Int32At(bytes, 16), 12);
  EXPECT_EQ(Int32At(bytes, 20), 31);
  EXPECT_EQ(Int32At(bytes, 24), 0);
  // M2 pair, then S2, K1, O1: int32 angle, float64 factor.
  EXPECT_EQ(Int32At(bytes, 36), 359);
  EXPECT_DOUBLE_EQ(DoubleAt(bytes, 40), 0.97);
  EXPECT_EQ(Int32At(bytes, 48), 12);
  EXPECT_EQ(Int32At(bytes, 60), 7);
  EXPECT_EQ(Int32At(bytes, 72), 301);
  EXPECT_DOUBLE_EQ(DoubleAt(bytes, 76), 1.125);
}

TEST(AngleFactorTable, LoadsWhatWasWritten) {
  const std::vector<CAngleFactorData> days = Days(4777, 2009, 12, 31, 5);
  const std::vector<BYTE> bytes = TableBytes<CAngleFactorDB>(days);
  CAngleFactorDB db(bytes.data(), bytes.size());
  EXPECT_EQ(db.GetCount(), -1);
  ASSERT_EQ(db.Load(), 1);
  EXPECT_EQ(db.Load(), 0);  // read once
  ASSERT_EQ(db.GetCount(), 5);
  for (int i = 0; i < 5; ++i) {
    const CAngleFactorData* d = db.GetAt(i);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->GetId(), days[i].GetId());
    EXPECT_TRUE(d->GetDate() == days[i].GetDate());
    for (int c = 0; c < 4; ++c) {
      EXPECT_EQ(d->GetAngle(c), days[i].GetAngle(c));
      EXPECT_EQ(d->GetFactor(c), days[i].GetFactor(c));
    }
  }
  EXPECT_EQ(db.GetAt(5), nullptr);
  EXPECT_EQ(db.GetAt(-1), nullptr);
}

TEST(AngleFactorTable, FindsDaysAndReportsAbsentOnes) {
  const std::vector<BYTE> bytes = TableBytes<CAngleFactorDB>(Days(4777, 2009, 12, 31, 4));
  CAngleFactorDB db(bytes.data(), bytes.size());
  ASSERT_EQ(db.Load(), 1);

  int hint = -1;
  EXPECT_EQ(db.Find(CQsDateTime(2009, 12, 31, 0, 0, 0), hint).GetId(), 4777);
  EXPECT_EQ(hint, 0);
  // The last day of the table, with a time of day that is not compared.
  EXPECT_EQ(db.Find(CQsDateTime(2010, 1, 3, 17, 45, 0), hint).GetId(), 4780);
  EXPECT_EQ(hint, 3);
  // A hint that matches is kept; a wrong one is replaced by the index found.
  hint = 1;
  EXPECT_EQ(db.FindDayMonthYear(1, 1, 2010, hint).GetId(), 4778);
  EXPECT_EQ(hint, 1);
  hint = 3;
  EXPECT_EQ(db.FindDayMonthYear(2, 1, 10, hint).GetId(), 4779);  // two-digit year
  EXPECT_EQ(hint, 2);

  struct Absent {
    int day, month, year;
  } absent[] = {{30, 12, 2009}, {4, 1, 2010}, {31, 2, 2010}, {0, 1, 2010}, {1, 13, 2009}};
  for (const Absent& a : absent) {
    hint = 2;
    const CAngleFactorData& d = db.FindDayMonthYear(a.day, a.month, a.year, hint);
    EXPECT_EQ(hint, -1) << a.day << "/" << a.month << "/" << a.year;
    EXPECT_EQ(&d, &db.GetDefault());
    EXPECT_TRUE(d.GetDate() == CQsDateTime());
  }
}

TEST(AngleFactorTable, FindScansATableWithGaps) {
  // Out of order and with a repeated day: the first match from the start wins.
  std::vector<CAngleFactorData> days = {Day(1, 2011, 5, 3, 0, 0, 0, 0), Day(2, 2011, 5, 1, 0, 0, 0, 0),
                                        Day(3, 2011, 5, 3, 0, 0, 0, 0), Day(4, 2011, 6, 9, 0, 0, 0, 0)};
  const std::vector<BYTE> bytes = TableBytes<CAngleFactorDB>(days);
  CAngleFactorDB db(bytes.data(), bytes.size());
  ASSERT_EQ(db.Load(), 1);
  int hint = -1;
  EXPECT_EQ(db.FindDayMonthYear(3, 5, 2011, hint).GetId(), 1);
  EXPECT_EQ(hint, 0);
  hint = 2;  // a matching hint is taken as it stands
  EXPECT_EQ(db.FindDayMonthYear(3, 5, 2011, hint).GetId(), 3);
  EXPECT_EQ(db.FindDayMonthYear(9, 6, 2011, hint).GetId(), 4);
  EXPECT_EQ(hint, 3);
  db.FindDayMonthYear(2, 5, 2011, hint);
  EXPECT_EQ(hint, -1);
}

TEST(AngleFactorTable, FindInADailyTableBrokenLateGivesWhatAScanGives) {
  // 300 days from 1 March 2011, then one record changed: the run breaks there, and the
  // changed record holds a date a look-up straight to an index would not see.
  struct Broken {
    const char* what;
    int at, year, month, day;
  } cases[] = {
      {"a day skipped", 200, 2011, 9, 18},         {"a day repeated", 250, 2011, 3, 5},
      {"a day before the first", 299, 2011, 2, 1}, {"a day after the span", 150, 2014, 7, 7},
      {"no real date", 100, 2011, 2, 30},          {"the first record", 0, 2011, 1, 1},
  };
  struct Ymd {
    int year, month, day;
  };
  std::vector<Ymd> asked;
  const std::vector<CAngleFactorData> span = Days(0, 2011, 2, 26, 310);
  for (std::size_t i = 0; i < span.size(); i += 7)
    asked.push_back({span[i].GetDate().GetYear(), span[i].GetDate().GetMonth(), span[i].GetDate().GetDay()});
  for (const Broken& c : cases) {
    std::vector<CAngleFactorData> days = Days(1, 2011, 3, 1, 300);
    days[static_cast<std::size_t>(c.at)] = Day(c.at + 1, c.year, c.month, c.day, 0, 0, 0, 0);
    asked.push_back({c.year, c.month, c.day});
    const std::vector<BYTE> bytes = TableBytes<CAngleFactorDB>(days);
    for (bool backwards : {false, true}) {  // the run checked a little at a time, or all at once
      CAngleFactorDB db(bytes.data(), bytes.size());
      ASSERT_EQ(db.Load(), 1);
      for (std::size_t k = 0; k < asked.size(); ++k) {
        const Ymd& a = asked[backwards ? asked.size() - 1 - k : k];
        CQsDateTime date;
        date.SetDate(a.year, a.month, a.day);
        int want = -1;
        for (int i = 0; i < 300 && want < 0; ++i) {
          const CQsDateTime d = days[static_cast<std::size_t>(i)].GetDate();
          if (d.GetDay() == date.GetDay() && d.GetMonth() == date.GetMonth() && d.GetYear() == date.GetYear()) want = i;
        }
        int hint = -1;
        const CAngleFactorData& got = db.Find(date, hint);
        EXPECT_EQ(hint, want) << c.what << " " << a.year << "-" << a.month << "-" << a.day
                              << (backwards ? " backwards" : "");
        EXPECT_EQ(got.GetId(), want < 0 ? db.GetDefault().GetId() : want + 1) << c.what;
      }
    }
    asked.pop_back();
  }
}

TEST(AngleFactorTable, GivesItsDateSpan) {
  const std::vector<BYTE> bytes = TableBytes<CAngleFactorDB>(Days(1, 2030, 2, 27, 3));
  CAngleFactorDB db(bytes.data(), bytes.size());
  CQsDateTime first, last;
  EXPECT_FALSE(db.GetFirstDate(first));
  EXPECT_FALSE(db.GetLastDate(last));
  ASSERT_EQ(db.Load(), 1);
  ASSERT_TRUE(db.GetFirstDate(first));
  ASSERT_TRUE(db.GetLastDate(last));
  EXPECT_TRUE(first == CQsDateTime(2030, 2, 27, 0, 0, 0));
  EXPECT_TRUE(last == CQsDateTime(2030, 3, 1, 0, 0, 0));

  const std::vector<BYTE> empty = TableBytes<CAngleFactorDB>(std::vector<CAngleFactorData>{});
  CAngleFactorDB none(empty.data(), empty.size());
  ASSERT_EQ(none.Load(), 1);
  EXPECT_EQ(none.GetCount(), 0);
  EXPECT_FALSE(none.GetFirstDate(first));
  int hint = 0;
  none.FindDayMonthYear(27, 2, 2030, hint);
  EXPECT_EQ(hint, -1);
}

TEST(AngleFactorTable, BadTablesLeaveItUnloaded) {
  const std::vector<BYTE> good = TableBytes<CAngleFactorDB>(Days(1, 2012, 1, 1, 3));
  struct Case {
    const char* what;
    std::vector<BYTE> bytes;
  };
  std::vector<Case> cases;
  cases.push_back({"empty", {}});
  cases.push_back({"shorter than its header", std::vector<BYTE>(good.begin(), good.begin() + 6)});
  for (std::size_t cut = 8; cut < good.size(); cut += 5)
    cases.push_back({"cut short", std::vector<BYTE>(good.begin(), good.begin() + cut)});
  cases.push_back({"one byte short", std::vector<BYTE>(good.begin(), good.end() - 1)});
  Case wrongMagic{"wrong magic", good};
  wrongMagic.bytes[0] = 0x44;
  cases.push_back(wrongMagic);
  Case negative{"negative count", good};
  negative.bytes[7] = 0x80;
  cases.push_back(negative);
  Case huge{"count far beyond the bytes", good};
  huge.bytes[6] = 0x10;
  cases.push_back(huge);

  for (const Case& c : cases) {
    CAngleFactorDB db(c.bytes.empty() ? nullptr : c.bytes.data(), c.bytes.size());
    EXPECT_EQ(db.Load(), 0) << c.what << " " << c.bytes.size();
    EXPECT_FALSE(db.IsLoaded()) << c.what;
    EXPECT_EQ(db.GetCount(), -1) << c.what;
    int hint = 0;
    db.FindDayMonthYear(1, 1, 2012, hint);
    EXPECT_EQ(hint, -1) << c.what;
    EXPECT_EQ(db.Load(), 0) << c.what;  // may be tried again, and fails again
  }
}

TEST(AngleFactorTable, ExtraBytesAfterTheRecordsAreIgnored) {
  std::vector<BYTE> bytes = TableBytes<CAngleFactorDB>(Days(1, 2012, 1, 1, 2));
  bytes.push_back(0);
  CAngleFactorDB db(bytes.data(), bytes.size());
  EXPECT_EQ(db.Load(), 1);
  EXPECT_EQ(db.GetCount(), 2);
}

TEST(AngleFactorTable, EmbeddedTableIsAbsentOrLoads) {
  // The program's own table: when it is built in, it loads and spans whole days.
  CAngleFactorDB db;
  if (db.Load() == 0) GTEST_SKIP() << "no embedded angle/factor table in this build";
  CQsDateTime first, last;
  ASSERT_TRUE(db.GetFirstDate(first));
  ASSERT_TRUE(db.GetLastDate(last));
  int hint = -1;
  EXPECT_EQ(db.Find(first, hint).GetId(), db.GetAt(0)->GetId());
  EXPECT_EQ(db.Find(last, hint).GetId(), db.GetAt(db.GetCount() - 1)->GetId());
  CQsDateTime before = first;
  before.PrevDay();
  db.Find(before, hint);
  EXPECT_EQ(hint, -1);
}

TEST(AngleFactorTable, WrittenToAFileAndEmbeddedByName) {
  // The generator's road: write the table to a file, then find it as "RAWDATA" "#178".
  const std::vector<CAngleFactorData> days = Days(4777, 2009, 12, 31, 3);
  const std::string path =
      (std::filesystem::temp_directory_path() / ("neapwise-angles-" + std::to_string(::getpid()) + ".bin")).string();
  {
    CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
    CAngleFactorDB::WriteTable(file, days);
    file.Close();
  }
  std::ifstream in(path, std::ios::binary);
  const std::vector<BYTE> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::filesystem::remove(path);
  EXPECT_EQ(bytes, TableBytes<CAngleFactorDB>(days));

  AfxRegisterResourceCopy("RAWDATA", "#178", bytes.data(), bytes.size());
  CAngleFactorDB db;
  AfxUnregisterResource("RAWDATA", "#178");
  ASSERT_EQ(db.Load(), 1);
  int hint = -1;
  EXPECT_EQ(db.FindDayMonthYear(1, 1, 2010, hint).GetId(), 4778);
}

// Records are made as they are first asked for. Threads let go at once, all asking for the same
// records in the same order, by index and by date, all get the records that were written.
TEST(AngleFactorTable, RecordsAskedForFromManyThreadsAtOnceAreThoseWritten) {
  constexpr int kCount = 1000;  // several blocks, the last one part full
  const std::vector<CAngleFactorData> days = Days(100, 2024, 2, 27, kCount);
  const std::vector<BYTE> bytes = TableBytes<CAngleFactorDB>(days);
  for (int round = 0; round < 20; ++round) {
    CAngleFactorDB db(bytes.data(), bytes.size());
    ASSERT_EQ(db.Load(), 1);
    const int wrong = model_test::WrongAnswersFromThreadsAtOnce(8, [&](int t) {
      int n = 0;
      for (int i = 0; i < kCount; ++i) {
        const CAngleFactorData& want = days[static_cast<std::size_t>(i)];
        int hint = -1;
        const CAngleFactorData& got = t % 2 ? db.Find(want.GetDate(), hint) : *db.GetAt(i);
        if (got.GetId() != want.GetId() || !(got.GetDate() == want.GetDate()) ||
            got.GetFactor(CAngleFactorData::O1) != want.GetFactor(CAngleFactorData::O1) ||
            got.GetAngle(CAngleFactorData::K1) != want.GetAngle(CAngleFactorData::K1) || (t % 2 && hint != i))
          ++n;
      }
      return n;
    });
    ASSERT_EQ(wrong, 0) << "round " << round;
    CQsDateTime first, last;
    ASSERT_TRUE(db.GetFirstDate(first) && db.GetLastDate(last));
    EXPECT_TRUE(first == days.front().GetDate());
    EXPECT_TRUE(last == days.back().GetDate());
  }
}
