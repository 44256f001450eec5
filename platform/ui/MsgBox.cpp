#include "platform/ui/MsgBox.h"

#include "platform/ui/UiInternal.h"
#include "platform/ui/UiResources.h"
#include "platform/ui/WinApp.h"

#include <QMessageBox>
#include <QPushButton>

namespace {
AFX_MSGBOX_HOOK& hook() {
  static AFX_MSGBOX_HOOK h;
  return h;
}
}  // namespace

AFX_MSGBOX_HOOK AfxSetMessageBoxHook(AFX_MSGBOX_HOOK h) {
  AFX_MSGBOX_HOOK old = hook();
  hook() = std::move(h);
  return old;
}

int MessageBox(HWND hWnd, LPCTSTR lpText, LPCTSTR lpCaption, UINT uType) {
  AFX_MSGBOX_REQUEST req{hWnd, lpText ? lpText : "", lpCaption ? lpCaption : "Error", uType};
  if (hook()) {
    int answer = hook()(req);
    if (answer) return answer;
  }
  AfxWinInit(0, nullptr);
  // Owned by the owner's top-level window: transient for it, centred on it, and the owner
  // disabled while the box is up, as the layer's own modal dialogs do.
  HWND top = hWnd ? GetAncestor(hWnd, GA_ROOT) : nullptr;
  QMessageBox box(AfxWidgetOf(top));
  box.setWindowModality(Qt::ApplicationModal);
  box.setWindowTitle(QString::fromUtf8(req.caption.c_str()));
  box.setText(QString::fromUtf8(req.text.c_str()));
  switch (uType & MB_ICONMASK) {
    case MB_ICONHAND: box.setIcon(QMessageBox::Critical); break;
    case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
    case MB_ICONEXCLAMATION: box.setIcon(QMessageBox::Warning); break;
    case MB_ICONASTERISK: box.setIcon(QMessageBox::Information); break;
  }
  struct B {
    const char* text;
    int id;
  };
  std::vector<B> buttons;
  switch (uType & MB_TYPEMASK) {
    case MB_OKCANCEL: buttons = {{"OK", IDOK}, {"Cancel", IDCANCEL}}; break;
    case MB_ABORTRETRYIGNORE: buttons = {{"&Abort", IDABORT}, {"&Retry", IDRETRY}, {"&Ignore", IDIGNORE}}; break;
    case MB_YESNOCANCEL: buttons = {{"&Yes", IDYES}, {"&No", IDNO}, {"Cancel", IDCANCEL}}; break;
    case MB_YESNO: buttons = {{"&Yes", IDYES}, {"&No", IDNO}}; break;
    case MB_RETRYCANCEL: buttons = {{"&Retry", IDRETRY}, {"Cancel", IDCANCEL}}; break;
    default: buttons = {{"OK", IDOK}}; break;
  }
  std::vector<QPushButton*> qb;
  for (auto& b : buttons) qb.push_back(box.addButton(QString::fromUtf8(b.text), QMessageBox::ActionRole));
  int def = (int)((uType & MB_DEFMASK) >> 8);
  if (def < (int)qb.size()) box.setDefaultButton(qb[def]);
  // Escape answers Cancel where there is one, and OK for a lone OK.
  for (size_t i = 0; i < buttons.size(); ++i)
    if (buttons[i].id == IDCANCEL || buttons.size() == 1) box.setEscapeButton(qb[i]);
  HWND focus = GetFocus();
  const bool reenable = top && ::IsWindowEnabled(top);
  if (reenable) ::EnableWindow(top, FALSE);
  box.exec();
  if (reenable && ::IsWindow(top)) {
    ::EnableWindow(top, TRUE);
    ::SetActiveWindow(top);
  }
  if (IsWindow(focus)) SetFocus(focus);
  for (size_t i = 0; i < qb.size(); ++i)
    if (box.clickedButton() == qb[i]) return buttons[i].id;
  return (uType & MB_TYPEMASK) == MB_OK ? IDOK : IDCANCEL;
}

int AfxMessageBox(LPCTSTR lpszText, UINT nType, UINT) {
  CWinApp* app = AfxGetWinApp();
  if (app) return app->DoMessageBox(lpszText, nType, 0);
  return MessageBox(AfxGetMainWnd() ? AfxGetMainWnd()->GetSafeHwnd() : nullptr, lpszText, AfxGetAppName(), nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp) {
  CString s;
  if (!AfxLoadString(nIDPrompt, s)) s.Format("%u", nIDPrompt);
  return AfxMessageBox(s, nType, nIDHelp);
}

int CWinApp::DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT) {
  // Without an icon flag, the framework picks one from the buttons.
  if (!(nType & MB_ICONMASK)) {
    UINT t = nType & MB_TYPEMASK;
    if (t == MB_OK || t == MB_OKCANCEL)
      nType |= MB_ICONEXCLAMATION;
    else if (t == MB_YESNO || t == MB_YESNOCANCEL)
      nType |= MB_ICONQUESTION;
    else
      nType |= MB_ICONEXCLAMATION;
  }
  HWND owner = m_pMainWnd ? m_pMainWnd->GetSafeHwnd() : nullptr;
  return ::MessageBox(owner, lpszPrompt, m_pszAppName, nType);
}

int CWnd::MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType) {
  return ::MessageBox(m_hWnd, lpszText, lpszCaption ? lpszCaption : AfxGetAppName(), nType);
}
