// The program's main window: a modeless dialog that is never shown. It receives the chords
// (registered hotkeys) and hands them to the deployment thread, routes the commands of the tray
// menu, and creates and deletes the indicator popups of deployments on behalf of the deployment
// thread. The tray icon, the hotkeys and the deployment thread's life are classes of their own.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <vector>

#include "app/chord_hotkeys.h"
#include "app/deployment_thread.h"
#include "app/tray_icon.h"
#include "deploy/indicator.h"
#include "deploy/stop_request.h"
#include "editor/fill_dlg_editor.h"
#include "framework/dialog_ex.h"
#include "platform/win32/win32_desktop.h"
#include "res/messages.h"
#include "slots/slot_manager.h"

namespace keyrack {

class IndicatorDlg;
class AppAboutDlg;

class CKeyrackDlg : public CDialogEx, public IndicatorHost {
  public:
    // On the first start (`firstStart`) the tray icon tells in a balloon where Keyrack is and
    // how a slot opens.
    explicit CKeyrackDlg(bool firstStart = false);
    ~CKeyrackDlg() override;

    // Deployment thread: asks the main window's thread for an indicator and waits for it. Null
    // once the program is shutting down or the window is gone.
    DeploymentIndicator* CreateIndicator() override;

    // Runs the slot editor for slot `index` modally (on this, the user-interface thread); while
    // one is open, brings that one to the front instead.
    void EditSlot(int index);

    // Unregisters the chords, stops the deployment thread (a deployment in flight ends early
    // while messages are still handled; one held by a launch call that does not return is left
    // behind after kExitWaitMs and the process ends), removes the tray icon and destroys the
    // window, which ends the program.
    void Shutdown();

  protected:
    BOOL OnInitDialog() override;
    void OnCancel() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override;
    bool DialogProc(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  private:
    void OnTrayCallback(WPARAM wParam, LPARAM lParam);
    // Registers the chords; a chord another program holds is named in the run log.
    void RegisterChords();
    void OnHotkey(WPARAM id);
    LRESULT OnCreateIndicator();
    void OnReleaseIndicator(WPARAM wParam);
    void ShowAbout();
    // The end of everything the window started, wherever it ends: unregisters the chords,
    // tells the deployment thread to stop and waits for it while dispatching this thread's
    // messages, then removes the tray icon. False when the thread has not ended within
    // `timeoutMs`. Once done, doing it again changes nothing.
    bool TearDown(DWORD timeoutMs = INFINITE);

    TrayIcon m_trayIcon;
    Win32Desktop m_desktop;
    SlotManager m_slots;
    FillDlgEditor m_editor;
    EditorSession m_editorSession;
    ChordHotkeys m_hotkeys;
    DeploymentThread m_deployments;
    // Every indicator lives here until the release message that it posted itself (its wParam
    // names it) deletes it.
    std::vector<std::unique_ptr<IndicatorDlg>> m_indicators;

    std::atomic<HWND> m_window{nullptr};
    bool m_shuttingDown = false;
    UINT m_shellHookMessage = 0;
    bool m_menuOpen = false;
    const bool m_firstStart;
    AppAboutDlg* m_about = nullptr;  // while the About box is open
};

}  // namespace keyrack
