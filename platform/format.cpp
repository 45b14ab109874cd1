#include "platform/format.h"

#include "platform/text.h"

namespace keyrack {
namespace {

std::string Digits(std::int64_t v) { return std::to_string(v); }

std::string Hex(std::uintptr_t v) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string s;
    do {
        s.insert(s.begin(), kDigits[v & 0xF]);
        v >>= 4;
    } while (v != 0);
    return "0x" + s;
}

std::u16string Widen(std::string_view ascii) { return std::u16string(ascii.begin(), ascii.end()); }

template <typename String>
String Braces(std::basic_string_view<typename String::value_type> pattern,
              const std::vector<FormatArg>& args) {
    using Char = typename String::value_type;
    String out;
    std::size_t next = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == Char('{') && i + 1 < pattern.size() && pattern[i + 1] == Char('}') &&
            next < args.size()) {
            args[next++].AppendTo(out);
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

}  // namespace

void FormatArg::AppendTo(std::string& out) const {
    if (auto* i = std::get_if<std::int64_t>(&m_value))
        out += Digits(*i);
    else if (auto* p = std::get_if<std::uintptr_t>(&m_value))
        out += Hex(*p);
    else if (auto* s = std::get_if<std::string_view>(&m_value))
        out += *s;
    else
        out += Utf16ToUtf8(std::get<std::u16string_view>(m_value));
}

void FormatArg::AppendTo(std::u16string& out) const {
    if (auto* i = std::get_if<std::int64_t>(&m_value))
        out += Widen(Digits(*i));
    else if (auto* p = std::get_if<std::uintptr_t>(&m_value))
        out += Widen(Hex(*p));
    else if (auto* s = std::get_if<std::string_view>(&m_value))
        out += Utf8ToUtf16(*s);
    else
        out += std::get<std::u16string_view>(m_value);
}

std::string FormatBraces(std::string_view pattern, const std::vector<FormatArg>& args) {
    return Braces<std::string>(pattern, args);
}
std::u16string FormatBraces(std::u16string_view pattern, const std::vector<FormatArg>& args) {
    return Braces<std::u16string>(pattern, args);
}

namespace {

template <typename String>
String Printf(std::basic_string_view<typename String::value_type> pattern,
              const std::vector<FormatArg>& args) {
    using Char = typename String::value_type;
    String out;
    std::size_t next = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const Char c = pattern[i];
        if (c != Char('%') || i + 1 == pattern.size()) {
            out += c;
            continue;
        }
        const Char conv = pattern[i + 1];
        if (conv == Char('%')) {
            out += Char('%');
            ++i;
        } else if ((conv == Char('d') || conv == Char('s')) && next < args.size()) {
            args[next++].AppendTo(out);
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

std::string PrintfFormat(std::string_view pattern, const std::vector<FormatArg>& args) {
    return Printf<std::string>(pattern, args);
}
std::u16string PrintfFormat(std::u16string_view pattern, const std::vector<FormatArg>& args) {
    return Printf<std::u16string>(pattern, args);
}

}  // namespace keyrack
