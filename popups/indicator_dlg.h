// The indicator popup shown while a slot is deployed: slot name, opening animation that turns
// into the outcome, and one status line per working item group. A refresh thread of its own
// updates the texts and keeps the popup above the right end of the taskbar.
#pragma once

#include <windows.h>

#include <array>
#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "deploy/indicator.h"
#include "deploy/worker_status_list.h"
#include "framework/dialog_ex.h"
#include "framework/template_layout.h"
#include "platform/dpi_scale.h"
#include "platform/win32/handles.h"
#include "res/messages.h"
#include "res/resource.h"
#include "res/shared_resources.h"

namespace keyrack {

class IndicatorDlg : public CDialogEx, public DeploymentIndicator {
  public:
    explicit IndicatorDlg(WorkerStatusList& statusList);
    // Stops the refresh thread if it still runs, then destroys the window. Runs on the
    // user-interface thread.
    ~IndicatorDlg() override;

    // DeploymentIndicator, called by the deployment's thread.
    void SetSlotName(const std::u16string& name) override;
    void ShowOutcome(const std::u16string& finalText) override;
    void Finish() override;
    WindowHandle Window() const override { return reinterpret_cast<WindowHandle>(GetSafeHwnd()); }

  protected:
    BOOL OnInitDialog() override;
    // Esc, Enter and the close command: ignored while a deployment drives the popup; only
    // Finish closes it, so it is never hidden or deleted while the deployment or its refresh
    // thread use it.
    void OnOK() override;
    void OnCancel() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    bool DialogProc(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  private:
    void RefreshLoop();
    void StopRefreshThread();
    void MoveAboveTaskbar(const RECT& taskbar) const;
    // The popup's size at its current DPI: the template's 96-DPI size, scaled.
    SIZE Size() const;
    void SetFonts();
    void SetRoundedRegion() const;
    void OnDpiChanged(int dpi);
    void Paint();
    LRESULT OnCtlColorStatic(HDC dc, HWND control) const;
    void Close();

    HWND m_taskbar = nullptr;
    std::unique_ptr<std::thread> m_refreshThread;
    std::optional<TemplateLayout> m_layout;  // set before the refresh thread starts
    std::atomic<int> m_dpi{kDesignDpi};      // the popup's DPI now; the refresh thread reads it
    SharedFonts m_fonts;
    std::atomic<bool> m_running{true};
    const std::array<std::u16string, 3> m_phaseTexts;
    std::u16string m_finalText;
    std::atomic<bool> m_done{false};

    WorkerStatusList& m_statusList;
    mutable std::mutex m_finalTextMutex;  // ShowOutcome may come while the refresh thread reads
    UniqueKernelHandle m_refreshEnded;    // set by the refresh thread as it returns
    std::atomic<bool> m_closing{false};   // Finish has started closing the popup
};

}  // namespace keyrack
