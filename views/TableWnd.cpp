#include "views/TableWnd.h"

#include "platform/core/AfxUserNumber.h"
#include "platform/ui/Clipboard.h"
#include "resources/ResourceIds.h"
#include "views/TableExport.h"
#include "views/ViewDrawing.h"
#include "views/VxMenu.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#ifndef SBS_VERT
#define SBS_VERT 0x0001L
#endif

IMPLEMENT_DYNAMIC(CTableWnd, CWnd)

BEGIN_MESSAGE_MAP(CTableWnd, CWnd)
  ON_MESSAGE(WM_GETOBJECT, OnGetObject)
  ON_WM_CREATE()
  ON_WM_PAINT()
  ON_WM_VSCROLL()
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONUP()
  ON_WM_LBUTTONDBLCLK()
  ON_WM_KEYUP()
  ON_WM_MOUSEWHEEL()
  ON_WM_SETFOCUS()
  ON_WM_KILLFOCUS()
  ON_WM_CONTEXTMENU()
END_MESSAGE_MAP()

namespace {

const UINT kTableMenu = IDR_TABLE_POPUP, kStandardToolbar = IDR_MENU_PICTURES, kCopyImage = IDB_COPY,
           kGraphImage = IDB_VIEW_GRAPH;
const UINT kCopyCommand = ID_TABLE_COPY, kViewGraphCommand = ID_VIEW_GRAPH_FOR;
const char kNoPrediction[] = "No prediction";

// The page's HTML pieces. The page declares UTF-8, the encoding it is written in.
const char kHtmlHead[] =
    "<html>\n\n<head>\n<meta http-equiv=\"Content-Type\"\ncontent=\"text/html; charset=utf-8\">\n"
    "<meta name=\"GENERATOR\" content=\"Quillane Neapwise\">\n<title>Tide Prediction</title>\n</head>\n\n"
    "<body bgcolor=\"#FFFFFF\" leftmargin=\"20\">\n\n<table border=\"0\">\n    <tr>\n"
    "        <td width=\"620\"><p align=\"center\"><font size=\"5\"\n        face=\"Arial\"><strong>";
const char kHtmlFooter[] =
    "<p>Produced by Quillane Neapwise <a href=\"https://www.quillane.com/\">www.quillane.com</a></p>\n"
    "</body>\n</html>";
const char kHtmlTitleEnd[] = "</strong></font></p>\n        </td>\n    </tr>\n</table>\n\n<p>&nbsp;</p>\n";
const char kHtmlGroupStart[] = "<table border=\"0\" cellpadding=\"0\" cellspacing=\"0\">\n    <tr>\n";
const char kHtmlGroupEnd[] = "    </tr>\n</table>\n";
const char kHtmlRowBreak[] = "    </tr>\n    <tr>\n";
const char kHtmlCell[] = "        <td><font size=\"2\" face=\"Arial\">%1</font></td>\n";
const char kHtmlEmpty[] = "        <td>&nbsp;</td>\n";
const char kHtmlDay[] =
    "        <td valign=\"bottom\" width=\"35\"><font size=\"3\"\n        "
    "face=\"Arial\"><strong>%1</strong></font></td>\n";
const char kHtmlHeight[] =
    "        <td valign=\"bottom\" width=\"70\"><font size=\"2\"\n        face=\"Arial\">%1</font></td>\n";
const char kHtmlTime[] =
    "        <td valign=\"bottom\" width=\"50\"><font size=\"2\"\n        face=\"Arial\">%1</font></td>\n";
const char kHtmlGap[] = "<p>&nbsp;</p>\n";

CString Fill(const char* piece, const CString& value) {
  CString s(piece);
  s.Replace("%1", ViewHtmlEscape(value).GetString());
  return s;
}

int CeilDiv(int a, int b) {
  if (b <= 0) return 0;
  return a >= 0 ? (a + b - 1) / b : -((-a) / b);
}

}  // namespace

CTableWnd::CTableWnd() {
  for (int slot = 1; slot <= kSlots; ++slot)
    for (int day = 1; day <= kDays; ++day) {
      Event& e = At(slot, day);
      e.time = CQsDateTime(1980, 1, 1, 3 * slot, 45, 0);
      e.metres = day * 0.21;
      e.present = 1;
    }
  for (int day = 1; day <= kDays; ++day) At(kMaxSlots, day).present = 0;
  std::fill(m_moon, m_moon + kDays, -1);
  std::fill(m_predicted, m_predicted + kDays, 1);
}

