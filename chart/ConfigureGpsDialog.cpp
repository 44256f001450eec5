#include "chart/ConfigureGpsDialog.h"

IMPLEMENT_DYNAMIC(CConfigureGpsDialog, CDialog)

CConfigureGpsDialog::CConfigureGpsDialog(CWnd* pParent) : CDialog(IDD_CONFIGURE_GPS, pParent) {}

CComboBox* CConfigureGpsDialog::GetPortList() const { return dynamic_cast<CComboBox*>(GetDlgItem(IDC_GPS_PORT_LIST)); }

BOOL CConfigureGpsDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  CComboBox* list = GetPortList();
  if (!list) return TRUE;
  EnumerateSerialDevices(m_devices, m_strRoot);
  int select = -1;
  if (!m_strDevice.IsEmpty()) {
    for (size_t i = 0; i < m_devices.size() && select < 0; ++i)
      if (m_devices[i].strPath == m_strDevice) select = (int)i;
    if (select < 0) {
      // A device set by hand that isn't among the serial ports (a Bluetooth or network
      // receiver): kept, and offered first.
      SERIAL_DEVICE d;
      d.strPath = d.strLabel = m_strDevice;
      m_devices.insert(m_devices.begin(), d);
      select = 0;
    }
  } else {
    for (size_t i = 0; i < m_devices.size() && select < 0; ++i)
      if ((int)m_devices[i].nPort == m_nPort) select = (int)i;
  }
  for (size_t i = 0; i < m_devices.size(); ++i) {
    const int item = list->AddString(m_devices[i].strLabel);
    list->SetItemData(item, (DWORD_PTR)i);
  }
  list->SetCurSel(select >= 0 ? select : 0);
  return TRUE;
}

void CConfigureGpsDialog::OnOK() {
  CComboBox* list = GetPortList();
  const int sel = list ? list->GetCurSel() : -1;
  if (sel >= 0) {
    const size_t i = (size_t)list->GetItemData(sel);
    if (i < m_devices.size()) {
      const SERIAL_DEVICE& d = m_devices[i];
      if (d.nPort) {
        m_nPort = (int)d.nPort;
        m_strDevice.Empty();
      } else {
        m_strDevice = d.strPath;
      }
    }
  }
  CDialog::OnOK();
}
