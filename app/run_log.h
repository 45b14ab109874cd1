// The run log: one in-memory text of what the program did for the latest chord, one line per
// step, held as CP949 bytes and dumped to crash\CrashLog.txt with CR LF line ends.
#pragma once

#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace keyrack {

class RunLog {
public:
    // Empties the log.
    void ResetLog();
    // Appends a UTF-8 message and a line feed; the log keeps it as CP949.
    void LogLine(std::string_view message);
    // The log's bytes (CP949, LF line ends).
    std::string Contents() const;

    // Where DumpLog writes: crash\CrashLog.txt beside the executable.
    void SetDumpFile(std::filesystem::path file);
    std::filesystem::path DumpFile() const;
    // Writes the whole log to the dump file (created or truncated), every LF as CR LF. False
    // when the file can't be written; the log is unchanged either way.
    bool DumpLog() const;
    // The crash filter's dump: takes the mutex only if it is free at once, so a fault raised
    // while another thread appends never waits forever; then dumps what it can.
    bool TryDumpLog() const;

private:
    bool WriteDump(const std::string& content, const std::filesystem::path& file) const;

    mutable std::timed_mutex m_mutex;
    std::string m_text;
    std::filesystem::path m_dumpFile = std::filesystem::path("crash") / "CrashLog.txt";
};

// The process-wide run log.
RunLog& logger();

}  // namespace keyrack
