#include "views/TideLogWnd.h"
#include "platform/core/AfxUserNumber.h"

#include "model/AngleFactorDB.h"
#include "model/PortDB.h"
#include "platform/core/AfxLocale.h"
#include "resources/ResourceIds.h"
#include "views/VxMenu.h"

#include <algorithm>
#include <cmath>
#include <cstring>

IMPLEMENT_DYNAMIC(CTideLogWnd, CWnd)

BEGIN_MESSAGE_MAP(CTideLogWnd, CWnd)
  ON_MESSAGE(WM_GETOBJECT, OnGetObject)
  ON_WM_CREATE()
  ON_WM_DESTROY()
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_SIZE()
  ON_WM_HSCROLL()
  ON_WM_VSCROLL()
  ON_WM_LBUTTONDOWN()
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONUP()
  ON_WM_CONTEXTMENU()
  ON_MESSAGE(WM_LOGHEADER_RESIZED, OnHeaderResized)
  ON_MESSAGE(WM_DATEPOPUP_PICKED, OnDateChanged)
  ON_CONTROL(CBN_EDITUPDATE, CTideLogWnd::kTimeComboId, OnTimeEditUpdate)
  ON_CONTROL(CBN_KILLFOCUS, CTideLogWnd::kTimeComboId, OnTimeKillFocus)
  ON_CONTROL(CBN_SELCHANGE, CTideLogWnd::kTimeComboId, OnTimeSelChange)
END_MESSAGE_MAP()

namespace {

const char* const kColumnLabels[CTideLogWnd::kColumns] = {
    "Port Name", "Date", "Time Zone", "HW/LW (1)", "HW/LW (2)", "HW/LW (3)", "HW/LW (4)", "Time", "Height"};
const int kColumnWidths[CTideLogWnd::kColumns] = {100, 100, 100, 100, 100, 100, 100, 80, 80};
const UINT kStandardToolbar = IDR_MENU_PICTURES, kDeleteImage = IDB_DELETE;
const int kPopupWidth = 154, kPopupHeight = 175;

void PointFont(CFont& font, CDC* dc, LPCTSTR face, int weight) {
  font.DeleteObject();
  LOGFONT lf{};
  lf.lfHeight = 90;
  lf.lfWeight = weight;
  lf.lfCharSet = DEFAULT_CHARSET;
  std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
  font.CreatePointFontIndirect(&lf, dc);
}

bool SameRect(const CRect& a, const CRect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

COLORREF Shade(COLORREF window, COLORREF face) {
  auto mix = [](int w, int f) { return w + static_cast<int>(0.15 * (f - w)); };
  return RGB(mix(GetRValue(window), GetRValue(face)), mix(GetGValue(window), GetGValue(face)),
             mix(GetBValue(window), GetBValue(face)));
}

CString HourMinute(int minutes) {
  CString s;
  s.Format("%02d:%02d", minutes / 60, minutes % 60);
  return s;
}

}  // namespace

CTideLogWnd::CTideLogWnd() = default;

CTideLogWnd::~CTideLogWnd() {
  ClearRows();
  delete m_pDatePopup;
}

BOOL CTideLogWnd::Create(CWnd* pParent, const RECT& rect, UINT nID) {
  LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW));
  return CreateEx(WS_EX_NOPARENTNOTIFY, cls, "", WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL, rect, pParent, nID);
}

void CTideLogWnd::MakeFonts(CDC* pDC) {
  if (!m_headerFont.GetSafeHandle()) PointFont(m_headerFont, pDC, "MS Sans Serif", 400);
  if (!m_textFont.GetSafeHandle()) PointFont(m_textFont, pDC, "Arial", 400);
  if (!m_comboFont.GetSafeHandle()) PointFont(m_comboFont, pDC, "Arial", 400);
}

int CTideLogWnd::OnCreate(LPCREATESTRUCT lpcs) {
  if (CWnd::OnCreate(lpcs) == -1) return -1;
  MakeFonts(nullptr);
  if (!m_header.Create(this, CRect(0, 0, 400, kHeaderHeight), kHeaderId)) return -1;
  m_header.SetFont(&m_headerFont);
  for (int i = 0; i < kColumns; ++i) m_header.AddLabel(kColumnLabels[i], kColumnWidths[i]);

  // The time editor: hidden until a "Time" cell is clicked.
  if (!m_timeCombo.Create(WS_CHILD | WS_VSCROLL | CBS_DROPDOWN, CRect(335, 10, 415, 135), this, kTimeComboId))
    return -1;
  m_timeCombo.SetFont(&m_comboFont);
  const CString sep = AfxGetLocaleValues().timeSeparator;
  for (int h = 0; h < 24; h += 2) {
    CString item;
    item.Format("%02d%s00", h, sep.GetString());
    m_timeCombo.AddString(item);
  }
  m_timeCombo.SetWindowText("12" + sep + "00");
  Relayout();
  return 0;
}

void CTideLogWnd::OnDestroy() {
  if (m_pDatePopup && m_pDatePopup->GetSafeHwnd()) m_pDatePopup->DestroyWindow();
  CWnd::OnDestroy();
}

// ---------------------------------------------------------------------------------------------
// Rows

