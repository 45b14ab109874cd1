#include "deploy/deploy_slot.h"

#include <functional>

#include "deploy/item_groups.h"
#include "deploy/slot_windows.h"

namespace keyrack {
namespace {

// The outcome stays on the indicator for 2.5 s, while the placed windows are still watched;
// the status lines of the finished threads are dropped only then. `beforeClose` runs last
// before the popup closes.
void FinishIndicator(Desktop& desktop, WorkerStatusList& status, DeploymentIndicator* indicator,
                     const std::u16string& finalText, const StopRequest& stop,
                     PlacementWatch* watch, const std::function<void()>& beforeClose = {}) {
    if (indicator) {
        indicator->ShowOutcome(finalText);
        if (watch)
            watch->WatchFor(stop, kOutcomePauseMs);
        else
            PauseUnlessStopped(desktop, stop, kOutcomePauseMs);
    }
    if (beforeClose) beforeClose();
    status.Clear();
    if (indicator) indicator->Finish();
}

}  // namespace

void DeploySlot(SlotManager& slots, int index, DeploymentIndicator* indicator,
                const DeployContext& context) {
    Desktop& desktop = context.desktop;
    RunLog& log = context.log;
    WorkerStatusList& status = context.status;
    const StopRequest& stop = context.stop;
    std::unique_ptr<Slot> current = slots.LoadCurrent(index);
    if (!current) {
        log.LogLine("슬롯 로딩 실패");
        log.LogLine("인디케이터 종료");
        FinishIndicator(desktop, status, indicator, u"로드 실패", stop, nullptr);
        return;
    }
    log.LogLine("슬롯 로딩 성공");
    log.LogLine("인디케이터에 슬롯 이름 지정");
    if (indicator) indicator->SetSlotName(current->name);
    log.LogLine("슬롯 열기");
    PlacementWatch watch(desktop);
    const StoreOutcome kept = slots.Table().KeepLearnedPaths(
        index, RunItemGroups(*current, context, StartStdThread, watch,
                             indicator ? indicator->Window() : 0));
    if (!kept.Written()) log.LogLine(StoreFailureLine(kept));
    log.LogLine("HandleMaxiPair 로드 완료");
    slots.SetWindowList(index, current->BuildWindowList());
    if (stop.Requested()) {
        // The program is exiting: the windows placed so far stay as they are.
        log.LogLine("슬롯 전개 중단");
    } else {
        log.LogLine("슬롯 맨 위로");
        RaiseSlotWindows(desktop, slots, index);
    }
    log.LogLine("인디케이터 종료");
    FinishIndicator(desktop, status, indicator, u"완료", stop, &watch, [&] {
        // The foreground stays with the slot's last window after the popup, which kept this
        // program's right to set it, has gone.
        if (!stop.Requested()) KeepSlotInFront(desktop, slots, index);
    });
    // A splash window that gave way to its main window during the outcome: the list gets the
    // window the item ended with.
    if (watch.Replaced()) slots.SetWindowList(index, current->BuildWindowList());
    log.LogLine("슬롯 메니저 메모리 해제");
    SlotManager::ReleaseCurrent(current);
}

}  // namespace keyrack
