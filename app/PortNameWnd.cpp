#include "app/PortNameWnd.h"

#include "model/PortHistory.h"
#include "platform/ui/Accessible.h"
#include "toolkit/CbColorManager.h"
#include "toolkit/CbDrawHelpers.h"
#include "views/VxMenu.h"

namespace {
const UINT kPageBitmaps[] = {IDB_CALCULATE_GRAPH, IDB_CALCULATE_TABLE, IDB_HEIGHT_FINDER, IDB_TIDE_LOG, IDB_MAP};
const UINT kPageCommands[] = {ID_PAGE_GRAPH, ID_PAGE_TABLE, ID_PAGE_HEIGHT_FINDER, ID_PAGE_TIDE_LOG, ID_PAGE_MAP};
const int kTextMargin = 5;
const int kTriangleRoom = 18;  // the drop-down triangle at the right
}  // namespace

IMPLEMENT_DYNAMIC(CPortNameWnd, CWnd)

BEGIN_MESSAGE_MAP(CPortNameWnd, CWnd)
  ON_MESSAGE(WM_GETOBJECT, OnGetObject)
  ON_WM_CREATE()
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_SIZE()
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONUP()
  ON_WM_ENABLE()
  ON_WM_CAPTURECHANGED()
END_MESSAGE_MAP()

CPortNameWnd::CPortNameWnd() = default;
CPortNameWnd::~CPortNameWnd() = default;

BOOL CPortNameWnd::Create(const RECT& rect, CWnd* pParentWnd, UINT nID) {
  LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW));
  return CWnd::Create(cls, "", WS_CHILD | WS_VISIBLE, rect, pParentWnd, nID);
}

int CPortNameWnd::OnCreate(LPCREATESTRUCT lpCreateStruct) {
  if (CWnd::OnCreate(lpCreateStruct) == -1) return -1;
  m_images.Create(16, 15, ILC_COLOR24 | ILC_MASK, 5, 1);
  for (UINT id : kPageBitmaps) {
    CBitmap bmp;
    if (bmp.LoadBitmap(id)) m_images.Add(&bmp, RGB(192, 192, 192));
  }
  m_font.CreatePointFont(90, "Arial");
  LOGFONT lf{};
  m_font.GetLogFont(&lf);
  lf.lfWeight = 600;
  m_font.DeleteObject();
  m_font.CreateFontIndirect(&lf);
  SetText("Port Name");
  return 0;
}

void CPortNameWnd::SetText(LPCTSTR lpszText) {
  const CString text = lpszText ? lpszText : "";
  const bool changed = text != m_strText;
  m_strText = text;
  if (m_hWnd) Invalidate(FALSE);
  if (changed && m_hWnd) NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, m_hWnd, OBJID_CLIENT, CHILDID_SELF);
}

void CPortNameWnd::SetMenuMode(BOOL bPageMenu) { m_bMenuMode = bPageMenu ? 1 : 0; }

void CPortNameWnd::SetOptionFlag(int nPage) {
  m_nPage = nPage;
  m_bMenuMode = 1;
  if (m_hWnd) Invalidate(FALSE);
}

void CPortNameWnd::SetStatic(BOOL bStatic) {
  m_bStatic = bStatic ? 1 : 0;
  if (m_bStatic) {
    m_bHover = m_bArmed = 0;
    if (::GetCapture() == m_hWnd) ::ReleaseCapture();
  }
  if (m_hWnd) Invalidate(FALSE);
}

CString CPortNameWnd::FitText(CDC* pDC, const CString& strText, int nWidth) {
  if (pDC->GetTextExtent(strText).cx <= nWidth) return strText;
  std::string s = strText.GetString();
  while (!s.empty()) {
    // One character off the end (all of its UTF-8 bytes); a space left at the end is taken
    // off with it, untested.
    do {
      while (!s.empty() && (static_cast<unsigned char>(s.back()) & 0xC0) == 0x80) s.pop_back();
      if (!s.empty()) s.pop_back();
    } while (!s.empty() && s.back() == ' ');
    CString candidate = CString(s.c_str()) + "...";
    if (pDC->GetTextExtent(candidate).cx <= nWidth) return candidate;
  }
  return CString("...");
}

BOOL CPortNameWnd::OnEraseBkgnd(CDC*) { return TRUE; }

void CPortNameWnd::OnSize(UINT nType, int cx, int cy) {
  CWnd::OnSize(nType, cx, cy);
  m_rcButton.SetRect(1, 1, std::max(1, cx - 1), std::max(1, cy - 1));
}

