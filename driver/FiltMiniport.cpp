// The virtual miniport: initialisation, the upper protocols' queries and sets, power and halt.
#include <cstring>

#include "driver/Filt.h"

namespace {

char16_t BOOT_CONTROL[] = u"BootControl";
char16_t PCAP_FILE[] = u"PCapFile";
char16_t PCAP_FILE_MAX_SIZE[] = u"PCapFileMaxSize";
char16_t EMPTY[] = u"";

constexpr ULONG DEFAULT_CAPTURE_LIMIT = 0x100000;
constexpr ULONG ATTRIBUTES = NDIS_ATTRIBUTE_IGNORE_PACKET_TIMEOUT | NDIS_ATTRIBUTE_IGNORE_REQUEST_TIMEOUT |
                             NDIS_ATTRIBUTE_INTERMEDIATE_DRIVER | NDIS_ATTRIBUTE_DESERIALIZE |
                             NDIS_ATTRIBUTE_NO_HALT_ON_SUSPEND;
constexpr NDIS_OID OID_802_11_FIRST = 0x0D010000;
constexpr NDIS_OID OID_802_11_LAST = 0x0D02FFFF;

NDIS_STRING Keyword(char16_t* text) {
    NDIS_STRING s;
    s.Buffer = text;
    ULONG n = 0;
    while (text[n]) ++n;
    s.Length = USHORT(n * 2);
    s.MaximumLength = USHORT(n * 2 + 2);
    return s;
}

bool IsDisconnectedBssid(const UCHAR* bssid) {
    static const UCHAR patterns[3] = {0xFF, 0x00, 0x44};
    for (UCHAR pattern : patterns) {
        bool all = true;
        for (int i = 0; i < 6; ++i) all = all && bssid[i] == pattern;
        if (all) return true;
    }
    return false;
}

void QueryMediaState(FiltBinding* binding) {
    ULONG value = 0, written = 0, needed = 0;
    NDIS_STATUS status = FiltSyncRequest(binding, NdisRequestQueryInformation, OID_GEN_PHYSICAL_MEDIUM,
                                         &value, 4, &written, &needed);
    binding->Wireless =
        status == NDIS_STATUS_SUCCESS && written >= 4 && value == NdisPhysicalMediumWirelessLan;
    if (binding->Wireless) {
        UCHAR bssid[6] = {};
        status = FiltSyncRequest(binding, NdisRequestQueryInformation, OID_802_11_BSSID, bssid, 6, &written,
                                 &needed);
        bool connected = status == NDIS_STATUS_SUCCESS && written >= 6 && !IsDisconnectedBssid(bssid);
        binding->LastIndicatedStatus = connected ? NDIS_STATUS_MEDIA_CONNECT : NDIS_STATUS_MEDIA_DISCONNECT;
    } else {
        value = 0;
        status = FiltSyncRequest(binding, NdisRequestQueryInformation, OID_GEN_MEDIA_CONNECT_STATUS, &value,
                                 4, &written, &needed);
        bool disconnected = status == NDIS_STATUS_SUCCESS && value == NdisMediaStateDisconnected;
        binding->LastIndicatedStatus =
            disconnected ? NDIS_STATUS_MEDIA_DISCONNECT : NDIS_STATUS_MEDIA_CONNECT;
    }
    binding->LatestUnindicatedStatus = binding->LastIndicatedStatus;
}

void QueryUpperFilters(FiltBinding* binding) {
    ULONG written = 0, needed = 0;
    NDIS_STATUS status =
        FiltSyncRequest(binding, NdisRequestQueryInformation, OID_802_3_MULTICAST_LIST,
                        binding->Upper.Multicast, sizeof(binding->Upper.Multicast), &written, &needed);
    binding->Upper.MulticastCount = status == NDIS_STATUS_SUCCESS ? written / FILT_ADDRESS_LENGTH : 0;
    ULONG filter = 0;
    status = FiltSyncRequest(binding, NdisRequestQueryInformation, OID_GEN_CURRENT_PACKET_FILTER, &filter, 4,
                             &written, &needed);
    binding->Upper.PacketFilter = status == NDIS_STATUS_SUCCESS ? filter : 0;
}

// Reads and consumes the one-shot values of the binding's configuration.
void ReadStartupValues(FiltBinding* binding, ULONG* bootControl, NDIS_STRING* captureFile,
                       ULONG* captureLimit) {
    *bootControl = 0;
    *captureLimit = DEFAULT_CAPTURE_LIMIT;
    *captureFile = NDIS_STRING{};
    NDIS_STATUS status;
    NDIS_HANDLE config = nullptr;
    NdisOpenProtocolConfiguration(&status, &config, &binding->ConfigPath);
    if (status != NDIS_STATUS_SUCCESS) return;

    NDIS_CONFIGURATION_PARAMETER* value = nullptr;
    NDIS_STRING keyword = Keyword(BOOT_CONTROL);
    NdisReadConfiguration(&status, &value, config, &keyword, NdisParameterInteger);
    if (status == NDIS_STATUS_SUCCESS) *bootControl = value->IntegerData;
    NDIS_CONFIGURATION_PARAMETER zero;
    zero.ParameterType = NdisParameterInteger;
    zero.IntegerData = 0;
    NdisWriteConfiguration(&status, config, &keyword, &zero);

    keyword = Keyword(PCAP_FILE);
    NdisReadConfiguration(&status, &value, config, &keyword, NdisParameterString);
    // A name too long for a counted string with its terminator cannot be a file's.
    if (status == NDIS_STATUS_SUCCESS && value->StringData.Length > 0 &&
        value->StringData.Length <= 0xFFFE - sizeof(WCHAR)) {
        captureFile->Buffer = static_cast<WCHAR*>(FiltAllocate(value->StringData.Length + sizeof(WCHAR)));
        if (captureFile->Buffer) {
            NdisMoveMemory(captureFile->Buffer, value->StringData.Buffer, value->StringData.Length);
            captureFile->Length = value->StringData.Length;
            captureFile->MaximumLength = USHORT(value->StringData.Length + sizeof(WCHAR));
        }
    }
    NDIS_CONFIGURATION_PARAMETER empty;
    empty.ParameterType = NdisParameterString;
    empty.StringData = Keyword(EMPTY);
    NdisWriteConfiguration(&status, config, &keyword, &empty);

    keyword = Keyword(PCAP_FILE_MAX_SIZE);
    NdisReadConfiguration(&status, &value, config, &keyword, NdisParameterInteger);
    if (status == NDIS_STATUS_SUCCESS) *captureLimit = value->IntegerData;
    NdisCloseConfiguration(config);
}

// The once-per-binding part of initialisation; ends with the binding listed and announced.
NDIS_STATUS FirstInitialisation(FiltBinding* binding, NDIS_HANDLE miniportHandle) {
    if (binding->Initialised) return NDIS_STATUS_FAILURE;
    NDIS_STATUS status = FiltChoosePrivateGuid(binding);
    if (status != NDIS_STATUS_SUCCESS) return status;

    ULONG bootControl, captureLimit;
    NDIS_STRING captureFile;
    ReadStartupValues(binding, &bootControl, &captureFile, &captureLimit);
    binding->PortOpen = (bootControl & 1) ? 0 : 1;
    binding->MediaConnected = binding->LastIndicatedStatus != NDIS_STATUS_MEDIA_DISCONNECT;
    binding->EtherTypeCount = 0;
    if (captureFile.Buffer) {
        // A capture that cannot start leaves the binding working without one.
        FiltCaptureStart(binding, &captureFile, captureLimit);
        FiltFree(captureFile.Buffer, captureFile.MaximumLength);
    }

    // Listing and announcing under the binding-list lock, which a new opener also holds while it
    // reads the list, so that every opener hears of this binding exactly once.
    NdisAcquireSpinLock(&g_Filt.BindingLock);
    binding->AdapterId = ++g_Filt.NextAdapterId;
    binding->Initialised = true;
    NdisAcquireSpinLock(&binding->Lock);
    binding->MiniportHandle = miniportHandle;
    NdisReleaseSpinLock(&binding->Lock);
    InsertTailList(&g_Filt.Bindings, &binding->Link);
    FiltSendAdapterArrival(binding, 0);
    NdisReleaseSpinLock(&g_Filt.BindingLock);
    return NDIS_STATUS_SUCCESS;
}

}  // namespace

