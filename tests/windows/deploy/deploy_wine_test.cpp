// A real slot deployed under Wine without the GUI: two Notepad items (one program, two
// windows, each moved to its own rectangle, one maximised) and an item whose launcher starts
// another executable that owns the window, found by title and its path learned into the table
// file. Then the toggle, the close command and the pruning on those real windows.
#include <windows.h>
// after windows.h
#include <psapi.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <thread>

#include "deploy/deploy_slot.h"
#include "deploy/place_window.h"
#include "deploy/process_image.h"
#include "deploy/program_path.h"
#include "deploy/slot_windows.h"
#include "platform/codepage.h"
#include "platform/run_log.h"
#include "platform/text.h"
#include "platform/win32/handles.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_desktop.h"
#include "slots/slot.h"
#include "slots/slot_manager.h"
#include "slots/takeable_window.h"
#include "tests/fakes/program_path_cases.h"

namespace keyrack {
namespace {

constexpr char16_t kNotepad[] = u"C:\\windows\\system32\\notepad.exe";

HWND H(WindowHandle handle) { return reinterpret_cast<HWND>(handle); }

// Polls `condition` every 20 ms for at most `limit`.
bool WaitFor(const std::function<bool()>& condition,
             std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

Rect RectOf(WindowHandle window) {
    RECT r{};
    ::GetWindowRect(H(window), &r);
    return {r.left, r.top, r.right, r.bottom};
}

std::u16string ImagePathOf(WindowHandle window) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(H(window), &pid);
    HANDLE process = ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!process) return {};
    wchar_t buffer[MAX_PATH] = {};
    const DWORD n = ::K32GetModuleFileNameExW(process, nullptr, buffer, MAX_PATH);
    ::CloseHandle(process);
    return FromWide(std::wstring_view(buffer, n));
}

// Position of each window in the Z order, top first.
std::vector<int> ZPositions(const WindowList& list) {
    std::vector<HWND> order;
    ::EnumWindows(
        [](HWND window, LPARAM all) {
            reinterpret_cast<std::vector<HWND>*>(all)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&order));
    std::vector<int> positions;
    for (const HandleMaxiPair& pair : list) {
        const auto it = std::find(order.begin(), order.end(), H(pair.handle));
        positions.push_back(it == order.end() ? -1 : static_cast<int>(it - order.begin()));
    }
    return positions;
}

std::unique_ptr<SlotItem> MakeItem(std::u16string path, std::u16string name, std::uint32_t pspId,
                                   Rect rect, bool maximize) {
    auto owned = std::make_unique<SlotItem>();
    SlotItem& item = *owned;
    item.path = std::move(path);
    item.name = std::move(name);
    item.pspId = pspId;
    item.x = rect.left;
    item.y = rect.top;
    item.width = rect.Width();
    item.height = rect.Height();
    item.maximize = maximize ? 1 : 0;
    return owned;
}

// Gives the deployment its outcome pause, during which the placed windows are still watched.
class SilentIndicator : public DeploymentIndicator {
  public:
    void SetSlotName(const std::u16string&) override {}
    void ShowOutcome(const std::u16string&) override {}
    void Finish() override {}
};

class DeployWineTest : public ::testing::Test {
  protected:
    DeployWineTest() {
        std::filesystem::create_directories(m_folder / "data");
        logger().SetDumpFile(m_folder / "CrashLog.txt");
    }
    ~DeployWineTest() override {
        for (const WindowHandle window : m_cleanup)
            if (::IsWindow(H(window))) ::PostMessageW(H(window), WM_CLOSE, 0, 0);
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }

    // The project's test window program copied as `name` into this test's folder, so that tests
    // running at the same time never share a program path. The folder is named by the process
    // id, which Wine reuses; a copy an earlier run could not delete is replaced.
    std::filesystem::path CopyTestProgram(const std::string& name) const {
        const std::filesystem::path copy = m_folder / name;
        std::filesystem::copy_file(ExecutableFolderOfProcess() / "keyrack_test_window.exe", copy,
                                   std::filesystem::copy_options::overwrite_existing);
        return copy;
    }

    // Slot 1 with one item: `program` started with `parameters` and placed at `target`, its
    // path already learned.
    SaveResult SaveOneItemSlot(const std::u16string& program, const std::u16string& title,
                               const std::u16string& parameters, const Rect& target) const {
        Slot slot(0, m_paths);
        slot.items.push_back(MakeItem(program, title, 0, target, false));
        slot.items.back()->parameters = parameters;
        slot.psp.AddEntry(0, program);
        if (!slot.psp.Save(m_paths)) return SaveResult::kCannotWrite;
        return slot.Save();
    }

