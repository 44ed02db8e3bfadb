#pragma once
// Who hears an adapter's notices above the adapter layer: the matchmaker learns that an adapter is
// bound, managed or unbound, and the tray programs get the location answers of its access point.
// Each owner installs its part when the engine holder builds it and removes it (null) before it
// goes; a notice with nothing installed is dropped. Engine event-queue thread.
#include <cstdint>

#include "vel/location/LocationResponse.h"
#include "vel/reference/Installed.h"

class VelAdapter;

class AdapterMatchmakerInterface {
public:
    virtual void adapterBound(const VelAdapter& adapter) = 0;
    virtual void adapterManaged(const VelAdapter& adapter) = 0;
    virtual void adapterUnbound(const VelAdapter& adapter) = 0;

protected:
    ~AdapterMatchmakerInterface() = default;
};

class AdapterLocationEventsInterface {
public:
    // The access point answered a location request.
    virtual void locationResponse(const LocationResponse& response) = 0;
    // It could not: the request's sequence number and the error code.
    virtual void locationError(std::int32_t sequenceNumber, std::int32_t errorCode) = 0;

protected:
    ~AdapterLocationEventsInterface() = default;
};

class AdapterNotices {
public:
    static void installMatchmaker(AdapterMatchmakerInterface* matchmaker) {
        InstalledPointer<AdapterMatchmakerInterface>::install(matchmaker);
    }
    static AdapterMatchmakerInterface* matchmaker() {
        return InstalledPointer<AdapterMatchmakerInterface>::installed();
    }
    static void installLocationEvents(AdapterLocationEventsInterface* events) {
        InstalledPointer<AdapterLocationEventsInterface>::install(events);
    }
    static AdapterLocationEventsInterface* locationEvents() {
        return InstalledPointer<AdapterLocationEventsInterface>::installed();
    }
};
