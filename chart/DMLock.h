// The chart's named locks.
//
// Every lock of one name is the same recursive mutex in this process: the window thread takes
// "tdroutewrite" around a waypoint edit and may take it again inside, and the workers and the
// view each hold their own CDMLock of the same name. The locks are process-local: two running
// copies of the program have nothing to share, so nothing is locked across them.
//
// Order: "tdlock" before "tdstream"; "tdroutewrite" is never taken while "tdlock" is held. Every
// Lock is checked against the locks the thread already holds, and a breach is recorded (and
// said once on standard error) so that tests can show that no path takes them the wrong way.
#pragma once

#include "platform/core/Afx.h"

#include <memory>
#include <string>
#include <vector>

#ifndef INFINITE
#define INFINITE 0xFFFFFFFF
#endif

class CDMLock {
 public:
  explicit CDMLock(LPCTSTR lpszName);
  ~CDMLock();
  CDMLock(const CDMLock&) = delete;
  CDMLock& operator=(const CDMLock&) = delete;

  // Waits for the lock, at most dwMilliseconds (INFINITE: no limit); TRUE when it is held.
  BOOL Lock(DWORD dwMilliseconds = INFINITE);
  // FALSE when this thread does not hold it.
  BOOL Unlock();
  const CString& GetName() const { return m_strName; }

  // The order breaches seen since the last call, as "took B while holding A", and forgets them.
  static std::vector<std::string> TakeOrderBreaches();
  // Names of the locks the calling thread holds, innermost last (a name once per hold).
  static std::vector<std::string> HeldByThisThread();

  struct Shared;

 private:
  CString m_strName;
  std::shared_ptr<Shared> m_shared;
};

// Holds a CDMLock for a scope.
class CDMLockHold {
 public:
  explicit CDMLockHold(CDMLock& lock) : m_lock(lock) { m_bHeld = m_lock.Lock(); }
  ~CDMLockHold() {
    if (m_bHeld) m_lock.Unlock();
  }
  CDMLockHold(const CDMLockHold&) = delete;
  CDMLockHold& operator=(const CDMLockHold&) = delete;

 private:
  CDMLock& m_lock;
  BOOL m_bHeld = FALSE;
};

// The names the chart uses.
#define DMLOCK_ABORT "tdabort"
#define DMLOCK_STREAMRUN "tdlock"
#define DMLOCK_STREAM "tdstream"
#define DMLOCK_ROUTEWRITE "tdroutewrite"
#define DMLOCK_DRIFT "tddrift"
#define DMLOCK_DRIFTABORT "tddriftabort"
