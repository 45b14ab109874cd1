// Windows build: code pages through WideCharToMultiByte and MultiByteToWideChar.
#include <windows.h>

#include "platform/codepage.h"

namespace keyrack {

std::string ToCodePage(std::u16string_view text, unsigned codePage) {
    if (text.empty()) return {};
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int length = static_cast<int>(text.size());
    const int size = WideCharToMultiByte(codePage, 0, wide, length, nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? size : 0, '\0');
    if (size > 0)
        WideCharToMultiByte(codePage, 0, wide, length, out.data(), size, nullptr, nullptr);
    return out;
}

std::u16string FromCodePage(std::string_view bytes, unsigned codePage) {
    if (bytes.empty()) return {};
    const int length = static_cast<int>(bytes.size());
    const int size = MultiByteToWideChar(codePage, 0, bytes.data(), length, nullptr, 0);
    std::u16string out(size > 0 ? size : 0, u'\0');
    if (size > 0) {
        MultiByteToWideChar(codePage, 0, bytes.data(), length,
                            reinterpret_cast<wchar_t*>(out.data()), size);
    }
    return out;
}

}  // namespace keyrack
