// Choice of the binding's private OID and status code, clear of every GUID the lower adapter
// already registers, and the merged GUID list the binding answers with.
#include <cstring>

#include "driver/Filt.h"
#include "driver/FiltInterface.h"

namespace {

constexpr ULONG GUID_ENTRY = 28;
constexpr ULONG ENTRY_VALUE = 16;
constexpr ULONG ENTRY_SIZE = 20;
constexpr ULONG ENTRY_FLAGS = 24;

// Raises the candidate past every entry of another GUID that uses it; found tells whether the
// private GUID itself holds the final candidate.
ULONG ChooseValue(const UCHAR* list, ULONG count, ULONG flag, ULONG candidate, bool* found) {
restart:
    *found = false;
    for (ULONG i = 0; i < count; ++i) {
        const UCHAR* entry = list + i * GUID_ENTRY;
        if (!(FiltGetU32(entry, ENTRY_FLAGS) & flag) || FiltGetU32(entry, ENTRY_VALUE) != candidate) continue;
        if (std::memcmp(entry, FiltConstants::PRIVATE_GUID, 16) == 0) {
            *found = true;
        } else {
            ++candidate;
            goto restart;
        }
    }
    return candidate;
}

void PutEntry(UCHAR* entry, ULONG value, ULONG flags) {
    std::memcpy(entry, FiltConstants::PRIVATE_GUID, 16);
    FiltPutU32(entry, ENTRY_VALUE, value);
    FiltPutU32(entry, ENTRY_SIZE, 4);
    FiltPutU32(entry, ENTRY_FLAGS, flags);
}

}  // namespace

NDIS_STATUS FiltChoosePrivateGuid(FiltBinding* binding) {
    ULONG written = 0, needed = 0;
    UCHAR* lowerList = nullptr;
    ULONG lowerLength = 0;
    UCHAR probe[4];
    NDIS_STATUS status = FiltSyncRequest(binding, NdisRequestQueryInformation, OID_GEN_SUPPORTED_GUIDS, probe,
                                         0, &written, &needed);
    if (status == NDIS_STATUS_BUFFER_TOO_SHORT || status == NDIS_STATUS_INVALID_LENGTH) {
        if (needed > 0 && needed % GUID_ENTRY == 0) {
            lowerList = static_cast<UCHAR*>(FiltAllocate(needed));
            if (!lowerList) return NDIS_STATUS_RESOURCES;
            lowerLength = needed;
            status = FiltSyncRequest(binding, NdisRequestQueryInformation, OID_GEN_SUPPORTED_GUIDS, lowerList,
                                     lowerLength, &written, &needed);
            if (status != NDIS_STATUS_SUCCESS || written % GUID_ENTRY != 0) written = 0;
        } else {
            written = 0;
        }
    } else {
        written = 0;
    }
    ULONG count = written / GUID_ENTRY;

    bool oidFound = false, statusFound = false;
    binding->PrivateOid =
        ChooseValue(lowerList, count, fNDIS_GUID_TO_OID, FiltConstants::PRIVATE_OID_BASE, &oidFound);
    binding->PrivateStatus =
        ChooseValue(lowerList, count, fNDIS_GUID_TO_STATUS, FiltConstants::PRIVATE_STATUS_BASE, &statusFound);
    binding->LowerServesGuid = oidFound && statusFound;

    ULONG mergedLength = count * GUID_ENTRY + (binding->LowerServesGuid ? 0 : 2 * GUID_ENTRY);
    UCHAR* merged = mergedLength ? static_cast<UCHAR*>(FiltAllocate(mergedLength)) : nullptr;
    if (mergedLength && !merged) {
        FiltFree(lowerList, lowerLength);
        return NDIS_STATUS_RESOURCES;
    }
    if (count) std::memcpy(merged, lowerList, count * GUID_ENTRY);
    if (!binding->LowerServesGuid) {
        PutEntry(merged + count * GUID_ENTRY, binding->PrivateOid, fNDIS_GUID_TO_OID);
        PutEntry(merged + (count + 1) * GUID_ENTRY, binding->PrivateStatus, fNDIS_GUID_TO_STATUS);
    }
    FiltFree(lowerList, lowerLength);
    FiltFree(binding->GuidList, binding->GuidListLength);
    binding->GuidList = merged;
    binding->GuidListLength = mergedLength;
    return NDIS_STATUS_SUCCESS;
}
