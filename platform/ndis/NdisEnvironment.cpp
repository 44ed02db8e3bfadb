#include "platform/ndis/NdisEnvironment.h"

#include <algorithm>

namespace ndissim {

namespace {

std::string Narrow(const std::u16string& text) {
    std::string out;
    for (char16_t c : text) out.push_back(c < 0x80 ? char(c) : '?');
    return out;
}

NDIS_STRING View(std::u16string& text) {
    NDIS_STRING s;
    s.Buffer = text.data();
    s.Length = USHORT(text.size() * 2);
    s.MaximumLength = s.Length;
    return s;
}

}  // namespace

std::string BindingConfigurationPath(const std::u16string& lowerDeviceName) {
    std::u16string id = lowerDeviceName;
    auto slash = id.find_last_of(u'\\');
    if (slash != std::u16string::npos) id = id.substr(slash + 1);
    return "SYSTEM\\CurrentControlSet\\Services\\Pellodur\\Parameters\\Adapters\\" + Narrow(id);
}

NdisEnvironment& NdisEnvironment::instance() {
    static NdisEnvironment environment;
    return environment;
}

void NdisEnvironment::reset() {
    std::lock_guard<std::recursive_mutex> guard(mutex_);
    wrapper_ = miniportRegistered_ = protocolRegistered_ = false;
    miniportChars_ = {};
    protocolChars_ = {};
    lowers_.clear();
    opens_.clear();
    instances_.clear();
    devices_.clear();
    retiredUppers_.clear();
    base::clearFailures();
    offeredMedia_ = {NdisMedium802_3};
    deferInit_ = false;
    offerStacks_ = false;
}

SimLowerMiniport& NdisEnvironment::addLowerAdapter(std::u16string deviceName, std::u16string instanceName,
                                                   NDIS_MEDIUM medium) {
    std::lock_guard<std::recursive_mutex> guard(mutex_);
    lowers_.push_back(
        std::make_unique<SimLowerMiniport>(std::move(deviceName), std::move(instanceName), medium));
    return *lowers_.back();
}

SimLowerMiniport* NdisEnvironment::lowerAdapter(const std::u16string& deviceName) {
    std::lock_guard<std::recursive_mutex> guard(mutex_);
    for (auto& lower : lowers_)
        if (lower->deviceName() == deviceName) return lower.get();
    return nullptr;
}

NdisEnvironment::Open* NdisEnvironment::findOpen(const SimLowerMiniport& lower) {
    for (auto& open : opens_)
        if (open.lower == &lower && open.open) return &open;
    return nullptr;
}

bool NdisEnvironment::isBound(const SimLowerMiniport& lower) {
    std::lock_guard<std::recursive_mutex> guard(mutex_);
    return findOpen(lower) != nullptr;
}

NDIS_STATUS NdisEnvironment::bindAdapter(SimLowerMiniport& lower) {
    decltype(protocolChars_.BindAdapterHandler) bind;
    {
        std::lock_guard<std::recursive_mutex> guard(mutex_);
        if (!protocolRegistered_) return NDIS_STATUS_FAILURE;
        bind = protocolChars_.BindAdapterHandler;
    }
    std::u16string name = lower.deviceName();
    std::string path = BindingConfigurationPath(name);
    std::u16string widePath(path.begin(), path.end());
    NDIS_STRING deviceName = View(name);
    NDIS_STRING configPath = View(widePath);
    NDIS_STATUS status = NDIS_STATUS_FAILURE;
    bind(&status, nullptr, &deviceName, &configPath, nullptr);
    return status;
}

void NdisEnvironment::bindAll() {
    std::vector<SimLowerMiniport*> unbound;
    {
        std::lock_guard<std::recursive_mutex> guard(mutex_);
        for (auto& lower : lowers_)
            if (!findOpen(*lower)) unbound.push_back(lower.get());
    }
    for (auto* lower : unbound) bindAdapter(*lower);
}

NDIS_STATUS NdisEnvironment::unbindAdapter(SimLowerMiniport& lower) {
    NDIS_HANDLE context;
    decltype(protocolChars_.UnbindAdapterHandler) unbind;
    {
        std::lock_guard<std::recursive_mutex> guard(mutex_);
        Open* open = findOpen(lower);
        if (!open || !protocolRegistered_) return NDIS_STATUS_FAILURE;
        context = open->context;
        unbind = protocolChars_.UnbindAdapterHandler;
    }
    NDIS_STATUS status = NDIS_STATUS_FAILURE;
    unbind(&status, context, nullptr);
    return status;
}

NDIS_STATUS NdisEnvironment::setLowerPower(SimLowerMiniport& lower, NDIS_DEVICE_POWER_STATE state) {
    NDIS_HANDLE context;
    decltype(protocolChars_.PnPEventHandler) handler;
    {
        std::lock_guard<std::recursive_mutex> guard(mutex_);
        Open* open = findOpen(lower);
        if (!open) return NDIS_STATUS_FAILURE;
        context = open->context;
        handler = protocolChars_.PnPEventHandler;
    }
    NET_PNP_EVENT event;
    event.NetEvent = NetEventSetPower;
    event.Buffer = &state;
    event.BufferLength = sizeof(state);
    return handler(context, &event);
}

void NdisEnvironment::indicateStatus(SimLowerMiniport& lower, NDIS_STATUS status,
                                     std::vector<uint8_t> buffer) {
    NDIS_HANDLE context;
    decltype(protocolChars_.StatusHandler) handler;
    decltype(protocolChars_.StatusCompleteHandler) complete;
    {
        std::lock_guard<std::recursive_mutex> guard(mutex_);
        Open* open = findOpen(lower);
        if (!open) return;
        context = open->context;
        handler = protocolChars_.StatusHandler;
        complete = protocolChars_.StatusCompleteHandler;
    }
    if (handler) handler(context, status, buffer.empty() ? nullptr : buffer.data(), ULONG(buffer.size()));
    if (complete) complete(context);
}

NDIS_STATUS NdisEnvironment::sendPnPEvent(SimLowerMiniport* lower, NET_PNP_EVENT_CODE code) {
    NDIS_HANDLE context = nullptr;
    decltype(protocolChars_.PnPEventHandler) handler;
    {
        std::lock_guard<std::recursive_mutex> guard(mutex_);
        if (lower) {
            Open* open = findOpen(*lower);
            if (!open) return NDIS_STATUS_FAILURE;
            context = open->context;
        }
        handler = protocolChars_.PnPEventHandler;
    }
    NET_PNP_EVENT event;
    event.NetEvent = code;
    return handler(context, &event);
}

void NdisEnvironment::setDeferInitialization(bool defer) {
    std::lock_guard<std::recursive_mutex> guard(mutex_);
    deferInit_ = defer;
}

size_t NdisEnvironment::runDeferredInitializations() {
    std::vector<Instance*> pending;
    {
        std::lock_guard<std::recursive_mutex> guard(mutex_);
        for (auto& instance : instances_)
            if (instance.pendingInit) pending.push_back(&instance);
    }
    for (auto* instance : pending) runInitialize(instance);
    return pending.size();
}

void NdisEnvironment::setOfferedMedia(std::vector<NDIS_MEDIUM> media) {
    std::lock_guard<std::recursive_mutex> guard(mutex_);
    offeredMedia_ = std::move(media);
}

SimUpperProtocol* NdisEnvironment::upperProtocol(const std::u16string& virtualName) {
    std::lock_guard<std::recursive_mutex> guard(mutex_);
    for (auto& instance : instances_)
        if (instance.name == virtualName && instance.initialized) return instance.upper.get();
    return nullptr;
}

ULONG NdisEnvironment::miniportAttributes(const std::u16string& virtualName) {
    std::lock_guard<std::recursive_mutex> guard(mutex_);
    for (auto& instance : instances_)
        if (instance.name == virtualName) return instance.attributes;
    return 0;
}

size_t NdisEnvironment::initializedMiniportCount() {
    std::lock_guard<std::recursive_mutex> guard(mutex_);
    return size_t(
        std::count_if(instances_.begin(), instances_.end(), [](const Instance& i) { return i.initialized; }));
}

bool NdisEnvironment::protocolRegistered() {
    std::lock_guard<std::recursive_mutex> guard(mutex_);
    return protocolRegistered_;
}

bool NdisEnvironment::miniportRegistered() {
    std::lock_guard<std::recursive_mutex> guard(mutex_);
    return miniportRegistered_;
}

bool NdisEnvironment::wrapperInitialized() {
    std::lock_guard<std::recursive_mutex> guard(mutex_);
    return wrapper_;
}

const NDIS_PROTOCOL_CHARACTERISTICS& NdisEnvironment::protocolCharacteristics() {
    return protocolChars_;
}

bool NdisEnvironment::protocolContext(const SimLowerMiniport& lower, NDIS_HANDLE* context) {
    std::lock_guard<std::recursive_mutex> guard(mutex_);
    Open* open = findOpen(lower);
    if (!open) return false;
    *context = open->context;
    return true;
}

void NdisEnvironment::returnUpperReceives() {
    std::vector<SimUpperProtocol*> uppers;
    {
        std::lock_guard<std::recursive_mutex> guard(mutex_);
        for (auto& instance : instances_)
            if (instance.initialized && instance.upper) uppers.push_back(instance.upper.get());
    }
    for (auto* upper : uppers) upper->returnReceivedPackets(false);
}

const NDIS_MINIPORT_CHARACTERISTICS& NdisEnvironment::miniportCharacteristics() {
    return miniportChars_;
}

DEVICE_OBJECT* NdisEnvironment::controlDevice() {
    std::lock_guard<std::recursive_mutex> guard(mutex_);
    for (auto& device : devices_)
        if (device.registered) return &device.object;
    return nullptr;
}

std::u16string NdisEnvironment::controlDeviceName() {
    std::lock_guard<std::recursive_mutex> guard(mutex_);
    for (auto& device : devices_)
        if (device.registered) return device.name;
    return {};
}

void NdisEnvironment::completeRequest(NDIS_HANDLE protocolContext, NDIS_REQUEST* request,
                                      NDIS_STATUS status) {
    decltype(protocolChars_.RequestCompleteHandler) handler;
    {
        std::lock_guard<std::recursive_mutex> guard(mutex_);
        handler = protocolChars_.RequestCompleteHandler;
    }
    if (handler) handler(protocolContext, request, status);
}

NDIS_STATUS NdisEnvironment::initializeWrapper() {
    NDIS_STATUS failure = injectedStatus("NdisInitializeWrapper");
    if (failure) return failure;
    std::lock_guard<std::recursive_mutex> guard(mutex_);
    wrapper_ = true;
    return NDIS_STATUS_SUCCESS;
}

void NdisEnvironment::terminateWrapper() {
    std::lock_guard<std::recursive_mutex> guard(mutex_);
    wrapper_ = false;
}

NDIS_STATUS NdisEnvironment::registerMiniport(const NDIS_MINIPORT_CHARACTERISTICS& chars,
                                              NDIS_HANDLE* driverHandle) {
    NDIS_STATUS failure = injectedStatus("NdisIMRegisterLayeredMiniport");
    if (failure) return failure;
    std::lock_guard<std::recursive_mutex> guard(mutex_);
    miniportChars_ = chars;
    miniportRegistered_ = true;
    *driverHandle = &miniportChars_;
    return NDIS_STATUS_SUCCESS;
}

void NdisEnvironment::deregisterMiniport() {
    std::lock_guard<std::recursive_mutex> guard(mutex_);
    miniportRegistered_ = false;
}

NDIS_STATUS NdisEnvironment::registerProtocol(const NDIS_PROTOCOL_CHARACTERISTICS& chars,
                                              NDIS_HANDLE* protocolHandle) {
    NDIS_STATUS failure = injectedStatus("NdisRegisterProtocol");
    if (failure) return failure;
    std::lock_guard<std::recursive_mutex> guard(mutex_);
    protocolChars_ = chars;
    protocolRegistered_ = true;
    *protocolHandle = &protocolChars_;
    return NDIS_STATUS_SUCCESS;
}

NDIS_STATUS NdisEnvironment::deregisterProtocol() {
    // NDIS unbinds every open binding of the protocol before the protocol goes.
    for (;;) {
        SimLowerMiniport* lower = nullptr;
        {
            std::lock_guard<std::recursive_mutex> guard(mutex_);
            if (!protocolRegistered_) return NDIS_STATUS_FAILURE;
            for (auto& open : opens_)
                if (open.open) {
                    lower = open.lower;
                    break;
                }
        }
        if (!lower) break;
        if (unbindAdapter(*lower) != NDIS_STATUS_SUCCESS) {
            // A binding that refuses to go is closed from our side so the loop ends.
            std::lock_guard<std::recursive_mutex> guard(mutex_);
            if (Open* open = findOpen(*lower)) open->open = false;
        }
    }
    std::function<void()> gone;
    {
        std::lock_guard<std::recursive_mutex> guard(mutex_);
        protocolRegistered_ = false;
        gone = protocolGone_;
    }
    if (gone) gone();
    return NDIS_STATUS_SUCCESS;
}

void NdisEnvironment::setProtocolGoneHandler(std::function<void()> handler) {
    std::lock_guard<std::recursive_mutex> guard(mutex_);
    protocolGone_ = std::move(handler);
}

NDIS_STATUS NdisEnvironment::registerDevice(const std::u16string& name, PDRIVER_DISPATCH functions[],
                                            DEVICE_OBJECT** object, NDIS_HANDLE* handle) {
    NDIS_STATUS failure = injectedStatus("NdisMRegisterDevice");
    if (failure) return failure;
    std::lock_guard<std::recursive_mutex> guard(mutex_);
    for (auto& device : devices_)
        if (device.registered && device.name == name) return NDIS_STATUS_FAILURE;
    devices_.emplace_back();
    Device& device = devices_.back();
    device.name = name;
    for (int i = 0; i <= IRP_MJ_MAXIMUM_FUNCTION; ++i) device.object.MajorFunction[i] = functions[i];
    *object = &device.object;
    *handle = &device;
    return NDIS_STATUS_SUCCESS;
}

NDIS_STATUS NdisEnvironment::deregisterDevice(NDIS_HANDLE handle) {
    std::lock_guard<std::recursive_mutex> guard(mutex_);
    for (auto& device : devices_) {
        if (&device == handle && device.registered) {
            // The object stays allocated: requests already dispatched may still use it.
            device.registered = false;
            return NDIS_STATUS_SUCCESS;
        }
    }
    return NDIS_STATUS_FAILURE;
}

NDIS_STATUS NdisEnvironment::openAdapter(const std::u16string& name, NDIS_HANDLE context, NDIS_MEDIUM* media,
                                         ULONG count, ULONG* selected, NDIS_HANDLE* bindingHandle) {
    std::lock_guard<std::recursive_mutex> guard(mutex_);
    SimLowerMiniport* lower = lowerAdapter(name);
    if (!lower) return NDIS_STATUS_ADAPTER_NOT_FOUND;
    if (NDIS_STATUS status = lower->openStatus()) return status;
    if (findOpen(*lower)) return NDIS_STATUS_OPEN_FAILED;
    for (ULONG i = 0; i < count; ++i) {
        if (media[i] == lower->medium()) {
            *selected = i;
            opens_.push_back(Open{lower, context, true});
            *bindingHandle = &opens_.back();
            return NDIS_STATUS_SUCCESS;
        }
    }
    return NDIS_STATUS_UNSUPPORTED_MEDIA;
}

NDIS_STATUS NdisEnvironment::closeAdapter(NDIS_HANDLE bindingHandle) {
    std::lock_guard<std::recursive_mutex> guard(mutex_);
    for (auto& open : opens_) {
        if (&open == bindingHandle && open.open) {
            open.open = false;
            return NDIS_STATUS_SUCCESS;
        }
    }
    return NDIS_STATUS_FAILURE;
}

NDIS_STATUS NdisEnvironment::initializeInstance(const std::u16string& name, NDIS_HANDLE context) {
    NDIS_STATUS failure = injectedStatus("NdisIMInitializeDeviceInstanceEx");
    if (failure) return failure;
    Instance* instance = nullptr;
    bool defer;
    {
        std::lock_guard<std::recursive_mutex> guard(mutex_);
        for (auto& existing : instances_)
            if (existing.name == name) instance = &existing;
        if (!instance) {
            instances_.emplace_back();
            instance = &instances_.back();
            instance->name = name;
        }
        if (instance->initialized || instance->pendingInit) return NDIS_STATUS_FAILURE;
        instance->context = context;
        instance->pendingInit = true;
        defer = deferInit_;
    }
    if (defer) return NDIS_STATUS_SUCCESS;
    return runInitialize(instance);
}

NDIS_STATUS NdisEnvironment::runInitialize(Instance* instance) {
    decltype(miniportChars_.InitializeHandler) init;
    std::vector<NDIS_MEDIUM> media;
    {
        std::lock_guard<std::recursive_mutex> guard(mutex_);
        if (!instance->pendingInit) return NDIS_STATUS_FAILURE;
        init = miniportChars_.InitializeHandler;
        media = offeredMedia_;
    }
    NDIS_STATUS openError = NDIS_STATUS_SUCCESS;
    ULONG selected = 0;
    NDIS_STATUS status = init(&openError, &selected, media.data(), ULONG(media.size()), instance, instance);
    std::lock_guard<std::recursive_mutex> guard(mutex_);
    instance->pendingInit = false;
    if (status == NDIS_STATUS_SUCCESS) {
        instance->initialized = true;
        // A test may still hold the previous upper protocol; it stays readable.
        if (instance->upper) retiredUppers_.push_back(std::move(instance->upper));
        instance->upper = std::make_unique<SimUpperProtocol>(instance->context);
    }
    return status;
}

NDIS_STATUS NdisEnvironment::cancelInitialize(const std::u16string& name) {
    std::lock_guard<std::recursive_mutex> guard(mutex_);
    for (auto& instance : instances_) {
        if (instance.name == name && instance.pendingInit && deferInit_) {
            instance.pendingInit = false;
            return NDIS_STATUS_SUCCESS;
        }
    }
    return NDIS_STATUS_FAILURE;
}

NDIS_STATUS NdisEnvironment::deinitializeInstance(NDIS_HANDLE handle) {
    decltype(miniportChars_.HaltHandler) halt;
    NDIS_HANDLE context;
    auto* instance = static_cast<Instance*>(handle);
    {
        std::lock_guard<std::recursive_mutex> guard(mutex_);
        if (!instance || !instance->initialized) return NDIS_STATUS_FAILURE;
        halt = miniportChars_.HaltHandler;
        context = instance->context;
    }
    halt(context);
    std::lock_guard<std::recursive_mutex> guard(mutex_);
    instance->initialized = false;
    // The upper protocol object stays: tests may still read what it recorded.
    return NDIS_STATUS_SUCCESS;
}

NDIS_STATUS NdisEnvironment::reEnumerateBindings() {
    bindAll();
    return NDIS_STATUS_SUCCESS;
}

}  // namespace ndissim
