#include "views/TideTimesWnd.h"
#include "platform/core/AfxUserNumber.h"

#include "platform/ui/Accessible.h"

#include "views/ViewColours.h"
#include "views/ViewDrawing.h"

IMPLEMENT_DYNAMIC(CTideTimesWnd, CWnd)

BEGIN_MESSAGE_MAP(CTideTimesWnd, CWnd)
  ON_MESSAGE(WM_GETOBJECT, OnGetObject)
  ON_WM_CREATE()
  ON_WM_PAINT()
END_MESSAGE_MAP()

BOOL CTideTimesWnd::Create(CWnd* pParent, const RECT& rect, UINT nID) {
  LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW));
  return CreateEx(WS_EX_NOPARENTNOTIFY, cls, "", WS_CHILD | WS_VISIBLE, rect, pParent, nID);
}

int CTideTimesWnd::OnCreate(LPCREATESTRUCT lpcs) {
  if (CWnd::OnCreate(lpcs) == -1) return -1;
  ViewMakeSmallFont(m_font, nullptr);
  return 0;
}

void CTideTimesWnd::Repaint() {
  if (!m_hWnd) return;
  Invalidate(TRUE);
  NotifyWinEvent(EVENT_OBJECT_REORDER, m_hWnd, OBJID_CLIENT, CHILDID_SELF);
}

void CTideTimesWnd::NoteHeight(int nOldHeight) {
  if (m_hWnd && GetPanelHeight() != nOldHeight)
    if (CWnd* parent = GetParent())
      parent->SendMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), kHeightChanged), (LPARAM)m_hWnd);
}

void CTideTimesWnd::Clear() {
  const int old = GetPanelHeight();
  m_nCount = 0;
  m_bHasData = 0;
  Repaint();
  NoteHeight(old);
}

void CTideTimesWnd::AddTime(int nMinutes, double dMetres) {
  if (m_nCount >= kMaxEntries) return;
  const int old = GetPanelHeight();
  m_entries[m_nCount++] = Entry{nMinutes, dMetres};
  m_bHasData = 1;
  Repaint();
  NoteHeight(old);
}

void CTideTimesWnd::SetUnits(int bFeet) {
  m_bFeet = bFeet;
  Repaint();
}

CString CTideTimesWnd::GetTimeText(int i) const {
  CString s;
  if (i < 0 || i >= m_nCount) return s;
  s.Format("%02d:%02d", m_entries[i].minutes / 60, m_entries[i].minutes % 60);
  return s;
}

CString CTideTimesWnd::GetHeightText(int i) const {
  CString s;
  if (i < 0 || i >= m_nCount) return s;
  if (m_bFeet)
    s = AfxFormatUserNumber(m_entries[i].metres * 3.2808, 1) + "ft";
  else
    s = AfxFormatUserNumber(m_entries[i].metres, 1) + "m";
  return s;
}

void CTideTimesWnd::Draw(CDC* dc, const CRect& rc, BOOL bEnabled) {
  ViewMakeSmallFont(m_font, dc);
  const int w = rc.Width(), h = rc.Height(), mid = w / 2;
  const COLORREF back = ViewThemeBackColour(), border = ViewThemeBorderColour();
  dc->FillSolidRect(&rc, bEnabled ? ::GetSysColor(COLOR_WINDOW) : back);
  dc->SetTextColor(::GetSysColor(bEnabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
  dc->FillSolidRect(0, 0, w, 20, back);
  {
    CPen pen(PS_SOLID, 1, border);
    CPen* old = dc->SelectObject(&pen);
    const int lines[6][4] = {{0, 20, w, 20}, {w - 1, 0, w - 1, 20}, {mid, 0, mid, 20},
                             {0, 0, w, 0},   {0, 0, 0, 19},         {mid, 0, mid, 19}};
    for (auto& l : lines) {
      dc->MoveTo(l[0], l[1]);
      dc->LineTo(l[2], l[3]);
    }
    dc->SelectObject(old);
  }
  CFont* oldFont = dc->SelectObject(&m_font);
  dc->SetBkMode(TRANSPARENT);
  dc->TextOut(7, 3, "Time");
  dc->TextOut(mid + 7, 3, "Height");
  {
    CPen pen(PS_SOLID, 1, back);
    CPen* old = dc->SelectObject(&pen);
    dc->MoveTo(mid, 20);
    dc->LineTo(mid, h);
    for (int y = 40; y < h; y += 20) {
      dc->MoveTo(0, y);
      dc->LineTo(w, y);
    }
    dc->SelectObject(old);
  }
  if (m_bHasData)
    for (int i = 0; i < m_nCount; ++i) {
      dc->TextOut(7, 23 + 20 * i, GetTimeText(i));
      dc->TextOut(mid + 7, 23 + 20 * i, GetHeightText(i));
    }
  dc->SelectObject(oldFont);
  CBrush frame(border);
  dc->FrameRect(&rc, &frame);
}

void CTideTimesWnd::OnPaint() {
  CPaintDC dc(this);
  CRect rc;
  GetClientRect(&rc);
  Draw(&dc, rc, IsWindowEnabled());
}
