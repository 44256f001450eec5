// Windows: CWnd and the handle-level window functions.
#pragma once

#include "platform/ui/CmdTarget.h"

class CDC;
class CMenu;
class CRgn;
class CFont;
struct CCreateContext;

struct CREATESTRUCT {
  LPVOID lpCreateParams;
  HINSTANCE hInstance;
  HMENU hMenu;
  HWND hwndParent;
  int cy;
  int cx;
  int y;
  int x;
  LONG style;
  LPCTSTR lpszName;
  LPCTSTR lpszClass;
  DWORD dwExStyle;
};
typedef CREATESTRUCT* LPCREATESTRUCT;

struct WINDOWPOS {
  HWND hwnd;
  HWND hwndInsertAfter;
  int x;
  int y;
  int cx;
  int cy;
  UINT flags;
};
typedef WINDOWPOS* LPWINDOWPOS;

struct MINMAXINFO {
  POINT ptReserved;
  POINT ptMaxSize;
  POINT ptMaxPosition;
  POINT ptMinTrackSize;
  POINT ptMaxTrackSize;
};

struct NCCALCSIZE_PARAMS {
  RECT rgrc[3];
  WINDOWPOS* lppos;
};

struct STYLESTRUCT {
  DWORD styleOld;
  DWORD styleNew;
};
typedef STYLESTRUCT* LPSTYLESTRUCT;

struct MEASUREITEMSTRUCT {
  UINT CtlType;
  UINT CtlID;
  UINT itemID;
  UINT itemWidth;
  UINT itemHeight;
  ULONG_PTR itemData;
};
typedef MEASUREITEMSTRUCT* LPMEASUREITEMSTRUCT;

struct DRAWITEMSTRUCT {
  UINT CtlType;
  UINT CtlID;
  UINT itemID;
  UINT itemAction;
  UINT itemState;
  HWND hwndItem;  // for menus: the HMENU
  HDC hDC;
  RECT rcItem;
  ULONG_PTR itemData;
};
typedef DRAWITEMSTRUCT* LPDRAWITEMSTRUCT;

struct TRACKMOUSEEVENT {
  DWORD cbSize;
  DWORD dwFlags;
  HWND hwndTrack;
  DWORD dwHoverTime;
};
typedef TRACKMOUSEEVENT* LPTRACKMOUSEEVENT;

struct SCROLLINFO {
  UINT cbSize;
  UINT fMask;
  int nMin;
  int nMax;
  UINT nPage;
  int nPos;
  int nTrackPos;
};
typedef SCROLLINFO* LPSCROLLINFO;

struct PAINTSTRUCT {
  HDC hdc;
  BOOL fErase;
  RECT rcPaint;
  BOOL fRestore;
  BOOL fIncUpdate;
  BYTE rgbReserved[32];
};
typedef PAINTSTRUCT* LPPAINTSTRUCT;

struct MONITORINFO {
  DWORD cbSize;
  RECT rcMonitor;
  RECT rcWork;
  DWORD dwFlags;
};
typedef MONITORINFO* LPMONITORINFO;

struct WNDCLASS {
  UINT style;
  WNDPROC lpfnWndProc;
  int cbClsExtra;
  int cbWndExtra;
  HINSTANCE hInstance;
  HICON hIcon;
  HCURSOR hCursor;
  HBRUSH hbrBackground;
  LPCTSTR lpszMenuName;
  LPCTSTR lpszClassName;
};

// ---- Window classes ----
ATOM RegisterClass(const WNDCLASS* wc);
BOOL GetClassInfo(HINSTANCE hInst, LPCTSTR lpszClass, WNDCLASS* wc);
// Registers (once) a class with these values and returns its name.
LPCTSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor = nullptr, HBRUSH hbrBackground = nullptr,
                            HICON hIcon = nullptr);
// The framework's default class names, usable in Create.
#define AFX_WND_CLASS "AfxWnd"
#define AFX_WNDFRAME_CLASS "AfxFrameOrView"

