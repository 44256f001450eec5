#include "views/HeightFindWnd.h"

#include "model/MonthlyPrediction.h"
#include "model/Prediction.h"
#include "model/SummerTime.h"
#include "platform/core/AfxLocale.h"
#include "platform/core/AfxUserNumber.h"
#include "platform/ui/PrintDC.h"
#include "resources/ResourceIds.h"
#include "views/TableExport.h"
#include "views/ViewColours.h"
#include "views/ViewDrawing.h"
#include "views/VxMenu.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#ifndef SBS_HORZ
#define SBS_HORZ 0x0000L
#endif

IMPLEMENT_DYNAMIC(CHeightFindWnd, CWnd)

BEGIN_MESSAGE_MAP(CHeightFindWnd, CWnd)
  ON_MESSAGE(WM_GETOBJECT, OnGetObject)
  ON_WM_CREATE()
  ON_WM_PAINT()
  ON_WM_SIZE()
  ON_WM_HSCROLL()
  ON_WM_DESTROY()
  ON_WM_CONTEXTMENU()
  ON_BN_CLICKED(CHeightFindWnd::kFindButtonId, OnFindClicked)
  ON_CONTROL(EN_UPDATE, CHeightFindWnd::kEditId, OnEditUpdate)
  ON_NOTIFY(UDN_DELTAPOS, CHeightFindWnd::kSpinId, OnSpinDelta)
END_MESSAGE_MAP()

namespace {

const UINT kFinderMenu = IDR_FINDER_POPUP, kStandardToolbar = IDR_MENU_PICTURES;
const char kNoPrediction[] = "No prediction";
const char kPredictions[] = ". All results are predictions.";

const char kHtmlHead[] =
    "<html>\n\n<head>\n<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\n"
    "<title>Tide Height Find Results</title>\n</head>\n\n<body>\n";
const char kHtmlFooter[] =
    "<p>Produced by Quillane Neapwise <a href=\"https://www.quillane.com/\">www.quillane.com</a></p>\n"
    "</body>\n\n</html>\n";

// A filtered height read in the user's locale; text without digits reads as 0. A separator
// typed first or last ("5." or ",5") stands for "5.0" and "0,5".
double ParseHeight(const CString& text) {
  double v = 0;
  if (AfxParseUserNumber(text, v)) return v;
  if (AfxParseUserNumber(text + "0", v) || AfxParseUserNumber("0" + text, v)) return v;
  return 0.0;
}

// A zone of minutes east as the captions write it: whole hours as "+1:00", half hours as "+9:30".
CString ZoneText(LPCTSTR prefix, int minutes) {
  CString s;
  const int a = std::abs(minutes);
  s.Format("%s (%s%d:%02d)", prefix, minutes >= 0 ? "+" : "-", a / 60, a % 60);
  return s;
}

}  // namespace

// Where the drawing stands: the column being filled and the position in it.
struct CHeightFindWnd::Layout {
  CRect R;
  CDC* dc = nullptr;
  int M = 25, T = kBandHeight, blockGap = 10, colGap = 15;
  int colWidth = 1, fit = 1, limit = 0, top0 = 0;
  int column = 1, y = 0;
  int scroll = 0;
  bool ok = true;         // false once the printer refused a page
  bool printing = false;  // each page starts again at its first column
  bool Visible() const { return printing || (column > scroll && column <= scroll + fit); }
  int X() const { return M + (printing ? (column - 1) % fit : column - scroll - 1) * colWidth; }
};

CHeightFindWnd::CHeightFindWnd() {
  std::fill(m_predicted, m_predicted + kDays, 1);
  m_strLastText = FormatHeight(3.0);
}

CHeightFindWnd::~CHeightFindWnd() {
  if (m_hWnd) DestroyWindow();
  FreeLists();
}

BOOL CHeightFindWnd::Create(CWnd* pParent, const RECT& rect, UINT nID) {
  LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW));
  return CreateEx(WS_EX_NOPARENTNOTIFY, cls, "", WS_CHILD | WS_VISIBLE, rect, pParent, nID);
}

// ---- Settings ----

void CHeightFindWnd::SetPortName(LPCTSTR s) {
  m_strPortName = s ? s : "";
  if (m_hWnd) Invalidate(TRUE);
}

