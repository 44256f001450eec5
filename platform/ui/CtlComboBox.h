// The combo box control's wrapper (window class WC_COMBOBOX, CB_* messages, CBN_* notifications).
//
// As on the platform, the height given at creation is the height with the list dropped; the
// window itself is as high as its field. The drop-down list is a pop-up window that holds the
// mouse while it is open and closes on a click outside.
#pragma once

#include "platform/ui/Controls.h"

class CComboBox : public CControlWnd {
  DECLARE_DYNAMIC(CComboBox)
 public:
  virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  BOOL CreateEx(DWORD dwExStyle, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  int GetCount() const;
  int AddString(LPCTSTR lpszString);
  int InsertString(int nIndex, LPCTSTR lpszString);
  int DeleteString(UINT nIndex);
  void ResetContent();
  int FindString(int nStartAfter, LPCTSTR lpszString) const;
  int FindStringExact(int nIndexStart, LPCTSTR lpszFind) const;
  int SelectString(int nStartAfter, LPCTSTR lpszString);
  int GetLBText(int nIndex, LPTSTR lpszText) const;
  void GetLBText(int nIndex, CString& rString) const;
  int GetLBTextLen(int nIndex) const;
  DWORD_PTR GetItemData(int nIndex) const;
  int SetItemData(int nIndex, DWORD_PTR dwItemData);
  void* GetItemDataPtr(int nIndex) const;
  int SetItemDataPtr(int nIndex, void* pData);
  int GetCurSel() const;
  int SetCurSel(int nSelect);  // sends no notification
  // The edit field.
  BOOL LimitText(int nMaxChars);
  DWORD GetEditSel() const;
  BOOL SetEditSel(int nStartChar, int nEndChar);
  void Clear() { SendMessage(WM_CLEAR); }
  void Copy() { SendMessage(WM_COPY); }
  void Cut() { SendMessage(WM_CUT); }
  void Paste() { SendMessage(WM_PASTE); }
  // The list.
  void ShowDropDown(BOOL bShowIt = TRUE);
  BOOL GetDroppedState() const;
  void GetDroppedControlRect(LPRECT lprect) const;  // screen coordinates, the list included
  int GetDroppedWidth() const;
  int SetDroppedWidth(UINT nWidth);
  int GetItemHeight(int nIndex) const;  // -1: the field
  int SetItemHeight(int nIndex, UINT cyItemHeight);
};
