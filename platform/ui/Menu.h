// Menus: built in code or loaded from menu resources, tracked as popups.
//
// Menu resources are the platform's binary menu templates (type RT_MENU): a header of two
// words, then per item a flags word, a command id word (not for popups) and the
// zero-terminated UTF-16 text, MF_END marking the last item of each level. The program's
// templates are compiled from the resource scripts under resources/ (see UiResources.h).
#pragma once

#include "platform/ui/Wnd.h"

#define RT_MENU MAKEINTRESOURCE(4)
#define RT_STRING MAKEINTRESOURCE(6)
#define RT_ACCELERATOR MAKEINTRESOURCE(9)
#define RT_BITMAP MAKEINTRESOURCE(2)
#define RT_TOOLBAR MAKEINTRESOURCE(241)

struct MENUITEMINFO {
  UINT cbSize;
  UINT fMask;
  UINT fType;
  UINT fState;
  UINT wID;
  HMENU hSubMenu;
  HBITMAP hbmpChecked;
  HBITMAP hbmpUnchecked;
  ULONG_PTR dwItemData;
  LPTSTR dwTypeData;
  UINT cch;
  HBITMAP hbmpItem;
};
typedef MENUITEMINFO* LPMENUITEMINFO;
typedef const MENUITEMINFO* LPCMENUITEMINFO;

struct TPMPARAMS {
  UINT cbSize;
  RECT rcExclude;
};
typedef TPMPARAMS* LPTPMPARAMS;

HMENU CreateMenu();
HMENU CreatePopupMenu();
BOOL DestroyMenu(HMENU hMenu);  // with its submenus
BOOL IsMenu(HMENU hMenu);
HMENU LoadMenu(HINSTANCE hInstance, LPCTSTR lpMenuName);
HMENU LoadMenuIndirect(const void* lpMenuTemplate);
BOOL AppendMenu(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, LPCTSTR lpNewItem);
BOOL InsertMenu(HMENU hMenu, UINT uPosition, UINT uFlags, UINT_PTR uIDNewItem, LPCTSTR lpNewItem);
BOOL ModifyMenu(HMENU hMnu, UINT uPosition, UINT uFlags, UINT_PTR uIDNewItem, LPCTSTR lpNewItem);
BOOL RemoveMenu(HMENU hMenu, UINT uPosition, UINT uFlags);
BOOL DeleteMenu(HMENU hMenu, UINT uPosition, UINT uFlags);
DWORD CheckMenuItem(HMENU hMenu, UINT uIDCheckItem, UINT uCheck);
BOOL CheckMenuRadioItem(HMENU hmenu, UINT first, UINT last, UINT check, UINT flags);
BOOL EnableMenuItem(HMENU hMenu, UINT uIDEnableItem, UINT uEnable);
BOOL SetMenuDefaultItem(HMENU hMenu, UINT uItem, UINT fByPos);
UINT GetMenuDefaultItem(HMENU hMenu, UINT fByPos, UINT gmdiFlags);
int GetMenuItemCount(HMENU hMenu);
UINT GetMenuItemID(HMENU hMenu, int nPos);
UINT GetMenuState(HMENU hMenu, UINT uId, UINT uFlags);
int GetMenuString(HMENU hMenu, UINT uIDItem, LPTSTR lpString, int cchMax, UINT flags);
HMENU GetSubMenu(HMENU hMenu, int nPos);
BOOL GetMenuItemInfo(HMENU hmenu, UINT item, BOOL fByPosition, LPMENUITEMINFO lpmii);
BOOL SetMenuItemInfo(HMENU hmenu, UINT item, BOOL fByPositon, LPCMENUITEMINFO lpmii);
BOOL InsertMenuItem(HMENU hmenu, UINT item, BOOL fByPosition, LPCMENUITEMINFO lpmi);
BOOL SetMenuItemBitmaps(HMENU hMenu, UINT uPosition, UINT uFlags, HBITMAP hBitmapUnchecked, HBITMAP hBitmapChecked);
// Runs the popup modally. With TPM_RETURNCMD returns the chosen command (0 for none);
// otherwise posts WM_COMMAND to the owner and returns nonzero when an item was chosen.
BOOL TrackPopupMenu(HMENU hMenu, UINT uFlags, int x, int y, int nReserved, HWND hWnd, const RECT* prcRect);
BOOL TrackPopupMenuEx(HMENU hMenu, UINT uFlags, int x, int y, HWND hwnd, TPMPARAMS* lptpm);
BOOL EndMenu();
// Screen rectangle of an item of a popup that is showing.
BOOL GetMenuItemRect(HWND hWnd, HMENU hMenu, UINT uItem, LPRECT lprcItem);
int MenuItemFromPoint(HWND hWnd, HMENU hMenu, POINT ptScreen);
LONG GetMenuCheckMarkDimensions();
// The popup windows of the menu being tracked, outermost first (empty when none).
int AfxGetTrackingMenus(HMENU* phMenus, HWND* phWnds, int nMax);

