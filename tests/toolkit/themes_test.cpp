// The looks as a user sees them: the gradient look's scheme colours on a docked "Standard",
// its button states, an open menu title joined to its popup, every look's metrics, and a
// gallery picture per look beside the test executable.
#include "platform/testing/UiTest.h"
#include "toolkit/CbColorManager.h"
#include "toolkit/CbCommandBars.h"
#include "toolkit/CbControlComboBox.h"
#include "toolkit/CbDefaultTheme.h"
#include "toolkit/CbGradientTheme.h"
#include "toolkit/CbMenuBar.h"
#include "toolkit/CbMouseManager.h"
#include "toolkit/CbNativeTheme.h"
#include "toolkit/CbStatusBar.h"
#include "toolkit/CbStudioTheme.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using CbPaintThemes::CCbGradientTheme;

class CThemeFrame : public CCbFrameWnd {
 public:
  void OnAny() {}
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CThemeFrame, CFrameWnd)
  ON_COMMAND(32811, OnAny)
  ON_COMMAND(32812, OnAny)
  ON_COMMAND(32785, OnAny)
END_MESSAGE_MAP()

// Installs a look under a system colour scheme; the scheme goes back to automatic after.
struct LookScope {
  LookScope(int nTheme, int nScheme) {
    CbColorManager()->SetSystemTheme(nScheme);
    CCbPaintManager::SetTheme(nTheme);
  }
  ~LookScope() {
    CbColorManager()->SetSystemTheme(4);
    CCbPaintManager::SetTheme(2);
  }
};

CCbGradientTheme* Gradient() { return dynamic_cast<CCbGradientTheme*>(CbPaintManager()); }

int Distance(COLORREF a, COLORREF b) {
  return std::max({std::abs(GetRValue(a) - GetRValue(b)), std::abs(GetGValue(a) - GetGValue(b)),
                   std::abs(GetBValue(a) - GetBValue(b))});
}

// A memory picture to draw the painter's entries into.
struct Canvas {
  CDC dc;
  CBitmap bmp;
  CBitmap* old = nullptr;
  Canvas(int cx, int cy, COLORREF back = RGB(1, 2, 3)) {
    dc.CreateCompatibleDC(nullptr);
    bmp.CreateBitmap(cx, cy, 1, 32, nullptr);
    old = dc.SelectObject(&bmp);
    dc.FillSolidRect(0, 0, cx, cy, back);
  }
  ~Canvas() { dc.SelectObject(old); }
  COLORREF At(int x, int y) const { return dc.GetPixel(x, y); }
};

// A frame with "Standard" docked at the top and a status bar, in the current look.
// With the menu bar: the program's menu 128 above, and a toolbar holding a combo.
struct ThemedFrame {
  CThemeFrame* frame = nullptr;
  CWnd view;
  CCbMenuBar* menu = nullptr;
  CCbToolBar* standard = nullptr;
  CCbToolBar* ports = nullptr;
  CCbControlComboBox* combo = nullptr;
  CCbStatusBar status;
  explicit ThemedFrame(bool bWithMenuBar = false) {
    frame = new CThemeFrame;
    frame->Create(nullptr, "Looks", WS_POPUP | WS_VISIBLE, CRect(30, 30, 830, 230));
    view.CreateEx(0, nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), frame, AFX_IDW_PANE_FIRST);
    frame->InitCommandBars();
    if (bWithMenuBar) menu = frame->GetCommandBars()->SetMenu("Menu Bar", 128);
    standard = frame->GetCommandBars()->Add("Standard", cbBarTop);
    standard->LoadToolBar(128);
    if (bWithMenuBar) {
      ports = frame->GetCommandBars()->Add("Ports", cbBarTop);
      combo = new CCbControlComboBox;
      combo->SetWidth(150);
      for (const char* port : {"Brest", "Cherbourg", "Dover", "Le Havre", "Saint-Malo", "Southampton"})
        combo->AddString(port);
      combo->SetCurSel(2);
      ports->GetControls()->Add(combo, 33000);
    }
    status.Create(frame);
    const UINT ids[] = {ID_SEPARATOR, 61229, 61230};
    status.SetIndicators(ids, 3);
    status.SetPaneText(1, "High 12:04");
    status.SetPaneText(2, "Sunset 19:41");
    frame->RecalcLayout();
    AfxTestWait(10);
  }
  ~ThemedFrame() {
    AfxTestMoveAway();
    status.DestroyWindow();
    if (::IsWindow(frame->m_hWnd)) frame->DestroyWindow();
    AfxTestWait(5);
  }
};