CLocalDay CTideLogWnd::LocalDayOf(const ROW_ITEM& row) const {
  const bool valid = CTideLogFile::IsValidRow({0, row.day, row.month, row.year, 0, 0}, -1);
  if (!m_pHost || m_pHost->IsAutoTimeZone()) {
    // The row's own port: its zone, and its summer time changing at the rule's instant.
    const int zone = row.prediction ? row.prediction->GetZoneCode() : 0;
    if (!row.prediction || !valid) return CLocalDay::Plain(zone, 0);
    return CLocalDay(row.day, row.month, row.year, zone, row.prediction->GetArea(), 1);
  }
  return CLocalDay::Plain(m_pHost->GetTimeZone(), 0);
}

void CTideLogWnd::ZoneRule(const ROW_ITEM& row, int& zone, int& summer) const {
  // The zone of the day's captions: that after a change of summer time, as the day's date says.
  const CLocalDay day = LocalDayOf(row);
  zone = day.GetZoneCode();
  summer = day.GetEndSummer();
}

void CTideLogWnd::SetRowPort(ROW_ITEM& row, int nPort) {
  row.port = nPort;
  CPortDB* ports = Ports();
  const CPortData* record = ports ? ports->GetPort(nPort) : nullptr;
  row.prediction->SetPort(record ? *record : CPortData());
  row.prediction->ClearCache();
}

void CTideLogWnd::SetRowDate(ROW_ITEM& row, int nDay, int nMonth, int nYear) {
  row.day = nDay;
  row.month = nMonth;
  row.year = nYear;
  row.bPredicted = FALSE;
  const CAngleFactorDB* table = Table();
  if (table && CTideLogFile::IsValidRow({0, nDay, nMonth, nYear, 0, 0}, -1)) {
    const CQsDateTime date(nYear, nMonth, nDay, 0, 0, 0);
    CQsDateTime next(date);
    if (m_pHost)
      next = m_pHost->AddDays(date);
    else
      next.NextDay();
    int hint = -1, nextHint = -1;
    const CAngleFactorData& today = table->Find(date, hint);
    const CAngleFactorData& tomorrow = table->Find(next, nextHint);
    row.prediction->SetAngleFactors(today, tomorrow);
    row.bPredicted = hint >= 0 && nextHint >= 0;
  }
  row.prediction->ClearCache();
}

void CTideLogWnd::ComputeEvents(ROW_ITEM& row) {
  for (TIMEHEIGHT& e : row.events) e = TIMEHEIGHT();
  if (!row.bPredicted || !row.prediction) return;
  row.prediction->FindHighLow(LocalDayOf(row), row.events);
}

int CTideLogWnd::AddRow(int nPort, int nDay, int nMonth, int nYear) {
  // The file keeps no more rows than this; a longer log would be cut on the next start.
  if (GetRowCount() >= CTideLogFile::kMaxRows) {
    CString text;
    text.Format("The tidal log holds at most %d rows. Delete a row before adding another.", CTideLogFile::kMaxRows);
    AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
    return -1;
  }
  ROW_ITEM row;
  row.prediction = new CPrediction;
  row.time.SetTime(12, 0, 0);
  SetRowPort(row, nPort);
  SetRowDate(row, nDay, nMonth, nYear);
  ComputeEvents(row);
  const int i = static_cast<int>(m_rows.Add(row));
  LogChanged();
  return i;
}

void CTideLogWnd::SetRowTime(int i, int nHour, int nMinute) {
  if (i < 0 || i >= GetRowCount()) return;
  const BOOL changed = m_rows[i].time.GetHour() != nHour || m_rows[i].time.GetMinute() != nMinute;
  m_rows[i].time.SetTime(nHour, nMinute, 0);
  if (m_hWnd) Invalidate(FALSE);
  if (changed) LogChanged();
}

void CTideLogWnd::DeleteRow(int nRow) {
  if (nRow < 0 || nRow >= GetRowCount()) return;
  delete m_rows[nRow].prediction;
  m_rows.RemoveAt(nRow);
  // The selection stays on the row it was on; a deleted selected row leaves nothing selected,
  // so a second Delete cannot take a row the user never picked.
  const int line = nRow + 1;
  if (m_nSelectedLine == line)
    m_nSelectedLine = 0;
  else if (m_nSelectedLine > line)
    --m_nSelectedLine;
  if (m_nMenuRow == line)
    m_nMenuRow = 0;
  else if (m_nMenuRow > line)
    --m_nMenuRow;
  // A date popup still open for a row now gone picks for nothing.
  if (m_nDateRow == nRow)
    m_nDateRow = -1;
  else if (m_nDateRow > nRow)
    --m_nDateRow;
  HideTimeCombo();
  Relayout();
  if (m_hWnd) Invalidate(FALSE);
  LogChanged();
}

void CTideLogWnd::ClearRows() {
  for (INT_PTR i = 0; i < m_rows.GetSize(); ++i) delete m_rows[i].prediction;
  m_rows.RemoveAll();
}

std::vector<TIDELOG_ROW> CTideLogWnd::GetFileRows() const {
  std::vector<TIDELOG_ROW> rows;
  for (INT_PTR i = 0; i < m_rows.GetSize(); ++i) {
    const ROW_ITEM& r = m_rows[i];
    rows.push_back({r.port, r.day, r.month, r.year, r.time.GetHour(), r.time.GetMinute()});
  }
  return rows;
}

void CTideLogWnd::SetSelectedLine(int nLine) {
  if (nLine < 0 || nLine > GetLineCount()) nLine = 0;
  if (nLine == m_nSelectedLine) return;
  m_nSelectedLine = nLine;
  if (m_hWnd) Invalidate(FALSE);
}

