// The named mutex that keeps a second Keyrack from starting in the same session.
#include "app/single_instance.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace keyrack {
namespace {

std::wstring UniqueName(const wchar_t* what) {
    return std::wstring(L"Local\\KeyrackTest.") + what + L"." +
           std::to_wstring(GetCurrentProcessId());
}

TEST(SingleInstanceTest, OnlyTheFirstHolderIsFirstUntilItEnds) {
    const std::wstring name = UniqueName(L"first");
    {
        SingleInstance first(name.c_str());
        EXPECT_TRUE(first.IsFirst());
        SingleInstance second(name.c_str());
        EXPECT_FALSE(second.IsFirst());
        SingleInstance third(name.c_str());
        EXPECT_FALSE(third.IsFirst());
    }
    // Every holder has gone: the next start is the first again.
    SingleInstance again(name.c_str());
    EXPECT_TRUE(again.IsFirst());
}

TEST(SingleInstanceTest, OtherNamesDoNotCount) {
    SingleInstance one(UniqueName(L"one").c_str());
    SingleInstance other(UniqueName(L"other").c_str());
    EXPECT_TRUE(one.IsFirst());
    EXPECT_TRUE(other.IsFirst());
}

TEST(SingleInstanceTest, SeesAHolderInAnotherProcess) {
    // A child process (cmd.exe, held suspended, so it starts nothing of its own that could
    // outlive the test) inherits nothing; it holds the mutex through a second handle of ours
    // duplicated into it, which keeps the mutex alive after we close ours, as a running
    // Keyrack would.
    const std::wstring name = UniqueName(L"process");
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    std::wstring command = L"cmd.exe";
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE,
                               CREATE_SUSPENDED | CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                               &child));
    // Ends the child however the test leaves (a failed ASSERT returns early).
    struct ChildEnder {
        PROCESS_INFORMATION& child;
        void End() {
            if (child.hProcess == nullptr) return;
            TerminateProcess(child.hProcess, 0);
            WaitForSingleObject(child.hProcess, 10000);
            CloseHandle(child.hThread);
            CloseHandle(child.hProcess);
            child.hProcess = child.hThread = nullptr;
        }
        ~ChildEnder() { End(); }
    } ender{child};
    {
        SingleInstance mine(name.c_str());
        ASSERT_TRUE(mine.IsFirst());
        HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, name.c_str());
        ASSERT_NE(mutex, nullptr);
        HANDLE inChild = nullptr;
        ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), mutex, child.hProcess, &inChild, 0, FALSE,
                                    DUPLICATE_SAME_ACCESS));
        CloseHandle(mutex);
    }
    {
        SingleInstance later(name.c_str());
        EXPECT_FALSE(later.IsFirst());
    }
    ender.End();
    SingleInstance afterChild(name.c_str());
    EXPECT_TRUE(afterChild.IsFirst());
}

}  // namespace
}  // namespace keyrack
