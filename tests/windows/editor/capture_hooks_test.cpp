// The capture thread's hooks under Wine, on a window of another process: real clicks reach the
// hooking thread's message loop, and nothing does once the hooks are gone; the capture thread hands
// over the window in front and its moves (by the stand-in timer where no location change is
// reported) and stops at once.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "editor/capture_thread.h"
#include "editor/desktop_hooks.h"
#include "platform/win32/handles.h"
#include "platform/win32/win32_desktop.h"

namespace keyrack {
namespace {

using Clock = std::chrono::steady_clock;

// Serves this thread's messages (and so the out-of-context hooks) until `done` or the time is
// up; counts the thread messages that no hooks took.
template <typename Done>
bool ServeUntil(DesktopHooks* hooks, Done done, int milliseconds = 5000, int* untaken = nullptr) {
    const auto end = Clock::now() + std::chrono::milliseconds(milliseconds);
    while (!done() && Clock::now() < end) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (hooks != nullptr && hooks->OnThreadMessage(msg)) continue;
            if (untaken != nullptr && msg.hwnd == nullptr) ++*untaken;
            ::DispatchMessageW(&msg);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    return done();
}

// A window of keyrack_test_window.exe (another process), closed at the end.
class OtherProcessWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::filesystem::path program =
            ExecutableFolderOfProcess() / ".." / "deploy" / "keyrack_test_window.exe";
        std::wstring commandLine = L"\"" + program.wstring() + L"\" 1 \"" + m_title + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process{};
        ASSERT_TRUE(::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                                     0, nullptr, nullptr, &startup, &process));
        m_process.Reset(process.hProcess);
        UniqueKernelHandle thread(process.hThread);
        ServeUntil(nullptr, [&] {
            return (m_window = ::FindWindowW(L"KeyrackTestWindow", m_title.c_str())) != nullptr;
        });
        ASSERT_NE(m_window, nullptr);
        DWORD pid = 0;
        const DWORD tid = ::GetWindowThreadProcessId(m_window, &pid);
        m_followed = {reinterpret_cast<WindowHandle>(m_window), pid, tid};
    }
    void TearDown() override {
        if (m_window) ::PostMessageW(m_window, WM_CLOSE, 0, 0);
        if (m_process) ::WaitForSingleObject(m_process.Get(), 5000);
    }
    void MoveTo(int x, int y) {
        ::SetWindowPos(m_window, nullptr, x, y, 420, 260, SWP_NOZORDER | SWP_NOACTIVATE);
    }

    std::wstring m_title = L"Keyrack capture probe " + std::to_wstring(::GetCurrentProcessId());
    UniqueKernelHandle m_process;
    HWND m_window = nullptr;
    FollowedWindow m_followed;
};

// A window of the test's own, under the pointer, for real clicks that disturb nothing.
UniqueHandle<HWND, CloseWith<&::DestroyWindow>> ClickTarget() {
    HWND window = ::CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 600, 400,
                                    100, 100, nullptr, nullptr, nullptr, nullptr);
    ::SetCursorPos(650, 450);
    return UniqueHandle<HWND, CloseWith<&::DestroyWindow>>(window);
}

void RightClick() {
    INPUT input[2]{};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
    input[1].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
    ::SendInput(2, input, sizeof(INPUT));
}

TEST_F(OtherProcessWindow, TheHooksHearClicksAndGoWithTheObject) {
    std::vector<CaptureEvent> heard;
    const auto count = [&](DesktopEvent kind, WindowHandle window) {
        int n = 0;
        for (const CaptureEvent& e : heard) n += e.kind == kind && e.window == window;
        return n;
    };
    const auto target = ClickTarget();
    {
        DesktopHooks hooks([&](const CaptureEvent& event) { heard.push_back(event); });
        hooks.Follow(m_followed);
        RightClick();
        EXPECT_TRUE(ServeUntil(&hooks, [&] {
            return count(DesktopEvent::kButtonDown, 0) > 0 && count(DesktopEvent::kButtonUp, 0) > 0;
        })) << "a click that changes no window";
        EXPECT_EQ(heard.back().button, VK_RBUTTON);

        hooks.Follow({});
        hooks.Follow(m_followed);
    }
    heard.clear();
    MoveTo(260, 190);
    ::SetForegroundWindow(target.Get());
    ::SetForegroundWindow(m_window);
    RightClick();
    // A mouse hook left behind would still post its buttons to this thread.
    int threadMessages = 0;
    ServeUntil(
        nullptr, [] { return false; }, 1000, &threadMessages);
    EXPECT_TRUE(heard.empty()) << "every event hook goes with the object";
    EXPECT_EQ(threadMessages, 0) << "and the mouse hook";
}

TEST_F(OtherProcessWindow, TheCaptureThreadHandsOverTheWindowInFrontAndItsMoves) {
    Win32Desktop desktop;
    std::mutex lock;
    std::vector<CaptureSample> samples;
    const auto seen = [&](Rect rect) {
        std::lock_guard guard(lock);
        for (const CaptureSample& s : samples)
            if (s.window == m_followed.window && s.rect == rect) return true;
        return false;
    };
    ::SetForegroundWindow(m_window);
    MoveTo(100, 100);
    Clock::time_point stopped;
    {
        CaptureThread capture(
            desktop, [](WindowHandle) { return true; },
            [&](CaptureSample sample) {
                std::lock_guard guard(lock);
                samples.push_back(std::move(sample));
            });
        EXPECT_TRUE(ServeUntil(nullptr, [&] {
            return seen({100, 100, 520, 360});
        })) << "the window in front when the thread starts";
        MoveTo(300, 200);
        EXPECT_TRUE(ServeUntil(nullptr, [&] { return seen({300, 200, 720, 460}); })) << "its move";
        stopped = Clock::now();
    }
    EXPECT_LT(Clock::now() - stopped, std::chrono::seconds(1)) << "stopped by WM_QUIT at once";
}

}  // namespace
}  // namespace keyrack