    // Saves that slot, deploys it into m_slots with m_log and gives the window its item ended
    // with (0 when none: the run log tells why). With `outcome`, the placed window is still
    // watched for the outcome's 2.5 s.
    WindowHandle DeployOneItemSlot(const std::u16string& program, const std::u16string& title,
                                   const std::u16string& parameters, const Rect& target,
                                   bool outcome = true) {
        if (SaveOneItemSlot(program, title, parameters, target) != SaveResult::kSaved) return 0;
        WorkerStatusList status;
        SilentIndicator indicator;
        const StopRequest stop;
        DeploySlot(m_slots, 0, outcome ? &indicator : nullptr, {m_desktop, m_log, status, stop});
        const auto list = m_slots.GetWindowList(0);
        return list && list->size() == 1 ? list->front().handle : 0;
    }

    std::filesystem::path m_folder = std::filesystem::temp_directory_path() /
                                     ("keyrack-deploy-" + std::to_string(::GetCurrentProcessId()));
    StorePaths m_paths{m_folder / "data"};
    Win32Desktop m_desktop;
    SlotManager m_slots{m_paths, m_desktop};
    RunLog m_log;
    std::vector<WindowHandle> m_cleanup;
};

// Wine starts a program much more slowly the first time than later, while the search gives up
// after 2000 pauses of about 1.1 ms here: start Notepad once and close it, so the deployment
// measures a warm start as on a desktop in use.
void WarmUpNotepad() {
    std::vector<HWND> before;
    auto notepads = [] {
        std::vector<HWND> found;
        ::EnumWindows(
            [](HWND window, LPARAM all) {
                wchar_t name[64] = {};
                ::GetClassNameW(window, name, 64);
                if (std::wstring_view(name) == L"Notepad")
                    reinterpret_cast<std::vector<HWND>*>(all)->push_back(window);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&found));
        return found;
    };
    before = notepads();
    ::ShellExecuteW(nullptr, nullptr, L"C:\\windows\\system32\\notepad.exe", L"", nullptr,
                    SW_SHOWMINNOACTIVE);
    HWND fresh = nullptr;
    WaitFor([&] {
        for (HWND window : notepads())
            if (std::find(before.begin(), before.end(), window) == before.end()) fresh = window;
        return fresh != nullptr;
    });
    if (!fresh) return;
    ::PostMessageW(fresh, WM_CLOSE, 0, 0);
    WaitFor([&] { return !::IsWindow(fresh); });
}

TEST_F(DeployWineTest, DeploysTogglesClosesAndPrunesARealSlot) {
    WarmUpNotepad();
    const std::filesystem::path bin = ExecutableFolderOfProcess();
    const std::u16string launcher = (bin / "keyrack_test_launcher.exe").u16string();
    const std::u16string owner = (bin / "keyrack_test_window.exe").u16string();
    const std::u16string title =
        u"Keyrack deploy probe " + Utf8ToUtf16(std::to_string(::GetCurrentProcessId()));
    const Rect first{100, 100, 600, 450}, second{700, 120, 1300, 520}, third{300, 560, 800, 860};

    {  // the slot file and the table, as the editor would have stored them
        Slot slot(0, m_paths);
        slot.name = u"Wine";
        slot.items.push_back(MakeItem(kNotepad, u"Untitled - Notepad", 0, first, false));
        slot.items.push_back(MakeItem(kNotepad, u"Untitled - Notepad", 0, second, true));
        slot.items.push_back(MakeItem(launcher, title, 1, third, false));
        slot.items.back()->parameters = title;  // the launcher titles the window with it
        slot.psp.AddEntry(0, kNotepad);
        slot.psp.AddEntry(1, launcher);
        ASSERT_TRUE(slot.psp.Save(m_paths));
        ASSERT_EQ(slot.Save(), SaveResult::kSaved);
    }

    SlotManager slots(m_paths, m_desktop);
    WorkerStatusList status;
    RunLog log;
    const StopRequest stop;
    DeploySlot(slots, 0, nullptr, {m_desktop, log, status, stop});

    const auto list = slots.GetWindowList(0);
    ASSERT_TRUE(list.has_value());
    ASSERT_EQ(list->size(), 3u);
    for (const HandleMaxiPair& pair : *list) m_cleanup.push_back(pair.handle);
    for (std::size_t i = 0; i < list->size(); ++i)
        ASSERT_NE((*list)[i].handle, 0u) << "item " << i << "; log:\n" << log.Contents();
    EXPECT_NE((*list)[0].handle, (*list)[1].handle) << "two windows of one program";

    EXPECT_TRUE(EqualsNoCase(ImagePathOf((*list)[0].handle), kNotepad));
    EXPECT_TRUE(EqualsNoCase(ImagePathOf((*list)[1].handle), kNotepad));
    EXPECT_TRUE(EqualsNoCase(ImagePathOf((*list)[2].handle), owner));
    EXPECT_EQ(RectOf((*list)[0].handle), first);
    EXPECT_FALSE(::IsZoomed(H((*list)[0].handle)));
    EXPECT_TRUE(::IsZoomed(H((*list)[1].handle)));
    EXPECT_EQ(RectOf((*list)[2].handle), third);
    EXPECT_EQ((*list)[1].maximize, 1);

    // The learned path is in the table file.
    ProcessSourcePathTable table;
    table.Load(m_paths);
    ASSERT_EQ(table.paths.count(1), 1u);
    EXPECT_TRUE(EqualsNoCase(table.paths[1], owner)) << Utf16ToUtf8(table.paths[1]);
    EXPECT_TRUE(EqualsNoCase(table.paths[0], kNotepad));

    // The deployment's raise leaves the last item on top of the slot's windows.
    auto z = ZPositions(*list);
    EXPECT_LT(z[2], z[1]);
    EXPECT_LT(z[2], z[0]);

    ToggleSlotWindows(m_desktop, slots, 0, log);
    EXPECT_TRUE(WaitFor([&] {
        for (const HandleMaxiPair& pair : *list)
            if (!::IsIconic(H(pair.handle))) return false;
        return true;
    })) << "every window minimised";
    ToggleSlotWindows(m_desktop, slots, 0, log);
    EXPECT_TRUE(WaitFor([&] {
        for (const HandleMaxiPair& pair : *list)
            if (::IsIconic(H(pair.handle))) return false;
        return true;
    })) << "every window back";
    // The maximise follows the restore in the window's queue.
    EXPECT_TRUE(WaitFor([&] { return ::IsZoomed(H((*list)[1].handle)) != FALSE; }));
    // Each window's own thread carries out its steps; the order settles once all have.
    EXPECT_TRUE(WaitFor([&] {
        z = ZPositions(*list);
        return z[2] < z[1] && z[1] < z[0];
    })) << "last item on top: "
        << z[0] << " " << z[1] << " " << z[2];

    CloseSlotWindows(m_desktop, slots, 0);
    EXPECT_TRUE(WaitFor([&] {
        for (const HandleMaxiPair& pair : *list)
            if (::IsWindow(H(pair.handle))) return false;
        return true;
    })) << "every window closed";
    EXPECT_FALSE(slots.HasWindowList(0));
}

// The rule of which windows an item may take, on real windows: never one of this process or
// the shell's taskbar; a window of another process and class is one.
TEST_F(DeployWineTest, OwnWindowsAndTheTaskbarAreNeverTakeable) {
    const auto handle = [](HWND window) { return reinterpret_cast<WindowHandle>(window); };
    const HWND own = ::CreateWindowExW(WS_EX_APPWINDOW, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0,
                                       10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(own, nullptr);
    EXPECT_FALSE(IsTakeableWindow(m_desktop, handle(own)));
    ::DestroyWindow(own);
    const HWND taskbar = ::FindWindowW(L"Shell_TrayWnd", nullptr);
    ASSERT_NE(taskbar, nullptr) << "the shell desktop shows a taskbar";
    EXPECT_EQ(m_desktop.GetWindowClassName(handle(taskbar)), u"Shell_TrayWnd");
    EXPECT_FALSE(IsTakeableWindow(m_desktop, handle(taskbar)));
    EXPECT_TRUE(IsTakeableWindow(m_desktop, handle(::GetDesktopWindow())));
}

// Reads back, at each launch, the DPI awareness of the thread that launches.
class DpiProbeDesktop : public Win32Desktop {
  public:
    bool ShellExecuteDefault(const ShellLaunch& launch) override {
        awareness.push_back(GetAwarenessFromDpiAwarenessContext(GetThreadDpiAwarenessContext()));
        return Win32Desktop::ShellExecuteDefault(launch);
    }
    StartResult CreateProcessAt(const ProcessStart& start) override {
        awareness.push_back(GetAwarenessFromDpiAwarenessContext(GetThreadDpiAwarenessContext()));
        return Win32Desktop::CreateProcessAt(start);
    }
    std::vector<DPI_AWARENESS> awareness;  // one launching thread at a time here
};

// Programs of the project's own that undo their placement: one moves itself 300 ms and 1 s
// after it appears, one shows a splash window and then its main window.
struct HoldCase {
    const char* mode;
    const char16_t* finalTitle;  // of the window the item ends with, before the process id
};

class HoldWineTest : public DeployWineTest, public ::testing::WithParamInterface<HoldCase> {};

TEST_P(HoldWineTest, WindowEndsAtItsRectangle) {
    const HoldCase& c = GetParam();
    const std::u16string program =
        CopyTestProgram("keyrack_test_" + std::string(c.mode) + ".exe").u16string();
    const std::u16string title =
        c.finalTitle + Utf8ToUtf16(std::to_string(::GetCurrentProcessId()));
    const Rect target{160, 140, 560, 440};
    DpiProbeDesktop desktop;
    ASSERT_EQ(SaveOneItemSlot(program, title, Utf8ToUtf16(c.mode) + u" \"" + title + u"\"", target),
              SaveResult::kSaved);
    SlotManager slots(m_paths, desktop);
    WorkerStatusList status;
    RunLog log;
    SilentIndicator indicator;
    const StopRequest stop;
    DeploySlot(slots, 0, &indicator, {desktop, log, status, stop});

    const auto list = slots.GetWindowList(0);
    ASSERT_TRUE(list.has_value());
    ASSERT_EQ(list->size(), 1u);
    const WindowHandle window = list->front().handle;
    m_cleanup.push_back(window);
    ASSERT_NE(window, 0u) << log.Contents();
    wchar_t text[128] = {};
    ::GetWindowTextW(H(window), text, 128);
    EXPECT_EQ(FromWide(text), title) << "the window the item ended with";
    EXPECT_EQ(RectOf(window), target);
    // The item-group thread placed it per-monitor aware (where the system knows the call).
    ASSERT_EQ(desktop.awareness.size(), 1u);
    EXPECT_EQ(desktop.awareness[0], DPI_AWARENESS_PER_MONITOR_AWARE);
}

INSTANTIATE_TEST_SUITE_P(Programs, HoldWineTest,
                         ::testing::Values(HoldCase{"moves", u"Mover "},
                                           HoldCase{"splash", u"Main "}),
                         [](const auto& info) { return std::string(info.param.mode); });

// A single-instance program of the project's own, open before the deployment and behind
// another window or minimised: the item's launch only brings its window forward, and that
// window is the item's.
class SingleInstanceWineTest : public DeployWineTest,
                               public ::testing::WithParamInterface<const char*> {};

TEST_P(SingleInstanceWineTest, ItsOpenWindowIsPlaced) {
    const std::string how = GetParam();
    const std::filesystem::path program = CopyTestProgram("keyrack_test_single_" + how + ".exe");
    const std::wstring title = L"Single " + std::to_wstring(::GetCurrentProcessId());
    ::ShellExecuteW(nullptr, nullptr, program.c_str(), (L"single \"" + title + L"\"").c_str(),
                    nullptr, SW_SHOW);
    HWND open = nullptr;
    ASSERT_TRUE(
        WaitFor([&] { return (open = ::FindWindowW(L"KeyrackTestSingle", title.c_str())); }));
    const auto handle = reinterpret_cast<WindowHandle>(open);
    m_cleanup.push_back(handle);
    const HWND front = ::CreateWindowExW(0, L"STATIC", L"front", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                         0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
    ::SetForegroundWindow(front);
    if (how == "minimised") ::ShowWindow(open, SW_MINIMIZE);
    ASSERT_NE(::GetForegroundWindow(), open);

    const Rect target{240, 180, 740, 580};
    const auto start = std::chrono::steady_clock::now();
    const WindowHandle taken = DeployOneItemSlot(
        program.u16string(), u"", u"single \"" + FromWide(title) + u"\"", target, false);
    const auto took = std::chrono::steady_clock::now() - start;
    ::DestroyWindow(front);
    const std::string log = m_log.Contents();

    EXPECT_EQ(taken, handle) << log;
    EXPECT_EQ(RectOf(handle), target);
    EXPECT_FALSE(::IsIconic(open));
    EXPECT_NE(log.find(ToCodePage(u"기존 창 배치: ", kCodePageKorean)), std::string::npos);
    // Not the search's time-out (2000 pauses, over two seconds here).
    EXPECT_LT(took, std::chrono::seconds(2));
    EXPECT_EQ(::FindWindowExW(nullptr, open, L"KeyrackTestSingle", title.c_str()), nullptr)
        << "the second start opened no window";
}

INSTANTIATE_TEST_SUITE_P(Programs, SingleInstanceWineTest,
                         ::testing::Values("behind_another_window", "minimised"));

// A window of ApplicationFrameHost.exe of class ApplicationFrameWindow is read by the process
// of the child window it hosts.
TEST_F(DeployWineTest, StoreFrameIsReadByItsHostedApp) {
    const std::filesystem::path bin = ExecutableFolderOfProcess();
    const std::wstring title = L"Frame " + std::to_wstring(::GetCurrentProcessId());
    ::ShellExecuteW(nullptr, nullptr, (bin / "ApplicationFrameHost.exe").c_str(),
                    (L"frame \"" + title + L"\"").c_str(), nullptr, SW_SHOW);
    HWND frame = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        frame = ::FindWindowW(L"ApplicationFrameWindow", title.c_str());
        return frame != nullptr && ::GetWindow(frame, GW_CHILD) != nullptr;
    })) << "the frame and its hosted child";
    const auto handle = reinterpret_cast<WindowHandle>(frame);
    m_cleanup.push_back(handle);
    const auto path = ImagePathOfWindow(m_desktop, handle);
    ASSERT_TRUE(path.has_value());
    EXPECT_TRUE(EqualsNoCase(*path, (bin / "keyrack_test_window.exe").u16string()))
        << Utf16ToUtf8(*path);
}

