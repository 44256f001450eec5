// The route-track worker: dead reckoning with the stream, its samples, cancelling, and the
// chart's route edits around it (no worker outlives its route).
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "chart/ChartRoutes.h"
#include "chart/RouteTrack.h"
#include "platform/ui/AfxWin.h"
#include "platform/ui/MsgBox.h"

namespace {

constexpr double kKnots = 1.94384449;

ROUTE_TRACK_NODE* LastNode(ROUTE_TRACK_NODE* n) {
  while (n && n->next) n = n->next;
  return n;
}

int Count(const ROUTE_TRACK_NODE* n) {
  int k = 0;
  for (; n; n = n->next) ++k;
  return k;
}

struct Track {
  ROUTE_TRACK_NODE* head = nullptr;
  ~Track() { CMapRoute::FreeTrackNodes(head); }
};

ROUTE_STREAM_SOURCE Uniform(double rate, double direction) {
  return [=](const CPosition&, const CQsDateTime&) { return TIDAL_STREAM{rate, direction}; };
}

// A leg due north on a meridian: every move is along it, so the closed form is exact.
TEST(RouteTrack, UniformStreamOffsetIsRateTimesTime) {
  CMapRoute route;
  route.SetSpeed(6.0);
  route.AddPoint(50.0, -2.0);
  route.AddPoint(51.0, -2.0);
  const ROUTE_TRACK_PLAN plan = ROUTE_TRACK_PLAN::FromRoute(route, 0);
  ASSERT_EQ(plan.legs.size(), 1u);
  const int n = plan.legs[0].minutes;
  EXPECT_EQ(n, static_cast<int>(route.GetFirstPoint()->GetLegDistance() / 6.0 * 60.0));

  struct Case {
    double rate;  // metres per second
    double direction;
  };
  for (const Case c : {Case{0.0, 0.0}, Case{1.0, 0.0}, Case{0.5, 180.0}, Case{2.0, 0.0}}) {
    Track t;
    t.head = ComputeRouteTrack(plan, Uniform(c.rate, c.direction), nullptr);
    ASSERT_NE(t.head, nullptr);
    EXPECT_EQ(t.head->latitude, 50.0);
    const double along = c.direction == 0.0 ? c.rate : -c.rate;
    // Speed through the water plus the set, in miles, over the leg's minutes; a mile is a
    // minute of latitude.
    const double expected = 50.0 + (6.0 + along * kKnots) * n / 60.0 / 60.0;
    EXPECT_NEAR(LastNode(t.head)->latitude, expected, 1e-6) << c.rate << " " << c.direction;
    EXPECT_NEAR(LastNode(t.head)->longitude, -2.0, 1e-9);
  }
}

TEST(RouteTrack, CrossStreamSetsTheBoatSideways) {
  CMapRoute route;
  route.SetSpeed(5.0);
  route.AddPoint(50.0, -2.0);
  route.AddPoint(50.5, -2.0);
  const ROUTE_TRACK_PLAN plan = ROUTE_TRACK_PLAN::FromRoute(route, 0);
  const int n = plan.legs[0].minutes;
  Track still, set;
  still.head = ComputeRouteTrack(plan, Uniform(0.0, 0.0), nullptr);
  set.head = ComputeRouteTrack(plan, Uniform(1.0, 90.0), nullptr);
  const ROUTE_TRACK_NODE* a = LastNode(still.head);
  const ROUTE_TRACK_NODE* b = LastNode(set.head);
  const double offset = GreatCircleDistance(CPosition(a->latitude, a->longitude), CPosition(b->latitude, b->longitude));
  EXPECT_NEAR(offset, 1.0 * kKnots * n / 60.0, 0.01 * kKnots * n / 60.0);
  EXPECT_GT(b->longitude, a->longitude) << "an east-going stream sets the boat east";
}

TEST(RouteTrack, WithoutStreamTheTrackLiesOnTheLegs) {
  CMapRoute route;
  route.SetSpeed(7.0);
  route.AddPoint(50.0, -1.0);
  route.AddPoint(50.3, -0.5);
  route.AddPoint(50.1, 0.2);
  Track t;
  t.head = ComputeRouteTrack(ROUTE_TRACK_PLAN::FromRoute(route, 0), Uniform(0.0, 0.0), nullptr);
  const ROUTE_TRACK_NODE* end = LastNode(t.head);
  // Within the minute each leg loses to truncation (and the rhumb/great-circle difference).
  const double miss =
      GreatCircleDistance(CPosition(end->latitude, end->longitude), route.GetLastPoint()->GetPosition());
  EXPECT_LT(miss, 2 * 7.0 / 60.0 + 0.05);
}

TEST(RouteTrack, SamplesEveryTwoMinutesAtMinuteIMinusOneInGmt) {
  CMapRoute route;
  route.SetSpeed(6.0);
  route.SetStart(CQsDateTime(2026, 6, 14, 10, 0, 0));
  route.AddPoint(50.0, -2.0);
  route.AddPoint(50.0 + 9.0 / 60.0 * 0.1, -2.0);                         // about 0.9 miles: 8 or 9 minutes
  const ROUTE_TRACK_PLAN plan = ROUTE_TRACK_PLAN::FromRoute(route, 60);  // display zone GMT+1
  const int n = plan.legs[0].minutes;
  ASSERT_GE(n, 5);
  std::vector<CQsDateTime> asked;
  Track t;
  t.head = ComputeRouteTrack(
      plan,
      [&](const CPosition&, const CQsDateTime& gmt) {
        asked.push_back(gmt);
        return TIDAL_STREAM{};
      },
      nullptr);
  std::vector<int> steps;
  for (int i = 1; i <= n; ++i)
    if (i % 2 == 0 || i == n) steps.push_back(i);
  ASSERT_EQ(asked.size(), steps.size());
  for (size_t k = 0; k < steps.size(); ++k) {
    CQsDateTime expect(2026, 6, 14, 9, 0, 0);
    expect.AddMinutes(steps[k] - 1);
    EXPECT_TRUE(asked[k] == expect) << asked[k].Format("%H:%M").GetString();
  }
  EXPECT_EQ(Count(t.head), 1 + static_cast<int>(steps.size()));
}

TEST(RouteTrack, ShortFirstLegGivesOnlyTheStartAndTheNextLegGoesOn) {
  CMapRoute route;
  route.SetSpeed(6.0);
  route.AddPoint(50.0, -2.0);
  route.AddPoint(50.0005, -2.0);  // 0.03 miles: no whole minute
  route.AddPoint(50.1, -2.0);
  const ROUTE_TRACK_PLAN plan = ROUTE_TRACK_PLAN::FromRoute(route, 0);
  ASSERT_EQ(plan.legs[0].minutes, 0);
  Track t;
  t.head = ComputeRouteTrack(plan, Uniform(0.0, 0.0), nullptr);
  ASSERT_NE(t.head, nullptr);
  EXPECT_EQ(t.head->latitude, 50.0);
  ASSERT_NE(t.head->next, nullptr);
  EXPECT_GT(t.head->next->latitude, 50.0);
}

TEST(RouteTrack, EmptyAndOnePointRoutesHaveNoTrackAndCancelDropsTheNodes) {
  CMapRoute empty, one, longRoute;
  one.AddPoint(50, -1);
  EXPECT_EQ(ComputeRouteTrack(ROUTE_TRACK_PLAN::FromRoute(empty, 0), Uniform(1, 0), nullptr), nullptr);
  EXPECT_EQ(ComputeRouteTrack(ROUTE_TRACK_PLAN::FromRoute(one, 0), Uniform(1, 0), nullptr), nullptr);
  longRoute.AddPoint(50, -1);
  longRoute.AddPoint(51, -1);
  int tests = 0;
  bool cancelled = false;
  ROUTE_TRACK_NODE* t = ComputeRouteTrack(
      ROUTE_TRACK_PLAN::FromRoute(longRoute, 0), Uniform(1, 0), [&] { return ++tests > 10; }, &cancelled);
  EXPECT_EQ(t, nullptr);
  EXPECT_TRUE(cancelled);
  EXPECT_EQ(tests, 11) << "the cancel is asked before every sample";
}

// ---- The chart's route side with its worker ----

class FakeHost : public IChartRoutesHost {
 public:
  int region = 1;
  int zone = 0;
  CQsDateTime date{2026, 6, 20, 0, 0, 0};
  int redraws = 0;
  int GetRegion() const override { return region; }
  int GetZoneOffsetMinutes() const override { return zone; }
  CQsDateTime GetSelectedDate() const override { return date; }
  HWND GetTrackNotifyWindow() const override { return nullptr; }
  void RedrawRoutes() override { ++redraws; }
};

class FakeList : public IRouteList {
 public:
  explicit FakeList(CChartRoutes& chart) : m_chart(chart) {}
  std::vector<CMapRoute*> routes;
  int refreshes = 0, changes = 0;
  CMapRoute* bold = nullptr;
  ~FakeList() override {
    for (CMapRoute* r : routes) delete r;
  }
  void AddRoute(CMapRoute* r) override { routes.push_back(r); }
  void RefreshRoute(CMapRoute*) override { ++refreshes; }
  void DeleteRoute(CMapRoute* r) override {
    m_chart.ForgetRoute(r);
    std::erase(routes, r);
    delete r;
  }
  void RoutesChanged() override { ++changes; }
  void SelectPointItem(CRoutePoint*) override {}
  void ShowCurrentRoute(CMapRoute* r) override { bold = r; }

