// Owners of GDI objects and device contexts. Each deletes what it holds when it goes out of
// scope; copies are deleted, moves hand the handle over.
#pragma once

#include <windows.h>

#include <utility>

#include "platform/win32/handles.h"

namespace keyrack {

// A GDI object (pen, brush, font, region, bitmap) deleted with DeleteObject.
template <typename Handle>
class CGdiObject {
  public:
    CGdiObject() = default;
    explicit CGdiObject(Handle handle) : m_handle(handle) {}
    CGdiObject(CGdiObject&& other) noexcept : m_handle(std::exchange(other.m_handle, nullptr)) {}
    CGdiObject& operator=(CGdiObject&& other) noexcept {
        if (this != &other) Attach(std::exchange(other.m_handle, nullptr));
        return *this;
    }
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;
    ~CGdiObject() { DeleteObject(); }

    Handle Get() const { return m_handle; }
    operator Handle() const { return m_handle; }
    bool IsNull() const { return m_handle == nullptr; }
    // Takes ownership of another handle, deleting the current one; its own handle again is
    // kept, not deleted.
    void Attach(Handle handle) {
        if (handle == m_handle) return;
        DeleteObject();
        m_handle = handle;
    }
    // Gives up ownership (for example to SetWindowRgn, after which the window owns a region).
    Handle Detach() { return std::exchange(m_handle, nullptr); }
    void DeleteObject() {
        if (m_handle != nullptr) ::DeleteObject(m_handle);
        m_handle = nullptr;
    }

  protected:
    Handle m_handle = nullptr;
};

class CPen : public CGdiObject<HPEN> {
  public:
    CPen() = default;
    CPen(int style, int width, COLORREF colour) : CGdiObject(::CreatePen(style, width, colour)) {}
};

class CBrush : public CGdiObject<HBRUSH> {
  public:
    CBrush() = default;
    explicit CBrush(COLORREF colour) : CGdiObject(::CreateSolidBrush(colour)) {}
};

class CFont : public CGdiObject<HFONT> {
  public:
    CFont() = default;
    explicit CFont(HFONT font) : CGdiObject(font) {}
};

class CRgn : public CGdiObject<HRGN> {
  public:
    CRgn() = default;
    static CRgn RoundRect(int left, int top, int right, int bottom, int ellipseWidth,
                          int ellipseHeight) {
        CRgn region;
        region.Attach(::CreateRoundRectRgn(left, top, right, bottom, ellipseWidth, ellipseHeight));
        return region;
    }
};

class CBitmap : public CGdiObject<HBITMAP> {
  public:
    CBitmap() = default;
    CBitmap(HDC compatible, int width, int height)
        : CGdiObject(::CreateCompatibleBitmap(compatible, width, height)) {}
};

// Selects an object into a device context for the life of the scope, then puts the previous
// object back.
class CSelectObject {
  public:
    CSelectObject(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(::SelectObject(dc, object)) {}
    CSelectObject(CSelectObject&& other) noexcept
        : m_dc(std::exchange(other.m_dc, nullptr)),
          m_previous(std::exchange(other.m_previous, nullptr)) {}
    CSelectObject& operator=(CSelectObject&&) = delete;
    CSelectObject(const CSelectObject&) = delete;
    CSelectObject& operator=(const CSelectObject&) = delete;
    ~CSelectObject() {
        if (m_dc != nullptr && m_previous != nullptr && m_previous != HGDI_ERROR)
            ::SelectObject(m_dc, m_previous);
    }

  private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

// BeginPaint / EndPaint.
class CPaintDC {
  public:
    explicit CPaintDC(HWND hwnd) : m_hwnd(hwnd), m_dc(::BeginPaint(hwnd, &m_ps)) {}
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;
    ~CPaintDC() { ::EndPaint(m_hwnd, &m_ps); }
    operator HDC() const { return m_dc; }
    const PAINTSTRUCT& Paint() const { return m_ps; }

  private:
    HWND m_hwnd;
    PAINTSTRUCT m_ps{};
    HDC m_dc;
};

// GetDC / ReleaseDC of a window's client area (or the screen with a null window).
class CClientDC {
  public:
    explicit CClientDC(HWND hwnd) : m_hwnd(hwnd), m_dc(::GetDC(hwnd)) {}
    CClientDC(const CClientDC&) = delete;
    CClientDC& operator=(const CClientDC&) = delete;
    ~CClientDC() {
        if (m_dc != nullptr) ::ReleaseDC(m_hwnd, m_dc);
    }
    operator HDC() const { return m_dc; }

  private:
    HWND m_hwnd;
    HDC m_dc;
};

// An off-screen device context covering a rectangle of a target DC: draw into it with the
// target's coordinates; at the end of its scope it copies itself to the target (unless
// discarded) and deletes its bitmap and DC.
class CMemoryDC {
  public:
    CMemoryDC(HDC target, const RECT& area)
        : m_target(target),
          m_area(area),
          m_dc(::CreateCompatibleDC(target)),
          m_bitmap(target, area.right - area.left, area.bottom - area.top),
          m_select(m_dc.Get(), m_bitmap) {
        ::SetWindowOrgEx(m_dc.Get(), area.left, area.top, nullptr);
    }
    CMemoryDC(const CMemoryDC&) = delete;
    CMemoryDC& operator=(const CMemoryDC&) = delete;
    ~CMemoryDC() {
        if (!m_discard)
            ::BitBlt(m_target, m_area.left, m_area.top, m_area.right - m_area.left,
                     m_area.bottom - m_area.top, m_dc.Get(), m_area.left, m_area.top, SRCCOPY);
    }
    operator HDC() const { return m_dc.Get(); }
    // Skips the final copy to the target.
    void Discard() { m_discard = true; }

  private:
    // Declared in destruction order: the bitmap is selected out before it and the DC go.
    HDC m_target;
    RECT m_area;
    UniqueDC m_dc;
    CBitmap m_bitmap;
    CSelectObject m_select;
    bool m_discard = false;
};

}  // namespace keyrack
