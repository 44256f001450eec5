// Drawing, checked in pixels: shapes and their edges, pens, blits and masks, clipping,
// text placement and DrawText flags, rotated text, and a window's persistent pixels.
#include "platform/testing/UiTest.h"
#include "platform/ui/AfxWin.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <utility>

namespace {

const COLORREF kGrey = RGB(200, 200, 200);

// A colour memory DC over a bitmap of its own.
struct Canvas {
  CDC dc;
  CBitmap bmp;
  CBitmap* old = nullptr;
  Canvas(int w, int h, COLORREF bg = kGrey) {
    AfxWinInit(0, nullptr);
    dc.CreateCompatibleDC(nullptr);
    bmp.CreateCompatibleBitmap(nullptr, w, h);
    old = dc.SelectObject(&bmp);
    dc.FillSolidRect(0, 0, w, h, bg);
  }
  ~Canvas() { dc.SelectObject(old); }
  COLORREF At(int x, int y) { return dc.GetPixel(x, y); }
  // Bounding box of the pixels that differ from the background.
  CRect Ink(COLORREF bg = kGrey) {
    BITMAP b;
    bmp.GetBitmap(&b);
    CRect r(10000, 10000, -1, -1);
    for (int y = 0; y < b.bmHeight; ++y)
      for (int x = 0; x < b.bmWidth; ++x)
        if (dc.GetPixel(x, y) != bg) {
          r.left = std::min<LONG>(r.left, x);
          r.top = std::min<LONG>(r.top, y);
          r.right = std::max<LONG>(r.right, x + 1);
          r.bottom = std::max<LONG>(r.bottom, y + 1);
        }
    return r.right < 0 ? CRect() : r;
  }
};

void SelectArial(CDC& dc, CFont& f, int height, int escapement = 0, int weight = FW_NORMAL) {
  LOGFONT lf{};
  lf.lfHeight = height;
  lf.lfEscapement = escapement;
  lf.lfWeight = weight;
  std::strcpy(lf.lfFaceName, "Arial");
  f.CreateFontIndirect(&lf);
  dc.SelectObject(&f);
}

TEST(Drawing, RectanglesFillsAndLinesLeaveOutTheirRightBottomAndLastPixel) {
  Canvas c(60, 60);
  CPen pen(PS_SOLID, 1, RGB(0, 0, 0));
  CBrush brush(RGB(255, 255, 255));
  CPen* op = c.dc.SelectObject(&pen);
  CBrush* ob = c.dc.SelectObject(&brush);
  c.dc.Rectangle(10, 10, 20, 20);
  EXPECT_EQ(RGB(0, 0, 0), c.At(10, 10));
  EXPECT_EQ(RGB(0, 0, 0), c.At(19, 19));
  EXPECT_EQ(RGB(0, 0, 0), c.At(19, 10));
  EXPECT_EQ(kGrey, c.At(20, 20));
  EXPECT_EQ(kGrey, c.At(20, 15));
  EXPECT_EQ(RGB(255, 255, 255), c.At(15, 15));
  CBrush red(RGB(255, 0, 0));
  c.dc.FillRect(CRect(30, 30, 35, 35), &red);
  EXPECT_EQ(RGB(255, 0, 0), c.At(30, 30));
  EXPECT_EQ(RGB(255, 0, 0), c.At(34, 34));
  EXPECT_EQ(kGrey, c.At(35, 34));
  c.dc.MoveTo(0, 50);
  c.dc.LineTo(10, 50);
  EXPECT_EQ(RGB(0, 0, 0), c.At(0, 50));
  EXPECT_EQ(RGB(0, 0, 0), c.At(9, 50));
  EXPECT_EQ(kGrey, c.At(10, 50));
  EXPECT_EQ(CPoint(10, 50), c.dc.GetCurrentPosition());
  c.dc.SelectObject(op);
  c.dc.SelectObject(ob);
}

TEST(Drawing, PensNullDottedAndWide) {
  Canvas c(80, 40);
  CPen none(PS_NULL, 1, 0), dot(PS_DOT, 1, RGB(0, 0, 255)), wide(PS_SOLID, 3, RGB(0, 128, 0));
  CPen* old = c.dc.SelectObject(&none);
  c.dc.MoveTo(0, 5);
  c.dc.LineTo(80, 5);
  EXPECT_EQ(CRect(), c.Ink());
  c.dc.SelectObject(&dot);
  c.dc.MoveTo(0, 10);
  c.dc.LineTo(60, 10);
  int on = 0, off = 0;
  for (int x = 0; x < 59; ++x) (c.At(x, 10) == RGB(0, 0, 255) ? on : off)++;
  EXPECT_GT(on, 15);
  EXPECT_GT(off, 15);
  c.dc.SelectObject(&wide);
  c.dc.MoveTo(10, 30);
  c.dc.LineTo(70, 30);
  int thick = 0;
  for (int y = 25; y < 36; ++y) thick += c.At(40, y) == RGB(0, 128, 0);
  EXPECT_EQ(3, thick);
  c.dc.SelectObject(old);
}

TEST(Drawing, PaletteRelativeColoursAreDrawnAsTheirRgb) {
  Canvas c(10, 10);
  c.dc.FillSolidRect(0, 0, 5, 5, PALETTERGB(10, 20, 30));
  EXPECT_EQ(RGB(10, 20, 30), c.At(2, 2));
  CPalette pal;
  struct {
    LOGPALETTE lp;
    PALETTEENTRY more[1];
  } p{{0x300, 2, {{1, 2, 3, PC_NOCOLLAPSE}}}, {{4, 5, 6, PC_NOCOLLAPSE}}};
  ASSERT_TRUE(pal.CreatePalette(&p.lp));
  EXPECT_EQ(2, pal.GetEntryCount());
  c.dc.SelectPalette(&pal, FALSE);
  EXPECT_EQ(0u, c.dc.RealizePalette());
  CPen pen(PS_SOLID, 1, PALETTERGB(200, 0, 100));
  CPen* old = c.dc.SelectObject(&pen);
  c.dc.MoveTo(0, 8);
  c.dc.LineTo(9, 8);
  EXPECT_EQ(RGB(200, 0, 100), c.At(3, 8));
  c.dc.SelectObject(old);
}

TEST(Drawing, BitBltCopiesAndAMonoMaskMakesTransparentPictures) {
  Canvas src(20, 20, RGB(255, 0, 255)), dst(20, 20);
  src.dc.FillSolidRect(5, 5, 10, 10, RGB(0, 0, 255));
  dst.dc.BitBlt(0, 0, 20, 20, &src.dc, 0, 0, SRCCOPY);
  EXPECT_EQ(RGB(0, 0, 255), dst.At(7, 7));
  EXPECT_EQ(RGB(255, 0, 255), dst.At(1, 1));
  // The classic mask: colour to mono keys on the source's background colour...
  CDC maskDC;
  maskDC.CreateCompatibleDC(&src.dc);
  CBitmap mask;
  mask.CreateBitmap(20, 20, 1, 1, nullptr);
  CBitmap* om = maskDC.SelectObject(&mask);
  src.dc.SetBkColor(RGB(255, 0, 255));
  maskDC.BitBlt(0, 0, 20, 20, &src.dc, 0, 0, SRCCOPY);
  EXPECT_EQ(RGB(255, 255, 255), maskDC.GetPixel(1, 1));
  EXPECT_EQ(RGB(0, 0, 0), maskDC.GetPixel(7, 7));
  // ...and mono to colour takes the destination's text (0) and background (1) colours.
  Canvas out(20, 20, RGB(0, 255, 0));
  out.dc.SetTextColor(RGB(0, 0, 0));
  out.dc.SetBkColor(RGB(255, 255, 255));
  out.dc.BitBlt(0, 0, 20, 20, &src.dc, 0, 0, SRCINVERT);
  out.dc.BitBlt(0, 0, 20, 20, &maskDC, 0, 0, SRCAND);
  out.dc.BitBlt(0, 0, 20, 20, &src.dc, 0, 0, SRCINVERT);
  EXPECT_EQ(RGB(0, 0, 255), out.At(7, 7));  // the picture
  EXPECT_EQ(RGB(0, 255, 0), out.At(1, 1));  // the background shows through
  maskDC.SelectObject(om);
  // A bitmap compatible with a fresh memory DC is mono, as on the platform.
  CDC fresh;
  fresh.CreateCompatibleDC(nullptr);
  CBitmap mono;
  mono.CreateCompatibleBitmap(&fresh, 4, 4);
  BITMAP bm;
  mono.GetBitmap(&bm);
  EXPECT_EQ(1, bm.bmBitsPixel);
}

TEST(Drawing, StretchBltScalesTheSource) {
  Canvas src(4, 4, RGB(255, 0, 0)), dst(40, 40);
  src.dc.FillSolidRect(2, 0, 2, 4, RGB(0, 0, 255));
  dst.dc.StretchBlt(0, 0, 40, 20, &src.dc, 0, 0, 4, 4, SRCCOPY);
  EXPECT_EQ(RGB(255, 0, 0), dst.At(5, 5));
  EXPECT_EQ(RGB(0, 0, 255), dst.At(35, 15));
  EXPECT_EQ(kGrey, dst.At(5, 25));
}

TEST(Drawing, ClippingSaveAndRestore) {
  Canvas c(40, 40);
  int saved = c.dc.SaveDC();
  c.dc.SetTextColor(RGB(1, 2, 3));
  c.dc.IntersectClipRect(10, 10, 20, 20);
  c.dc.FillSolidRect(0, 0, 40, 40, RGB(0, 0, 0));
  EXPECT_EQ(CRect(10, 10, 20, 20), c.Ink());
  CRect box;
  c.dc.GetClipBox(&box);
  EXPECT_EQ(CRect(10, 10, 20, 20), box);
  c.dc.RestoreDC(saved);
  EXPECT_EQ(0u, c.dc.GetTextColor());
  c.dc.FillSolidRect(30, 30, 5, 5, RGB(0, 0, 0));
  EXPECT_EQ(RGB(0, 0, 0), c.At(32, 32));
  CRgn rgn;
  rgn.CreateRectRgn(0, 0, 5, 5);
  c.dc.SelectClipRgn(&rgn);
  c.dc.FillSolidRect(0, 0, 40, 40, RGB(255, 255, 255));
  EXPECT_EQ(RGB(255, 255, 255), c.At(4, 4));
  EXPECT_EQ(kGrey, c.At(5, 5));
  c.dc.SelectClipRgn(nullptr);
  c.dc.SetViewportOrg(20, 0);
  c.dc.FillSolidRect(0, 0, 2, 2, RGB(255, 255, 0));  // the viewport origin moves drawing
  c.dc.SetViewportOrg(0, 0);
  EXPECT_EQ(RGB(255, 255, 0), c.At(20, 0));
  EXPECT_EQ(kGrey, c.At(22, 0));
}

TEST(Drawing, SelectObjectReturnsThePreviousObjectForRestoring) {
  Canvas c(10, 10);
  CPen a(PS_SOLID, 1, RGB(255, 0, 0)), b(PS_SOLID, 1, RGB(0, 255, 0));
  CPen* first = c.dc.SelectObject(&a);
  ASSERT_NE(nullptr, first);
  EXPECT_EQ(&a, c.dc.SelectObject(&b));
  EXPECT_EQ(&b, c.dc.SelectObject(first));
  CGdiObject* stock = c.dc.SelectStockObject(NULL_BRUSH);
  ASSERT_NE(nullptr, stock);
  c.dc.SelectObject(stock);
  // Deleting a selected object waits until the DC lets it go.
  auto* temp = new CBrush(RGB(1, 1, 1));
  CBrush* prev = c.dc.SelectObject(temp);
  delete temp;
  c.dc.FillRect(CRect(0, 0, 2, 2), c.dc.GetCurrentBrush());
  c.dc.SelectObject(prev);
}

TEST(Drawing, DrawEdgeAndGradientUseTheClassicColours) {
  Canvas c(40, 40);
  CRect r(0, 0, 20, 20);
  c.dc.DrawEdge(&r, EDGE_RAISED, BF_RECT | BF_ADJUST);
  EXPECT_EQ(GetSysColor(COLOR_3DLIGHT), c.At(0, 0));
  EXPECT_EQ(GetSysColor(COLOR_3DHILIGHT), c.At(1, 1));
  EXPECT_EQ(GetSysColor(COLOR_3DDKSHADOW), c.At(19, 19));
  EXPECT_EQ(GetSysColor(COLOR_3DSHADOW), c.At(18, 18));
  EXPECT_EQ(CRect(2, 2, 18, 18), r);
  TRIVERTEX v[2] = {{0, 25, 0xFF00, 0, 0, 0}, {40, 35, 0, 0, 0xFF00, 0}};
  GRADIENT_RECT g{0, 1};
  c.dc.GradientFill(v, 2, &g, 1, GRADIENT_FILL_RECT_H);
  EXPECT_EQ(RGB(255, 0, 0), c.At(0, 30));
  EXPECT_EQ(RGB(0, 0, 255), c.At(39, 30));
  EXPECT_EQ(96, c.dc.GetDeviceCaps(LOGPIXELSY));
  EXPECT_EQ(RGB(192, 192, 192), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(RGB(0, 0, 128), GetSysColor(COLOR_HIGHLIGHT));
}

TEST(Text, FontsMapToInstalledFacesWithTheirHeights) {
  Canvas c(10, 10);
  CFont f;
  ASSERT_TRUE(f.CreatePointFont(100, "Arial"));
  LOGFONT lf;
  f.GetLogFont(&lf);
  EXPECT_EQ(-13, lf.lfHeight);  // 10 points at 96 dots per inch
  // Point sizes round to the nearest pixel: 14 and 11 points are 18.67 and 14.67 pixels.
  for (auto [tenths, px] : {std::pair{140, -19}, {110, -15}, {85, -11}, {90, -12}}) {
    CFont p;
    ASSERT_TRUE(p.CreatePointFont(tenths, "Arial"));
    LOGFONT pl;
    p.GetLogFont(&pl);
    EXPECT_EQ(px, pl.lfHeight) << tenths;
  }
  c.dc.SelectObject(&f);
  TEXTMETRIC tm;
  c.dc.GetTextMetrics(&tm);
  EXPECT_GE(tm.tmHeight, 14);
  EXPECT_LE(tm.tmHeight, 16);
  EXPECT_EQ(tm.tmAscent + tm.tmDescent, tm.tmHeight);
  CFont cell;
  LOGFONT lc{};
  lc.lfHeight = 20;  // a positive height is the cell height
  std::strcpy(lc.lfFaceName, "Tahoma");
  cell.CreateFontIndirect(&lc);
  c.dc.SelectObject(&cell);
  c.dc.GetTextMetrics(&tm);
  EXPECT_NEAR(20, tm.tmHeight, 1);
  EXPECT_STREQ("Liberation Sans", AfxMapFontFace("Arial"));
  EXPECT_STREQ("DejaVu Sans", AfxMapFontFace("MS Sans Serif"));
  c.dc.SelectStockObject(SYSTEM_FONT);
}

TEST(Text, TextOutPlacesTheCellsTopLeftAtThePoint) {
  Canvas c(200, 60);
  CFont f;
  SelectArial(c.dc, f, -20);
  c.dc.SetBkMode(TRANSPARENT);
  c.dc.SetTextColor(RGB(0, 0, 0));
  c.dc.TextOut(30, 10, "Hello");
  CRect ink = c.Ink();
  CSize ext = c.dc.GetTextExtent("Hello", 5);
  TEXTMETRIC tm;
  c.dc.GetTextMetrics(&tm);
  EXPECT_GE(ink.left, 30);
  EXPECT_LE(ink.left, 33);
  EXPECT_GE(ink.top, 10);
  EXPECT_LE(ink.top, 10 + tm.tmInternalLeading + 3);
  EXPECT_LE(ink.bottom, 10 + tm.tmAscent + 1);  // no descenders in "Hello"
  EXPECT_NEAR(30 + ext.cx, ink.right, 3);
  // An opaque background fills exactly the text's cell.
  Canvas o(200, 60);
  CFont f2;
  SelectArial(o.dc, f2, -20);
  o.dc.SetBkMode(OPAQUE);
  o.dc.SetBkColor(RGB(255, 255, 0));
  o.dc.TextOut(30, 10, "Hello");
  EXPECT_EQ(CRect(30, 10, 30 + ext.cx, 10 + ext.cy), o.Ink());
  o.dc.SelectStockObject(SYSTEM_FONT);
  c.dc.SelectStockObject(SYSTEM_FONT);
}

TEST(Text, TextAlignmentMovesTheReferencePoint) {
  Canvas c(200, 60);
  CFont f;
  SelectArial(c.dc, f, -20);
  c.dc.SetBkMode(OPAQUE);
  c.dc.SetBkColor(RGB(0, 0, 0));
  c.dc.SetTextAlign(TA_RIGHT | TA_BOTTOM);
  c.dc.TextOut(150, 50, "Tide");
  CSize ext = c.dc.GetTextExtent("Tide", 4);
  EXPECT_EQ(CRect(150 - ext.cx, 50 - ext.cy, 150, 50), c.Ink());
  c.dc.SelectStockObject(SYSTEM_FONT);
}

TEST(Text, RotatedTextReadsUpwardsFromItsPoint) {
  Canvas c(80, 200);
  CFont f;
  SelectArial(c.dc, f, -16, 900);
  c.dc.SetBkMode(TRANSPARENT);
  c.dc.TextOut(5, 150, "Height (Metres)");
  CRect ink = c.Ink();
  CFont flat;
  SelectArial(c.dc, flat, -16);
  CSize ext = c.dc.GetTextExtent("Height (Metres)", 15);
  EXPECT_GT(ink.Height(), ink.Width() * 3);
  EXPECT_LE(ink.bottom, 151);
  EXPECT_GE(ink.bottom, 145);
  EXPECT_NEAR(150 - ext.cx, ink.top, 3);
  EXPECT_GE(ink.left, 5);
  EXPECT_LE(ink.right, 5 + ext.cy + 1);
  c.dc.SelectStockObject(SYSTEM_FONT);
}

struct DrawCase {
  UINT flags;
  const char* what;
  std::function<void(const CRect& rc, const CRect& ink, const CSize& ext)> check;
};

TEST(Text, DrawTextPlacesSingleLinesByItsFlags) {
  const CRect rc(20, 20, 220, 80);
  DrawCase cases[] = {
      {DT_LEFT | DT_TOP | DT_SINGLELINE, "left top",
       [](const CRect& r, const CRect& i, const CSize&) {
         EXPECT_NEAR(r.left, i.left, 2);
         EXPECT_GE(i.top, r.top);
         EXPECT_LE(i.top, r.top + 6);
       }},
      {DT_CENTER | DT_VCENTER | DT_SINGLELINE, "centred",
       [](const CRect& r, const CRect& i, const CSize&) {
         EXPECT_NEAR(r.CenterPoint().x, i.CenterPoint().x, 2);
         EXPECT_NEAR(r.CenterPoint().y, i.CenterPoint().y, 4);
       }},
      {DT_RIGHT | DT_BOTTOM | DT_SINGLELINE, "right bottom",
       [](const CRect& r, const CRect& i, const CSize&) {
         EXPECT_NEAR(r.right, i.right, 2);
         EXPECT_LE(i.bottom, r.bottom);
         EXPECT_GE(i.bottom, r.bottom - 8);
       }},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.what);
    Canvas cv(240, 100);
    CFont f;
    SelectArial(cv.dc, f, -16);
    cv.dc.SetBkMode(TRANSPARENT);
    CRect r = rc;
    cv.dc.DrawText("Tidal Log", -1, &r, c.flags);
    c.check(rc, cv.Ink(), cv.dc.GetTextExtent("Tidal Log", 9));
    cv.dc.SelectStockObject(SYSTEM_FONT);
  }
}

TEST(Text, DrawTextBreaksWordsAndMeasuresWithCalcRect) {
  Canvas c(300, 200);
  CFont f;
  SelectArial(c.dc, f, -14);
  c.dc.SetBkMode(TRANSPARENT);
  const char* text = "Click Here For the Graph of Dover on the 5 May 2026.";
  TEXTMETRIC tm;
  c.dc.GetTextMetrics(&tm);
  CRect calc(10, 10, 130, 10);
  int h = c.dc.DrawText(text, -1, &calc, DT_CENTER | DT_WORDBREAK | DT_CALCRECT);
  EXPECT_EQ(CRect(), c.Ink());  // measuring draws nothing
  EXPECT_EQ(h, calc.Height());
  EXPECT_EQ(0, h % tm.tmHeight);
  int lines = h / tm.tmHeight;
  EXPECT_GE(lines, 3);
  EXPECT_LE(calc.Width(), 120);
  CRect r(10, 10, 130, 190);
  EXPECT_EQ(h, c.dc.DrawText(text, -1, &r, DT_CENTER | DT_WORDBREAK));
  CRect ink = c.Ink();
  EXPECT_GE(ink.left, 10);
  EXPECT_LE(ink.right, 131);
  EXPECT_GT(ink.Height(), (lines - 1) * tm.tmHeight);
  EXPECT_LE(ink.bottom, 10 + h);
  // Single line: DT_CALCRECT gives the text's extent.
  CRect one(0, 0, 0, 0);
  c.dc.DrawText("Tide", -1, &one, DT_SINGLELINE | DT_CALCRECT);
  EXPECT_EQ(c.dc.GetTextExtent("Tide", 4), one.Size());
  c.dc.SelectStockObject(SYSTEM_FONT);
}

TEST(Text, EndEllipsisKeepsTheTextInsideItsRectangle) {
  Canvas c(300, 40);
  CFont f;
  SelectArial(c.dc, f, -14);
  c.dc.SetBkMode(TRANSPARENT);
  CRect r(10, 5, 90, 30);
  c.dc.DrawText("Southampton Dockhead (Ocean Terminal)", -1, &r, DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOCLIP);
  CRect ink = c.Ink();
  EXPECT_LE(ink.right, 90);
  EXPECT_GT(ink.right, 70);
  // The last ink is the ellipsis: three dots low on the line.
  c.dc.SelectStockObject(SYSTEM_FONT);
}

TEST(Text, PrefixesUnderlineTheirCharacterUnlessNoPrefixIsAsked) {
  Canvas a(200, 40), b(200, 40);
  CFont fa, fb;
  SelectArial(a.dc, fa, -16);
  SelectArial(b.dc, fb, -16);
  a.dc.SetBkMode(TRANSPARENT);
  b.dc.SetBkMode(TRANSPARENT);
  CRect r(10, 5, 190, 35);
  CRect calcA = r, calcB = r;
  a.dc.DrawText("&File", -1, &calcA, DT_SINGLELINE | DT_CALCRECT);
  b.dc.DrawText("&File", -1, &calcB, DT_SINGLELINE | DT_CALCRECT | DT_NOPREFIX);
  EXPECT_EQ(a.dc.GetTextExtent("File", 4).cx, calcA.Width());
  EXPECT_EQ(a.dc.GetTextExtent("&File", 5).cx, calcB.Width());
  a.dc.DrawText("&File", -1, &r, DT_SINGLELINE);
  b.dc.DrawText("File", -1, &r, DT_SINGLELINE);
  TEXTMETRIC tm;
  a.dc.GetTextMetrics(&tm);
  // Only the prefixed text has ink below the baseline, under its first letter.
  int y = r.top + tm.tmAscent + 1;
  int fUnder = 0, restUnder = 0;
  CSize wF = a.dc.GetTextExtent("F", 1);
  for (int x = r.left; x < r.left + 60; ++x) {
    bool ink = a.At(x, y) != kGrey;
    (x < r.left + wF.cx ? fUnder : restUnder) += ink;
    EXPECT_EQ(kGrey, b.At(x, y));
  }
  EXPECT_GE(fUnder, wF.cx - 2);
  EXPECT_EQ(0, restUnder);
  a.dc.SelectStockObject(SYSTEM_FONT);
  b.dc.SelectStockObject(SYSTEM_FONT);
}

TEST(Drawing, ImageListsDrawPicturesWithoutTheirMaskColour) {
  Canvas strip(32, 16, RGB(255, 0, 255));
  strip.dc.FillSolidRect(4, 4, 8, 8, RGB(0, 0, 255));    // picture 0
  strip.dc.FillSolidRect(16, 0, 16, 8, RGB(0, 128, 0));  // picture 1, top half
  strip.dc.SelectObject(strip.old);
  CImageList il;
  ASSERT_TRUE(il.Create(16, 16, ILC_COLOR24 | ILC_MASK, 2, 1));
  EXPECT_EQ(0, il.Add(&strip.bmp, RGB(255, 0, 255)));
  EXPECT_EQ(2, il.GetImageCount());
  strip.old = strip.dc.SelectObject(&strip.bmp);
  Canvas c(40, 40);
  ASSERT_TRUE(il.Draw(&c.dc, 1, CPoint(10, 10), ILD_TRANSPARENT));
  EXPECT_EQ(RGB(0, 128, 0), c.At(12, 12));
  EXPECT_EQ(kGrey, c.At(12, 20));  // the mask colour stays transparent
  ASSERT_TRUE(il.Draw(&c.dc, 0, CPoint(0, 0), ILD_NORMAL));
  EXPECT_EQ(RGB(0, 0, 255), c.At(6, 6));
  EXPECT_EQ(kGrey, c.At(1, 1));
  EXPECT_FALSE(il.Draw(&c.dc, 5, CPoint(0, 0), ILD_NORMAL));
  EXPECT_TRUE(il.Remove(0));
  EXPECT_EQ(1, il.GetImageCount());
}

// A window that paints itself white, and counts its paints.
class CPaintWnd : public CWnd {
 public:
  int paints = 0;
  CRect lastPaint;
  COLORREF fill = RGB(255, 255, 255);
  void OnPaint() {
    CPaintDC dc(this);
    ++paints;
    lastPaint = dc.m_ps.rcPaint;
    CRect rc;
    GetClientRect(&rc);
    dc.FillSolidRect(&rc, fill);
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CPaintWnd, CWnd)
  ON_WM_PAINT()
END_MESSAGE_MAP()

TEST(WindowPixels, ClientDcDrawingPersistsUntilTheWindowIsInvalidated) {
  AfxWinInit(0, nullptr);
  CPaintWnd w;
  ASSERT_TRUE(w.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, 10, 10, 100, 80, nullptr, nullptr));
  w.UpdateWindow();
  EXPECT_EQ(1, w.paints);
  {
    CClientDC dc(&w);
    dc.FillSolidRect(10, 10, 20, 20, RGB(255, 0, 0));
  }
  AfxTestWait(20);
  CBitmap shot;
  ASSERT_TRUE(AfxCaptureWindow(w.m_hWnd, &shot));
  EXPECT_EQ(RGB(255, 0, 0), shot.GetPixel(15, 15));
  EXPECT_EQ(RGB(255, 255, 255), shot.GetPixel(50, 50));
  EXPECT_EQ(1, w.paints);  // exposing and capturing did not repaint
  // A partial invalidation repaints only that part.
  w.fill = RGB(0, 0, 255);
  w.InvalidateRect(CRect(0, 0, 12, 12));
  w.UpdateWindow();
  EXPECT_EQ(2, w.paints);
  EXPECT_EQ(CRect(0, 0, 12, 12), w.lastPaint);
  ASSERT_TRUE(AfxCaptureWindow(w.m_hWnd, &shot));
  EXPECT_EQ(RGB(0, 0, 255), shot.GetPixel(11, 11));
  EXPECT_EQ(RGB(255, 0, 0), shot.GetPixel(15, 15));
  w.Invalidate();
  w.UpdateWindow();
  ASSERT_TRUE(AfxCaptureWindow(w.m_hWnd, &shot));
  EXPECT_EQ(RGB(0, 0, 255), shot.GetPixel(15, 15));
}

TEST(WindowPixels, AWindowTreeRendersIntoAPng) {
  AfxWinInit(0, nullptr);
  CPaintWnd top, child;
  ASSERT_TRUE(top.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, 10, 10, 120, 90, nullptr, nullptr));
  child.fill = RGB(0, 128, 0);
  ASSERT_TRUE(child.CreateEx(0, nullptr, "", WS_CHILD | WS_VISIBLE | WS_BORDER, 20, 30, 40, 30, top.m_hWnd, (HMENU)5));
  CBitmap shot;
  ASSERT_TRUE(AfxCaptureWindow(top.m_hWnd, &shot));
  EXPECT_EQ(CSize(120, 90), shot.GetBitmapDimension());
  EXPECT_EQ(RGB(255, 255, 255), shot.GetPixel(5, 5));
  EXPECT_EQ(GetSysColor(COLOR_WINDOWFRAME), shot.GetPixel(20, 30));  // the child's border
  EXPECT_EQ(RGB(0, 128, 0), shot.GetPixel(30, 40));
  std::string path = ::testing::TempDir() + "/ui_tree.png";
  ASSERT_TRUE(AfxSaveWindowPng(top.m_hWnd, path.c_str()));
  FILE* f = std::fopen(path.c_str(), "rb");
  ASSERT_NE(nullptr, f);
  unsigned char sig[8] = {};
  EXPECT_EQ(8u, std::fread(sig, 1, 8, f));
  std::fclose(f);
  EXPECT_EQ(0x89, sig[0]);
  EXPECT_EQ('P', sig[1]);
  std::remove(path.c_str());
}

}  // namespace
