#include "framework/template_layout.h"

#include "platform/dpi_scale.h"

namespace keyrack {
namespace {

// A dialog's base units as its dialog manager uses them: MapDialogRect of 4 x 8 units.
POINT CurrentBaseUnits(HWND dialog) {
    RECT r{0, 0, 4, 8};
    ::MapDialogRect(dialog, &r);
    return {r.right > 0 ? r.right : 1, r.bottom > 0 ? r.bottom : 1};
}

// Pixels back to dialog units. The dialog manager rounded units * base / 4 (or / 8) to whole
// pixels, so a base unit of at least 4 (8) pixels makes this exact.
RECT ToUnits(const RECT& pixels, POINT base) {
    return {::MulDiv(pixels.left, 4, base.x), ::MulDiv(pixels.top, 8, base.y),
            ::MulDiv(pixels.right - pixels.left, 4, base.x),
            ::MulDiv(pixels.bottom - pixels.top, 8, base.y)};
}

// The base units of the dialog font at 96 DPI, measured as the dialog manager measures them:
// the cell height, and the mean width of the 52 Latin letters rounded to whole pixels. Zero
// when the dialog has no font of its own.
POINT BaseUnitsAt96(const DialogFont& dialogFont) {
    CFont font = dialogFont.At(kDesignDpi);
    CClientDC screen(nullptr);
    if (font.IsNull() || screen == nullptr) return {};
    CSelectObject select(screen, font);
    TEXTMETRICW metrics{};
    SIZE letters{};
    static constexpr wchar_t kLetters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    if (!::GetTextMetricsW(screen, &metrics) ||
        !::GetTextExtentPoint32W(screen, kLetters, 52, &letters))
        return {};
    return {(letters.cx / 26 + 1) / 2, metrics.tmHeight};
}

}  // namespace

TemplateLayout::TemplateLayout(HWND dialog, int dpi) : m_dialog(dialog), m_font(dialog, dpi) {
    const POINT base = CurrentBaseUnits(dialog);
    RECT client{};
    ::GetClientRect(dialog, &client);
    const RECT units = ToUnits(client, base);
    m_clientUnits = {units.right, units.bottom};

    m_units96 = BaseUnitsAt96(m_font);
    if (m_units96.x <= 0 || m_units96.y <= 0)
        m_units96 = {::MulDiv(base.x, kDesignDpi, dpi), ::MulDiv(base.y, kDesignDpi, dpi)};

    for (HWND child = ::GetWindow(dialog, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        RECT r{};
        ::GetWindowRect(child, &r);
        ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
        const bool hasDialogFont =
            reinterpret_cast<HFONT>(::SendMessageW(child, WM_GETFONT, 0, 0)) == m_font.Original();
        m_controls.push_back(
            {child, ToUnits(r, base), m_font.Original() != nullptr && hasDialogFont});
    }
}

RECT TemplateLayout::ToPixels(const RECT& units, int dpi) const {
    auto scale = [dpi](int value, int base, int perBase) {
        return ScaleDpi(::MulDiv(value, base, perBase), dpi);
    };
    return {scale(units.left, m_units96.x, 4), scale(units.top, m_units96.y, 8),
            scale(units.right, m_units96.x, 4), scale(units.bottom, m_units96.y, 8)};
}

SIZE TemplateLayout::ClientSize(int dpi) const {
    const RECT pixels = ToPixels({0, 0, m_clientUnits.cx, m_clientUnits.cy}, dpi);
    return {pixels.right, pixels.bottom};
}

void TemplateLayout::Apply(int dpi) {
    RECT window{}, client{};
    ::GetWindowRect(m_dialog, &window);
    ::GetClientRect(m_dialog, &client);
    const SIZE size = ClientSize(dpi);
    ::SetWindowPos(m_dialog, nullptr, 0, 0, window.right - window.left - client.right + size.cx,
                   window.bottom - window.top - client.bottom + size.cy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    for (const Control& c : m_controls) {
        const RECT p = ToPixels(c.units, dpi);
        ::MoveWindow(c.window, p.left, p.top, p.right, p.bottom, TRUE);
    }
    m_font.ShowAt(dpi, [this](HFONT font) {
        for (const Control& c : m_controls)
            if (c.dialogFont)
                ::SendMessageW(c.window, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    });
}

}  // namespace keyrack
