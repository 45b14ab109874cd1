#include "app/keyrack_dlg.h"

#include "app/chord_side.h"
#include "app/hotkey_loop.h"
#include "app/startup_shortcut_win32.h"
#include "app/tray_menu_win32.h"
#include "deploy/slot_windows.h"
#include "framework/ui_thread.h"
#include "platform/crash_report.h"
#include "platform/format.h"
#include "platform/run_log.h"
#include "popups/app_about_dlg.h"
#include "popups/indicator_dlg.h"
#include "res/resource.h"

namespace keyrack {

CKeyrackDlg::CKeyrackDlg(bool firstStart)
    : CDialogEx(IDD_MAIN),
      m_slots(StorePaths::BesideExecutable(ExecutableFolderOfProcess()), m_desktop),
      m_editor(m_desktop),
      m_firstStart(firstStart) {}

CKeyrackDlg::~CKeyrackDlg() {
    TearDown();
    // Indicators whose release never arrived (the window went before them).
    m_indicators.clear();
}

BOOL CKeyrackDlg::OnInitDialog() {
    CDialogEx::OnInitDialog();
    m_window = m_hWnd;

    m_trayIcon.Add(m_hWnd, WM_TRAY_CALLBACK,
                   LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP)), L"Keyrack");
    // Windows 11 puts a new icon behind the taskbar's ^, where nobody would look for it.
    if (m_firstStart) {
        m_trayIcon.ShowBalloon(
            L"Keyrack이 실행 중입니다. 작업 표시줄의 ^ 아래에 있습니다. "
            L"왼쪽 Ctrl + 왼쪽 Shift + F1~F12로 슬롯을 엽니다.");
    }

    RegisterChords();
    // The shell tells of taskbar buttons that flash: a program refused the foreground (a
    // single-instance program asked to come forward) flashes its button instead.
    m_shellHookMessage = ::RegisterWindowMessageW(L"SHELLHOOK");
    ::RegisterShellHookWindow(m_hWnd);
    // A thread that can't be started is a crash, reported as one.
    RunReportingEscapes([this] {
        m_deployments.Start([this](const StopRequest& stop, ChordMailbox& chords) {
            HotkeyLoop({m_desktop, logger(), workerStatusList(), stop}, *this, m_slots, chords);
        });
    });

    ShowWindow(SW_HIDE);
    return TRUE;
}

void CKeyrackDlg::OnCancel() { Shutdown(); }

void CKeyrackDlg::Shutdown() {
    if (m_shuttingDown) return;
    m_shuttingDown = true;
    // The icon stays, saying so, until the program is about to end: a deployment in flight
    // ends first.
    m_trayIcon.SetTip(L"종료 중…");
    ::DeregisterShellHookWindow(m_hWnd);
    if (!TearDown(kExitWaitMs)) {
        // A launch call that does not return holds the deployment thread: it is left behind,
        // and the process ends without waiting for it (a normal exit would wait for it in the
        // teardown of the deployment and of this window).
        RunLog& log = logger();
        log.LogLine("종료: 끝나지 않은 실행 호출을 두고 종료");
        log.DumpLog();
        ::TerminateProcess(::GetCurrentProcess(), 0);
    }
    DestroyWindow();
}

bool CKeyrackDlg::TearDown(DWORD timeoutMs) {
    m_hotkeys.Unregister();
    m_deployments.RequestStop();
    // The deployment thread may be inside a deployment that sends messages to windows of this
    // thread (the indicator, WM_CREATE_INDICATOR); they are handled until it ends.
    const bool ended = m_deployments.Join(timeoutMs);
    m_trayIcon.Remove();
    return ended;
}

void CKeyrackDlg::PostNcDestroy() {
    m_window = nullptr;
    TearDown();
}

void CKeyrackDlg::RegisterChords() {
    m_hotkeys.Register(m_hWnd);
    RunLog& log = logger();
    bool logged = false;
    for (int i = 0; i < kSlotCount; ++i) {
        const ChordHotkeys::Status status = m_hotkeys.StatusOf(i);
        if (status == ChordHotkeys::Status::kRegistered) continue;
        if (!logged) {
            log.ResetLog();
            log.LogLine("logger 초기화");
            logged = true;
        }
        if (status == ChordHotkeys::Status::kTaken)
            log.LogLine(Format("F{} 단축키 등록 실패: 다른 프로그램이 사용 중", i + 1));
        else
            log.LogLine(Format("F{} 단축키 등록 실패: 오류 {}", i + 1, m_hotkeys.ErrorOf(i)));
    }
    // Written at once: the next chord starts the log afresh.
    if (logged) log.DumpLog();
}

