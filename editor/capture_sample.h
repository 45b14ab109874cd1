// The window-capture thread's view of the desktop: one sample per event it hears (mouse
// buttons, the foreground window and what the editor needs of it), taken through the desktop
// seam and handed to the user-interface thread, which applies the editor's rules to it. The
// thread itself changes nothing.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "platform/desktop.h"

namespace keyrack {

struct CaptureSample {
    bool leftDown = false;
    bool rightDown = false;
    // A window in front that is never captured or tracked: one of Keyrack's own (the editor
    // included) or the shell's desktop and taskbar.
    bool ignored = false;
    WindowHandle window = 0;  // the foreground window; 0 when none or ignored
    Rect rect;                // window's rectangle
    bool maximized = false;
    // Read only while the left button is down on a window: the image path of its process
    // (empty when the process can't be opened) and its title.
    std::u16string path;
    std::u16string title;
    // What launches a packaged app ("shell:AppsFolder\<AUMID>"); empty for any other program,
    // which launches by its path.
    std::u16string launchPath;
    friend bool operator==(const CaptureSample&, const CaptureSample&) = default;
};

// Whether Keyrack may take a window: false for its own windows and the shell's.
using MayTakeWindow = std::function<bool(WindowHandle)>;

// One look at the desktop. `pressedButton` (win::kVkLButton or win::kVkRButton, the logical
// button) counts as down whatever the system's button state says yet; 0 for none.
CaptureSample SampleDesktop(Desktop& desktop, const MayTakeWindow& mayTake, int pressedButton = 0);

// Which samples are worth handing over: every one while a button is down (clicks are rules
// applied sample by sample), otherwise only one that differs from the last one handed over, so an
// idle or unchanged desktop costs the user-interface thread nothing.
class SampleFilter {
  public:
    bool ShouldHandOver(const CaptureSample& sample);

  private:
    std::optional<CaptureSample> m_last;
};

}  // namespace keyrack