CTableWnd::~CTableWnd() {
  if (m_hWnd) DestroyWindow();
}

BOOL CTableWnd::Create(CWnd* pParent, const RECT& rect, UINT nID) {
  LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW));
  return CreateEx(WS_EX_NOPARENTNOTIFY, cls, "", WS_CHILD | WS_VISIBLE, rect, pParent, nID);
}

// ---- Data ----

void CTableWnd::SetDayCount(int n) {
  m_nDayCount = (short)((n < 1 || n > kDays) ? kDays : n);
  if (m_nSelectedDay > m_nDayCount) m_nSelectedDay = m_nDayCount;
  std::fill(m_predicted, m_predicted + kDays, 1);
}

void CTableWnd::SetEventPresent(int slot, int day, int b) {
  if (slot < 1 || slot > kMaxSlots || day < 1 || day > kDays) return;
  At(slot, day).present = b;
}

void CTableWnd::SetTideEvent(int slot, int day, int minutes, double metres) {
  if (slot < 1 || slot > kMaxSlots || day < 1 || day > kDays) return;
  // Events are times of the local day: minute 1440 is the next day's midnight.
  minutes = std::clamp(minutes, 0, 1439);
  At(slot, day).time = CQsDateTime(1980, 1, 1, minutes / 60, minutes % 60, 0);
  At(slot, day).metres = metres;
}

int CTableWnd::EventRows(int first, int last) const {
  for (int day = std::max(first, 1); day <= std::min(last, (int)kDays); ++day)
    if (At(kMaxSlots, day).present && m_predicted[day - 1]) return kMaxSlots;
  return kSlots;
}

void CTableWnd::SetDayPredicted(int day, int b) {
  if (day >= 1 && day <= kDays) m_predicted[day - 1] = b ? 1 : 0;
}
int CTableWnd::IsDayPredicted(int day) const {
  if (day < 1 || day > kDays || !m_predicted[day - 1]) return 0;
  // The frame's month knows which days lie outside the angle/factor table.
  if (m_pHost) {
    CMonthlyPrediction& month = m_pHost->GetMonthlyPrediction();
    if (month.GetDaysInMonth() > 0) return ViewDayHasPrediction(month.GetDay(day), day);
  }
  return 1;
}

void CTableWnd::ClearMoonDays() { std::fill(m_moon, m_moon + kDays, -1); }
void CTableWnd::SetMoon(int day, int mark) {
  if (day >= 1 && day <= kDays) m_moon[day - 1] = mark;
}
int CTableWnd::GetMoonMark(int day) const { return day >= 1 && day <= kDays ? m_moon[day - 1] : -1; }

void CTableWnd::SetShowMoons(int b) { m_bShowMoons = b; }
void CTableWnd::SetShowBackgroundPic(int b) { m_bBackgroundPic = b; }
void CTableWnd::SetFeet(int b) {
  m_bFeet = b;
  Refresh();
}
void CTableWnd::SetCalculated(int b) {
  m_bCalculated = b;
  Refresh();
}
void CTableWnd::Refresh() {
  if (m_hWnd) Invalidate(TRUE);
}
void CTableWnd::SetPortName(LPCTSTR s) { m_strPortName = s ? s : ""; }
void CTableWnd::SetZoneCaption(LPCTSTR s) { m_strZoneCaption = s ? s : ""; }

CQsDateTime CTableWnd::GetSelectedDate() const { return CQsDateTime(m_nYear, m_nMonth, m_nSelectedDay, 0, 0, 0); }

CString CTableWnd::HeightText(double metres, BOOL bShown) const {
  const double v = m_bFeet ? metres * kFeetPerMetre : metres;
  CString s;
  if (bShown)
    s = AfxFormatUserNumber(v, 1);
  else
    s.Format("%0.1f", v);
  return s + (m_bFeet ? "ft" : "m");
}

int CTableWnd::IsEventPresent(int slot, int day) const {
  return slot >= 1 && slot <= kMaxSlots && day >= 1 && day <= kDays ? At(slot, day).present : 0;
}

