#include "vel/xml/Xml_SharedKey.h"

#include "vel/xml/XmlElements.h"
#include "vel/xml/XmlSchema.h"
#include "vel/xml/Xml_EncryptedContent.h"
#include "vel/xml/Xml_WepType.h"
#include "vel/xml/Xml_Wpa.h"

using E = XmlElements;
using M = XmlMessages;
using N = XmlNetworkImpl;

void Xml_SharedKey::Read(const SharedXmlNode& node, const XmlNetwork& network) {
    XmlNetworkImpl* record = network.impl();
    if (SharedXmlNode wep = node.findChild(E::WEP); wep.isNonNull()) {
        record->m_key = Xml_WepType::Read(wep);
        record->m_association = record->m_key.last;
        record->m_encryption = N::ENCRYPTION_WEP;
    } else if (SharedXmlNode wpa = node.findChild(E::WPA); wpa.isNonNull()) {
        record->m_key = Xml_Wpa::Read(wpa);
        record->m_association = N::ASSOCIATION_WPA_PERSONAL;
        record->m_encryption = record->m_key.last;
    } else if (SharedXmlNode wpa2 = node.findChild(E::WPA2); wpa2.isNonNull()) {
        record->m_key = Xml_Wpa::Read(wpa2);
        record->m_association = N::ASSOCIATION_WPA2_PERSONAL;
        record->m_encryption = record->m_key.last;
    } else {
        vel::xmlError(M::THREE_TAGS_REQUIRED, E::WEP, E::WPA, E::WPA2);
    }
}

void Xml_SharedKey::Write(XmlParentBase& parent, const XmlNetwork& network) {
    const XmlNetworkImpl* record = network.impl();
    if (record->m_key.key.length() == 0) vel::xmlError(M::NO_KEY_TO_WRITE, E::SHARED_KEY_NETWORK);
    switch (record->m_association) {
        case N::ASSOCIATION_OPEN:
        case N::ASSOCIATION_SHARED:
            if (record->m_encryption != N::ENCRYPTION_WEP) break;
            Xml_WepType::Write(parent, record->m_key);
            return;
        case N::ASSOCIATION_WPA_PERSONAL:
            Xml_Wpa::Write(parent, record->m_key, E::WPA);
            return;
        case N::ASSOCIATION_WPA2_PERSONAL:
            Xml_Wpa::Write(parent, record->m_key, E::WPA2);
            return;
        default:
            break;
    }
    vel::xmlError(M::NO_FORM_FOR_PAIR, E::SHARED_KEY_NETWORK, record->m_association, record->m_encryption);
}

XmlKeyRecord Xml_SharedKey::ReadKeyValue(const SharedXmlNode& keyFromProfile) {
    XmlKeyRecord key;
    SharedXmlNode value = keyFromProfile.findChild(E::ASCII);
    key.format = XmlKeyRecord::FORMAT_ASCII;
    if (value.isNull()) {
        value = keyFromProfile.findChild(E::HEX);
        key.format = XmlKeyRecord::FORMAT_HEX;
    }
    if (value.isNull()) vel::xmlError(M::TWO_TAGS_REQUIRED, E::ASCII, E::HEX);
    const bool hex = key.format == XmlKeyRecord::FORMAT_HEX;
    XmlContentValue content = hex ? vel::xmlDecryptContent(value) : vel::xmlDecryptTextContent(value);
    if (content.bytes.length() == 0) vel::xmlErrorText(M::INVALID_KEY);
    key.persistent = content.persistent;
    key.key = hex ? vel::xmlHexDecode(Ascii::fromByteArray(content.bytes)) : content.bytes;
    return key;
}

void Xml_SharedKey::WriteKeyValue(XmlParentBase& keyFromProfile, const XmlKeyRecord& key) {
    const bool ascii = key.format == XmlKeyRecord::FORMAT_ASCII;
    const ByteArray bytes = ascii ? key.key : vel::xmlHexEncode(key.key).toByteArray();
    vel::xmlEncryptContent(keyFromProfile, ascii ? E::ASCII : E::HEX, XmlContentValue{bytes, true});
}