// A program of the project's own that stops answering once its window shows: the deployment
// takes and reports its window, and neither it nor the toggle waits for it.
TEST_F(DeployWineTest, AWindowThatDoesNotAnswerHoldsUpNothing) {
    const std::u16string program = CopyTestProgram("keyrack_test_hangs.exe").u16string();
    const std::u16string title = u"Hung " + Utf8ToUtf16(std::to_string(::GetCurrentProcessId()));
    const Rect target{300, 200, 700, 500};
    const WindowHandle window =
        DeployOneItemSlot(program, title, u"hangs \"" + title + u"\"", target);
    ASSERT_NE(window, 0u) << m_log.Contents();
    DWORD processId = 0;
    ::GetWindowThreadProcessId(H(window), &processId);
    const UniqueKernelHandle process(::OpenProcess(PROCESS_TERMINATE, FALSE, processId));
    EXPECT_NE(FromCodePage(m_log.Contents(), kCodePageKorean).find(u"응답 없음: " + title),
              std::u16string::npos);
    EXPECT_NE(RectOf(window), target) << "its placement waits in its queue";
    EXPECT_FALSE(WindowAnswers(m_desktop, window, 100));

    const auto start = std::chrono::steady_clock::now();
    ToggleSlotWindows(m_desktop, m_slots, 0, m_log);
    ToggleSlotWindows(m_desktop, m_slots, 0, m_log);
    const auto took = std::chrono::steady_clock::now() - start;
    // The raise waits for the window's answer at most kRaiseAnswerTimeoutMs.
    EXPECT_LT(took, std::chrono::milliseconds(2 * kToggleStepPauseMs + kRaiseAnswerTimeoutMs + 200))
        << "minimised and raised at the usual pace";
    if (process.Get()) ::TerminateProcess(process.Get(), 0);
}

