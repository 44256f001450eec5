// Command targets and message maps.
//
//   BEGIN_MESSAGE_MAP(CMyWnd, CWnd)
//       ON_WM_PAINT()
//       ON_COMMAND(ID_FILE_PRINT, OnFilePrint)
//       ON_UPDATE_COMMAND_UI(ID_FILE_PRINT, OnUpdateFilePrint)
//       ON_MESSAGE(WM_APP + 1, OnPrivate)
//   END_MESSAGE_MAP()
//
// Each entry carries a small thunk that unpacks wParam and lParam into the handler's
// arguments, so handlers keep the framework's signatures and are checked by the compiler.
#pragma once

#include "platform/core/AfxObject.h"
#include "platform/core/AfxString.h"
#include "platform/ui/WinConst.h"
#include "platform/ui/WinDefs.h"

class CCmdTarget;
class CCmdUI;
class CWnd;
class CMenu;
class CDC;
class CScrollBar;

struct NMHDR {
  HWND hwndFrom;
  UINT_PTR idFrom;
  UINT code;
};
typedef NMHDR* LPNMHDR;

struct AFX_NOTIFY {
  LRESULT* pResult;
  NMHDR* pNMHDR;
};

struct AFX_CMDHANDLERINFO {
  CCmdTarget* pTarget;
};

// What a thunk receives: the raw message and, for commands, the routing details.
struct AFX_MSGARGS {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  LRESULT result;
  UINT nID;      // command or control id
  void* pExtra;  // CCmdUI* for updates, AFX_NOTIFY* for notifications
};

typedef BOOL (*AFX_PTHUNK)(CCmdTarget* pTarget, AFX_MSGARGS& args);

struct AFX_MSGMAP_ENTRY {
  UINT nMessage;  // window message, WM_COMMAND or WM_NOTIFY; 0 ends the map
  UINT nCode;     // control or notification code, CN_UPDATE_COMMAND_UI for updates
  UINT nID;       // first control id
  UINT nLastID;   // last control id of a range
  AFX_PTHUNK pfn;
};

struct AFX_MSGMAP {
  const AFX_MSGMAP* (*pfnGetBaseMap)();
  const AFX_MSGMAP_ENTRY* lpEntries;
};

// Reflected messages are matched with this offset added, as in the framework.
#define WM_REFLECT_BASE 0xBC00

#define DECLARE_MESSAGE_MAP()                       \
 protected:                                         \
  static const AFX_MSGMAP* GetThisMessageMap();     \
  const AFX_MSGMAP* GetMessageMap() const override; \
                                                    \
 public:

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                      \
  const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
  const AFX_MSGMAP* theClass::GetThisMessageMap() {                                 \
    typedef theClass ThisClass;                                                     \
    typedef baseClass TheBaseClass;                                                 \
    (void)sizeof(ThisClass*);                                                       \
    static const AFX_MSGMAP_ENTRY _messageEntries[] = {
#define END_MESSAGE_MAP()                                                                       \
  { 0, 0, 0, 0, nullptr }                                                                       \
  }                                                                                             \
  ;                                                                                             \
  static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
  return &messageMap;                                                                           \
  }

#define AFX_THUNK(body)                           \
  [](CCmdTarget* pT_, AFX_MSGARGS& a_) -> BOOL {  \
    ThisClass* p_ = static_cast<ThisClass*>(pT_); \
    (void)p_;                                     \
    (void)a_;                                     \
    body                                          \
  }

// ---- Commands ----
#define ON_COMMAND(id, fn)                                                              \
  { WM_COMMAND, CN_COMMAND, (UINT)(id), (UINT)(id), AFX_THUNK(p_->fn(); return TRUE;) } \
  ,
#define ON_COMMAND_EX(id, fn)                                                           \
  { WM_COMMAND, CN_COMMAND, (UINT)(id), (UINT)(id), AFX_THUNK(return p_->fn(a_.nID);) } \
  ,
