#include "app/hotkey_loop.h"

#include "deploy/deploy_slot.h"
#include "deploy/slot_windows.h"
#include "platform/format.h"

namespace keyrack {

void HandleChord(const DeployContext& context, IndicatorHost& host, SlotManager& slots, int index,
                 bool waited) {
    RunLog& log = context.log;
    log.ResetLog();
    log.LogLine("logger 초기화");
    log.LogLine(Format("F{}슬롯 전개", index + 1));
    if (waited) log.LogLine(Format("F{} 단축키 대기 후 실행", index + 1));
    // A slot whose windows have all closed since its last chord has no list: it deploys again.
    if (slots.HasWindowList(index)) {
        ToggleSlotWindows(context.desktop, slots, index, log);
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

void HotkeyLoop(const DeployContext& context, IndicatorHost& host, SlotManager& slots,
                ChordMailbox& chords) {
    for (;;) {
        const ChordMailbox::Chord chord = chords.Take();
        if (chord.index < 0 || context.stop.Requested()) return;
        HandleChord(context, host, slots, chord.index, chord.waited);
        chords.Done();
    }
}

}  // namespace keyrack
