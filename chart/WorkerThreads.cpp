#include "chart/WorkerThreads.h"

#include <thread>

void CWorkerThreads::Start(std::function<void()> work) {
  {
    std::lock_guard<std::mutex> lock(m_state->mutex);
    ++m_state->running;
  }
  std::thread([state = m_state, work = std::move(work)]() mutable {
    work();
    work = nullptr;
    // The state is shared: the owner may be gone the moment the count is down.
    std::lock_guard<std::mutex> lock(state->mutex);
    if (--state->running == 0) state->ended.notify_all();
  }).detach();
}

int CWorkerThreads::GetRunning() const {
  std::lock_guard<std::mutex> lock(m_state->mutex);
  return m_state->running;
}

void CWorkerThreads::WaitAll() {
  std::unique_lock<std::mutex> lock(m_state->mutex);
  m_state->ended.wait(lock, [this] { return m_state->running == 0; });
}
