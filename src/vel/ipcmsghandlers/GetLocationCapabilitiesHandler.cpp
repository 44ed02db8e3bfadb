#include "vel/ipcmsghandlers/GetLocationCapabilitiesHandler.h"

#include "vel/connapi/XmlLocation.h"
#include "vel/ipcmsghandlers/ConnApiEngine.h"
#include "vel/location/LocationConstants.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

namespace {

// The capability flags in their order: two services, three formats, four encodings, three
// resolutions; each slot takes its enumeration value when its flag is on.
constexpr std::int32_t FORMATS_FROM = 3;
constexpr std::int32_t ENCODINGS_FROM = 6;
constexpr std::int32_t RESOLUTIONS_FROM = 10;
// The resolution values start at "buildingResolution".
constexpr std::int32_t FIRST_RESOLUTION = 2;

template <std::size_t N>
void fill(std::array<std::int32_t, N>& slots, const LocationCapabilities& capabilities, int firstFlag,
          std::int32_t firstValue) {
    for (std::size_t i = 0; i < N; ++i) {
        if (capabilities.flag(firstFlag + static_cast<int>(i)) != 0)
            slots[i] = firstValue + static_cast<std::int32_t>(i);
    }
}

}  // namespace

std::int32_t GetLocationCapabilitiesHandlerImpl::handle(const SoapBodyContext&,
                                                        const SoapBodyContext& reply) {
    NetworkProxy connected = ConnApiEngine::activeConfiguration().connectedNetwork();
    if (!connected.exists()) return ConnApiConstants::ERROR_LOCATION;
    LocationCapabilitiesRecord record;
    ConnApiAdapter adapter = ConnApiEngine::adapterOf(connected.network());
    if (!adapter.isNull()) {
        const LocationCapabilities capabilities = adapter.locationCapabilities();
        record.available = capabilities.supported() != 0;
        fill(record.services, capabilities, LocationConstants::FIRST_CAPABILITY_FLAG, 1);
        fill(record.formats, capabilities, FORMATS_FROM, 1);
        fill(record.encodings, capabilities, ENCODINGS_FROM, 1);
        fill(record.resolutions, capabilities, RESOLUTIONS_FROM, FIRST_RESOLUTION);
    }
    Xml_Location::WriteCapabilities(reply, record);
    return 0;
}

std::int32_t GetLocationCapabilitiesHandlerImpl::replyCommand() {
    return ConnApiMessages::GET_LOCATION_CAPABILITIES_RESPONSE;
}
