// The candidate test and the window search of one item-group thread.
#include <gtest/gtest.h>

#include <optional>

#include "deploy/process_image.h"
#include "deploy/program_path.h"
#include "deploy/window_search.h"
#include "tests/fakes/fake_desktop.h"
#include "tests/fakes/program_path_cases.h"

namespace keyrack::testing {
namespace {

constexpr char16_t kApp[] = u"C:\\Apps\\Editor.exe";

class WindowSearchTest : public ::testing::Test {
  protected:
    WindowHandle Add(FakeWindow window, const std::u16string& image = kApp, bool openable = true) {
        window.processId = m_desktop.AddProcess(image, openable);
        return m_desktop.AddWindow(window);
    }
    // The group's search begins: the windows added so far are open before it. Windows in
    // `m_elsewhere` are another item's: the deployment refuses them.
    WindowSearch& Start() {
        m_search.emplace(m_desktop, m_log, m_path,
                         [this](WindowHandle window) { return m_elsewhere.count(window) == 0; });
        return *m_search;
    }
    FakeDesktop m_desktop;
    RunLog m_log;
    std::u16string m_path = kApp;
    std::optional<WindowSearch> m_search;
    std::unordered_set<WindowHandle> m_elsewhere;
};

TEST_F(WindowSearchTest, CandidateRules) {
    FakeWindow plain;
    EXPECT_TRUE(IsCandidateWindow(m_desktop, Add(plain)));

    FakeWindow hidden;
    hidden.visible = false;
    hidden.exStyle = win::kWsExAppWindow;
    EXPECT_FALSE(IsCandidateWindow(m_desktop, Add(hidden))) << "invisible is never a candidate";

    FakeWindow tool;
    tool.exStyle = win::kWsExToolWindow;
    EXPECT_FALSE(IsCandidateWindow(m_desktop, Add(tool)));

    FakeWindow appTool;
    appTool.exStyle = win::kWsExToolWindow | win::kWsExAppWindow;
    const WindowHandle owner = Add(plain);
    appTool.owner = owner;
    EXPECT_TRUE(IsCandidateWindow(m_desktop, Add(appTool)))
        << "APPWINDOW beats TOOLWINDOW and owner";

    FakeWindow owned;
    owned.owner = owner;
    EXPECT_FALSE(IsCandidateWindow(m_desktop, Add(owned)));

    EXPECT_FALSE(IsCandidateWindow(m_desktop, 0));
}

TEST_F(WindowSearchTest, CandidateTestAsksOnlyWhatItNeeds) {
    FakeWindow hidden;
    hidden.visible = false;
    const WindowHandle window = Add(hidden);
    m_desktop.ClearCalls();
    IsCandidateWindow(m_desktop, window);
    EXPECT_EQ(m_desktop.CountOf("IsWindowVisible"), 1u);
    EXPECT_EQ(m_desktop.CountOf("GetExStyle"), 0u);
    EXPECT_EQ(m_desktop.CountOf("GetOwner"), 0u);
}

TEST_F(WindowSearchTest, ImagePathOpensWithQueryAndReadAccessAndClosesAlways) {
    const WindowHandle window = Add({});
    m_desktop.ClearCalls();
    EXPECT_EQ(ImagePathOfWindow(m_desktop, window), std::u16string(kApp));
    const auto open = m_desktop.CallsNamed("OpenProcess");
    ASSERT_EQ(open.size(), 1u);
    EXPECT_EQ(open[0].args[0], 0x0410);
    EXPECT_EQ(open[0].args[1], 0) << "no inheritance";
    const auto read = m_desktop.CallsNamed("GetProcessImagePath");
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0].args[1], 260);
    EXPECT_EQ(m_desktop.OpenProcessHandles(), 0);

    const WindowHandle locked = Add({}, kApp, false);
    EXPECT_EQ(ImagePathOfWindow(m_desktop, locked), std::nullopt);
    EXPECT_EQ(m_desktop.OpenProcessHandles(), 0);
}

