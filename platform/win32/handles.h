// Owners of Win32 handles, one alias per kind of handle over the one UniqueHandle template.
#pragma once

#include <windows.h>

#include "platform/unique_handle.h"

namespace keyrack {

// Kernel objects closed with CloseHandle: events, mutexes, processes, threads, files.
using UniqueKernelHandle = UniqueHandle<HANDLE, CloseWith<&::CloseHandle>>;
using UniqueMenu = UniqueHandle<HMENU, CloseWith<&::DestroyMenu>>;
// A device context of CreateCompatibleDC, deleted with DeleteDC.
using UniqueDC = UniqueHandle<HDC, CloseWith<&::DeleteDC>>;
// Event hooks of SetWinEventHook and hooks of SetWindowsHookExW, removed by the thread that
// made them.
using UniqueWinEventHook = UniqueHandle<HWINEVENTHOOK, CloseWith<&::UnhookWinEvent>>;
using UniqueWindowsHook = UniqueHandle<HHOOK, CloseWith<&::UnhookWindowsHookEx>>;
// A DLL of LoadLibraryExW, freed with FreeLibrary.
using UniqueModule = UniqueHandle<HMODULE, CloseWith<&::FreeLibrary>>;

// CreateFileW reports failure as INVALID_HANDLE_VALUE, not null: the owner of what it returned
// is empty after a failure.
inline UniqueKernelHandle OwnFile(HANDLE file) {
    return UniqueKernelHandle(file == INVALID_HANDLE_VALUE ? nullptr : file);
}

}  // namespace keyrack
