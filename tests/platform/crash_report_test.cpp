// An exception that escapes a thread body, and a std::terminate, reach the crash reporter with
// the exception's text instead of ending the process without a word.
#include "platform/crash_report.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <thread>

namespace keyrack {
namespace {

void Reporter(const char* what) {
    std::fprintf(stderr, "reported: %s\n", what);
    std::_Exit(3);
}

TEST(CrashReportDeathTest, EscapedExceptionsAndTerminateReachTheReporter) {
    EXPECT_EXIT(
        {
            SetCrashReporter(Reporter);
            std::thread([] {
                RunReportingEscapes([] { throw std::runtime_error("boom"); });
            }).join();
        },
        ::testing::ExitedWithCode(3), "reported: boom");
    EXPECT_EXIT(
        {
            SetCrashReporter(Reporter);
            std::set_terminate([] { ReportTermination(); });
            std::thread([] { throw std::length_error("unguarded"); }).join();
        },
        ::testing::ExitedWithCode(3), "reported: unguarded");
}

}  // namespace
}  // namespace keyrack
