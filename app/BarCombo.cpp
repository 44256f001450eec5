#include "app/BarCombo.h"

#include "app/Resource.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CStripCombo, CWnd)

BEGIN_MESSAGE_MAP(CStripCombo, CWnd)
  ON_WM_PAINT()
  ON_WM_LBUTTONDOWN()
  ON_WM_MOUSEWHEEL()
END_MESSAGE_MAP()

BOOL CStripCombo::Create(const RECT& rect, CWnd* pParent) {
  LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW));
  return CreateEx(0, cls, "", WS_CHILD | WS_VISIBLE, rect, pParent, m_nCommandId);
}

void CStripCombo::ResetContent() {
  m_items.clear();
  m_nSel = -1;
  if (m_hWnd) Invalidate();
}

int CStripCombo::AddString(LPCTSTR lpszText) {
  m_items.push_back(Item{lpszText, 0});
  return (int)m_items.size() - 1;
}

CString CStripCombo::GetItemText(int nIndex) const {
  return nIndex >= 0 && nIndex < GetCount() ? m_items[nIndex].text : CString();
}

void CStripCombo::SetItemData(int nIndex, DWORD_PTR dwData) {
  if (nIndex >= 0 && nIndex < GetCount()) m_items[nIndex].data = dwData;
}

DWORD_PTR CStripCombo::GetItemData(int nIndex) const {
  return nIndex >= 0 && nIndex < GetCount() ? m_items[nIndex].data : 0;
}

void CStripCombo::SetCurSel(int nIndex) {
  m_nSel = nIndex >= 0 && nIndex < GetCount() ? nIndex : -1;
  m_strEdit = GetItemText(m_nSel);
  if (m_hWnd) Invalidate();
}

CString CStripCombo::GetEditText() const { return m_strEdit; }

void CStripCombo::SetEditText(LPCTSTR lpszText) {
  m_strEdit = lpszText;
  if (m_hWnd) Invalidate();
}

void CStripCombo::SetEnabled(BOOL bEnabled) {
  if (m_bEnabled == bEnabled) return;
  m_bEnabled = bEnabled;
  if (m_hWnd) Invalidate();
}

void CStripCombo::Pick(int nIndex) {
  if (!m_bEnabled || nIndex < 0 || nIndex >= GetCount()) return;
  SetCurSel(nIndex);
  if (CWnd* main = AfxGetMainWnd()) main->PostMessage(m_nNotify, (WPARAM)nIndex, 0);
}

void CStripCombo::DropDown() {
  if (!m_bEnabled || m_items.empty()) return;
  CMenu menu;
  menu.CreatePopupMenu();
  for (int i = 0; i < GetCount(); ++i)
    menu.AppendMenu(MF_STRING | (i == m_nSel ? MF_CHECKED : 0), (UINT_PTR)(i + 1), m_items[i].text);
  CRect rc;
  GetWindowRect(&rc);
  const int cmd = menu.TrackPopupMenu(TPM_LEFTALIGN | TPM_RETURNCMD | TPM_NONOTIFY, rc.left, rc.bottom, this);
  if (cmd > 0) Pick(cmd - 1);
}

void CStripCombo::OnLButtonDown(UINT, CPoint) { DropDown(); }

BOOL CStripCombo::OnMouseWheel(UINT, short zDelta, CPoint) {
  if (!m_bEnabled || m_items.empty()) return TRUE;
  const int next = std::clamp(m_nSel + (zDelta < 0 ? 1 : -1), 0, GetCount() - 1);
  if (next != m_nSel) Pick(next);
  return TRUE;
}

