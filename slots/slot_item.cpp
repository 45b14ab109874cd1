#include "slots/slot_item.h"

#include "slots/byte_image.h"

namespace keyrack {

using namespace item_offset;

ItemImage SlotItem::ToImage() const {
    ItemImage image{};
    const std::span<std::uint8_t> bytes(image);
    image::PutText(bytes, kPath, kPathCapacity, path);
    image::PutText(bytes, kFileName, kFileNameCapacity, fileName);
    image::PutText(bytes, kParameters, kParametersCapacity, parameters);
    image::PutText(bytes, kName, kItemNameCapacity, name);
    image::PutLe<std::uint32_t>(bytes, kPspId, pspId);
    image::PutLe<std::uint8_t>(bytes, kMaximize, maximize);
    image::PutLe<std::int32_t>(bytes, kX, x);
    image::PutLe<std::int32_t>(bytes, kY, y);
    image::PutLe<std::int32_t>(bytes, kWidth, width);
    image::PutLe<std::int32_t>(bytes, kHeight, height);
    image::PutLe<std::uint8_t>(bytes, kReserved, reserved);
    image::PutLe<std::uint64_t>(bytes, kWindow, window);
    image::PutLe<std::uint64_t>(bytes, kIcon, icon.Get());
    image::PutLe<std::int8_t>(bytes, kIndex, index);
    return image;
}

SlotItem SlotItem::FromImage(std::span<const std::uint8_t, kSlotItemSize> image) {
    const std::span<const std::uint8_t> bytes(image);
    SlotItem item;
    item.path = image::GetText(bytes, kPath, kPathCapacity);
    item.fileName = image::GetText(bytes, kFileName, kFileNameCapacity);
    item.parameters = image::GetText(bytes, kParameters, kParametersCapacity);
    item.name = image::GetText(bytes, kName, kItemNameCapacity);
    item.pspId = image::GetLe<std::uint32_t>(bytes, kPspId);
    item.maximize = image::GetLe<std::uint8_t>(bytes, kMaximize);
    item.x = image::GetLe<std::int32_t>(bytes, kX);
    item.y = image::GetLe<std::int32_t>(bytes, kY);
    item.width = image::GetLe<std::int32_t>(bytes, kWidth);
    item.height = image::GetLe<std::int32_t>(bytes, kHeight);
    item.reserved = image::GetLe<std::uint8_t>(bytes, kReserved);
    item.window = static_cast<WindowHandle>(image::GetLe<std::uint64_t>(bytes, kWindow));
    item.index = image::GetLe<std::int8_t>(bytes, kIndex);
    return item;
}

}  // namespace keyrack
