#include "slots/takeable_window.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "platform/text.h"

namespace keyrack {
namespace {

// The taskbar, the taskbars of further monitors, and the two windows that draw the desktop.
constexpr std::array<std::u16string_view, 4> kShellClasses = {
    u"Shell_TrayWnd", u"Shell_SecondaryTrayWnd", u"Progman", u"WorkerW"};

}  // namespace

bool IsTakeableWindow(Desktop& desktop, WindowHandle window) {
    std::uint32_t processId = 0;
    desktop.GetWindowThreadProcessId(window, &processId);
    if (processId == desktop.GetCurrentProcessId()) return false;
    // Class names compare without case, as the window manager compares them.
    const std::u16string className = desktop.GetWindowClassName(window);
    if (std::any_of(kShellClasses.begin(), kShellClasses.end(),
                    [&](std::u16string_view shell) { return EqualsNoCase(className, shell); }))
        return false;
    return !desktop.IsWindowCloaked(window);
}

}  // namespace keyrack
