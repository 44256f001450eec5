#include "model/EngineLock.h"

#include "engine/Ebbcalc32.h"

#include <atomic>
#include <mutex>

namespace {

std::recursive_mutex& EngineMutex() {
  static std::recursive_mutex mutex;
  return mutex;
}

std::atomic<unsigned long> g_timesTaken{0};

// What the engine was last pointed at; read and written only under the lock.
struct EngineFiles {
  bool set = false;
  std::string harmonics;
  std::string second;
};

EngineFiles& CurrentFiles() {
  static EngineFiles files;
  return files;
}

}  // namespace

CEngineLock::CEngineLock() {
  EngineMutex().lock();
  g_timesTaken.fetch_add(1, std::memory_order_relaxed);
}

CEngineLock::~CEngineLock() { EngineMutex().unlock(); }

int CEngineLock::SetHarmonicsFile(const std::string& harmonicsPath, const std::string& secondPath) {
  EngineFiles& files = CurrentFiles();
  const int status = EBC_SetHarmonicsFile(harmonicsPath.c_str(), secondPath.c_str());
  files.set = status == EBC_OK;
  files.harmonics = harmonicsPath;
  files.second = secondPath;
  return status;
}

bool CEngineLock::IsPointedAt(const std::string& harmonicsPath, const std::string& secondPath) const {
  const EngineFiles& files = CurrentFiles();
  return files.set && files.harmonics == harmonicsPath && files.second == secondPath;
}

unsigned long CEngineLock::TimesTaken() { return g_timesTaken.load(std::memory_order_relaxed); }
