#include "editor/fill_dlg.h"

#include <string>

#include "editor/panel_layout.h"
#include "framework/dpi.h"
#include "platform/crash_report.h"
#include "platform/win32/wide.h"
#include "res/resource.h"
#include "res/shared_resources.h"
#include "slots/takeable_window.h"

namespace keyrack {
namespace {

constexpr int kIconSize = 32;

// What each edit accepts: its field's capacity less the terminator.
struct EditLimit {
    int id;
    std::size_t capacity;
};
constexpr EditLimit kEditLimits[] = {
    {IDC_EDITOR_PATH, kPathCapacity},
    {IDC_EDITOR_NAME, kItemNameCapacity},
    {IDC_EDITOR_PARAMETERS, kParametersCapacity},
    {IDC_EDITOR_SLOT_NAME, kSlotNameCapacity},
};

void SetText(HWND control, const std::u16string& text) { ::SetWindowTextW(control, AsWide(text)); }

void SetNumber(HWND control, int value) { SetText(control, FromWide(std::to_wstring(value))); }

}  // namespace

FillDlg::FillDlg(Slot& slot, Desktop& desktop, EditorSession& session, SaveEditedSlot save)
    : CDpiDialog(IDD_EDITOR),
      m_slot(slot),
      m_desktop(desktop),
      m_session(session),
      m_save(std::move(save)),
      m_preview(slot, desktop) {}

FillDlg::~FillDlg() { StopCapture(); }

void FillDlg::BringToFront() const {
    if (m_hWnd == nullptr) return;
    if (::IsIconic(m_hWnd)) ::ShowWindow(m_hWnd, SW_RESTORE);
    ::SetForegroundWindow(m_hWnd);
}

BOOL FillDlg::OnInitDialog() {
    CDpiDialog::OnInitDialog();
    // The panels are painted behind the controls; the controls keep their own pixels.
    ::SetWindowLongPtrW(m_hWnd, GWL_STYLE,
                        ::GetWindowLongPtrW(m_hWnd, GWL_STYLE) | WS_CLIPCHILDREN);
    HICON icon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP));
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));

    TakeControls();
    m_dialogFont.emplace(m_hWnd, m_dpi);
    SetFonts();
    SetLimits();
    // Before the first layout: the list's entry spacing, which the layout keeps, follows its
    // icons.
    m_images.Reset(::ImageList_Create(kIconSize, kIconSize, ILC_COLOR32, 2, 2));
    ListView_SetImageList(m_list, m_images.Get(), LVSIL_NORMAL);
    m_ready = true;
    PlaceWindow();

    EditorView& view = *this;
    m_state = std::make_unique<EditorState>(m_slot, m_desktop, view, m_preview.Model(), m_session);
    StartCapture();
    SetText(GetDlgItem(IDC_EDITOR_SLOT_NAME), m_state->Open());
    m_preview.InitLayout();

    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    ::PostMessageW(m_hWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    return TRUE;
}

void FillDlg::PlaceWindow() {
    // On the primary monitor, at its DPI; moving there may change the window's DPI, and the
    // size follows once more then.
    for (int round = 0; round < 2; ++round) {
        MONITORINFO info{};
        info.cbSize = sizeof(info);
        ::GetMonitorInfoW(::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info);
        const RECT& m = info.rcMonitor;
        const RECT& w = info.rcWork;
        const Placement at = EditorWindowPlacement(Rect{m.left, m.top, m.right, m.bottom},
                                                   Rect{w.left, w.top, w.right, w.bottom}, m_dpi);
        ::MoveWindow(m_hWnd, at.x, at.y, at.width, at.height, TRUE);
        if (!ReadDpi()) return;
        SetFonts();
    }
}

void FillDlg::TakeControls() {
    m_list = GetDlgItem(IDC_EDITOR_LIST);
    m_preview.SubclassDlgItem(IDC_EDITOR_PREVIEW, m_hWnd);
    m_preview.m_background = kPanelColoursLight.background;
    if (m_preview.m_hWnd != nullptr)
        ::SetWindowLongPtrW(m_preview.m_hWnd, GWL_STYLE,
                            ::GetWindowLongPtrW(m_preview.m_hWnd, GWL_STYLE) | SS_NOTIFY);
    const int numberIds[] = {IDC_EDITOR_X, IDC_EDITOR_Y, IDC_EDITOR_W, IDC_EDITOR_H};
    for (std::size_t k = 0; k < m_numberEdits.size(); ++k)
        m_numberEdits[k].SubclassDlgItem(numberIds[k], m_hWnd);
}

