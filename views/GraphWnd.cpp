#include "views/GraphWnd.h"
#include "platform/core/AfxUserNumber.h"

#include "model/QsDateTime.h"
#include "platform/ui/Accessible.h"
#include "resources/ResourceIds.h"
#include "views/ViewColours.h"
#include "views/ViewDrawing.h"
#include "views/VxMenu.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

IMPLEMENT_DYNAMIC(CGraphWnd, CWnd)

BEGIN_MESSAGE_MAP(CGraphWnd, CWnd)
  ON_MESSAGE(WM_GETOBJECT, OnGetObject)
  ON_WM_CREATE()
  ON_WM_DESTROY()
  ON_WM_PAINT()
  ON_WM_LBUTTONUP()
  ON_WM_LBUTTONDBLCLK()
  ON_WM_CONTEXTMENU()
  ON_WM_TIMER()
  ON_WM_KEYDOWN()
END_MESSAGE_MAP()

namespace {

const UINT kGraphMenu = IDR_GRAPH_POPUP, kStandardToolbar = IDR_MENU_PICTURES, kCopyToolbar = IDB_COPY,
           kCopyCommand = ID_GRAPH_COPY;

int TextHeight(CDC* dc, CFont& f, LPCTSTR s) {
  CFont* old = dc->SelectObject(&f);
  int h = (int)ViewTextExtent(dc, s).cy;
  dc->SelectObject(old);
  return h;
}
int TextWidth(CDC* dc, CFont& f, LPCTSTR s) {
  CFont* old = dc->SelectObject(&f);
  int w = (int)ViewTextExtent(dc, s).cx;
  dc->SelectObject(old);
  return w;
}

}  // namespace

// The scale in display units over a plot rectangle. ok is false when nothing can be plotted:
// a plot with no width or too little height, or a scale with no span.
struct CGraphWnd::Scale {
  CRect P;
  double max = 0, min = 0;
  int first = 0, last = 0;
  int y0 = 0, x0 = 0;
  bool ok = false;
  int X(int m) const { return P.left + (int)((double)(m - first) / (last - first) * (P.right - P.left)); }
  int Y(double h) const { return y0 - (int)(h * (P.bottom - P.top) / (max - min)); }
};

CGraphWnd::Scale CGraphWnd::MakeScale(const CRect& plot) const {
  Scale s;
  s.P = plot;
  s.max = m_dMaxHeight * DisplayPerMetre();
  s.min = m_dMinHeight * DisplayPerMetre();
  s.first = m_nFirstMinute;
  s.last = m_nLastMinute;
  s.ok = plot.Width() > 0 && plot.Height() >= 5 && s.max - s.min > 1e-9 && s.last > s.first;
  if (!s.ok) return s;
  s.y0 = plot.top + (int)((plot.bottom - plot.top) * s.max / (s.max - s.min));
  s.x0 = plot.right - (int)((double)s.last * (plot.right - plot.left) / (s.last - s.first));
  return s;
}

CGraphWnd::CGraphWnd() {
  m_strPlaceholder = "Click Here For the Graph of [Port Name] on the [Long Date].";
  for (int i = 0; i < kMinutes; ++i) m_dHeights[i] = 3 * std::sin(i / 160.0) + 4.1;
  m_dHeights[kMinutes] = m_dHeights[kMinutes - 1];
  MakePalette();
}

CGraphWnd::~CGraphWnd() {
  if (m_hWnd) DestroyWindow();
}

BOOL CGraphWnd::Create(CWnd* pParent, const RECT& rect, UINT nID) {
  LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW));
  return CreateEx(WS_EX_NOPARENTNOTIFY, cls, "", WS_CHILD | WS_VISIBLE, rect, pParent, nID);
}

// ---- Settings ----

void CGraphWnd::Repaint() {
  m_bModified = 1;
  if (m_bAutoRedraw && m_hWnd) Invalidate(TRUE);
}

void CGraphWnd::SetLocalDay(const CLocalDay& day) {
  m_day = day;
  m_nLastMinute = std::clamp(day.GetMinutes(), 1, (int)kMaxMinutes);
  m_bLastSet = FALSE;
  Repaint();
}

void CGraphWnd::SetPoint(double d, int m) {
  if (m < 0 || m > m_nLastMinute) return;
  m_dHeights[m] = d;
  if (m == m_nLastMinute) m_bLastSet = TRUE;
  // The frame fills the day's minutes; the end of the axis repeats the last until it is given.
  if (m == m_nLastMinute - 1 && !m_bLastSet) m_dHeights[m_nLastMinute] = d;
  m_bModified = 1;
}

