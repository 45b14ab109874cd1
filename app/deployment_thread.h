// The life of the deployment thread: started with the main window, handed the chords that the
// user-interface thread receives, told to stop when the program leaves, and waited for while
// the user-interface thread keeps serving its windows (a deployment in flight sends messages to
// them until it ends). Between chords it sleeps without a time-out.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <thread>

#include "app/chord_mailbox.h"
#include "deploy/stop_request.h"
#include "platform/win32/handles.h"

namespace keyrack {

class DeploymentThread {
  public:
    DeploymentThread();
    // Stops and joins the thread if it still runs.
    ~DeploymentThread();
    DeploymentThread(const DeploymentThread&) = delete;
    DeploymentThread& operator=(const DeploymentThread&) = delete;

    using Body = std::function<void(const StopRequest& stop, ChordMailbox& chords)>;
    // Runs `body` on a new thread; `body` takes its chords from the mailbox it is given and
    // returns once the mailbox is closed.
    void Start(Body body);
    // Hands the chord of slot `index` over; false when it is dropped (its slot is handled or
    // waits already, or the thread is stopping).
    bool Offer(int index) { return m_chords.Offer(index); }
    // Makes the stop request and closes the mailbox: an idle thread wakes and ends, and a
    // deployment in flight ends early.
    void RequestStop();
    bool Running() const { return !m_stop.Requested(); }
    // Waits for the thread while dispatching this thread's messages, then joins it. With a
    // time limit: false, and the thread left running, when it has not ended by then.
    bool Join(DWORD timeoutMs = INFINITE);

  private:
    StopRequest m_stop;
    ChordMailbox m_chords;
    std::unique_ptr<std::thread> m_thread;
    // Set by the thread as its last act.
    UniqueKernelHandle m_done;
};

}  // namespace keyrack