void FillDlg::SetFonts() {
    static constexpr int kLabels[] = {IDOK,
                                      IDCANCEL,
                                      IDC_EDITOR_SLOT_NAME_LABEL,
                                      IDC_EDITOR_LIST_LABEL,
                                      IDC_EDITOR_SAVE,
                                      IDC_EDITOR_REMOVE,
                                      IDC_EDITOR_NAME_LABEL,
                                      IDC_EDITOR_PATH_LABEL,
                                      IDC_EDITOR_PARAMETERS_LABEL,
                                      IDC_EDITOR_X_LABEL,
                                      IDC_EDITOR_Y_LABEL,
                                      IDC_EDITOR_W_LABEL,
                                      IDC_EDITOR_H_LABEL};
    static constexpr int kEdits[] = {IDC_EDITOR_SLOT_NAME,  IDC_EDITOR_NAME, IDC_EDITOR_PATH,
                                     IDC_EDITOR_PARAMETERS, IDC_EDITOR_X,    IDC_EDITOR_Y,
                                     IDC_EDITOR_W,          IDC_EDITOR_H,    IDC_EDITOR_MAXIMIZE};
    m_fonts.Show(SharedFonts(m_dpi), [this](const SharedFonts& fonts) {
        for (int id : kLabels)
            SendDlgItemMessage(id, WM_SETFONT, reinterpret_cast<WPARAM>(fonts.Medium15()), TRUE);
        for (int id : kEdits)
            SendDlgItemMessage(id, WM_SETFONT, reinterpret_cast<WPARAM>(fonts.Medium17()), TRUE);
    });
    m_dialogFont->ShowAt(m_dpi, [this](HFONT font) {
        ::SendMessageW(m_list, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    });
}

void FillDlg::SetLimits() const {
    for (const EditLimit& limit : kEditLimits)
        SendDlgItemMessage(limit.id, EM_SETLIMITTEXT, limit.capacity - 1);
}

void FillDlg::StartCapture() {
    Desktop& desktop = m_desktop;
    const MayTakeWindow mayTake = [&desktop](WindowHandle window) {
        return IsTakeableWindow(desktop, window);
    };
    // A thread that can't be started (or anything else thrown here) is a crash, reported as one.
    RunReportingEscapes([&] {
        m_capture = std::make_unique<CaptureThread>(desktop, mayTake, [this](CaptureSample sample) {
            // The tasks posted before the dialog takes them run on one message.
            PostTask([this, sample = std::move(sample)] {
                if (m_state) m_state->Apply(sample);
            });
        });
    });
}

void FillDlg::StopCapture() { m_capture.reset(); }

void FillDlg::OnOK() {
    m_state->Confirm(WindowText(GetDlgItem(IDC_EDITOR_SLOT_NAME)));
    const StoreOutcome outcome = m_save();
    if (!outcome.Written()) {
        // The editor stays open with everything the user made; a second OK tries again.
        const std::u16string text = SaveFailureText(outcome);
        ::MessageBoxW(m_hWnd, AsWide(text), L"Keyrack", MB_OK | MB_ICONERROR);
        return;
    }
    CDialogEx::OnOK();
}

BOOL FillDlg::OnCommand(WPARAM wParam, LPARAM /*lParam*/) {
    if (!m_state || HIWORD(wParam) != BN_CLICKED) return FALSE;
    switch (LOWORD(wParam)) {
        case IDC_EDITOR_SAVE:
            m_state->Save();
            return TRUE;
        case IDC_EDITOR_REMOVE:
            m_state->Remove();
            return TRUE;
        default:
            return FALSE;
    }
}

BOOL FillDlg::OnNotify(WPARAM /*wParam*/, LPARAM lParam, LRESULT* result) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (!m_state || header->idFrom != IDC_EDITOR_LIST || header->code != NM_DBLCLK) return FALSE;
    m_state->OpenEntry(reinterpret_cast<const NMITEMACTIVATE*>(lParam)->iItem);
    *result = 0;
    return TRUE;
}

bool FillDlg::DialogProc(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (msg) {
        case WM_SIZE:
            OnSize(LOWORD(lParam), HIWORD(lParam));
            return true;
        case WM_PAINT:
            Paint();
            return true;
        case WM_CTLCOLORSTATIC:
            return ColourStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam),
                                result);
        case WM_DESTROY:
            // Before the window goes: no sample is posted to it afterwards.
            StopCapture();
            return false;
        default:
            return CDpiDialog::DialogProc(msg, wParam, lParam, result);
    }
}

void FillDlg::OnDpiChanged(LPARAM suggested) {
    SetFonts();
    // The move brings a WM_SIZE, which lays everything out for the new DPI.
    MoveToSuggestedRect(m_hWnd, suggested);
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    OnSize(client.right, client.bottom);
}

