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
    // The process that owned `handle` when the slot manager took the pair in (0: not known yet):
    // Windows hands a closed window's handle value to later windows, of any program.
    std::uint32_t processId = 0;
    // What the pair says of the slot; the process id only vouches for the handle.
    friend bool operator==(const HandleMaxiPair& a, const HandleMaxiPair& b) {
        return a.handle == b.handle && a.maximize == b.maximize && a.minimized == b.minimized;
    }
};

using WindowList = std::vector<HandleMaxiPair>;

}  // namespace keyrack
