#include "app/run_log.h"

#include <fstream>

#include "platform/codepage.h"
#include "platform/text.h"

namespace keyrack {

void RunLog::ResetLog() {
    std::lock_guard lock(m_mutex);
    m_text.clear();
}

void RunLog::LogLine(std::string_view message) {
    const std::string bytes = ToCodePage(Utf8ToUtf16(message), kCodePageKorean);
    std::lock_guard lock(m_mutex);
    m_text += bytes;
    m_text += '\n';
}

std::string RunLog::Contents() const {
    std::lock_guard lock(m_mutex);
    return m_text;
}

void RunLog::SetDumpFile(std::filesystem::path file) {
    std::lock_guard lock(m_mutex);
    m_dumpFile = std::move(file);
}

std::filesystem::path RunLog::DumpFile() const {
    std::lock_guard lock(m_mutex);
    return m_dumpFile;
}

bool RunLog::DumpLog() const {
    std::string content;
    std::filesystem::path file;
    {
        std::lock_guard lock(m_mutex);
        content = m_text;
        file = m_dumpFile;
    }
    return WriteDump(content, file);
}

bool RunLog::TryDumpLog() const {
    // Wait briefly: a line being appended takes microseconds, a thread that faulted while
    // holding the mutex never gives it back.
    std::unique_lock lock(m_mutex, std::chrono::milliseconds(200));
    if (!lock.owns_lock()) return false;
    const std::string content = m_text;
    const std::filesystem::path file = m_dumpFile;
    lock.unlock();
    return WriteDump(content, file);
}

bool RunLog::WriteDump(const std::string& content, const std::filesystem::path& file) const {
    std::string crlf;
    crlf.reserve(content.size() + content.size() / 8);
    for (char c : content) {
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(crlf.data(), static_cast<std::streamsize>(crlf.size()));
    return static_cast<bool>(out.flush());
}

RunLog& logger() {
    static RunLog log;
    return log;
}

}  // namespace keyrack
