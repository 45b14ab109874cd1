// The run log's dump and the crash filter on Windows: bytes on disk, where the files land, and
// the whole crash report of a child process that faults on a worker thread.
#include <windows.h>

#include <gtest/gtest.h>

#include <cwchar>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/crash_filter.h"
#include "platform/run_log.h"
#include "platform/win32/handles.h"

namespace keyrack {
namespace {

namespace fs = std::filesystem;

// CP949 bytes of the child's three lines: logger 초기화, F3슬롯 전개, 슬롯 최소화.
const std::string kChildLogBytes =
    "logger \xC3\xCA\xB1\xE2\xC8\xAD\r\n"
    "F3\xBD\xBD\xB7\xD4 \xC0\xFC\xB0\xB3\r\n"
    "\xBD\xBD\xB7\xD4 \xC3\xD6\xBC\xD2\xC8\xAD\r\n";

// The crash filter's minidump takes 2.5-3 s under Wine; every wait is a bounded poll.
constexpr DWORD kPollBoundMs = 30000;
constexpr DWORD kPollStepMs = 50;

bool RunningUnderWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

std::string ReadBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

fs::path ThisExecutableFolder() {
    std::vector<wchar_t> buffer(32768);
    const DWORD length =
        GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    return fs::path(std::wstring(buffer.data(), length)).parent_path();
}

struct FoundBox {
    DWORD pid;
    HWND box;
    int count;
};

BOOL CALLBACK FindBox(HWND window, LPARAM param) {
    auto* found = reinterpret_cast<FoundBox*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != found->pid) return TRUE;
    wchar_t title[64] = {};
    GetWindowTextW(window, title, 64);
    if (std::u16string(reinterpret_cast<const char16_t*>(title)) != kCrashCaption) return TRUE;
    found->box = window;
    ++found->count;
    return TRUE;
}

// The message box of the child's process, polled for until it shows or the child ends.
HWND WaitForBox(DWORD pid, const UniqueKernelHandle& child) {
    for (DWORD waited = 0; waited < kPollBoundMs; waited += kPollStepMs) {
        FoundBox found{pid, nullptr, 0};
        EnumWindows(FindBox, reinterpret_cast<LPARAM>(&found));
        if (found.box && IsWindowVisible(found.box)) return found.box;
        if (WaitForSingleObject(child.Get(), kPollStepMs) == WAIT_OBJECT_0) return nullptr;
    }
    return nullptr;
}

BOOL CALLBACK LongestStatic(HWND child, LPARAM param) {
    auto* text = reinterpret_cast<std::wstring*>(param);
    wchar_t className[32] = {};
    GetClassNameW(child, className, 32);
    if (std::wstring_view(className) != L"Static") return TRUE;
    std::vector<wchar_t> buffer(GetWindowTextLengthW(child) + 1);
    GetWindowTextW(child, buffer.data(), static_cast<int>(buffer.size()));
    if (std::wcslen(buffer.data()) > text->size()) *text = buffer.data();
    return TRUE;
}

std::u16string BoxText(HWND box) {
    wchar_t text[4096] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 4096);
    std::wstring result = text;
    if (result.empty()) EnumChildWindows(box, LongestStatic, reinterpret_cast<LPARAM>(&result));
    return std::u16string(reinterpret_cast<const char16_t*>(result.c_str()));
}

void Dismiss(HWND box) {
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
}

std::u16string Wide16(const fs::path& path) {
    const std::wstring wide = path.wstring();
    return std::u16string(reinterpret_cast<const char16_t*>(wide.c_str()), wide.size());
}

