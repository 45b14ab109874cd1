#include "editor/fill_dlg.h"

#include <string>

#include "editor/panel_layout.h"
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

std::u16string TextOf(HWND control) {
    const int length = ::GetWindowTextLengthW(control);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int got = ::GetWindowTextW(control, text.data(), length + 1);
    text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return FromWide(text);
}

void SetText(HWND control, const std::u16string& text) { ::SetWindowTextW(control, AsWide(text)); }

void SetNumber(HWND control, int value) { SetText(control, FromWide(std::to_wstring(value))); }

}  // namespace

FillDlg::FillDlg(Slot& slot, EditorSession& session)
    : CDialogEx(IDD_EDITOR), m_slot(slot), m_session(session) {}

FillDlg::~FillDlg() { StopCapture(); }

void FillDlg::BringToFront() const {
    if (m_hWnd == nullptr) return;
    if (::IsIconic(m_hWnd)) ::ShowWindow(m_hWnd, SW_RESTORE);
    ::SetForegroundWindow(m_hWnd);
}

BOOL FillDlg::OnInitDialog() {
    CDialogEx::OnInitDialog();
    HICON icon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP));
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    const Placement at =
        EditorWindowPlacement(::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
    ::MoveWindow(m_hWnd, at.x, at.y, at.width, at.height, TRUE);

    CreatePanels();
    SetFontsAndLimits();
    m_images.Reset(::ImageList_Create(kIconSize, kIconSize, ILC_COLOR32, 2, 2));
    ListView_SetImageList(m_list, m_images.Get(), LVSIL_NORMAL);
    HWND preview = m_displayPanel->m_preview.m_hWnd;
    if (preview != nullptr)
        ::SetWindowLongPtrW(preview, GWL_STYLE,
                            ::GetWindowLongPtrW(preview, GWL_STYLE) | SS_NOTIFY);

    EditorView& view = *this;
    m_state = std::make_unique<EditorState>(m_slot, m_slot.GetDesktop(), view,
                                            m_displayPanel->m_preview.Model(), m_session);
    StartCapture();
    SetText(GetDlgItem(IDC_EDITOR_SLOT_NAME), m_state->Open());
    m_displayPanel->m_preview.InitLayout();

    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    ::PostMessageW(m_hWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    return TRUE;
}

void FillDlg::CreatePanels() {
    COLORREF* const background = panelColourRefs.background;
    COLORREF* const text = panelColourRefs.text;
    COLORREF* const border = panelColourRefs.border;
    m_list = GetDlgItem(IDC_EDITOR_LIST);
    m_listPanel = std::make_unique<Container>(m_hWnd, RECT{10, 10, 100, 100});
    m_listPanel->SetColourRefs(background, text, border);
    m_listPanel->SetChild(m_list);
    m_infoPanel = std::make_unique<InfoContainer>(m_hWnd);
    m_infoPanel->SetColourRefs(background, text, border);
    m_displayPanel = std::make_unique<DisplayContainer>(m_hWnd, m_slot);
    m_displayPanel->SetColourRefs(background, text, border);
}

void FillDlg::SetFontsAndLimits() const {
    for (int id : {IDOK, IDCANCEL, IDC_EDITOR_SLOT_NAME_LABEL, IDC_EDITOR_LIST_LABEL})
        SendDlgItemMessage(id, WM_SETFONT, reinterpret_cast<WPARAM>(fontMedium15.Get()), TRUE);
    SendDlgItemMessage(IDC_EDITOR_SLOT_NAME, WM_SETFONT,
                       reinterpret_cast<WPARAM>(fontMedium17.Get()), TRUE);
    for (const EditLimit& limit : kEditLimits) {
        HWND edit = limit.id == IDC_EDITOR_SLOT_NAME ? GetDlgItem(limit.id)
                                                     : m_infoPanel->GetDlgItem(limit.id);
        ::SendMessageW(edit, EM_SETLIMITTEXT, limit.capacity - 1, 0);
    }
}

void FillDlg::StartCapture() {
    Desktop& desktop = m_slot.GetDesktop();
    const MayTakeWindow mayTake = [&desktop](WindowHandle window) {
        return IsTakeableWindow(desktop, window);
    };
    m_capture = std::make_unique<CaptureThread>(desktop, mayTake, [this](CaptureSample sample) {
        // One wake-up per batch; the dialog takes every waiting sample at once.
        if (m_samples.Put(std::move(sample))) PostTask([this] { ApplySamples(); });
    });
}

void FillDlg::StopCapture() { m_capture.reset(); }

void FillDlg::ApplySamples() {
    if (!m_state) return;
    for (const CaptureSample& sample : m_samples.TakeAll()) m_state->Apply(sample);
}

void FillDlg::OnOK() {
    m_state->Confirm(TextOf(GetDlgItem(IDC_EDITOR_SLOT_NAME)));
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
        case WM_DESTROY:
            // Before the window goes: no sample is posted to it afterwards.
            StopCapture();
            return false;
        default:
            return DialogProcDefault(msg, wParam, lParam, result);
    }
}

