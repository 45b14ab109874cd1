// RunItemGroups and DeploySlot on slot files in a temporary store and the simulated desktop:
// grouping, threads, the learned path, the window list, the indicator and the run log.
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <stdexcept>
#include <system_error>

#include "deploy/deploy_slot.h"
#include "deploy/item_group.h"
#include "deploy/item_groups.h"
#include "deploy/placement_watch.h"
#include "deploy/slot_windows.h"
#include "tests/deploy/deploy_fixture.h"

namespace keyrack::testing {
namespace {

constexpr char16_t kEditor[] = u"C:\\Apps\\Editor.exe";
constexpr char16_t kPaint[] = u"C:\\Apps\\Paint.exe";
constexpr char16_t kLauncher[] = u"C:\\Apps\\Launcher.exe";
constexpr char16_t kReal[] = u"C:\\Apps\\Real\\Viewer.exe";

class RunItemGroupsTest : public DeployTest {
  protected:
    RunItemGroupsTest() {
        m_status.SetListener([this](std::size_t index, const std::u16string& text) {
            m_published.emplace_back(index, text);
        });
    }
    LearnedPaths Run(Slot& slot, const ThreadStarter& start = StartStdThread) {
        PlacementWatch watch(m_desktop);
        return RunItemGroups(slot, Context(), start, watch);
    }
    std::vector<std::pair<std::size_t, std::u16string>> m_published;
};

// Editor (psp 5) twice around Paint (psp 2).
std::vector<ItemSpec> TwoGroups() {
    return {{kEditor, u"E1", 5, false, 0, 0, 400, 300},
            {kPaint, u"P1", 2, true, 500, 0, 400, 300},
            {kEditor, u"E2", 5, false, 0, 400, 400, 300}};
}
const std::map<std::uint32_t, std::u16string> kTwoGroupTable{{2, kPaint}, {5, kEditor}};

TEST_F(RunItemGroupsTest, GroupsStartInAscendingPspOrderOneThreadEachItemsInSequence) {
    m_desktop.AddProgram(kEditor, {});
    m_desktop.AddProgram(kPaint, {});
    WriteSlot(0, u"Work", TwoGroups(), kTwoGroupTable);
    auto slot = LoadSlot(0);
    Run(*slot);

    // Status index 0 belongs to psp 2 (Paint), index 1 to psp 5 (Editor).
    std::map<std::size_t, std::set<std::u16string>> linesByIndex;
    for (const auto& [index, text] : m_published) linesByIndex[index].insert(text);
    EXPECT_TRUE(linesByIndex[0].count(u"프로세스 실행: P1"));
    EXPECT_TRUE(linesByIndex[1].count(u"프로세스 실행: E1"));
    EXPECT_TRUE(linesByIndex[1].count(u"프로세스 실행: E2"));
    EXPECT_FALSE(linesByIndex[0].count(u"프로세스 실행: E1"));
    EXPECT_EQ(m_status.Snapshot(),
              (std::vector<std::optional<std::u16string>>{std::nullopt, std::nullopt}));

    // One thread per group, neither of them the caller; the editor's items one after the other.
    std::map<std::u16string, std::thread::id> launchThread;
    std::vector<std::string> editorThread;
    std::thread::id editor;
    for (const FakeCall& call : m_desktop.Calls()) {
        if (call.name == "ShellExecuteDefault") {
            launchThread[call.text] = call.thread;
            if (call.text.starts_with(kEditor)) editor = call.thread;
        }
    }
    EXPECT_NE(launchThread[std::u16string(kEditor) + u"|"],
              launchThread[std::u16string(kPaint) + u"|"]);
    EXPECT_NE(editor, std::this_thread::get_id());
    for (const FakeCall& call : m_desktop.Calls()) {
        if (call.thread != editor) continue;
        if (call.name == "ShellExecuteDefault") editorThread.push_back("launch");
        if (call.name == "SetWindowPos") editorThread.push_back("move");
        if (call.name == "Wait" && call.args[0] == kAfterItemPauseMs)
            editorThread.push_back("pause");
    }
    EXPECT_EQ(editorThread,
              (std::vector<std::string>{"launch", "move", "pause", "launch", "move", "pause"}));

    // Each item holds its own window; the window list keeps slot order.
    const auto editors = m_desktop.WindowsOpenedBy(kEditor);
    const auto paints = m_desktop.WindowsOpenedBy(kPaint);
    ASSERT_EQ(editors.size(), 2u);
    ASSERT_EQ(paints.size(), 1u);
    EXPECT_EQ(slot->BuildWindowList(),
              (WindowList{{editors[0], 0, 0}, {paints[0], 1, 0}, {editors[1], 0, 0}}));
}

TEST_F(RunItemGroupsTest, GroupsRunInParallel) {
    // Each program opens its window only once the other group has launched too: a sequential
    // run would time both out.
    FakeProgram editor;
    editor.opensAfterLaunchOf = kPaint;
    editor.pausesBeforeWindow = 1;
    FakeProgram paint;
    paint.opensAfterLaunchOf = kEditor;
    paint.pausesBeforeWindow = 1;
    m_desktop.AddProgram(kEditor, editor);
    m_desktop.AddProgram(kPaint, paint);
    WriteSlot(0, u"Work", {{kEditor, u"E", 1}, {kPaint, u"P", 2}}, {{1, kEditor}, {2, kPaint}});
    auto slot = LoadSlot(0);
    Run(*slot);
    EXPECT_NE(slot->items[0]->window, 0u);
    EXPECT_NE(slot->items[1]->window, 0u);
}

// A title match teaches the group its program's real path, for this slot only: the entry is kept
// for the other slot that names the id, and this slot's items move to an entry of their own.
TEST_F(RunItemGroupsTest, LearnedPathIsKeptForThisSlotOnlyAndUsedByLaterItems) {
    m_desktop.AddProgram(
        kLauncher, FakeProgram{.ownerImagePath = kReal, .window = FakeWindow{.title = u"Viewer"}});
    m_desktop.AddProgram(kReal, {});
    WriteSlot(4, u"Other", {{kLauncher, u"Other", 7}}, {{7, kLauncher}});
    WriteSlot(0, u"Docs", {{kLauncher, u"Viewer", 7}, {kReal, u"second", 7}}, {{7, kLauncher}});
    auto slot = LoadSlot(0);
    const LearnedPaths learned = Run(*slot);
    EXPECT_EQ(slot->items[1]->window, m_desktop.WindowsOpenedBy(kReal).at(0));
    EXPECT_EQ(learned, (LearnedPaths{{7, kReal}}));
    ASSERT_TRUE(PathTable(m_paths).KeepLearnedPaths(0, learned).Written());
    EXPECT_EQ(TableOnDisk(), (std::map<std::uint32_t, std::u16string>{{7, kLauncher}, {8, kReal}}));
    EXPECT_EQ(LoadSlot(0)->items[1]->pspId, 8u);
    EXPECT_EQ(LoadSlot(4)->items[0]->pspId, 7u);
}

TEST_F(RunItemGroupsTest, TableIsLeftAloneWhenNothingWasLearned) {
    m_desktop.AddProgram(kEditor, {});
    WriteSlot(0, u"Work", {{kEditor, u"E", 5}}, {{5, kEditor}});
    auto slot = LoadSlot(0);
    std::filesystem::remove(m_paths.TableFile());
    Run(*slot);
    EXPECT_NE(slot->items[0]->window, 0u);
    EXPECT_FALSE(std::filesystem::exists(m_paths.TableFile())) << "not rewritten";
}

TEST_F(RunItemGroupsTest, GroupWithoutTableEntryRunsWithAnEmptyPath) {
    m_desktop.AddProgram(kEditor, {});
    m_desktop.AddProgram(kPaint, FakeProgram{.window = FakeWindow{.title = u"Canvas"}});
    // psp 9 has no table entry; psp 2 (Paint) would have failed the lookup after psp 1 started.
    WriteSlot(0, u"Broken", {{kEditor, u"E", 1}, {kPaint, u"Canvas", 9}, {kEditor, u"E2", 12}},
              {{1, kEditor}, {12, kEditor}});
    auto slot = LoadSlot(0);
    ASSERT_NO_THROW(Run(*slot));
    EXPECT_NE(slot->items[0]->window, 0u);
    EXPECT_EQ(slot->items[1]->window, m_desktop.WindowsOpenedBy(kPaint).at(0)) << "by title";
    EXPECT_NE(slot->items[2]->window, 0u) << "groups after the missing entry still run";
    EXPECT_EQ(slot->psp.paths.count(9), 0u);
    const auto lines = LogLines(m_log.Contents());
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& l) {
                                return l.ends_with(" 스레드 종료") && l.starts_with("0x");
                            }),
              3);
}

