#pragma once
// The VPN messages: capabilities, state event, the credential and banner requests and answers.
#include "vel/connapi/SoapBodyContext.h"
#include "vel/string/Ascii.h"
#include "vel/string/AsciiVector.h"

struct VpnCapabilitiesRecord {
    bool automatedVpnCapable = false;
    // Written only when automated VPN is possible.
    AsciiVector connectionEntries;
    Ascii defaultConnectionEntry;
};

struct VpnCredentialsAnswerRecord {
    Ascii username;
    Ascii password;
};

class VpnBodies {
public:
    static void writeVpnCapabilities(const SoapBodyContext& context, const VpnCapabilitiesRecord& record);
    // The texts of the VPN state and status tables.
    static void writeVpnStateEvent(const SoapBodyContext& context, const char* state, const char* status);
    // getVpnCredentialsRequest: each prompt only when not empty.
    static void writeVpnCredentialsRequest(const SoapBodyContext& context, const Ascii& usernamePrompt,
                                           const Ascii& passwordPrompt);
    static VpnCredentialsAnswerRecord readVpnCredentialsResponse(const SharedXmlNode& element);
    static void writeBannerRequest(const SoapBodyContext& context, const Ascii& bannerPrompt);
    // bannerAccepted: absent is not accepted; present but empty raises XmlException.
    static bool readBannerAccepted(const SharedXmlNode& element);
};
