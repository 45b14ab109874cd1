// The deployment and the toggles on one thread while another thread prunes, replaces, extends
// and closes window lists and reads the status lines, as the user-interface thread and the
// indicator do. Run under ThreadSanitizer to show the sharing is serialised.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "deploy/deploy_slot.h"
#include "deploy/slot_windows.h"
#include "tests/deploy/deploy_fixture.h"

namespace keyrack::testing {
namespace {

class ConcurrencyTest : public DeployTest {
  protected:
    // Hammers the slot manager and the status list until `done`.
    void Interfere(std::atomic<bool>& done, int slot) {
        int round = 0;
        while (!done.load()) {
            m_slots.AppendWindowPairs(slot, {{0, 0, 0}});
            CloseSlotWindows(m_desktop, m_slots, slot);
            if (++round % 3 == 0) m_slots.SetWindowList(slot, {{0, 1, 0}});
            (void)m_slots.GetWindowList(slot);
            (void)m_status.JoinedLines();
            ++m_rounds;
            std::this_thread::yield();
        }
    }

    std::atomic<int> m_rounds{0};

    SlotManager m_slots{m_paths, m_desktop};
};

TEST_F(ConcurrencyTest, DeploymentAgainstPruningReplacementAndClosing) {
    std::vector<ItemSpec> items;
    for (std::uint32_t id = 0; id < 3; ++id) {
        const std::u16string path =
            u"C:\\Apps\\P" + std::u16string(1, static_cast<char16_t>(u'0' + id)) + u".exe";
        m_desktop.AddProgram(path, FakeProgram{.pausesBeforeWindow = 20});
        items.push_back({path, u"a", id});
        items.push_back({path, u"b", id});
    }
    WriteSlot(0, u"Busy", items,
              {{0, u"C:\\Apps\\P0.exe"}, {1, u"C:\\Apps\\P1.exe"}, {2, u"C:\\Apps\\P2.exe"}});
    RecordingIndicator indicator(m_desktop, m_status);
    for (int repeat = 0; repeat < 3; ++repeat) {
        std::atomic<bool> done{false};
        // Slot 0 is the one deployed; the other thread also works on it and on slot 1.
        std::thread other([&] { Interfere(done, repeat % 2); });
        DeploySlot(m_slots, 0, &indicator, Context());
        done = true;
        other.join();
    }
    // Every deployment ran to its end: each item got its own new window, and the log closes.
    for (const char16_t id : {u'0', u'1', u'2'}) {
        const std::u16string path = u"C:\\Apps\\P" + std::u16string(1, id) + u".exe";
        EXPECT_EQ(m_desktop.WindowsOpenedBy(path).size(), 2u * 3u);
    }
    EXPECT_EQ(LogLines(m_log.Contents()).back(), "슬롯 메니저 메모리 해제");
    EXPECT_TRUE(m_status.Snapshot().empty());
}

TEST_F(ConcurrencyTest, TogglesAgainstListChangesFromAnotherThread) {
    std::vector<WindowHandle> windows;
    for (int i = 0; i < 4; ++i) windows.push_back(OpenWindowOf(u"C:\\A.exe", u"w"));
    m_slots.SetWindowList(3, {{windows[0], 0, 0}, {windows[1], 1, 0}, {windows[2], 0, 0}});
    std::atomic<bool> done{false};
    std::thread other([&] { Interfere(done, 3); });
    // The toggles run on a virtual clock and could all be over before the other thread is
    // first scheduled; go on until it has interfered a few times (bounded in real time).
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    for (int i = 0; i < 40 || (m_rounds < 20 && std::chrono::steady_clock::now() < limit); ++i) {
        ToggleSlotWindows(m_desktop, m_slots, 3, m_log);
        RaiseSlotWindows(m_desktop, m_slots, 3);
        if (!m_slots.HasWindowList(3)) m_slots.SetWindowList(3, {{windows[3], 0, 0}});
    }
    done = true;
    other.join();
    EXPECT_GT(m_desktop.CountOf("PostWindowMessage"), 0u);
    // Whatever the other thread left, one more raise leaves every entry marked raised.
    if (m_slots.HasWindowList(3)) {
        RaiseSlotWindows(m_desktop, m_slots, 3);
        const auto list = m_slots.GetWindowList(3);
        ASSERT_TRUE(list.has_value());
        for (const HandleMaxiPair& pair : *list) {
            EXPECT_EQ(pair.minimized, 0);
            if (pair.handle != 0 && m_desktop.Exists(pair.handle)) {
                EXPECT_FALSE(m_desktop.Window(pair.handle).iconic);
            }
        }
    }
}

}  // namespace
}  // namespace keyrack::testing
