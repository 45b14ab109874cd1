// Start-with-Windows shortcuts through the shell's link object under Wine, in a folder of the
// test's own (with a Hangul name): made, read back, found, and removed; refused writes leave
// nothing behind; shortcuts of other programs are left alone.
#include "app/startup_shortcut_win32.h"

#include <gtest/gtest.h>
#include <shobjidl.h>
#include <wrl/client.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <set>

namespace keyrack {
namespace {

namespace fs = std::filesystem;

class StartupShortcutWin32Test : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(m_com.Usable());
        std::random_device random;
        m_root = fs::temp_directory_path() / (L"keyrack-시작-" + std::to_wstring(random()));
        m_folder = m_root / L"시작프로그램";
        fs::create_directories(m_folder);
        fs::create_directories(m_root / L"앱");
        m_program = m_root / L"앱" / L"keyrack.exe";
        std::ofstream(m_program) << "MZ";
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(m_root, ignored);
    }
    std::set<std::wstring> Files() const {
        std::set<std::wstring> names;
        for (const auto& entry : fs::directory_iterator(m_folder))
            names.insert(entry.path().filename().wstring());
        return names;
    }
    std::wstring WorkingFolderOf(const fs::path& file) const {
        Microsoft::WRL::ComPtr<IShellLinkW> link;
        EXPECT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_PPV_ARGS(link.GetAddressOf())),
                  S_OK);
        Microsoft::WRL::ComPtr<IPersistFile> persist;
        EXPECT_EQ(link.As(&persist), S_OK);
        EXPECT_EQ(persist->Load(file.c_str(), STGM_READ), S_OK);
        wchar_t folder[MAX_PATH] = {};
        EXPECT_EQ(link->GetWorkingDirectory(folder, MAX_PATH), S_OK);
        return folder;
    }

    ComApartment m_com;
    fs::path m_root, m_folder, m_program;
};

TEST_F(StartupShortcutWin32Test, OnWritesOneShortcutToTheProgramAndOffRemovesIt) {
    EXPECT_FALSE(StartsWithWindows(m_folder, m_program));
    ASSERT_EQ(SetStartWithWindows(m_folder, m_program, true), S_OK);
    EXPECT_EQ(Files(), std::set<std::wstring>{L"Keyrack.lnk"});
    std::u16string target;
    ASSERT_EQ(ReadShortcutTarget(m_folder / L"Keyrack.lnk", target), S_OK);
    EXPECT_EQ(fs::path(std::wstring(target.begin(), target.end())), m_program);
    EXPECT_EQ(fs::path(WorkingFolderOf(m_folder / L"Keyrack.lnk")), m_program.parent_path());
    EXPECT_TRUE(StartsWithWindows(m_folder, m_program));

    // On again: still the one shortcut.
    ASSERT_EQ(SetStartWithWindows(m_folder, m_program, true), S_OK);
    EXPECT_EQ(Files().size(), 1u);

    ASSERT_EQ(SetStartWithWindows(m_folder, m_program, false), S_OK);
    EXPECT_TRUE(Files().empty());
    EXPECT_FALSE(StartsWithWindows(m_folder, m_program));
}

TEST_F(StartupShortcutWin32Test, ADisabledMarkUnchecksAndTurningOnClearsIt) {
    const std::wstring key = L"Software\\Keyrack-test-" + m_root.filename().wstring();
    const BYTE disabled[12] = {3};
    ASSERT_EQ(SetStartWithWindows(m_folder, m_program, true, key), S_OK);
    ::RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), L"Keyrack.lnk", REG_BINARY, disabled, 12);
    EXPECT_FALSE(StartsWithWindows(m_folder, m_program, key));
    ASSERT_EQ(SetStartWithWindows(m_folder, m_program, true, key), S_OK);
    EXPECT_TRUE(StartsWithWindows(m_folder, m_program, key) &&
                !ReadStartupApproved(key, u"Keyrack.lnk"));
    ::RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
}

TEST_F(StartupShortcutWin32Test, OtherProgramsShortcutsStayAndKeepTheirNames) {
    const fs::path other = m_root / L"다른" / L"keyrack.exe";
    ASSERT_EQ(WriteShortcut(m_folder, u"Keyrack.lnk", other), S_OK);
    std::ofstream(m_folder / L"notes.txt") << "x";
    EXPECT_FALSE(StartsWithWindows(m_folder, m_program));

    ASSERT_EQ(SetStartWithWindows(m_folder, m_program, true), S_OK);
    EXPECT_EQ(Files(), (std::set<std::wstring>{L"Keyrack.lnk", L"Keyrack (2).lnk", L"notes.txt"}));
    std::u16string target;
    ASSERT_EQ(ReadShortcutTarget(m_folder / L"Keyrack.lnk", target), S_OK);
    EXPECT_EQ(fs::path(std::wstring(target.begin(), target.end())), other);

    // A shortcut the user made by hand counts as well, and off removes every one of ours.
    ASSERT_EQ(WriteShortcut(m_folder, u"keyrack.exe - 바로 가기.lnk", m_program), S_OK);
    ASSERT_EQ(SetStartWithWindows(m_folder, m_program, false), S_OK);
    EXPECT_EQ(Files(), (std::set<std::wstring>{L"Keyrack.lnk", L"notes.txt"}));
}

TEST_F(StartupShortcutWin32Test, FailuresLeaveNoHalfWrittenShortcut) {
    // A folder that is not there: the failure's code comes back, nothing is made.
    const fs::path missing = m_root / L"없음";
    const HRESULT result = SetStartWithWindows(missing, m_program, true);
    EXPECT_TRUE(FAILED(result));
    EXPECT_FALSE(fs::exists(missing));

    // The final name held by a folder: the move fails, the temporary file goes.
    fs::create_directory(m_folder / L"Keyrack.lnk");
    EXPECT_TRUE(FAILED(WriteShortcut(m_folder, u"Keyrack.lnk", m_program)));
    EXPECT_EQ(Files(), std::set<std::wstring>{L"Keyrack.lnk"});
    EXPECT_TRUE(fs::is_directory(m_folder / L"Keyrack.lnk"));
}

}  // namespace
}  // namespace keyrack
