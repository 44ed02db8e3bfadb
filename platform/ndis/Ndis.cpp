#include "platform/ndis/Ndis.h"

#include <string>

#include "platform/ndis/NdisEnvironment.h"

using ndissim::NdisEnvironment;

namespace {

std::u16string Text(const NDIS_STRING* s) {
    if (!s || !s->Buffer) return {};
    return std::u16string(s->Buffer, s->Length / 2);
}

NdisEnvironment& Env() {
    return NdisEnvironment::instance();
}

NdisEnvironment::Instance* InstanceOf(NDIS_HANDLE handle) {
    return static_cast<NdisEnvironment::Instance*>(handle);
}

}  // namespace

void NdisInitializeWrapper(NDIS_HANDLE* wrapperHandle, DRIVER_OBJECT*, void*, void*) {
    *wrapperHandle = Env().initializeWrapper() == NDIS_STATUS_SUCCESS ? &Env() : nullptr;
}

void NdisTerminateWrapper(NDIS_HANDLE, void*) {
    Env().terminateWrapper();
}

NDIS_STATUS NdisIMRegisterLayeredMiniport(NDIS_HANDLE, NDIS_MINIPORT_CHARACTERISTICS* chars, ULONG,
                                          NDIS_HANDLE* driverHandle) {
    return Env().registerMiniport(*chars, driverHandle);
}

void NdisIMDeregisterLayeredMiniport(NDIS_HANDLE) {
    Env().deregisterMiniport();
}

void NdisRegisterProtocol(NDIS_STATUS* status, NDIS_HANDLE* protocolHandle,
                          NDIS_PROTOCOL_CHARACTERISTICS* chars, ULONG) {
    *status = Env().registerProtocol(*chars, protocolHandle);
}

void NdisDeregisterProtocol(NDIS_STATUS* status, NDIS_HANDLE) {
    *status = Env().deregisterProtocol();
}

void NdisIMAssociateMiniport(NDIS_HANDLE, NDIS_HANDLE) {}

void NdisMRegisterUnloadHandler(NDIS_HANDLE, void (*)(DRIVER_OBJECT*)) {}

NDIS_STATUS NdisMRegisterDevice(NDIS_HANDLE, NDIS_STRING* deviceName, NDIS_STRING*,
                                PDRIVER_DISPATCH majorFunctions[], DEVICE_OBJECT** deviceObject,
                                NDIS_HANDLE* ndisDeviceHandle) {
    return Env().registerDevice(Text(deviceName), majorFunctions, deviceObject, ndisDeviceHandle);
}

NDIS_STATUS NdisMDeregisterDevice(NDIS_HANDLE ndisDeviceHandle) {
    return Env().deregisterDevice(ndisDeviceHandle);
}

void NdisOpenAdapter(NDIS_STATUS* status, NDIS_STATUS* openErrorStatus, NDIS_HANDLE* ndisBindingHandle,
                     ULONG* selectedMediumIndex, NDIS_MEDIUM* mediumArray, ULONG mediumArraySize, NDIS_HANDLE,
                     NDIS_HANDLE protocolBindingContext, NDIS_STRING* adapterName, ULONG, void*) {
    *openErrorStatus = NDIS_STATUS_SUCCESS;
    *status = Env().openAdapter(Text(adapterName), protocolBindingContext, mediumArray, mediumArraySize,
                                selectedMediumIndex, ndisBindingHandle);
}

void NdisCloseAdapter(NDIS_STATUS* status, NDIS_HANDLE ndisBindingHandle) {
    *status = Env().closeAdapter(ndisBindingHandle);
}

NDIS_STATUS NdisQueryAdapterInstanceName(NDIS_STRING* adapterInstanceName, NDIS_HANDLE ndisBindingHandle) {
    if (NDIS_STATUS failure = ndissim::injectedStatus("NdisQueryAdapterInstanceName")) return failure;
    auto* open = static_cast<NdisEnvironment::Open*>(ndisBindingHandle);
    const std::u16string& name = open->lower->instanceName();
    ULONG bytes = ULONG(name.size() * 2);
    void* buffer = nullptr;
    // NDIS allocates the copy with the caller's pool and tag-less allocation.
    if (NdisAllocateMemoryWithTag(&buffer, bytes + 2, 0) != NDIS_STATUS_SUCCESS) return NDIS_STATUS_RESOURCES;
    NdisMoveMemory(buffer, name.data(), bytes);
    static_cast<char*>(buffer)[bytes] = 0;
    static_cast<char*>(buffer)[bytes + 1] = 0;
    adapterInstanceName->Buffer = static_cast<WCHAR*>(buffer);
    adapterInstanceName->Length = USHORT(bytes);
    adapterInstanceName->MaximumLength = USHORT(bytes + 2);
    return NDIS_STATUS_SUCCESS;
}

