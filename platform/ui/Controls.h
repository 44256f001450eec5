// The standard controls as windows: edit, buttons, static, the up-down
// control and the slider. Each is a window of its platform class name (WC_EDIT, ...) with the
// platform's messages and notifications; the classes below are the framework's wrappers.
//
// A control's own behaviour runs as its default window procedure, after the object's message
// map: a derived class that handles WM_CHAR and calls the base handler (or not) filters input
// as on the platform. Notifications go to the parent as WM_COMMAND or WM_NOTIFY.
#pragma once

#include "platform/ui/CtlConst.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/Wnd.h"

// Registers the control classes (done by every Create; harmless to repeat).
void AfxInitControlClasses();
BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* p);
void InitCommonControls();
// The controls' default procedure: what a control window does with a message after its
// object's handlers. Also usable as a window procedure for a control without an object.
LRESULT AfxControlDefProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
// Gives an existing control window a (new) object; the layer's own object, if any, is deleted.
BOOL AfxAttachControl(HWND hWnd, CWnd* pWnd);

// Base of the wrappers: routes the default processing to the control's behaviour.
class CControlWnd : public CWnd {
  DECLARE_DYNAMIC(CControlWnd)
 public:
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  // Attaches this object to the dialog's control nID (the framework's subclassing).
  BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
  BOOL SubclassWindow(HWND hWnd);
  HWND UnsubclassWindow();
  // Called for owner-drawn controls when the parent leaves WM_DRAWITEM unhandled.
  virtual void DrawItem(LPDRAWITEMSTRUCT) {}
  virtual void MeasureItem(LPMEASUREITEMSTRUCT) {}
  void PostNcDestroy() override;
  BOOL m_bAutoDelete = FALSE;  // objects the layer makes for dialog controls delete themselves

 protected:
  BOOL CreateControl(LPCTSTR lpszClass, LPCTSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParent, UINT nID,
                     DWORD dwExStyle = 0);
};

class CEdit : public CControlWnd {
  DECLARE_DYNAMIC(CEdit)
 public:
  virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  BOOL CreateEx(DWORD dwExStyle, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  void SetSel(int nStartChar, int nEndChar, BOOL bNoScroll = FALSE);
  void SetSel(DWORD dwSelection, BOOL bNoScroll = FALSE) {
    SetSel((int)(short)LOWORD(dwSelection), (int)(short)HIWORD(dwSelection), bNoScroll);
  }
  DWORD GetSel() const;
  void GetSel(int& nStartChar, int& nEndChar) const;
  void ReplaceSel(LPCTSTR lpszNewText, BOOL bCanUndo = FALSE);
  void SetLimitText(UINT nMax);
  void LimitText(int nChars = 0) { SetLimitText((UINT)nChars); }
  UINT GetLimitText() const;
  BOOL SetReadOnly(BOOL bReadOnly = TRUE);
  int GetLineCount() const;
  int LineIndex(int nLine = -1) const;
  int LineLength(int nLine = -1) const;
  int LineFromChar(int nIndex = -1) const;
  int GetLine(int nIndex, LPTSTR lpszBuffer, int nMaxLength) const;
  BOOL GetModify() const;
  void SetModify(BOOL bModified = TRUE);
  BOOL CanUndo() const;
  BOOL Undo();
  void EmptyUndoBuffer();
  void Clear();
  void Copy();
  void Cut();
  void Paste();
  void SetPasswordChar(TCHAR ch);
};

class CButton : public CControlWnd {
  DECLARE_DYNAMIC(CButton)
 public:
  virtual BOOL Create(LPCTSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  int GetCheck() const;
  void SetCheck(int nCheck);
  UINT GetState() const;
  void SetState(BOOL bHighlight);
  UINT GetButtonStyle() const;
  void SetButtonStyle(UINT nStyle, BOOL bRedraw = TRUE);
  HBITMAP SetBitmap(HBITMAP hBitmap);
  HBITMAP GetBitmap() const;
};

class CStatic : public CControlWnd {
  DECLARE_DYNAMIC(CStatic)
 public:
  virtual BOOL Create(LPCTSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID = 0xffff);
  HICON SetIcon(HICON hIcon);
  HICON GetIcon() const;
  HBITMAP SetBitmap(HBITMAP hBitmap);
  HBITMAP GetBitmap() const;
};

class CSpinButtonCtrl : public CControlWnd {
  DECLARE_DYNAMIC(CSpinButtonCtrl)
 public:
  virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  void SetRange(short nLower, short nUpper) { SetRange32(nLower, nUpper); }
  void SetRange32(int nLower, int nUpper);
  DWORD GetRange() const;  // MAKELONG(upper, lower)
  void GetRange(int& lower, int& upper) const { GetRange32(lower, upper); }
  void GetRange32(int& lower, int& upper) const;
  int SetPos(int nPos);
  int GetPos() const;  // MAKELONG(pos, nonzero when the buddy holds no valid number)
  int SetPos32(int nPos);
  int GetPos32(BOOL* lpbError = nullptr) const;
  CWnd* SetBuddy(CWnd* pWndBuddy);
  CWnd* GetBuddy() const;
  int SetBase(int nBase);
  int GetBase() const;
};

class CSliderCtrl : public CControlWnd {
  DECLARE_DYNAMIC(CSliderCtrl)
 public:
  virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  int GetPos() const;
  void SetPos(int nPos);
  void SetRange(int nMin, int nMax, BOOL bRedraw = FALSE);
  void GetRange(int& nMin, int& nMax) const;
  int GetRangeMin() const;
  int GetRangeMax() const;
  void SetRangeMin(int nMin, BOOL bRedraw = FALSE);
  void SetRangeMax(int nMax, BOOL bRedraw = FALSE);
  void SetTicFreq(int nFreq);
  BOOL SetTic(int nTic);
  void ClearTics(BOOL bRedraw = FALSE);
  int GetNumTics() const;
  int SetPageSize(int nSize);
  int GetPageSize() const;
  int SetLineSize(int nSize);
  int GetLineSize() const;
  void GetThumbRect(LPRECT lprc) const;
  void GetChannelRect(LPRECT lprc) const;
};

// Creates a control window with an object of its class (CEdit, CButton, CStatic, or a plain
// CControlWnd) that deletes itself with the window. Used for dialog templates.
CWnd* AfxCreateControl(LPCTSTR lpszClass, LPCTSTR lpszText, DWORD dwStyle, DWORD dwExStyle, const RECT& rect,
                       CWnd* pParent, UINT nID);
#include "platform/ui/CtlTree.h"  // the tree control

#include "platform/ui/CtlComboBox.h"
#include "platform/ui/CtlListBox.h"
#include "platform/ui/CtlScrollBar.h"
#include "platform/ui/CtlTab.h"
#include "platform/ui/CtlToolTip.h"
