// The cost of building the tray menu's model over twelve filled slots when the table file is
// 10 MB (20000 entries of long paths), as it opens on every click of the tray icon.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>

#include "app/tray_menu.h"
#include "platform/null_desktop.h"
#include "slots/slot_manager.h"

namespace keyrack::bench {
namespace {

constexpr std::uint32_t kTableEntries = 20000;  // 20000 * 524 bytes: 10 MB

// Twelve slots of three items each and the large table, in a fresh temporary store.
StorePaths MakeStore() {
    const auto folder = std::filesystem::temp_directory_path() /
                        ("keyrack-menu-bench-" + std::to_string(std::random_device()()));
    std::filesystem::create_directories(folder);
    const StorePaths store{folder};
    ProcessSourcePathTable table;
    for (std::uint32_t id = 0; id < kTableEntries; ++id)
        table.Add(id, u"C:\\Programs\\" + std::u16string(200, u'p') + u"\\App.exe");
    table.lastId = kTableEntries - 1;
    table.dirty = true;
    table.Save(store);
    for (int index = 0; index < kSlotCount; ++index) {
        Slot slot(index, store);
        slot.name = u"Slot";
        for (int k = 0; k < 3; ++k) {
            auto item = std::make_unique<SlotItem>();
            item->name = u"Window";
            item->pspId = static_cast<std::uint32_t>(k);
            item->index = static_cast<std::int8_t>(k);
            slot.items.push_back(std::move(item));
        }
        slot.Save();
    }
    return store;
}

void BuildMenu(benchmark::State& state) {
    NullDesktop desktop;
    const StorePaths store = MakeStore();
    SlotManager slots(store, desktop);
    for (auto _ : state) benchmark::DoNotOptimize(BuildTrayMenuModel(slots));
    std::filesystem::remove_all(store.dataFolder);
}

BENCHMARK(BuildMenu)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace keyrack::bench

BENCHMARK_MAIN();
