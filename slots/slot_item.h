// One program of a slot. Its file image is exactly kSlotItemSize bytes, byte-packed,
// little-endian, with the text fields as fixed-capacity UTF-16LE arrays.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "platform/desktop.h"
#include "platform/seam_handles.h"

namespace keyrack {

inline constexpr std::size_t kSlotItemSize = 3631;
inline constexpr std::uint32_t kNoPspId = 0xFFFFFFFF;

// Field capacities in UTF-16 units, terminator included.
inline constexpr std::size_t kPathCapacity = 260;
inline constexpr std::size_t kFileNameCapacity = 256;
inline constexpr std::size_t kParametersCapacity = 1024;
inline constexpr std::size_t kItemNameCapacity = 256;

// Byte offsets of the fields in the image.
namespace item_offset {
inline constexpr std::size_t kPath = 0;
inline constexpr std::size_t kFileName = 520;
inline constexpr std::size_t kParameters = 1032;
inline constexpr std::size_t kName = 3080;
inline constexpr std::size_t kPspId = 3592;
inline constexpr std::size_t kMaximize = 3596;
inline constexpr std::size_t kX = 3597;
inline constexpr std::size_t kY = 3601;
inline constexpr std::size_t kWidth = 3605;
inline constexpr std::size_t kHeight = 3609;
inline constexpr std::size_t kReserved = 3613;
inline constexpr std::size_t kWindow = 3614;
inline constexpr std::size_t kIcon = 3622;
inline constexpr std::size_t kIndex = 3630;
}  // namespace item_offset

using ItemImage = std::array<std::uint8_t, kSlotItemSize>;

struct SlotItem {
    std::u16string path;        // file to launch
    std::u16string fileName;    // executable's file name, shown in the editor
    std::u16string parameters;  // command-line parameters
    std::u16string name;        // captured window title
    std::uint32_t pspId = 0;
    std::uint8_t maximize = 0;
    std::int32_t x = 0, y = 0, width = 0, height = 0;
    std::uint8_t reserved = 0xFF;
    WindowHandle window = 0;  // run time only
    UniqueIcon icon;          // run time only
    std::int8_t index = -1;   // position in the slot, -1 while not in one

    // The file image: texts cut to their capacity less the terminator (never inside a
    // surrogate pair), every field NUL-terminated, handles as they are.
    ItemImage ToImage() const;
    // Reads every field from an image; texts stop at the first NUL or the field's end. The
    // icon is left empty and `window` is taken as stored: the slot reader resets it.
    static SlotItem FromImage(std::span<const std::uint8_t, kSlotItemSize> image);
};

}  // namespace keyrack