CString CGraphWnd::GetTimeCaption() const {
  const int shift = m_day.GetClockShift();
  if (shift == 0) return m_strTimeCaption;
  const int at = m_day.GetChangeClock();
  CString s;
  s.Format("%s (%d hours: clocks go %s at %02d:%02d)", (LPCTSTR)m_strTimeCaption, m_day.GetMinutes() / 60,
           shift > 0 ? "forward" : "back", at / 60, at % 60);
  return s;
}
void CGraphWnd::SetMaxHeight(double d) {
  m_dMaxHeight = d;
  Repaint();
}
void CGraphWnd::SetMinHeight(double d) {
  m_dMinHeight = d < 0 ? d : 0;
  m_bModified = 1;  // no repaint, but the scale of the cached picture is stale
}
void CGraphWnd::SetTitle(LPCTSTR s) {
  const CString title = s ? s : "";
  const bool changed = title != m_strTitle;
  m_strTitle = title;
  Repaint();
  if (changed && m_hWnd) NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, m_hWnd, OBJID_CLIENT, CHILDID_SELF);
}
void CGraphWnd::SetPlaceholderText(LPCTSTR s) {
  m_strPlaceholder = s ? s : "";
  Repaint();
}
void CGraphWnd::SetHasData(int b) {
  m_bHasData = b;
  Repaint();
}
void CGraphWnd::SetTimeMark(int m) {
  if ((unsigned)m <= (unsigned)kMinutes) m_nTimeMark = m;
}
void CGraphWnd::SetAgroundLevel(double d) {
  m_dAgroundLevel = d;
  m_bModified = 1;
}
void CGraphWnd::SetMHWS(double d) {
  m_dMHWS = d;
  Repaint();
}
void CGraphWnd::SetMHWN(double d) {
  m_dMHWN = d;
  Repaint();
}
void CGraphWnd::SetMLWN(double d) {
  m_dMLWN = d;
  Repaint();
}
void CGraphWnd::SetMLWS(double d) {
  m_dMLWS = d;
  Repaint();
}
void CGraphWnd::SetShowMHWS(int b) {
  m_bShowMHWS = b;
  Repaint();
}
void CGraphWnd::SetShowMHWN(int b) {
  m_bShowMHWN = b;
  Repaint();
}
void CGraphWnd::SetShowMLWN(int b) {
  m_bShowMLWN = b;
  Repaint();
}
void CGraphWnd::SetShowMLWS(int b) {
  m_bShowMLWS = b;
  Repaint();
}
void CGraphWnd::SetBackColour(COLORREF c) {
  m_clrBack = c;
  MakePalette();
  Repaint();
}
void CGraphWnd::SetGradientColour(COLORREF c) {
  m_clrGradient = c;
  MakePalette();
  Repaint();
}
void CGraphWnd::SetLineColour(COLORREF c) {
  m_clrLine = c;
  MakePalette();
  Repaint();
}
void CGraphWnd::SetAgroundColour(COLORREF c) {
  m_clrAground = c;
  MakePalette();
  Repaint();
}
void CGraphWnd::SetAxisColour(COLORREF c) {
  m_clrAxis = c;
  MakePalette();
  Repaint();
}
void CGraphWnd::SetGridlineColour(COLORREF c) {
  m_clrGridline = c;
  MakePalette();
  Repaint();
}
void CGraphWnd::SetMHWSColour(COLORREF c) {
  m_clrLevel = c;
  MakePalette();
  Repaint();
}
void CGraphWnd::SetTimeMarkColour(COLORREF c) {
  m_clrTimeMark = c;
  MakePalette();
  Repaint();
}
void CGraphWnd::SetLineWidth(int n) {
  m_nLineWidth = (n >= 1 && n <= 5) ? n : 2;
  Repaint();
}
void CGraphWnd::SetFeet(int b) {
  m_bFeet = b;
  m_bModified = 1;
  if (m_hWnd) Invalidate(TRUE);
}

double CGraphWnd::GetHeightDisplay(int m) const {
  m = std::clamp(m, 0, m_nLastMinute);
  return m_dHeights[m] * DisplayPerMetre();
}

