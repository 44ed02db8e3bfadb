#include "runtime/lum/LoggingThread.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <shared_mutex>
#include <thread>

#include "platform/base/Files.h"
#include "platform/win/SignalStack.h"

namespace {

class LoggingThread final : public RoomWaiter {
public:
    LoggingThread(int ringSize, int passSize, int lineSize, LogFileRecord& record)
        : m_queue(ringSize, passSize, lineSize), m_record(record) {}

    bool run() {
        try {
            m_thread = std::thread([this] { body(); });
        } catch (const std::system_error& e) {
            report(infoSeverity(), "Logging thread failed to start err = %d.", e.code().value());
            return false;
        }
        return true;
    }

    int put(const Severity& severity, const Tags* tags, const LogMessage& message) {
        return m_queue.put(m_record, severity, tags, message, this);
    }

    // A full ring holds its producers back rather than dropping their lines, for as long as the
    // thread keeps taking bytes out; only a thread that stopped writing has lines dropped.
    bool waitForRoom(long taken) override {
        if (m_stalledAt.load() == taken) return false;
        setData();
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(LogConstants::FULL_RING_WAIT_MS);
        std::unique_lock<std::mutex> lock(m_roomMutex);
        ++m_roomWaiters;
        const bool moved =
            m_room.wait_until(lock, deadline, [&] { return m_queue.takenBytes() != taken; });
        --m_roomWaiters;
        if (!moved) m_stalledAt.store(taken);
        return moved;
    }

    void setData() {
        // One wake-up per batch: producers that find one pending leave the thread to it, and only
        // read the flag to find that, so that they do not take its cache line from each other.
        // Sequentially consistent with the ring's published count: either the thread, having
        // cleared the flag, sees this producer's line, or the producer sees the flag cleared.
        if (m_pending.load() || m_pending.exchange(true)) return;
        {
            std::lock_guard<std::mutex> lock(m_eventMutex);
            m_data = true;
        }
        m_event.notify_one();
    }

    void setStop() {
        {
            std::lock_guard<std::mutex> lock(m_eventMutex);
            m_stop = true;
        }
        m_event.notify_one();
    }

    void join() {
        if (m_thread.joinable()) m_thread.join();
    }

    PrintQueue& queue() { return m_queue; }
    LogFileRecord& record() { return m_record; }

    void report(const Severity& severity, const char* format, int value) {
        char text[160];
        snprintf(text, sizeof text, format, value);
        logDirectText(m_record, severity, text);
    }

private:
    void body() {
        win::AlternateSignalStack stack;
        for (;;) {
            bool stop;
            {
                std::unique_lock<std::mutex> lock(m_eventMutex);
                m_event.wait(lock, [this] { return m_stop || m_data; });
                stop = m_stop;
                m_data = false;
            }
            // Cleared before the ring is read: a line put after this read finds no wake-up
            // pending and sends one.
            m_pending.store(false);
            drain();
            if (stop) {
                m_file.close();
                return;
            }
        }
    }

    void drain() {
        for (;;) {
            int n = m_queue.takePass();
            if (n == 0) return;
            // Producers waiting for room go on filling the ring while this pass is written.
            if (m_roomWaiters.load() > 0) {
                { std::lock_guard<std::mutex> lock(m_roomMutex); }
                m_room.notify_all();
            }
            writePass(m_queue.pass(), n);
        }
    }

    void writePass(const char* pass, int n) { writeLogPass(m_record, pass, n, m_file); }

