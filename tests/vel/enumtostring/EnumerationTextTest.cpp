#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/vel/basevaluessupport/BaseValuesTestSupport.h"
#include "vel/enumtostring/BaseCredentialTypeConversions.h"
#include "vel/enumtostring/EnumConversions.h"
#include "vel/exception/ConversionException.h"

namespace {

using ToText = const char* (*)(std::int32_t);
using ToValue = std::int32_t (*)(const char*, std::int32_t);

struct Table {
    const char* name;
    const EnumTextRow* rows;
    int rowCount;
    ToText toText;
    ToValue toValue;
    const char* toTextMiss;
    const char* toValueMiss;
};

const std::vector<Table> TABLES = {
    {"EAP_TYPE", conversiontables::EAP_TYPE, 9, EapTypeToText, TextToEapType,
     "EapTypeToText: Unknown EAP type.", "TextToEapType: Unknown EAP type."},
    {"BOOL", conversiontables::BOOL, 2, BoolToText, TextToBool, "BoolToText: Unknown boolean value.",
     "TextToBool: Unknown boolean value."},
    {"AUTH_80211", conversiontables::AUTH_80211, 2, Auth80211ToText, TextToAuth80211,
     "Auth80211ToText: Unknown 80211 authentication value.",
     "TextToAuth80211: Unknown 80211 authentication type."},
    {"CRED_STORAGE", conversiontables::CRED_STORAGE, 3, CredStorageToText, TextToCredStorage,
     "CredStorageToText: Unknown credentials storage value.",
     "TextToCredStorage: Unknown credentials storage type."},
    {"WPA_ENCR", conversiontables::WPA_ENCR, 2, WpaEncrToText, TextToWpaEncr,
     "WpaEncrToText: Unknown WPA encryption value.", "TextToWpaEncr: Unknown WPA encryption type."},
    {"SERVER_RULES", conversiontables::SERVER_RULES, 2, ServerRulesToText, TextToServerRules,
     "ServerRulesToText: Unknown server rule type.", "TextToServerRules: Unknown server rule type."},
    {"HOW_MATCH", conversiontables::HOW_MATCH, 2, HowMatchToText, TextToHowMatch,
     "HowMatchToText: Unknown name matching rule type.", "TextToHowMatch: Unknown name matching rule type."},
    {"CERT", conversiontables::CERT, 2, CertToText, TextToCert, "CertToText: Unknown certificate type.",
     "TextToCert: Unknown certificate type."},
    {"TTLS_METHOD", conversiontables::TTLS_METHOD, 5, TtlsMethodToText, nullptr,
     "TtlsMethodToText: Unknown TTLS method.", nullptr},
    {"XML_API_TTLS_METHOD", conversiontables::XML_API_TTLS_METHOD, 4, XmlApiTtlsMethodToText, nullptr,
     "XmlApiTtlsMethodToText: Unknown TTLS method.", nullptr},
    {"AUTHENTICATION_TYPE", conversiontables::AUTHENTICATION_TYPE, 13, AuthenticationTypeToText,
     TextToAuthenticationType, "AuthenticationTypeToText: Unknown authentication type.",
     "TextToAuthenticationType: Unknown authentication type."},
    {"COMMAND", conversiontables::COMMAND, 5, nullptr, TextToCommand, nullptr,
     "TextToCommand: Unknown command."},
    {"CONN_API_COMMAND", conversiontables::CONN_API_COMMAND, 101, ConnApiCommandToText, TextToConnApiCommand,
     "ConnApiCommandToText: Unknown command.", "TextToConnApiCommand: Unknown command."},
    {"TYPE", conversiontables::TYPE, 11, nullptr, TextToType, nullptr, "TextToType: Unknown command type."},
    {"NETWORK_TYPE", conversiontables::NETWORK_TYPE, 2, NetworkTypeToText, TextToNetworkType,
     "NetworkTypeToText: Unknown network type.", "TextToNetworkType: Unknown network type."},
    {"XML_API_NETWORK_TYPE", conversiontables::XML_API_NETWORK_TYPE, 8, XmlApiNetworkTypeToText, nullptr,
     "XmlApiNetworkTypeToText: Unknown network state.", nullptr},
    {"XML_API_FAILURE_REASON", conversiontables::XML_API_FAILURE_REASON, 4, XmlApiFailureReasonToText,
     nullptr, "XmlApiFailureReasonToText: Unknown failure reason.", nullptr},
    {"XML_API_EAP_LEVEL", conversiontables::XML_API_EAP_LEVEL, 2, XmlApiEapLevelToText, nullptr,
     "XmlApiEapLevelToText: Unknown eap level.", nullptr},
    {"XML_API_DIAGNOSTIC_MESSAGE", conversiontables::XML_API_DIAGNOSTIC_MESSAGE, 23,
     XmlApiDiagnosticMessageToText, nullptr, "XmlApiDiagnosticMessageToText: Unknown diagnostic message.",
     nullptr},
    {"NETWORK_CREATOR", conversiontables::NETWORK_CREATOR, 2, NetworkCreatorToText, nullptr,
     "NetworkCreatorToText: Unknown creator type.", nullptr},
    {"LOCATION_FORMAT", conversiontables::LOCATION_FORMAT, 3, LocationFormatToText, TextToLocationFormat,
     "LocationFormatToText: Unknown location format.", "TextToLocationFormat: Unknown location format."},
    {"LOCATION_SIGN_TYPE", conversiontables::LOCATION_SIGN_TYPE, 7, LocationSignTypeToText, nullptr,
     "LocationSignTypeToText: Unknown location signature type.", nullptr},
    {"LOCATION_ENCODING", conversiontables::LOCATION_ENCODING, 4, LocationEncodingToText,
     TextToLocationEncoding, "LocationEncodingToText: Unknown location encoding.",
     "TextToLocationEncoding: Unknown location encoding."},
    {"LOCATION_RESOLUTION", conversiontables::LOCATION_RESOLUTION, 3, LocationResolutionToText,
     TextToLocationResolution, "LocationResolutionToText: Unknown location resolution.",
     "TextToLocationResolution: Unknown location resolution."},
    {"LOCATION_SERVICE", conversiontables::LOCATION_SERVICE, 2, LocationServiceToText, nullptr,
     "LocationServiceToText: Unknown location service.", nullptr},
    {"XML_API_CONNECTION_MODE", conversiontables::XML_API_CONNECTION_MODE, 2, XmlApiConnectionModeToText,
     TextToXmlApiConnectionMode, "XmlApiConnectionModeToText: Unknown connection mode.",
     "TextToXmlApiConnectionMode: Unknown connection mode."},
    {"XML_API_NETWORK_PRIORITY", conversiontables::XML_API_NETWORK_PRIORITY, 4, nullptr,
     TextToXmlApiNetworkPriority, nullptr, "TextToXmlApiNetworkPriority: Unknown network priority."},
    {"CREDENTIAL_TYPE", conversiontables::CREDENTIAL_TYPE, 7, CredentialTypeToText, TextToCredentialType,
     "CredentialTypeToText: Unknown credential type.", "TextToCredentialType: Unknown credential type."},
    {"REQUEST_TYPE", conversiontables::REQUEST_TYPE, 5, RequestTypeToText, TextToRequestType,
     "RequestTypeToText: Unknown credential type.", "TextToRequestType: Unknown credential type."},
    {"MEDIA_TYPE", conversiontables::MEDIA_TYPE, 4, MediaTypeToText, nullptr,
     "MediaTypeToText: Unknown media type.", nullptr},
    {"ADAPTER_STATE", conversiontables::ADAPTER_STATE, 13, AdapterStateToText, nullptr,
     "AdapterStateToText: Unknown adapter state.", nullptr},
    {"VPN_SETTING", conversiontables::VPN_SETTING, 4, VpnSettingToText, TextToVpnSetting,
     "VpnSettingToText: Unknown VPN settings type.", "TextToVpnSetting: Unknown VPN settings type."},
    {"VPN_STATE", conversiontables::VPN_STATE, 4, VpnStateToText, nullptr,
     "VpnStateToText: Unknown vpn state.", nullptr},
    {"VPN_STATUS", conversiontables::VPN_STATUS, 46, VpnStatusToText, nullptr,
     "VpnStatusToText: Unknown vpn status.", nullptr},
    {"VPN_USER_EVENT", conversiontables::VPN_USER_EVENT, 2, VpnUserEventToText, nullptr,
     "VpnUserEventToText: Unknown vpn user event.", nullptr},
    {"VPN_CLIENT_EVENT", conversiontables::VPN_CLIENT_EVENT, 48, VpnClientEventToText, nullptr,
     "VpnClientEventToText: Unknown vpn user event.", nullptr},
    {"VPN_NETWORK_EVENT", conversiontables::VPN_NETWORK_EVENT, 2, VpnNetworkEventToText, nullptr,
     "VpnNetworkEventToText: Unknown network event.", nullptr},
    {"ACCESS_STATE", conversiontables::ACCESS_STATE, 7, AccessStateToText, nullptr,
     "AccessStateToText: Unknown access state.", nullptr},
    {"NETWORK_STATE", conversiontables::NETWORK_STATE, 11, NetworkStateToText, nullptr,
     "NetworkStateToText: Unknown network state.", nullptr},
    {"NETWORK_USER_EVENT", conversiontables::NETWORK_USER_EVENT, 8, NetworkUserEventToText, nullptr,
     "NetworkUserEventToText: Unknown user event.", nullptr},
    {"NETWORK_SSO_REQUEST", conversiontables::NETWORK_SSO_REQUEST, 4, NetworkSsoRequestToText, nullptr,
     "NetworkSsoRequestToText: Unknown SsoRequest.", nullptr},
    {"NETWORK_AUTH_REQUEST", conversiontables::NETWORK_AUTH_REQUEST, 2, NetworkAuthRequestToText, nullptr,
     "NetworkAuthRequestToText: Unknown Auth Request.", nullptr},
    {"base CREDENTIAL_TYPE", basecredential::CREDENTIAL_TYPE, 3, basecredential::CredentialTypeToText,
     basecredential::TextToCredentialType, "CredentialTypeToText: Unknown credential type.",
     "TextToCredentialType: Unknown credential type."},
};

// The miss message a call raises, or "" when it raised nothing.
template <class Call>
std::string missOf(Call call) {
    try {
        call();
    } catch (const ConversionException& e) {
        return e.function().text();
    }
    return "";
}

// The first row with this value is the one a value converts to.
const char* firstTextOf(const EnumTextRow* rows, std::int32_t value) {
    for (const EnumTextRow* row = rows; row->text; ++row) {
        if (row->value == value) return row->text;
    }
    return nullptr;
}

TEST(EnumerationTextTest, EveryRowRoundTripsAndEveryMissRaisesItsMessage) {
    for (const Table& table : TABLES) {
        SCOPED_TRACE(table.name);
        ASSERT_EQ(EnumTable::rowCount(table.rows), table.rowCount);
        for (const EnumTextRow* row = table.rows; row->text; ++row) {
            if (table.toText) {
                EXPECT_STREQ(table.toText(row->value), firstTextOf(table.rows, row->value)) << row->value;
            }
            if (table.toValue) {
                EXPECT_EQ(table.toValue(row->text, -1), row->value) << row->text;
                // A counted text need not end in a zero.
                std::string padded = std::string(row->text) + "#";
                EXPECT_EQ(table.toValue(padded.c_str(), static_cast<std::int32_t>(padded.size()) - 1),
                          row->value);
                EXPECT_EQ(missOf([&] { table.toValue(padded.c_str(), -1); }), table.toValueMiss) << padded;
            }
        }
        if (table.toText) {
            EXPECT_EQ(missOf([&] { table.toText(-12345); }), table.toTextMiss);
        }
        if (table.toValue) {
            EXPECT_EQ(missOf([&] { table.toValue("", -1); }), table.toValueMiss);
            std::string upper = table.rows[0].text;
            for (char& c : upper)
                c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c >= 'A' && c <= 'Z' ? c + 32 : c);
            EXPECT_EQ(missOf([&] { table.toValue(upper.c_str(), -1); }), table.toValueMiss) << upper;
        }
    }
}

