// Property sheets: a modal window with a row of tabs, one page (a dialog template) shown at a
// time, and OK, Cancel and (unless PSH_NOAPPLYNOW) Apply.
//
// A page's OnKillActive (by default its data exchange) is asked before another page is shown
// and before OK or Apply; when it fails the sheet stays open with that page shown. OK then
// gives every page that was shown its OnApply (by default OnOK); Cancel gives them OnReset
// (by default OnCancel). Pages are made when first shown.
#pragma once

#include "platform/ui/Dialog.h"

#include <vector>

#define PSH_DEFAULT 0x00000000
#define PSH_PROPTITLE 0x00000001
#define PSH_USEHICON 0x00000002
#define PSH_PROPSHEETPAGE 0x00000008
#define PSH_NOAPPLYNOW 0x00000080
#define PSH_HASHELP 0x00000200
#define PSP_DEFAULT 0x00000000
#define PSP_USETITLE 0x00000008
#define PSP_HASHELP 0x00000020
#define PSBTN_BACK 0
#define PSBTN_NEXT 1
#define PSBTN_FINISH 2
#define PSBTN_OK 3
#define PSBTN_APPLYNOW 4
#define PSBTN_CANCEL 5
#define PSBTN_HELP 6
#define ID_APPLY_NOW 0x3021
#define ID_PSHELP 0x0009

struct PROPSHEETHEADER {
  DWORD dwSize;
  DWORD dwFlags;
  HWND hwndParent;
  LPCTSTR pszCaption;
  UINT nPages;
  UINT nStartPage;
};
struct PROPSHEETPAGE {
  DWORD dwSize;
  DWORD dwFlags;
  LPCTSTR pszTitle;  // with PSP_USETITLE: the tab's text instead of the template's caption
};

class CPropertySheet;

class CPropertyPage : public CDialog {
  DECLARE_DYNAMIC(CPropertyPage)
 public:
  CPropertyPage();
  // nIDCaption: a string for the tab (0: the template's caption).
  explicit CPropertyPage(UINT nIDTemplate, UINT nIDCaption = 0);
  ~CPropertyPage() override;

  virtual BOOL OnSetActive();
  virtual BOOL OnKillActive();
  void OnOK() override {}
  void OnCancel() override {}
  virtual BOOL OnApply();
  virtual void OnReset();
  virtual BOOL OnQueryCancel() { return TRUE; }
  // Marks the page changed: the sheet's Apply button comes on.
  void SetModified(BOOL bChanged = TRUE);
  BOOL IsModified() const { return m_bModified; }
  // Forwards to the sheet's Cancel, as a page's Cancel does.
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  CPropertySheet* GetSheet() const { return m_pSheet; }
  CString GetTitle() const;

  PROPSHEETPAGE m_psp{};

 private:
  friend class CPropertySheet;
  BOOL CreatePage(CPropertySheet* pSheet);
  CFont* DialogFont() { return &m_font; }
  CPropertySheet* m_pSheet = nullptr;
  CString m_strCaption;
  AFX_DLGTEMPLATE m_childTemplate{};
  BOOL m_bModified = FALSE;
  BOOL m_bFirstSetActive = TRUE;
};

class CPropertySheet : public CWnd {
  DECLARE_DYNAMIC(CPropertySheet)
 public:
  CPropertySheet();
  explicit CPropertySheet(UINT nIDCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
  explicit CPropertySheet(LPCTSTR pszCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
  ~CPropertySheet() override;

  void AddPage(CPropertyPage* pPage);
  void RemovePage(CPropertyPage* pPage);
  void RemovePage(int nPage);
  int GetPageCount() const { return (int)m_pages.size(); }
  CPropertyPage* GetPage(int nPage) const;
  CPropertyPage* GetActivePage() const;
  int GetActiveIndex() const;
  int GetPageIndex(CPropertyPage* pPage) const;
  // Shows another page when the current one lets go; FALSE when it does not.
  BOOL SetActivePage(int nPage);
  BOOL SetActivePage(CPropertyPage* pPage) { return SetActivePage(GetPageIndex(pPage)); }
  void SetTitle(LPCTSTR lpszText, UINT nStyle = 0);

  virtual INT_PTR DoModal();
  void EndDialog(int nEndID);
  // Does what a click on the button does (PSBTN_OK, PSBTN_CANCEL, PSBTN_APPLYNOW).
  BOOL PressButton(int nButton);
  // Where a tab is drawn, in client coordinates.
  BOOL GetTabRect(int nPage, LPRECT lpRect) const;

  BOOL PreTranslateMessage(MSG* pMsg) override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  PROPSHEETHEADER m_psh{};

 private:
  friend class CPropertyPage;
  BOOL AnswerAccessibility(struct AFXACCQUERY* q);
  void Layout();
  void Paint();
  void UpdateApply();
  BOOL Apply();
  BOOL ShowPage(int nPage);
  void MoveFocus(bool backwards);
  std::vector<CPropertyPage*> m_pages;
  CString m_strCaption;
  CWnd* m_pParentWnd = nullptr;
  int m_nActive = -1;
  BOOL m_bEnded = FALSE;
  int m_nResult = IDCANCEL;
  CRect m_rcPage;  // where pages go, client coordinates
  int m_tabHeight = 20;
  std::vector<CRect> m_tabs;
};