TEST_F(WindowSearchTest, ImagePathOfAProcessWithoutPathIsNull) {
    const WindowHandle window = Add({}, u"");
    EXPECT_EQ(ImagePathOfWindow(m_desktop, window), std::nullopt);
    EXPECT_EQ(m_desktop.OpenProcessHandles(), 0) << "closed even when the read fails";
}

TEST_F(WindowSearchTest, PreScanClaimsTheProgramsCandidatesCaseInsensitively) {
    const WindowHandle mine = Add({}, u"c:\\apps\\EDITOR.EXE");
    Add({}, u"C:\\Apps\\Other.exe");
    FakeWindow tool;
    tool.exStyle = win::kWsExToolWindow;
    Add(tool);
    Add({}, kApp, false);
    const WindowSearch& search = Start();
    EXPECT_EQ(search.Claimed(), (std::unordered_set<WindowHandle>{mine}));
    EXPECT_EQ(search.OpenBefore(), (std::unordered_set<WindowHandle>{mine}));
    EXPECT_NE(m_log.Contents().find("pre: c:\\apps\\EDITOR.EXE"), std::string::npos)
        << "the pre-scan reports through the run log";
}

TEST_F(WindowSearchTest, PathSearchTakesTheFirstUnclaimedMatchOnce) {
    const WindowHandle before = Add({});
    WindowSearch& search = Start();
    Add({}, u"C:\\Apps\\Other.exe");
    EXPECT_EQ(search.FindByPath(), std::nullopt) << "the window from before is claimed";
    m_elsewhere.insert(Add({}));  // another item's, or the watch's successor for one
    EXPECT_EQ(search.FindByPath(), std::nullopt) << "a window another item has is not taken";
    const WindowHandle fresh = Add({});
    EXPECT_EQ(search.FindByPath(), fresh);
    EXPECT_TRUE(search.Claimed().count(fresh));
    EXPECT_EQ(search.FindByPath(), std::nullopt) << "a window found is not found again";
    EXPECT_TRUE(search.Claimed().count(before));
    EXPECT_EQ(m_path, kApp);
}

TEST_F(WindowSearchTest, PathSearchSkipsUnreadableProcesses) {
    WindowSearch& search = Start();
    Add({}, kApp, false);
    EXPECT_EQ(search.FindByPath(), std::nullopt);
}

TEST_F(WindowSearchTest, TitleSearchTakesAnyProgramAndLearnsItsPath) {
    WindowSearch& search = Start();
    FakeWindow titled;
    titled.title = u"Report - VIEWER";
    const WindowHandle window = Add(titled, u"C:\\Other\\Viewer.exe");
    EXPECT_EQ(search.FindByTitle(u"report - viewer"), window);
    EXPECT_EQ(m_path, u"C:\\Other\\Viewer.exe") << "the table entry itself is rewritten";
    EXPECT_EQ(search.ProcessPath(), m_path);
    EXPECT_TRUE(search.Claimed().count(window));
    const auto title = m_desktop.CallsNamed("GetWindowTitle");
    ASSERT_FALSE(title.empty());
    EXPECT_EQ(title.back().args[1], 1024);
}

TEST_F(WindowSearchTest, TitleSearchSkipsClaimedOtherTitlesAndUnreadableOwners) {
    FakeWindow titled;
    titled.title = u"Notes";
    Add(titled);  // claimed by the pre-scan
    WindowSearch& search = Start();
    Add(titled, u"C:\\x.exe", false);
    m_elsewhere.insert(Add(titled, u"C:\\Other\\Viewer.exe"));
    FakeWindow other;
    other.title = u"Notes 2";
    Add(other);
    EXPECT_EQ(search.FindByTitle(u"Notes"), std::nullopt);
    EXPECT_EQ(m_path, kApp);
}

TEST_F(WindowSearchTest, EmptyNameMatchesNoUntitledWindow) {
    WindowSearch& search = Start();
    Add({}, u"C:\\Tools\\Blank.exe");
    FakeWindow indicator;  // an untitled app window of Keyrack's own, like the indicator
    indicator.exStyle = win::kWsExAppWindow;
    indicator.processId = FakeDesktop::kOwnProcessId;
    m_desktop.AddWindow(indicator);
    EXPECT_EQ(search.FindByTitle(u""), std::nullopt);
    EXPECT_EQ(m_path, kApp);
}

