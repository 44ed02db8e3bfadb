// The lower adapters the host simulates, read from the lab's <adapter> elements.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct LabAdapter {
    std::string name;      // the adapter's GUID, as the lab names it
    std::string friendly;  // becomes the instance name
    bool wireless = false;
    bool linkUp = true;
    std::vector<uint8_t> mac;
    // A wireless adapter's scan: the lab's access points it sees (LabBssidList).
    std::vector<uint8_t> bssidList;
    // Raw answers for OIDs (<oid id="0x..." hex="..."/> children), over the ones derived above.
    std::map<uint32_t, std::vector<uint8_t>> answers;
};

// Reads the lab file with the lab's reader; a missing file is a lab without adapters. False with
// `error` ("<file>:<line>: <reason>") when the file is not a good lab.
bool ReadLabAdapters(const std::string& path, std::vector<LabAdapter>* adapters, std::string* error);

// Adds the adapters to the NDIS stand-in, with the binding values an installation would have
// written ("UpperBindings") where they are missing.
void InstallLabAdapters(const std::vector<LabAdapter>& adapters);