CString CTableWnd::GetEventTimeText(int slot, int day) const {
  if (slot < 1 || slot > kMaxSlots || day < 1 || day > kDays) return CString();
  return At(slot, day).time.Format("%H:%M");
}
CString CTableWnd::GetEventHeightText(int slot, int day) const {
  if (slot < 1 || slot > kMaxSlots || day < 1 || day > kDays) return CString();
  return HeightText(At(slot, day).metres, TRUE);
}

CString CTableWnd::FirstOfMonth(LPCTSTR fmt) const { return CQsDateTime(m_nYear, m_nMonth, 1, 0, 0, 0).Format(fmt); }

// ---- Drawing ----

void CTableWnd::DrawTable(CDC* pDC, const CRect& rect) {
  const BOOL screen = !m_bPrinting;
  if (!m_bCalculated && screen) {
    if (m_wndScroll.GetSafeHwnd()) m_wndScroll.ShowWindow(SW_HIDE);
    pDC->FillSolidRect(&rect, RGB(255, 255, 255));
    pDC->SetBkMode(TRANSPARENT);
    DrawPlaceholder(pDC, rect);
    return;
  }
  CRect R(rect);
  const int bar = ::GetSystemMetrics(SM_CXVSCROLL);
  if (screen) R.right = std::max(R.left, R.right - bar);

  CDC mem;
  CBitmap picture;
  CBitmap* oldBitmap = nullptr;
  CDC* dc = pDC;
  if (screen) {
    mem.CreateCompatibleDC(pDC);
    picture.CreateCompatibleBitmap(nullptr, std::max<LONG>(1, R.Width()), std::max<LONG>(1, R.Height()));
    oldBitmap = mem.SelectObject(&picture);
    mem.SetViewportOrg(-R.left, -R.top);
    dc = &mem;
  }
  dc->FillSolidRect(&R, RGB(255, 255, 255));
  dc->SetBkMode(TRANSPARENT);
  dc->SetTextColor(RGB(0, 0, 0));
  const int h = HeadingHeight(dc);
  DrawHeading(dc, R);
  CRect body(R.left, R.top + h, R.right, R.bottom);
  DrawDays(dc, R, body);

  if (screen) {
    pDC->BitBlt(R.left, R.top, std::max<LONG>(1, R.Width()), std::max<LONG>(1, R.Height()), &mem, R.left, R.top,
                SRCCOPY);
    mem.SelectObject(oldBitmap);
    mem.DeleteDC();
    if (rect.right > R.right)
      pDC->FillSolidRect(R.right, rect.top, rect.right - R.right, rect.Height(), ::GetSysColor(COLOR_BTNFACE));
    if (m_wndScroll.GetSafeHwnd()) {
      m_wndScroll.MoveWindow(rect.right - bar, rect.top, bar, rect.Height(), TRUE);
      m_wndScroll.ShowWindow(SW_SHOW);
    }
  }
}

int CTableWnd::HeadingHeight(CDC* dc) const {
  CFont f14;
  ViewMakeFont(f14, dc, 140, 700);
  CFont* old = dc->SelectObject(&f14);
  const int H = (int)ViewTextExtent(dc, "Test String").cy;
  int h = H + (int)(0.4 * H);
  if (m_bPrinting) {
    CFont f9;
    ViewMakeFont(f9, dc, 90, 400);
    dc->SelectObject(&f9);
    h += (int)(0.2 * H) + (int)(0.1 * H) + (int)ViewTextExtent(dc, "Test String").cy;
  }
  dc->SelectObject(old);
  return h;
}

void CTableWnd::DrawHeading(CDC* dc, const CRect& R) {
  CFont f14;
  ViewMakeFont(f14, dc, 140, 700);
  CFont* old = dc->SelectObject(&f14);
  const int H = (int)ViewTextExtent(dc, "Test String").cy;
  CString title = m_strPortName + FirstOfMonth(" - %B %Y");
  CSize t = dc->GetTextExtent(title);
  dc->TextOut(R.left + (int)((R.Width() - t.cx) / 2), R.top + (int)(0.4 * t.cy), title);
  if (m_bPrinting) {
    CFont f9;
    ViewMakeFont(f9, dc, 90, 400);
    dc->SelectObject(&f9);
    CSize z = dc->GetTextExtent(m_strZoneCaption);
    dc->TextOut(R.left + (int)((R.Width() - z.cx) / 2), (int)(1.4 * H), m_strZoneCaption);
  }
  dc->SelectObject(old);
}

