// Reads the shipped diamond table "#294" through the model's own database and checks what the
// chart relies on: 13 hourly flows per diamond, levels 1-5, a standard reference port present in
// the port table, positions inside the stream boxes, one-letter names, sensible rates.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <vector>

#include "model/DiamondDB.h"
#include "model/PortDB.h"

namespace {

std::vector<char> ReadAll(const char* path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(DiamondTable, ReadsThroughTheModelWithEveryDiamondComplete) {
  const auto diamondBytes = ReadAll(NEAPWISE_TABLES_DIR "/294.bin");
  const auto portBytes = ReadAll(NEAPWISE_TABLES_DIR "/179.bin");
  ASSERT_FALSE(diamondBytes.empty());
  ASSERT_FALSE(portBytes.empty());
  CDiamondDB diamonds(diamondBytes.data(), diamondBytes.size());
  CPortDB ports(portBytes.data(), portBytes.size());
  ASSERT_EQ(diamonds.Load(), 1);
  ASSERT_EQ(ports.Load(), 1);
  ASSERT_GE(diamonds.GetCount(), 300);

  int levels[6] = {};
  std::vector<double> springOverNeap;
  for (int i = 0; i < diamonds.GetCount(); ++i) {
    const CDiamondData* d = diamonds.GetAt(i);
    ASSERT_NE(d, nullptr);
    ASSERT_FALSE(d->IsEmpty());
    ASSERT_GE(d->GetMinLevel(), 1);
    ASSERT_LE(d->GetMinLevel(), 5);
    ++levels[d->GetMinLevel()];
    EXPECT_EQ(d->GetNumber(), i + 1);
    EXPECT_EQ(d->GetName().GetLength(), 1);
    const CPortData* ref = ports.Lookup(d->GetReferencePortId());
    ASSERT_NE(ref, nullptr) << d->GetReferencePortId();
    EXPECT_EQ(ref->GetKind(), 2);
    const double lat = d->GetPosition().GetLatitude(), lon = d->GetPosition().GetLongitude();
    EXPECT_GE(lat, 48.16);
    EXPECT_LE(lat, 62.84);
    EXPECT_GE(lon, -11.76);
    EXPECT_LE(lon, 12.76);
    ASSERT_EQ(d->GetFlowCount(), 13);
    double peakSpring = 0, peakNeap = 0;
    for (int k = 0; k < 13; ++k) {
      const CDiamondFlowData* f = d->GetFlow(k);
      EXPECT_EQ(f->GetHour(), k - 6);
      EXPECT_GE(f->GetDirection(), 0.0);
      EXPECT_LT(f->GetDirection(), 360.0);
      EXPECT_GE(f->GetNeapRate(), 0.0);
      EXPECT_LT(f->GetSpringRate(), 7.0);
      peakSpring = std::max(peakSpring, f->GetSpringRate());
      peakNeap = std::max(peakNeap, f->GetNeapRate());
    }
    if (peakNeap > 0.2) springOverNeap.push_back(peakSpring / peakNeap);
    // At high water the diamond gives its 0-hour flow.
    const DIAMOND_STREAM at0 = d->GetStreamAt(0.0);
    EXPECT_DOUBLE_EQ(at0.springRate, d->GetFlow(6)->GetSpringRate());
  }
  for (int level = 1; level <= 5; ++level) EXPECT_GT(levels[level], 0) << level;
  // Springs run faster than neaps, by about the usual 1.5 to 2.5.
  ASSERT_FALSE(springOverNeap.empty());
  std::nth_element(springOverNeap.begin(), springOverNeap.begin() + springOverNeap.size() / 2, springOverNeap.end());
  const double median = springOverNeap[springOverNeap.size() / 2];
  EXPECT_GT(median, 1.2);
  EXPECT_LT(median, 3.0);
}

}  // namespace