double CGraphWnd::GetHeightStep() const {
  double s = m_dHeightStep, M = m_dMaxHeight;
  if (!m_bFeet) return M < 1 ? s / 10 : s;
  if (M < 1) return s / 5;
  return M < 3 ? s : 2 * s;
}

void CGraphWnd::MakePalette() {
  // Kept for devices that map colours through a palette; true-colour displays ignore it.
  std::vector<BYTE> buf(sizeof(LOGPALETTE) + 200 * sizeof(PALETTEENTRY));
  auto* lp = reinterpret_cast<LOGPALETTE*>(buf.data());
  lp->palVersion = 0x300;
  lp->palNumEntries = 200;
  const COLORREF fixed[8] = {m_clrAxis,     m_clrAground,  m_clrLine, m_clrLevel,
                             m_clrTimeMark, m_clrGridline, m_clrBack, m_clrGradient};
  for (int i = 0; i < 200; ++i) {
    COLORREF c;
    if (i < 8) {
      c = fixed[i];
    } else {
      auto ch = [i](int b, int g) { return (BYTE)(b + (int)((g - b) * i / 194.0)); };
      c = RGB(ch(GetRValue(m_clrBack), GetRValue(m_clrGradient)), ch(GetGValue(m_clrBack), GetGValue(m_clrGradient)),
              ch(GetBValue(m_clrBack), GetBValue(m_clrGradient)));
    }
    lp->palPalEntry[i] = PALETTEENTRY{GetRValue(c), GetGValue(c), GetBValue(c), PC_NOCOLLAPSE};
  }
  m_palette.DeleteObject();
  m_palette.CreatePalette(lp);
}

int CGraphWnd::XOfMinute(const CRect& plot, int m) const {
  Scale s = MakeScale(plot);
  return s.ok ? s.X(m) : plot.left;
}
int CGraphWnd::YOfHeight(const CRect& plot, double h) const {
  Scale s = MakeScale(plot);
  return s.ok ? s.Y(h) : plot.bottom;
}

// ---- Drawing ----

