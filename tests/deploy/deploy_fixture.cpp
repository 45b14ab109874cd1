#include "tests/deploy/deploy_fixture.h"

#include <atomic>
#include <random>
#include <sstream>

#include "platform/codepage.h"
#include "platform/text.h"

namespace keyrack::testing {

DeployTest::DeployTest() {
    static std::atomic<int> serial{0};
    std::random_device random;
    m_folder = std::filesystem::temp_directory_path() /
               ("keyrack-deploy-" + std::to_string(random()) + "-" + std::to_string(serial++));
    std::filesystem::create_directories(m_folder / "data");
    m_paths = StorePaths{m_folder / "data"};
}

DeployTest::~DeployTest() {
    std::error_code ignored;
    std::filesystem::remove_all(m_folder, ignored);
}

void DeployTest::WriteSlot(int index, const std::u16string& name,
                           const std::vector<ItemSpec>& items,
                           const std::map<std::uint32_t, std::u16string>& table) {
    std::filesystem::remove(m_paths.TableFile());
    {
        Slot slot(index, m_paths);
        slot.name = name;
        for (const ItemSpec& spec : items) {
            auto item = std::make_unique<SlotItem>();
            item->path = spec.path;
            item->parameters = spec.parameters;
            item->name = spec.name;
            item->pspId = spec.pspId;
            item->maximize = spec.maximize ? 1 : 0;
            item->x = spec.x;
            item->y = spec.y;
            item->width = spec.width;
            item->height = spec.height;
            item->index = static_cast<std::int8_t>(slot.items.size());
            slot.items.push_back(std::move(item));
        }
        ASSERT_EQ(slot.Save(), SaveResult::kSaved);
        for (const auto& [id, path] : table) slot.psp.AddEntry(id, path);
        slot.psp.dirty = true;  // the file is written even for an empty table
        ASSERT_TRUE(slot.psp.Save(m_paths));
    }
}

std::map<std::uint32_t, std::u16string> DeployTest::TableOnDisk() {
    ProcessSourcePathTable table;
    table.Load(m_paths);
    return table.paths;
}

std::unique_ptr<Slot> DeployTest::LoadSlot(int index) {
    auto slot = std::make_unique<Slot>(index, m_paths);
    EXPECT_TRUE(slot->Load());
    return slot;
}

std::vector<std::string> DeployTest::LogLines(const std::string& cp949) {
    const std::string utf8 = Utf16ToUtf8(FromCodePage(cp949, kCodePageKorean));
    std::vector<std::string> lines;
    std::istringstream in(utf8);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

WindowHandle DeployTest::OpenWindowOf(const std::u16string& image, const std::u16string& title) {
    FakeWindow window;
    window.processId = m_desktop.AddProcess(image);
    window.title = title;
    return m_desktop.AddWindow(window);
}

}  // namespace keyrack::testing