void CTableWnd::DrawPlaceholder(CDC* dc, const CRect& R) {
  CString text("Click here for times for %1 during %2");
  text.Replace("%1", m_strPortName.GetString());
  text.Replace("%2", FirstOfMonth("%B %Y").GetString());
  ViewDrawPlaceholder(dc, R, text, m_bBackgroundPic, m_placeholderPicture, m_bPictureTried);
}

int CTableWnd::DrawDayCell(CDC* dc, int day, int x, int y, BOOL bDraw, CSize* pSize) {
  if (day < 1 || day > kDays || (bDraw && day > m_nDayCount)) return -1;
  // The grid hands its fonts in for the whole drawing; alone, a cell makes its own.
  CFont own18, own83;
  CFont* f18 = m_pDayFont;
  CFont* f83 = m_pSmallFont;
  if (!f18 || !f83) {
    ViewMakeFont(own18, dc, 180, 700);
    ViewMakeFont(own83, dc, 83, 300);
    f18 = &own18;
    f83 = &own83;
  }
  CFont* old = dc->SelectObject(f18);
  CString num;
  num.Format("%02d", day);
  const int dx = (int)(1.2 * ViewTextExtent(dc, "00").cx);
  const int dh = (int)dc->GetTextExtent(num).cy;
  if (bDraw) dc->TextOut(x, y, num);

  dc->SelectObject(f83);
  const int L = (int)ViewTextExtent(dc, "00:00").cy;
  const int hx = dx + (int)ViewTextExtent(dc, "00:00").cx + (int)(1.5 * ViewTextExtent(dc, "0").cx);
  const int W = hx + (int)(1.1 * ViewTextExtent(dc, m_bFeet ? "1.23ft" : "1.23m").cx);
  const int C = (int)(L * 1.1 * EventRows(1, m_nDayCount));
  if (bDraw) {
    if (!IsDayPredicted(day)) {
      dc->TextOut(x + dx, y + (int)(0.25 * L), kNoPrediction);
    } else {
      for (int k = 0; k < kMaxSlots; ++k) {
        const Event& e = At(k + 1, day);
        if (!e.present) continue;
        int ty = y + (int)(0.25 * L) + (int)(1.1 * k * L);
        dc->TextOut(x + dx, ty, e.time.Format("%H:%M"));
        dc->TextOut(x + hx, ty, HeightText(e.metres, TRUE));
      }
    }
    dc->TextOut(x, y + dh, CQsDateTime(m_nYear, m_nMonth, day, 0, 0, 0).Format("%a"));
    const int mark = m_moon[day - 1];
    if (mark >= 0 && m_bShowMoons) {
      const int ay = (int)ViewTextExtent(dc, "Ay").cy;
      const int D = (int)(4.2 * L) - dh - ay;
      if (D > 1) {
        const COLORREF pale = RGB(255, 255, 230), black = RGB(0, 0, 0);
        CRect disc(x, y + dh + ay, x + D, y + dh + ay + D);
        CPen pen(PS_SOLID, 1, black);
        CBrush fill(mark == 1 || mark == 2 ? pale : black);
        CPen* op = dc->SelectObject(&pen);
        CBrush* ob = dc->SelectObject(&fill);
        dc->Ellipse(&disc);
        if (mark == 1 || mark == 3) {
          CBrush half(mark == 1 ? black : pale);
          dc->SelectObject(&half);
          const int cx = disc.left + D / 2;
          dc->Pie(&disc, CPoint(cx, disc.top), CPoint(cx, disc.bottom));
          dc->SelectObject(&fill);
        }
        dc->SelectObject(ob);
        dc->SelectObject(op);
      }
    }
  }
  dc->SelectObject(old);
  if (pSize) *pSize = CSize(W, C);
  return 0;
}