void CGraphWnd::Draw(CDC* pDC, const CRect& R) {
  CWaitCursor wait;
  pDC->SetTextColor(0);
  if (!m_bHasData) {
    pDC->FillRect(&R, CBrush::FromHandle((HBRUSH)::GetStockObject(WHITE_BRUSH)));
    pDC->SetBkMode(TRANSPARENT);
    DrawPlaceholder(pDC, R);
    if (!DrawingOffScreen()) m_rcLastDrawn = R;
    return;
  }
  if (!m_bModified && !DrawingOffScreen() && R == m_rcLastDrawn && m_cache.GetSafeHandle()) {
    pDC->SelectPalette(&m_palette, FALSE);
    pDC->RealizePalette();
    CDC mem;
    mem.CreateCompatibleDC(pDC);
    CBitmap* old = mem.SelectObject(&m_cache);
    pDC->BitBlt(R.left, R.top, m_cacheSize.cx, m_cacheSize.cy, &mem, 0, 0, SRCCOPY);
    mem.SelectObject(old);
    mem.DeleteDC();
    DrawTimeMark(pDC, m_rcPlot);
    return;
  }

  CDC mem;
  CDC* dc = pDC;
  CBitmap* oldBitmap = nullptr;
  if (!DrawingOffScreen()) {
    mem.CreateCompatibleDC(pDC);
    m_cache.DeleteObject();
    // A screen-format picture: a memory target of any depth still caches in colour.
    m_cache.CreateCompatibleBitmap(nullptr, std::max<LONG>(1, R.Width()), std::max<LONG>(1, R.Height()));
    m_cacheSize = CSize(std::max<LONG>(1, R.Width()), std::max<LONG>(1, R.Height()));
    oldBitmap = mem.SelectObject(&m_cache);
    mem.SetViewportOrg(-R.left, -R.top);
    mem.SelectPalette(&m_palette, FALSE);
    mem.RealizePalette();
    dc = &mem;
  }

  dc->FillRect(&R, CBrush::FromHandle((HBRUSH)::GetStockObject(WHITE_BRUSH)));
  if (!m_bPrinting) {
    CBrush border(Pal(ViewThemeBorderColour()));
    dc->FrameRect(&R, &border);
  }
  dc->SetBkMode(TRANSPARENT);
  dc->SetTextColor(Pal(m_clrAxis));

  CFont f10, f14;
  ViewMakeFont(f10, dc, 100, 400);
  ViewMakeFont(f14, dc, 140, 700);
  const int test10 = TextHeight(dc, f10, "Test String");
  const int leftMargin = TextWidth(dc, f10, "100") + (int)(1.4 * test10) + 2;
  const int bottomMargin = (int)(1.5 * test10) + (int)(1.3 * TextHeight(dc, f10, "10")) + 2;
  const int tick = TextWidth(dc, f10, "0");
  const int topMargin = (int)(1.7 * TextHeight(dc, f14, "Test String"));

  CRect P(R.left + leftMargin, R.top + topMargin, R.right - leftMargin, R.bottom - bottomMargin);
  Scale s = MakeScale(P);
  if (!DrawingOffScreen()) m_rcPlot = s.ok ? P : CRect();

  if (s.ok) {
    DrawBackground(dc, P);
    CBrush grid(Pal(m_clrGridline));
    CRect frame(P.left, P.top, P.right + 1, P.bottom + 1);
    dc->FrameRect(&frame, &grid);
    DrawAxes(dc, s, FALSE, tick);
    DrawCurve(dc, s);
    DrawLevels(dc, s);
    CPen axis(PS_SOLID, GuidePenWidth(), Pal(m_clrAxis));
    CPen* op = dc->SelectObject(&axis);
    dc->MoveTo(s.x0, P.bottom - 1);
    dc->LineTo(s.x0, P.top + 1);
    dc->MoveTo(P.left, s.y0);
    dc->LineTo(P.right, s.y0);
    dc->SelectObject(op);
    DrawAxes(dc, s, TRUE, tick);
  }

  // Captions.
  dc->SetTextColor(Pal(m_clrAxis));
  {
    CFont* old = dc->SelectObject(&f14);
    CSize t = dc->GetTextExtent(m_strTitle);
    dc->TextOut((R.right - R.left - t.cx) / 2, R.top + 5, m_strTitle);
    CFont f9, f9v;
    ViewMakeFont(f9, dc, 90, 400);
    ViewMakeFont(f9v, dc, 90, 400, 900);
    dc->SelectObject(&f9);
    const CString timeCaption = GetTimeCaption();
    CSize c = dc->GetTextExtent(timeCaption);
    dc->TextOut((R.right - R.left - c.cx) / 2 + 2, R.bottom - c.cy - 3, timeCaption);
    CString hc = m_strHeightCaption + (m_bFeet ? " (Feet)" : " (Metres)");
    CSize hs = dc->GetTextExtent(hc);
    dc->SelectObject(&f9v);
    dc->TextOut(5, (R.bottom + hs.cx + topMargin - bottomMargin - R.top) / 2, hc);
    dc->SelectObject(old);
  }

  if (!DrawingOffScreen()) {
    pDC->BitBlt(R.left, R.top, m_cacheSize.cx, m_cacheSize.cy, &mem, R.left, R.top, SRCCOPY);
    mem.SelectObject(oldBitmap);
    mem.DeleteDC();
    m_bModified = 0;
    if (!pDC->IsPrinting()) DrawTimeMark(pDC, m_rcPlot);
    m_rcLastDrawn = R;
  } else if (m_bPicture && s.ok) {
    DrawTimeMark(dc, P);
  }
}

void CGraphWnd::DrawBackground(CDC* dc, const CRect& P) {
  if (m_clrBack == m_clrGradient) {
    dc->FillSolidRect(&P, Pal(m_clrBack));
    return;
  }
  const int h = P.Height(), n = h / 5;
  if (n <= 0) {  // too low for bands
    dc->FillSolidRect(&P, Pal(m_clrBack));
    return;
  }
  // Bands from the top down, each nearer the gradient colour than the one above. Band k runs
  // from band k-1's bottom edge to its own, so each pixel is filled once (a large picture
  // would otherwise be filled over and over from the top).
  int above = P.top;
  for (int k = 0; k <= n; ++k) {
    double t = (double)k / n;
    int y = P.top + (int)(t * h);
    auto ch = [t](int b, int g) { return b + (int)(t * (g - b)); };
    COLORREF c =
        RGB(ch(GetRValue(m_clrBack), GetRValue(m_clrGradient)), ch(GetGValue(m_clrBack), GetGValue(m_clrGradient)),
            ch(GetBValue(m_clrBack), GetBValue(m_clrGradient)));
    if (y > above) {
      dc->FillSolidRect(P.left, above, P.Width(), y - above, Pal(c));
      above = y;
    }
  }
}

