// The drawing resources every window shares: four Pretendard fonts and the panel colour sets.
// They are made during static initialisation and live until the process ends; windows give
// the fonts to their controls with WM_SETFONT and never make fonts of their own.
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
};

// Where a panel reads its colours; pointed at shared entries so every panel follows them.
struct PanelColourRefs {
    COLORREF* background;
    COLORREF* text;
    COLORREF* border;
};

extern CFont fontMedium17;     // "Pretendard Medium", 17: editor edits
extern CFont fontMedium15;     // "Pretendard Medium", 15: labels, buttons, About box, status lines
extern CFont fontBold20;       // "Pretendard Bold", 20: indicator slot name
extern CFont fontExtraBold30;  // "Pretendard ExtraBold", 30: indicator progress text

extern PanelColours panelColoursLight;   // the slot editor's panels
extern PanelColours panelColoursDark;    // the indicator popup
extern PanelColourRefs panelColourRefs;  // at the entries of panelColoursLight

// Fills in the colours, adds the three font files from the "font" folder beside the
// executable to the system's font table and creates the four fonts (with substitute faces
// when a file is missing). Runs once during static initialisation.
void InitSharedResources();
// Takes the three font files out of the system's font table again (ExitInstance).
void RemoveFontFiles();

// The font files' full paths, in the order they are added and removed: the "font" folder
// beside the executable, whatever the current directory is.
std::array<std::wstring, 3> FontFilePaths();

}  // namespace keyrack
