// The calling thread's DPI awareness, set through SetThreadDpiAwarenessContext, which user32
// has only from Windows 10 1703 on and is therefore looked up when first needed.
#pragma once

#include <cstdint>

namespace keyrack {

// Makes the calling thread per-monitor (v2) aware. Returns its previous awareness context, or 0
// where the call is missing or refused (the thread keeps the process's awareness).
std::uintptr_t SetThreadDpiAwarenessPerMonitorV2();
// Gives the thread back a context returned above; does nothing for 0.
void RestoreThreadDpiAwareness(std::uintptr_t previous);

}  // namespace keyrack
