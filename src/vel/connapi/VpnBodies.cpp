#include "vel/connapi/VpnBodies.h"

#include "vel/connapi/ConnApiMessage.h"
#include "vel/connapi/ConnApiReader.h"
#include "vel/connapi/ConnApiWriter.h"
#include "vel/xmlconnectionapi/ConnApiElements.h"

void VpnBodies::writeVpnCapabilities(const SoapBodyContext& context, const VpnCapabilitiesRecord& record) {
    XmlParentNode message = ConnApiMessage::writeHeaderOnBody(context);
    ConnApiWriter::boolean(message, ConnApiElements::IS_AUTOMATED_VPN_CAPABLE, record.automatedVpnCapable);
    if (!record.automatedVpnCapable) return;
    XmlParentNode entries = ConnApiWriter::array(message, ConnApiElements::CONNECTION_ENTRIES);
    for (std::int32_t i = 0; i < record.connectionEntries.length(); ++i)
        ConnApiWriter::text(entries, ConnApiElements::CONNECTION_ENTRY, record.connectionEntries.get(i));
    ConnApiWriter::text(message, ConnApiElements::DEFAULT_CONNECTION_ENTRY, record.defaultConnectionEntry);
}

void VpnBodies::writeVpnStateEvent(const SoapBodyContext& context, const char* state, const char* status) {
    XmlParentNode message = ConnApiMessage::writeHeaderOnBody(context);
    ConnApiWriter::text(message, ConnApiElements::VPN_STATE, state);
    ConnApiWriter::text(message, ConnApiElements::VPN_STATUS, status);
}

void VpnBodies::writeVpnCredentialsRequest(const SoapBodyContext& context, const Ascii& usernamePrompt,
                                           const Ascii& passwordPrompt) {
    XmlParentNode message = ConnApiMessage::writeHeaderOnBody(context);
    ConnApiWriter::textUnlessEmpty(message, ConnApiElements::USERNAME_PROMPT, usernamePrompt);
    ConnApiWriter::textUnlessEmpty(message, ConnApiElements::PASSWORD_PROMPT, passwordPrompt);
}

VpnCredentialsAnswerRecord VpnBodies::readVpnCredentialsResponse(const SharedXmlNode& element) {
    ConnApiReader reader(element);
    VpnCredentialsAnswerRecord record;
    record.username = reader.optionalText(ConnApiElements::USERNAME);
    record.password = reader.optionalText(ConnApiElements::PASSWORD);
    return record;
}

void VpnBodies::writeBannerRequest(const SoapBodyContext& context, const Ascii& bannerPrompt) {
    XmlParentNode message = ConnApiMessage::writeHeaderOnBody(context);
    ConnApiWriter::text(message, ConnApiElements::BANNER_PROMPT, bannerPrompt);
}

bool VpnBodies::readBannerAccepted(const SharedXmlNode& element) {
    return ConnApiReader(element).booleanChild(ConnApiElements::BANNER_ACCEPTED, false);
}
