#include "platform/run_log.h"

#include <fstream>

#include "platform/codepage.h"
#include "platform/text.h"

namespace keyrack {

RunLog::Hold::Hold(const RunLog& log) : m_log(log) {
    m_log.m_mutex.lock();
    m_log.m_owner.store(std::this_thread::get_id());
}

RunLog::Hold::~Hold() {
    m_log.m_owner.store(std::thread::id());
    m_log.m_mutex.unlock();
}

void RunLog::ResetLog() {
    Hold hold(*this);
    m_text.clear();
}

void RunLog::LogLine(std::string_view message) {
    // Converted before taking the mutex, so the mutex is held only for the append.
    std::string bytes = ToCodePage(Utf8ToUtf16(message), kCodePageKorean);
    bytes += '\n';
    Hold hold(*this);
    m_text += bytes;
}

std::string RunLog::Contents() const {
    Hold hold(*this);
    return m_text;
}

void RunLog::SetDumpFile(std::filesystem::path file) {
    Hold hold(*this);
    m_dumpFile = std::move(file);
}

std::filesystem::path RunLog::DumpFile() const {
    Hold hold(*this);
    return m_dumpFile;
}

bool RunLog::DumpLog() const {
    std::string content;
    std::filesystem::path file;
    {
        Hold hold(*this);
        content = m_text;
        file = m_dumpFile;
    }
    return WriteDump(content, file);
}

bool RunLog::TryDumpLog() const { return TryDumpTo(nullptr); }

bool RunLog::TryDumpLog(const std::filesystem::path& file) const { return TryDumpTo(&file); }

std::unique_lock<std::mutex> RunLog::TryHold() const {
    // A fault raised by the thread that holds the mutex: its append may be half done, and
    // waiting for itself would only run out the clock (and re-locking is undefined).
    if (m_owner.load() == std::this_thread::get_id()) return {};
    // Only tried, never waited on without a bound: an append holds the mutex for
    // microseconds, while a thread that faulted holding it (or that the fault froze) never
    // gives it back, and the filter must still write the minidump and tell the user.
    // try_lock in a paced loop rather than a timed mutex: every step is a plain try.
    std::unique_lock lock(m_mutex, std::try_to_lock);
    const auto deadline = std::chrono::steady_clock::now() + kCrashLockWait;
    while (!lock.owns_lock() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        lock.try_lock();
    }
    return lock;
}

bool RunLog::TryDumpTo(const std::filesystem::path* file) const {
    std::unique_lock lock = TryHold();
    if (!lock.owns_lock()) return false;
    const std::string content = m_text;
    const std::filesystem::path target = file ? *file : m_dumpFile;
    lock.unlock();
    return WriteDump(content, target);
}

bool RunLog::TryResetLog() {
    std::unique_lock lock = TryHold();
    if (!lock.owns_lock()) return false;
    m_text.clear();
    return true;
}

bool RunLog::WriteDump(const std::string& content, const std::filesystem::path& file) {
    // The dump has CR LF line ends on every build, so write binary and add the CRs here.
    std::string crlf;
    crlf.reserve(content.size() + content.size() / 8);
    for (char c : content) {
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(crlf.data(), static_cast<std::streamsize>(crlf.size()));
    out.close();
    return !out.fail();
}

RunLog& logger() {
    static RunLog log;
    return log;
}

}  // namespace keyrack
