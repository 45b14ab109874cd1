// The life of the polling thread: started with the main window, told to stop when the program
// leaves, and waited for while the user-interface thread keeps serving its windows (a
// deployment in flight sends messages to them until it ends).
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <thread>

#include "deploy/stop_request.h"
#include "platform/win32/handles.h"

namespace keyrack {

class PollingThread {
  public:
    PollingThread();
    // Stops and joins the thread if it still runs.
    ~PollingThread();
    PollingThread(const PollingThread&) = delete;
    PollingThread& operator=(const PollingThread&) = delete;

    // Runs `body` on a new thread; `body` returns once the stop request it is given is made.
    void Start(std::function<void(const StopRequest& stop)> body);
    // Makes the stop request: the body ends at the end of its pass, and a deployment in flight
    // ends early.
    void RequestStop() { m_stop.Request(); }
    bool Running() const { return !m_stop.Requested(); }
    // Waits for the thread while dispatching this thread's messages, then joins it.
    void Join();

  private:
    StopRequest m_stop;
    std::unique_ptr<std::thread> m_thread;
    // Set by the thread as its last act.
    UniqueKernelHandle m_done;
};

}  // namespace keyrack