TEST_F(RunItemGroupsTest, ThreadThatCannotStartLeavesItsItemsWithoutWindows) {
    m_desktop.AddProgram(kEditor, {});
    m_desktop.AddProgram(kPaint, {});
    WriteSlot(0, u"Work", TwoGroups(), kTwoGroupTable);
    auto slot = LoadSlot(0);
    for (auto& item : slot->items) item->window = 0xBAD;
    int started = 0;
    const ThreadStarter failSecond = [&](std::function<void()> body) {
        if (++started == 2)
            throw std::system_error(
                std::make_error_code(std::errc::resource_unavailable_try_again));
        return StartStdThread(std::move(body));
    };
    Run(*slot, failSecond);
    EXPECT_NE(slot->items[1]->window, 0u) << "psp 2 started first and ran";
    EXPECT_NE(slot->items[1]->window, 0xBADu);
    EXPECT_EQ(slot->items[0]->window, 0u);
    EXPECT_EQ(slot->items[2]->window, 0u);
    EXPECT_TRUE(m_desktop.WindowsOpenedBy(kEditor).empty());
    EXPECT_EQ(m_status.Snapshot(),
              (std::vector<std::optional<std::u16string>>{std::nullopt, std::nullopt}));
    const auto lines = LogLines(m_log.Contents());
    const std::regex created("0x[0-9a-f]+ 스레드 생성");
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [&](const std::string& l) { return std::regex_match(l, created); }),
              1);
    EXPECT_EQ(lines.back(), "아이템 그룹 실행 스레드 종료");
}

