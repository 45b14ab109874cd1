// The indicator popup shown while a slot is deployed: slot name, opening animation that turns
// into the outcome, and one status line per working item group. A timer on the popup's own
// thread updates the texts and keeps the popup beside the taskbar's end nearest the tray.
#pragma once

#include <windows.h>

#include <array>
#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "deploy/indicator.h"
#include "deploy/worker_status_list.h"
#include "framework/dpi_dialog.h"
#include "framework/shown_fonts.h"
#include "framework/template_layout.h"
#include "platform/dpi_scale.h"
#include "popups/indicator_model.h"
#include "res/messages.h"
#include "res/resource.h"
#include "res/shared_resources.h"

namespace keyrack {

class IndicatorDlg : public CDpiDialog, public DeploymentIndicator {
  public:
    explicit IndicatorDlg(WorkerStatusList& statusList);
    // Destroys the window (and its timer). Runs on the user-interface thread.
    ~IndicatorDlg() override;

    // DeploymentIndicator, called by the deployment's thread.
    void SetSlotName(const std::u16string& name) override;
    void ShowOutcome(const std::u16string& finalText) override;
    void Finish() override;
    WindowHandle Window() const override { return reinterpret_cast<WindowHandle>(GetSafeHwnd()); }

  protected:
    BOOL OnInitDialog() override;
    // Esc, Enter and the close command: ignored while a deployment drives the popup; only
    // Finish closes it, so it is never hidden or deleted while the deployment uses it.
    void OnOK() override;
    void OnCancel() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    bool DialogProc(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void OnDpiChanged(LPARAM suggested) override;

  private:
    // Where the popup is placed from: the taskbar's rectangle (empty when it can't be read) and
    // its monitor's area and work area.
    struct Surroundings {
        Rect taskbar, monitor, work;
        friend bool operator==(const Surroundings&, const Surroundings&) = default;
    };
    Surroundings ReadSurroundings() const;

    // One refresh, at each tick of the timer: the texts that changed, and the position when the
    // taskbar or the work area changed.
    void Refresh();
    void MoveBesideTaskbar(const Surroundings& around) const;
    // The popup's size at its current DPI: the template's 96-DPI size, scaled.
    SIZE Size() const;
    void SetFonts();
    void SetRoundedRegion() const;
    void Paint();
    LRESULT OnCtlColorStatic(HDC dc, HWND control) const;
    void Close();

    HWND m_taskbar = nullptr;
    std::optional<TemplateLayout> m_layout;
    ShownFonts<SharedFonts> m_fonts;
    const std::array<std::u16string, 3> m_phaseTexts;
    IndicatorAnimation m_animation{m_phaseTexts};
    // What the refreshes showed last and where they placed the popup.
    std::u16string m_progressShown, m_linesShown;
    Surroundings m_placedFor;
    bool m_refreshed = false;

    // Set by the deployment's thread, read by the timer on the popup's.
    std::u16string m_finalText;
    std::atomic<bool> m_done{false};
    mutable std::mutex m_finalTextMutex;
    WorkerStatusList& m_statusList;
    std::atomic<bool> m_closing{false};  // Finish has started closing the popup
};

}  // namespace keyrack
