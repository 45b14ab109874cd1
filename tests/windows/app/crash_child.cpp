// Runs the crash filter for real: installs it, logs a few lines and faults on a worker thread.
//   crash_child fault         the fault, nothing else going on
//   crash_child fault-locked  the fault while another thread holds the run log's mutex
//   crash_child fault-std-thread  the fault on a std::thread, as the program's own threads are
//   crash_child fault-two     two threads fault at once
//   crash_child dump          no fault: dumps the log to crash\CrashLog.txt beside the exe
#include <windows.h>

#include <cwchar>
#include <string_view>
#include <thread>

#include "app/crash_filter.h"
#include "platform/run_log.h"
#include "platform/win32/handles.h"
#include "platform/win32/win32_desktop.h"
#include "run_log_probe.h"

namespace {

using keyrack::UniqueKernelHandle;

void LogTheLines() {
    keyrack::logger().ResetLog();
    keyrack::logger().LogLine("logger 초기화");
    keyrack::logger().LogLine("F3슬롯 전개");
    keyrack::logger().LogLine("슬롯 최소화");
}

DWORD WINAPI Fault(void*) {
    // Both volatile: the compiler neither sees the null (and traps) nor drops the store.
    volatile int* volatile target = nullptr;
    *target = 1;
    return 0;
}

UniqueKernelHandle g_held;

DWORD WINAPI HoldTheLog(void*) {
    keyrack::RunLogProbe::WhileHeld(keyrack::logger(), [] {
        SetEvent(g_held.Get());
        Sleep(INFINITE);
    });
    return 0;
}

int RunFault(bool lockHeld) {
    keyrack::InstallCrashFilter();
    LogTheLines();
    if (lockHeld) {
        g_held = UniqueKernelHandle(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        const UniqueKernelHandle holder(CreateThread(nullptr, 0, HoldTheLog, nullptr, 0, nullptr));
        if (!holder || WaitForSingleObject(g_held.Get(), 30000) != WAIT_OBJECT_0) return 3;
    }
    const UniqueKernelHandle worker(CreateThread(nullptr, 0, Fault, nullptr, 0, nullptr));
    if (!worker) return 3;
    WaitForSingleObject(worker.Get(), INFINITE);
    return 2;  // the process should have ended in the filter
}

int RunStdThreadFault() {
    keyrack::InstallCrashFilter();
    LogTheLines();
    std::thread worker([] { Fault(nullptr); });
    worker.join();
    return 2;  // the process should have ended in the filter
}

UniqueKernelHandle g_go;

DWORD WINAPI FaultOnGo(void*) {
    WaitForSingleObject(g_go.Get(), INFINITE);
    return Fault(nullptr);
}

int RunTwoFaults() {
    keyrack::InstallCrashFilter();
    LogTheLines();
    g_go = UniqueKernelHandle(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    const UniqueKernelHandle first(CreateThread(nullptr, 0, FaultOnGo, nullptr, 0, nullptr));
    const UniqueKernelHandle second(CreateThread(nullptr, 0, FaultOnGo, nullptr, 0, nullptr));
    if (!first || !second) return 3;
    SetEvent(g_go.Get());
    WaitForSingleObject(first.Get(), INFINITE);
    WaitForSingleObject(second.Get(), INFINITE);
    return 2;  // the process should have ended in the filter
}

int RunDump() {
    keyrack::logger().SetDumpFile(keyrack::ExecutableFolderOfProcess() / L"crash" /
                                  L"CrashLog.txt");
    LogTheLines();
    return keyrack::logger().DumpLog() ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring_view mode = argc > 1 ? argv[1] : L"";
    if (mode == L"fault") return RunFault(false);
    if (mode == L"fault-locked") return RunFault(true);
    if (mode == L"fault-std-thread") return RunStdThreadFault();
    if (mode == L"fault-two") return RunTwoFaults();
    if (mode == L"dump") return RunDump();
    return 4;
}