// ---- Handle-level functions ----
HWND CreateWindowEx(DWORD dwExStyle, LPCTSTR lpszClass, LPCTSTR lpszName, DWORD dwStyle, int x, int y, int cx, int cy,
                    HWND hWndParent, HMENU hMenu, HINSTANCE hInst, LPVOID lpParam);
BOOL DestroyWindow(HWND hWnd);
BOOL IsWindow(HWND hWnd);  // safe from any thread
BOOL IsWindowVisible(HWND hWnd);
BOOL IsWindowEnabled(HWND hWnd);
BOOL EnableWindow(HWND hWnd, BOOL bEnable);
BOOL IsChild(HWND hWndParent, HWND hWnd);
BOOL IsIconic(HWND hWnd);
BOOL IsZoomed(HWND hWnd);
HWND GetParent(HWND hWnd);  // the parent of a child window, the owner of a popup
HWND SetParent(HWND hWnd, HWND hWndNewParent);
HWND GetAncestor(HWND hWnd, UINT gaFlags);
HWND GetWindow(HWND hWnd, UINT uCmd);
HWND GetTopWindow(HWND hWnd);
HWND GetDesktopWindow();
HWND GetActiveWindow();
HWND SetActiveWindow(HWND hWnd);
HWND GetForegroundWindow();
BOOL SetForegroundWindow(HWND hWnd);
HWND GetFocus();
HWND SetFocus(HWND hWnd);
HWND GetCapture();
// While a menu tracks: the pointer is held for the program, so a press on another program's window
// is seen, by the WH_MOUSE hooks only and with no window, and every other event still goes to the
// program window under the point. Null ends it; FALSE (nothing changed) when the window system
// refuses the grab.
BOOL AfxSetTrackingGrab(HWND hWnd);
HWND AfxGetTrackingGrab();
HWND SetCapture(HWND hWnd);
BOOL ReleaseCapture();
HWND WindowFromPoint(POINT pt);
HWND ChildWindowFromPoint(HWND hWndParent, POINT pt);
int GetDlgCtrlID(HWND hWnd);
HWND GetDlgItem(HWND hWnd, int nID);
LONG_PTR GetWindowLongPtr(HWND hWnd, int nIndex);
LONG_PTR SetWindowLongPtr(HWND hWnd, int nIndex, LONG_PTR dwNewLong);
inline LONG GetWindowLong(HWND h, int i) { return (LONG)GetWindowLongPtr(h, i); }
inline LONG SetWindowLong(HWND h, int i, LONG v) { return (LONG)SetWindowLongPtr(h, i, v); }
LRESULT CallWindowProc(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
LRESULT DefWindowProc(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
// The window procedure of every window created through CWnd: dispatches to its message map.
LRESULT AfxWndProc(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
int GetWindowText(HWND hWnd, LPTSTR lpString, int nMaxCount);
int GetWindowTextLength(HWND hWnd);
BOOL SetWindowText(HWND hWnd, LPCTSTR lpString);
int GetClassName(HWND hWnd, LPTSTR lpClassName, int nMaxCount);

BOOL ShowWindow(HWND hWnd, int nCmdShow);
BOOL MoveWindow(HWND hWnd, int x, int y, int cx, int cy, BOOL bRepaint);
BOOL SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int x, int y, int cx, int cy, UINT uFlags);
BOOL GetWindowRect(HWND hWnd, LPRECT lpRect);  // screen coordinates
BOOL GetClientRect(HWND hWnd, LPRECT lpRect);
BOOL ClientToScreen(HWND hWnd, LPPOINT lpPoint);
BOOL ScreenToClient(HWND hWnd, LPPOINT lpPoint);
int MapWindowPoints(HWND hWndFrom, HWND hWndTo, LPPOINT lpPoints, UINT cPoints);
BOOL BringWindowToTop(HWND hWnd);

BOOL InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase);
BOOL InvalidateRgn(HWND hWnd, HRGN hRgn, BOOL bErase);
BOOL ValidateRect(HWND hWnd, const RECT* lpRect);
BOOL UpdateWindow(HWND hWnd);
BOOL RedrawWindow(HWND hWnd, const RECT* lprcUpdate, HRGN hrgnUpdate, UINT flags);
BOOL GetUpdateRect(HWND hWnd, LPRECT lpRect, BOOL bErase);
HDC BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint);
BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint);
HDC GetDC(HWND hWnd);
HDC GetWindowDC(HWND hWnd);
int ReleaseDC(HWND hWnd, HDC hDC);
BOOL ScrollWindow(HWND hWnd, int dx, int dy, const RECT* lpRect, const RECT* lpClipRect);

