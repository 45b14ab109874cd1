// The crash handler's text, kept apart from the Win32 filter so the host tests can see it.
#include "app/crash_filter.h"

namespace keyrack {

std::u16string CrashFolderOf(std::u16string_view exePath) {
    const std::size_t last = exePath.find_last_of(u"\\/");
    if (last == std::u16string_view::npos) return {};
    return CleanCrashFolder(exePath.substr(0, last));
}

std::u16string CleanCrashFolder(std::u16string_view folder) {
    std::u16string unquoted;
    unquoted.reserve(folder.size());
    for (char16_t c : folder) {
        if (c != u'"') unquoted += c;
    }
    std::u16string out;
    out.reserve(unquoted.size());
    std::size_t i = 0;
    if (unquoted.starts_with(u"\\\\")) {
        out = u"\\\\";
        i = 2;
    }
    while (i < unquoted.size()) {
        out += unquoted[i];
        // Pairs, left to right: three backslashes become two, four become two.
        if (unquoted[i] == u'\\' && i + 1 < unquoted.size() && unquoted[i + 1] == u'\\') ++i;
        ++i;
    }
    const std::size_t lead = out.starts_with(u"\\\\") ? 2 : 0;
    while (out.size() > lead && out.back() == u'\\') out.pop_back();
    return out;
}

std::u16string CrashMessageText(std::u16string_view folder) {
    std::u16string text = u"프로그램이 예상치 못하게 종료 되었습니다.\n로그 확인\n";
    const auto file = [&](std::u16string_view name) {
        text += folder;
        text += u'\\';
        text += kCrashFolderName;
        text += u'\\';
        text += name;
    };
    file(kCrashDumpName);
    text += u'\n';
    file(kCrashLogName);
    return text;
}

}  // namespace keyrack
