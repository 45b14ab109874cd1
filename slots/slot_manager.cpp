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
    return Loaded(std::make_unique<Slot>(index, m_paths));
}

std::unique_ptr<Slot> SlotManager::LoadCurrent(int index, const ProcessSourcePathTable& table) {
    if (!ValidIndex(index)) return nullptr;
    return Loaded(std::make_unique<Slot>(index, m_paths, table));
}

void SlotManager::ReleaseCurrent(std::unique_ptr<Slot>& current) {
    if (!current) return;
    current->Release();
    current.reset();
}

bool SlotManager::HasWindowList(int index) { return GetWindowList(index).has_value(); }

std::optional<WindowList> SlotManager::GetWindowList(int index) {
    if (!ValidIndex(index)) return std::nullopt;
    std::lock_guard lock(m_windowsMutex);
    auto& list = m_windows[static_cast<std::size_t>(index)];
    if (list) PruneListLocked(list);
    return list;
}

void SlotManager::SetWindowList(int index, WindowList list) {
    if (!ValidIndex(index)) return;
    StampOwners(list);
    std::lock_guard lock(m_windowsMutex);
    m_windows[static_cast<std::size_t>(index)] = std::move(list);
}

void SlotManager::AppendWindowPairs(int index, const WindowList& pairs) {
    if (!ValidIndex(index)) return;
    WindowList stamped = pairs;
    StampOwners(stamped);
    std::lock_guard lock(m_windowsMutex);
    auto& list = m_windows[static_cast<std::size_t>(index)];
    if (!list) list.emplace();
    list->insert(list->end(), stamped.begin(), stamped.end());
}

void SlotManager::MergeEditedWindowList(int index, const WindowList& editedPairs) {
    if (!ValidIndex(index)) return;
    WindowList edited = editedPairs;
    StampOwners(edited);
    std::lock_guard lock(m_windowsMutex);
    auto& list = m_windows[static_cast<std::size_t>(index)];
    if (list) PruneListLocked(list);
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

bool SlotManager::IsSameOwner(const HandleMaxiPair& pair) const {
    std::uint32_t processId = 0;
    if (m_desktop->GetWindowThreadProcessId(pair.handle, &processId) == 0) return false;
    return pair.processId == 0 || processId == pair.processId;
}

void SlotManager::StampOwners(WindowList& list) const {
    for (auto& pair : list) {
        if (pair.handle != 0 && pair.processId == 0)
            m_desktop->GetWindowThreadProcessId(pair.handle, &pair.processId);
    }
}

void SlotManager::PruneListLocked(std::optional<WindowList>& list) const {
    bool anyAlive = false;
    for (auto& pair : *list) {
        if (pair.handle != 0 && !IsSameOwner(pair)) pair.handle = 0;
        anyAlive = anyAlive || pair.handle != 0;
    }
    if (!anyAlive) list.reset();
}

}  // namespace keyrack
