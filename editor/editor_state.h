// The slot editor's state and rules, applied on the user-interface thread: captures and
// tracking from the capture thread's samples, and the Save, Remove, list double-click and OK
// commands. It edits the working slot in memory, keeps the preview's item table and tells the
// view what to show.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "editor/capture_sample.h"
#include "editor/editor_session.h"
#include "editor/editor_view.h"
#include "editor/preview_model.h"
#include "slots/slot.h"

namespace keyrack {

enum class EditMode {
    New = 0,       // a captured item, not yet in the slot, owned by the editor
    Existing = 1,  // an item of the slot chosen from the list
};

// An unsaved new item dies with the state: the preview, which only holds its address, is not
// painted after that.
class EditorState {
  public:
    // `session` keeps the window captured last from one editor to the next.
    EditorState(Slot& slot, Desktop& desktop, EditorView& view, PreviewModel& preview,
                EditorSession& session);
    EditorState(const EditorState&) = delete;
    EditorState& operator=(const EditorState&) = delete;

    // Reads the slot file and fills the list. The name for the slot-name edit: the slot's
    // own, or "F<n> 슬롯" when the slot has no file.
    std::u16string Open();

    // One sample of the capture thread: the right button drops the item being edited; a left
    // click on a window captures it; the foreground window is tracked while a new item is
    // held. Ignored windows (the editor's own among them) pause everything but the right
    // button.
    void Apply(const CaptureSample& sample);

    // The save button: the fields go into the item; a new item joins the slot unless the slot
    // already holds as many items as its file can.
    void Save();
    // The remove button: deletes the item being edited if it is one of the slot's.
    void Remove();
    // A double-click on list entry `entry` (-1: no entry) brings that item back for editing.
    void OpenEntry(int entry);
    // OK: the slot takes the typed name, cut to its field.
    void Confirm(std::u16string_view slotName);

    const SlotItem* Current() const { return m_item; }
    EditMode Mode() const { return m_mode; }

  private:
    void DiscardNewItem();
    void Capture(const CaptureSample& sample);
    void Track(const CaptureSample& sample);

    Slot& m_slot;
    Desktop& m_desktop;
    EditorView& m_view;
    PreviewModel& m_preview;
    EditorSession& m_session;

    SlotItem* m_item = nullptr;
    std::unique_ptr<SlotItem> m_newItem;  // owns m_item in mode New
    EditMode m_mode = EditMode::New;
    // The window and place last written into the fields while tracking; forgotten whenever
    // tracking pauses, so it always starts by writing.
    struct Tracked {
        WindowHandle window;
        Rect rect;
        bool maximized;
        friend bool operator==(const Tracked&, const Tracked&) = default;
    };
    std::optional<Tracked> m_tracked;
};

}  // namespace keyrack
