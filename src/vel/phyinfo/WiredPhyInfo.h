#pragma once
// A wired network: the link needs no association, so a connection only says so.
#include "vel/phyinfo/PhyInfo.h"

class WiredPhyInfoImpl : public PhyInfoImpl {
public:
    void startConnection(const PortManagerProxy& portManager, const QX_PORT_ATTR& attributes) override;
    QX_HANDLE pskHandle() override { return 0; }
};
