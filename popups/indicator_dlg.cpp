#include "popups/indicator_dlg.h"

#include "framework/gdi.h"
#include "platform/win32/wide.h"

namespace keyrack {

namespace {

constexpr int kCorner = 20;  // at 96 DPI
// The refresh timer, and the animation's cycles per refresh: a phase of ten cycles lasts
// 150 ms. Three ticks a phase keep the popup's thread mostly asleep.
constexpr UINT_PTR kRefreshTimer = 1;
constexpr UINT kRefreshMs = 50;
constexpr int kCyclesPerRefresh = 3;

std::wstring Wide(const std::u16string& text) {
    return std::wstring(reinterpret_cast<const wchar_t*>(text.data()), text.size());
}

Rect FromRect(const RECT& r) { return Rect{r.left, r.top, r.right, r.bottom}; }

}  // namespace

IndicatorDlg::IndicatorDlg(WorkerStatusList& statusList)
    : CDpiDialog(IDD_INDICATOR), m_phaseTexts(kIndicatorPhaseTexts), m_statusList(statusList) {}

IndicatorDlg::~IndicatorDlg() { DestroyWindow(); }

BOOL IndicatorDlg::OnInitDialog() {
    CDpiDialog::OnInitDialog();
    m_layout.emplace(m_hWnd, m_dpi);
    m_layout->Apply(m_dpi);
    m_taskbar = ::FindWindowW(L"Shell_TrayWnd", nullptr);

    SetFonts();
    ::BringWindowToTop(m_hWnd);

    // Without a taskbar the popup goes to the work area's bottom right corner.
    m_placedFor = ReadSurroundings();
    MoveBesideTaskbar(m_placedFor);
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_FRAMECHANGED);
    SetRoundedRegion();

    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    Refresh();
    ::SetTimer(m_hWnd, kRefreshTimer, kRefreshMs, nullptr);
    return TRUE;
}

