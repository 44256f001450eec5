// The tooltip control (window class TOOLTIPS_CLASS): tools by rectangle or by window, shown as
// a top-level pop-up in the info colours after the initial delay, hidden after the pop-up
// delay, on a click, or when the pointer leaves the tool. Mouse messages reach it through
// RelayEvent, or by itself for tools added with TTF_SUBCLASS.
#pragma once

#include "platform/ui/Controls.h"

#define TOOLTIPS_CLASS "tooltips_class32"

#define TTS_ALWAYSTIP 0x01
#define TTS_NOPREFIX 0x02
#define TTS_NOANIMATE 0x10
#define TTS_NOFADE 0x20
#define TTS_BALLOON 0x40
#define TTS_CLOSE 0x80

#define TTF_IDISHWND 0x0001
#define TTF_CENTERTIP 0x0002
#define TTF_RTLREADING 0x0004
#define TTF_SUBCLASS 0x0010
#define TTF_TRACK 0x0020
#define TTF_ABSOLUTE 0x0080
#define TTF_TRANSPARENT 0x0100
#define TTF_PARSELINKS 0x1000
#define TTF_DI_SETITEM 0x8000

#define TTDT_AUTOMATIC 0
#define TTDT_RESHOW 1
#define TTDT_AUTOPOP 2
#define TTDT_INITIAL 3

#define TTM_ACTIVATE (WM_USER + 1)
#define TTM_SETDELAYTIME (WM_USER + 3)
#define TTM_ADDTOOL (WM_USER + 4)
#define TTM_DELTOOL (WM_USER + 5)
#define TTM_NEWTOOLRECT (WM_USER + 6)
#define TTM_RELAYEVENT (WM_USER + 7)
#define TTM_GETTOOLINFO (WM_USER + 8)
#define TTM_SETTOOLINFO (WM_USER + 9)
#define TTM_HITTEST (WM_USER + 10)
#define TTM_GETTEXT (WM_USER + 11)
#define TTM_UPDATETIPTEXT (WM_USER + 12)
#define TTM_GETTOOLCOUNT (WM_USER + 13)
#define TTM_ENUMTOOLS (WM_USER + 14)
#define TTM_GETCURRENTTOOL (WM_USER + 15)
#define TTM_WINDOWFROMPOINT (WM_USER + 16)
#define TTM_TRACKACTIVATE (WM_USER + 17)
#define TTM_TRACKPOSITION (WM_USER + 18)
#define TTM_SETTIPBKCOLOR (WM_USER + 19)
#define TTM_SETTIPTEXTCOLOR (WM_USER + 20)
#define TTM_GETDELAYTIME (WM_USER + 21)
#define TTM_GETTIPBKCOLOR (WM_USER + 22)
#define TTM_GETTIPTEXTCOLOR (WM_USER + 23)
#define TTM_SETMAXTIPWIDTH (WM_USER + 24)
#define TTM_GETMAXTIPWIDTH (WM_USER + 25)
#define TTM_SETMARGIN (WM_USER + 26)
#define TTM_GETMARGIN (WM_USER + 27)
#define TTM_POP (WM_USER + 28)
#define TTM_UPDATE (WM_USER + 29)
#define TTM_POPUP (WM_USER + 34)

#define TTN_FIRST (0U - 520U)
#define TTN_GETDISPINFO (TTN_FIRST - 0)
#define TTN_NEEDTEXT TTN_GETDISPINFO
#define TTN_SHOW (TTN_FIRST - 1)
#define TTN_POP (TTN_FIRST - 2)

#ifndef LPSTR_TEXTCALLBACK
#define LPSTR_TEXTCALLBACK ((LPTSTR)-1L)
#endif

struct TOOLINFO {
  UINT cbSize;
  UINT uFlags;
  HWND hwnd;     // the window that holds the tool and gets its notifications
  UINT_PTR uId;  // the tool's id, or the tool's window with TTF_IDISHWND
  RECT rect;     // in hwnd's client coordinates
  HINSTANCE hinst;
  LPTSTR lpszText;  // text, a string resource id with hinst, or LPSTR_TEXTCALLBACK
  LPARAM lParam;
  void* lpReserved;
};
typedef TOOLINFO* LPTOOLINFO;
typedef TOOLINFO TTTOOLINFO;

struct TTHITTESTINFO {
  HWND hwnd;
  POINT pt;
  TOOLINFO ti;
};
typedef TTHITTESTINFO* LPTTHITTESTINFO;

struct NMTTDISPINFO {
  NMHDR hdr;
  LPTSTR lpszText;
  char szText[80];
  HINSTANCE hinst;
  UINT uFlags;
  LPARAM lParam;
};
typedef NMTTDISPINFO* LPNMTTDISPINFO;
typedef NMTTDISPINFO TOOLTIPTEXT;
typedef NMTTDISPINFO* LPTOOLTIPTEXT;

class CToolInfo : public TOOLINFO {
 public:
  CToolInfo() : TOOLINFO{sizeof(TOOLINFO), 0, nullptr, 0, {}, nullptr, m_szText, 0, nullptr} { m_szText[0] = 0; }
  char m_szText[256];
};

class CToolTipCtrl : public CControlWnd {
  DECLARE_DYNAMIC(CToolTipCtrl)
 public:
  virtual BOOL Create(CWnd* pParentWnd, DWORD dwStyle = 0);
  BOOL CreateEx(CWnd* pParentWnd, DWORD dwStyle = 0, DWORD dwStyleEx = 0);
  // A tool by rectangle (nIDTool != 0) or the whole window pWnd (rectangle null, id 0).
  BOOL AddTool(CWnd* pWnd, LPCTSTR lpszText = LPSTR_TEXTCALLBACK, LPCRECT lpRectTool = nullptr, UINT_PTR nIDTool = 0);
  BOOL AddTool(CWnd* pWnd, UINT nIDText, LPCRECT lpRectTool = nullptr, UINT_PTR nIDTool = 0);
  void DelTool(CWnd* pWnd, UINT_PTR nIDTool = 0);
  void RelayEvent(LPMSG lpMsg);
  void UpdateTipText(LPCTSTR lpszText, CWnd* pWnd, UINT_PTR nIDTool = 0);
  void UpdateTipText(UINT nIDText, CWnd* pWnd, UINT_PTR nIDTool = 0);
  void SetToolRect(CWnd* pWnd, UINT_PTR nIDTool, LPCRECT lpRect);
  void GetText(CString& str, CWnd* pWnd, UINT_PTR nIDTool = 0) const;
  BOOL GetToolInfo(CToolInfo& ToolInfo, CWnd* pWnd, UINT_PTR nIDTool = 0) const;
  void SetToolInfo(LPTOOLINFO lpToolInfo);
  BOOL HitTest(CWnd* pWnd, CPoint pt, LPTOOLINFO lpToolInfo) const;
  int GetToolCount() const;
  void Activate(BOOL bActivate);
  int SetMaxTipWidth(int iWidth);
  int GetMaxTipWidth() const;
  void SetDelayTime(UINT nDelay);  // the initial delay, the others from it
  void SetDelayTime(DWORD dwDuration, int iTime);
  int GetDelayTime(DWORD dwDuration) const;
  void SetTipBkColor(COLORREF clr);
  void SetTipTextColor(COLORREF clr);
  COLORREF GetTipBkColor() const;
  COLORREF GetTipTextColor() const;
  void SetMargin(LPRECT lprc);
  void GetMargin(LPRECT lprc) const;
  void Pop();
  void Update();
};