CQsDateTime CTideLogWnd::GetNewLineDate() const {
  CQsDateTime today = CQsDateTime::GetCurrent();
  today.SetTime(0, 0, 0);
  const CAngleFactorDB* table = Table();
  CQsDateTime first, last;
  if (table && table->GetFirstDate(first) && table->GetLastDate(last)) {
    last.PrevDay();  // the last day only serves as the day after the last prediction
    first.SetTime(0, 0, 0);
    last.SetTime(0, 0, 0);
    try {
      if (today <= first) return first;
      if (today > last) return last;
    } catch (...) {
    }
  }
  return today;
}

// ---------------------------------------------------------------------------------------------
// File

BOOL CTideLogWnd::LoadLog() { return LoadLog(CTideLogFile::GetDefaultPath()); }

BOOL CTideLogWnd::LoadLog(LPCTSTR lpszPath) {
  std::vector<TIDELOG_ROW> rows;
  CPortDB* ports = Ports();
  const TIDELOG_LOAD info = CTideLogFile::Load(lpszPath, ports ? ports->GetCount() : -1, rows);
  ClearRows();
  m_nSelectedLine = 0;
  m_nMenuRow = 0;
  m_bLoading = TRUE;
  for (const TIDELOG_ROW& r : rows) {
    const int i = AddRow(r.port, r.day, r.month, r.year);
    m_rows[i].time.SetTime(r.hour, r.minute, 0);
  }
  m_bLoading = FALSE;
  m_bLoaded = TRUE;
  m_strFile = lpszPath;
  m_strReported.Empty();
  m_bFileBlocked = info.bBlocked;
  m_strBlockedPath = info.bBlocked ? CString(lpszPath) : CString();
  m_strProblem = info.strProblem;
  Relayout();
  if (m_hWnd) Invalidate(FALSE);
  if (info.status == TIDELOG_LOAD::ok || info.status == TIDELOG_LOAD::missing) return TRUE;
  Report(m_strProblem);
  return FALSE;
}

BOOL CTideLogWnd::SaveLog() { return SaveLog(CTideLogFile::GetDefaultPath()); }

BOOL CTideLogWnd::SaveLog(LPCTSTR lpszPath) {
  // No folder for the user's files (the user was told at start-up): nowhere to save.
  if (lpszPath == nullptr || *lpszPath == '\0') {
    m_strProblem = "The tidal log was not saved: the folder for your own files could not be made.";
    return FALSE;
  }
  CString problem;
  if (m_bFileBlocked && m_strBlockedPath == lpszPath) {
    problem = "The tidal log was not saved: \"" + CString(lpszPath) +
              "\" could not be read at start-up and is left as it is.";
  } else if (CTideLogFile::Save(lpszPath, GetFileRows(), &problem)) {
    m_strProblem.Empty();
    m_strReported.Empty();
    return TRUE;
  }
  m_strProblem = problem;
  if (problem != m_strReported) {
    m_strReported = problem;
    Report(problem);
  }
  return FALSE;
}

void CTideLogWnd::LogChanged() {
  if (m_bLoaded && !m_bLoading) SaveLog(m_strFile);
}

void CTideLogWnd::Report(const CString& strText) {
  if (strText.IsEmpty()) return;
  AfxMessageBox(strText, MB_OK | MB_ICONEXCLAMATION);
}

// ---------------------------------------------------------------------------------------------
// Frame operations

void CTideLogWnd::RecalcZones() {
  for (INT_PTR i = 0; i < m_rows.GetSize(); ++i) ComputeEvents(m_rows[i]);
  if (m_hWnd) Invalidate(FALSE);
}

void CTideLogWnd::SetMetres() {
  if (!m_bFeet) return;
  m_bFeet = FALSE;
  if (m_hWnd) Invalidate(FALSE);
}

void CTideLogWnd::SetFeet() {
  if (m_bFeet) return;
  m_bFeet = TRUE;
  if (m_hWnd) Invalidate(FALSE);
}

void CTideLogWnd::OnDelete() {
  if (m_nMenuRow >= 1 && m_nMenuRow <= GetRowCount()) DeleteRow(m_nMenuRow - 1);
}

void CTideLogWnd::DeleteHighlightedRow() {
  if (m_nSelectedLine >= 1 && m_nSelectedLine <= GetRowCount()) DeleteRow(m_nSelectedLine - 1);
}

void CTideLogWnd::OnGotoGraph() {
  if (!m_pHost || m_nMenuRow < 1 || m_nMenuRow > GetRowCount()) return;
  const ROW_ITEM& row = m_rows[m_nMenuRow - 1];
  m_pHost->SelectPort(row.port);
  const BOOL changed = m_pHost->SelectDate(row.day, row.month, row.year);
  m_pHost->ShowGraphPage();
  if (changed) m_pHost->CalculateGraph();
}

void CTideLogWnd::OnReplicateDateToAll() {
  if (m_nMenuRow < 1 || m_nMenuRow > GetRowCount()) return;
  const ROW_ITEM source = m_rows[m_nMenuRow - 1];
  for (INT_PTR i = 0; i < m_rows.GetSize(); ++i) {
    SetRowDate(m_rows[i], source.day, source.month, source.year);
    ComputeEvents(m_rows[i]);
  }
  if (m_hWnd) Invalidate(FALSE);
  LogChanged();
}

