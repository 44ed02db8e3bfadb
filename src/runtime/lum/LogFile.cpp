#include "runtime/lum/LogFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/base/Files.h"
#include "runtime/lum/CrashHandler.h"
#include "runtime/lum/RuntimeFolders.h"

namespace {

const char* const BANNER[] = {"-----------------", "5.1.1.18 win.x86 2009-10-26 14:19:14",
                              "-----------------"};

constexpr size_t PATH_BUFFER = 4096;

// Direct lines: a header of a few hundred characters, the tags and a whole message.
constexpr size_t DIRECT_LINE_SIZE = 1400;

struct LogFileTable {
    std::mutex initMutex;  // "Lum_log_init_mutex"
    std::vector<LogFileSpec> specs{serviceLogFileSpec()};
    std::atomic<const std::vector<LogFileRecord*>*> records{nullptr};
    std::atomic<bool> initialised{false};
    // Records replaced by a reconfiguration stay alive: another thread may still be writing.
    std::vector<std::unique_ptr<LogFileRecord>> owned;
    std::vector<std::unique_ptr<std::vector<LogFileRecord*>>> ownedLists;
};

LogFileTable& table() {
    static LogFileTable* t = new LogFileTable;  // never destroyed: logging outlives static teardown
    return *t;
}

void computePaths(LogFileRecord& record) {
    std::string folder;
    if (record.spec.folderKind == LogConstants::FOLDER_PROGRAM_DATA) {
        folder = runtimeLogsFolder();
    } else {
        folder = executableFolder();
    }
    if (record.spec.currentName != nullptr) record.currentPath = folder + record.spec.currentName;
    if (record.spec.previousPattern != nullptr && strchr(record.spec.previousPattern, '*') != nullptr) {
        record.previousPath = folder + record.spec.previousPattern;
        record.starPosition = record.previousPath.rfind('*');
    }
}

int clampedPreviousCount(const LogFileSpec& spec) {
    if (spec.previousCount < 1) return 1;
    if (spec.previousCount > 9) return 9;
    return spec.previousCount;
}

void rotateOnFirstUse(LogFileRecord& record) {
    if (record.flags.load(std::memory_order_acquire) & LogFileRecord::FLAG_ROTATED) return;
    std::lock_guard<std::recursive_mutex> lock(record.mutex);
    if ((record.flags & LogFileRecord::FLAG_ROTATED) == 0) {
        rotateLogFile(record, true);
        record.flags |= LogFileRecord::FLAG_ROTATED;
    }
}

}  // namespace

const LogFileSpec& serviceLogFileSpec() {
    static const LogFileSpec spec = {LogConstants::FOLDER_PROGRAM_DATA, LogConstants::ALL_LEVELS,
                                     LogConstants::CURRENT_LOG,         LogConstants::PREVIOUS_LOG_PATTERN,
                                     LogConstants::PREVIOUS_LOG_COUNT,  LogConstants::LOG_SIZE_LIMIT};
    return spec;
}

void configureLogFiles(const LogFileSpec* specs, int count) {
    LogFileTable& t = table();
    std::lock_guard<std::mutex> lock(t.initMutex);
    t.specs.assign(specs, specs + count);
    t.initialised = false;
}

void initLogFiles() {
    LogFileTable& t = table();
    if (t.initialised.load(std::memory_order_acquire)) return;
    std::lock_guard<std::mutex> lock(t.initMutex);
    if (t.initialised.load(std::memory_order_relaxed)) return;
    logHostName();
    auto records = std::make_unique<std::vector<LogFileRecord*>>();
    for (const LogFileSpec& spec : t.specs) {
        auto record = std::make_unique<LogFileRecord>();
        record->spec = spec;
        computePaths(*record);
        records->push_back(record.get());
        t.owned.push_back(std::move(record));
    }
    const std::vector<LogFileRecord*>* list = records.get();
    t.ownedLists.push_back(std::move(records));
    t.records.store(list, std::memory_order_release);
    t.initialised.store(true, std::memory_order_release);
    // A crash of the process belongs beside the logs of the root now in use.
    refreshCrashDumpPaths();
    for (LogFileRecord* record : *list) {
        if (record->spec.levelMask & logLevelMask()) rotateOnFirstUse(*record);
    }
}

