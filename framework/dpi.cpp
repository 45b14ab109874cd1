#include "framework/dpi.h"

namespace keyrack {
namespace {

template <typename Function>
Function FromUser32(const char* name) {
    HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    if (user32 == nullptr) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(user32, name)));
}

using DpiForWindow = UINT(WINAPI*)(HWND);
using DpiForSystem = UINT(WINAPI*)();
using DialogDpiBehaviour = BOOL(WINAPI*)(HWND, int, int);

int ScreenDpi() {
    HDC screen = ::GetDC(nullptr);
    if (screen == nullptr) return kDesignDpi;
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kDesignDpi;
}

}  // namespace

int SystemDpi() {
    static const auto forSystem = FromUser32<DpiForSystem>("GetDpiForSystem");
    if (forSystem != nullptr) {
        const UINT dpi = forSystem();
        if (dpi > 0) return static_cast<int>(dpi);
    }
    return ScreenDpi();
}

int WindowDpi(HWND window) {
    static const auto forWindow = FromUser32<DpiForWindow>("GetDpiForWindow");
    if (forWindow != nullptr && window != nullptr) {
        const UINT dpi = forWindow(window);
        if (dpi > 0) return static_cast<int>(dpi);
    }
    return SystemDpi();
}

void MoveToSuggestedRect(HWND window, LPARAM suggested) {
    const auto* r = reinterpret_cast<const RECT*>(suggested);
    if (r == nullptr) return;
    ::SetWindowPos(window, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

void KeepDialogLayoutOnDpiChange(HWND dialog) {
    // DDC_DISABLE_ALL: no resizing, no font change, no control re-layout by the system.
    constexpr int kDisableAll = 0x0001;
    static const auto set = FromUser32<DialogDpiBehaviour>("SetDialogDpiChangeBehavior");
    if (set != nullptr) set(dialog, kDisableAll, kDisableAll);
}

}  // namespace keyrack