void CHeightFindWnd::SetFeet(int b) {
  b = b ? 1 : 0;
  if (b == m_bFeet) return;
  double v = ParseHeight(m_strLastText);
  m_bFeet = b;
  SetHeightText(FormatHeight(b ? v * kFeetPerMetre : v / kFeetPerMetre));
  if (m_hWnd && IsWindowVisible()) Invalidate(TRUE);
}

CString CHeightFindWnd::FormatHeight(double v) const { return AfxFormatUserNumber(v, 2); }

double CHeightFindWnd::EditValueMetres(const CString& text) const {
  double v = ParseHeight(text);
  return m_bFeet ? v / kFeetPerMetre : v;
}

void CHeightFindWnd::SetHeightText(LPCTSTR text) {
  if (m_wndEdit.GetSafeHwnd()) {
    m_wndEdit.SetWindowText(text ? text : "");
    OnEditUpdate();
    return;
  }
  // No window: the same filtering on the held text.
  CString filtered = CQsEdit::FilterText(text ? text : "");
  if (!filtered.IsEmpty()) m_bMatch = std::fabs(EditValueMetres(filtered) - m_dHeight) < 0.002;
  m_strLastText = filtered;
}

void CHeightFindWnd::OnEditUpdate() {
  if (!m_wndEdit.GetSafeHwnd()) return;
  CString text;
  m_wndEdit.GetWindowText(text);
  if (text == m_strLastText) return;
  CString filtered = CQsEdit::FilterText(text);
  if (!filtered.IsEmpty()) {
    int match = std::fabs(EditValueMetres(filtered) - m_dHeight) < 0.002;
    if (match != m_bMatch) {
      m_bMatch = match;
      Invalidate(TRUE);
    }
  }
  int start = 0, end = 0;
  m_wndEdit.GetSel(start, end);
  m_strLastText = filtered;
  if (filtered != text) {
    m_wndEdit.SetWindowText(filtered);
    start = std::min(start, filtered.GetLength());
    m_wndEdit.SetSel(start, start);
  }
}

void CHeightFindWnd::OnSpinDelta(NMHDR* pNMHDR, LRESULT* pResult) {
  auto* ud = reinterpret_cast<NMUPDOWN*>(pNMHDR);
  double v = ParseHeight(m_strLastText);
  if (ud->iDelta == -1 && v <= 99.9)
    v += 0.1;
  else if (ud->iDelta == 1 && v >= 0.1)
    v -= 0.1;
  SetHeightText(FormatHeight(v));
  *pResult = 0;
}

// ---- Search ----

void CHeightFindWnd::FreeLists() {
  for (HEIGHTFIND_RESULT*& head : m_results) {
    while (head) {
      HEIGHTFIND_RESULT* next = head->next;
      delete head;
      head = next;
    }
  }
}

void CHeightFindWnd::ClearResults() {
  FreeLists();
  std::fill(m_predicted, m_predicted + kDays, 1);
}

void CHeightFindWnd::Append(int day, int rising, int minute) {
  auto* r = new HEIGHTFIND_RESULT;
  r->rising = rising;
  r->time = CQsDateTime(1980, 1, 1, minute / 60, minute % 60, 0);
  HEIGHTFIND_RESULT** tail = &m_results[day - 1];
  while (*tail) tail = &(*tail)->next;
  *tail = r;
}

void CHeightFindWnd::Find() {
  CWaitCursor wait;
  ClearResults();
  if (m_wndEdit.GetSafeHwnd()) OnEditUpdate();
  m_dHeight = EditValueMetres(m_strLastText);
  m_bMatch = 1;
  const double h = m_dHeight;
  CMonthlyPrediction* month = m_pHost ? &m_pHost->GetMonthlyPrediction() : nullptr;
  const int days = month ? std::clamp(month->GetDaysInMonth(), 0, kDays) : 0;
  auto between = [h](double a, double b) { return (a <= h && h <= b) || (a >= h && h >= b); };
  for (int d = 1; d <= days; ++d) {
    CPrediction* p = month->GetDay(d);
    if (!ViewDayHasPrediction(p, d)) {
      m_predicted[d - 1] = 0;
      continue;
    }
    // The day's real minutes (23 to 25 hours on a change of summer time), shown as clock times.
    const CLocalDay day = m_pHost->GetLocalDayOf(d);
    const int length = day.GetMinutes();
    auto H = [&](int m) { return p->HeightAt(day, m); };
    for (int f = 5; f < length + 5; f += 5) {
      if (!between(H(f - 6), H(f))) continue;
      for (int m = f - 5; m <= f - 1; ++m) {
        const double a = H(m - 1), b = H(m + 1);
        // The results are times of this day; a crossing at 24:00 is the next day's 00:00.
        if (!between(a, b) || m < 0 || m >= length) continue;
        Append(d, a <= h, day.ClockMinute(m));
        f += 5;  // the next coarse step would find the same crossing
        break;
      }
    }
  }
  m_bCalculated = 1;
  if (m_hWnd) Invalidate(TRUE);
  if (m_pHost) m_pHost->ShowPeriodTimeZoneCaption();
}

