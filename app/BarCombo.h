// The date combos of the main window's bar. The frame reaches them only through IBarCombo,
// which the command-bar toolkit's combos implement as well; until that toolkit is in place
// the combos are plain windows on a strip under the menu bar. Picking an item posts the
// same private message to the main window as the toolkit's combos do.
#pragma once

#include "platform/ui/AfxWin.h"

#include <vector>

class IBarCombo {
 public:
  virtual ~IBarCombo() = default;
  virtual void ResetContent() = 0;
  virtual int AddString(LPCTSTR lpszText) = 0;
  virtual int GetCount() const = 0;
  virtual CString GetItemText(int nIndex) const = 0;
  virtual void SetItemData(int nIndex, DWORD_PTR dwData) = 0;
  virtual DWORD_PTR GetItemData(int nIndex) const = 0;
  virtual int GetCurSel() const = 0;
  virtual void SetCurSel(int nIndex) = 0;
  virtual CString GetEditText() const = 0;
  virtual void SetEditText(LPCTSTR lpszText) = 0;
  virtual void SetEnabled(BOOL bEnabled) = 0;
  virtual BOOL GetEnabled() const = 0;
};

// A drop-down list drawn as a box with an arrow; its list opens as a pop-up menu.
class CStripCombo : public CWnd, public IBarCombo {
  DECLARE_DYNAMIC(CStripCombo)
  DECLARE_MESSAGE_MAP()
 public:
  CStripCombo(UINT nNotifyMessage, UINT nCommandId) : m_nNotify(nNotifyMessage), m_nCommandId(nCommandId) {}
  BOOL Create(const RECT& rect, CWnd* pParent);
  UINT GetCommandId() const { return m_nCommandId; }

  void ResetContent() override;
  int AddString(LPCTSTR lpszText) override;
  int GetCount() const override { return (int)m_items.size(); }
  CString GetItemText(int nIndex) const override;
  void SetItemData(int nIndex, DWORD_PTR dwData) override;
  DWORD_PTR GetItemData(int nIndex) const override;
  int GetCurSel() const override { return m_nSel; }
  void SetCurSel(int nIndex) override;
  CString GetEditText() const override;
  void SetEditText(LPCTSTR lpszText) override;
  void SetEnabled(BOOL bEnabled) override;
  BOOL GetEnabled() const override { return m_bEnabled; }

  // What a user's pick does: select the item and tell the main window.
  void Pick(int nIndex);
  // Opens the list under the box (a click on the box does this too).
  void DropDown();

  void OnPaint();
  void OnLButtonDown(UINT nFlags, CPoint point);
  BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);

 private:
  struct Item {
    CString text;
    DWORD_PTR data;
  };
  std::vector<Item> m_items;
  int m_nSel = -1;
  BOOL m_bEnabled = TRUE;
  CString m_strEdit;
  UINT m_nNotify;
  UINT m_nCommandId;
};

class CDayCombo : public CStripCombo {
 public:
  CDayCombo();
};
class CMonthCombo : public CStripCombo {
 public:
  CMonthCombo();
};
class CYearCombo : public CStripCombo {
 public:
  CYearCombo();
};

// The strip under the menu bar: Previous, the day, month and year combos, Next.
class CDateStrip : public CControlBar {
  DECLARE_DYNAMIC(CDateStrip)
  DECLARE_MESSAGE_MAP()
 public:
  static constexpr int kHeight = 30;
  BOOL Create(CWnd* pParent, UINT nID);
  CDayCombo m_dayCombo;
  CMonthCombo m_monthCombo;
  CYearCombo m_yearCombo;
  CButton m_previous, m_next;

  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
  void OnUpdateCmdUI(CWnd* pTarget, BOOL) override { UpdateState(pTarget); }
  int OnCreate(LPCREATESTRUCT lpcs);
  void OnPaint();
  // Enables the buttons and combos by the frame's update handlers.
  void UpdateState(CCmdTarget* pTarget);

 private:
  CFont m_font;
};
