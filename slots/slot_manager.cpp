#include "slots/slot_manager.h"

#include <algorithm>

namespace keyrack {
namespace {

bool ValidIndex(int index) { return index >= 0 && index < kSlotCount; }

}  // namespace

SlotManager::SlotManager(StorePaths paths, Desktop& desktop)
    : m_paths(std::move(paths)), m_desktop(&desktop), m_table(m_paths) {}

namespace {

std::unique_ptr<Slot> Loaded(std::unique_ptr<Slot> slot) {
    if (!slot->Load()) {
        slot->Release();
        return nullptr;
    }
    return slot;
}

}  // namespace

std::unique_ptr<Slot> SlotManager::LoadCurrent(int index) {
    if (!ValidIndex(index)) return nullptr;
    return Loaded(std::make_unique<Slot>(index, m_paths, *m_desktop));
}

std::unique_ptr<Slot> SlotManager::LoadCurrent(int index, const ProcessSourcePathTable& table) {
    if (!ValidIndex(index)) return nullptr;
    return Loaded(std::make_unique<Slot>(index, m_paths, *m_desktop, table));
}

void SlotManager::ReleaseCurrent(std::unique_ptr<Slot>& current) {
    if (!current) return;
    current->Release();
    current.reset();
}

bool SlotManager::HasWindowList(int index) const {
    if (!ValidIndex(index)) return false;
    std::lock_guard lock(m_windowsMutex);
    return m_windows[static_cast<std::size_t>(index)].has_value();
}

std::optional<WindowList> SlotManager::GetWindowList(int index) const {
    if (!ValidIndex(index)) return std::nullopt;
    std::lock_guard lock(m_windowsMutex);
    return m_windows[static_cast<std::size_t>(index)];
}

void SlotManager::SetWindowList(int index, WindowList list) {
    if (!ValidIndex(index)) return;
    std::lock_guard lock(m_windowsMutex);
    m_windows[static_cast<std::size_t>(index)] = std::move(list);
}

void SlotManager::AppendWindowPairs(int index, const WindowList& pairs) {
    if (!ValidIndex(index)) return;
    std::lock_guard lock(m_windowsMutex);
    auto& list = m_windows[static_cast<std::size_t>(index)];
    if (!list) list.emplace();
    list->insert(list->end(), pairs.begin(), pairs.end());
}

void SlotManager::MergeEditedWindowList(int index, const WindowList& edited) {
    if (!ValidIndex(index)) return;
    std::lock_guard lock(m_windowsMutex);
    PruneLocked([this](WindowHandle handle) { return IsWindowOpen(handle); });
    auto& list = m_windows[static_cast<std::size_t>(index)];
    if (!list) {
        list = edited;
        return;
    }
    for (const auto& pair : edited) {
        if (pair.handle != 0) list->push_back(pair);
    }
}

bool SlotManager::UpdateWindowList(int index, const std::function<void(WindowList&)>& change) {
    if (!ValidIndex(index)) return false;
    std::lock_guard lock(m_windowsMutex);
    auto& list = m_windows[static_cast<std::size_t>(index)];
    if (!list) return false;
    change(*list);
    return true;
}

void SlotManager::PruneWindowLists(const std::function<bool(WindowHandle)>& alive) {
    std::lock_guard lock(m_windowsMutex);
    PruneLocked(alive);
}

void SlotManager::PruneWindowLists() {
    PruneWindowLists([this](WindowHandle handle) { return IsWindowOpen(handle); });
}

bool SlotManager::IsWindowOpen(WindowHandle handle) const {
    return m_desktop->GetWindowThreadProcessId(handle, nullptr) != 0;
}

void SlotManager::PruneLocked(const std::function<bool(WindowHandle)>& alive) {
    for (auto& list : m_windows) {
        if (!list) continue;
        bool anyAlive = false;
        for (auto& pair : *list) {
            if (pair.handle != 0 && !alive(pair.handle)) pair.handle = 0;
            anyAlive = anyAlive || pair.handle != 0;
        }
        if (!anyAlive) list.reset();
    }
}

}  // namespace keyrack
