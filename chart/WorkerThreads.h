// The chart's worker threads, started and forgotten: the window thread never joins one while
// it is busy, since a join waits until the kernel has let the thread run to its end, which on
// a busy machine can take tens of milliseconds. Each thread holds a share of the count it
// leaves when its work is done; WaitAll is for an owner that goes.
#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

class CWorkerThreads {
 public:
  CWorkerThreads() : m_state(std::make_shared<State>()) {}
  ~CWorkerThreads() { WaitAll(); }
  CWorkerThreads(const CWorkerThreads&) = delete;
  CWorkerThreads& operator=(const CWorkerThreads&) = delete;

  // Runs the work on a thread of its own. The work (and all it holds) is gone before the
  // thread is counted out.
  void Start(std::function<void()> work);
  // Threads whose work has not ended yet.
  int GetRunning() const;
  // Waits until every thread's work has ended.
  void WaitAll();

 private:
  struct State {
    mutable std::mutex mutex;
    std::condition_variable ended;
    int running = 0;
  };
  std::shared_ptr<State> m_state;
};
