// UTF-16 text helpers for the portable core.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace keyrack {

// Compares whole strings the way _wcsicmp does in the C locale: only ASCII letters fold.
int CompareNoCase(std::u16string_view a, std::u16string_view b);
inline bool EqualsNoCase(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() && CompareNoCase(a, b) == 0;
}

// The text of a fixed field: up to its first NUL unit, never beyond the field.
std::u16string_view TextUpToNul(const char16_t* field, std::size_t capacity);

// How many leading units of `text` fit a field of `capacity` units with its NUL terminator,
// never ending between the two halves of a surrogate pair.
std::size_t FittedLength(std::u16string_view text, std::size_t capacity);

// Conversions between UTF-8 (source literals, JSON) and UTF-16 (the core's text).
// Ill-formed input is replaced by U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

}  // namespace keyrack
