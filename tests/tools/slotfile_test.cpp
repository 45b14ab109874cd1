// slotfile: JSON to slot files and back, table entries made as the editor makes them, and
// refusal of bad input without touching any file.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "slots/slot.h"
#include "tests/slots/slot_test_support.h"
#include "tools/slotfile/slotfile.h"

namespace keyrack {
namespace {

using Json = nlohmann::json;
using testing::IconCountingDesktop;
using testing::ReadBytes;
using testing::TempFolder;

struct Outcome {
    int exitCode;
    std::string out;
    std::string err;
};

Outcome RunTool(std::vector<std::string> args, const std::string& input = "") {
    std::istringstream in(input);
    std::ostringstream out, err;
    const int code = slotfile::Run(args, in, out, err);
    return {code, out.str(), err.str()};
}

class SlotfileTest : public ::testing::Test {
  protected:
    std::string Dir() const { return folder.Path().string(); }
    Outcome Make(int n, const std::string& json) {
        return RunTool({"make", Dir(), std::to_string(n)}, json);
    }
    Json Dump(int n) {
        const Outcome outcome = RunTool({"dump", Dir(), std::to_string(n)});
        EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
        return Json::parse(outcome.out);
    }
    // Every file of the folder with its bytes.
    std::map<std::string, std::vector<std::uint8_t>> Snapshot() const {
        std::map<std::string, std::vector<std::uint8_t>> files;
        for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) {
            files[entry.path().filename().string()] = ReadBytes(entry.path());
        }
        return files;
    }

    TempFolder folder;
    IconCountingDesktop desktop;
};

TEST_F(SlotfileTest, MakeThenDumpGivesEveryFieldBack) {
    const Json input = {{"name", "\xEC\x9E\x91\xEC\x97\x85 work"},  // Hangul
                        {"items",
                         {{{"path", "C:\\Program Files\\App\\app.exe"},
                           {"fileName", "custom.exe"},
                           {"parameters", "--x \"y\""},
                           {"name", "\xF0\x9F\x98\x80 title"},  // a character outside the BMP
                           {"pspId", 9},
                           {"processPath", "C:\\Program Files\\App\\app.exe"},
                           {"maximize", 1},
                           {"x", -1920},
                           {"y", -2147483648ll},
                           {"width", 2147483647},
                           {"height", 1040},
                           {"reserved", 7},
                           {"index", 5}},
                          {{"path", "C:\\w\\notepad.exe"}, {"maximize", true}}}}};
    const Outcome made = Make(12, input.dump());
    ASSERT_EQ(made.exitCode, 0) << made.err;
    EXPECT_TRUE(made.err.empty());

    const Json dumped = Dump(12);
    EXPECT_EQ(dumped["name"], input["name"]);
    ASSERT_EQ(dumped["items"].size(), 2u);
    const Json& first = dumped["items"][0];
    for (const char* key : {"path", "fileName", "parameters", "name", "pspId", "processPath",
                            "maximize", "x", "y", "width", "height", "reserved", "index"}) {
        EXPECT_EQ(first[key], input["items"][0][key]) << key;
    }
    const Json& second = dumped["items"][1];
    EXPECT_EQ(second["fileName"], "notepad.exe");
    EXPECT_EQ(second["parameters"], "");
    EXPECT_EQ(second["maximize"], 1);
    EXPECT_EQ(second["pspId"], 4294967295ll);
    EXPECT_TRUE(second["processPath"].is_null());
    EXPECT_EQ(second["reserved"], 255);
    EXPECT_EQ(second["index"], 1);

    // The file itself is the slot format: read it with the store.
    const auto bytes = ReadBytes(folder.Path() / "12.slot");
    EXPECT_EQ(bytes.size(), 513u + 2 * 3631u);
    Slot slot(11, folder.Store());
    ASSERT_TRUE(slot.Load());
    EXPECT_EQ(slot.items[0]->name, u"\U0001F600 title");
    EXPECT_EQ(slot.items[0]->y, INT32_MIN);
    ASSERT_NE(slot.psp.PathOf(9), nullptr);
    EXPECT_EQ(*slot.psp.PathOf(9), u"C:\\Program Files\\App\\app.exe");
    EXPECT_EQ(slot.psp.lastId, 9u);

    // Dump output is valid make input and reproduces the same bytes.
    const Outcome again = Make(12, dumped.dump());
    ASSERT_EQ(again.exitCode, 0) << again.err;
    EXPECT_EQ(ReadBytes(folder.Path() / "12.slot"), bytes);
}

TEST_F(SlotfileTest, ProcessPathFindsOrAddsItsTableEntryAsTheEditorDoes) {
    {
        ProcessSourcePathTable table;
        table.AddEntry(3, u"C:\\Windows\\Notepad.exe");
        table.AddEntry(6, u"C:\\other.exe");
        ASSERT_TRUE(table.Save(folder.Store()));
    }
    const auto tableBefore = ReadBytes(folder.Path() / "processsourcepath");
    ASSERT_EQ(Make(1, R"({"items":[{"processPath":"c:\\windows\\NOTEPAD.exe"}]})").exitCode, 0);
    EXPECT_EQ(Dump(1)["items"][0]["pspId"], 3);
    EXPECT_EQ(ReadBytes(folder.Path() / "processsourcepath"), tableBefore)
        << "an unchanged table is not rewritten";

    ASSERT_EQ(Make(2, R"({"items":[{"processPath":"C:\\new.exe"},{"processPath":"C:\\NEW.exe"},
                                   {"processPath":"C:\\third.exe"}]})")
                  .exitCode,
              0);
    const Json two = Dump(2);
    EXPECT_EQ(two["items"][0]["pspId"], 7);
    EXPECT_EQ(two["items"][1]["pspId"], 7);
    EXPECT_EQ(two["items"][2]["pspId"], 8);
    ProcessSourcePathTable table;
    table.Load(folder.Store());
    EXPECT_EQ(table.paths.size(), 4u);
    EXPECT_EQ(table.lastId, 8u);
    EXPECT_EQ(table.paths.at(3), u"C:\\Windows\\Notepad.exe");
}

