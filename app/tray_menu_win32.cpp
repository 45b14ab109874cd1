#include "app/tray_menu_win32.h"

#include "app/startup_shortcut_win32.h"
#include "platform/win32/wide.h"

namespace keyrack {
namespace {

void AppendEntry(HMENU menu, const TrayMenuEntry& entry) {
    if (entry.separator) {
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        return;
    }
    UINT flags = MF_STRING;
    if (entry.checked) flags |= MF_CHECKED;
    if (entry.grayed) flags |= MF_GRAYED;
    AppendMenuW(menu, flags, entry.id, AsWide(entry.text));
}

}  // namespace

UniqueMenu MakeTrayMenu(const TrayMenuModel& model) {
    UniqueMenu popup(CreatePopupMenu());
    if (!popup) return popup;
    for (const TraySlotMenu& slot : model.slots) {
        UniqueMenu submenu(CreatePopupMenu());
        if (!submenu) continue;
        for (const TrayMenuEntry& entry : slot.entries) AppendEntry(submenu.Get(), entry);
        UINT flags = MF_POPUP | MF_STRING;
        if (slot.checked) flags |= MF_CHECKED;
        if (AppendMenuW(popup.Get(), flags, reinterpret_cast<UINT_PTR>(submenu.Get()),
                        AsWide(slot.label))) {
            submenu.Release();  // owned by the main popup now
        }
    }
    for (const TrayMenuEntry& entry : model.tail) AppendEntry(popup.Get(), entry);
    return popup;
}

void TrayMenu::Build(SlotManager& slots, const ChordlessSlots& chordless) {
    TrayMenuModel model = BuildTrayMenuModel(slots, chordless);
    AddStartupEntry(model, StartsWithWindows());
    m_popup = MakeTrayMenu(model);
}

void TrayMenu::Track(HWND owner) {
    if (!m_popup) return;
    POINT cursor{};
    GetCursorPos(&cursor);
    SetForegroundWindow(owner);
    TrackPopupMenu(m_popup.Get(), TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, owner, nullptr);
    // A message to the owner after the menu closes lets the next click on the tray icon open
    // the menu again at once instead of merely dismissing a lingering menu state.
    PostMessageW(owner, WM_NULL, 0, 0);
    Destroy();
}

}  // namespace keyrack
