// Takes over a control that a dialog template already holds: its messages go to WindowProc
// (SetWindowSubclass), the rest to DefSubclassProc; the subclass is removed at WM_NCDESTROY.
#pragma once

#include <windows.h>

namespace keyrack {

class CStatic {
  public:
    CStatic() = default;
    // Removes the subclass if the control still exists.
    virtual ~CStatic();
    CStatic(const CStatic&) = delete;
    CStatic& operator=(const CStatic&) = delete;

    BOOL SubclassDlgItem(int id, HWND parent);
    BOOL SubclassWindow(HWND hwnd);
    // Gives the control back to its own procedure; returns its handle.
    HWND UnsubclassWindow();

    HWND GetSafeHwnd() const { return m_hWnd; }
    BOOL SetWindowText(const wchar_t* text) const { return ::SetWindowTextW(m_hWnd, text); }
    void Invalidate(BOOL erase = TRUE) const { ::InvalidateRect(m_hWnd, nullptr, erase); }

    HWND m_hWnd = nullptr;

  protected:
    // The control's messages; unhandled ones go to Default.
    virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT Default(UINT msg, WPARAM wParam, LPARAM lParam);

  private:
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR refData);
};

}  // namespace keyrack
