#include "editor/container.h"

namespace keyrack {

void Container::Paint(HDC dc) const {
    if (m_place.width <= 0 || m_place.height <= 0) return;
    const Placement& p = m_place;
    const int corner = m_style.corner;
    const int rim = m_style.border;
    CRgn outline = CRgn::RoundRect(p.x, p.y, p.Right(), p.Bottom(), corner, corner);
    CRgn inside =
        CRgn::RoundRect(p.x + rim, p.y + rim, p.Right() - rim, p.Bottom() - rim, corner, corner);
    CBrush border(m_colours.border);
    CBrush background(m_colours.background);
    ::FillRgn(dc, outline, border);
    ::FillRgn(dc, inside, background);
}

HBRUSH Container::ColourStatic(HDC dc) const {
    if (m_brush.IsNull()) m_brush = CBrush(m_colours.background);
    ::SetBkColor(dc, m_colours.background);
    ::SetTextColor(dc, m_colours.text);
    return m_brush.Get();
}

}  // namespace keyrack
