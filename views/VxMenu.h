// The program's owner-drawn context menus: a flat white face, a grey picture column with the
// toolbar pictures of the commands, hand-drawn check marks and right-aligned shortcuts.
#pragma once

#include "platform/ui/AfxWin.h"

#include <map>
#include <memory>
#include <utility>
#include <vector>

// The pictures of one toolbar: its bitmap strip and the commands of its buttons in order.
struct VxToolbarPictures {
  CBitmap bitmap;
  std::vector<UINT> commands;  // separators left out, so the index is the picture's
  int Find(UINT nID) const;
};

class VxMenuData {
 public:
  CString text;
  int nImageIndex = -1;
  int nToolbarID = -1;
  UINT nFlags = MF_OWNERDRAW;
  UINT_PTR nID = 0;  // command id, or the submenu handle of a popup item
  BOOL bInUse = FALSE;
  // Shared with the other items of the same toolbar; loaded once, not at every paint.
  std::shared_ptr<VxToolbarPictures> pictures;
};

class VxMenu : public CMenu {
  DECLARE_DYNAMIC(VxMenu)
 public:
  static constexpr int kPictureWidth = 16;
  static constexpr int kPictureHeight = 15;

  VxMenu();
  ~VxMenu() override;

  void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
  void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct) override;
  virtual BOOL LoadFromResource(UINT nIDResource);
  virtual BOOL LoadFromResource(LPCTSTR lpszResourceName);
  // Frees the submenus, every item's data and the menu itself, so the object can load again.
  virtual void DestroyItems();

  // A command id of 0 makes a separator; with a toolbar id the command's picture is taken.
  BOOL AppendOwnerDrawnItem(LPCTSTR lpszText, UINT nFlags, UINT_PTR nID, int nToolbarID = -1);
  // Gives the item of the command (here or in a submenu) the command's picture from the
  // toolbar, and a new text when one is given.
  BOOL SetItemIcon(LPCTSTR lpszText, UINT nID, int nToolbarID);
  // Gives the item of the command (here or in a submenu) the first 16 x 15 picture of a bitmap
  // resource, for pictures that no toolbar holds; FALSE without the item or the bitmap.
  BOOL SetItemBitmap(UINT nID, UINT nBitmapID);
  // Pictures for every command of the toolbar that the menu holds; FALSE without the toolbar.
  BOOL ApplyToolbarIcons(int nToolbarID);
  // Brings the item data in line with the items after other code changed the menu.
  void SyncItems();
  static void SyncIfVxMenu(CMenu* pMenu);
  // The menu (this or a submenu) and the position that hold the command; (nullptr, -1) if none.
  std::pair<VxMenu*, int> FindItem(UINT nID);

  // The background colour keyed out of the pictures.
  void SetMaskColour(COLORREF clr, BOOL bUse = TRUE) {
    m_clrMask = clr;
    m_bUseMaskColour = bUse;
  }
  COLORREF GetMaskColour() const { return m_bUseMaskColour ? m_clrMask : ::GetSysColor(COLOR_BTNFACE); }
  // Optional pictures for checked items without a picture of their own; shared with submenus.
  void SetCheckMarkPictures(std::shared_ptr<CBitmap> pictures, int nChecked, int nUnchecked);

  const VxMenuData* GetItemData(UINT nPos) const;  // by position; nullptr when none

 private:
  VxMenuData* FindData(UINT nID);
  VxMenuData* NewData();
  void FreeData();
  void AlignShortcuts();
  std::shared_ptr<VxToolbarPictures> LoadToolbar(int nToolbarID);
  BOOL LoadPicture(VxMenuData* pData, int nToolbarID);
  void DrawPicture(CDC* pDC, const VxMenuData* pData, int x, int y, BOOL bEmbossed) const;

  std::vector<std::unique_ptr<VxMenuData>> m_data;
  std::vector<std::unique_ptr<VxMenu>> m_subMenus;
  std::shared_ptr<CBitmap> m_checkPictures;
  int m_nCheckedPicture = -1;
  int m_nUncheckedPicture = -1;
  // Toolbars loaded so far, shared by a menu and its submenus until the items are destroyed.
  std::shared_ptr<std::map<int, std::shared_ptr<VxToolbarPictures>>> m_toolbars;
  // The pictures' own grey background is keyed out, whatever the button face is.
  COLORREF m_clrMask = RGB(192, 192, 192);
  BOOL m_bUseMaskColour = TRUE;
};
