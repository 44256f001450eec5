#include "chart/SerialPorts.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Family {
  const char* prefix;  // "/dev/ttyS"
  int first;           // the number of device 0
};
const Family kFamilies[] = {{"/dev/ttyS", 1}, {"/dev/ttyUSB", 65}, {"/dev/ttyACM", 129}};
const int kPerFamily = 64;

bool Exists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

// The kernel makes ttyS nodes for every port the 8250 driver might have, present or not.
// A port whose device hangs below the driver's legacy placeholder is real only when the
// driver found a UART there; one we may not open is listed (the user may be let in later).
bool IsRealOnBoardPort(const std::string& root, int n) {
  const std::string name = "ttyS" + std::to_string(n);
  const std::string sys = root + "/sys/class/tty/" + name;
  if (!Exists(sys)) return false;
  char* resolved = ::realpath((sys + "/device").c_str(), nullptr);
  if (!resolved) return false;
  const bool placeholder = std::strstr(resolved, "/serial8250") != nullptr;
  std::free(resolved);
  if (!placeholder) return true;
  const int fd = ::open((root + "/dev/" + name).c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return errno == EACCES || errno == EBUSY;
  serial_struct info{};
  const bool uart = ::ioctl(fd, TIOCGSERIAL, &info) == 0 && info.type != PORT_UNKNOWN;
  ::close(fd);
  return uart;
}

}  // namespace

CString SerialPortDevice(int nPort) {
  for (const Family& f : kFamilies)
    if (nPort >= f.first && nPort < f.first + kPerFamily) {
      CString s;
      s.Format("%s%d", f.prefix, nPort - f.first);
      return s;
    }
  return CString();
}

int SerialPortNumber(const CString& strPath) {
  const std::string path((LPCTSTR)strPath);
  for (const Family& f : kFamilies) {
    const size_t len = std::strlen(f.prefix);
    if (path.size() <= len || path.size() > len + 2 || path.compare(0, len, f.prefix) != 0) continue;
    int n = 0;
    for (size_t i = len; i < path.size(); ++i) {
      if (path[i] < '0' || path[i] > '9') return 0;
      n = n * 10 + (path[i] - '0');
    }
    if (path.size() == len + 2 && path[len] == '0') return 0;  // "ttyS01" is no device name
    return n < kPerFamily ? f.first + n : 0;
  }
  return 0;
}

void EnumerateSerialDevices(std::vector<SERIAL_DEVICE>& devices, const CString& strRoot) {
  devices.clear();
  const std::string root((LPCTSTR)strRoot);
  for (const Family& f : kFamilies) {
    for (int n = 0; n < kPerFamily; ++n) {
      const int number = f.first + n;
      const CString device = SerialPortDevice(number);
      const bool present = f.first == 1 ? IsRealOnBoardPort(root, n) : Exists(root + (LPCTSTR)device);
      if (!present) continue;
      SERIAL_DEVICE d;
      d.nPort = (UINT)number;
      d.strPath = device;
      d.strLabel.Format("COM%d  (%s)", number, (LPCTSTR)device);
      devices.push_back(d);
    }
  }
  // Stable names of USB receivers, whichever socket they are in.
  std::vector<SERIAL_DEVICE> named;
  const std::string byId = root + "/dev/serial/by-id";
  if (DIR* dir = ::opendir(byId.c_str())) {
    while (dirent* e = ::readdir(dir)) {
      if (e->d_name[0] == '.') continue;
      SERIAL_DEVICE d;
      d.strPath = CString("/dev/serial/by-id/") + e->d_name;
      d.strLabel = d.strPath;
      named.push_back(d);
    }
    ::closedir(dir);
  }
  std::sort(named.begin(), named.end(),
            [](const SERIAL_DEVICE& a, const SERIAL_DEVICE& b) { return a.strPath.Compare(b.strPath) < 0; });
  devices.insert(devices.end(), named.begin(), named.end());
}

void EnumerateSerialPorts(CArray<UINT, UINT>& ports, const CString& strRoot) {
  ports.RemoveAll();
  std::vector<SERIAL_DEVICE> devices;
  EnumerateSerialDevices(devices, strRoot);
  for (const SERIAL_DEVICE& d : devices)
    if (d.nPort) ports.Add(d.nPort);
}
