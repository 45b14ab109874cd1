// The program's icon in the notification area: added for the main window, added again when
// Explorer restarts (its new taskbar has none of the old icons), removed when the program
// leaves.
#pragma once

#include <windows.h>
// After windows.h, which it builds on.
#include <shellapi.h>

namespace keyrack {

inline constexpr UINT kTrayIconId = 145;

class TrayIcon {
  public:
    TrayIcon() = default;
    // Removes the icon if it is still shown.
    ~TrayIcon();
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // Shows `icon` with the tip `tip` for `window`, whose clicks arrive as `callbackMessage`.
    void Add(HWND window, UINT callbackMessage, HICON icon, const wchar_t* tip);
    // True for the "TaskbarCreated" message that Explorer broadcasts after a restart.
    bool IsTaskbarCreated(UINT msg) const {
        return m_taskbarCreated != 0 && msg == m_taskbarCreated;
    }
    // Shows the icon again after Explorer restarted.
    void AddAgain();
    // Changes the tip of the icon shown.
    void SetTip(const wchar_t* tip);
    // Shows `text` once in a notification balloon from the icon (without a title).
    void ShowBalloon(const wchar_t* text);
    void Remove();

  private:
    void Show();

    NOTIFYICONDATAW m_nid{};
    const UINT m_taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    bool m_added = false;
};

}  // namespace keyrack
