#include "editor/field_text.h"

#include <algorithm>
#include <string>

#include "platform/text.h"

namespace keyrack {

std::int32_t ParseSignedNumber(std::u16string_view text) {
    const auto first = text.find_first_not_of(u' ');
    if (first == std::u16string_view::npos) return 0;
    text = text.substr(first, text.find_last_not_of(u' ') - first + 1);
    const bool negative = text.front() == u'-';
    if (negative) text.remove_prefix(1);
    if (text.empty()) return 0;
    std::int64_t value = 0;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9') return 0;
        value = value * 10 + (c - u'0');
        if (value > std::int64_t{INT32_MAX} + 1) return 0;
    }
    if (negative) value = -value;
    if (value < INT32_MIN || value > INT32_MAX) return 0;
    return static_cast<std::int32_t>(value);
}

std::u16string_view FileNameOf(std::u16string_view path) {
    const auto slash = path.rfind(u'\\');
    return slash == std::u16string_view::npos ? path : path.substr(slash + 1);
}

std::u16string FitField(std::u16string_view text, std::size_t capacity) {
    return std::u16string(text.substr(0, FittedLength(text, capacity)));
}

std::u16string DefaultSlotName(int index) {
    std::u16string name(1, u'F');
    for (char digit : std::to_string(index + 1)) name.push_back(static_cast<char16_t>(digit));
    name.append(std::u16string_view(u" 슬롯"));
    return name;
}

}  // namespace keyrack

namespace keyrack {

bool IsNumberFieldText(std::u16string_view text, bool allowMinus) {
    const bool negative = allowMinus && !text.empty() && text.front() == u'-';
    if (negative) text.remove_prefix(1);
    std::int64_t value = 0;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9') return false;
        value = value * 10 + (c - u'0');
        if (value > (negative ? -std::int64_t{kLowestCoordinate} : kHighestPositionValue))
            return false;
    }
    return true;
}

bool IsPositionInRange(std::u16string_view text, bool coordinate) {
    const bool digits = !text.empty() && text != u"-";
    if (!digits || !IsNumberFieldText(text, coordinate)) return false;
    return coordinate || ParseSignedNumber(text) >= kSmallestItemSize;
}

std::u16string ReplaceSelection(std::u16string_view text, std::size_t start, std::size_t end,
                                std::u16string_view inserted) {
    start = std::min(start, text.size());
    end = std::min(std::max(start, end), text.size());
    std::u16string result(text.substr(0, start));
    result.append(inserted);
    result.append(text.substr(end));
    return result;
}

}  // namespace keyrack
