// Every bar of one frame: the toolbars, the four dock bars and the bars' options; and the
// frame base that hosts them.
#pragma once

#include "toolkit/CbDockBar.h"
#include "toolkit/CbPropExchange.h"

#include <map>

class CCbCommandBarsOptions : public CCmdTarget {
  DECLARE_DYNAMIC(CCbCommandBarsOptions)
 public:
  explicit CCbCommandBarsOptions(CCbCommandBars* pOwner) : m_pOwner(pOwner) {}
  CCbCommandBars* GetOwner() const { return m_pOwner; }
  // Both directions in one routine; the painter's icon options go with them.
  void DoPropExchange(CCbPropExchange* pPX);
  // The exchange over the archive, for the length of the call.
  void Serialize(CArchive& ar) override;
  BOOL bAlwaysShowFullMenus = TRUE;
  BOOL bShowFullAfterDelay = TRUE;
  BOOL bToolBarScreenTips = TRUE;
  BOOL bToolBarAccelTips = FALSE;
  BOOL bLargeIcons = FALSE;
  BOOL bSyncFloatingBars = TRUE;
  BOOL bShowExpandButtonAlways = TRUE;
  BOOL bDblClickFloat = FALSE;
  BOOL bShowTextBelowIcons = FALSE;
  BOOL bAltDragCustomization = TRUE;
  BOOL bAutoHideUnusedPopups = TRUE;
  BOOL bDirty = FALSE;
  int animationType = 0;
  CSize szIcons = CSize(0, 0);
  CSize szLargeIcons = CSize(0, 0);
  CSize szPopupIcons = CSize(16, 16);
  std::map<UINT, BOOL> m_mapHiddenCommands;
  std::map<UINT, BOOL> m_mapUsedCommands;

 private:
  CCbCommandBars* m_pOwner;
};

class CCbCommandBars : public CCmdTarget, public CCbRefCounted {
  DECLARE_DYNCREATE(CCbCommandBars)
 public:
  CCbCommandBars();
  ~CCbCommandBars() override;

  virtual BOOL IsCommandHidden(UINT nID) const;
  virtual BOOL IsControlHidden(CCbControl* pControl) const;
  virtual int GetActiveMenuId() const { return 0; }

  void SetSite(CWnd* pFrame);
  CWnd* GetSite() const { return m_pFrame; }
  // Throws the framework's resource exception when a dock bar can't be made.
  void CreateDockBars();
  // A toolbar titled so, docked at the position (0..3) or floating (4); nullptr on failure.
  CCbToolBar* Add(const CString& strName, int nBarPosition, CRuntimeClass* pToolbarClass = nullptr);
  BOOL DockCommandBar(CCbToolBar* pBar, LPCRECT lpRect, CCbDockBar* pDockBar);
  BOOL DockCommandBar(CCbToolBar* pBar, int nDockBar);
  // Makes the bar a floating window owned by the site, out of its dock bar.
  BOOL FloatCommandBar(CCbToolBar* pBar);
  void RemoveToolBar(CCbToolBar* pBar);
  CCbToolBar* GetToolBar(UINT nBarID) const;
  CCbToolBar* GetAt(int nIndex) const;
  int GetCount() const { return (int)m_arrBars.size(); }
  CCbDockBar* GetDockBar(int nIndex) const { return nIndex >= 0 && nIndex < 4 ? m_pDocks[nIndex] : nullptr; }
  void ToggleVisible(int nIndex);
  void RecalcFrameLayout(BOOL bDelay = FALSE);
  void LockLayout(BOOL bLock) { m_bLayoutLocked = bLock; }

  CCbPaintManager* GetPaintManager() const;
  CCbImageManager* GetImageManager() const;
  CCbCommandBarsOptions* GetCommandBarsOptions() const { return m_pOptions; }
  BOOL IsCustomizeMode() const { return FALSE; }
  // The frame's messages before its own handling; TRUE when handled.
  BOOL OnFrameWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  BOOL PreTranslateFrameMessage(MSG* pMsg);
  // The bar edit (a combo's edit on a bar) that has the focus, or none.
  static class CCbEdit* GetFocusedBarEdit();
  // A key the focused bar edit takes before the frame's accelerators: all but Tab, Enter and Esc.
  static BOOL IsBarEditKey(const MSG* pMsg);

  // ---- Menus ----
  // The frame's menu bar made from a menu resource and docked at the top; nullptr on failure.
  class CCbMenuBar* SetMenu(const CString& strName, UINT nID);
  class CCbMenuBar* GetMenuBar() const;
  // Shows a popup modally at the point, kept clear of the rectangle. TPM_RETURNCMD: returns the
  // chosen command (0 for none) instead of running it; otherwise TRUE, or 0 when it could not open.
  // The popup's last reference may be the caller's.
  UINT TrackPopupBar(class CCbPopupBar* pPopup, UINT nFlags, int x, int y, LPCRECT rcExclude = nullptr,
                     CWnd* pOwner = nullptr);
  // The toolbars menu at a screen point (a right click on a bar); nothing when it would be empty.
  void ContextMenu(int x, int y);
  // A new popup listing the closeable toolbars, each checked while visible; the caller's reference.
  class CCbPopupBar* GetToolbarsPopup();
  // The toolbar expand popup: the row's controls that had no room, and a menu per toolbar.
  void AddHiddenControls(CCbToolBar* pBar, class CCbPopupBar* pPopup);
  void FillExpandPopup(CCbToolBar* pBar, class CCbPopupBar* pPopup);
  // Records that a command ran.
  void SetCommandUsed(UINT nID) { m_pOptions->m_mapUsedCommands[nID] = TRUE; }

 private:
  CCbCommandBarsOptions* m_pOptions;
  std::vector<CCbToolBar*> m_arrBars;
  CCbDockBar* m_pDocks[4] = {};
  CWnd* m_pFrame = nullptr;
  BOOL m_bCustomizeAvail = FALSE;
  BOOL m_bLayoutLocked = FALSE;
};

// The frame base: hosts the frame's command bars and gives them its messages first.
template <class TBase>
class CCbFrameWndBase : public TBase {
 public:
  CCbFrameWndBase() = default;
  ~CCbFrameWndBase() override {
    if (m_pCommandBars) m_pCommandBars->InternalRelease();
  }
  // FALSE when the bars can't be made (the creation handler then fails).
  virtual BOOL InitCommandBars(CRuntimeClass* pCommandBarsClass = nullptr);
  CCbCommandBars* GetCommandBars() const { return m_pCommandBars; }

  BOOL PreTranslateMessage(MSG* pMsg) override {
    // Typing in a bar edit: Ctrl+C, F9 and the like are the edit's, not the frame's shortcuts.
    if (CCbCommandBars::IsBarEditKey(pMsg)) return FALSE;
    if (TBase::PreTranslateMessage(pMsg)) return TRUE;
    return m_pCommandBars && m_pCommandBars->PreTranslateFrameMessage(pMsg);
  }
  BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
  void RecalcLayout(BOOL bNotify = TRUE) override { TBase::RecalcLayout(bNotify); }

 protected:
  CCbCommandBars* m_pCommandBars = nullptr;
};

class CCbFrameWnd : public CCbFrameWndBase<CFrameWnd> {
  DECLARE_DYNAMIC(CCbFrameWnd)
};

// Implemented over CFrameWnd in CbCommandBars.cpp.
extern template class CCbFrameWndBase<CFrameWnd>;
