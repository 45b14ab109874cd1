#include "platform/unique_handle.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#ifdef _WIN32
#include "platform/win32/system_function.h"
#endif

namespace keyrack {
namespace {

// Records every handle it is asked to close and answers with `succeeds`.
struct RecordingCloser {
    std::vector<int>* closed = nullptr;
    bool succeeds = true;
    bool operator()(int handle) const {
        closed->push_back(handle);
        return succeeds;
    }
};

using Owner = UniqueHandle<int, RecordingCloser>;

struct OwnerCase {
    std::string name;
    std::function<void(std::vector<int>& closed)> run;
    std::vector<int> expectedClosed;
};

class UniqueHandleCases : public ::testing::TestWithParam<OwnerCase> {};

TEST_P(UniqueHandleCases, ClosesEachHandleOnceAndOnlyWhenLetGo) {
    std::vector<int> closed;
    GetParam().run(closed);
    EXPECT_EQ(closed, GetParam().expectedClosed);
}

INSTANTIATE_TEST_SUITE_P(
    Owners, UniqueHandleCases,
    ::testing::Values(
        OwnerCase{"ScopeEnd", [](auto& c) { Owner h(1, RecordingCloser{&c}); }, {1}},
        OwnerCase{"EmptyClosesNothing", [](auto& c) { Owner h(0, RecordingCloser{&c}); }, {}},
        OwnerCase{"ResetToAnother",
                  [](auto& c) {
                      Owner h(1, RecordingCloser{&c});
                      h.Reset(2);
                  },
                  {1, 2}},
        OwnerCase{"ResetToItsOwnHandleKeepsIt",
                  [](auto& c) {
                      Owner h(1, RecordingCloser{&c});
                      h.Reset(1);
                      EXPECT_EQ(h.Get(), 1);
                  },
                  {1}},
        OwnerCase{"ReleaseHandsItOver",
                  [](auto& c) {
                      Owner h(1, RecordingCloser{&c});
                      EXPECT_EQ(h.Release(), 1);
                      EXPECT_FALSE(h);
                  },
                  {}},
        OwnerCase{"MoveConstructed",
                  [](auto& c) {
                      Owner a(1, RecordingCloser{&c});
                      Owner b(std::move(a));
                      EXPECT_FALSE(a);
                      EXPECT_EQ(b.Get(), 1);
                  },
                  {1}},
        OwnerCase{"MoveAssignedOverAHeldHandle",
                  [](auto& c) {
                      Owner a(1, RecordingCloser{&c});
                      Owner b(2, RecordingCloser{&c});
                      b = std::move(a);
                      c.push_back(-1);  // the old handle of b is closed before this
                  },
                  {2, -1, 1}},
        OwnerCase{"CloseEarly",
                  [](auto& c) {
                      Owner h(3, RecordingCloser{&c});
                      EXPECT_TRUE(h.Close());
                      EXPECT_FALSE(h);
                  },
                  {3}}),
    [](const auto& info) { return info.param.name; });

TEST(UniqueHandle, CloseReportsTheClosersFailure) {
    std::vector<int> closed;
    UniqueHandle<int, RecordingCloser> owner(4, RecordingCloser{&closed, false});
    EXPECT_FALSE(owner.Close());
    EXPECT_FALSE(owner);
    EXPECT_TRUE(owner.Close());  // nothing left to close
    EXPECT_EQ(closed, std::vector<int>{4});
}

#ifdef _WIN32
// A DLL that is no KnownDLL, by name from System32; a missing DLL or function leaves it empty.
TEST(SystemFunction, FoundInSystem32OrEmpty) {
    using Fn = HRESULT(WINAPI*)(HWND, DWORD, PVOID, DWORD);
    const SystemFunction<Fn> found(L"dwmapi.dll", "DwmGetWindowAttribute");
    EXPECT_TRUE(found);
    wchar_t path[MAX_PATH] = {}, system[MAX_PATH] = {};
    ::GetModuleFileNameW(::GetModuleHandleW(L"dwmapi.dll"), path, MAX_PATH);
    ::GetSystemDirectoryW(system, MAX_PATH);
    EXPECT_EQ(_wcsnicmp(path, system, wcslen(system)), 0) << path;
    EXPECT_FALSE((SystemFunction<Fn>(L"dwmapi.dll", "KeyrackNoSuchFunction")));
    EXPECT_FALSE((SystemFunction<Fn>(L"keyrack-no-such.dll", "DwmGetWindowAttribute")));
}
#endif

}  // namespace
}  // namespace keyrack
