// The BSSID list a wireless adapter of the host answers: what its radio sees of the lab's
// access points, as the adapter's driver reports a scan.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/lab/LabWorld.h"

// The list (a count, then one NDIS_WLAN_BSSID_EX entry for each access point the adapter sees):
// SSID (empty for a hidden one), BSSID, privacy, signal, band and frequency from the channel, the
// infrastructure or ad-hoc mode, and the information elements of the point's association modes.
std::vector<uint8_t> LabBssidList(const lab::World& world, const lab::Element& adapter);
