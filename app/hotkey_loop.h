// The polling thread's loop: recognises Left Ctrl + Left Shift + F1..F12 by sampling the key
// states, toggles or deploys the chord's slot, and prunes the window lists in every pass.
#pragma once

#include <array>

#include "deploy/deploy_context.h"
#include "deploy/indicator.h"
#include "platform/desktop.h"
#include "slots/slot_manager.h"

namespace keyrack {

inline constexpr unsigned kPollPauseMs = 1;

// Reads the chord once per pass. A chord acts once per press: after F<n> has been handled it
// is not reported again until F<n> has been seen released. Only the left Ctrl and Shift count,
// Shift is queried only while Ctrl is down, and the lowest F key down is the chord's key.
class ChordRecognizer {
  public:
    // The slot index 0..11 of a new chord in this pass, or -1.
    int Poll(Desktop& desktop);

  private:
    std::array<bool, 12> m_awaitingRelease{};
};

// Runs passes until the context's stop is found requested at the end of one (or at once). A
// deployment in flight observes the same request and ends early.
void HotkeyLoop(const DeployContext& context, IndicatorHost& host, SlotManager& slots);

}  // namespace keyrack
