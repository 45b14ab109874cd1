// The items of a slot in their order, none of them null: a null item is never added, so every
// reader may dereference every entry.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "slots/slot_item.h"

namespace keyrack {

class SlotItems {
  public:
    using Storage = std::vector<std::unique_ptr<SlotItem>>;
    using const_iterator = Storage::const_iterator;

    // Appends the item; a null item is left out.
    void push_back(std::unique_ptr<SlotItem> item) {
        if (item) m_items.push_back(std::move(item));
    }
    const_iterator erase(const_iterator at) { return m_items.erase(at); }
    void clear() noexcept { m_items.clear(); }

    std::size_t size() const { return m_items.size(); }
    bool empty() const { return m_items.empty(); }
    SlotItem* operator[](std::size_t index) const { return m_items[index].get(); }
    SlotItem* back() const { return m_items.back().get(); }
    // Entries are read through the iterators; they can't be replaced through them.
    const_iterator begin() const { return m_items.begin(); }
    const_iterator end() const { return m_items.end(); }

  private:
    Storage m_items;
};

}  // namespace keyrack
