// The item information panel: the name, path and parameter edits with their labels, the item's
// icon and the save and remove buttons, taken over from the editor. Every command of its
// children is passed on to the editor, whose handlers serve them.
#pragma once

#include <array>

#include "editor/container.h"

namespace keyrack {

class InfoContainer : public Container {
  public:
    explicit InfoContainer(HWND editor);

  protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnSize(int cx, int cy) override;

  private:
    HWND m_icon = nullptr;
};

}  // namespace keyrack
