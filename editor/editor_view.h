// What the editor's rules show and read: the Win32 dialog implements it with its controls and
// preview window; the host tests record it.
#pragma once

#include <memory>
#include <span>
#include <string>

#include "slots/slot_item.h"

namespace keyrack {

// The item fields as the user sees them in the edits and the maximise box.
struct ItemFields {
    std::u16string path;
    std::u16string name;
    std::u16string parameters;
    std::u16string x, y, width, height;
    bool maximize = false;
};

// The four position fields, in the order of the dialog.
enum class PositionField { kX, kY, kWidth, kHeight };

class EditorView {
  public:
    virtual ~EditorView() = default;

    // Path, name, parameters, the four position fields, the maximise box and the icon.
    virtual void ShowItem(const SlotItem& item) = 0;
    // Only the four position fields and the maximise box (a tracked window moved).
    virtual void ShowPosition(const SlotItem& item) = 0;
    // Empties every field, clears the maximise box and the icon.
    virtual void ClearFields() = 0;
    virtual ItemFields ReadFields() = 0;
    // Refuses what a position field holds as its number fields refuse a character: a beep, the
    // keyboard focus on that field, its text kept.
    virtual void RefusePosition(PositionField field) = 0;

    // Adds list entry item.index with the item's file name and icon.
    virtual void AppendListEntry(const SlotItem& item) = 0;
    // Empties the list and its images and refills them, entry k for items[k].
    virtual void RebuildList(std::span<const std::unique_ptr<SlotItem>> items) = 0;

    // The preview's items or selection changed: repaint it without erasing.
    virtual void RepaintPreview() = 0;
};

}  // namespace keyrack
