#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <new>
#include <stdexcept>
#include <string>
#include <thread>

#include "app/crash_filter.h"
#include "platform/crash_report.h"

namespace keyrack {
namespace {

const std::u16string kFixedLines = u"프로그램이 예상치 못하게 종료 되었습니다.\n로그 확인\n";

TEST(CrashMessage, NamesBothFilesUnderTheExecutableFolder) {
    EXPECT_EQ(CrashMessageText(u"C:\\Apps\\Tool"), kFixedLines +
                                                       u"C:\\Apps\\Tool\\crash\\CrashDump.dmp\n" +
                                                       u"C:\\Apps\\Tool\\crash\\CrashLog.txt");
    EXPECT_EQ(CrashMessageText(CrashFolderOf(u"C:\\Apps\\Tool\\keyrack.exe")),
              CrashMessageText(u"C:\\Apps\\Tool"));
    EXPECT_EQ(kCrashCaption, u"예상치 못한 종료");
}

TEST(CrashMessage, FolderIsThePathWithoutItsLastComponent) {
    EXPECT_EQ(CrashFolderOf(u"C:\\Apps\\Tool\\keyrack.exe"), u"C:\\Apps\\Tool");
    EXPECT_EQ(CrashFolderOf(u"D:\\한글 폴더\\keyrack.exe"), u"D:\\한글 폴더");
    EXPECT_EQ(CrashFolderOf(u"C:/Apps/Tool/keyrack.exe"), u"C:/Apps/Tool");
    // An executable in a drive's root: "C:" + "\crash", not "C:\\crash".
    EXPECT_EQ(CrashFolderOf(u"C:\\keyrack.exe"), u"C:");
    EXPECT_EQ(CrashMessageText(CrashFolderOf(u"C:\\keyrack.exe")),
              kFixedLines + u"C:\\crash\\CrashDump.dmp\nC:\\crash\\CrashLog.txt");
    EXPECT_EQ(CrashFolderOf(u"keyrack.exe"), u"");
}

TEST(CrashMessage, QuotesAndDoubledBackslashesAreCleaned) {
    EXPECT_EQ(CleanCrashFolder(u"\"C:\\Apps\\Tool\""), u"C:\\Apps\\Tool");
    EXPECT_EQ(CleanCrashFolder(u"C:\\\\Apps\\\\Tool"), u"C:\\Apps\\Tool");
    EXPECT_EQ(CleanCrashFolder(u"C:\\Ap\"ps\\\\\"Tool"), u"C:\\Apps\\Tool");
    // Pairs are collapsed left to right: three backslashes leave two, four leave two.
    EXPECT_EQ(CleanCrashFolder(u"C:\\Apps\\\\\\Tool"), u"C:\\Apps\\\\Tool");
    EXPECT_EQ(CleanCrashFolder(u"C:\\Apps\\\\\\\\Tool"), u"C:\\Apps\\\\Tool");
    EXPECT_EQ(CrashFolderOf(u"\"C:\\\\Apps\\\\Tool\\\\keyrack.exe\""), u"C:\\Apps\\Tool");
    EXPECT_EQ(CleanCrashFolder(u"C:\\Apps\\Tool\\"), u"C:\\Apps\\Tool");
    EXPECT_EQ(CleanCrashFolder(u""), u"");
}

TEST(CrashMessage, UncAndLongPathLeadInsAreKept) {
    EXPECT_EQ(CleanCrashFolder(u"\\\\server\\share\\Tool"), u"\\\\server\\share\\Tool");
    EXPECT_EQ(CleanCrashFolder(u"\\\\server\\\\share\\Tool\\"), u"\\\\server\\share\\Tool");
    EXPECT_EQ(CrashFolderOf(u"\\\\?\\C:\\Apps\\Tool\\keyrack.exe"), u"\\\\?\\C:\\Apps\\Tool");
    EXPECT_EQ(CrashMessageText(CrashFolderOf(u"\\\\server\\share\\keyrack.exe")),
              kFixedLines + u"\\\\server\\share\\crash\\CrashDump.dmp\n" +
                  u"\\\\server\\share\\crash\\CrashLog.txt");
}

// What escapes a thread body, or ends a thread through std::terminate, reaches the crash
// reporter with the exception's text, and the process ends.
void PrintReport(const char* what) {
    std::fprintf(stderr, "reported: %s\n", what);
    std::_Exit(3);
}

struct EscapeCase {
    const char* name;
    void (*run)();
    const char* reported;
};

class CrashReportTest : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(CrashReportTest, ReachesTheReporterWithItsText) {
    ::testing::FLAGS_gtest_death_test_style = "threadsafe";
    EXPECT_EXIT(
        {
            SetCrashReporter(PrintReport);
            std::set_terminate([] { ReportTermination(); });
            GetParam().run();
        },
        ::testing::ExitedWithCode(3), GetParam().reported);
}

INSTANTIATE_TEST_SUITE_P(
    Escapes, CrashReportTest,
    ::testing::Values(
        EscapeCase{"thread_body", [] { RunReportingEscapes([] { throw std::bad_alloc(); }); },
                   "reported: std::bad_alloc"},
        EscapeCase{"std_thread",
                   [] { std::thread([] { throw std::runtime_error("no conversion"); }).join(); },
                   "reported: no conversion"},
        EscapeCase{"terminate", [] { std::terminate(); }, "reported: std::terminate"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace keyrack
