#include "editor/editor_state.h"

#include <algorithm>

#include "editor/field_text.h"
#include "platform/text.h"

namespace keyrack {

namespace {

// Titles read at Save: longer ones are cut to the name field below.
inline constexpr std::size_t kSaveTitleCapacity = 1024;

bool NamesProgram(std::u16string_view path) {
    constexpr std::u16string_view kExe = u".exe";
    return path.size() > kExe.size() && path.find(u"://") == std::u16string_view::npos &&
           EqualsNoCase(path.substr(path.size() - kExe.size()), kExe);
}

void Renumber(Slot& slot) {
    std::int8_t k = 0;
    for (const auto& item : slot.items) item->index = k++;
}

}  // namespace

EditorState::EditorState(Slot& slot, Desktop& desktop, EditorView& view, PreviewModel& preview,
                         EditorSession& session)
    : m_slot(slot), m_desktop(desktop), m_view(view), m_preview(preview), m_session(session) {}

std::u16string EditorState::Open() {
    if (!m_slot.Load()) return DefaultSlotName(m_slot.index);
    m_slot.LoadIcons(m_desktop);
    Renumber(m_slot);
    m_view.RebuildList(m_slot.items);
    return m_slot.name;
}

void EditorState::Apply(const CaptureSample& sample) {
    if (sample.rightDown) {
        if (m_mode == EditMode::New) {
            DiscardNewItem();
        } else if (m_item != nullptr) {
            m_item = nullptr;
            m_preview.Select(nullptr);
            m_view.RepaintPreview();
        }
        m_view.ClearFields();
    }
    if (sample.ignored) {
        m_tracked.reset();  // the editor (or a window left alone) is in front: tracking pauses
        return;
    }
    if (sample.leftDown) {
        if (sample.window == 0) {
            m_session.lastCaptured = 0;
            return;
        }
        Capture(sample);
        if (m_item != nullptr) m_view.ShowItem(*m_item);
    }
    if (sample.window == 0) {
        m_tracked.reset();
        return;
    }
    Track(sample);
}

void EditorState::Capture(const CaptureSample& sample) {
    // The id of an equal path already in the table, or a new entry after the table's last id
    // that marks the table changed.
    const std::uint32_t pspId = m_slot.psp.AddPath(sample.path);
    if (sample.window == m_session.lastCaptured) return;
    m_session.lastCaptured = sample.window;
    DiscardNewItem();
    m_mode = EditMode::New;

    auto item = std::make_unique<SlotItem>();
    // The table keeps the image path the search looks for; a packaged app launches by its
    // shell target.
    item->path = sample.launchPath.empty() ? sample.path : sample.launchPath;
    item->fileName = FileNameOf(sample.path);
    item->name = sample.title;
    item->x = sample.rect.left;
    item->y = sample.rect.top;
    item->width = sample.rect.Width();
    item->height = sample.rect.Height();
    item->maximize = sample.maximized ? 1 : 0;
    item->pspId = pspId;
    item->window = sample.window;
    IconHandle icon = m_desktop.ExtractFileIcon(sample.path, 0);
    if (icon == 0) icon = m_desktop.LoadApplicationIcon();
    item->icon = UniqueIcon(icon, m_desktop);
    m_newItem = std::move(item);
    m_item = m_newItem.get();
    m_tracked.reset();
}

void EditorState::Track(const CaptureSample& sample) {
    if (m_item == nullptr || m_mode != EditMode::New) {
        m_tracked.reset();
        return;
    }
    const Tracked now{sample.window, sample.rect, sample.maximized};
    if (m_tracked == now) return;  // the same picture: no field or preview update
    m_tracked = now;
    m_item->x = sample.rect.left;
    m_item->y = sample.rect.top;
    m_item->width = sample.rect.Width();
    m_item->height = sample.rect.Height();
    m_item->maximize = sample.maximized ? 1 : 0;
    m_view.ShowPosition(*m_item);
    m_preview.SetItemRect(*m_item);
    m_preview.Select(m_item);
    m_view.RepaintPreview();
}

void EditorState::DiscardNewItem() {
    if (m_mode != EditMode::New || m_item == nullptr) return;
    m_preview.RemoveItem(*m_item);
    m_preview.Select(nullptr);
    m_view.RepaintPreview();
    m_item = nullptr;
    m_newItem.reset();
    m_tracked.reset();
}

void EditorState::Save() {
    if (m_item == nullptr) return;
    // A full slot takes no more items (its file could not hold them); the new item stays.
    if (m_mode == EditMode::New && m_slot.items.size() >= kMaxSlotItems) return;
    const ItemFields fields = m_view.ReadFields();
    const std::pair<const std::u16string*, PositionField> positions[] = {
        {&fields.x, PositionField::kX},
        {&fields.y, PositionField::kY},
        {&fields.width, PositionField::kWidth},
        {&fields.height, PositionField::kHeight}};
    for (const auto& [text, field] : positions) {
        const bool coordinate = field == PositionField::kX || field == PositionField::kY;
        if (!IsPositionInRange(*text, coordinate)) {
            m_view.RefusePosition(field);
            return;
        }
    }
    SlotItem& item = *m_item;
    item.maximize = fields.maximize ? 1 : 0;
    const std::u16string path = FitField(fields.path, kPathCapacity);
    // A path edited to another program is searched by that program's own image path; a document,
    // a URL, a folder or a shell target keeps the id of the program that showed it.
    if (path != item.path && NamesProgram(path)) item.pspId = m_slot.psp.AddPath(path);
    item.path = path;
    // The window's current title; the name shown stays when the window has closed since.
    const bool windowAlive =
        item.window != 0 && m_desktop.GetWindowThreadProcessId(item.window, nullptr) != 0;
    item.name = FitField(
        windowAlive ? m_desktop.GetWindowTitle(item.window, kSaveTitleCapacity) : fields.name,
        kItemNameCapacity);
    item.parameters = FitField(fields.parameters, kParametersCapacity);
    item.x = ParseSignedNumber(fields.x);
    item.y = ParseSignedNumber(fields.y);
    item.width = ParseSignedNumber(fields.width);
    item.height = ParseSignedNumber(fields.height);
    if (m_mode == EditMode::New) {
        item.index = static_cast<std::int8_t>(m_slot.items.size());
        m_slot.items.push_back(std::move(m_newItem));
        m_view.AppendListEntry(item);
    }
    m_item = nullptr;
    m_tracked.reset();
    m_view.ClearFields();
}

void EditorState::Remove() {
    if (m_mode != EditMode::Existing || m_item == nullptr) return;
    SlotItem* removed = std::exchange(m_item, nullptr);
    m_preview.RemoveItem(*removed);
    m_preview.Select(nullptr);
    const auto at = std::find_if(m_slot.items.begin(), m_slot.items.end(),
                                 [&](const auto& item) { return item.get() == removed; });
    if (at != m_slot.items.end()) m_slot.items.erase(at);
    Renumber(m_slot);
    m_view.RebuildList(m_slot.items);
    m_view.ClearFields();
    m_view.RepaintPreview();
}

void EditorState::OpenEntry(int entry) {
    if (entry < 0 || static_cast<std::size_t>(entry) >= m_slot.items.size()) return;
    DiscardNewItem();
    m_item = m_slot.items[static_cast<std::size_t>(entry)];
    m_view.ShowItem(*m_item);
    m_mode = EditMode::Existing;
    m_preview.Select(m_item);
    m_view.RepaintPreview();
}

void EditorState::Confirm(std::u16string_view slotName) {
    m_slot.name = FitField(slotName, kSlotNameCapacity);
}

}  // namespace keyrack
