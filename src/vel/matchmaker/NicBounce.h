#pragma once
// The repair of the wireless adapters: the adapter restart utility, started from the service's own
// folder with the adapters' names, hidden and not waited for.
#include <string>

class NicBounce {
public:
    static constexpr const char* PROGRAM = "nicbounce.exe";

    // names: the symbolic names of the adapters, run together.
    static void restartAdapters(const std::string& names);
};