    PrintQueue m_queue;
    LogFileRecord& m_record;
    std::thread m_thread;
    std::mutex m_eventMutex;
    std::condition_variable m_event;
    bool m_stop = false;
    bool m_data = false;
    std::atomic<bool> m_pending{false};
    // Producers waiting for the thread to make room in a full ring.
    std::mutex m_roomMutex;
    std::condition_variable m_room;
    std::atomic<int> m_roomWaiters{0};
    // The taken count at which a producer waited in vain: the thread is not writing, and until it
    // takes bytes out again no producer waits.
    std::atomic<long> m_stalledAt{-1};
    KeptLogFile m_file;  // the logging thread's own
};

// Producers hold the hook shared while they copy a line in; unhooking takes it exclusively, so
// after an unhook no line can land in a ring that is no longer drained.
std::shared_mutex HookLock;
LoggingThread* Current = nullptr;
std::atomic<bool> Hooked{false};
std::mutex StartStopMutex;

const char* failureText(int result) {
    switch (result) {
        case PrintQueue::OVERRUN:
            return "Logging thread failed with buffer overrun.";
        case PrintQueue::BAD_HEADER:
            return "Logging thread invalid header.";
        case PrintQueue::NO_MUTEX:
            return "Logging thread failed to create mutex err = %d.";
        default:
            return "Logging thread failed with unidentified error.";
    }
}

}  // namespace

void KeptLogFile::close() {
    if (m_file != nullptr) fclose(m_file);
    m_file = nullptr;
}

FILE* KeptLogFile::open(LogFileRecord& record) {
    // Moved aside by a rotation on another road: the next lines belong in the new current file.
    if (m_file != nullptr && m_rotations != record.rotations.load()) close();
    if (m_file == nullptr) {
        m_rotations = record.rotations.load();
        m_file = base::openForAppend(record.currentPath, LogFileRecord::FILE_MODE);
        // Passes are already whole blocks: each goes to the file in one write, without a copy
        // into the stream's buffer and a flush after it.
        if (m_file != nullptr) setvbuf(m_file, nullptr, _IONBF, 0);
    }
    return m_file;
}

void writeLogPass(LogFileRecord& record, const char* pass, int n, KeptLogFile& kept) {
    if (record.currentPath.empty()) {
        fwrite(pass, 1, static_cast<size_t>(n), stdout);
        fflush(stdout);
        return;
    }
    FILE* file = kept.open(record);
    if (file == nullptr) {
        noteLogWrite(record, false, errno);
        return;
    }
    long limit = record.spec.sizeLimit;
    long size = 0;
    if (limit > 0) {
        // Other writers append to the same file between passes: its size is the file's, not ours.
        fseek(file, 0, SEEK_END);
        size = ftell(file);
    }
    const char* lineEnd = nullptr;
    if (limit > 0 && size + n >= limit)
        lineEnd = static_cast<const char*>(memchr(pass, '\n', static_cast<size_t>(n)));
    bool written;
    if (lineEnd != nullptr) {
        size_t first = static_cast<size_t>(lineEnd - pass) + 1;
        written = fwrite(pass, 1, first, file) == first;
        kept.close();
        rotateLogFile(record, false);
        file = kept.open(record);
        if (file == nullptr) {
            noteLogWrite(record, false, errno);
            return;
        }
        written = fwrite(pass + first, 1, static_cast<size_t>(n) - first, file) == static_cast<size_t>(n) - first &&
                  written;
    } else {
        written = fwrite(pass, 1, static_cast<size_t>(n), file) == static_cast<size_t>(n);
    }
    int error = errno;
    // Every pass reaches the file before the thread sleeps again.
    if (fflush(file) != 0 && written) {
        written = false;
        error = errno;
    }
    noteLogWrite(record, written, error);
}

void writeLogPass(LogFileRecord& record, const char* pass, int n) {
    KeptLogFile once;
    writeLogPass(record, pass, n, once);
}

PrintQueue::PrintQueue(int ringSize, int passSize, int lineSize)
    : m_ringSize(ringSize), m_passSize(passSize), m_lineSize(lineSize) {
    m_valid = ringSize > 0 && passSize > 0 && lineSize > 0 && ringSize >= lineSize;
    if (m_valid) {
        m_ring.assign(static_cast<size_t>(ringSize), 0);
        m_pass.assign(static_cast<size_t>(passSize), 0);
        m_line.assign(static_cast<size_t>(lineSize), 0);
    }
}

