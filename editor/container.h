// A rounded panel of the slot editor: a borderless child window with a coloured interior and a
// thin rim, which takes over controls of the editor's template and places them when resized.
// Used as it is for the program list (one child filling it); the information and position
// panels derive from it.
#pragma once

#include <windows.h>

#include <span>

#include "editor/panel_layout.h"
#include "framework/dialog_ex.h"
#include "framework/gdi.h"

namespace keyrack {

// A control of the editor's template that a panel takes over, with the shared font it gets
// (none: the control keeps its own).
struct TakenOverControl {
    int id;
    const CFont* font;
};

class Container : public CDialogEx {
  public:
    // Creates the panel's window as a child of `owner`, at `rect` (empty by default).
    explicit Container(HWND owner, const RECT& rect = RECT{});
    ~Container() override = default;

    // Makes `control` the panel's single child, kept filled into its inner area. Margins that
    // were never set are derived from the corner first.
    void SetChild(HWND control);
    // Points the three colour references at shared colours; a null one keeps the panel's own.
    void SetColourRefs(COLORREF* background, COLORREF* text, COLORREF* border);

    // Followed every time a colour is used.
    COLORREF* m_background = &m_ownBackground;
    COLORREF* m_text = &m_ownText;
    COLORREF* m_border = &m_ownBorder;
    Margins m_margins;

  protected:
    bool DialogProc(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    // The rounded region and the child's place; subclasses lay out their controls after it.
    virtual void OnSize(int cx, int cy);
    // The panel belongs to the editor: Enter and Esc never hide it.
    void OnOK() override {}
    void OnCancel() override {}
    // Re-parents the editor's controls into the panel, in the given order, and sets their fonts.
    // Controls the template does not hold are skipped.
    void TakeOver(HWND editor, std::span<const TakenOverControl> controls);
    // Moves the control with this id (a child of the panel) to its place, repainting it.
    void Place(const ControlPlacement& control) const;

    RECT m_client{};

  private:
    void Paint() const;
    HBRUSH OnCtlColorListBox(HDC dc) const;
    HBRUSH OnCtlColorStatic(HDC dc) const;

    HWND m_child = nullptr;
    COLORREF m_ownBackground = RGB(255, 255, 255);
    COLORREF m_ownText = RGB(0, 0, 0);
    COLORREF m_ownBorder = RGB(0, 0, 0);
    // Labels and the check box stand on the panel's colour; remade when that colour changes.
    mutable CBrush m_staticBrush;
    mutable COLORREF m_staticBrushColour = CLR_INVALID;
    int m_corner = kPanelCornerDiameter;
    int m_borderWidth = kPanelBorderWidth;
};

}  // namespace keyrack
