#include "deploy/window_search.h"

#include "deploy/process_image.h"
#include "deploy/program_path.h"
#include "platform/format.h"
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

WindowSearch::WindowSearch(Desktop& desktop, RunLog& log, std::u16string& processPath)
    : m_desktop(desktop), m_processPath(processPath) {
    m_desktop.EnumWindows([&](WindowHandle window) {
        if (!IsCandidateWindow(m_desktop, window)) return true;
        const auto path = ImagePathOfWindow(m_desktop, window);
        if (path && SameProgramPath(m_desktop, *path, m_processPath)) {
            log.LogLine(Format("pre: {}", *path));
            m_claimed.insert(window);
            m_openBefore.insert(window);
        }
        return true;
    });
}

std::optional<WindowHandle> WindowSearch::Find(bool (WindowSearch::*test)(WindowHandle)) {
    std::optional<WindowHandle> found;
    m_desktop.EnumWindows([&](WindowHandle window) {
        if (!(this->*test)(window)) return true;
        found = window;
        return false;
    });
    if (found) m_claimed.insert(*found);
    return found;
}

std::optional<WindowHandle> WindowSearch::FindByPath() { return Find(&WindowSearch::MatchesPath); }

std::optional<WindowHandle> WindowSearch::FindByTitle(const std::u16string& title) {
    // An item without a name has nothing to recognise its window by: an empty title would
    // match any untitled window of any program.
    if (title.empty()) return std::nullopt;
    m_title = title;
    return Find(&WindowSearch::MatchesTitle);
}

bool WindowSearch::MatchesPath(WindowHandle window) {
    const auto judged = m_judgedOther.find(window);
    if (judged != m_judgedOther.end()) {
        std::uint32_t processId = 0;
        m_desktop.GetWindowThreadProcessId(window, &processId);
        if (processId == judged->second) return false;
        m_judgedOther.erase(judged);  // gone, or the handle was reused
    }
    if (!IsCandidateWindow(m_desktop, window)) return false;
    // A claimed window can never be taken, so its process is not opened.
    if (m_claimed.count(window) != 0) return false;
    const WindowImage image = ReadWindowImage(m_desktop, window);
    // A path that could not be read may be readable later (a process still starting), and a
    // frame's path follows its children: neither is remembered.
    if (!image.path) return false;
    if (!SameProgramPath(m_desktop, *image.path, m_processPath)) {
        if (!image.fromChild) m_judgedOther.emplace(window, image.processId);
        return false;
    }
    return true;
}

bool WindowSearch::MatchesTitle(WindowHandle window) {
    if (!IsCandidateWindow(m_desktop, window)) return false;
    const std::u16string title = m_desktop.GetWindowTitle(window, kTitleCapacity);
    if (!SameText(m_desktop, title, m_title) || m_claimed.count(window) != 0) return false;
    const auto path = ImagePathOfWindow(m_desktop, window);
    if (!path) return false;
    m_processPath = *path;
    return true;
}

}  // namespace keyrack
