#include "tools/report/FiltRequests.h"

#include <cstring>
#include <vector>

#include "driver/FiltInterface.h"
#include "driver/client/PellodurProtocol.h"
#include "platform/base/Utf16.h"
#include "platform/base/Win32Error.h"
#include "tools/report/ReportConstants.h"

namespace report {

namespace {

using F = FiltConstants;
using namespace base::win32;

// The name field: UTF-16 up to its first null, as UTF-8.
std::string ArrivalName(const uint8_t* record) {
    std::u16string name;
    const uint8_t* field = record + F::EVT_PAYLOAD;
    for (uint32_t i = 0; i + 1 < F::ARRIVAL_NAME_FIELD_LENGTH; i += 2) {
        char16_t c = char16_t(field[i] | field[i + 1] << 8);
        if (c == 0) break;
        name.push_back(c);
    }
    return base::utf16ToUtf8(name);
}

}  // namespace

uint32_t FiltIssueOidRequest(FiltDeviceClient* device, uint32_t adapterId, bool set, uint32_t oid, void* data,
                             uint32_t* length, uint32_t* ndisStatus) {
    if (!device || !device->isOpen()) return ERROR_INVALID_PARAMETER;
    // More than the device takes in one request is memory the report does not set aside.
    if (*length > PellodurConstants::MAX_BUFFER_LENGTH - F::OID_DATA) return ERROR_NOT_ENOUGH_MEMORY;
    std::vector<uint8_t> request(F::OID_DATA + size_t(*length), 0);
    FiltPutU32(request.data(), F::OID_ADAPTER_ID, adapterId);
    FiltPutU32(request.data(), F::OID_SET_FLAG, set ? 1 : 0);
    FiltPutU32(request.data(), F::OID_OID, oid);
    if (set && *length) std::memcpy(request.data() + F::OID_DATA, data, *length);
    uint32_t returned = 0;
    uint32_t result =
        device->deviceIoControl(F::IOCTL_FILT_OID_REQUEST, request.data(), uint32_t(request.size()),
                                request.data(), uint32_t(request.size()), &returned);
    if (result != 0) return result;
    if (returned < F::OID_DATA) return ERROR_INVALID_BLOCK;
    uint32_t written = FiltGetU32(request.data(), F::OID_BYTES_WRITTEN);
    if (!set && written > returned - F::OID_DATA) return ERROR_INVALID_BLOCK;
    *ndisStatus = FiltGetU32(request.data(), F::OID_NDIS_STATUS);
    if (*ndisStatus != 0) {
        *length = FiltGetU32(request.data(), F::OID_BYTES_NEEDED);
    } else if (!set) {
        // The driver never writes more than the capacity it was given.
        written = std::min(written, *length);
        *length = written;
        if (written) std::memcpy(data, request.data() + F::OID_DATA, written);
    }
    return 0;
}

bool FiltReadAdapterEvents(const AdapterAction& action, const std::string& socketPath) {
    using R = ReportConstants;
    FiltDeviceClient device;
    if (device.open(socketPath) != 0) return false;
    std::vector<uint8_t> batch(R::EVENT_BUFFER_LENGTH);
    bool more = true;
    for (int read = 0; read < R::EVENT_READS && more; ++read) {
        auto request = device.readAsync(R::EVENT_BUFFER_LENGTH);
        uint32_t bytes = 0;
        uint32_t result = device.getOverlappedResult(*request, batch.data(), uint32_t(batch.size()), &bytes,
                                                     R::EVENT_READ_WAIT_MS);
        if (result == ERROR_IO_INCOMPLETE) {
            device.cancelIo(*request);
            request->wait(FiltDeviceClient::INFINITE_WAIT);
            break;
        }
        if (result != 0 || bytes < F::EVT_HEADER_LENGTH) break;
        bytes = std::min<uint32_t>(bytes, uint32_t(batch.size()));
        for (uint32_t at = 0; bytes - at >= F::EVT_HEADER_LENGTH;) {
            const uint8_t* record = batch.data() + at;
            uint32_t length = FiltGetU32(record, F::EVT_LENGTH);
            if (length < F::EVT_HEADER_LENGTH || length > bytes - at) break;
            uint32_t type = FiltGetU32(record, F::EVT_TYPE);
            if (type == F::EVENT_ADAPTER_ARRIVAL && length >= F::EVT_PAYLOAD + F::ARRIVAL_NAME_FIELD_LENGTH)
                action(device, FiltGetU32(record, F::EVT_ADAPTER_ID), ArrivalName(record));
            else if (type != F::EVENT_ADAPTER_ARRIVAL)
                more = false;
            at += length;
        }
    }
    device.close();
    return true;
}

}  // namespace report
