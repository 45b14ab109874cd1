// The life of the polling thread: started with the main window, told to stop when the program
// leaves, and waited for while the user-interface thread keeps serving its windows (a
// deployment in flight sends messages to them until it ends).
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

#include "platform/win32/handles.h"

namespace keyrack {

class PollingThread {
  public:
    PollingThread();
    // Stops and joins the thread if it still runs.
    ~PollingThread();
    PollingThread(const PollingThread&) = delete;
    PollingThread& operator=(const PollingThread&) = delete;

    // Runs `body` on a new thread; `body` returns once the flag it is given reads false.
    void Start(std::function<void(const std::atomic<bool>& running)> body);
    // Clears the run flag; the body ends at the end of its pass.
    void RequestStop() { m_running = false; }
    bool Running() const { return m_running; }
    // Waits for the thread while dispatching this thread's messages, then joins it.
    void Join();

  private:
    std::atomic<bool> m_running{true};
    std::unique_ptr<std::thread> m_thread;
    // Set by the thread as its last act.
    UniqueKernelHandle m_done;
};

}  // namespace keyrack
