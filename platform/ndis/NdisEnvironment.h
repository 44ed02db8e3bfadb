// The stand-in's NDIS itself: what the driver registered, the simulated adapters below it, the
// virtual miniports it created with their simulated upper protocols, and its control device.
// Hosts and tests drive bindings, power changes and device requests through it.
#pragma once

#include <atomic>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/base/FailureInjection.h"
#include "platform/ndis/Ndis.h"
#include "platform/ndis/SimLowerMiniport.h"
#include "platform/ndis/SimUpperProtocol.h"

namespace ndissim {

// The status a call armed by base::failNext (by its NDIS function's name) returns instead of
// doing its work; NDIS_STATUS_SUCCESS when it is not to fail.
inline NDIS_STATUS injectedStatus(const char* call) {
    NDIS_STATUS status = NDIS_STATUS_SUCCESS;
    return base::injectedFailure(call, status) ? status : NDIS_STATUS_SUCCESS;
}

// Configuration path of a lower adapter's binding below the machine root.
std::string BindingConfigurationPath(const std::u16string& lowerDeviceName);

class NdisEnvironment {
public:
    static NdisEnvironment& instance();

    // Forgets everything; the driver must have been unloaded first.
    void reset();

    SimLowerMiniport& addLowerAdapter(std::u16string deviceName, std::u16string instanceName,
                                      NDIS_MEDIUM medium);
    SimLowerMiniport* lowerAdapter(const std::u16string& deviceName);

    // Offers the adapter to the registered protocol; returns the bind handler's status.
    NDIS_STATUS bindAdapter(SimLowerMiniport& lower);
    // Offers every adapter that has no binding yet.
    void bindAll();
    NDIS_STATUS unbindAdapter(SimLowerMiniport& lower);
    bool isBound(const SimLowerMiniport& lower);
    // Sends a set-power event for the lower adapter to the protocol above it.
    NDIS_STATUS setLowerPower(SimLowerMiniport& lower, NDIS_DEVICE_POWER_STATE state);
    // The lower adapter indicates a status, then status-complete.
    void indicateStatus(SimLowerMiniport& lower, NDIS_STATUS status, std::vector<uint8_t> buffer = {});
    NDIS_STATUS sendPnPEvent(SimLowerMiniport* lower, NET_PNP_EVENT_CODE code);

    // Virtual miniport initialisation runs when the driver asks, unless deferred; deferred ones
    // run at runDeferredInitializations().
    void setDeferInitialization(bool defer);
    size_t runDeferredInitializations();
    void setOfferedMedia(std::vector<NDIS_MEDIUM> media);

    // The upper protocol bound to the initialised virtual miniport of that instance name.
    SimUpperProtocol* upperProtocol(const std::u16string& virtualName);
    ULONG miniportAttributes(const std::u16string& virtualName);
    size_t initializedMiniportCount();

    // Whether packets carry a stack slot for an intermediate driver (off: the driver wraps them).
    void setOfferPacketStacks(bool offer) { offerStacks_ = offer; }
    bool offersPacketStacks() const { return offerStacks_; }

    bool protocolRegistered();
    // Called (outside the environment's lock) each time a protocol has gone: the system notices
    // a driver that unloaded its protocol and loads it again, which is the host's part here.
    void setProtocolGoneHandler(std::function<void()> handler);
    bool miniportRegistered();
    bool wrapperInitialized();
    const NDIS_MINIPORT_CHARACTERISTICS& miniportCharacteristics();
    DEVICE_OBJECT* controlDevice();  // null while none is registered
    std::u16string controlDeviceName();

    // ---- used by the NDIS calls ----
    struct Open {
        SimLowerMiniport* lower;
        NDIS_HANDLE context;
        bool open;
    };
    struct Instance {
        std::u16string name;
        NDIS_HANDLE context = nullptr;
        bool pendingInit = false;
        bool initialized = false;
        ULONG attributes = 0;
        std::unique_ptr<SimUpperProtocol> upper;
    };
    struct Device {
        DEVICE_OBJECT object;
        std::u16string name;
        bool registered = true;
    };

    const NDIS_PROTOCOL_CHARACTERISTICS& protocolCharacteristics();
    // The protocol's context for its open of the adapter; false while it has none.
    bool protocolContext(const SimLowerMiniport& lower, NDIS_HANDLE* context);
    // Lets every upper protocol give back the received packets it took.
    void returnUpperReceives();
    void completeRequest(NDIS_HANDLE protocolContext, NDIS_REQUEST* request, NDIS_STATUS status);
    NDIS_STATUS initializeWrapper();
    void terminateWrapper();
    NDIS_STATUS registerMiniport(const NDIS_MINIPORT_CHARACTERISTICS& chars, NDIS_HANDLE* driverHandle);
    void deregisterMiniport();
    NDIS_STATUS registerProtocol(const NDIS_PROTOCOL_CHARACTERISTICS& chars, NDIS_HANDLE* protocolHandle);
    NDIS_STATUS deregisterProtocol();
    NDIS_STATUS registerDevice(const std::u16string& name, PDRIVER_DISPATCH functions[],
                               DEVICE_OBJECT** object, NDIS_HANDLE* handle);
    NDIS_STATUS deregisterDevice(NDIS_HANDLE handle);
    NDIS_STATUS openAdapter(const std::u16string& name, NDIS_HANDLE context, NDIS_MEDIUM* media, ULONG count,
                            ULONG* selected, NDIS_HANDLE* bindingHandle);
    NDIS_STATUS closeAdapter(NDIS_HANDLE bindingHandle);
    NDIS_STATUS initializeInstance(const std::u16string& name, NDIS_HANDLE context);
    NDIS_STATUS cancelInitialize(const std::u16string& name);
    NDIS_STATUS deinitializeInstance(NDIS_HANDLE handle);
    NDIS_STATUS reEnumerateBindings();

private:
    NDIS_STATUS runInitialize(Instance* instance);
    Open* findOpen(const SimLowerMiniport& lower);

    std::recursive_mutex mutex_;
    bool wrapper_ = false;
    bool miniportRegistered_ = false;
    bool protocolRegistered_ = false;
    std::function<void()> protocolGone_;
    NDIS_MINIPORT_CHARACTERISTICS miniportChars_;
    NDIS_PROTOCOL_CHARACTERISTICS protocolChars_;
    std::vector<std::unique_ptr<SimLowerMiniport>> lowers_;
    std::list<Open> opens_;
    std::list<Instance> instances_;
    std::list<Device> devices_;
    std::vector<std::unique_ptr<SimUpperProtocol>> retiredUppers_;
    std::vector<NDIS_MEDIUM> offeredMedia_{NdisMedium802_3};
    bool deferInit_ = false;
    std::atomic<bool> offerStacks_{false};
};

}  // namespace ndissim