void FillDlg::OnSize(int cx, int cy) {
    if (!m_ready) return;
    const EditorLayout layout = EditorDialogLayout(cx, cy, m_dpi);
    for (std::size_t k = 0; k < m_panels.size(); ++k)
        m_panels[k].Place(layout.panels[k], layout.style);
    for (const ControlPlacement& control : layout.controls) {
        const Placement& at = control.place;
        ::MoveWindow(GetDlgItem(control.id), at.x, at.y, at.width, at.height, TRUE);
        m_panelOf[control.id] = control.panel;
    }
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
    // One column of entries as wide as the narrow list: no sideways scrolling, labels centred
    // under their icons.
    RECT list{};
    ::GetClientRect(m_list, &list);
    const DWORD spacing = ListView_GetItemSpacing(m_list, FALSE);
    if (list.right > 0) ListView_SetIconSpacing(m_list, list.right, HIWORD(spacing));
}

void FillDlg::Paint() {
    CPaintDC dc(m_hWnd);
    for (const Container& panel : m_panels) panel.Paint(dc);
}

bool FillDlg::ColourStatic(HDC dc, HWND control, LRESULT& result) const {
    const auto found = m_panelOf.find(::GetDlgCtrlID(control));
    if (found == m_panelOf.end() || found->second == PanelId::kNone) return false;
    result = reinterpret_cast<LRESULT>(
        m_panels[static_cast<std::size_t>(found->second)].ColourStatic(dc));
    return true;
}

void FillDlg::ShowItem(const SlotItem& item) {
    SetText(GetDlgItem(IDC_EDITOR_PATH), item.path);
    SetText(GetDlgItem(IDC_EDITOR_NAME), item.name);
    SetText(GetDlgItem(IDC_EDITOR_PARAMETERS), item.parameters);
    ShowPosition(item);
    SendDlgItemMessage(IDC_EDITOR_ICON, STM_SETICON, item.icon.Get(), 0);
}

void FillDlg::ShowPosition(const SlotItem& item) {
    SetNumber(GetDlgItem(IDC_EDITOR_X), item.x);
    SetNumber(GetDlgItem(IDC_EDITOR_Y), item.y);
    SetNumber(GetDlgItem(IDC_EDITOR_W), item.width);
    SetNumber(GetDlgItem(IDC_EDITOR_H), item.height);
    SendDlgItemMessage(IDC_EDITOR_MAXIMIZE, BM_SETCHECK,
                       item.maximize ? BST_CHECKED : BST_UNCHECKED);
}

void FillDlg::ClearFields() {
    for (int id : {IDC_EDITOR_NAME, IDC_EDITOR_PATH, IDC_EDITOR_PARAMETERS})
        SetDlgItemText(id, L"");
    for (int id : {IDC_EDITOR_X, IDC_EDITOR_Y, IDC_EDITOR_W, IDC_EDITOR_H}) SetDlgItemText(id, L"");
    SendDlgItemMessage(IDC_EDITOR_MAXIMIZE, BM_SETCHECK, BST_UNCHECKED);
    SendDlgItemMessage(IDC_EDITOR_ICON, STM_SETICON, 0, 0);
}

ItemFields FillDlg::ReadFields() {
    ItemFields fields;
    fields.path = WindowText(GetDlgItem(IDC_EDITOR_PATH));
    fields.name = WindowText(GetDlgItem(IDC_EDITOR_NAME));
    fields.parameters = WindowText(GetDlgItem(IDC_EDITOR_PARAMETERS));
    fields.x = WindowText(GetDlgItem(IDC_EDITOR_X));
    fields.y = WindowText(GetDlgItem(IDC_EDITOR_Y));
    fields.width = WindowText(GetDlgItem(IDC_EDITOR_W));
    fields.height = WindowText(GetDlgItem(IDC_EDITOR_H));
    fields.maximize = SendDlgItemMessage(IDC_EDITOR_MAXIMIZE, BM_GETCHECK) == BST_CHECKED;
    return fields;
}

void FillDlg::RefusePosition(PositionField field) {
    const int ids[] = {IDC_EDITOR_X, IDC_EDITOR_Y, IDC_EDITOR_W, IDC_EDITOR_H};
    ::MessageBeep(MB_OK);
    ::SetFocus(GetDlgItem(ids[static_cast<int>(field)]));
}

void FillDlg::AppendListEntry(const SlotItem& item) {
    const int image = ::ImageList_AddIcon(m_images.Get(), reinterpret_cast<HICON>(item.icon.Get()));
    LVITEMW entry{};
    entry.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    entry.iItem = item.index;
    entry.pszText = const_cast<wchar_t*>(AsWide(item.fileName));
    entry.iImage = image;
    entry.lParam = reinterpret_cast<LPARAM>(&item);
    ListView_InsertItem(m_list, &entry);
}

void FillDlg::RebuildList(std::span<const std::unique_ptr<SlotItem>> items) {
    ListView_DeleteAllItems(m_list);
    ::ImageList_RemoveAll(m_images.Get());
    for (const auto& item : items) AppendListEntry(*item);
}

void FillDlg::RepaintPreview() { m_preview.Invalidate(FALSE); }

}  // namespace keyrack
