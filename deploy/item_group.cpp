#include "deploy/item_group.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "deploy/brought_forward.h"
#include "deploy/launch_item.h"
#include "deploy/window_search.h"
#include "platform/com_apartment_scope.h"
#include "platform/format.h"
#include "platform/new_window_watch.h"

namespace keyrack {
namespace {

// What one item's search came to.
struct Found {
    WindowHandle window = 0;
    bool existing = false;  // a window open before the deployment, brought forward by the launch
    bool timedOut = false;
};

// Takes a window of the program's from before the deployment; none when another item has it.
std::optional<Found> TakeOpenBefore(WindowSearch& search, WindowHandle window) {
    if (!search.TakeOpenBefore(window)) return std::nullopt;
    return Found{window, true};
}

// The search of one item on the desktop's clock, from `launchedAt`: a path attempt at once, then
// every kPathAttemptMs and whenever a new top-level window appears; after each full attempt
// that finds nothing, a window the launch brought forward; the title search from
// kTitleSearchAfterMs; the program's one visible window from before from
// kExistingWindowAfterMs; the time-out at kSearchTimeoutMs. Between full attempts, every
// kFullSearchMs, an attempt looks only at the windows the watch reported since the last one
// and the program's windows not shown yet, so a long wait costs little. A stop request ends it
// at once.
Found SearchNewWindow(const GroupShared& shared, WindowSearch& search, BroughtForward& forward,
                      const SlotItem& item, std::uint64_t launchedAt) {
    Desktop& desktop = shared.desktop;
    const NewWindowWatch newWindows(desktop);
    std::uint64_t lastFull = 0;
    bool titleSearched = false;
    for (;;) {
        if (shared.stop.Requested()) return {};
        const std::uint64_t now = desktop.SteadyClockMs();
        const bool full = lastFull == 0 || now - lastFull >= kFullSearchMs;
        if (full) lastFull = now;
        // Between full attempts only the windows that appeared since the last attempt: the
        // enumeration itself costs a call per window under Wine.
        const std::vector<WindowHandle> fresh = desktop.TakeNewWindows();
        if (const auto window = full ? search.FindByPath(true) : search.FindByPathAmong(fresh))
            return Found{*window};
        // What a launch did to the program's open windows lasts: a look per full attempt.
        if (const WindowHandle window = full ? forward.Find() : 0)
            if (const auto found = TakeOpenBefore(search, window)) return *found;
        const std::uint64_t elapsed = desktop.SteadyClockMs() - launchedAt;
        // The title search between full attempts only when a window came (which the path
        // attempt met); the first one reads every window.
        const bool fullTitle = full || !titleSearched;
        if (elapsed >= kTitleSearchAfterMs && (fullTitle || search.MetNewWindows())) {
            if (const auto window = search.FindByTitle(item.name, fullTitle)) {
                shared.pspChanged.MarkChanged();
                return Found{*window};
            }
            titleSearched = true;
        }
        if (elapsed >= kExistingWindowAfterMs) {
            if (const WindowHandle window = forward.OnlyVisible())
                if (const auto found = TakeOpenBefore(search, window)) return *found;
        }
        if (elapsed >= kSearchTimeoutMs) return Found{0, false, true};
        // Up to the next attempt, but not past the next limit.
        std::uint64_t wait = kPathAttemptMs;
        for (const std::uint64_t limit :
             {kExistingWindowAfterMs, kTitleSearchAfterMs, kSearchTimeoutMs})
            if (elapsed < limit) wait = std::min<std::uint64_t>(wait, limit - elapsed);
        desktop.WaitUnlessStopped(shared.stop, static_cast<unsigned>(wait));
    }
}

// Publishes "프로세스 실행" and launches the item. False when there is nothing to launch (the
// shell would answer an empty file with an error box in Keyrack's process) or the shell
// refuses (a missing or renamed executable): no window could ever be recognised as the
// item's, so there is nothing to wait for.
bool Launch(const GroupShared& shared, std::size_t statusIndex, const SlotItem& item) {
    if (item.path.empty()) return false;
    shared.status.Publish(statusIndex, Format(u"프로세스 실행: {}", item.name));
    return LaunchItem(shared, item, ResolveLaunchPath(shared, item));
}

// A line for the popup and the run log that stays on the popup until the deployment ends.
void Report(const GroupShared& shared, std::size_t statusIndex, std::u16string& kept,
            std::u16string_view what, const SlotItem& item) {
    kept = Format(u"{}: {}", what, item.name);
    shared.status.Publish(statusIndex, kept);
    shared.log.LogLine(Format("{}: {}", what, item.name));
}

// Whether the window's thread answers within kNotAnsweringAfterMs: asked in slices, so that a
// stop request or the system's own verdict (IsHungAppWindow) ends the wait early.
bool Answers(const GroupShared& shared, WindowHandle window) {
    Desktop& desktop = shared.desktop;
    const std::uint64_t start = desktop.SteadyClockMs();
    for (;;) {
        if (desktop.IsHungAppWindow(window)) return false;
        const std::uint64_t elapsed = desktop.SteadyClockMs() - start;
        if (elapsed >= kNotAnsweringAfterMs || shared.stop.Requested()) return false;
        const auto slice = static_cast<unsigned>(
            std::min<std::uint64_t>(kWatchPassMs * 5, kNotAnsweringAfterMs - elapsed));
        if (WindowAnswers(desktop, window, slice)) return true;
    }
}

// Places the item's window and hands it to the watch. A window that does not answer counts as
// placed all the same: the placement waits in its queue and applies when it answers. So does
// the window of an elevated program, which the system does not let Keyrack show or move: it is
// reported at once instead of staying put without a word, and is not watched.
void Place(const GroupShared& shared, const WindowSearch& search, std::size_t statusIndex,
           std::u16string& kept, SlotItem& item) {
    bool refused = IsElevatedWindow(shared.desktop, item.window);
    const Rect at = refused ? Rect{} : PlaceWindow(shared.desktop, item.window, item, &refused);
    if (refused) {
        Report(shared, statusIndex, kept, u"관리자 권한", item);
        return;
    }
    if (!Answers(shared, item.window)) Report(shared, statusIndex, kept, u"응답 없음", item);
    shared.watch.Add(item, at, search.ProcessPath(), search.Claimed());
}

}  // namespace

void RunItemGroup(const GroupShared& shared, ItemQueue& queue, std::u16string& processPath,
                  std::size_t statusIndex) {
    Desktop& desktop = shared.desktop;
    const ComApartmentScope com(desktop);
    WindowSearch search(desktop, shared.log, processPath,
                        [&](WindowHandle window) { return shared.watch.Take(window); });
    // The group's last failed launch, time-out or window that does not answer, kept on the
    // popup until the deployment ends: a line that vanished with the group's thread would be
    // gone before the user could read it.
    std::u16string kept;
    for (; !queue.empty(); queue.pop()) {
        SlotItem& item = *queue.front();
        item.window = 0;
        if (shared.stop.Requested()) continue;
        BroughtForward forward(desktop, search.OpenBefore(),
                               [&](WindowHandle window) { return shared.watch.Taken(window); });
        const std::uint64_t launchedAt = desktop.SteadyClockMs();
        if (!Launch(shared, statusIndex, item)) {
            Report(shared, statusIndex, kept, u"실행 실패", item);
        } else {
            search.BeginItem();
            shared.status.Publish(statusIndex, Format(u"프로세스 탐색: {}", item.name));
            const Found found = SearchNewWindow(shared, search, forward, item, launchedAt);
            item.window = found.window;
            if (found.timedOut) {
                Report(shared, statusIndex, kept, u"타임아웃", item);
            } else if (found.existing) {
                shared.status.Publish(statusIndex, Format(u"기존 창 배치: {}", item.name));
                shared.log.LogLine(Format("기존 창 배치: {}", item.name));
            } else if (found.window != 0) {
                shared.status.Publish(statusIndex, Format(u"프로세스 배치: {}", item.name));
            }
        }
        // The pause after the item counts from the end of its search: the wait for a window's
        // answer is part of it.
        const std::uint64_t searched = desktop.SteadyClockMs();
        if (item.window != 0) Place(shared, search, statusIndex, kept, item);
        const std::uint64_t placing = desktop.SteadyClockMs() - searched;
        if (placing < kAfterItemPauseMs)
            PauseUnlessStopped(desktop, shared.stop,
                               static_cast<unsigned>(kAfterItemPauseMs - placing));
    }
    if (kept.empty())
        shared.status.Remove(statusIndex);
    else
        shared.status.Publish(statusIndex, kept);
}

}  // namespace keyrack
