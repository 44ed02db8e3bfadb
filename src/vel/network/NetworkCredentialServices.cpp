#include "vel/network/NetworkCredentialServices.h"

#include "runtime/lum/Assert.h"
#include "vel/configuration/ActiveConfiguration.h"
#include "vel/configuration/ConnectionSettings.h"
#include "vel/configuration/MachineAccount.h"
#include "vel/multithread/EventQueue.h"
#include "vel/multithread/WorkerQueue.h"
#include "vel/network/Network.h"

NetworkCredentialServicesInterface* NetworkCredentialServices::install() {
    static NetworkCredentialServices services;
    return NetworkCredentialResponder::installServices(&services);
}

void NetworkCredentialServices::restore(NetworkCredentialServicesInterface* previous) {
    NetworkCredentialResponder::installServices(previous);
}

void NetworkCredentialServices::retrieveMachinePassword(NetworkImpl& network) {
    MachineAccount::retrieveMachinePassword(Network(&network));
}

Ascii NetworkCredentialServices::computerName() {
    return MachineAccount::computerName();
}

void NetworkCredentialServices::writeInternalConfiguration() {
    if (ActiveConfigurationImpl::Singleton.load() != nullptr && ActiveConfiguration::Instance().exists())
        ActiveConfiguration::Instance().writeInternalConfiguration();
}

bool NetworkCredentialServices::connectsBeforeLogon() {
    if (ActiveConfigurationImpl::Singleton.load() == nullptr) return false;
    ActiveConfiguration active = ActiveConfiguration::Instance();
    return active.exists() && active.configuration().connectionSettings().behaviorAtLogon() ==
                                  ConnectionSettings::BEFORE_USER_LOGON;
}

void NetworkCredentialServices::postToImpersonatedQueue(const MessageEvent& event) {
    if (WorkerQueueImpl::Singleton.load() != nullptr) {
        WorkerQueue::Instance().post(event);
        return;
    }
    EventQueue queue = EventQueue::Instance();
    if (LUM_ASSERT(!queue.isNull())) queue.post(event);
}
