#include "model/PortDB.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "model/AngleFactorDB.h"
#include "model/Prediction.h"
#include "tests/model/ModelTables.h"

using model_test::Days;
using model_test::Port;
using model_test::TableBytes;

namespace {

template <class T>
T At(const std::vector<BYTE>& bytes, std::size_t offset) {
  T v;
  std::memcpy(&v, bytes.data() + offset, sizeof v);
  return v;
}

std::vector<CPortData> ThreePorts() {
  return {Port(0, 101, "Aberdeen"), Port(1, 0x10000 + 202, "Brest", 1), Port(2, 303, "Cuxhaven", 1)};
}

void ExpectSamePort(const CPortData& a, const CPortData& b) {
  EXPECT_EQ(a.GetIndex(), b.GetIndex());
  EXPECT_EQ(a.GetPortId(), b.GetPortId());
  EXPECT_STREQ(a.GetName(), b.GetName());
  EXPECT_EQ(a.GetMeanLevel(), b.GetMeanLevel());
  for (int i = 0; i < CPortData::kPairs; ++i) {
    EXPECT_EQ(a.GetPhase(i), b.GetPhase(i));
    EXPECT_EQ(a.GetAmplitude(i), b.GetAmplitude(i));
  }
  for (int i = 0; i < CPortData::kLevels; ++i) EXPECT_EQ(a.GetLevel(i), b.GetLevel(i));
  EXPECT_EQ(a.GetArea(), b.GetArea());
  EXPECT_EQ(a.GetKind(), b.GetKind());
  EXPECT_EQ(a.GetTimeZone(), b.GetTimeZone());
  EXPECT_EQ(a.GetReserved(), b.GetReserved());
  EXPECT_EQ(a.GetLatitude(), b.GetLatitude());
  EXPECT_EQ(a.GetLongitude(), b.GetLongitude());
}

class FakeFrame : public IPredictionFrame {
 public:
  FakeFrame(const CAngleFactorDB* table, CQsDateTime date) : m_table(table), m_date(date) {}
  CQsDateTime GetSelectedDate() const override { return m_date; }
  const CAngleFactorDB* GetAngleFactorDB() const override { return m_table; }

 private:
  const CAngleFactorDB* m_table;
  CQsDateTime m_date;
};

}  // namespace

TEST(PortTable, WritesTheRecordLayout) {
  CPortData p = Port(7, 1718, "Ab", 930);
  p.SetReserved(0);
  const std::vector<BYTE> bytes = TableBytes<CPortDB>(std::vector<CPortData>{p});
  // Header, then index before meanLevel, the name as a length byte and its characters, and
  // the port id last.
  ASSERT_EQ(bytes.size(), 8u + CPortData::kFixedRecordSize + 1 + 2);
  EXPECT_EQ(At<int32_t>(bytes, 0), 649);
  EXPECT_EQ(At<int32_t>(bytes, 4), 1);
  EXPECT_EQ(At<int32_t>(bytes, 8), 7);
  EXPECT_EQ(At<double>(bytes, 12), p.GetMeanLevel());
  EXPECT_EQ(bytes[20], 2);
  EXPECT_EQ(bytes[21], 'A');
  EXPECT_EQ(bytes[22], 'b');
  EXPECT_EQ(At<int32_t>(bytes, 23), p.GetPhase(CPortData::M2));
  EXPECT_EQ(At<double>(bytes, 27), p.GetAmplitude(CPortData::M2));
  const std::size_t levels = 23 + 6 * 12;
  EXPECT_EQ(At<double>(bytes, levels), 4.3);       // MHWS
  EXPECT_EQ(At<double>(bytes, levels + 24), 1.5);  // MLWN
  const std::size_t codes = levels + 32;
  EXPECT_EQ(At<int32_t>(bytes, codes), 3);        // area
  EXPECT_EQ(At<int32_t>(bytes, codes + 4), 2);    // kind
  EXPECT_EQ(At<int32_t>(bytes, codes + 8), 930);  // zone
  EXPECT_EQ(At<double>(bytes, codes + 16), p.GetLatitude());
  EXPECT_EQ(At<double>(bytes, codes + 24), p.GetLongitude());
  EXPECT_EQ(At<int32_t>(bytes, codes + 32), 1718);
}

