#include "vel/connapi/VpnBodies.h"

#include "vel/connapi/ConnApiMessage.h"
#include "vel/connapi/ConnApiReader.h"
#include "vel/connapi/ConnApiWriter.h"
#include "vel/xmlconnectionapi/ConnApiElement.h"

void VpnBodies::writeVpnCapabilities(const SoapBodyContext& context, const VpnCapabilitiesRecord& record) {
    XmlParentNode message = ConnApiMessage::writeHeaderOnBody(context);
    ConnApiWriter::boolean(message, ConnApiElement::IS_AUTOMATED_VPN_CAPABLE, record.automatedVpnCapable);
    if (!record.automatedVpnCapable) return;
    XmlParentNode entries = ConnApiWriter::array(message, ConnApiElement::CONNECTION_ENTRIES);
    for (std::int32_t i = 0; i < record.connectionEntries.length(); ++i)
        ConnApiWriter::text(entries, ConnApiElement::CONNECTION_ENTRY, record.connectionEntries.get(i));
    ConnApiWriter::text(message, ConnApiElement::DEFAULT_CONNECTION_ENTRY, record.defaultConnectionEntry);
}

void VpnBodies::writeVpnStateEvent(const SoapBodyContext& context, const char* state, const char* status) {
    XmlParentNode message = ConnApiMessage::writeHeaderOnBody(context);
    ConnApiWriter::text(message, ConnApiElement::VPN_STATE, state);
    ConnApiWriter::text(message, ConnApiElement::VPN_STATUS, status);
}

void VpnBodies::writeVpnCredentialsRequest(const SoapBodyContext& context, const Ascii& usernamePrompt,
                                           const Ascii& passwordPrompt) {
    XmlParentNode message = ConnApiMessage::writeHeaderOnBody(context);
    ConnApiWriter::textUnlessEmpty(message, ConnApiElement::USERNAME_PROMPT, usernamePrompt);
    ConnApiWriter::textUnlessEmpty(message, ConnApiElement::PASSWORD_PROMPT, passwordPrompt);
}

VpnCredentialsAnswerRecord VpnBodies::readVpnCredentialsResponse(const SharedXmlNode& element) {
    ConnApiReader reader(element);
    VpnCredentialsAnswerRecord record;
    record.username = reader.optionalText(ConnApiElement::USERNAME);
    record.password = reader.optionalText(ConnApiElement::PASSWORD);
    return record;
}

void VpnBodies::writeBannerRequest(const SoapBodyContext& context, const Ascii& bannerPrompt) {
    XmlParentNode message = ConnApiMessage::writeHeaderOnBody(context);
    ConnApiWriter::text(message, ConnApiElement::BANNER_PROMPT, bannerPrompt);
}

bool VpnBodies::readBannerAccepted(const SharedXmlNode& element) {
    return ConnApiReader(element).booleanChild(ConnApiElement::BANNER_ACCEPTED, false);
}
