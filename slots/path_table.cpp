#include "slots/path_table.h"

#include <algorithm>

#include "platform/store_lock.h"
#include "platform/text.h"

namespace keyrack {
namespace {

// The path of `id` equals `path` ignoring ASCII case.
bool Names(const ProcessSourcePathTable& table, std::uint32_t id, std::u16string_view path) {
    const std::u16string* entry = table.PathOf(id);
    return entry != nullptr && EqualsNoCase(*entry, path);
}

}  // namespace

std::string StoreFailureLine(const StoreOutcome& outcome) {
    const std::u8string file = outcome.file.u8string();
    return "파일 쓰기 실패: " + std::string(file.begin(), file.end()) + " (" +
           std::to_string(outcome.error) + ") " + Utf16ToUtf8(SystemErrorText(outcome.error));
}

ProcessSourcePathTable PathTable::Read() const {
    std::lock_guard lock(m_mutex);
    const StoreLock store(m_paths.dataFolder);
    return ReadLocked();
}

ProcessSourcePathTable PathTable::ReadLocked() const {
    ProcessSourcePathTable table;
    table.Load(m_paths);
    return table;
}

std::set<std::uint32_t> PathTable::IdsInSlotFiles(int except) const {
    std::set<std::uint32_t> ids;
    for (int index = 0; index < kSlotCount; ++index) {
        if (index == except) continue;
        const auto bytes = ReadFileShared(m_paths.SlotFile(index), kLargestSlotFile);
        if (!bytes) continue;
        Slot slot(index, m_paths, {});
        slot.LoadFromBytes(*bytes);
        for (const auto& item : slot.items) ids.insert(item->pspId);
    }
    ids.erase(kNoPspId);
    return ids;
}

std::uint32_t PathTable::NewId(const ProcessSourcePathTable& table,
                               const std::set<std::uint32_t>& inUse) const {
    std::uint32_t highest = table.lastId;
    if (!table.paths.empty() && (highest == kNoPspId || table.paths.rbegin()->first > highest))
        highest = table.paths.rbegin()->first;
    if (!inUse.empty() && (highest == kNoPspId || *inUse.rbegin() > highest))
        highest = *inUse.rbegin();
    return highest == kNoPspId ? 0 : highest + 1;  // kNoPspId when the id space is used up
}

std::uint32_t PathTable::EntryFor(ProcessSourcePathTable& table, std::set<std::uint32_t>& inUse,
                                  const std::u16string& path, bool& changed) const {
    std::uint32_t id = table.FindByPath(path);
    if (id != kNoPspId) return id;
    id = NewId(table, inUse);
    if (id == kNoPspId) return id;
    table.AddEntry(id, path);
    inUse.insert(id);
    changed = true;
    return id;
}

StoreOutcome PathTable::WriteIfChanged(ProcessSourcePathTable& table, bool changed) const {
    if (!changed) return {};
    table.dirty = true;
    if (const WriteOutcome written = table.Save(m_paths); !written)
        return {m_paths.TableFile(), written.error};
    return {};
}

StoreOutcome PathTable::SaveSlot(Slot& slot) {
    std::lock_guard lock(m_mutex);
    const StoreLock store(m_paths.dataFolder);
    ProcessSourcePathTable table = ReadLocked();
    std::set<std::uint32_t> inUse = IdsInSlotFiles();
    const std::set<std::uint32_t> added(slot.psp.added.begin(), slot.psp.added.end());
    for (const auto& item : slot.items) {
        if (!added.contains(item->pspId)) inUse.insert(item->pspId);
    }
    inUse.erase(kNoPspId);

    std::map<std::uint32_t, std::uint32_t> finalIds;
    bool changed = false;
    for (const auto& item : slot.items) {
        const std::uint32_t id = item->pspId;
        const std::u16string* path = slot.psp.PathOf(id);
        if (path == nullptr || finalIds.contains(id)) continue;
        if (!added.contains(id)) {
            // An entry the slot relies on that a lost write left out of the file comes back.
            if (table.PathOf(id) == nullptr) changed = table.AddEntry(id, *path) || changed;
            continue;
        }
        if (const std::uint32_t final = EntryFor(table, inUse, *path, changed); final != kNoPspId)
            finalIds[id] = final;
    }
    if (const StoreOutcome tableWritten = WriteIfChanged(table, changed); !tableWritten.Written())
        return tableWritten;
    for (const auto& item : slot.items) {
        if (const auto found = finalIds.find(item->pspId); found != finalIds.end())
            item->pspId = found->second;
    }
    table.dirty = false;
    slot.psp = std::move(table);

    WriteOutcome written;
    if (slot.Save(&written) == SaveResult::kTooManyItems)
        return {m_paths.SlotFile(slot.index), kTooManyItemsError};
    if (!written) return {m_paths.SlotFile(slot.index), written.error};
    return {};
}

StoreOutcome PathTable::KeepLearnedPaths(int index,
                                         const std::map<std::uint32_t, std::u16string>& learned) {
    if (learned.empty()) return {};
    std::lock_guard lock(m_mutex);
    const StoreLock store(m_paths.dataFolder);
    ProcessSourcePathTable table = ReadLocked();
    const std::set<std::uint32_t> others = IdsInSlotFiles(index);
    std::set<std::uint32_t> inUse = others;
    for (const auto& [id, path] : learned) inUse.insert(id);

    std::map<std::uint32_t, std::uint32_t> moved;
    bool changed = false;
    for (const auto& [id, path] : learned) {
        if (table.PathOf(id) == nullptr || Names(table, id, path)) continue;
        if (!others.contains(id)) {
            table.paths[id] = path;
            changed = true;
            continue;
        }
        if (const std::uint32_t own = EntryFor(table, inUse, path, changed); own != kNoPspId)
            moved[id] = own;
    }
    if (const StoreOutcome tableWritten = WriteIfChanged(table, changed); !tableWritten.Written())
        return tableWritten;
    if (moved.empty()) return {};

    // The slot file as it is now, not as the deployment read it: an edit saved meanwhile stays.
    Slot slot(index, m_paths, {});
    const auto bytes = ReadFileShared(m_paths.SlotFile(index), kLargestSlotFile);
    if (!bytes) return {};
    slot.LoadFromBytes(*bytes);
    bool remapped = false;
    for (const auto& item : slot.items) {
        if (const auto found = moved.find(item->pspId); found != moved.end()) {
            item->pspId = found->second;
            remapped = true;
        }
    }
    if (!remapped) return {};
    WriteOutcome written;
    slot.Save(&written);
    if (!written) return {m_paths.SlotFile(index), written.error};
    return {};
}

}  // namespace keyrack