 private:
  CChartRoutes& m_chart;
};

class ChartRoutesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AfxWinInit(0, nullptr);
    chart.SetHost(&host);
    chart.SetRouteList(&list);
    chart.SetStreamSource(Uniform(0.5, 90.0));
    AfxSetMessageBoxHook([this](const AFX_MSGBOX_REQUEST& r) {
      boxes.push_back(r.text);
      const int a = answers.empty() ? IDNO : answers.front();
      if (!answers.empty()) answers.erase(answers.begin());
      return a;
    });
  }
  void TearDown() override {
    chart.AbortDrift();
    AfxSetMessageBoxHook(nullptr);
    EXPECT_TRUE(CDMLock::TakeOrderBreaches().empty());
  }
  CMapRoute* MakeRoute(int points) {
    auto* r = new CMapRoute;
    for (int i = 0; i < points; ++i) r->AddPoint(50.0 + 0.1 * i, -1.0);
    list.AddRoute(r);
    return r;
  }
  ROUTE_TRACK_NODE* TrackOf(CMapRoute* r) {
    CDMLockHold hold(chart.GetDriftLock());
    return r->GetTrack();
  }
  FakeHost host;
  CChartRoutes chart;
  FakeList list{chart};
  std::vector<std::string> boxes;
  std::vector<int> answers;
};

