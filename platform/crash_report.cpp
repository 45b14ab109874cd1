#include "platform/crash_report.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace keyrack {
namespace {

std::atomic<CrashReporter> g_reporter{nullptr};

[[noreturn]] void Report(const char* what) noexcept {
    if (const CrashReporter reporter = g_reporter.load()) reporter(what);
    std::fprintf(stderr, "keyrack: %s\n", what);
    std::abort();
}

std::string WhatOf(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "unknown exception";
    }
}

}  // namespace

void SetCrashReporter(CrashReporter reporter) noexcept { g_reporter.store(reporter); }

void ReportEscapedException() noexcept {
    std::string what = "unknown exception";
    try {
        what = WhatOf(std::current_exception());
    } catch (...) {
    }
    Report(what.c_str());
}

void ReportTermination() noexcept {
    const std::exception_ptr error = std::current_exception();
    std::string what = "std::terminate";
    try {
        if (error) what = WhatOf(error);
    } catch (...) {
    }
    Report(what.c_str());
}

}  // namespace keyrack
