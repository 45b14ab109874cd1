#include "deploy/item_group.h"

#include <cstdio>

#include "deploy/window_search.h"
#include "platform/format.h"

namespace keyrack {
namespace {

void EnumWith(WindowSearch& search, bool (*callback)(WindowSearch&, WindowHandle)) {
    search.desktop.EnumWindows([&](WindowHandle window) { return callback(search, window); });
}

// The path search at once and after each pause; the title search from the 500th pause on.
// A stop request ends the search before its next attempt.
void SearchNewWindow(WindowSearch& search, WorkerStatusList& status, std::size_t statusIndex,
                     const SlotItem& item, PathLearning& pspChanged, const StopRequest& stop) {
    EnumWith(search, FindWindowByPath);
    if (search.found != 0) return;
    for (int n = 0;;) {
        if (stop.Requested()) return;
        if (n >= kTitleSearchAfterPauses) {
            EnumWith(search, FindWindowByTitle);
            if (search.found != 0) {
                pspChanged.MarkChanged();
                return;
            }
        }
        if (n >= kSearchPauses) {
            status.Publish(statusIndex, Format(u"타임아웃: {}", item.name));
            return;
        }
        ++n;
        search.desktop.Sleep(kSearchPauseMs);
        if (stop.Requested()) return;
        EnumWith(search, FindWindowByPath);
        if (search.found != 0) return;
    }
}

void Place(Desktop& desktop, const SlotItem& item) {
    desktop.ShowWindow(item.window, win::kSwShowNormal);
    desktop.MoveWindow(item.window, item.x, item.y, item.width, item.height, false);
    if (item.maximize != 0) desktop.ShowWindow(item.window, win::kSwShowMaximized);
}

}  // namespace

void RunItemGroup(Desktop& desktop, WorkerStatusList& status, ItemQueue& queue,
                  std::u16string& processPath, std::size_t statusIndex, PathLearning& pspChanged,
                  const StopRequest& stop) {
    WindowSearch search(desktop, processPath);
    EnumWith(search, CollectExistingWindows);
    for (; !queue.empty(); queue.pop()) {
        SlotItem& item = *queue.front();
        item.window = 0;
        if (stop.Requested()) continue;
        if (item.path.empty()) {
            // The shell would answer an empty file with an error box in Keyrack's process, and
            // no window could be recognised as this item's.
            status.Publish(statusIndex, Format(u"실행 실패: {}", item.name));
        } else {
            status.Publish(statusIndex, Format(u"프로세스 실행: {}", item.name));
            if (!desktop.ShellExecuteDefault(item.path, item.parameters, win::kSwShow))
                std::printf("execute error\n");
            search.title = item.name;
            status.Publish(statusIndex, Format(u"프로세스 탐색: {}", item.name));
            SearchNewWindow(search, status, statusIndex, item, pspChanged, stop);
            item.window = search.found;
            status.Publish(statusIndex, Format(u"프로세스 배치: {}", item.name));
            if (item.window != 0) Place(desktop, item);
            search.found = 0;
        }
        PauseUnlessStopped(desktop, stop, kAfterItemPauseMs);
    }
    status.Remove(statusIndex);
}

}  // namespace keyrack