// ---------------------------------------------------------------------------------------------
// Cell texts

CString CTideLogWnd::DateText(const ROW_ITEM& row) const {
  return CQsDateTime(row.year, row.month, row.day, 0, 0, 0).Format("%d %b %Y");
}

CString CTideLogWnd::ZoneText(const ROW_ITEM& row) const {
  int z = 0, s = 0;
  ZoneRule(row, z, s);
  // The zone the row's times are computed in: hhmm codes as the prediction reads them, summer
  // time its shift more.
  const int total = CPrediction::ZoneCodeToMinutes(z) + (s ? LocalDayOf(row).GetSummerShift() : 0);
  const int magnitude = total < 0 ? -total : total;
  CString text;
  text.Format("GMT (%c%d:%02d)", total < 0 ? '-' : '+', magnitude / 60, magnitude % 60);
  return text;
}

CString CTideLogWnd::EventText(const ROW_ITEM& row, int k, BOOL bPrinted) const {
  if (!row.bPredicted) return k == 0 ? CString("No prediction") : CString();
  if (k < 0 || k >= kEventColumns) return CString();
  CString text;
  // The last column also holds a fifth event, which only a 25-hour day has.
  for (int i = k; i < (k == kEventColumns - 1 ? CPrediction::kMaxDayEvents : k + 1); ++i) {
    const TIMEHEIGHT& e = row.events[i];
    if (e.minutes < 0) break;
    CString height;
    height =
        "(" +
        (m_bFeet ? AfxFormatUserNumber(e.metres * kFeetPerMetre, 2) + "ft" : AfxFormatUserNumber(e.metres, 2) + "m") +
        ")";
    if (!text.IsEmpty()) text += ", ";
    text += HourMinute(e.minutes) + (bPrinted ? " " : "  ") + height;
  }
  return text;
}

CString CTideLogWnd::HeightText(ROW_ITEM& row) {
  if (!row.bPredicted || !row.prediction) return CString("-");
  const double h = row.prediction->HeightAtClock(LocalDayOf(row), row.time.GetHour() * 60 + row.time.GetMinute());
  CString text;
  if (m_bFeet)
    text = AfxFormatUserNumber(h * kFeetPerMetre, 2) + "ft";
  else
    text = AfxFormatUserNumber(h, 2) + "m";
  return text;
}

CString CTideLogWnd::GetCellText(int nRow, int nColumn) {
  if (nRow < 0 || nRow >= GetRowCount()) return CString();
  ROW_ITEM& row = m_rows[nRow];
  switch (nColumn) {
    case colPort: return row.prediction ? row.prediction->GetPortName() : CString();
    case colDate: return DateText(row);
    case colZone: return ZoneText(row);
    case colEvent1:
    case colEvent2:
    case colEvent3:
    case colEvent4: return EventText(row, nColumn - colEvent1, FALSE);
    case colTime: return HourMinute(row.time.GetHour() * 60 + row.time.GetMinute());
    case colHeight: return HeightText(row);
    default: return CString();
  }
}

// ---------------------------------------------------------------------------------------------
// Geometry and layout

int CTideLogWnd::GetColumnLeft(int nColumn) const { return m_header.GetColumnLeft(nColumn) - m_nScrollX; }
int CTideLogWnd::GetColumnRight(int nColumn) const { return m_header.GetColumnRight(nColumn) - m_nScrollX; }

CRect CTideLogWnd::GetCellButtonRect(int nLine, int nColumn) const {
  const int r = GetColumnRight(nColumn);
  const int y = kLineHeight * nLine - m_nScrollY;
  return CRect(r - 15, y - 3, r - 1, y + 20);
}

CRect CTideLogWnd::GetCellRect(int nLine, int nColumn) const {
  const int y = kLineHeight * nLine - m_nScrollY;
  return CRect(GetColumnLeft(nColumn), y - 3, GetColumnRight(nColumn), y + 20);
}

int CTideLogWnd::LineAt(int y) const {
  const int v = m_nScrollY + y - kHeaderHeight;
  return v >= 0 ? v / kLineHeight : -1 - (-v - 1) / kLineHeight;
}

void CTideLogWnd::Relayout() {
  if (!m_hWnd) return;
  CRect rc;
  m_nTotalWidth = m_header.GetTotalWidth();
  m_nContentHeight = kLineHeight * GetRowCount() + kLineHeight;
  // A bar shows only while there is something to scroll; showing or hiding one changes the
  // room left for the other, so this settles in a few rounds.
  for (int round = 0; round < 3; ++round) {
    GetClientRect(&rc);
    m_nClientWidth = rc.Width();
    m_nVisibleHeight = rc.Height() - kHeaderHeight;
    const BOOL needH = m_nClientWidth < m_nTotalWidth, needV = m_nVisibleHeight < m_nContentHeight;
    if (needH == m_bHorzBarShown && needV == m_bVertBarShown) break;
    if (needH != m_bHorzBarShown) ShowScrollBar(SB_HORZ, m_bHorzBarShown = needH);
    if (needV != m_bVertBarShown) ShowScrollBar(SB_VERT, m_bVertBarShown = needV);
  }

  if (m_nClientWidth < m_nTotalWidth) {
    m_nScrollX = std::clamp(m_nScrollX, 0, m_nTotalWidth - m_nClientWidth);
    SetScrollRange(SB_HORZ, 0, m_nTotalWidth - m_nClientWidth, FALSE);
    m_header.MoveWindow(-m_nScrollX, 0, m_nTotalWidth, kHeaderHeight);
  } else {
    m_nScrollX = 0;
    SetScrollRange(SB_HORZ, 0, 0, FALSE);
    m_header.MoveWindow(0, 0, std::max(m_nClientWidth, 0), kHeaderHeight);
  }
  SetScrollPos(SB_HORZ, m_nScrollX);
  if (m_nVisibleHeight < m_nContentHeight) {
    m_nScrollY = std::clamp(m_nScrollY, 0, m_nContentHeight - std::max(m_nVisibleHeight, 0));
    SetScrollRange(SB_VERT, 0, m_nContentHeight - std::max(m_nVisibleHeight, 0), FALSE);
  } else {
    m_nScrollY = 0;
    SetScrollRange(SB_VERT, 0, 0, FALSE);
  }
  SetScrollPos(SB_VERT, m_nScrollY);
  PlaceTimeCombo();
}

