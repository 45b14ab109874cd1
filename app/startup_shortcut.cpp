#include "app/startup_shortcut.h"

#include <algorithm>

#include "platform/text.h"

namespace keyrack {
namespace {

std::u16string Normalised(std::u16string_view path) {
    std::u16string out;
    out.reserve(path.size());
    for (char16_t c : path) {
        if (c == u'/') c = u'\\';
        // "\\server" keeps its leading pair; elsewhere a run of separators is one.
        if (c == u'\\' && out.size() > 1 && out.back() == u'\\') continue;
        out.push_back(c);
    }
    while (out.size() > 1 && out.back() == u'\\') out.pop_back();
    return out;
}

}  // namespace

bool SameWindowsPath(std::u16string_view a, std::u16string_view b) {
    return !a.empty() && EqualsNoCase(Normalised(a), Normalised(b));
}

std::vector<std::u16string> ShortcutsTo(const std::vector<StartupShortcut>& shortcuts,
                                        std::u16string_view program) {
    std::vector<std::u16string> ours;
    for (const StartupShortcut& shortcut : shortcuts) {
        if (SameWindowsPath(shortcut.target, program)) ours.push_back(shortcut.fileName);
    }
    return ours;
}

bool MarkedDisabled(const std::optional<StartupApprovedValue>& value) {
    return value && value->binary && value->bytes.size() == 12 && (value->bytes[0] & 1) != 0;
}

std::u16string NewShortcutName(const std::vector<std::u16string>& namesInFolder) {
    const auto taken = [&](const std::u16string& name) {
        return std::any_of(namesInFolder.begin(), namesInFolder.end(),
                           [&](const std::u16string& other) { return EqualsNoCase(name, other); });
    };
    std::u16string name = u"Keyrack.lnk";
    for (int n = 2; taken(name); ++n) {
        std::u16string number;
        for (char c : std::to_string(n)) number.push_back(static_cast<char16_t>(c));
        name = u"Keyrack (" + number + u").lnk";
    }
    return name;
}

void AddStartupEntry(TrayMenuModel& model, bool checked) {
    const auto about =
        std::find_if(model.tail.begin(), model.tail.end(),
                     [](const TrayMenuEntry& entry) { return entry.id == kIdTrayAbout; });
    model.tail.insert(
        about, TrayMenuEntry{false, u"Windows 시작 시 실행", kIdTrayStartup, checked, false});
}

}  // namespace keyrack
