// Host build: code pages through glibc's iconv.
#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "platform/codepage.h"

namespace keyrack {
namespace {

const char* IconvName(unsigned codePage) { return codePage == kCodePageKorean ? "CP949" : "UTF-8"; }

struct IconvCloser {
    void operator()(void* cd) const { iconv_close(static_cast<iconv_t>(cd)); }
};

template <typename Out>
Out Convert(const char* to, const char* from, const char* data, std::size_t size,
            std::string_view replacement) {
    std::unique_ptr<void, IconvCloser> cd(iconv_open(to, from));
    Out out;
    if (cd.get() == reinterpret_cast<void*>(-1)) return out;
    std::string buffer(size * 4 + 16, '\0');
    char* in = const_cast<char*>(data);
    std::size_t inLeft = size;
    std::string bytes;
    while (inLeft > 0) {
        char* dst = buffer.data();
        std::size_t dstLeft = buffer.size();
        const std::size_t r = iconv(static_cast<iconv_t>(cd.get()), &in, &inLeft, &dst, &dstLeft);
        bytes.append(buffer.data(), buffer.size() - dstLeft);
        if (r == static_cast<std::size_t>(-1)) {
            if (errno == E2BIG) continue;
            // Unconvertible or truncated input: replace one input unit and go on.
            bytes += replacement;
            const std::size_t unit = std::string_view(from) == "UTF-16LE" ? 2 : 1;
            const std::size_t skip = inLeft < unit ? inLeft : unit;
            in += skip;
            inLeft -= skip;
        }
    }
    out.resize(bytes.size() / sizeof(typename Out::value_type));
    std::memcpy(out.data(), bytes.data(), out.size() * sizeof(typename Out::value_type));
    return out;
}

}  // namespace

std::string ToCodePage(std::u16string_view text, unsigned codePage) {
    return Convert<std::string>(IconvName(codePage), "UTF-16LE",
                                reinterpret_cast<const char*>(text.data()), text.size() * 2, "?");
}

std::u16string FromCodePage(std::string_view bytes, unsigned codePage) {
    static constexpr char kReplacement[] = "\xFD\xFF";  // U+FFFD in UTF-16LE
    return Convert<std::u16string>("UTF-16LE", IconvName(codePage), bytes.data(), bytes.size(),
                                   std::string_view(kReplacement, 2));
}

}  // namespace keyrack
