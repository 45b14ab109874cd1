// The tray icon's popup menu on Win32: built from the portable model each time it opens and
// destroyed when it closes.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

#include "app/tray_menu.h"

namespace keyrack {

struct MenuDeleter {
    void operator()(HMENU menu) const {
        if (menu) DestroyMenu(menu);
    }
};
using UniqueMenu = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDeleter>;

// Makes the main popup and its twelve submenus from the model. The main popup owns the
// submenus once they are appended, so one DestroyMenu frees them all.
UniqueMenu MakeTrayMenu(const TrayMenuModel& model);

class TrayMenu {
  public:
    // Builds the menus afresh from the slot files and window lists.
    void Build(SlotManager& slots);
    // Opens the menu at the cursor for `owner`, in the foreground so that it closes when the
    // user clicks elsewhere; returns when the menu has closed (the choice arrives later as
    // WM_COMMAND). Then destroys the menus.
    void Track(HWND owner);
    HMENU Popup() const { return m_popup.get(); }
    void Destroy() { m_popup.reset(); }

  private:
    UniqueMenu m_popup;
};

}  // namespace keyrack