class Themes : public ::testing::Test {
 protected:
  void SetUp() override { AfxWinInit(0, nullptr); }
  void TearDown() override {
    CbColorManager()->SetSystemTheme(4);
    CCbPaintManager::SetTheme(2);
  }
};

TEST_F(Themes, BlueSchemeToolbarRunsFromLightToDarkOverItsLine) {
  LookScope look(2, 1);
  ThemedFrame f;
  ASSERT_TRUE(Gradient() && Gradient()->IsLunaTheme());
  CBitmap pic;
  ASSERT_TRUE(AfxCaptureWindow(f.standard->GetSafeHwnd(), &pic));
  CRect client;
  f.standard->GetClientRect(&client);
  const int bottom = f.standard->GetControl(0)->GetRect().bottom;
  // Column 4: the face, clear of the gripper's dots and the buttons.
  EXPECT_EQ(pic.GetPixel(4, 1), RGB(221, 236, 254));
  EXPECT_LE(Distance(pic.GetPixel(4, bottom), RGB(129, 169, 226)), 6);
  for (int y = 2; y <= bottom; ++y) EXPECT_LE(GetRValue(pic.GetPixel(4, y)), GetRValue(pic.GetPixel(4, y - 1)));
  EXPECT_EQ(pic.GetPixel(client.Width() / 2, client.bottom - 1), RGB(59, 97, 156));
  // The bar's left band and corners show the dock area behind it.
  EXPECT_EQ(pic.GetPixel(1, client.Height() / 2), pic.GetPixel(1, 1));
  EXPECT_NE(pic.GetPixel(1, 1), RGB(221, 236, 254));
}

struct StateCase {
  const char* what;
  int selected, pressed, checked;
  COLORREF top, bottom;
  int frame;
};

TEST_F(Themes, HotPressedAndCheckedGradientsUnderEveryScheme) {
  const StateCase cases[] = {
      {"hot", 1, 0, 0, RGB(255, 242, 200), RGB(255, 212, 151), 32},
      {"pressed only", 0, 1, 0, RGB(255, 242, 200), RGB(255, 212, 151), 32},
      {"pressed", 1, 1, 0, RGB(254, 142, 75), RGB(255, 207, 139), 50},
      {"checked", 0, 0, 1, RGB(255, 213, 140), RGB(255, 173, 85), 50},
      {"checked and hot", 1, 0, 1, RGB(254, 142, 75), RGB(255, 207, 139), 50},
  };
  for (int scheme = 1; scheme <= 3; ++scheme) {
    LookScope look(2, scheme);
    CCbPaintManager* p = CbPaintManager();
    for (const StateCase& c : cases) {
      Canvas cv(30, 30);
      p->DrawButtonBackground(&cv.dc, CRect(4, 4, 26, 26), TRUE, c.selected, c.pressed, c.checked, FALSE, 1, 0);
      EXPECT_EQ(cv.At(10, 5), c.top) << c.what << " scheme " << scheme;
      EXPECT_LE(Distance(cv.At(10, 24), c.bottom), 8) << c.what;
      EXPECT_EQ(cv.At(4, 4), p->GetColor(c.frame)) << c.what;
      EXPECT_EQ(cv.At(25, 15), p->GetColor(c.frame)) << c.what;
    }
    // An idle button draws nothing; a menu item keeps the flat rule.
    Canvas idle(30, 30);
    p->DrawButtonBackground(&idle.dc, CRect(4, 4, 26, 26), TRUE, 0, 0, 0, FALSE, 1, 0);
    EXPECT_EQ(idle.At(10, 10), RGB(1, 2, 3));
    Canvas menu(30, 30);
    p->DrawButtonBackground(&menu.dc, CRect(4, 4, 26, 26), TRUE, 1, 0, 0, FALSE, 2, cbBarPopup);
    EXPECT_EQ(menu.At(10, 10), p->GetColor(31));
  }
  // Without a scheme the toolbar's states are the flat look's.
  LookScope look(2, 0);
  Canvas cv(30, 30);
  CbPaintManager()->DrawButtonBackground(&cv.dc, CRect(4, 4, 26, 26), TRUE, 1, 0, 0, FALSE, 1, 0);
  EXPECT_EQ(cv.At(10, 10), CbPaintManager()->GetColor(31));
}

