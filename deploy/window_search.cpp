#include "deploy/window_search.h"

#include <cstdio>

#include "deploy/process_image.h"
#include "platform/text.h"
#include "slots/takeable_window.h"

namespace keyrack {

bool IsCandidateWindow(Desktop& desktop, WindowHandle window) {
    if (!desktop.IsWindowVisible(window)) return false;
    const std::uint32_t exStyle = desktop.GetExStyle(window);
    if (!(exStyle & win::kWsExAppWindow)) {
        if (exStyle & win::kWsExToolWindow) return false;
        if (desktop.GetOwner(window) != 0) return false;
    }
    return IsTakeableWindow(desktop, window);
}

bool CollectExistingWindows(WindowSearch& search, WindowHandle window) {
    if (!IsCandidateWindow(search.desktop, window)) return true;
    const auto path = ImagePathOfWindow(search.desktop, window);
    if (path && EqualsNoCase(*path, search.processPath)) {
        std::printf("pre: %s\n", Utf16ToUtf8(*path).c_str());
        search.claimed.insert(window);
        search.openBefore.insert(window);
    }
    return true;
}

bool FindWindowByPath(WindowSearch& search, WindowHandle window) {
    const auto judged = search.judgedOther.find(window);
    if (judged != search.judgedOther.end()) {
        std::uint32_t processId = 0;
        search.desktop.GetWindowThreadProcessId(window, &processId);
        if (processId == judged->second) return true;
        search.judgedOther.erase(judged);  // gone, or the handle was reused
    }
    if (!IsCandidateWindow(search.desktop, window)) return true;
    // A claimed window can never be taken, so its process is not opened.
    if (search.claimed.count(window) != 0) return true;
    const WindowImage image = ReadWindowImage(search.desktop, window);
    // A path that could not be read may be readable later (a process still starting), and a
    // frame's path follows its children: neither is remembered.
    if (!image.path) return true;
    if (!EqualsNoCase(*image.path, search.processPath)) {
        if (!image.fromChild) search.judgedOther.emplace(window, image.processId);
        return true;
    }
    search.found = window;
    search.claimed.insert(window);
    return false;
}

bool FindWindowByTitle(WindowSearch& search, WindowHandle window) {
    // An item without a name has nothing to recognise its window by: an empty title would
    // match any untitled window of any program.
    if (search.title.empty()) return false;
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