TEST_F(RunItemGroupsTest, GroupEndedByAnExceptionLeavesARunLogLine) {
    m_desktop.AddProgram(kEditor, {});
    m_desktop.AddProgram(kPaint, {});
    WriteSlot(0, u"Work", TwoGroups(), kTwoGroupTable);
    auto slot = LoadSlot(0);
    // The pause after each launched item fails: both groups end after their first item.
    m_desktop.SetSleepHook([](unsigned milliseconds) {
        if (milliseconds == kAfterItemPauseMs) throw std::runtime_error("pause failed");
    });
    ASSERT_NO_THROW(Run(*slot));
    const auto lines = LogLines(m_log.Contents());
    for (const char* expected :
         {"psp 2 아이템 그룹 스레드 예외 종료", "psp 5 아이템 그룹 스레드 예외 종료"})
        EXPECT_EQ(std::count(lines.begin(), lines.end(), expected), 1) << expected;
    EXPECT_EQ(m_desktop.WindowsOpenedBy(kEditor).size(), 1u) << "E2 was never launched";
    EXPECT_EQ(m_status.Snapshot(),
              (std::vector<std::optional<std::u16string>>{std::nullopt, std::nullopt}));
    EXPECT_EQ(lines.back(), "아이템 그룹 실행 스레드 종료");
}

class DeploySlotTest : public DeployTest {
  protected:
    SlotManager m_slots{m_paths, m_desktop};
    RecordingIndicator m_indicator{m_desktop, m_status};
};