TEST_F(ChartRoutesTest, SettingARouteMovesItsDateAndComputesItsTrack) {
  CMapRoute* r = MakeRoute(3);
  r->SetStart(CQsDateTime(2005, 1, 1, 8, 15, 0));
  chart.SetRoute(r);
  EXPECT_EQ(list.bold, r);
  EXPECT_TRUE(r->GetStart() == CQsDateTime(2026, 6, 20, 8, 15, 0));
  chart.WaitForTrack();
  ASSERT_NE(TrackOf(r), nullptr);
  EXPECT_GT(LastNode(TrackOf(r))->longitude, -1.0) << "the east-going stream set the track east";
  EXPECT_LT(chart.GetLongestAbortWaitMs(), 1000.0);
}

TEST_F(ChartRoutesTest, OutsideTheStreamRegionsNoTrackIsComputed) {
  host.region = 2;
  CMapRoute* r = MakeRoute(3);
  chart.SetRoute(r);
  EXPECT_FALSE(chart.IsTrackRunning());
  EXPECT_EQ(TrackOf(r), nullptr);
}

TEST_F(ChartRoutesTest, DeletingTheRouteStopsItsWorkerFirst) {
  std::mutex m;
  std::condition_variable cv;
  bool entered = false, release = false;
  std::atomic<int> calls{0};
  chart.SetStreamSource([&](const CPosition&, const CQsDateTime&) {
    if (calls++ == 0) {
      std::unique_lock<std::mutex> lock(m);
      entered = true;
      cv.notify_all();
      cv.wait(lock, [&] { return release; });
    }
    return TIDAL_STREAM{0.3, 45.0};
  });
  CMapRoute* r = MakeRoute(2);
  r->SetSpeed(0.1);  // hours of passage: the worker is still at it when the route goes
  chart.SetRoute(r);
  {
    std::unique_lock<std::mutex> lock(m);
    ASSERT_TRUE(cv.wait_for(lock, std::chrono::seconds(10), [&] { return entered; }));
  }
  std::thread releaser([&] {
    std::lock_guard<std::mutex> lock(m);
    release = true;
    cv.notify_all();
  });
  list.DeleteRoute(r);  // through ForgetRoute: cancel, wait, let go
  releaser.join();
  EXPECT_FALSE(chart.IsTrackRunning());
  EXPECT_EQ(chart.GetRoute(), nullptr);
  EXPECT_EQ(list.bold, nullptr);
  const int after = calls.load();
  chart.AbortDrift();
  chart.WaitForTrack();  // the cancelled worker ends at its next sample, without another
  EXPECT_EQ(calls.load(), after) << "a worker ran on after its route was deleted";
}

