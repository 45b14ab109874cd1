#include "app/hotkey_loop.h"

#include "deploy/deploy_slot.h"
#include "deploy/slot_windows.h"
#include "platform/format.h"

namespace keyrack {
namespace {

bool IsDown(Desktop& desktop, int virtualKey) { return desktop.GetKeyState(virtualKey) < 0; }

void HandleChord(IndicatorHost& host, SlotManager& slots, int index, const DeployContext& context) {
    RunLog& log = context.log;
    log.ResetLog();
    log.LogLine("logger 초기화");
    log.LogLine(Format("F{}슬롯 전개", index + 1));
    if (slots.HasWindowList(index)) {
        ToggleSlotWindows(slots, index, log);
        return;
    }
    log.LogLine("인디케이터 생성 요청");
    DeploymentIndicator* indicator = host.CreateIndicator();
    // Without an indicator (the main window is closing) the slot is deployed all the same.
    log.LogLine(indicator ? "인디케이터 생성 완료" : "인디케이터 생성 실패");
    log.LogLine("슬롯 전개 시작");
    DeploySlot(slots, index, indicator, context);
    log.LogLine("슬롯 전개 종료");
    log.DumpLog();
}

}  // namespace

int ChordRecognizer::Poll(Desktop& desktop) {
    // A handled F key must be seen up before it counts again, even if Ctrl or Shift went up
    // first and the chord itself is no longer read.
    for (std::size_t n = 0; n < m_awaitingRelease.size(); ++n) {
        if (m_awaitingRelease[n] && !IsDown(desktop, win::kVkF1 + static_cast<int>(n)))
            m_awaitingRelease[n] = false;
    }
    if (!IsDown(desktop, win::kVkLControl)) return -1;
    if (!IsDown(desktop, win::kVkLShift)) return -1;
    for (std::size_t n = 0; n < m_awaitingRelease.size(); ++n) {
        if (!IsDown(desktop, win::kVkF1 + static_cast<int>(n))) continue;
        if (m_awaitingRelease[n]) return -1;  // still the press already handled
        m_awaitingRelease[n] = true;
        return static_cast<int>(n);
    }
    return -1;
}

void HotkeyLoop(const DeployContext& context, IndicatorHost& host, SlotManager& slots) {
    Desktop& desktop = context.desktop;
    ChordRecognizer chords;
    while (!context.stop.Requested()) {
        const int index = chords.Poll(desktop);
        if (index >= 0) HandleChord(host, slots, index, context);
        PruneWindowLists(slots);
        desktop.Sleep(kPollPauseMs);
    }
}

}  // namespace keyrack