#define ON_COMMAND_RANGE(id, idLast, fn)                                                          \
  { WM_COMMAND, CN_COMMAND, (UINT)(id), (UINT)(idLast), AFX_THUNK(p_->fn(a_.nID); return TRUE;) } \
  ,
#define ON_COMMAND_EX_RANGE(id, idLast, fn)                                                 \
  { WM_COMMAND, CN_COMMAND, (UINT)(id), (UINT)(idLast), AFX_THUNK(return p_->fn(a_.nID);) } \
  ,
#define ON_UPDATE_COMMAND_UI(id, fn)                                                                        \
  {                                                                                                         \
    WM_COMMAND, CN_UPDATE_COMMAND_UI, (UINT)(id), (UINT)(id),                                               \
        AFX_THUNK(CCmdUI* u_ = static_cast<CCmdUI*>(a_.pExtra); u_->m_bContinueRouting = FALSE; p_->fn(u_); \
                  return !u_->m_bContinueRouting;)                                                          \
  }                                                                                                         \
  ,
#define ON_UPDATE_COMMAND_UI_RANGE(id, idLast, fn)                                                          \
  {                                                                                                         \
    WM_COMMAND, CN_UPDATE_COMMAND_UI, (UINT)(id), (UINT)(idLast),                                           \
        AFX_THUNK(CCmdUI* u_ = static_cast<CCmdUI*>(a_.pExtra); u_->m_bContinueRouting = FALSE; p_->fn(u_); \
                  return !u_->m_bContinueRouting;)                                                          \
  }                                                                                                         \
  ,
#define ON_CONTROL(code, id, fn)                                                          \
  { WM_COMMAND, (UINT)(code), (UINT)(id), (UINT)(id), AFX_THUNK(p_->fn(); return TRUE;) } \
  ,
#define ON_CONTROL_RANGE(code, id, idLast, fn)                                                      \
  { WM_COMMAND, (UINT)(code), (UINT)(id), (UINT)(idLast), AFX_THUNK(p_->fn(a_.nID); return TRUE;) } \
  ,
#define ON_BN_CLICKED(id, fn) ON_CONTROL(BN_CLICKED, id, fn)

// ---- Notifications (WM_NOTIFY) ----
#define AFX_NOTIFY_ARGS static_cast<AFX_NOTIFY*>(a_.pExtra)
#define ON_NOTIFY(code, id, fn)                                                            \
  {                                                                                        \
    WM_NOTIFY, (UINT)(code), (UINT)(id), (UINT)(id),                                       \
        AFX_THUNK(p_->fn(AFX_NOTIFY_ARGS->pNMHDR, AFX_NOTIFY_ARGS->pResult); return TRUE;) \
  }                                                                                        \
  ,
#define ON_NOTIFY_RANGE(code, id, idLast, fn)                                                      \
  {                                                                                                \
    WM_NOTIFY, (UINT)(code), (UINT)(id), (UINT)(idLast),                                           \
        AFX_THUNK(p_->fn(a_.nID, AFX_NOTIFY_ARGS->pNMHDR, AFX_NOTIFY_ARGS->pResult); return TRUE;) \
  }                                                                                                \
  ,
#define ON_NOTIFY_EX(code, id, fn)                                                           \
  {                                                                                          \
    WM_NOTIFY, (UINT)(code), (UINT)(id), (UINT)(id),                                         \
        AFX_THUNK(return p_->fn(a_.nID, AFX_NOTIFY_ARGS->pNMHDR, AFX_NOTIFY_ARGS->pResult);) \
  }                                                                                          \
  ,
#define ON_NOTIFY_EX_RANGE(code, id, idLast, fn)                                             \
  {                                                                                          \
    WM_NOTIFY, (UINT)(code), (UINT)(id), (UINT)(idLast),                                     \
        AFX_THUNK(return p_->fn(a_.nID, AFX_NOTIFY_ARGS->pNMHDR, AFX_NOTIFY_ARGS->pResult);) \
  }                                                                                          \
  ,
