// Reads the shipped tidal-stream grid back through the engine's own exports: its extent covers
// the nine stream boxes with a step to spare, heights agree with the tide gauges it was fitted
// to, streams exist in the Channel and run along it, land and far offshore have none.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "engine/Ebbcalc32.h"

namespace {

class StreamGrid : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(std::filesystem::exists(NEAPWISE_STREAM_GRID)) << NEAPWISE_STREAM_GRID;
    ASSERT_EQ(EBC_SetHarmonicsFile(NEAPWISE_STREAM_GRID, "rg1.dat"), 0);
  }

  static int Stream(int mode, double lat, double lon, int hour, double& speed, double& direction) {
    double height = 0, u = 0, v = 0;
    // 8 March 2012: a spring tide in UK waters.
    return EBC_DoPrediction(2, mode, &lat, &lon, 8, 3, 2012, hour, 0, 0, 0.0, 0.0, &height, &u, &v, &speed, &direction);
  }
};

TEST_F(StreamGrid, CoversTheStreamBoxesWithAStepToSpare) {
  double east = 0, west = 0, north = 0, south = 0;
  ASSERT_EQ(EBC_ModelDomain(&east, &west, &north, &south, 0), 0);
  EXPECT_NEAR(west, -11.75 - 1.0 / 12, 1e-9);
  EXPECT_NEAR(east, 12.75 + 1.0 / 12, 1e-9);
  EXPECT_NEAR(north, 62.83333 + 1.0 / 18, 1e-4);
  EXPECT_NEAR(south, 48.16667 - 1.0 / 18, 1e-4);
}

struct Gauge {
  const char* name;
  double lat, lon, m2;  // M2 amplitude in metres, from the gauge's own constants
};

TEST_F(StreamGrid, HeightsAgreeWithTheGaugesItWasFittedTo) {
  const Gauge gauges[] = {{"Dover", 51.114389, 1.322528, 2.2535},
                          {"Newlyn", 50.103, -5.54275, 1.7116},
                          {"Cherbourg", 49.651447, -1.635508, 1.8684},
                          {"Aberdeen", 57.144028, -2.080222, 1.3008}};
  for (const Gauge& g : gauges) {
    // The gauge was fitted at the nearest sea node, which may be a step away.
    double lat = g.lat, lon = g.lon, best = 1e9;
    for (int dr = -1; dr <= 1; ++dr) {
      for (int dc = -1; dc <= 1; ++dc) {
        const double la = g.lat + dr / 18.0, lo = g.lon + dc / 12.0;
        const double d = std::hypot(dr / 18.0, dc / 12.0 * std::cos(g.lat * M_PI / 180));
        if (EBC_CheckIfValidLocation(la, lo) == 0 && d < best) {
          best = d;
          lat = la;
          lon = lo;
        }
      }
    }
    ASSERT_LT(best, 1.0) << g.name << " has no sea node near it";
    double m2[6], s2[6], o1[6], k1[6];
    const int status = EBC_GetHarmonicConstants(0, &lat, &lon, m2, s2, o1, k1);
    ASSERT_EQ(status, 0) << g.name;
    EXPECT_NEAR(m2[0], g.m2, 0.15 * g.m2) << g.name;
    EXPECT_GT(s2[0], 0.1 * g.m2) << g.name;
    EXPECT_LT(s2[0], 0.6 * g.m2) << g.name;
  }
}

TEST_F(StreamGrid, ChannelStreamsRunAlongTheChannel) {
  // Off the Isle of Wight: over a tidal cycle the strongest stream sets east or west.
  double best = 0, bestDir = 0;
  for (int hour = 0; hour < 13; ++hour) {
    double speed = 0, direction = 0;
    ASSERT_EQ(Stream(1, 50.5, -1.0, hour, speed, direction), 0) << hour;
    if (speed > best) {
      best = speed;
      bestDir = direction;
    }
  }
  EXPECT_GT(best, 0.3);
  EXPECT_LT(best, 3.0);
  const double fromEastWest = std::fabs(std::fmod(bestDir, 180.0) - 90.0);
  EXPECT_LT(fromEastWest, 35.0) << bestDir;
}

TEST_F(StreamGrid, LandHasNoDataAndFarOffshoreNoStream) {
  double lat = 52.5, lon = -1.5;  // the Midlands
  EXPECT_EQ(EBC_CheckIfValidLocation(lat, lon), 8);
  double speed = 0, direction = 0;
  EXPECT_EQ(Stream(0, 52.5, -1.5, 12, speed, direction), 8);
  // The open Atlantic, far from every gauge: heights yes, streams absent.
  EXPECT_EQ(EBC_CheckIfValidLocation(57.0, -11.5), 0);
  EXPECT_EQ(Stream(0, 57.0, -11.5, 12, speed, direction), 9);
  double h = 0, u = 0, v = 0;
  lat = 57.0;
  lon = -11.5;
  EXPECT_EQ(EBC_DoPrediction(1, 0, &lat, &lon, 8, 3, 2012, 12, 0, 0, 0.0, 0.0, &h, &u, &v, nullptr, nullptr), 0);
  EXPECT_LT(std::fabs(h), 3.0);
}

TEST_F(StreamGrid, SideFileHoldsTheDistanceToTheNearestGauge) {
  ASSERT_TRUE(std::filesystem::exists(NEAPWISE_STREAM_GRID_EXTRA));
  ASSERT_EQ(EBC_SetXtradataFile(NEAPWISE_STREAM_GRID_EXTRA), 0);
  double lat = 51.114389, lon = 1.322528, km = -2;  // Dover
  ASSERT_EQ(EBC_GetExtraData(&lat, &lon, 5, &km), 0);
  EXPECT_GE(km, 0.0);
  EXPECT_LT(km, 8.0);
  lat = 52.5;
  lon = -1.5;
  ASSERT_EQ(EBC_GetExtraData(&lat, &lon, 5, &km), 0);
  EXPECT_EQ(km, -1.0);
  double z0 = 1;
  ASSERT_EQ(EBC_GetExtraData(&lat, &lon, 2, &z0), 0);
  EXPECT_EQ(z0, 0.0);
}

}  // namespace