void CTableWnd::CalcGrid(CDC* dc, const CRect& R, const CRect&) {
  CSize cell(0, 0);
  DrawDayCell(dc, 8, 0, 0, FALSE, &cell);
  CFont f83;
  ViewMakeFont(f83, dc, 83, 300);
  CFont* old = dc->SelectObject(&f83);
  const int a = (int)ViewTextExtent(dc, "00").cx, b = (int)ViewTextExtent(dc, "000").cx;
  dc->SelectObject(old);
  const int W = std::max<int>(1, cell.cx), C = std::max<int>(1, cell.cy);
  const int spanX = R.Width() - (2 * b + a), spanY = R.Height() - (2 * b + a);
  m_nColumns = spanX > 0 ? spanX / (a + W) : 0;
  m_nRows = spanY > 0 ? spanY / (a + C) : 0;
  if (m_bPrinting) return;
  // A window that fits no cell has nothing to scroll through.
  const int hidden = m_nDayCount - m_nRows * m_nColumns;
  m_nScrollMax = (m_nColumns > 0 && m_nRows > 0) ? std::max(0, CeilDiv(hidden, m_nColumns)) : 0;
  if (m_nScrollMax > 0) {
    m_bScrollEnabled = TRUE;
    m_nScrollPos = std::min(m_nScrollPos, m_nScrollMax);
  } else {
    m_nScrollPos = 0;
    m_bScrollEnabled = FALSE;
  }
  SyncScrollBar();
}

void CTableWnd::DrawDays(CDC* dc, const CRect& R, const CRect& body) {
  CFont f18, f83;
  ViewMakeFont(f18, dc, 180, 700);
  ViewMakeFont(f83, dc, 83, 300);
  m_pDayFont = &f18;
  m_pSmallFont = &f83;
  DrawGrid(dc, R, body);
  m_pDayFont = m_pSmallFont = nullptr;
}

void CTableWnd::DrawGrid(CDC* dc, const CRect& R, const CRect& body) {
  CalcGrid(dc, R, body);
  if (!m_bPrinting) m_dayRects.clear();
  const int cols = m_nColumns, rows = m_nRows;
  if (cols <= 0 || rows <= 0) return;
  CSize cell(0, 0);
  DrawDayCell(dc, 8, 0, 0, FALSE, &cell);
  CFont f83;
  ViewMakeFont(f83, dc, 83, 300);
  CFont* old = dc->SelectObject(&f83);
  const int mx = (int)ViewTextExtent(dc, "000").cx, my = (int)ViewTextExtent(dc, "0").cx;
  dc->SelectObject(old);
  const int W = cell.cx, C = cell.cy;
  const int gx = (R.Width() - 2 * mx - cols * W) / (2 * cols);
  const int gy = (body.Height() - 2 * my - rows * C) / (2 * rows);
  const BOOL focused = !m_bPrinting && m_hWnd && ::GetFocus() == m_hWnd;
  for (int r = 0; r < rows; ++r) {
    for (int j = 1; j <= cols; ++j) {
      const int x = R.left + mx + gx + (j - 1) * (W + 2 * gx);
      const int y = body.top + my + gy + r * (C + 2 * gy);
      const int day = m_bPrinting ? r * cols + j : cols * (m_nScrollPos + r) + j;
      DrawDayCell(dc, day, x, y, TRUE, nullptr);
      if (!focused) continue;
      CRect cellRect(x - 4, y, x + W + 3, y + C + 4);
      if (day == m_nSelectedDay) dc->DrawFocusRect(&cellRect);
      if (day <= m_nDayCount) m_dayRects.push_back(DayRect{cellRect, day});
    }
  }
}

void CTableWnd::SyncScrollBar() { ViewSyncScrollBar(m_wndScroll, m_nScrollMax, m_nScrollPos, m_bScrollEnabled); }

void CTableWnd::SetScrollPosition(int pos) {
  m_nScrollPos = std::clamp(pos, 0, std::max(0, m_nScrollMax));
  SyncScrollBar();
}

// ---- Text and HTML ----

CString CTableWnd::BuildText() const {
  CString s = m_strPortName + "\r\n\r\n";
  for (int day = 1; day <= m_nDayCount; ++day) {
    s += CQsDateTime(m_nYear, m_nMonth, day, 0, 0, 0).Format("%A, %d %B %Y") + "\r\n\r\n";
    if (!IsDayPredicted(day)) {
      s += CString(kNoPrediction) + "\r\n";
    } else {
      for (int slot = 1; slot <= kMaxSlots; ++slot) {
        const Event& e = At(slot, day);
        if (e.present) s += e.time.Format("%H:%M") + "\t" + HeightText(e.metres, FALSE) + "\r\n";
      }
    }
    s += "\r\n";
  }
  return s;
}