int PrintQueue::sequencePrefix(long sequence, char* out) {
    // By hand rather than by printf: this runs under the ring's lock for every line.
    char digits[24];
    int count = 0;
    unsigned long v =
        sequence < 0 ? 0ul - static_cast<unsigned long>(sequence) : static_cast<unsigned long>(sequence);
    do {
        digits[count++] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v != 0);
    int length = 0;
    if (sequence < 0) out[length++] = '-';
    while (count > 0) out[length++] = digits[--count];
    out[length++] = ':';
    out[length++] = ' ';
    return length;
}

void PrintQueue::copyIn(const char* line, int length) {
    const int write = static_cast<int>(m_written % m_ringSize);
    int first = length < m_ringSize - write ? length : m_ringSize - write;
    memcpy(m_ring.data() + write, line, static_cast<size_t>(first));
    memcpy(m_ring.data(), line + first, static_cast<size_t>(length - first));
    m_written += length;
    // The bytes before it are in the ring for the reader to see.
    m_published.store(m_written);
}

int PrintQueue::freeLocked() const {
    // Acquired: the reader has copied out what it gave back before a producer writes over it.
    return m_ringSize - static_cast<int>(m_written - m_taken.load(std::memory_order_acquire));
}

int PrintQueue::put(LogFileRecord& record, const Severity& severity, const Tags* tags,
                    const LogMessage& message, RoomWaiter* waiter) {
    if (!m_valid) return OVERRUN;
    // The line is formatted before the ring is locked, for the length of the sequence number it
    // will most likely get; only the number itself is written under the lock. Should the number
    // have grown a digit meanwhile, the line is formatted again there, as it would have been.
    // (The buffer is the caller's stack: nothing here may allocate, it runs under the run-time.)
    char body[BODY_BUFFER_SIZE];
    const bool early = m_line.size() <= sizeof body;
    const int guessed = sequencePrefixLength(record.sequence.load(std::memory_order_relaxed));
    const int bodyLength = early ? composeLogLineBody(body, m_line.size() - static_cast<size_t>(guessed),
                                                      severity, tags, message)
                                 : -1;

    std::unique_lock<std::mutex> lock(m_mutex);
    if (waiter != nullptr && (!early || bodyLength >= 0)) {
        // Room for the longest this line can come out as: a digit more in its number, or a whole
        // line when it is formatted only under the lock. Free bytes only grow while the lock is
        // held, so a line that passes here is queued below.
        const int longest = early ? guessed + 1 + bodyLength : m_lineSize;
        for (;;) {
            const long taken = m_taken.load();
            if (freeLocked() >= m_lineSize + longest) break;
            lock.unlock();
            const bool room = waiter->waitForRoom(taken);
            lock.lock();
            if (!room) break;
        }
    }
    const long sequence = record.sequence++;
    int length;
    if (early && sequencePrefixLength(sequence) == guessed) {
        if (bodyLength < 0) return BAD_HEADER;
        length = guessed + bodyLength;
        if (freeLocked() >= m_lineSize + length) {
            char prefix[24];
            sequencePrefix(sequence, prefix);
            copyIn(prefix, guessed);
            copyIn(body, bodyLength);
            return QUEUED;
        }
    } else {
        length = composeLogLine(m_line.data(), m_line.size(), sequence, severity, tags, message);
        if (length < 0) return BAD_HEADER;
        if (freeLocked() >= m_lineSize + length) {
            copyIn(m_line.data(), length);
            return QUEUED;
        }
    }
    // The notice keeps its number even when it finds no room; it is composed only when it may fit,
    // because an overrun ring makes every producer pass here under the lock.
    const long noticeSequence = record.sequence++;
    const int room = freeLocked();
    if (room < m_shortestNotice) return DROPPED;
    LogMessage full;
    full.set(FULL_LINE);
    length = composeLogLine(m_line.data(), m_line.size(), noticeSequence, infoSeverity(), nullptr, full);
    if (length > 0 && (m_shortestNotice == 0 || length < m_shortestNotice)) m_shortestNotice = length;
    if (length > 0 && room >= length) copyIn(m_line.data(), length);
    return DROPPED;
}

