#include "vel/xml/Xml_AuthenticationNetwork.h"

#include "vel/libxml2/XmlParentNode.h"
#include "vel/xml/XmlElements.h"
#include "vel/xml/XmlSchema.h"
#include "vel/xml/Xml_AssociationMode.h"
#include "vel/xml/Xml_Auth.h"
#include "vel/xml/Xml_Settings8021x.h"

using E = XmlElements;
using M = XmlMessages;
using C = XmlAuthenticationConstants;

void Xml_AuthenticationNetwork::Read(const SharedXmlNode& node, std::int32_t media,
                                     const XmlNetwork& network) {
    XmlNetworkImpl* record = network.impl();
    if (SharedXmlNode machine = node.findChild(E::MACHINE_AUTHENTICATION); machine.isNonNull()) {
        record->m_machine = Xml_Auth::Read(machine, media, C::RECORD_MACHINE);
    } else if (SharedXmlNode user = node.findChild(E::USER_AUTHENTICATION); user.isNonNull()) {
        record->m_user = Xml_Auth::Read(user, media, C::RECORD_USER);
    } else if (SharedXmlNode both = node.findChild(E::MACHINE_USER_AUTHENTICATION); both.isNonNull()) {
        SharedXmlNode machineRecord = vel::xmlRequiredChild(both, E::MACHINE);
        SharedXmlNode userRecord = vel::xmlRequiredChild(both, E::USER);
        record->m_machine = Xml_Auth::Read(machineRecord, media, C::RECORD_MACHINE);
        record->m_user = Xml_Auth::Read(userRecord, media, C::RECORD_USER);
    } else {
        vel::xmlError(M::THREE_TAGS_REQUIRED, E::MACHINE_AUTHENTICATION, E::USER_AUTHENTICATION,
                      E::MACHINE_USER_AUTHENTICATION);
    }
    record->m_settings8021x = Xml_Settings8021x::Read(vel::xmlRequiredChild(node, E::SETTING_8021X));
    if (media == C::MEDIA_WIRELESS) {
        Xml_AssociationMode::Read(vel::xmlRequiredChild(node, E::ASSOCIATION_MODE), record->m_association,
                                  record->m_encryption);
    }
}

void Xml_AuthenticationNetwork::Write(XmlParentBase& parent, const XmlNetwork& network) {
    const XmlNetworkImpl* record = network.impl();
    const std::int32_t media = record->m_media;
    XmlParentNode element(parent.addChild(E::AUTHENTICATION_NETWORK));
    if (record->m_machine && record->m_user) {
        XmlParentNode both(element.addChild(E::MACHINE_USER_AUTHENTICATION));
        Xml_Auth::Write(both, *record->m_machine, E::MACHINE, media);
        Xml_Auth::Write(both, *record->m_user, E::USER, media);
    } else if (record->m_machine) {
        Xml_Auth::Write(element, *record->m_machine, E::MACHINE_AUTHENTICATION, media);
    } else if (record->m_user) {
        Xml_Auth::Write(element, *record->m_user, E::USER_AUTHENTICATION, media);
    } else {
        vel::xmlError(M::NO_AUTHENTICATION_TO_WRITE, E::AUTHENTICATION_NETWORK);
    }
    Xml_Settings8021x::Write(element, record->m_settings8021x);
    if (network.isWireless())
        Xml_AssociationMode::Write(element, record->m_association, record->m_encryption);
}
