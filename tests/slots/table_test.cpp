// The process-source-path table: record layout, stale tails, duplicate ids, partial records,
// lookups, id assignment and when the file is (not) written.
#include <gtest/gtest.h>

#include <random>
#include "platform/atomic_file.h"

#include "platform/null_desktop.h"
#include "slots/path_table.h"
#include "slots/process_source_path_table.h"
#include "slots/slot.h"
#include "tests/fakes/sharing_files.h"
#include "tests/slots/slot_test_support.h"

namespace keyrack {
namespace {

using namespace keyrack::testing;  // the temporary store, its files and the icon counter

std::array<std::uint8_t, 524> Record(std::u16string_view path, std::uint32_t id) {
    std::array<std::uint8_t, 524> record{};
    for (std::size_t i = 0; i < path.size(); ++i) {
        record[2 * i] = static_cast<std::uint8_t>(path[i] & 0xFF);
        record[2 * i + 1] = static_cast<std::uint8_t>(path[i] >> 8);
    }
    record[520] = static_cast<std::uint8_t>(id);
    record[521] = static_cast<std::uint8_t>(id >> 8);
    record[522] = static_cast<std::uint8_t>(id >> 16);
    record[523] = static_cast<std::uint8_t>(id >> 24);
    return record;
}

std::vector<std::uint8_t> Records(std::initializer_list<std::array<std::uint8_t, 524>> records) {
    std::vector<std::uint8_t> bytes;
    for (const auto& r : records) bytes.insert(bytes.end(), r.begin(), r.end());
    return bytes;
}

class TableTest : public ::testing::Test {
  protected:
    TempFolder folder;
    std::filesystem::path File() const { return folder.Path() / "processsourcepath"; }
};

TEST_F(TableTest, WritesOneRecordPerEntryInAscendingIdOrder) {
    ProcessSourcePathTable table;
    table.Add(0x0102, u"B");
    table.Add(7, u"A\uAC00xy");
    table.dirty = true;
    ASSERT_TRUE(table.Save(folder.Store()));
    EXPECT_FALSE(table.dirty);
    auto first = Record(u"A\uAC00xy", 7);
    auto second = Record(u"B", 0x0102);
    second[4] = 'x', second[6] = 'y';  // tail of the longer path before it
    EXPECT_EQ(ReadBytes(File()), Records({first, second}));
    EXPECT_FALSE(std::filesystem::exists(AtomicTempPath(File())));
}

TEST_F(TableTest, ShorterPathKeepsTheTailOfALongerOneAfterItsNul) {
    ProcessSourcePathTable table;
    const std::u16string longPath = u"C:\\Program Files\\Long Name\\app.exe";
    table.Add(1, longPath);
    table.Add(2, u"C:\\b.exe");
    table.dirty = true;
    ASSERT_TRUE(table.Save(folder.Store()));
    const auto bytes = ReadBytes(File());
    ASSERT_EQ(bytes.size(), 2u * 524);
    // Second record: "C:\b.exe", NUL, then the long path's units from there on.
    const std::size_t second = 524;
    const std::size_t nul = 2 * 8;
    EXPECT_EQ(bytes[second + nul], 0);
    EXPECT_EQ(bytes[second + nul + 1], 0);
    for (std::size_t i = 9; i < longPath.size(); ++i) {
        EXPECT_EQ(bytes[second + 2 * i], static_cast<std::uint8_t>(longPath[i])) << i;
    }
    EXPECT_EQ(bytes[second + 2 * longPath.size()], 0);

    ProcessSourcePathTable back;
    back.Load(folder.Store());
    EXPECT_EQ(back.paths.at(1), longPath);
    EXPECT_EQ(back.paths.at(2), u"C:\\b.exe");
}

TEST_F(TableTest, DuplicateIdsKeepTheFirstRecord) {
    WriteBytes(File(), Records({Record(u"A", 3), Record(u"B", 3)}));
    ProcessSourcePathTable table;
    table.Load(folder.Store());
    ASSERT_EQ(table.paths.size(), 1u);
    EXPECT_EQ(table.paths.at(3), u"A");
    EXPECT_EQ(table.lastId, 3u);
    EXPECT_FALSE(table.dirty);
    EXPECT_EQ(table.AddPath(u"C"), 4u);
    EXPECT_EQ(table.lastId, 4u);
    EXPECT_TRUE(table.dirty);
}

TEST_F(TableTest, LastIdIsTheHighestIdWhateverTheRecordOrder) {
    WriteBytes(File(), Records({Record(u"A", 9), Record(u"B", 2), Record(u"C", 0)}));
    ProcessSourcePathTable table;
    table.Load(folder.Store());
    EXPECT_EQ(table.lastId, 9u);
    EXPECT_EQ(table.paths.size(), 3u);
}

TEST_F(TableTest, TrailingPartialRecordIsIgnored) {
    auto bytes = Records({Record(u"A", 0), Record(u"B", 1)});
    bytes.resize(524 + 523);
    WriteBytes(File(), bytes);
    ProcessSourcePathTable table;
    table.Load(folder.Store());
    ASSERT_EQ(table.paths.size(), 1u);
    EXPECT_EQ(table.paths.at(0), u"A");
    EXPECT_EQ(table.lastId, 0u);
}

TEST_F(TableTest, MissingOrEmptyFileGivesAnEmptyTable) {
    ProcessSourcePathTable table;
    table.Load(folder.Store());
    EXPECT_TRUE(table.paths.empty());
    EXPECT_EQ(table.lastId, kNoPspId);
    EXPECT_EQ(table.AddPath(u"first"), 0u);
    WriteBytes(File(), {});
    ProcessSourcePathTable empty;
    empty.Load(folder.Store());
    EXPECT_TRUE(empty.paths.empty());
}

TEST_F(TableTest, PathFieldWithoutNulReadsToTheFieldEndAndIsCutWhenWritten) {
    std::array<std::uint8_t, 524> record{};
    for (std::size_t i = 0; i < 260; ++i) record[2 * i] = 'p';
    record[520] = 5;
    WriteBytes(File(), Records({record}));
    ProcessSourcePathTable table;
    table.Load(folder.Store());
    EXPECT_EQ(table.paths.at(5), std::u16string(260, u'p'));
    EXPECT_EQ(table.lastId, 5u);
    table.dirty = true;
    ASSERT_TRUE(table.Save(folder.Store()));
    ProcessSourcePathTable back;
    back.Load(folder.Store());
    EXPECT_EQ(back.paths.at(5), std::u16string(259, u'p'));
}

TEST_F(TableTest, RecordWithTheNoEntryIdIsSkipped) {
    WriteBytes(File(), Records({Record(u"A", 1), Record(u"Z", kNoPspId)}));
    ProcessSourcePathTable table;
    table.Load(folder.Store());
    EXPECT_EQ(table.paths.size(), 1u);
    EXPECT_EQ(table.lastId, 1u);
    EXPECT_EQ(table.AddPath(u"B"), 2u);
}

TEST_F(TableTest, UnchangedTableIsNeverWritten) {
    ProcessSourcePathTable table;
    table.Add(1, u"A");
    EXPECT_TRUE(table.Save(folder.Store()));
    EXPECT_FALSE(std::filesystem::exists(File()));

    IconCountingDesktop desktop;
    {
        Slot slot(0, folder.Store());
        slot.psp.Add(3, u"not marked dirty");
        slot.Release();
    }
    EXPECT_FALSE(std::filesystem::exists(File()));

    // An existing file is not rewritten either.
    WriteBytes(File(), Records({Record(u"A", 0)}));
    const auto before = std::filesystem::last_write_time(File());
    std::filesystem::last_write_time(File(), before - std::chrono::hours(1));
    {
        Slot slot(0, folder.Store());
        EXPECT_EQ(slot.psp.AddPath(u"a"), 0u);  // already there, case aside
        EXPECT_FALSE(slot.psp.dirty);
    }
    EXPECT_EQ(std::filesystem::last_write_time(File()), before - std::chrono::hours(1));
}

// Editor, deployment and slotfile saves, each working on the files as they were when it began
// and saving at a random later point, with one write failing. Program p is captured as L<p> and
// learned as R<p>. After every save: every id a slot names is in the table and names that item's
// program, no id ever names two programs and no entry is ever lost.
TEST(PathTableProperty, InterleavedSavesWithAFailingWriteKeepEveryIdBoundToOneProgram) {
    using LearnedPaths = std::map<std::uint32_t, std::u16string>;
    const auto path = [](char16_t kind, std::size_t p) {
        return u"C:\\" + std::u16string{kind, static_cast<char16_t>(u'0' + p)};
    };
    const auto programOf = [](std::u16string_view of) { return of.at(4); };
    for (unsigned seed = 1; seed <= 12; ++seed) {
        TempFolder folder;
        SharingFiles files;
        StorePaths store = folder.Store();
        store.replace = &files.steps;
        PathTable table(store);
        NullDesktop desktop;
        std::mt19937 random(seed);
        const auto pick = [&](std::size_t n) { return random() % n; };
        const auto loaded = [&](std::size_t index) {
            auto slot = std::make_unique<Slot>(static_cast<int>(index), store);
            if (std::filesystem::exists(store.SlotFile(slot->index))) slot->Load();
            return slot;
        };
        std::map<std::uint32_t, std::u16string> seen;  // every entry the table ever had
        std::vector<std::pair<std::unique_ptr<Slot>, LearnedPaths>> pending;
        for (std::size_t step = 0, failing = pick(30); step < 60; ++step) {
            if (pending.empty() || pick(2) == 0) {  // an operation reads a slot and the table
                auto& [slot, learned] = pending.emplace_back(loaded(pick(4)), LearnedPaths{});
                if (pick(3) == 0 && !slot->items.empty()) {  // a deployment learns a real path
                    const SlotItem& item = *slot->items[pick(slot->items.size())];
                    if (slot->psp.PathOf(item.pspId))
                        learned[item.pspId] = path(u'R', programOf(item.path) - u'0');
                }
                for (std::size_t n = learned.empty() ? 1 + pick(2) : 0; n > 0; --n) {
                    slot->items.push_back(std::make_unique<SlotItem>());  // the editor or slotfile
                    slot->items.back()->path = path(u'L', pick(6));
                    slot->items.back()->pspId = slot->psp.AddPath(slot->items.back()->path);
                }
                continue;
            }
            const auto at = pending.begin() + static_cast<std::ptrdiff_t>(pick(pending.size()));
            if (failing-- == 0) files.failures = {112};
            const StoreOutcome outcome = at->second.empty()
                                             ? table.SaveSlot(*at->first)
                                             : table.KeepLearnedPaths(at->first->index, at->second);
            EXPECT_TRUE(outcome.Written() || outcome.error == 112);
            pending.erase(at);

            const ProcessSourcePathTable now = table.Read();
            for (const auto& [id, entry] : now.paths)
                ASSERT_EQ(programOf(entry), programOf(seen.try_emplace(id, entry).first->second));
            ASSERT_EQ(now.paths.size(), seen.size()) << seed << ": an entry was lost";
            for (std::size_t index = 0; index < 4; ++index) {
                const auto slot = loaded(index);
                for (const auto& item : slot->items) {
                    const std::u16string* entry = now.PathOf(item->pspId);
                    ASSERT_TRUE(entry && programOf(*entry) == programOf(item->path))
                        << seed << ": slot " << index << " names " << item->pspId;
                }
            }
        }
    }
}

TEST_F(TableTest, FailedWriteKeepsTheOldFileAndTheDirtyFlag) {
    WriteBytes(File(), Records({Record(u"old", 0)}));
    const auto old = ReadBytes(File());
    std::filesystem::create_directory(AtomicTempPath(File()));
    ProcessSourcePathTable table;
    table.Load(folder.Store());
    table.AddPath(u"new");
    EXPECT_FALSE(table.Save(folder.Store()));
    EXPECT_TRUE(table.dirty);
    EXPECT_EQ(ReadBytes(File()), old);
}

TEST(ProcessSourcePathTable, FindByPathIgnoresAsciiCaseAndTakesTheLowestId) {
    ProcessSourcePathTable table;
    table.Add(8, u"C:\\Windows\\Notepad.exe");
    table.Add(2, u"c:\\windows\\notepad.EXE");
    table.Add(5, u"C:\\\u00C4.exe");
    EXPECT_EQ(table.FindByPath(u"C:\\WINDOWS\\NOTEPAD.EXE"), 2u);
    EXPECT_EQ(table.FindByPath(u"C:\\\u00C4.exe"), 5u);
    EXPECT_EQ(table.FindByPath(u"C:\\\u00E4.exe"), kNoPspId) << "only ASCII letters fold";
    EXPECT_EQ(table.FindByPath(u"C:\\Windows\\Notepad"), kNoPspId);
    EXPECT_EQ(table.FindByPath(u""), kNoPspId);
}

TEST(ProcessSourcePathTable, AddKeepsAnExistingIdAndLeavesLastIdAndDirtyAlone) {
    ProcessSourcePathTable table;
    table.Add(4, u"first");
    table.Add(4, u"second");
    EXPECT_EQ(table.paths.at(4), u"first");
    EXPECT_EQ(table.lastId, kNoPspId);
    EXPECT_FALSE(table.dirty);
    ASSERT_NE(table.PathOf(4), nullptr);
    EXPECT_EQ(*table.PathOf(4), u"first");
    EXPECT_EQ(table.PathOf(5), nullptr);
    EXPECT_EQ(table.PathOf(kNoPspId), nullptr);
}

// AddEntry on a table holding ids 3 and 7 (lastId 7, clean).
struct AddEntryCase {
    const char* name;
    std::uint32_t id;
    bool inserted;
    std::uint32_t lastId;
};

class AddEntryTest : public ::testing::TestWithParam<AddEntryCase> {};

TEST_P(AddEntryTest, KeepsLastIdAndDirtyItself) {
    ProcessSourcePathTable table;
    table.LoadFromBytes(Records({Record(u"three", 3), Record(u"seven", 7)}));
    ASSERT_EQ(table.lastId, 7u);
    EXPECT_EQ(table.AddEntry(GetParam().id, u"new"), GetParam().inserted);
    EXPECT_EQ(table.lastId, GetParam().lastId);
    EXPECT_EQ(table.dirty, GetParam().inserted);
    const std::u16string* path = table.PathOf(GetParam().id);
    if (GetParam().inserted) {
        ASSERT_NE(path, nullptr);
        EXPECT_EQ(*path, u"new");
    } else if (path != nullptr) {
        EXPECT_NE(*path, u"new") << "an existing entry is kept";
    }
}

INSTANTIATE_TEST_SUITE_P(Ids, AddEntryTest,
                         ::testing::Values(AddEntryCase{"AboveLastId", 9, true, 9},
                                           AddEntryCase{"BelowLastId", 5, true, 7},
                                           AddEntryCase{"Existing", 3, false, 7},
                                           AddEntryCase{"NoEntryValue", kNoPspId, false, 7}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ProcessSourcePathTable, AddPathReusesEqualPathsAndNeverCollides) {
    ProcessSourcePathTable table;
    EXPECT_EQ(table.AddPath(u"C:\\a.exe"), 0u);
    EXPECT_EQ(table.AddPath(u"C:\\A.EXE"), 0u);
    EXPECT_EQ(table.AddPath(u"C:\\b.exe"), 1u);
    EXPECT_EQ(table.lastId, 1u);
    // An entry added without lastId must not be overwritten by the next new id.
    table.Add(2, u"C:\\c.exe");
    EXPECT_EQ(table.AddPath(u"C:\\d.exe"), 3u);
    EXPECT_EQ(table.paths.at(2), u"C:\\c.exe");
    // Over-long paths are cut the way the file cuts them, so a second add finds the entry.
    const std::u16string longPath(400, u'L');
    const std::uint32_t id = table.AddPath(longPath);
    EXPECT_EQ(table.paths.at(id), std::u16string(259, u'L'));
    EXPECT_EQ(table.AddPath(longPath), id);
}

TEST(ProcessSourcePathTable, AddPathRefusesWhenTheIdSpaceIsUsedUp) {
    ProcessSourcePathTable table;
    table.Add(0xFFFFFFFE, u"top");
    table.lastId = 0xFFFFFFFE;
    EXPECT_EQ(table.AddPath(u"more"), kNoPspId);
    EXPECT_EQ(table.paths.size(), 1u);
    EXPECT_FALSE(table.dirty);
}

}  // namespace
}  // namespace keyrack
