// A template dialog's own font at any DPI. The dialog manager makes the template's font once,
// for the DPI the window is created at; after a DPI change the controls that show it need the
// same face at the new DPI.
#pragma once

#include <windows.h>

#include "framework/gdi.h"

namespace keyrack {

class DialogFont {
  public:
    // Reads the font the dialog manager gave `dialog`, created at `dpi`.
    DialogFont(HWND dialog, int dpi);

    HFONT Original() const { return m_original; }
    // The template's face and point size at `dpi`; null when the dialog has no font of its
    // own. The caller keeps it until its controls have been given another.
    CFont At(int dpi) const;

  private:
    HFONT m_original = nullptr;
    LOGFONTW m_font{};  // lfHeight holds minus the point size
};

}  // namespace keyrack
