// A rounded panel of the slot editor: a coloured interior with a thin rim, painted by the
// editor behind the controls that stand on it. The controls stay children of the editor, so
// their commands and notifications reach it directly; the panel is a place and a look only.
#pragma once

#include <windows.h>

#include "editor/panel_layout.h"
#include "framework/gdi.h"
#include "res/shared_resources.h"

namespace keyrack {

class Container {
  public:
    explicit Container(const PanelColours& colours) : m_colours(colours) {}

    // Where the panel stands in the editor's client area, and its corner and rim (already
    // scaled to the editor's DPI).
    void Place(const Placement& place, const PanelStyle& style) {
        m_place = place;
        m_style = style;
    }

    // The rim in the border colour and the rounded inside in the background colour; the
    // corners outside the rounded outline are left to what the editor painted there.
    void Paint(HDC dc) const;
    // For a label, check box or read-only edit standing on the panel: its colours, and the
    // brush its background is filled with.
    HBRUSH ColourStatic(HDC dc) const;

  private:
    PanelColours m_colours;
    Placement m_place;
    PanelStyle m_style;
    mutable CBrush m_brush;
};

}  // namespace keyrack
