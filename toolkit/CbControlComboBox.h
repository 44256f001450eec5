// The combo box of the bars: a field with a drop button drawn by the painter, whose list is a
// popup bar holding a list-box window, and which may carry a real edit window for typed text.
// Picking an item executes the control like a button.
#pragma once

#include "toolkit/CbControlPopup.h"
#include "toolkit/CbEdit.h"
#include "toolkit/CbPopupBar.h"

class CCbControlComboBox;

// The open list: a menu-kind window (never focused, left alone by the window manager) that is
// a list box. Kind 6 among the bar positions.
class CCbControlComboBoxList : public CCbPopupBar {
  DECLARE_DYNAMIC(CCbControlComboBoxList)
  DECLARE_MESSAGE_MAP()
 public:
  static constexpr int kPositionList = 6;
  static constexpr int kMaxRows = 12;

  CCbControlComboBoxList();
  ~CCbControlComboBoxList() override;

  // The rows a list of so many items opens with: 1 .. 12.
  static int VisibleRows(int nCount);

  BOOL Popup(CCbControl* pControl, BOOL bKeyboard = FALSE) override;
  BOOL SetTrackingMode(int nMode, BOOL bSelectFirst = TRUE, BOOL bKeyboard = FALSE) override;
  int OnMouseHitTest(CPoint ptScreen) override;
  void OnTrackMouseMove(CPoint) override {}
  BOOL OnHookKeyDown(UINT nChar, LPARAM lParam) override;
  // The list scrolls under the wheel as a list box does.
  BOOL OnHookMouseWheel(WPARAM wParam, LPARAM lParam) override;

  CCbControlComboBox* GetOwnerCombo() const { return m_pCombo; }
  int GetListWidth() const { return m_nListWidth; }
  void SetListWidth(int nWidth) { m_nListWidth = nWidth; }
  int GetClientRectHeight() const {
    CRect rc;
    if (GetSafeHwnd()) GetClientRect(&rc);
    return rc.Height();
  }

  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnMouseMove(UINT nFlags, CPoint point);
  void OnLButtonDown(UINT nFlags, CPoint point);
  void OnLButtonUp(UINT nFlags, CPoint point);
  void OnPaint();
  int OnMouseActivate(CWnd*, UINT, UINT) { return MA_NOACTIVATE; }
  void OnNcPaint();

 protected:
  friend class CCbControlComboBox;
  BOOL CreateListWindow();
  // Hot tracking: the item under a client point becomes the selection.
  void SelectAt(CPoint point);

  CCbControlComboBox* m_pCombo = nullptr;
  int m_nListWidth = 0;
};

// The edit window of a drop-down combo: a child of the bar window.
class CCbControlComboBoxEditCtrl : public CCbEdit {
  DECLARE_DYNAMIC(CCbControlComboBoxEditCtrl)
  DECLARE_MESSAGE_MAP()
 public:
  explicit CCbControlComboBoxEditCtrl(CCbControlComboBox* pCombo) : m_pCombo(pCombo) {}
  void Detach() { m_pCombo = nullptr; }
  BOOL IsContextMenuAllowed() const override;
  CCbCommandBars* GetEditCommandBars() const override;

  void OnSetFocus(CWnd* pOldWnd);
  void OnKillFocus(CWnd* pNewWnd);
  void OnDestroy();

 private:
  CCbControlComboBox* m_pCombo;
};

class CCbControlComboBox : public CCbControlPopup {
  DECLARE_SERIAL(CCbControlComboBox)
 public:
  CCbControlComboBox();
  ~CCbControlComboBox() override;

