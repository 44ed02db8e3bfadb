// The control device's I/O control codes other than the private commands.
#include <cstring>

#include "driver/Filt.h"
#include "driver/FiltInterface.h"

namespace {

constexpr ULONG MAX_PATH_BYTES = 0xFFFE;

// Releases the looked-up binding when the request is done with it.
struct BindingRef {
    FiltBinding* binding;
    explicit BindingRef(ULONG adapterId) : binding(FiltLookupBinding(adapterId)) {}
    ~BindingRef() {
        if (binding) FiltReleaseBinding(binding);
    }
};

}  // namespace

NTSTATUS FiltIoctlVersion(IRP* irp) {
    if (!irp->SystemBuffer || irp->OutputBufferLength == 0) return STATUS_INVALID_PARAMETER;
    if (irp->OutputBufferLength < FiltConstants::VERSION_LENGTH) return STATUS_BUFFER_TOO_SMALL;
    auto* out = static_cast<UCHAR*>(irp->SystemBuffer);
    for (int i = 0; i < 4; ++i) FiltPutU16(out, 2 * i, FiltConstants::VERSION[i]);
    irp->IoStatus.Information = FiltConstants::VERSION_LENGTH;
    return STATUS_SUCCESS;
}

NTSTATUS FiltIoctlOidRequest(IRP* irp, ULONG callerPid) {
    auto* buffer = static_cast<UCHAR*>(irp->SystemBuffer);
    ULONG in = irp->InputBufferLength, out = irp->OutputBufferLength;
    if (!buffer || in == 0 || out == 0) return STATUS_INVALID_PARAMETER;
    if (in <= 23 || out <= 23) return STATUS_BUFFER_TOO_SMALL;
    ULONG setFlag = FiltGetU32(buffer, FiltConstants::OID_SET_FLAG);
    if (setFlag > 1) return STATUS_NOT_SUPPORTED;
    bool set = setFlag == 1;
    NDIS_OID oid = FiltGetU32(buffer, FiltConstants::OID_OID);
    UCHAR* data = buffer + FiltConstants::OID_DATA;
    ULONG capacity = (set ? in : out) - FiltConstants::OID_DATA;

    ULONG written = 0, needed = 0;
    NDIS_STATUS status;
    BindingRef ref(FiltGetU32(buffer, FiltConstants::OID_ADAPTER_ID));
    if (!ref.binding) {
        status = NDIS_STATUS_ADAPTER_NOT_FOUND;
    } else if (oid == ref.binding->PrivateOid) {
        status = set ? FiltPrivateSet(ref.binding, callerPid, data, capacity)
                     : FiltPrivateQuery(ref.binding, callerPid, data, capacity);
        if (status == NDIS_STATUS_NOT_SUPPORTED && ref.binding->LowerServesGuid)
            status =
                FiltForwardOidRequest(ref.binding, callerPid, set, oid, data, capacity, &written, &needed);
    } else {
        status = FiltForwardOidRequest(ref.binding, callerPid, set, oid, data, capacity, &written, &needed);
    }
    FiltPutU32(buffer, FiltConstants::OID_BYTES_WRITTEN, written);
    FiltPutU32(buffer, FiltConstants::OID_BYTES_NEEDED, needed);
    FiltPutU32(buffer, FiltConstants::OID_NDIS_STATUS, status);
    irp->IoStatus.Information = out;
    return STATUS_SUCCESS;
}

NDIS_STATUS FiltForwardOidRequest(FiltBinding* binding, ULONG callerPid, bool set, NDIS_OID oid, UCHAR* data,
                                  ULONG capacity, ULONG* bytesWritten, ULONG* bytesNeeded) {
    *bytesWritten = 0;
    *bytesNeeded = 0;
    if (oid == OID_GEN_SUPPORTED_GUIDS) {
        if (set) return NDIS_STATUS_FAILURE;
        if (capacity < binding->GuidListLength) {
            *bytesNeeded = binding->GuidListLength;
            return NDIS_STATUS_BUFFER_TOO_SHORT;
        }
        NdisMoveMemory(data, binding->GuidList, binding->GuidListLength);
        *bytesWritten = binding->GuidListLength;
        return NDIS_STATUS_SUCCESS;
    }
    NdisAcquireSpinLock(&binding->Lock);
    bool owner = binding->OwnerPid == callerPid;
    NdisReleaseSpinLock(&binding->Lock);
    if (set && !owner) return NDIS_STATUS_NOT_ACCEPTED;

    void* sent = data;
    ULONG sentLength = capacity;
    FiltMergeBlock merge;
    if (set && oid == OID_GEN_CURRENT_PACKET_FILTER) {
        if (capacity < 4) {
            *bytesNeeded = 4;
            return NDIS_STATUS_BUFFER_TOO_SHORT;
        }
        std::memcpy(&merge.MergedFilter, data, 4);
        merge.MergedFilter |= binding->Upper.PacketFilter;
        sent = &merge.MergedFilter;
        sentLength = 4;
    } else if (set && oid == OID_802_3_MULTICAST_LIST) {
        NDIS_STATUS status = FiltMergeMulticast(data, capacity, binding->Upper, &merge);
        if (status != NDIS_STATUS_SUCCESS) return status;
        sent = merge.MergedList;
        sentLength = merge.MergedCount * FILT_ADDRESS_LENGTH;
    }
    NDIS_STATUS status =
        FiltSyncRequest(binding, set ? NdisRequestSetInformation : NdisRequestQueryInformation, oid, sent,
                        sentLength, bytesWritten, bytesNeeded);
    if (*bytesWritten > capacity) *bytesWritten = capacity;
    if (set && status == NDIS_STATUS_SUCCESS) {
        if (oid == OID_GEN_CURRENT_PACKET_FILTER) {
            std::memcpy(&binding->User.PacketFilter, data, 4);
        } else if (oid == OID_802_3_MULTICAST_LIST) {
            binding->User.MulticastCount = capacity / FILT_ADDRESS_LENGTH;
            NdisMoveMemory(binding->User.Multicast, data, capacity);
        }
    }
    return status;
}

