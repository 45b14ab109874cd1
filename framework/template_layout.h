// A template dialog laid out for any DPI by scaling its 96-DPI layout. The dialog manager lays
// a template out with the dialog font made for the window's DPI, and that font's rounded
// metrics grow the dialog a little more or less than the display scale (about 1.45 times at
// 150 %). Here every place is the one the template gives at 96 DPI, times dpi / 96: the window
// grows exactly with the scale, and at 96 DPI nothing moves.
#pragma once

#include <windows.h>

#include <vector>

#include "framework/dialog_font.h"
#include "framework/gdi.h"

namespace keyrack {

class TemplateLayout {
  public:
    // Reads the template's places from a dialog the dialog manager has just created at `dpi`,
    // before anything moved its controls.
    TemplateLayout(HWND dialog, int dpi);

    // The client area's size at `dpi`.
    SIZE ClientSize(int dpi) const;
    // Sizes the window to that client area (its top-left corner stays), moves every control to
    // its place at `dpi`, and gives the controls that show the dialog font that font made for
    // `dpi`.
    void Apply(int dpi);

  private:
    struct Control {
        HWND window;
        RECT units;  // left, top, width and height in dialog units
        bool dialogFont;
    };
    RECT ToPixels(const RECT& units, int dpi) const;

    HWND m_dialog;
    POINT m_units96{};  // the dialog font's base units at 96 DPI
    SIZE m_clientUnits{};
    std::vector<Control> m_controls;
    DialogFont m_font;
};

}  // namespace keyrack
