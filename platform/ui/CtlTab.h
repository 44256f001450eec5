// The tab control (window class WC_TABCONTROL): one row of tabs over a page, switched by a
// click or the arrow keys. The parent may refuse a switch by answering TCN_SELCHANGING with
// TRUE; TCN_SELCHANGE follows an accepted one. SetCurSel, the program's own switch, is silent.
#pragma once

#include "platform/ui/Controls.h"

#define WC_TABCONTROL "SysTabControl32"

#define TCS_SCROLLOPPOSITE 0x0001
#define TCS_BOTTOM 0x0002
#define TCS_RIGHT 0x0002
#define TCS_MULTISELECT 0x0004
#define TCS_FLATBUTTONS 0x0008
#define TCS_FORCEICONLEFT 0x0010
#define TCS_FORCELABELLEFT 0x0020
#define TCS_HOTTRACK 0x0040
#define TCS_VERTICAL 0x0080
#define TCS_TABS 0x0000
#define TCS_BUTTONS 0x0100
#define TCS_SINGLELINE 0x0000
#define TCS_MULTILINE 0x0200
#define TCS_RIGHTJUSTIFY 0x0000
#define TCS_FIXEDWIDTH 0x0400
#define TCS_RAGGEDRIGHT 0x0800
#define TCS_FOCUSONBUTTONDOWN 0x1000
#define TCS_OWNERDRAWFIXED 0x2000
#define TCS_TOOLTIPS 0x4000
#define TCS_FOCUSNEVER 0x8000

#define TCM_FIRST 0x1300
#define TCM_GETIMAGELIST (TCM_FIRST + 2)
#define TCM_SETIMAGELIST (TCM_FIRST + 3)
#define TCM_GETITEMCOUNT (TCM_FIRST + 4)
#define TCM_GETITEM (TCM_FIRST + 5)
#define TCM_SETITEM (TCM_FIRST + 6)
#define TCM_INSERTITEM (TCM_FIRST + 7)
#define TCM_DELETEITEM (TCM_FIRST + 8)
#define TCM_DELETEALLITEMS (TCM_FIRST + 9)
#define TCM_GETITEMRECT (TCM_FIRST + 10)
#define TCM_GETCURSEL (TCM_FIRST + 11)
#define TCM_SETCURSEL (TCM_FIRST + 12)
#define TCM_HITTEST (TCM_FIRST + 13)
#define TCM_SETITEMEXTRA (TCM_FIRST + 14)
#define TCM_ADJUSTRECT (TCM_FIRST + 40)
#define TCM_SETITEMSIZE (TCM_FIRST + 41)
#define TCM_SETPADDING (TCM_FIRST + 43)
#define TCM_GETROWCOUNT (TCM_FIRST + 44)
#define TCM_GETCURFOCUS (TCM_FIRST + 47)
#define TCM_SETCURFOCUS (TCM_FIRST + 48)
#define TCM_SETMINTABWIDTH (TCM_FIRST + 49)

#define TCIF_TEXT 0x0001
#define TCIF_IMAGE 0x0002
#define TCIF_RTLREADING 0x0004
#define TCIF_PARAM 0x0008
#define TCIF_STATE 0x0010
#define TCIS_BUTTONPRESSED 0x0001
#define TCIS_HIGHLIGHTED 0x0002

#define TCHT_NOWHERE 0x0001
#define TCHT_ONITEMICON 0x0002
#define TCHT_ONITEMLABEL 0x0004
#define TCHT_ONITEM (TCHT_ONITEMICON | TCHT_ONITEMLABEL)

#define TCN_FIRST (0U - 550U)
#define TCN_KEYDOWN (TCN_FIRST - 0)
#define TCN_SELCHANGE (TCN_FIRST - 1)
#define TCN_SELCHANGING (TCN_FIRST - 2)

struct TCITEM {
  UINT mask;
  DWORD dwState;
  DWORD dwStateMask;
  LPTSTR pszText;
  int cchTextMax;
  int iImage;
  LPARAM lParam;
};
typedef TCITEM* LPTCITEM;
typedef TCITEM TC_ITEM;

struct TCHITTESTINFO {
  POINT pt;
  UINT flags;
};
typedef TCHITTESTINFO* LPTCHITTESTINFO;

struct NMTCKEYDOWN {
  NMHDR hdr;
  WORD wVKey;
  UINT flags;
};

class CTabCtrl : public CControlWnd {
  DECLARE_DYNAMIC(CTabCtrl)
 public:
  virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  int GetItemCount() const;
  BOOL GetItem(int nItem, TCITEM* pTabCtrlItem) const;
  BOOL SetItem(int nItem, TCITEM* pTabCtrlItem);
  LONG InsertItem(int nItem, TCITEM* pTabCtrlItem);
  LONG InsertItem(int nItem, LPCTSTR lpszItem);
  LONG InsertItem(int nItem, LPCTSTR lpszItem, int nImage);
  LONG InsertItem(UINT nMask, int nItem, LPCTSTR lpszItem, int nImage, LPARAM lParam);
  BOOL DeleteItem(int nItem);
  BOOL DeleteAllItems();
  BOOL GetItemRect(int nItem, LPRECT lpRect) const;
  int GetCurSel() const;
  int SetCurSel(int nItem);  // sends no notification
  int GetCurFocus() const;
  void SetCurFocus(int nItem);
  int HitTest(TCHITTESTINFO* pHitTestInfo) const;
  // Display area from window area (bLarger FALSE) or the other way round.
  void AdjustRect(BOOL bLarger, LPRECT lpRect);
  CSize SetItemSize(CSize size);
  void SetPadding(CSize size);
  int GetRowCount() const;
  int SetMinTabWidth(int cx);
};
