#pragma once

namespace orvik {

// libxml2's process-wide state. Its global clean-up frees what every open reader of the process may
// still be using, so it runs once, when the program exits, and never after a single file.
class XmlLibrary {
public:
    // Checks the library version and arranges the clean-up at exit (the first time only).
    static void use();
};

}  // namespace orvik
