// The unhandled-exception filter: run log, minidump, message box, end of the process.
#include <windows.h>
// dbghelp.h needs the types of windows.h.
#include <dbghelp.h>

#include <atomic>
#include <vector>

#include "app/crash_filter.h"
#include "platform/run_log.h"
#include "platform/win32/handles.h"
#include "platform/win32/system_function.h"
#include "platform/win32/wide.h"

namespace keyrack {
namespace {

// dbghelp.dll from System32, loaded by InstallCrashFilter: a crash may come while another
// thread holds the loader's lock, and then a load inside the filter would never return.
const SystemFunction<decltype(&::MiniDumpWriteDump)>& MiniDumpWriter() {
    static const SystemFunction<decltype(&::MiniDumpWriteDump)> writer(L"dbghelp.dll",
                                                                       "MiniDumpWriteDump");
    return writer;
}

// The wide module path, however long: the ANSI call would lose characters outside the
// system code page, and MAX_PATH would cut long paths.
std::u16string ModulePath() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), size);
        if (length == 0) return {};
        if (length < size) return FromWide(std::wstring_view(buffer.data(), length));
        if (buffer.size() >= 32768) return {};
        buffer.resize(buffer.size() * 2);
    }
}

// The thread inside the filter, 0 while none is.
std::atomic<DWORD> g_reportingThread{0};

}  // namespace

long __stdcall CrashFilter(::_EXCEPTION_POINTERS* pointers) {
    // One report per process: a second thread that faults meanwhile waits here until the
    // first ends the process, rather than writing the same files and showing a second box;
    // a fault inside the filter itself just ends the process.
    const DWORD self = GetCurrentThreadId();
    DWORD idle = 0;
    if (!g_reportingThread.compare_exchange_strong(idle, self)) {
        if (idle == self) return EXCEPTION_EXECUTE_HANDLER;
        for (;;) Sleep(INFINITE);
    }

    const std::u16string folder = CrashFolderOf(ModulePath());
    const std::u16string message = CrashMessageText(folder);
    std::u16string crashFolder = folder;
    crashFolder += u'\\';
    crashFolder += kCrashFolderName;
    const std::u16string logPath = crashFolder + u'\\' + std::u16string(kCrashLogName);
    const std::u16string dumpPath = crashFolder + u'\\' + std::u16string(kCrashDumpName);

    // Start-up made the folder; make it again in case it has gone since, so the files are
    // where the message says they are.
    CreateDirectoryW(AsWide(crashFolder), nullptr);

    // Tried, not locked: see RunLog::TryDumpLog.
    logger().TryDumpLog(std::filesystem::path(std::wstring(AsWide(logPath))));

    UniqueKernelHandle dump = OwnFile(CreateFileW(AsWide(dumpPath), GENERIC_WRITE, 0, nullptr,
                                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    const auto& writeDump = MiniDumpWriter();
    if (dump && writeDump) {
        MINIDUMP_EXCEPTION_INFORMATION exception{};
        exception.ThreadId = self;
        exception.ExceptionPointers = pointers;
        exception.ClientPointers = FALSE;
        writeDump.Get()(GetCurrentProcess(), GetCurrentProcessId(), dump.Get(), MiniDumpNormal,
                        pointers ? &exception : nullptr, nullptr, nullptr);
        dump.Close();
    }

    MessageBoxW(nullptr, AsWide(message), AsWide(std::u16string(kCrashCaption)),
                MB_TOPMOST | MB_ICONERROR);

    logger().TryResetLog();
    return EXCEPTION_EXECUTE_HANDLER;
}

void InstallCrashFilter() {
    MiniDumpWriter();
    SetUnhandledExceptionFilter(CrashFilter);
}

void ReportCrash(const char* what) {
    logger().LogLine(std::string("처리되지 않은 예외: ") + what);
    CrashFilter(nullptr);
    TerminateProcess(GetCurrentProcess(), 3);
}

}  // namespace keyrack
