// The interface table, read from the kernel's view of the network interfaces (/sys/class/net).
#pragma once

#include <cstdint>
#include <string>

#include "platform/base/Win32Error.h"

namespace iphlpapi {

using namespace base::win32;

inline constexpr uint32_t MAX_INTERFACE_NAME_LEN = 256;
inline constexpr uint32_t MAXLEN_PHYSADDR = 8;
inline constexpr uint32_t MAXLEN_IFDESCR = 256;

inline constexpr uint32_t IF_TYPE_OTHER = 1;
inline constexpr uint32_t IF_TYPE_ETHERNET_CSMACD = 6;
inline constexpr uint32_t IF_TYPE_SOFTWARE_LOOPBACK = 24;
inline constexpr uint32_t IF_TYPE_IEEE80211 = 71;

// Administrative status: 1 up, 2 down. Operational status as the interface table counts it.
inline constexpr uint32_t IF_ADMIN_STATUS_UP = 1;
inline constexpr uint32_t IF_ADMIN_STATUS_DOWN = 2;
inline constexpr uint32_t IF_OPER_STATUS_NON_OPERATIONAL = 0;
inline constexpr uint32_t IF_OPER_STATUS_DISCONNECTED = 2;
inline constexpr uint32_t IF_OPER_STATUS_CONNECTING = 3;
inline constexpr uint32_t IF_OPER_STATUS_OPERATIONAL = 5;

struct MIB_IFROW {
    char wszName[MAX_INTERFACE_NAME_LEN];
    uint32_t dwIndex;
    uint32_t dwType;
    uint32_t dwMtu;
    uint32_t dwSpeed;
    uint32_t dwPhysAddrLen;
    uint8_t bPhysAddr[MAXLEN_PHYSADDR];
    uint32_t dwAdminStatus;
    uint32_t dwOperStatus;
    uint32_t dwLastChange;
    uint32_t dwInOctets;
    uint32_t dwInUcastPkts;
    uint32_t dwInNUcastPkts;
    uint32_t dwInDiscards;
    uint32_t dwInErrors;
    uint32_t dwInUnknownProtos;
    uint32_t dwOutOctets;
    uint32_t dwOutUcastPkts;
    uint32_t dwOutNUcastPkts;
    uint32_t dwOutDiscards;
    uint32_t dwOutErrors;
    uint32_t dwOutQLen;
    uint32_t dwDescrLen;
    uint8_t bDescr[MAXLEN_IFDESCR];
};

struct MIB_IFTABLE {
    uint32_t dwNumEntries;
    MIB_IFROW table[1];
};

// The table of every interface. With a buffer too small (or none) it gives
// ERROR_INSUFFICIENT_BUFFER and the size needed in *size. Rows are sorted by index when asked.
// Ethernet-like interfaces (wired and wireless) are of type 6, as the old table shows them;
// counters are the kernel's, cut to 32 bits.
uint32_t GetIfTable(MIB_IFTABLE* table, uint32_t* size, bool order);

// The folder read instead of /sys/class/net (for tests); empty restores it.
void SetInterfaceFolder(const std::string& folder);

}  // namespace iphlpapi