void CStripCombo::OnPaint() {
  CPaintDC dc(this);
  CRect rc;
  GetClientRect(&rc);
  dc.FillSolidRect(&rc, m_bEnabled ? RGB(255, 255, 255) : ::GetSysColor(COLOR_BTNFACE));
  CBrush frame(::GetSysColor(COLOR_BTNSHADOW));
  dc.FrameRect(&rc, &frame);
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(m_bEnabled ? RGB(0, 0, 0) : ::GetSysColor(COLOR_GRAYTEXT));
  CFont* old = dc.SelectObject(GetParent()->GetFont());
  CRect text = rc;
  text.left += 4;
  text.right -= 16;
  dc.DrawText(m_strEdit, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  if (old) dc.SelectObject(old);
  const int cx = rc.right - 9, cy = rc.Height() / 2;
  POINT tri[3] = {{cx - 4, cy - 2}, {cx + 4, cy - 2}, {cx, cy + 2}};
  const COLORREF arrow = m_bEnabled ? RGB(0, 0, 0) : ::GetSysColor(COLOR_GRAYTEXT);
  CBrush b(arrow);
  CPen p(PS_SOLID, 1, arrow);
  CBrush* ob = dc.SelectObject(&b);
  CPen* op = dc.SelectObject(&p);
  dc.Polygon(tri, 3);
  dc.SelectObject(ob);
  dc.SelectObject(op);
}

CDayCombo::CDayCombo() : CStripCombo(WM_DAYCOMBO_CHANGED, ID_DAY_COMBO) {}
CMonthCombo::CMonthCombo() : CStripCombo(WM_MONTHCOMBO_CHANGED, ID_MONTH_COMBO) {}
CYearCombo::CYearCombo() : CStripCombo(WM_YEARCOMBO_CHANGED, ID_YEAR_COMBO) {}

// ---- The strip ----
IMPLEMENT_DYNAMIC(CDateStrip, CControlBar)

BEGIN_MESSAGE_MAP(CDateStrip, CControlBar)
  ON_WM_CREATE()
  ON_WM_PAINT()
END_MESSAGE_MAP()

BOOL CDateStrip::Create(CWnd* pParent, UINT nID) {
  LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW));
  return CreateBar(cls, WS_CHILD | WS_VISIBLE | CBRS_TOP, 0, pParent, nID);
}

CSize CDateStrip::CalcFixedLayout(BOOL, BOOL) { return CSize(32767, kHeight); }

int CDateStrip::OnCreate(LPCREATESTRUCT lpcs) {
  if (CControlBar::OnCreate(lpcs) == -1) return -1;
  m_font.CreatePointFont(90, "Sans Serif");
  SetFont(&m_font, FALSE);
  int x = 4;
  const int y = 4, h = kHeight - 8;
  if (!m_previous.Create("<", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(x, y, x + 26, y + h), this, ID_PREVIOUS))
    return -1;
  x += 30;
  if (!m_dayCombo.Create(CRect(x, y, x + 50, y + h), this)) return -1;
  x += 54;
  if (!m_monthCombo.Create(CRect(x, y, x + 100, y + h), this)) return -1;
  x += 104;
  if (!m_yearCombo.Create(CRect(x, y, x + 60, y + h), this)) return -1;
  x += 64;
  if (!m_next.Create(">", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(x, y, x + 26, y + h), this, ID_NEXT))
    return -1;
  m_previous.SetFont(&m_font);
  m_next.SetFont(&m_font);
  return 0;
}

BOOL CDateStrip::OnCommand(WPARAM wParam, LPARAM lParam) {
  // The buttons' clicks are the frame's commands.
  if (HIWORD(wParam) == BN_CLICKED && lParam) {
    if (CWnd* frame = GetParent()) frame->PostMessage(WM_COMMAND, MAKEWPARAM(LOWORD(wParam), 0), 0);
    return TRUE;
  }
  return CControlBar::OnCommand(wParam, lParam);
}

void CDateStrip::OnPaint() {
  CPaintDC dc(this);
  CRect rc;
  GetClientRect(&rc);
  dc.FillSolidRect(&rc, ::GetSysColor(COLOR_BTNFACE));
  dc.FillSolidRect(0, rc.bottom - 1, rc.right, 1, ::GetSysColor(COLOR_BTNSHADOW));
}

void CDateStrip::UpdateState(CCmdTarget* pTarget) {
  // The same update handlers as the menu items decide.
  class State : public CCmdUI {
   public:
    BOOL enabled = TRUE;
    void Enable(BOOL b) override {
      enabled = b;
      m_bEnableChanged = TRUE;
    }
    void SetCheck(int) override {}
    void SetRadio(BOOL) override {}
    void SetText(LPCTSTR) override {}
  };
  auto ask = [pTarget](UINT id) {
    State s;
    s.m_nID = id;
    s.DoUpdate(pTarget, FALSE);
    return s.enabled;
  };
  m_dayCombo.SetEnabled(ask(ID_DAY_COMBO));
  m_monthCombo.SetEnabled(ask(ID_MONTH_COMBO));
  m_yearCombo.SetEnabled(ask(ID_YEAR_COMBO));
  const BOOL prev = ask(ID_PREVIOUS), next = ask(ID_NEXT);
  if (m_previous.IsWindowEnabled() != prev) m_previous.EnableWindow(prev);
  if (m_next.IsWindowEnabled() != next) m_next.EnableWindow(next);
}