int CHeightFindWnd::HasResults() const {
  for (const HEIGHTFIND_RESULT* r : m_results)
    if (r) return 1;
  return 0;
}

const HEIGHTFIND_RESULT* CHeightFindWnd::GetResults(int day) const {
  return day >= 1 && day <= kDays ? m_results[day - 1] : nullptr;
}

int CHeightFindWnd::GetResultCount(int day) const {
  int n = 0;
  for (const HEIGHTFIND_RESULT* r = GetResults(day); r; r = r->next) ++n;
  return n;
}

int CHeightFindWnd::IsDayPredicted(int day) const { return day >= 1 && day <= kDays ? m_predicted[day - 1] : 0; }

// ---- Captions ----

CString CHeightFindWnd::GetZoneCaption() const {
  const int code = m_pHost ? m_pHost->GetTimeZone() : 0;
  const int z = CPrediction::ZoneCodeToMinutes(code);
  if (!m_pHost || !m_pHost->IsAutoTimeZone()) return ZoneText("GMT", z);
  CPrediction* p = m_pHost->GetPrediction();
  int whole = 0, begins = 0;
  int change = p ? GetSummerTimeMonthKind(m_nMonth, m_nYear, p->GetArea(), whole, begins) : 0;
  if (!change) return ZoneText("GMT", whole ? z + 60 : z);
  if (begins) return ZoneText("UT", z) + " / " + ZoneText("UT", z + 60);
  return ZoneText("UT", z + 60) + " / " + ZoneText("UT", z);
}

CString CHeightFindWnd::ZonePrefix() const {
  return (m_pHost && m_pHost->IsAutoTimeZone()) ? "Times in " : "All Times in ";
}

CString CHeightFindWnd::HeightCaption(LPCTSTR metresFormat, LPCTSTR feetFormat) const {
  CString s;
  if (m_bFeet)
    s.Format(feetFormat, m_dHeight * kFeetPerMetre);
  else
    s.Format(metresFormat, m_dHeight);
  return s;
}

// ---- Text and HTML ----

CString CHeightFindWnd::BuildText() const {
  CString s = m_strPortName + HeightCaption(" - Times when height is %0.2fm above Chart Datum\n",
                                            " - Times when height is %0.2fft above Chart Datum\n");
  s += ZonePrefix() + GetZoneCaption() + kPredictions + "\n";
  for (int d = 1; d <= kDays; ++d) {
    if (!m_results[d - 1] && m_predicted[d - 1]) continue;
    s += CQsDateTime(m_nYear, m_nMonth, d, 0, 0, 0).Format("\n%A %d %B %Y\n");
    if (!m_predicted[d - 1]) s += CString(kNoPrediction) + "\n";
    for (const HEIGHTFIND_RESULT* r = m_results[d - 1]; r; r = r->next)
      s += r->time.Format("%H:%M") + (r->rising ? "\tRising\n" : "\tFalling\n");
  }
  return s;
}