TEST(EnumerationTextTest, TextsAreTheExternalVocabulary) {
    EXPECT_EQ(missOf([] { TextToBool("True"); }), "TextToBool: Unknown boolean value.");
    EXPECT_EQ(TextToConnApiCommand("SOAP-ENV:Fault"), 101);
    EXPECT_EQ(TextToConnApiCommand("getVersionRequest"), 1);
    EXPECT_STREQ(ConnApiCommandToText(100), "unknownRequest");
    EXPECT_EQ(missOf([] { ConnApiCommandToText(0); }), "ConnApiCommandToText: Unknown command.");
    EXPECT_EQ(missOf([] { ConnApiCommandToText(102); }), "ConnApiCommandToText: Unknown command.");
    EXPECT_STREQ(XmlApiNetworkTypeToText(6), "authentication failed");
    EXPECT_STREQ(MediaTypeToText(2), "unit test");
    EXPECT_STREQ(EapTypeToText(0), "none");
    EXPECT_EQ(TextToAuthenticationType("pap"), 4100);
    EXPECT_STREQ(basecredential::CredentialTypeToText(3), "token");
    EXPECT_STREQ(CredentialTypeToText(3), "AsciiPsk");
}

TEST(EnumerationTextTest, ConnectionApiCommandsAreUniqueBothWays) {
    std::vector<std::string> seen;
    for (std::int32_t value = 1; value <= 101; ++value) {
        std::string name = ConnApiCommandToText(value);
        EXPECT_EQ(TextToConnApiCommand(name.c_str()), value) << name;
        for (const std::string& other : seen) EXPECT_NE(other, name);
        seen.push_back(name);
    }
}

