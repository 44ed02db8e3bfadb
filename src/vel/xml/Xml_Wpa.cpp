#include "vel/xml/Xml_Wpa.h"

#include "vel/libxml2/XmlParentNode.h"
#include "vel/xml/XmlElements.h"
#include "vel/xml/XmlSchema.h"
#include "vel/xml/Xml_SharedKey.h"
#include "vel/xml/Xml_WpaAssoc.h"

using E = XmlElements;
using M = XmlMessages;

XmlKeyRecord Xml_Wpa::Read(const SharedXmlNode& node) {
    SharedXmlNode keyFromProfile = vel::xmlRequiredChild(node, E::KEY_FROM_PROFILE, M::TAG_IS_REQUIRED);
    XmlKeyRecord key = Xml_SharedKey::ReadKeyValue(keyFromProfile);
    if (!key.persistent) {
        const int length = key.key.length();
        if (key.format == XmlKeyRecord::FORMAT_HEX && length != HEX_KEY_LENGTH) {
            vel::xmlErrorText(M::INVALID_HEX_PSK_LENGTH);
        }
        if (key.format == XmlKeyRecord::FORMAT_ASCII &&
            (length < MIN_ASCII_KEY_LENGTH || length > MAX_ASCII_KEY_LENGTH)) {
            vel::xmlErrorText(M::INVALID_ASCII_PSK_LENGTH);
        }
    }
    key.last = Xml_WpaAssoc::Read(node);
    return key;
}

void Xml_Wpa::Write(XmlParentBase& parent, const XmlKeyRecord& key, const char* name) {
    XmlParentNode wpa(parent.addChild(name));
    XmlParentNode keyFromProfile(wpa.addChild(E::KEY_FROM_PROFILE));
    if (key.key.length() > 0) Xml_SharedKey::WriteKeyValue(keyFromProfile, key);
    Xml_WpaAssoc::Write(wpa, key.last);
}