TEST(PortTable, LoadsWhatWasWritten) {
  std::vector<CPortData> ports = ThreePorts();
  ports[2].SetName(std::string(300, 'x').c_str());  // a name with the longer length prefix
  ports[1].SetName("Île d'Yeu");                    // UTF-8 kept byte for byte
  const std::vector<BYTE> bytes = TableBytes<CPortDB>(ports);
  CPortDB db(bytes.data(), bytes.size());
  EXPECT_EQ(db.GetCount(), -1);
  EXPECT_EQ(db.GetPort(0), nullptr);
  EXPECT_EQ(db.Lookup(101), nullptr);
  ASSERT_EQ(db.Load(), 1);
  EXPECT_EQ(db.Load(), 0);
  ASSERT_EQ(db.GetCount(), 3);
  for (int i = 0; i < 3; ++i) ExpectSamePort(*db.GetPort(i), ports[i]);
}

TEST(PortTable, AWideNameIsMeasuredAsItIsRead) {
  // Brest's name stored as UTF-16, as older tables may hold it: the records after it must
  // still be found where they start.
  const std::vector<CPortData> ports = ThreePorts();
  std::vector<BYTE> bytes = TableBytes<CPortDB>(ports);
  const std::size_t name = 8 + CPortData::kFixedRecordSize + 1 + 8 + 12;  // after Aberdeen, then index and level
  ASSERT_EQ(bytes[name], 5);
  std::vector<BYTE> wide = {0xFF, 0xFE, 0xFF, 5};
  for (char c : std::string("Brest")) wide.insert(wide.end(), {static_cast<BYTE>(c), 0});
  bytes.erase(bytes.begin() + name, bytes.begin() + name + 6);
  bytes.insert(bytes.begin() + name, wide.begin(), wide.end());
  CPortDB db(bytes.data(), bytes.size());
  ASSERT_EQ(db.Load(), 1);
  for (int i = 0; i < 3; ++i) ExpectSamePort(*db.GetPort(i), ports[i]);
  ASSERT_NE(db.Lookup(303), nullptr);
  EXPECT_STREQ(db.Lookup(303)->GetName(), "Cuxhaven");

  // A second wide marker is refused by the reader, so the table is too.
  bytes.insert(bytes.begin() + name + 3, {0xFF, 0xFE, 0xFF});
  CPortDB twice(bytes.data(), bytes.size());
  EXPECT_EQ(twice.Load(), 0);
}

TEST(PortTable, GetPortAndLookup) {
  const std::vector<BYTE> bytes = TableBytes<CPortDB>(ThreePorts());
  CPortDB db(bytes.data(), bytes.size());
  EXPECT_EQ(db.GetPortPosition(1).GetLatitude(), 0.0);  // default before Load
  ASSERT_EQ(db.Load(), 1);
  EXPECT_EQ(db.GetPort(-1), db.GetPort(0));
  EXPECT_EQ(db.GetPort(3), db.GetPort(0));
  EXPECT_STREQ(db.GetPort(2)->GetName(), "Cuxhaven");
  // The id map keys on the low 16 bits.
  ASSERT_NE(db.Lookup(202), nullptr);
  EXPECT_STREQ(db.Lookup(202)->GetName(), "Brest");
  EXPECT_EQ(db.Lookup(0x10000 + 202), db.Lookup(202));
  EXPECT_EQ(db.Lookup(404), nullptr);
  EXPECT_NEAR(db.GetPortPosition(1).GetLatitude(), 51.5, 1e-9);
  EXPECT_NEAR(db.GetPortPosition(1).GetLongitude(), -1.25, 1e-9);
  EXPECT_NEAR(db.GetPortPosition(99).GetLatitude(), 50.5, 1e-9);
}

TEST(PortTable, LookupFindsTheLastRecordWithTheLowSixteenBits) {
  // Ids out of order, sharing their low 16 bits, at both ends of the range.
  const int ids[] = {5, 0x10005, 3, 5, 0xFFFF, 0, 0x20003, 70000};
  std::vector<CPortData> ports;
  for (int i = 0; i < 8; ++i) ports.push_back(Port(i, ids[i], "P"));
  const std::vector<BYTE> bytes = TableBytes<CPortDB>(ports);
  CPortDB db(bytes.data(), bytes.size());
  ASSERT_EQ(db.Load(), 1);
  for (int asked : {5, 0x10005, 3, 0xFFFF, -1, 0, 0x20003, 70000, 4, 6, 0xFFFE, 0x30000}) {
    int expected = -1;
    for (int i = 0; i < 8; ++i)
      if ((ids[i] & 0xFFFF) == (asked & 0xFFFF)) expected = i;
    const CPortData* found = db.Lookup(asked);
    if (expected < 0)
      EXPECT_EQ(found, nullptr) << asked;
    else
      EXPECT_EQ(found, db.GetPort(expected)) << asked;
  }
}