void FillDlg::OnSize(int cx, int cy) const {
    if (!m_listPanel || !m_infoPanel) return;
    const EditorLayout layout = EditorDialogLayout(cx, cy);
    for (const ControlPlacement& control : layout.controls) {
        const Placement& at = control.place;
        ::MoveWindow(GetDlgItem(control.id), at.x, at.y, at.width, at.height, TRUE);
    }
    for (const auto& [panel, at] :
         {std::pair<const Container*, Placement>{m_listPanel.get(), layout.listPanel},
          {m_infoPanel.get(), layout.infoPanel},
          {m_displayPanel.get(), layout.displayPanel}}) {
        if (panel != nullptr && panel->m_hWnd != nullptr)
            ::MoveWindow(panel->m_hWnd, at.x, at.y, at.width, at.height, TRUE);
    }
    // One column of entries as wide as the narrow list: no sideways scrolling, labels centred
    // under their icons.
    RECT list{};
    ::GetClientRect(m_list, &list);
    const DWORD spacing = ListView_GetItemSpacing(m_list, FALSE);
    if (list.right > 0) ListView_SetIconSpacing(m_list, list.right, HIWORD(spacing));
}

void FillDlg::ShowItem(const SlotItem& item) {
    SetText(m_infoPanel->GetDlgItem(IDC_EDITOR_PATH), item.path);
    SetText(m_infoPanel->GetDlgItem(IDC_EDITOR_NAME), item.name);
    SetText(m_infoPanel->GetDlgItem(IDC_EDITOR_PARAMETERS), item.parameters);
    ShowPosition(item);
    m_infoPanel->SendDlgItemMessage(IDC_EDITOR_ICON, STM_SETICON, item.icon.Get(), 0);
}

void FillDlg::ShowPosition(const SlotItem& item) {
    SetNumber(m_displayPanel->GetDlgItem(IDC_EDITOR_X), item.x);
    SetNumber(m_displayPanel->GetDlgItem(IDC_EDITOR_Y), item.y);
    SetNumber(m_displayPanel->GetDlgItem(IDC_EDITOR_W), item.width);
    SetNumber(m_displayPanel->GetDlgItem(IDC_EDITOR_H), item.height);
    m_displayPanel->SendDlgItemMessage(IDC_EDITOR_MAXIMIZE, BM_SETCHECK,
                                       item.maximize ? BST_CHECKED : BST_UNCHECKED);
}

void FillDlg::ClearFields() {
    for (int id : {IDC_EDITOR_NAME, IDC_EDITOR_PATH, IDC_EDITOR_PARAMETERS})
        m_infoPanel->SetDlgItemText(id, L"");
    for (int id : {IDC_EDITOR_X, IDC_EDITOR_Y, IDC_EDITOR_W, IDC_EDITOR_H})
        m_displayPanel->SetDlgItemText(id, L"");
    m_displayPanel->SendDlgItemMessage(IDC_EDITOR_MAXIMIZE, BM_SETCHECK, BST_UNCHECKED);
    m_infoPanel->SendDlgItemMessage(IDC_EDITOR_ICON, STM_SETICON, 0, 0);
}

ItemFields FillDlg::ReadFields() {
    ItemFields fields;
    fields.path = TextOf(m_infoPanel->GetDlgItem(IDC_EDITOR_PATH));
    fields.name = TextOf(m_infoPanel->GetDlgItem(IDC_EDITOR_NAME));
    fields.parameters = TextOf(m_infoPanel->GetDlgItem(IDC_EDITOR_PARAMETERS));
    fields.x = TextOf(m_displayPanel->GetDlgItem(IDC_EDITOR_X));
    fields.y = TextOf(m_displayPanel->GetDlgItem(IDC_EDITOR_Y));
    fields.width = TextOf(m_displayPanel->GetDlgItem(IDC_EDITOR_W));
    fields.height = TextOf(m_displayPanel->GetDlgItem(IDC_EDITOR_H));
    fields.maximize =
        m_displayPanel->SendDlgItemMessage(IDC_EDITOR_MAXIMIZE, BM_GETCHECK) == BST_CHECKED;
    return fields;
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

void FillDlg::RepaintPreview() { m_displayPanel->m_preview.Invalidate(FALSE); }

}  // namespace keyrack