// Windows that match the search in every way but are Keyrack's own or the shell's.
struct ForeignCase {
    const char* what;
    std::u16string className;
    bool own;
    bool takeable;
    bool cloaked = false;
};

class NeverTakenTest : public WindowSearchTest,
                       public ::testing::WithParamInterface<ForeignCase> {};

TEST_P(NeverTakenTest, NoSearchTakesOrClaimsIt) {
    const ForeignCase& c = GetParam();
    FakeWindow window;
    window.title = u"Doc";
    window.className = c.className;
    window.cloaked = c.cloaked;
    if (c.own) {
        window.processId = FakeDesktop::kOwnProcessId;
        m_path = FakeDesktop::kOwnImagePath;
    }
    auto open = [&] { return c.own ? m_desktop.AddWindow(window) : Add(window); };
    const WindowHandle before = open();
    EXPECT_EQ(IsCandidateWindow(m_desktop, before), c.takeable);
    EXPECT_EQ(Start().Claimed().count(before), c.takeable ? 1u : 0u) << "pre-scan";
    const WindowHandle byPath = open();
    const auto expect = [&](WindowHandle handle) {
        return c.takeable ? std::optional<WindowHandle>(handle) : std::nullopt;
    };
    EXPECT_EQ(m_search->FindByPath(), expect(byPath)) << "path search";
    const WindowHandle byTitle = open();
    EXPECT_EQ(m_search->FindByTitle(u"doc"), expect(byTitle)) << "title search";
}

INSTANTIATE_TEST_SUITE_P(Windows, NeverTakenTest,
                         ::testing::Values(ForeignCase{"program", u"Notepad", false, true},
                                           ForeignCase{"own", u"#32770", true, false},
                                           ForeignCase{"taskbar", u"Shell_TrayWnd", false, false},
                                           ForeignCase{"second_taskbar", u"Shell_SecondaryTrayWnd",
                                                       false, false},
                                           ForeignCase{"desktop", u"Progman", false, false},
                                           ForeignCase{"desktop_worker", u"workerw", false, false},
                                           ForeignCase{"cloaked", u"Notepad", false, false, true}),
                         [](const auto& info) { return std::string(info.param.what); });

constexpr char16_t kFrameHost[] = u"C:\\Windows\\System32\\ApplicationFrameHost.exe";
constexpr char16_t kStoreApp[] = u"C:\\Program Files\\WindowsApps\\Calc\\Calc.exe";

// Whose image path a window is matched, learned and captured by.
struct ImageCase {
    const char* what;
    enum Access { kFull, kLimitedOnly, kNone } access;
    const char16_t* image;
    const char16_t* className;
    bool appChild;  // a child window of another process, after one of the frame's own
    std::optional<std::u16string> expected;
};

class ImagePathTest : public WindowSearchTest, public ::testing::WithParamInterface<ImageCase> {};