TEST(PortTable, WholeHourZoneCodesAreNormalisedOnLoad) {
  const int written[] = {1000, 1200, 1100, -1000, 930, 1030, -330, 10, -5, 0, 100};
  const int loaded[] = {10, 12, 11, -10, 930, 1030, -330, 10, -5, 0, 100};
  std::vector<CPortData> ports;
  for (int i = 0; i < 11; ++i) ports.push_back(Port(i, i + 1, "P", written[i]));
  const std::vector<BYTE> bytes = TableBytes<CPortDB>(ports);
  CPortDB db(bytes.data(), bytes.size());
  ASSERT_EQ(db.Load(), 1);
  for (int i = 0; i < 11; ++i) EXPECT_EQ(db.GetPort(i)->GetTimeZone(), loaded[i]) << written[i];
}

TEST(PortTable, BadTablesLeaveItUnloaded) {
  const std::vector<BYTE> good = TableBytes<CPortDB>(ThreePorts());
  std::vector<std::vector<BYTE>> cases;
  for (std::size_t cut = 0; cut < good.size(); ++cut) cases.emplace_back(good.begin(), good.begin() + cut);
  std::vector<BYTE> wrongMagic = good;
  wrongMagic[1] = 0;
  cases.push_back(wrongMagic);
  std::vector<BYTE> moreThanThere = good;
  moreThanThere[4] = 4;  // four records promised, three there
  cases.push_back(moreThanThere);
  std::vector<BYTE> hugeCount = good;
  hugeCount[7] = 0x7F;
  cases.push_back(hugeCount);
  // The first name's length prefix changed to 0xFF 0xFFFF and a 32-bit length of 2^31.
  std::vector<BYTE> hugeName(good.begin(), good.begin() + 20);
  for (BYTE b : {0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x80}) hugeName.push_back(b);
  hugeName.insert(hugeName.end(), good.begin() + 21, good.end());
  cases.push_back(hugeName);

  for (const std::vector<BYTE>& bytes : cases) {
    CPortDB db(bytes.empty() ? nullptr : bytes.data(), bytes.size());
    EXPECT_EQ(db.Load(), 0) << bytes.size();
    EXPECT_EQ(db.GetCount(), -1);
    EXPECT_EQ(db.GetPort(0), nullptr);
    EXPECT_EQ(db.Lookup(101), nullptr);
  }
}

TEST(PortRecord, CopiesKeepOrLeaveThePrediction) {
  CPortData a = Port(4, 44, "Dover", 0);
  a.CreatePrediction(nullptr);
  ASSERT_NE(a.GetPrediction(), nullptr);

  CPortData copy(a);
  ExpectSamePort(copy, a);
  EXPECT_EQ(copy.GetPrediction(), nullptr);

  CPortData b = Port(5, 55, "Erith", 1);
  b.CreatePrediction(nullptr);
  CPrediction* own = b.GetPrediction();
  b = a;
  ExpectSamePort(b, a);
  EXPECT_EQ(b.GetPrediction(), own);

  a.DeletePrediction();
  b.DeletePrediction();
  EXPECT_EQ(a.GetPrediction(), nullptr);
}

