// The routes tree in the running program: read from "routes.dat" at start, written after every
// change, its context menus and commands, the route page, and a restart that finds the routes.
#include "tests/app/FrameFixture.h"

#include "app/RoutesTree.h"
#include "chart/RoutesFile.h"

#include <fstream>

namespace app_test {
namespace {

class Routes : public Program {
 protected:
  fs::path RoutesFile() { return m_root / "data" / "Neapwise" / "routes.dat"; }

  // A file as an earlier run left it.
  void WriteRoutes(const std::vector<const CMapRoute*>& routes) {
    fs::create_directories(RoutesFile().parent_path());
    ASSERT_TRUE(CRoutesFile::Save(CString(RoutesFile().c_str()), routes));
  }
  CMapRouteList ReadRoutes() {
    CMapRouteList routes;
    const ROUTES_LOAD info = CRoutesFile::Load(CString(RoutesFile().c_str()), routes);
    EXPECT_EQ(info.status, ROUTES_LOAD::ok) << info.strProblem.GetString();
    return routes;
  }
  CRoutesTree& Tree() { return Left().RoutesTree(); }
  std::vector<std::string> TopItems() {
    std::vector<std::string> out;
    for (HTREEITEM h = Tree().GetRootItem(); h; h = Tree().GetNextSiblingItem(h))
      out.push_back(std::string(Tree().GetItemText(h)));
    return out;
  }
  HTREEITEM RouteItem(const char* name) {
    for (HTREEITEM h = Tree().GetRootItem(); h; h = Tree().GetNextSiblingItem(h))
      if (Tree().GetItemText(h) == name) return h;
    return nullptr;
  }
  void RightClick(HTREEITEM h) {
    Tree().EnsureVisible(h);
    CRect r;
    ASSERT_TRUE(Tree().GetItemRect(h, &r, TRUE));
    POINT p = r.CenterPoint();
    Tree().ClientToScreen(&p);
    AfxTestMouse(WM_MOUSEMOVE, p);
    AfxTestMouse(WM_RBUTTONDOWN, p);
    AfxTestMouse(WM_RBUTTONUP, p);
    Settle(60);
  }
  void Answer(int answer) {
    AfxSetMessageBoxHook([this, answer](const AFX_MSGBOX_REQUEST& r) {
      m_boxes.push_back(r.text);
      return answer;
    });
  }

