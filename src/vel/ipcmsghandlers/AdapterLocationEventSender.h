#pragma once
// Sends the location answers of an adapter's access point to every connected tray program as
// location response and location error events. The engine holder installs it for the adapters.
#include "vel/adapter/AdapterNotices.h"

class AdapterLocationEventSender : public AdapterLocationEventsInterface {
public:
    void locationResponse(const LocationResponse& response) override;
    void locationError(std::int32_t sequenceNumber, std::int32_t errorCode) override;
};
