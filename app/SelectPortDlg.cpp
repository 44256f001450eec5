#include "app/SelectPortDlg.h"

#include "model/PortDB.h"

namespace {
const CRect kTreeRect(10, 10, 10 + 258, 10 + 275);
const int kButtonWidth = 75, kButtonHeight = 23, kGap = 8;
}  // namespace

IMPLEMENT_DYNAMIC(CSelectPortDlg, CDialog)

BEGIN_MESSAGE_MAP(CSelectPortDlg, CDialog)
  ON_MESSAGE(WM_PORTSTREE_PICKED, OnPortsTreePicked)
END_MESSAGE_MAP()

CSelectPortDlg::CSelectPortDlg(CWnd* pParent) : CDialog(IDD_SELECT_PORT, pParent) {}
CSelectPortDlg::~CSelectPortDlg() = default;

BOOL CSelectPortDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  IPortsHost* host = m_pHost ? m_pHost : GetPortsHost();
  m_tree.SetHost(host);
  m_tree.SetDialogMode(this);
  if (!m_tree.Create(kTreeRect, this, IDC_SELECT_PORT_TREE)) return TRUE;
  m_tree.ModifyStyleEx(0, WS_EX_CLIENTEDGE, SWP_FRAMECHANGED);
  if (CPortDB* ports = host ? host->GetPortDB() : nullptr) m_tree.InsertPorts(*ports);
  m_tree.ApplyNameOrder();
  m_tree.SetWindowPos(nullptr, kTreeRect.left, kTreeRect.top, kTreeRect.Width(), kTreeRect.Height(),
                      SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  // The buttons under the tree, and the dialog sized around them whatever its font.
  int y = kTreeRect.bottom + kGap + 2;
  int x = kTreeRect.right - kButtonWidth;
  if (CWnd* cancel = GetDlgItem(IDCANCEL)) cancel->MoveWindow(x, y, kButtonWidth, kButtonHeight);
  if (CWnd* ok = GetDlgItem(IDOK)) {
    ok->MoveWindow(x - kGap - kButtonWidth, y, kButtonWidth, kButtonHeight);
    ok->EnableWindow(FALSE);  // until a port is picked
  }
  CRect window, client;
  GetWindowRect(&window);
  GetClientRect(&client);
  int cx = kTreeRect.right + 10 + (window.Width() - client.Width());
  int cy = y + kButtonHeight + 10 + (window.Height() - client.Height());
  SetWindowPos(nullptr, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  CenterWindow(m_pParentWnd);
  m_tree.SetFocus();
  return FALSE;  // the focus is on the tree
}

LRESULT CSelectPortDlg::OnPortsTreePicked(WPARAM, LPARAM) {
  if (CWnd* ok = GetDlgItem(IDOK)) ok->EnableWindow(TRUE);
  return 0;
}

void CSelectPortDlg::OnOK() {
  int port = m_tree.GetSelectedPort();
  if (port < 0) {
    // A country or area is selected, not a port: nothing to choose yet.
    if (CWnd* ok = GetDlgItem(IDOK)) ok->EnableWindow(FALSE);
    return;
  }
  m_nPort = port;
  CDialog::OnOK();
}