TEST_P(ImagePathTest, IsMatchedAndLearnedByIt) {
    const ImageCase& c = GetParam();
    FakeWindow frame;
    frame.className = c.className;
    frame.title = u"Calculator";
    frame.processId = c.access == ImageCase::kLimitedOnly
                          ? m_desktop.AddLimitedProcess(c.image)
                          : m_desktop.AddProcess(c.image, c.access == ImageCase::kFull);
    const WindowHandle window = m_desktop.AddWindow(frame);
    if (c.appChild) {
        m_desktop.AddChildWindow(window, FakeWindow{.processId = frame.processId});
        m_desktop.AddChildWindow(window, FakeWindow{.processId = m_desktop.AddProcess(kStoreApp)});
    }
    EXPECT_EQ(ImagePathOfWindow(m_desktop, window), c.expected);
    EXPECT_EQ(m_desktop.OpenProcessHandles(), 0);
    m_path = u"C:\\Unrelated.exe";
    const auto found = c.expected ? std::optional<WindowHandle>(window) : std::nullopt;
    EXPECT_EQ(Start().FindByTitle(u"calculator"), found) << "title search";
    EXPECT_EQ(m_path, c.expected.value_or(u"C:\\Unrelated.exe")) << "learned";
    if (c.expected) m_path = *c.expected;
    m_desktop.DestroyWindow(window);
    const WindowHandle later = m_desktop.AddWindow(frame);
    if (c.appChild) {
        m_desktop.AddChildWindow(later, FakeWindow{.processId = frame.processId});
        m_desktop.AddChildWindow(later, FakeWindow{.processId = m_desktop.AddProcess(kStoreApp)});
    }
    EXPECT_EQ(m_search->FindByPath(),
              c.expected ? std::optional<WindowHandle>(later) : std::nullopt)
        << "path search";
}

INSTANTIATE_TEST_SUITE_P(
    Owners, ImagePathTest,
    ::testing::Values(ImageCase{"full_access", ImageCase::kFull, kApp, u"Edit", false, kApp},
                      ImageCase{"limited_access_only", ImageCase::kLimitedOnly, kApp, u"Edit",
                                false, kApp},
                      ImageCase{"no_access", ImageCase::kNone, kApp, u"Edit", false, std::nullopt},
                      ImageCase{"store_frame", ImageCase::kFull, kFrameHost,
                                u"ApplicationFrameWindow", true, kStoreApp},
                      ImageCase{"store_frame_before_its_app", ImageCase::kFull, kFrameHost,
                                u"ApplicationFrameWindow", false, std::nullopt},
                      ImageCase{"frame_host_other_window", ImageCase::kFull, kFrameHost, u"Popup",
                                true, kFrameHost}),
    [](const auto& info) { return std::string(info.param.what); });

// A later attempt of the same search: a window already judged not the program's is passed
// over with one call; what could not be judged for good is read again.
struct AgainCase {
    const char* what;
    bool openable;
    bool frameWithoutApp;  // a Store frame whose app child comes after the first attempt
    std::size_t callsAgain;
    std::size_t opensAgain;
    bool foundAgain;
};

class AttemptAgainTest : public WindowSearchTest,
                         public ::testing::WithParamInterface<AgainCase> {};

