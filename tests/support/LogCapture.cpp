#include "tests/support/LogCapture.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/base/Root.h"

namespace tamsel::test {

namespace {
std::string g_logFile;
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
}

std::string LogCapture::text() const {
    std::ifstream in(m_file, std::ios::binary);
    in.seekg(m_offset);
    std::ostringstream out;
    out << in.rdbuf();
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
