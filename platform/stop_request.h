// The request to stop, made once when the program exits ("종료" or a close request). It acts
// as a manual-reset event: once made it stays made, and it ends every wait on it at once, on
// every thread, so a stop never waits out a pause.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <list>
#include <mutex>

namespace keyrack {

class StopRequest {
  public:
    // For a wait that cannot block on this object itself (a thread that waits for its
    // window messages too): `wake` runs when the request is made, until this goes.
    class Waker {
      public:
        Waker(const StopRequest& stop, std::function<void()> wake);
        ~Waker();
        Waker(const Waker&) = delete;
        Waker& operator=(const Waker&) = delete;

      private:
        const StopRequest& m_stop;
        std::list<std::function<void()>>::iterator m_entry;
    };

    void Request();
    bool Requested() const { return m_requested.load(); }
    // Waits on the steady clock for `duration` or until the request is made; true when it was.
    bool WaitFor(std::chrono::milliseconds duration) const;

  private:
    std::atomic<bool> m_requested{false};
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    mutable std::list<std::function<void()>> m_wakers;
};

inline void StopRequest::Request() {
    std::lock_guard lock(m_mutex);
    m_requested.store(true);
    m_changed.notify_all();
    for (const auto& wake : m_wakers) wake();
}

inline bool StopRequest::WaitFor(std::chrono::milliseconds duration) const {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, duration, [this] { return m_requested.load(); });
}

inline StopRequest::Waker::Waker(const StopRequest& stop, std::function<void()> wake)
    : m_stop(stop) {
    std::lock_guard lock(stop.m_mutex);
    m_entry = stop.m_wakers.insert(stop.m_wakers.end(), std::move(wake));
    if (stop.m_requested.load()) (*m_entry)();
}

inline StopRequest::Waker::~Waker() {
    std::lock_guard lock(m_stop.m_mutex);
    m_stop.m_wakers.erase(m_entry);
}

}  // namespace keyrack
