// The protocol edge: binding to lower adapters, unbinding, completions and power events.
#include "driver/Filt.h"

namespace {

char16_t UPPER_BINDINGS[] = u"UpperBindings";
char16_t NDIS_VERSION[] = u"NdisVersion";

NDIS_STRING Keyword(char16_t* text) {
    NDIS_STRING s;
    s.Buffer = text;
    ULONG n = 0;
    while (text[n]) ++n;
    s.Length = USHORT(n * 2);
    s.MaximumLength = USHORT(n * 2 + 2);
    return s;
}

// Copies a configuration string into driver memory.
bool CopyConfigString(const NDIS_STRING* source, NDIS_STRING* copy) {
    copy->Length = source->Length;
    copy->MaximumLength = USHORT(source->Length + sizeof(WCHAR));
    copy->Buffer = static_cast<WCHAR*>(FiltAllocate(copy->MaximumLength));
    if (!copy->Buffer) return false;
    NdisMoveMemory(copy->Buffer, source->Buffer, source->Length);
    return true;
}

}  // namespace

void ProtocolBindAdapterHandler(NDIS_STATUS* status, NDIS_HANDLE, NDIS_STRING* deviceName,
                                void* systemSpecific1, void*) {
    auto* configPath = static_cast<NDIS_STRING*>(systemSpecific1);
    NDIS_HANDLE config = nullptr;
    NDIS_STRING upperName;
    FiltBinding* binding = nullptr;

    NdisOpenProtocolConfiguration(status, &config, configPath);
    if (*status != NDIS_STATUS_SUCCESS) config = nullptr;

    do {
        NDIS_CONFIGURATION_PARAMETER* value = nullptr;
        if (g_Filt.NdisVersion == 0 && config) {
            NDIS_STRING keyword = Keyword(NDIS_VERSION);
            NdisReadConfiguration(status, &value, config, &keyword, NdisParameterInteger);
            if (*status == NDIS_STATUS_SUCCESS) g_Filt.NdisVersion = value->IntegerData;
        }

        NDIS_STRING keyword = Keyword(UPPER_BINDINGS);
        *status = NDIS_STATUS_FAILURE;
        if (config) NdisReadConfiguration(status, &value, config, &keyword, NdisParameterString);
        if (*status != NDIS_STATUS_SUCCESS) break;
        if (!CopyConfigString(&value->StringData, &upperName)) {
            *status = NDIS_STATUS_RESOURCES;
            break;
        }

        binding = FiltAllocateBinding(&upperName, configPath, deviceName);
        if (!binding) {
            *status = NDIS_STATUS_RESOURCES;
            break;
        }

        NDIS_MEDIUM media[] = {NdisMedium802_3, NdisMediumWirelessWan};
        ULONG selected = 0;
        NDIS_STATUS openError = NDIS_STATUS_SUCCESS;
        NdisResetEvent(&binding->OpenCloseEvent);
        NdisOpenAdapter(status, &openError, &binding->LowerHandle, &selected, media, 2, g_Filt.Protocol,
                        binding, deviceName, 0, nullptr);
        if (*status == NDIS_STATUS_PENDING) {
            NdisWaitEvent(&binding->OpenCloseEvent, 0);
            *status = binding->OpenCloseStatus;
        }
        if (*status != NDIS_STATUS_SUCCESS) {
            binding->LowerHandle = nullptr;
            break;
        }

        *status = NdisQueryAdapterInstanceName(&binding->InstanceName, binding->LowerHandle);
        if (*status != NDIS_STATUS_SUCCESS) {
            binding->InstanceName = NDIS_STRING{};
            break;
        }

        binding->Medium = media[selected];
        binding->InitPending = true;
        NdisResetEvent(&binding->InitEvent);
        // Held across the call: the miniport's halt may release the binding meanwhile.
        FiltReferenceBinding(binding);
        *status = NdisIMInitializeDeviceInstanceEx(g_Filt.MiniportDriver, &binding->VirtualName, binding);
        bool halted = binding->Halted;
        FiltReleaseBinding(binding);
        if (*status != NDIS_STATUS_SUCCESS && halted) binding = nullptr;
    } while (false);

    if (config) NdisCloseConfiguration(config);
    if (upperName.Buffer) FiltFree(upperName.Buffer, upperName.MaximumLength);

    if (*status != NDIS_STATUS_SUCCESS && binding) {
        // Torn down as a halt would: the removal record carries id 0 when the binding never
        // finished initialising.
        FiltSendAdapterRemoval(binding);
        if (binding->LowerHandle) FiltCloseLowerBinding(binding);
        FiltCaptureTeardown(binding);
        FiltReleaseBinding(binding);
    }
}

void FiltCloseLowerBinding(FiltBinding* binding) {
    NDIS_STATUS status;
    NdisResetEvent(&binding->OpenCloseEvent);
    NdisCloseAdapter(&status, binding->LowerHandle);
    if (status == NDIS_STATUS_PENDING) NdisWaitEvent(&binding->OpenCloseEvent, 0);
    binding->LowerHandle = nullptr;
}

