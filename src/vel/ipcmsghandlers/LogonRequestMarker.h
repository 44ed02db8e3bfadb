#pragma once
// The sequenceNumber of the last logon credential request the service wrote: an answer of the
// logon client applies only when it carries this number. Engine thread only.
#include <cstdint>

void setLogonRequestMarker(std::int32_t sequenceNumber);
std::int32_t getLogonRequestMarker();
