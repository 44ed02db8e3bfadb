#include "vel/powerevent/PowerEvents.h"

#include "platform/win/ServiceControl.h"

using namespace winsvc;

ServicePowerEvent powerEventOfBroadcast(std::uint32_t broadcast) {
    if (broadcast == PBT_APMSUSPEND) return VEL_POWER_EVENT_SUSPEND;
    if (broadcast == PBT_APMRESUMEAUTOMATIC) return VEL_POWER_EVENT_RESUME;
    return VEL_POWER_EVENT_UNKNOWN;
}

const char* powerBroadcastText(std::uint32_t broadcast) {
    switch (broadcast) {
        case PBT_APMQUERYSUSPEND:
            return "PBT_APMQUERYSUSPEND";
        case PBT_APMQUERYSUSPENDFAILED:
            return "PBT_APMQUERYSUSPENDFAILED";
        case PBT_APMSUSPEND:
            return "PBT_APMSUSPEND";
        case PBT_APMRESUMECRITICAL:
            return "PBT_APMRESUMECRITICAL";
        case PBT_APMRESUMESUSPEND:
            return "PBT_APMRESUMESUSPEND";
        case PBT_APMBATTERYLOW:
            return "PBT_APMBATTERYLOW";
        case PBT_APMPOWERSTATUSCHANGE:
            return "PBT_APMPOWERSTATUSCHANGE";
        case PBT_APMOEMEVENT:
            return "PBT_APMOEMEVENT";
        case PBT_APMRESUMEAUTOMATIC:
            return "PBT_APMRESUMEAUTOMATIC";
        default:
            return "UNKNOWN";
    }
}

const char* powerEventText(std::int32_t event) {
    if (event == VEL_POWER_EVENT_SUSPEND) return "VEL_POWER_EVENT_SUSPEND";
    if (event == VEL_POWER_EVENT_RESUME) return "VEL_POWER_EVENT_RESUME";
    return "VEL_POWER_EVENT_UNKNOWN";
}