CString CTableWnd::BuildHtml() const {
  CString s(kHtmlHead);
  s += ViewHtmlEscape(m_strPortName + FirstOfMonth(" - %B %Y"));
  s += kHtmlTitleEnd;
  const int groups = CeilDiv(m_nDayCount, 4);
  for (int g = 0; g < groups; ++g) {
    const int first = 4 * g + 1, last = std::min<int>(first + 3, m_nDayCount);
    s += kHtmlGroupStart;
    for (int day = first; day <= last; ++day) {
      CString num;
      num.Format("%02d", day);
      s += Fill(kHtmlDay, num);
      const Event& e = At(1, day);
      if (!IsDayPredicted(day)) {
        s += Fill(kHtmlTime, kNoPrediction);
        s += kHtmlEmpty;
      } else if (e.present) {
        s += Fill(kHtmlTime, e.time.Format("%H:%M"));
        s += Fill(kHtmlHeight, HeightText(e.metres, FALSE));
      } else {
        s += kHtmlEmpty;
        s += kHtmlEmpty;
      }
    }
    for (int slot = 2; slot <= EventRows(first, last); ++slot) {
      s += kHtmlRowBreak;
      for (int day = first; day <= last; ++day) {
        if (slot == 2)
          s += Fill(kHtmlCell, CQsDateTime(m_nYear, m_nMonth, day, 0, 0, 0).Format("%a"));
        else
          s += kHtmlEmpty;
        const Event& e = At(slot, day);
        if (e.present && IsDayPredicted(day)) {
          s += Fill(kHtmlCell, e.time.Format("%H:%M"));
          s += Fill(kHtmlCell, HeightText(e.metres, FALSE));
        } else {
          s += kHtmlEmpty;
          s += kHtmlEmpty;
        }
      }
    }
    s += kHtmlGroupEnd;
    s += kHtmlGap;
  }
  s += kHtmlFooter;
  return s;
}

BOOL CTableWnd::SaveToFile(LPCTSTR lpszPath, int nFilterIndex, CString& rError, CString* pSavedPath) {
  return ViewSaveExport(
      lpszPath, nFilterIndex, "No file name was given, so the table was not saved.",
      [this](ViewExportFormat format) { return format == kExportHtml ? BuildHtml() : BuildText(); }, rError,
      pSavedPath);
}

// ---- Commands ----

void CTableWnd::CopyToClipboard() {
  if (!m_bCalculated) return;
  AfxSetClipboardText(BuildText());
}

UINT CTableWnd::GetSaveAsTextId() const { return IDS_SAVE_TABLE; }

void CTableWnd::Export() {
  if (!m_bCalculated) return;
  ViewSaveWithDialog(this, "Neapwise Table",
                     [this](LPCTSTR path, int filter, CString& error) { return SaveToFile(path, filter, error); });
}

BOOL CTableWnd::PrintTo(CDC* pDC) {
  BOOL ok = ViewPrintDocument(pDC, m_bPrinting, [this](CDC* dc, const CRect& page) { DrawTable(dc, page); });
  Refresh();
  return ok;
}

void CTableWnd::Print() {
  if (!m_bCalculated) return;
  ViewPrintWithDialog(this, "The table could not be printed.", [this](CDC* dc) { return PrintTo(dc); });
}

// ---- Messages ----

int CTableWnd::OnCreate(LPCREATESTRUCT lpcs) {
  if (CWnd::OnCreate(lpcs) == -1) return -1;
  ViewCreateScrollBar(m_wndScroll, SBS_VERT, this, kScrollBarId);
  m_nScrollPos = 0;
  m_nScrollMax = 6;
  SyncScrollBar();
  return 0;
}

void CTableWnd::OnPaint() {
  CPaintDC dc(this);
  CRect rc;
  GetClientRect(&rc);
  DrawTable(&dc, rc);
}

void CTableWnd::OnVScroll(UINT code, UINT nPos, CScrollBar*) {
  const int pos = ViewScrollRequest(code, nPos, m_nScrollPos, m_nScrollMax);
  if (pos >= 0) SetScrollPosition(pos);
  Refresh();
}

void CTableWnd::OnLButtonDown(UINT, CPoint) {
  if (::GetFocus() != m_hWnd) SetFocus();
}

void CTableWnd::OnLButtonUp(UINT, CPoint point) {
  if (!m_bCalculated) {
    if (m_pHost) m_pHost->CalculateTable();
    return;
  }
  for (const DayRect& d : m_dayRects)
    if (::PtInRect(&d.rect, point)) m_nSelectedDay = d.day;
  Refresh();
}

