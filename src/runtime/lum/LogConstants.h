#pragma once

class LogConstants {
public:
    // Level mask bits.
    static constexpr int LEVEL_ERROR = 1;
    static constexpr int LEVEL_WARNING = 2;
    static constexpr int LEVEL_INFO = 4;
    static constexpr int LEVEL_DEBUG = 8;
    static constexpr int LEVEL_QUEUE_LOAD = 64;
    static constexpr int LEVEL_PIPE_OUT = 128;
    static constexpr int LEVEL_PIPE_IN = 256;
    // Not a level: each checked block records its call stack, printed with a leak. Read at the
    // run-time's start, so it takes effect from "veldebug.txt" on the next start.
    static constexpr int CALL_STACKS = 512;
    static constexpr int INITIAL_MASK = 15;

    // A record with this mask takes every level.
    static constexpr int ALL_LEVELS = -1;

    // Message text is cut to this many characters.
    static constexpr int MESSAGE_MAX = 799;
    // Tag text kept in front of a message, and the combined length beyond which tags are left out.
    static constexpr int TAGS_MAX = 100;
    static constexpr int TAGS_AND_MESSAGE_MAX = 800;
    static constexpr int TIME_STAMP_MAX = 41;
    static constexpr int HOST_NAME_SIZE = 260;
    static constexpr int PATH_SIZE = 260;

    // Folder kinds of a log-file record.
    static constexpr int FOLDER_PROGRAM_DATA = 1;
    static constexpr int FOLDER_EXECUTABLE = 0;

    // The service's one log file.
    static constexpr const char* CURRENT_LOG = "CurrentLog.txt";
    static constexpr const char* PREVIOUS_LOG_PATTERN = "PreviousLog*.txt";
    static constexpr int PREVIOUS_LOG_COUNT = 9;
    static constexpr long LOG_SIZE_LIMIT = 2097152;

    // The buffered logging thread of the service.
    static constexpr int RING_SIZE = 81920;
    static constexpr int PASS_SIZE = 40960;
    static constexpr int LINE_SIZE = 1023;
    // How long a producer that finds the ring full waits for the thread to take bytes out before
    // its line is dropped. Only a thread that cannot write at all runs out of it; once it has, the
    // following lines are dropped at once until the thread writes again.
    static constexpr int FULL_RING_WAIT_MS = 1000;

    // Severity numbers.
    static constexpr int SEVERITY_INFO = 6;
    static constexpr int SEVERITY_DEBUG = 7;
};
