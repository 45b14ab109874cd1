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

WindowSearch::WindowSearch(Desktop& desktop, RunLog& log, std::u16string& processPath,
                           TakeWindow take)
    : m_desktop(desktop), m_processPath(processPath), m_take(std::move(take)) {
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

void WindowSearch::BeginItem() {
    m_judgedOther.clear();
    m_judgedOurs.clear();
    m_titleSeen.clear();
}

bool WindowSearch::Claim(WindowHandle window) {
    m_claimed.insert(window);
    return !m_take || m_take(window);
}

bool WindowSearch::TakeOpenBefore(WindowHandle window) {
    m_openBefore.erase(window);
    return Claim(window);
}

std::optional<WindowHandle> WindowSearch::Find(bool (WindowSearch::*test)(WindowHandle, bool),
                                               bool full) {
    std::optional<WindowHandle> found;
    m_desktop.EnumWindows([&](WindowHandle window) {
        if (!(this->*test)(window, full) || !Claim(window)) return true;
        found = window;
        return false;
    });
    return found;
}

std::optional<WindowHandle> WindowSearch::FindByPath(bool full) {
    m_metNew = false;
    return Find(&WindowSearch::MatchesPath, full);
}

std::optional<WindowHandle> WindowSearch::FindByPathAmong(
    const std::vector<WindowHandle>& windows) {
    m_metNew = false;
    std::vector<WindowHandle> look = windows;
    for (const auto& [window, processId] : m_judgedOurs) look.push_back(window);
    for (const WindowHandle window : look) {
        if (MatchesPath(window, false) && Claim(window)) return window;
    }
    return std::nullopt;
}

std::optional<WindowHandle> WindowSearch::FindByTitle(const std::u16string& title, bool full) {
    // An item without a name has nothing to recognise its window by: an empty title would
    // match any untitled window of any program.
    if (title.empty()) return std::nullopt;
    m_title = title;
    if (full) m_titleSeen.clear();
    const auto found = Find(&WindowSearch::MatchesTitle, full);
    if (found) m_processPath = m_titlePath;
    return found;
}

bool WindowSearch::SameProcess(WindowHandle window, std::uint32_t processId) {
    std::uint32_t now = 0;
    m_desktop.GetWindowThreadProcessId(window, &now);
    return now == processId;
}

bool WindowSearch::MatchesPath(WindowHandle window, bool full) {
    const auto other = m_judgedOther.find(window);
    if (other != m_judgedOther.end()) {
        if (!full || SameProcess(window, other->second)) return false;
        m_judgedOther.erase(other);  // gone, or the handle was reused
    }
    // A claimed window can never be taken, so its process is not opened.
    if (m_claimed.count(window) != 0) return false;
    const auto ours = m_judgedOurs.find(window);
    if (ours != m_judgedOurs.end()) {
        if (full && !SameProcess(window, ours->second)) {
            m_judgedOurs.erase(ours);
            return false;
        }
        return IsCandidateWindow(m_desktop, window);
    }
    m_metNew = true;
    const WindowImage image = ReadWindowImage(m_desktop, window);
    // A path that could not be read may be readable later (a process still starting), and a
    // frame's path follows its children: neither is remembered.
    if (!image.path) return false;
    const bool matches = SameProgramPath(m_desktop, *image.path, m_processPath);
    if (!image.fromChild) (matches ? m_judgedOurs : m_judgedOther).emplace(window, image.processId);
    return matches && IsCandidateWindow(m_desktop, window);
}

bool WindowSearch::MatchesTitle(WindowHandle window, bool full) {
    // Between full attempts only windows new since the last attempt are read.
    if (!m_titleSeen.insert(window).second && !full) return false;
    if (!IsCandidateWindow(m_desktop, window)) return false;
    const std::u16string title = m_desktop.GetWindowTitle(window, kTitleCapacity);
    if (!SameText(m_desktop, title, m_title) || m_claimed.count(window) != 0) return false;
    const auto path = ImagePathOfWindow(m_desktop, window);
    if (!path) return false;
    m_titlePath = *path;
    return true;
}

}  // namespace keyrack
