#include "vel/xml/Xml_InternalConfiguration.h"

#include "vel/libxml2/XmlParentNode.h"
#include "vel/xml/XmlElements.h"
#include "vel/xml/XmlSchema.h"

using E = XmlElements;
using K = XmlCredentialsGroupImpl;

namespace {

void writeNetworks(XmlParentNode& parent, const XmlCredentialsGroup& group) {
    for (const XmlCredentialsNetwork& network : group.impl()->m_networks) {
        XmlParentNode element(parent.addChild(E::NETWORK));
        element.addTextChild(E::NETWORK_NAME, network.impl()->m_networkName.text());
        XmlParentNode credentials(element.addChild(E::CREDENTIALS));
        for (const ByteArray& credential : network.impl()->m_credentials) {
            credentials.addTextChild(E::CREDENTIAL, vel::xmlHexEncode(credential).text());
        }
    }
}

void writeEntries(XmlParentNode& root, const XmlCredentialsEntries& entries, std::int32_t kind,
                  const char* name) {
    for (const XmlCredentialsGroup& group : entries.groups) {
        if (group.impl()->m_kind != kind) continue;
        XmlParentNode element(root.addChild(name));
        if (kind != K::KIND_GLOBAL_NETWORKS) element.addTextChild(E::GROUP_NAME, group.impl()->m_name.text());
        writeNetworks(element, group);
    }
}

XmlCredentialsGroup readEntry(const SharedXmlNode& element, const Ascii& name, std::int32_t kind) {
    XmlCredentialsGroup group = XmlCredentialsGroup::create(name, kind);
    for (SharedXmlNode child = element.firstChild(); child.isNonNull(); child = child.nextSibling()) {
        if (!child.hasName(E::NETWORK)) continue;
        XmlCredentialsNetwork network =
            XmlCredentialsNetwork::create(vel::xmlRequiredText(child, E::NETWORK_NAME));
        SharedXmlNode credentials = child.findChild(E::CREDENTIALS);
        if (credentials.isNull()) continue;
        for (SharedXmlNode credential = credentials.firstChild(); credential.isNonNull();
             credential = credential.nextSibling()) {
            if (!credential.hasName(E::CREDENTIAL)) continue;
            const char* text = credential.content();
            if (text == nullptr || *text == '\0') vel::xmlErrorText(XmlMessages::EMPTY_CREDENTIAL_TAG);
            network.impl()->m_credentials.push_back(vel::xmlHexDecode(Ascii(text)));
        }
        group.impl()->m_networks.push_back(network);
    }
    return group;
}

void keep(XmlCredentialsEntries& entries, const XmlCredentialsGroup& group) {
    if (!group.impl()->m_networks.empty()) entries.groups.push_back(group);
}

}  // namespace

void Xml_InternalConfiguration::Write(XmlDocument& document, const XmlCredentialsEntries& entries) {
    XmlParentNode root(document.addChild(E::INTERNAL_CONFIGURATION_DATA));
    writeEntries(root, entries, K::KIND_GLOBAL_CREDENTIALS, E::GLOBAL_CREDENTIALS);
    if (entries.hasGlobalNetworks) writeEntries(root, entries, K::KIND_GLOBAL_NETWORKS, E::GLOBAL_NETWORKS);
    writeEntries(root, entries, K::KIND_GROUP, E::GROUP);
    if (entries.userSessionReference != 0)
        root.addTextChild(E::USER_SESSION_REFERENCE, std::to_string(entries.userSessionReference).c_str());
}

XmlCredentialsEntries Xml_InternalConfiguration::Read(const SharedXmlNode& root) {
    XmlCredentialsEntries entries;
    if (SharedXmlNode global = root.findChild(E::GLOBAL_CREDENTIALS); global.isNonNull()) {
        vel::xmlRequiredText(global, E::GROUP_NAME);
        keep(entries, readEntry(global, GLOBAL_CREDENTIALS_ENTRY, K::KIND_GLOBAL_CREDENTIALS));
    }
    if (SharedXmlNode global = root.findChild(E::GLOBAL_NETWORKS); global.isNonNull()) {
        keep(entries, readEntry(global, GLOBAL_NETWORKS_ENTRY, K::KIND_GLOBAL_NETWORKS));
    }
    for (SharedXmlNode child = root.firstChild(); child.isNonNull(); child = child.nextSibling()) {
        if (child.hasName(E::GROUP))
            keep(entries, readEntry(child, vel::xmlRequiredText(child, E::GROUP_NAME), K::KIND_GROUP));
    }
    if (root.findChild(E::USER_SESSION_REFERENCE).isNonNull())
        entries.userSessionReference = vel::xmlRequiredInt(root, E::USER_SESSION_REFERENCE);
    return entries;
}
