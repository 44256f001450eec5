// Serial ports by number and by device, the ports present, and the "Configure GPS" dialog.
#include "chart/SerialPorts.h"
#include "chart/ConfigureGpsDialog.h"
#include "platform/testing/UiTest.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

TEST(SerialPorts, NumbersAndDevicesMapBothWays) {
  const struct {
    int port;
    const char* device;
  } cases[] = {{1, "/dev/ttyS0"},
               {2, "/dev/ttyS1"},
               {64, "/dev/ttyS63"},
               {65, "/dev/ttyUSB0"},
               {66, "/dev/ttyUSB1"},
               {128, "/dev/ttyUSB63"},
               {129, "/dev/ttyACM0"},
               {192, "/dev/ttyACM63"},
               {0, ""},
               {193, ""},
               {-1, ""},
               {255, ""}};
  for (const auto& c : cases) {
    EXPECT_EQ(CString(c.device), SerialPortDevice(c.port)) << c.port;
    if (*c.device) {
      EXPECT_EQ(c.port, SerialPortNumber(c.device)) << c.device;
    }
  }
  for (const char* other : {"/dev/ttyS01", "/dev/ttyS64", "/dev/ttyUSB", "/dev/ttyUSBx", "/dev/pts/3",
                            "/dev/serial/by-id/usb-GPS-if00", "", "/dev/ttyS-1", "/dev/ttyACM999"})
    EXPECT_EQ(0, SerialPortNumber(other)) << other;
}

// A /dev and /sys of a machine with one real on-board port (ttyS0), one placeholder (ttyS1),
// a USB adapter and a USB receiver with its stable name.
class FakeDevices : public ::testing::Test {
 protected:
  void SetUp() override {
    AfxWinInit(0, nullptr);
    char tmpl[] = "/tmp/neapwise-serial-XXXXXX";
    ASSERT_NE(nullptr, ::mkdtemp(tmpl));
    root = tmpl;
    for (const char* d : {"dev/serial/by-id", "sys/devices/pnp0/00:04", "sys/devices/platform/serial8250/port1",
                          "sys/class/tty/ttyS0", "sys/class/tty/ttyS1"})
      fs::create_directories(root / d);
    for (const char* f : {"dev/ttyS0", "dev/ttyS1", "dev/ttyUSB0", "dev/ttyACM2"}) std::ofstream(root / f).put('\n');
    fs::create_symlink("../../../devices/pnp0/00:04", root / "sys/class/tty/ttyS0/device");
    fs::create_symlink("../../../devices/platform/serial8250/port1", root / "sys/class/tty/ttyS1/device");
    fs::create_symlink("../../ttyACM2", root / "dev/serial/by-id/usb-u-blox_AG_GNSS_receiver-if00");
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(root, ec);
  }
  CString Root() const { return CString(root.c_str()); }

  fs::path root;
};

TEST_F(FakeDevices, OnlyThePortsPresentAreListedAndTheStableNamesLast) {
  CArray<UINT, UINT> ports;
  ports.Add(99);
  EnumerateSerialPorts(ports, Root());
  ASSERT_EQ(3, ports.GetSize());
  EXPECT_EQ(1u, ports[0]);
  EXPECT_EQ(65u, ports[1]);
  EXPECT_EQ(131u, ports[2]);
  std::vector<SERIAL_DEVICE> devices;
  EnumerateSerialDevices(devices, Root());
  ASSERT_EQ(4u, devices.size());
  EXPECT_EQ(CString("COM65  (/dev/ttyUSB0)"), devices[1].strLabel);
  EXPECT_EQ(0u, devices[3].nPort);
  EXPECT_EQ(CString("/dev/serial/by-id/usb-u-blox_AG_GNSS_receiver-if00"), devices[3].strPath);
  // A machine without serial devices.
  EnumerateSerialPorts(ports, Root() + "/nothing");
  EXPECT_EQ(0, ports.GetSize());
}

struct DialogRun {
  CString items;     // the list's texts, '|' between
  CString selected;  // the item selected when it opens
};

// Opens the dialog, presses Down `downs` times in the port list and clicks OK.
DialogRun RunDialog(CConfigureGpsDialog& dlg, int downs, const char* picture = nullptr) {
  DialogRun run;
  CTestCallLater later(50, [&] {
    CComboBox* list = dlg.GetPortList();
    ASSERT_NE(nullptr, list);
    for (int i = 0; i < list->GetCount(); ++i) {
      CString s;
      list->GetLBText(i, s);
      run.items += (i ? "|" : "") + s;
    }
    if (list->GetCurSel() >= 0) list->GetLBText(list->GetCurSel(), run.selected);
    list->SetFocus();
    for (int i = 0; i < downs; ++i) AfxTestKeyStroke(VK_DOWN);
    if (picture) AfxSaveWindowPng(dlg.m_hWnd, picture);
    CWnd* ok = dlg.GetDlgItem(IDOK);
    CRect r;
    ok->GetClientRect(&r);
    AfxTestClick(ok->m_hWnd, r.CenterPoint().x, r.CenterPoint().y);
  });
  EXPECT_EQ(IDOK, dlg.DoModal());
  EXPECT_TRUE(later.HasRun());
  return run;
}

TEST_F(FakeDevices, TheDialogOffersThePortsPresentAndKeepsTheChoice) {
  const CString all =
      "COM1  (/dev/ttyS0)|COM65  (/dev/ttyUSB0)|COM131  (/dev/ttyACM2)|"
      "/dev/serial/by-id/usb-u-blox_AG_GNSS_receiver-if00";
  {
    // The held port is selected; a stable name chosen becomes the device, the number stays.
    CConfigureGpsDialog dlg;
    dlg.SetDeviceRoot(Root());
    dlg.SetPort(65);
    const DialogRun run = RunDialog(dlg, 2, "configure_gps.png");
    EXPECT_EQ(all, run.items);
    EXPECT_EQ(CString("COM65  (/dev/ttyUSB0)"), run.selected);
    EXPECT_EQ(65, dlg.GetPort());
    EXPECT_EQ(CString("/dev/serial/by-id/usb-u-blox_AG_GNSS_receiver-if00"), dlg.GetDevicePath());
  }
  {
    // A device set by hand is shown first; a numbered port chosen clears it.
    CConfigureGpsDialog dlg;
    dlg.SetDeviceRoot(Root());
    dlg.SetPort(65);
    dlg.SetDevicePath("/dev/rfcomm0");
    const DialogRun run = RunDialog(dlg, 1);
    EXPECT_EQ("/dev/rfcomm0|" + all, run.items);
    EXPECT_EQ(CString("/dev/rfcomm0"), run.selected);
    EXPECT_EQ(1, dlg.GetPort());
    EXPECT_TRUE(dlg.GetDevicePath().IsEmpty());
  }
  {
    // A port that isn't there: the first is offered.
    CConfigureGpsDialog dlg;
    dlg.SetDeviceRoot(Root());
    dlg.SetPort(7);
    const DialogRun run = RunDialog(dlg, 0);
    EXPECT_EQ(CString("COM1  (/dev/ttyS0)"), run.selected);
    EXPECT_EQ(1, dlg.GetPort());
  }
  {
    // No ports at all: OK keeps what was held.
    CConfigureGpsDialog dlg;
    dlg.SetDeviceRoot(Root() + "/nothing");
    dlg.SetPort(7);
    const DialogRun run = RunDialog(dlg, 1);
    EXPECT_TRUE(run.items.IsEmpty());
    EXPECT_EQ(7, dlg.GetPort());
    EXPECT_TRUE(dlg.GetDevicePath().IsEmpty());
  }
}

}  // namespace
