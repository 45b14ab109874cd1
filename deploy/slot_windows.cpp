#include "deploy/slot_windows.h"

#include "deploy/place_window.h"

namespace keyrack {
namespace {

// Marks entry `position` of the slot's current list, if the list still has it.
void SetMinimized(SlotManager& slots, int index, std::size_t position, bool minimized) {
    slots.UpdateWindowList(index, [&](WindowList& list) {
        if (position < list.size()) list[position].minimized = minimized ? 1 : 0;
    });
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
        // The maximise (which activates) before the move to the top: the window's last step is
        // the one that puts it above the slot's earlier windows.
        if (pair.maximize) desktop.ShowWindowAsync(pair.handle, win::kSwShowMaximized);
        desktop.SetWindowPos(
            pair.handle, win::kHwndTop, 0, 0, 0, 0,
            win::kSwpNoSize | win::kSwpNoMove | win::kSwpNoActivate | win::kSwpAsyncWindowPos);
        SetMinimized(slots, index, i, false);
        // A window's thread carries out its steps in the order they came, and a sent message
        // after them. Waiting, bounded, for its answer keeps a slow program's activation (from
        // the maximise) from landing above the slot's later windows; a window that does not
        // answer holds the raise up by the bound at most.
        WindowAnswers(desktop, pair.handle, kRaiseAnswerTimeoutMs);
        desktop.Sleep(kToggleStepPauseMs);
    }
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
