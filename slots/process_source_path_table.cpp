#include "slots/process_source_path_table.h"

#include <array>

#include "platform/atomic_file.h"
#include "platform/text.h"
#include "slots/byte_image.h"

namespace keyrack {
namespace {

constexpr std::size_t kIdOffset = 520;

}  // namespace

void ProcessSourcePathTable::LoadFromBytes(std::span<const std::uint8_t> bytes) {
    for (std::size_t at = 0; at + kTableRecordSize <= bytes.size(); at += kTableRecordSize) {
        const auto record = bytes.subspan(at, kTableRecordSize);
        const auto id = image::GetLe<std::uint32_t>(record, kIdOffset);
        // kNoPspId means "no entry" to the items; such a record can't be referred to, and
        // taking it as lastId would wrap the next new id around to 0.
        if (id == kNoPspId) continue;
        if (lastId == kNoPspId || id > lastId) lastId = id;
        paths.try_emplace(id, image::GetText(record, 0, kPathCapacity));
    }
}

std::vector<std::uint8_t> ProcessSourcePathTable::ToBytes() const {
    std::vector<std::uint8_t> out;
    out.reserve(paths.size() * kTableRecordSize);
    std::array<std::uint8_t, kTableRecordSize> buffer{};
    for (const auto& [id, path] : paths) {
        image::PutText(buffer, 0, kPathCapacity, path);
        image::PutLe<std::uint32_t>(buffer, kIdOffset, id);
        out.insert(out.end(), buffer.begin(), buffer.end());
    }
    return out;
}

void ProcessSourcePathTable::Load(const StorePaths& store) {
    const auto bytes = ReadFileShared(store.TableFile());
    if (bytes) LoadFromBytes(*bytes);
}

WriteOutcome ProcessSourcePathTable::Save(const StorePaths& store) {
    if (!dirty) return {};
    const WriteOutcome written = WriteFileAtomically(store.TableFile(), ToBytes(), store.Steps());
    if (written) dirty = false;
    return written;
}

void ProcessSourcePathTable::Add(std::uint32_t id, std::u16string_view path) {
    paths.try_emplace(id, path);
}

bool ProcessSourcePathTable::AddEntry(std::uint32_t id, std::u16string_view path) {
    if (id == kNoPspId || !paths.try_emplace(id, path).second) return false;
    if (lastId == kNoPspId || id > lastId) lastId = id;
    dirty = true;
    return true;
}

std::uint32_t ProcessSourcePathTable::FindByPath(std::u16string_view path) const {
    for (const auto& [id, entry] : paths) {
        if (EqualsNoCase(entry, path)) return id;
    }
    return kNoPspId;
}

const std::u16string* ProcessSourcePathTable::PathOf(std::uint32_t id) const {
    const auto found = paths.find(id);
    return found == paths.end() ? nullptr : &found->second;
}

std::uint32_t ProcessSourcePathTable::AddPath(std::u16string_view path) {
    const std::u16string_view fitted = path.substr(0, FittedLength(path, kPathCapacity));
    if (const std::uint32_t existing = FindByPath(fitted); existing != kNoPspId) return existing;
    // The new id is above lastId and above every id present, even one added without lastId.
    std::uint32_t highest = lastId;
    if (!paths.empty() && (highest == kNoPspId || paths.rbegin()->first > highest)) {
        highest = paths.rbegin()->first;
    }
    const std::uint32_t id = highest == kNoPspId ? 0 : highest + 1;
    if (id == kNoPspId) return kNoPspId;
    paths.emplace(id, fitted);
    lastId = id;
    dirty = true;
    added.push_back(id);
    return id;
}

}  // namespace keyrack
