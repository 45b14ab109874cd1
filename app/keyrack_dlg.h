// The program's main window: a modeless dialog that is never shown. It owns the tray icon, the
// slot manager and the polling thread, opens the tray menu, and creates and deletes the
// indicator popups of deployments on behalf of the polling thread.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "deploy/indicator.h"
#include "deploy/stop_request.h"
#include "framework/dialog_ex.h"
#include "platform/win32/handles.h"
#include "platform/win32/win32_desktop.h"
#include "res/messages.h"
#include "slots/slot_manager.h"

namespace keyrack {

class IndicatorDlg;
class AppAboutDlg;

inline constexpr UINT kTrayIconId = 145;

class CKeyrackDlg : public CDialogEx, public IndicatorHost {
  public:
    CKeyrackDlg();
    ~CKeyrackDlg() override;

    // Polling thread: asks the main window's thread for an indicator and waits for it. Null
    // once the program is shutting down or the window is gone.
    DeploymentIndicator* CreateIndicator() override;

    // Opens the slot editor for slot `index`; this build has no editor, so the command does
    // nothing.
    void EditSlot(int index);

    // Stops the polling thread (a deployment in flight ends early while messages are still
    // handled), removes the tray icon and destroys the window, which ends the program.
    void Shutdown();

  protected:
    BOOL OnInitDialog() override;
    void OnCancel() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override;
    INT_PTR DialogProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    void AddTrayIcon();
    void RemoveTrayIcon();
    void OnTrayCallback(WPARAM wParam, LPARAM lParam);
    LRESULT OnCreateIndicator();
    void OnReleaseIndicator(WPARAM wParam);
    void ShowAbout();
    // Requests the stop and waits for the polling thread while dispatching this thread's
    // messages, then joins it.
    void StopPolling();

    NOTIFYICONDATAW m_nid{};
    std::unique_ptr<std::thread> m_pollThread;
    Win32Desktop m_desktop;
    SlotManager m_slots;
    // Ends the polling loop and any deployment in flight; requested before the join.
    StopRequest m_stop;
    // The newest indicator; every indicator lives in m_indicators until the release message
    // that it posted itself (its wParam names it) deletes it.
    std::atomic<IndicatorDlg*> m_indicator{nullptr};
    std::vector<std::unique_ptr<IndicatorDlg>> m_indicators;
    HICON m_hIcon = nullptr;

    // Set by the polling thread as its last act.
    UniqueKernelHandle m_pollDone;
    std::atomic<HWND> m_window{nullptr};
    UINT m_taskbarCreated = 0;
    bool m_iconAdded = false;
    bool m_shuttingDown = false;
    bool m_menuOpen = false;
    AppAboutDlg* m_about = nullptr;  // while the About box is open
};

}  // namespace keyrack