NDIS_STATUS MiniportInitializeHandler(NDIS_STATUS*, ULONG* selectedMediumIndex, NDIS_MEDIUM* mediumArray,
                                      ULONG mediumArraySize, NDIS_HANDLE miniportAdapterHandle, NDIS_HANDLE) {
    auto* binding = static_cast<FiltBinding*>(NdisIMGetDeviceContext(miniportAdapterHandle));
    NDIS_STATUS status = NDIS_STATUS_UNSUPPORTED_MEDIA;
    binding->Halted = false;
    binding->Unbinding = false;

    do {
        NDIS_MEDIUM wanted = binding->Medium == NdisMediumWirelessWan ? NdisMedium802_3 : binding->Medium;
        for (ULONG i = 0; i < mediumArraySize; ++i) {
            if (mediumArray[i] == wanted) {
                *selectedMediumIndex = i;
                status = NDIS_STATUS_SUCCESS;
                break;
            }
        }
        if (status != NDIS_STATUS_SUCCESS) break;

        NdisMSetAttributesEx(miniportAdapterHandle, binding, 0, ATTRIBUTES, 0);
        NdisAcquireSpinLock(&binding->Lock);
        binding->MiniportPower = NdisDeviceStateD0;
        binding->LowerPower = NdisDeviceStateD0;
        NdisReleaseSpinLock(&binding->Lock);

        QueryMediaState(binding);
        QueryUpperFilters(binding);
        status = FirstInitialisation(binding, miniportAdapterHandle);
    } while (false);

    // The miniport handle is kept only by a successful first initialisation.
    binding->InitPending = false;
    NdisSetEvent(&binding->InitEvent);
    return status;
}

