#pragma once
// The start of the tray program: its log, one instance per session, the command line, help,
// application object, translator and controller, the event loop, and the order things go.
class GuiStartup {
public:
    static constexpr const char* CURRENT_LOG = "GuiCurrentLog.txt";
    static constexpr const char* PREVIOUS_LOG = "GuiPreviousLog.txt";
    static constexpr const char* ACCESS_SWITCH = "-Access";
    static constexpr const char* QUIT_SWITCH = "-Quit";
    static constexpr const char* HELP_INDEX = "help.xml";
    static constexpr const char* TRANSLATION_PREFIX = "tamselgui_";
    // How long "-Quit" waits for the running instance to let its lock go.
    static constexpr int QUIT_WAIT_MS = 20000;

    // Whether the first argument is the switch, written in any case.
    static bool firstArgumentIs(int argc, char** argv, const char* name);

    // The program's exit code: the event loop's, 0 after a hand-off, 1 when the lock cannot be had.
    static int run(int argc, char** argv);
};
