// A pseudo-terminal standing in for a GPS receiver, a window that records what the reader
// posts, and sentences with their checksums.
#pragma once

#include "chart/GpsReader.h"
#include "platform/testing/UiTest.h"

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace gps_test {

// "$" + body + "*hh".
inline std::string Sentence(const std::string& body) {
  unsigned sum = 0;
  for (unsigned char c : body) sum ^= c;
  char tail[8];
  std::snprintf(tail, sizeof tail, "*%02X", sum);
  return "$" + body + tail;
}

// The receiver: the master side is written by the test, the slave is the device the reader opens.
class Pty {
 public:
  Pty() {
    char name[256] = {};
    if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) == 0) m_name = name;
  }
  ~Pty() { Close(); }
  Pty(const Pty&) = delete;
  Pty& operator=(const Pty&) = delete;

  bool Ok() const { return !m_name.empty(); }
  const std::string& Name() const { return m_name; }
  int Slave() const { return m_slave; }
  void Write(const std::string& bytes) const {
    size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = ::write(m_master, bytes.data() + done, bytes.size() - done);
      if (n <= 0) return;
      done += (size_t)n;
    }
  }
  // The receiver is unplugged.
  void HangUp() {
    if (m_master >= 0) ::close(m_master);
    m_master = -1;
  }
  void Close() {
    HangUp();
    if (m_slave >= 0) ::close(m_slave);
    m_slave = -1;
  }

 private:
  int m_master = -1, m_slave = -1;
  std::string m_name;
};

// A hidden window that keeps every GPS message it is sent.
class CRecorder : public CWnd {
 public:
  std::vector<std::pair<UINT, WPARAM>> messages;

  BOOL Make() { return CreateEx(0, AfxRegisterWndClass(0), "GPS messages", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr); }
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message >= WM_GPS_FIX && message <= WM_GPS_STOPPED) {
      messages.emplace_back(message, wParam);
      return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
  }
  int Count(UINT message) const {
    int n = 0;
    for (const auto& m : messages) n += m.first == message;
    return n;
  }
  // Handles events until the message has come count times; FALSE after 5 s.
  BOOL WaitFor(UINT message, int count = 1) {
    AfxTestWait(5000, [&] { return Count(message) >= count; });
    return Count(message) >= count;
  }
  WPARAM Last(UINT message) const {
    for (auto it = messages.rbegin(); it != messages.rend(); ++it)
      if (it->first == message) return it->second;
    return (WPARAM)-1;
  }
};

}  // namespace gps_test