// ---- An open menu title and its popup ----

class CPopupStub;
class COpenTitle : public CCbControlButton {
 public:
  COpenTitle() { m_controlType = cbControlPopup; }
  CCbCommandBar* GetCommandBar() const override { return m_pPopup; }
  CCbCommandBar* m_pPopup = nullptr;
};
class CPopupStub : public CCbCommandBar {
 public:
  CPopupStub() {
    m_barType = 2;
    m_barPosition = cbBarPopup;
  }
  CCbControl* GetControlPopup() const override { return m_pParentControl; }
  CCbControl* m_pParentControl = nullptr;
};

TEST_F(Themes, OpenTitleJoinsItsPopupWhoseFrameStaysOpenBesideIt) {
  LookScope look(2, 1);
  ThemedFrame f;
  auto* title = new COpenTitle;
  title->SetCaption("&Tides");
  f.standard->GetControls()->Add(title, 32785, CString(), 0);
  f.frame->RecalcLayout();
  AfxTestWait(5);
  const CRect rcTitle = title->GetRect();
  CRect screen = rcTitle;
  f.standard->ClientToScreen(&screen);
  CPopupStub popup;
  popup.m_pParentControl = title;
  const CRect rcPopup(screen.left, screen.bottom, screen.left + 160, screen.bottom + 90);
  ASSERT_TRUE(popup.CreateEx(0, nullptr, "", WS_POPUP, rcPopup, nullptr, 0));
  popup.ShowWindow(SW_SHOWNA);
  title->m_pPopup = &popup;

  CCbPaintManager* p = CbPaintManager();
  // The title through the painter's control entry.
  Canvas bar(rcTitle.right + 10, rcTitle.bottom + 10);
  p->DrawControl(&bar.dc, title, TRUE);
  EXPECT_EQ(bar.At(rcTitle.left, rcTitle.top + 5), p->GetColor(43));
  EXPECT_EQ(bar.At(rcTitle.left + 3, rcTitle.top + 1), RGB(227, 239, 255));
  EXPECT_LE(Distance(bar.At(rcTitle.left + 3, rcTitle.bottom - 2), RGB(147, 181, 231)), 8);

  // The popup: its top edge is open where the title sits on it, inset by a pixel.
  Canvas pop(160, 90);
  p->FillBarBackground(&pop.dc, &popup);
  const COLORREF frame = p->GetColor(43), back = p->GetColor(41);
  EXPECT_EQ(pop.At(0, 0), frame);
  EXPECT_EQ(pop.At(rcTitle.Width() - 1, 0), frame);
  EXPECT_EQ(pop.At(rcTitle.Width() + 3, 0), frame);
  for (int x = 1; x < rcTitle.Width() - 1; ++x) EXPECT_EQ(pop.At(x, 0), back) << x;
  EXPECT_EQ(pop.At(159, 40), frame);
  EXPECT_EQ(pop.At(0, 89), frame);
  // The icon column shades like the bars.
  EXPECT_EQ(pop.At(1, 40), RGB(221, 236, 254));

  popup.DestroyWindow();
  title->m_pPopup = nullptr;
}

// ---- Metrics of every look ----

