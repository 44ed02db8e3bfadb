#include "tests/support/LogCapture.h"

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/base/Root.h"
#include "runtime/lum/LogConstants.h"

namespace tamsel::test {

namespace {

std::string g_logFile;

unsigned long inodeOf(const std::string& file) {
    struct stat status {};
    return ::stat(file.c_str(), &status) == 0 ? static_cast<unsigned long>(status.st_ino) : 0;
}

void append(std::ostringstream& out, const std::string& file, long offset) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return;
    in.seekg(offset);
    out << in.rdbuf();
}

// PreviousLog<n>.txt beside the current log.
std::string previousLog(const std::string& current, int n) {
    std::string name = LogConstants::PREVIOUS_LOG_PATTERN;
    name.replace(name.find('*'), 1, std::to_string(n));
    return (std::filesystem::path(current).parent_path() / name).string();
}

}  // namespace

void LogCapture::useLogFile(const std::string& logFile) {
    g_logFile = logFile;
}

LogCapture::LogCapture()
    : LogCapture(g_logFile.empty() ? base::programDataRoot() + "/logs/CurrentLog.txt" : g_logFile) {}

LogCapture::LogCapture(std::string logFile) : m_file(std::move(logFile)) {
    std::error_code error;
    auto size = std::filesystem::file_size(m_file, error);
    m_offset = error ? 0 : static_cast<long>(size);
    m_inode = inodeOf(m_file);
}

std::string LogCapture::text() const {
    std::ostringstream out;
    // A log that rolled over meanwhile: the capture's start is in a previous log, and every log
    // written since follows it, oldest first.
    int rolled = 0;
    if (m_inode != 0 && inodeOf(m_file) != m_inode) {
        for (int n = 1; n <= LogConstants::PREVIOUS_LOG_COUNT && rolled == 0; ++n)
            if (inodeOf(previousLog(m_file, n)) == m_inode) rolled = n;
    }
    if (rolled == 0) {
        append(out, m_file, m_offset);
        return out.str();
    }
    append(out, previousLog(m_file, rolled), m_offset);
    for (int n = rolled - 1; n >= 1; --n) append(out, previousLog(m_file, n), 0);
    append(out, m_file, 0);
    return out.str();
}

std::vector<std::string> LogCapture::messages() const {
    std::vector<std::string> lines;
    std::istringstream in(text());
    std::string line;
    while (std::getline(in, line)) {
        // The header ends in the thread tag and ": ".
        auto tid = line.find("[tid=");
        auto start = tid == std::string::npos ? std::string::npos : line.find("]: ", tid);
        lines.push_back(start == std::string::npos ? line : line.substr(start + 3));
    }
    return lines;
}

}  // namespace tamsel::test
