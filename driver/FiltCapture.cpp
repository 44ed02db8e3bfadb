// Starting, stopping and naming a binding's capture file. Frames are added by the frame path.
#include <cstring>

#include "driver/Filt.h"
#include "driver/FiltInterface.h"

namespace {

constexpr ULONG PCAP_MAGIC = 0xA1B2C3D4;
constexpr ULONG SNAPSHOT_LENGTH = 2048;
const WCHAR NT_PREFIX[] = u"\\??\\";
constexpr ULONG NT_PREFIX_CHARS = 4;

ULONG LinkType(NDIS_MEDIUM medium) {
    switch (medium) {
        case NdisMedium802_5:
            return 6;
        case NdisMediumFddi:
            return 10;
        case NdisMediumArcnet878_2:
            return 7;
        case NdisMediumAtm:
            return 11;
        default:
            return 1;
    }
}

void FreeName(FiltCaptureBlock& capture) {
    if (capture.Name.Buffer) FiltFree(capture.Name.Buffer, capture.Name.MaximumLength);
    capture.Name = NDIS_STRING{};
}

}  // namespace

NDIS_STATUS FiltCaptureStart(FiltBinding* binding, const NDIS_STRING* path, ULONG sizeLimit) {
    if (!binding || !path || !path->Buffer || path->Length == 0) return NDIS_STATUS_FAILURE;
    FiltCaptureBlock& capture = binding->Capture;
    NdisAcquireSpinLock(&capture.Lock);
    bool active = capture.Active;
    NdisReleaseSpinLock(&capture.Lock);
    if (active) return NDIS_STATUS_FAILURE;

    FreeName(capture);
    ULONG capacity = path->MaximumLength > path->Length ? path->MaximumLength : path->Length;
    NDIS_STRING name;
    name.MaximumLength = USHORT(capacity + 8);
    name.Buffer = static_cast<WCHAR*>(FiltAllocate(name.MaximumLength));
    if (!name.Buffer) return NDIS_STATUS_FAILURE;
    std::memcpy(name.Buffer, NT_PREFIX, NT_PREFIX_CHARS * sizeof(WCHAR));
    std::memcpy(name.Buffer + NT_PREFIX_CHARS, path->Buffer, path->Length);
    name.Length = USHORT(NT_PREFIX_CHARS * sizeof(WCHAR) + path->Length);

    void* file = nullptr;
    UCHAR header[24];
    FiltPutU32(header, 0, PCAP_MAGIC);
    FiltPutU16(header, 4, 2);
    FiltPutU16(header, 6, 4);
    FiltPutU32(header, 8, 0);
    FiltPutU32(header, 12, 0);
    FiltPutU32(header, 16, SNAPSHOT_LENGTH);
    FiltPutU32(header, 20, LinkType(binding->Medium));
    if (ZwCreateFile(&file, &name) != STATUS_SUCCESS ||
        ZwWriteFile(file, header, sizeof(header)) != STATUS_SUCCESS) {
        if (file) ZwClose(file);
        FiltFree(name.Buffer, name.MaximumLength);
        return NDIS_STATUS_FAILURE;
    }

    NdisAcquireSpinLock(&capture.Lock);
    capture.Name = name;
    capture.File = file;
    capture.BytesWritten = sizeof(header);
    capture.SizeLimit = sizeLimit;
    capture.Active = true;
    NdisReleaseSpinLock(&capture.Lock);
    return NDIS_STATUS_SUCCESS;
}

void FiltCaptureStop(FiltBinding* binding) {
    FiltCaptureBlock& capture = binding->Capture;
    NdisAcquireSpinLock(&capture.Lock);
    void* file = capture.Active ? capture.File : nullptr;
    capture.Active = false;
    capture.File = nullptr;
    NdisReleaseSpinLock(&capture.Lock);
    if (file) ZwClose(file);
}

void FiltCaptureTeardown(FiltBinding* binding) {
    FiltCaptureStop(binding);
    FreeName(binding->Capture);
}

NDIS_STATUS FiltCaptureCurrentName(FiltBinding* binding, WCHAR* output, ULONG outputBytes, ULONG* nameBytes) {
    FiltCaptureBlock& capture = binding->Capture;
    NdisAcquireSpinLock(&capture.Lock);
    ULONG bytes = 0;
    const WCHAR* name = nullptr;
    if (capture.Active && capture.Name.Length >= NT_PREFIX_CHARS * sizeof(WCHAR)) {
        name = capture.Name.Buffer + NT_PREFIX_CHARS;
        bytes = capture.Name.Length - NT_PREFIX_CHARS * sizeof(WCHAR);
    }
    NDIS_STATUS status = NDIS_STATUS_SUCCESS;
    if (outputBytes < bytes + sizeof(WCHAR)) {
        status = NDIS_STATUS_BUFFER_TOO_SHORT;
    } else {
        if (bytes) std::memcpy(output, name, bytes);
        output[bytes / sizeof(WCHAR)] = 0;
        *nameBytes = bytes;
    }
    NdisReleaseSpinLock(&capture.Lock);
    return status;
}