void CGraphWnd::DrawAxes(CDC* dc, const Scale& s, BOOL bLabels, int tick) {
  const CRect& P = s.P;
  CFont font;
  ViewMakeFont(font, dc, 85, 300);
  CFont* oldFont = dc->SelectObject(&font);
  CPen gridPen(PS_SOLID, GuidePenWidth(), Pal(m_clrGridline)), axisPen(PS_SOLID, GuidePenWidth(), Pal(m_clrAxis));
  CPen* oldPen = dc->SelectObject(bLabels ? &axisPen : &gridPen);
  dc->SetTextColor(Pal(m_clrAxis));
  const int labelGap = (int)(1.2 * tick);

  if (s.first <= 0 && m_nMinuteStep > 0) {
    // Ticks at the clock's hours, placed where the day's real time reaches them: on a change
    // of summer time the hours after it sit an hour nearer or further.
    for (int clock = 0; clock <= kMinutes; clock += m_nMinuteStep) {
      const int at = m_day.MinuteOfClock(clock);
      if (at > s.last) break;
      int x = s.x0 + (int)((double)at * (P.right - P.left) / (s.last - s.first));
      if (x < P.left || x > P.right) continue;
      if (!bLabels) {
        dc->MoveTo(x, P.top);
        dc->LineTo(x, P.bottom);
        continue;
      }
      dc->MoveTo(x, s.y0 - tick);
      dc->LineTo(x, s.y0 + tick);
      const int shown = m_day.ClockMinute(at);  // a skipped hour is labelled as the clock reads
      CString label;
      if (shown % 60)
        label.Format("%d:%02d", shown / 60, shown % 60);
      else
        label.Format("%d:00", shown / 60);
      CSize e = dc->GetTextExtent(label);
      dc->TextOut(x - e.cx / 2, s.y0 + labelGap, label);
    }
  }
  const double step = GetHeightStep();
  if (s.min <= 0 && step > 0) {
    const double span = s.max - s.min;
    auto one = [&](int i, int sign) {
      int dy = (int)(i * step * (P.bottom - P.top) / span);
      int y = s.y0 - sign * dy;
      if (y > P.bottom) return;
      if (!bLabels) {
        dc->MoveTo(P.left, y);
        dc->LineTo(P.right, y);
        return;
      }
      dc->MoveTo(s.x0 + tick, y);
      dc->LineTo(s.x0 - tick, y);
      CString label;
      if (m_dMaxHeight < 1)
        label = AfxFormatUserNumber(sign * i * step, 1);
      else
        label.Format("%d", sign * (int)(i * step));
      CSize e = dc->GetTextExtent(label);
      dc->TextOut(s.x0 - labelGap - e.cx, y - e.cy / 2, label);
    };
    for (int i = 0; i <= (int)(s.max / step + 1e-9); ++i) one(i, 1);
    for (int i = 1; i <= (int)(std::fabs(s.min / step) + 1e-9); ++i) one(i, -1);
  }
  dc->SelectObject(oldPen);
  dc->SelectObject(oldFont);
}

void CGraphWnd::DrawCurve(CDC* dc, const Scale& s) {
  const CRect& P = s.P;
  const int width = m_bPrinting ? 2 * m_nLineWidth : m_nLineWidth;
  const double aground = m_dAgroundLevel * DisplayPerMetre();
  const int L = P.left + 1;
  if (P.right - L <= 0) return;
  auto minuteAt = [&](int x) { return s.first + (int)((double)(x - L) / (P.right - L) * (s.last - s.first)); };
  auto stateOf = [&](int m) { return GetHeightDisplay(m) > aground ? 0 : 1; };  // 0 above, 1 aground

  CPen pen;
  CBrush brush;
  CPen* oldPen = nullptr;
  CBrush* oldBrush = nullptr;
  auto makeTools = [&](int state) {
    COLORREF c = Pal(state == 0 ? m_clrLine : m_clrAground);
    if (oldPen) dc->SelectObject(oldPen);
    if (oldBrush) dc->SelectObject(oldBrush);
    pen.DeleteObject();
    brush.DeleteObject();
    pen.CreatePen(PS_SOLID, width, c);
    brush.CreateSolidBrush(c);
    oldPen = dc->SelectObject(&pen);
    oldBrush = dc->SelectObject(&brush);
  };

  int state = stateOf(minuteAt(L));
  makeTools(state);
  if (m_bAreaGraph) dc->BeginPath();
  dc->MoveTo(L, s.Y(GetHeightDisplay(minuteAt(L))));
  int segStart = L;
  for (int x = L; x < P.right; ++x) {
    int m = minuteAt(x);
    int y = s.Y(GetHeightDisplay(m));
    int st = stateOf(m);
    if (x > L && st != state) {
      if (m_bAreaGraph) {
        dc->LineTo(x, y);
        dc->LineTo(x, s.y0);
        dc->LineTo(segStart, s.y0);
        dc->CloseFigure();
        dc->EndPath();
        dc->FillPath();
        dc->MoveTo(x, y);
        dc->BeginPath();
        dc->MoveTo(x, y);
        segStart = x;
      }
      // Without a fill the line goes on from the last column, in the new colour.
      state = st;
      makeTools(state);
    }
    dc->LineTo(x, y);
  }
  if (m_bAreaGraph) {
    dc->LineTo(P.right - 1, s.y0);
    dc->LineTo(segStart, s.y0);
    dc->CloseFigure();
    dc->EndPath();
    dc->StrokeAndFillPath();
  }
  dc->SelectObject(oldPen);
  dc->SelectObject(oldBrush);
}