TEST_F(DeploySlotTest, RunLogOfATwoGroupDeployment) {
    m_desktop.AddProgram(kEditor, {});
    m_desktop.AddProgram(kPaint, {});
    WriteSlot(2, u"Work", TwoGroups(), kTwoGroupTable);
    DeploySlot(m_slots, 2, &m_indicator, Context());
    auto lines = LogLines(m_log.Contents());
    // The groups log how each item was launched, in whatever order the threads run.
    EXPECT_EQ(std::erase_if(lines,
                            [](const std::string& line) {
                                return line.starts_with("ShellExecuteEx 실행: ");
                            }),
              3u);
    ASSERT_EQ(lines.size(), 15u);
    const std::vector<std::string> head{"슬롯 로딩 성공", "인디케이터에 슬롯 이름 지정",
                                        "슬롯 열기", "psp기준 아이템 분류",
                                        "아이템 그룹 실행 스레드 실행"};
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 5), head);
    std::smatch first, second;
    ASSERT_TRUE(std::regex_match(lines[5], first, std::regex("(0x[0-9a-f]+) 스레드 생성")));
    ASSERT_TRUE(std::regex_match(lines[6], second, std::regex("(0x[0-9a-f]+) 스레드 생성")));
    EXPECT_NE(first[1].str(), second[1].str());
    EXPECT_EQ(lines[7], "아이템 그룹 실행 스레드 종료 대기");
    EXPECT_EQ(lines[8], first[1].str() + " 스레드 종료");
    EXPECT_EQ(lines[9], second[1].str() + " 스레드 종료");
    const std::vector<std::string> tail{"아이템 그룹 실행 스레드 종료", "HandleMaxiPair 로드 완료",
                                        "슬롯 맨 위로", "인디케이터 종료",
                                        "슬롯 메니저 메모리 해제"};
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 10, lines.end()), tail);
}

TEST_F(DeploySlotTest, StoresTheRaisedListAndShowsTheOutcomeFor2500ms) {
    m_desktop.AddProgram(kEditor, {});
    m_desktop.AddProgram(kPaint, {});
    WriteSlot(2, u"작업", TwoGroups(), kTwoGroupTable);
    // A maximised program in front, the chord's keys released into the indicator.
    m_desktop.ShowWindow(OpenWindowOf(u"C:\\Apps\\Video.exe", u"v"), win::kSwShowMaximized);
    m_desktop.GiveInput(FakeDesktop::kOwnProcessId);
    DeploySlot(m_slots, 2, &m_indicator, Context());
    EXPECT_EQ(m_indicator.events,
              (std::vector<std::u16string>{u"name:작업", u"outcome:완료", u"finish"}));
    EXPECT_EQ(m_indicator.finishAt - m_indicator.outcomeAt, 2500u);
    EXPECT_EQ(m_indicator.statusAtOutcome,
              (std::vector<std::optional<std::u16string>>{std::nullopt, std::nullopt}))
        << "the finished threads' entries stay during the pause";
    EXPECT_TRUE(m_indicator.statusAtFinish.empty()) << "emptied before the indicator closes";

    const auto list = m_slots.GetWindowList(2);
    ASSERT_TRUE(list);
    const auto editors = m_desktop.WindowsOpenedBy(kEditor);
    const auto paints = m_desktop.WindowsOpenedBy(kPaint);
    EXPECT_EQ(*list,
              (WindowList{{editors.at(0), 0, 0}, {paints.at(0), 1, 0}, {editors.at(1), 0, 0}}));
    const auto z = m_desktop.ZOrder();
    EXPECT_EQ(std::vector<WindowHandle>(z.begin(), z.begin() + 3),
              (std::vector<WindowHandle>{editors[1], paints[0], editors[0]}));
    EXPECT_EQ(m_desktop.GetForegroundWindow(), editors[1]);
    EXPECT_EQ(m_desktop.CountOf("AllowSetForegroundWindow"), 3u) << "lent to each launch";
    EXPECT_TRUE(m_desktop.Window(paints[0]).zoomed);
    EXPECT_EQ(m_desktop.Window(editors[0]).normalRect, (Rect{0, 0, 400, 300}));
}

