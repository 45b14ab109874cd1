#include "app/single_instance.h"

#include <windows.h>

namespace keyrack {

SingleInstance::SingleInstance(const wchar_t* name) : m_mutex(CreateMutexW(nullptr, FALSE, name)) {
    // Without a mutex (no rights, bad name) this start can't tell, so it runs rather than
    // refusing to start at all.
    m_first = !m_mutex || GetLastError() != ERROR_ALREADY_EXISTS;
}

}  // namespace keyrack
