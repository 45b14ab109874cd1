#include "tools/slotfile/slotfile.h"

#include <charconv>
#include <functional>
#include <istream>
#include <iterator>
#include <limits>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <set>
#include <stdexcept>

#include "platform/text.h"
#include "slots/path_table.h"
#include "slots/slot.h"

namespace keyrack::slotfile {
namespace {

using Json = nlohmann::json;
using OrderedJson = nlohmann::ordered_json;

struct InputError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

constexpr const char* kUsage =
    "usage: slotfile dump DATA_DIR N     print slot N (1..12) as JSON\n"
    "       slotfile make DATA_DIR N     write slot N from JSON on standard input\n"
    "\n"
    "JSON: {\"name\": \"...\", \"items\": [{\"path\", \"fileName\", \"parameters\", \"name\",\n"
    "       \"pspId\", \"processPath\", \"maximize\", \"x\", \"y\", \"width\", \"height\",\n"
    "       \"reserved\", \"index\"}, ...]}\n"
    "  texts: path <= 259 UTF-16 units, fileName/name <= 255, parameters <= 1023,\n"
    "         slot name <= 255, processPath <= 259 (or null); at most 127 items\n"
    "  numbers: pspId 0..4294967295, x/y/width/height signed 32-bit, maximize 0..255 or\n"
    "           true/false, reserved 0..255 (default 255), index -128..127 (default position)\n"
    "  processPath without pspId: the id of the table entry with an equal path (case\n"
    "  ignored) or a new entry lastId + 1; with pspId: that entry, added when missing.\n"
    "  fileName defaults to the path after its last backslash; pspId without either\n"
    "  is 4294967295 (no entry).\n"
    "exit codes: 0 done, 1 file error, 2 bad arguments or input (nothing written)\n";

std::string Utf8Of(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::optional<int> ParseSlotNumber(const std::string& text) {
    int n = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (ec != std::errc() || end != text.data() + text.size() || n < 1 || n > kSlotCount) {
        return std::nullopt;
    }
    return n;
}

OrderedJson DumpSlot(const Slot& slot) {
    OrderedJson items = OrderedJson::array();
    for (const auto& item : slot.items) {
        OrderedJson entry;
        entry["path"] = Utf16ToUtf8(item->path);
        entry["fileName"] = Utf16ToUtf8(item->fileName);
        entry["parameters"] = Utf16ToUtf8(item->parameters);
        entry["name"] = Utf16ToUtf8(item->name);
        entry["pspId"] = item->pspId;
        if (const std::u16string* path = slot.psp.PathOf(item->pspId)) {
            entry["processPath"] = Utf16ToUtf8(*path);
        } else {
            entry["processPath"] = nullptr;
        }
        entry["maximize"] = item->maximize;
        entry["x"] = item->x;
        entry["y"] = item->y;
        entry["width"] = item->width;
        entry["height"] = item->height;
        entry["reserved"] = item->reserved;
        entry["index"] = item->index;
        items.push_back(std::move(entry));
    }
    OrderedJson document;
    document["name"] = Utf16ToUtf8(slot.name);
    document["items"] = std::move(items);
    return document;
}

// --- Reading the JSON ---

std::u16string Text(const Json& value, const std::string& where, std::size_t capacity) {
    if (!value.is_string()) throw InputError(where + " must be a string");
    const std::u16string text = Utf8ToUtf16(value.get_ref<const std::string&>());
    // The file ends a text at its first NUL: the rest would be lost without a word.
    if (text.find(u'\0') != std::u16string::npos)
        throw InputError(where + " must not contain a NUL (\\u0000)");
    if (text.size() > capacity - 1) {
        throw InputError(where + " is " + std::to_string(text.size()) +
                         " UTF-16 units long; at most " + std::to_string(capacity - 1) + " fit");
    }
    return text;
}

std::int64_t Integer(const Json& value, const std::string& where, std::int64_t min,
                     std::int64_t max) {
    if (!value.is_number_integer()) throw InputError(where + " must be an integer");
    bool inRange = false;
    std::int64_t n = 0;
    if (value.is_number_unsigned()) {
        const auto u = value.get<std::uint64_t>();
        inRange = u <= static_cast<std::uint64_t>(max);
        n = inRange ? static_cast<std::int64_t>(u) : 0;
    } else {
        n = value.get<std::int64_t>();
        inRange = n >= min && n <= max;
    }
    if (!inRange) {
        throw InputError(where + " must be in " + std::to_string(min) + ".." + std::to_string(max));
    }
    return n;
}

void RefuseUnknownKeys(const Json& object, const std::set<std::string>& known,
                       const std::string& where) {
    for (const auto& [key, value] : object.items()) {
        if (known.count(key) == 0)
            throw InputError(where + " has an unknown field \"" + key + "\"");
    }
}

struct ParsedItem {
    SlotItem item;
    bool hasPspId = false;
    std::optional<std::u16string> processPath;
};

struct ParsedSlot {
    std::u16string name;
    std::vector<ParsedItem> items;
};

ParsedItem ParseItem(const Json& value, std::size_t position) {
    const std::string where = "items[" + std::to_string(position) + "]";
    if (!value.is_object()) throw InputError(where + " must be an object");
    RefuseUnknownKeys(value,
                      {"path", "fileName", "parameters", "name", "pspId", "processPath", "maximize",
                       "x", "y", "width", "height", "reserved", "index"},
                      where);
    ParsedItem parsed;
    SlotItem& item = parsed.item;
    item.index = static_cast<std::int8_t>(position);
    item.reserved = 0xFF;
    item.pspId = kNoPspId;
    const auto field = [&](const char* key) -> const Json* {
        const auto found = value.find(key);
        return found == value.end() ? nullptr : &*found;
    };
    const auto at = [&](const char* key) { return where + "." + key; };

    if (const Json* v = field("path")) item.path = Text(*v, at("path"), kPathCapacity);
    if (const Json* v = field("fileName")) {
        item.fileName = Text(*v, at("fileName"), kFileNameCapacity);
    } else {
        const auto slash = item.path.rfind(u'\\');
        item.fileName = slash == std::u16string::npos ? item.path : item.path.substr(slash + 1);
        item.fileName.resize(FittedLength(item.fileName, kFileNameCapacity));
    }
    if (const Json* v = field("parameters")) {
        item.parameters = Text(*v, at("parameters"), kParametersCapacity);
    }
    if (const Json* v = field("name")) item.name = Text(*v, at("name"), kItemNameCapacity);
    if (const Json* v = field("pspId")) {
        item.pspId = static_cast<std::uint32_t>(Integer(*v, at("pspId"), 0, 0xFFFFFFFFll));
        parsed.hasPspId = true;
    }
    if (const Json* v = field("processPath"); v && !v->is_null()) {
        parsed.processPath = Text(*v, at("processPath"), kPathCapacity);
        if (parsed.processPath->empty()) throw InputError(at("processPath") + " must not be empty");
    }
    if (const Json* v = field("maximize")) {
        item.maximize = v->is_boolean()
                            ? std::uint8_t(v->get<bool>())
                            : static_cast<std::uint8_t>(Integer(*v, at("maximize"), 0, 255));
    }
    constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    if (const Json* v = field("x"))
        item.x = static_cast<std::int32_t>(Integer(*v, at("x"), kMin, kMax));
    if (const Json* v = field("y"))
        item.y = static_cast<std::int32_t>(Integer(*v, at("y"), kMin, kMax));
    if (const Json* v = field("width")) {
        item.width = static_cast<std::int32_t>(Integer(*v, at("width"), kMin, kMax));
    }
    if (const Json* v = field("height")) {
        item.height = static_cast<std::int32_t>(Integer(*v, at("height"), kMin, kMax));
    }
    if (const Json* v = field("reserved")) {
        item.reserved = static_cast<std::uint8_t>(Integer(*v, at("reserved"), 0, 255));
    }
    if (const Json* v = field("index")) {
        item.index = static_cast<std::int8_t>(Integer(*v, at("index"), -128, 127));
    }
    return parsed;
}

// Follows the parser through the document, so that a number too large for any field can be
// reported with the name of the field that holds it ("items[2].x").
class JsonPosition {
  public:
    bool operator()(int /*depth*/, Json::parse_event_t event, Json& parsed) {
        switch (event) {
            case Json::parse_event_t::object_start:
            case Json::parse_event_t::array_start:
                m_frames.push_back({event == Json::parse_event_t::array_start, 0, {}});
                break;
            case Json::parse_event_t::key:
                m_frames.back().key = parsed.get<std::string>();
                break;
            case Json::parse_event_t::object_end:
            case Json::parse_event_t::array_end:
                m_frames.pop_back();
                NextElement();
                break;
            case Json::parse_event_t::value:
                NextElement();
                break;
        }
        return true;
    }

    std::string Where() const {
        std::string where;
        for (const Frame& frame : m_frames) {
            if (frame.array)
                where += "[" + std::to_string(frame.index) + "]";
            else if (!frame.key.empty())
                where += (where.empty() ? "" : ".") + frame.key;
        }
        return where.empty() ? "the slot" : where;
    }

  private:
    struct Frame {
        bool array;
        std::size_t index;
        std::string key;
    };
    void NextElement() {
        if (!m_frames.empty() && m_frames.back().array) ++m_frames.back().index;
    }
    std::vector<Frame> m_frames;
};

ParsedSlot ParseSlot(const std::string& text) {
    Json document;
    JsonPosition position;
    try {
        document = Json::parse(text, std::ref(position));
    } catch (const Json::parse_error& error) {
        throw InputError(std::string("not valid JSON: ") + error.what());
    } catch (const Json::out_of_range&) {
        throw InputError(position.Where() + " is a number too large for its field");
    }
    if (!document.is_object()) throw InputError("the slot must be a JSON object");
    RefuseUnknownKeys(document, {"name", "items"}, "the slot");
    ParsedSlot slot;
    if (const auto name = document.find("name"); name != document.end()) {
        slot.name = Text(*name, "name", kSlotNameCapacity);
    }
    if (const auto items = document.find("items"); items != document.end()) {
        if (!items->is_array()) throw InputError("items must be an array");
        if (items->size() > kMaxSlotItems) {
            throw InputError("items holds " + std::to_string(items->size()) + " items; at most " +
                             std::to_string(kMaxSlotItems) + " fit a slot");
        }
        for (std::size_t k = 0; k < items->size(); ++k)
            slot.items.push_back(ParseItem((*items)[k], k));
    }
    return slot;
}

// Gives every item its table entry, on a copy of the table so that a refusal changes nothing.
ProcessSourcePathTable ResolveProcessPaths(std::vector<ParsedItem>& items,
                                           ProcessSourcePathTable table) {
    for (std::size_t k = 0; k < items.size(); ++k) {
        ParsedItem& parsed = items[k];
        if (!parsed.processPath) continue;
        const std::string where = "items[" + std::to_string(k) + "]";
        const std::u16string& path = *parsed.processPath;
        if (!parsed.hasPspId) {
            parsed.item.pspId = table.AddPath(path);
            if (parsed.item.pspId == kNoPspId) throw InputError(where + ": no psp id is left");
            continue;
        }
        const std::uint32_t id = parsed.item.pspId;
        if (id == kNoPspId) {
            throw InputError(where +
                             ": pspId 4294967295 means no entry and can't have a processPath");
        }
        if (const std::u16string* existing = table.PathOf(id)) {
            if (!EqualsNoCase(*existing, path)) {
                throw InputError(where + ": pspId " + std::to_string(id) + " is \"" +
                                 Utf16ToUtf8(*existing) +
                                 "\" in the table, not the processPath given");
            }
            continue;
        }
        table.AddEntry(id, path);
    }
    return table;
}

int Dump(const StorePaths& store, int number, std::ostream& out, std::ostream& err) {
    const auto file = store.SlotFile(number - 1);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
        err << "slotfile: no slot file at " << Utf8Of(file) << "\n";
        return kExitFile;
    }
    Slot slot(number - 1, store);
    if (!slot.Load()) {
        err << "slotfile: can't read " << Utf8Of(file) << "\n";
        return kExitFile;
    }
    out << DumpSlot(slot).dump(2) << "\n";
    return kExitOk;
}

int Make(const StorePaths& store, int number, std::istream& in, std::ostream& err) {
    const std::string text(std::istreambuf_iterator<char>(in), {});
    ParsedSlot parsed;
    ProcessSourcePathTable table;
    Slot slot(number - 1, store);
    try {
        parsed = ParseSlot(text);
        table = ResolveProcessPaths(parsed.items, slot.psp);
    } catch (const InputError& error) {
        err << "slotfile: " << error.what() << "\n";
        return kExitBadInput;
    }
    slot.psp = std::move(table);
    slot.name = std::move(parsed.name);
    for (auto& item : parsed.items)
        slot.items.push_back(std::make_unique<SlotItem>(std::move(item.item)));

    std::error_code ec;
    std::filesystem::create_directories(store.dataFolder, ec);
    if (ec) {
        err << "slotfile: can't create " << Utf8Of(store.dataFolder) << ": " << ec.message()
            << "\n";
        return kExitFile;
    }
    // The table first, under the lock Keyrack's own writers take: a slot never refers to entries
    // that are not on disk, and new entries get ids no slot and no entry uses.
    PathTable shared(store);
    if (const StoreOutcome outcome = shared.SaveSlot(slot); !outcome.Written()) {
        err << "slotfile: can't write " << Utf8Of(outcome.file) << ": "
            << Utf16ToUtf8(SystemErrorText(outcome.error)) << "\n";
        return kExitFile;
    }
    slot.Release();
    return kExitOk;
}

}  // namespace

int Run(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
        std::ostream& err) {
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        out << kUsage;
        return kExitOk;
    }
    if (args.size() != 3 || (args[0] != "dump" && args[0] != "make")) {
        err << kUsage;
        return kExitBadInput;
    }
    const auto number = ParseSlotNumber(args[2]);
    if (!number) {
        err << "slotfile: the slot number must be 1..12, not \"" << args[2] << "\"\n";
        return kExitBadInput;
    }
    // The folder is UTF-8 on every system (a narrow path would take Windows' ANSI code page).
    const std::u8string folder(args[1].begin(), args[1].end());
    const StorePaths store{std::filesystem::path(folder)};
    try {
        return args[0] == "dump" ? Dump(store, *number, out, err) : Make(store, *number, in, err);
    } catch (const std::exception& error) {
        err << "slotfile: " << error.what() << "\n";
        return kExitFile;
    }
}

}  // namespace keyrack::slotfile
