#include "views/DatePopup.h"

#include "model/AngleFactorDB.h"

#include <cstring>

IMPLEMENT_DYNCREATE(CDatePopup, CPickPopup)

namespace {
int MonthIndex(int month, int year) { return year * 12 + (month - 1); }

void PointFont(CFont& font, CDC* dc, int weight) {
  LOGFONT lf{};
  lf.lfHeight = 100;
  lf.lfWeight = weight;
  lf.lfCharSet = DEFAULT_CHARSET;
  std::strcpy(lf.lfFaceName, "Arial");
  font.CreatePointFontIndirect(&lf, dc);
}
}  // namespace

BOOL CDatePopup::Create(CWnd* pNotify, int x, int y) {
  FillCells();
  return CreatePopup(pNotify, x, y, kWidth, kHeight);
}

void CDatePopup::SetDate(int nDay, int nMonth, int nYear) {
  m_nDay = nDay;
  m_nMonth = m_nShownMonth = nMonth;
  m_nYear = m_nShownYear = nYear;
  FillCells();
  if (m_hWnd) Invalidate(FALSE);
}

void CDatePopup::SetRange(const CQsDateTime& first, const CQsDateTime& last) {
  m_nFirstMonth = first.GetMonth();
  m_nFirstYear = first.GetYear();
  m_nLastMonth = last.GetMonth();
  m_nLastYear = last.GetYear();
}

BOOL CDatePopup::SetRange(const CAngleFactorDB& table) {
  CQsDateTime first, last;
  if (!table.GetFirstDate(first) || !table.GetLastDate(last)) return FALSE;
  last.PrevDay();  // the table's last day only serves as the day after the last prediction
  SetRange(first, last);
  return TRUE;
}

void CDatePopup::FillCells() {
  std::memset(m_cellDays, 0, sizeof(m_cellDays));
  if (m_nShownMonth < 1 || m_nShownMonth > 12 || m_nShownYear < 1) return;
  int first = 0;
  try {
    first = CQsDateTime(m_nShownYear, m_nShownMonth, 1, 0, 0, 0).GetDayOfWeek() - 1;  // Sunday first
  } catch (...) {
    return;
  }
  int days = CQsDateTime::DaysInMonth(m_nShownMonth, m_nShownYear);
  for (int d = 1; d <= days && first + d - 1 < 42; ++d) m_cellDays[first + d - 1] = d;
}

int CDatePopup::ItemAt(CPoint pt) const {
  for (int i = 0; i < 44; ++i)
    if ((i >= 42 || m_cellDays[i]) && ItemRect(i).PtInRect(pt)) return i;
  return -1;
}

CRect CDatePopup::ItemRect(int i) const {
  if (i == kPrevious) return CRect(5, 5, 25, 21);
  if (i == kNext) return CRect(129, 5, 149, 21);
  int c = i % 7, r = i / 7;
  return CRect(5 + 20 * c, 50 + 20 * r, 25 + 20 * c, 70 + 20 * r);
}

void CDatePopup::DrawContent(CDC* dc) {
  CRect all(0, 0, kWidth, kHeight);
  dc->FillSolidRect(&all, ::GetSysColor(COLOR_BTNFACE));
  dc->DrawEdge(&all, EDGE_RAISED, BF_RECT);
  CRect top(5, 0, 149, 25), band(5, 0, 149, 50);
  dc->DrawEdge(&top, EDGE_ETCHED, BF_BOTTOM);
  dc->DrawEdge(&band, EDGE_ETCHED, BF_BOTTOM);
  dc->SetBkMode(TRANSPARENT);
  dc->SetTextColor(::GetSysColor(COLOR_WINDOWTEXT));
  CFont bold, normal;
  PointFont(bold, dc, 700);
  PointFont(normal, dc, 400);
  CFont* old = dc->SelectObject(&bold);
  CString month = CQsDateTime(m_nShownYear, m_nShownMonth, 1, 0, 0, 0).Format("%b %y");
  CSize e = dc->GetTextExtent(month);
  dc->TextOut((kWidth - e.cx) / 2, 5, month);
  DrawItemEdge(dc, kPrevious);
  DrawItemEdge(dc, kNext);
  dc->TextOut(7, 5, "<<");
  dc->TextOut(131, 5, ">>");
  static const char* initials[7] = {"S", "M", "T", "W", "T", "F", "S"};
  for (int c = 0; c < 7; ++c) {
    CRect r(5 + 20 * c, 27, 25 + 20 * c, 48);
    dc->DrawText(initials[c], &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
  dc->SelectObject(&normal);
  const bool pickedMonth = m_nShownMonth == m_nMonth && m_nShownYear == m_nYear;
  for (int i = 0; i < 42; ++i) {
    if (!m_cellDays[i]) continue;
    CRect r = ItemRect(i);
    DrawItemEdge(dc, i);
    CString s;
    s.Format("%d", m_cellDays[i]);
    if (pickedMonth && m_cellDays[i] == m_nDay) {
      CRect in(r);
      in.DeflateRect(2, 2);
      dc->FillSolidRect(&in, ::GetSysColor(COLOR_HIGHLIGHT));
      dc->SetTextColor(::GetSysColor(COLOR_HIGHLIGHTTEXT));
    } else {
      dc->SetTextColor(::GetSysColor(COLOR_WINDOWTEXT));
    }
    dc->DrawText(s, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
  dc->SelectObject(old);
}

void CDatePopup::OnPicked(int i) {
  int shown = MonthIndex(m_nShownMonth, m_nShownYear);
  if (i == kNext || i == kPrevious) {
    int want = shown + (i == kNext ? 1 : -1);
    if (want < MonthIndex(m_nFirstMonth, m_nFirstYear) || want > MonthIndex(m_nLastMonth, m_nLastYear)) return;
    m_nShownYear = want / 12;
    m_nShownMonth = want % 12 + 1;
    FillCells();
    Invalidate(FALSE);
    return;
  }
  if (!m_cellDays[i]) return;
  m_nDay = m_cellDays[i];
  m_nMonth = m_nShownMonth;
  m_nYear = m_nShownYear;
  CWnd* notify = m_pNotify;
  CloseLater();  // before the notification, which may delete this popup's owner
  if (notify && ::IsWindow(notify->GetSafeHwnd())) notify->SendMessage(WM_DATEPOPUP_PICKED, 0, 0);
}
