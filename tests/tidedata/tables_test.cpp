// The real embedded tables: they load through the program's databases, hold what the program
// expects, follow from the engine's astronomy, rebuild byte for byte from their committed
// inputs, and predict close to the full-constituent reference.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "engine/Astronomy.h"
#include "model/AngleFactorDB.h"
#include "model/PortDB.h"
#include "model/Prediction.h"
#include "model/QsDateTime.h"
#include "platform/core/AfxResource.h"
#include "tools/tidedata/TableGen.h"

namespace {

const std::filesystem::path kRoot = std::filesystem::path(NEAPWISE_TEST_DATA_DIR) / ".." / ".." / "..";
const std::string kFolding = (kRoot / "tools/tidedata/folding.txt").string();
const std::string kPortsTsv = (kRoot / "tools/tidedata/ports.tsv").string();
const std::string kAngleBin = (kRoot / "resources/tables/178.bin").string();
const std::string kPortBin = (kRoot / "resources/tables/179.bin").string();
const std::string kFixture = (std::filesystem::path(NEAPWISE_TEST_DATA_DIR) / "reference-extremes.tsv").string();

std::vector<std::vector<std::string>> ReadTsv(const std::string& path) {
  std::vector<std::vector<std::string>> rows;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> f;
    std::stringstream ss(line);
    for (std::string cell; std::getline(ss, cell, '\t');) f.push_back(cell);
    rows.push_back(f);
  }
  return rows;
}

// Days from 1 January 2009 to 1 January 2051, both included.
int ExpectedDays() {
  int n = 0;
  for (int y = 2009; y <= 2050; ++y) n += (y % 4 == 0 && y % 100 != 0) || y % 400 == 0 ? 366 : 365;
  return n + 1;
}

class AngleTable : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    db = new CAngleFactorDB();
    loaded = db->Load();
  }
  static void TearDownTestSuite() {
    delete db;
    db = nullptr;
  }
  static CAngleFactorDB* db;
  static int loaded;
};
CAngleFactorDB* AngleTable::db = nullptr;
int AngleTable::loaded = 0;

class PortTable : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    db = new CPortDB();
    loaded = db->Load();
  }
  static void TearDownTestSuite() {
    delete db;
    db = nullptr;
  }
  static CPortDB* db;
  static int loaded;
};
CPortDB* PortTable::db = nullptr;
int PortTable::loaded = 0;

}  // namespace

TEST_F(AngleTable, LoadsWithOneRecordPerDayFrom2009To2051) {
  ASSERT_EQ(loaded, 1);
  EXPECT_EQ(db->GetCount(), ExpectedDays());
  CQsDateTime first, last;
  ASSERT_TRUE(db->GetFirstDate(first));
  ASSERT_TRUE(db->GetLastDate(last));
  EXPECT_EQ(first, CQsDateTime(2009, 1, 1, 0, 0, 0));
  EXPECT_EQ(last, CQsDateTime(2051, 1, 1, 0, 0, 0));

  struct Case {
    int d, m, y, id;
  } cases[] = {{1, 1, 2009, 4413},  {31, 12, 2009, 4777},  {1, 1, 2013, 5874},
               {29, 2, 2024, 9950}, {31, 12, 2050, 19752}, {1, 1, 2051, 19753}};
  for (const Case& c : cases) {
    int hint = -1;
    EXPECT_EQ(db->FindDayMonthYear(c.d, c.m, c.y, hint).GetId(), c.id) << c.d << "." << c.m << "." << c.y;
    EXPECT_GE(hint, 0);
  }
  for (const CQsDateTime& absent : {CQsDateTime(2008, 12, 31, 0, 0, 0), CQsDateTime(2051, 1, 2, 0, 0, 0)}) {
    int hint = 3;
    db->Find(absent, hint);
    EXPECT_EQ(hint, -1);
  }
}

