#pragma once
// The trust-agent plug-in "qxTivra": loaded by name once the authentication library runs, started
// with the library's TLV record, stopped and unloaded before the library stops. Its module handle
// and the record are kept process-wide.
#include <cstdint>

struct TivraVersion {
    int parts[4];
};

class TivraPlugin {
public:
    static constexpr const char* INIT_NAME = "VEL Tivra NetTrans";
    // The service whose program file carries the agent's version.
    static constexpr const char* SERVICE_NAME = "TivraEoU";

    // 0 when the plug-in runs; 1 when it cannot be loaded (or is loaded already), -1 without its
    // start entry, else the failing call's result.
    static int load();
    // Stops and unloads a loaded plug-in.
    static void unload();
    // The product version of the agent's service program; false when it cannot be read.
    static bool version(TivraVersion* version);
};
