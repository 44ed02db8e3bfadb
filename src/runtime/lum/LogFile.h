#pragma once

#include <atomic>
#include <cstddef>
#include <mutex>
#include <string>

#include "runtime/lum/Log.h"
#include "runtime/lum/LogLine.h"

// One record of the log-file table with its run-time state.
struct LogFileRecord {
    static constexpr int FLAG_ROTATING = 1;
    static constexpr int FLAG_ROTATED = 2;
    // A log may carry what the service was told: its owner writes it and its group (the report,
    // the administrators) reads it, nobody else.
    static constexpr unsigned FILE_MODE = 0640;
    // The last line meant for the file did not reach it; the console has been told.
    static constexpr int FLAG_WRITE_FAILED = 4;

    LogFileSpec spec;
    std::atomic<long> sequence{0};
    std::string currentPath;   // empty: standard output
    std::string previousPath;  // the pattern with its '*'; empty: no rotation
    size_t starPosition = 0;
    std::recursive_mutex mutex;
    std::atomic<int> flags{0};
    // Counts the moves of the current file, so that a writer holding it open knows to reopen it.
    std::atomic<unsigned> rotations{0};

    bool rotates() const { return !currentPath.empty() && !previousPath.empty(); }
    // The previous file of this number; false when the name does not fit.
    bool previousName(int number, char* name, size_t size) const;
};

// The record that takes lines of these level bits (the table is initialised first); its first
// use since start rotates it. Null when no record takes them.
LogFileRecord* logFileRecordFor(int bits);

// Moves the current file to the first previous file and shifts the older ones up; the first
// rotation since start begins the new file with the three banner lines when banner is set.
void rotateLogFile(LogFileRecord& record, bool banner);

// Whether lines reached the record's file (errno's reason when not). The first failure says on the
// console which file could not be written and why: a read-only root or a full disk would otherwise
// leave an empty log and no word. It is said again only after the file took lines once more.
void noteLogWrite(LogFileRecord& record, bool written, int error);

// Writes one formatted line straight to the record's file, rotating at the size limit.
void writeLogLineDirect(LogFileRecord& record, const char* line, size_t length);

// Formats a line with the record's next sequence number and writes it directly.
void logDirect(LogFileRecord& record, const Severity& severity, const Tags* tags, const LogMessage& message);
void logDirectText(LogFileRecord& record, const Severity& severity, const char* text);
