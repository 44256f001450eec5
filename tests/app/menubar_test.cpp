// The program's menu bar as a user meets it: the toolkit's menus under their titles, ticks and
// shortcuts from the frame, the Time Zone popup, the recent ports listed as they open, and the
// focus kept where it was. Pictures of the menus are written beside the test.
#include "tests/app/FrameFixture.h"

#include "toolkit/CbControlPopup.h"
#include "toolkit/CbDrawHelpers.h"
#include "toolkit/CbPaintManager.h"

#include <string>

namespace app_test {
namespace {

class MenuBar : public Program {
 protected:
  CCbPopupBar* OpenTitle(int nTitle) {
    ClickMenuTitle(m_frame, nTitle);
    Settle(20);
    auto* popup = dynamic_cast<CCbPopupBar*>(m_frame->GetMenuBar().GetControl(nTitle)->GetCommandBar());
    return popup && popup->IsTrackingMode() ? popup : nullptr;
  }
  CCbControl* Item(CCbCommandBar* bar, const char* caption) {
    for (int i = 0; bar && i < bar->GetControlCount(); ++i)
      if (CCbPaintManager::StripMnemonics(bar->GetControl(i)->GetCaption()) == caption) return bar->GetControl(i);
    return nullptr;
  }
  CCbPopupBar* HoverOpen(CCbPopupBar* popup, CCbControl* item) {
    const CPoint c = item->GetRect().CenterPoint();
    AfxTestMoveTo(popup->GetSafeHwnd(), c.x, c.y);
    auto* sub = dynamic_cast<CCbPopupBar*>(item->GetCommandBar());
    AfxTestWait(2000, [&] { return sub && sub->IsTrackingMode(); });
    return sub && sub->IsTrackingMode() ? sub : nullptr;
  }
  void Save(CWnd* w, const char* name) {
    CBitmap pic;
    ASSERT_TRUE(AfxCaptureWindow(w->GetSafeHwnd(), &pic));
    pic.SavePng(name);
  }
  void CloseMenus() {
    CbMouseManager()->SendTrackLost();
    Settle();
  }
};

TEST_F(MenuBar, TheViewMenuTicksWhatShowsAndGivesTheShortcuts) {
  ASSERT_NE(nullptr, Start());
  CCbPopupBar* view = OpenTitle(1);
  ASSERT_NE(nullptr, view);
  CCbControl* graph = Item(view, "Display 24 Hour Graph");
  CCbControl* status = Item(view, "Status Bar");
  ASSERT_TRUE(graph && status);
  EXPECT_TRUE(graph->GetChecked());
  EXPECT_TRUE(status->GetChecked());
  EXPECT_FALSE(Item(view, "Tide Log")->GetChecked());
  EXPECT_EQ(std::string(Item(view, "View Graph Full Screen")->GetShownShortcutText()), "F9");
  EXPECT_EQ(std::string(Item(view, "Options...")->GetShownShortcutText()), "Ctrl+O");
  // "High && Low &Water Times" keeps one ampersand in its caption and W as its letter.
  EXPECT_NE(nullptr, Item(view, "High & Low Water Times"));
  // "Toolbar" lists the toolbars that can be closed; neither can, so it shows nothing and the
  // menu starts with "Status Bar".
  CCbControl* toolbars = Item(view, "Toolbar");
  ASSERT_NE(nullptr, dynamic_cast<CCbControlToolbars*>(toolbars));
  EXPECT_FALSE(toolbars->IsVisible());
  const int first = view->GetControls()->GetNext(-1, +1);
  ASSERT_GE(first, 0);
  EXPECT_EQ(status, view->GetControl(first));
  Save(view, "view_menu.png");
  CloseMenus();
}

// A column of the bar's picture that holds nothing but the bar's own fill, which runs across.
static bool BlankColumn(const CBitmap& pic, CPoint at, int x, int height) {
  const COLORREF fill = pic.GetPixel(at.x + x, at.y + 1);
  for (int y = 2; y < height - 2; ++y)
    if (pic.GetPixel(at.x + x, at.y + y) != fill) return false;
  return true;
}

// Menu titles: as wide as their captions with nothing drawn after the text, and no expand button
// on a bar that wraps its titles rather than hiding them.
TEST_F(MenuBar, TitlesAreMenuTitlesAndTheBarHasNoExpandButton) {
  ASSERT_NE(nullptr, Start());
  CCbMenuBar& bar = m_frame->GetMenuBar();
  EXPECT_FALSE(bar.IsExpandShown());
  CBitmap pic;
  ASSERT_TRUE(AfxCaptureWindow(bar.GetSafeHwnd(), &pic));
  const CPoint at = AfxClientOriginInCapture(bar.GetSafeHwnd());
  CRect client;
  bar.GetClientRect(&client);
  CCbPaintManager* painter = CCbPaintManager::GetPaintManager();
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  CCbFontDC font(&dc, painter->GetControlFont(bar.GetPosition(), FALSE));
  int end = 0, titles = 0;
  for (int i = 0; i < bar.GetControlCount(); ++i) {
    CCbControl* title = bar.GetControl(i);
    if (!title->IsVisible()) continue;
    ++titles;
    const CRect rc = title->GetRect();
    const int text = painter->GetTextSize(&dc, title->GetCaption()).cx;
    EXPECT_EQ(4 + text + 7, rc.Width()) << (LPCTSTR)title->GetCaption();
    for (int x = rc.left + 4 + text + 2; x < rc.right; ++x)
      EXPECT_TRUE(BlankColumn(pic, at, x, rc.bottom)) << (LPCTSTR)title->GetCaption() << " drawn at x " << x;
    end = std::max(end, (int)rc.right);
  }
  EXPECT_GE(titles, 5);
  for (int x = end + 1; x < client.right; ++x)
    ASSERT_TRUE(BlankColumn(pic, at, x, client.Height())) << "something drawn at x " << x << " of " << client.right;
  // The program with a menu open, as a user sees it.
  ASSERT_NE(nullptr, OpenTitle(2));
  CRect frame;
  m_frame->GetWindowRect(&frame);
  AfxSaveScreenPng("program_tides_menu_open.png", &frame);
  CloseMenus();
}

TEST_F(MenuBar, TidesTimeZoneShowsTheTickedZone) {
  ASSERT_NE(nullptr, Start());
  CCbPopupBar* tides = OpenTitle(2);
  ASSERT_NE(nullptr, tides);
  CCbControl* zoneItem = Item(tides, "Time Zone");
  ASSERT_NE(nullptr, zoneItem);
  // No command of its own, so no command's update handler ticks or greys it.
  EXPECT_EQ(0, zoneItem->GetID());
  EXPECT_TRUE(zoneItem->GetEnabled());
  EXPECT_FALSE(zoneItem->GetChecked());
  CCbPopupBar* zones = HoverOpen(tides, zoneItem);
  ASSERT_NE(nullptr, zones);
  EXPECT_EQ(zones, m_frame->GetTimeZonePopup());
  EXPECT_EQ(22, zones->GetControlCount());
  int ticked = 0;
  for (int i = 0; i < zones->GetControlCount(); ++i) ticked += zones->GetControl(i)->GetChecked() != 0;
  EXPECT_EQ(1, ticked);
  int utMinus3 = 0;
  for (int i = 0; i < zones->GetControlCount(); ++i) {
    const CString caption = zones->GetControl(i)->GetCaption();
    utMinus3 += caption == "UT (-3:00)" || caption == "GMT (-3:00)";
    if (caption == "UT (-12:00)") {
      EXPECT_EQ(-12, CMainFrame::ZoneOfCommand((UINT)zones->GetControl(i)->GetID()));
    }
  }
  EXPECT_EQ(1, utMinus3);
  // Beside its item, and the Tides menu still open.
  CRect rc, item = zoneItem->GetRect();
  tides->ClientToScreen(&item);
  zones->GetWindowRect(&rc);
  EXPECT_TRUE(rc.left == item.right || rc.right == item.left);
  EXPECT_TRUE(tides->IsTrackingMode());
  Save(tides, "tides_menu.png");
  Save(zones, "tides_time_zone_menu.png");
  // Choosing a zone ticks it next time.
  CCbControl* plusOne = Item(zones, "GMT (+1:00)");
  ASSERT_NE(nullptr, plusOne);
  const CPoint c = plusOne->GetRect().CenterPoint();
  AfxTestMoveTo(zones->GetSafeHwnd(), c.x, c.y);
  AfxTestClick(zones->GetSafeHwnd(), c.x, c.y);
  Settle();
  EXPECT_FALSE(CbMouseManager()->IsTracking());
  tides = OpenTitle(2);
  ASSERT_NE(nullptr, tides);
  zones = HoverOpen(tides, Item(tides, "Time Zone"));
  ASSERT_NE(nullptr, zones);
  EXPECT_TRUE(Item(zones, "GMT (+1:00)")->GetChecked());
  EXPECT_FALSE(Item(zones, "Automatic")->GetChecked());
  CloseMenus();
}

TEST_F(MenuBar, RecentPortsListsThePortsLookedAtAsItOpens) {
  ASSERT_NE(nullptr, Start());
  ClickPort(PortIndex("Aberdeen"));
  ClickPort(PortIndex("Algeciras"));
  CCbPopupBar* ports = OpenTitle(3);
  ASSERT_NE(nullptr, ports);
  CCbPopupBar* recent = HoverOpen(ports, Item(ports, "Recent Ports"));
  ASSERT_NE(nullptr, recent);
  ASSERT_GE(recent->GetControlCount(), 2);
  EXPECT_EQ(CString("&1 Algeciras"), recent->GetControl(0)->GetCaption());
  EXPECT_EQ(CString("&2 Aberdeen"), recent->GetControl(1)->GetCaption());
  EXPECT_EQ(ID_RECENT_PORT_FIRST + 1, (UINT)recent->GetControl(1)->GetID());
  CloseMenus();
}

TEST_F(MenuBar, WithAMenuOpenThePortsTreeKeepsTheFocusAndItsKeysWorkAfterEsc) {
  ASSERT_NE(nullptr, Start());
  CPortsTree& tree = Left().PortsTree();
  ClickPort(PortIndex("Aberdeen"));
  ASSERT_EQ(::GetFocus(), tree.GetSafeHwnd());
  const HTREEITEM before = tree.GetSelectedItem();
  ASSERT_NE(nullptr, OpenTitle(0));
  EXPECT_EQ(::GetFocus(), tree.GetSafeHwnd());
  AfxTestKeyStroke(VK_DOWN);  // the menu's, not the tree's
  EXPECT_EQ(before, tree.GetSelectedItem());
  AfxTestKeyStroke(VK_ESCAPE);
  AfxTestKeyStroke(VK_ESCAPE);
  Settle();
  EXPECT_FALSE(CbMouseManager()->IsTracking());
  EXPECT_EQ(::GetFocus(), tree.GetSafeHwnd());
  AfxTestKeyStroke(VK_DOWN);
  Settle();
  EXPECT_NE(before, tree.GetSelectedItem());
}

TEST_F(MenuBar, AClickOnTheGraphClosesTheMenuAndReachesTheGraph) {
  ASSERT_NE(nullptr, Start());
  ClickPort(PortIndex("Aberdeen"));
  ASSERT_NE(nullptr, OpenTitle(1));
  CWnd& graph = Right().Graph();
  CRect rc;
  graph.GetClientRect(&rc);
  AfxTestClick(graph.GetSafeHwnd(), rc.CenterPoint().x, rc.CenterPoint().y);
  Settle();
  EXPECT_FALSE(CbMouseManager()->IsTracking());
  // The click went on to the graph: it took the focus as a click does.
  EXPECT_EQ(::GetFocus(), graph.GetSafeHwnd());
}

// The main window in the look the program selects (gradient), with "Tides" open: the title
// joined to its menu (the menu's frame left open under it) and a shadow beside and below the
// menu, solid without a compositor and soft with one. Screenshots are written beside the test.
TEST_F(MenuBar, AnOpenMenuJoinsItsTitleAndCastsAShadowInTheGradientLook) {
  ASSERT_NE(nullptr, Start());
  EXPECT_EQ(2, CbPaintManager()->GetCurrentTheme());
  CRect frame;
  m_frame->GetWindowRect(&frame);
  const CRect area(frame.left, frame.top, frame.right + 10, frame.bottom + 10);
  CBitmap before;
  ASSERT_TRUE(AfxCaptureScreen(&before, area));
  struct Case {
    int composition;
    const char* file;
    int width;  // of each strip
  } cases[] = {{0, "main_window_menu_solid_shadow.png", 2}, {1, "main_window_menu_soft_shadow.png", 4}};
  for (const Case& k : cases) {
    AfxTestSetComposition(k.composition);
    CCbPopupBar* tides = OpenTitle(2);
    ASSERT_NE(nullptr, tides) << k.file;
    CRect popup, title = m_frame->GetMenuBar().GetControl(2)->GetRect();
    m_frame->GetMenuBar().ClientToScreen(&title);
    tides->GetWindowRect(&popup);
    CBitmap pic;
    ASSERT_TRUE(AfxCaptureScreen(&pic, area)) << k.file;
    EXPECT_TRUE(pic.SavePng(k.file));
    auto at = [&](const CBitmap& b, int x, int y) { return b.GetPixel(x - area.left, y - area.top); };
    ASSERT_EQ(title.bottom, popup.top) << k.file;
    ASSERT_LT(title.right + 10, popup.right) << k.file;
    // The frame's top edge runs beside the title, and is open under it.
    const COLORREF edge = at(pic, title.right + 6, popup.top);
    EXPECT_EQ(edge, at(pic, popup.right - 6, popup.top)) << k.file;
    EXPECT_NE(edge, at(pic, title.CenterPoint().x, popup.top)) << k.file;
    EXPECT_NE(edge, at(pic, title.left + 2, popup.top)) << k.file;
    // A strip darker than what lies under it, right and below, and nothing past its width.
    auto darker = [&](int x, int y) {
      const COLORREF a = at(pic, x, y), b = at(before, x, y);
      return GetRValue(a) + GetGValue(a) + GetBValue(a) + 30 < GetRValue(b) + GetGValue(b) + GetBValue(b);
    };
    // Checked where what lies under the strips is light, so darkening shows.
    auto light = [&](int x, int y) {
      const COLORREF b = at(before, x, y);
      return GetRValue(b) + GetGValue(b) + GetBValue(b) > 600;
    };
    int midY = popup.top + 8, midX = popup.left + 8;
    while (midY < popup.bottom && !light(popup.right + k.width - 1, midY)) ++midY;
    while (midX < popup.right && !light(midX, popup.bottom + k.width - 1)) ++midX;
    ASSERT_LT(midY, popup.bottom);
    ASSERT_LT(midX, popup.right);
    for (int i = 0; i < k.width; ++i) {
      EXPECT_TRUE(darker(popup.right + i, midY)) << k.file << " right strip at " << i;
      EXPECT_TRUE(darker(midX, popup.bottom + i)) << k.file << " bottom strip at " << i;
    }
    EXPECT_EQ(at(pic, popup.right + k.width, midY), at(before, popup.right + k.width, midY)) << k.file;
    EXPECT_EQ(at(pic, midX, popup.bottom + k.width), at(before, midX, popup.bottom + k.width)) << k.file;
    CloseMenus();
  }
  AfxTestSetComposition(-1);
}

}  // namespace
}  // namespace app_test
