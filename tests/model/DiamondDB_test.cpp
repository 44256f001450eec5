#include "model/DiamondDB.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <initializer_list>

#include "tests/model/ModelTables.h"

using model_test::TableBytes;

namespace {

// Hours -6 to 6 with directions turning 30 degrees an hour from 350.
CDiamondData Diamond(int number, int latDeg, double latMin, int latHemi, int lonDeg, double lonMin, int lonHemi) {
  CDiamondData d;
  d.SetNumber(number);
  d.SetMinLevel(3);
  d.SetReferencePortId(1718);
  d.SetName("K");
  CPosition pos;
  pos.SetLatitude(latDeg, latMin, latHemi);
  pos.SetLongitude(lonDeg, lonMin, lonHemi);
  d.SetPosition(pos);
  for (int h = -6; h <= 6; ++h) d.AddFlow(h, (350 + 30 * (h + 6)) % 360, 1.0 + 0.1 * (h + 6), 0.5 + 0.05 * (h + 6));
  return d;
}

CDiamondData Flows(std::initializer_list<std::array<double, 4>> flows) {
  CDiamondData d;
  for (const auto& f : flows) d.AddFlow(static_cast<int>(f[0]), f[1], f[2], f[3]);
  return d;
}

}  // namespace

TEST(DiamondTable, LoadsWhatWasWritten) {
  std::vector<CDiamondData> diamonds = {Diamond(1, 50, 30.5, 1, 1, 12.25, 0), Diamond(2, 51, 0.0, 1, 2, 3.5, 1),
                                        Diamond(3, 33, 51.75, 0, 151, 12.0, 1), CDiamondData()};
  diamonds[1].SetName("Q");
  const std::vector<BYTE> bytes = TableBytes<CDiamondDB>(diamonds);
  int32_t magic;
  std::memcpy(&magic, bytes.data(), 4);
  EXPECT_EQ(magic, 276);

  CDiamondDB db(bytes.data(), bytes.size());
  EXPECT_EQ(db.GetAt(0), nullptr);
  ASSERT_EQ(db.Load(), 1);
  EXPECT_EQ(db.Load(), 0);
  ASSERT_EQ(db.GetCount(), 4);
  for (int i = 0; i < 3; ++i) {
    const CDiamondData& a = *db.GetAt(i);
    const CDiamondData& b = diamonds[i];
    EXPECT_FALSE(a.IsEmpty());
    EXPECT_EQ(a.GetNumber(), b.GetNumber());
    EXPECT_EQ(a.GetMinLevel(), 3);
    EXPECT_EQ(a.GetReferencePortId(), 1718);
    EXPECT_STREQ(a.GetName(), b.GetName());
    EXPECT_EQ(a.GetPosition().GetLatHemisphere(), b.GetPosition().GetLatHemisphere()) << i;
    EXPECT_EQ(a.GetPosition().GetLonHemisphere(), b.GetPosition().GetLonHemisphere()) << i;
    EXPECT_DOUBLE_EQ(a.GetPosition().GetLatitude(), b.GetPosition().GetLatitude()) << i;
    EXPECT_DOUBLE_EQ(a.GetPosition().GetLongitude(), b.GetPosition().GetLongitude()) << i;
    ASSERT_EQ(a.GetFlowCount(), 13);
    for (int f = 0; f < 13; ++f) {
      EXPECT_EQ(a.GetFlow(f)->GetHour(), f - 6);
      EXPECT_EQ(a.GetFlow(f)->GetDirection(), b.GetFlow(f)->GetDirection());
      EXPECT_EQ(a.GetFlow(f)->GetSpringRate(), b.GetFlow(f)->GetSpringRate());
      EXPECT_EQ(a.GetFlow(f)->GetNeapRate(), b.GetFlow(f)->GetNeapRate());
    }
  }
  EXPECT_TRUE(db.GetAt(3)->IsEmpty());  // present byte 0
  EXPECT_EQ(db.GetAt(3)->GetFlowCount(), 0);
  EXPECT_EQ(db.GetAt(-1), db.GetAt(0));
  EXPECT_EQ(db.GetAt(4), db.GetAt(0));
}

TEST(DiamondTable, HemispheresComeFromTheSigns) {
  // Raw records: latitude north unless negative, longitude west unless negative.
  const struct {
    int latDeg;
    double latMin;
    int lonDeg;
    double lonMin;
    double lat, lon;
  } cases[] = {
      {50, 30.0, 1, 30.0, 50.5, -1.5},
      {-33, 30.0, -151, 30.0, -33.5, 151.5},
      {0, -30.0, 0, -30.0, -0.5, 0.5},
      {0, 30.0, 0, 30.0, 0.5, -0.5},
  };
  for (const auto& c : cases) {
    CMemFile file;
    {
      CArchive ar(&file, CArchive::store);
      ar << static_cast<int32_t>(CDiamondDB::kMagic) << static_cast<int32_t>(1);
      ar << static_cast<BYTE>(1) << static_cast<int32_t>(7);
      ar << static_cast<int32_t>(c.latDeg) << c.latMin << static_cast<int32_t>(c.lonDeg) << c.lonMin;
      ar << static_cast<int32_t>(5) << static_cast<int32_t>(1);
      ar << static_cast<int32_t>(1);
      ar.Write("A", 1);
      ar << static_cast<int32_t>(0);
      ar << static_cast<BYTE>(0);
      ar.Close();
    }
    CDiamondDB db(file.GetData(), static_cast<std::size_t>(file.GetLength()));
    ASSERT_EQ(db.Load(), 1);
    EXPECT_DOUBLE_EQ(db.GetAt(0)->GetPosition().GetLatitude(), c.lat);
    EXPECT_DOUBLE_EQ(db.GetAt(0)->GetPosition().GetLongitude(), c.lon);
    EXPECT_STREQ(db.GetAt(0)->GetName(), "A");
    EXPECT_EQ(db.GetAt(0)->GetReferencePortId(), 5);
    EXPECT_EQ(db.GetAt(0)->GetMinLevel(), 1);
  }
}

