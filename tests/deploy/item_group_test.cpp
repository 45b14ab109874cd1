// RunItemGroup on the simulated desktop: when the path and title searches run, what they may
// take, what is learned, how windows are placed, and the status lines.
#include <gtest/gtest.h>

#include <algorithm>

#include "deploy/item_group.h"
#include "deploy/process_image.h"
#include "platform/codepage.h"
#include "platform/text.h"
#include "tests/fakes/fake_desktop.h"

namespace keyrack::testing {
namespace {

constexpr char16_t kEditor[] = u"C:\\Apps\\Editor.exe";
constexpr char16_t kLauncher[] = u"C:\\Apps\\Launcher.exe";
constexpr char16_t kReal[] = u"C:\\Apps\\Real\\Viewer.exe";

class ItemGroupTest : public ::testing::Test {
  protected:
    ItemGroupTest() {
        m_status.SetListener([this](std::size_t index, const std::u16string& text) {
            m_published.emplace_back(index, text);
        });
        m_index = m_status.Append();
    }

    SlotItem& Item(std::u16string path, std::u16string name, bool maximize = false) {
        auto item = std::make_unique<SlotItem>();
        item->path = std::move(path);
        item->name = std::move(name);
        item->maximize = maximize ? 1 : 0;
        item->x = 40 + 10 * static_cast<int>(m_items.size());
        item->y = 50;
        item->width = 640;
        item->height = 480;
        item->window = 0xDEAD;  // stale value the group must reset
        m_items.push_back(std::move(item));
        return *m_items.back();
    }

    void Program(std::u16string file, int pauses, std::u16string owner = {},
                 std::u16string title = u"") {
        FakeProgram program;
        program.pausesBeforeWindow = pauses;
        program.ownerImagePath = std::move(owner);
        program.window.title = std::move(title);
        m_desktop.AddProgram(std::move(file), program);
    }

    WindowHandle Existing(const std::u16string& image, const std::u16string& title = u"") {
        FakeWindow window;
        window.processId = m_desktop.AddProcess(image);
        window.title = title;
        return m_desktop.AddWindow(window);
    }

    void Run() {
        ItemQueue queue;
        for (auto& item : m_items) queue.push(item.get());
        RunItemGroup(m_shared, queue, m_path, m_index);
        EXPECT_TRUE(queue.empty());
    }

    // The waits between search attempts (the pause after an item is longer).
    std::size_t SearchWaits() const {
        const auto waits = m_desktop.CallsNamed("Wait");
        return static_cast<std::size_t>(
            std::count_if(waits.begin(), waits.end(),
                          [](const FakeCall& c) { return c.args[0] <= kPathAttemptMs; }));
    }

    // Microseconds from the first launch to the first call named `name` (-1: none).
    std::int64_t FromLaunchToFirst(const std::string& name) const {
        const auto calls = m_desktop.Calls();
        std::int64_t launched = -1;
        for (const FakeCall& call : calls) {
            if (call.name == "ShellExecuteDefault" && launched < 0)
                launched = static_cast<std::int64_t>(call.atUs);
            if (call.name == name && launched >= 0)
                return static_cast<std::int64_t>(call.atUs) - launched;
        }
        return -1;
    }

    std::vector<std::u16string> Published() const {
        std::vector<std::u16string> texts;
        for (const auto& [index, text] : m_published) {
            EXPECT_EQ(index, m_index);
            texts.push_back(text);
        }
        return texts;
    }

