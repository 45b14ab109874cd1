#include "deploy/launch_item.h"

#include "deploy/program_path.h"
#include "platform/format.h"

namespace keyrack {
namespace {

// The folder a file path lies in, with its separator when it is a drive's root ("C:\").
std::u16string FolderOf(const std::u16string& path) {
    const std::size_t slash = path.find_last_of(u'\\');
    if (slash == std::u16string::npos) return {};
    const bool driveRoot = slash == 2 && path[1] == u':';
    return path.substr(0, driveRoot ? slash + 1 : slash);
}

bool StartThroughShell(const GroupShared& shared, const SlotItem& item, const std::u16string& path,
                       bool isFile) {
    // A file starts in its own folder; shell targets, URLs and folders have none to start in.
    const std::u16string folder = isFile ? FolderOf(path) : std::u16string();
    return shared.desktop.ShellExecuteDefault(
        {path, item.parameters, folder, win::kSwShow, shared.launchOwner});
}

}  // namespace

std::u16string ResolveLaunchPath(const GroupShared& shared, const SlotItem& item) {
    const auto newer = NewestVersionOf(shared.desktop, item.path);
    if (!newer) return item.path;
    shared.log.LogLine(Format("새 버전 폴더에서 실행: {} -> {}", item.path, *newer));
    return *newer;
}

bool LaunchItem(const GroupShared& shared, const SlotItem& item, const std::u16string& path) {
    const bool isFile = shared.desktop.IsExistingFile(path);
    const bool started = StartThroughShell(shared, item, path, isFile);
    if (started) shared.log.LogLine(Format("ShellExecuteEx 실행: {}", item.name));
    return started;
}

}  // namespace keyrack