TEST_F(ChartRoutesTest, DeletingAMiddlePointRelinksAndRecomputes) {
  CMapRoute* r = MakeRoute(3);
  chart.SetRoute(r);
  CRoutePoint* middle = r->GetFirstPoint()->GetNext();
  middle->SetFlag(1);
  chart.SetContextPoint(middle);
  answers = {IDYES};
  chart.DeleteSelectedRoutePoint();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], "Delete this point from the route\r\n\r\nAre you sure?");
  EXPECT_EQ(r->GetPointCount(), 2);
  EXPECT_EQ(r->GetFirstPoint()->GetNext(), r->GetLastPoint());
  EXPECT_EQ(r->GetLastPoint()->GetPrev(), r->GetFirstPoint());
  EXPECT_EQ(r->GetFirstSelected(), nullptr);
  EXPECT_EQ(chart.GetContextPoint(), nullptr);
  EXPECT_GE(list.refreshes, 1);
  EXPECT_EQ(list.changes, 1);
}

TEST_F(ChartRoutesTest, DeletingTheOnlyPointAsksAgainAndRemovesTheRoute) {
  struct Case {
    std::vector<int> answers;
    size_t boxes;
    bool routeGone;
  };
  for (const Case& c : {Case{{IDNO}, 1, false}, Case{{IDYES, IDNO}, 2, false}, Case{{IDYES, IDYES}, 2, true}}) {
    boxes.clear();
    CMapRoute* r = MakeRoute(1);
    chart.SetRoute(r);
    chart.SetContextPoint(r->GetFirstPoint());
    answers = c.answers;
    chart.DeleteSelectedRoutePoint();
    EXPECT_EQ(boxes.size(), c.boxes);
    if (c.boxes == 2) {
      EXPECT_EQ(boxes[1], "This will totally remove this route\r\n\r\nAre you sure?");
    }
    const bool gone = std::find(list.routes.begin(), list.routes.end(), r) == list.routes.end();
    EXPECT_EQ(gone, c.routeGone);
    if (gone) {
      EXPECT_EQ(chart.GetRoute(), nullptr);
      EXPECT_EQ(chart.GetContextPoint(), nullptr);
    } else {
      EXPECT_EQ(r->GetPointCount(), 1);
    }
  }
}

TEST_F(ChartRoutesTest, AnEmptyRouteIsNeverFollowedIntoItsWaypoints) {
  CMapRoute* r = MakeRoute(0);
  chart.SetRoute(r);
  chart.WaitForTrack();
  EXPECT_EQ(TrackOf(r), nullptr);
  r->Reverse();
  r->CalcPointTimes();
  EXPECT_FALSE(r->ClearSelection());
  chart.OnRouteChanged(r);
  chart.SetContextPoint(nullptr);
  chart.DeleteSelectedRoutePoint();  // nothing to delete, nothing asked
  EXPECT_TRUE(boxes.empty());
  chart.WaitForTrack();
  EXPECT_EQ(TrackOf(r), nullptr);
}

TEST_F(ChartRoutesTest, AContextPointOfARouteAlreadyGoneIsNotTouched) {
  CMapRoute* keep = MakeRoute(2);
  CMapRoute* gone = MakeRoute(2);
  chart.SetContextPoint(gone->GetFirstPoint());
  list.DeleteRoute(gone);  // the chart forgets the context point with the route
  EXPECT_EQ(chart.GetContextPoint(), nullptr);
  answers = {IDYES};
  chart.DeleteSelectedRoutePoint();
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(keep->GetPointCount(), 2);
}

TEST_F(ChartRoutesTest, AddingPointsMakesANewRouteAtNoonOfTheSelectedDate) {
  CRoutePoint* p = chart.AddPointAt(50.5, -1.5);
  ASSERT_NE(p, nullptr);
  ASSERT_EQ(list.routes.size(), 1u);
  CMapRoute* r = list.routes[0];
  EXPECT_EQ(chart.GetRoute(), r);
  EXPECT_EQ(r->GetName(), CString("New Route"));
  EXPECT_EQ(p->GetName(), CString("Point 1"));
  EXPECT_TRUE(r->GetStart() == CQsDateTime(2026, 6, 20, 12, 0, 0));
  chart.AddPointAt(50.6, -1.4);
  EXPECT_EQ(r->GetLastPoint()->GetName(), CString("Point 2"));
  chart.WaitForTrack();
  EXPECT_NE(TrackOf(r), nullptr);
}

TEST_F(ChartRoutesTest, ManyQuickEditsLeaveOneWorkerAndTheNewestTrack) {
  CMapRoute* r = MakeRoute(2);
  chart.SetRoute(r);
  for (int i = 0; i < 50; ++i) chart.AddPointAt(50.2 + 0.01 * i, -1.0 + 0.01 * i);
  chart.WaitForTrack();
  const ROUTE_TRACK_NODE* end = LastNode(TrackOf(r));
  ASSERT_NE(end, nullptr);
  // The newest track reaches (about) the last waypoint, set a little east by the stream.
  EXPECT_NEAR(end->latitude, r->GetLastPoint()->GetLatitude(), 0.05);
}

}  // namespace
