// The cost of one search attempt against 10, 100 and 1000 top-level windows on the simulated
// desktop: time and platform calls per attempt. The group's path matches no window, so every
// attempt walks the whole Z order, as while a program is still starting. PathAttemptAgain is
// a later attempt of the same search, over windows the first one judged.
#include <benchmark/benchmark.h>

#include "deploy/window_search.h"
#include "tests/bench/counting_desktop.h"
#include "tests/fakes/fake_desktop.h"

namespace keyrack::bench {
namespace {

// A desktop of `count` windows: 40 % hidden, 10 % tool windows, 10 % owned, the rest
// candidates of assorted programs titled "Window <k>".
void Populate(testing::FakeDesktop& desktop, int count) {
    desktop.SetRecording(false);
    std::vector<std::uint32_t> processes;
    for (int p = 0; p < 20; ++p)
        processes.push_back(
            desktop.AddProcess(u"C:\\Programs\\App" + std::u16string(1, u'A' + p) + u".exe"));
    WindowHandle anyOwner = 0;
    for (int k = 0; k < count; ++k) {
        testing::FakeWindow window;
        window.processId = processes[static_cast<std::size_t>(k) % processes.size()];
        window.title = u"Window " + std::u16string(1, static_cast<char16_t>(u'0' + k % 10));
        const int kind = k % 10;
        if (kind < 4)
            window.visible = false;
        else if (kind == 4)
            window.exStyle = win::kWsExToolWindow;
        else if (kind == 5)
            window.owner = anyOwner;
        const WindowHandle handle = desktop.AddWindow(window);
        if (!anyOwner) anyOwner = handle;
    }
}

template <bool kByTitle>
void Attempt(benchmark::State& state) {
    testing::FakeDesktop fake;
    Populate(fake, static_cast<int>(state.range(0)));
    CountingDesktop desktop(fake);
    std::u16string path = u"C:\\Programs\\NotRunning.exe";
    RunLog log;
    WindowSearch search(desktop, log, path);
    for (auto _ : state) {
        if constexpr (kByTitle)
            benchmark::DoNotOptimize(search.FindByTitle(u"No such title"));
        else
            benchmark::DoNotOptimize(search.FindByPath());
    }
    state.counters["calls/attempt"] = benchmark::Counter(static_cast<double>(desktop.Calls()) /
                                                         static_cast<double>(state.iterations()));
}

void PathAttempt(benchmark::State& state) { Attempt<false>(state); }

// An attempt after the first of one search over `count` visible, unowned top-level windows of
// other programs, every one of which the first attempt judged.
void PathAttemptAgain(benchmark::State& state) {
    testing::FakeDesktop fake;
    fake.SetRecording(false);
    for (int k = 0; k < state.range(0); ++k) {
        testing::FakeWindow window;
        window.processId = fake.AddProcess(u"C:\\Programs\\Other.exe");
        fake.AddWindow(window);
    }
    CountingDesktop desktop(fake);
    std::u16string path = u"C:\\Programs\\NotRunning.exe";
    RunLog log;
    WindowSearch search(desktop, log, path);
    search.FindByPath();
    desktop.Reset();
    for (auto _ : state) benchmark::DoNotOptimize(search.FindByPath());
    state.counters["calls/attempt"] = benchmark::Counter(static_cast<double>(desktop.Calls()) /
                                                         static_cast<double>(state.iterations()));
}
void TitleAttempt(benchmark::State& state) { Attempt<true>(state); }

BENCHMARK(PathAttempt)->Arg(10)->Arg(100)->Arg(1000);
BENCHMARK(TitleAttempt)->Arg(10)->Arg(100)->Arg(1000);
BENCHMARK(PathAttemptAgain)->Arg(20)->Arg(100)->Arg(300);

}  // namespace
}  // namespace keyrack::bench

BENCHMARK_MAIN();
