#include "deploy/process_image.h"

#include "platform/text.h"

namespace keyrack {
namespace {

constexpr std::u16string_view kFrameHostFile = u"\\ApplicationFrameHost.exe";
constexpr std::u16string_view kFrameClass = u"ApplicationFrameWindow";

std::optional<std::u16string> ImagePathOfProcess(Desktop& desktop, std::uint32_t processId) {
    UniqueProcess process(
        desktop.OpenProcess(win::kProcessQueryInformation | win::kProcessVmRead, false, processId),
        desktop);
    std::u16string path;
    if (process.Get() != 0) {
        path = desktop.GetProcessImagePath(process.Get(), win::kMaxPath);
    } else {
        UniqueProcess limited(
            desktop.OpenProcess(win::kProcessQueryLimitedInformation, false, processId), desktop);
        if (limited.Get() == 0) return std::nullopt;
        path = desktop.QueryProcessImagePath(limited.Get(), win::kMaxPath);
    }
    if (path.empty()) return std::nullopt;
    return path;
}

bool IsFrameHost(const std::u16string& path) {
    return path.size() >= kFrameHostFile.size() &&
           EqualsNoCase(std::u16string_view(path).substr(path.size() - kFrameHostFile.size()),
                        kFrameHostFile);
}

// The process of the first child window that is not the frame's own.
std::uint32_t HostedProcess(Desktop& desktop, WindowHandle frame, std::uint32_t frameProcess) {
    std::uint32_t hosted = 0;
    desktop.EnumChildWindows(frame, [&](WindowHandle child) {
        std::uint32_t processId = 0;
        desktop.GetWindowThreadProcessId(child, &processId);
        if (processId != 0 && processId != frameProcess) hosted = processId;
        return hosted == 0;
    });
    return hosted;
}

}  // namespace

WindowImage ReadWindowImage(Desktop& desktop, WindowHandle window) {
    WindowImage image;
    desktop.GetWindowThreadProcessId(window, &image.processId);
    image.path = ImagePathOfProcess(desktop, image.processId);
    image.imageProcessId = image.path ? image.processId : 0;
    if (!image.path || !IsFrameHost(*image.path)) return image;
    if (!EqualsNoCase(desktop.GetWindowClassName(window), kFrameClass)) return image;
    // A Store app's frame: the app is the process of a child window, and the frame host's own
    // path would match every other Store app.
    image.fromChild = true;
    const std::uint32_t hosted = HostedProcess(desktop, window, image.processId);
    image.path = hosted != 0 ? ImagePathOfProcess(desktop, hosted) : std::nullopt;
    image.imageProcessId = image.path ? hosted : 0;
    return image;
}

std::u16string AppsFolderTarget(Desktop& desktop, std::uint32_t processId) {
    UniqueProcess process(
        desktop.OpenProcess(win::kProcessQueryLimitedInformation, false, processId), desktop);
    if (process.Get() == 0) return {};
    const std::u16string aumid = desktop.GetApplicationUserModelId(process.Get());
    return aumid.empty() ? std::u16string() : u"shell:AppsFolder\\" + aumid;
}

std::optional<std::u16string> ImagePathOfWindow(Desktop& desktop, WindowHandle window) {
    return ReadWindowImage(desktop, window).path;
}

}  // namespace keyrack
