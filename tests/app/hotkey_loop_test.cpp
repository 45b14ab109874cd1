// Chord recognition and the polling loop: which keys are read, once per press, toggle or
// deploy, the run log and its dump, pruning in every pass.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <set>

#include "app/hotkey_loop.h"
#include "deploy/slot_windows.h"
#include "platform/run_log.h"
#include "tests/deploy/deploy_fixture.h"

namespace keyrack::testing {
namespace {

constexpr int kRightControl = 0xA3;
constexpr int kRightShift = 0xA1;
int F(int n) { return win::kVkF1 + n - 1; }

using Keys = std::set<int>;

class ChordTest : public ::testing::Test {
  protected:
    void Press(const Keys& keys) {
        for (int vk = 0; vk < 256; ++vk) m_desktop.SetKey(vk, keys.count(vk) != 0);
    }
    std::vector<std::int64_t> Queried() const {
        std::vector<std::int64_t> keys;
        for (const FakeCall& call : m_desktop.CallsNamed("GetKeyState"))
            keys.push_back(call.args[0]);
        return keys;
    }
    FakeDesktop m_desktop;
    ChordRecognizer m_chords;
};

TEST_F(ChordTest, LeftControlLeftShiftAndAnFKey) {
    Press({win::kVkLControl, win::kVkLShift, F(3)});
    EXPECT_EQ(m_chords.Poll(m_desktop), 2);
    ChordRecognizer fresh;
    Press({win::kVkLControl, win::kVkLShift, F(12)});
    EXPECT_EQ(fresh.Poll(m_desktop), 11);
}

TEST_F(ChordTest, RightModifiersDoNotCount) {
    Press({kRightControl, win::kVkLShift, F(1)});
    EXPECT_EQ(m_chords.Poll(m_desktop), -1);
    Press({win::kVkLControl, kRightShift, F(1)});
    EXPECT_EQ(m_chords.Poll(m_desktop), -1);
    Press({win::kVkLControl, F(1)});
    EXPECT_EQ(m_chords.Poll(m_desktop), -1);
}

TEST_F(ChordTest, ShiftIsQueriedOnlyWhileControlIsDown) {
    Press({win::kVkLShift, F(1)});
    m_desktop.ClearCalls();
    EXPECT_EQ(m_chords.Poll(m_desktop), -1);
    EXPECT_EQ(Queried(), (std::vector<std::int64_t>{win::kVkLControl}));
    Press({win::kVkLControl});
    m_desktop.ClearCalls();
    m_chords.Poll(m_desktop);
    EXPECT_EQ(Queried(), (std::vector<std::int64_t>{win::kVkLControl, win::kVkLShift}));
}

TEST_F(ChordTest, LowestFKeyWinsAndLaterKeysAreNotQueried) {
    Press({win::kVkLControl, win::kVkLShift, F(2), F(5)});
    m_desktop.ClearCalls();
    EXPECT_EQ(m_chords.Poll(m_desktop), 1);
    EXPECT_EQ(Queried(), (std::vector<std::int64_t>{win::kVkLControl, win::kVkLShift, F(1), F(2)}));
}

TEST_F(ChordTest, NoFKeyQueriesAllTwelve) {
    Press({win::kVkLControl, win::kVkLShift});
    m_desktop.ClearCalls();
    EXPECT_EQ(m_chords.Poll(m_desktop), -1);
    EXPECT_EQ(Queried().size(), 14u);
}

TEST_F(ChordTest, ActsOncePerPressOfTheFKey) {
    Press({win::kVkLControl, win::kVkLShift, F(3)});
    EXPECT_EQ(m_chords.Poll(m_desktop), 2);
    EXPECT_EQ(m_chords.Poll(m_desktop), -1) << "held: not again";
    EXPECT_EQ(m_chords.Poll(m_desktop), -1);
    Press({win::kVkLControl, win::kVkLShift});
    EXPECT_EQ(m_chords.Poll(m_desktop), -1);
    Press({win::kVkLControl, win::kVkLShift, F(3)});
    EXPECT_EQ(m_chords.Poll(m_desktop), 2) << "pressed again";
}

TEST_F(ChordTest, ReleaseIsSeenEvenWhenTheModifiersWentUpFirst) {
    Press({win::kVkLControl, win::kVkLShift, F(4)});
    EXPECT_EQ(m_chords.Poll(m_desktop), 3);
    Press({F(4)});  // Ctrl and Shift released, F4 still down
    EXPECT_EQ(m_chords.Poll(m_desktop), -1);
    Press({});  // F4 released with no modifier down
    EXPECT_EQ(m_chords.Poll(m_desktop), -1);
    Press({win::kVkLControl, win::kVkLShift, F(4)});
    EXPECT_EQ(m_chords.Poll(m_desktop), 3);
}

TEST_F(ChordTest, FKeyHeldAcrossModifierReleaseDoesNotActAgain) {
    Press({win::kVkLControl, win::kVkLShift, F(4)});
    EXPECT_EQ(m_chords.Poll(m_desktop), 3);
    Press({F(4)});
    EXPECT_EQ(m_chords.Poll(m_desktop), -1);
    Press({win::kVkLControl, win::kVkLShift, F(4)});
    EXPECT_EQ(m_chords.Poll(m_desktop), -1) << "the same press of F4";
}

TEST_F(ChordTest, HeldLowerKeyStillWins) {
    Press({win::kVkLControl, win::kVkLShift, F(2)});
    EXPECT_EQ(m_chords.Poll(m_desktop), 1);
    Press({win::kVkLControl, win::kVkLShift, F(2), F(5)});
    EXPECT_EQ(m_chords.Poll(m_desktop), -1);
    Press({win::kVkLControl, win::kVkLShift, F(5)});
    EXPECT_EQ(m_chords.Poll(m_desktop), 4);
}

class Host : public IndicatorHost {
  public:
    explicit Host(DeploymentIndicator* indicator) : m_indicator(indicator) {}
    DeploymentIndicator* CreateIndicator() override {
        ++requests;
        return m_indicator;
    }
    int requests = 0;

