#include "deploy/item_groups.h"

#include <atomic>
#include <list>
#include <map>
#include <system_error>
#include <vector>

#include "deploy/group_shared.h"
#include "deploy/item_group.h"
#include "platform/format.h"

namespace keyrack {
namespace {

// Joins every started thread however RunItemGroups is left, so no item-group thread outlives
// the working slot it writes into.
class ThreadList {
  public:
    explicit ThreadList(std::size_t capacity) { m_threads.reserve(capacity); }
    ~ThreadList() {
        for (auto& thread : m_threads)
            if (thread && thread->joinable()) thread->join();
    }
    ThreadList(const ThreadList&) = delete;
    ThreadList& operator=(const ThreadList&) = delete;

    std::vector<std::unique_ptr<std::thread>>& Threads() { return m_threads; }

  private:
    std::vector<std::unique_ptr<std::thread>> m_threads;
};

void AbandonGroup(ItemQueue& queue) {
    while (!queue.empty()) {
        queue.front()->window = 0;
        queue.pop();
    }
}

}  // namespace

std::unique_ptr<std::thread> StartStdThread(std::function<void()> body) {
    return std::make_unique<std::thread>(std::move(body));
}

LearnedPaths RunItemGroups(Slot& slot, const DeployContext& context, const ThreadStarter& start,
                           PlacementWatch& watch, WindowHandle launchOwner) {
    Desktop& desktop = context.desktop;
    RunLog& log = context.log;
    WorkerStatusList& status = context.status;
    const StopRequest& stop = context.stop;
    log.LogLine("psp기준 아이템 분류");
    std::map<std::uint32_t, ItemQueue> groups;
    for (const auto& item : slot.items) groups[item->pspId].push(item.get());

    PathLearning pspChanged;
    const GroupShared shared{desktop, status, log, pspChanged, stop, watch, launchOwner};
    // Groups whose thread has not ended yet.
    std::atomic<std::size_t> running{0};
    // Groups whose id has no table entry search with an empty path of their own: only the
    // title search can find their windows, and what they learn is not kept.
    std::list<std::u16string> pathsWithoutEntry;
    // The paths as they were, to tell the learned ones afterwards.
    const std::map<std::uint32_t, std::u16string> before = slot.psp.paths;
    {
        ThreadList threads(groups.size());
        log.LogLine("아이템 그룹 실행 스레드 실행");
        for (auto& [pspId, queue] : groups) {
            const std::size_t statusIndex = status.Append();
            const auto entry = slot.psp.paths.find(pspId);
            if (entry == slot.psp.paths.end())
                log.LogLine(Format("psp {} 경로 없음: 제목으로만 찾음", pspId));
            std::u16string& processPath =
                entry != slot.psp.paths.end() ? entry->second : pathsWithoutEntry.emplace_back();
            ItemQueue& items = queue;
            const std::uint32_t groupId = pspId;  // clang before 16 captures no structured binding
            std::unique_ptr<std::thread> thread;
            ++running;
            try {
                thread = start(
                    [&shared, &log, &status, &items, &processPath, statusIndex, groupId, &running] {
                        try {
                            RunItemGroup(shared, items, processPath, statusIndex);
                        } catch (...) {
                            // The group's remaining items are not launched; the run log says so.
                            log.LogLine(Format("psp {} 아이템 그룹 스레드 예외 종료", groupId));
                            status.Remove(statusIndex);
                        }
                        --running;
                    });
            } catch (const std::system_error&) {
                --running;
                AbandonGroup(items);
                status.Remove(statusIndex);
                continue;
            }
            log.LogLine(Format("{} 스레드 생성", static_cast<const void*>(thread.get())));
            threads.Threads().push_back(std::move(thread));
        }
        log.LogLine("아이템 그룹 실행 스레드 종료 대기");
        // The windows placed so far are watched while the groups run.
        // After a stop the groups end at once, unless a launch call blocks: then this waits
        // without watching, and without spinning on the stop that ends every wait.
        while (running.load() != 0) {
            if (!stop.Requested()) watch.Pass();
            if (desktop.WaitUnlessStopped(stop, kWatchPassMs) == Desktop::WaitEnd::kStopped)
                desktop.Sleep(kWatchPassMs);
        }
        for (auto& thread : threads.Threads()) {
            thread->join();
            log.LogLine(Format("{} 스레드 종료", static_cast<const void*>(thread.get())));
            thread.reset();
        }
    }
    log.LogLine("아이템 그룹 실행 스레드 종료");
    LearnedPaths learned;
    if (!pspChanged.Changed()) return learned;
    for (const auto& [id, path] : slot.psp.paths) {
        const auto was = before.find(id);
        if (was != before.end() && was->second != path) learned.emplace(id, path);
    }
    return learned;
}

}  // namespace keyrack
