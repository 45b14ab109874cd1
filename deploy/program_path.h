// Which image paths name the same program, and where a program went that updated itself.
// Installed programs change folders when they update: a packaged app moves to
// "<Name>_<Version>_<Arch>_<ResourceId>_<PublisherId>", a self-updating one to the next
// "app-<version>" beside the old. Paths are compared as Windows compares file names (through
// the desktop seam), so a path found in another case or with another accented capital matches.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/desktop.h"

namespace keyrack {

// Case ignored as Windows ignores it in file names.
bool SameText(Desktop& desktop, std::u16string_view a, std::u16string_view b);

// Whether two folder names are versions of one thing: packaged-app folders with the same name,
// architecture and publisher, or "<prefix><dotted version>" with the same prefix.
bool AreVersionsOfOneFolder(Desktop& desktop, std::u16string_view a, std::u16string_view b);

// Equal ignoring case, or different only in one folder that is a version of the same thing.
bool SameProgramPath(Desktop& desktop, std::u16string_view a, std::u16string_view b);

// Orders two version folders that AreVersionsOfOneFolder by number (1.10.0 after 1.9.0):
// below, equal to or above zero.
int CompareFolderVersions(std::u16string_view a, std::u16string_view b);

// For a path that names no existing file: the same file in the newest sibling of one of its
// version folders that holds it. Null when the path exists or no sibling holds the file.
std::optional<std::u16string> NewestVersionOf(Desktop& desktop, std::u16string_view path);

}  // namespace keyrack