TEST_F(AngleTable, DaysFollowEachOtherWithoutGaps) {
  ASSERT_EQ(loaded, 1);
  CQsDateTime expected(2009, 1, 1, 0, 0, 0);
  for (int i = 0; i < db->GetCount(); ++i) {
    const CAngleFactorData* r = db->GetAt(i);
    ASSERT_NE(r, nullptr);
    ASSERT_EQ(r->GetId(), 4413 + i);
    ASSERT_EQ(r->GetDate(), expected) << "record " << i;
    for (int c = 0; c < CAngleFactorData::kConstituents; ++c) {
      ASSERT_GE(r->GetAngle(c), 0);
      ASSERT_LE(r->GetAngle(c), 359);
      ASSERT_GT(r->GetFactor(c), 0.3);
      ASSERT_LT(r->GetFactor(c), 2.0);
    }
    expected.NextDay();
  }
}

// The method's speed formula needs Ksemi = 720 and Kdiu = 360 on every day, after the angles
// are unwrapped as SetAngleFactors does; the speeds it then gives stay near the true ones.
TEST_F(AngleTable, EveryDayGivesTheMethodsSpeeds) {
  ASSERT_EQ(loaded, 1);
  const double trueSpeed[4] = {28.9841042, 30.0, 15.0410686, 13.9430356};
  CPrediction p;
  for (int i = 0; i + 1 < db->GetCount(); ++i) {
    p.SetAngleFactors(*db->GetAt(i), *db->GetAt(i + 1));
    const CAngleFactorData& a = p.GetToday();
    const CAngleFactorData& b = p.GetNextDay();
    const int dM2 = b.GetAngle(CAngleFactorData::M2) - a.GetAngle(CAngleFactorData::M2);
    const double ksemi = 360.0 * (std::floor((dM2 + 600.0) / 360.0) + 1);
    const double kdiu = 360.0 * (std::floor((dM2 + 300.0) / 360.0) + 1);
    ASSERT_EQ(ksemi, 720.0) << "day " << i;
    ASSERT_EQ(kdiu, 360.0) << "day " << i;
    for (int c = 0; c < 4; ++c) {
      const double k = c < 2 ? ksemi : kdiu;
      const double w = (k + a.GetAngle(c) - b.GetAngle(c)) / 24.0;
      ASSERT_NEAR(w, trueSpeed[c], 0.5) << "day " << i << " constituent " << c;
    }
  }
}

// A = round(360 - (V0 + u)) mod 360 and factor f at 00:00 UT, from the engine's own astronomy;
// the table adds the folded companions to that.
TEST_F(AngleTable, FollowsTheEngineAstronomy) {
  ASSERT_EQ(loaded, 1);
  const int number[4] = {ebc::kM2, ebc::kS2, ebc::kK1, ebc::kO1};
  const std::vector<tablegen::Fold> folds = tablegen::ReadFolding(kFolding);
  ASSERT_FALSE(folds.empty());
  struct Date {
    int d, m, y;
  } dates[] = {{1, 1, 2009}, {31, 12, 2009}, {1, 3, 2012}, {15, 6, 2026}, {29, 2, 2048}, {1, 1, 2051}};
  for (const Date& dt : dates) {
    const ebc::DayTable t = ebc::ComputeDay(dt.d, dt.m, dt.y);
    int hint = -1;
    const CAngleFactorData& rec = db->FindDayMonthYear(dt.d, dt.m, dt.y, hint);
    ASSERT_GE(hint, 0);
    for (int c = 0; c < 4; ++c) {
      SCOPED_TRACE(testing::Message() << dt.d << "." << dt.m << "." << dt.y << " constituent " << c);
      const long expected = ((std::lround(360.0 - t.equilibriumPlusNodal(number[c])) % 360) + 360) % 360;
      int angle = -1;
      double factor = 0.0;
      tablegen::AngleAndFactor(dt.d, dt.m, dt.y, c, {}, angle, factor);
      EXPECT_EQ(angle, expected);
      EXPECT_DOUBLE_EQ(factor, t.f[number[c]]);
      tablegen::AngleAndFactor(dt.d, dt.m, dt.y, c, folds, angle, factor);
      EXPECT_EQ(rec.GetAngle(c), angle);
      EXPECT_DOUBLE_EQ(rec.GetFactor(c), factor);
    }
  }
}

TEST_F(PortTable, LoadsEveryPortOfTheCommittedList) {
  ASSERT_EQ(loaded, 1);
  const auto rows = ReadTsv(kPortsTsv);
  ASSERT_GT(rows.size(), 1000u);
  EXPECT_EQ(db->GetCount(), static_cast<int>(rows.size()));
}

