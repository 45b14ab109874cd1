#include "deploy/program_path.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace keyrack {
namespace {

std::vector<std::u16string_view> Split(std::u16string_view text, char16_t separator) {
    std::vector<std::u16string_view> parts;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == text.npos ? text.npos : end - start));
        if (end == text.npos) return parts;
        start = end + 1;
    }
}

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Digits separated by single dots, with at least one dot.
bool IsDottedVersion(std::u16string_view text) {
    const auto parts = Split(text, u'.');
    if (parts.size() < 2) return false;
    return std::all_of(parts.begin(), parts.end(), [](std::u16string_view part) {
        return !part.empty() && std::all_of(part.begin(), part.end(), IsDigit);
    });
}

std::vector<std::uint64_t> VersionNumbers(std::u16string_view version) {
    std::vector<std::uint64_t> numbers;
    for (const auto part : Split(version, u'.')) {
        std::uint64_t n = 0;
        for (const char16_t c : part) n = n * 10 + static_cast<std::uint64_t>(c - u'0');
        numbers.push_back(n);
    }
    return numbers;
}

// A versioned folder name taken apart: what must agree between versions, and the version.
struct VersionedFolder {
    std::vector<std::u16string_view> fixed;
    std::u16string_view version;
};

std::optional<VersionedFolder> PackageFolder(std::u16string_view name) {
    const auto parts = Split(name, u'_');
    if (parts.size() != 5 || parts[0].empty() || !IsDottedVersion(parts[1])) return std::nullopt;
    return VersionedFolder{{parts[0], parts[2], parts[4]}, parts[1]};
}

// "<prefix><dotted version>": the longest tail of digits and dots that is a version.
std::optional<VersionedFolder> PrefixedFolder(std::u16string_view name) {
    std::size_t start = name.size();
    while (start > 0 && (IsDigit(name[start - 1]) || name[start - 1] == u'.')) --start;
    while (start < name.size() && !IsDigit(name[start])) ++start;  // a leading dot is prefix
    const std::u16string_view version = name.substr(start);
    if (!IsDottedVersion(version)) return std::nullopt;
    return VersionedFolder{{name.substr(0, start)}, version};
}

std::optional<VersionedFolder> Versioned(std::u16string_view name) {
    if (auto package = PackageFolder(name)) return package;
    return PrefixedFolder(name);
}

}  // namespace

bool SameText(Desktop& desktop, std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() && desktop.CompareOrdinalNoCase(a, b) == 0;
}

bool AreVersionsOfOneFolder(Desktop& desktop, std::u16string_view a, std::u16string_view b) {
    const auto x = Versioned(a);
    const auto y = Versioned(b);
    if (!x || !y || x->fixed.size() != y->fixed.size()) return false;
    for (std::size_t i = 0; i < x->fixed.size(); ++i)
        if (!SameText(desktop, x->fixed[i], y->fixed[i])) return false;
    return true;
}

bool SameProgramPath(Desktop& desktop, std::u16string_view a, std::u16string_view b) {
    if (SameText(desktop, a, b)) return true;
    const auto x = Split(a, u'\\');
    const auto y = Split(b, u'\\');
    if (x.size() != y.size()) return false;
    std::size_t differing = x.size();
    for (std::size_t i = 0; i < x.size(); ++i) {
        if (SameText(desktop, x[i], y[i])) continue;
        if (differing != x.size()) return false;  // a second folder differs
        differing = i;
    }
    // The file name itself must agree; only a folder may carry the version.
    return differing + 1 < x.size() && AreVersionsOfOneFolder(desktop, x[differing], y[differing]);
}

int CompareFolderVersions(std::u16string_view a, std::u16string_view b) {
    const auto x = Versioned(a);
    const auto y = Versioned(b);
    if (!x || !y) return 0;
    auto p = VersionNumbers(x->version);
    auto q = VersionNumbers(y->version);
    const std::size_t n = std::max(p.size(), q.size());
    p.resize(n, 0);
    q.resize(n, 0);
    return p < q ? -1 : (q < p ? 1 : 0);
}

std::optional<std::u16string> NewestVersionOf(Desktop& desktop, std::u16string_view path) {
    if (desktop.IsExistingFile(path)) return std::nullopt;
    const auto parts = Split(path, u'\\');
    // The deepest version folder first; the first part is the drive, the last the file.
    for (std::size_t i = parts.size() - 1; i-- > 1;) {
        if (!Versioned(parts[i])) continue;
        const std::u16string_view parent = path.substr(0, parts[i].data() - path.data() - 1);
        const std::u16string_view rest = path.substr(parts[i + 1].data() - path.data() - 1);
        auto siblings = desktop.ListSubfolders(parent);
        std::erase_if(siblings, [&](const std::u16string& name) {
            return !AreVersionsOfOneFolder(desktop, name, parts[i]);
        });
        std::sort(siblings.begin(), siblings.end(),
                  [](const auto& x, const auto& y) { return CompareFolderVersions(x, y) > 0; });
        for (const auto& sibling : siblings) {
            std::u16string candidate = std::u16string(parent) + u'\\' + sibling;
            candidate += rest;
            if (desktop.IsExistingFile(candidate)) return candidate;
        }
    }
    return std::nullopt;
}

}  // namespace keyrack
