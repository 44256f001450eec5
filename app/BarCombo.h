// The combos of the main window's bars: day, month and year on "Standard", region and stream
// time on "Map". They are the toolkit's bar combos; the frame reaches them through IBarCombo,
// and each tells the main window of a pick by posting its private message.
#pragma once

#include "model/QsDateTime.h"
#include "toolkit/CbControlComboBox.h"

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

// The toolkit combo seen through IBarCombo.
class CBarComboBox : public CCbControlComboBox, public IBarCombo {
  DECLARE_DYNAMIC(CBarComboBox)
 public:
  void ResetContent() override { CCbControlComboBox::ResetContent(); }
  int AddString(LPCTSTR lpszText) override { return CCbControlComboBox::AddString(lpszText); }
  int GetCount() const override { return CCbControlComboBox::GetCount(); }
  CString GetItemText(int nIndex) const override { return GetLBText(nIndex); }
  void SetItemData(int nIndex, DWORD_PTR dwData) override { CCbControlComboBox::SetItemData(nIndex, dwData); }
  DWORD_PTR GetItemData(int nIndex) const override { return CCbControlComboBox::GetItemData(nIndex); }
  int GetCurSel() const override { return CCbControlComboBox::GetCurSel(); }
  void SetCurSel(int nIndex) override { CCbControlComboBox::SetCurSel(nIndex); }
  CString GetEditText() const override { return CCbControlComboBox::GetEditText(); }
  void SetEditText(LPCTSTR lpszText) override { CCbControlComboBox::SetEditText(lpszText ? lpszText : ""); }
  void SetEnabled(BOOL bEnabled) override { CCbControlComboBox::SetEnabled(bEnabled); }
  BOOL GetEnabled() const override { return CCbControl::GetEnabled(); }

 protected:
  // Posts the message to the application's main window.
  static void PostToMain(UINT nMessage, WPARAM wParam);
};

class CDayCombo : public CBarComboBox {
  DECLARE_DYNAMIC(CDayCombo)
 public:
  ~CDayCombo() override;
  void OnExecute() override;
};

class CMonthCombo : public CBarComboBox {
  DECLARE_DYNAMIC(CMonthCombo)
 public:
  ~CMonthCombo() override;
  void OnExecute() override;
};

class CYearCombo : public CBarComboBox {
  DECLARE_DYNAMIC(CYearCombo)
 public:
  ~CYearCombo() override;
  void OnExecute() override;
};

// The chart's region: item data is the region bit.
class CMapPickerCombo : public CBarComboBox {
  DECLARE_DYNAMIC(CMapPickerCombo)
 public:
  explicit CMapPickerCombo(CWnd* pFrame = nullptr) : m_pFrame(pFrame) {}
  ~CMapPickerCombo() override;
  void OnExecute() override;
  void UpdateShownText() override { CBarComboBox::UpdateShownText(); }
  // The four regions with their bits, in the list's order.
  void AddRegions();

 private:
  CWnd* m_pFrame;
};

// The time of day of the chart's streams: picked from the hours or typed.
class CStreamTimeCombo : public CBarComboBox {
  DECLARE_DYNAMIC(CStreamTimeCombo)
 public:
  explicit CStreamTimeCombo(CWnd* pFrame = nullptr);
  ~CStreamTimeCombo() override;

  void OnExecute() override;
  int OnHookKeyDown(UINT nChar, LPARAM lParam) override;
  void OnEditSetFocus(CWnd* pWndOld) override;
  void EndEdit() override;
  void UpdateShownText() override;
  void OnSetPopup(BOOL bPopup) override;

  CQsDateTime GetTime() const { return m_time; }
  // The 24 hours "00:00" .. "23:00" with the locale's separator.
  void AddHours();
  // "hh<sep>mm" of a time with the locale's separator.
  static CString FormatTime(const CQsDateTime& time);
  // Reads a typed time: "hh<sep>mm", or an hour alone ("7"). FALSE leaves time unchanged.
  static BOOL ParseTypedTime(const CString& strText, CQsDateTime& time);

 private:
  void Notify();
  CWnd* m_pFrame;
  CQsDateTime m_time{2005, 1, 1, 12, 0, 0};
  // What the chart was last told, so leaving the edit after Enter says nothing twice.
  CQsDateTime m_posted{2005, 1, 1, 12, 0, 0};
  // Restored by Esc: the time and text when the list opened or typing began.
  CQsDateTime m_savedTime;
  CString m_strTimeText;
  BOOL m_bExecuted = FALSE;
  BOOL m_bCancelEdit = FALSE;
  int m_nPosts = 0;
};