TEST_F(PortTable, RecordsAreWellFormed) {
  ASSERT_EQ(loaded, 1);
  // Area codes of the ports tree's nodes (rule code + 1), with 36 for the Australian ports
  // that keep no summer time.
  const std::set<int> areas = {1,  2,  3,  4,  5,  6,  7,  9,  10, 11, 12, 13, 14, 15, 16, 17, 18, 19,
                               20, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 41};
  const std::set<int> zones = {-5, -4, -6, -330, -1, 0, 1, 8, 930, 10, 1030, 11};
  std::set<int> ids;
  std::set<std::string> names;
  std::map<std::string, int> perRegion;
  for (int i = 0; i < db->GetCount(); ++i) {
    const CPortData* p = db->GetPort(i);
    SCOPED_TRACE(testing::Message() << "port " << i << " " << p->GetName().GetString());
    EXPECT_EQ(p->GetIndex(), i);
    EXPECT_GT(p->GetPortId(), 0);
    EXPECT_LT(p->GetPortId(), 65536);
    EXPECT_TRUE(ids.insert(p->GetPortId()).second) << "duplicate id";
    EXPECT_EQ(db->Lookup(p->GetPortId()), p);
    const std::string name = p->GetName().GetString();
    EXPECT_FALSE(name.empty());
    EXPECT_LE(name.size(), 36u);
    std::string lower;
    for (char ch : name) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    EXPECT_TRUE(names.insert(lower).second) << "duplicate name";
    EXPECT_TRUE(areas.count(p->GetArea())) << "area " << p->GetArea();
    EXPECT_TRUE(p->GetKind() == 1 || p->GetKind() == 2);
    EXPECT_TRUE(zones.count(p->GetTimeZone())) << "zone " << p->GetTimeZone();
    EXPECT_EQ(p->GetReserved(), 0);
    EXPECT_GT(p->GetMeanLevel(), 0.0);
    EXPECT_LT(p->GetMeanLevel(), 12.0);
    for (int k = 0; k < CPortData::kPairs; ++k) {
      EXPECT_GE(p->GetPhase(k), 0);
      EXPECT_LE(p->GetPhase(k), 359);
      EXPECT_GE(p->GetAmplitude(k), 0.0);
    }
    EXPECT_GE(p->GetMHWS(), p->GetMLWS());
    const double lat = p->GetLatitude();
    const double lon = p->GetLongitude();
    const int area = p->GetArea();
    if (area <= 4) {
      ++perRegion["UK and Ireland"];
      EXPECT_TRUE(lat > 49 && lat < 61 && lon > -11 && lon < 2);
    } else if (area <= 7 || (area >= 28 && area <= 29) || (area >= 31 && area <= 34)) {
      ++perRegion["Europe"];
      EXPECT_TRUE(lat > 27 && lat < 81 && lon > -32 && lon < 32);
    } else if (area >= 35) {
      ++perRegion["Australia"];
      EXPECT_TRUE(lat < -9 && lat > -45 && lon > 110 && lon < 170);
      // Queensland, Western Australia and the Northern Territory keep no summer time.
      const bool noSummer = lat > -26 || lon < 129 || (lat > -28.17 && lon > 141);
      if (lat > -39.15)
        EXPECT_EQ(area, noSummer ? 36 : 35);
      else
        EXPECT_EQ(area, 41);
    } else {
      ++perRegion["US East Coast"];
      EXPECT_TRUE(lat > 9 && lat < 53 && lon > -100 && lon < -52);
    }
  }
  for (const char* region : {"UK and Ireland", "Europe", "US East Coast", "Australia"})
    EXPECT_GT(perRegion[region], 20) << region;
}

TEST(Tables, RebuildFromTheirInputsByteForByte) {
  const std::vector<unsigned char> angles = tablegen::ReadFileBytes(kAngleBin);
  const std::vector<unsigned char> ports = tablegen::ReadFileBytes(kPortBin);
  EXPECT_TRUE(tablegen::AngleTableBytes(tablegen::MakeAngleTable(tablegen::ReadFolding(kFolding))) == angles)
      << "resources/tables/178.bin is not what folding.txt gives: run the generator";
  EXPECT_TRUE(tablegen::PortTableBytes(tablegen::ReadPorts(kPortsTsv)) == ports)
      << "resources/tables/179.bin is not what ports.tsv gives: run the generator";

  // The program embeds exactly these files.
  for (const auto& [name, bytes] : {std::pair{"#178", &angles}, std::pair{"#179", &ports}}) {
    const BYTE* data = nullptr;
    DWORD size = 0;
    ASSERT_TRUE(AfxFindRawData("RAWDATA", name, &data, &size)) << name;
    EXPECT_TRUE(std::vector<unsigned char>(data, data + size) == *bytes) << name;
  }
}

