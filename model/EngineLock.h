// The one lock around the prediction engine.
//
// The engine keeps a single global state and no lock of its own, and it is called from the
// user-interface thread, the route-track worker and the chart's stream worker. Whoever calls it
// holds a CEngineLock for the duration: around every EBC_SetHarmonicsFile together with the
// predictions that rely on it, and around every other engine call. Nothing else is done under
// the lock, so build paths and such before taking it.
//
//     {
//         CEngineLock engine;
//         if (!engine.IsPointedAt(harmonics, region))
//             engine.SetHarmonicsFile(harmonics, region);
//         status = EBC_DoPrediction(...);
//     }
//
// The lock is recursive, so a holder that calls CalcStreamAt does not deadlock; CalcStreamAt
// re-points the engine, though, which is why IsPointedAt is the test to make before relying on
// an earlier SetHarmonicsFile.
#pragma once

#include <string>

class CEngineLock {
 public:
  CEngineLock();  // blocks until no other thread is in the engine
  ~CEngineLock();
  CEngineLock(const CEngineLock&) = delete;
  CEngineLock& operator=(const CEngineLock&) = delete;

  // EBC_SetHarmonicsFile, remembering which files the engine was pointed at.
  int SetHarmonicsFile(const std::string& harmonicsPath, const std::string& secondPath);

  // True when the engine's last EBC_SetHarmonicsFile through this lock was made with these
  // paths and succeeded.
  bool IsPointedAt(const std::string& harmonicsPath, const std::string& secondPath) const;

  // How many times the lock has been taken since the process started; shows whether a call
  // went to the engine at all.
  static unsigned long TimesTaken();
};