CString CHeightFindWnd::BuildHtml() const {
  CString s(kHtmlHead);
  s += "<p><font face=\"Arial\"><b><font size=\"4\">";
  s += ViewHtmlEscape(m_strPortName + HeightCaption(" - Times when height is %0.2fm above Chart Datum",
                                                    " - Times when height is %0.2fft above Chart Datum"));
  s += "</font></b><br>\n<font size=\"2\">";
  s += ViewHtmlEscape(ZonePrefix() + GetZoneCaption() + kPredictions);
  s += "</font></font></p>\n";
  s += "<table border=\"0\" width=\"100%\">\n";
  int d = 1;
  auto nextDay = [&]() {
    while (d <= kDays && !m_results[d - 1] && m_predicted[d - 1]) ++d;
    return d <= kDays ? d++ : 0;
  };
  for (int row = 0; row < 8; ++row) {
    s += "  <tr>\n";
    for (int cell = 0; cell < 4; ++cell) {
      int day = nextDay();
      if (!day) break;
      s += "    <td width=\"25%\" valign=\"top\">\n";
      s += "      <table border=\"0\" width=\"100%\">\n";
      s += "        <tr>\n";
      s += "          <td width=\"100%\" bgcolor=\"#C0C0C0\"><b><font face=\"Arial\" size=\"2\">";
      s += CQsDateTime(m_nYear, m_nMonth, day, 0, 0, 0).Format("\n%A %d %B %Y\n");
      s += "</font></b></td>\n";
      s += "        </tr>\n";
      s += "        <tr>\n";
      s += "          <td width=\"100%\"><font size=\"2\" face=\"Arial\">";
      if (!m_predicted[day - 1]) s += CString(kNoPrediction) + "<br>";
      for (const HEIGHTFIND_RESULT* r = m_results[day - 1]; r; r = r->next)
        s += r->time.Format("%H:%M") + (r->rising ? "   Rising<br>" : "   Falling<br>");
      s += "</font></td>\n";
      s += "        </tr>\n";
      s += "      </table>\n";
      s += "    </td>\n";
    }
    s += "  </tr>\n";
  }
  s += "</table>\n";
  s += kHtmlFooter;
  return s;
}

BOOL CHeightFindWnd::SaveToFile(LPCTSTR lpszPath, int nFilterIndex, CString& rError, CString* pSavedPath) {
  return ViewSaveExport(
      lpszPath, nFilterIndex, "No file name was given, so the results were not saved.",
      [this](ViewExportFormat format) { return format == kExportHtml ? BuildHtml() : BuildText(); }, rError,
      pSavedPath);
}

void CHeightFindWnd::SaveAs() {
  if (!m_bCalculated) return;
  ViewSaveWithDialog(this, "Neapwise Results",
                     [this](LPCTSTR path, int filter, CString& error) { return SaveToFile(path, filter, error); });
}

// ---- Drawing ----

void CHeightFindWnd::DrawBand(CDC* dc, const CRect& R) {
  dc->FillSolidRect(R.left, R.top, R.Width(), kBandHeight, ViewThemeBackColour());
  dc->SetTextColor(::GetSysColor(COLOR_WINDOWTEXT));
  CFont f13, f9;
  ViewMakeFont(f13, dc, 130, 800);
  ViewMakeFont(f9, dc, 90, 400);
  CFont* old = dc->SelectObject(&f13);
  dc->TextOut(10, 10, CString("Guide Heights for ") + m_strPortName);
  dc->SelectObject(&f9);
  dc->TextOut(10, 35, m_bFeet ? "Find times when tide height(ft) is" : "Find times when tide height(m) is");
  dc->SelectObject(old);
  CRect edge(205, 32, 285, 55);
  dc->DrawEdge(&edge, EDGE_SUNKEN, BF_RECT);
  edge.DeflateRect(2, 2);
  dc->FillSolidRect(&edge, ::GetSysColor(COLOR_WINDOW));
}

void CHeightFindWnd::DrawTitle(CDC* dc, const Layout& lay) {
  CFont f13, f10;
  ViewMakeFont(f13, dc, 130, 800);
  ViewMakeFont(f10, dc, 100, 400);
  dc->SetTextColor(::GetSysColor(COLOR_WINDOWTEXT));
  CFont* old = dc->SelectObject(&f13);
  const int lh = (int)(1.2 * ViewTextExtent(dc, "X").cy);
  dc->TextOut(lay.M, lay.M,
              m_strPortName + " - Times When Height is " +
                  AfxFormatUserNumber(m_bFeet ? m_dHeight * kFeetPerMetre : m_dHeight, 2) + (m_bFeet ? "ft" : "m") +
                  " Above CD ");
  dc->SelectObject(&f10);
  dc->TextOut(lay.M, lay.M + lh, ZonePrefix() + GetZoneCaption() + kPredictions);
  dc->SelectObject(old);
}