  void SolentAndChannel() {
    CMapRoute solent, channel;
    solent.SetName("Solent");
    solent.SetSpeed(6.0);
    solent.SetStart(CQsDateTime(2026, 6, 14, 23, 0, 0));
    solent.AddPoint(50.77, -1.30);
    solent.AddPoint(50.74, -1.10);
    solent.AddPoint(50.2, -0.2);
    channel.SetName("Channel");
    channel.AddPoint(50.60, -1.95);
    WriteRoutes({&solent, &channel});
  }
};

TEST_F(Routes, TheTreeShowsTheRoutesOfTheFileWithTimesAndLegs) {
  SolentAndChannel();
  ASSERT_NE(nullptr, Start());
  EXPECT_EQ(TopItems(), (std::vector<std::string>{"No Route", "Solent", "Channel"}));
  EXPECT_EQ(Tree().GetBoldItem(), Tree().GetNoRouteItem());
  HTREEITEM solent = RouteItem("Solent");
  std::vector<std::string> points;
  for (HTREEITEM c = Tree().GetChildItem(solent); c; c = Tree().GetNextSiblingItem(c))
    points.push_back(std::string(Tree().GetItemText(c)));
  ASSERT_EQ(points.size(), 3u);
  EXPECT_EQ(points[0].rfind("Point 1 - 23:00 6.0kts  (", 0), 0u) << points[0];
  EXPECT_NE(points[0].find("Nm  "), std::string::npos);
  EXPECT_NE(points[0].find("\xC2\xB0T)"), std::string::npos) << points[0];
  EXPECT_NE(points[2].find(" +1d"), std::string::npos) << "the last waypoint is reached the next day: " << points[2];
  EXPECT_EQ(points[2].find("Nm"), std::string::npos) << "the last waypoint has no leg";
  // One waypoint: the start with the speed and no leg.
  HTREEITEM channel = RouteItem("Channel");
  EXPECT_EQ(std::string(Tree().GetItemText(Tree().GetChildItem(channel))), "Point 1 - 12:00 5.0kts ");

  Command(ID_VIEW_MAP);
  Tree().Expand(solent, TVE_EXPAND);
  Settle();
  if (const char* keep = std::getenv("NEAPWISE_UI_PICTURES"))
    AfxSaveWindowPng(Left().m_hWnd, (std::string(keep) + "/routes_tree.png").c_str());
  AfxSaveWindowPng(Left().m_hWnd, "routes_tree.png");
}

TEST_F(Routes, DoubleClickingARouteMakesItCurrentAndNoRouteClearsIt) {
  SolentAndChannel();
  ASSERT_NE(nullptr, Start());
  Command(ID_VIEW_MAP);
  HTREEITEM solent = RouteItem("Solent");
  CRect r;
  ASSERT_TRUE(Tree().GetItemRect(solent, &r, TRUE));
  AfxTestDoubleClick(Tree().GetSafeHwnd(), r.CenterPoint().x, r.CenterPoint().y);
  Settle();
  CMapRoute* current = m_frame->GetChartRoutes().GetRoute();
  ASSERT_NE(current, nullptr);
  EXPECT_EQ(current->GetName(), CString("Solent"));
  EXPECT_EQ(Tree().GetBoldItem(), solent);
  // Its start moved to the selected date, keeping its time.
  EXPECT_EQ(current->GetStart().GetDay(), Selected().GetDay());
  EXPECT_EQ(current->GetStart().GetHour(), 23);
  EXPECT_FALSE(Tree().GetItemState(solent, TVIS_EXPANDED) & TVIS_EXPANDED)
      << "a double-click on the name only activates";

  ASSERT_TRUE(Tree().GetItemRect(Tree().GetNoRouteItem(), &r, TRUE));
  AfxTestDoubleClick(Tree().GetSafeHwnd(), r.CenterPoint().x, r.CenterPoint().y);
  Settle();
  EXPECT_EQ(m_frame->GetChartRoutes().GetRoute(), nullptr);
  EXPECT_EQ(Tree().GetBoldItem(), Tree().GetNoRouteItem());
}

TEST_F(Routes, SelectFromTheRouteMenuMakesItCurrent) {
  SolentAndChannel();
  ASSERT_NE(nullptr, Start());
  Command(ID_VIEW_MAP);
  ClickMenuItemsWhenShown({0});  // "Select"
  RightClick(RouteItem("Channel"));
  ASSERT_NE(m_frame->GetChartRoutes().GetRoute(), nullptr);
  EXPECT_EQ(m_frame->GetChartRoutes().GetRoute()->GetName(), CString("Channel"));
  EXPECT_EQ(Tree().GetBoldItem(), RouteItem("Channel"));
  EXPECT_EQ(Tree().GetSelectedItem(), RouteItem("Channel"));
}

TEST_F(Routes, DeletingARouteFromItsMenuAsksAndRewritesTheFileAtOnce) {
  SolentAndChannel();
  ASSERT_NE(nullptr, Start());
  Command(ID_VIEW_MAP);
  // The current route goes too: the chart lets go of it and its worker is stopped.
  m_frame->GetChartRoutes().SetRoute(reinterpret_cast<CMapRoute*>(Tree().GetItemData(RouteItem("Solent"))));
  Answer(IDNO);
  ClickMenuItemsWhenShown({3});  // "Delete"
  RightClick(RouteItem("Solent"));
  EXPECT_EQ(m_boxes.back(), "Delete this route.\r\n\r\nAre you sure?");
  EXPECT_NE(RouteItem("Solent"), nullptr);

  Answer(IDYES);
  ClickMenuItemsWhenShown({3});
  RightClick(RouteItem("Solent"));
  EXPECT_EQ(RouteItem("Solent"), nullptr);
  EXPECT_EQ(m_frame->GetChartRoutes().GetRoute(), nullptr);
  EXPECT_FALSE(m_frame->GetChartRoutes().IsTrackRunning());
  EXPECT_EQ(Tree().GetBoldItem(), Tree().GetNoRouteItem());
  CMapRouteList onDisk = ReadRoutes();
  ASSERT_EQ(onDisk.size(), 1u) << "the file was not written when the route was deleted";
  EXPECT_EQ(onDisk[0]->GetName(), CString("Channel"));
}

TEST_F(Routes, ReverseAndRenameAreSavedAndARestartFindsThem) {
  SolentAndChannel();
  ASSERT_NE(nullptr, Start());
  Command(ID_VIEW_MAP);
  Tree().SetContextItem(RouteItem("Solent"));
  Command(ID_ROUTE_REVERSE);
  CMapRouteList onDisk = ReadRoutes();
  ASSERT_EQ(onDisk.size(), 2u);
  EXPECT_EQ(onDisk[0]->GetFirstPoint()->GetName(), CString("Point 3"));

  // Rename through the label edit, as the menu's "Rename" starts it.
  Tree().SetContextItem(RouteItem("Channel"));
  Command(ID_ROUTE_RENAME);
  CEdit* edit = Tree().GetEditControl();
  ASSERT_NE(edit, nullptr);
  edit->SetWindowText("To Cherbourg");
  Tree().EndEditLabelNow(FALSE);
  Settle();
  EXPECT_NE(RouteItem("To Cherbourg"), nullptr);

  // A waypoint's label edit starts from its bare name.
  HTREEITEM first = Tree().GetChildItem(RouteItem("Solent"));
  Tree().SetContextItem(first);
  Command(ID_POINT_RENAME);
  edit = Tree().GetEditControl();
  ASSERT_NE(edit, nullptr);
  CString bare;
  edit->GetWindowText(bare);
  EXPECT_EQ(bare, CString("Point 3"));
  edit->SetWindowText("Nab Tower");
  Tree().EndEditLabelNow(FALSE);
  Settle();
  EXPECT_EQ(std::string(Tree().GetItemText(first)).rfind("Nab Tower - ", 0), 0u);

  CMapRoute* added = nullptr;
  m_frame->GetChartRoutes().SetRoute(nullptr);
  m_frame->GetChartRoutes().ClearRoute();
  m_frame->GetChartRoutes().AddPointAt(51.0, 1.4);
  added = m_frame->GetChartRoutes().GetRoute();
  ASSERT_NE(added, nullptr);
  m_frame->GetChartRoutes().AddPointAt(50.9, 1.6);

  ASSERT_NE(nullptr, Restart());
  EXPECT_EQ(TopItems(), (std::vector<std::string>{"No Route", "Solent", "To Cherbourg", "New Route"}));
  CMapRoute* solent = reinterpret_cast<CMapRoute*>(Tree().GetItemData(RouteItem("Solent")));
  EXPECT_EQ(solent->GetFirstPoint()->GetName(), CString("Nab Tower"));
  CMapRoute* fresh = reinterpret_cast<CMapRoute*>(Tree().GetItemData(RouteItem("New Route")));
  EXPECT_EQ(fresh->GetPointCount(), 2);
}

TEST_F(Routes, ADoubleClickWithTheRouteToolMakesANewRouteInTheTreeAndTheFile) {
  SolentAndChannel();
  ASSERT_NE(nullptr, Start());
  Command(ID_VIEW_MAP);
  Command(ID_MAP_ROUTE_TOOL);
  CMapView& map = Right().Map();
  ASSERT_EQ(1, map.GetMouseMode());
  ASSERT_EQ(nullptr, m_frame->GetChartRoutes().GetRoute());
  CPoint a(300, 200), b(360, 260);
  map.ClientToScreen(&a);
  map.ClientToScreen(&b);
  for (CPoint p : {a, b}) {
    AfxTestMouse(WM_LBUTTONDOWN, p, MK_LBUTTON);
    AfxTestMouse(WM_LBUTTONUP, p);
    AfxTestMouse(WM_LBUTTONDBLCLK, p, MK_LBUTTON);
    AfxTestMouse(WM_LBUTTONUP, p);
    Settle();
  }
  EXPECT_EQ(TopItems(), (std::vector<std::string>{"No Route", "Solent", "Channel", "New Route"}));
  HTREEITEM item = RouteItem("New Route");
  ASSERT_NE(nullptr, item);
  CMapRoute* route = reinterpret_cast<CMapRoute*>(Tree().GetItemData(item));
  EXPECT_EQ(route, m_frame->GetChartRoutes().GetRoute());
  ASSERT_EQ(2, route->GetPointCount());
  HTREEITEM child = Tree().GetChildItem(item);
  ASSERT_NE(nullptr, child);
  EXPECT_EQ(std::string(Tree().GetItemText(child)).rfind("Point 1 - 12:00", 0), 0u) << Tree().GetItemText(child);
  // Written at once, not only at exit.
  const CMapRouteList saved = ReadRoutes();
  ASSERT_EQ(3u, saved.size());
  EXPECT_EQ(CString("New Route"), saved[2]->GetName());
  EXPECT_EQ(2, saved[2]->GetPointCount());
  Tree().Expand(item, TVE_EXPAND);
  Settle();
  AfxSaveWindowPng(m_frame->GetSafeHwnd(), "program_routes_tree.png");
}

TEST_F(Routes, TheRoutePageRefusesABadTimeAndSpeedThenTakesAGoodOne) {
  SolentAndChannel();
  ASSERT_NE(nullptr, Start());
  Command(ID_VIEW_MAP);
  Tree().SetContextItem(RouteItem("Solent"));
  bool stayedOnBadTime = false, stayedOnBadSpeed = false;
  AfxCallLater(30, [&] {
    CWnd* page = CWnd::FromHandle(::GetActiveWindow());
    HWND sheet = ::GetActiveWindow();
    HWND time = nullptr, speed = nullptr;
    // The page is a child of the sheet; find its edits by id.
    for (HWND c = ::GetWindow(sheet, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
      if (!time) time = ::GetDlgItem(c, 1070);
      if (!speed) speed = ::GetDlgItem(c, 1071);
    }
    (void)page;
    ASSERT_NE(time, nullptr);
    ASSERT_NE(speed, nullptr);
    char text[64] = {};
    ::GetWindowText(time, text, sizeof text);
    EXPECT_STREQ(text, "23:00");
    ::SetWindowText(time, "25:99");
    ::SendMessage(sheet, WM_COMMAND, IDOK, 0);
    stayedOnBadTime = ::IsWindow(sheet) && m_boxes.back() == "The time entered is invalid";
    ::SetWindowText(time, "07:45");
    ::SetWindowText(speed, "250");
    ::SendMessage(sheet, WM_COMMAND, IDOK, 0);
    stayedOnBadSpeed = ::IsWindow(sheet);
    ::SetWindowText(speed, "4.5");
    ::SendMessage(sheet, WM_COMMAND, IDOK, 0);
  });
  Command(ID_ROUTE_PROPERTIES);
  EXPECT_TRUE(stayedOnBadTime);
  EXPECT_TRUE(stayedOnBadSpeed);
  CMapRoute* solent = reinterpret_cast<CMapRoute*>(Tree().GetItemData(RouteItem("Solent")));
  EXPECT_EQ(solent->GetSpeed(), 4.5);
  EXPECT_EQ(solent->GetStart().GetHour(), 7);
  EXPECT_EQ(solent->GetStart().GetMinute(), 45);
  CMapRouteList onDisk = ReadRoutes();
  ASSERT_EQ(onDisk.size(), 2u);
  EXPECT_EQ(onDisk[0]->GetSpeed(), 4.5);
  EXPECT_EQ(
      std::string(Tree().GetItemText(Tree().GetChildItem(RouteItem("Solent")))).rfind("Point 1 - 07:45 4.5kts ", 0),
      0u);
}

TEST_F(Routes, ADamagedFileIsKeptAsideWithAMessageAndItsGoodRoutesAreRead) {
  SolentAndChannel();
  {
    std::ofstream f(RoutesFile(), std::ios::binary | std::ios::app);
    f << "trailing bytes";
  }
  ASSERT_NE(nullptr, Start());
  EXPECT_EQ(TopItems(), (std::vector<std::string>{"No Route", "Solent", "Channel"}));
  ASSERT_FALSE(m_boxes.empty());
  EXPECT_NE(m_boxes[0].find("routes file is damaged"), std::string::npos) << m_boxes[0];
  EXPECT_TRUE(fs::exists(RoutesFile().string() + ".bad"));
}

TEST_F(Routes, TheWaypointMenuDeletesThePointItWasOpenedOn) {
  SolentAndChannel();
  ASSERT_NE(nullptr, Start());
  Command(ID_VIEW_MAP);
  HTREEITEM solent = RouteItem("Solent");
  Tree().Expand(solent, TVE_EXPAND);
  Settle();
  HTREEITEM second = Tree().GetNextSiblingItem(Tree().GetChildItem(solent));
  ASSERT_NE(second, nullptr);
  Answer(IDYES);
  ClickMenuItemsWhenShown({0});  // "Delete"
  RightClick(second);
  EXPECT_EQ(m_boxes.back(), "Delete this point from the route\r\n\r\nAre you sure?");
  std::vector<std::string> left;
  for (HTREEITEM c = Tree().GetChildItem(RouteItem("Solent")); c; c = Tree().GetNextSiblingItem(c))
    left.push_back(std::string(Tree().GetItemText(c)).substr(0, 7));
  EXPECT_EQ(left, (std::vector<std::string>{"Point 1", "Point 3"}));
  CMapRouteList onDisk = ReadRoutes();
  ASSERT_EQ(onDisk.size(), 2u);
  EXPECT_EQ(onDisk[0]->GetPointCount(), 2);
}

TEST_F(Routes, RenameFromTheChartsWaypointMenuEditsThatWaypoint) {
  SolentAndChannel();
  ASSERT_NE(nullptr, Start());
  Command(ID_VIEW_MAP);
  CMapRoute* solent = reinterpret_cast<CMapRoute*>(Tree().GetItemData(RouteItem("Solent")));
  CRoutePoint* last = solent->GetLastPoint();
  // What the chart does when its waypoint menu opens on a waypoint.
  m_frame->GetChartRoutes().SetContextPoint(last);
  Tree().SelectPointItem(last);
  Command(ID_POINT_RENAME);
  CEdit* edit = Tree().GetEditControl();
  ASSERT_NE(edit, nullptr);
  CString bare;
  edit->GetWindowText(bare);
  EXPECT_EQ(bare, CString("Point 3"));
  Tree().EndEditLabelNow(TRUE);
  Settle();
}

TEST_F(Routes, DeletingTheOnlyPointOfARouteFromTheChartRemovesTheRoute) {
  SolentAndChannel();
  ASSERT_NE(nullptr, Start());
  Command(ID_VIEW_MAP);
  CMapRoute* channel = reinterpret_cast<CMapRoute*>(Tree().GetItemData(RouteItem("Channel")));
  m_frame->GetChartRoutes().SetRoute(channel);
  m_frame->GetChartRoutes().SetContextPoint(channel->GetFirstPoint());
  Answer(IDYES);
  Command(ID_POINT_DELETE);
  EXPECT_EQ(RouteItem("Channel"), nullptr);
  EXPECT_EQ(m_frame->GetChartRoutes().GetRoute(), nullptr);
  EXPECT_EQ(ReadRoutes().size(), 1u);
}

TEST_F(Routes, ASaveThatFailsIsToldOnceUntilOneWorks) {
  ASSERT_NE(nullptr, Start());
  // A routes file whose folder is a plain file: every save fails.
  const fs::path blocker = m_root / "not-a-folder";
  { std::ofstream(blocker) << "x"; }
  CRoutesTree tree;
  ASSERT_TRUE(tree.Create(CRect(0, 0, 200, 300), &Left(), 999, (blocker / "routes.dat").c_str()));
  m_boxes.clear();
  CMapRoute* r = new CMapRoute;
  r->AddPoint(50, -1);
  tree.AddRoute(r);
  tree.RoutesChanged();
  tree.RoutesChanged();
  ASSERT_EQ(m_boxes.size(), 1u);
  EXPECT_NE(m_boxes[0].find("routes could not be saved"), std::string::npos) << m_boxes[0];
  EXPECT_FALSE(tree.GetProblem().IsEmpty());
  // The folder comes right: the next save works and says nothing; a later failure is told again.
  fs::remove(blocker);
  fs::create_directories(blocker);
  tree.RoutesChanged();
  EXPECT_EQ(m_boxes.size(), 1u);
  EXPECT_TRUE(tree.GetProblem().IsEmpty());
  EXPECT_TRUE(fs::exists(blocker / "routes.dat"));
  fs::remove_all(blocker);
  { std::ofstream(blocker) << "x"; }
  tree.RoutesChanged();
  EXPECT_EQ(m_boxes.size(), 2u);
  tree.DestroyWindow();
}

}  // namespace
}  // namespace app_test
