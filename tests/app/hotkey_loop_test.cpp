// The chord after the system has recognised it: which hand pressed it, the hand-over to the
// deployment thread (one at a time, dropped while one is handled, nothing run while idle),
// toggle or deploy, the run log and its dump, and the window lists pruned where they are read.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <set>
#include <thread>

#include "app/chord_mailbox.h"
#include "app/chord_side.h"
#include "app/hotkey_loop.h"
#include "platform/run_log.h"
#include "tests/deploy/deploy_fixture.h"

namespace keyrack::testing {
namespace {

using Keys = std::set<int>;
constexpr int kLC = win::kVkLControl, kLS = win::kVkLShift, kRC = win::kVkRControl,
              kRS = win::kVkRShift;

struct SideCase {
    const char* name;
    Keys down;
    bool acts;
};

class ChordSideTest : public ::testing::TestWithParam<SideCase> {};

TEST_P(ChordSideTest, OnlyARightKeyWithoutItsLeftOneStopsTheChord) {
    FakeDesktop desktop;
    for (const int vk : {kLC, kLS, kRC, kRS}) desktop.SetKey(vk, GetParam().down.count(vk) != 0);
    EXPECT_EQ(IsLeftHandChord(desktop), GetParam().acts);
    // The state as the chord arrives, not the thread's message-bound key state.
    EXPECT_EQ(desktop.CountOf("GetKeyState"), 0u);
    EXPECT_GT(desktop.CountOf("GetAsyncKeyState"), 0u);
}

INSTANTIATE_TEST_SUITE_P(Sides, ChordSideTest,
                         ::testing::Values(SideCase{"LeftControlLeftShift", {kLC, kLS}, true},
                                           SideCase{"AllHiddenByAnElevatedWindow", {}, true},
                                           SideCase{"RightControlRightShift", {kRC, kRS}, false},
                                           SideCase{"RightControlLeftShift", {kRC, kLS}, false},
                                           SideCase{"LeftControlRightShift", {kLC, kRS}, false},
                                           SideCase{"RightShiftAlone", {kRS}, false},
                                           SideCase{"BothControlsLeftShift", {kLC, kRC, kLS}, true},
                                           SideCase{"AllFour", {kLC, kLS, kRC, kRS}, true},
                                           SideCase{"LeftShiftAlreadyReleased", {kLC}, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ChordMailboxTest, QueuesOneChordPerSlotInOrderAndDropsTheSlotBeingHandled) {
    ChordMailbox chords;
    EXPECT_TRUE(chords.Offer(2));
    EXPECT_FALSE(chords.Offer(2)) << "its slot waits already";
    const ChordMailbox::Chord first = chords.Take();
    EXPECT_EQ(first.index, 2);
    EXPECT_FALSE(first.waited);
    EXPECT_FALSE(chords.Offer(2)) << "its slot is being handled";
    EXPECT_TRUE(chords.Offer(5));
    EXPECT_TRUE(chords.Offer(1));
    EXPECT_FALSE(chords.Offer(5));
    chords.Done();
    for (const int expected : {5, 1}) {
        const ChordMailbox::Chord next = chords.Take();
        EXPECT_EQ(next.index, expected) << "in the order pressed";
        EXPECT_TRUE(next.waited);
        chords.Done();
    }
}

TEST(ChordMailboxTest, CloseWakesAWaitingTakeAndDropsLaterOffers) {
    ChordMailbox chords;
    std::atomic<int> taken{-2};
    std::thread waiter([&] { taken = chords.Take().index; });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(taken, -2) << "waits while nothing is offered";
    chords.Close();
    waiter.join();
    EXPECT_EQ(taken, -1);
    EXPECT_FALSE(chords.Offer(0));
    EXPECT_EQ(chords.Take().index, -1);
}

class Host : public IndicatorHost {
  public:
    explicit Host(DeploymentIndicator* indicator) : m_indicator(indicator) {}
    DeploymentIndicator* CreateIndicator() override {
        ++requests;
        if (onCreate) onCreate();
        return m_indicator;
    }
    std::atomic<int> requests{0};
    std::function<void()> onCreate;

  private:
    DeploymentIndicator* m_indicator;
};

class HotkeyLoopTest : public DeployTest {
  protected:
    HotkeyLoopTest() { m_log.SetDumpFile(m_folder / "CrashLog.txt"); }

    void Chord(IndicatorHost& host, int index) { HandleChord(Context(), host, m_slots, index); }

    std::size_t Count(const std::string& name, std::int64_t arg1) const {
        std::size_t n = 0;
        for (const FakeCall& call : m_desktop.CallsNamed(name))
            n += call.args.size() > 1 && call.args[1] == arg1;
        return n;
    }
    std::vector<std::string> DumpedLines() const {
        std::ifstream in(m_folder / "CrashLog.txt", std::ios::binary);
        std::string lf;
        for (char c; in.get(c);)
            if (c != '\r') lf += c;
        return LogLines(lf);
    }
    // Polls `done` until it holds, for up to ten seconds.
    template <typename Done>
    static bool WaitFor(Done done) {
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        for (;;) {
            if (done()) return true;
            if (std::chrono::steady_clock::now() >= limit) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    SlotManager m_slots{m_paths, m_desktop};
};

TEST_F(HotkeyLoopTest, ChordMinimisesAnOpenSlotAndTheNextRaisesIt) {
    const WindowHandle a = OpenWindowOf(u"C:\\A.exe", u"a"), b = OpenWindowOf(u"C:\\B.exe", u"b");
    m_slots.SetWindowList(2, {{a, 0, 0}, {b, 0, 0}});
    Host host(nullptr);
    Chord(host, 2);
    EXPECT_EQ(Count("ShowWindowAsync", win::kSwShowMinNoActive), 2u);
    EXPECT_EQ(m_slots.GetWindowList(2), (WindowList{{a, 0, 1}, {b, 0, 1}}));
    EXPECT_EQ(LogLines(m_log.Contents()),
              (std::vector<std::string>{"logger 초기화", "F3슬롯 전개", "슬롯 최소화"}));
    EXPECT_FALSE(std::filesystem::exists(m_folder / "CrashLog.txt")) << "no dump after a toggle";
    EXPECT_EQ(host.requests, 0);

    Chord(host, 2);
    EXPECT_EQ(m_slots.GetWindowList(2), (WindowList{{a, 0, 0}, {b, 0, 0}}));
    EXPECT_EQ(LogLines(m_log.Contents()),
              (std::vector<std::string>{"logger 초기화", "F3슬롯 전개", "슬롯 맨 위로"}));
}

TEST_F(HotkeyLoopTest, ChordDeploysASlotWithoutListAndDumpsTheLog) {
    m_desktop.AddProgram(u"C:\\A.exe", {});
    WriteSlot(0, u"One", {{u"C:\\A.exe", u"a", 0}}, {{0, u"C:\\A.exe"}});
    RecordingIndicator indicator(m_desktop, m_status);
    Host host(&indicator);
    Chord(host, 0);
    EXPECT_EQ(host.requests, 1);
    EXPECT_EQ(indicator.events,
              (std::vector<std::u16string>{u"name:One", u"outcome:완료", u"finish"}));
    ASSERT_TRUE(m_slots.HasWindowList(0));
    const auto lines = DumpedLines();
    ASSERT_EQ(lines.size(), 5u + 14u + 1u) << "the chord's, one group's deployment, the end";
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
    Chord(host, 4);
    ASSERT_TRUE(m_slots.HasWindowList(4));
    const auto lines = LogLines(m_log.Contents());
    EXPECT_EQ(lines.at(3), "인디케이터 생성 실패");
    EXPECT_EQ(lines.back(), "슬롯 전개 종료");
}

TEST_F(HotkeyLoopTest, FailedLoadLeavesNoListSoTheNextChordTriesAgain) {
    RecordingIndicator indicator(m_desktop, m_status);
    Host host(&indicator);
    Chord(host, 2);
    Chord(host, 2);
    EXPECT_EQ(host.requests, 2);
    EXPECT_FALSE(m_slots.HasWindowList(2));
}

// Nothing prunes between chords: the chord itself finds that the slot's windows are gone.
struct GoneCase {
    const char* name;
    int closed;  // how many of the slot's two windows the user closed
    bool empty;  // the slot holds an empty list (the editor can store one)
    bool deploys;
};

class PrunedWhereReadTest : public HotkeyLoopTest,
                            public ::testing::WithParamInterface<GoneCase> {};

TEST_P(PrunedWhereReadTest, ChordDeploysOnlyWhenNoWindowOfTheSlotIsLeft) {
    const WindowHandle a = OpenWindowOf(u"C:\\A.exe", u"a"), b = OpenWindowOf(u"C:\\B.exe", u"b");
    m_slots.SetWindowList(2, GetParam().empty ? WindowList{} : WindowList{{a, 0, 0}, {b, 0, 0}});
    if (GetParam().closed > 0) m_desktop.DestroyWindow(a);
    if (GetParam().closed > 1) m_desktop.DestroyWindow(b);
    Host host(nullptr);
    Chord(host, 2);
    EXPECT_EQ(host.requests, GetParam().deploys ? 1 : 0);
    const auto lines = LogLines(m_log.Contents());
    if (GetParam().deploys) {
        EXPECT_EQ(lines.back(), "슬롯 전개 종료");
    } else {
        EXPECT_EQ(lines.back(), "슬롯 최소화");
        // The closed window's entry is nulled, the other one minimised.
        EXPECT_EQ(m_slots.GetWindowList(2), (WindowList{{0, 0, 1}, {b, 0, 1}}));
    }
}

INSTANTIATE_TEST_SUITE_P(Lists, PrunedWhereReadTest,
                         ::testing::Values(GoneCase{"AllClosed", 2, false, true},
                                           GoneCase{"OneClosed", 1, false, false},
                                           GoneCase{"EmptyList", 0, true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(HotkeyLoopTest, IdleLoopTouchesNothingAndEndsWhenClosed) {
    const WindowHandle a = OpenWindowOf(u"C:\\A.exe", u"a");
    m_slots.SetWindowList(2, {{a, 0, 0}});
    m_desktop.ClearCalls();
    ChordMailbox chords;
    Host host(nullptr);
    std::atomic<bool> ended{false};
    std::thread deployment([&] {
        HotkeyLoop(Context(), host, m_slots, chords);
        ended = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(ended);
    EXPECT_TRUE(m_desktop.Calls().empty()) << "no pass, no pause, no pruning while idle";
    chords.Close();
    deployment.join();
    EXPECT_TRUE(m_desktop.Calls().empty());
}

TEST_F(HotkeyLoopTest, AChordForAnotherSlotDuringADeploymentIsHandledAfterIt) {
    const WindowHandle a = OpenWindowOf(u"C:\\A.exe", u"a");
    m_slots.SetWindowList(2, {{a, 0, 0}});
    m_desktop.AddProgram(u"C:\\B.exe", {});
    WriteSlot(0, u"One", {{u"C:\\B.exe", u"b", 0}}, {{0, u"C:\\B.exe"}});
    ChordMailbox chords;
    RecordingIndicator indicator(m_desktop, m_status);
    Host host(&indicator);
    // Chords pressed while the deployment runs: its own slot again, and another one.
    std::vector<bool> offeredDuring;
    host.onCreate = [&] { offeredDuring = {chords.Offer(0), chords.Offer(2)}; };
    std::thread deployment([&] { HotkeyLoop(Context(), host, m_slots, chords); });

    ASSERT_TRUE(chords.Offer(0));
    ASSERT_TRUE(WaitFor([&] {
        const auto list = m_slots.GetWindowList(2);
        return m_slots.HasWindowList(0) && list && list->front().minimized;
    }));
    chords.Close();
    deployment.join();
    EXPECT_EQ(offeredDuring, (std::vector<bool>{false, true}));
    EXPECT_EQ(host.requests, 1) << "one deployment";
    EXPECT_EQ(Count("ShowWindowAsync", win::kSwShowMinNoActive), 1u + 1u)
        << "the deployment's raise, then the toggle of slot 3 after it";
    EXPECT_EQ(LogLines(m_log.Contents()),
              (std::vector<std::string>{"logger 초기화", "F3슬롯 전개", "F3 단축키 대기 후 실행",
                                        "슬롯 최소화"}))
        << "the toggle's log notes that its chord waited";
}

// Requests the stop as the outcome is shown, as "종료" chosen at that moment does.
class StoppingIndicator : public RecordingIndicator {
  public:
    StoppingIndicator(FakeDesktop& desktop, WorkerStatusList& status, StopRequest& stop,
                      ChordMailbox& chords)
        : RecordingIndicator(desktop, status), m_stop(stop), m_chords(chords) {}
    void ShowOutcome(const std::u16string& text) override {
        m_stop.Request();
        m_chords.Close();
        RecordingIndicator::ShowOutcome(text);
    }

  private:
    StopRequest& m_stop;
    ChordMailbox& m_chords;
};

TEST_F(HotkeyLoopTest, AStoppedDeploymentStillClosesItsIndicatorAndDumpsTheLog) {
    m_desktop.AddProgram(u"C:\\A.exe", {});
    WriteSlot(0, u"One", {{u"C:\\A.exe", u"a", 0}}, {{0, u"C:\\A.exe"}});
    ChordMailbox chords;
    StoppingIndicator indicator(m_desktop, m_status, m_stop, chords);
    Host host(&indicator);
    ASSERT_TRUE(chords.Offer(0));
    HotkeyLoop(Context(), host, m_slots, chords);  // returns after this chord
    EXPECT_EQ(indicator.events.back(), u"finish");
    EXPECT_EQ(indicator.finishAt, indicator.outcomeAt) << "no outcome pause after the stop";
    EXPECT_EQ(DumpedLines().back(), "슬롯 전개 종료");
    EXPECT_TRUE(m_slots.HasWindowList(0));
    EXPECT_EQ(host.requests, 1);
}

TEST_F(HotkeyLoopTest, AChordLeftWhenTheStopCameIsNotHandled) {
    ChordMailbox chords;
    Host host(nullptr);
    ASSERT_TRUE(chords.Offer(3));
    m_stop.Request();
    HotkeyLoop(Context(), host, m_slots, chords);
    EXPECT_EQ(host.requests, 0);
    EXPECT_TRUE(m_log.Contents().empty());
}

}  // namespace
}  // namespace keyrack::testing
