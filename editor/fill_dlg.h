// The slot editor: a modal dialog on template 134 that edits one working slot. Windows the
// user clicks anywhere on the desktop become items; the captured window's place is followed
// while the user arranges it; the program list, the item fields and the monitor preview show
// the slot. The capture thread only looks at the desktop when it hears an event and posts the
// samples here, where the
// editor's rules (EditorState) apply them: items, fields, the preview and the table are
// touched on the user-interface thread alone.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <array>
#include <map>
#include <memory>
#include <optional>

#include "editor/capture_thread.h"
#include "editor/container.h"
#include "editor/display_wnd.h"
#include "editor/edit_slot.h"
#include "editor/editor_state.h"
#include "editor/editor_view.h"
#include "editor/number_edit.h"
#include "framework/dialog_font.h"
#include "framework/dpi_dialog.h"
#include "framework/gdi.h"
#include "framework/shown_fonts.h"
#include "platform/unique_handle.h"
#include "res/shared_resources.h"
#include "slots/slot.h"

namespace keyrack {

class FillDlg : public CDpiDialog, private EditorView {
  public:
    // Edits `slot` (its items, its name and its table) within the main window's editor
    // session; neither is owned. OK calls `save` and closes the editor only when it wrote.
    FillDlg(Slot& slot, Desktop& desktop, EditorSession& session, SaveEditedSlot save);
    ~FillDlg() override;

    // Shows the open editor in front of the other windows (restoring it when minimised).
    void BringToFront() const;

  protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    bool DialogProc(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void OnDpiChanged(LPARAM suggested) override;

  private:
    void PlaceWindow();
    void TakeControls();
    // Fonts for the window's DPI, given to the controls; the previous ones go after.
    void SetFonts();
    void SetLimits() const;
    void OnSize(int cx, int cy);
    void Paint();
    bool ColourStatic(HDC dc, HWND control, LRESULT& result) const;
    void StartCapture();
    void StopCapture();

    // EditorView.
    void ShowItem(const SlotItem& item) override;
    void ShowPosition(const SlotItem& item) override;
    void ClearFields() override;
    ItemFields ReadFields() override;
    void RefusePosition(PositionField field) override;
    void AppendListEntry(const SlotItem& item) override;
    void RebuildList(std::span<const std::unique_ptr<SlotItem>> items) override;
    void RepaintPreview() override;

    Slot& m_slot;
    Desktop& m_desktop;
    EditorSession& m_session;
    SaveEditedSlot m_save;
    UniqueHandle<HIMAGELIST, CloseWith<&::ImageList_Destroy>> m_images;
    // The program list, information and position panels, in PanelId order.
    std::array<Container, 3> m_panels{Container(kPanelColoursLight), Container(kPanelColoursLight),
                                      Container(kPanelColoursLight)};
    // The panel each control stands on, from the last layout.
    std::map<int, PanelId> m_panelOf;
    DisplayWnd m_preview;
    std::array<NumberEdit, 4> m_numberEdits{NumberEdit(true), NumberEdit(true), NumberEdit(false),
                                            NumberEdit(false)};
    ShownFonts<SharedFonts> m_fonts;
    // The template's font, which the program list shows.
    std::optional<DialogFont> m_dialogFont;
    bool m_ready = false;
    std::unique_ptr<EditorState> m_state;
    HWND m_list = nullptr;
    std::unique_ptr<CaptureThread> m_capture;
};

}  // namespace keyrack
