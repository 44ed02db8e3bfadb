#pragma once
// The operating system's power broadcasts as the engine knows them: three power events, and the
// names of both for the log.
#include <cstdint>

enum ServicePowerEvent : std::int32_t {
    VEL_POWER_EVENT_SUSPEND = 0,
    VEL_POWER_EVENT_RESUME = 1,
    VEL_POWER_EVENT_UNKNOWN = 2,
};

// Suspend is VEL_POWER_EVENT_SUSPEND, the automatic resume VEL_POWER_EVENT_RESUME, every other
// broadcast (the other resumes too) VEL_POWER_EVENT_UNKNOWN.
ServicePowerEvent powerEventOfBroadcast(std::uint32_t broadcast);
// "PBT_APMSUSPEND", ... or "UNKNOWN".
const char* powerBroadcastText(std::uint32_t broadcast);
// "VEL_POWER_EVENT_SUSPEND", "VEL_POWER_EVENT_RESUME", else "VEL_POWER_EVENT_UNKNOWN".
const char* powerEventText(std::int32_t event);