NDIS_STATUS MiniportQueryInformationHandler(NDIS_HANDLE context, NDIS_OID oid, void* buffer, ULONG length,
                                            ULONG* bytesWritten, ULONG* bytesNeeded) {
    auto* binding = static_cast<FiltBinding*>(context);
    *bytesWritten = 0;
    *bytesNeeded = 0;
    if (oid == OID_GEN_MEDIA_CONNECT_STATUS && !binding->PortOpen) {
        if (length < 4) {
            *bytesNeeded = 4;
            return NDIS_STATUS_INVALID_LENGTH;
        }
        ULONG disconnected = NdisMediaStateDisconnected;
        std::memcpy(buffer, &disconnected, 4);
        *bytesWritten = 4;
        return NDIS_STATUS_SUCCESS;
    }
    if (oid == OID_GEN_SUPPORTED_GUIDS) return NDIS_STATUS_NOT_SUPPORTED;
    if (oid == OID_PNP_QUERY_POWER) return NDIS_STATUS_SUCCESS;
    return FiltSharedRequest(binding, NdisRequestQueryInformation, oid, buffer, length, bytesWritten,
                             bytesNeeded);
}

NDIS_STATUS FiltMergeMulticast(const void* callerList, ULONG callerLength, const FiltFilterState& other,
                               FiltMergeBlock* merged) {
    if (callerLength % FILT_ADDRESS_LENGTH != 0) return NDIS_STATUS_FAILURE;
    ULONG count = callerLength / FILT_ADDRESS_LENGTH;
    if (count > FILT_MAX_MULTICAST) return NDIS_STATUS_MULTICAST_FULL;
    NdisMoveMemory(merged->MergedList, callerList, callerLength);
    for (ULONG i = 0; i < other.MulticastCount; ++i) {
        bool present = false;
        for (ULONG j = 0; j < count && !present; ++j)
            present = std::memcmp(merged->MergedList[j], other.Multicast[i], FILT_ADDRESS_LENGTH) == 0;
        if (present) continue;
        if (count == FILT_MAX_MULTICAST) return NDIS_STATUS_MULTICAST_FULL;
        std::memcpy(merged->MergedList[count++], other.Multicast[i], FILT_ADDRESS_LENGTH);
    }
    merged->MergedCount = count;
    return NDIS_STATUS_SUCCESS;
}

NDIS_STATUS MiniportSetInformationHandler(NDIS_HANDLE context, NDIS_OID oid, void* buffer, ULONG length,
                                          ULONG* bytesRead, ULONG* bytesNeeded) {
    auto* binding = static_cast<FiltBinding*>(context);
    *bytesRead = 0;
    *bytesNeeded = 0;
    if (oid >= OID_802_11_FIRST && oid <= OID_802_11_LAST && binding->OwnerPid != 0) {
        // The owning process drives the radio; the operating system's wishes are swallowed.
        *bytesRead = length;
        return NDIS_STATUS_SUCCESS;
    }
    FiltMergeBlock& merge = binding->UpperMerge;
    if (oid == OID_GEN_CURRENT_PACKET_FILTER) {
        if (length < 4) {
            *bytesNeeded = 4;
            return NDIS_STATUS_BUFFER_TOO_SHORT;
        }
        ULONG filter;
        std::memcpy(&filter, buffer, 4);
        merge.CallerBuffer = buffer;
        merge.CallerLength = 4;
        merge.MergedFilter = filter | binding->User.PacketFilter;
        return FiltSharedRequest(binding, NdisRequestSetInformation, oid, &merge.MergedFilter, 4, bytesRead,
                                 bytesNeeded);
    }
    if (oid == OID_802_3_MULTICAST_LIST) {
        NDIS_STATUS status = FiltMergeMulticast(buffer, length, binding->User, &merge);
        if (status != NDIS_STATUS_SUCCESS) return status;
        merge.CallerBuffer = buffer;
        merge.CallerLength = length;
        return FiltSharedRequest(binding, NdisRequestSetInformation, oid, merge.MergedList,
                                 merge.MergedCount * FILT_ADDRESS_LENGTH, bytesRead, bytesNeeded);
    }
    if (oid == OID_PNP_SET_POWER)
        return FiltSetMiniportPower(binding, buffer, length, bytesRead, bytesNeeded);
    return FiltSharedRequest(binding, NdisRequestSetInformation, oid, buffer, length, bytesRead, bytesNeeded);
}

