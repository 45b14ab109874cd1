#include "editor/preview_model.h"

#include <algorithm>

namespace keyrack {

void PreviewModel::InitLayout(std::span<const Rect> monitors, int clientWidth, int clientHeight,
                              std::span<const std::unique_ptr<SlotItem>> items) {
    m_layout = PreviewLayout(monitors, clientWidth, clientHeight);
    for (const auto& item : items) SetItemRect(*item);
}

void PreviewModel::Resize(int clientWidth, int clientHeight) {
    m_layout.Resize(clientWidth, clientHeight);
    for (Entry& entry : m_entries) entry.rect = Compute(*entry.item);
}

void PreviewModel::SetItemRect(const SlotItem& item) {
    const auto it = std::find_if(m_entries.begin(), m_entries.end(),
                                 [&](const Entry& e) { return e.item == &item; });
    if (it != m_entries.end()) {
        it->rect = Compute(item);
    } else {
        m_entries.push_back({&item, Compute(item)});
    }
}

void PreviewModel::RemoveItem(const SlotItem& item) {
    std::erase_if(m_entries, [&](const Entry& e) { return e.item == &item; });
    if (m_selected == &item) m_selected = nullptr;
}

std::optional<Rect> PreviewModel::RectOf(const SlotItem& item) const {
    for (const Entry& entry : m_entries) {
        if (entry.item == &item) return entry.rect;
    }
    return std::nullopt;
}

Rect PreviewModel::Compute(const SlotItem& item) const {
    return m_layout.ItemRect(item.x, item.y, item.width, item.height);
}

}  // namespace keyrack
