#include "app/tray_icon.h"

#include <cwchar>

namespace keyrack {

TrayIcon::~TrayIcon() { Remove(); }

void TrayIcon::Add(HWND window, UINT callbackMessage, HICON icon, const wchar_t* tip) {
    m_nid = NOTIFYICONDATAW{};
    m_nid.cbSize = sizeof(NOTIFYICONDATAW);
    m_nid.hWnd = window;
    m_nid.uID = kTrayIconId;
    m_nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_nid.uCallbackMessage = callbackMessage;
    m_nid.hIcon = icon;
    wcsncpy_s(m_nid.szTip, 128, tip, _TRUNCATE);
    Show();
}

void TrayIcon::AddAgain() {
    if (m_nid.hWnd != nullptr) Show();
}

void TrayIcon::Show() {
    // A "TaskbarCreated" can come while the shell still holds the icon; then it stays ours to
    // remove.
    m_added = Shell_NotifyIconW(NIM_ADD, &m_nid) != FALSE ||
              Shell_NotifyIconW(NIM_MODIFY, &m_nid) != FALSE;
}

void TrayIcon::SetTip(const wchar_t* tip) {
    wcsncpy_s(m_nid.szTip, 128, tip, _TRUNCATE);
    if (m_added) Shell_NotifyIconW(NIM_MODIFY, &m_nid);
}

void TrayIcon::ShowBalloon(const wchar_t* text) {
    if (!m_added) return;
    NOTIFYICONDATAW balloon = m_nid;
    balloon.uFlags = NIF_INFO;
    wcsncpy_s(balloon.szInfo, 256, text, _TRUNCATE);
    balloon.dwInfoFlags = NIIF_INFO;
    // Only this call carries the balloon: the later changes of the tip do not show it again.
    Shell_NotifyIconW(NIM_MODIFY, &balloon);
}

void TrayIcon::Remove() {
    if (!m_added) return;
    Shell_NotifyIconW(NIM_DELETE, &m_nid);
    m_added = false;
}

}  // namespace keyrack