NDIS_STATUS FiltSetMiniportPower(FiltBinding* binding, const void* buffer, ULONG length, ULONG* bytesRead,
                                 ULONG* bytesNeeded) {
    if (length < sizeof(NDIS_DEVICE_POWER_STATE)) {
        *bytesNeeded = 4;
        return NDIS_STATUS_INVALID_LENGTH;
    }
    NDIS_DEVICE_POWER_STATE state;
    std::memcpy(&state, buffer, 4);

    NdisAcquireSpinLock(&binding->Lock);
    NDIS_DEVICE_POWER_STATE previous = binding->MiniportPower;
    if (previous != NdisDeviceStateD0 && state != NdisDeviceStateD0) {
        NdisReleaseSpinLock(&binding->Lock);
        return NDIS_STATUS_FAILURE;
    }
    bool indicate = false;
    NDIS_STATUS media = binding->LastIndicatedStatus;
    if (previous == NdisDeviceStateD0 && state != NdisDeviceStateD0) {
        binding->StandingBy = true;
        binding->LatestUnindicatedStatus = binding->LastIndicatedStatus;
    } else if (previous != NdisDeviceStateD0 && binding->MiniportHandle) {
        binding->StandingBy = false;
        if (binding->LatestUnindicatedStatus != binding->LastIndicatedStatus) {
            binding->LastIndicatedStatus = binding->LatestUnindicatedStatus;
            // The flag the private queries report follows the status, as a live indication does.
            binding->MediaConnected = binding->LastIndicatedStatus == NDIS_STATUS_MEDIA_CONNECT;
            media = binding->LastIndicatedStatus;
            indicate = true;
        }
    }
    NdisReleaseSpinLock(&binding->Lock);

    if (indicate) {
        ULONG connected = media == NDIS_STATUS_MEDIA_CONNECT ? 1 : 0;
        FiltSendPrivateIndication(binding, 2, 0, 0, &connected, 4);
        if (binding->PortOpen) FiltIndicateMediaUpward(binding, media);
    }
    NdisAcquireSpinLock(&binding->Lock);
    binding->MiniportPower = state;
    NdisReleaseSpinLock(&binding->Lock);
    *bytesRead = 4;
    return NDIS_STATUS_SUCCESS;
}

void FiltIndicateMediaUpward(FiltBinding* binding, NDIS_STATUS status) {
    NdisAcquireSpinLock(&binding->Lock);
    NDIS_HANDLE miniport = binding->MiniportHandle;
    NdisReleaseSpinLock(&binding->Lock);
    if (!miniport) return;
    NdisMIndicateStatus(miniport, status, nullptr, 0);
    NdisMIndicateStatusComplete(miniport);
    FiltOfferToStatusFilter(binding, status, nullptr, 0);
}

void MiniportHaltHandler(NDIS_HANDLE context) {
    auto* binding = static_cast<FiltBinding*>(context);
    NdisAcquireSpinLock(&binding->Lock);
    binding->MiniportHandle = nullptr;
    binding->Halted = true;
    binding->Unbinding = true;
    NdisReleaseSpinLock(&binding->Lock);

    // Unlisting and announcing together, for the same reason as at initialisation.
    NdisAcquireSpinLock(&g_Filt.BindingLock);
    if (binding->Initialised) RemoveEntryList(&binding->Link);
    FiltSendAdapterRemoval(binding);
    NdisReleaseSpinLock(&g_Filt.BindingLock);

    FiltWaitForPendingIo(binding);
    if (binding->LowerHandle) FiltCloseLowerBinding(binding);
    FiltCaptureTeardown(binding);
    FiltReleaseBinding(binding);
}

void MiniportCancelSendPacketsHandler(NDIS_HANDLE context, void* cancelId) {
    auto* binding = static_cast<FiltBinding*>(context);
    if (binding->LowerHandle) NdisCancelSendPackets(binding->LowerHandle, cancelId);
}
void MiniportPnPEventNotifyHandler(NDIS_HANDLE, ULONG, void*, ULONG) {}
void MiniportAdapterShutdownHandler(NDIS_HANDLE) {}