TEST_F(Themes, DerivedColoursWithoutAScheme) {
  LookScope look(2, 0);
  CCbGradientTheme* g = Gradient();
  ASSERT_TRUE(g);
  EXPECT_FALSE(g->IsLunaTheme());
  const COLORREF c5 = g->GetColor(5), c15 = g->GetColor(15);
  EXPECT_EQ(g->m_clrDockBarLight, c15);
  EXPECT_EQ(g->m_clrDockBarDark, CCbColorManager::Blend(c15, c5, 205));
  EXPECT_EQ(g->m_clrBarLight, CCbColorManager::Blend(c15, c5, 205));
  EXPECT_EQ(g->m_clrBarDark, c15);
  EXPECT_EQ(g->m_clrStatusPane, CCbColorManager::Blend(c15, c5, 70));
  EXPECT_EQ(g->GetColor(55), CbColorManager()->GetGradientDark(1));
  EXPECT_EQ(g->m_clrShadow, 0u);
  // The expand picture: transparent corners, the darkest pixel below right of the centre.
  EXPECT_EQ(g->GetExpandPixel(0, 0), (COLORREF)-1);
  EXPECT_EQ(g->GetExpandPixel(15, 15), (COLORREF)-1);
  EXPECT_EQ(g->GetExpandPixel(9, 9), g->m_clrExpandPicture1);
}

TEST_F(Themes, SchemesFillBothTablesAndTheShadow) {
  struct Case {
    int scheme;
    COLORREF shadow, line, c30, c43, pane;
  } cases[] = {
      {1, RGB(22, 30, 54), RGB(59, 97, 156), RGB(158, 190, 245), RGB(0, 45, 150), RGB(211, 211, 211)},
      {2, RGB(31, 34, 25), RGB(96, 128, 88), RGB(217, 217, 167), RGB(117, 141, 94), RGB(211, 211, 211)},
      {3, RGB(36, 32, 41), RGB(124, 124, 148), RGB(215, 215, 229), RGB(124, 124, 148), RGB(236, 234, 218)},
  };
  for (const Case& c : cases) {
    LookScope look(2, c.scheme);
    CCbGradientTheme* g = Gradient();
    EXPECT_EQ(g->GetAppliedScheme(), c.scheme);
    EXPECT_EQ(g->m_clrShadow, c.shadow);
    EXPECT_EQ(g->m_clrBarShadow, c.line);
    EXPECT_EQ(g->GetColor(30), c.c30);
    EXPECT_EQ(g->GetColor(43), c.c43);
    EXPECT_EQ(g->GetColor(47), RGB(0, 0, 0));
    EXPECT_EQ(g->m_clrStatusPane, c.pane);
    // An override still wins over the scheme.
    g->SetColor(30, RGB(9, 9, 9));
    EXPECT_EQ(g->GetColor(30), RGB(9, 9, 9));
  }
  // Scheme colours switched off in the colour manager: the derived ones.
  CbColorManager()->DisableLunaColors(TRUE);
  {
    LookScope look(2, 1);
    EXPECT_FALSE(Gradient()->IsLunaTheme());
  }
  CbColorManager()->DisableLunaColors(FALSE);
}

TEST_F(Themes, StudioKeepsTheDerivedColoursWithItsOwnBarFace) {
  {
    LookScope look(4, 1);
    CCbGradientTheme* g = Gradient();
    ASSERT_TRUE(g);
    EXPECT_FALSE(g->IsLunaTheme());
    EXPECT_EQ(g->m_clrBarDark, RGB(199, 198, 176));
    EXPECT_EQ(g->m_clrBarShadow, RGB(146, 146, 118));
    EXPECT_EQ(g->GetLookKind(), 2);
  }
  LookScope look(4, 3);
  EXPECT_EQ(Gradient()->m_clrBarLight, RGB(245, 245, 252));
  EXPECT_EQ(Gradient()->m_clrBarShadow, RGB(124, 124, 148));
}

