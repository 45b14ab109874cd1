#include "editor/number_edit.h"

#include "editor/field_text.h"
#include "platform/win32/wide.h"

namespace keyrack {
namespace {

constexpr wchar_t kCtrlV = 0x16;

std::u16string ClipboardText(HWND owner) {
    std::u16string text;
    if (!::OpenClipboard(owner)) return text;
    if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(::GlobalLock(data))) {
            text = FromWide(chars);
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    return text;
}

}  // namespace

void NumberEdit::Insert(const std::u16string& inserted) {
    DWORD start = 0, end = 0;
    Default(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    if (!IsNumberFieldText(ReplaceSelection(WindowText(m_hWnd), start, end, inserted),
                           m_allowMinus)) {
        ::MessageBeep(MB_OK);
        return;
    }
    Default(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(AsWide(inserted)));
}

void NumberEdit::Paste() { Insert(ClipboardText(m_hWnd)); }

LRESULT NumberEdit::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CHAR:
            if (wParam == kCtrlV) {
                Paste();
                return 0;
            }
            if (wParam < 0x20) break;  // Backspace, Ctrl+C, Ctrl+X, Ctrl+A and the like
            Insert(std::u16string(1, static_cast<char16_t>(wParam)));
            return 0;
        case WM_PASTE:
            Paste();
            return 0;
        case WM_KEYDOWN:
            // Shift+Insert pastes without a WM_PASTE.
            if (wParam == VK_INSERT && ::GetKeyState(VK_SHIFT) < 0 &&
                ::GetKeyState(VK_CONTROL) >= 0) {
                Paste();
                return 0;
            }
            break;
        default:
            break;
    }
    return Default(msg, wParam, lParam);
}

}  // namespace keyrack
