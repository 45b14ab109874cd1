#include "deploy/process_image.h"

namespace keyrack {

std::optional<std::u16string> ImagePathOfWindow(Desktop& desktop, WindowHandle window) {
    std::uint32_t processId = 0;
    desktop.GetWindowThreadProcessId(window, &processId);
    UniqueProcess process(
        desktop.OpenProcess(win::kProcessQueryInformation | win::kProcessVmRead, false, processId),
        desktop);
    if (process.Get() == 0) return std::nullopt;
    std::u16string path = desktop.GetProcessImagePath(process.Get(), win::kMaxPath);
    if (path.empty()) return std::nullopt;
    return path;
}

}  // namespace keyrack
