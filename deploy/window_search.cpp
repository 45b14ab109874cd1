#include "deploy/window_search.h"

#include <cstdio>

#include "deploy/process_image.h"
#include "platform/text.h"

namespace keyrack {

bool IsCandidateWindow(Desktop& desktop, WindowHandle window) {
    if (!desktop.IsWindowVisible(window)) return false;
    const std::uint32_t exStyle = desktop.GetExStyle(window);
    if (exStyle & win::kWsExAppWindow) return true;
    if (exStyle & win::kWsExToolWindow) return false;
    return desktop.GetOwner(window) == 0;
}

bool CollectExistingWindows(WindowSearch& search, WindowHandle window) {
    if (!IsCandidateWindow(search.desktop, window)) return true;
    const auto path = ImagePathOfWindow(search.desktop, window);
    if (path && EqualsNoCase(*path, search.processPath)) {
        std::printf("pre: %s\n", Utf16ToUtf8(*path).c_str());
        search.claimed.insert(window);
    }
    return true;
}

bool FindWindowByPath(WindowSearch& search, WindowHandle window) {
    if (!IsCandidateWindow(search.desktop, window)) return true;
    // A claimed window can never be taken, so its process is not opened.
    if (search.claimed.count(window) != 0) return true;
    const auto path = ImagePathOfWindow(search.desktop, window);
    if (!path || !EqualsNoCase(*path, search.processPath)) return true;
    search.found = window;
    search.claimed.insert(window);
    return false;
}

bool FindWindowByTitle(WindowSearch& search, WindowHandle window) {
    if (!IsCandidateWindow(search.desktop, window)) return true;
    const std::u16string title = search.desktop.GetWindowTitle(window, kTitleCapacity);
    if (!EqualsNoCase(title, search.title) || search.claimed.count(window) != 0) return true;
    const auto path = ImagePathOfWindow(search.desktop, window);
    if (!path) return true;
    search.processPath = *path;
    search.found = window;
    search.claimed.insert(window);
    return false;
}

}  // namespace keyrack