  private:
    DeploymentIndicator* m_indicator;
};

class HotkeyLoopTest : public DeployTest {
  protected:
    HotkeyLoopTest() { m_log.SetDumpFile(m_folder / "CrashLog.txt"); }

    // Runs the loop on this thread; frame k holds the keys down during pass k. The loop stops
    // after the last frame's pass.
    void RunPasses(const std::vector<Keys>& frames, IndicatorHost& host) {
        std::size_t pass = 0;
        StopRequest stop;
        const auto self = std::this_thread::get_id();
        auto apply = [&](const Keys& keys) {
            for (const int vk : {win::kVkLControl, win::kVkLShift, kRightControl, kRightShift})
                m_desktop.SetKey(vk, keys.count(vk) != 0);
            for (int n = 1; n <= 12; ++n) m_desktop.SetKey(F(n), keys.count(F(n)) != 0);
        };
        apply(frames.at(0));
        m_desktop.SetSleepHook([&](unsigned ms) {
            if (std::this_thread::get_id() != self || ms != kPollPauseMs) return;
            ++m_passes;
            if (++pass >= frames.size())
                stop.Request();
            else
                apply(frames[pass]);
        });
        HotkeyLoop({m_desktop, m_log, m_status, stop}, host, m_slots);
        m_desktop.SetSleepHook(nullptr);
    }

    std::size_t Count(const std::string& name, std::int64_t arg1) const {
        std::size_t n = 0;
        for (const FakeCall& call : m_desktop.CallsNamed(name))
            n += call.args.size() > 1 && call.args[1] == arg1;
        return n;
    }

