#include "chart/GpsReader.h"

#include "chart/SerialPorts.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The body of the line's sentence, between its last '$' and "*hh", when the line ends with
// the checksum (a carriage return aside) and the checksum, the XOR of the body's bytes, holds.
bool FindSentence(const std::string& line, size_t& start, size_t& end) {
  const size_t dollar = line.rfind('$');
  if (dollar == std::string::npos) return false;
  size_t last = line.size();
  while (last > dollar && (line[last - 1] == '\r' || line[last - 1] == ' ' || line[last - 1] == '\t')) --last;
  if (last - dollar > (size_t)CGpsReader::kMaxSentence || last < dollar + 4 || line[last - 3] != '*') return false;
  const int hi = HexDigit(line[last - 2]), lo = HexDigit(line[last - 1]);
  if (hi < 0 || lo < 0) return false;
  unsigned sum = 0;
  for (size_t i = dollar + 1; i < last - 3; ++i) {
    const unsigned char c = (unsigned char)line[i];
    if (c == '*' || c < 0x20 || c > 0x7E) return false;  // no character of a sentence
    sum ^= c;
  }
  if (sum != (unsigned)(hi * 16 + lo)) return false;
  start = dollar + 1;
  end = last - 3;
  return true;
}

bool IsDigits(const std::string& s, size_t from, size_t count) {
  if (s.size() < from + count) return false;
  for (size_t i = from; i < from + count; ++i)
    if (s[i] < '0' || s[i] > '9') return false;
  return true;
}

int Pair(const std::string& s, size_t at) { return (s[at] - '0') * 10 + (s[at + 1] - '0'); }

// A number in fixed notation ("123.45"), as the sentences carry it whatever the locale:
// digits with at most one point, no sign, no exponent.
bool ParseUnsigned(const std::string& s, double& v) {
  if (s.empty() || s.size() > 32) return false;
  int points = 0, digits = 0;
  for (char c : s) {
    if (c == '.')
      ++points;
    else if (c >= '0' && c <= '9')
      ++digits;
    else
      return false;
  }
  if (points > 1 || digits == 0) return false;
  const auto r = std::from_chars(s.data(), s.data() + s.size(), v, std::chars_format::fixed);
  return r.ec == std::errc() && r.ptr == s.data() + s.size() && std::isfinite(v);
}

// "ddmm.mmmm" or "dddmm.mmmm" in degrees; false when it is no such angle or exceeds maxDegrees.
bool ParseAngle(const std::string& s, double maxDegrees, double& degrees) {
  double v;
  if (!ParseUnsigned(s, v)) return false;
  const double d = std::floor(v / 100.0);
  const double minutes = v - 100.0 * d;
  if (minutes >= 60.0) return false;
  degrees = d + minutes / 60.0;
  return degrees <= maxDegrees;
}

// "hhmmss" with optional fractional seconds ("hhmmss.sss"); false leaves the time 0.
bool ParseTime(const std::string& s, GPSFIX& fix) {
  if (!IsDigits(s, 0, 6)) return false;
  if (s.size() > 6 && (s[6] != '.' || !IsDigits(s, 7, s.size() - 7))) return false;
  const int h = Pair(s, 0), m = Pair(s, 2), sec = Pair(s, 4);
  if (h > 23 || m > 59 || sec > 60) return false;  // 60: a leap second
  fix.hour = h;
  fix.minute = m;
  fix.second = sec;
  return true;
}

// "ddmmyy"; anything else leaves the date 0.
void ParseDate(const std::string& s, GPSFIX& fix) {
  if (s.size() != 6 || !IsDigits(s, 0, 6)) return;
  const int d = Pair(s, 0), m = Pair(s, 2), y = Pair(s, 4);
  if (d < 1 || d > 31 || m < 1 || m > 12) return;
  fix.day = d;
  fix.month = m;
  fix.year = y;
}

bool Hemisphere(const std::string& s, char positive, char negative, int& sign) {
  if (s.size() != 1) return false;
  const char c = (char)(s[0] & ~0x20);  // upper case
  if (c == positive)
    sign = 1;
  else if (c == negative)
    sign = -1;
  else
    return false;
  return true;
}

// The sentence type of a first field: a two-letter talker (GP, GN, GL, GA, GB, BD...) and
// three letters, compared without regard to case. 'P' starts a maker's own sentence.
bool IsType(const std::string& field, const char* type) {
  if (field.size() != 5 || field[0] == 'P' || field[0] == 'p') return false;
  for (int i = 0; i < 2; ++i)
    if (!std::isalpha((unsigned char)field[i])) return false;
  for (int i = 0; i < 3; ++i)
    if (std::toupper((unsigned char)field[2 + i]) != type[i]) return false;
  return true;
}

}  // namespace

CGpsReader& CGpsReader::Instance() {
  static CGpsReader* reader = new CGpsReader;
  return *reader;
}

CGpsReader::CGpsReader() = default;

CGpsReader::~CGpsReader() {
  Stop();
  CloseWake();
}

void CGpsReader::SetPort(int nPort) {
  std::lock_guard<std::mutex> lock(m_lifeLock);
  m_nPort = nPort;
}

