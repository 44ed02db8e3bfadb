#include <chrono>
#include <thread>

#include "driver/FiltInterface.h"
#include "driver/client/PellodurProtocol.h"
#include "tools/report/FiltRequests.h"
#include "tools/report/ReportConstants.h"
#include "tools/report/ReportSections.h"

namespace report {

namespace {

using R = ReportConstants;
// The largest list one request to the control device can bring back.
constexpr uint32_t MAX_LIST_BUFFER = PellodurConstants::MAX_BUFFER_LENGTH - FiltConstants::OID_DATA;

}  // namespace

void TriggerScans(const std::string& deviceSocket) {
    FiltReadAdapterEvents(
        [](FiltDeviceClient& device, uint32_t adapterId, const std::string&) {
            uint32_t length = 0;
            uint32_t status = 0;
            FiltIssueOidRequest(&device, adapterId, true, R::OID_802_11_BSSID_LIST_SCAN, nullptr, &length,
                                &status);
        },
        deviceSocket);
}

bool QueryBssidList(FiltDeviceClient& device, uint32_t adapterId, std::vector<uint8_t>* list) {
    uint32_t size = R::FIRST_LIST_BUFFER;
    for (int attempt = 0; attempt < R::LIST_TRIES; ++attempt) {
        std::vector<uint8_t> buffer(size);
        uint32_t length = size;
        uint32_t status = 0;
        if (FiltIssueOidRequest(&device, adapterId, false, R::OID_802_11_BSSID_LIST, buffer.data(), &length,
                                &status) != 0)
            return false;
        if (status == 0) {
            buffer.resize(length);
            *list = std::move(buffer);
            return true;
        }
        if (status != R::NDIS_STATUS_BUFFER_TOO_SHORT && status != R::NDIS_STATUS_INVALID_LENGTH)
            return false;
        // The size comes from the adapter: one beyond what a request can carry is not fetched.
        uint64_t next =
            (uint64_t(length) + R::LIST_BUFFER_GRANULE - 1) / R::LIST_BUFFER_GRANULE * R::LIST_BUFFER_GRANULE;
        if (next > MAX_LIST_BUFFER) return false;
        size = uint32_t(next);
    }
    return false;
}

void CollectWirelessLists(WirelessTable& table, const std::string& deviceSocket, uint32_t pauseMs) {
    table.clear();
    for (int round = 0; round < R::WIRELESS_ROUNDS; ++round) {
        FiltReadAdapterEvents(
            [&table](FiltDeviceClient& device, uint32_t adapterId, const std::string& name) {
                std::vector<uint8_t> list;
                if (QueryBssidList(device, adapterId, &list)) table.store(name, std::move(list));
            },
            deviceSocket);
        // The pause gives the adapters' scans time to fill their lists; it is pacing, not a wait
        // for any one answer.
        std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
    }
}

}  // namespace report