TEST_F(SlotfileTest, PspIdWithProcessPathMustAgreeWithTheTable) {
    ASSERT_EQ(Make(1, R"({"items":[{"pspId":2,"processPath":"C:\\a.exe"}]})").exitCode, 0);
    EXPECT_EQ(Dump(1)["items"][0]["processPath"], "C:\\a.exe");
    EXPECT_EQ(Make(1, R"({"items":[{"pspId":2,"processPath":"C:\\A.EXE"}]})").exitCode, 0);
    const auto before = Snapshot();
    const Outcome clash = Make(1, R"({"items":[{"pspId":2,"processPath":"C:\\b.exe"}]})");
    EXPECT_EQ(clash.exitCode, 2);
    EXPECT_NE(clash.err.find("pspId 2"), std::string::npos) << clash.err;
    EXPECT_EQ(Snapshot(), before);
    // A pspId without a processPath is taken as it is, entry or not.
    ASSERT_EQ(Make(3, R"({"items":[{"pspId":77}]})").exitCode, 0);
    EXPECT_EQ(Dump(3)["items"][0]["pspId"], 77);
    EXPECT_TRUE(Dump(3)["items"][0]["processPath"].is_null());
}

TEST_F(SlotfileTest, EmptyInputObjectMakesAnEmptySlot) {
    ASSERT_EQ(Make(4, "{}").exitCode, 0);
    EXPECT_EQ(ReadBytes(folder.Path() / "4.slot"), std::vector<std::uint8_t>(513, 0));
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "processsourcepath"));
}

TEST_F(SlotfileTest, BadInputIsRefusedWithExitCode2AndNoFileChanged) {
    ASSERT_EQ(Make(1, R"({"name":"kept","items":[{"processPath":"C:\\kept.exe"}]})").exitCode, 0);
    const auto before = Snapshot();
    ASSERT_EQ(before.size(), 2u);
    auto items = [](const std::string& item) { return R"({"items":[)" + item + "]}"; };
    std::string many = R"({"items":[)";
    for (int k = 0; k < 128; ++k) many += std::string(k ? "," : "") + "{}";
    many += "]}";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"not JSON", "{"},
        {"empty input", ""},
        {"not an object", "[]"},
        {"unknown top field", R"({"nmae":"x"})"},
        {"name not a string", R"({"name":5})"},
        {"name too long", R"({"name":")" + std::string(256, 'n') + "\"}"},
        {"items not an array", R"({"items":{}})"},
        {"128 items", many},
        {"item not an object", items("3")},
        {"unknown item field", items(R"({"title":"x"})")},
        {"path too long", items(R"({"path":")" + std::string(260, 'p') + "\"}")},
        {"fileName too long", items(R"({"fileName":")" + std::string(256, 'f') + "\"}")},
        {"parameters too long", items(R"({"parameters":")" + std::string(1024, 'a') + "\"}")},
        {"item name too long", items(R"({"name":")" + std::string(256, 'n') + "\"}")},
        {"processPath too long", items(R"({"processPath":")" + std::string(260, 'p') + "\"}")},
        {"empty processPath", items(R"({"processPath":""})")},
        {"pspId negative", items(R"({"pspId":-1})")},
        {"pspId above 32 bits", items(R"({"pspId":4294967296})")},
        {"no-entry id with a path", items(R"({"pspId":4294967295,"processPath":"C:\\a"})")},
        {"x above int32", items(R"({"x":2147483648})")},
        {"y below int32", items(R"({"y":-2147483649})")},
        {"width a float", items(R"({"width":1.5})")},
        {"height a string", items(R"({"height":"10"})")},
        {"maximize 256", items(R"({"maximize":256})")},
        {"reserved -1", items(R"({"reserved":-1})")},
        {"index 128", items(R"({"index":128})")},
        {"huge number", items(R"({"x":18446744073709551616})")},
        {"invalid UTF-8", "{\"name\":\"\xC3\x28\"}"},
        {"second item bad after a new path",
         items(R"({"processPath":"C:\\fresh.exe"},{"x":true})")},
    };
    for (const auto& [label, json] : cases) {
        const Outcome outcome = Make(1, json);
        EXPECT_EQ(outcome.exitCode, 2) << label;
        EXPECT_FALSE(outcome.err.empty()) << label;
        EXPECT_EQ(Snapshot(), before) << label;
    }
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"make", Dir(), "0"},
                                               {"make", Dir(), "13"},
                                               {"make", Dir(), "1x"},
                                               {"make", Dir(), ""},
                                               {"dump", Dir(), "-1"},
                                               {"copy", Dir(), "1"},
                                               {"make", Dir()},
                                               {}}) {
        const Outcome outcome = RunTool(args, "{}");
        EXPECT_EQ(outcome.exitCode, 2) << ::testing::PrintToString(args);
        EXPECT_FALSE(outcome.err.empty());
        EXPECT_EQ(Snapshot(), before);
    }
}

