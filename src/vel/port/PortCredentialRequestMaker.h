#pragma once
// Joins the port layer to the engine's credential requests: the responder member makes a
// CredentialRequest for each library request, answered through its port manager, and a session
// start hands the library the machine's CA and personal stores. Installed once at start-up.
#include <cstdint>

#include "vel/certificate/CertificateStoreHandle.h"
#include "vel/port/PortCredentialResponderMember.h"
#include "vel/port/PortManager.h"

class PortCredentialRequestMaker {
public:
    // What was installed before, for restore().
    struct Installed {
        PortCredentialResponderMember::RequestMaker maker = nullptr;
        PortManagerImpl::MachineStoreOpenerFunction opener = nullptr;
    };

    static Installed install();
    static void restore(const Installed& previous);

    // A CredentialRequest answered through the port manager.
    static Reference make(const VelAdapter& adapter, PortManagerImpl* portManager, std::int32_t sync,
                          std::int32_t requestType, std::int32_t level, std::int32_t value);
    // The machine's root CA, intermediate CA and personal stores, in that order.
    static void openMachineStores(CertificateStoreHandle stores[3]);
};
