#ifndef TAMSEL_TESTS_RUNTIME_LUM_LUMTESTSUPPORT_H
#define TAMSEL_TESTS_RUNTIME_LUM_LUMTESTSUPPORT_H

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "runtime/lum/Log.h"

// A fresh program-data root for one test, with the log files pointed into it.
class TempRoot {
public:
    explicit TempRoot(const LogFileSpec& spec = serviceLogFileSpec()) {
        char pattern[] = "/tmp/tamsel-test-XXXXXX";
        m_path = mkdtemp(pattern);
        setenv("TAMSEL_HOME", m_path.c_str(), 1);
        setLogLevelMask(LogConstants::INITIAL_MASK);
        configureLogFiles(&spec, 1);
    }
    ~TempRoot() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }

    std::string path() const { return m_path; }
    std::string logs() const { return m_path + "/logs/"; }
    std::string log(const std::string& name = "CurrentLog.txt") const { return logs() + name; }

private:
    std::string m_path;
};

inline bool fileExists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

inline std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

inline std::vector<std::string> readLines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The sequence number at the start of a log line, -1 when there is none.
inline long sequenceOf(const std::string& line) {
    char* end = nullptr;
    long value = strtol(line.c_str(), &end, 10);
    return end != line.c_str() && *end == ':' ? value : -1;
}

#endif