// A failure event is numbered two above the status that reports it: every status beyond the first
// five has exactly one event, and every failure event one status.
TEST(EnumerationTextTest, VpnFailureEventsSitTwoAboveTheirStatus) {
    for (const EnumTextRow* row = conversiontables::VPN_STATUS; row->text; ++row) {
        if (row->value <= 4) continue;
        EXPECT_EQ(missOf([&] { VpnClientEventToText(row->value + 2); }), "") << row->text;
    }
    for (const EnumTextRow* row = conversiontables::VPN_CLIENT_EVENT; row->text; ++row) {
        if (row->value <= 5) continue;
        EXPECT_EQ(missOf([&] { VpnStatusToText(row->value - 2); }), "") << row->text;
    }
    const std::vector<std::pair<int, std::string>> cases = {{8, "CLIENT_CONNECT_ABORTED"},
                                                            {9, "CLIENT_NOT_A_PROFILE"},
                                                            {22, "CLIENT_IKE_FAIL"},
                                                            {49, "CLIENT_HOSTNAME_LOOKUP_FAIL"},
                                                            {50, "CLIENT_PEER_NOT_RESPONDING"},
                                                            {51, "CLIENT_GENERAL_FAILURE"}};
    for (const auto& [event, name] : cases) EXPECT_EQ(VpnClientEventToText(event), name);
    EXPECT_STREQ(VpnStatusToText(20), "Unable to contact the security gateway.");
    EXPECT_STREQ(VpnStatusToText(48), "The remote peer is no longer responding.");
    EXPECT_STREQ(VpnStatusToText(6), "Your VPN connection has been terminated.");
    for (int unused : {6, 7, 26, 35})
        EXPECT_EQ(missOf([&] { VpnClientEventToText(unused); }),
                  "VpnClientEventToText: Unknown vpn user event.");
}

