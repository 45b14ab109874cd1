// Start-up and shutdown of the application object under Wine: folders beside the executable
// whatever the current directory, the run log's dump file, the hidden main window with its
// tray icon, and a second instance that leaves at once.
#include "app/keyrack_app.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <shellapi.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/run_log.h"
#include "platform/win32/win32_desktop.h"
#include "res/shared_resources.h"
#include "tests/windows/app/tray_probe.h"

namespace keyrack {
namespace {

namespace fs = std::filesystem;

using testing::HasTrayIcon;

// The face that GDI gives a request for `face` at `height`.
std::wstring MappedFace(const wchar_t* face, int height) {
    const CFont font(::CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                   0, 0, 0, 0, face));
    HDC dc = ::GetDC(nullptr);
    wchar_t mapped[LF_FACESIZE] = {};
    {
        const CSelectObject select(dc, font);
        ::GetTextFaceW(dc, LF_FACESIZE, mapped);
    }
    ::ReleaseDC(nullptr, dc);
    return mapped;
}

// Runs the test from a current directory of its own, like a shortcut with another start-in
// folder.
class ElsewhereTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_previous = fs::current_path();
        m_elsewhere = fs::temp_directory_path() /
                      ("keyrack-elsewhere-" + std::to_string(GetCurrentProcessId()));
        fs::create_directories(m_elsewhere);
        fs::current_path(m_elsewhere);
        m_exeFolder = ExecutableFolderOfProcess();
    }
    void TearDown() override {
        fs::current_path(m_previous);
        std::error_code ignored;
        fs::remove_all(m_elsewhere, ignored);
    }
    fs::path m_previous, m_elsewhere, m_exeFolder;
};

TEST_F(ElsewhereTest, EnsureFolderMakesTheFolderBesideTheExecutableAndKeepsAnExistingOne) {
    const std::wstring name = L"ensure-" + std::to_wstring(GetCurrentProcessId());
    const fs::path beside = m_exeFolder / name;
    fs::remove_all(beside);
    EnsureFolder(name);
    EXPECT_TRUE(fs::is_directory(beside));
    EXPECT_FALSE(fs::exists(m_elsewhere / name));

    { std::ofstream(beside / "keep.txt") << "kept"; }
    EnsureFolder(name);
    std::ifstream kept(beside / "keep.txt");
    std::string text;
    kept >> text;
    EXPECT_EQ(text, "kept");
    kept.close();
    fs::remove_all(beside);
}

TEST_F(ElsewhereTest, StartsHiddenInTheTrayAndEndsOnClose) {
    {
        SingleInstance running;
        if (!running.IsFirst()) GTEST_SKIP() << "a Keyrack is running in this session";
    }
    CKeyrackApp app;
    const bool dbghelpBefore = GetModuleHandleW(L"dbghelp.dll") != nullptr;
    ASSERT_TRUE(app.InitInstance());
    // The crash filter's minidump writer is loaded at start-up, from System32.
    EXPECT_FALSE(dbghelpBefore);
    wchar_t dbghelp[MAX_PATH] = {}, system[MAX_PATH] = {};
    GetModuleFileNameW(GetModuleHandleW(L"dbghelp.dll"), dbghelp, MAX_PATH);
    GetSystemDirectoryW(system, MAX_PATH);
    EXPECT_EQ(_wcsicmp(fs::path(dbghelp).parent_path().c_str(), system), 0) << dbghelp;
    EXPECT_TRUE(fs::is_directory(m_exeFolder / "data"));
    EXPECT_TRUE(fs::is_directory(m_exeFolder / "crash"));
    EXPECT_FALSE(fs::exists(m_elsewhere / "data"));
    EXPECT_FALSE(fs::exists(m_elsewhere / "crash"));
    EXPECT_EQ(logger().DumpFile(), m_exeFolder / "crash" / "CrashLog.txt");

    ASSERT_NE(app.m_pMainWnd, nullptr);
    const HWND main = app.m_pMainWnd->GetSafeHwnd();
    ASSERT_TRUE(IsWindow(main));
    EXPECT_FALSE(IsWindowVisible(main));
    EXPECT_TRUE(HasTrayIcon(main));

    // A second start in the same session: it leaves without a window of its own, and
    // without taking the fonts that the running one's windows use.
    AddFontFiles();
    {
        CKeyrackApp second;
        EXPECT_FALSE(second.InitInstance());
        EXPECT_EQ(second.m_pMainWnd, nullptr);
        second.ExitInstance();
    }
    EXPECT_TRUE(HasTrayIcon(main));
    EXPECT_EQ(MappedFace(L"Pretendard Medium", 31), L"Pretendard Medium");

    SendMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(main));
    EXPECT_FALSE(HasTrayIcon(main));
    app.ExitInstance();
    EXPECT_NE(MappedFace(L"Pretendard Medium", 33), L"Pretendard Medium");
}

}  // namespace
}  // namespace keyrack