void CTideLogWnd::OnSize(UINT nType, int cx, int cy) {
  CWnd::OnSize(nType, cx, cy);
  Relayout();
  Invalidate(FALSE);
}

LRESULT CTideLogWnd::OnHeaderResized(WPARAM, LPARAM) {
  Relayout();
  Invalidate(FALSE);
  return 0;
}

void CTideLogWnd::OnHScroll(UINT nSBCode, UINT nPos, CScrollBar*) {
  const int limit = std::max(0, m_nTotalWidth - m_nClientWidth);
  int pos = m_nScrollX;
  switch (nSBCode) {
    case SB_LINELEFT: pos -= 10; break;
    case SB_LINERIGHT: pos += 10; break;
    case SB_PAGELEFT: pos -= 40; break;
    case SB_PAGERIGHT: pos += 40; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: pos = static_cast<int>(nPos); break;
    case SB_LEFT: pos = 0; break;
    case SB_RIGHT: pos = limit; break;
    default: return;
  }
  m_nScrollX = std::clamp(pos, 0, limit);
  SetScrollPos(SB_HORZ, m_nScrollX);
  if (m_nClientWidth < m_nTotalWidth) m_header.MoveWindow(-m_nScrollX, 0, m_nTotalWidth, kHeaderHeight);
  PlaceTimeCombo();
  Invalidate(FALSE);
}

void CTideLogWnd::OnVScroll(UINT nSBCode, UINT nPos, CScrollBar*) {
  const int limit = std::max(0, m_nContentHeight - std::max(m_nVisibleHeight, 0));
  int pos = m_nScrollY;
  switch (nSBCode) {
    case SB_LINEUP: pos -= kLineHeight; break;
    case SB_LINEDOWN: pos += kLineHeight; break;
    case SB_PAGEUP: pos -= 4 * kLineHeight; break;
    case SB_PAGEDOWN: pos += 4 * kLineHeight; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: pos = static_cast<int>(nPos); break;
    case SB_TOP: pos = 0; break;
    case SB_BOTTOM: pos = limit; break;
    default: return;
  }
  m_nScrollY = std::clamp(pos, 0, limit);
  SetScrollPos(SB_VERT, m_nScrollY);
  PlaceTimeCombo();
  Invalidate(FALSE);
}

// ---------------------------------------------------------------------------------------------
// Drawing

void CTideLogWnd::DrawButton(CDC* dc, const CRect& rc, UINT nEdge) {
  CRect r(rc);
  dc->FillSolidRect(&r, ::GetSysColor(COLOR_BTNFACE));
  dc->DrawEdge(&r, nEdge, BF_RECT);
  dc->SetTextColor(::GetSysColor(COLOR_WINDOWTEXT));
  dc->TextOut(r.left + 2, r.top + 4, CString("..."));
}