// The real comparison of file names agrees with the host's simulated desktop on every case of
// the table, accented, Cyrillic and Greek capitals included.
TEST(ProgramPathWineTest, AgreesWithTheHostTable) {
    Win32Desktop desktop;
    for (const testing::ProgramPathCase& c : testing::kProgramPathCases)
        EXPECT_EQ(SameProgramPath(desktop, c.a, c.b), c.same) << c.what;
}

// An item whose version folder is gone: the newest sibling's copy starts, in its own folder, and
// its window is found by path and placed.
TEST_F(DeployWineTest, AGoneVersionFolderStartsTheNewestCopyInItsFolder) {
    for (const char* version : {"app-1.9.0", "app-1.10.0"}) {
        std::filesystem::create_directories(m_folder / version);
        std::filesystem::copy_file(ExecutableFolderOfProcess() / "keyrack_test_window.exe",
                                   m_folder / version / "demoapp.exe",
                                   std::filesystem::copy_options::overwrite_existing);
    }
    const std::u16string stored = (m_folder / "app-1.0.0" / "demoapp.exe").u16string();
    const std::u16string title = u"Startup " + Utf8ToUtf16(std::to_string(::GetCurrentProcessId()));
    const Rect target{210, 160, 710, 520};
    const WindowHandle window =
        DeployOneItemSlot(stored, title, u"startup \"" + title + u"\"", target);
    ASSERT_NE(window, 0u) << m_log.Contents();
    m_cleanup.push_back(window);
    const std::u16string newest = (m_folder / "app-1.10.0").u16string();
    wchar_t text[512] = {};
    ::GetWindowTextW(H(window), text, 512);
    EXPECT_TRUE(EqualsNoCase(FromWide(text), title + u" in " + newest))
        << Utf16ToUtf8(FromWide(text));
    EXPECT_TRUE(EqualsNoCase(ImagePathOf(window), newest + u"\\demoapp.exe"));
    EXPECT_EQ(RectOf(window), target);
    const std::u16string logged = FromCodePage(m_log.Contents(), kCodePageKorean);
    EXPECT_NE(logged.find(u"새 버전 폴더에서 실행: "), std::u16string::npos);
    EXPECT_EQ(logged.find(u"타임아웃"), std::u16string::npos);
}