// A program that stops answering once its window shows, beside one that answers, in one
// deployment and over the next chords.
TEST_F(DeploySlotTest, AWindowThatDoesNotAnswerHoldsUpNothing) {
    FakeProgram hanging;
    hanging.window.hung = true;
    m_desktop.AddProgram(kEditor, hanging);
    m_desktop.AddProgram(kPaint, {});
    WriteSlot(2, u"Work",
              {{kEditor, u"Stuck", 5, true, 2400, 300, 600, 400},
               {kPaint, u"P1", 2, false, 500, 0, 400, 300}},
              kTwoGroupTable);
    DeploySlot(m_slots, 2, &m_indicator, Context());
    // The usual pause; each look at the stuck window waits a moment for its answer.
    EXPECT_GE(m_indicator.finishAt - m_indicator.outcomeAt, kOutcomePauseMs);
    EXPECT_LE(m_indicator.finishAt - m_indicator.outcomeAt, kOutcomePauseMs + kWatchAnswerMs);
    EXPECT_EQ(m_indicator.statusAtOutcome,
              (std::vector<std::optional<std::u16string>>{std::nullopt, u"응답 없음: Stuck"}));
    const auto lines = LogLines(m_log.Contents());
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "응답 없음: Stuck"), 1);
    const WindowHandle stuck = m_desktop.WindowsOpenedBy(kEditor).at(0);
    const WindowHandle paint = m_desktop.WindowsOpenedBy(kPaint).at(0);
    EXPECT_EQ(*m_slots.GetWindowList(2), (WindowList{{stuck, 1, 0}, {paint, 0, 0}}))
        << "counts as placed";
    EXPECT_EQ(m_desktop.Window(paint).normalRect, (Rect{500, 0, 900, 300}));
    const auto positions = m_desktop.CallsNamed("SetWindowPos");
    EXPECT_EQ(std::count_if(positions.begin(), positions.end(),
                            [&](const FakeCall& call) {
                                return call.args[0] == static_cast<std::int64_t>(paint);
                            }),
              2)
        << "the window that answers is placed once and raised once";
    EXPECT_EQ(m_desktop.WaitingCalls(), 0u);

    ToggleSlotWindows(m_desktop, m_slots, 2, m_log);
    EXPECT_TRUE(m_desktop.Window(paint).iconic);
    m_desktop.SetHung(stuck, false);
    // What was asked of it meanwhile applies in order: placed on the one monitor there is,
    // maximised there, minimised, restored and maximised by the raise, minimised by the toggle.
    EXPECT_TRUE(m_desktop.Window(stuck).iconic);
    EXPECT_EQ(m_desktop.Window(stuck).normalRect, (Rect{1320, 300, 1920, 700}));
}

TEST_F(DeploySlotTest, EmptySlotStoresAnEmptyListThatThePruningDrops) {
    WriteSlot(0, u"Empty", {}, {});
    DeploySlot(m_slots, 0, &m_indicator, Context());
    const auto lines = LogLines(m_log.Contents());
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "슬롯 로딩 성공", "인디케이터에 슬롯 이름 지정", "슬롯 열기",
                         "psp기준 아이템 분류", "아이템 그룹 실행 스레드 실행",
                         "아이템 그룹 실행 스레드 종료 대기", "아이템 그룹 실행 스레드 종료",
                         "HandleMaxiPair 로드 완료", "슬롯 맨 위로", "인디케이터 종료",
                         "슬롯 메니저 메모리 해제"}));
    EXPECT_FALSE(m_slots.HasWindowList(0)) << "an empty list counts as none";
}

TEST_F(DeploySlotTest, FailedLoadShowsLoadFailureAndStoresNothing) {
    DeploySlot(m_slots, 4, &m_indicator, Context());
    EXPECT_EQ(LogLines(m_log.Contents()),
              (std::vector<std::string>{"슬롯 로딩 실패", "인디케이터 종료"}));
    EXPECT_EQ(m_indicator.events, (std::vector<std::u16string>{u"outcome:로드 실패", u"finish"}));
    EXPECT_EQ(m_indicator.finishAt - m_indicator.outcomeAt, 2500u);
    EXPECT_FALSE(m_slots.HasWindowList(4));
    EXPECT_EQ(m_desktop.CountOf("ShellExecuteDefault"), 0u);
}

