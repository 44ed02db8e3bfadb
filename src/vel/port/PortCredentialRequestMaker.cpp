#include "vel/port/PortCredentialRequestMaker.h"

#include "vel/certificate/CertificateStore.h"
#include "vel/credrequest/CredentialRequest.h"

PortCredentialRequestMaker::Installed PortCredentialRequestMaker::install() {
    Installed previous;
    previous.maker = PortCredentialResponderMember::setRequestMaker(&make);
    previous.opener = PortManagerImpl::MachineStoreOpener;
    PortManagerImpl::MachineStoreOpener = &openMachineStores;
    return previous;
}

void PortCredentialRequestMaker::restore(const Installed& previous) {
    PortCredentialResponderMember::setRequestMaker(previous.maker);
    PortManagerImpl::MachineStoreOpener = previous.opener;
}

Reference PortCredentialRequestMaker::make(const VelAdapter& adapter, PortManagerImpl* portManager,
                                           std::int32_t sync, std::int32_t requestType, std::int32_t level,
                                           std::int32_t) {
    return CredentialRequest::create(adapter, portManager, sync, requestType, level);
}

void PortCredentialRequestMaker::openMachineStores(CertificateStoreHandle stores[3]) {
    stores[0] = CertificateStore::machineRootCa().open();
    stores[1] = CertificateStore::machineIntermediateCa().open();
    stores[2] = CertificateStore::machinePersonal().open();
}