LRESULT SendMessage(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
inline LRESULT SendDlgItemMessage(HWND hDlg, int nID, UINT msg, WPARAM wParam, LPARAM lParam) {
  HWND h = GetDlgItem(hDlg, nID);
  return h ? SendMessage(h, msg, wParam, lParam) : 0;
}
// Queued; callable from any thread. A message for a window that is gone when it comes up is dropped.
BOOL PostMessage(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
// A message for the user-interface thread itself (no window); seen by PreTranslateMessage.
BOOL PostThreadMessage(DWORD idThread, UINT Msg, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int nExitCode);
DWORD GetCurrentThreadId();
DWORD GetWindowThreadProcessId(HWND hWnd, LPDWORD lpdwProcessId);
const MSG* AfxGetCurrentMessage();  // the message being handled on this thread
DWORD GetMessageTime();
DWORD GetMessagePos();
DWORD GetTickCount();

UINT_PTR SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc);
BOOL KillTimer(HWND hWnd, UINT_PTR uIDEvent);

BOOL TrackMouseEvent(LPTRACKMOUSEEVENT lpEventTrack);
SHORT GetKeyState(int nVirtKey);
SHORT GetAsyncKeyState(int vKey);
BOOL GetCursorPos(LPPOINT lpPoint);
BOOL SetCursorPos(int x, int y);
HCURSOR SetCursor(HCURSOR hCursor);
HCURSOR GetCursor();
HCURSOR LoadCursor(HINSTANCE hInstance, LPCTSTR lpCursorName);
int ShowCursor(BOOL bShow);
BOOL MessageBeep(UINT uType);
UINT GetDoubleClickTime();
UINT MapVirtualKey(UINT uCode, UINT uMapType);
#define MAPVK_VK_TO_VSC 0
#define MAPVK_VSC_TO_VK 1
#define MAPVK_VK_TO_CHAR 2

int SetScrollInfo(HWND hWnd, int nBar, const SCROLLINFO* lpsi, BOOL bRedraw);
BOOL GetScrollInfo(HWND hWnd, int nBar, LPSCROLLINFO lpsi);
int SetScrollPos(HWND hWnd, int nBar, int nPos, BOOL bRedraw);
int GetScrollPos(HWND hWnd, int nBar);
BOOL SetScrollRange(HWND hWnd, int nBar, int nMinPos, int nMaxPos, BOOL bRedraw);
BOOL GetScrollRange(HWND hWnd, int nBar, LPINT lpMinPos, LPINT lpMaxPos);
BOOL ShowScrollBar(HWND hWnd, int wBar, BOOL bShow);

HMONITOR MonitorFromWindow(HWND hWnd, DWORD dwFlags);
HMONITOR MonitorFromPoint(POINT pt, DWORD dwFlags);
HMONITOR MonitorFromRect(LPCRECT lprc, DWORD dwFlags);
BOOL GetMonitorInfo(HMONITOR hMonitor, LPMONITORINFO lpmi);
typedef BOOL (*MONITORENUMPROC)(HMONITOR, HDC, LPRECT, LPARAM);
// Every monitor, with its rectangle (the device context and the clip are not used).
BOOL EnumDisplayMonitors(HDC hdc, LPCRECT lprcClip, MONITORENUMPROC lpfnEnum, LPARAM dwData);

// Thread hooks. A WH_KEYBOARD procedure gets (HC_ACTION, virtual key, key-message lParam),
// a WH_MOUSE procedure (HC_ACTION, message, MOUSEHOOKSTRUCT*), a WH_CALLWNDPROC procedure
// (HC_ACTION, 0, CWPSTRUCT*); a nonzero answer from the first two swallows the input.
struct MOUSEHOOKSTRUCT {
  POINT pt;
  HWND hwnd;
  UINT wHitTestCode;
  ULONG_PTR dwExtraInfo;
};
struct CWPSTRUCT {
  LPARAM lParam;
  WPARAM wParam;
  UINT message;
  HWND hwnd;
};
HHOOK SetWindowsHookEx(int idHook, HOOKPROC lpfn, HINSTANCE hMod, DWORD dwThreadId);
BOOL UnhookWindowsHookEx(HHOOK hhk);
LRESULT CallNextHookEx(HHOOK hhk, int nCode, WPARAM wParam, LPARAM lParam);

class CWnd : public CCmdTarget {
  DECLARE_DYNAMIC(CWnd)
  DECLARE_MESSAGE_MAP()
 public:
  HWND m_hWnd = nullptr;

  CWnd();
  ~CWnd() override;
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  operator HWND() const { return m_hWnd; }
  HWND GetSafeHwnd() const { return m_hWnd; }
  // The object of a window made through CWnd, or a temporary wrapper for another handle.
  static CWnd* FromHandle(HWND hWnd);
  static CWnd* FromHandlePermanent(HWND hWnd);
  static const MSG* GetCurrentMessage();

  // ---- Creation and destruction ----
  virtual BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                      UINT nID, CCreateContext* pContext = nullptr);
  virtual BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, int x, int y,
                        int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam = nullptr);
  virtual BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                        CWnd* pParentWnd, UINT nID, LPVOID lpParam = nullptr);
  virtual BOOL DestroyWindow();
  virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
  virtual void PostNcDestroy();
  virtual void PreSubclassWindow() {}

  // ---- Message handling ----
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Default();
  virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
  virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  virtual BOOL PreTranslateMessage(MSG* pMsg);
  // Offers the message to pWndStop's descendants from the target upwards.
  static BOOL WalkPreTranslateTree(HWND hWndStop, MSG* pMsg);
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
  BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
  void SendMessageToDescendants(UINT message, WPARAM wParam = 0, LPARAM lParam = 0, BOOL bDeep = TRUE);
  // Asks pTarget (or this window's parent frame) for the idle state of this window's elements.
  virtual void OnUpdateCmdUI(CWnd* pTarget, BOOL bDisableIfNoHndler) {
    (void)pTarget;
    (void)bDisableIfNoHndler;
  }

  // ---- Relatives ----
  CWnd* GetParent() const;
  CWnd* SetParent(CWnd* pWndNewParent);
  CWnd* GetOwner() const;
  void SetOwner(CWnd* pOwnerWnd);
  CWnd* GetTopLevelParent() const;
  CWnd* GetTopLevelOwner() const;
  class CFrameWnd* GetParentFrame() const;
  class CFrameWnd* GetTopLevelFrame() const;
  CWnd* GetWindow(UINT nCmd) const;
  CWnd* GetTopWindow() const;
  CWnd* GetNextWindow(UINT nFlag = GW_HWNDNEXT) const;
  CWnd* GetDlgItem(int nID) const;
  int GetDlgCtrlID() const;
  int SetDlgCtrlID(int nID);
  BOOL IsChild(const CWnd* pWnd) const;
  CWnd* ChildWindowFromPoint(POINT pt) const;
  static CWnd* WindowFromPoint(POINT pt);
  static CWnd* GetDesktopWindow();
  static CWnd* GetActiveWindow();
  static CWnd* GetForegroundWindow();
  static CWnd* GetFocus();
  static CWnd* GetCapture();

  // ---- Styles and text ----
  DWORD GetStyle() const;
  DWORD GetExStyle() const;
  BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
  BOOL ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
  void SetWindowText(LPCTSTR lpszString);
  int GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const;
  void GetWindowText(CString& rString) const;
  int GetWindowTextLength() const;
  void SetFont(CFont* pFont, BOOL bRedraw = TRUE);
  CFont* GetFont() const;

  // ---- State, size and position ----
  BOOL ShowWindow(int nCmdShow);
  BOOL IsWindowVisible() const;
  BOOL IsWindowEnabled() const;
  BOOL EnableWindow(BOOL bEnable = TRUE);
  BOOL IsIconic() const;
  BOOL IsZoomed() const;
  void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE);
  void MoveWindow(LPCRECT lpRect, BOOL bRepaint = TRUE);
  BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
  void GetWindowRect(LPRECT lpRect) const;
  void GetClientRect(LPRECT lpRect) const;
  void ClientToScreen(LPPOINT lpPoint) const;
  void ClientToScreen(LPRECT lpRect) const;
  void ScreenToClient(LPPOINT lpPoint) const;
  void ScreenToClient(LPRECT lpRect) const;
  void MapWindowPoints(CWnd* pwndTo, LPPOINT lpPoint, UINT nCount) const;
  void MapWindowPoints(CWnd* pwndTo, LPRECT lpRect) const;
  void CenterWindow(CWnd* pAlternateOwner = nullptr);
  void BringWindowToTop();
  BOOL SetForegroundWindow();
  CWnd* SetActiveWindow();
  void RecalcLayout() {}
  // Gives the control bars with ids nIDFirst..nIDLast their strips along the client edges
  // (WM_SIZEPARENT) and the rest to the child nIDLeftOver. reposQuery only reports the rest in
  // lpRectParam; reposExtra keeps lpRectParam's margins inside it.
  enum RepositionFlags { reposDefault = 0, reposQuery = 1, reposExtra = 2 };
  void RepositionBars(UINT nIDFirst, UINT nIDLast, UINT nIDLeftOver, UINT nFlag = reposDefault,
                      LPRECT lpRectParam = nullptr, LPCRECT lpRectClient = nullptr, BOOL bStretch = TRUE);

  // ---- Painting ----
  void Invalidate(BOOL bErase = TRUE);
  void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE);
  void InvalidateRgn(CRgn* pRgn, BOOL bErase = TRUE);
  void ValidateRect(LPCRECT lpRect);
  void UpdateWindow();
  BOOL RedrawWindow(LPCRECT lpRectUpdate = nullptr, CRgn* prgnUpdate = nullptr,
                    UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
  BOOL GetUpdateRect(LPRECT lpRect, BOOL bErase = FALSE);
  CDC* BeginPaint(LPPAINTSTRUCT lpPaint);
  void EndPaint(LPPAINTSTRUCT lpPaint);
  CDC* GetDC();
  CDC* GetWindowDC();
  int ReleaseDC(CDC* pDC);
  void SetRedraw(BOOL bRedraw = TRUE);
  void ScrollWindow(int xAmount, int yAmount, LPCRECT lpRect = nullptr, LPCRECT lpClipRect = nullptr);
  void Print(CDC* pDC, DWORD dwFlags) const;

  // ---- Input ----
  CWnd* SetFocus();
  CWnd* SetCapture();
  UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer = nullptr);
  BOOL KillTimer(UINT_PTR nIDEvent);
  BOOL EnableToolTips(BOOL bEnable = TRUE) {
    (void)bEnable;
    return TRUE;
  }

  // ---- Scroll bars ----
  BOOL SetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, BOOL bRedraw = TRUE);
  BOOL GetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, UINT nMask = SIF_ALL);
  int SetScrollPos(int nBar, int nPos, BOOL bRedraw = TRUE);
  int GetScrollPos(int nBar) const;
  void SetScrollRange(int nBar, int nMinPos, int nMaxPos, BOOL bRedraw = TRUE);
  void GetScrollRange(int nBar, LPINT lpMinPos, LPINT lpMaxPos) const;
  int GetScrollLimit(int nBar);
  void ShowScrollBar(UINT nBar, BOOL bShow = TRUE);

  // ---- Menus and boxes ----
  CMenu* GetMenu() const;
  BOOL SetMenu(CMenu* pMenu);
  void DrawMenuBar() {}
  int MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption = nullptr, UINT nType = MB_OK);

  // ---- Default handlers (reached through the message map; each does the default processing) ----
  int OnCreate(LPCREATESTRUCT lpCreateStruct);
  BOOL OnNcCreate(LPCREATESTRUCT lpCreateStruct);
  void OnDestroy();
  void OnNcDestroy();
  void OnClose();
  void OnPaint();
  void OnNcPaint();
  BOOL OnEraseBkgnd(CDC* pDC);
  void OnSize(UINT nType, int cx, int cy);
  void OnSizing(UINT fwSide, LPRECT pRect);
  void OnMove(int x, int y);
  void OnMoving(UINT fwSide, LPRECT pRect);
  void OnTimer(UINT_PTR nIDEvent);
  void OnShowWindow(BOOL bShow, UINT nStatus);
  void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
  void OnActivateApp(BOOL bActive, DWORD dwThreadID);
  BOOL OnNcActivate(BOOL bActive);
  int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
  void OnSetFocus(CWnd* pOldWnd);
  void OnKillFocus(CWnd* pNewWnd);
  void OnCaptureChanged(CWnd* pWnd);
  BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
  void OnEnable(BOOL bEnable);
  void OnGetMinMaxInfo(MINMAXINFO* lpMMI);
  void OnWindowPosChanging(WINDOWPOS* lpwndpos);
  void OnWindowPosChanged(WINDOWPOS* lpwndpos);
  void OnStyleChanged(int nStyleType, LPSTYLESTRUCT lpStyleStruct);
  void OnMouseMove(UINT nFlags, CPoint point);
  void OnLButtonDown(UINT nFlags, CPoint point);
  void OnLButtonUp(UINT nFlags, CPoint point);
  void OnLButtonDblClk(UINT nFlags, CPoint point);
  void OnRButtonDown(UINT nFlags, CPoint point);
  void OnRButtonUp(UINT nFlags, CPoint point);
  void OnRButtonDblClk(UINT nFlags, CPoint point);
  void OnMButtonDown(UINT nFlags, CPoint point);
  void OnMButtonUp(UINT nFlags, CPoint point);
  BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
  void OnMouseLeave();
  void OnMouseHover(UINT nFlags, CPoint point);
  LRESULT OnNcHitTest(CPoint point);
  void OnNcMouseMove(UINT nHitTest, CPoint point);
  void OnNcLButtonDown(UINT nHitTest, CPoint point);
  void OnNcLButtonUp(UINT nHitTest, CPoint point);
  void OnNcLButtonDblClk(UINT nHitTest, CPoint point);
  void OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp);
  void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
  void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
  void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
  void OnSysKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
  void OnSysKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
  void OnSysChar(UINT nChar, UINT nRepCnt, UINT nFlags);
  UINT OnGetDlgCode();
  void OnContextMenu(CWnd* pWnd, CPoint pos);
  void OnSysCommand(UINT nID, LPARAM lParam);
  void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
  void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
  void OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct);
  void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);
  void OnInitMenu(CMenu* pMenu);
  void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu);
  void OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu);
  LRESULT OnMenuChar(UINT nChar, UINT nFlags, CMenu* pMenu);
  void OnEnterMenuLoop(BOOL bIsTrackPopupMenu);
  void OnExitMenuLoop(BOOL bIsTrackPopupMenu);
  void OnSettingChange(UINT uFlags, LPCTSTR lpszSection);
  void OnSysColorChange();
  void OnParentNotify(UINT message, LPARAM lParam);
  HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);

 protected:
  friend struct AfxWindowInternals;
  BOOL m_bTemporary = FALSE;  // a wrapper made by FromHandle for a foreign handle
};

// Leaves the wait cursor on for the life of the object.
class CWaitCursor {
 public:
  CWaitCursor();
  ~CWaitCursor();
  void Restore();
};
