#include "vel/xml/Xml_WepType.h"

#include "vel/enumtostring/EnumConversions.h"
#include "vel/libxml2/XmlParentNode.h"
#include "vel/xml/XmlElements.h"
#include "vel/xml/XmlSchema.h"
#include "vel/xml/Xml_SharedKey.h"

using E = XmlElements;
using M = XmlMessages;

XmlKeyRecord Xml_WepType::Read(const SharedXmlNode& node) {
    SharedXmlNode size = node.findChild(E::KEY_IS_40_BITS);
    int keySize = KEY_SIZE_40_BITS;
    if (size.isNull()) {
        size = node.findChild(E::KEY_IS_128_BITS);
        keySize = KEY_SIZE_128_BITS;
    }
    if (size.isNull()) vel::xmlError(M::TWO_TAGS_REQUIRED, E::KEY_IS_40_BITS, E::KEY_IS_128_BITS);
    SharedXmlNode keyFromProfile =
        vel::xmlRequiredChild(size, E::KEY_FROM_PROFILE, M::TAG_IS_REQUIRED_LEADING_BLANK);
    XmlKeyRecord key = Xml_SharedKey::ReadKeyValue(keyFromProfile);
    key.keySize = keySize;
    if (!key.persistent && key.key.length() != keySize) vel::xmlErrorText(M::INVALID_WEP_KEY_LENGTH);
    key.last = TextToAuth80211(vel::xmlRequiredText(node, E::IEEE80211_AUTHENTICATION).text());
    return key;
}

void Xml_WepType::Write(XmlParentBase& parent, const XmlKeyRecord& key) {
    XmlParentNode wep(parent.addChild(E::WEP));
    XmlParentNode size(
        wep.addChild(key.keySize == KEY_SIZE_40_BITS ? E::KEY_IS_40_BITS : E::KEY_IS_128_BITS));
    XmlParentNode keyFromProfile(size.addChild(E::KEY_FROM_PROFILE));
    Xml_SharedKey::WriteKeyValue(keyFromProfile, key);
    wep.addTextChild(E::IEEE80211_AUTHENTICATION, Auth80211ToText(key.last));
}