TEST_F(Themes, BordersShadowsAndFamiliesOfEachLook) {
  ThemedFrame f;
  struct Case {
    int theme, kind;
    BOOL shadow;
    CRect top, left;
  } cases[] = {
      {0, 0, TRUE, CRect(2, 2, 2, 2), CRect(2, 2, 2, 2)}, {1, 1, FALSE, CRect(2, 2, 2, 2), CRect(2, 2, 2, 2)},
      {2, 2, TRUE, CRect(4, 2, 2, 2), CRect(2, 2, 2, 2)}, {3, 3, FALSE, CRect(2, 2, 2, 2), CRect(2, 2, 2, 2)},
      {4, 2, TRUE, CRect(4, 2, 2, 2), CRect(2, 2, 2, 2)}, {7, 1, FALSE, CRect(2, 2, 2, 2), CRect(2, 2, 2, 2)},
  };
  for (const Case& c : cases) {
    LookScope look(c.theme, 0);
    CCbPaintManager* p = CbPaintManager();
    EXPECT_EQ(p->GetLookKind(), c.kind) << c.theme;
    EXPECT_EQ(p->HasOwnShadow(), c.shadow) << c.theme;
    f.standard->SetPosition(cbBarTop);
    EXPECT_EQ(p->GetBarBorders(f.standard), c.top) << c.theme;
    f.standard->SetPosition(cbBarLeft);
    EXPECT_EQ(p->GetBarBorders(f.standard), c.left) << c.theme;
    f.standard->SetPosition(cbBarTop);
  }
  // The native look falls back to the classic drawing with faded icons.
  LookScope look(3, 0);
  EXPECT_TRUE(CbPaintManager()->m_bFadedIcons);
  Canvas cv(30, 30);
  CbPaintManager()->DrawButtonBackground(&cv.dc, CRect(4, 4, 26, 26), TRUE, 1, 0, 0, FALSE, 1, 0);
  EXPECT_EQ(cv.At(4, 4), CbPaintManager()->GetColor(20));
  EXPECT_EQ(cv.At(25, 25), CbPaintManager()->GetColor(16));
  EXPECT_EQ(cv.dc.GetTextColor(), CbPaintManager()->GetColor(18));
}

TEST_F(Themes, ClassicCheckedButtonIsDitheredAndSunken) {
  LookScope look(1, 0);
  CCbPaintManager* p = CbPaintManager();
  Canvas cv(30, 30);
  p->DrawButtonBackground(&cv.dc, CRect(4, 4, 26, 26), TRUE, 0, 0, 1, FALSE, 1, 0);
  EXPECT_EQ(cv.At(4, 4), p->GetColor(16));
  EXPECT_EQ(cv.At(25, 25), p->GetColor(20));
  const COLORREF a = cv.At(10, 10), b = cv.At(11, 10);
  EXPECT_NE(a, b);
  EXPECT_TRUE((a == p->GetColor(15) && b == p->GetColor(20)) || (a == p->GetColor(20) && b == p->GetColor(15)));
}

TEST_F(Themes, GradientDockAreaAndStatusPanes) {
  LookScope look(2, 1);
  ThemedFrame f;
  CCbDockBar* dock = f.standard->GetDockBar();
  ASSERT_TRUE(dock);
  CBitmap pic;
  ASSERT_TRUE(AfxCaptureWindow(dock->GetSafeHwnd(), &pic));
  CRect rc;
  dock->GetClientRect(&rc);
  const COLORREF left = pic.GetPixel(0, rc.Height() - 1);
  EXPECT_EQ(left, RGB(158, 190, 245));
  CBitmap spic;
  ASSERT_TRUE(AfxCaptureWindow(f.status.GetSafeHwnd(), &spic));
  CRect pane;
  f.status.GetItemRect(1, &pane);
  EXPECT_EQ(spic.GetPixel(pane.left, pane.top + 2), RGB(211, 211, 211));
  EXPECT_EQ(spic.GetPixel(pane.left + 3, pane.bottom - 1), RGB(211, 211, 211));
}

// ---- Gallery: one picture per look; parts are added by appending to kParts ----

struct GalleryLook {
  const char* name;
  int theme, scheme;
};
const GalleryLook kLooks[] = {
    {"flat", 0, 0},   {"gradient", 2, 0}, {"gradient_blue", 2, 1}, {"gradient_olive", 2, 2}, {"gradient_silver", 2, 3},
    {"studio", 4, 0}, {"classic", 1, 0},  {"native", 3, 0},
};