#define ON_NOTIFY_REFLECT(code, fn)                                                        \
  {                                                                                        \
    WM_REFLECT_BASE + WM_NOTIFY, (UINT)(code), 0, 0,                                       \
        AFX_THUNK(p_->fn(AFX_NOTIFY_ARGS->pNMHDR, AFX_NOTIFY_ARGS->pResult); return TRUE;) \
  }                                                                                        \
  ,
#define ON_NOTIFY_REFLECT_EX(code, fn)                                               \
  {                                                                                  \
    WM_REFLECT_BASE + WM_NOTIFY, (UINT)(code), 0, 0,                                 \
        AFX_THUNK(return p_->fn(AFX_NOTIFY_ARGS->pNMHDR, AFX_NOTIFY_ARGS->pResult);) \
  }                                                                                  \
  ,

// ---- Private and other messages ----
#define ON_MESSAGE(msg, fn)                                                                   \
  { (UINT)(msg), 0, 0, 0, AFX_THUNK(a_.result = p_->fn(a_.wParam, a_.lParam); return TRUE;) } \
  ,
#define ON_THREAD_MESSAGE(msg, fn)                                                \
  { (UINT)(msg), 0, 0, 0, AFX_THUNK(p_->fn(a_.wParam, a_.lParam); return TRUE;) } \
  ,

// ---- Window messages with their unpacked arguments ----
#define AFX_WM(msg, body)                                \
  { (UINT)(msg), 0, 0, 0, AFX_THUNK(body return TRUE;) } \
  ,
#define AFX_PT_ CPoint(GET_X_LPARAM(a_.lParam), GET_Y_LPARAM(a_.lParam))
#define AFX_WND_(h) CWnd::FromHandle((HWND)(h))

#define ON_WM_CREATE() AFX_WM(WM_CREATE, a_.result = p_->OnCreate((LPCREATESTRUCT)a_.lParam);)
#define ON_WM_NCCREATE() AFX_WM(WM_NCCREATE, a_.result = p_->OnNcCreate((LPCREATESTRUCT)a_.lParam);)
#define ON_WM_DESTROY() AFX_WM(WM_DESTROY, p_->OnDestroy();)
#define ON_WM_NCDESTROY() AFX_WM(WM_NCDESTROY, p_->OnNcDestroy();)
#define ON_WM_CLOSE() AFX_WM(WM_CLOSE, p_->OnClose();)
#define ON_WM_PAINT() AFX_WM(WM_PAINT, p_->OnPaint();)
#define ON_WM_NCPAINT() AFX_WM(WM_NCPAINT, p_->OnNcPaint();)
#define ON_WM_ERASEBKGND() AFX_WM(WM_ERASEBKGND, a_.result = p_->OnEraseBkgnd(CDC::FromHandle((HDC)a_.wParam));)
#define ON_WM_SIZE() AFX_WM(WM_SIZE, p_->OnSize((UINT)a_.wParam, (short)LOWORD(a_.lParam), (short)HIWORD(a_.lParam));)
#define ON_WM_SIZING() AFX_WM(WM_SIZING, p_->OnSizing((UINT)a_.wParam, (LPRECT)a_.lParam); a_.result = TRUE;)
#define ON_WM_MOVE() AFX_WM(WM_MOVE, p_->OnMove((short)LOWORD(a_.lParam), (short)HIWORD(a_.lParam));)
#define ON_WM_MOVING() AFX_WM(WM_MOVING, p_->OnMoving((UINT)a_.wParam, (LPRECT)a_.lParam); a_.result = TRUE;)
#define ON_WM_TIMER() AFX_WM(WM_TIMER, p_->OnTimer((UINT_PTR)a_.wParam);)
#define ON_WM_SHOWWINDOW() AFX_WM(WM_SHOWWINDOW, p_->OnShowWindow((BOOL)a_.wParam, (UINT)a_.lParam);)
#define ON_WM_ACTIVATE() \
  AFX_WM(WM_ACTIVATE, p_->OnActivate(LOWORD(a_.wParam), AFX_WND_(a_.lParam), (BOOL)HIWORD(a_.wParam));)