void CTideLogWnd::Draw(CDC* dc, const CRect& rc) {
  MakeFonts(dc);
  const COLORREF window = ::GetSysColor(COLOR_WINDOW), face = ::GetSysColor(COLOR_BTNFACE);
  dc->FillSolidRect(&rc, window);
  CFont* oldFont = dc->SelectObject(&m_textFont);
  dc->SetBkMode(TRANSPARENT);
  const int rows = GetRowCount();
  const int b = std::min<int>(rc.bottom, kLineHeight * rows - m_nScrollY + 44);
  const COLORREF shade = Shade(window, face);
  for (int c : {static_cast<int>(colTime), static_cast<int>(colHeight)})
    if (b > kHeaderHeight)
      dc->FillSolidRect(GetColumnLeft(c), kHeaderHeight, GetColumnRight(c) - GetColumnLeft(c), b - kHeaderHeight,
                        shade);
  CPen grid(PS_SOLID, 1, face);
  CPen* oldPen = dc->SelectObject(&grid);
  for (int c = 0; c < kColumns; ++c) {
    dc->MoveTo(GetColumnRight(c) - 1, kHeaderHeight);
    dc->LineTo(GetColumnRight(c) - 1, b);
  }
  for (int line = 1; line <= rows + 1; ++line) {
    const int y = kLineHeight * line - m_nScrollY;
    if (y + 20 < kHeaderHeight - 4 || y - 4 > rc.bottom) continue;
    const bool selected = line == m_nSelectedLine;
    if (selected) {
      dc->FillSolidRect(0, y - 3, rc.Width(), 23, ::GetSysColor(COLOR_HIGHLIGHT));
      dc->SelectObject(&grid);
    }
    dc->MoveTo(0, y + 20);
    dc->LineTo(rc.Width(), y + 20);
    if (line <= rows) {
      dc->SetTextColor(::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
      for (int c = 0; c < kColumns; ++c) {
        const int narrower = (c == colPort || c == colDate) ? 15 : 0;
        CRect cell(GetColumnLeft(c) + 3, y - 4, GetColumnRight(c) - 3 - narrower, y + 20);
        dc->DrawText(GetCellText(line - 1, c), &cell, DT_VCENTER | DT_SINGLELINE);
      }
    }
    for (int c : {static_cast<int>(colPort), static_cast<int>(colDate)}) {
      CRect button = GetCellButtonRect(line, c);
      const bool pressed = m_bPressed && SameRect(button, m_rcPressed);
      DrawButton(dc, button, pressed ? BDR_SUNKENINNER : BDR_RAISEDINNER);
    }
  }
  dc->SelectObject(oldPen);
  dc->SelectObject(oldFont);
}

void CTideLogWnd::OnPaint() {
  CPaintDC dc(this);
  CRect rc;
  GetClientRect(&rc);
  if (rc.Width() <= 0 || rc.Height() <= kHeaderHeight) return;
  CDC mem;
  mem.CreateCompatibleDC(&dc);
  CBitmap bmp;
  bmp.CreateCompatibleBitmap(&dc, rc.Width(), rc.Height());
  CBitmap* old = mem.SelectObject(&bmp);
  Draw(&mem, rc);
  dc.BitBlt(0, kHeaderHeight, rc.Width(), rc.Height() - kHeaderHeight, &mem, 0, kHeaderHeight, SRCCOPY);
  mem.SelectObject(old);
}

void CTideLogWnd::DrawPressedButton(UINT nEdge) {
  if (!m_hWnd || m_rcPressed.IsRectEmpty()) return;
  CClientDC dc(this);
  MakeFonts(&dc);
  CFont* old = dc.SelectObject(&m_textFont);
  dc.SetBkMode(TRANSPARENT);
  DrawButton(&dc, m_rcPressed, nEdge);
  dc.SelectObject(old);
}

// ---------------------------------------------------------------------------------------------
// Mouse

void CTideLogWnd::OnLButtonDown(UINT, CPoint point) {
  if (point.y <= kHeaderHeight) return;
  for (int line = 1; line <= GetRowCount() + 1; ++line)
    for (int c : {static_cast<int>(colPort), static_cast<int>(colDate)}) {
      const CRect button = GetCellButtonRect(line, c);
      if (button.PtInRect(point)) {
        m_rcPressed = button;
        m_bPressed = TRUE;
        DrawPressedButton(BDR_SUNKENINNER);
        SetCapture();
        return;
      }
    }
}

void CTideLogWnd::OnMouseMove(UINT, CPoint point) {
  if (!m_bPressed) return;
  DrawPressedButton(m_rcPressed.PtInRect(point) ? BDR_SUNKENINNER : BDR_RAISEDINNER);
}

void CTideLogWnd::OnLButtonUp(UINT, CPoint point) {
  const BOOL wasPressed = m_bPressed;
  if (GetCapture() == this) ::ReleaseCapture();
  m_bPressed = FALSE;
  const int i = LineAt(point.y);  // 0-based
  BOOL timeCell = FALSE;
  if (point.y > kHeaderHeight && i >= 0 && i <= GetRowCount()) {
    const int line = i + 1;
    const CRect portButton = GetCellButtonRect(line, colPort), dateButton = GetCellButtonRect(line, colDate);
    if (wasPressed && portButton.PtInRect(point) && SameRect(m_rcPressed, portButton)) {
      DrawPressedButton(BDR_RAISEDINNER);
      m_rcPressed.SetRectEmpty();
      const int initial = i < GetRowCount() ? m_rows[i].port : (m_pHost ? m_pHost->GetCurrentPort() : 0);
      const int port = PickPort(initial);
      if (port >= 0) {
        if (i == GetRowCount()) {
          const CQsDateTime d = GetNewLineDate();
          AddRow(port, d.GetDay(), d.GetMonth(), d.GetYear());
          Relayout();
        } else {
          ROW_ITEM& row = m_rows[i];
          SetRowPort(row, port);
          ComputeEvents(row);
          LogChanged();
        }
      }
      Invalidate(FALSE);
      HideTimeCombo();
      return;
    }
    if (wasPressed && dateButton.PtInRect(point) && SameRect(m_rcPressed, dateButton)) {
      DrawPressedButton(BDR_RAISEDINNER);
      m_rcPressed.SetRectEmpty();
      m_nDateRow = i;
      CPoint screen(point);
      ClientToScreen(&screen);
      HideTimeCombo();
      OpenDatePopup(i, screen);
      return;
    }
    const CRect timeCellRect(GetColumnLeft(colTime), kLineHeight * line - m_nScrollY - 3, GetColumnRight(colTime),
                             kLineHeight * line - m_nScrollY + 20);
    if (i < GetRowCount() && timeCellRect.PtInRect(point)) timeCell = TRUE;
  }
  if (!wasPressed && point.y > kHeaderHeight) {
    const int line = i + 1;
    SetSelectedLine(line >= 1 && line <= GetLineCount() ? line : 0);
    if (timeCell) ShowTimeCombo(line);
  }
  if (!timeCell) HideTimeCombo();
  m_rcPressed.SetRectEmpty();
  Invalidate(FALSE);
}

int CTideLogWnd::PickPort(int nInitialPort) { return m_pHost ? m_pHost->PickPort(nInitialPort) : -1; }

void CTideLogWnd::OpenDatePopup(int nLine, CPoint pt) {
  if (m_pDatePopup && m_pDatePopup->GetSafeHwnd()) m_pDatePopup->DestroyWindow();
  delete m_pDatePopup;
  m_pDatePopup = new CDatePopup;
  if (const CAngleFactorDB* table = Table()) m_pDatePopup->SetRange(*table);
  if (nLine >= GetRowCount()) {
    const CQsDateTime d = GetNewLineDate();
    m_pDatePopup->SetDate(d.GetDay(), d.GetMonth(), d.GetYear());
  } else {
    const ROW_ITEM& row = m_rows[nLine];
    m_pDatePopup->SetDate(row.day, row.month, row.year);
  }
  CRect work;
  if (::SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0)) {
    if (pt.x + kPopupWidth > work.right) pt.x = work.right - kPopupWidth;
    if (pt.y + kPopupHeight > work.bottom) pt.y = work.bottom - kPopupHeight;
    pt.x = std::max<int>(pt.x, work.left);
    pt.y = std::max<int>(pt.y, work.top);
  }
  m_pDatePopup->Create(this, pt.x, pt.y);
}

