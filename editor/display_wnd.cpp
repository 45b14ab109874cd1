#include "editor/display_wnd.h"

#include <vector>

#include "framework/gdi.h"

namespace keyrack {
namespace {

void Fill(HDC dc, int width, int height, COLORREF colour) {
    const RECT all{0, 0, width, height};
    CBrush brush(colour);
    ::FillRect(dc, &all, brush);
}

void DrawRects(HDC dc, const std::vector<Rect>& rects, int dy) {
    for (const Rect& r : rects) ::Rectangle(dc, r.left, r.top + dy, r.right, r.bottom + dy);
}

}  // namespace

void DisplayWnd::InitLayout() {
    if (m_hWnd == nullptr) return;
    ::GetClientRect(m_hWnd, &m_client);
    std::vector<Rect> monitors;
    for (const MonitorInfo& info : m_desktop->EnumDisplayMonitors())
        monitors.push_back(info.monitor);
    m_model.InitLayout(monitors, m_client.right - m_client.left, m_client.bottom - m_client.top,
                       m_slot->items);
}

LRESULT DisplayWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_SIZE: {
            const LRESULT result = Default(msg, wParam, lParam);
            OnSize();
            return result;
        }
        case WM_PAINT:
            Paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the paint covers every pixel
        default:
            return Default(msg, wParam, lParam);
    }
}

void DisplayWnd::OnSize() {
    ::GetClientRect(m_hWnd, &m_client);
    m_model.Resize(m_client.right - m_client.left, m_client.bottom - m_client.top);
    Invalidate(TRUE);
}

void DisplayWnd::Paint() {
    CPaintDC paint(m_hWnd);
    const int w = m_client.right - m_client.left;
    const int h = m_client.bottom - m_client.top;
    if (w <= 0 || h <= 0) return;
    const PreviewLayout& layout = m_model.Layout();
    const PixelSize scaled = layout.Scaled();

    // Three off-screen surfaces; the composition reaches the window in one copy as it goes.
    CMemoryDC composition(paint, RECT{0, 0, w, h});
    if (!layout.HasMonitors() || scaled.width <= 0 || scaled.height <= 0) {
        Fill(composition, w, h, m_background);  // nothing to fit: the panel's background alone
        return;
    }
    Fill(composition, w, h, kMonitorFill);

    // The layout: white monitors with black outlines (a new context's pen and brush), the items
    // in green, the selected one again in red over its own.
    CMemoryDC picture(paint, RECT{0, 0, scaled.width, scaled.height});
    picture.Discard();
    Fill(picture, scaled.width, scaled.height, kMonitorFill);
    DrawRects(picture, layout.MonitorPixels(), 0);
    {
        CPen pen(PS_SOLID, 1, kOutline);
        CBrush itemBrush(kItemFill);
        CSelectObject selectPen(picture, pen);
        CSelectObject selectBrush(picture, itemBrush);
        for (const PreviewModel::Entry& entry : m_model.Entries())
            ::Rectangle(picture, entry.rect.left, entry.rect.top, entry.rect.right,
                        entry.rect.bottom);
        if (const SlotItem* selected = m_model.Selected()) {
            if (const auto rect = m_model.RectOf(*selected)) {
                CBrush selectedBrush(kSelectedFill);
                CSelectObject selectRed(picture, selectedBrush);
                ::Rectangle(picture, rect->left, rect->top, rect->right, rect->bottom);
            }
        }
    }

    // The mask: background everywhere but the monitors, which carry the key colour.
    const int top = layout.Top();
    CMemoryDC mask(paint, RECT{0, 0, w, h});
    mask.Discard();
    Fill(mask, w, h, m_background);
    {
        CPen pen(PS_SOLID, 1, kOutline);
        CBrush key(kMaskKey);
        CSelectObject selectPen(mask, pen);
        CSelectObject selectBrush(mask, key);
        DrawRects(mask, layout.MonitorPixels(), top);
    }

    // The layout left-aligned at its top, then the mask over it with the monitors transparent:
    // whatever lies outside every monitor (parts of items included) shows the background.
    // GdiTransparentBlt is gdi32's own (a KnownDLL); TransparentBlt would bring in msimg32.
    ::BitBlt(composition, 0, top, scaled.width, scaled.height, picture, 0, 0, SRCCOPY);
    ::GdiTransparentBlt(composition, 0, 0, w, h, mask, 0, 0, w, h, kMaskKey);
}

}  // namespace keyrack