  // ---- Control slots ----
  BOOL Compare(const CCbControl* pOther) const override;
  void SetEnabled(BOOL bEnabled) override;
  void SetRect(const CRect& rc) override;
  void SetHideFlags(DWORD dwFlags) override;
  void OnExecute() override;
  void OnCalcDynamicSize(DWORD dwMode) override;
  int OnHookKeyDown(UINT nChar, LPARAM lParam) override;
  void SetParent(CCbCommandBar* pBar) override;
  void Copy(const CCbControl* pControl) override;
  void OnSetPopup(BOOL bPopup) override;
  void OnClick(BOOL bKeyboard = FALSE, CPoint pt = CPoint(0, 0)) override;
  void OnMouseHover() override;
  BOOL OnSetSelected(int nState) override;
  void SetWidth(int nWidth) override;
  CCbControl* Clone() const override;
  void DoPropExchange(CCbPropExchange* pPX) override;
  BOOL IsCustomizeResizeAllow() const { return TRUE; }
  int GetCustomizeMinWidth() const { return m_nLabelWidth + m_nDropDownWidth + 5; }

  // ---- Its own ----
  virtual CString GetListBoxText() const;
  virtual CCbControlComboBoxEditCtrl* CreateEditWindow();
  virtual void OnEditSetFocus(CWnd* pWndOld);
  virtual void EndEdit();
  virtual void UpdateShownText();

  // ---- Interfaces ----
  void SetDropDown(BOOL bDropDown);
  BOOL GetDropDown() const { return m_pEdit != nullptr; }
  int GetCurSel() const;
  void SetCurSel(int nIndex);
  int SelectString(LPCTSTR lpszText, BOOL bExact = TRUE);
  CString GetEditText() const;
  // Puts a text in the field (the edit window when there is one).
  void SetEditText(const CString& strText);
  BOOL IsListOpen() const;
  int GetWidth() const { return m_nWidth; }
  DWORD GetComboStyle() const { return m_dwComboStyle; }
  void SetComboStyle(DWORD dw) { m_dwComboStyle = dw; }
  int GetDropDownWidth() const { return m_nDropDownWidth; }
  // Set by the painter when it measures the control.
  void SetDropDownWidth(int nWidth) { m_nDropDownWidth = nWidth; }
  CString GetShownText() const { return m_strEditText; }
  BOOL IsOpen() const { return m_bPopup; }
  // Opens or closes the list as the bar's open popup.
  void OpenList(BOOL bKeyboard = FALSE);
  CCbControlComboBoxList* GetList() const { return m_pList; }
  HWND GetListHwnd() const { return m_pList ? m_pList->GetSafeHwnd() : nullptr; }
  CCbControlComboBoxEditCtrl* GetEditCtrl() const { return m_pEdit; }
  BOOL IsEditFocused() const;

  // List-box messages of the list window (0 / -1 when it does not exist).
  LRESULT SendListMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
  int GetCount() const;
  int AddString(LPCTSTR lpszText);
  void ResetContent();
  CString GetLBText(int nIndex) const;
  void SetItemData(int nIndex, DWORD_PTR dwData);
  DWORD_PTR GetItemData(int nIndex) const;

 protected:
  friend class CCbControlComboBoxEditCtrl;
  // Gives the focus back to the window that had it before the edit was entered.
  void RestoreFocus();
  void DestroyEditWindow();

  // The popup bar the control holds, as the list it is.
  CCbControlComboBoxList* m_pList;
  CCbControlComboBoxEditCtrl* m_pEdit = nullptr;
  DWORD m_dwComboStyle = 0;
  int m_nWidth = 100;
  CString m_strEditText;
  int m_nSavedSel = -1;
  CString m_strSavedText;
  BOOL m_bRecreate = FALSE;
  int m_nLabelWidth = 0;
  int m_nDropDownWidth = 0;
  HWND m_hWndFocusBack = nullptr;
  BOOL m_bEditing = FALSE;

 private:
  // Keys while the edit window has the focus go first to the control.
  struct EditKeys : CCbHookManagerHookAble {
    CCbControlComboBox* combo = nullptr;
    int OnHookMessage(HWND, UINT nMessage, WPARAM& wParam, LPARAM& lParam, LRESULT&) override;
  } m_editKeys;
};