void CPortNameWnd::OnPaint() {
  PAINTSTRUCT ps;
  CDC* dc = BeginPaint(&ps);
  if (!dc) return;
  CRect rc;
  GetClientRect(&rc);
  CCbColorManager* colours = CbColorManager();
  colours->RefreshColors();
  // The command bars' caption gradient; lighter while hot, reversed while the menu is open.
  COLORREF light = colours->GetGradientLight(0), dark = colours->GetGradientDark(0);
  bool button = !m_bStatic && m_bEnabled;
  if (button && m_bPressed)
    std::swap(light, dark);
  else if (button && m_bHover)
    light = CCbColorManager::Blend(light, ::GetSysColor(COLOR_BTNHIGHLIGHT), 60);
  CbDrawHelpers()->GradientFill(dc, &rc, light, dark, FALSE);
  CBrush frame(colours->GetColor(COLOR_BTNSHADOW));
  dc->FrameRect(&rc, &frame);

  CFont* oldFont = dc->SelectObject(&m_font);
  dc->SetBkMode(TRANSPARENT);
  dc->SetTextColor(m_bEnabled ? RGB(255, 255, 255) : ::GetSysColor(COLOR_BTNFACE));
  CRect text(rc.left + kTextMargin, rc.top, rc.right - (button ? kTriangleRoom : kTextMargin), rc.bottom);
  CString shown = FitText(dc, m_bStatic ? CString("Routes") : m_strText, text.Width());
  dc->DrawText(shown, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  dc->SelectObject(oldFont);

  if (button) {
    int cx = rc.right - kTriangleRoom / 2 - 1, cy = rc.CenterPoint().y;
    POINT tri[3] = {{cx - 4, cy - 2}, {cx + 4, cy - 2}, {cx, cy + 2}};
    CBrush white(RGB(255, 255, 255));
    CPen pen(PS_SOLID, 1, RGB(255, 255, 255));
    CBrush* ob = dc->SelectObject(&white);
    CPen* op = dc->SelectObject(&pen);
    dc->Polygon(tri, 3);
    dc->SelectObject(ob);
    dc->SelectObject(op);
  }
  EndPaint(&ps);
}

BOOL CPortNameWnd::CanHover() const {
  if (m_bStatic || !m_bEnabled) return FALSE;
  CWnd* top = GetTopLevelParent();
  return top && CWnd::GetActiveWindow() == top;
}

void CPortNameWnd::OnMouseMove(UINT nFlags, CPoint point) {
  CWnd::OnMouseMove(nFlags, point);
  if (!CanHover()) return;
  CRect rc;
  GetClientRect(&rc);
  if (rc.PtInRect(point)) {
    // Held while the pointer is inside, so that leaving is seen.
    if (::GetCapture() != m_hWnd) SetCapture();
    int hot = m_rcButton.PtInRect(point) ? 1 : 0;
    if (hot != m_bHover) {
      m_bHover = hot;
      Invalidate(FALSE);
    }
  } else {
    if (!m_bArmed && ::GetCapture() == m_hWnd) ::ReleaseCapture();
    if (m_bHover) {
      m_bHover = 0;
      Invalidate(FALSE);
    }
  }
}

void CPortNameWnd::OnCaptureChanged(CWnd* pWnd) {
  CWnd::OnCaptureChanged(pWnd);
  if (m_bHover && !m_bPressed) {
    m_bHover = 0;
    Invalidate(FALSE);
  }
}

void CPortNameWnd::OnLButtonDown(UINT nFlags, CPoint point) {
  CWnd::OnLButtonDown(nFlags, point);
  if (!m_bStatic && m_bEnabled && m_rcButton.PtInRect(point)) {
    m_bArmed = 1;
    if (::GetCapture() != m_hWnd) SetCapture();
  }
}

void CPortNameWnd::OnLButtonUp(UINT nFlags, CPoint point) {
  CWnd::OnLButtonUp(nFlags, point);
  bool open = m_bArmed && m_bEnabled && !m_bStatic && m_rcButton.PtInRect(point);
  m_bArmed = 0;
  CRect rc;
  GetClientRect(&rc);
  if (!rc.PtInRect(point) && ::GetCapture() == m_hWnd) ::ReleaseCapture();
  if (open) OpenMenu();
}

void CPortNameWnd::OnEnable(BOOL bEnable) {
  CWnd::OnEnable(bEnable);
  m_bEnabled = bEnable ? 1 : 0;
  if (!m_bEnabled) m_bHover = m_bArmed = 0;
  Invalidate(FALSE);
}

void CPortNameWnd::OpenMenu() {
  IPortsHost* host = Host();
  VxMenu* menu = host ? host->GetContextMenu() : nullptr;
  if (!menu) return;
  CMenu* popup = nullptr;
  if (m_bMenuMode) {
    if (!menu->LoadFromResource(IDR_PAGES_MENU)) return;
    for (size_t i = 0; i < std::size(kPageCommands); ++i) menu->SetItemBitmap(kPageCommands[i], kPageBitmaps[i]);
    popup = menu->GetSubMenu(0);
  } else {
    CPortHistory* history = host->GetPortHistory();
    if (!history || history->GetCount() == 0) return;  // nothing to offer
    menu->DestroyItems();
    if (!menu->CreatePopupMenu()) return;
    for (int i = 0; i < history->GetCount(); ++i) {
      int port = 0;
      CString name, text;
      if (!history->GetEntry(i, port, name)) break;
      text.Format("&%d %s", i + 1, name.GetString());
      menu->AppendOwnerDrawnItem(text, MF_STRING, (UINT_PTR)(ID_RECENT_PORT_FIRST + i));
    }
    popup = menu;
  }
  if (popup) {
    CPoint at(m_rcButton.left, m_rcButton.bottom + 2);
    ClientToScreen(&at);
    HWND self = m_hWnd;
    m_bPressed = 1;
    Invalidate(FALSE);
    UpdateWindow();
    popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_LEFTBUTTON, at.x, at.y, GetTopLevelParent());
    if (::IsWindow(self)) {
      m_bPressed = 0;
      m_bHover = 0;
      Invalidate(FALSE);
    }
  }
  menu->DestroyItems();
}