class CMenu : public CObject {
  DECLARE_DYNAMIC(CMenu)
 public:
  HMENU m_hMenu = nullptr;

  CMenu();
  ~CMenu() override;
  CMenu(const CMenu&) = delete;
  CMenu& operator=(const CMenu&) = delete;

  operator HMENU() const { return m_hMenu; }
  HMENU GetSafeHmenu() const { return m_hMenu; }
  // The object attached to the menu, or a wrapper that lives as long as the menu.
  static CMenu* FromHandle(HMENU hMenu);
  static CMenu* FromHandlePermanent(HMENU hMenu);
  // The menu that holds an item being measured (WM_MEASUREITEM carries no menu).
  static CMenu* FindMenuOfItem(UINT nID, ULONG_PTR itemData);

  BOOL Attach(HMENU hMenu);
  HMENU Detach();
  BOOL CreateMenu();
  BOOL CreatePopupMenu();
  BOOL LoadMenu(UINT nIDResource);
  BOOL LoadMenu(LPCTSTR lpszResourceName);
  BOOL LoadMenuIndirect(const void* lpMenuTemplate);
  BOOL DestroyMenu();

  BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, LPCTSTR lpszNewItem = nullptr);
  BOOL InsertMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem = 0, LPCTSTR lpszNewItem = nullptr);
  BOOL ModifyMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem = 0, LPCTSTR lpszNewItem = nullptr);
  BOOL RemoveMenu(UINT nPosition, UINT nFlags);
  BOOL DeleteMenu(UINT nPosition, UINT nFlags);
  UINT CheckMenuItem(UINT nIDCheckItem, UINT nCheck);
  BOOL CheckMenuRadioItem(UINT nIDFirst, UINT nIDLast, UINT nIDItem, UINT nFlags);
  UINT EnableMenuItem(UINT nIDEnableItem, UINT nEnable);
  BOOL SetDefaultItem(UINT uItem, BOOL fByPos = FALSE);
  UINT GetDefaultItem(UINT gmdiFlags, BOOL fByPos = FALSE);
  UINT GetMenuItemCount() const;
  UINT GetMenuItemID(int nPos) const;
  UINT GetMenuState(UINT nID, UINT nFlags) const;
  int GetMenuString(UINT nIDItem, LPTSTR lpString, int nMaxCount, UINT nFlags) const;
  int GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const;
  BOOL GetMenuItemInfo(UINT uItem, LPMENUITEMINFO lpMenuItemInfo, BOOL fByPos = FALSE);
  BOOL SetMenuItemInfo(UINT uItem, LPCMENUITEMINFO lpMenuItemInfo, BOOL fByPos = FALSE);
  BOOL InsertMenuItem(UINT uItem, LPCMENUITEMINFO lpMenuItemInfo, BOOL fByPos = FALSE);
  BOOL SetMenuItemBitmaps(UINT nPosition, UINT nFlags, const class CBitmap* pBmpUnchecked,
                          const class CBitmap* pBmpChecked);
  CMenu* GetSubMenu(int nPos) const;
  BOOL TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect = nullptr);
  BOOL TrackPopupMenuEx(UINT fuFlags, int x, int y, CWnd* pWnd, LPTPMPARAMS lptpm);

  // Owner-drawn items (MF_OWNERDRAW): reached through the owner's WM_MEASUREITEM/WM_DRAWITEM.
  virtual void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct);
  virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
};
