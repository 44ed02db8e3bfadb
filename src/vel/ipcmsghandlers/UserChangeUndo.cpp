#include "vel/ipcmsghandlers/UserChangeUndo.h"

#include "vel/adapter/AdapterConstants.h"
#include "vel/reference/HandleOf.h"

namespace {

// Every field, the methods into a list of the copy's own: the request clears and rebuilds the
// list it changes.
void copyParameters(const AuthenticationParameters& from, const AuthenticationParameters& to) {
    AuthenticationParametersImpl* source = from.impl();
    AuthenticationParametersImpl* target = to.impl();
    target->m_passwordOrKey = source->m_passwordOrKey;
    target->m_certificate = source->m_certificate;
    target->m_smartCardPin = source->m_smartCardPin;
    target->m_machinePac = source->m_machinePac;
    target->m_tunnelPac = source->m_tunnelPac;
    target->m_identity = source->m_identity;
    target->m_unprotectedIdentityPattern = source->m_unprotectedIdentityPattern;
    target->m_protectedIdentityPattern = source->m_protectedIdentityPattern;
    target->m_authenticationMethods.clear();
    for (const Reference& method : source->m_authenticationMethods.snapshot())
        target->m_authenticationMethods.add(method.m);
    target->m_validationParameters = source->m_validationParameters;
    target->m_credentialType = source->m_credentialType;
}

}  // namespace

std::int32_t UserChangeUndo::indexOfGroup(const Configuration& configuration, const NetworkGroup& group) {
    std::int32_t index = 0;
    for (const Reference& element : configuration.groups().snapshot()) {
        if (element.m == group.m) return index;
        ++index;
    }
    return -1;
}

void UserChangeUndo::placeGroup(const Configuration& configuration, const NetworkGroup& group,
                                std::int32_t index) {
    configuration.groups().insertIfAbsent(group.m, index);
}

void UserChangeUndo::placeNetwork(const Configuration& configuration, const Ascii& groupName,
                                  const Network& network, std::int32_t index) {
    configuration.addNetwork(groupName, network);
    ElementVector networks = configuration.findGroup(groupName).networkGroup().networkVector();
    networks.remove(network.m);
    networks.insertIfAbsent(network.m, index);
}

NetworkSettingsSnapshot::NetworkSettingsSnapshot(const Network& network)
    : m_network(network),
      m_name(network.name()),
      m_global(network.isGlobal()),
      m_ssid(network.getSsid()),
      m_association(network.getAssociationMode()),
      m_encryption(network.getEncryption()),
      m_8021x(network.getFlagB()),
      m_script(network.getScript()),
      m_user(AuthenticationParameters::create()),
      m_credentialStorage(network.getCredentialStorage()),
      m_allowedCertificateSource(network.getAllowedCertificateSource()),
      m_smartCardPinStorage(network.getSmartCardPinStorage()),
      m_extendBeyondLogoff(network.getExtendUserConnectionBeyondLogoff()),
      m_furtherFlag2(network.getFurtherFlag2()) {
    copyParameters(network.getAuthenticationParameters(AdapterConstants::CONNECTION_USER), m_user);
}

void NetworkSettingsSnapshot::restore(bool accessChanged) const {
    const Network& network = m_network;
    network.impl()->m_name = m_name;
    network.setGlobal(m_global);
    network.setScript(m_script);
    network.setCredentialStorage(m_credentialStorage);
    network.setAllowedCertificateSource(m_allowedCertificateSource);
    network.setSmartCardPinStorage(m_smartCardPinStorage);
    network.setExtendUserConnectionBeyondLogoff(m_extendBeyondLogoff);
    network.setFurtherFlag2(m_furtherFlag2);
    network.setSsid(m_ssid);
    network.setAssociationMode(m_association);
    network.setEncryption(m_encryption);
    network.setFlagB(m_8021x);
    copyParameters(m_user, network.getAuthenticationParameters(AdapterConstants::CONNECTION_USER));
    if (!accessChanged) return;
    network.refreshSsid();
    network.accessChanged();
}