#define ON_WM_ACTIVATEAPP() AFX_WM(WM_ACTIVATEAPP, p_->OnActivateApp((BOOL)a_.wParam, (DWORD)a_.lParam);)
#define ON_WM_NCACTIVATE() AFX_WM(WM_NCACTIVATE, a_.result = p_->OnNcActivate((BOOL)a_.wParam);)
#define ON_WM_MOUSEACTIVATE() \
  AFX_WM(WM_MOUSEACTIVATE, a_.result = p_->OnMouseActivate(AFX_WND_(a_.wParam), LOWORD(a_.lParam), HIWORD(a_.lParam));)
#define ON_WM_SETFOCUS() AFX_WM(WM_SETFOCUS, p_->OnSetFocus(AFX_WND_(a_.wParam));)
#define ON_WM_KILLFOCUS() AFX_WM(WM_KILLFOCUS, p_->OnKillFocus(AFX_WND_(a_.wParam));)
#define ON_WM_CAPTURECHANGED() AFX_WM(WM_CAPTURECHANGED, p_->OnCaptureChanged(AFX_WND_(a_.lParam));)
#define ON_WM_SETCURSOR() \
  AFX_WM(WM_SETCURSOR, a_.result = p_->OnSetCursor(AFX_WND_(a_.wParam), LOWORD(a_.lParam), HIWORD(a_.lParam));)
#define ON_WM_ENABLE() AFX_WM(WM_ENABLE, p_->OnEnable((BOOL)a_.wParam);)
#define ON_WM_GETMINMAXINFO() AFX_WM(WM_GETMINMAXINFO, p_->OnGetMinMaxInfo((MINMAXINFO*)a_.lParam);)
#define ON_WM_WINDOWPOSCHANGING() AFX_WM(WM_WINDOWPOSCHANGING, p_->OnWindowPosChanging((WINDOWPOS*)a_.lParam);)
#define ON_WM_WINDOWPOSCHANGED() AFX_WM(WM_WINDOWPOSCHANGED, p_->OnWindowPosChanged((WINDOWPOS*)a_.lParam);)
#define ON_WM_STYLECHANGED() AFX_WM(WM_STYLECHANGED, p_->OnStyleChanged((int)a_.wParam, (LPSTYLESTRUCT)a_.lParam);)
#define ON_WM_MOUSEMOVE() AFX_WM(WM_MOUSEMOVE, p_->OnMouseMove((UINT)a_.wParam, AFX_PT_);)
#define ON_WM_LBUTTONDOWN() AFX_WM(WM_LBUTTONDOWN, p_->OnLButtonDown((UINT)a_.wParam, AFX_PT_);)
#define ON_WM_LBUTTONUP() AFX_WM(WM_LBUTTONUP, p_->OnLButtonUp((UINT)a_.wParam, AFX_PT_);)
#define ON_WM_LBUTTONDBLCLK() AFX_WM(WM_LBUTTONDBLCLK, p_->OnLButtonDblClk((UINT)a_.wParam, AFX_PT_);)
#define ON_WM_RBUTTONDOWN() AFX_WM(WM_RBUTTONDOWN, p_->OnRButtonDown((UINT)a_.wParam, AFX_PT_);)
#define ON_WM_RBUTTONUP() AFX_WM(WM_RBUTTONUP, p_->OnRButtonUp((UINT)a_.wParam, AFX_PT_);)
#define ON_WM_RBUTTONDBLCLK() AFX_WM(WM_RBUTTONDBLCLK, p_->OnRButtonDblClk((UINT)a_.wParam, AFX_PT_);)
#define ON_WM_MBUTTONDOWN() AFX_WM(WM_MBUTTONDOWN, p_->OnMButtonDown((UINT)a_.wParam, AFX_PT_);)
#define ON_WM_MBUTTONUP() AFX_WM(WM_MBUTTONUP, p_->OnMButtonUp((UINT)a_.wParam, AFX_PT_);)
#define ON_WM_MOUSEWHEEL() \
  AFX_WM(WM_MOUSEWHEEL,    \
         a_.result = p_->OnMouseWheel(GET_KEYSTATE_WPARAM(a_.wParam), GET_WHEEL_DELTA_WPARAM(a_.wParam), AFX_PT_);)
