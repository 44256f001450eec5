// Serial ports by number, as the settings keep them ("GpsComPort"), and the Linux devices
// behind the numbers:
//   1..64     /dev/ttyS0..63    (COM1 is the first on-board port)
//   65..128   /dev/ttyUSB0..63  (USB serial adapters)
//   129..192  /dev/ttyACM0..63  (USB modem-class receivers)
// Devices outside that range, such as the stable names under /dev/serial/by-id, are kept as
// an explicit device path instead.
#pragma once

#include "platform/ui/AfxWin.h"

#include <vector>

struct SERIAL_DEVICE {
  UINT nPort = 0;    // the number, 0 for a device kept by its path
  CString strPath;   // "/dev/ttyUSB0", "/dev/serial/by-id/usb-..."
  CString strLabel;  // what the port list shows
};

constexpr int kMaxSerialPort = 192;

// The device of a port number; empty for a number outside the range.
CString SerialPortDevice(int nPort);
// The number of a device path ("/dev/ttyUSB0" is 65); 0 when it has none.
int SerialPortNumber(const CString& strPath);

// The serial devices present, numbered ones first in number order, then the by-id names.
// The root prefix stands before /dev and /sys (tests give a folder of their own).
void EnumerateSerialDevices(std::vector<SERIAL_DEVICE>& devices, const CString& strRoot = CString());
// The numbers of the devices present, emptied first.
void EnumerateSerialPorts(CArray<UINT, UINT>& ports, const CString& strRoot = CString());
