// A template dialog's own font at any DPI. The dialog manager makes the template's font once,
// for the DPI the window is created at; after a DPI change the controls that show it need the
// same face at the new DPI.
#pragma once

#include <windows.h>

#include "framework/gdi.h"
#include "framework/shown_fonts.h"

namespace keyrack {

class DialogFont {
  public:
    // Reads the font the dialog manager gave `dialog`, created at `dpi`.
    DialogFont(HWND dialog, int dpi);

    HFONT Original() const { return m_original; }
    // The template's face and point size at `dpi`; null when the dialog has no font of its
    // own. The caller keeps it until its controls have been given another.
    CFont At(int dpi) const;
    // Hands `give` the font to show at `dpi`: the dialog manager's own at the DPI the window
    // was created at, else one made for `dpi`, kept until the next call has handed on
    // another. Nothing when the dialog has no font of its own.
    template <typename Give>
    void ShowAt(int dpi, Give&& give) {
        m_scaled.Show(dpi != m_createdDpi ? At(dpi) : CFont(), [&](const CFont& scaled) {
            const HFONT font = scaled.IsNull() ? m_original : scaled.Get();
            if (font != nullptr) give(font);
        });
    }

  private:
    HFONT m_original = nullptr;
    int m_createdDpi;
    LOGFONTW m_font{};  // lfHeight holds minus the point size
    ShownFonts<CFont> m_scaled;
};

}  // namespace keyrack