TEST(DiamondTable, BadTablesLeaveItUnloaded) {
  const std::vector<BYTE> good = TableBytes<CDiamondDB>(
      std::vector<CDiamondData>{Diamond(1, 50, 1.0, 1, 1, 1.0, 0), Diamond(2, 50, 2.0, 1, 1, 2.0, 0)});
  std::vector<std::vector<BYTE>> cases;
  // Every cut that loses part of a record (the trailing byte is never read).
  for (std::size_t cut = 0; cut + 1 < good.size(); ++cut) cases.emplace_back(good.begin(), good.begin() + cut);
  std::vector<BYTE> wrongMagic = good;
  wrongMagic[0] ^= 1;
  cases.push_back(wrongMagic);
  // The first name length (after present, number, two positions, port id and level) made huge
  // or negative; the first flow count made huge.
  const std::size_t nameLength = 8 + 1 + 4 + 12 + 12 + 4 + 4;
  for (BYTE top : {0x7F, 0x80}) {
    std::vector<BYTE> bad = good;
    bad[nameLength + 3] = top;
    cases.push_back(bad);
  }
  std::vector<BYTE> hugeFlows = good;
  hugeFlows[nameLength + 4 + 1 + 3] = 0x7F;
  cases.push_back(hugeFlows);

  for (const std::vector<BYTE>& bytes : cases) {
    CDiamondDB db(bytes.empty() ? nullptr : bytes.data(), bytes.size());
    EXPECT_EQ(db.Load(), 0) << bytes.size();
    EXPECT_FALSE(db.IsLoaded());
    EXPECT_EQ(db.GetAt(0), nullptr);
  }
  CDiamondDB whole(good.data(), good.size());
  EXPECT_EQ(whole.Load(), 1);
  CDiamondDB noTrailer(good.data(), good.size() - 1);
  EXPECT_EQ(noTrailer.Load(), 1);
}

TEST(DiamondStream, InterpolatesBetweenTheHours) {
  const CDiamondData d = Diamond(1, 50, 0.0, 1, 1, 0.0, 0);  // -6: 350, -5: 20, -4: 50 ...
  const struct {
    double hours, direction, spring;
  } cases[] = {
      {-6.0, 350.0, 1.0},   {-7.5, 350.0, 1.0}, {6.0, 350.0, 2.2},    {9.0, 350.0, 2.2},
      {-6.001, 350.0, 1.0}, {-6.5, 350.0, 1.0},  // before the first hour: its flow, never extrapolated
      {-5.5, 5.0, 1.05},    {-5.0, 20.0, 1.1},  {0.25, 177.5, 1.625},
  };
  for (const auto& c : cases) {
    const DIAMOND_STREAM s = d.GetStreamAt(c.hours);
    EXPECT_NEAR(s.direction, c.direction, 1e-9) << c.hours;
    EXPECT_NEAR(s.springRate, c.spring, 1e-9) << c.hours;
  }
  const DIAMOND_STREAM mean = d.GetStreamAt(-5.5);
  EXPECT_NEAR(mean.neapRate, 0.525, 1e-12);

  // Along the shorter arc either way, 360 kept as 360.
  const CDiamondData across = Flows({{-6, 350, 1, 1}, {-5, 10, 1, 1}, {-4, 350, 1, 1}});
  EXPECT_DOUBLE_EQ(across.GetStreamAt(-5.5).direction, 360.0);
  EXPECT_DOUBLE_EQ(across.GetStreamAt(-4.5).direction, 360.0);
  EXPECT_DOUBLE_EQ(across.GetStreamAt(-5.75).direction, 355.0);

  // No flows, or hours past the last flow of a short list: zeros.
  EXPECT_EQ(CDiamondData().GetStreamAt(0.0).springRate, 0.0);
  const DIAMOND_STREAM past = Flows({{-6, 90, 1, 1}, {-5, 100, 2, 2}}).GetStreamAt(3.0);
  EXPECT_EQ(past.direction, 0.0);
  EXPECT_EQ(past.springRate, 0.0);
}

TEST(DiamondRecord, CopiesOwnTheirFlows) {
  CDiamondData a = Diamond(1, 50, 0.0, 1, 1, 0.0, 0);
  CDiamondData b(a);
  CDiamondData c;
  c = a;
  a = CDiamondData();
  EXPECT_EQ(a.GetFlowCount(), 0);
  ASSERT_EQ(b.GetFlowCount(), 13);
  ASSERT_EQ(c.GetFlowCount(), 13);
  EXPECT_EQ(b.GetFlow(12)->GetDirection(), 350.0);
  EXPECT_EQ(b.GetFlow(13), nullptr);
}
