// Dialogs: CDialog, modal and modeless, built from dialog templates compiled into the
// program; data exchange and validation (DDX_/DDV_) with the framework's messages; default
// and cancel buttons, Enter, Esc and Tab.
//
// A template lists the dialog and its controls in dialog units (from the dialog's font):
//
//   static const AFX_DLGITEM s_items[] = {
//     {WC_STATIC, 0xFFFF, "Width:", 7, 9, 30, 8, SS_LEFT, 0},
//     {WC_EDIT, 1036, "", 40, 7, 40, 12, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 0},
//     {WC_BUTTON, IDOK, "OK", 95, 6, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP, 0},
//   };
//   static const AFX_DLGTEMPLATE s_dlg = {176, " Jpeg Export", 0, 0, 150, 60,
//     DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, "MS Shell Dlg", 8, s_items, 3};
//   static const AFX_DLGTEMPLATE_INIT s_reg(&s_dlg);
//
// Every control is a child (WS_CHILD and WS_VISIBLE are implied unless the item's exStyle
// has AFX_DLGITEM_HIDDEN); the tab order is the order of the items.
#pragma once

#include "platform/ui/Controls.h"

#define DS_ABSALIGN 0x01L
#define DS_SYSMODAL 0x02L
#define DS_LOCALEDIT 0x20L
#define DS_SETFONT 0x40L
#define DS_MODALFRAME 0x80L
#define DS_NOIDLEMSG 0x100L
#define DS_SETFOREGROUND 0x200L
#define DS_3DLOOK 0x0004L
#define DS_FIXEDSYS 0x0008L
#define DS_CONTROL 0x0400L
#define DS_CENTER 0x0800L
#define DS_CENTERMOUSE 0x1000L
#define DS_CONTEXTHELP 0x2000L
#define DS_SHELLFONT (DS_SETFONT | DS_FIXEDSYS)
#define DM_GETDEFID (WM_USER + 0)
#define DM_SETDEFID (WM_USER + 1)
#define DC_HASDEFID 0x534B
#define AFX_DLGITEM_HIDDEN 0x80000000u  // in an item's exStyle: created without WS_VISIBLE

struct AFX_DLGITEM {
  LPCTSTR lpszClass;
  UINT nID;
  LPCTSTR lpszText;
  short x, y, cx, cy;  // dialog units
  DWORD dwStyle;
  DWORD dwExStyle;
};

struct AFX_DLGTEMPLATE {
  UINT nID;
  LPCTSTR lpszCaption;
  short x, y, cx, cy;  // dialog units
  DWORD dwStyle;
  LPCTSTR lpszFont;  // face; null for the default dialog font
  int nPointSize;
  const AFX_DLGITEM* pItems;
  int nItems;
};

// Templates by id, registered at start-up.
void AfxRegisterDialogTemplate(const AFX_DLGTEMPLATE* pTemplate);
const AFX_DLGTEMPLATE* AfxFindDialogTemplate(UINT nID);
struct AFX_DLGTEMPLATE_INIT {
  explicit AFX_DLGTEMPLATE_INIT(const AFX_DLGTEMPLATE* p) { AfxRegisterDialogTemplate(p); }
};

class CDataExchange {
 public:
  CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate) : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}
  BOOL m_bSaveAndValidate;
  CWnd* m_pDlgWnd;
  HWND m_hWndLastControl = nullptr;
  BOOL m_bEditLastControl = FALSE;
  HWND PrepareCtrl(int nIDC);
  HWND PrepareEditCtrl(int nIDC);
  // Puts the focus back on the last control prepared and abandons the exchange.
  [[noreturn]] void Fail();
};

class CDialog : public CWnd {
  DECLARE_DYNAMIC(CDialog)
 public:
  CDialog();
  explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
  ~CDialog() override;

  virtual INT_PTR DoModal();
  // Modeless.
  virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
  BOOL CreateIndirect(const AFX_DLGTEMPLATE* pTemplate, CWnd* pParentWnd = nullptr);
  void EndDialog(int nResult);

  virtual BOOL OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();
  virtual void DoDataExchange(CDataExchange* pDX) { (void)pDX; }
  BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

  DWORD GetDefID() const;
  void SetDefID(UINT nID);
  void NextDlgCtrl() const;
  void PrevDlgCtrl() const;
  void GotoDlgCtrl(CWnd* pWndCtrl);
  // The dialog-unit conversion of this dialog's font.
  void MapDialogRect(LPRECT lpRect) const;

  void SetDlgItemText(int nID, LPCTSTR lpszString);
  int GetDlgItemText(int nID, CString& rString) const;
  void SetDlgItemInt(int nID, UINT nValue, BOOL bSigned = TRUE);
  UINT GetDlgItemInt(int nID, BOOL* lpTrans = nullptr, BOOL bSigned = TRUE) const;
  void CheckDlgButton(int nIDButton, UINT nCheck);
  UINT IsDlgButtonChecked(int nIDButton) const;
  void CheckRadioButton(int nIDFirstButton, int nIDLastButton, int nIDCheckButton);
  int GetCheckedRadioButton(int nIDFirstButton, int nIDLastButton) const;

  BOOL PreTranslateMessage(MSG* pMsg) override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  UINT m_nIDHelp = 0;
  UINT m_nIDTemplate = 0;
  CWnd* m_pParentWnd = nullptr;

 protected:
  BOOL CreateFromTemplate(const AFX_DLGTEMPLATE* pTemplate, CWnd* pParentWnd, BOOL bModal);
  // Alt with the letter a control's text marks; FALSE when no control has it.
  BOOL HandleMnemonic(UINT vk);
  // An arrow key: the focus moves round its group of controls.
  BOOL MoveInGroup(HWND hFocus, bool backwards);
  // Moves the focus to the next (or previous) tab stop after hFrom.
  void MoveTabFocus(HWND hFrom, bool backwards) const;
  BOOL m_bModal = FALSE;
  BOOL m_bEnded = FALSE;
  int m_nResult = -1;
  UINT m_nDefID = IDOK;
  CFont m_font;
  int m_baseX = 6, m_baseY = 13;
};

// ---- Data exchange and validation ----
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value);
void DDX_Text(CDataExchange* pDX, int nIDC, long& value);
void DDX_Text(CDataExchange* pDX, int nIDC, double& value);
void DDX_Text(CDataExchange* pDX, int nIDC, float& value);
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
// value: index of the checked button in the group that starts at nIDC, -1 for none.
void DDX_Radio(CDataExchange* pDX, int nIDC, int& value);
// Combo boxes and list boxes: the selected index (-1 for none), or the text. Putting a text
// into a combo selects the first item it begins (exactly equals, for the Exact form); an
// editable combo shows the text even when no item matches.
void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index);
void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value);
void DDX_CBStringExact(CDataExchange* pDX, int nIDC, CString& value);
void DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index);
void DDX_LBString(CDataExchange* pDX, int nIDC, CString& value);
// Attaches rControl to the dialog's control (first exchange only).
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal);
void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal);
void DDV_MinMaxLong(CDataExchange* pDX, long value, long minVal, long maxVal);
void DDV_MinMaxDouble(CDataExchange* pDX, double const& value, double minVal, double maxVal);
void DDV_MinMaxFloat(CDataExchange* pDX, float const& value, float minVal, float maxVal);
void DDV_MaxChars(CDataExchange* pDX, CString const& value, int nChars);
