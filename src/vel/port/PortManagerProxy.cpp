#include "vel/port/PortManagerProxy.h"

#include "runtime/lum/Assert.h"
#include "vel/port/PortManager.h"

PortManagerProxy::PortManagerProxy(PortManagerImpl* p)
    : m(static_cast<ReferenceImpl*>(p), Reference::NULLABLE) {}

bool PortManagerProxy::exists() {
    m_checked = true;
    return !m.isNull();
}

PortManagerImpl* PortManagerProxy::get() const {
    LUM_ASSERT(!m.isNull());
    return static_cast<PortManagerImpl*>(static_cast<ReferenceImpl*>(m.m));
}

void PortManagerProxy::attach(const char* adapterName) const {
    get()->attach(adapterName);
}
void PortManagerProxy::closePort() const {
    get()->closePort();
}
void PortManagerProxy::associate(const QX_ASSOCIATE& record) const {
    get()->associate(record);
}
void PortManagerProxy::adhoc(const QX_ADHOC& record) const {
    get()->adhoc(record);
}
void PortManagerProxy::radioOff() const {
    get()->radioOff();
}
void PortManagerProxy::radioOn() const {
    get()->radioOn();
}
bool PortManagerProxy::isRadioOn() const {
    return get()->isRadioOn();
}
void PortManagerProxy::unblockOsWaitForIp() const {
    get()->unblockOsWaitForIp();
}
void PortManagerProxy::rsnProbeIeVerifyEnable(std::int32_t value) const {
    get()->rsnProbeIeVerifyEnable(value);
}
void PortManagerProxy::set8021xCfg(const QX_8021X_CFG& settings) const {
    get()->set8021xCfg(settings);
}
void PortManagerProxy::authenticate(QX_HANDLE key, std::int32_t type) const {
    get()->authenticate(key, type);
}
void PortManagerProxy::auth(std::int32_t type) const {
    get()->auth(type);
}
void PortManagerProxy::authReset() const {
    get()->authReset();
}
std::int32_t PortManagerProxy::getAssociationInfo(QX_ASSOCIATION_INFO* info) const {
    return get()->getAssociationInfo(info);
}
std::int32_t PortManagerProxy::getLocation(const QX_LOCATION_QUERY& query) const {
    return get()->getLocation(query);
}
std::int32_t PortManagerProxy::getLinkSpeed(std::int32_t* kbps) const {
    return get()->getLinkSpeed(kbps);
}
std::int32_t PortManagerProxy::getLinkState(std::int32_t* state) const {
    return get()->getLinkState(state);
}
bool PortManagerProxy::isWired() const {
    return get()->isWired();
}
bool PortManagerProxy::isStale(std::int32_t generation) const {
    return get()->isStale(generation);
}
std::int32_t PortManagerProxy::generation() const {
    return get()->generation();
}
void PortManagerProxy::clearReferences() const {
    get()->clearReferences();
}
