#pragma once
// What the connection API asks of one adapter the matchmaker holds: its name, its packet capture
// and its location service. The adapter object offers this view once its port manager can capture.
#include <cstdint>

#include "vel/location/LocationCapabilities.h"
#include "vel/location/LocationRequest.h"
#include "vel/reference/ElementInterface.h"
#include "vel/reference/Reference.h"
#include "vel/string/Ascii.h"

class ConnApiAdapterInterface : public ElementInterface {
public:
    virtual Ascii adapterName() = 0;
    // True when the adapter's port manager started capturing to its file.
    virtual bool enablePacketCapture() = 0;
    virtual void disablePacketCapture() = 0;
    // What the location service of the adapter's access point offers (its scan details).
    virtual LocationCapabilities locationCapabilities() = 0;
    // True when the adapter took the request to its access point.
    virtual bool requestLocation(const LocationRequest& request) = 0;

protected:
    ~ConnApiAdapterInterface() = default;
};

class ConnApiAdapter : public Reference {
public:
    ConnApiAdapter() = default;
    explicit ConnApiAdapter(ConnApiAdapterInterface* p) : Reference(p) {}

    Ascii adapterName() const { return view()->adapterName(); }
    bool enablePacketCapture() const { return view()->enablePacketCapture(); }
    void disablePacketCapture() const { view()->disablePacketCapture(); }
    LocationCapabilities locationCapabilities() const { return view()->locationCapabilities(); }
    bool requestLocation(const LocationRequest& request) const { return view()->requestLocation(request); }

    ConnApiAdapterInterface* view() const { return static_cast<ConnApiAdapterInterface*>(m); }
};
