// Message formatting: "{}" placeholders for log and status lines, and a small printf subset
// (%d, %s, %%) for file names and menu labels.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

namespace keyrack {

// One argument of a formatted message. Pointers print as 0x followed by lowercase hex.
class FormatArg {
  public:
    template <typename T>
    requires std::is_integral_v<T> FormatArg(T value) : m_value(static_cast<std::int64_t>(value)) {}
    FormatArg(const void* pointer) : m_value(reinterpret_cast<std::uintptr_t>(pointer)) {}
    FormatArg(std::string_view text) : m_value(text) {}
    FormatArg(const char* text) : m_value(std::string_view(text)) {}
    FormatArg(const std::string& text) : m_value(std::string_view(text)) {}
    FormatArg(std::u16string_view text) : m_value(text) {}
    FormatArg(const char16_t* text) : m_value(std::u16string_view(text)) {}
    FormatArg(const std::u16string& text) : m_value(std::u16string_view(text)) {}

    void AppendTo(std::string& out) const;     // UTF-16 text is appended as UTF-8
    void AppendTo(std::u16string& out) const;  // narrow text is taken as UTF-8

  private:
    std::variant<std::int64_t, std::uintptr_t, std::string_view, std::u16string_view> m_value;
};

// Replaces each "{}" in order by the next argument; surplus placeholders stay as they are.
std::string FormatBraces(std::string_view pattern, const std::vector<FormatArg>& args);
std::u16string FormatBraces(std::u16string_view pattern, const std::vector<FormatArg>& args);

template <typename... Args>
std::string Format(std::string_view pattern, const Args&... args) {
    return FormatBraces(pattern, {FormatArg(args)...});
}
template <typename... Args>
std::u16string Format(std::u16string_view pattern, const Args&... args) {
    return FormatBraces(pattern, {FormatArg(args)...});
}

// printf subset: %d (integer), %s (text), %% (percent sign); each conversion takes the next
// argument as it is. A conversion without an argument is written out unchanged.
std::string PrintfFormat(std::string_view pattern, const std::vector<FormatArg>& args);
std::u16string PrintfFormat(std::u16string_view pattern, const std::vector<FormatArg>& args);

template <typename... Args>
std::string Printf(std::string_view pattern, const Args&... args) {
    return PrintfFormat(pattern, {FormatArg(args)...});
}
template <typename... Args>
std::u16string Printf(std::u16string_view pattern, const Args&... args) {
    return PrintfFormat(pattern, {FormatArg(args)...});
}

}  // namespace keyrack
