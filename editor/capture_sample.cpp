#include "editor/capture_sample.h"

#include "deploy/process_image.h"

namespace keyrack {

namespace {

inline constexpr std::size_t kCapturedTitleCapacity = 256;

// The logical button's state, read from the physical buttons: the capture thread reads no input
// of its own, so the state of its message queue would not follow the user's clicks on other
// programs' windows. GetAsyncKeyState reports the physical buttons, while the mouse hook and
// the rules speak of logical ones; with the buttons swapped the logical left is the physical
// right button.
bool IsDown(Desktop& desktop, int logicalButton, bool swapped) {
    const int physical = !swapped                           ? logicalButton
                         : logicalButton == win::kVkLButton ? win::kVkRButton
                                                            : win::kVkLButton;
    return desktop.GetAsyncKeyState(physical) < 0;
}

}  // namespace

CaptureSample SampleDesktop(Desktop& desktop, const MayTakeWindow& mayTake, int pressedButton) {
    CaptureSample sample;
    const bool swapped = desktop.MouseButtonsSwapped();
    sample.rightDown =
        pressedButton == win::kVkRButton || IsDown(desktop, win::kVkRButton, swapped);
    sample.leftDown = pressedButton == win::kVkLButton || IsDown(desktop, win::kVkLButton, swapped);
    const WindowHandle foreground = desktop.GetForegroundWindow();
    if (foreground == 0) return sample;
    if (!mayTake(foreground)) {
        sample.ignored = true;
        return sample;
    }
    // A window that closed between the two calls counts as no window in front.
    if (!desktop.GetWindowRect(foreground, &sample.rect)) return sample;
    sample.window = foreground;
    sample.maximized = desktop.IsZoomed(foreground);
    if (sample.leftDown) {
        const WindowImage image = ReadWindowImage(desktop, foreground);
        sample.path = image.path.value_or(std::u16string());
        if (image.imageProcessId != 0)
            sample.launchPath = AppsFolderTarget(desktop, image.imageProcessId);
        sample.title = desktop.GetWindowTitle(foreground, kCapturedTitleCapacity);
    }
    return sample;
}

bool SampleFilter::ShouldHandOver(const CaptureSample& sample) {
    const bool handOver = sample.leftDown || sample.rightDown || sample != m_last;
    m_last = sample;
    return handOver;
}

}  // namespace keyrack