void CGraphWnd::DrawLevels(CDC* dc, const Scale& s) {
  const struct {
    const char* name;
    double level;
    int show;
  } levels[] = {{"MLWN", m_dMLWN, m_bShowMLWN},
                {"MLWS", m_dMLWS, m_bShowMLWS},
                {"MHWN", m_dMHWN, m_bShowMHWN},
                {"MHWS", m_dMHWS, m_bShowMHWS}};
  CFont font;
  ViewMakeFont(font, dc, 85, 300);
  CFont* oldFont = dc->SelectObject(&font);
  CPen pen(PS_SOLID, GuidePenWidth(), Pal(m_clrLevel));
  CPen* oldPen = dc->SelectObject(&pen);
  dc->SetTextColor(Pal(m_clrLevel));
  const int indent = (int)dc->GetTextExtent("00", 2).cx;
  for (auto& l : levels) {
    double h = l.level * DisplayPerMetre();
    if (!l.show || l.level == 0 || h < s.min || h > s.max) continue;
    int y = s.Y(h);
    dc->MoveTo(s.P.left, y);
    dc->LineTo(s.P.right, y);
    CString label;
    label = CString(l.name) + " - " + AfxFormatUserNumber(h, 1) + (m_bFeet ? "ft" : "m");
    CSize e = dc->GetTextExtent(label);
    dc->TextOut(s.P.left + indent, y - e.cy, label);
  }
  dc->SelectObject(oldPen);
  dc->SelectObject(oldFont);
  dc->SetTextColor(Pal(m_clrAxis));
}

void CGraphWnd::DrawTimeMark(CDC* dc, const CRect& plot) {
  const int mark = m_day.MinuteOfClock(m_nTimeMark);  // the mark is a clock reading
  if (mark < m_nFirstMinute || mark > m_nLastMinute) return;
  Scale s = MakeScale(plot);
  if (!s.ok) return;
  CPen pen(PS_DOT, GuidePenWidth(), Pal(m_clrTimeMark));
  CPen* old = dc->SelectObject(&pen);
  int bk = dc->SetBkMode(TRANSPARENT);
  int x = s.X(mark), y = s.Y(GetHeightDisplay(mark));
  dc->MoveTo(x, s.y0);
  dc->LineTo(x, y);
  dc->LineTo(s.x0, y);
  dc->SetBkMode(bk);
  dc->SelectObject(old);
}

void CGraphWnd::DrawPlaceholder(CDC* dc, const CRect& R) {
  ViewDrawPlaceholder(dc, R, m_strPlaceholder, m_bBackgroundPicture, m_placeholderPicture, m_bPictureTried);
}

// ---- Read-out ----

