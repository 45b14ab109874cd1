#include "editor/capture_thread.h"

#include <future>
#include <optional>
#include <utility>

#include "editor/desktop_hooks.h"
#include "platform/crash_report.h"

namespace keyrack {
namespace {

// A thread timer (no window): its WM_TIMER carries no procedure to dispatch to.
class StandInTimer {
  public:
    ~StandInTimer() { Set(false); }
    void Set(bool on) {
        if (on && m_id == 0)
            m_id = ::SetTimer(nullptr, 0, CaptureThread::kStandInMilliseconds, nullptr);
        if (!on && m_id != 0) {
            ::KillTimer(nullptr, m_id);
            m_id = 0;
        }
    }
    bool Is(const MSG& msg) const {
        return msg.hwnd == nullptr && msg.message == WM_TIMER && m_id != 0 && msg.wParam == m_id;
    }

  private:
    UINT_PTR m_id = 0;
};

}  // namespace

CaptureThread::CaptureThread(Desktop& desktop, MayTakeWindow mayTake, HandOver handOver) {
    std::promise<DWORD> started;
    auto ready = started.get_future();
    m_thread = std::thread([&desktop, mayTake = std::move(mayTake), handOver = std::move(handOver),
                            &started]() mutable {
        RunReportingEscapes([&] {
            MSG msg;
            // Makes the thread's message queue, so the WM_QUIT that stops it cannot get lost.
            ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
            CaptureEvents events(desktop, mayTake);
            StandInTimer timer;
            std::optional<DesktopHooks> hooks;
            auto hear = [&](const CaptureEvent& event) {
                if (std::optional<CaptureSample> sample = events.OnEvent(event))
                    handOver(std::move(*sample));
                hooks->Follow(events.Followed());
                timer.Set(events.TimerWanted());
            };
            hooks.emplace(hear);
            started.set_value(::GetCurrentThreadId());
            // The window in front now is followed at once.
            hear({DesktopEvent::kForeground, desktop.GetForegroundWindow(), 0});
            while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
                if (timer.Is(msg)) {
                    hear({DesktopEvent::kTimer, 0, 0});
                    continue;
                }
                if (hooks->OnThreadMessage(msg)) continue;
                ::DispatchMessageW(&msg);  // the out-of-context event callbacks
            }
        });
    });
    m_threadId = ready.get();
}

CaptureThread::~CaptureThread() {
    // The capture thread never waits for the user-interface thread, so joining here cannot
    // deadlock. A post fails only while the thread's queue is full: it is tried again.
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (::PostThreadMessageW(m_threadId, WM_QUIT, 0, 0)) break;
        ::Sleep(10);
    }
    if (m_thread.joinable()) m_thread.join();
}

}  // namespace keyrack