void FiltWaitForPendingIo(FiltBinding* binding) {
    for (;;) {
        bool lowerBusy = false;
        if (binding->LowerHandle) {
            ULONG count = 0;
            lowerBusy =
                NdisQueryPendingIOCount(binding->LowerHandle, &count) == NDIS_STATUS_SUCCESS && count > 0;
        }
        NdisAcquireSpinLock(&binding->Lock);
        bool ownBusy = binding->OutstandingSends > 0 || binding->RequestOutstanding;
        NdisReleaseSpinLock(&binding->Lock);
        if (!lowerBusy && !ownBusy) return;
        NdisMSleep(2);
    }
}

void ProtocolUnbindAdapterHandler(NDIS_STATUS* status, NDIS_HANDLE protocolBindingContext, NDIS_HANDLE) {
    auto* binding = static_cast<FiltBinding*>(protocolBindingContext);
    NdisAcquireSpinLock(&binding->Lock);
    binding->Unbinding = true;
    NdisReleaseSpinLock(&binding->Lock);
    FiltFlushQueuedRequest(binding, true);

    if (binding->InitPending) {
        if (NdisIMCancelInitializeDeviceInstance(g_Filt.MiniportDriver, &binding->VirtualName) ==
            NDIS_STATUS_SUCCESS) {
            binding->InitPending = false;
        } else {
            NdisWaitEvent(&binding->InitEvent, 0);
        }
    }

    NdisAcquireSpinLock(&binding->Lock);
    NDIS_HANDLE miniport = binding->MiniportHandle;
    NdisReleaseSpinLock(&binding->Lock);
    if (miniport) {
        // The halt closes the lower binding and releases the record.
        *status = NdisIMDeInitializeDeviceInstance(miniport) == NDIS_STATUS_SUCCESS ? NDIS_STATUS_SUCCESS
                                                                                    : NDIS_STATUS_FAILURE;
    } else if (binding->LowerHandle) {
        FiltSendAdapterRemoval(binding);
        FiltWaitForPendingIo(binding);
        FiltCloseLowerBinding(binding);
        FiltCaptureTeardown(binding);
        FiltReleaseBinding(binding);
        *status = NDIS_STATUS_SUCCESS;
    } else {
        *status = NDIS_STATUS_FAILURE;
    }
}

void ProtocolOpenAdapterCompleteHandler(NDIS_HANDLE protocolBindingContext, NDIS_STATUS status, NDIS_STATUS) {
    auto* binding = static_cast<FiltBinding*>(protocolBindingContext);
    binding->OpenCloseStatus = status;
    NdisSetEvent(&binding->OpenCloseEvent);
}

void ProtocolCloseAdapterCompleteHandler(NDIS_HANDLE protocolBindingContext, NDIS_STATUS status) {
    auto* binding = static_cast<FiltBinding*>(protocolBindingContext);
    binding->OpenCloseStatus = status;
    NdisSetEvent(&binding->OpenCloseEvent);
}

void ProtocolResetCompleteHandler(NDIS_HANDLE, NDIS_STATUS) {}

void ProtocolRequestCompleteHandler(NDIS_HANDLE protocolBindingContext, NDIS_REQUEST* request,
                                    NDIS_STATUS status) {
    auto* binding = static_cast<FiltBinding*>(protocolBindingContext);
    if (request == &binding->SharedRequest) {
        FiltFinishSharedRequest(binding, status, true);
    } else {
        FiltSyncRequestComplete(request, status);
    }
}

NDIS_STATUS ProtocolPnPEventHandler(NDIS_HANDLE protocolBindingContext, NET_PNP_EVENT* event) {
    auto* binding = static_cast<FiltBinding*>(protocolBindingContext);
    if (event->NetEvent == NetEventReconfigure && !binding) {
        NdisReEnumerateProtocolBindings(g_Filt.Protocol);
        return NDIS_STATUS_SUCCESS;
    }
    if (event->NetEvent != NetEventSetPower) {
        if (binding && binding->MiniportHandle) return NdisIMNotifyPnPEvent(binding->MiniportHandle, event);
        return NDIS_STATUS_SUCCESS;
    }
    if (!binding || !event->Buffer || event->BufferLength < sizeof(NDIS_DEVICE_POWER_STATE))
        return NDIS_STATUS_FAILURE;

    auto state = *static_cast<NDIS_DEVICE_POWER_STATE*>(event->Buffer);
    NdisAcquireSpinLock(&binding->Lock);
    NDIS_DEVICE_POWER_STATE previous = binding->LowerPower;
    binding->LowerPower = state;
    if (state == NdisDeviceStateD0) {
        if (previous != NdisDeviceStateD0) binding->StandingBy = false;
    } else if (previous == NdisDeviceStateD0) {
        binding->StandingBy = true;
    }
    NDIS_HANDLE miniport = binding->MiniportHandle;
    NdisReleaseSpinLock(&binding->Lock);

    NDIS_STATUS status = NDIS_STATUS_SUCCESS;
    if (state == NdisDeviceStateD0) {
        FiltFlushQueuedRequest(binding, false);
        if (miniport) status = NdisIMNotifyPnPEvent(miniport, event);
    } else {
        if (miniport) status = NdisIMNotifyPnPEvent(miniport, event);
        FiltWaitForPendingIo(binding);
        FiltFlushQueuedRequest(binding, true);
    }
    return status;
}
