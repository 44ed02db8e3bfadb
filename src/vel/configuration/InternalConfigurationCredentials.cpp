#include "vel/configuration/InternalConfigurationCredentials.h"

#include "runtime/lum/Log.h"
#include "vel/adapter/AdapterConstants.h"
#include "vel/configuration/ActiveConfigurationConstants.h"
#include "vel/configuration/NetworkGroup.h"
#include "vel/configuration/NetworkNameIndex.h"
#include "vel/credmgr/Credential.h"
#include "vel/credmgr/CredentialConstants.h"
#include "vel/exception/CredentialException.h"
#include "vel/reference/HandleOf.h"

using C = ActiveConfigurationConstants;
using K = XmlCredentialsGroupImpl;
using T = CredentialConstants;

namespace {

void addStored(std::vector<ByteArray>& list, CredentialProxy credential) {
    if (credential.exists()) list.push_back(credential.credential().storedText());
}

// The credential of the stored text, built by its own type; an empty handle for an unknown type.
Credential rebuilt(const ByteArray& storedText, std::int32_t type) {
    switch (type) {
        case T::TYPE_PASSWORD:
            return Credential::createPassword(storedText);
        case T::TYPE_IDENTITY:
            return Credential::createIdentityFromText(storedText);
        case T::TYPE_PIN:
            return Credential::createPin(storedText);
        case T::TYPE_ASCII_PSK:
            return Credential::createAsciiPsk(storedText);
        case T::TYPE_HEX_PSK:
            return Credential::newHexPsk(0, storedText);
        case T::TYPE_CERTIFICATE_HASH:
            return Credential::createCertificate(storedText);
        case T::TYPE_PAC:
            return Credential::newPac(false, storedText, Ascii(""));
        default:
            return {};
    }
}

}  // namespace

XmlCredentialsEntries InternalConfigurationCredentials::collect(const Configuration& configuration) {
    XmlCredentialsEntries entries;
    std::vector<XmlCredentialsNetwork> global = collectCredentials(configuration.globalNetworks(), false);
    if (!global.empty()) {
        XmlCredentialsGroup entry =
            XmlCredentialsGroup::create(C::GLOBAL_GROUP_ENTRY, K::KIND_GLOBAL_NETWORKS);
        entry.impl()->m_networks = global;
        entries.groups.push_back(entry);
        entries.hasGlobalNetworks = true;
    }
    for (const Reference& element : configuration.groups().snapshot()) {
        NetworkGroup group = handleOf<NetworkGroup>(element.m);
        std::vector<XmlCredentialsNetwork> networks = collectCredentials(group.networkVector(), true);
        if (networks.empty()) continue;
        XmlCredentialsGroup entry = XmlCredentialsGroup::create(group.name(), K::KIND_GROUP);
        entry.impl()->m_networks = networks;
        entries.groups.push_back(entry);
    }
    return entries;
}

std::vector<XmlCredentialsNetwork> InternalConfigurationCredentials::collectCredentials(
    ElementVector networks, bool skipGlobal) {
    std::vector<XmlCredentialsNetwork> collected;
    for (const Reference& element : networks.snapshot()) {
        Network network = handleOf<Network>(element.m);
        if (skipGlobal && network.isGlobal()) continue;
        XmlCredentialsNetwork entry = XmlCredentialsNetwork::create(network.name());
        std::vector<ByteArray>& list = entry.impl()->m_credentials;

        std::int32_t types = network.getConnectionTypes();
        std::int32_t connectionType = 0;
        if (types == NetworkImpl::CONNECTION_TYPES_MACHINE)
            connectionType = AdapterConstants::CONNECTION_MACHINE;
        if (types == NetworkImpl::CONNECTION_TYPES_USER || types == NetworkImpl::CONNECTION_TYPES_BOTH)
            connectionType = AdapterConstants::CONNECTION_USER;
        if (connectionType != 0) {
            AuthenticationParameters parameters = network.getAuthenticationParameters(connectionType);
            // Only what the user typed and asked to keep is saved; a PIN only when its own storage
            // says so.
            if (parameters.getCredentialType() == C::CREDENTIAL_TYPE_USER &&
                network.getCredentialStorage() == C::STORAGE_FOREVER) {
                addStored(list, parameters.getIdentity());
                addStored(list, parameters.getPasswordOrKeyCredential());
                if (network.getSmartCardPinStorage() == C::STORAGE_FOREVER)
                    addStored(list, parameters.getSmartCardPin());
                addStored(list, parameters.getCertificateCredential());
            }
        }
        for (const Reference& pac : network.getSavedPacs().snapshot())
            list.push_back(handleOf<Credential>(pac.m).storedText());
        if (!list.empty()) collected.push_back(entry);
    }
    return collected;
}

void InternalConfigurationCredentials::restore(const Configuration& configuration,
                                               const XmlCredentialsEntries& entries) {
    for (const XmlCredentialsGroup& entry : entries.groups) {
        std::int32_t kind = entry.impl()->m_kind;
        if (kind == K::KIND_GLOBAL_CREDENTIALS) continue;
        NetworkGroupProxy group;
        if (kind == K::KIND_GLOBAL_NETWORKS) {
            group = configuration.globalGroup();
            if (!group.exists()) {
                logWarning(0, "Global networks do not exist in current configuration");
                continue;
            }
        } else {
            group = configuration.findGroup(entry.impl()->m_name);
            if (!group.exists()) {
                logWarning(0, "Group %s does not exist in current configuration",
                           entry.impl()->m_name.text());
                continue;
            }
        }
        const NetworkNameIndex networks(group.networkGroup());
        for (const XmlCredentialsNetwork& saved : entry.impl()->m_networks) {
            Network network = networks.find(saved.impl()->m_networkName);
            if (network.isNull()) continue;
            restoreNetwork(network, saved.impl()->m_credentials);
        }
    }
}

void InternalConfigurationCredentials::restoreNetwork(const Network& network,
                                                      const std::vector<ByteArray>& storedTexts) {
    AuthenticationParameters parameters =
        network.getAuthenticationParameters(AdapterConstants::CONNECTION_USER);
    ElementVector pacs = ElementVector::create();
    for (const ByteArray& storedText : storedTexts) {
        std::int32_t type = Credential(storedText).type();
        Credential credential;
        try {
            credential = rebuilt(storedText, type);
        } catch (const CredentialException& e) {
            // A damaged stored PAC costs that PAC only.
            e.report();
            continue;
        }
        switch (type) {
            case T::TYPE_PASSWORD:
            case T::TYPE_ASCII_PSK:
            case T::TYPE_HEX_PSK:
                parameters.setPasswordOrKeyCredential(credential);
                break;
            case T::TYPE_IDENTITY:
                parameters.setIdentity(credential);
                break;
            case T::TYPE_PIN:
                parameters.setSmartCardPin(credential);
                break;
            case T::TYPE_CERTIFICATE_HASH:
                parameters.setCertificateCredential(credential);
                break;
            case T::TYPE_PAC:
                pacs.add(credential.m);
                break;
            default:
                logError(0, "Unknown credential type");
                break;
        }
    }
    ElementVector saved = network.getSavedPacs();
    saved.clear();
    for (const Reference& pac : pacs.snapshot()) saved.add(pac.m);
}
