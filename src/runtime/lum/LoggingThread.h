#pragma once

#include <atomic>
#include <cstdio>
#include <mutex>
#include <vector>

#include "runtime/lum/LogConstants.h"
#include "runtime/lum/LogFile.h"

// What a producer facing a full ring does before its line is dropped: waits for the reader to take
// bytes out. False when it will not wait (the line is then dropped as before).
class RoomWaiter {
public:
    // `taken` is the reader's count of bytes taken out when the ring was found full.
    virtual bool waitForRoom(long taken) = 0;

protected:
    ~RoomWaiter() = default;
};

// The ring of formatted lines between the callers of the log API and the logging thread.
class PrintQueue {
public:
    enum Result { QUEUED = 0, DROPPED = 1, OVERRUN = 2, BAD_HEADER = 3, NO_MUTEX = 7 };

    static constexpr const char* FULL_LINE =
        "Logging thread print queue is full.  Log Messages may be dropped.";

    PrintQueue(int ringSize, int passSize, int lineSize);

    // False when a size is 0 or the ring is smaller than a line.
    bool valid() const { return m_valid; }

    // Formats the line with the record's next sequence number and copies it into the ring. A line
    // that would eat into the reserve of one line size first waits through `waiter` for room; when
    // there is none (or no waiter), it is dropped and FULL_LINE takes its place.
    int put(LogFileRecord& record, const Severity& severity, const Tags* tags, const LogMessage& message,
            RoomWaiter* waiter = nullptr);

    // Moves up to the pass size of the oldest bytes into the pass buffer; returns their count. One
    // thread takes passes, and never waits for the producers' lock.
    int takePass();
    const char* pass() const { return m_pass.data(); }

    int usedBytes();
    int freeBytes();
    // Bytes ever taken out by the reader: it grows whenever room is made.
    long takenBytes() const { return m_taken.load(); }

private:
    void copyIn(const char* line, int length);
    // Under the lock: the bytes a producer may fill.
    int freeLocked() const;
    // Writes "<sequence>: " to out (24 bytes at least); its length.
    static int sequencePrefix(long sequence, char* out);

    // Lines of up to this size are formatted before the ring is locked.
    static constexpr size_t BODY_BUFFER_SIZE = 2048;

    // Taken by producers only: the one reader follows the two counters below without it.
    std::mutex m_mutex;
    // Bytes ever put into the ring (under the lock), the same as the reader may see them, and
    // bytes ever taken out by the reader; positions in the ring are these modulo its size.
    long m_written = 0;
    std::atomic<long> m_published{0};
    std::atomic<long> m_taken{0};
    int m_ringSize;
    int m_passSize;
    int m_lineSize;
    std::vector<char> m_ring;
    std::vector<char> m_pass;
    std::vector<char> m_line;
    // The shortest "queue full" notice composed so far: with less room none is composed.
    int m_shortestNotice = 0;
    bool m_valid;
};

// Appends one pass of whole or partial lines to the record's current file. When the file would reach
// its size limit and the pass holds a line feed, the file ends after the pass's first line and the
// rest starts the new current file.
void writeLogPass(LogFileRecord& record, const char* pass, int n);

// The current file held open by one writer between passes, reopened after a rotation.
class KeptLogFile {
public:
    KeptLogFile() = default;
    ~KeptLogFile() { close(); }
    KeptLogFile(const KeptLogFile&) = delete;
    KeptLogFile& operator=(const KeptLogFile&) = delete;
    FILE* open(LogFileRecord& record);
    void close();

private:
    FILE* m_file = nullptr;
    unsigned m_rotations = 0;
};

// The same, keeping the file open in `kept` for the next pass.
void writeLogPass(LogFileRecord& record, const char* pass, int n, KeptLogFile& kept);

// Starts the process's one logging thread writing to the record that takes every level; later
// log lines go through its ring. Refused ("Invalid object for logging thread.") while one runs.
bool startLoggingThread(int ringSize = LogConstants::RING_SIZE, int passSize = LogConstants::PASS_SIZE,
                        int lineSize = LogConstants::LINE_SIZE);

// Writes the shutdown line, lets the thread drain every buffered line and end, and switches the
// log API back to direct writes. Nothing happens when no thread runs.
void stopLoggingThread();

bool loggingThreadRunning();

// Hands a line to the logging thread; false when no thread takes it (the caller writes directly).
bool loggingThreadPut(LogFileRecord& record, const Severity& severity, const Tags* tags,
                      const LogMessage& message);