void IndicatorDlg::SetFonts() {
    m_fonts.Show(SharedFonts(m_dpi), [this](const SharedFonts& fonts) {
        const auto set = [this](int id, HFONT font) {
            SendDlgItemMessage(id, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        };
        set(IDC_IND_SLOTNAME, fonts.Bold20());
        set(IDC_IND_PROGRESS, fonts.ExtraBold30());
        set(IDC_IND_LINES, fonts.Medium15());
    });
}

void IndicatorDlg::SetRoundedRegion() const {
    RECT now{};
    ::GetWindowRect(m_hWnd, &now);
    const int corner = ScaleDpi(kCorner, m_dpi);
    CRgn region = CRgn::RoundRect(0, 0, now.right - now.left, now.bottom - now.top, corner, corner);
    // The window owns the region once SetWindowRgn accepted it.
    if (!region.IsNull() && ::SetWindowRgn(m_hWnd, region.Get(), TRUE)) region.Detach();
}

void IndicatorDlg::OnDpiChanged(LPARAM /*suggested*/) {
    // The popup's place follows the taskbar, not the system's suggestion.
    m_layout->Apply(m_dpi);
    SetFonts();
    MoveBesideTaskbar(m_placedFor);
    SetRoundedRegion();
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

SIZE IndicatorDlg::Size() const {
    // No frame: the window is its client area.
    return m_layout->ClientSize(m_dpi);
}

IndicatorDlg::Surroundings IndicatorDlg::ReadSurroundings() const {
    Surroundings around;
    RECT taskbar{};
    if (m_taskbar != nullptr && ::GetWindowRect(m_taskbar, &taskbar))
        around.taskbar = FromRect(taskbar);
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    const HMONITOR monitor = m_taskbar != nullptr
                                 ? ::MonitorFromWindow(m_taskbar, MONITOR_DEFAULTTOPRIMARY)
                                 : ::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    if (::GetMonitorInfoW(monitor, &info)) {
        around.monitor = FromRect(info.rcMonitor);
        around.work = FromRect(info.rcWork);
    }
    return around;
}

void IndicatorDlg::MoveBesideTaskbar(const Surroundings& around) const {
    const SIZE size = Size();
    const IndicatorPosition at =
        PlaceBesideTaskbar(around.monitor, around.work, around.taskbar, size.cx, size.cy, m_dpi);
    ::MoveWindow(m_hWnd, at.x, at.y, size.cx, size.cy, TRUE);
}

void IndicatorDlg::Refresh() {
    if (m_closing.load()) return;
    std::u16string progress;
    if (m_done.load()) {
        std::lock_guard lock(m_finalTextMutex);
        progress = m_animation.Next(true, m_finalText);
    } else {
        for (int cycle = 0; cycle < kCyclesPerRefresh; ++cycle)
            progress = m_animation.Next(false, std::u16string());
    }
    // Each text is set when it changed: the same text again would only cost a repaint.
    if (!m_refreshed || progress != m_progressShown) {
        ::SetDlgItemTextW(m_hWnd, IDC_IND_PROGRESS, Wide(progress).c_str());
        m_progressShown = std::move(progress);
    }
    std::u16string lines = m_statusList.JoinedLines();
    if (!m_refreshed || lines != m_linesShown) {
        ::SetDlgItemTextW(m_hWnd, IDC_IND_LINES, Wide(lines).c_str());
        m_linesShown = std::move(lines);
    }
    // The work area counts as well: it may change a moment after the taskbar moved. A failing
    // read (the taskbar went away) keeps the last rectangle.
    Surroundings now = ReadSurroundings();
    if (now.taskbar == Rect{}) now.taskbar = m_placedFor.taskbar;
    if (now != m_placedFor) {
        MoveBesideTaskbar(now);
        m_placedFor = now;
    }
    m_refreshed = true;
}

void IndicatorDlg::SetSlotName(const std::u16string& name) {
    ::SetDlgItemTextW(m_hWnd, IDC_IND_SLOTNAME, Wide(name).c_str());
}

void IndicatorDlg::ShowOutcome(const std::u16string& finalText) {
    {
        std::lock_guard lock(m_finalTextMutex);
        m_finalText = finalText;
    }
    m_done.store(true);
}

void IndicatorDlg::Finish() {
    // Once only: a second release could reach a newer popup's owner after this one is gone.
    if (m_closing.exchange(true)) return;
    Close();
}

void IndicatorDlg::Close() {
    // Hide like the dialog's cancel, then ask the owner to delete this popup. Nothing of the
    // object may be touched after the post: the owner may delete it at once.
    const HWND self = m_hWnd;
    if (self == nullptr) return;  // the window went first (shutdown): nobody to ask
    const HWND owner = ::GetWindow(self, GW_OWNER);
    ::ShowWindow(self, SW_HIDE);
    ::PostMessageW(owner, WM_RELEASE_INDICATOR, reinterpret_cast<WPARAM>(this), 0);
}

void IndicatorDlg::OnOK() {
    // The popup has no OK button; Enter must not hide it like the default OK would.
}

void IndicatorDlg::OnCancel() {
    // Only the deployment closes the popup (Finish); Esc or a close request is ignored.
}

BOOL IndicatorDlg::OnCommand(WPARAM wParam, LPARAM /*lParam*/) {
    // The progress text's notifications are of no interest.
    return LOWORD(wParam) == IDC_IND_PROGRESS ? TRUE : FALSE;
}

void IndicatorDlg::Paint() {
    CPaintDC dc(m_hWnd);
    const SIZE size = Size();
    const int corner = ScaleDpi(kCorner, m_dpi);
    CPen pen(PS_SOLID, 1, kPanelColoursDark.border);
    CBrush brush(kPanelColoursDark.background);
    CSelectObject selectPen(dc, pen);
    CSelectObject selectBrush(dc, brush);
    ::RoundRect(dc, 0, 0, size.cx - 1, size.cy - 1, corner, corner);
}

LRESULT IndicatorDlg::OnCtlColorStatic(HDC dc, HWND control) const {
    RECT client{};
    ::GetClientRect(control, &client);
    CBrush background(kPanelColoursDark.background);
    ::FillRect(dc, &client, background);
    ::SetTextColor(dc, kPanelColoursDark.text);
    ::SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
}

bool IndicatorDlg::DialogProc(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (msg) {
        case WM_PAINT:
            Paint();
            return true;
        case WM_NCPAINT:
            return true;
        case WM_TIMER:
            if (wParam != kRefreshTimer) return false;
            Refresh();
            return true;
        case WM_CTLCOLORSTATIC:
            result =
                OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
            return true;
        default:
            return CDpiDialog::DialogProc(msg, wParam, lParam, result);
    }
}

}  // namespace keyrack
