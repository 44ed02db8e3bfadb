#include "vel/ipcmsghandlers/LogonRequestMarker.h"

namespace {

std::int32_t g_logonRequestMarker = 0;

}  // namespace

void setLogonRequestMarker(std::int32_t sequenceNumber) {
    g_logonRequestMarker = sequenceNumber;
}

std::int32_t getLogonRequestMarker() {
    return g_logonRequestMarker;
}
