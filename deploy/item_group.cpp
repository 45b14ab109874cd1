#include "deploy/item_group.h"

#include <algorithm>
#include <optional>

#include "deploy/brought_forward.h"
#include "deploy/launch_item.h"
#include "deploy/window_search.h"
#include "platform/com_apartment_scope.h"
#include "platform/format.h"
#include "platform/thread_dpi_scope.h"

namespace keyrack {
namespace {

// What one item's search came to.
struct Found {
    WindowHandle window = 0;
    bool existing = false;  // a window open before the deployment, brought forward by the launch
};

// Takes the program's window from before the deployment when the launch brought it forward
// and no new window has appeared.
std::optional<Found> TakeBroughtForward(WindowSearch& search, BroughtForward& forward) {
    const WindowHandle window = forward.Find();
    if (window == 0) return std::nullopt;
    search.TakeOpenBefore(window);  // claimed already: no later item takes it
    return Found{window, true};
}

// The path search at once and after each pause; the title search from the 500th pause on.
// After each path search that finds nothing, a window the launch brought forward is taken.
// A stop request ends the search before its next attempt.
Found SearchNewWindow(const GroupShared& shared, WindowSearch& search, BroughtForward& forward,
                      std::size_t statusIndex, const SlotItem& item) {
    auto attempt = [&]() -> std::optional<Found> {
        if (const auto window = search.FindByPath()) return Found{*window, false};
        return TakeBroughtForward(search, forward);
    };
    if (const auto found = attempt()) return *found;
    for (int n = 0;;) {
        if (shared.stop.Requested()) return {};
        if (n >= kTitleSearchAfterPauses) {
            if (const auto window = search.FindByTitle(item.name)) {
                shared.pspChanged.MarkChanged();
                return Found{*window, false};
            }
        }
        if (n >= kSearchPauses) {
            shared.status.Publish(statusIndex, Format(u"타임아웃: {}", item.name));
            return {};
        }
        ++n;
        shared.desktop.Sleep(kSearchPauseMs);
        if (shared.stop.Requested()) return {};
        if (const auto found = attempt()) return *found;
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

// Places the item's window and hands it to the watch. A window whose thread does not answer
// counts as placed all the same: the placement waits in its queue and applies when it answers.
// So does the window of an elevated program, which the system does not let Keyrack show or
// move: it is reported at once instead of staying put without a word.
// Returns how long the answer took, which counts towards the pause after the item.
unsigned Place(const GroupShared& shared, const WindowSearch& search, std::size_t statusIndex,
               std::u16string& kept, SlotItem& item) {
    bool refused = IsElevatedWindow(shared.desktop, item.window);
    const Rect at = refused ? Rect{} : PlaceWindow(shared.desktop, item.window, item, &refused);
    if (refused) {
        Report(shared, statusIndex, kept, u"관리자 권한", item);
        return 0;
    }
    unsigned waited = 0;
    if (!WindowAnswers(shared.desktop, item.window)) {
        waited = kAnswerTimeoutMs;
        Report(shared, statusIndex, kept, u"응답 없음", item);
    }
    shared.watch.Add(item, at, search.ProcessPath(), search.Claimed());
    return waited;
}

}  // namespace

void RunItemGroup(const GroupShared& shared, ItemQueue& queue, std::u16string& processPath,
                  std::size_t statusIndex) {
    Desktop& desktop = shared.desktop;
    const PerMonitorDpiScope dpi(desktop);
    const ComApartmentScope com(desktop);
    WindowSearch search(desktop, shared.log, processPath);
    // The group's last failed launch or window that does not answer, kept on the popup until
    // the deployment ends: a line that vanished with the group's thread would be gone before
    // the user could read it.
    std::u16string kept;
    for (; !queue.empty(); queue.pop()) {
        SlotItem& item = *queue.front();
        item.window = 0;
        if (shared.stop.Requested()) continue;
        unsigned waited = 0;
        BroughtForward forward(desktop, search.OpenBefore(),
                               [&](WindowHandle window) { return shared.watch.Watches(window); });
        if (!Launch(shared, statusIndex, item)) {
            Report(shared, statusIndex, kept, u"실행 실패", item);
        } else {
            search.BeginItem();
            shared.status.Publish(statusIndex, Format(u"프로세스 탐색: {}", item.name));
            const Found found = SearchNewWindow(shared, search, forward, statusIndex, item);
            item.window = found.window;
            if (found.existing) {
                shared.status.Publish(statusIndex, Format(u"기존 창 배치: {}", item.name));
                shared.log.LogLine(Format("기존 창 배치: {}", item.name));
            } else {
                shared.status.Publish(statusIndex, Format(u"프로세스 배치: {}", item.name));
            }
            if (item.window != 0) waited = Place(shared, search, statusIndex, kept, item);
        }
        PauseUnlessStopped(desktop, shared.stop,
                           kAfterItemPauseMs - std::min(waited, kAfterItemPauseMs));
    }
    if (kept.empty())
        shared.status.Remove(statusIndex);
    else
        shared.status.Publish(statusIndex, kept);
}

}  // namespace keyrack
