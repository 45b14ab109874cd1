// A function of a system DLL that is not a KnownDLL (dwmapi, dbghelp), loaded at run time from
// System32 only. Linked statically, such a DLL would be looked for first in the executable's
// folder, which the user can write to, before any of the program's code runs.
#pragma once

#include <windows.h>

#include "platform/win32/handles.h"

namespace keyrack {

// Fn is the function's pointer type; empty (false) when the DLL or the function is missing.
template <typename Fn>
class SystemFunction {
  public:
    SystemFunction(const wchar_t* dll, const char* name)
        : m_module(::LoadLibraryExW(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        if (m_module) {
            // Through the generic function pointer type, which any function pointer may be
            // cast from and to without a warning.
            m_fn = reinterpret_cast<Fn>(
                reinterpret_cast<void (*)()>(::GetProcAddress(m_module.Get(), name)));
        }
    }

    explicit operator bool() const { return m_fn != nullptr; }
    Fn Get() const { return m_fn; }

  private:
    UniqueModule m_module;
    Fn m_fn = nullptr;
};

}  // namespace keyrack