TEST(EnumerationTextTest, AssociationModeMatchesBothHalves) {
    EXPECT_STREQ(AssociationModeToText(1, 2), "openStaticWep");
    EXPECT_STREQ(AssociationModeToText(9, 4), "quillanEnterpriseAes");
    EXPECT_EQ(TextToAssociationMode("open1xDynamicWep"), (std::int64_t{2} << 32) | 1);
    EXPECT_EQ(TextToAssociationMode("wpa2EnterpriseTkip"), (std::int64_t{3} << 32) | 8);
    for (const AssociationModeRow* row = conversiontables::ASSOCIATION_MODE; row->text; ++row) {
        std::int64_t both = TextToAssociationMode(row->text);
        EXPECT_EQ(static_cast<std::int32_t>(both & 0xFFFFFFFF), row->association) << row->text;
        EXPECT_EQ(static_cast<std::int32_t>(both >> 32), row->encryption) << row->text;
    }
    EXPECT_EQ(missOf([] { AssociationModeToText(2, 3); }),
              "AssociationModeToText: Unknown association mode.");
    EXPECT_EQ(missOf([] { TextToAssociationMode("wpa3"); }),
              "TextToAssociationMode: Unknown association mode.");
}

TEST(EnumerationTextTest, CredentialSourceNames) {
    const std::vector<std::pair<int, const char*>> cases = {
        {0, "None"},      {1, "SmartCards"}, {2, "OsUser"}, {3, "OsMachine"}, {4, "OsUserOrSmartCards"},
        {5, "<unknown>"}, {-1, "<unknown>"}};
    for (const auto& [value, text] : cases) EXPECT_STREQ(CredentialSourceToText(value), text);
}

TEST(EnumerationTextTest, AMissReportsInternalError149WithTheConversionsSource) {
    LogCapture log;
    try {
        EapTypeToText(99);
        FAIL();
    } catch (const BaseException& e) {
        e.report();
    }
    EXPECT_TRUE(log.contains("Internal error 149, contact software manufacturer"));
    EXPECT_TRUE(
        log.contains("CAUGHT: ConversionException for function 'EapTypeToText: Unknown EAP type.' "
                     "[EnumConversions.cpp:"));
}

}  // namespace