void CHeightFindWnd::DrawSeparators(CDC* dc, const Layout& lay, int visible) {
  const int width = m_bPrinting ? std::max(1, dc->GetDeviceCaps(LOGPIXELSX) / 48) : 2;
  CPen pen(PS_SOLID, width, m_bPrinting ? ::GetSysColor(COLOR_BTNFACE) : ViewThemeBackColour());
  CPen* old = dc->SelectObject(&pen);
  for (int k = 1; k < visible; ++k) {
    const int x = lay.M + k * lay.colWidth - lay.colGap / 2;
    dc->MoveTo(x, lay.M + lay.T);
    dc->LineTo(x, lay.limit);
  }
  dc->SelectObject(old);
}

void CHeightFindWnd::DrawDayBlock(CDC* dc, Layout& lay, int day) {
  // Moves on to the next column when the line would pass the bottom; a column always takes
  // at least one line, so a window too low for any still ends.
  auto breakFor = [&](int lineHeight) {
    if (lay.y <= lay.top0 || lay.y + lineHeight <= lay.limit) return;
    ++lay.column;
    lay.y = lay.top0;
    if (m_bPrinting && (lay.column - 1) % lay.fit == 0 && lay.ok) {
      DrawSeparators(dc, lay, lay.fit);
      lay.ok = dc->EndPage() > 0 && dc->StartPage() > 0;
      if (lay.ok) DrawTitle(dc, lay);
    }
  };
  const COLORREF text = ::GetSysColor(COLOR_WINDOWTEXT);
  CFont f10, f9;
  ViewMakeFont(f10, dc, 100, 800);
  ViewMakeFont(f9, dc, 90, 400);
  CFont* old = dc->SelectObject(&f10);
  CString heading = CQsDateTime(m_nYear, m_nMonth, day, 0, 0, 0).Format("%A %d %B %Y");
  const int hh = (int)dc->GetTextExtent(heading).cy;
  breakFor(hh);
  if (lay.Visible()) {
    const int x = lay.X();
    dc->FillSolidRect(x, lay.y, lay.colWidth - lay.colGap, hh, ViewThemeBackColour());
    dc->SetTextColor(m_bMatch ? text : ::GetSysColor(COLOR_WINDOW));
    dc->TextOut(x + 5, lay.y, heading);
  }
  lay.y += (int)(1.1 * hh);
  dc->SelectObject(&f9);
  const int lh = (int)ViewTextExtent(dc, "00:00").cy;
  dc->SetTextColor(m_bMatch ? text : ::GetSysColor(COLOR_BTNFACE));
  auto line = [&](const CString& s) {
    breakFor(lh);
    if (lay.Visible()) dc->TextOut(lay.X(), lay.y, s);
    lay.y += (int)(1.1 * lh);
  };
  if (!m_predicted[day - 1]) line(kNoPrediction);
  for (const HEIGHTFIND_RESULT* r = m_results[day - 1]; r; r = r->next)
    line(r->time.Format("%H:%M") + (r->rising ? "   Rising" : "   Falling"));
  dc->SelectObject(old);
}

