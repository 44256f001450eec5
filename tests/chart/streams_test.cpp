// The chart's stream picture as the view drives it: the grid of a client area, the regions
// without streams, a new date moving the route and forgetting the predictions, and what follows
// a new picture.
#include <gtest/gtest.h>

#include <atomic>

#include "chart/ChartStreams.h"
#include "engine/Ebbcalc32.h"

namespace {

class FakeView : public IChartStreamsHost, public IChartRoutesHost {
 public:
  int region = 1;
  int width = 1920, height = 1080;
  CQsDateTime date{2026, 6, 14, 0, 0, 0};
  int zone = 60;
  int invalidations = 0;
  std::vector<std::string> problems;

  int GetRegion() const override { return region; }
  BOOL IsVisible() const override { return TRUE; }
  void GetClientSize(int& w, int& h) const override {
    w = width;
    h = height;
  }
  void GetExtents(double& w, double& e, double& n, double& s) const override {
    w = -7.0;
    e = 5.0;
    n = 53.5;
    s = 48.5;
  }
  std::function<bool(double, double)> MakeVisibleTest() const override {
    return [](double, double) { return true; };
  }
  CQsDateTime GetSelectedDate() const override { return date; }
  int GetZoneOffsetMinutes() const override { return zone; }
  BOOL IsDiamondsOptionOn() const override { return FALSE; }
  int GetDetailLevel() const override { return 0; }
  const CDiamondDB* GetDiamondDB() const override { return nullptr; }
  CPortDB* GetPortDB() const override { return nullptr; }
  const CAngleFactorDB* GetAngleFactorDB() const override { return nullptr; }
  HWND GetStreamsNotifyWindow() const override { return nullptr; }
  void InvalidateLayers() override { ++invalidations; }
  void ReportProblem(const CString& s) override { problems.push_back(s.GetStdString()); }
  HWND GetTrackNotifyWindow() const override { return nullptr; }
  void RedrawRoutes() override {}
};

class ChartStreamsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    routes.SetHost(&view);
    routes.SetStreamSource([](const CPosition&, const CQsDateTime&) { return TIDAL_STREAM{}; });
    streams.SetHost(&view);
    streams.SetStreamFunction([this](int, double, double, const CQsDateTime& gmt, double& s, double& d) {
      ++cells;
      lastGmt = gmt;
      s = 1.5;
      d = 45.0;
      return status.load();
    });
  }
  void TearDown() override {
    streams.Stop();
    routes.Detach();
    EXPECT_TRUE(CDMLock::TakeOrderBreaches().empty());
  }
  FakeView view;
  CChartRoutes routes;
  CChartStreams streams{routes};
  std::atomic<int> cells{0};
  std::atomic<int> status{0};
  CQsDateTime lastGmt;
};

TEST_F(ChartStreamsTest, AFullScreenChartGetsFiftyPixelCellsAtTheStreamTimeInGmt) {
  streams.SetStreamTime(CQsDateTime(2005, 1, 1, 14, 20, 0));
  streams.GetWorker().Wait();
  int cols = 0, rows = 0;
  double rate = 0;
  streams.GetWorker().ReadGrid([&](const CTidalStreamGrid* g) {
    ASSERT_NE(g, nullptr);
    cols = g->GetCols();
    rows = g->GetRows();
    EXPECT_TRUE(g->GetTime() == CQsDateTime(2026, 6, 14, 14, 20, 0));
    rate = g->GetRate(10, 10);
  });
  EXPECT_EQ(cols, 38);
  EXPECT_EQ(rows, 21);
  EXPECT_EQ(rate, 1.5);
  EXPECT_GT(cells.load(), 0);
  EXPECT_TRUE(lastGmt == CQsDateTime(2026, 6, 14, 13, 20, 0));
}

TEST_F(ChartStreamsTest, RegionsWithoutStreamsStartNothing) {
  view.region = 2;
  streams.SetStreamTime(CQsDateTime(2005, 1, 1, 10, 0, 0));
  streams.GetWorker().Wait();
  EXPECT_EQ(streams.GetWorker().GetPublishCount(), 0);
  EXPECT_EQ(cells.load(), 0);
  // A zoom box starts a worker in any region; no cell there is in a stream region.
  view.region = 8;
  streams.StartStreamWorker();
  streams.GetWorker().Wait();
  EXPECT_EQ(streams.GetWorker().GetPublishCount(), 1);
}

TEST_F(ChartStreamsTest, ANewDateMovesTheRouteAndRecomputesItWhenThePictureIsIn) {
  CMapRoute route;
  route.SetStart(CQsDateTime(2026, 6, 1, 9, 30, 0));
  route.AddPoint(50.0, -2.0);
  route.AddPoint(50.2, -1.8);
  routes.SetRoute(&route);
  routes.WaitForTrack();
  view.date = CQsDateTime(2026, 7, 4, 0, 0, 0);
  streams.SetDate(view.date);
  EXPECT_TRUE(route.GetStart() == CQsDateTime(2026, 7, 4, 9, 30, 0));
  EXPECT_TRUE(streams.IsRouteRecomputePending());
  streams.GetWorker().Wait();
  const int before = view.invalidations;
  streams.OnStreamsReady();
  EXPECT_FALSE(streams.IsRouteRecomputePending());
  routes.WaitForTrack();
  {
    CDMLockHold drift(routes.GetDriftLock());
    EXPECT_NE(route.GetTrack(), nullptr);
  }
  EXPECT_GT(view.invalidations, before);
  routes.ClearRoute();
}

TEST_F(ChartStreamsTest, ADataFileFaultIsToldOnceOnTheWindowThread) {
  status = EBC_ERR_FILE_OPEN;
  for (int i = 0; i < 3; ++i) {
    streams.RecalculateStreams();
    streams.GetWorker().Wait();
    streams.OnStreamsReady();
  }
  ASSERT_EQ(view.problems.size(), 1u);
  EXPECT_NE(view.problems[0].find("dlldata.dat"), std::string::npos);
}

}  // namespace
