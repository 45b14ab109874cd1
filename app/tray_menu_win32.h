// The tray icon's popup menu on Win32: built from the portable model each time it opens and
// destroyed when it closes.
#pragma once

#include <windows.h>

#include "app/tray_menu.h"
#include "platform/win32/handles.h"

namespace keyrack {

// Makes the main popup and its twelve submenus from the model. The main popup owns the
// submenus once they are appended, so one DestroyMenu frees them all.
UniqueMenu MakeTrayMenu(const TrayMenuModel& model);

class TrayMenu {
  public:
    // Builds the menus afresh from the slot files and window lists.
    void Build(SlotManager& slots, const ChordlessSlots& chordless);
    // Opens the menu at the cursor for `owner`, in the foreground so that it closes when the
    // user clicks elsewhere; returns when the menu has closed (the choice arrives later as
    // WM_COMMAND). Then destroys the menus.
    void Track(HWND owner);
    HMENU Popup() const { return m_popup.Get(); }
    void Destroy() { m_popup.Reset(); }

  private:
    UniqueMenu m_popup;
};

}  // namespace keyrack
