// The drawing resources Keyrack's windows share: the panel colour themes, fixed values passed
// as one value each, and the four Pretendard fonts, which every window makes for its own DPI
// when it is set up (and again when its DPI changes) and gives its controls with WM_SETFONT.
// The font files are added once, before the first fonts are made, privately to this process
// (FR_PRIVATE: no other program, nor another Keyrack, sees or loses them, and they go with the
// process however it ends), and taken out again at exit.
#pragma once

#include <windows.h>

#include <array>
#include <string>

#include "framework/gdi.h"

namespace keyrack {

struct PanelColours {
    COLORREF background;
    COLORREF text;
    COLORREF border;
    friend bool operator==(const PanelColours&, const PanelColours&) = default;
};

// The slot editor's panels and its preview.
inline constexpr PanelColours kPanelColoursLight{RGB(240, 240, 240), RGB(0, 0, 0),
                                                 RGB(200, 200, 200)};
// The indicator popup.
inline constexpr PanelColours kPanelColoursDark{RGB(34, 33, 33), RGB(255, 255, 255),
                                                RGB(68, 67, 67)};

// The four fonts for one DPI; the design gives their cell heights at 96 DPI.
class SharedFonts {
  public:
    SharedFonts() = default;
    explicit SharedFonts(int dpi);

    HFONT Medium17() const { return m_medium17.Get(); }  // editor edits
    HFONT Medium15() const { return m_medium15.Get(); }  // labels, buttons, About, status lines
    HFONT Bold20() const { return m_bold20.Get(); }      // indicator slot name
    HFONT ExtraBold30() const { return m_extraBold30.Get(); }  // indicator progress text
    int Dpi() const { return m_dpi; }

  private:
    int m_dpi = 0;
    CFont m_medium17, m_medium15, m_bold20, m_extraBold30;
};

// Adds the three font files from the "font" folder beside the executable as this process's
// private fonts, once (SharedFonts does this before it makes its first fonts). A missing file
// leaves the system's substitute faces.
void AddFontFiles();
// Takes out again the files that AddFontFiles added in this process, and nothing else
// (ExitInstance); a later AddFontFiles adds them anew.
void RemoveFontFiles();

// The font files' full paths, in the order they are added and removed: the "font" folder
// beside the executable, whatever the current directory is.
std::array<std::wstring, 3> FontFilePaths();

}  // namespace keyrack
