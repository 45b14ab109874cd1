// The position panel: the X, Y, W and H edits with their labels and the maximise box, taken
// over from the editor, and below them the monitor layout preview, which it owns.
#pragma once

#include "editor/container.h"
#include "editor/display_wnd.h"

namespace keyrack {

class DisplayContainer : public Container {
  public:
    DisplayContainer(HWND editor, Slot& slot);

    DisplayWnd m_preview;

  protected:
    void OnSize(int cx, int cy) override;

  private:
    HWND m_x = nullptr;
};

}  // namespace keyrack