void CHeightFindWnd::DrawResults(CDC* pDC, const CRect& rect) {
  const BOOL screen = !m_bPrinting;
  Layout lay;
  lay.R = rect;
  if (m_bPrinting) {
    lay.M = pDC->GetDeviceCaps(LOGPIXELSX) / 3;
    lay.T = 2 * pDC->GetDeviceCaps(LOGPIXELSY) / 3;
    lay.blockGap = lay.colGap = pDC->GetDeviceCaps(LOGPIXELSX) / 8;
  }
  const int barHeight = screen ? ::GetSystemMetrics(SM_CYHSCROLL) : 0;
  lay.top0 = lay.T + lay.M;
  lay.limit = rect.bottom - lay.M - barHeight;

  CDC mem;
  CBitmap picture;
  CBitmap* oldBitmap = nullptr;
  CDC* dc = pDC;
  const int w = std::max<LONG>(1, rect.Width()), hgt = std::max<LONG>(1, rect.Height());
  if (screen) {
    mem.CreateCompatibleDC(pDC);
    picture.CreateCompatibleBitmap(nullptr, w, hgt);
    oldBitmap = mem.SelectObject(&picture);
    dc = &mem;
  }
  lay.dc = dc;
  dc->SetBkMode(TRANSPARENT);
  if (m_bPrinting) {
    DrawTitle(dc, lay);
  } else {
    // The strip under the results belongs to the scroll bar.
    dc->FillSolidRect(rect.left, rect.top, w, hgt, ::GetSysColor(COLOR_BTNFACE));
    dc->FillSolidRect(rect.left, rect.top + kBandHeight, rect.Width(),
                      std::max(0, (int)rect.Height() - kBandHeight - barHeight), ::GetSysColor(COLOR_WINDOW));
    DrawBand(dc, rect);
    const int cx = ::GetSystemMetrics(SM_CXVSCROLL);
    if (m_wndSpin.GetSafeHwnd()) m_wndSpin.MoveWindow(283 - cx, 34, cx, 19, TRUE);
    if (m_wndEdit.GetSafeHwnd()) m_wndEdit.MoveWindow(209, 36, 74 - cx, 17, TRUE);
  }

  bool any = false;
  for (int d = 0; d < kDays; ++d) any = any || m_results[d] || !m_predicted[d];
  if (!any) {
    if (m_bPrinting) return;
    CFont f10;
    ViewMakeFont(f10, dc, 100, 400);
    CFont* old = dc->SelectObject(&f10);
    dc->SetTextColor(::GetSysColor(COLOR_WINDOWTEXT));
    dc->TextOut(lay.M, lay.T + lay.M, m_bCalculated ? "There are no results" : "There are no results calculated");
    dc->SelectObject(old);
    m_bSized = 0;
    m_nTotalColumns = 0;
    SetScrollPosition(0);
    m_nScrollMax = 0;
    m_bScrollEnabled = FALSE;
    SyncScrollBar();
    pDC->BitBlt(rect.left, rect.top, w, hgt, &mem, 0, 0, SRCCOPY);
    mem.SelectObject(oldBitmap);
    return;
  }

  {
    CFont f10;
    ViewMakeFont(f10, dc, 100, 800);
    CFont* old = dc->SelectObject(&f10);
    int widest = 0;
    for (int d = 1; d <= 7; ++d)
      widest =
          std::max<int>(widest, dc->GetTextExtent(CQsDateTime(m_nYear, m_nMonth, d, 0, 0, 0).Format("%A %d %B %Y")).cx);
    dc->SelectObject(old);
    const int need = widest + lay.colGap + 5;
    const int span = rect.Width() - 2 * lay.M;
    // A page narrower than one column still gets one column, drawn as far as it shows.
    lay.fit = std::max(1, span / std::max(1, need));
    lay.colWidth = std::max(1, span / lay.fit);
  }
  lay.scroll = m_bPrinting ? 0 : m_nScrollPos;
  lay.printing = m_bPrinting != 0;
  lay.column = 1;
  lay.y = lay.top0;
  for (int d = 1; d <= kDays && lay.ok; ++d) {
    if (!m_results[d - 1] && m_predicted[d - 1]) continue;
    DrawDayBlock(dc, lay, d);
    lay.y += lay.blockGap;
  }
  const int total = lay.column;
  if (m_bPrinting) {
    if (lay.ok) DrawSeparators(dc, lay, (total - 1) % lay.fit + 1);
    return;
  }
  DrawSeparators(dc, lay, std::min(total - lay.scroll, lay.fit));
  m_nFitColumns = lay.fit;
  m_nTotalColumns = total;
  const int oldPos = m_nScrollPos;
  if (total <= lay.fit) {
    m_nScrollMax = 0;
    m_nScrollPos = 0;
    m_bScrollEnabled = FALSE;
  } else {
    m_nScrollMax = total - lay.fit;
    m_nScrollPos = std::min(m_nScrollPos, m_nScrollMax);
    m_bScrollEnabled = TRUE;
  }
  SyncScrollBar();
  if (m_bSized) {
    m_bSized = 0;
    if (oldPos != m_nScrollPos) {  // the new size moved the columns: draw them where they are now
      mem.SelectObject(oldBitmap);
      DrawResults(pDC, rect);
      return;
    }
  }
  pDC->BitBlt(rect.left, rect.top, w, hgt, &mem, 0, 0, SRCCOPY);
  mem.SelectObject(oldBitmap);
}

