// Text rules of the editor's fields.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace keyrack {

// A position field as a signed 32-bit number: an optional minus sign and decimal digits,
// spaces around allowed. 0 for anything else, an empty field and a number out of range
// included.
std::int32_t ParseSignedNumber(std::u16string_view text);

// The part of a path after its last backslash; the whole path when it has none.
std::u16string_view FileNameOf(std::u16string_view path);

// The text a field of `capacity` units (terminator included) keeps: cut as the store cuts,
// never inside a surrogate pair.
std::u16string FitField(std::u16string_view text, std::size_t capacity);

// "F<n> 슬롯" for slot index 0..11 (n = index + 1): the name of a slot without a file.
std::u16string DefaultSlotName(int index);

}  // namespace keyrack

namespace keyrack {

// What the position fields take: X and Y -32768..32767, W and H 50..32767.
inline constexpr std::int32_t kLowestCoordinate = -32768;
inline constexpr std::int32_t kHighestPositionValue = 32767;
inline constexpr std::int32_t kSmallestItemSize = 50;

// Whether a position field may hold this text as the user types it: decimal digits only, and
// where negative numbers are allowed (X and Y) an optional leading minus, also alone; the number
// never beyond the field's range (32767, and -32768 with a minus). Empty is allowed.
bool IsNumberFieldText(std::u16string_view text, bool allowMinus);

// Whether a finished position field holds a number the item can keep: X and Y (`coordinate`)
// -32768..32767, W and H 50..32767; an empty field is none.
bool IsPositionInRange(std::u16string_view text, bool coordinate);

// The text of an edit after `inserted` replaced its selection [start, end) (positions cut to
// the text's length).
std::u16string ReplaceSelection(std::u16string_view text, std::size_t start, std::size_t end,
                                std::u16string_view inserted);

}  // namespace keyrack
