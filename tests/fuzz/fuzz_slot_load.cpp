// Any byte string as a slot file: reading must not crash or over-read, and what was read must
// write back to a file that reads and writes the same again.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/null_desktop.h"
#include "platform/text.h"
#include "slots/slot.h"

namespace {

// Hands out distinct icons so that every item owns a real handle to destroy.
class IconDesktop : public keyrack::NullDesktop {
  public:
    keyrack::IconHandle ExtractFileIcon(std::u16string_view path, unsigned) override {
        return path.empty() ? 0 : ++m_next;
    }
    keyrack::IconHandle LoadApplicationIcon() override { return ++m_next; }
    void DestroyIcon(keyrack::IconHandle) override { ++destroyed; }
    std::size_t destroyed = 0;
    std::size_t Made() const { return m_next; }

  private:
    keyrack::IconHandle m_next = 0;
};

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace keyrack;
    IconDesktop desktop;
    const StorePaths nowhere{"/nonexistent/keyrack-fuzz"};
    {
        Slot first(0, nowhere);
        first.psp.Add(0, u"C:\\a.exe");
        first.LoadFromBytes({data, size});
        // The announced records that the input holds whole, no more.
        const auto countByte = static_cast<std::int8_t>(size > 0 ? data[0] : 0);
        const std::size_t announced = countByte > 0 ? static_cast<std::size_t>(countByte) : 0;
        const std::size_t whole =
            size > kSlotHeaderSize ? (size - kSlotHeaderSize) / kSlotItemSize : 0;
        Check(first.items.size() == std::min(announced, whole));
        // A load reads no icons; the editor asks for them.
        for (const auto& item : first.items) Check(item->icon.Get() == 0);
        first.LoadIcons(desktop);
        for (std::size_t k = 0; k < first.items.size(); ++k) {
            Check(first.items[k]->window == 0);
            Check(first.items[k]->icon.Get() != 0);
            Check(first.items[k]->path.size() <= kPathCapacity);
            Check(first.items[k]->name.size() <= kItemNameCapacity);
        }
        Check(first.name.size() <= kSlotNameCapacity);

        const auto written = first.ToBytes();
        Check(written.has_value());
        Check(written->size() == kSlotHeaderSize + kSlotItemSize * first.items.size());

        Slot second(0, nowhere);
        second.LoadFromBytes(*written);
        Check(second.items.size() == first.items.size());
        for (std::size_t k = 0; k < first.items.size(); ++k) {
            const SlotItem& a = *first.items[k];
            const SlotItem& b = *second.items[k];
            Check(a.pspId == b.pspId && a.maximize == b.maximize && a.x == b.x && a.y == b.y &&
                  a.width == b.width && a.height == b.height && a.reserved == b.reserved &&
                  a.index == b.index);
            Check(b.path == a.path.substr(0, FittedLength(a.path, kPathCapacity)));
            Check(b.name == a.name.substr(0, FittedLength(a.name, kItemNameCapacity)));
        }
        // Icons differ between the two reads; with them equal the images must be too.
        for (std::size_t k = 0; k < first.items.size(); ++k) {
            second.items[k]->icon = std::move(first.items[k]->icon);
        }
        const auto rewritten = second.ToBytes();
        Check(rewritten.has_value() && *rewritten == *written);
    }
    Check(desktop.destroyed == desktop.Made());
    return 0;
}
