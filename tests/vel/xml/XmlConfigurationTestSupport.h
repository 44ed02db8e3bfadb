#pragma once
// What the configuration-file tests share: the signed sample, files as text, and one line of text
// per value of the model, so that tables can say what a reader made.
#include <fstream>
#include <sstream>
#include <string>

#include "tests/vel/configuration/ConfigurationTestSupport.h"
#include "tests/vel/xml/XmlTestSupport.h"
#include "vel/configuration/AuthenticationMethodClasses.h"
#include "vel/configuration/Configuration.h"
#include "vel/configuration/PacInfo.h"
#include "vel/credmgr/CredentialConstants.h"
#include "vel/enumtostring/EnumConversions.h"
#include "vel/exception/ConversionException.h"
#include "vel/network/Association.h"
#include "vel/reference/HandleOf.h"

namespace tamsel::test {

inline std::string fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline std::string sampleText() {
    return fileText(TAMSEL_SAMPLE_CONFIGURATION);
}

// The text the reader refused with (XmlException or an enumeration's ConversionException), or
// "accepted".
template <typename Action>
std::string refusalOf(Action action) {
    try {
        action();
    } catch (const XmlException& e) {
        return e.function().text();
    } catch (const ConversionException& e) {
        return e.function().text();
    }
    return "accepted";
}

inline std::string typeText(std::int32_t type) {
    try {
        return AuthenticationTypeToText(type);
    } catch (const ConversionException&) {
        return std::to_string(type);
    }
}

inline std::string hexOf(const ByteArray& bytes) {
    return str(bytes.toHex());
}

// The server validation: "any" or rules (kind:how:name), then "any" or CAs (kind:reference).
inline std::string describeValidation(const CertificateValidationParameters& validation) {
    std::string text;
    if (validation.anyServerName()) {
        text = "any";
    } else {
        text = "rules(";
        for (const Reference& held : validation.serverRules().snapshot()) {
            TrustedServerRule rule = handleOf<TrustedServerRule>(held.m);
            if (text.back() != '(') text += ",";
            text += std::to_string(rule.matchKind()) + ":" + std::to_string(rule.howMatch()) + ":" +
                    str(rule.name());
        }
        text += ")";
    }
    if (validation.anyCaFromOs()) return text + "/any";
    text += "/cas(";
    for (const Reference& held : validation.trustedCas().snapshot()) {
        TrustedCaCert ca = handleOf<TrustedCaCert>(held.m);
        if (text.back() != '(') text += ",";
        text += std::to_string(ca.kind()) + ":" + str(ca.certificateReference());
    }
    return text + ")";
}

// One connection type's parameters: "none" without a method, else the top method with its inner
// methods, credential kind and source, identity patterns, secret, validation and options.
inline std::string describeParameters(const Network& network, std::int32_t connectionType) {
    AuthenticationParameters parameters = network.getAuthenticationParameters(connectionType);
    if (parameters.authenticationMethods().length() == 0) return "none";
    AuthenticationMethod method = parameters.authenticationMethodAt(0);
    std::string text = typeText(method.authenticationType());
    std::vector<Reference> inner = method.innerAuthenticationMethods().snapshot();
    for (size_t i = 0; i < inner.size(); ++i) {
        text +=
            (i == 0 ? "[" : ",") + typeText(handleOf<AuthenticationMethod>(inner[i].m).authenticationType());
    }
    if (!inner.empty()) text += "]";
    text += " credential=" + std::to_string(method.credentialType()) +
            " source=" + std::to_string(parameters.getCredentialType()) +
            " identity=" + str(parameters.getUnprotectedIdentityPattern()) + "|" +
            str(parameters.getProtectedIdentityPattern());
    CredentialProxy secret = parameters.getPasswordOrKeyCredential();
    if (secret.exists() && secret.credential().type() == CredentialConstants::TYPE_PASSWORD) {
        text += " secret=" + str(secret.credential().password());
    }
    CredentialProxy certificate = parameters.getCertificateCredential();
    if (certificate.exists()) text += " certificate=" + hexOf(certificate.credential().certificateHash());
    if (method.getValidateServerCertificate()) {
        text += " validate=" + describeValidation(parameters.getValidationParameters());
    }
    text += " fast=" + std::to_string(method.getFastReconnect()) + "/" +
            std::to_string(method.getDisableWhenSmartCard());
    if (method.getCertificateSendingMode() != 0)
        text += " mode=" + std::to_string(method.getCertificateSendingMode());
    if (method.authenticationType() == AuthenticationTypeConstants::EAP_FAST) {
        text += " pac=" + std::to_string(method.getUsePac()) + "/" +
                std::to_string(method.getUsePac() && method.getAllowUnauthProvisioning()) +
                " posture=" + std::to_string(method.getEnablePosture()) +
                " pacs=" + std::to_string(method.getTrustedPacsVector().length());
    }
    return text;
}

// The static key of a shared-key network: its form and plain value.
inline std::string describeKey(const Network& network, bool formOnly) {
    std::int32_t connection = network.getConnectionTypes() == 1 ? 1 : 2;
    AuthenticationParameters parameters = network.getAuthenticationParameters(connection);
    CredentialProxy key = parameters.getPasswordOrKeyCredential();
    if (!key.exists()) return "none";
    std::string text = parameters.getStaticKeyType() == AuthenticationParameters::KEY_HEX ? "hex" : "ascii";
    if (!formOnly) {
        const ByteArray psk = key.credential().psk();
        text += " " +
                (parameters.getStaticKeyType() == AuthenticationParameters::KEY_HEX ? hexOf(psk) : str(psk));
    }
    if (parameters.getStaticKeyValue() != 0)
        text += " size " + std::to_string(parameters.getStaticKeyValue());
    return text;
}

inline std::string describeNetwork(const Network& network, const std::string& field) {
    const auto number = [](std::int32_t value) { return std::to_string(value); };
    const bool wireless = network.getNetworkMedia() == NetworkImpl::MEDIA_WIRELESS;
    if (field == "media") return wireless ? "wifi" : "wired";
    if (field == "global") return network.isGlobal() ? "true" : "false";
    if (field == "origin") return number(network.getOrigin());
    if (field == "timeouts") {
        return number(network.getConnectionTimeout()) +
               (wireless ? "/" + number(network.getAssociationTimeout()) : "");
    }
    if (field == "script") return str(network.getScript());
    if (field == "ssid") return str(network.getSsid());
    if (field == "mode") {
        try {
            return AssociationModeToText(network.getAssociationMode(), network.getEncryption());
        } catch (const ConversionException&) {
            return number(network.getAssociationMode()) + "," + number(network.getEncryption());
        }
    }
    if (field == "types") return number(network.getConnectionTypes());
    if (field == "8021x") {
        if (!network.getFlagB()) return "none";
        Settings8021x s = network.getSettings8021x();
        return number(s.authPeriod()) + "/" + number(s.heldPeriod()) + "/" + number(s.startPeriod()) + "/" +
               number(s.maxStart());
    }
    if (field == "key") return describeKey(network, false);
    if (field == "keyform") return describeKey(network, true);
    if (field == "collection") {
        return "storage=" + number(network.getCredentialStorage()) +
               " source=" + number(network.getAllowedCertificateSource()) +
               " pin=" + number(network.getSmartCardPinStorage()) +
               " extend=" + number(network.getExtendUserConnectionBeyondLogoff());
    }
    if (field == "further") {
        return number(network.getFurtherFlag1()) + "/" + number(network.getFurtherNumber1()) + "/" +
               number(network.getFurtherFlag2()) + "/" + number(network.getFurtherNumber2());
    }
    if (field == "machine") return describeParameters(network, 1);
    if (field == "user") return describeParameters(network, 2);
    return "no field " + field;
}

inline std::string describeConfiguration(const Configuration& configuration, const std::string& field) {
    const auto number = [](std::int32_t value) { return std::to_string(value); };
    if (field == "name") return str(configuration.name());
    if (field == "versions") {
        return number(configuration.majorVersion()) + "." + number(configuration.minorVersion()) + "." +
               number(configuration.developmentVersion());
    }
    if (field == "vpn") return number(configuration.vpnSettingsType());
    if (field == "connection") {
        ConnectionSettings settings = configuration.connectionSettings();
        return number(settings.behaviorAtLogon()) + "/" + number(settings.secondsToWaitForConnection()) +
               "/" + number(settings.validateWpaHandshake());
    }
    if (field == "defaults") {
        return number(Network::getDefaultConnectionTimeout()) + "/" +
               number(Network::getDefaultAssociationTimeout());
    }
    UserControlPolicy control = configuration.policy().userControlPolicy();
    if (field == "media") {
        return std::string(control.allowWireless() ? "wifi" : "") +
               (control.allowWireless() && control.allowWired() ? " " : "") +
               (control.allowWired() ? "wired" : "");
    }
    if (field == "control") {
        return "vpn=" + number(control.allowVpn()) +
               " script=" + number(control.allowRunScriptAfterConnect());
    }
    return "no field " + field;
}

// The network of that name in any group, or an empty handle.
inline Network findNetwork(const Configuration& configuration, const std::string& name) {
    for (const Reference& held : configuration.allNetworks().snapshot()) {
        Network network = handleOf<Network>(held.m);
        if (str(network.name()) == name) return network;
    }
    return Network();
}

inline std::string describe(const Configuration& configuration, const std::string& network,
                            const std::string& field) {
    if (network.empty()) return describeConfiguration(configuration, field);
    Network found = findNetwork(configuration, network);
    return found.isNull() ? "no network " + network : describeNetwork(found, field);
}

// A test of the configuration files: the model's fakes installed, the service-wide default
// timeouts put back afterwards.
class ConfigurationFileTest : public ConfigurationTest {
protected:
    void TearDown() override {
        Network::setDefaultConnectionTimeout(NetworkImpl::INITIAL_DEFAULT_CONNECTION_TIMEOUT);
        Network::setDefaultAssociationTimeout(NetworkImpl::INITIAL_DEFAULT_ASSOCIATION_TIMEOUT);
        ConfigurationTest::TearDown();
    }
};

}  // namespace tamsel::test