// A part sets up what it shows in the frame before the picture is taken.
struct GalleryPart {
  const char* name;
  std::function<void(ThemedFrame&)> show;
};
const std::vector<GalleryPart>& Parts() {
  static const std::vector<GalleryPart> parts = {
      {"standard hot, pressed and checked",
       [](ThemedFrame& f) {
         f.standard->GetControl(1)->SetChecked(1);
         f.standard->GetControl(2)->OnSetSelected(1);
         f.standard->GetControl(3)->OnSetSelected(1);
         f.standard->GetControl(3)->SetPressed(1);
       }},
      {"status bar", [](ThemedFrame& f) { f.status.SetPaneText(0, "Ready"); }},
  };
  return parts;
}

void ClickControl(CCbCommandBar* bar, CCbControl* c) {
  const CPoint at = c->GetRect().CenterPoint();
  AfxTestMoveTo(bar->GetSafeHwnd(), at.x, at.y);
  AfxTestClick(bar->GetSafeHwnd(), at.x, at.y);
  AfxTestWait(10);
}

TEST_F(Themes, GalleryPicturePerLook) {
  for (const GalleryLook& look : kLooks) {
    LookScope scope(look.theme, look.scheme);
    ThemedFrame f(true);
    ASSERT_TRUE(f.menu && f.combo) << look.name;
    for (const GalleryPart& part : Parts()) part.show(f);
    f.frame->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    AfxTestWait(5);
    // Every look gives the combo its own width and shows the chosen port in its field.
    {
      const CRect rc = f.combo->GetRect();
      EXPECT_EQ(150, rc.Width()) << look.name;
      CBitmap bar;
      ASSERT_TRUE(AfxCaptureWindow(f.ports->GetSafeHwnd(), &bar)) << look.name;
      const CPoint at = AfxClientOriginInCapture(f.ports->GetSafeHwnd());
      const COLORREF field = bar.GetPixel(at.x + rc.right - 30, at.y + rc.CenterPoint().y);
      int ink = 0;
      for (int x = rc.left + 3; x < rc.left + 60; ++x)
        for (int y = rc.top + 3; y < rc.bottom - 3; ++y) ink += bar.GetPixel(at.x + x, at.y + y) != field;
      EXPECT_GT(ink, 20) << look.name << ": no text in the field";
    }
    CRect frame;
    f.frame->GetWindowRect(&frame);
    // Room below the frame for the menu and the list.
    const CRect area(frame.left - 10, frame.top - 10, frame.right + 10, frame.bottom + 200);
    // A menu and a combo's list can't be open together: each is pictured on the screen (popups
    // and their shadows over the frame), one above the other.
    CBitmap pics[2];
    // "Tides": the third title, a menu with sub-menus and separators.
    ClickControl(f.menu, f.menu->GetControl(2));
    CCbCommandBar* tides = f.menu->GetControl(2)->GetCommandBar();
    ASSERT_TRUE(tides && tides->IsTrackingMode()) << look.name;
    ASSERT_TRUE(AfxCaptureScreen(&pics[0], area)) << look.name;
    CbMouseManager()->SendTrackLost();
    AfxTestWait(5);
    ClickControl(f.ports, f.combo);
    ASSERT_TRUE(f.combo->IsListOpen()) << look.name;
    ASSERT_TRUE(AfxCaptureScreen(&pics[1], area)) << look.name;
    // The flat and gradient looks always shadow a list: a solid strip (no compositor here)
    // darker than the view beyond it.
    if (look.theme == 0 || look.theme == 2) {
      CRect list;
      ::GetWindowRect(f.combo->GetListHwnd(), &list);
      list.OffsetRect(-area.left, -area.top);
      const int y = list.CenterPoint().y, x = list.CenterPoint().x;
      EXPECT_NE(pics[1].GetPixel(list.right + 1, y), pics[1].GetPixel(list.right + 3, y)) << look.name;
      EXPECT_NE(pics[1].GetPixel(x, list.bottom + 1), pics[1].GetPixel(x, list.bottom + 3)) << look.name;
      EXPECT_LT(GetRValue(pics[1].GetPixel(list.right + 1, y)), GetRValue(pics[1].GetPixel(list.right + 3, y)));
    }
    CbMouseManager()->SendTrackLost();
    AfxTestWait(5);
    Canvas all(area.Width(), area.Height() * 2);
    for (int i = 0; i < 2; ++i) {
      CDC src;
      src.CreateCompatibleDC(nullptr);
      CBitmap* old = src.SelectObject(&pics[i]);
      all.dc.BitBlt(0, area.Height() * i, area.Width(), area.Height(), &src, 0, 0, SRCCOPY);
      src.SelectObject(old);
    }
    const CString file = CString("gallery_") + look.name + ".png";
    EXPECT_TRUE(all.bmp.SavePng(file)) << look.name;
  }
}

}  // namespace

