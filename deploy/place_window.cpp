#include "deploy/place_window.h"

#include "deploy/monitor_fit.h"

namespace keyrack {

Rect PlacementRect(Desktop& desktop, const SlotItem& item) {
    const std::vector<MonitorInfo> monitors = desktop.EnumDisplayMonitors();
    return FitOnMonitors(StoredRect(item.x, item.y, item.width, item.height, monitors), monitors);
}

Rect PlaceWindow(Desktop& desktop, WindowHandle window, const SlotItem& item) {
    const Rect at = PlacementRect(desktop, item);
    desktop.ShowWindowAsync(window, win::kSwShowNormal);
    // MoveWindow without repainting, posted to the window's thread.
    desktop.SetWindowPos(
        window, 0, at.left, at.top, at.Width(), at.Height(),
        win::kSwpNoZOrder | win::kSwpNoActivate | win::kSwpNoRedraw | win::kSwpAsyncWindowPos);
    if (item.maximize != 0) desktop.ShowWindowAsync(window, win::kSwShowMaximized);
    return at;
}

bool WindowAnswers(Desktop& desktop, WindowHandle window, unsigned timeoutMs) {
    return desktop.SendWindowMessageTimeout(window, win::kWmNull, 0, 0, win::kSmtoAbortIfHung,
                                            timeoutMs, nullptr);
}

}  // namespace keyrack
