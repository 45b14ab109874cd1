// The capture thread's side: what one pass reads, which samples are handed over, and the
// hand-over to a user-interface thread that applies them (run under TSan as well).
#include "editor/capture_loop.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <thread>

#include "editor/editor_state.h"
#include "tests/fakes/fake_desktop.h"

namespace keyrack::testing {
namespace {

class NoView : public EditorView {
    void ShowItem(const SlotItem&) override {}
    void ShowPosition(const SlotItem&) override {}
    void ClearFields() override {}
    ItemFields ReadFields() override { return {}; }
    void AppendListEntry(const SlotItem&) override {}
    void RebuildList(std::span<const std::unique_ptr<SlotItem>>) override {}
    void RepaintPreview() override {}
};

class CaptureLoop : public ::testing::Test {
  protected:
    WindowHandle OpenNotepad() {
        FakeWindow window;
        window.processId = m_desktop.AddProcess(u"C:\\notepad.exe");
        window.title = u"메모장";
        return m_desktop.AddWindow(window);
    }
    FakeDesktop m_desktop;
    WindowHandle m_editor = m_desktop.AddWindow({});
    MayTakeWindow m_mayTake = [this](WindowHandle w) { return w != m_editor; };
};

TEST_F(CaptureLoop, APassOpensTheProcessOnlyWhileTheLeftButtonIsDownOnAWindow) {
    const WindowHandle notepad = OpenNotepad();
    m_desktop.ShowWindow(notepad, win::kSwShow);
    CaptureSample idle = SampleDesktop(m_desktop, m_mayTake);
    EXPECT_EQ(idle.window, notepad);
    EXPECT_EQ(idle.rect, (Rect{100, 100, 900, 700}));
    EXPECT_EQ(m_desktop.CountOf("OpenProcess"), 0u);

    m_desktop.SetKey(win::kVkLButton, true);
    const CaptureSample click = SampleDesktop(m_desktop, m_mayTake);
    EXPECT_EQ(click.path, u"C:\\notepad.exe");
    EXPECT_EQ(click.title, u"메모장");
    EXPECT_EQ(m_desktop.OpenProcessHandles(), 0);

    m_desktop.ShowWindow(m_editor, win::kSwShow);
    const CaptureSample editor = SampleDesktop(m_desktop, m_mayTake);
    EXPECT_TRUE(editor.ignored);
    EXPECT_EQ(editor.window, 0u);
    EXPECT_EQ(m_desktop.CountOf("OpenProcess"), 1u);
}

TEST_F(CaptureLoop, OnlyChangesAndButtonPassesAreHandedOver) {
    const WindowHandle notepad = OpenNotepad();
    m_desktop.ShowWindow(notepad, win::kSwShow);
    SampleFilter filter;
    auto handedOver = [&](int passes) {
        int n = 0;
        for (int i = 0; i < passes; ++i)
            n += filter.ShouldHandOver(SampleDesktop(m_desktop, m_mayTake));
        return n;
    };
    EXPECT_EQ(handedOver(100), 1) << "an idle desktop costs one sample";
    m_desktop.MoveWindow(notepad, 5, 5, 50, 50, true);
    EXPECT_EQ(handedOver(100), 1);
    m_desktop.SetKey(win::kVkRButton, true);
    EXPECT_EQ(handedOver(100), 100);
    m_desktop.SetKey(win::kVkRButton, false);
    EXPECT_EQ(handedOver(100), 1) << "the release";
}

TEST_F(CaptureLoop, SamplesReachTheUserInterfaceThreadThroughTheMailbox) {
    EditorState::ForgetLastCaptured();
    Slot slot{0, StorePaths{std::filesystem::path("no-such-folder")}, m_desktop};
    NoView view;
    PreviewModel preview;
    EditorState state(slot, m_desktop, view, preview);
    CaptureMailbox mailbox;
    std::atomic<bool> running{true};
    std::atomic<int> wakeUps{0};
    std::thread capture([&] {
        RunCaptureLoop(m_desktop, running, m_mayTake, [&](CaptureSample sample) {
            if (mailbox.Put(std::move(sample))) ++wakeUps;
        });
    });
    const WindowHandle notepad = OpenNotepad();
    m_desktop.ShowWindow(notepad, win::kSwShow);
    m_desktop.SetKey(win::kVkLButton, true);
    for (int i = 0; i < 100000 && state.Current() == nullptr; ++i) {
        for (const CaptureSample& sample : mailbox.TakeAll()) state.Apply(sample);
        std::this_thread::yield();
    }
    running = false;
    capture.join();
    ASSERT_NE(state.Current(), nullptr);
    EXPECT_EQ(state.Current()->window, notepad);
    EXPECT_GE(wakeUps.load(), 1);
}

}  // namespace
}  // namespace keyrack::testing
