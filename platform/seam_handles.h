// Owners of the handles the desktop seam hands out: each closes its handle through the same
// seam that opened it.
#pragma once

#include "platform/desktop.h"
#include "platform/unique_handle.h"

namespace keyrack {

// Closes a seam handle with the seam call Close (a member of Desktop). An owner made without
// a desktop closes nothing.
template <auto Close>
class SeamCloser {
  public:
    SeamCloser() = default;
    SeamCloser(Desktop& desktop) : m_desktop(&desktop) {}  // NOLINT: converts on purpose

    template <typename Handle>
    void operator()(Handle handle) const {
        if (m_desktop != nullptr) (m_desktop->*Close)(handle);
    }

  private:
    Desktop* m_desktop = nullptr;
};

using UniqueIcon = UniqueHandle<IconHandle, SeamCloser<&Desktop::DestroyIcon>>;
using UniqueProcess = UniqueHandle<ProcessHandle, SeamCloser<&Desktop::CloseHandle>>;

}  // namespace keyrack
