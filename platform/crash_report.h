// Where an exception goes that escapes a thread body or a window procedure that starts threads
// (bad_alloc, a failed conversion): to the process's crash reporter, which start-up sets once,
// instead of std::terminate without a word. Without a reporter the text goes to standard error
// and the process aborts.
#pragma once

#include <exception>

namespace keyrack {

// Writes the crash report for `what` and ends the process.
using CrashReporter = void (*)(const char* what);
void SetCrashReporter(CrashReporter reporter) noexcept;

// Inside a catch block: hands the exception being handled to the reporter. Does not return.
[[noreturn]] void ReportEscapedException() noexcept;

// For std::set_terminate: the exception in flight, if any, or "std::terminate", to the reporter.
[[noreturn]] void ReportTermination() noexcept;

// Runs `body`, handing whatever escapes it to the reporter.
template <typename Body>
void RunReportingEscapes(Body&& body) noexcept {
    try {
        body();
    } catch (...) {
        ReportEscapedException();
    }
}

}  // namespace keyrack
