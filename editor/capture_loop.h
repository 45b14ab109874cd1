// The window-capture thread's loop and the mailbox that carries its samples to the
// user-interface thread. The thread never waits for the user-interface thread (it only takes
// the mailbox's lock for a push), so the editor can join it at any time.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <vector>

#include "editor/capture_sample.h"

namespace keyrack {

class CaptureMailbox {
  public:
    // Adds a sample; true when the mailbox was empty, so the reader needs one new wake-up
    // (one posted message per batch, not per sample).
    bool Put(CaptureSample sample);
    // Every waiting sample, oldest first.
    std::vector<CaptureSample> TakeAll();

  private:
    std::mutex m_mutex;
    std::vector<CaptureSample> m_samples;
};

// Samples the desktop once a millisecond while `running` holds, and hands over each sample
// the filter lets through.
void RunCaptureLoop(Desktop& desktop, const std::atomic<bool>& running,
                    const MayTakeWindow& mayTake,
                    const std::function<void(CaptureSample)>& handOver);

}  // namespace keyrack