namespace {

// The pixels of a control's rectangle as the bar shows them.
std::vector<COLORREF> ControlPixels(CCbToolBar* bar, CCbControl* c) {
  bar->Invalidate(FALSE);
  bar->UpdateWindow();
  CBitmap pic;
  std::vector<COLORREF> out;
  if (!AfxCaptureWindow(bar->GetSafeHwnd(), &pic)) return out;
  const CPoint origin = AfxClientOriginInCapture(bar->GetSafeHwnd());
  const CRect rc = c->GetRect();
  for (int y = rc.top; y < rc.bottom; ++y)
    for (int x = rc.left; x < rc.right; ++x) out.push_back(pic.GetPixel(origin.x + x, origin.y + y));
  return out;
}

TEST_F(Themes, ADisabledButtonShowsItsDisabledPictureInTheFlatAndGradientLooks) {
  for (int theme : {0, 2}) {
    LookScope look(theme, 0);
    ThemedFrame f;
    CCbControl* button = nullptr;
    for (int i = 0; i < f.standard->GetControlCount() && !button; ++i)
      if (CCbControl* c = f.standard->GetControl(i); c->IsVisible() && c->GetIcon(16)) button = c;
    ASSERT_TRUE(button) << theme;
    button->SetFlags(button->GetFlags() | cbFlagManualUpdate);
    button->SetEnabled(TRUE);
    const std::vector<COLORREF> enabled = ControlPixels(f.standard, button);
    button->SetEnabled(FALSE);
    const std::vector<COLORREF> disabled = ControlPixels(f.standard, button);
    ASSERT_FALSE(enabled.empty());
    ASSERT_EQ(enabled.size(), disabled.size());
    int changed = 0;
    for (size_t i = 0; i < enabled.size(); ++i) changed += enabled[i] != disabled[i];
    EXPECT_GT(changed, 10) << "look " << theme;
  }
}

TEST_F(Themes, AColourOrSettingChangeReachesTheBarsThroughTheFrameAtOnce) {
  const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
  for (UINT message : {WM_SYSCOLORCHANGE, WM_SETTINGCHANGE}) {
    LookScope look(0, 0);
    ThemedFrame f;
    CBitmap before;
    ASSERT_TRUE(AfxCaptureWindow(f.standard->GetSafeHwnd(), &before));
    const COLORREF shown = before.GetPixel(4, 1);
    SetSysColorsForTest(COLOR_BTNFACE, RGB(200, 120, 40));
    f.frame->SendMessage(message, 0, 0);
    CBitmap after;
    ASSERT_TRUE(AfxCaptureWindow(f.standard->GetSafeHwnd(), &after));
    EXPECT_NE(shown, after.GetPixel(4, 1)) << message;
    SetSysColorsForTest(COLOR_BTNFACE, face);
    f.frame->SendMessage(message, 0, 0);
    CBitmap back;
    ASSERT_TRUE(AfxCaptureWindow(f.standard->GetSafeHwnd(), &back));
    EXPECT_EQ(shown, back.GetPixel(4, 1)) << message;
  }
}

}  // namespace