TEST_F(DeploySlotTest, DeploysWithoutAnIndicator) {
    m_desktop.AddProgram(kEditor, {});
    WriteSlot(1, u"Work", {{kEditor, u"E", 0}}, {{0, kEditor}});
    m_status.Append();  // left over; cleared at the end all the same
    DeploySlot(m_slots, 1, nullptr, Context());
    ASSERT_TRUE(m_slots.GetWindowList(1));
    EXPECT_EQ(m_slots.GetWindowList(1)->size(), 1u);
    EXPECT_NE(m_slots.GetWindowList(1)->front().handle, 0u);
    EXPECT_TRUE(m_status.Snapshot().empty());
    // The outcome pause would be taken on this thread once the group's has ended; the watch's
    // wait that saw it end is the last.
    const auto calls = m_desktop.Calls();
    const auto self = std::this_thread::get_id();
    const auto groupsEnd = std::find_if(calls.rbegin(), calls.rend(),
                                        [&](const FakeCall& c) { return c.thread != self; });
    EXPECT_LE(std::count_if(calls.rbegin(), groupsEnd,
                            [](const FakeCall& c) { return c.name == "Wait"; }),
              1)
        << "no outcome to show";
}

TEST_F(DeploySlotTest, SlotWhoseWindowsAllTimeOutKeepsNoList) {
    FakeProgram nothing;
    nothing.kind = FakeProgram::Kind::kOpensNothing;
    m_desktop.AddProgram(kEditor, nothing);
    WriteSlot(0, u"Nothing", {{kEditor, u"E", 0}, {kEditor, u"F", 0}}, {{0, kEditor}});
    DeploySlot(m_slots, 0, &m_indicator, Context());
    EXPECT_FALSE(m_slots.HasWindowList(0)) << "the next chord deploys again";
}

// A.exe was captured into F3 as id 7 and the table write that should have followed was lost
// (the F3 file names 7, the table stops at 6). B.exe captured into F5 later can't get 7, so each
// chord finds its own program's window (F3's by its title) and no entry is rewritten.
TEST_F(DeploySlotTest, ALostTableWriteNeverBindsTwoSlotsToOneProgram) {
    constexpr char16_t kA[] = u"C:\\Apps\\A.exe";
    constexpr char16_t kB[] = u"C:\\Apps\\B.exe";
    m_desktop.AddProgram(kA, FakeProgram{.window = FakeWindow{.title = u"A doc"}});
    m_desktop.AddProgram(kB, FakeProgram{.window = FakeWindow{.title = u"B doc"}});
    WriteSlot(2, u"F3", {{kA, u"A doc", 7}}, {{6, kEditor}});
    Slot f5(4, m_paths);  // the editor captures B.exe on the table as it is on disk
    f5.items.push_back(std::make_unique<SlotItem>());
    f5.items[0]->path = kB;
    f5.items[0]->pspId = f5.psp.AddPath(kB);  // 7, the stand-in
    ASSERT_TRUE(m_slots.Table().SaveSlot(f5).Written());
    DeploySlot(m_slots, 4, &m_indicator, Context());
    DeploySlot(m_slots, 2, &m_indicator, Context());
    EXPECT_EQ(m_slots.GetWindowList(2), (WindowList{{m_desktop.WindowsOpenedBy(kA).at(0), 0, 0}}));
    EXPECT_EQ(m_slots.GetWindowList(4), (WindowList{{m_desktop.WindowsOpenedBy(kB).at(0), 0, 0}}));
    EXPECT_EQ(TableOnDisk(), (std::map<std::uint32_t, std::u16string>{{6, kEditor}, {8, kB}}));
}

