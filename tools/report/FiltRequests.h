// The report's two uses of the filter driver's control device: OID requests to one adapter and
// reading the adapter-arrival records the driver sends to a new opener.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "driver/client/FiltDeviceClient.h"

namespace report {

// Exchanges one FiltOidRequest. `length` holds the data length on entry; on return the bytes
// written (query success) or the bytes needed (a nonzero NDIS status). Returns a Win32 code: 87
// without a device, 8 for more data than one request can carry, the device control's error, 9
// for a short or inconsistent answer, else 0.
uint32_t FiltIssueOidRequest(FiltDeviceClient* device, uint32_t adapterId, bool set, uint32_t oid, void* data,
                             uint32_t* length, uint32_t* ndisStatus);

// Called for every adapter-arrival record with the open device, the adapter id and its name.
using AdapterAction =
    std::function<void(FiltDeviceClient& device, uint32_t adapterId, const std::string& name)>;

// Opens the device, hands every adapter-arrival record to the action and closes it again. False
// when the device could not be opened.
bool FiltReadAdapterEvents(const AdapterAction& action, const std::string& socketPath);

}  // namespace report