TEST_F(SlotfileTest, OverflowingNumbersAndNulsAreRefusedNamingTheirField) {
    ASSERT_EQ(Make(1, R"({"name":"kept"})").exitCode, 0);
    const auto before = Snapshot();
    const std::string digits400(400, '7');
    const std::vector<std::pair<std::string, std::string>> cases = {
        {R"({"items":[{"x":1e400}]})", "items[0].x "},
        {R"({"items":[{},{"name":"a","y":)" + digits400 + "}]}", "items[1].y "},
        {R"({"items":[1e400]})", "items[0] "},
        {R"({"name":"a\u0000b"})", "name "},
        {R"({"items":[{"path":"C:\\a\u0000b.exe"}]})", "items[0].path "},
    };
    for (const auto& [json, field] : cases) {
        const Outcome outcome = Make(1, json);
        EXPECT_EQ(outcome.exitCode, 2) << json;
        EXPECT_NE(outcome.err.find("slotfile: " + field), std::string::npos) << outcome.err;
        EXPECT_EQ(Snapshot(), before) << json;
    }
}

TEST_F(SlotfileTest, DumpOfAMissingSlotFailsWithExitCode1) {
    const Outcome outcome = RunTool({"dump", Dir(), "5"});
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_NE(outcome.err.find("5.slot"), std::string::npos);
    EXPECT_TRUE(outcome.out.empty());
}

TEST_F(SlotfileTest, HelpDescribesTheJsonShape) {
    const Outcome outcome = RunTool({"--help"});
    EXPECT_EQ(outcome.exitCode, 0);
    for (const char* word : {"processPath", "pspId", "maximize", "reserved", "index", "127"}) {
        EXPECT_NE(outcome.out.find(word), std::string::npos) << word;
    }
}

// The executable itself, as the demo and the end-to-end tests run it.
int Shell(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(SlotfileTest, ExecutableMakesCreatesTheFolderAndDumps) {
    const std::string exe = SLOTFILE_EXE;
    const auto data = folder.Path() / "demo" / "data";
    const auto input = folder.Path() / "in.json";
    std::ofstream(input)
        << R"({"name":"Demo","items":[{"path":"C:\\windows\\system32\\notepad.exe",)"
           R"("processPath":"C:\\windows\\system32\\notepad.exe",)"
           R"("name":"Untitled - Notepad","x":0,"y":0,"width":960,"height":1040}]})";
    EXPECT_EQ(Shell("'" + exe + "' make '" + data.string() + "' 1 < '" + input.string() + "'"), 0);
    const auto output = folder.Path() / "out.json";
    EXPECT_EQ(Shell("'" + exe + "' dump '" + data.string() + "' 1 > '" + output.string() + "'"), 0);
    std::ifstream in(output);
    const Json dumped = Json::parse(in);
    EXPECT_EQ(dumped["items"][0]["fileName"], "notepad.exe");
    EXPECT_EQ(dumped["items"][0]["pspId"], 0);
    EXPECT_EQ(dumped["items"][0]["width"], 960);
    EXPECT_EQ(
        Shell("echo '{\"items\":5}' | '" + exe + "' make '" + data.string() + "' 1 2>/dev/null"),
        2);
}

}  // namespace
}  // namespace keyrack