TEST_F(DeploySlotTest, ReplacesAnEarlierList) {
    m_desktop.AddProgram(kEditor, {});
    WriteSlot(0, u"Work", {{kEditor, u"E", 0}}, {{0, kEditor}});
    m_slots.SetWindowList(0, WindowList{{0x77, 0, 1}, {0x78, 0, 1}});
    DeploySlot(m_slots, 0, &m_indicator, Context());
    EXPECT_EQ(m_slots.GetWindowList(0),
              (WindowList{{m_desktop.WindowsOpenedBy(kEditor).at(0), 0, 0}}));
}

TEST_F(DeploySlotTest, SplashGivingWayDuringTheOutcomeLeavesTheMainWindowInTheList) {
    m_desktop.AddProgram(kEditor, {});
    WriteSlot(0, u"Work", {{kEditor, u"E", 0}}, {{0, kEditor}});
    const Rect target{10, 20, 310, 220};
    WindowHandle main = 0;
    m_desktop.SetSleepHook([&](unsigned) {
        const auto opened = m_desktop.WindowsOpenedBy(kEditor);
        if (main != 0 || m_indicator.outcomeAt == 0 || opened.empty()) return;
        const FakeWindow splash = m_desktop.Window(opened[0]);
        m_desktop.DestroyWindow(opened[0]);
        main = m_desktop.AddWindow({.processId = splash.processId});
    });
    DeploySlot(m_slots, 0, &m_indicator, Context());
    ASSERT_NE(main, 0u);
    EXPECT_EQ(m_slots.GetWindowList(0), (WindowList{{main, 0, 0}}));
    EXPECT_EQ(m_desktop.CurrentRect(main), target);
    EXPECT_EQ(m_indicator.finishAt - m_indicator.outcomeAt, kOutcomePauseMs) << "no longer";
}

// A stop requested at the first Sleep of `ms` (on the deploying thread once the outcome shows,
// or on any thread): the deployment still closes its indicator,
// stores its list and releases the slot, but raises nothing after the stop and cuts the
// outcome pause short.
struct DeployStopCase {
    const char* when;
    unsigned ms;
    bool deployingThread;
    std::uint64_t outcomeShown;
    const char* afterList;
};

class DeploySlotStopTest : public DeploySlotTest,
                           public ::testing::WithParamInterface<DeployStopCase> {};

TEST_P(DeploySlotStopTest, EndsEarlyAndKeepsWhatWasPlaced) {
    const DeployStopCase& c = GetParam();
    m_desktop.AddProgram(kEditor, FakeProgram{.pausesBeforeWindow = 1});
    WriteSlot(0, u"Work", {{kEditor, u"E", 0}}, {{0, kEditor}});
    const auto self = std::this_thread::get_id();
    m_desktop.SetSleepHook([&](unsigned ms) {
        const bool outcomeShown =
            !m_indicator.events.empty() && m_indicator.events.back().starts_with(u"outcome");
        if (ms == c.ms &&
            (!c.deployingThread || (std::this_thread::get_id() == self && outcomeShown)))
            m_stop.Request();
    });
    DeploySlot(m_slots, 0, &m_indicator, Context());
    EXPECT_EQ(m_indicator.events.back(), u"finish");
    EXPECT_EQ(m_indicator.finishAt - m_indicator.outcomeAt, c.outcomeShown);
    const auto lines = LogLines(m_log.Contents());
    ASSERT_EQ(lines.size(), 14u) << "with the item's launch";
    EXPECT_EQ(lines[11], c.afterList);
    // Cut short in the search, the item has no window and the slot no list; in the outcome the
    // placed window stays the slot's.
    EXPECT_EQ(m_slots.HasWindowList(0), c.deployingThread);
}

INSTANTIATE_TEST_SUITE_P(Stops, DeploySlotStopTest,
                         ::testing::Values(DeployStopCase{"during_a_search", kPathAttemptMs, false,
                                                          0, "슬롯 전개 중단"},
                                           DeployStopCase{"during_the_outcome", kWatchPassMs, true,
                                                          kWatchPassMs, "슬롯 맨 위로"}),
                         [](const auto& info) { return std::string(info.param.when); });

}  // namespace
}  // namespace keyrack::testing