#define ON_WM_MOUSELEAVE() AFX_WM(WM_MOUSELEAVE, p_->OnMouseLeave();)
#define ON_WM_MOUSEHOVER() AFX_WM(WM_MOUSEHOVER, p_->OnMouseHover((UINT)a_.wParam, AFX_PT_);)
#define ON_WM_NCHITTEST() AFX_WM(WM_NCHITTEST, a_.result = p_->OnNcHitTest(AFX_PT_);)
#define ON_WM_NCMOUSEMOVE() AFX_WM(WM_NCMOUSEMOVE, p_->OnNcMouseMove((UINT)a_.wParam, AFX_PT_);)
#define ON_WM_NCLBUTTONDOWN() AFX_WM(WM_NCLBUTTONDOWN, p_->OnNcLButtonDown((UINT)a_.wParam, AFX_PT_);)
#define ON_WM_NCLBUTTONUP() AFX_WM(WM_NCLBUTTONUP, p_->OnNcLButtonUp((UINT)a_.wParam, AFX_PT_);)
#define ON_WM_NCLBUTTONDBLCLK() AFX_WM(WM_NCLBUTTONDBLCLK, p_->OnNcLButtonDblClk((UINT)a_.wParam, AFX_PT_);)
#define ON_WM_NCCALCSIZE() AFX_WM(WM_NCCALCSIZE, p_->OnNcCalcSize((BOOL)a_.wParam, (NCCALCSIZE_PARAMS*)a_.lParam);)
#define AFX_KEY_(fn) p_->fn((UINT)a_.wParam, LOWORD(a_.lParam), HIWORD(a_.lParam));
#define ON_WM_KEYDOWN() AFX_WM(WM_KEYDOWN, AFX_KEY_(OnKeyDown))
#define ON_WM_KEYUP() AFX_WM(WM_KEYUP, AFX_KEY_(OnKeyUp))
#define ON_WM_CHAR() AFX_WM(WM_CHAR, AFX_KEY_(OnChar))
#define ON_WM_SYSKEYDOWN() AFX_WM(WM_SYSKEYDOWN, AFX_KEY_(OnSysKeyDown))
#define ON_WM_SYSKEYUP() AFX_WM(WM_SYSKEYUP, AFX_KEY_(OnSysKeyUp))
#define ON_WM_SYSCHAR() AFX_WM(WM_SYSCHAR, AFX_KEY_(OnSysChar))
#define ON_WM_GETDLGCODE() AFX_WM(WM_GETDLGCODE, a_.result = p_->OnGetDlgCode();)
#define ON_WM_CONTEXTMENU() AFX_WM(WM_CONTEXTMENU, p_->OnContextMenu(AFX_WND_(a_.wParam), AFX_PT_);)
#define ON_WM_SYSCOMMAND() AFX_WM(WM_SYSCOMMAND, p_->OnSysCommand((UINT)a_.wParam, a_.lParam);)
#define ON_WM_HSCROLL() \
  AFX_WM(WM_HSCROLL, p_->OnHScroll(LOWORD(a_.wParam), (short)HIWORD(a_.wParam), (CScrollBar*)AFX_WND_(a_.lParam));)
#define ON_WM_VSCROLL() \
  AFX_WM(WM_VSCROLL, p_->OnVScroll(LOWORD(a_.wParam), (short)HIWORD(a_.wParam), (CScrollBar*)AFX_WND_(a_.lParam));)
#define ON_WM_MEASUREITEM() \
  AFX_WM(WM_MEASUREITEM, p_->OnMeasureItem((int)a_.wParam, (LPMEASUREITEMSTRUCT)a_.lParam); a_.result = TRUE;)
#define ON_WM_DRAWITEM() \
  AFX_WM(WM_DRAWITEM, p_->OnDrawItem((int)a_.wParam, (LPDRAWITEMSTRUCT)a_.lParam); a_.result = TRUE;)
