// "Configure GPS": picks the serial port of the GPS receiver from the ports present.
#pragma once

#include "chart/SerialPorts.h"
#include "platform/ui/AfxWin.h"

#include <vector>

#define IDD_CONFIGURE_GPS 291
#define IDC_GPS_PORT_LIST 1073

class CConfigureGpsDialog : public CDialog {
  DECLARE_DYNAMIC(CConfigureGpsDialog)
 public:
  explicit CConfigureGpsDialog(CWnd* pParent = nullptr);

  // The port number and explicit device path the dialog starts with and, after OK, the ones
  // chosen (a numbered port clears the path; a device kept by its path leaves the number).
  void SetPort(int nPort) { m_nPort = nPort; }
  int GetPort() const { return m_nPort; }
  void SetDevicePath(const CString& strPath) { m_strDevice = strPath; }
  CString GetDevicePath() const { return m_strDevice; }
  // Where /dev and /sys are looked for (tests give a folder of their own).
  void SetDeviceRoot(const CString& strRoot) { m_strRoot = strRoot; }
  CComboBox* GetPortList() const;

  BOOL OnInitDialog() override;
  void OnOK() override;

 private:
  int m_nPort = 1;
  CString m_strDevice, m_strRoot;
  std::vector<SERIAL_DEVICE> m_devices;  // the list's items, in order
};
