#include "platform/win32/thread_dpi_awareness.h"

#include <windows.h>

namespace keyrack {
namespace {

// DPI_AWARENESS_CONTEXT is an opaque handle; the function is declared here so that older
// headers and older systems need not know it.
using SetContextFunction = HANDLE(WINAPI*)(HANDLE);

// DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2.
const HANDLE kPerMonitorAwareV2 = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));

SetContextFunction SetContext() {
    static const SetContextFunction function = [] {
        HMODULE user32 = GetModuleHandleW(L"user32.dll");
        if (user32 == nullptr) return SetContextFunction{};
        return reinterpret_cast<SetContextFunction>(
            reinterpret_cast<void*>(GetProcAddress(user32, "SetThreadDpiAwarenessContext")));
    }();
    return function;
}

}  // namespace

std::uintptr_t SetThreadDpiAwarenessPerMonitorV2() {
    const SetContextFunction set = SetContext();
    if (set == nullptr) return 0;
    return reinterpret_cast<std::uintptr_t>(set(kPerMonitorAwareV2));
}

void RestoreThreadDpiAwareness(std::uintptr_t previous) {
    const SetContextFunction set = SetContext();
    if (set != nullptr && previous != 0) set(reinterpret_cast<HANDLE>(previous));
}

}  // namespace keyrack
