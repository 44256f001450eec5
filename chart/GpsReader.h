// The GPS receiver: a reader thread on a serial device that splits its NMEA 0183 stream into
// sentences, keeps the last fix from RMC sentences under a lock and posts messages to the
// main window. It touches no window itself.
#pragma once

#include "platform/ui/AfxWin.h"

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Posted to the notify window (lParam 0).
#define WM_GPS_FIX (WM_USER + 1018)         // a new fix is stored
#define WM_GPS_OPENFAILED (WM_USER + 1019)  // wParam: the system error (errno)
#define WM_GPS_ERROR (WM_USER + 1020)       // wParam: the system error (errno)
#define WM_GPS_STARTED (WM_USER + 1021)     // the device is open and configured
#define WM_GPS_STOPPED (WM_USER + 1022)     // reading has ended and the device is closed

// One fix, copied whole.
struct GPSFIX {
  double latitude = 0.0;                 // degrees, north positive
  double longitude = 0.0;                // degrees, east positive
  int hour = 0, minute = 0, second = 0;  // UTC
  int day = 0, month = 0, year = 0;      // two-digit year
  double speed = 0.0;                    // over ground, knots
  double course = 0.0;                   // over ground, degrees true
};

class CGpsReader {
 public:
  // The longest line taken for a sentence, from its '$' (NMEA allows 82 with the line end;
  // receivers' own sentences run longer).
  static constexpr int kMaxSentence = 256;
  // Faster than any vessel: a speed above it is taken as no speed.
  static constexpr double kMaxSpeed = 1000.0;

  // The program's one reader, made on first use and never deleted.
  static CGpsReader& Instance();

  CGpsReader();
  ~CGpsReader();
  CGpsReader(const CGpsReader&) = delete;
  CGpsReader& operator=(const CGpsReader&) = delete;

  // The serial port number ("COM" number, see SerialPorts.h) and an explicit device path,
  // which wins when not empty.
  void SetPort(int nPort);
  int GetPort() const;
  void SetDevicePath(const CString& strPath);
  CString GetDevicePath() const;

  // The window the messages go to; the application's main window when none is set.
  void SetNotifyWindow(HWND hWnd);

  // Starts the reader thread; FALSE when it is already running.
  BOOL Start();
  // Tells the thread to stop, wakes it from its wait and waits for it to end.
  void Stop();
  BOOL IsRunning() const;
  // 0 when no fix was ever stored; else copies the last fix and returns 1.
  int GetFix(GPSFIX* pFix) const;

  // ---- The stream, as the thread handles it (also for tests) ----
  // Takes bytes read from the device: assembles lines, parses them; the number of fixes stored.
  int Consume(const char* pData, int nLength);
  // Pending bytes of an unfinished line (never more than kMaxSentence + 1).
  // Safe from any thread.
  int GetPendingLength() const { return m_nPendingLength; }

  // A whole line without its line end: 1 when it held an RMC sentence that gave a fix,
  // which is stored and announced.
  int ProcessSentence(const std::string& line);
  // The sentence of a line: from its last '$' to the checksum, checked; the fields between
  // '$' and '*' split at ','. FALSE for a line without a well-formed, checked sentence.
  static BOOL Tokenize(const std::string& line, std::vector<std::string>& tokens);
  // Field lists of a checked sentence (tokens[0] is the talker and type, "GPRMC"). 1 with a
  // usable fix, 0 when the sentence is dropped.
  static int ParseRMC(const std::vector<std::string>& tokens, GPSFIX& fix);
  static int ParseGGA(const std::vector<std::string>& tokens, GPSFIX& fix);

 private:
  void Run(std::string device);
  void Post(UINT message, WPARAM wParam);
  BOOL IsStopRequested() const;
  void SetRunning(int bRunning);
  void CloseWake();

  std::string m_pending;
  std::vector<std::string> m_tokens;  // of the sentence being read
  std::atomic<int> m_nPendingLength{0};
  mutable std::mutex m_runLock, m_stopLock, m_fixLock;
  // Start and Stop, one at a time.
  std::mutex m_lifeLock;
  int m_bStop = 0, m_bRunning = 0, m_bFixValid = 0;
  int m_nPort = 1;
  CString m_strDevice;
  GPSFIX m_fix;
  HWND m_hNotify = nullptr;
  HWND m_hPostTo = nullptr;  // the notify window of the current run
  std::thread m_thread;
  int m_wake[2] = {-1, -1};  // a pipe that ends the thread's wait
};
