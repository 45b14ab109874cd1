// Conversion between the core's UTF-16 text and narrow code-page bytes (the run log is CP949).
#pragma once

#include <string>
#include <string_view>

namespace keyrack {

inline constexpr unsigned kCodePageKorean = 949;
inline constexpr unsigned kCodePageUtf8 = 65001;

// Characters the code page lacks become '?'.
std::string ToCodePage(std::u16string_view text, unsigned codePage);
std::u16string FromCodePage(std::string_view bytes, unsigned codePage);

}  // namespace keyrack