// A folder named with Hangul and a space, holding a copy of the child ("app") and another
// folder to start it in ("elsewhere"), each with a crash folder of its own where asked.
class CrashFolders : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        wchar_t temp[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH + 1, temp);
        m_root = fs::path(temp) / (L"keyrack 충돌 " + std::to_wstring(GetCurrentProcessId()) +
                                   L" " + fs::path(info->name()).wstring());
        std::error_code ignored;
        fs::remove_all(m_root, ignored);
        fs::create_directories(App());
        fs::create_directories(Elsewhere() / L"crash");
        ASSERT_TRUE(CopyFileW((ThisExecutableFolder() / KEYRACK_CRASH_CHILD).c_str(),
                              Child().c_str(), FALSE));
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(m_root, ignored);
    }

    fs::path App() const { return m_root / L"app"; }
    fs::path Elsewhere() const { return m_root / L"elsewhere"; }
    fs::path Child() const { return App() / L"crash_child.exe"; }

    // Starts the child in the "elsewhere" folder.
    UniqueKernelHandle Start(const std::wstring& mode, DWORD* pid) {
        std::wstring commandLine = L"\"" + Child().wstring() + L"\" " + mode;
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process{};
        if (!CreateProcessW(Child().c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                            nullptr, Elsewhere().c_str(), &startup, &process)) {
            ADD_FAILURE() << "CreateProcessW failed: " << GetLastError();
            return {};
        }
        CloseHandle(process.hThread);
        *pid = process.dwProcessId;
        return UniqueKernelHandle(process.hProcess);
    }

    // Waits for the child to end and returns its exit code.
    static DWORD WaitForExit(const UniqueKernelHandle& process) {
        if (WaitForSingleObject(process.Get(), kPollBoundMs) != WAIT_OBJECT_0) {
            TerminateProcess(process.Get(), 99);
            WaitForSingleObject(process.Get(), kPollBoundMs);
            ADD_FAILURE() << "the child did not end";
        }
        DWORD code = 0;
        GetExitCodeProcess(process.Get(), &code);
        return code;
    }

    // Checks the report of a child that faulted; `logBytes` null when no log should be written.
    void ExpectCrashReport(const std::wstring& mode, const std::string* logBytes) {
        DWORD pid = 0;
        const UniqueKernelHandle child = Start(mode, &pid);
        ASSERT_TRUE(child);
        const HWND box = WaitForBox(pid, child);
        if (!box) {
            DWORD code = 0;
            GetExitCodeProcess(child.Get(), &code);
            TerminateProcess(child.Get(), 99);
            FAIL() << "no message box; child exit code " << std::hex << code;
        }
        const fs::path crash = App() / L"crash";
        const std::u16string text = BoxText(box);
        EXPECT_EQ(text, std::u16string(u"프로그램이 예상치 못하게 종료 되었습니다.\n로그 확인\n") +
                            Wide16(crash / L"CrashDump.dmp") + u"\n" +
                            Wide16(crash / L"CrashLog.txt"));
        // MB_TOPMOST: Wine leaves the extended style alone, Windows sets it.
        if (!RunningUnderWine()) {
            EXPECT_EQ(GetWindowLongW(box, GWL_EXSTYLE) & WS_EX_TOPMOST, WS_EX_TOPMOST);
        }
        // MB_ICONERROR: the box shows an icon (icon handles differ between processes).
        EXPECT_NE(SendDlgItemMessageW(box, 1088, STM_GETICON, 0, 0), 0);
        EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr);

        // Both files are written before the box shows.
        const std::string dump = ReadBytes(crash / L"CrashDump.dmp");
        EXPECT_EQ(dump.substr(0, 4), "MDMP");
        EXPECT_GT(dump.size(), 4096u);
        if (logBytes) {
            EXPECT_EQ(ReadBytes(crash / L"CrashLog.txt"), *logBytes);
        } else {
            EXPECT_FALSE(fs::exists(crash / L"CrashLog.txt"));
        }
        EXPECT_FALSE(fs::exists(Elsewhere() / L"crash" / L"CrashLog.txt"));
        EXPECT_FALSE(fs::exists(Elsewhere() / L"crash" / L"CrashDump.dmp"));

        Dismiss(box);
        const DWORD code = [&] {
            if (WaitForSingleObject(child.Get(), kPollBoundMs) != WAIT_OBJECT_0) {
                TerminateProcess(child.Get(), 99);
                ADD_FAILURE() << "the child did not end after the box was dismissed";
            }
            DWORD exit = 0;
            GetExitCodeProcess(child.Get(), &exit);
            return exit;
        }();
        // Ended by the fault, not by returning from main.
        EXPECT_EQ(code, static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));
    }

    fs::path m_root;
};

TEST_F(CrashFolders, WindowsDumpIsCp949WithCrLf) {
    RunLog log;
    const fs::path file = App() / L"crash" / L"CrashLog.txt";
    fs::create_directories(file.parent_path());
    log.SetDumpFile(file);
    log.LogLine("logger 초기화");
    log.LogLine("F3슬롯 전개");
    log.LogLine("슬롯 최소화");
    ASSERT_TRUE(log.DumpLog());
    EXPECT_EQ(ReadBytes(file), kChildLogBytes);

    // Truncated by the next dump, and empty for an empty log.
    log.ResetLog();
    ASSERT_TRUE(log.DumpLog());
    EXPECT_TRUE(fs::exists(file));
    EXPECT_EQ(ReadBytes(file), "");

    // A missing folder fails and leaves the log as it was.
    log.LogLine("a");
    log.SetDumpFile(App() / L"없는 폴더" / L"CrashLog.txt");
    EXPECT_FALSE(log.DumpLog());
    EXPECT_FALSE(log.TryDumpLog());
    EXPECT_EQ(log.Contents(), "a\n");
}

TEST_F(CrashFolders, DumpLandsBesideTheExecutableWhenStartedElsewhere) {
    fs::create_directories(App() / L"crash");
    DWORD pid = 0;
    const UniqueKernelHandle child = Start(L"dump", &pid);
    ASSERT_TRUE(child);
    EXPECT_EQ(WaitForExit(child), 0u);
    EXPECT_EQ(ReadBytes(App() / L"crash" / L"CrashLog.txt"), kChildLogBytes);
    EXPECT_FALSE(fs::exists(Elsewhere() / L"crash" / L"CrashLog.txt"));
}

TEST_F(CrashFolders, FaultOnWorkerThreadWritesLogAndDumpThenShowsTheBox) {
    // No crash folder beside the child: the filter makes it where its message says.
    ExpectCrashReport(L"fault", &kChildLogBytes);
}

TEST_F(CrashFolders, FaultOnStdThreadReachesTheFilter) {
    ExpectCrashReport(L"fault-std-thread", &kChildLogBytes);
}

TEST_F(CrashFolders, TwoThreadsFaultingAtOnceGiveOneReport) {
    ExpectCrashReport(L"fault-two", &kChildLogBytes);
}

TEST_F(CrashFolders, FaultWhileAnotherThreadHoldsTheLogStillReports) {
    // The log can't be read, so the previous CrashLog.txt stays; the rest of the report goes on.
    fs::create_directories(App() / L"crash");
    const std::string previous = "previous\r\n";
    std::ofstream(App() / L"crash" / L"CrashLog.txt", std::ios::binary) << previous;
    ExpectCrashReport(L"fault-locked", &previous);
}

}  // namespace
}  // namespace keyrack