// The seam's waits: the stop request ends one at once, with or without a new-window watch, and
// a window another process creates ends a watching wait at once (Wine delivers the creation
// event across processes, not the show event).
TEST_F(DeployWineTest, WaitsEndAtOnceOnTheStopAndOnANewWindow) {
    const std::filesystem::path bin = ExecutableFolderOfProcess();
    using Clock = std::chrono::steady_clock;
    const auto ms = [](Clock::duration d) {
        return std::chrono::duration_cast<std::chrono::milliseconds>(d).count();
    };
    for (const bool watching : {false, true}) {
        StopRequest stop;
        Desktop::WaitEnd end = Desktop::WaitEnd::kElapsed;
        Clock::time_point ended;
        std::thread waiter([&] {
            if (watching) m_desktop.WatchNewWindows(true);
            end = m_desktop.WaitUnlessStopped(stop, 10000);
            ended = Clock::now();
            if (watching) m_desktop.WatchNewWindows(false);
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        const auto requested = Clock::now();
        stop.Request();
        waiter.join();
        EXPECT_EQ(end, Desktop::WaitEnd::kStopped);
        EXPECT_LT(ms(ended - requested), 16) << "watching " << watching;
        std::printf("stop to the end of a wait (%s): %lld ms\n", watching ? "watching" : "plain",
                    static_cast<long long>(ms(ended - requested)));
    }
    const std::wstring title = L"New " + std::to_wstring(::GetCurrentProcessId());
    const StopRequest stop;
    m_desktop.WatchNewWindows(true);
    ::ShellExecuteW(nullptr, nullptr, (bin / "keyrack_test_window.exe").c_str(),
                    (L"1 \"" + title + L"\"").c_str(), nullptr, SW_SHOW);
    const auto start = Clock::now();
    Desktop::WaitEnd end = Desktop::WaitEnd::kElapsed;
    while (end != Desktop::WaitEnd::kNewWindow && Clock::now() - start < std::chrono::seconds(10))
        end = m_desktop.WaitUnlessStopped(stop, 10000);
    const auto woke = Clock::now();
    m_desktop.WatchNewWindows(false);
    HWND window = nullptr;
    ASSERT_TRUE(
        WaitFor([&] { return (window = ::FindWindowW(nullptr, title.c_str())) != nullptr; }));
    m_cleanup.push_back(reinterpret_cast<WindowHandle>(window));
    EXPECT_EQ(end, Desktop::WaitEnd::kNewWindow);
    EXPECT_LT(ms(woke - start), 5000) << "woken by the window, not by the 10 s limit";
}

}  // namespace
}  // namespace keyrack
