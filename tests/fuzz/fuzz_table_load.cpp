// Any byte string as a process-source-path file: reading must not crash or over-read, and
// what was read must write back to a file that reads the same again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/text.h"
#include "slots/process_source_path_table.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace keyrack;
    ProcessSourcePathTable first;
    first.LoadFromBytes({data, size});
    Check(first.paths.size() <= size / kTableRecordSize);
    Check(first.paths.count(kNoPspId) == 0);
    Check(first.paths.empty() == (first.lastId == kNoPspId));
    if (!first.paths.empty()) Check(first.lastId == first.paths.rbegin()->first);
    Check(!first.dirty);

    const auto written = first.ToBytes();
    Check(written.size() == first.paths.size() * kTableRecordSize);

    ProcessSourcePathTable second;
    second.LoadFromBytes(written);
    Check(second.lastId == first.lastId);
    Check(second.paths.size() == first.paths.size());
    for (const auto& [id, path] : first.paths) {
        const auto found = second.paths.find(id);
        Check(found != second.paths.end());
        Check(found->second == path.substr(0, FittedLength(path, kPathCapacity)));
        Check(second.FindByPath(found->second) != kNoPspId);
    }
    Check(second.ToBytes() == written);

    // A new path never takes an id that is in use.
    const std::size_t before = second.paths.size();
    const std::uint32_t id = second.AddPath(u"C:\\fuzz\\new path.exe");
    if (id != kNoPspId) {
        Check(EqualsNoCase(second.paths.at(id), u"C:\\fuzz\\new path.exe"));
        if (second.paths.size() == before + 1) {
            Check(id == second.lastId && id == second.paths.rbegin()->first && second.dirty);
        }
    }
    return 0;
}