CString CGraphWnd::GetReadout(CPoint pt) const {
  const CRect& P = m_rcPlot;
  if (!m_bHasData || P.IsRectEmpty() || !P.PtInRect(pt)) return CString();
  Scale s = MakeScale(P);
  if (!s.ok) return CString();
  int m = (s.last - s.first) * (pt.x - P.left) / (P.right - P.left) + s.first;
  double h = GetHeightDisplay(m);
  CRect client;
  if (m_hWnd)
    GetClientRect(&client);
  else
    client = m_rcLastDrawn;
  int ph = P.Height();
  int ref = (client.Height() - ph) / 2 + ph - (int)(ph * (h - s.min) / (s.max - s.min)) - 6;
  if (std::abs(ref - (int)pt.y) >= 6) return CString();
  const int clock = m_day.ClockMinute(m);
  CQsDateTime t(1980, 1, 1, clock / 60, clock % 60, 0);
  CString text;
  text = AfxFormatUserNumber(h, 2) + (m_bFeet ? "ft" : "m");
  return text + t.Format(" (%H:%M)");
}

BOOL CGraphWnd::PreTranslateMessage(MSG* pMsg) {
  if (m_bHasData && pMsg && pMsg->message == WM_MOUSEMOVE && pMsg->hwnd == m_hWnd) {
    CPoint pt(GET_X_LPARAM(pMsg->lParam), GET_Y_LPARAM(pMsg->lParam));
    CString text = GetReadout(pt);
    if (!text.IsEmpty() && m_ToolTip.GetSafeHwnd()) {
      CRect tool(pt.x - 3, pt.y - 3, pt.x + 3, pt.y + 3);
      m_ToolTip.SetToolRect(this, kTooltipId, &tool);
      m_ToolTip.UpdateTipText(text, this, kTooltipId);
      m_ToolTip.RelayEvent(pMsg);
    }
  }
  return CWnd::PreTranslateMessage(pMsg);
}

CString CGraphWnd::GetTooltipText() const {
  CString text;
  if (m_ToolTip.GetSafeHwnd()) m_ToolTip.GetText(text, const_cast<CGraphWnd*>(this), kTooltipId);
  return text;
}

CRect CGraphWnd::GetTooltipRect() const {
  CToolInfo info;
  if (!m_ToolTip.GetSafeHwnd() || !m_ToolTip.GetToolInfo(info, const_cast<CGraphWnd*>(this), kTooltipId))
    return CRect();
  return CRect(info.rect);
}

// ---- Messages ----

int CGraphWnd::OnCreate(LPCREATESTRUCT lpcs) {
  if (CWnd::OnCreate(lpcs) == -1) return -1;
  EnableToolTips(TRUE);
  // The height and time read-out: one tool whose rectangle and text follow the pointer.
  if (m_ToolTip.Create(this, WS_POPUP | WS_VISIBLE)) {
    m_ToolTip.Activate(TRUE);
    m_ToolTip.SetMaxTipWidth(400);
    CRect all(0, 0, 1000, 1000);
    m_ToolTip.AddTool(this, "Tooltip for height and Time", &all, kTooltipId);
  }
  return 0;
}

void CGraphWnd::OnDestroy() {
  if (m_ToolTip.GetSafeHwnd()) m_ToolTip.DestroyWindow();
  CWnd::OnDestroy();
}

void CGraphWnd::OnPaint() {
  CPaintDC dc(this);
  CRect rc;
  GetClientRect(&rc);
  Draw(&dc, rc);
}

void CGraphWnd::OnLButtonUp(UINT, CPoint) {
  SetFocus();
  if (!m_bHasData && m_pHost) m_pHost->CalculateGraph();
}

void CGraphWnd::OnLButtonDblClk(UINT, CPoint) {
  if (m_bFullScreen) {
    if (CWnd* parent = GetParent()) parent->SendMessage(WM_LBUTTONDBLCLK, 0, 0);
    return;
  }
  CWnd* main = m_pHost ? m_pHost->GetMainWindow() : AfxGetMainWnd();
  if (main) main->SendMessage(WM_GRAPH_FULLSCREEN, 0, 0);
}

void CGraphWnd::OnContextMenu(CWnd*, CPoint pos) {
  if (m_bFullScreen || !m_bHasData || !m_pHost) return;
  VxMenu* menu = m_pHost->GetContextMenu();
  if (!menu) return;
  if (pos.x == -1 && pos.y == -1) {
    pos = CPoint(5, 5);
    ClientToScreen(&pos);
  }
  if (!menu->LoadFromResource(kGraphMenu)) return;
  menu->ApplyToolbarIcons(kStandardToolbar);
  menu->SetItemIcon(nullptr, kCopyCommand, kCopyToolbar);
  ViewTrackContextMenu(menu, this, pos);
}

void CGraphWnd::OnTimer(UINT_PTR nIDEvent) { CWnd::OnTimer(nIDEvent); }
