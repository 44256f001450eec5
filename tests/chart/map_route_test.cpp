// Routes and waypoints: links, the selection list, times and reversing.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "chart/MapRoute.h"

namespace {

std::vector<std::string> Names(const CMapRoute& r) {
  std::vector<std::string> out;
  const CRoutePoint* prev = nullptr;
  for (const CRoutePoint* p = r.GetFirstPoint(); p; prev = p, p = p->GetNext()) {
    EXPECT_EQ(p->GetPrev(), prev) << p->GetName().GetString();
    EXPECT_EQ(p->GetRoute(), &r);
    out.push_back(p->GetName().GetStdString());
  }
  EXPECT_EQ(r.GetLastPoint(), prev);
  return out;
}

std::vector<std::string> Selected(const CMapRoute& r) {
  std::vector<std::string> out;
  const CRoutePoint* prev = nullptr;
  for (const CRoutePoint* p = r.GetFirstSelected(); p; prev = p, p = p->GetNextSelected()) {
    EXPECT_EQ(p->GetPrevSelected(), prev);
    EXPECT_TRUE(p->IsSelected());
    out.push_back(p->GetName().GetStdString());
  }
  EXPECT_EQ(r.GetLastSelected(), prev);
  return out;
}

using V = std::vector<std::string>;

void Build(CMapRoute& r, int n) {
  for (int i = 0; i < n; ++i) r.AddPoint(50.0 + i * 0.1, -1.0);
}

TEST(MapRoute, NewRouteAndPointNames) {
  CMapRoute r;
  EXPECT_EQ(r.GetName(), CString("New Route"));
  EXPECT_EQ(r.GetSpeed(), 5.0);
  EXPECT_TRUE(r.GetStart() == CQsDateTime(2005, 1, 1, 12, 0, 0));
  EXPECT_TRUE(r.IsEmpty());
  Build(r, 3);
  EXPECT_EQ(Names(r), (V{"Point 1", "Point 2", "Point 3"}));
}

struct DeleteCase {
  int which;  // index of the waypoint to delete
  V selectBefore;
  V left;
  V selectedAfter;
};

TEST(MapRoute, DeletePointMendsLinksAndTheSelection) {
  const DeleteCase cases[] = {
      {0, {}, {"Point 2", "Point 3", "Point 4"}, {}},
      {1, {"Point 2"}, {"Point 1", "Point 3", "Point 4"}, {}},
      {3, {"Point 4", "Point 1"}, {"Point 1", "Point 2", "Point 3"}, {"Point 1"}},
      {2, {"Point 1", "Point 3", "Point 4"}, {"Point 1", "Point 2", "Point 4"}, {"Point 1", "Point 4"}},
  };
  for (const DeleteCase& c : cases) {
    CMapRoute r;
    Build(r, 4);
    std::vector<CRoutePoint*> points;
    for (CRoutePoint* p = r.GetFirstPoint(); p; p = p->GetNext()) points.push_back(p);
    for (const std::string& s : c.selectBefore)
      for (CRoutePoint* p : points)
        if (p->GetName().GetStdString() == s) p->SetFlag(1);
    ASSERT_TRUE(r.DeletePoint(points[c.which]));
    EXPECT_EQ(Names(r), c.left) << "deleting " << c.which;
    EXPECT_EQ(Selected(r), c.selectedAfter) << "deleting " << c.which;
  }
}

TEST(MapRoute, DeletingTheOnlyPointEmptiesTheRouteAndAStrangerIsRefused) {
  CMapRoute r, other;
  Build(r, 1);
  Build(other, 1);
  EXPECT_FALSE(r.DeletePoint(other.GetFirstPoint()));
  EXPECT_FALSE(r.DeletePoint(nullptr));
  r.GetFirstPoint()->SetFlag(1);
  ASSERT_TRUE(r.DeletePoint(r.GetFirstPoint()));
  EXPECT_TRUE(r.IsEmpty());
  EXPECT_EQ(r.GetLastPoint(), nullptr);
  EXPECT_EQ(r.GetFirstSelected(), nullptr);
  EXPECT_EQ(r.GetLastSelected(), nullptr);
}

TEST(MapRoute, SelectionListKeepsOrderOfSelecting) {
  CMapRoute r;
  Build(r, 4);
  CRoutePoint* p1 = r.GetFirstPoint();
  CRoutePoint* p3 = p1->GetNext()->GetNext();
  CRoutePoint* p4 = r.GetLastPoint();
  p3->ToggleFlag();
  p1->ToggleFlag();
  p4->SetFlag(1);
  p4->SetFlag(1);  // no second toggle
  EXPECT_EQ(Selected(r), (V{"Point 3", "Point 1", "Point 4"}));
  p1->ToggleFlag();
  EXPECT_EQ(Selected(r), (V{"Point 3", "Point 4"}));
  EXPECT_TRUE(r.ClearSelection());
  EXPECT_FALSE(r.ClearSelection());
  EXPECT_FALSE(p3->IsSelected());
  EXPECT_EQ(Selected(r), V{});
}

TEST(MapRoute, TimesFollowDistanceAndSpeedAndCrossMidnight) {
  CMapRoute r;
  r.SetSpeed(6.0);
  r.SetStart(CQsDateTime(2026, 5, 31, 22, 0, 0));
  r.AddPoint(50.0, -1.0);
  r.AddPoint(51.0, -1.0);  // 3437 x 1 degree in radians = 59.99 miles: 599 minutes
  r.AddPoint(51.0, -1.0);  // no distance
  const CRoutePoint* a = r.GetFirstPoint();
  const CRoutePoint* b = a->GetNext();
  EXPECT_NEAR(a->GetLegDistance(), 59.99, 0.01);
  EXPECT_NEAR(b->GetDistanceFromPrev(), a->GetLegDistance(), 1e-12);
  EXPECT_NEAR(std::fmod(a->GetLegBearing() + 1.0, 360.0), 1.0, 1e-6);  // due north
  EXPECT_EQ(r.GetLastPoint()->GetLegBearing(), 0.0);
  EXPECT_TRUE(a->GetTime() == CQsDateTime(2026, 5, 31, 22, 0, 0));
  EXPECT_TRUE(b->GetTime() == CQsDateTime(2026, 6, 1, 7, 59, 0)) << b->GetTime().Format("%Y-%m-%d %H:%M").GetString();
  EXPECT_TRUE(r.GetLastPoint()->GetTime() == b->GetTime());
}

TEST(MapRoute, ReverseSwapsOrderAndKeepsTheStart) {
  CMapRoute r;
  Build(r, 3);
  const CQsDateTime start = r.GetStart();
  r.Reverse();
  EXPECT_EQ(Names(r), (V{"Point 3", "Point 2", "Point 1"}));
  EXPECT_TRUE(r.GetStart() == start);
  EXPECT_TRUE(r.GetFirstPoint()->GetTime() == start);
  EXPECT_NEAR(r.GetFirstPoint()->GetLegBearing(), 180.0, 1e-6);
}

TEST(MapRoute, StartDateMovesKeepingItsTime) {
  CMapRoute r;
  r.SetStart(CQsDateTime(2026, 3, 2, 7, 45, 0));
  r.SetStartDate(CQsDateTime(2027, 8, 19, 0, 0, 0));
  EXPECT_TRUE(r.GetStart() == CQsDateTime(2027, 8, 19, 7, 45, 0));
}

}  // namespace
