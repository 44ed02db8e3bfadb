#pragma once

class ServiceConstants {
public:
    static constexpr const char* SERVICE_NAME = "VarnelTamselSvc";
    static constexpr const char* DISPLAY_NAME = "Varnel Tamsel";
    static constexpr const char* DESCRIPTION =
        "Manages network authentication for wired and wireless networks";
    // The program name the usage text prints.
    static constexpr const char* USAGE_PROGRAM_NAME = "Varnel_NvoClient.exe";
    // The executable's name in the start-up line of the log.
    static constexpr const char* EXECUTABLE_NAME = "tamselsvc.exe";
    static constexpr const char* VERSION = "5.1.1.18";
    // Logged at start by a build that checks configuration signatures with the published test key.
    static constexpr const char* TEST_KEY_WARNING =
        "Configuration signatures are checked with the published test key: a configuration anyone "
        "signs with it is accepted";

    static constexpr const char* INSTANCE_MUTEX_NAME = "Global\\{1E3CE9C9-9712-49A6-B36A-90E00000E4C6}";
    // A second instance waits for the first in steps this long, so that a stop ends its wait.
    static constexpr unsigned INSTANCE_WAIT_STEP_MS = 100;
    // Below the program-data root, which stands for the root of the system drive.
    static constexpr const char* DEBUG_LEVEL_FILE = "veldebug.txt";
    // Every level bit but 32, for a debug file that holds no number.
    static constexpr int DEBUG_LEVEL_UNREADABLE = -33;
    // Never taken from the debug file: incoming pipe traffic is logged only when asked for later.
    static constexpr int DEBUG_LEVEL_CLEARED_BITS = 256;

    // The service reports RUNNING this long after the engine is composed, unless told earlier.
    static constexpr int ONE_TIME_TIMER_S = 25;

    // Failure actions of the installed service.
    static constexpr unsigned FAILURE_RESET_PERIOD_S = 20;
    static constexpr unsigned FAILURE_RESTART_DELAY_MS = 2000;
    // The installer waits this long for RUNNING before it reports a failure.
    static constexpr int INSTALL_START_TIMEOUT_S = 60;
    static constexpr int MODULE_PATH_SIZE = 512;

    // Controls accepted once RUNNING was reported: STOP, SHUTDOWN and POWEREVENT.
    static constexpr unsigned CONTROLS_WHEN_RUNNING = 0x45;
};
