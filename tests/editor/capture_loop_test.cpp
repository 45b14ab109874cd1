// The capture thread's side: what a pass reads, which samples are handed over, and the
// hand-over to a user-interface thread that applies them (also run under TSan).
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
    FakeDesktop m_desktop;
    WindowHandle m_notepad = m_desktop.AddWindow({.processId = m_desktop.AddProcess(u"C:\\n.exe")});
    MayTakeWindow m_mayTake = [](WindowHandle) { return true; };
};

TEST_F(CaptureLoop, OnlyChangesAndButtonPassesAreHandedOverAndOnlyClicksOpenProcesses) {
    m_desktop.ShowWindow(m_notepad, win::kSwShow);
    SampleFilter filter;
    auto handedOver = [&](int passes) {
        int n = 0;
        for (int i = 0; i < passes; ++i) {
            n += filter.ShouldHandOver(SampleDesktop(m_desktop, m_mayTake));
        }
        return n;
    };
    EXPECT_EQ(handedOver(100), 1) << "an idle desktop costs one sample";
    m_desktop.MoveWindow(m_notepad, 5, 5, 50, 50, true);
    EXPECT_EQ(handedOver(100), 1);
    EXPECT_EQ(m_desktop.CountOf("OpenProcess"), 0u);
    m_desktop.SetKey(win::kVkLButton, true);
    EXPECT_EQ(handedOver(100), 100);
    EXPECT_EQ(m_desktop.CountOf("OpenProcess"), 100u);
    m_desktop.SetKey(win::kVkLButton, false);
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
    std::thread capture([&] {
        RunCaptureLoop(m_desktop, running, m_mayTake,
                       [&](CaptureSample sample) { mailbox.Put(std::move(sample)); });
    });
    m_desktop.ShowWindow(m_notepad, win::kSwShow);
    m_desktop.SetKey(win::kVkLButton, true);
    for (int i = 0; i < 1000000 && state.Current() == nullptr; ++i) {
        for (const CaptureSample& sample : mailbox.TakeAll()) state.Apply(sample);
        std::this_thread::yield();
    }
    running = false;
    capture.join();
    ASSERT_NE(state.Current(), nullptr);
    EXPECT_EQ(state.Current()->path, u"C:\\n.exe");
}

}  // namespace
}  // namespace keyrack::testing
