#include "vel/xml/Xml_UserCollectionMethod.h"

#include "vel/libxml2/XmlParentNode.h"
#include "vel/xml/XmlElements.h"
#include "vel/xml/XmlSchema.h"
#include "vel/xml/Xml_CredentialStorage.h"

using E = XmlElements;
using C = XmlAuthenticationConstants;

XmlCollectionBehavior Xml_UserCollectionMethod::Read(const SharedXmlNode& node) {
    XmlCollectionBehavior collection;
    if (SharedXmlNode password = node.findChild(E::WITH_PASSWORD); password.isNonNull()) {
        collection.kind = C::CREDENTIAL_PASSWORD;
        if (SharedXmlNode cache = password.findChild(E::CACHE_PASSWORD_FROM_USER); cache.isNonNull()) {
            collection.storage = Xml_CredentialStorage::Read(cache);
        }
    } else if (SharedXmlNode certificate = node.findChild(E::WITH_CERTIFICATE); certificate.isNonNull()) {
        collection.kind = C::CREDENTIAL_CERTIFICATE;
        collection.storage =
            Xml_CredentialStorage::Read(vel::xmlRequiredChild(certificate, E::CACHE_CERTIFICATE_FROM_USER));
        SharedXmlNode source = vel::xmlRequiredChild(certificate, E::ALLOWED_CERT_SOURCE_FROM_USER);
        if (source.findChild(E::SMART_CARD_ONLY_CERTIFICATE).isNonNull()) {
            collection.allowedCertificateSource = C::SMART_CARD_ONLY;
        } else if (source.findChild(E::SMART_CARD_OR_OS_CERTIFICATE).isNonNull()) {
            collection.allowedCertificateSource = C::SMART_CARD_OR_OS;
        } else {
            vel::xmlError(XmlMessages::TWO_TAGS_REQUIRED, E::SMART_CARD_ONLY_CERTIFICATE,
                          E::SMART_CARD_OR_OS_CERTIFICATE);
        }
        collection.pinStorage =
            Xml_CredentialStorage::Read(vel::xmlRequiredChild(certificate, E::CACHE_PIN_FOR_SMARTCARD));
    } else if (SharedXmlNode token = node.findChild(E::WITH_TOKEN); token.isNonNull()) {
        collection.kind = C::CREDENTIAL_TOKEN;
        collection.storage =
            Xml_CredentialStorage::Read(vel::xmlRequiredChild(token, E::CACHE_PIN_FOR_TOKEN_FROM_USER));
    }
    return collection;
}

void Xml_UserCollectionMethod::Write(XmlParentBase& parent, const XmlCollectionBehavior& collection) {
    XmlParentNode element(parent.addChild(E::COLLECTION_BEHAVIOR));
    switch (collection.kind) {
        case C::CREDENTIAL_PASSWORD: {
            XmlParentNode password(element.addChild(E::WITH_PASSWORD));
            Xml_CredentialStorage::Write(password, collection.storage, E::CACHE_PASSWORD_FROM_USER);
            break;
        }
        case C::CREDENTIAL_CERTIFICATE: {
            XmlParentNode certificate(element.addChild(E::WITH_CERTIFICATE));
            Xml_CredentialStorage::Write(certificate, collection.storage, E::CACHE_CERTIFICATE_FROM_USER);
            certificate.addChild(E::ALLOWED_CERT_SOURCE_FROM_USER)
                .addChild(collection.allowedCertificateSource == C::SMART_CARD_ONLY
                              ? E::SMART_CARD_ONLY_CERTIFICATE
                              : E::SMART_CARD_OR_OS_CERTIFICATE);
            Xml_CredentialStorage::Write(certificate, collection.pinStorage, E::CACHE_PIN_FOR_SMARTCARD);
            break;
        }
        case C::CREDENTIAL_TOKEN: {
            XmlParentNode token(element.addChild(E::WITH_TOKEN));
            Xml_CredentialStorage::Write(token, collection.storage, E::CACHE_PIN_FOR_TOKEN_FROM_USER);
            break;
        }
        default:
            break;
    }
}
