// The list box control's wrapper (window class WC_LISTBOX, LB_* messages, LBN_* notifications).
#pragma once

#include "platform/ui/Controls.h"

class CListBox : public CControlWnd {
  DECLARE_DYNAMIC(CListBox)
 public:
  virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  BOOL CreateEx(DWORD dwExStyle, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  int GetCount() const;
  int AddString(LPCTSTR lpszItem);
  int InsertString(int nIndex, LPCTSTR lpszItem);
  int DeleteString(UINT nIndex);
  void ResetContent();
  int GetText(int nIndex, LPTSTR lpszBuffer) const;
  void GetText(int nIndex, CString& rString) const;
  int GetTextLen(int nIndex) const;
  DWORD_PTR GetItemData(int nIndex) const;
  int SetItemData(int nIndex, DWORD_PTR dwItemData);
  void* GetItemDataPtr(int nIndex) const;
  int SetItemDataPtr(int nIndex, void* pData);
  // Single selection.
  int GetCurSel() const;
  int SetCurSel(int nSelect);
  // Multiple selection.
  int GetSel(int nIndex) const;
  int SetSel(int nIndex, BOOL bSelect = TRUE);
  int GetSelCount() const;
  int GetSelItems(int nMaxItems, LPINT rgIndex) const;
  int FindString(int nStartAfter, LPCTSTR lpszItem) const;
  int FindStringExact(int nIndexStart, LPCTSTR lpszFind) const;
  int SelectString(int nStartAfter, LPCTSTR lpszItem);
  int GetTopIndex() const;
  int SetTopIndex(int nIndex);
  int GetItemRect(int nIndex, LPRECT lpRect) const;
  int GetItemHeight(int nIndex) const;
  int SetItemHeight(int nIndex, UINT cyItemHeight);
  int GetCaretIndex() const;
  int SetCaretIndex(int nIndex, BOOL bScroll = TRUE);
  UINT ItemFromPoint(CPoint pt, BOOL& bOutside) const;
};
