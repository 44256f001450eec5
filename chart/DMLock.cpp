#include "chart/DMLock.h"

#include <chrono>
#include <cstdio>
#include <map>
#include <mutex>
#include <set>

struct CDMLock::Shared {
  std::recursive_timed_mutex mutex;
};

namespace {

std::mutex& RegistryMutex() {
  static std::mutex m;
  return m;
}

// Kept alive while any CDMLock of the name exists.
std::map<std::string, std::weak_ptr<CDMLock::Shared>>& Registry() {
  static std::map<std::string, std::weak_ptr<CDMLock::Shared>> r;
  return r;
}

struct Breaches {
  std::mutex mutex;
  std::vector<std::string> seen;
  std::set<std::string> said;
};

Breaches& TheBreaches() {
  static Breaches b;
  return b;
}

thread_local std::vector<std::string> t_held;

bool Holds(const char* name) {
  for (const std::string& h : t_held)
    if (h == name) return true;
  return false;
}

void CheckOrder(const std::string& name) {
  const char* wrong = nullptr;
  if (name == DMLOCK_STREAMRUN && Holds(DMLOCK_STREAM) && !Holds(DMLOCK_STREAMRUN))
    wrong = DMLOCK_STREAM;
  else if (name == DMLOCK_ROUTEWRITE && Holds(DMLOCK_STREAMRUN))
    wrong = DMLOCK_STREAMRUN;
  if (!wrong) return;
  const std::string text = "took \"" + name + "\" while holding \"" + wrong + "\"";
  Breaches& b = TheBreaches();
  std::lock_guard<std::mutex> lock(b.mutex);
  b.seen.push_back(text);
  if (b.said.insert(text).second) std::fprintf(stderr, "Neapwise: lock order: %s\n", text.c_str());
}

}  // namespace

CDMLock::CDMLock(LPCTSTR lpszName) : m_strName(lpszName) {
  const std::string key = m_strName.GetStdString();
  std::lock_guard<std::mutex> lock(RegistryMutex());
  std::weak_ptr<Shared>& slot = Registry()[key];
  m_shared = slot.lock();
  if (!m_shared) {
    m_shared = std::make_shared<Shared>();
    slot = m_shared;
  }
}

CDMLock::~CDMLock() {
  std::lock_guard<std::mutex> lock(RegistryMutex());
  m_shared.reset();
  auto it = Registry().find(m_strName.GetStdString());
  if (it != Registry().end() && it->second.expired()) Registry().erase(it);
}

BOOL CDMLock::Lock(DWORD dwMilliseconds) {
  const std::string name = m_strName.GetStdString();
  CheckOrder(name);
  if (dwMilliseconds == INFINITE)
    m_shared->mutex.lock();
  else if (!m_shared->mutex.try_lock_for(std::chrono::milliseconds(dwMilliseconds)))
    return FALSE;
  t_held.push_back(name);
  return TRUE;
}

BOOL CDMLock::Unlock() {
  const std::string name = m_strName.GetStdString();
  for (auto it = t_held.rbegin(); it != t_held.rend(); ++it) {
    if (*it == name) {
      t_held.erase(std::next(it).base());
      m_shared->mutex.unlock();
      return TRUE;
    }
  }
  return FALSE;
}

std::vector<std::string> CDMLock::TakeOrderBreaches() {
  Breaches& b = TheBreaches();
  std::lock_guard<std::mutex> lock(b.mutex);
  std::vector<std::string> out;
  out.swap(b.seen);
  return out;
}

std::vector<std::string> CDMLock::HeldByThisThread() { return t_held; }
