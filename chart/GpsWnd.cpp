#include "chart/GpsWnd.h"
#include "platform/core/AfxUserNumber.h"

#include "model/Position.h"

#include <cstring>

IMPLEMENT_DYNAMIC(CGpsWnd, CWnd)

BEGIN_MESSAGE_MAP(CGpsWnd, CWnd)
  ON_WM_CREATE()
  ON_WM_PAINT()
  ON_WM_TIMER()
  ON_WM_DESTROY()
END_MESSAGE_MAP()

BOOL CGpsWnd::Create(CWnd* pParent, const RECT& rect, UINT nID) {
  LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW));
  return CreateEx(WS_EX_NOPARENTNOTIFY, cls, "", WS_CHILD | WS_VISIBLE, rect, pParent, nID);
}

int CGpsWnd::OnCreate(LPCREATESTRUCT lpcs) {
  if (CWnd::OnCreate(lpcs) == -1) return -1;
  LOGFONT lf{};
  lf.lfHeight = 90;
  lf.lfWeight = FW_NORMAL;
  std::strcpy(lf.lfFaceName, "Arial");
  m_font.CreatePointFontIndirect(&lf);
  return 0;
}

void CGpsWnd::OnDestroy() {
  KillTimer(kRepaintTimer);
  m_bRepaintPending = FALSE;
  CWnd::OnDestroy();
}

void CGpsWnd::SetData(double dLatitude, double dLongitude, double dSpeed, double dCourse) {
  m_bHasData = 1;
  if (dLatitude == m_dLatitude && dLongitude == m_dLongitude && dSpeed == m_dSpeed && dCourse == m_dCourse) return;
  m_dLatitude = dLatitude;
  m_dLongitude = dLongitude;
  m_dSpeed = dSpeed;
  m_dCourse = dCourse;
  if (!m_hWnd) return;
  const DWORD now = ::GetTickCount();
  if (now < m_dwLastRepaint || now - m_dwLastRepaint > kRepaintInterval) {
    Repaint();
  } else if (!m_bRepaintPending) {
    // Too soon after the last one: the change is shown when the second is up, so the last
    // fix of a burst is never left unshown.
    m_bRepaintPending = TRUE;
    SetTimer(kRepaintTimer, kRepaintInterval - (now - m_dwLastRepaint) + 1, nullptr);
  }
}

void CGpsWnd::Repaint() {
  if (m_bRepaintPending) {
    KillTimer(kRepaintTimer);
    m_bRepaintPending = FALSE;
  }
  Invalidate(TRUE);
  m_dwLastRepaint = ::GetTickCount();
}

void CGpsWnd::OnTimer(UINT_PTR nIDEvent) {
  if (nIDEvent == kRepaintTimer) {
    Repaint();
    return;
  }
  CWnd::OnTimer(nIDEvent);
}

CString CGpsWnd::GetSpeedText() const {
  CString s;
  s = AfxFormatUserNumber(m_dSpeed, 2) + " Kts";
  return s;
}

CString CGpsWnd::GetCourseText() const {
  CString s;
  s = AfxFormatUserNumber(m_dCourse, 2) + "\xC2\xBAT";
  return s;
}

void CGpsWnd::Draw(CDC* pDC, const CRect& rect) {
  pDC->FillSolidRect(&rect, ::GetSysColor(COLOR_WINDOW));
  if (m_bHasData) {
    CFont* old = pDC->SelectObject(&m_font);
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetTextColor(::GetSysColor(COLOR_WINDOWTEXT));
    const int x2 = pDC->GetTextExtent(CString("Heading: ")).cx + 10;
    const CPosition pos(m_dLatitude, m_dLongitude);
    const CString lat = pos.FormatLatitude(), lon = pos.FormatLongitude();
    int y = rect.top + 5;
    pDC->TextOut(rect.left + 5, y, CString("Position:"));
    pDC->TextOut(rect.left + x2, y, lat);
    y += pDC->GetTextExtent(lat).cy + 5;
    pDC->TextOut(rect.left + x2, y, lon);
    y += pDC->GetTextExtent(lon).cy + 5;
    pDC->TextOut(rect.left + 5, y, CString("Speed:"));
    const CString speed = GetSpeedText();
    pDC->TextOut(rect.left + x2, y, speed);
    y += pDC->GetTextExtent(speed).cy + 5;
    pDC->TextOut(rect.left + 5, y, CString("Heading:"));
    pDC->TextOut(rect.left + x2, y, GetCourseText());
    pDC->SelectObject(old);
  }
  CBrush frame(m_frameColour);
  pDC->FrameRect(&rect, &frame);
}

void CGpsWnd::OnPaint() {
  CPaintDC dc(this);
  CRect rc;
  GetClientRect(&rc);
  Draw(&dc, rc);
  ++m_nPaints;
  m_dPaintedCourse = m_dCourse;
}
