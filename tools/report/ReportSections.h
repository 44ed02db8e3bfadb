// The report's sections, in the order main writes them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "driver/client/FiltDeviceClient.h"
#include "tools/report/ReportOutput.h"
#include "tools/report/WirelessTable.h"

namespace report {

// Asks every adapter of the filter driver for a fresh scan; results are not looked at.
void TriggerScans(const std::string& deviceSocket);

// Installed files, versions, hook, drivers and their logs.
void PrintProductSection(ReportOutput& out, const std::string& deviceSocket);

// Every adapter of the network configuration, then the interface table.
void PrintNetworkSection(ReportOutput& out);
void PrintInterfaceTable(ReportOutput& out);

// Reads the BSSID lists of every adapter over the rounds, pausing `pauseMs` after each round.
void CollectWirelessLists(WirelessTable& table, const std::string& deviceSocket, uint32_t pauseMs);
// Fetches one adapter's list, growing the buffer as the adapter asks; false when it gave none.
bool QueryBssidList(FiltDeviceClient& device, uint32_t adapterId, std::vector<uint8_t>* list);

}  // namespace report
