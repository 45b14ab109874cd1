#include "deploy/slot_windows.h"

#include <algorithm>
#include <vector>

#include "deploy/place_window.h"

namespace keyrack {
namespace {

// Marks entry `position` of the slot's current list, if the list still has it.
void SetMinimized(SlotManager& slots, int index, std::size_t position, bool minimized) {
    slots.UpdateWindowList(index, [&](WindowList& list) {
        if (position < list.size()) list[position].minimized = minimized ? 1 : 0;
    });
}

std::vector<WindowHandle> HandlesOf(const WindowList& list) {
    std::vector<WindowHandle> handles;
    for (const HandleMaxiPair& pair : list)
        if (pair.handle != 0) handles.push_back(pair.handle);
    return handles;
}

// From the last window down: the last into the foreground, each earlier one under the one after
// it, so the slot ends in its order with its last item on top (see RaiseSlotWindows).
void OrderFromTheLast(Desktop& desktop, const std::vector<WindowHandle>& windows) {
    constexpr unsigned kInPlace =
        win::kSwpNoSize | win::kSwpNoMove | win::kSwpNoActivate | win::kSwpAsyncWindowPos;
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        const bool last = it == windows.rbegin();
        if (last) desktop.SetForegroundWindow(*it);
        // The last one also to the top by its own thread, whose program holds the foreground
        // then: Wine's activation leaves the move to the display's window manager, later.
        desktop.SetWindowPos(*it, last ? win::kHwndTop : *(it - 1), 0, 0, 0, 0, kInPlace);
        WindowAnswers(desktop, *it, kRaiseAnswerTimeoutMs);
        desktop.Sleep(kToggleStepPauseMs);
    }
}

// When one of the slot's earlier windows holds the foreground (its maximise activated it once its
// thread got to it, or the placement watch placed it again), the order is made again; a window
// of another program in front, the user's choice, stays there.
void OrderAgainIfAnEarlierOneIsInFront(Desktop& desktop, const std::vector<WindowHandle>& windows) {
    const WindowHandle foreground = desktop.GetForegroundWindow();
    if (windows.empty() || foreground == windows.back() ||
        std::find(windows.begin(), windows.end(), foreground) == windows.end())
        return;
    OrderFromTheLast(desktop, windows);
}

}  // namespace

void ToggleSlotWindows(Desktop& desktop, SlotManager& slots, int index, RunLog& log) {
    const auto list = slots.GetWindowList(index);
    if (!list || list->empty()) return;
    if (list->front().minimized) {
        log.LogLine("슬롯 맨 위로");
        RaiseSlotWindows(desktop, slots, index);
    } else {
        log.LogLine("슬롯 최소화");
        MinimizeSlotWindows(desktop, slots, index);
    }
}

void MinimizeSlotWindows(Desktop& desktop, SlotManager& slots, int index) {
    const auto list = slots.GetWindowList(index);
    if (!list) return;
    for (std::size_t i = 0; i < list->size(); ++i) {
        desktop.ShowWindowAsync((*list)[i].handle, win::kSwShowMinNoActive);
        SetMinimized(slots, index, i, true);
        desktop.Sleep(kToggleStepPauseMs);
    }
}

// Windows' foreground lock lets a process activate a window or move it to the top only while
// that process may set the foreground. Keyrack may, from the chord (a registered hotkey) until
// the user's next input, which the chord's own key releases already are, and while its
// indicator is in front; the slot's programs, which carry out the posted calls on their own
// threads, may not. So the step that needs Keyrack's right is its own and comes first, before
// any pause; what the programs run needs no right, or only the one the foreground gives:
// - ShowWindowAsync (restore, maximise): posted. A maximise activates the window only where its
//   program may set the foreground (under Wine always, on Windows when a deployment lent it the
//   right), and then whenever its thread gets to it; an earlier window that so took the
//   foreground has the order made once more at the end.
// - SetForegroundWindow on the slot's last window: synchronous, on this thread, where the right
//   is checked; the system switches the foreground and posts the activation and the move to the
//   top to the window's thread, without waiting for it.
// - SetWindowPos with SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS: posted; the last window to the top
//   (its program holds the foreground by then), each earlier one below the next, which needs
//   no right.
// - SendMessageTimeout(WM_NULL, SMTO_ABORTIFHUNG): the only wait, bounded, and none at all on a
//   window the system counts as hung. With the pause after it, it gives each window time to
//   take its place before the next one down is put under it.
// So a hung program delays the raise by the bound at most and its window catches up once it
// answers again.
void RaiseSlotWindows(Desktop& desktop, SlotManager& slots, int index) {
    const auto list = slots.GetWindowList(index);
    if (!list) return;
    for (const HandleMaxiPair& pair : *list)
        desktop.ShowWindowAsync(pair.handle, win::kSwShowMinNoActive);
    // The calls are posted to each window's thread, which takes them in order: the restore
    // follows the minimise of the first pass, so every window is restored without asking
    // IsIconic, which would still answer from before the minimise.
    for (std::size_t i = 0; i < list->size(); ++i) {
        const HandleMaxiPair& pair = (*list)[i];
        desktop.ShowWindowAsync(pair.handle, win::kSwShowNoActivate);
        if (pair.maximize) desktop.ShowWindowAsync(pair.handle, win::kSwShowMaximized);
        SetMinimized(slots, index, i, false);
    }
    const std::vector<WindowHandle> windows = HandlesOf(*list);
    OrderFromTheLast(desktop, windows);
    OrderAgainIfAnEarlierOneIsInFront(desktop, windows);
}

void KeepSlotInFront(Desktop& desktop, SlotManager& slots, int index) {
    const auto list = slots.GetWindowList(index);
    if (!list) return;
    OrderAgainIfAnEarlierOneIsInFront(desktop, HandlesOf(*list));
}

void CloseSlotWindows(Desktop& desktop, SlotManager& slots, int index) {
    const auto list = slots.GetWindowList(index);
    if (!list) return;
    // A null handle is skipped: PostMessageW to no window would post WM_CLOSE to the calling
    // thread's own queue, which is the user-interface thread's.
    for (const HandleMaxiPair& pair : *list)
        if (pair.handle != 0) desktop.PostWindowMessage(pair.handle, win::kWmClose, 0, 0);
}

}  // namespace keyrack