LRESULT CTideLogWnd::OnDateChanged(WPARAM, LPARAM) {
  if (!m_pDatePopup) return 0;
  const int day = m_pDatePopup->GetDay(), month = m_pDatePopup->GetMonth(), year = m_pDatePopup->GetYear();
  if (!CTideLogFile::IsValidRow({0, day, month, year, 0, 0}, -1)) return 0;
  if (m_nDateRow >= GetRowCount()) {
    AddRow(m_pHost ? m_pHost->GetCurrentPort() : 0, day, month, year);
    Relayout();
  } else if (m_nDateRow >= 0) {
    ROW_ITEM& row = m_rows[m_nDateRow];
    SetRowDate(row, day, month, year);
    ComputeEvents(row);
    LogChanged();
  }
  Invalidate(FALSE);
  return 0;
}

// ---------------------------------------------------------------------------------------------
// The time editor

BOOL CTideLogWnd::TimeComboVisible() const { return m_timeCombo.GetSafeHwnd() && m_timeCombo.IsWindowVisible(); }

CString CTideLogWnd::TimeComboText() const {
  CString text;
  if (m_timeCombo.GetSafeHwnd()) m_timeCombo.GetWindowText(text);
  return text;
}

void CTideLogWnd::SetTimeComboText(LPCTSTR lpszText) {
  if (m_timeCombo.GetSafeHwnd()) m_timeCombo.SetWindowText(lpszText);
}

void CTideLogWnd::PlaceTimeCombo() {
  if (!TimeComboVisible()) return;
  m_timeCombo.MoveWindow(GetColumnLeft(colTime), kLineHeight * m_nSelectedLine - m_nScrollY - 4,
                         m_header.GetColumnWidth(colTime), 150);
}

void CTideLogWnd::ShowTimeCombo(int nLine) {
  if (!m_timeCombo.GetSafeHwnd() || nLine < 1 || nLine > GetRowCount()) return;
  const ROW_ITEM& row = m_rows[nLine - 1];
  const CString sep = AfxGetLocaleValues().timeSeparator;
  CString text;
  text.Format("%02d%s%02d", row.time.GetHour(), sep.GetString(), row.time.GetMinute());
  m_timeCombo.MoveWindow(GetColumnLeft(colTime), kLineHeight * nLine - m_nScrollY - 3, m_header.GetColumnWidth(colTime),
                         140);
  SetTimeComboText(text);
  m_timeCombo.ShowWindow(SW_SHOW);
  m_timeCombo.SetFocus();
}

void CTideLogWnd::HideTimeCombo() {
  if (TimeComboVisible()) m_timeCombo.ShowWindow(SW_HIDE);
}

void CTideLogWnd::ApplyTimeText(const CString& strText) {
  CQsDateTime t;
  if (!t.ParseTime(strText)) return;
  if (m_nSelectedLine < 1 || m_nSelectedLine > GetRowCount()) return;
  SetRowTime(m_nSelectedLine - 1, t.GetHour(), t.GetMinute());
}

void CTideLogWnd::OnTimeEditUpdate() { ApplyTimeText(TimeComboText()); }

void CTideLogWnd::OnTimeKillFocus() { ApplyTimeText(TimeComboText()); }

void CTideLogWnd::OnTimeSelChange() {
  const int sel = m_timeCombo.GetCurSel();
  if (sel < 0) return;
  CString item;
  m_timeCombo.GetLBText(sel, item);
  SetTimeComboText(item);
  ApplyTimeText(item);
}

// ---------------------------------------------------------------------------------------------
// Context menu

