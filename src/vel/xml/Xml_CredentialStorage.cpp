#include "vel/xml/Xml_CredentialStorage.h"

#include "vel/enumtostring/EnumConversions.h"
#include "vel/xml/XmlSchema.h"

std::int32_t Xml_CredentialStorage::Read(const SharedXmlNode& node) {
    SharedXmlNode value = vel::xmlFirstElementChild(node);
    if (value.isNull()) vel::xmlErrorText(XmlMessages::INVALID_CREDENTIAL_STORAGE_TYPE);
    if (vel::xmlNextElementSibling(value).isNonNull())
        vel::xmlErrorText(XmlMessages::INVALID_CREDENTIAL_STORAGE_TAG);
    return TextToCredStorage(value.name());
}

void Xml_CredentialStorage::Write(XmlParentBase& parent, std::int32_t storage, const char* name) {
    if (storage == 0) return;
    parent.addChild(name).addChild(CredStorageToText(storage));
}
