#include "deploy/launch_item.h"

#include "deploy/place_window.h"
#include "deploy/program_path.h"
#include "platform/format.h"

namespace keyrack {
namespace {

constexpr std::u16string_view kExeSuffix = u".exe";

// The folder a file path lies in, with its separator when it is a drive's root ("C:\").
std::u16string FolderOf(const std::u16string& path) {
    const std::size_t slash = path.find_last_of(u'\\');
    if (slash == std::u16string::npos) return {};
    const bool driveRoot = slash == 2 && path[1] == u':';
    return path.substr(0, driveRoot ? slash + 1 : slash);
}

bool HasExeSuffix(Desktop& desktop, std::u16string_view path) {
    return path.size() > kExeSuffix.size() &&
           SameText(desktop, path.substr(path.size() - kExeSuffix.size()), kExeSuffix);
}

int ShowCommandOf(const SlotItem& item) {
    return item.maximize != 0 ? win::kSwShowMaximized : win::kSwShowNormal;
}

StartResult StartProcess(const GroupShared& shared, const SlotItem& item,
                         const std::u16string& path, const Rect& rect) {
    std::u16string commandLine = u"\"" + path + u"\"";
    if (!item.parameters.empty()) commandLine += u" " + item.parameters;
    const std::u16string folder = FolderOf(path);
    return shared.desktop.CreateProcessAt({path, commandLine, folder, rect, ShowCommandOf(item)});
}

bool StartThroughShell(const GroupShared& shared, const SlotItem& item, const std::u16string& path,
                       bool isFile, const Rect& rect) {
    // A file starts in its own folder; shell targets, URLs and folders have none to start in.
    const std::u16string folder = isFile ? FolderOf(path) : std::u16string();
    return shared.desktop.ShellExecuteDefault(
        {path, item.parameters, folder, win::kSwShow, shared.launchOwner, rect});
}

// Lends the program just started the right to set the foreground, which Keyrack holds from the
// chord until the user's next input and while its indicator is in front: the program's window
// may then come forward as it opens, and a program that hands the launch to its running
// instance may bring that one forward. Only this process gets the right, not every process.
void LendForeground(Desktop& desktop) {
    const std::uint32_t started = desktop.StartedProcessId();
    if (started != 0) desktop.AllowSetForegroundWindow(started);
}

}  // namespace

std::u16string ResolveLaunchPath(const GroupShared& shared, const SlotItem& item) {
    const auto newer = NewestVersionOf(shared.desktop, item.path);
    if (!newer) return item.path;
    shared.log.LogLine(Format("새 버전 폴더에서 실행: {} -> {}", item.path, *newer));
    return *newer;
}

bool LaunchItem(const GroupShared& shared, const SlotItem& item, const std::u16string& path) {
    Desktop& desktop = shared.desktop;
    const Rect rect = PlacementRect(desktop, item);
    const bool isFile = desktop.IsExistingFile(path);
    if (isFile && HasExeSuffix(desktop, path)) {
        const StartResult started = StartProcess(shared, item, path, rect);
        if (started == StartResult::kStarted) {
            LendForeground(desktop);
            shared.log.LogLine(Format("CreateProcess 실행: {}", item.name));
            return true;
        }
        if (started == StartResult::kElevationRequired)
            shared.log.LogLine(Format("관리자 권한 필요, 셸로 실행: {}", item.name));
        else
            shared.log.LogLine(
                Format("CreateProcess 실패 {}, 셸로 실행: {}", desktop.GetLastError(), item.name));
    }
    const bool started = StartThroughShell(shared, item, path, isFile, rect);
    if (!started) return false;
    LendForeground(desktop);
    shared.log.LogLine(Format("ShellExecuteEx 실행: {}", item.name));
    return true;
}

}  // namespace keyrack
