// Popup placement over tables of work areas: one monitor, two side by side, one below the other
// (not at y = 0) and a top panel.
#include "toolkit/CbPopupPlacement.h"

#include <gtest/gtest.h>

namespace {

const CRect kOne(0, 0, 1280, 1024);
const CRect kPanel(0, 24, 1280, 1024);    // a 24-pixel top panel
const CRect kRight(1280, 0, 2304, 768);   // beside kOne
const CRect kBelow(0, 1024, 1024, 1792);  // below kOne

TEST(PopupPlacement, WorkAreaOfTheControlOrThePoint) {
  std::vector<CRect> two{kOne, kRight};
  EXPECT_EQ(CbWorkAreaFor(two, CRect(1270, 10, 1330, 30), CPoint()), kRight);  // largest share
  EXPECT_EQ(CbWorkAreaFor(two, CRect(), CPoint(1500, 100)), kRight);
  EXPECT_EQ(CbWorkAreaFor(two, CRect(), CPoint(1500, 900)), kRight);  // in no monitor: the nearest
  EXPECT_EQ(CbWorkAreaFor({kOne, kBelow}, CRect(), CPoint(10, 1100)), kBelow);
}

TEST(PopupPlacement, Cases) {
  struct Case {
    const char* name;
    CRect work;
    CB_POPUP_PLACEMENT p;
    CRect expected;
    BOOL scroll, left;
  };
  auto below = [](CRect e, CSize sz) {
    CB_POPUP_PLACEMENT p;
    p.rcExclude = e;
    p.ptAnchor = CPoint(e.left, e.bottom);
    p.szPopup = sz;
    p.bBelow = TRUE;
    return p;
  };
  auto beside = [](CRect e, CSize sz, BOOL left = FALSE) {
    CB_POPUP_PLACEMENT p;
    p.rcExclude = e;
    p.ptAnchor = CPoint(e.right, e.top);
    p.szPopup = sz;
    p.bLeft = left;
    return p;
  };
  auto at = [](CPoint pt, CSize sz, BOOL left = FALSE) {
    CB_POPUP_PLACEMENT p;
    p.ptAnchor = pt;
    p.szPopup = sz;
    p.bLeft = left;
    return p;
  };
  const Case cases[] = {
      {"menu title, room below", kOne, below(CRect(40, 20, 80, 40), CSize(200, 300)), CRect(40, 40, 240, 340), FALSE,
       FALSE},
      {"title at the right edge", kOne, below(CRect(1200, 20, 1260, 40), CSize(200, 300)), CRect(1080, 40, 1280, 340),
       FALSE, TRUE},
      {"submenu beside", kOne, beside(CRect(40, 100, 240, 120), CSize(150, 200)), CRect(240, 100, 390, 300), FALSE,
       FALSE},
      {"submenu flips left", kOne, beside(CRect(1100, 100, 1270, 120), CSize(150, 200)), CRect(950, 100, 1100, 300),
       FALSE, TRUE},
      {"submenu near the bottom", kOne, beside(CRect(40, 900, 240, 920), CSize(150, 200)), CRect(240, 819, 390, 1019),
       FALSE, FALSE},
      {"context menu near the right edge", kOne, at(CPoint(1250, 100), CSize(150, 200)), CRect(1130, 100, 1280, 300),
       FALSE, FALSE},
      {"context menu low on the screen", kOne, at(CPoint(100, 900), CSize(150, 200)), CRect(100, 700, 250, 900), FALSE,
       FALSE},
      {"leftward at a bare point past the left edge", kRight, at(CPoint(1300, 100), CSize(150, 200), TRUE),
       CRect(1280, 100, 1430, 300), FALSE, FALSE},
      {"top panel: never under it", kPanel, at(CPoint(100, 10), CSize(150, 200)), CRect(100, 24, 250, 224), FALSE,
       FALSE},
      {"too tall: scrolls", kPanel, at(CPoint(100, 30), CSize(150, 2000)), CRect(100, 24, 250, 1019), TRUE, FALSE},
      // Tall under a low toolbar control on the lower monitor: halves of that monitor, not of y = 0.
      {"low control on the lower monitor takes the space above", kBelow,
       below(CRect(10, 1600, 50, 1620), CSize(100, 700)), CRect(10, 1024, 110, 1600), TRUE, FALSE},
      {"high control on the lower monitor takes the space below", kBelow,
       below(CRect(10, 1100, 50, 1120), CSize(100, 700)), CRect(10, 1120, 110, 1787), TRUE, FALSE},
      {"bare point high on the lower monitor", kBelow, at(CPoint(10, 1200), CSize(100, 650)),
       CRect(10, 1137, 110, 1787), FALSE, FALSE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CB_POPUP_PLACED r = CbPlacePopup(c.p, c.work);
    EXPECT_EQ(r.rcWindow, c.expected) << r.rcWindow.left << "," << r.rcWindow.top << "," << r.rcWindow.right << ","
                                      << r.rcWindow.bottom;
    EXPECT_EQ(r.bScroll, c.scroll);
    EXPECT_EQ(r.bLeft, c.left);
  }
}

}  // namespace
