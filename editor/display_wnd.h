// The monitor layout preview: takes over the editor's frame control and paints the user's
// monitors, scaled into its client area, with one filled rectangle per item of the slot and
// the selected item over them in a second colour. It paints plain rectangles only, takes no
// input, and is used on the user-interface thread only.
#pragma once

#include <windows.h>

#include "editor/preview_model.h"
#include "framework/static_ctrl.h"
#include "slots/slot.h"

namespace keyrack {

class DisplayWnd : public CStatic {
  public:
    // The slot whose items InitLayout adds; not owned.
    DisplayWnd(Slot& slot, Desktop& desktop) : m_slot(&slot), m_desktop(&desktop) {}

    // Reads the client rectangle and the monitors (through the slot's desktop), fits them in
    // and adds a rectangle for every item of the slot. Paints nothing.
    void InitLayout();
    // The item rectangles and the selection, changed by the editor's rules; after a change
    // the editor repaints without erasing.
    PreviewModel& Model() { return m_model; }

    // The hosting panel's background, shown around the monitors.
    COLORREF m_background = ::GetSysColor(COLOR_3DFACE);

    // Colours of the picture.
    static constexpr COLORREF kMonitorFill = RGB(255, 255, 255);
    static constexpr COLORREF kOutline = RGB(0, 0, 0);
    static constexpr COLORREF kItemFill = RGB(100, 255, 100);
    static constexpr COLORREF kSelectedFill = RGB(255, 100, 100);
    // Marks the monitors on the mask; never seen in the result.
    static constexpr COLORREF kMaskKey = RGB(234, 12, 67);

  protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    void OnSize();
    void Paint();

    Slot* m_slot;
    Desktop* m_desktop;
    PreviewModel m_model;
    RECT m_client{};
};

}  // namespace keyrack
