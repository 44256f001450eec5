#include "chart/WorkerThreads.h"

#include <thread>

void CWorkerThreads::Start(std::function<void()> work) {
  {
    std::lock_guard<std::mutex> lock(m_state->mutex);
    ++m_state->running;
  }
  try {
    std::thread([state = m_state, work = std::move(work)]() mutable {
      work();
      work = nullptr;
      // The state is shared: the owner may be gone the moment the count is down.
      std::lock_guard<std::mutex> lock(state->mutex);
      if (--state->running == 0) state->ended.notify_all();
    }).detach();
  } catch (...) {
    // No thread could be made: the count goes back, or WaitAll would wait for ever.
    std::lock_guard<std::mutex> lock(m_state->mutex);
    if (--m_state->running == 0) m_state->ended.notify_all();
    throw;
  }
}

int CWorkerThreads::GetRunning() const {
  std::lock_guard<std::mutex> lock(m_state->mutex);
  return m_state->running;
}

void CWorkerThreads::WaitAll() {
  std::unique_lock<std::mutex> lock(m_state->mutex);
  m_state->ended.wait(lock, [this] { return m_state->running == 0; });
}
