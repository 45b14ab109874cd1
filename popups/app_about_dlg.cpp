#include "popups/app_about_dlg.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cwchar>
#include <string>

#include "framework/dpi.h"
#include "platform/win32/win32_desktop.h"
#include "popups/about_texts.h"

namespace keyrack {

AppAboutDlg::AppAboutDlg(HWND parent) : CDpiDialog(IDD_ABOUTBOX, parent) {}

AppAboutDlg::~AppAboutDlg() {
    // Destroyed here, while WM_DESTROY still reaches this class's procedure.
    DestroyWindow();
}

BOOL AppAboutDlg::OnInitDialog() {
    CDpiDialog::OnInitDialog();
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_LINK_CLASS};
    ::InitCommonControlsEx(&controls);

    m_layout.emplace(m_hWnd, m_dpi);
    Lay();
    // The owner is the hidden main window: show the box in the middle of the screen.
    CenterWindow();
    return TRUE;
}

void AppAboutDlg::Lay() {
    m_layout->Apply(m_dpi);
    m_fonts.Show(SharedFonts(m_dpi), [this](const SharedFonts& fonts) {
        // The close button keeps the dialog font.
        const int themed[] = {IDC_STATIC,
                              IDC_ABOUT_NOTICE,
                              IDC_ABOUT_CONTACT_GROUP,
                              IDC_ABOUT_APP_GROUP,
                              IDC_ABOUT_LICENSE_GROUP,
                              IDC_ABOUT_CONTACT_LINK,
                              IDC_ABOUT_LICENSE_LINK};
        for (int id : themed)
            SendDlgItemMessage(id, WM_SETFONT, reinterpret_cast<WPARAM>(fonts.Medium15()), TRUE);
    });
}

void AppAboutDlg::OnDpiChanged(LPARAM suggested) {
    MoveToSuggestedRect(m_hWnd, suggested);
    Lay();
}

bool AppAboutDlg::DialogProc(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (msg) {
        case WM_DESTROY:
            // The dialog hears of its end before its controls do. Some link controls (Wine's)
            // delete the font they were given when they are destroyed; take the box's font
            // back from them first, so it is deleted once, by the box.
            SendDlgItemMessage(IDC_ABOUT_CONTACT_LINK, WM_SETFONT, 0, FALSE);
            SendDlgItemMessage(IDC_ABOUT_LICENSE_LINK, WM_SETFONT, 0, FALSE);
            return false;
        default:
            return CDpiDialog::DialogProc(msg, wParam, lParam, result);
    }
}

std::wstring AppAboutDlg::TargetFor(int controlId, const wchar_t* href) {
    if (href == nullptr) return {};
    auto is = [href](const wchar_t* name) { return std::wcscmp(href, name) == 0; };
    if (controlId == IDC_ABOUT_CONTACT_LINK) {
        if (is(about::kHrefMail)) return about::kMailTarget;
        if (is(about::kHrefSite)) return about::kSiteTarget;
    } else if (controlId == IDC_ABOUT_LICENSE_LINK) {
        // Beside the executable, not in whatever the current directory happens to be.
        if (is(about::kHrefLicense))
            return (ExecutableFolderOfProcess() / about::kLicenseFile).wstring();
        if (is(about::kHrefPretendard)) return about::kPretendardTarget;
    }
    return {};
}

BOOL AppAboutDlg::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    const bool fromLink =
        header->idFrom == IDC_ABOUT_CONTACT_LINK || header->idFrom == IDC_ABOUT_LICENSE_LINK;
    if (!fromLink || header->code != NM_CLICK) return CDialogEx::OnNotify(wParam, lParam, result);

    const auto* click = reinterpret_cast<const NMLINK*>(lParam);
    const std::wstring target = TargetFor(static_cast<int>(header->idFrom), click->item.szUrl);
    if (!target.empty() && m_shellOpen != nullptr)
        m_shellOpen(nullptr, L"open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    // Handled either way; the notification's result stays as it is.
    return TRUE;
}

}  // namespace keyrack
