// The "Select Port" dialog: a ports tree of every port, in name order; OK takes the selected port.
#pragma once

#include "app/PortsTree.h"
#include "platform/ui/AfxWin.h"

class CSelectPortDlg : public CDialog {
  DECLARE_DYNAMIC(CSelectPortDlg)
 public:
  explicit CSelectPortDlg(CWnd* pParent = nullptr);
  ~CSelectPortDlg() override;

  // The port chosen with OK (table index), -1 before.
  int GetChosenPort() const { return m_nPort; }
  CPortsTree& GetTree() { return m_tree; }
  void SetHost(IPortsHost* pHost) { m_pHost = pHost; }

  BOOL OnInitDialog() override;
  void OnOK() override;

 protected:
  LRESULT OnPortsTreePicked(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()

 private:
  CPortsTree m_tree;
  int m_nPort = -1;
  IPortsHost* m_pHost = nullptr;
};
