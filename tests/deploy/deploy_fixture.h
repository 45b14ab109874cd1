// Shared set-up of the deployment tests: a simulated desktop, a store in a fresh temporary
// folder, slot files written through the slot store, and an indicator that records its use.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "deploy/deploy_context.h"
#include "deploy/indicator.h"
#include "deploy/stop_request.h"
#include "deploy/worker_status_list.h"
#include "slots/slot.h"
#include "slots/slot_manager.h"
#include "tests/fakes/fake_desktop.h"

namespace keyrack::testing {

struct ItemSpec {
    std::u16string path;
    std::u16string name;
    std::uint32_t pspId = 0;
    bool maximize = false;
    int x = 10, y = 20, width = 300, height = 200;
    std::u16string parameters;
};

// The indicator popup, reduced to what the deployment does with it.
class RecordingIndicator : public DeploymentIndicator {
  public:
    explicit RecordingIndicator(FakeDesktop& desktop, WorkerStatusList& status)
        : m_desktop(desktop), m_status(status) {}
    void SetSlotName(const std::u16string& name) override { events.push_back(u"name:" + name); }
    void ShowOutcome(const std::u16string& finalText) override {
        events.push_back(u"outcome:" + finalText);
        outcomeAt = m_desktop.VirtualMilliseconds();
        statusAtOutcome = m_status.Snapshot();
    }
    void Finish() override {
        events.push_back(u"finish");
        finishAt = m_desktop.VirtualMilliseconds();
        statusAtFinish = m_status.Snapshot();
    }

    std::vector<std::u16string> events;
    std::uint64_t outcomeAt = 0, finishAt = 0;
    std::vector<std::optional<std::u16string>> statusAtOutcome, statusAtFinish;

  private:
    FakeDesktop& m_desktop;
    WorkerStatusList& m_status;
};

class DeployTest : public ::testing::Test {
  protected:
    DeployTest();
    ~DeployTest() override;

    // Writes slot file `index` and the table (replacing any earlier table).
    void WriteSlot(int index, const std::u16string& name, const std::vector<ItemSpec>& items,
                   const std::map<std::uint32_t, std::u16string>& table);
    // The table as it is on disk now.
    std::map<std::uint32_t, std::u16string> TableOnDisk();
    // A slot loaded from its file, ready for RunItemGroups.
    std::unique_ptr<Slot> LoadSlot(int index);
    // The run log as UTF-8 lines.
    static std::vector<std::string> LogLines(const std::string& cp949);

    // A visible, unowned top-level window of a new process with this image path.
    WindowHandle OpenWindowOf(const std::u16string& image, const std::u16string& title);
    DeployContext Context() { return {m_desktop, m_log, m_status, m_stop}; }

    std::filesystem::path m_folder;
    StorePaths m_paths;
    FakeDesktop m_desktop;
    RunLog m_log;
    WorkerStatusList m_status;
    StopRequest m_stop;
};

}  // namespace keyrack::testing
