#include "deploy/place_window.h"

#include "deploy/monitor_fit.h"
#include "platform/seam_handles.h"

namespace keyrack {

Rect PlacementRect(Desktop& desktop, const SlotItem& item) {
    const std::vector<MonitorInfo> monitors = desktop.EnumDisplayMonitors();
    return FitOnMonitors(StoredRect(item.x, item.y, item.width, item.height, monitors), monitors);
}

Rect PlaceWindow(Desktop& desktop, WindowHandle window, const SlotItem& item, bool* refused) {
    const Rect at = PlacementRect(desktop, item);
    bool denied = false;
    auto note = [&](bool done) {
        if (!done && desktop.GetLastError() == win::kErrorAccessDenied) denied = true;
    };
    note(desktop.ShowWindowAsync(window, win::kSwShowNormal));
    // MoveWindow without repainting, posted to the window's thread.
    note(desktop.SetWindowPos(
        window, 0, at.left, at.top, at.Width(), at.Height(),
        win::kSwpNoZOrder | win::kSwpNoActivate | win::kSwpNoRedraw | win::kSwpAsyncWindowPos));
    if (item.maximize != 0) note(desktop.ShowWindowAsync(window, win::kSwShowMaximized));
    if (refused) *refused = denied;
    return at;
}

bool IsElevatedWindow(Desktop& desktop, WindowHandle window) {
    auto levelOf = [&](std::uint32_t processId) {
        UniqueProcess process(
            desktop.OpenProcess(win::kProcessQueryLimitedInformation, false, processId), desktop);
        return process.Get() != 0 ? desktop.GetProcessIntegrityLevel(process.Get()) : 0u;
    };
    std::uint32_t processId = 0;
    desktop.GetWindowThreadProcessId(window, &processId);
    if (processId == 0) return false;
    const std::uint32_t own = levelOf(desktop.GetCurrentProcessId());
    return own != 0 && levelOf(processId) > own;
}

bool WindowAnswers(Desktop& desktop, WindowHandle window, unsigned timeoutMs) {
    return desktop.SendWindowMessageTimeout(window, win::kWmNull, 0, 0, win::kSmtoAbortIfHung,
                                            timeoutMs, nullptr);
}

}  // namespace keyrack
