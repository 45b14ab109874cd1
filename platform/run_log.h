// The run log: one in-memory text of what the program did for the latest chord, one line per
// step, held as CP949 bytes and dumped to crash\CrashLog.txt with CR LF line ends.
#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

namespace keyrack {

class RunLog {
  public:
    // How long the crash filter waits for the log's mutex before it gives up on the dump.
    static constexpr std::chrono::milliseconds kCrashLockWait{200};

    // Empties the log.
    void ResetLog();
    // Appends a UTF-8 message and a line feed; the log keeps it as CP949.
    void LogLine(std::string_view message);
    // The log's bytes (CP949, LF line ends).
    std::string Contents() const;

    // Where DumpLog writes: start-up points it at crash\CrashLog.txt beside the executable.
    void SetDumpFile(std::filesystem::path file);
    std::filesystem::path DumpFile() const;
    // Writes the whole log to the dump file (created or truncated), every LF as CR LF. False
    // when the file can't be opened or written; the log is unchanged either way.
    bool DumpLog() const;
    // The crash filter's dump, to the dump file or to `file`. The mutex is only tried, for at
    // most kCrashLockWait: the filter runs on whichever thread faulted, and a thread that
    // faulted while it held the mutex (or one frozen by the fault) never gives it back, so a
    // plain lock could hang the filter before it writes the minidump and tells the user.
    // False when the mutex stayed taken, when the faulting thread itself holds it (its text
    // may be half-appended), or when the file can't be written.
    bool TryDumpLog() const;
    bool TryDumpLog(const std::filesystem::path& file) const;
    // The crash filter's reset, tried the same way; false when the log was left as it was.
    bool TryResetLog();

  private:
    friend struct RunLogProbe;  // lets the tests hold the mutex from another thread

    // Locks m_mutex and records the owning thread, so that a fault raised by the owner can be
    // told apart from one raised elsewhere (re-locking a std::mutex is undefined).
    class Hold {
      public:
        explicit Hold(const RunLog& log);
        ~Hold();
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

      private:
        const RunLog& m_log;
    };

    // Takes the mutex for the crash filter, or leaves it untaken (see TryDumpLog).
    std::unique_lock<std::mutex> TryHold() const;
    bool TryDumpTo(const std::filesystem::path* file) const;
    static bool WriteDump(const std::string& content, const std::filesystem::path& file);

    mutable std::mutex m_mutex;
    mutable std::atomic<std::thread::id> m_owner{};
    std::string m_text;
    std::filesystem::path m_dumpFile = std::filesystem::path("crash") / "CrashLog.txt";
};

// The process-wide run log.
RunLog& logger();

}  // namespace keyrack
