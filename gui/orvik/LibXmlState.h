#pragma once

namespace orvik {

// libxml2's process-wide state. Its global clean-up frees what every open reader of the process may
// still be using, so it runs once, when the program exits, and never after a single file.
class LibXmlState {
public:
    // Checks the library version, keeps external entities away from settings files and arranges
    // the clean-up at exit (the first time only).
    static void use();

    // The service's parse rules: entities substituted while parsing, so that the library's bounds
    // on their expansion apply; no DTD loaded; nothing fetched from the network.
    static int parseOptions();

    // While one lives on a thread, the library loads no external entity there: a settings file
    // takes in other files only through its include elements. Readers of the rest of the program
    // keep the loader they had.
    class ReadingSettings {
    public:
        ReadingSettings();
        ~ReadingSettings();
        ReadingSettings(const ReadingSettings&) = delete;
        ReadingSettings& operator=(const ReadingSettings&) = delete;
    };
};

}  // namespace orvik
