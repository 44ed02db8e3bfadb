#pragma once
#include <string>
#include <vector>

namespace tamsel::test {

// What the run-time's log file gains from the capture's construction on.
class LogCapture {
public:
    // The test program's log (see useLogFile), else the current log below the program-data root.
    LogCapture();
    explicit LogCapture(std::string logFile);

    // The log every capture of this test program reads, wherever TAMSEL_HOME points meanwhile.
    static void useLogFile(const std::string& logFile);

    std::string text() const;
    bool contains(const std::string& part) const { return text().find(part) != std::string::npos; }
    // Lines without their headers, in the order they were written.
    std::vector<std::string> messages() const;

private:
    std::string m_file;
    long m_offset = 0;
    // The file the capture started in, which a rotation renames to a previous log beside it.
    unsigned long m_inode = 0;
};

}  // namespace tamsel::test
