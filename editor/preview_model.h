// What the monitor layout preview shows: the fitted monitor layout, one rectangle per item in
// preview pixels and the selected item. Items are known by address and hold no copy: each
// recomputation reads the item's current x, y, width and height. Owned and used by the
// user-interface thread only.
#pragma once

#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "editor/preview_geometry.h"
#include "slots/slot_item.h"

namespace keyrack {

class PreviewModel {
  public:
    struct Entry {
        const SlotItem* item;
        Rect rect;
    };

    // Gathers the monitors (screen rectangles), fits them into the client area and adds a
    // rectangle for every item, in order.
    void InitLayout(std::span<const Rect> monitors, int clientWidth, int clientHeight,
                    std::span<const std::unique_ptr<SlotItem>> items);
    // Refits the layout and recomputes every entry from its item's current fields.
    void Resize(int clientWidth, int clientHeight);

    // Adds the item's rectangle or replaces it in place.
    void SetItemRect(const SlotItem& item);
    // Drops the item's entry, if any; a removed item is no longer selected.
    void RemoveItem(const SlotItem& item);

    // The item drawn in the selection colour over its own rectangle, or null.
    void Select(const SlotItem* item) { m_selected = item; }
    const SlotItem* Selected() const { return m_selected; }

    std::optional<Rect> RectOf(const SlotItem& item) const;
    // In the order the items were first added; painted in this order.
    const std::vector<Entry>& Entries() const { return m_entries; }
    const PreviewLayout& Layout() const { return m_layout; }

  private:
    Rect Compute(const SlotItem& item) const;

    PreviewLayout m_layout;
    std::vector<Entry> m_entries;
    const SlotItem* m_selected = nullptr;
};

}  // namespace keyrack
