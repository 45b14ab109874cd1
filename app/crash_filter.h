// The crash handler: the process-wide unhandled-exception filter, and the text it shows.
#pragma once

#include <string>
#include <string_view>

#ifdef _WIN32
struct _EXCEPTION_POINTERS;
#endif

namespace keyrack {

inline constexpr std::u16string_view kCrashCaption = u"예상치 못한 종료";
inline constexpr std::u16string_view kCrashFolderName = u"crash";
inline constexpr std::u16string_view kCrashLogName = u"CrashLog.txt";
inline constexpr std::u16string_view kCrashDumpName = u"CrashDump.dmp";

// The executable's folder as the crash message names it: `exePath` without its last component
// and the separator before it, cleaned by CleanCrashFolder.
std::u16string CrashFolderOf(std::u16string_view exePath);

// Removes every double quote, then collapses each pair of backslashes into one, leaving a
// leading "\\" (a UNC share or a "\\?\" prefix) as it is, and drops trailing backslashes so
// that "C:\" + "\crash" doesn't name "C:\\crash".
std::u16string CleanCrashFolder(std::u16string_view folder);

// The message box text, four lines joined by LF: the two fixed lines, then the minidump's and
// the run log's paths (folder + "\crash\CrashDump.dmp", "\crash\CrashLog.txt"). `folder` is
// used as given.
std::u16string CrashMessageText(std::u16string_view folder);

#ifdef _WIN32
// For SetUnhandledExceptionFilter: writes the run log to crash\CrashLog.txt and a minidump to
// crash\CrashDump.dmp beside the executable, tells the user where they are, and lets the
// process end. Always returns EXCEPTION_EXECUTE_HANDLER.
long __stdcall CrashFilter(::_EXCEPTION_POINTERS* pointers);

// Loads what the filter needs (the minidump writer of dbghelp.dll, from System32), so that a
// crash loads nothing, and installs CrashFilter.
void InstallCrashFilter();
// The process's crash reporter (see platform/crash_report.h): a run log line with `what`, the
// same report as CrashFilter's (a minidump of this thread), then the process ends.
void ReportCrash(const char* what);
#endif

}  // namespace keyrack
