// Little-endian, unaligned-safe access to byte images of the slot store's files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "platform/text.h"

namespace keyrack::image {

template <typename T>
void PutLe(std::span<std::uint8_t> bytes, std::size_t offset, T value) {
    auto v = static_cast<std::uint64_t>(value);
    for (std::size_t i = 0; i < sizeof(T); ++i) {
        bytes[offset + i] = static_cast<std::uint8_t>(v & 0xFF);
        v >>= 8;
    }
}

template <typename T>
T GetLe(std::span<const std::uint8_t> bytes, std::size_t offset) {
    std::uint64_t v = 0;
    for (std::size_t i = sizeof(T); i-- > 0;) v = (v << 8) | bytes[offset + i];
    return static_cast<T>(v);
}

// Writes `text`, cut to fit `capacity` units with its terminator, followed by a NUL. Units
// after the NUL are left as they are.
inline void PutText(std::span<std::uint8_t> bytes, std::size_t offset, std::size_t capacity,
                    std::u16string_view text) {
    const std::size_t n = FittedLength(text, capacity);
    for (std::size_t i = 0; i < n; ++i) PutLe<std::uint16_t>(bytes, offset + 2 * i, text[i]);
    if (capacity > 0) PutLe<std::uint16_t>(bytes, offset + 2 * n, 0);
}

// The text of a field: up to its first NUL unit or the field's end.
inline std::u16string GetText(std::span<const std::uint8_t> bytes, std::size_t offset,
                              std::size_t capacity) {
    std::u16string text;
    for (std::size_t i = 0; i < capacity; ++i) {
        const auto unit = GetLe<std::uint16_t>(bytes, offset + 2 * i);
        if (unit == 0) break;
        text += static_cast<char16_t>(unit);
    }
    return text;
}

}  // namespace keyrack::image
