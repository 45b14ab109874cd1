// The open windows of a deployed or edited slot.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/desktop.h"

namespace keyrack {

struct HandleMaxiPair {
    WindowHandle handle = 0;
    std::uint8_t maximize = 0;
    std::uint8_t minimized = 0;
    friend bool operator==(const HandleMaxiPair&, const HandleMaxiPair&) = default;
};

using WindowList = std::vector<HandleMaxiPair>;

}  // namespace keyrack
