#include "slots/slot.h"

#include <algorithm>
#include <cstdio>

#include "platform/atomic_file.h"
#include "slots/byte_image.h"

namespace keyrack {
namespace {

std::string PrintablePath(const std::filesystem::path& file) {
    const std::u8string utf8 = file.u8string();
    return std::string(utf8.begin(), utf8.end());
}

}  // namespace

Slot::Slot(int slotIndex, StorePaths paths)
    : index(static_cast<std::int8_t>(slotIndex)), m_paths(std::move(paths)) {
    psp.Load(m_paths);
}

Slot::Slot(int slotIndex, StorePaths paths, ProcessSourcePathTable table)
    : index(static_cast<std::int8_t>(slotIndex)),
      psp(std::move(table)),
      m_paths(std::move(paths)) {}

Slot::~Slot() { Release(); }

bool Slot::Load() {
    const std::filesystem::path file = m_paths.SlotFile(index);
    const auto bytes = ReadFileShared(file, kLargestSlotFile);
    if (!bytes) {
        std::printf("can't read file at %s\n", PrintablePath(file).c_str());
        return false;
    }
    LoadFromBytes(*bytes);
    return true;
}

void Slot::LoadFromBytes(std::span<const std::uint8_t> bytes) {
    items.clear();
    std::array<std::uint8_t, kSlotHeaderSize> header{};
    std::copy_n(bytes.begin(), std::min(bytes.size(), header.size()), header.begin());
    const auto count = static_cast<std::int8_t>(header[0]);
    name = image::GetText(header, 1, kSlotNameCapacity);

    // Only records wholly in the file are kept: a record cut short by the end of the file and
    // the items announced past it are dropped, so a damaged file never yields items made of
    // defaults (no file to launch, no title to find). Keyrack never writes such a file. A count
    // byte of 0x80 or more is negative and reads no items.
    const std::size_t whole =
        bytes.size() > kSlotHeaderSize ? (bytes.size() - kSlotHeaderSize) / kSlotItemSize : 0;
    const std::size_t kept = std::min(static_cast<std::size_t>(std::max(0, int{count})), whole);
    for (std::size_t k = 0; k < kept; ++k) {
        const auto record =
            bytes.subspan(kSlotHeaderSize + k * kSlotItemSize).first<kSlotItemSize>();
        auto item = std::make_unique<SlotItem>(SlotItem::FromImage(record));
        item->window = 0;
        items.push_back(std::move(item));
    }
}

void Slot::LoadIcons(Desktop& desktop) {
    for (const auto& item : items) {
        const std::u16string* source = psp.PathOf(item->pspId);
        IconHandle icon = desktop.ExtractFileIcon(source ? *source : std::u16string(), 0);
        if (icon == 0) icon = desktop.LoadApplicationIcon();
        item->icon = UniqueIcon(icon, desktop);
    }
}

std::optional<std::vector<std::uint8_t>> Slot::ToBytes() const {
    const std::size_t present = items.size();
    if (present > kMaxSlotItems) return std::nullopt;

    std::vector<std::uint8_t> bytes(kSlotHeaderSize + present * kSlotItemSize);
    bytes[0] = static_cast<std::uint8_t>(present);
    image::PutText(std::span(bytes).first(kSlotHeaderSize), 1, kSlotNameCapacity, name);
    std::size_t at = kSlotHeaderSize;
    for (const auto& item : items) {
        const ItemImage image = item->ToImage();
        std::copy(image.begin(), image.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
        at += kSlotItemSize;
    }
    return bytes;
}

SaveResult Slot::Save(WriteOutcome* outcome) {
    const auto bytes = ToBytes();
    if (!bytes) return SaveResult::kTooManyItems;
    const std::filesystem::path file = m_paths.SlotFile(index);
    const WriteOutcome written = WriteFileAtomically(file, *bytes, m_paths.Steps());
    if (outcome != nullptr) *outcome = written;
    if (!written) {
        std::printf("can't open file at %s\n", PrintablePath(file).c_str());
        return SaveResult::kCannotWrite;
    }
    return SaveResult::kSaved;
}

void Slot::Release() {
    if (m_released) return;
    m_released = true;
    items.clear();
    psp.paths.clear();
}

WindowList Slot::BuildWindowList() const {
    WindowList list;
    list.reserve(items.size());
    for (const auto& item : items) list.push_back({item->window, item->maximize, 0});
    return list;
}

}  // namespace keyrack