// A few standard ports against the full-constituent predictor (fixture written once by
// tools/tidedata/make-fixture.mjs), within the accuracy the report measures for them.
TEST_F(PortTable, PredictsCloseToTheFullPredictor) {
  ASSERT_EQ(loaded, 1);
  std::map<std::string, int> portOfStation;
  for (const auto& row : ReadTsv(kPortsTsv)) portOfStation[row.at(25)] = std::stoi(row.at(1));

  struct Event {
    int minute;  // UTC minute of the day
    bool high;
    double metres;
  };
  std::map<std::pair<std::string, std::string>, std::vector<Event>> expected;  // (station, day)
  for (const auto& row : ReadTsv(kFixture)) {
    const std::string& when = row.at(2);
    const int minute = std::stoi(when.substr(11, 2)) * 60 + std::stoi(when.substr(14, 2));
    expected[{row.at(1), when.substr(0, 10)}].push_back({minute, row.at(3) == "H", std::stod(row.at(4))});
  }
  ASSERT_GT(expected.size(), 20u);

  CAngleFactorDB angles;
  ASSERT_EQ(angles.Load(), 1);
  int hint = -1;
  for (const auto& [key, events] : expected) {
    const auto& [station, day] = key;
    SCOPED_TRACE(station + " " + day);
    ASSERT_TRUE(portOfStation.count(station));
    const CPortData* port = db->Lookup(portOfStation[station]);
    ASSERT_NE(port, nullptr);
    const int y = std::stoi(day.substr(0, 4)), m = std::stoi(day.substr(5, 2)), d = std::stoi(day.substr(8, 2));
    CQsDateTime next(y, m, d, 0, 0, 0);
    next.NextDay();
    CPrediction p;
    p.SetPort(*port);
    int nextHint = -1;
    const CAngleFactorData& today = angles.FindDayMonthYear(d, m, y, hint);
    const CAngleFactorData& tomorrow = angles.Find(next, nextHint);
    ASSERT_GE(hint, 0);
    ASSERT_GE(nextHint, 0);
    p.SetAngleFactors(today, tomorrow);
    p.ClearCache();
    TIMEHEIGHT found[4];
    const int n = p.FindHighLow(0, 0, found);
    // Within the accuracy the report measures for these ports (95th percentiles of 8 to 28
    // minutes; the Elbe at Cuxhaven is the hardest): times within 45 minutes, heights
    // within 0.15 m plus 20% of the semidiurnal amplitude. A wrong table is out by hours.
    constexpr int kMinutes = 45;
    const double metres = 0.15 + 0.2 * (port->GetAmplitude(CPortData::M2) + port->GetAmplitude(CPortData::S2));
    for (const Event& e : events) {
      // Events near midnight may fall on the neighbouring day of the program.
      if (e.minute < 90 || e.minute > 1440 - 90) continue;
      const TIMEHEIGHT* best = nullptr;
      for (int i = 0; i < n; ++i) {
        const double around = (p.HeightAt(found[i].minutes - 60, 0, 0) + p.HeightAt(found[i].minutes + 60, 0, 0)) / 2;
        const bool high = found[i].metres > around;
        if (high != e.high) continue;
        if (!best || std::abs(found[i].minutes - e.minute) < std::abs(best->minutes - e.minute)) best = &found[i];
      }
      ASSERT_NE(best, nullptr) << (e.high ? "HW" : "LW") << " at minute " << e.minute;
      EXPECT_LE(std::abs(best->minutes - e.minute), kMinutes) << (e.high ? "HW" : "LW") << " at minute " << e.minute;
      EXPECT_LE(std::abs(best->metres - e.metres), metres) << (e.high ? "HW" : "LW") << " at minute " << e.minute;
    }
  }
}