int PrintQueue::takePass() {
    const long taken = m_taken.load(std::memory_order_relaxed);
    const long available = m_published.load() - taken;
    const int n = available < m_passSize ? static_cast<int>(available) : m_passSize;
    if (n == 0) return 0;
    // Producers write only into the free part, and these bytes stay used until given back below.
    const int read = static_cast<int>(taken % m_ringSize);
    int first = n < m_ringSize - read ? n : m_ringSize - read;
    memcpy(m_pass.data(), m_ring.data() + read, static_cast<size_t>(first));
    memcpy(m_pass.data() + first, m_ring.data(), static_cast<size_t>(n - first));
    // Sequentially consistent: a producer about to wait for room either sees these bytes given
    // back, or is seen waiting by the thread, which then wakes it.
    m_taken.store(taken + n);
    return n;
}

int PrintQueue::usedBytes() {
    return static_cast<int>(m_published.load(std::memory_order_acquire) -
                            m_taken.load(std::memory_order_acquire));
}

int PrintQueue::freeBytes() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return freeLocked();
}

bool startLoggingThread(int ringSize, int passSize, int lineSize) {
    std::lock_guard<std::mutex> startStop(StartStopMutex);
    LogFileRecord* record = logFileRecordFor(LogConstants::ALL_LEVELS);
    if (record == nullptr) return false;
    if (Current != nullptr) {
        logDirectText(*record, severityOfLevel("WRN"), "Invalid object for logging thread.");
        return false;
    }
    auto* thread = new LoggingThread(ringSize, passSize, lineSize, *record);
    if (!thread->queue().valid()) {
        logDirectText(*record, infoSeverity(), "Logging thread failed to create print queue.");
        delete thread;
        return false;
    }
    if (!thread->run()) {
        delete thread;
        return false;
    }
    static bool atExitRegistered = false;
    if (!atExitRegistered) {
        atExitRegistered = true;
        atexit(stopLoggingThread);
    }
    std::unique_lock<std::shared_mutex> hook(HookLock);
    Current = thread;
    Hooked = true;
    return true;
}

void stopLoggingThread() {
    std::lock_guard<std::mutex> startStop(StartStopMutex);
    if (Current == nullptr) return;
    logInfo(0, "Logging thread normal shutdown.");
    LoggingThread* thread;
    {
        std::unique_lock<std::shared_mutex> hook(HookLock);
        thread = Current;
        Current = nullptr;
        Hooked = false;
    }
    thread->setStop();
    thread->join();
    delete thread;
}

bool loggingThreadRunning() {
    std::shared_lock<std::shared_mutex> hook(HookLock);
    return Current != nullptr && Hooked;
}

bool loggingThreadPut(LogFileRecord& record, const Severity& severity, const Tags* tags,
                      const LogMessage& message) {
    std::shared_lock<std::shared_mutex> hook(HookLock);
    LoggingThread* thread = Current;
    if (thread == nullptr || !Hooked || &thread->record() != &record) return false;
    int result = thread->put(severity, tags, message);
    if (result == PrintQueue::QUEUED || result == PrintQueue::DROPPED) {
        thread->setData();
        return true;
    }
    // From here on every line is written directly; the thread drains what it holds and ends.
    Hooked = false;
    thread->setStop();
    logDirectText(record, severityOfLevel("ERR"), "Logging thread failed to write to queue.");
    thread->report(severityOfLevel("ERR"), failureText(result), result);
    return false;
}
