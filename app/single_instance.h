// One Keyrack per user session: a second start would add a second tray icon and find every
// chord held by the first. The first instance holds a named mutex for its whole life; a later
// start sees that it exists and leaves.
#pragma once

#include "platform/win32/handles.h"

namespace keyrack {

inline constexpr wchar_t kSingleInstanceMutexName[] = L"Local\\Keyrack.SingleInstance";

class SingleInstance {
  public:
    explicit SingleInstance(const wchar_t* name = kSingleInstanceMutexName);
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when no other process (or object) held the mutex when this one was made.
    bool IsFirst() const { return m_first; }

  private:
    UniqueKernelHandle m_mutex;
    bool m_first = false;
};

}  // namespace keyrack
