// The BSSID lists gathered over the wireless rounds, one per adapter name, in arrival order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/report/ReportOutput.h"

namespace report {

struct WirelessEntry {
    std::string adapterName;
    std::vector<uint8_t> list;  // NDIS_802_11_BSSID_LIST_EX as the adapter returned it
};

class WirelessTable {
public:
    // Characters of an adapter name that are kept.
    static constexpr size_t MAX_NAME = 127;

    WirelessTable();

    // A list for a known name replaces the stored one unless it holds fewer networks; a new name
    // takes the first free entry, and is dropped when none is left.
    void store(const std::string& adapterName, std::vector<uint8_t> list);
    void clear();
    const std::vector<WirelessEntry>& entries() const { return entries_; }

    // Each entry up to the first empty one (or one without networks): its heading and its list.
    void print(ReportOutput& out) const;

private:
    std::vector<WirelessEntry> entries_;
};

}  // namespace report