    int m_passes = 0;
    SlotManager m_slots{m_paths, m_desktop};
};

const Keys kChordF3{win::kVkLControl, win::kVkLShift, F(3)};

TEST_F(HotkeyLoopTest, ReturnsAtOnceWhenStopWasRequested) {
    StopRequest stop;
    stop.Request();
    Host host(nullptr);
    HotkeyLoop({m_desktop, m_log, m_status, stop}, host, m_slots);
    EXPECT_TRUE(m_desktop.Calls().empty());
}

TEST_F(HotkeyLoopTest, HeldChordTogglesOnceThenTheNextPressRaises) {
    const WindowHandle a = OpenWindowOf(u"C:\\A.exe", u"a"), b = OpenWindowOf(u"C:\\B.exe", u"b");
    m_slots.SetWindowList(2, {{a, 0, 0}, {b, 0, 0}});
    Host host(nullptr);
    RunPasses({kChordF3, kChordF3, kChordF3, kChordF3, {}}, host);
    EXPECT_EQ(m_passes, 5);
    EXPECT_EQ(Count("ShowWindowAsync", win::kSwShowMinNoActive), 2u)
        << "one minimise for one press";
    EXPECT_EQ(m_slots.GetWindowList(2), (WindowList{{a, 0, 1}, {b, 0, 1}}));
    EXPECT_EQ(LogLines(m_log.Contents()),
              (std::vector<std::string>{"logger 초기화", "F3슬롯 전개", "슬롯 최소화"}));
    EXPECT_FALSE(std::filesystem::exists(m_folder / "CrashLog.txt")) << "no dump after a toggle";
    EXPECT_EQ(host.requests, 0);

    RunPasses({kChordF3, {}}, host);
    EXPECT_EQ(m_slots.GetWindowList(2), (WindowList{{a, 0, 0}, {b, 0, 0}}));
    EXPECT_EQ(LogLines(m_log.Contents()),
              (std::vector<std::string>{"logger 초기화", "F3슬롯 전개", "슬롯 맨 위로"}));
}

TEST_F(HotkeyLoopTest, ChordDeploysASlotWithoutListAndDumpsTheLog) {
    m_desktop.AddProgram(u"C:\\A.exe", {});
    WriteSlot(0, u"One", {{u"C:\\A.exe", u"a", 0}}, {{0, u"C:\\A.exe"}});
    RecordingIndicator indicator(m_desktop, m_status);
    Host host(&indicator);
    RunPasses({{win::kVkLControl, win::kVkLShift, F(1)}, {}}, host);
    EXPECT_EQ(host.requests, 1);
    EXPECT_EQ(indicator.events,
              (std::vector<std::u16string>{u"name:One", u"outcome:완료", u"finish"}));
    ASSERT_TRUE(m_slots.HasWindowList(0));
    std::ifstream in(m_folder / "CrashLog.txt", std::ios::binary);
    const std::string dump((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string lf;
    for (const char c : dump)
        if (c != '\r') lf += c;
    const auto lines = LogLines(lf);
    ASSERT_EQ(lines.size(), 5u + 13u + 1u) << "the chord's, one group's deployment, the end";
    EXPECT_EQ(
        std::vector<std::string>(lines.begin(), lines.begin() + 6),
        (std::vector<std::string>{"logger 초기화", "F1슬롯 전개", "인디케이터 생성 요청",
                                  "인디케이터 생성 완료", "슬롯 전개 시작", "슬롯 로딩 성공"}));
    EXPECT_EQ(lines[lines.size() - 2], "슬롯 메니저 메모리 해제");
    EXPECT_EQ(lines.back(), "슬롯 전개 종료");
}

TEST_F(HotkeyLoopTest, MissingIndicatorStillDeploys) {
    m_desktop.AddProgram(u"C:\\A.exe", {});
    WriteSlot(4, u"Five", {{u"C:\\A.exe", u"a", 0}}, {{0, u"C:\\A.exe"}});
    Host host(nullptr);
    RunPasses({{win::kVkLControl, win::kVkLShift, F(5)}, {}}, host);
    EXPECT_EQ(host.requests, 1);
    ASSERT_TRUE(m_slots.HasWindowList(4));
    const auto lines = LogLines(m_log.Contents());
    EXPECT_EQ(lines.at(3), "인디케이터 생성 실패");
    EXPECT_EQ(lines.back(), "슬롯 전개 종료");
}

TEST_F(HotkeyLoopTest, FailedLoadLeavesNoListSoTheNextPressTriesAgain) {
    RecordingIndicator indicator(m_desktop, m_status);
    Host host(&indicator);
    RunPasses({kChordF3, {}, kChordF3, {}}, host);
    EXPECT_EQ(host.requests, 2);
    EXPECT_FALSE(m_slots.HasWindowList(2));
}

TEST_F(HotkeyLoopTest, PrunesInEveryPassAndAClosedSlotDeploysAgain) {
    const WindowHandle a = OpenWindowOf(u"C:\\A.exe", u"a");
    m_slots.SetWindowList(2, {{a, 0, 0}});
    m_slots.SetWindowList(6, {});
    Host host(nullptr);
    RunPasses({{}}, host);
    EXPECT_TRUE(m_slots.HasWindowList(2));
    EXPECT_FALSE(m_slots.HasWindowList(6)) << "the empty list goes in the first pass";
    m_desktop.DestroyWindow(a);
    RunPasses({{}}, host);
    EXPECT_FALSE(m_slots.HasWindowList(2));
    RunPasses({kChordF3, {}}, host);
    EXPECT_EQ(host.requests, 1) << "the chord deploys the slot again";
}

TEST_F(HotkeyLoopTest, EmptyListIsNotToggledAndIsDroppedInTheSamePass) {
    m_slots.SetWindowList(2, {});
    Host host(nullptr);
    RunPasses({kChordF3}, host);
    EXPECT_EQ(host.requests, 0);
    EXPECT_EQ(m_desktop.CountOf("ShowWindowAsync"), 0u);
    EXPECT_FALSE(m_slots.HasWindowList(2));
}

TEST_F(HotkeyLoopTest, StopsWhenAStopIsRequestedFromAnotherThread) {
    Host host(nullptr);
    StopRequest stop;
    std::thread polling([&] { HotkeyLoop({m_desktop, m_log, m_status, stop}, host, m_slots); });
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (m_desktop.CountOf("Sleep") < 100 && std::chrono::steady_clock::now() < limit)
        std::this_thread::yield();
    stop.Request();
    polling.join();
    EXPECT_GE(m_desktop.CountOf("Sleep"), 100u);
}

// Requests the stop as the outcome is shown, as "종료" chosen at that moment does.
class StoppingIndicator : public RecordingIndicator {
  public:
    StoppingIndicator(FakeDesktop& desktop, WorkerStatusList& status, StopRequest& stop)
        : RecordingIndicator(desktop, status), m_stop(stop) {}
    void ShowOutcome(const std::u16string& text) override {
        m_stop.Request();
        RecordingIndicator::ShowOutcome(text);
    }

  private:
    StopRequest& m_stop;
};

TEST_F(HotkeyLoopTest, AStoppedDeploymentStillClosesItsIndicatorAndDumpsTheLog) {
    m_desktop.AddProgram(u"C:\\A.exe", {});
    WriteSlot(0, u"One", {{u"C:\\A.exe", u"a", 0}}, {{0, u"C:\\A.exe"}});
    StopRequest stop;
    StoppingIndicator indicator(m_desktop, m_status, stop);
    Host host(&indicator);
    m_desktop.SetKey(win::kVkLControl, true);
    m_desktop.SetKey(win::kVkLShift, true);
    m_desktop.SetKey(F(1), true);
    HotkeyLoop({m_desktop, m_log, m_status, stop}, host, m_slots);
    EXPECT_EQ(indicator.events.back(), u"finish");
    EXPECT_EQ(indicator.finishAt, indicator.outcomeAt) << "no outcome pause after the stop";
    EXPECT_EQ(LogLines(m_log.Contents()).back(), "슬롯 전개 종료");
    EXPECT_TRUE(std::filesystem::exists(m_folder / "CrashLog.txt"));
    EXPECT_TRUE(m_slots.HasWindowList(0));
    EXPECT_EQ(host.requests, 1) << "one pass only";
}

}  // namespace
}  // namespace keyrack::testing