void CTableWnd::OnLButtonDblClk(UINT, CPoint point) {
  if (!m_bCalculated) return;
  for (const DayRect& d : m_dayRects)
    if (::PtInRect(&d.rect, point)) {
      ActivateDay(d.day);
      return;
    }
}

void CTableWnd::ActivateDay(int day) {
  if (!m_pHost || day < 1 || day > m_nDayCount) return;
  m_nSelectedDay = day;
  BOOL changed = m_pHost->SelectDay(day);
  m_pHost->ShowGraphPage();
  if (changed) m_pHost->CalculateGraph();
}

void CTableWnd::ShowDay(int d) {
  const int cols = m_nColumns;
  if (cols > 0) {
    int pos = m_nScrollPos;
    if (m_nScrollPos * cols >= d)
      pos = CeilDiv(d, cols) - 1;
    else if (cols * (m_nScrollPos + m_nRows) < d)
      pos = CeilDiv(d, cols) - m_nRows;
    if (pos != m_nScrollPos && pos >= 0 && pos <= m_nScrollMax) SetScrollPosition(pos);
  }
  Refresh();
}

void CTableWnd::OnKeyUp(UINT nChar, UINT, UINT) {
  if (!m_bCalculated) return;
  const int cols = m_nColumns, sel = m_nSelectedDay;
  if (nChar == VK_RETURN) {
    ActivateDay(sel);
    return;
  }
  if (cols <= 0) return;  // nothing is shown, so there is nothing to move through
  switch (nChar) {
    case VK_LEFT:
      if (sel == 1 || (sel - 1) % cols == 0) return;
      m_nSelectedDay = sel - 1;
      ShowDay(m_nSelectedDay);
      break;
    case VK_RIGHT:
      if (sel % cols == 0 || sel >= m_nDayCount) return;
      m_nSelectedDay = sel + 1;
      ShowDay(m_nSelectedDay);
      break;
    case VK_UP:
      if (sel <= cols) return;
      m_nSelectedDay = sel - cols;
      ShowDay(m_nSelectedDay);
      break;
    case VK_DOWN:
      if (sel <= m_nDayCount - cols) {
        m_nSelectedDay = sel + cols;
        ShowDay(m_nSelectedDay);
      } else {
        SetScrollPosition(m_nScrollMax);
        Refresh();
      }
      break;
    default: break;
  }
}

BOOL CTableWnd::OnMouseWheel(UINT nFlags, short zDelta, CPoint) {
  if (nFlags & MK_CONTROL) {
    if (m_pHost) {
      if (zDelta > 0)
        m_pHost->GoNext();
      else
        m_pHost->GoPrevious();
    }
    return TRUE;
  }
  if (zDelta > 0) {
    if (m_nScrollPos - 1 >= 0) SetScrollPosition(m_nScrollPos - 1);
  } else if (m_nScrollPos + 1 <= m_nScrollMax) {
    SetScrollPosition(m_nScrollPos + 1);
  }
  Refresh();
  return TRUE;
}

void CTableWnd::OnSetFocus(CWnd* pOld) {
  CWnd::OnSetFocus(pOld);
  if (m_bCalculated) {
    // Painted now, so the day cells can be hit by the click that gave the focus.
    Invalidate(TRUE);
    UpdateWindow();
  }
}

void CTableWnd::OnKillFocus(CWnd* pNew) {
  CWnd::OnKillFocus(pNew);
  if (m_bCalculated) Refresh();
}

void CTableWnd::OnContextMenu(CWnd*, CPoint pos) {
  if (!m_bCalculated || !m_pHost) return;
  VxMenu* menu = m_pHost->GetContextMenu();
  if (!menu) return;
  if (pos.x == -1 && pos.y == -1) {
    pos = CPoint(5, 5);
    ClientToScreen(&pos);
  }
  if (!menu->LoadFromResource(kTableMenu)) return;
  menu->ApplyToolbarIcons(kStandardToolbar);
  menu->SetItemIcon(nullptr, kCopyCommand, kCopyImage);
  menu->SetItemIcon(nullptr, kViewGraphCommand, kGraphImage);
  ViewTrackContextMenu(menu, this, pos);
}
