#include "platform/run_log.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "run_log_probe.h"

namespace keyrack {
namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const fs::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// A fresh folder per test with a crash subfolder, removed afterwards.
class RunLogDump : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_root = fs::temp_directory_path() /
                 (std::string("keyrack-runlog-") + info->name() + "-" +
                  std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
        fs::create_directories(m_root / "crash");
        m_log.SetDumpFile(DumpFile());
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(m_root, ignored);
    }
    fs::path DumpFile() const { return m_root / "crash" / "CrashLog.txt"; }

    fs::path m_root;
    RunLog m_log;
};

// CP949 bytes of the log's own messages.
const std::string kInitCp949 = "logger \xC3\xCA\xB1\xE2\xC8\xAD";           // logger 초기화
const std::string kF3Cp949 = "F3\xBD\xBD\xB7\xD4 \xC0\xFC\xB0\xB3";         // F3슬롯 전개
const std::string kMinCp949 = "\xBD\xBD\xB7\xD4 \xC3\xD6\xBC\xD2\xC8\xAD";  // 슬롯 최소화

TEST(RunLog, StoresLinesAsCp949WithLineFeeds) {
    RunLog log;
    EXPECT_EQ(log.Contents(), "");
    log.LogLine("logger 초기화");
    log.LogLine("F3슬롯 전개");
    log.LogLine("");
    log.LogLine("7 ok");
    EXPECT_EQ(log.Contents(), kInitCp949 + "\n" + kF3Cp949 + "\n\n7 ok\n");
}

TEST(RunLog, ResetEmptiesAndLoggingGoesOn) {
    RunLog log;
    log.LogLine("a");
    log.LogLine("슬롯 최소화");
    log.ResetLog();
    EXPECT_EQ(log.Contents(), "");
    log.LogLine("b");
    EXPECT_EQ(log.Contents(), "b\n");
    EXPECT_TRUE(log.TryResetLog());
    EXPECT_EQ(log.Contents(), "");
}

TEST(RunLog, DumpFileDefaultsToCrashFolderAndCanBeSet) {
    RunLog log;
    EXPECT_EQ(log.DumpFile(), fs::path("crash") / "CrashLog.txt");
    log.SetDumpFile(fs::path("x") / "y.txt");
    EXPECT_EQ(log.DumpFile(), fs::path("x") / "y.txt");
}

TEST_F(RunLogDump, EmptyLogTruncatesTheFileToNothing) {
    WriteBytes(DumpFile(), "old content\r\n");
    ASSERT_TRUE(m_log.DumpLog());
    ASSERT_TRUE(fs::exists(DumpFile()));
    EXPECT_EQ(ReadBytes(DumpFile()), "");
    fs::remove(DumpFile());
    ASSERT_TRUE(m_log.DumpLog());  // creates it when it is missing
    EXPECT_TRUE(fs::exists(DumpFile()));
    EXPECT_EQ(fs::file_size(DumpFile()), 0u);
}

TEST_F(RunLogDump, LinesEndInCrLfOnDisk) {
    m_log.LogLine("a");
    m_log.LogLine("b");
    ASSERT_TRUE(m_log.DumpLog());
    EXPECT_EQ(ReadBytes(DumpFile()), std::string("a\r\nb\r\n"));
    EXPECT_EQ(m_log.Contents(), "a\nb\n");  // the log itself keeps LF
}

TEST_F(RunLogDump, KoreanLinesAreCp949BytesOnDisk) {
    m_log.LogLine("logger 초기화");
    m_log.LogLine("F3슬롯 전개");
    m_log.LogLine("슬롯 최소화");
    ASSERT_TRUE(m_log.DumpLog());
    EXPECT_EQ(ReadBytes(DumpFile()), kInitCp949 + "\r\n" + kF3Cp949 + "\r\n" + kMinCp949 + "\r\n");
}

TEST_F(RunLogDump, SecondDumpHoldsOnlyTheSecondLines) {
    m_log.LogLine("first deployment line one");
    m_log.LogLine("first deployment line two, which is longer than the next");
    ASSERT_TRUE(m_log.DumpLog());
    m_log.ResetLog();
    m_log.LogLine("second");
    ASSERT_TRUE(m_log.DumpLog());
    EXPECT_EQ(ReadBytes(DumpFile()), "second\r\n");
}

TEST_F(RunLogDump, MissingFolderFailsAndKeepsTheLog) {
    m_log.LogLine("a");
    m_log.LogLine("슬롯 최소화");
    const fs::path missing = m_root / "no such folder" / "CrashLog.txt";
    m_log.SetDumpFile(missing);
    EXPECT_FALSE(m_log.DumpLog());
    EXPECT_FALSE(m_log.TryDumpLog());
    EXPECT_FALSE(fs::exists(missing));
    EXPECT_EQ(m_log.Contents(), "a\n" + kMinCp949 + "\n");
    // The log is whole for the next dump that can be written.
    m_log.SetDumpFile(DumpFile());
    ASSERT_TRUE(m_log.DumpLog());
    EXPECT_EQ(ReadBytes(DumpFile()), "a\r\n" + kMinCp949 + "\r\n");
}