LogFileRecord* logFileRecordFor(int bits) {
    initLogFiles();
    const std::vector<LogFileRecord*>* records = table().records.load(std::memory_order_acquire);
    if (records == nullptr) return nullptr;
    for (LogFileRecord* record : *records) {
        if (record->spec.levelMask & bits) {
            rotateOnFirstUse(*record);
            return record;
        }
    }
    return nullptr;
}

bool LogFileRecord::previousName(int number, char* name, size_t size) const {
    if (previousPath.size() + 1 > size) return false;
    memcpy(name, previousPath.c_str(), previousPath.size() + 1);
    name[starPosition] = static_cast<char>('0' + number);
    return true;
}

// Rotation runs on the logging thread too, possibly while the run-time goes down: it works on
// buffers of its own and takes no memory.
void rotateLogFile(LogFileRecord& record, bool banner) {
    std::lock_guard<std::recursive_mutex> lock(record.mutex);
    if (!record.rotates()) return;
    record.flags |= LogFileRecord::FLAG_ROTATING;
    int n = clampedPreviousCount(record.spec);
    char destination[PATH_BUFFER];
    char source[PATH_BUFFER];
    bool failed = !record.previousName(n, destination, sizeof destination) ||
                  record.currentPath.size() + 1 > sizeof source;
    for (int i = n; i >= 1 && !failed; --i) {
        if (i > 1) {
            record.previousName(i - 1, source, sizeof source);
        } else {
            memcpy(source, record.currentPath.c_str(), record.currentPath.size() + 1);
        }
        remove(destination);
        if (rename(source, destination) != 0 && errno != ENOENT) {
            char text[64];
            snprintf(text, sizeof text, "Failed to move log files, err = %d", errno);
            logDirectText(record, infoSeverity(), text);
            failed = true;
            break;
        }
        memcpy(destination, source, sizeof destination);
    }
    ++record.rotations;
    if (!failed && banner && (record.flags & LogFileRecord::FLAG_ROTATED) == 0) {
        for (const char* line : BANNER) logDirectText(record, infoSeverity(), line);
    }
    record.flags &= ~LogFileRecord::FLAG_ROTATING;
}

void noteLogWrite(LogFileRecord& record, bool written, int error) {
    if (written) {
        if (record.flags.load(std::memory_order_relaxed) & LogFileRecord::FLAG_WRITE_FAILED)
            record.flags &= ~LogFileRecord::FLAG_WRITE_FAILED;
        return;
    }
    if (record.flags.fetch_or(LogFileRecord::FLAG_WRITE_FAILED) & LogFileRecord::FLAG_WRITE_FAILED) return;
    fprintf(stderr, "Cannot write the log file %s: %s\n", record.currentPath.c_str(), strerror(error));
    fflush(stderr);
}

void writeLogLineDirect(LogFileRecord& record, const char* line, size_t length) {
    std::lock_guard<std::recursive_mutex> lock(record.mutex);
    if (record.currentPath.empty()) {
        fwrite(line, 1, length, stdout);
        fflush(stdout);
        return;
    }
    FILE* file = base::openForAppend(record.currentPath, LogFileRecord::FILE_MODE);
    if (file == nullptr) {
        noteLogWrite(record, false, errno);
        return;
    }
    bool written = fwrite(line, 1, length, file) == length;
    int error = errno;
    long size = ftell(file);
    // A full disk shows only when the stream's buffer goes out.
    if (fclose(file) != 0 && written) {
        written = false;
        error = errno;
    }
    noteLogWrite(record, written, error);
    if (record.spec.sizeLimit > 0 && size >= record.spec.sizeLimit &&
        (record.flags & LogFileRecord::FLAG_ROTATING) == 0 && record.rotates()) {
        rotateLogFile(record, false);
    }
}

void logDirect(LogFileRecord& record, const Severity& severity, const Tags* tags, const LogMessage& message) {
    char line[DIRECT_LINE_SIZE];
    std::lock_guard<std::recursive_mutex> lock(record.mutex);
    int length = composeLogLine(line, sizeof line, record.sequence++, severity, tags, message);
    if (length > 0) writeLogLineDirect(record, line, static_cast<size_t>(length));
}

void logDirectText(LogFileRecord& record, const Severity& severity, const char* text) {
    LogMessage message;
    message.set(text);
    logDirect(record, severity, nullptr, message);
}