int CGpsReader::GetPort() const { return m_nPort; }

void CGpsReader::SetDevicePath(const CString& strPath) {
  std::lock_guard<std::mutex> lock(m_lifeLock);
  m_strDevice = strPath;
  m_strDevice.Trim();
}

CString CGpsReader::GetDevicePath() const { return m_strDevice; }

void CGpsReader::SetNotifyWindow(HWND hWnd) {
  std::lock_guard<std::mutex> lock(m_lifeLock);
  m_hNotify = hWnd;
}

// ---- Lifecycle ----
BOOL CGpsReader::Start() {
  std::lock_guard<std::mutex> life(m_lifeLock);
  {
    // Marked running here rather than in the thread, so a second start right after this
    // one sees it and never makes a second thread.
    std::lock_guard<std::mutex> lock(m_runLock);
    if (m_bRunning) return FALSE;
    m_bRunning = 1;
  }
  // A thread that ended on its own (a read error) is collected first.
  if (m_thread.joinable()) m_thread.join();
  CloseWake();
  {
    std::lock_guard<std::mutex> lock(m_stopLock);
    m_bStop = 0;
  }
  m_hPostTo = m_hNotify;
  if (!m_hPostTo)
    if (CWnd* main = AfxGetMainWnd()) m_hPostTo = main->GetSafeHwnd();
  if (::pipe2(m_wake, O_CLOEXEC | O_NONBLOCK) != 0) {
    const int error = errno;
    m_wake[0] = m_wake[1] = -1;
    Post(WM_GPS_OPENFAILED, (WPARAM)error);
    SetRunning(0);
    return FALSE;
  }
  const CString device = m_strDevice.IsEmpty() ? SerialPortDevice(m_nPort) : m_strDevice;
  m_thread = std::thread(&CGpsReader::Run, this, std::string((LPCTSTR)device));
  return TRUE;
}

void CGpsReader::Stop() {
  std::lock_guard<std::mutex> life(m_lifeLock);
  {
    std::lock_guard<std::mutex> lock(m_stopLock);
    m_bStop = 1;
  }
  if (m_wake[1] >= 0) {
    const char c = 1;
    [[maybe_unused]] ssize_t n = ::write(m_wake[1], &c, 1);
  }
  if (m_thread.joinable()) m_thread.join();
  CloseWake();
}

void CGpsReader::CloseWake() {
  for (int& fd : m_wake) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
}

BOOL CGpsReader::IsRunning() const {
  std::lock_guard<std::mutex> lock(m_runLock);
  return m_bRunning;
}

void CGpsReader::SetRunning(int bRunning) {
  std::lock_guard<std::mutex> lock(m_runLock);
  m_bRunning = bRunning;
}

BOOL CGpsReader::IsStopRequested() const {
  std::lock_guard<std::mutex> lock(m_stopLock);
  return m_bStop;
}

int CGpsReader::GetFix(GPSFIX* pFix) const {
  std::lock_guard<std::mutex> lock(m_fixLock);
  if (!m_bFixValid) return 0;
  if (pFix) *pFix = m_fix;
  return 1;
}

void CGpsReader::Post(UINT message, WPARAM wParam) {
  if (m_hPostTo) ::PostMessage(m_hPostTo, message, wParam, 0);
}

// ---- The reader thread ----
void CGpsReader::Run(std::string device) {
  // Nothing of an earlier run's unfinished line joins this one.
  m_pending.clear();
  m_nPendingLength = 0;
  const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    Post(WM_GPS_OPENFAILED, (WPARAM)errno);
    SetRunning(0);
    return;
  }
  // Exclusive: no second reader on the same device, ours or another program's.
  int error = 0;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) error = errno == EWOULDBLOCK ? EBUSY : errno;
  termios tio{};
  if (!error && ::tcgetattr(fd, &tio) != 0) error = errno;
  if (!error) {
    ::cfmakeraw(&tio);
    ::cfsetispeed(&tio, B4800);
    ::cfsetospeed(&tio, B4800);
    tio.c_cflag &= ~(tcflag_t)(CSIZE | PARENB | CSTOPB | CRTSCTS);
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (::tcsetattr(fd, TCSANOW, &tio) != 0) error = errno;
  }
  if (!error) ::ioctl(fd, TIOCEXCL);
  if (error) {
    // A device that can't be set up as a serial port is reported like one that can't be opened.
    ::close(fd);
    Post(WM_GPS_OPENFAILED, (WPARAM)error);
    SetRunning(0);
    return;
  }
  // What the driver kept from before this run is old news.
  ::tcflush(fd, TCIFLUSH);
  Post(WM_GPS_STARTED, 0);

  char buffer[256];
  while (!IsStopRequested()) {
    pollfd fds[2] = {{fd, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
    const int ready = ::poll(fds, 2, -1);
    if (ready < 0) {
      if (errno == EINTR) continue;
      error = errno;
      break;
    }
    if (fds[1].revents) break;  // woken to stop
    if (!fds[0].revents) continue;
    if (fds[0].revents & POLLNVAL) {
      error = EBADF;
      break;
    }
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n > 0) {
      Consume(buffer, (int)n);
      continue;
    }
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
    // Nothing to read although the device said so: it has gone (unplugged, hung up).
    error = n < 0 ? errno : EIO;
    break;
  }
  if (error && !IsStopRequested()) Post(WM_GPS_ERROR, (WPARAM)error);
  ::close(fd);
  Post(WM_GPS_STOPPED, 0);
  SetRunning(0);
}