TEST(PortRecord, CreatePredictionTakesTheFramesDate) {
  const std::vector<BYTE> table = TableBytes<CAngleFactorDB>(Days(100, 2015, 6, 29, 3));
  CAngleFactorDB days(table.data(), table.size());
  ASSERT_EQ(days.Load(), 1);
  CPortData port = Port(0, 9, "Fowey", 0);

  FakeFrame frame(&days, CQsDateTime(2015, 6, 30, 0, 0, 0));
  port.CreatePrediction(&frame);
  ASSERT_NE(port.GetPrediction(), nullptr);
  EXPECT_EQ(port.GetPrediction()->GetToday().GetId(), 101);
  EXPECT_EQ(port.GetPrediction()->GetNextDay().GetId(), 102);
  EXPECT_STREQ(port.GetPrediction()->GetPortName(), "Fowey");

  // The table's last day has no next day: the new prediction keeps default records.
  FakeFrame last(&days, CQsDateTime(2015, 7, 1, 0, 0, 0));
  port.CreatePrediction(&last);
  EXPECT_EQ(port.GetPrediction()->GetToday().GetId(), 0);
  EXPECT_TRUE(port.GetPrediction()->GetDate() == CQsDateTime());

  // Through the registered frame, and with none.
  SetPredictionFrame(&frame);
  port.CreatePrediction();
  EXPECT_EQ(port.GetPrediction()->GetToday().GetId(), 101);
  SetPredictionFrame(nullptr);
  port.CreatePrediction();
  EXPECT_EQ(port.GetPrediction()->GetToday().GetId(), 0);
  port.DeletePrediction();
}

TEST(PortTable, EmbeddedTableIsAbsentOrLoads) {
  CPortDB db;
  if (db.Load() == 0) GTEST_SKIP() << "no embedded port table in this build";
  ASSERT_GT(db.GetCount(), 0);
  for (int i = 0; i < db.GetCount(); ++i) {
    const int zone = db.GetPort(i)->GetTimeZone();
    EXPECT_FALSE((zone > 100 || zone < -100) && zone % 100 == 0) << i;
  }
}

// Ports are made from their bytes when first asked for. Names of every length prefix (short,
// 255 bytes and more) and of several blocks of records; threads let go at once ask for them by
// index and by id; and a prediction made through a late port is the table's to delete.
TEST(PortTable, PortsAskedForFromManyThreadsAtOnceAreThoseWritten) {
  constexpr int kCount = 300;
  std::vector<CPortData> ports;
  for (int i = 0; i < kCount; ++i) {
    std::string name = "Port " + std::to_string(i) + " " +
                       std::string(static_cast<std::size_t>(i % 7 == 0 ? 250 + i % 30 : i % 40), 'x');
    if (i == 17) name = "Île de Bréhat";
    ports.push_back(Port(i, 1000 + i, name.c_str(), i % 3 == 0 ? 1000 : 0));
  }
  ports[kCount - 1].SetPortId(0x10000 + 1000 + 5);  // the same low 16 bits as port 5: the last one wins
  const std::vector<BYTE> bytes = TableBytes<CPortDB>(ports);
  const std::vector<BYTE> dayBytes = TableBytes<CAngleFactorDB>(Days(100, 2015, 6, 29, 3));
  CAngleFactorDB days(dayBytes.data(), dayBytes.size());
  ASSERT_EQ(days.Load(), 1);
  for (int round = 0; round < 10; ++round) {
    CPortDB db(bytes.data(), bytes.size());
    ASSERT_EQ(db.Load(), 1);
    ASSERT_EQ(db.GetCount(), kCount);
    const int wrong = model_test::WrongAnswersFromThreadsAtOnce(6, [&](int t) {
      int n = 0;
      for (int i = 0; i < kCount; ++i) {
        const bool byId = t % 2 != 0;
        const CPortData* got = byId ? db.Lookup(ports[static_cast<std::size_t>(i)].GetPortId()) : db.GetPort(i);
        const CPortData& expected = ports[static_cast<std::size_t>(byId && i == 5 ? kCount - 1 : i)];
        if (!got || got->GetPortId() != expected.GetPortId() || std::strcmp(got->GetName(), expected.GetName()) != 0 ||
            got->GetLatitude() != expected.GetLatitude() ||
            got->GetAmplitude(CPortData::M2) != expected.GetAmplitude(CPortData::M2))
          ++n;
      }
      return n;
    });
    ASSERT_EQ(wrong, 0) << "round " << round;
    for (int i = 0; i < kCount; ++i) {
      CPortData written = ports[static_cast<std::size_t>(i)];
      if (i % 3 == 0) written.SetTimeZone(10);  // 1000 is read as whole hours
      ExpectSamePort(*db.GetPort(i), written);
    }
    FakeFrame frame(&days, CQsDateTime(2015, 6, 30, 0, 0, 0));
    db.GetPort(kCount - 2)->CreatePrediction(&frame);
    ASSERT_NE(db.GetPort(kCount - 2)->GetPrediction(), nullptr);
  }
}
