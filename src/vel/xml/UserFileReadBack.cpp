#include "vel/xml/UserFileReadBack.h"

#include <cstring>
#include <vector>

#include "vel/exception/ConversionException.h"
#include "vel/exception/XmlException.h"
#include "vel/libxml2/XmlDocument.h"
#include "vel/string/FormatBuffer.h"
#include "vel/xml/Xml_DistributionPackage.h"

namespace {

std::string text(const Ascii& value) {
    return value.text() != nullptr ? value.text() : "";
}

bool sameBytes(const ByteArray& a, const ByteArray& b) {
    return a.length() == b.length() &&
           (a.length() == 0 || std::memcmp(a.bytes(), b.bytes(), a.length()) == 0);
}

// What of an authentication record the user's networks hold: the method, its credentials and how
// they are collected.
std::string authenticationDifference(const std::optional<XmlAuthenticationRecord>& a,
                                     const std::optional<XmlAuthenticationRecord>& b) {
    if (a.has_value() != b.has_value()) return "authentication record";
    if (!a) return "";
    const XmlMethodSettings& x = a->method;
    const XmlMethodSettings& y = b->method;
    if (x.type != y.type) return "EAP method";
    if (x.credentialKind != y.credentialKind) return "credential type";
    if (x.innerMethods != y.innerMethods) return "inner methods";
    if (x.source.kind != y.source.kind) return "credential source";
    // The protected identity has an element in the tunnel methods only.
    if (!sameBytes(x.unprotectedIdentity.bytes, y.unprotectedIdentity.bytes)) return "identity";
    if (a->collection.kind != b->collection.kind) return "credential collection";
    return "";
}

std::string networkDifference(const XmlNetwork& a, const XmlNetwork& b) {
    const XmlNetworkImpl* x = a.impl();
    const XmlNetworkImpl* y = b.impl();
    if (x->m_media != y->m_media) return "media";
    if (x->m_common.connectionTimeout != y->m_common.connectionTimeout) return "connection timeout";
    if (text(x->m_common.runScriptAfterConnection) != text(y->m_common.runScriptAfterConnection))
        return "script";
    if (x->m_kind != y->m_kind) return "802.1X";
    if (a.isWireless()) {
        if (!sameBytes(x->m_wifi.ssid, y->m_wifi.ssid)) return "SSID";
        if (x->m_wifi.associationTimeout != y->m_wifi.associationTimeout) return "association timeout";
        if (x->m_association != y->m_association || x->m_encryption != y->m_encryption)
            return "association mode";
    }
    if (x->m_kind == XmlNetworkImpl::KIND_8021X) {
        if (std::string what = authenticationDifference(x->m_machine, y->m_machine); !what.empty())
            return "machine " + what;
        if (std::string what = authenticationDifference(x->m_user, y->m_user); !what.empty())
            return "user " + what;
    } else if (!a.isOpen()) {
        if (x->m_connectionKind != y->m_connectionKind) return "connection";
        if (x->m_key.format != y->m_key.format || x->m_key.keySize != y->m_key.keySize ||
            x->m_key.last != y->m_key.last || !sameBytes(x->m_key.key, y->m_key.key))
            return "key";
    } else if (x->m_connectionType != y->m_connectionType) {
        return "connection type";
    }
    return "";
}

std::string groupLabel(const XmlNetworkGroup& group) {
    return group.impl()->m_global ? "the global networks" : "group \"" + text(group.impl()->m_name) + "\"";
}

}  // namespace

std::string UserFileReadBack::compare(const XmlUserFileRecord& written, const XmlUserFileRecord& read) {
    if (written.groups.size() != read.groups.size()) return "the groups";
    for (std::size_t g = 0; g < written.groups.size(); ++g) {
        const XmlNetworkGroupImpl* a = written.groups[g].impl();
        const XmlNetworkGroupImpl* b = read.groups[g].impl();
        const std::string label = groupLabel(written.groups[g]);
        if (a->m_global != b->m_global || text(a->m_name) != text(b->m_name)) return label;
        if (a->m_networks.size() != b->m_networks.size()) return "the networks of " + label;
        for (std::size_t n = 0; n < a->m_networks.size(); ++n) {
            const XmlNetwork& x = a->m_networks[n];
            const XmlNetwork& y = b->m_networks[n];
            const std::string name = text(x.common().displayName);
            if (name != text(y.common().displayName)) return "the networks of " + label;
            if (std::string what = networkDifference(x, y); !what.empty())
                return "the " + what + " of network \"" + name + "\" in " + label;
        }
    }
    if (written.metaConnections.size() != read.metaConnections.size()) return "the VPN entries";
    for (std::size_t i = 0; i < written.metaConnections.size(); ++i) {
        const MetaConnection& a = written.metaConnections[i];
        const MetaConnection& b = read.metaConnections[i];
        if (text(a.groupName()) != text(b.groupName()) || text(a.networkName()) != text(b.networkName()) ||
            text(a.connectionEntry()) != text(b.connectionEntry()) ||
            a.autoConnectVpn() != b.autoConnectVpn())
            return "the VPN entry of network \"" + text(a.networkName()) + "\"";
    }
    return "";
}

std::string UserFileReadBack::difference(const XmlUserFileRecord& written, const ByteArray& bytes) {
    Configuration read;
    std::string found;
    try {
        XmlDocument document;
        document.parse(bytes.text(), bytes.length());
        read = Xml_DistributionPackage::readUserFile(document.rootElement());
        found = compare(written, Xml_DistributionPackage::recordOf(read));
        if (!found.empty()) found = "read back, " + found + " differs";
    } catch (const XmlException& e) {
        found = std::string("read back: ") + e.function().text();
    } catch (const ConversionException& e) {
        found = std::string("read back: ") + e.function().text();
    }
    // Only a carrier: nothing runs its networks.
    if (!read.isNull()) read.impl()->clearReferences();
    return found;
}
