// The deployment thread's loop: waits, without a time-out, for a chord that the user-interface
// thread hands over, then toggles or deploys the chord's slot. The window lists are pruned
// just before the chord reads them, so nothing runs between chords.
#pragma once

#include "app/chord_mailbox.h"
#include "deploy/deploy_context.h"
#include "deploy/indicator.h"
#include "slots/slot_manager.h"

namespace keyrack {

// Handles the chord of slot `index`: the run log (with a line when the chord waited for another
// one), then the toggle of a slot with open windows or the deployment of one without.
void HandleChord(const DeployContext& context, IndicatorHost& host, SlotManager& slots, int index,
                 bool waited = false);

// Handles chords from `chords` one at a time, in the order pressed, until the mailbox is closed or
// the context's stop is requested. A deployment in flight observes the same request and ends early.
void HotkeyLoop(const DeployContext& context, IndicatorHost& host, SlotManager& slots,
                ChordMailbox& chords);

}  // namespace keyrack
