#pragma once

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "runtime/lum/Log.h"
#include "tests/support/TempHome.h"
#include "tests/support/TestText.h"

// A fresh program-data root for one test, with the log files pointed into it.
class TempRoot : public tamsel::test::TempHome {
public:
    explicit TempRoot(const LogFileSpec& spec = serviceLogFileSpec()) : TempHome("test") {
        setLogLevelMask(LogConstants::INITIAL_MASK);
        configureLogFiles(&spec, 1);
    }

    std::string logs() const { return path() + "/logs/"; }
};

inline bool fileExists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

using tamsel::test::readText;

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