// ---- Sentences ----
int CGpsReader::Consume(const char* pData, int nLength) {
  if (!pData || nLength <= 0) return 0;
  int fixes = 0;
  for (const char* end = pData + nLength; pData < end; ++pData) {
    const char c = *pData;
    // A line ends at CR, LF or both; a '$' starts the next sentence even on the same line.
    if (c == '\r' || c == '\n' || c == '$') {
      if (!m_pending.empty()) fixes += ProcessSentence(m_pending);
      m_pending.clear();
      if (c == '$') m_pending.push_back(c);
      continue;
    }
    // Bytes before a '$' are never part of a sentence, and a candidate longer than a sentence
    // can be is garbage: the pending bytes stay short whatever the device sends.
    if (m_pending.empty()) continue;
    if (m_pending.size() > (size_t)kMaxSentence)
      m_pending.clear();
    else
      m_pending.push_back(c);
  }
  m_nPendingLength = (int)m_pending.size();
  return fixes;
}

BOOL CGpsReader::Tokenize(const std::string& line, std::vector<std::string>& tokens) {
  size_t start, end;
  if (!FindSentence(line, start, end)) {
    tokens.clear();
    return FALSE;
  }
  // The strings of an earlier sentence are reused: no allocation per field once warm.
  size_t from = start, n = 0;
  for (size_t i = from; i <= end; ++i) {
    if (i == end || line[i] == ',') {
      if (n == tokens.size()) tokens.emplace_back();
      tokens[n++].assign(line, from, i - from);
      from = i + 1;
    }
  }
  tokens.resize(n);
  return TRUE;
}

int CGpsReader::ProcessSentence(const std::string& line) {
  std::vector<std::string>& tokens = m_tokens;
  if (!Tokenize(line, tokens) || tokens.empty()) return 0;
  GPSFIX fix;
  if (IsType(tokens[0], "GGA")) {
    ParseGGA(tokens, fix);  // position without speed and course: not a fix of its own
    return 0;
  }
  if (!IsType(tokens[0], "RMC") || !ParseRMC(tokens, fix)) return 0;
  {
    std::lock_guard<std::mutex> lock(m_fixLock);
    m_fix = fix;
    m_bFixValid = 1;
  }
  Post(WM_GPS_FIX, 0);
  return 1;
}

// $--RMC,hhmmss.ss,A,ddmm.mm,N,dddmm.mm,E,speed,course,ddmmyy,magnetic variation,E[,mode[,status]]
int CGpsReader::ParseRMC(const std::vector<std::string>& t, GPSFIX& fix) {
  fix = GPSFIX();
  if (t.size() < 12) return 0;
  ParseTime(t[1], fix);
  // 'V': the receiver itself says the position is not to be trusted; so does the mode 'N' of
  // NMEA 2.3 and later, whatever the status.
  if (t[2] != "A" && t[2] != "a") return 0;
  if (t.size() > 12 && (t[12] == "N" || t[12] == "n")) return 0;
  int ns, ew;
  if (!ParseAngle(t[3], 90.0, fix.latitude) || !Hemisphere(t[4], 'N', 'S', ns)) return 0;
  if (!ParseAngle(t[5], 180.0, fix.longitude) || !Hemisphere(t[6], 'E', 'W', ew)) return 0;
  fix.latitude *= ns;
  fix.longitude *= ew;
  // Receivers leave speed and course empty while the boat lies still. A number out of range
  // is dropped as if empty: the position stays good.
  if (!t[7].empty() && !ParseUnsigned(t[7], fix.speed)) return 0;
  if (!t[8].empty() && !ParseUnsigned(t[8], fix.course)) return 0;
  if (fix.speed > kMaxSpeed) fix.speed = 0.0;
  if (fix.course >= 360.0) fix.course = 0.0;  // 360 is north again; beyond a circle, dropped
  ParseDate(t[9], fix);
  return 1;
}

// $--GGA,hhmmss.ss,ddmm.mm,N,dddmm.mm,E,quality,satellites,hdop,altitude,M,geoid,M,age,station
int CGpsReader::ParseGGA(const std::vector<std::string>& t, GPSFIX& fix) {
  fix = GPSFIX();
  if (t.size() < 15) return 0;
  ParseTime(t[1], fix);
  int ns, ew;
  if (!ParseAngle(t[2], 90.0, fix.latitude) || !Hemisphere(t[3], 'N', 'S', ns)) return 0;
  if (!ParseAngle(t[4], 180.0, fix.longitude) || !Hemisphere(t[5], 'E', 'W', ew)) return 0;
  fix.latitude *= ns;
  fix.longitude *= ew;
  // Quality 0: no fix.
  double quality;
  if (!ParseUnsigned(t[6], quality) || quality < 1.0) return 0;
  return 1;
}