    FakeDesktop m_desktop;
    WorkerStatusList m_status;
    std::vector<std::pair<std::size_t, std::u16string>> m_published;
    std::size_t m_index = 0;
    std::vector<std::unique_ptr<SlotItem>> m_items;
    std::u16string m_path = kEditor;
    PathLearning m_changed;
    StopRequest m_stop;
    RunLog m_log;
    PlacementWatch m_watch{m_desktop};
    const GroupShared m_shared{m_desktop, m_status, m_log, m_changed, m_stop, m_watch, 0};
};

TEST_F(ItemGroupTest, PathSearchRunsAtOnceBeforeAnyPause) {
    Program(kEditor, 0);
    SlotItem& item = Item(kEditor, u"Doc");
    Run();
    ASSERT_EQ(m_desktop.WindowsOpenedBy(kEditor).size(), 1u);
    EXPECT_EQ(item.window, m_desktop.WindowsOpenedBy(kEditor)[0]);
    EXPECT_EQ(SearchWaits(), 0u);
    EXPECT_EQ(m_desktop.CountOf("EnumWindows"), 2u) << "the pre-scan and one path search";
    EXPECT_EQ(m_desktop.CountOf("GetWindowTitle"), 0u);
    EXPECT_FALSE(m_changed.Changed());
}

TEST_F(ItemGroupTest, PathSearchRunsAfterEachPause) {
    Program(kEditor, 37);
    SlotItem& item = Item(kEditor, u"Doc");
    Run();
    EXPECT_NE(item.window, 0u);
    EXPECT_EQ(SearchWaits(), 37u);
    EXPECT_LE(m_desktop.CountOf("EnumWindows"), 1u + 2u + 37u * kPathAttemptMs / kFullSearchMs)
        << "found by its creation; the windows enumerated every 250 ms only";
    EXPECT_EQ(m_desktop.CountOf("GetWindowTitle"), 0u) << "no title search this early";
}

// The limits on the desktop's clock, whatever the timer tick: the title search joins 7.8 s after
// the launch and the item times out at 31.25 s, each within one tick.
struct TickCase {
    const char* what;
    std::uint64_t tickUs;
};

class SearchLimitTest : public ItemGroupTest, public ::testing::WithParamInterface<TickCase> {};

TEST_P(SearchLimitTest, TheTitleSearchJoinsAt7800MsAndLearnsTheOwnersPath) {
    m_desktop.SetTickMicroseconds(GetParam().tickUs);
    Program(kLauncher, 3, kReal, u"Viewer - report");
    SlotItem& item = Item(kLauncher, u"viewer - REPORT");
    m_path = kLauncher;
    Run();
    ASSERT_EQ(m_desktop.WindowsOpenedBy(kLauncher).size(), 1u);
    EXPECT_EQ(item.window, m_desktop.WindowsOpenedBy(kLauncher)[0]);
    const std::int64_t titleAt = FromLaunchToFirst("GetWindowTitle");
    EXPECT_GE(titleAt, 7812500);
    EXPECT_LE(titleAt, 7812500 + static_cast<std::int64_t>(GetParam().tickUs));
    EXPECT_EQ(m_path, kReal);
    EXPECT_TRUE(m_changed.Changed());
}

TEST_P(SearchLimitTest, TimesOutAt31250MsShowsAndLogsTheTimeOutAndPlacesNothing) {
    m_desktop.SetTickMicroseconds(GetParam().tickUs);
    FakeProgram nothing;
    nothing.kind = FakeProgram::Kind::kOpensNothing;
    m_desktop.AddProgram(kEditor, nothing);
    const WindowHandle unrelated = Existing(u"C:\\Other.exe", u"Other");
    SlotItem& item = Item(kEditor, u"Doc");
    std::uint64_t timedOutAt = 0;
    m_status.SetListener([&](std::size_t, const std::u16string& text) {
        m_published.emplace_back(m_index, text);
        if (text == u"타임아웃: Doc" && timedOutAt == 0)
            timedOutAt = m_desktop.ThreadMicroseconds();
    });
    Run();
    EXPECT_EQ(item.window, 0u);
    const auto launch = m_desktop.CallsNamed("ShellExecuteDefault").at(0).atUs;
    EXPECT_GE(timedOutAt - launch, 31250000u);
    EXPECT_LE(timedOutAt - launch, 31250000u + GetParam().tickUs);
    // A path attempt per tick at most: no spinning on a fine timer. The unrelated window's
    // process is opened once for the pre-scan and once for the search, and its title read at
    // the full attempts (every 250 ms) only.
    EXPECT_LE(SearchWaits(), 31250000u / std::max<std::uint64_t>(GetParam().tickUs, 15000) + 8u);
    EXPECT_EQ(m_desktop.CountOf("OpenProcess"), 2u);
    EXPECT_LE(m_desktop.CountOf("GetWindowTitle"), (31250u - 7813u) / kFullSearchMs + 2u);
    EXPECT_EQ(m_desktop.CountOf("ShowWindowAsync"), 0u);
    EXPECT_EQ(m_desktop.CountOf("SetWindowPos"), 0u);
    EXPECT_TRUE(m_desktop.Exists(unrelated));
    const auto published = Published();
    EXPECT_EQ(std::vector<std::u16string>(published.begin(), published.begin() + 3),
              (std::vector<std::u16string>{u"프로세스 실행: Doc", u"프로세스 탐색: Doc",
                                           u"타임아웃: Doc"}));
    EXPECT_EQ(std::count(published.begin(), published.end(), u"프로세스 배치: Doc"), 0)
        << "nothing was placed";
    // Shown through the pause after the item, and kept until the deployment ends.
    EXPECT_EQ(m_desktop.CallsNamed("Wait").back().args[0], kAfterItemPauseMs);
    EXPECT_EQ(m_status.Snapshot().at(m_index), u"타임아웃: Doc");
    EXPECT_EQ(FromCodePage(m_log.Contents(), kCodePageKorean),
              u"ShellExecuteEx 실행: Doc\n타임아웃: Doc\n");
    EXPECT_EQ(m_desktop.OpenProcessHandles(), 0);
}

INSTANTIATE_TEST_SUITE_P(Ticks, SearchLimitTest,
                         ::testing::Values(TickCase{"windows_15_625_ms", 15625},
                                           TickCase{"wine_1_ms", 1000}),
                         [](const auto& info) { return std::string(info.param.what); });

// The program's window from before the deployment, and what launching the item does to it.
struct OpenBeforeCase {
    const char* what;
    FakeProgram::Kind kind;
    int pauses;         // before the program acts
    bool minimised;     // the open window, at the launch
    bool inFront;       // the open window is the foreground window at the launch
    bool second;        // the program has a second open window
    const char* taken;  // "open", "new" or "none"
    std::int64_t byMs;  // the open window is placed within this time of the launch
};

class OpenBeforeTest : public ItemGroupTest,
                       public ::testing::WithParamInterface<OpenBeforeCase> {};

TEST_P(OpenBeforeTest, IsTakenWhenTheLaunchBroughtItForwardOrItIsTheOnlyOne) {
    const OpenBeforeCase& c = GetParam();
    m_desktop.SetTickMicroseconds(15625);
    FakeWindow open;
    open.processId = m_desktop.AddProcess(kEditor);
    open.iconic = c.minimised;
    const WindowHandle old = m_desktop.AddWindow(open);
    if (c.second) m_desktop.AddWindow(open);
    if (c.inFront) m_desktop.ShowWindow(old, win::kSwShow);
    FakeProgram program;
    program.kind = c.kind;
    program.pausesBeforeWindow = c.pauses;
    program.existing = old;
    m_desktop.AddProgram(kEditor, program);
    SlotItem& item = Item(kEditor, u"Doc");
    Run();
    const std::string taken = c.taken;
    const auto opened = m_desktop.WindowsOpenedBy(kEditor);
    const WindowHandle expected = taken == "open"  ? old
                                  : taken == "new" ? opened.at(0)
                                                   : WindowHandle{0};
    EXPECT_EQ(item.window, expected);
    EXPECT_EQ(m_desktop.CurrentRect(old) == (Rect{40, 50, 680, 530}), taken == "open");
    EXPECT_EQ(m_watch.Watches(old), taken == "open") << "watched like a new window";
    if (taken == "open") {
        EXPECT_LE(FromLaunchToFirst("SetWindowPos"), c.byMs * 1000);
    }
    const auto published = Published();
    const bool reported = std::count(published.begin(), published.end(), u"기존 창 배치: Doc") == 1;
    EXPECT_EQ(reported, taken == "open");
    const std::u16string log = FromCodePage(m_log.Contents(), kCodePageKorean);
    EXPECT_NE(log.find(u"ShellExecuteEx 실행: Doc\n"), std::u16string::npos);
    EXPECT_EQ(log.find(u"기존 창 배치: Doc\n") != std::u16string::npos, taken == "open");
    EXPECT_EQ(log.find(u"타임아웃: Doc\n") != std::u16string::npos, taken == "none");
    EXPECT_FALSE(m_changed.Changed());
}

using Kind = FakeProgram::Kind;
INSTANTIATE_TEST_SUITE_P(
    Launches, OpenBeforeTest,
    ::testing::Values(
        OpenBeforeCase{"brought_forward_at_once", Kind::kActivatesExisting, 0, false, false, false,
                       "open", 300},
        OpenBeforeCase{"brought_forward_after_3_pauses", Kind::kActivatesExisting, 3, false, false,
                       true, "open", 300},
        OpenBeforeCase{"restored_from_minimised", Kind::kActivatesExisting, 2, true, false, true,
                       "open", 300},
        OpenBeforeCase{"restored_while_in_front", Kind::kActivatesExisting, 2, true, true, true,
                       "open", 300},
        // The foreground lock refuses the program's SetForegroundWindow: its button flashes.
        OpenBeforeCase{"flashes_under_a_foreground_lock", Kind::kFlashesExisting, 60, false, false,
                       true, "open", 1000},
        OpenBeforeCase{"flashes_its_only_window", Kind::kFlashesExisting, 150, false, false, false,
                       "open", 3500},
        // Nothing tells which window came forward: the program's only one is taken after 3 s.
        OpenBeforeCase{"already_in_front", Kind::kActivatesExisting, 2, false, true, false, "open",
                       3000 + 16},
        OpenBeforeCase{"only_window_nobody_brings_forward", Kind::kOpensNothing, 0, false, false,
                       false, "open", 3000 + 16},
        OpenBeforeCase{"new_window_of_a_multi_instance_program", Kind::kOpensWindow, 4, false,
                       false, false, "new", 0},
        OpenBeforeCase{"two_windows_nobody_brings_forward", Kind::kOpensNothing, 0, false, false,
                       true, "none", 0}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(ItemGroupTest, TwoItemsOfASingleInstanceProgramTakeItsWindowOnce) {
    const WindowHandle old = Existing(kEditor);
    FakeProgram program;
    program.kind = FakeProgram::Kind::kActivatesExisting;
    program.existing = old;
    m_desktop.AddProgram(kEditor, program);
    SlotItem& first = Item(kEditor, u"A");
    SlotItem& second = Item(kEditor, u"B");
    // Another window comes in front after A, so B's launch brings the program's window forward
    // again.
    const WindowHandle other = Existing(kReal);
    m_desktop.SetSleepHook([&](unsigned ms) {
        if (ms == kAfterItemPauseMs) m_desktop.ShowWindow(other, win::kSwShow);
    });
    Run();
    EXPECT_EQ(first.window, old);
    EXPECT_EQ(second.window, 0u) << "the second item times out";
    EXPECT_EQ(m_status.Snapshot().at(m_index), u"타임아웃: B");
    EXPECT_EQ(m_desktop.CurrentRect(old), (Rect{40, 50, 680, 530})) << "placed for A only";
}

TEST_F(ItemGroupTest, AWindowAnotherGroupTookIsNotTakenAgain) {
    const WindowHandle old = Existing(kEditor);
    SlotItem other;
    other.window = old;  // taken by another group's item, by title
    m_watch.Add(other, Rect{}, kReal, {});
    FakeProgram program;
    program.kind = FakeProgram::Kind::kActivatesExisting;
    program.existing = old;
    m_desktop.AddProgram(kEditor, program);
    SlotItem& item = Item(kEditor, u"Doc");
    Run();
    EXPECT_EQ(item.window, 0u);
}

TEST_F(ItemGroupTest, TwoItemsOfOneProgramGetTwoWindows) {
    Program(kEditor, 2);
    SlotItem& first = Item(kEditor, u"A");
    SlotItem& second = Item(kEditor, u"B", true);
    Run();
    const auto opened = m_desktop.WindowsOpenedBy(kEditor);
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(first.window, opened[0]);
    EXPECT_EQ(second.window, opened[1]);
    EXPECT_EQ(m_desktop.Window(opened[0]).normalRect, (Rect{40, 50, 680, 530}));
    EXPECT_EQ(m_desktop.Window(opened[1]).normalRect, (Rect{50, 50, 690, 530}));
    EXPECT_FALSE(m_desktop.Window(opened[0]).zoomed);
    EXPECT_TRUE(m_desktop.Window(opened[1]).zoomed);
}

TEST_F(ItemGroupTest, LaterItemsSearchTheLearnedPathWithoutANewPreScan) {
    const WindowHandle oldReal = Existing(kReal, u"Old viewer");  // open before the deployment
    Program(kLauncher, 0, kReal, u"Viewer");
    FakeProgram nothing;
    nothing.kind = FakeProgram::Kind::kOpensNothing;
    m_desktop.AddProgram(u"C:\\Apps\\Second.exe", nothing);
    m_path = kLauncher;
    SlotItem& first = Item(kLauncher, u"Viewer");
    SlotItem& second = Item(u"C:\\Apps\\Second.exe", u"unrelated title");
    Run();
    EXPECT_EQ(first.window, m_desktop.WindowsOpenedBy(kLauncher).at(0));
    EXPECT_EQ(m_path, kReal);
    EXPECT_EQ(second.window, oldReal) << "found at once by the new path; it was never claimed";
    const auto calls = m_desktop.Calls();
    const auto secondLaunch = std::find_if(calls.rbegin(), calls.rend(), [](const FakeCall& c) {
        return c.name == "ShellExecuteDefault";
    });
    EXPECT_EQ(std::count_if(calls.rbegin(), secondLaunch,
                            [](const FakeCall& c) { return c.name == "EnumWindows"; }),
              1)
        << "one path search for the second item, and no new pre-scan";
}

TEST_F(ItemGroupTest, PlacementShowsNormalMovesThenMaximises) {
    FakeProgram zoomed;
    zoomed.window.zoomed = true;  // opens maximised
    m_desktop.AddProgram(kEditor, zoomed);
    m_desktop.AddProgram(u"C:\\Apps\\Max.exe", {});
    SlotItem& plain = Item(kEditor, u"plain");
    m_path = kEditor;
    Run();
    EXPECT_FALSE(m_desktop.Window(plain.window).zoomed) << "ends normal at the stored rectangle";
    EXPECT_EQ(m_desktop.CurrentRect(plain.window), (Rect{40, 50, 680, 530}));

    std::vector<std::string> placement;
    for (const FakeCall& call : m_desktop.Calls()) {
        if (call.name == "ShowWindowAsync")
            placement.push_back("Show " + std::to_string(call.args[1]));
        if (call.name == "SetWindowPos") {
            // Posted to the window's thread, not moved to the top, not activated, not redrawn.
            EXPECT_EQ(call.args, (std::vector<std::int64_t>{static_cast<std::int64_t>(plain.window),
                                                            0, 40, 50, 640, 480, 0x401C}));
            placement.push_back("Move");
        }
    }
    EXPECT_EQ(placement, (std::vector<std::string>{"Show 1", "Move"}));
}

TEST_F(ItemGroupTest, MaximisedItemIsMaximisedAfterTheMove) {
    Program(kEditor, 0);
    Item(kEditor, u"big", true);
    Run();
    std::vector<std::string> placement;
    for (const FakeCall& call : m_desktop.Calls()) {
        if (call.name == "ShowWindowAsync")
            placement.push_back("Show " + std::to_string(call.args[1]));
        if (call.name == "SetWindowPos") placement.push_back("Move");
    }
    EXPECT_EQ(placement, (std::vector<std::string>{"Show 1", "Move", "Show 3"}));
}

TEST_F(ItemGroupTest, LaunchUsesPathParametersAndShowAndPausesAfterEveryItem) {
    Program(kEditor, 0);
    SlotItem& first = Item(kEditor, u"A");
    first.parameters = u"/n file.txt";
    Item(kEditor, u"B");
    Run();
    std::vector<std::string> order;
    for (const FakeCall& call : m_desktop.Calls()) {
        if (call.name == "ShellExecuteDefault") {
            EXPECT_EQ(call.args[0], 5) << "SW_SHOW";
            order.push_back("launch");
        }
        if (call.name == "SetWindowPos") order.push_back("move");
        if (call.name == "Wait" && call.args[0] == kAfterItemPauseMs) order.push_back("pause");
    }
    EXPECT_EQ(order,
              (std::vector<std::string>{"launch", "move", "pause", "launch", "move", "pause"}));
    const auto launches = m_desktop.CallsNamed("ShellExecuteDefault");
    EXPECT_EQ(launches[0].text, u"C:\\Apps\\Editor.exe|/n file.txt");
    EXPECT_EQ(launches[1].text, u"C:\\Apps\\Editor.exe|");
}

TEST_F(ItemGroupTest, StatusLinesOfAFoundItem) {
    Program(kEditor, 1);
    Item(kEditor, u"메모");
    Run();
    EXPECT_EQ(Published(),
              (std::vector<std::u16string>{u"프로세스 실행: 메모", u"프로세스 탐색: 메모",
                                           u"프로세스 배치: 메모"}));
    EXPECT_EQ(m_status.Snapshot().size(), 1u);
    EXPECT_EQ(m_status.Snapshot()[0], std::nullopt);
}

TEST_F(ItemGroupTest, UnreadableAndNonCandidateWindowsAreSkipped) {
    FakeProgram program;
    program.ownerOpenable = false;  // its own window can't be identified by path
    program.window.title = u"Doc";
    m_desktop.AddProgram(kEditor, program);
    FakeWindow tool;
    tool.exStyle = win::kWsExToolWindow;
    tool.title = u"Doc";
    tool.processId = m_desktop.AddProcess(kEditor);
    m_desktop.AddWindow(tool);
    SlotItem& item = Item(kEditor, u"Doc");
    Run();
    EXPECT_EQ(item.window, 0u);
    EXPECT_EQ(m_status.Snapshot().at(m_index), u"타임아웃: Doc");
    EXPECT_EQ(m_desktop.OpenProcessHandles(), 0);
}

// An item that can't be launched is reported at once and not searched, though a window with
// its title is open; the next item of the group goes on.
struct FailedLaunchCase {
    const char* what;
    const char16_t* path;
    std::size_t launches;  // of both items
};

class FailedLaunchTest : public ItemGroupTest,
                         public ::testing::WithParamInterface<FailedLaunchCase> {};

TEST_P(FailedLaunchTest, IsReportedAtOnceAndNotSearched) {
    const FailedLaunchCase& c = GetParam();
    FakeProgram fails;
    fails.launchFails = true;
    m_desktop.AddProgram(kLauncher, fails);
    Program(kEditor, 0);
    Existing(kReal, u"빈 항목");
    SlotItem& failed = Item(c.path, u"빈 항목");
    SlotItem& next = Item(kEditor, u"Doc");
    Run();
    EXPECT_EQ(failed.window, 0u);
    EXPECT_NE(next.window, 0u);
    EXPECT_EQ(m_desktop.CountOf("ShellExecuteDefault"), c.launches);
    EXPECT_EQ(m_desktop.CountOf("EnumWindows"), 1u + 1u) << "the pre-scan and the next item's";
    EXPECT_EQ(SearchWaits(), 0u);
    const auto published = Published();
    EXPECT_GE(std::count(published.begin(), published.end(), u"실행 실패: 빈 항목"), 1);
    EXPECT_EQ(m_status.Snapshot().at(m_index), u"실행 실패: 빈 항목")
        << "the failure stays on the popup after the group's later items";
    EXPECT_EQ(FromCodePage(m_log.Contents(), kCodePageKorean),
              u"실행 실패: 빈 항목\nShellExecuteEx 실행: Doc\n");
}

INSTANTIATE_TEST_SUITE_P(Launches, FailedLaunchTest,
                         ::testing::Values(FailedLaunchCase{"empty_path", u"", 1},
                                           FailedLaunchCase{"refused_by_the_shell", kLauncher, 2}),
                         [](const auto& info) { return std::string(info.param.what); });

// A stop requested from another thread at `atMs` after the launch: the wait it falls in ends
// then, within one tick, whatever the tick; nothing is launched or attempted after it.
struct StopCase {
    const char* when;
    std::uint64_t tickUs;
    std::uint64_t atMs;
    int pausesBeforeWindow;  // of the first item's program
    bool firstPlaced;
};

class ItemGroupStopTest : public ItemGroupTest, public ::testing::WithParamInterface<StopCase> {};

TEST_P(ItemGroupStopTest, EndsWithinOneTickAndPlacedWindowsStay) {
    const StopCase& c = GetParam();
    m_desktop.SetTickMicroseconds(c.tickUs);
    Program(kEditor, c.pausesBeforeWindow);
    SlotItem& first = Item(kEditor, u"A");
    SlotItem& second = Item(kEditor, u"B");
    const std::uint64_t start = m_desktop.ThreadMicroseconds();
    m_desktop.RequestStopAt(m_stop, start / 1000 + c.atMs);
    Run();
    EXPECT_TRUE(m_stop.Requested());
    EXPECT_LE(m_desktop.ThreadMicroseconds() - start, c.atMs * 1000 + c.tickUs);
    EXPECT_EQ(m_desktop.CountOf("ShellExecuteDefault"), 1u);
    for (const FakeCall& call : m_desktop.CallsNamed("EnumWindows"))
        EXPECT_LE(call.atUs, start + c.atMs * 1000) << "no attempt after the stop";
    EXPECT_EQ(first.window != 0, c.firstPlaced);
    if (c.firstPlaced) {
        EXPECT_EQ(m_desktop.CurrentRect(first.window), (Rect{40, 50, 680, 530}));
    }
    EXPECT_EQ(second.window, 0u);
    EXPECT_EQ(m_status.Snapshot().at(m_index), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(
    Stops, ItemGroupStopTest,
    ::testing::Values(StopCase{"during_the_path_search_windows_tick", 15625, 150, 100000, false},
                      StopCase{"during_the_path_search_1_ms_tick", 1000, 150, 100000, false},
                      StopCase{"during_the_title_search_windows_tick", 15625, 10000, 100000, false},
                      StopCase{"during_the_title_search_1_ms_tick", 1000, 10000, 100000, false},
                      StopCase{"during_the_pause_after_an_item_windows_tick", 15625, 100, 0, true},
                      StopCase{"during_the_pause_after_an_item_1_ms_tick", 1000, 100, 0, true}),
    [](const auto& info) { return std::string(info.param.when); });

// A window whose thread answers at once, only after a while, or not at all, or of an elevated
// program that refuses Keyrack's calls: it counts as not answering only when the system says so
// or after 5 s; the item takes it either way, and the user is told at once.
struct AnswerCase {
    const char* what;
    std::uint64_t busyMs;     // answers after this long
    bool hung;                // answers never
    bool hungApp;             // and the system counts it as hung
    std::uint32_t integrity;  // of the program's process; 0 for Keyrack's own level
    std::uint64_t tookMs;     // from the search's end to the next item
    const char16_t* report;   // null: none
};

class AnswerTest : public ItemGroupTest, public ::testing::WithParamInterface<AnswerCase> {};

TEST_P(AnswerTest, OnlyAWindowThatDoesNotAnswerFor5sOrIsHungIsReported) {
    const AnswerCase& c = GetParam();
    FakeProgram program;
    program.window.hung = c.hung;
    program.integrity = c.integrity;
    program.window.hungApp = c.hungApp;
    program.window.busyUntilMs = c.busyMs ? m_desktop.SteadyClockMs() + c.busyMs : 0;
    m_desktop.AddProgram(kEditor, program);
    SlotItem& item = Item(kEditor, u"Doc");
    const std::uint64_t start = m_desktop.ThreadMicroseconds();
    Run();
    ASSERT_EQ(m_desktop.WindowsOpenedBy(kEditor).size(), 1u);
    EXPECT_EQ(item.window, m_desktop.WindowsOpenedBy(kEditor)[0]);
    const bool refused = c.integrity > win::kMediumIntegrity;
    EXPECT_EQ(m_watch.Watches(item.window), !refused);
    EXPECT_EQ(m_desktop.ThreadMicroseconds() - start, c.tookMs * 1000)
        << "the wait for the answer counts towards the pause after the item";
    EXPECT_EQ(m_desktop.WaitingCalls(), 0u);
    const std::u16string report = c.report ? std::u16string(c.report) + u": Doc" : u"";
    const auto published = Published();
    EXPECT_EQ(published.back(), c.report ? report : u"프로세스 배치: Doc") << "reported at once";
    EXPECT_EQ(m_status.Snapshot().at(m_index),
              c.report ? std::optional<std::u16string>(report) : std::nullopt)
        << "kept on the popup until the deployment ends";
    EXPECT_EQ(FromCodePage(m_log.Contents(), kCodePageKorean),
              u"ShellExecuteEx 실행: Doc\n" + (c.report ? report + u"\n" : u""));
    const Rect target{40, 50, 680, 530};
    EXPECT_EQ(m_desktop.CurrentRect(item.window) == target, c.report == nullptr);
    m_desktop.SetHung(item.window, false);
    EXPECT_EQ(m_desktop.CurrentRect(item.window) == target, !refused)
        << "the queued placement applies";
}

INSTANTIATE_TEST_SUITE_P(
    Windows, AnswerTest,
    ::testing::Values(AnswerCase{"answers", 0, false, false, 0, kAfterItemPauseMs, nullptr},
                      AnswerCase{"busy_starting_for_2_s", 2000, false, false, 0, 2000, nullptr},
                      AnswerCase{"does_not_answer_for_5_s", 0, true, false, 0, kNotAnsweringAfterMs,
                                 u"응답 없음"},
                      AnswerCase{"counted_as_hung_by_the_system", 0, true, true, 0,
                                 kAfterItemPauseMs, u"응답 없음"},
                      AnswerCase{"elevated", 0, false, false, win::kHighIntegrity,
                                 kAfterItemPauseMs, u"관리자 권한"},
                      AnswerCase{"same_level", 0, false, false, win::kMediumIntegrity,
                                 kAfterItemPauseMs, nullptr}),
    [](const auto& info) { return std::string(info.param.what); });

// Which way each kind of item is started, and with what.
struct LaunchWayCase {
    const char* what;
    const char16_t* path;
    bool exists;
    bool maximize;
    int x;                    // of the item's rectangle; 5000 lies beyond every monitor
    bool needsElevation;      // CreateProcessW answers ERROR_ELEVATION_REQUIRED
    const char16_t* created;  // CreateProcessAt's "commandLine|directory", or null
    const char16_t* shell;    // ShellExecuteDefault's "file|parameters[|directory]", or null
    const char* logged;
};

class LaunchWayTest : public ItemGroupTest, public ::testing::WithParamInterface<LaunchWayCase> {};

TEST_P(LaunchWayTest, PlainProgramsStartAtTheirRectangleEverythingElseThroughTheShell) {
    const LaunchWayCase& c = GetParam();
    if (c.exists) m_desktop.AddFile(c.path);
    FakeProgram program;
    program.usesStartupRect = true;
    program.needsElevation = c.needsElevation;
    program.ownerImagePath = kEditor;
    m_desktop.AddProgram(c.path, program);
    SlotItem& item = Item(c.path, u"Doc", c.maximize);
    item.x = c.x;
    item.parameters = u"/n";
    Run();
    ASSERT_NE(item.window, 0u);
    const Rect at = c.x == 5000 ? Rect{1280, 50, 1920, 530} : Rect{c.x, 50, c.x + 640, 530};
    const auto created = m_desktop.CallsNamed("CreateProcessAt");
    ASSERT_EQ(created.size(), c.created ? 1u : 0u);
    if (c.created) {
        EXPECT_EQ(created[0].text, c.created);
        EXPECT_EQ(created[0].args, (std::vector<std::int64_t>{at.left, at.top, at.Width(),
                                                              at.Height(), c.maximize ? 3 : 1}));
    }
    const auto shell = m_desktop.CallsNamed("ShellExecuteDefault");
    ASSERT_EQ(shell.size(), c.shell ? 1u : 0u);
    if (c.shell) {
        EXPECT_EQ(shell[0].text, c.shell);
        EXPECT_EQ(shell[0].args,
                  (std::vector<std::int64_t>{5, 0, at.left, at.top, at.right, at.bottom}))
            << "on the monitor of the item's rectangle";
    }
    const bool inPlace = c.created && !c.needsElevation;
    const Rect first = inPlace ? at : FakeWindow{}.normalRect;
    EXPECT_EQ(m_desktop.CallsNamed("WindowOpened").at(0).args,
              (std::vector<std::int64_t>{first.left, first.top, first.right, first.bottom,
                                         inPlace && c.maximize ? 1 : 0}))
        << "the window opens where the item puts it";
    EXPECT_EQ(FromCodePage(m_log.Contents(), kCodePageKorean), Utf8ToUtf16(c.logged));
}

INSTANTIATE_TEST_SUITE_P(
    Launches, LaunchWayTest,
    ::testing::Values(
        LaunchWayCase{"plain_exe", kEditor, true, false, 40, false,
                      u"\"C:\\Apps\\Editor.exe\" /n|C:\\Apps", nullptr,
                      "CreateProcess 실행: Doc\n"},
        LaunchWayCase{"maximised_exe", kEditor, true, true, 40, false,
                      u"\"C:\\Apps\\Editor.exe\" /n|C:\\Apps", nullptr,
                      "CreateProcess 실행: Doc\n"},
        LaunchWayCase{"exe_on_a_gone_monitor", kEditor, true, false, 5000, false,
                      u"\"C:\\Apps\\Editor.exe\" /n|C:\\Apps", nullptr,
                      "CreateProcess 실행: Doc\n"},
        LaunchWayCase{"exe_that_needs_elevation", kEditor, true, false, 40, true,
                      u"\"C:\\Apps\\Editor.exe\" /n|C:\\Apps", u"C:\\Apps\\Editor.exe|/n|C:\\Apps",
                      "관리자 권한 필요, 셸로 실행: Doc\nShellExecuteEx 실행: Doc\n"},
        LaunchWayCase{"document", u"C:\\Docs\\plan.txt", true, false, 40, false, nullptr,
                      u"C:\\Docs\\plan.txt|/n|C:\\Docs", "ShellExecuteEx 실행: Doc\n"},
        LaunchWayCase{"app_paths_name", u"editor.exe", false, false, 40, false, nullptr,
                      u"editor.exe|/n", "ShellExecuteEx 실행: Doc\n"},
        LaunchWayCase{"batch_file", u"C:\\Apps\\run.bat", true, false, 40, false, nullptr,
                      u"C:\\Apps\\run.bat|/n|C:\\Apps", "ShellExecuteEx 실행: Doc\n"}),
    [](const auto& info) { return std::string(info.param.what); });

constexpr char16_t kOldDemo[] = u"C:\\Demo\\app-1.0.0\\demoapp.exe";
constexpr char16_t kNewDemo[] = u"C:\\Demo\\app-1.10.0\\demoapp.exe";

TEST_F(ItemGroupTest, AGoneVersionFolderLaunchesTheNewestCopyAndFindsItByPath) {
    m_desktop.AddFile(u"C:\\Demo\\app-1.9.0\\demoapp.exe");
    m_desktop.AddFile(kNewDemo);
    Program(kNewDemo, 3);
    m_path = kOldDemo;
    SlotItem& item = Item(kOldDemo, u"Demo");
    Run();
    ASSERT_EQ(m_desktop.WindowsOpenedBy(kNewDemo).size(), 1u);
    EXPECT_EQ(item.window, m_desktop.WindowsOpenedBy(kNewDemo)[0]);
    EXPECT_FALSE(m_changed.Changed()) << "found by path, no title search";
    EXPECT_EQ(item.path, kOldDemo) << "the slot keeps its text";
    EXPECT_EQ(FromCodePage(m_log.Contents(), kCodePageKorean),
              u"새 버전 폴더에서 실행: C:\\Demo\\app-1.0.0\\demoapp.exe -> "
              u"C:\\Demo\\app-1.10.0\\demoapp.exe\nCreateProcess 실행: Demo\n");
}

TEST_F(ItemGroupTest, ACapturedPackagedAppLaunchesByItsShellTargetAndIsFoundAfterAnUpdate) {
    constexpr char16_t kOld[] =
        u"C:\\Program Files\\WindowsApps\\Calc_11.2.0.0_x64__8wekyb3d8bbwe\\Calc.exe";
    constexpr char16_t kNew[] =
        u"C:\\Program Files\\WindowsApps\\Calc_11.3.0.0_x64__8wekyb3d8bbwe\\Calc.exe";
    FakeWindow window;
    window.processId = m_desktop.AddProcess(kOld);
    m_desktop.SetProcessAumid(window.processId, u"Calc_8wekyb3d8bbwe!App");
    const WindowHandle captured = m_desktop.AddWindow(window);
    // What the capture reads of it.
    const WindowImage image = ReadWindowImage(m_desktop, captured);
    const std::u16string launchPath = AppsFolderTarget(m_desktop, image.imageProcessId);
    EXPECT_EQ(image.path, kOld);
    EXPECT_EQ(launchPath, u"shell:AppsFolder\\Calc_8wekyb3d8bbwe!App");
    EXPECT_EQ(m_desktop.OpenProcessHandles(), 0);

    m_desktop.DestroyWindow(captured);
    FakeProgram updated;
    updated.ownerImagePath = kNew;
    updated.pausesBeforeWindow = 2;
    m_desktop.AddProgram(launchPath, updated);
    m_path = kOld;
    SlotItem& item = Item(launchPath, u"계산기");
    Run();
    ASSERT_EQ(m_desktop.WindowsOpenedBy(launchPath).size(), 1u);
    EXPECT_EQ(item.window, m_desktop.WindowsOpenedBy(launchPath)[0]);
    EXPECT_FALSE(m_changed.Changed()) << "by path, not by title";
    const auto launch = m_desktop.CallsNamed("ShellExecuteDefault").at(0);
    EXPECT_EQ(launch.text, u"shell:AppsFolder\\Calc_8wekyb3d8bbwe!App|") << "no folder";
}

TEST_F(ItemGroupTest, ADocumentOpensThroughTheShellInItsFolderOnAThreadWithCom) {
    constexpr char16_t kPlan[] = u"C:\\Docs\\plan.txt";
    m_desktop.AddFile(kPlan);
    FakeProgram handler;
    handler.needsCom = true;
    handler.ownerImagePath = kEditor;
    m_desktop.AddProgram(kPlan, handler);
    SlotItem& item = Item(kPlan, u"plan");
    Run();
    EXPECT_NE(item.window, 0u);
    const auto launch = m_desktop.CallsNamed("ShellExecuteDefault").at(0);
    EXPECT_EQ(launch.text, u"C:\\Docs\\plan.txt||C:\\Docs");
    EXPECT_EQ(m_desktop.CallsNamed("InitializeComApartment").at(0).thread, launch.thread);
    EXPECT_EQ(m_desktop.CountOf("UninitializeCom"), 1u) << "when the group ends";
}

}  // namespace
}  // namespace keyrack::testing