void CKeyrackDlg::OnHotkey(WPARAM id) {
    const int slot = ChordHotkeys::SlotOf(id);
    if (slot < 0 || m_shuttingDown) return;
    // Right Ctrl or Right Shift: the keystroke is used up and nothing happens.
    if (!IsLeftHandChord(m_desktop)) return;
    // The chord was this program's input, so until the user's next input it may set the
    // foreground: the toggle uses that right at once, a deployment keeps it with its indicator
    // and lends it to each program it starts.
    // Waits while a deployment or a toggle of another slot runs.
    m_deployments.Offer(slot);
}

DeploymentIndicator* CKeyrackDlg::CreateIndicator() {
    HWND window = m_window;
    if (window == nullptr || !m_deployments.Running()) return nullptr;
    // The result is the new indicator; 0 when the window has gone or refused.
    return reinterpret_cast<IndicatorDlg*>(SendMessageW(window, WM_CREATE_INDICATOR, 0, 0));
}

LRESULT CKeyrackDlg::OnCreateIndicator() {
    if (m_shuttingDown) return 0;
    auto indicator = std::make_unique<IndicatorDlg>(workerStatusList());
    if (!indicator->Create(IDD_INDICATOR)) return 0;
    indicator->ShowWindow(SW_SHOW);
    // While the chord's right holds. In front, the popup gets the chord's key releases, so this
    // program keeps the right through the deployment, until it hands the foreground to the
    // slot's last window before the popup closes.
    SetForegroundWindow(indicator->GetSafeHwnd());
    IndicatorDlg* created = indicator.get();
    m_indicators.push_back(std::move(indicator));
    return reinterpret_cast<LRESULT>(created);
}

void CKeyrackDlg::OnReleaseIndicator(WPARAM wParam) {
    // The indicator names itself: a newer indicator, created before this release was handled,
    // stays.
    auto* asking = reinterpret_cast<IndicatorDlg*>(wParam);
    for (auto it = m_indicators.begin(); it != m_indicators.end(); ++it) {
        if (it->get() != asking) continue;
        m_indicators.erase(it);
        return;
    }
}

void CKeyrackDlg::OnTrayCallback(WPARAM wParam, LPARAM lParam) {
    if (wParam != kTrayIconId) return;
    if (lParam != WM_LBUTTONDOWN && lParam != WM_RBUTTONDOWN) return;
    if (m_shuttingDown || m_menuOpen) return;
    m_menuOpen = true;
    TrayMenu menu;
    menu.Build(m_slots, m_hotkeys.Taken());
    menu.Track(m_hWnd);
    m_menuOpen = false;
}

void CKeyrackDlg::ShowAbout() {
    if (m_about != nullptr) {
        // Already open: its modal loop runs further up this thread's stack.
        SetForegroundWindow(m_about->GetSafeHwnd());
        return;
    }
    AppAboutDlg about;
    m_about = &about;
    about.DoModal();
    m_about = nullptr;
}

void CKeyrackDlg::EditSlot(int index) {
    keyrack::EditSlot(m_slots, m_editorSession, index, m_editor);
}

BOOL CKeyrackDlg::OnCommand(WPARAM wParam, LPARAM /*lParam*/) {
    if (m_shuttingDown) return TRUE;
    const unsigned id = LOWORD(wParam);
    if (id == kIdTrayExit) {
        Shutdown();
        return TRUE;
    }
    if (id == kIdTrayAbout) {
        ShowAbout();
        return TRUE;
    }
    if (id == kIdTrayStartup) {
        ToggleStartWithWindows(m_hWnd);
        return TRUE;
    }
    if (const int slot = SlotOfEditCommand(id); slot >= 0) {
        EditSlot(slot);
        return TRUE;
    }
    if (const int slot = SlotOfCloseCommand(id); slot >= 0) {
        CloseSlotWindows(m_desktop, m_slots, slot);
        return TRUE;
    }
    return FALSE;
}

bool CKeyrackDlg::DialogProc(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (m_trayIcon.IsTaskbarCreated(msg)) {
        if (!m_shuttingDown) m_trayIcon.AddAgain();
        return true;
    }
    if (msg == m_shellHookMessage && m_shellHookMessage != 0) {
        if (wParam == HSHELL_FLASH) m_desktop.NoteFlash(static_cast<WindowHandle>(lParam));
        return true;
    }
    switch (msg) {
        case WM_TRAY_CALLBACK:
            OnTrayCallback(wParam, lParam);
            return true;
        case WM_HOTKEY:
            OnHotkey(wParam);
            return true;
        case WM_CREATE_INDICATOR:
            result = OnCreateIndicator();
            return true;
        case WM_RELEASE_INDICATOR:
            OnReleaseIndicator(wParam);
            return true;
        case WM_CLOSE:
            Shutdown();
            return true;
        case WM_WINDOWPOSCHANGING: {
            auto* position = reinterpret_cast<WINDOWPOS*>(lParam);
            position->flags &= ~static_cast<UINT>(SWP_SHOWWINDOW);
            return false;
        }
        default:
            return DialogProcDefault(msg, wParam, lParam, result);
    }
}

}  // namespace keyrack