TEST_F(RunLogDump, TryDumpWritesTheSameBytesToTheGivenFile) {
    m_log.LogLine("F3슬롯 전개");
    const fs::path other = m_root / "other.txt";
    ASSERT_TRUE(m_log.TryDumpLog(other));
    EXPECT_EQ(ReadBytes(other), kF3Cp949 + "\r\n");
    EXPECT_FALSE(fs::exists(DumpFile()));
    ASSERT_TRUE(m_log.TryDumpLog());
    EXPECT_EQ(ReadBytes(DumpFile()), kF3Cp949 + "\r\n");
    EXPECT_EQ(m_log.Contents(), kF3Cp949 + "\n");
}

// Another thread holds the mutex for as long as the test wants: the crash filter's dump and
// reset give up within their bound instead of waiting for it.
TEST_F(RunLogDump, TryDumpGivesUpWhileAnotherThreadHoldsTheMutex) {
    m_log.LogLine("kept");
    WriteBytes(DumpFile(), "previous\r\n");
    std::promise<void> held;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::thread holder([&] {
        RunLogProbe::WhileHeld(m_log, [&] {
            held.set_value();
            released.wait();
        });
    });
    held.get_future().wait();

    auto attempt = std::async(std::launch::async, [&] {
        const bool dumped = m_log.TryDumpLog();
        const bool reset = m_log.TryResetLog();
        return std::make_pair(dumped, reset);
    });
    // Fifty times the bound, so a slow machine doesn't fail it; a plain lock never returns.
    const bool returned =
        attempt.wait_for(RunLog::kCrashLockWait * 50) == std::future_status::ready;
    release.set_value();
    holder.join();
    ASSERT_TRUE(returned) << "TryDumpLog waited for the mutex without a bound";
    const auto [dumped, reset] = attempt.get();
    EXPECT_FALSE(dumped);
    EXPECT_FALSE(reset);
    EXPECT_EQ(ReadBytes(DumpFile()), "previous\r\n");
    EXPECT_EQ(m_log.Contents(), "kept\n");

    // Once the mutex is free again both work.
    EXPECT_TRUE(m_log.TryDumpLog());
    EXPECT_EQ(ReadBytes(DumpFile()), "kept\r\n");
}

// A fault raised on the thread that holds the mutex: the filter runs on that same thread.
TEST_F(RunLogDump, TryDumpOnTheHoldingThreadReturnsAtOnce) {
    m_log.LogLine("kept");
    bool dumped = true;
    bool reset = true;
    RunLogProbe::WhileHeld(m_log, [&] {
        dumped = m_log.TryDumpLog();
        reset = m_log.TryResetLog();
    });
    EXPECT_FALSE(dumped);
    EXPECT_FALSE(reset);
    EXPECT_FALSE(fs::exists(DumpFile()));
    EXPECT_EQ(m_log.Contents(), "kept\n");
}

// Writers on several threads at once, with dumps and resets among them: every line arrives
// whole (run this under ThreadSanitizer too).
TEST_F(RunLogDump, ConcurrentWritersKeepEveryLineWhole) {
    constexpr int kThreads = 4;
    constexpr int kLines = 300;
    std::atomic<bool> go{false};
    std::vector<std::thread> writers;
    for (int t = 0; t < kThreads; ++t) {
        writers.emplace_back([&, t] {
            while (!go.load()) std::this_thread::yield();
            for (int i = 0; i < kLines; ++i) {
                m_log.LogLine(std::to_string(t) + " 스레드 생성 " + std::to_string(i));
            }
        });
    }
    std::thread dumper([&] {
        while (!go.load()) std::this_thread::yield();
        for (int i = 0; i < 20; ++i) {
            m_log.DumpLog();
            m_log.TryDumpLog();
            (void)m_log.Contents();
        }
    });
    go.store(true);
    for (auto& w : writers) w.join();
    dumper.join();

    const std::string text = m_log.Contents();
    std::set<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        ASSERT_NE(end, std::string::npos) << "last line has no line feed";
        lines.insert(text.substr(start, end - start));
        start = end + 1;
    }
    EXPECT_EQ(lines.size(), static_cast<std::size_t>(kThreads * kLines));
    const std::string thread = "\xBD\xBA\xB7\xB9\xB5\xE5";  // 스레드
    for (int t = 0; t < kThreads; ++t) {
        for (int i : {0, kLines / 2, kLines - 1}) {
            const std::string line = std::to_string(t) + " " + thread + " \xBB\xFD\xBC\xBA " +
                                     std::to_string(i);  // 생성
            EXPECT_EQ(lines.count(line), 1u) << line;
        }
    }
    ASSERT_TRUE(m_log.DumpLog());
    EXPECT_EQ(ReadBytes(DumpFile()).size(), text.size() + kThreads * kLines);
}

}  // namespace
}  // namespace keyrack
