#include "framework/dialog_font.h"

#include <cstdlib>

namespace keyrack {
namespace {

constexpr int kPointsPerInch = 72;

}  // namespace

DialogFont::DialogFont(HWND dialog, int dpi)
    : m_original(reinterpret_cast<HFONT>(::SendMessageW(dialog, WM_GETFONT, 0, 0))),
      m_createdDpi(dpi) {
    if (m_original == nullptr ||
        ::GetObjectW(m_original, sizeof(m_font), &m_font) != static_cast<int>(sizeof(m_font))) {
        m_original = nullptr;
        return;
    }
    // The dialog manager asked for -MulDiv(points, dpi, 72); keep the points.
    m_font.lfHeight = -::MulDiv(std::abs(m_font.lfHeight), kPointsPerInch, dpi);
}

CFont DialogFont::At(int dpi) const {
    if (m_original == nullptr) return CFont();
    LOGFONTW font = m_font;
    font.lfHeight = -::MulDiv(std::abs(m_font.lfHeight), dpi, kPointsPerInch);
    return CFont(::CreateFontIndirectW(&font));
}

}  // namespace keyrack