void NdisRequest(NDIS_STATUS* status, NDIS_HANDLE ndisBindingHandle, NDIS_REQUEST* request) {
    auto* open = static_cast<NdisEnvironment::Open*>(ndisBindingHandle);
    if (!open || !open->open) {
        *status = NDIS_STATUS_FAILURE;
        return;
    }
    *status = open->lower->handleRequest(open->context, request);
}

NDIS_STATUS NdisQueryPendingIOCount(NDIS_HANDLE ndisBindingHandle, ULONG* ioCount) {
    auto* open = static_cast<NdisEnvironment::Open*>(ndisBindingHandle);
    if (!open || !open->open) return NDIS_STATUS_FAILURE;
    *ioCount = open->lower->pendingIoCount();
    return NDIS_STATUS_SUCCESS;
}

void NdisCancelSendPackets(NDIS_HANDLE ndisBindingHandle, void* cancelId) {
    auto* open = static_cast<NdisEnvironment::Open*>(ndisBindingHandle);
    if (open && open->open) open->lower->cancelSends(cancelId);
}

void NdisReEnumerateProtocolBindings(NDIS_HANDLE) {
    Env().reEnumerateBindings();
}

NDIS_STATUS NdisIMInitializeDeviceInstanceEx(NDIS_HANDLE, NDIS_STRING* driverInstance,
                                             NDIS_HANDLE deviceContext) {
    return Env().initializeInstance(Text(driverInstance), deviceContext);
}

NDIS_STATUS NdisIMCancelInitializeDeviceInstance(NDIS_HANDLE, NDIS_STRING* deviceInstance) {
    return Env().cancelInitialize(Text(deviceInstance));
}

NDIS_STATUS NdisIMDeInitializeDeviceInstance(NDIS_HANDLE ndisMiniportHandle) {
    return Env().deinitializeInstance(ndisMiniportHandle);
}

NDIS_HANDLE NdisIMGetDeviceContext(NDIS_HANDLE miniportAdapterHandle) {
    return InstanceOf(miniportAdapterHandle)->context;
}

void NdisMSetAttributesEx(NDIS_HANDLE miniportAdapterHandle, NDIS_HANDLE, ULONG, ULONG attributeFlags,
                          ULONG) {
    InstanceOf(miniportAdapterHandle)->attributes = attributeFlags;
}

void NdisMQueryInformationComplete(NDIS_HANDLE miniportAdapterHandle, NDIS_STATUS status) {
    if (auto& upper = InstanceOf(miniportAdapterHandle)->upper) upper->requestComplete(status);
}

void NdisMSetInformationComplete(NDIS_HANDLE miniportAdapterHandle, NDIS_STATUS status) {
    if (auto& upper = InstanceOf(miniportAdapterHandle)->upper) upper->requestComplete(status);
}

void NdisMIndicateStatus(NDIS_HANDLE miniportAdapterHandle, NDIS_STATUS generalStatus, void* statusBuffer,
                         ULONG statusBufferSize) {
    if (auto& upper = InstanceOf(miniportAdapterHandle)->upper)
        upper->indicateStatus(generalStatus, statusBuffer, statusBufferSize);
}

void NdisMIndicateStatusComplete(NDIS_HANDLE miniportAdapterHandle) {
    if (auto& upper = InstanceOf(miniportAdapterHandle)->upper) upper->indicateStatusComplete();
}

NDIS_STATUS NdisIMNotifyPnPEvent(NDIS_HANDLE miniportHandle, NET_PNP_EVENT* netPnPEvent) {
    if (auto& upper = InstanceOf(miniportHandle)->upper) upper->notifyPnP(netPnPEvent->NetEvent);
    return NDIS_STATUS_SUCCESS;
}