#define ON_WM_INITMENU() AFX_WM(WM_INITMENU, p_->OnInitMenu(CMenu::FromHandle((HMENU)a_.wParam));)
#define ON_WM_INITMENUPOPUP() \
  AFX_WM(WM_INITMENUPOPUP,    \
         p_->OnInitMenuPopup(CMenu::FromHandle((HMENU)a_.wParam), LOWORD(a_.lParam), (BOOL)HIWORD(a_.lParam));)
#define ON_WM_MENUSELECT() \
  AFX_WM(WM_MENUSELECT, p_->OnMenuSelect(LOWORD(a_.wParam), HIWORD(a_.wParam), (HMENU)a_.lParam);)
#define ON_WM_MENUCHAR() \
  AFX_WM(WM_MENUCHAR,    \
         a_.result = p_->OnMenuChar(LOWORD(a_.wParam), HIWORD(a_.wParam), CMenu::FromHandle((HMENU)a_.lParam));)
#define ON_WM_ENTERMENULOOP() AFX_WM(WM_ENTERMENULOOP, p_->OnEnterMenuLoop((BOOL)a_.wParam);)
#define ON_WM_EXITMENULOOP() AFX_WM(WM_EXITMENULOOP, p_->OnExitMenuLoop((BOOL)a_.wParam);)
#define ON_WM_SETTINGCHANGE() AFX_WM(WM_SETTINGCHANGE, p_->OnSettingChange((UINT)a_.wParam, (LPCTSTR)a_.lParam);)
#define ON_WM_SYSCOLORCHANGE() AFX_WM(WM_SYSCOLORCHANGE, p_->OnSysColorChange();)
#define ON_WM_PARENTNOTIFY() AFX_WM(WM_PARENTNOTIFY, p_->OnParentNotify(LOWORD(a_.wParam), a_.lParam);)
#define ON_WM_CTLCOLOR()    \
  AFX_WM(WM_CTLCOLORSTATIC, \
         a_.result = (LRESULT)p_->OnCtlColor(CDC::FromHandle((HDC)a_.wParam), AFX_WND_(a_.lParam), 6);)

// Routes commands and their update requests through message maps.
class CCmdTarget : public CObject {
  DECLARE_DYNAMIC(CCmdTarget)
 public:
  CCmdTarget();
  ~CCmdTarget() override;

  // nCode is CN_COMMAND, CN_UPDATE_COMMAND_UI, a control notification code, or
  // MAKELONG(code, WM_NOTIFY). With pHandlerInfo the call only asks whether a handler exists.
  virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

  // Wait cursor for long operations (counted).
  void BeginWaitCursor();
  void EndWaitCursor();
  void RestoreWaitCursor();

  // Looks a message up in this object's map chain.
  const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT nMessage, UINT nCode, UINT nID) const;

 protected:
  static const AFX_MSGMAP* GetThisMessageMap();
  virtual const AFX_MSGMAP* GetMessageMap() const;
};

// The state of one menu item, toolbar button or other user-interface element during an update.
class CCmdUI {
 public:
  CCmdUI();
  virtual ~CCmdUI() = default;

  UINT m_nID = 0;
  UINT m_nIndex = 0;
  CMenu* m_pMenu = nullptr;     // when updating a menu item
  CMenu* m_pSubMenu = nullptr;  // when the item opens a popup
  CWnd* m_pOther = nullptr;     // when updating another kind of element
  UINT m_nIndexMax = 0;
  CMenu* m_pParentMenu = nullptr;
  BOOL m_bEnableChanged = FALSE;
  BOOL m_bContinueRouting = FALSE;

  virtual void Enable(BOOL bOn = TRUE);
  virtual void SetCheck(int nCheck = 1);  // 0, 1 or 2 (indeterminate)
  virtual void SetRadio(BOOL bOn = TRUE);
  virtual void SetText(LPCTSTR lpszText);
  void ContinueRouting() { m_bContinueRouting = TRUE; }

  // Asks the target's update handler; without one, disables the element when asked to and
  // no command handler exists either.
  BOOL DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHndler);
};
