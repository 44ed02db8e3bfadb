#include "vel/phyinfo/PhyInfo.h"

#include "runtime/lum/Assert.h"
#include "vel/phyinfo/WiredPhyInfo.h"
#include "vel/phyinfo/WirelessPhyInfo.h"

PhyInfo PhyInfo::createWireless(const Ascii& ssid, std::int32_t associationMode, std::int32_t encryption,
                                const CredentialProxy& key) {
    return PhyInfo(new WirelessPhyInfoImpl(ssid, associationMode, encryption, key));
}

PhyInfo PhyInfo::createWired() {
    return PhyInfo(new WiredPhyInfoImpl);
}

void PhyInfo::startConnection(const PortManagerProxy& portManager, const QX_PORT_ATTR& attributes) const {
    if (LUM_ASSERT(m)) impl()->startConnection(portManager, attributes);
}

QX_HANDLE PhyInfo::pskHandle() const {
    return LUM_ASSERT(m) ? impl()->pskHandle() : 0;
}