void CTideLogWnd::OnContextMenu(CWnd*, CPoint pos) {
  CPoint client(pos);
  if (pos.x == -1 && pos.y == -1) {  // from the keyboard: the selected row
    if (m_nSelectedLine < 1 || m_nSelectedLine > GetRowCount()) return;
    client = CPoint(5, kLineHeight * m_nSelectedLine - m_nScrollY + 5);
    pos = client;
    ClientToScreen(&pos);
  } else {
    ScreenToClient(&client);
  }
  if (client.y <= kHeaderHeight) return;
  const int line = LineAt(client.y) + 1;
  if (line < 1 || line > GetRowCount()) return;
  SetSelectedLine(line);
  m_nMenuRow = line;
  UpdateWindow();
  VxMenu* menu = m_pHost ? m_pHost->GetContextMenu() : nullptr;
  if (!menu || !menu->LoadFromResource(kMenuId)) return;
  menu->ApplyToolbarIcons(kStandardToolbar);
  menu->SetItemIcon(nullptr, ID_LOG_DELETE, kDeleteImage);
  if (CMenu* popup = menu->GetSubMenu(0)) {
    CWnd* owner = m_pHost->GetMainWindow();
    if (!owner) {
      owner = this;
      while (owner && (owner->GetStyle() & WS_CHILD) && owner->GetParent()) owner = owner->GetParent();
    }
    popup->TrackPopupMenu(TPM_RIGHTBUTTON, pos.x, pos.y, owner);
  }
  menu->DestroyItems();
}

// ---------------------------------------------------------------------------------------------
// Printing

void CTideLogWnd::PrintLog() {
  CPrintDialog dlg(FALSE, PD_NOPAGENUMS | PD_HIDEPRINTTOFILE, this);
  if (dlg.DoModal() != IDOK) return;
  HDC hdc = dlg.GetPrinterDC();
  if (!hdc) return;
  if (!PrintLogTo(CDC::FromHandle(hdc))) Report("The tidal log could not be printed.");
  ::DeleteDC(hdc);
}

BOOL CTideLogWnd::PrintLogTo(CDC* pDC) {
  if (!pDC) return FALSE;
  if (pDC->StartDoc("Neapwise") <= 0) return FALSE;
  if (pDC->StartPage() <= 0) {
    pDC->AbortDoc();
    return FALSE;
  }
  DrawLog(pDC, CRect(0, 0, pDC->GetDeviceCaps(HORZRES), pDC->GetDeviceCaps(VERTRES)));
  pDC->EndPage();
  pDC->EndDoc();
  return TRUE;
}

void CTideLogWnd::DrawLog(CDC* pDC, const CRect& rcPage) {
  CFont normal, bold;
  PointFont(normal, pDC, "Arial", 400);
  PointFont(bold, pDC, "Arial", 700);
  CFont* old = pDC->SelectObject(&bold);
  const int inset = pDC->GetTextExtent(CString("AB")).cx;
  CRect page(rcPage);
  page.DeflateRect(inset, inset);
  const int R = static_cast<int>(1.6 * pDC->GetTextExtent(CString("Test String")).cy);
  pDC->SelectObject(&normal);
  int P = 0;
  for (int i = 0; i < GetRowCount(); ++i)
    if (m_rows[i].prediction) P = std::max<int>(P, pDC->GetTextExtent(m_rows[i].prediction->GetPortName()).cx);
  const int T = pDC->GetTextExtent(CString("00:00 (00.00ft)")).cx;
  const int W = page.Width();
  int portWidth = 0, otherWidth = 0;
  if (8 * T + P < W) {
    if (16 * T + static_cast<int>(1.2 * P) < W) {
      portWidth = static_cast<int>(1.2 * P);
      otherWidth = 2 * T;
    } else {
      const int spare = W - 8 * T - P;
      portWidth = P + spare / 8;
      otherWidth = T + spare / 8;
    }
  } else {
    portWidth = W - 8 * T;
    otherWidth = T;
    pDC->SelectObject(&bold);
    const int label = pDC->GetTextExtent(CString("Port Name ")).cx;
    pDC->SelectObject(&normal);
    if (portWidth < label) {
      portWidth = label;
      otherWidth = std::max(0, (W - label) / 8);
    }
  }
  pDC->SetBkMode(TRANSPARENT);
  pDC->SetTextColor(RGB(0, 0, 0));
  int y = page.top;
  auto drawLine = [&](int row) {
    if (y + R > page.bottom && y > page.top) {
      pDC->EndPage();
      pDC->StartPage();
      y = page.top + R;
    }
    int x = page.left;
    for (int c = 0; c < kColumns; ++c) {
      const int w = c == colPort ? portWidth : otherWidth;
      CRect cell(x, y, x + w, y + R);
      CString text;
      if (row < 0)
        text = kColumnLabels[c];
      else if (c == colZone) {
        int z = 0, s = 0;
        ZoneRule(m_rows[row], z, s);
        if (z >= -100 && z <= 100)
          text.Format(z + s >= 0 ? "GMT (+%d:00)" : "GMT (%d:00)", z + s);
        else
          text = ZoneText(m_rows[row]);
      } else if (c >= colEvent1 && c <= colEvent4) {
        text = EventText(m_rows[row], c - colEvent1, TRUE);
      } else {
        text = GetCellText(row, c);
      }
      pDC->DrawText(text, &cell, DT_VCENTER | DT_SINGLELINE);
      x += w;
    }
    y += R;
  };
  pDC->SelectObject(&bold);
  drawLine(-1);
  pDC->SelectObject(&normal);
  for (int i = 0; i < GetRowCount(); ++i) drawLine(i);
  pDC->SelectObject(old);
}
