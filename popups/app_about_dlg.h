// The About box: program name, version, developer and year, contact links and the licence
// notices. Modal; its links open their targets through the shell.
#pragma once

#include <windows.h>
// After windows.h, which it builds on.
#include <shellapi.h>

#include <optional>
#include <string>

#include "framework/dpi_dialog.h"
#include "framework/shown_fonts.h"
#include "framework/template_layout.h"
#include "res/resource.h"
#include "res/shared_resources.h"

namespace keyrack {

class AppAboutDlg : public CDpiDialog {
  public:
    // How a link target is opened: ShellExecuteW's signature. Tests put a recorder here.
    using ShellOpen = HINSTANCE(WINAPI*)(HWND, const wchar_t*, const wchar_t*, const wchar_t*,
                                         const wchar_t*, int);

    explicit AppAboutDlg(HWND parent = nullptr);
    ~AppAboutDlg() override;

    ShellOpen m_shellOpen = &::ShellExecuteW;

    // What a click on the link with this href of this control opens; empty when nothing.
    // LICENSE.txt is the one beside the executable.
    static std::wstring TargetFor(int controlId, const wchar_t* href);

  protected:
    BOOL OnInitDialog() override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    bool DialogProc(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void OnDpiChanged(LPARAM suggested) override;

  private:
    // The template's places and the shared font on the texts, groups and links, for the
    // window's DPI.
    void Lay();

    std::optional<TemplateLayout> m_layout;
    ShownFonts<SharedFonts> m_fonts;
};

}  // namespace keyrack
