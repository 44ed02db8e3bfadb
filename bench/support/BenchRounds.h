// What benchmarks that run their figures in interleaved rounds share: the median of a figure's
// rounds, and the machine's load average printed beside it (the machine is shared).
#pragma once

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

// -1 when there was no round.
inline double median(std::vector<double> values) {
    if (values.empty()) return -1;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The 1, 5 and 15-minute load averages.
inline std::string loadAverage() {
    std::string line;
    std::getline(std::ifstream("/proc/loadavg"), line);
    return line.substr(0, line.find(' ', line.find(' ', line.find(' ') + 1) + 1));
}