void CHeightFindWnd::SyncScrollBar() { ViewSyncScrollBar(m_wndScroll, m_nScrollMax, m_nScrollPos, m_bScrollEnabled); }

void CHeightFindWnd::SetScrollPosition(int pos) {
  m_nScrollPos = std::clamp(pos, 0, std::max(0, m_nScrollMax));
  SyncScrollBar();
}

// ---- Printing ----

BOOL CHeightFindWnd::PrintTo(CDC* pDC) {
  BOOL ok = ViewPrintDocument(pDC, m_bPrinting, [this](CDC* dc, const CRect& page) { DrawResults(dc, page); });
  if (m_hWnd) Invalidate(TRUE);
  return ok;
}

void CHeightFindWnd::Print() {
  if (!m_bCalculated || !m_bMatch) return;
  ViewPrintWithDialog(this, "The results could not be printed.", [this](CDC* dc) { return PrintTo(dc); });
}

// ---- Messages ----

int CHeightFindWnd::OnCreate(LPCREATESTRUCT lpcs) {
  if (CWnd::OnCreate(lpcs) == -1) return -1;
  m_fontBold.CreatePointFont(90, "MS Sans Serif");
  {
    LOGFONT lf{};
    lf.lfHeight = 90;
    lf.lfWeight = 700;
    std::strcpy(lf.lfFaceName, "MS Sans Serif");
    m_fontBold.DeleteObject();
    m_fontBold.CreatePointFontIndirect(&lf);
  }
  m_fontNormal.CreatePointFont(90, "MS Sans Serif");
  const int cx = ::GetSystemMetrics(SM_CXVSCROLL);
  m_wndEdit.Create(WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, CRect(209, 36, 283 - cx, 51), this, kEditId);
  m_wndEdit.SetFont(&m_fontNormal);
  m_strLastText.Empty();
  m_wndEdit.SetWindowText(FormatHeight(3.0));
  OnEditUpdate();
  m_wndSpin.Create(WS_CHILD | WS_VISIBLE, CRect(283 - cx, 34, 285, 53), this, kSpinId);
  m_wndFind.Create("Find", WS_CHILD | WS_VISIBLE, CRect(293, 33, 353, 55), this, kFindButtonId);
  m_wndFind.SetFont(&m_fontNormal);
  ViewCreateScrollBar(m_wndScroll, SBS_HORZ, this, kScrollBarId);
  m_nScrollPos = 0;
  m_nScrollMax = 6;
  m_bScrollEnabled = FALSE;
  SyncScrollBar();
  return 0;
}

void CHeightFindWnd::OnPaint() {
  CPaintDC dc(this);
  CRect rc;
  GetClientRect(&rc);
  DrawResults(&dc, rc);
}

void CHeightFindWnd::OnSize(UINT, int cx, int cy) {
  m_bSized = 1;
  if (m_wndScroll.GetSafeHwnd())
    m_wndScroll.MoveWindow(0, cy - ::GetSystemMetrics(SM_CYHSCROLL), cx, ::GetSystemMetrics(SM_CYHSCROLL), TRUE);
}

void CHeightFindWnd::OnHScroll(UINT code, UINT nPos, CScrollBar*) {
  const int pos = ViewScrollRequest(code, nPos, m_nScrollPos, m_nScrollMax);
  if (pos >= 0) SetScrollPosition(pos);
  if (m_hWnd) Invalidate(TRUE);
}

void CHeightFindWnd::OnDestroy() {
  FreeLists();
  CWnd::OnDestroy();
}

void CHeightFindWnd::OnFindClicked() { Find(); }

void CHeightFindWnd::OnContextMenu(CWnd*, CPoint pos) {
  if (!m_bMatch || !m_bCalculated || !HasResults() || !m_pHost) return;
  if (pos.x == -1 && pos.y == -1) {
    pos = CPoint(5, 5);
    ClientToScreen(&pos);
  } else {
    CPoint client(pos);
    ScreenToClient(&client);
    if (client.y < kBandHeight) return;
  }
  VxMenu* menu = m_pHost->GetContextMenu();
  if (!menu || !menu->LoadFromResource(kFinderMenu)) return;
  menu->ApplyToolbarIcons(kStandardToolbar);
  ViewTrackContextMenu(menu, this, pos);
}
