#include "deploy/item_group.h"

#include <cstdio>

#include "deploy/brought_forward.h"
#include "deploy/window_search.h"
#include "platform/format.h"
#include "platform/thread_dpi_scope.h"

namespace keyrack {
namespace {

void EnumWith(WindowSearch& search, bool (*callback)(WindowSearch&, WindowHandle)) {
    search.desktop.EnumWindows([&](WindowHandle window) { return callback(search, window); });
}

// Takes the program's window from before the deployment when the launch brought it forward
// and no new window has appeared. True when it did.
bool TakeBroughtForward(WindowSearch& search, BroughtForward& forward) {
    const WindowHandle window = forward.Find();
    if (window == 0) return false;
    search.found = window;
    search.openBefore.erase(window);  // in `claimed` already: no later item takes it
    return true;
}

// The path search at once and after each pause; the title search from the 500th pause on.
// After each path search that finds nothing, a window the launch brought forward is taken.
// A stop request ends the search before its next attempt. True when the window found is one
// that was open before the deployment.
bool SearchNewWindow(WindowSearch& search, BroughtForward& forward, WorkerStatusList& status,
                     std::size_t statusIndex, const SlotItem& item, PathLearning& pspChanged,
                     const StopRequest& stop) {
    EnumWith(search, FindWindowByPath);
    if (search.found != 0) return false;
    if (TakeBroughtForward(search, forward)) return true;
    for (int n = 0;;) {
        if (stop.Requested()) return false;
        if (n >= kTitleSearchAfterPauses) {
            EnumWith(search, FindWindowByTitle);
            if (search.found != 0) {
                pspChanged.MarkChanged();
                return false;
            }
        }
        if (n >= kSearchPauses) {
            status.Publish(statusIndex, Format(u"타임아웃: {}", item.name));
            return false;
        }
        ++n;
        search.desktop.Sleep(kSearchPauseMs);
        if (stop.Requested()) return false;
        EnumWith(search, FindWindowByPath);
        if (search.found != 0) return false;
        if (TakeBroughtForward(search, forward)) return true;
    }
}

// Publishes "프로세스 실행" and launches the item. False when there is nothing to launch (the
// shell would answer an empty file with an error box in Keyrack's process) or the shell
// refuses (a missing or renamed executable): no window could ever be recognised as the
// item's, so there is nothing to wait for.
bool Launch(const GroupShared& shared, std::size_t statusIndex, const SlotItem& item) {
    if (item.path.empty()) return false;
    shared.status.Publish(statusIndex, Format(u"프로세스 실행: {}", item.name));
    if (shared.desktop.ShellExecuteDefault(item.path, item.parameters, win::kSwShow)) return true;
    std::printf("execute error\n");
    return false;
}

}  // namespace

void RunItemGroup(const GroupShared& shared, ItemQueue& queue, std::u16string& processPath,
                  std::size_t statusIndex) {
    Desktop& desktop = shared.desktop;
    const PerMonitorDpiScope dpi(desktop);
    WindowSearch search(desktop, processPath);
    EnumWith(search, CollectExistingWindows);
    // The group's last failed launch, kept on the popup until the deployment ends: a line that
    // vanished with the group's thread would be gone before the user could read it.
    std::u16string failure;
    for (; !queue.empty(); queue.pop()) {
        SlotItem& item = *queue.front();
        item.window = 0;
        if (shared.stop.Requested()) continue;
        BroughtForward forward(desktop, search.openBefore,
                               [&](WindowHandle window) { return shared.watch.Watches(window); });
        if (!Launch(shared, statusIndex, item)) {
            failure = Format(u"실행 실패: {}", item.name);
            shared.status.Publish(statusIndex, failure);
            shared.log.LogLine(Format("실행 실패: {}", item.name));
        } else {
            search.title = item.name;
            search.judgedOther.clear();
            shared.status.Publish(statusIndex, Format(u"프로세스 탐색: {}", item.name));
            const bool existing = SearchNewWindow(search, forward, shared.status, statusIndex, item,
                                                  shared.pspChanged, shared.stop);
            item.window = search.found;
            if (existing) {
                shared.status.Publish(statusIndex, Format(u"기존 창 배치: {}", item.name));
                shared.log.LogLine(Format("기존 창 배치: {}", item.name));
            } else {
                shared.status.Publish(statusIndex, Format(u"프로세스 배치: {}", item.name));
            }
            if (item.window != 0) {
                PlaceWindow(desktop, item);
                shared.watch.Add(item, processPath, search.claimed);
            }
            search.found = 0;
        }
        PauseUnlessStopped(desktop, shared.stop, kAfterItemPauseMs);
    }
    if (failure.empty())
        shared.status.Remove(statusIndex);
    else
        shared.status.Publish(statusIndex, failure);
}

}  // namespace keyrack
