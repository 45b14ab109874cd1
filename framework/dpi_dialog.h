// A template dialog that follows its window's DPI. From WM_INITDIALOG on it knows the DPI its
// window is shown at, and it keeps the dialog manager from re-laying it out when the DPI
// changes: the class places its controls and gives them their fonts itself, in
// OnDpiChanged.
#pragma once

#include <windows.h>

#include "framework/dialog_ex.h"
#include "platform/dpi_scale.h"

namespace keyrack {

class CDpiDialog : public CDialogEx {
  public:
    using CDialogEx::CDialogEx;

  protected:
    BOOL OnInitDialog() override;
    // WM_DPICHANGED: Dpi() is the new DPI already; `suggested` is the rectangle the system
    // proposes for the window.
    virtual void OnDpiChanged(LPARAM suggested) = 0;
    // The classes' own procedures pass on here what they do not handle.
    bool DialogProc(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    // Reads the window's DPI again, after a move that may have taken it to another monitor;
    // true when it changed.
    bool ReadDpi();

    // The window's DPI now. Only this class sets it.
    int m_dpi = kDesignDpi;
};

}  // namespace keyrack
