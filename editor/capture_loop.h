// The mailbox that carries the window-capture thread's samples to the user-interface thread.
// The capture thread never waits for the user-interface thread (it only takes the mailbox's
// lock for a push), so the editor can stop it at any time.
#pragma once

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

}  // namespace keyrack
