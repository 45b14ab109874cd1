// What the deployment and the hotkey loop need of the indicator popup and of the main window,
// so the engine runs without a GUI in tests and the real popup plugs in behind these.
#pragma once

#include <string>

#include "platform/desktop.h"

namespace keyrack {

class DeploymentIndicator {
  public:
    virtual ~DeploymentIndicator() = default;
    // Text of the slot-name control (IDC_IND_SLOTNAME).
    virtual void SetSlotName(const std::u16string& name) = 0;
    // Stores the final text, then sets the done flag: the popup stops animating and shows it.
    virtual void ShowOutcome(const std::u16string& finalText) = 0;
    // Stops and joins the refresh thread, closes the popup and asks the main window to delete
    // it. The object must not be used afterwards.
    virtual void Finish() = 0;
    // The popup's window, which owns the consent prompts of the deployment's launches.
    virtual WindowHandle Window() const { return 0; }
};

class IndicatorHost {
  public:
    virtual ~IndicatorHost() = default;
    // Creates and shows an indicator on the user-interface thread and waits until it exists
    // (SendMessage WM_CREATE_INDICATOR). Null when the main window is going away.
    virtual DeploymentIndicator* CreateIndicator() = 0;
};

}  // namespace keyrack