TEST_P(AttemptAgainTest, RejectsJudgedWindowsWithOneCall) {
    const AgainCase& c = GetParam();
    m_path = kStoreApp;
    FakeWindow window;
    if (c.frameWithoutApp) window.className = u"ApplicationFrameWindow";
    WindowSearch& search = Start();
    const WindowHandle handle =
        Add(window, c.frameWithoutApp ? kFrameHost : u"C:\\Apps\\Other.exe", c.openable);
    EXPECT_EQ(search.FindByPath(), std::nullopt);
    if (c.frameWithoutApp)
        m_desktop.AddChildWindow(handle, FakeWindow{.processId = m_desktop.AddProcess(kStoreApp)});
    m_desktop.ClearCalls();
    const auto found = search.FindByPath();
    EXPECT_EQ(m_desktop.Calls().size() - m_desktop.CallsNamed("EnumWindows").size() == 1,
              c.callsAgain == 1);
    EXPECT_EQ(m_desktop.CountOf("OpenProcess"), c.opensAgain);
    EXPECT_EQ(found, c.foundAgain ? std::optional<WindowHandle>(handle) : std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(Windows, AttemptAgainTest,
                         ::testing::Values(AgainCase{"other_program", true, false, 1, 0, false},
                                           AgainCase{"unreadable", false, false, 2, 2, false},
                                           AgainCase{"frame_whose_app_came", true, true, 2, 2,
                                                     true}),
                         [](const auto& info) { return std::string(info.param.what); });

TEST_F(WindowSearchTest, JudgedWindowOfANewProcessIsJudgedAgain) {
    WindowSearch& search = Start();
    const WindowHandle handle = Add({}, u"C:\\Apps\\Other.exe");
    EXPECT_EQ(search.FindByPath(), std::nullopt);
    // The handle now names a window of the group's program (a reused handle).
    m_desktop.SetWindowProcess(handle, m_desktop.AddProcess(kApp));
    EXPECT_EQ(search.FindByPath(), handle);
}

TEST_F(WindowSearchTest, WindowsJudgedForOneItemAreJudgedAfreshForTheNext) {
    WindowSearch& search = Start();
    Add({}, u"C:\\Apps\\Other.exe");
    Add({}, u"C:\\Apps\\Viewer.exe");
    auto opensOfOneAttempt = [&] {
        m_desktop.ClearCalls();
        search.FindByPath();
        return m_desktop.CountOf("OpenProcess");
    };
    const std::size_t first = opensOfOneAttempt();
    EXPECT_EQ(first, 2u);
    EXPECT_EQ(opensOfOneAttempt(), 0u) << "not opened again within one item's search";
    search.BeginItem();
    EXPECT_EQ(opensOfOneAttempt(), first);
}

TEST_F(WindowSearchTest, LongTitlesAreCutTo1023Units) {
    WindowSearch& search = Start();
    FakeWindow titled;
    titled.title = std::u16string(1100, u'a');
    const WindowHandle window = Add(titled);
    EXPECT_EQ(search.FindByTitle(std::u16string(1100, u'a')), std::nullopt)
        << "the full title never matches";
    EXPECT_EQ(search.FindByTitle(std::u16string(1023, u'a')), window);
}

class ProgramPathTest : public WindowSearchTest,
                        public ::testing::WithParamInterface<ProgramPathCase> {};

TEST_P(ProgramPathTest, OneProgramAcrossVersionFoldersAndCase) {
    const ProgramPathCase& c = GetParam();
    EXPECT_EQ(SameProgramPath(m_desktop, c.a, c.b), c.same);
    EXPECT_EQ(SameProgramPath(m_desktop, c.b, c.a), c.same);
    // The path search, its judged-once memory and the pre-scan follow the same rule.
    m_path = c.a;
    const WindowHandle before = Add({}, c.b);
    WindowSearch& search = Start();
    EXPECT_EQ(search.Claimed().count(before) == 1, c.same) << "claimed before the launch";
    const WindowHandle later = Add({}, c.b);
    EXPECT_EQ(search.FindByPath(), c.same ? std::optional(later) : std::nullopt);
    EXPECT_EQ(search.FindByPath(), std::nullopt) << "judged once, or taken";
}

INSTANTIATE_TEST_SUITE_P(Paths, ProgramPathTest, ::testing::ValuesIn(kProgramPathCases),
                         [](const auto& info) { return std::string(info.param.what); });

TEST_F(WindowSearchTest, GoneVersionFolderGivesWayToTheNewestByNumberThatHoldsTheFile) {
    for (const char16_t* file :
         {u"C:\\Demo\\app-1.9.0\\demoapp.exe", u"C:\\Demo\\app-1.10.0\\demoapp.exe",
          u"C:\\Demo\\app-2.0.0\\other.exe", u"C:\\Demo\\app-30\\demoapp.exe",
          u"C:\\Demo\\beta-9.0\\demoapp.exe"})
        m_desktop.AddFile(file);
    EXPECT_EQ(NewestVersionOf(m_desktop, u"C:\\Demo\\app-1.0.0\\demoapp.exe"),
              u"C:\\Demo\\app-1.10.0\\demoapp.exe");
    EXPECT_EQ(NewestVersionOf(m_desktop, u"C:\\Demo\\app-1.9.0\\demoapp.exe"), std::nullopt)
        << "a path that exists is launched as it is";
    EXPECT_EQ(NewestVersionOf(m_desktop, u"C:\\Demo\\app-1.0.0\\gone.exe"), std::nullopt);
    EXPECT_EQ(NewestVersionOf(m_desktop, u"C:\\Demo\\app\\demoapp.exe"), std::nullopt);
}

}  // namespace
}  // namespace keyrack::testing