NTSTATUS FiltIoctlRebind(IRP*) {
    FiltProtocolUnload();
    return STATUS_SUCCESS;
}

NTSTATUS FiltIoctlSetStatusFilter(IRP* irp, ULONG callerPid) {
    auto* buffer = static_cast<UCHAR*>(irp->SystemBuffer);
    ULONG in = irp->InputBufferLength;
    if (!buffer || in < 4) return STATUS_INVALID_PARAMETER;
    BindingRef ref(FiltGetU32(buffer, 0));
    if (!ref.binding) return STATUS_NO_SUCH_DEVICE;
    FiltBinding* binding = ref.binding;
    NdisAcquireSpinLock(&binding->Lock);
    NTSTATUS status = STATUS_SUCCESS;
    if (binding->OwnerPid != callerPid) {
        status = STATUS_ACCESS_DENIED;
    } else if (in % 4 != 0) {
        status = STATUS_INVALID_PARAMETER;
    } else if (in > 4 + 4 * FiltConstants::MAX_STATUS_FILTER) {
        status = STATUS_BUFFER_OVERFLOW;
    } else {
        binding->StatusFilterCount = (in - 4) / 4;
        for (ULONG i = 0; i < binding->StatusFilterCount; ++i)
            binding->StatusFilter[i] = FiltGetU32(buffer, 4 + 4 * i);
    }
    NdisReleaseSpinLock(&binding->Lock);
    return status;
}

NTSTATUS FiltIoctlCaptureFile(IRP* irp) {
    auto* buffer = static_cast<UCHAR*>(irp->SystemBuffer);
    ULONG in = irp->InputBufferLength, out = irp->OutputBufferLength;
    if (!buffer || in < 8) return STATUS_INVALID_PARAMETER;
    ULONG adapterId = FiltGetU32(buffer, 0);
    ULONG sizeLimit = FiltGetU32(buffer, 4);
    BindingRef ref(adapterId);
    if (!ref.binding) return STATUS_NO_SUCH_DEVICE;

    if (out > 0) {
        // A name needs room for at least its terminator after the two numbers.
        ULONG nameCapacity = out > 8 ? (out - 8) / sizeof(WCHAR) : 0;
        if (nameCapacity == 0) return STATUS_INVALID_PARAMETER;
        ULONG nameBytes = 0;
        WCHAR* name = reinterpret_cast<WCHAR*>(buffer + 8);
        NDIS_STATUS status =
            FiltCaptureCurrentName(ref.binding, name, nameCapacity * sizeof(WCHAR), &nameBytes);
        if (status != NDIS_STATUS_SUCCESS) return FiltNdisToNtStatus(status);
        FiltPutU32(buffer, 0, adapterId);
        FiltPutU32(buffer, 4, 0);
        irp->IoStatus.Information = nameBytes + 10;
        return STATUS_SUCCESS;
    }

    ULONG pathBytes = in - 8;
    const WCHAR* path = reinterpret_cast<const WCHAR*>(buffer + 8);
    ULONG chars = pathBytes / sizeof(WCHAR);
    if (chars == 0 || (chars == 1 && path[0] == 0)) {
        FiltCaptureStop(ref.binding);
        return STATUS_SUCCESS;
    }
    if (pathBytes % sizeof(WCHAR) != 0 || path[chars - 1] != 0) return STATUS_INVALID_PARAMETER;
    // A path longer than a counted string can hold would be cut to a different name.
    if (pathBytes > MAX_PATH_BYTES) return STATUS_INVALID_PARAMETER;
    NdisAcquireSpinLock(&ref.binding->Capture.Lock);
    bool active = ref.binding->Capture.Active;
    NdisReleaseSpinLock(&ref.binding->Capture.Lock);
    if (active) return STATUS_DEVICE_BUSY;
    ULONG length = 0;
    while (length < chars && path[length]) ++length;
    NDIS_STRING name;
    name.Buffer = const_cast<WCHAR*>(path);
    name.Length = USHORT(length * sizeof(WCHAR));
    name.MaximumLength = USHORT(chars * sizeof(WCHAR));
    return FiltNdisToNtStatus(FiltCaptureStart(ref.binding, &name, sizeLimit));
}

NTSTATUS FiltNdisToNtStatus(NDIS_STATUS status) {
    switch (status) {
        case NDIS_STATUS_SUCCESS:
        case NDIS_STATUS_PENDING:
        case NDIS_STATUS_BUFFER_OVERFLOW:
        case NDIS_STATUS_FAILURE:
        case NDIS_STATUS_RESOURCES:
        case NDIS_STATUS_NOT_SUPPORTED:
            return status;
        case NDIS_STATUS_ADAPTER_NOT_FOUND:
            return STATUS_NO_MORE_ENTRIES;
        case NDIS_STATUS_INVALID_LENGTH:
            return STATUS_INVALID_BUFFER_SIZE;
        case NDIS_STATUS_INVALID_DATA:
            return STATUS_INVALID_PARAMETER;
        case NDIS_STATUS_BUFFER_TOO_SHORT:
            return STATUS_BUFFER_TOO_SMALL;
        case NDIS_STATUS_ADAPTER_NOT_READY:
            return STATUS_DEVICE_NOT_READY;
        default:
            return STATUS_UNSUCCESSFUL;
    }
}
