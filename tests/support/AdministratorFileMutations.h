#pragma once
// One table of changes to the administrator sample (tests/data/config/configuration.xml) with what
// the reader answers: the exact text it refuses the file with, or acceptance with one value of the
// model to look at. The reader's own tests run it through readAdministratorFile; the active
// configuration's tests may sign rows and drop them as files.
#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

#include "vel/xml/XmlMessages.h"

namespace tamsel::test {

struct AdministratorFileMutation {
    const char* label;
    // Every occurrence of from is replaced.
    const char* from;
    const char* to;
    // The refusal's text; empty when the file is accepted.
    std::string message;
    // For an accepted file: a network (or "" for the configuration), a field and its value as the
    // reader's tests describe them.
    const char* network = "";
    const char* field = "";
    const char* value = "";
    // A second change, where an element's end tag must change with its start.
    const char* from2 = nullptr;
    const char* to2 = nullptr;
};

inline std::string xmlMessage(const char* format, ...) {
    char text[1024];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    return text;
}

// The sample with every occurrence of the row's text replaced; empty when the sample lacks it.
inline std::string replacedEverywhere(std::string text, const std::string& from, const std::string& to) {
    size_t at = text.find(from);
    if (at == std::string::npos) return "";
    for (; at != std::string::npos; at = text.find(from, at + to.size())) text.replace(at, from.size(), to);
    return text;
}

inline std::string mutatedSample(const std::string& sample, const AdministratorFileMutation& row) {
    std::string text = replacedEverywhere(sample, row.from, row.to);
    if (row.from2 != nullptr && !text.empty()) text = replacedEverywhere(text, row.from2, row.to2);
    return text;
}

// A cipher value of the empty text under the built-in content key: an IV and one block of padding.
inline constexpr const char* EMPTY_CIPHER_VALUE = "ABEiM0RVZneImaq7zN3u/ylQQT08CEZYuBJzp0NlAiU=";

inline const std::vector<AdministratorFileMutation>& administratorFileMutations() {
    using M = XmlMessages;
    const auto m = [](const char* format, auto... names) { return xmlMessage(format, names...); };
    static const std::vector<AdministratorFileMutation> rows = {
        // The root and its children.
        {"root of any name", "configuration", "anything", "", "", "name", "xml config"},
        {"networkPolicy missing", "networkPolicy>", "policy>", m(M::TAG_REQUIRED, "networkPolicy")},
        {"allowedAssociationModes missing", "allowedAssociationModes>", "modes>",
         m(M::TAG_REQUIRED, "allowedAssociationModes")},
        {"allowedEapMethods missing", "allowedEapMethods>", "methods>",
         m(M::TAG_REQUIRED, "allowedEapMethods")},
        {"association mode unknown", "<openNoEncryption/>", "<openWide/>",
         "TextToAssociationMode: Unknown association mode."},
        {"EAP method unknown", "<eapSim/>", "<eapAka/>",
         "TextToAuthenticationType: Unknown authentication type."},
        {"a method the policy does not allow", "<eapMd5/><eapGtc/>", "<eapGtc/>",
         M::INVALID_CONFIGURATION_FILE},
        {"a mode the policy does not allow", "<wpa2PersonalTkip/><wpa2PersonalAes/>", "<wpa2PersonalTkip/>",
         M::INVALID_CONFIGURATION_FILE},
        {"autoVpnSettings absent",
         "<autoVpnSettings>\n    <authMechanism><password/></authMechanism>\n  </autoVpnSettings>", "", "",
         "", "vpn", "0"},
        {"authMechanism missing", "<authMechanism><password/></authMechanism>", "<mechanism/>",
         m(M::TAG_REQUIRED, "authMechanism")},
        {"authMechanism with two kinds", "<authMechanism><password/>",
         "<authMechanism><password/><certificate/>", m(M::MULTIPLE_TAGS, "authMechanism")},
        {"authMechanism empty", "<authMechanism><password/></authMechanism>", "<authMechanism/>",
         M::UNDEFINED_CERTIFICATE_CONTAINER},
        {"authMechanism rsaSecurId", "<authMechanism><password/>", "<authMechanism><rsaSecurId/>", "", "",
         "vpn", "1"},
        {"authMechanism unknown", "<authMechanism><password/>", "<authMechanism><smartCard/>",
         "TextToVpnSetting: Unknown VPN settings type."},
        {"networks missing", "networks>", "nets>", m(M::TAG_REQUIRED, "networks")},
        {"connectionSettings missing", "connectionSettings>", "settings>",
         m(M::TAG_REQUIRED, "connectionSettings")},
        {"userControlPolicy missing", "userControlPolicy>", "control>",
         m(M::TAG_REQUIRED, "userControlPolicy")},
        {"major_version missing", "major_version=\"5\"", "major=\"5\"",
         m(M::ATTRIBUTE_REQUIRED, "major_version")},
        {"minor_version missing", "minor_version=\"1\"", "minor=\"1\"",
         m(M::ATTRIBUTE_REQUIRED, "minor_version")},
        {"development_version missing", "development_version=\"1\"", "development=\"1\"",
         m(M::TAG_REQUIRED, "development_version")},
        // Versions, integers through the saturating parse.
        {"major version 4", "major_version=\"5\"", "major_version=\"4\"", M::INVALID_VERSION},
        {"major version 0x5", "major_version=\"5\"", "major_version=\"0x5\"", "", "", "versions", "5.1.1"},
        {"major version 4294967301 is not 5", "major_version=\"5\"", "major_version=\"4294967301\"",
         M::INVALID_VERSION},
        {"minor version 2", "minor_version=\"1\"", "minor_version=\"2\"", M::INVALID_VERSION},
        {"minor version 4294967296 is not 0", "minor_version=\"1\"", "minor_version=\"4294967296\"",
         M::INVALID_VERSION},
        {"minor version 1, development 0", "development_version=\"1\"", "development_version=\"0\"", "", "",
         "versions", "5.1.0"},
        {"minor version 0, any development", "minor_version=\"1\" development_version=\"1\"",
         "minor_version=\"0\" development_version=\"017\"", "", "", "versions", "5.0.15"},
        // Connection settings.
        {"connectionBehaviorAtLogon missing", "connectionBehaviorAtLogon>", "behavior>",
         m(M::TAG_REQUIRED, "connectionBehaviorAtLogon")},
        {"secondsToWaitForConnection missing", "<secondsToWaitForConnection>20</secondsToWaitForConnection>",
         "", m(M::TAG_REQUIRED, "secondsToWaitForConnection")},
        {"secondsToWaitForConnection empty", "<secondsToWaitForConnection>20</secondsToWaitForConnection>",
         "<secondsToWaitForConnection/>", m(M::EMPTY_TAG, "secondsToWaitForConnection")},
        {"neither before nor after logon", "attemptConnectionBeforeUserLogon>", "attemptConnection>",
         m(M::TWO_TAGS_REQUIRED, "attemptConnectionBeforeUserLogon", "attemptConnectionAfterUserLogon")},
        {"after logon only",
         "<attemptConnectionBeforeUserLogon><secondsToWaitForConnection>20</secondsToWaitForConnection></"
         "attemptConnectionBeforeUserLogon>",
         "<attemptConnectionAfterUserLogon/>", "", "", "connection", "3/0/1"},
        {"validateWpaHandshake missing", "<validateWpaHandshake>true</validateWpaHandshake>", "",
         m(M::TAG_REQUIRED, "validateWpaHandshake")},
        {"validateWpaHandshake empty", "<validateWpaHandshake>true</validateWpaHandshake>",
         "<validateWpaHandshake/>", m(M::TAG_IS_EMPTY_WITHOUT_STOP, "validateWpaHandshake")},
        {"validateWpaHandshake not a boolean", "<validateWpaHandshake>true<", "<validateWpaHandshake>yes<",
         "TextToBool: Unknown boolean value."},
        {"default connection timeout beyond the timers", "<defaultConnectionTimeout>45<",
         "<defaultConnectionTimeout>4294967301<", m(M::TIMEOUT_TOO_LONG, "defaultConnectionTimeout", 600)},
        {"default association timeout below 0", "<defaultAssociationTimeout>5<",
         "<defaultAssociationTimeout>-1<", m(M::POSITIVE_INTEGER_REQUIRED, "defaultAssociationTimeout")},
        // User control policy.
        {"allowedMedia missing", "<allowedMedia><wifi/><wired/></allowedMedia>", "",
         m(M::TAG_REQUIRED, "allowedMedia")},
        {"wired only", "<allowedMedia><wifi/><wired/>", "<allowedMedia><wired/>", "", "", "media", "wired"},
        {"VPN not said", "<allowVpn>true</allowVpn>", "", "", "", "control", "vpn=0 script=1"},
        {"script not a boolean", "<allowRunScriptAfterConnect>true<", "<allowRunScriptAfterConnect>1<",
         "TextToBool: Unknown boolean value."},
        // Groups.
        {"only globalNetworks", "group>", "team>", m(M::TAG_REQUIRED, "group")},
        {"two globalNetworks", "</globalNetworks>", "</globalNetworks><globalNetworks></globalNetworks>",
         m(M::MULTIPLE_GLOBAL_NETWORKS, "globalNetworks")},
        {"groupName missing", "<groupName>Office</groupName>", "<name>Office</name>",
         m(M::TAG_REQUIRED_WITHOUT_STOP, "groupName")},
        {"groupName empty", "<groupName>Office</groupName>", "<groupName></groupName>",
         m(M::EMPTY_TAG, "groupName")},
        {"two groups of one name", "<groupName>Lab</groupName>", "<groupName>Home</groupName>",
         M::INVALID_CONFIGURATION_FILE},
        {"allowUserToSeeScanlist missing", "<allowUserToSeeScanlist>false</allowUserToSeeScanlist>", "",
         m(M::TAG_REQUIRED, "allowUserToSeeScanlist")},
        {"allowUserToSeeScanlist empty", "<allowUserToSeeScanlist>false</allowUserToSeeScanlist>",
         "<allowUserToSeeScanlist></allowUserToSeeScanlist>",
         m(M::TAG_IS_EMPTY_WITHOUT_STOP, "allowUserToSeeScanlist")},
        // Networks.
        {"displayName missing", "<displayName>Wired MD5</displayName>", "<name>Wired MD5</name>",
         m(M::TAG_REQUIRED_WITHOUT_STOP, "displayName")},
        {"displayName empty", "<displayName>Wired MD5</displayName>", "<displayName/>",
         m(M::EMPTY_TAG, "displayName")},
        {"displayName as CDATA", "<displayName>Wired MD5</displayName>",
         "<displayName><![CDATA[Wired]]> <!-- split -->MD5</displayName>", "", "Wired MD5", "timeouts",
         "40"},
        {"two networks of one name", "<displayName>Home WPA</displayName>",
         "<displayName>Home WEP40</displayName>", M::INVALID_CONFIGURATION_FILE},
        {"connectionTimeout missing", "<connectionTimeout>25</connectionTimeout>", "",
         m(M::TAG_REQUIRED, "connectionTimeout")},
        {"connectionTimeout empty", "<connectionTimeout>25</connectionTimeout>", "<connectionTimeout/>",
         m(M::EMPTY_TAG, "connectionTimeout")},
        {"connectionTimeout 0", "<connectionTimeout>25<", "<connectionTimeout>0<",
         m(M::POSITIVE_INTEGER_REQUIRED, "connectionTimeout")},
        {"connectionTimeout far below 0", "<connectionTimeout>25<", "<connectionTimeout>-4294967301<",
         m(M::POSITIVE_INTEGER_REQUIRED, "connectionTimeout")},
        {"connectionTimeout far above 32 bits", "<connectionTimeout>25<",
         "<connectionTimeout>99999999999999999999<", m(M::TIMEOUT_TOO_LONG, "connectionTimeout", 600)},
        {"connectionTimeout of the longest timer", "<connectionTimeout>25<", "<connectionTimeout>600<", "",
         "Global Wired", "timeouts", "600"},
        {"connectionTimeout split by a comment", "<connectionTimeout>25<", "<connectionTimeout>2<!-- 0 -->5<",
         "", "Global Wired", "timeouts", "25"},
        {"connectionTimeout not a number", "<connectionTimeout>25<", "<connectionTimeout>soon<",
         m(M::POSITIVE_INTEGER_REQUIRED, "connectionTimeout")},
        {"ssid missing", "<ssid><name>corp</name></ssid>", "", m(M::TAG_REQUIRED, "ssid")},
        {"ssid without name", "<ssid><name>corp</name></ssid>", "<ssid/>", m(M::TAG_REQUIRED, "name")},
        {"ssid of 33 bytes", "<name>corp</name>", "<name>abcdefghijklmnopqrstuvwxyz0123456</name>",
         M::INVALID_ASCII_SSID_LENGTH},
        {"ssid of 32 bytes", "<name>corp</name>", "<name>abcdefghijklmnopqrstuvwxyz012345</name>", "",
         "Corp TLS", "ssid", "abcdefghijklmnopqrstuvwxyz012345"},
        {"associationTimeout missing", "<associationTimeout>010</associationTimeout>", "",
         m(M::TAG_REQUIRED, "associationTimeout")},
        {"associationTimeout 0", "<associationTimeout>010<", "<associationTimeout>00<",
         m(M::POSITIVE_INTEGER_REQUIRED, "associationTimeout")},
        {"associationTimeout beyond the longest timer", "<associationTimeout>010<",
         "<associationTimeout>601<", m(M::TIMEOUT_TOO_LONG, "associationTimeout", 600)},
        {"wired network with a shared key only",
         "<connectionTimeout>40</connectionTimeout>\n        <openNetwork><userConnection/></openNetwork>",
         "<connectionTimeout>40</connectionTimeout>\n        <sharedKeyNetwork/>",
         m(M::TWO_TAGS_REQUIRED, "openNetwork", "authenticationNetwork")},
        {"wireless network of no type", "<openNetwork><machineConnection/></openNetwork>", "<closedNetwork/>",
         m(M::THREE_TAGS_REQUIRED, "openNetwork", "sharedKeyNetwork", "authenticationNetwork")},
        {"open network without connection", "<openNetwork><machineConnection/></openNetwork>",
         "<openNetwork/>", M::UNDEFINED_CONNECTION_TYPE},
        // Shared keys.
        {"shared key without connection", "machineConnection>", "connection>",
         m(M::TWO_TAGS_REQUIRED, "machineConnection", "userConnection")},
        {"shared key of no kind", "wep>", "key>", m(M::THREE_TAGS_REQUIRED, "wep", "wpa", "wpa2")},
        {"WEP key of no size", "keyIs40Bits>", "keyIs64Bits>",
         m(M::TWO_TAGS_REQUIRED, "keyIs40Bits", "keyIs128Bits")},
        {"WEP key without keyFromProfile",
         "<keyIs40Bits><keyFromProfile><hex "
         "encryptContent=\"true\">0A1b2C3d4E</hex></keyFromProfile></keyIs40Bits>",
         "<keyIs40Bits/>", m(M::TAG_IS_REQUIRED_LEADING_BLANK, "keyFromProfile")},
        {"WEP key neither ascii nor hex", "<hex encryptContent=\"true\">0A1b2C3d4E</hex>", "",
         m(M::TWO_TAGS_REQUIRED, "ascii", "hex")},
        {"WEP hex of odd length", ">0A1b2C3d4E<", ">0A1b2C3d4<", M::INVALID_HEX},
        {"WEP hex not hexadecimal", ">0A1b2C3d4E<", ">0A1b2C3d4G<", M::INVALID_HEX},
        {"WEP key deciphered empty", "<hex encryptContent=\"true\">0A1b2C3d4E</hex>",
         "<hex encryptContent=\"true\"><EncryptedData "
         "Type=\"http://www.w3.org/2001/04/xmlenc#Content\"><CipherData><CipherValue>ABEiM0RVZneImaq7zN3u/"
         "ylQQT08CEZYuBJzp0NlAiU=</CipherValue></CipherData></EncryptedData></hex>",
         M::INVALID_KEY},
        {"40-bit WEP key of 4 ascii characters", "<hex encryptContent=\"true\">0A1b2C3d4E</hex>",
         "<ascii encryptContent=\"true\">abcd</ascii>", M::INVALID_WEP_KEY_LENGTH},
        {"40-bit WEP stored text skips the length", "<hex encryptContent=\"true\">0A1b2C3d4E</hex>",
         "<ascii encryptContent=\"true\" persistentHandle=\"true\">61626364</ascii>", "", "Home WEP40",
         "keyform", "ascii size 5"},
        {"128-bit WEP hex of 13 bytes", "<ascii encryptContent=\"true\">abc&amp;lt;defghijkl</ascii>",
         "<hex encryptContent=\"true\">000102030405060708090a0b0c</hex>", "", "Home WEP128", "key",
         "hex 000102030405060708090a0b0c size 13"},
        {"ieee80211Authentication missing", "<ieee80211Authentication>open</ieee80211Authentication>", "",
         m(M::TAG_REQUIRED_WITHOUT_STOP, "ieee80211Authentication")},
        {"ieee80211Authentication empty", "<ieee80211Authentication>open</ieee80211Authentication>",
         "<ieee80211Authentication/>", m(M::EMPTY_TAG, "ieee80211Authentication")},
        {"ieee80211Authentication unknown", ">open</ieee80211Authentication>",
         ">closed</ieee80211Authentication>", "TextToAuth80211: Unknown 80211 authentication type."},
        {"WPA without keyFromProfile",
         "<keyFromProfile><ascii encryptContent=\"true\">correct horse</ascii></keyFromProfile>", "",
         m(M::TAG_IS_REQUIRED, "keyFromProfile")},
        {"WPA ascii of 7", ">correct horse<", ">correct<", M::INVALID_ASCII_PSK_LENGTH},
        {"WPA ascii of 8", ">correct horse<", ">corrects<", "", "Home WPA", "key", "ascii corrects"},
        {"WPA ascii of 63", ">correct horse<",
         ">abcdefghijklmnopqrstuvwxyz0123456789abcdefghijklmnopqrstuvwxyz0<", "", "Home WPA", "key",
         "ascii abcdefghijklmnopqrstuvwxyz0123456789abcdefghijklmnopqrstuvwxyz0"},
        {"WPA ascii of 64", ">correct horse<",
         ">abcdefghijklmnopqrstuvwxyz0123456789abcdefghijklmnopqrstuvwxyz01<", M::INVALID_ASCII_PSK_LENGTH},
        {"WPA hex of 63 digits", ">000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f<",
         ">000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1<", M::INVALID_HEX},
        {"WPA hex of 31 bytes", ">000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f<",
         ">000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e<", M::INVALID_HEX_PSK_LENGTH},
        {"WPA encryption missing", "<encryption>TKIP</encryption>\n            </wpa>", "</wpa>",
         m(M::TAG_REQUIRED_WITHOUT_STOP, "encryption")},
        {"WPA encryption unknown", "<encryption>TKIP</encryption>\n            </wpa>",
         "<encryption>DES</encryption></wpa>", "TextToWpaEncr: Unknown WPA encryption type."},
        // 802.1X networks.
        {"authenticationNetwork without records",
         "<userAuthentication>\n            <authenticationMethod>\n              <eapMd5>",
         "<guestAuthentication>\n            <authenticationMethod>\n              <eapMd5>",
         m(M::THREE_TAGS_REQUIRED, "machineAuthentication", "userAuthentication",
           "machineUserAuthentication"),
         "", "", "", "</userAuthentication>\n          <setting802.1x>\n            <authPeriod>31",
         "</guestAuthentication>\n          <setting802.1x>\n            <authPeriod>31"},
        {"machineUserAuthentication without machine", "<machine>\n              <eapGtc>",
         "<host>\n              <eapGtc>", m(M::TAG_REQUIRED, "machine"), "", "", "",
         "</eapGtc>\n            </machine>", "</eapGtc>\n            </host>"},
        {"machineUserAuthentication without user",
         "<user>\n              <authenticationMethod>\n                <eapGtc>",
         "<person>\n              <authenticationMethod>\n                <eapGtc>",
         m(M::TAG_REQUIRED, "user"), "", "", "",
         "<extendUserConnectionBeyondLogoff>true</extendUserConnectionBeyondLogoff>\n            </user>",
         "<extendUserConnectionBeyondLogoff>true</extendUserConnectionBeyondLogoff>\n            </person>"},
        {"setting802.1x missing", "setting802.1x>", "settings>", m(M::TAG_REQUIRED, "setting802.1x")},
        {"authPeriod 0", "<authPeriod>31<", "<authPeriod>0<", m(M::POSITIVE_INTEGER_REQUIRED, "authPeriod")},
        {"maxStart missing", "<maxStart>4</maxStart>", "", m(M::TAG_REQUIRED, "maxStart")},
        {"associationMode missing", "<associationMode><wep/></associationMode>", "",
         m(M::TAG_REQUIRED, "associationMode")},
        {"associationMode of no kind", "<associationMode><wep/></associationMode>",
         "<associationMode><ccx/></associationMode>",
         m(M::FOUR_TAGS_REQUIRED, "wep", "wpa", "wpa2", "quillan")},
        {"quillan without encryption", "<quillan><encryption>AES</encryption></quillan>", "<quillan/>",
         m(M::TAG_REQUIRED_WITHOUT_STOP, "encryption")},
        // Authentication records.
        {"user record without authenticationMethod", "<authenticationMethod>\n              <eapMd5>",
         "<method>\n              <eapMd5>", m(M::TAG_REQUIRED, "authenticationMethod"), "", "", "",
         "</eapMd5>\n            </authenticationMethod>", "</eapMd5>\n            </method>"},
        {"user record with two methods", "</eapMd5>", "</eapMd5><leap/>",
         m(M::ONE_METHOD_ONLY, "authenticationMethod")},
        {"record without a method",
         "<eapMd5>\n                <unprotectedIdentityPattern "
         "encryptContent=\"true\">[domain]\\[username]</unprotectedIdentityPattern>\n                "
         "<passwordSource><passwordFromLogon/></passwordSource>\n              </eapMd5>",
         "", M::UNKNOWN_USER_AUTHENTICATION_METHOD},
        {"eapMd5 on a wireless network", "leap>", "eapMd5>", M::UNKNOWN_USER_AUTHENTICATION_METHOD},
        {"eapSim is no method", "eapMd5>\n", "eapSim>\n", M::UNKNOWN_USER_AUTHENTICATION_METHOD},
        {"collectionBehavior missing",
         "<collectionBehavior><withPassword/></collectionBehavior>\n          </userAuthentication>\n        "
         "  <setting802.1x>\n            <authPeriod>31",
         "</userAuthentication>\n          <setting802.1x>\n            <authPeriod>31",
         m(M::TAG_REQUIRED, "collectionBehavior")},
        {"extendUserConnectionBeyondLogoff not a boolean", "<extendUserConnectionBeyondLogoff>true<",
         "<extendUserConnectionBeyondLogoff>on<", "TextToBool: Unknown boolean value."},
        {"password method without identity",
         "<unprotectedIdentityPattern "
         "encryptContent=\"true\">[domain]\\[username]</unprotectedIdentityPattern>",
         "", m(M::TAG_REQUIRED, "unprotectedIdentityPattern")},
        {"password method without source",
         "<passwordSource><passwordFromLogon/></passwordSource>\n              </eapMd5>", "</eapMd5>",
         m(M::TAG_REQUIRED, "passwordSource")},
        {"identity plain without the attribute",
         "<unprotectedIdentityPattern encryptContent=\"true\">[domain]",
         "<unprotectedIdentityPattern>[domain]", m(M::ATTRIBUTE_REQUIRED, "encryptContent")},
        {"identity with encryptContent false", "<unprotectedIdentityPattern encryptContent=\"true\">[domain]",
         "<unprotectedIdentityPattern encryptContent=\"false\">[domain]",
         m(M::ATTRIBUTE_SHOULD_BE_TRUE, "encryptContent")},
        {"identity empty", ">[domain]\\[username]<", "><", m(M::TAG_IS_EMPTY, "unprotectedIdentityPattern")},
        {"enciphered of another Type",
         "Type=\"http://www.w3.org/2001/04/xmlenc#Content\"><CipherData><CipherValue>W/",
         "Type=\"http://www.w3.org/2001/04/xmlenc#Element\"><CipherData><CipherValue>W/",
         m(M::TYPE_ATTRIBUTE_VALUE, "http://www.w3.org/2001/04/xmlenc#Content")},
        {"enciphered without Type",
         "Type=\"http://www.w3.org/2001/04/xmlenc#Content\"><CipherData><CipherValue>W/",
         "><CipherData><CipherValue>W/", M::TYPE_ATTRIBUTE_REQUIRED},
        {"enciphered without CipherData",
         "<CipherData><CipherValue>W/cH8vXRhepyy36+vRXoWSSfVrRPhzRXZ+Ou8JI+jm9kC0/wbxRgWWwE6rfwXZeM</"
         "CipherValue></CipherData>",
         "", m(M::ATTRIBUTE_REQUIRED, "CipherData")},
        {"enciphered without CipherValue",
         "<CipherValue>W/cH8vXRhepyy36+vRXoWSSfVrRPhzRXZ+Ou8JI+jm9kC0/wbxRgWWwE6rfwXZeM</CipherValue>", "",
         m(M::ATTRIBUTE_REQUIRED, "CipherValue")},
        {"enciphered empty",
         "<CipherValue>W/cH8vXRhepyy36+vRXoWSSfVrRPhzRXZ+Ou8JI+jm9kC0/wbxRgWWwE6rfwXZeM</CipherValue>",
         "<CipherValue/>", m(M::TAG_IS_EMPTY, "CipherValue")},
        {"enciphered of one block", "W/cH8vXRhepyy36+vRXoWSSfVrRPhzRXZ+Ou8JI+jm9kC0/wbxRgWWwE6rfwXZeM",
         "ABEiM0RVZneImaq7zN3u/w==", M::INVALID_PADDING_LENGTH},
        {"eapGtc machine record without password",
         "<authenticateWithPassword>\n                  <unprotectedIdentityPattern "
         "encryptContent=\"true\">host/[machine]</unprotectedIdentityPattern>\n                  "
         "<passwordSource><passwordFromMachine/></passwordSource>\n                "
         "</authenticateWithPassword>",
         "", m(M::TAG_REQUIRED, "authenticateWithPassword")},
        {"eapGtc user record with neither",
         "<authenticateWithToken>\n                    <unprotectedIdentityPattern",
         "<authenticateWithCard>\n                    <unprotectedIdentityPattern",
         m(M::TWO_TAGS_REQUIRED, "authenticateWithPassword", "authenticateWithToken"), "", "", "",
         "<tokenSource><passwordFromOtherToken/></tokenSource>\n                  </authenticateWithToken>",
         "<tokenSource><passwordFromOtherToken/></tokenSource>\n                  </authenticateWithCard>"},
        {"tunnel without validation choice",
         "<doNotValidateServerCertificate/>\n                  <unprotectedIdentityPattern "
         "encryptContent=\"true\">anonymous</unprotectedIdentityPattern>\n                  "
         "<enableFastReconnect><alwaysAttempt/>",
         "<unprotectedIdentityPattern encryptContent=\"true\">anonymous</unprotectedIdentityPattern>\n       "
         "           <enableFastReconnect><alwaysAttempt/>",
         m(M::TWO_TAGS_REQUIRED, "doNotValidateServerCertificate", "validateServerCertificate")},
        {"tunnel without fast reconnect choice", "<disableFastReconnect/>\n                <authMethods>",
         "<authMethods>", m(M::TWO_TAGS_REQUIRED, "disableFastReconnect", "enableFastReconnect")},
        {"user tunnel fast reconnect of no kind",
         "<enableFastReconnect><alwaysAttempt/></enableFastReconnect>\n                  <authMethods>",
         "<enableFastReconnect/>\n                  <authMethods>",
         m(M::TWO_TAGS_REQUIRED, "disableWhenSmartCard", "alwaysAttempt")},
        {"eapTls without certificateSource", "<certificateSource><certificateFromLogon/></certificateSource>",
         "", m(M::TAG_REQUIRED, "certificateSource")},
        // EAP-TTLS.
        {"eapTtls without protectedIdentityPattern",
         "<protectedIdentityPattern encryptContent=\"true\">host/[machine]</protectedIdentityPattern>\n      "
         "          <passwordSource>\n                  <passwordFromProfile",
         "<passwordSource>\n                  <passwordFromProfile",
         m(M::TAG_REQUIRED, "protectedIdentityPattern")},
        {"eapTtls without inner method", "                <pap/>", "", M::UNDEFINED_INNER_TTLS_METHOD},
        {"eapTtls with empty eapMethods", "<eapMethods><eapMd5/><eapMschapv2/></eapMethods>", "<eapMethods/>",
         M::UNDEFINED_INNER_TTLS_METHOD},
        {"eapTtls eapMethods with eapMd5 only", "<eapMethods><eapMd5/><eapMschapv2/></eapMethods>",
         "<eapMethods><eapMd5/></eapMethods>", "", "Corp TTLS PAP", "user",
         "eapTtls[eapMd5] credential=1 source=2 identity=anonymous|[username] fast=1/0"},
        // PEAP.
        {"eapPeap without authMethods",
         "<authMethods>\n                  <builtinMethods>\n                    "
         "<authenticateWithPassword>\n                      <protectedIdentityPattern "
         "encryptContent=\"true\">[username]</protectedIdentityPattern>\n                      "
         "<passwordSource><passwordFromProfile "
         "encryptContent=\"true\">lab-pass</passwordFromProfile></passwordSource>\n                      "
         "<methods><eapGtc/></methods>\n                    </authenticateWithPassword>\n                  "
         "</builtinMethods>\n                </authMethods>",
         "", m(M::TAG_REQUIRED, "authMethods")},
        {"eapPeap without builtinMethods",
         "<builtinMethods>\n                    <authenticateWithPassword>\n                      "
         "<protectedIdentityPattern encryptContent=\"true\">[username]</protectedIdentityPattern>\n          "
         "            <passwordSource><passwordFromProfile "
         "encryptContent=\"true\">lab-pass</passwordFromProfile></passwordSource>\n                      "
         "<methods><eapGtc/></methods>\n                    </authenticateWithPassword>\n                  "
         "</builtinMethods>",
         "", m(M::TAG_REQUIRED, "builtinMethods")},
        {"eapPeap password of no inner method",
         "<methods><eapGtc/></methods>\n                    </authenticateWithPassword>",
         "<methods/>\n                    </authenticateWithPassword>",
         m(M::TWO_TAGS_REQUIRED, "eapGtc", "eapMschapv2")},
        {"eapPeap password with both inner methods",
         "<methods><eapGtc/></methods>\n                    </authenticateWithPassword>",
         "<methods><eapGtc/><eapMschapv2/></methods>\n                    </authenticateWithPassword>", "",
         "Lab PEAP GTC", "user",
         "eapPeap[eapMschapv2] credential=1 source=1 identity=anonymous|[username] secret=lab-pass fast=0/0"},
        {"eapPeap certificate without eapTls", "<methods><eapTls/></methods>", "<methods/>",
         m(M::TAG_REQUIRED, "eapTls")},
        {"machine eapPeap with a token only",
         "authenticateWithPassword>\n                      <protectedIdentityPattern "
         "encryptContent=\"true\">host/[machine]</protectedIdentityPattern>\n                      "
         "<passwordSource><passwordFromMachine/></passwordSource>\n                      "
         "<methods><eapMschapv2/></methods>\n                    </authenticateWithPassword>",
         "authenticateWithToken><protectedIdentityPattern "
         "encryptContent=\"true\">host</protectedIdentityPattern><tokenSource><passwordFromOtherToken/></"
         "tokenSource><methods><eapGtc/></methods></authenticateWithToken>",
         m(M::TWO_TAGS_REQUIRED, "authenticateWithPassword", "authenticateWithCertificate")},
        {"user eapPeap of no kind",
         "<authenticateWithCertificate>\n                        <protectedIdentityPattern "
         "encryptContent=\"true\">[username]@",
         "<authenticateWithCard>\n                        <protectedIdentityPattern "
         "encryptContent=\"true\">[username]@",
         m(M::THREE_TAGS_REQUIRED, "authenticateWithPassword", "authenticateWithCertificate",
           "authenticateWithToken"),
         "", "", "", "<methods><eapTls/></methods>\n                      </authenticateWithCertificate>",
         "<methods><eapTls/></methods>\n                      </authenticateWithCard>"},
        {"eapFast without PAC choice",
         "<doNotUsePac/>\n                <enablePosture>true</enablePosture>\n                "
         "<authMethods>\n                  <builtinMethods>\n                    <authenticateWithToken>",
         "<enablePosture>true</enablePosture>\n                <authMethods>\n                  "
         "<builtinMethods>\n                    <authenticateWithToken>",
         m(M::TWO_TAGS_REQUIRED, "doNotUsePac", "usePac")},
        {"usePac without allowUnauthPacProvisioning",
         "<allowUnauthPacProvisioning>true</allowUnauthPacProvisioning>", "",
         m(M::TAG_REQUIRED, "allowUnauthPacProvisioning")},
        {"usePac without validateWithSpecificPacs", "validateWithSpecificPacs>", "pacs>",
         m(M::TAG_REQUIRED, "validateWithSpecificPacs")},
        {"validateWithSpecificPacs holding another element", "<validateWithSpecificPacs>",
         "<validateWithSpecificPacs><pac/>", m(M::TAG_IS_REQUIRED, "trustedServerPac")},
        {"trustedServerPac without content", "<content encryptContent=\"true\" reference=\"false\">",
         "<pac encryptContent=\"true\">", m(M::TAG_IS_REQUIRED, "content"), "", "", "", "</content>",
         "</pac>"},
        {"trusted PAC content by reference", "reference=\"false\">AQAA", "reference=\"true\">AQAA",
         m(M::ATTRIBUTE_SHOULD_BE_FALSE, "reference")},
        {"trusted PAC under another key", ">pac password<", ">another password<", "Invalid PAC TLV"},
        {"eapFast token looked up before the certificate",
         "<methods><eapGtc/></methods>\n                    </authenticateWithToken>",
         "<methods><eapGtc/></methods>\n                    </authenticateWithToken>"
         "<authenticateWithCertificate>"
         "<protectedIdentityPattern encryptContent=\"true\">[username]</protectedIdentityPattern>"
         "<certificateSource><certificateFromUser/></certificateSource>"
         "<doNotUseInnerMethod><sendSecurelyOnly/></doNotUseInnerMethod>"
         "</authenticateWithCertificate>",
         "", "Corp FAST Token", "user",
         "eapFast[eapGtc] credential=3 source=2 identity=anonymous|[username] fast=0/0 pac=0/0 posture=1 "
         "pacs=0"},
        {"eapFast without enablePosture", "<enablePosture>false</enablePosture>", "",
         m(M::TAG_REQUIRED, "enablePosture")},
        {"eapFast password of no inner method", "<methods><eapMschapv2/><eapGtc/></methods>", "<methods/>",
         m(M::TWO_TAGS_REQUIRED, "eapGtc", "eapMschapv2")},
        {"eapFast token without eapGtc",
         "<tokenSource><passwordFromGenericToken/></tokenSource>\n                      "
         "<methods><eapGtc/></methods>",
         "<tokenSource><passwordFromGenericToken/></tokenSource>\n                      <methods/>",
         m(M::TAG_REQUIRED, "eapGtc")},
        {"eapFast certificate sent by no rule",
         "<doNotUseInnerMethod><sendWheneverRequested/></doNotUseInnerMethod>", "",
         m(M::TWO_TAGS_REQUIRED, "doNotUseInnerMethod", "sendViaInnerMethod")},
        {"eapFast doNotUseInnerMethod empty",
         "<doNotUseInnerMethod><sendWheneverRequested/></doNotUseInnerMethod>", "<doNotUseInnerMethod/>",
         m(M::TWO_TAGS_REQUIRED, "sendWheneverRequested", "sendSecurelyOnly")},
        {"eapFast sendViaInnerMethod without eapTls", "<sendViaInnerMethod><eapTls/></sendViaInnerMethod>",
         "<sendViaInnerMethod/>", m(M::TAG_REQUIRED, "eapTls")},
        // Credential sources.
        {"machine password from the user",
         "<passwordSource><passwordFromMachine/></passwordSource>\n                "
         "</authenticateWithPassword>",
         "<passwordSource><passwordFromUser/></passwordSource>\n                </authenticateWithPassword>",
         m(M::TWO_TAGS_REQUIRED, "passwordFromProfile", "passwordFromMachine")},
        {"user password from the machine",
         "<passwordSource><passwordFromLogon/></passwordSource>\n              </eapMd5>",
         "<passwordSource><passwordFromMachine/></passwordSource>\n              </eapMd5>",
         m(M::THREE_TAGS_REQUIRED, "passwordFromLogon", "passwordFromUser", "passwordFromProfile")},
        {"machine certificate from the logon",
         "<certificateSource><certificateFromMachine/></certificateSource>\n              </eapTls>",
         "<certificateSource><certificateFromLogon/></certificateSource>\n              </eapTls>",
         m(M::TWO_TAGS_REQUIRED, "certificateFromProfile", "certificateFromMachine")},
        {"user certificate from the machine",
         "<certificateSource><certificateFromLogon/></certificateSource>",
         "<certificateSource><certificateFromMachine/></certificateSource>",
         m(M::THREE_TAGS_REQUIRED, "certificateFromLogon", "certificateFromUser", "certificateFromProfile")},
        {"tokenSource of no kind", "<tokenSource><passwordFromOtherToken/></tokenSource>", "<tokenSource/>",
         m(M::TAG_IS_REQUIRED, "passwordFromOtherToken")},
        {"profile certificate without certificateId", "<certificateId>cafe0001</certificateId>", "",
         m(M::TAG_IS_REQUIRED_LOWER_CASE, "certificateId")},
        {"profile certificate with empty certificateId", "<certificateId>cafe0001</certificateId>",
         "<certificateId/>", m(M::TAG_IS_EMPTY, "certificateId")},
        {"profile certificate identifier not hexadecimal", ">cafe0001<", ">cafe000<", M::INVALID_HEX},
        {"profile certificate by reference", "<certificateFromProfile reference=\"false\">",
         "<certificateFromProfile reference=\"true\">", m(M::ATTRIBUTE_SHOULD_BE_FALSE, "reference")},
        {"password from profile with entities", "se&amp;amp;cret&amp;quot;&amp;apos;", "a&amp;b", "",
         "Wired MSCHAPv2", "machine",
         "eapMschapv2 credential=1 source=1 identity=host/<machine>| secret=a&b fast=0/0"},
        // Server-certificate validation.
        {"validation without server name choice", "<anyServerName/>", "",
         m(M::TWO_TAGS_REQUIRED, "anyServerName", "serverNameValidationRules")},
        {"validation without CA choice", "<validateChainWithAnyCaFromOs/>", "",
         m(M::TWO_TAGS_REQUIRED, "validateChainWithAnyCaFromOs", "validateChainWithSpecificCa")},
        {"server rules empty",
         "<serverNameValidationRules><matchSubject "
         "match=\"exactly\">radius.corp</matchSubject></serverNameValidationRules>",
         "<serverNameValidationRules/>", M::UNDEFINED_TRUSTED_SERVER_RULES},
        {"server rule without match", "<matchSubject match=\"exactly\">radius.corp<",
         "<matchSubject>radius.corp<", M::UNDEFINED_VERIFICATION_RULE},
        {"server rule empty", ">radius.corp</matchSubject>", "></matchSubject>",
         M::EMPTY_SERVER_VERIFICATION_RULE},
        {"server rule of another kind", "<matchSubject match=\"exactly\">radius.corp</matchSubject>",
         "<matchIssuer match=\"exactly\">radius.corp</matchIssuer>",
         "TextToServerRules: Unknown server rule type."},
        {"server rule matching otherwise", "match=\"exactly\">radius.corp<",
         "match=\"contains\">radius.corp<", "TextToHowMatch: Unknown name matching rule type."},
        {"trusted CAs empty",
         "<validateChainWithSpecificCa><certificate reference=\"false\">Corp "
         "CA</certificate></validateChainWithSpecificCa>",
         "<validateChainWithSpecificCa/>", M::UNDEFINED_TRUSTED_CAS},
        {"trusted CA without reference", "<certificate reference=\"false\">Corp CA</certificate>",
         "<certificate>Corp CA</certificate>", M::UNDEFINED_CERTIFICATE_CONTAINER},
        {"trusted CA by reference", "<certificate reference=\"false\">Corp CA</certificate>",
         "<certificate reference=\"true\">Corp CA</certificate>",
         m(M::ATTRIBUTE_SHOULD_BE_FALSE, "reference")},
        {"trusted CA by a reference not a boolean", "<certificate reference=\"false\">Corp CA</certificate>",
         "<certificate reference=\"no\">Corp CA</certificate>", m(M::ATTRIBUTE_SHOULD_BE_FALSE, "reference")},
        {"trusted CA empty", "<certificate reference=\"false\">Corp CA</certificate>",
         "<certificate reference=\"false\"/>", M::EMPTY_CERTIFICATE_CONTAINER},
        // Collection behaviour.
        {"withCertificate without cacheCertificateFromUser",
         "<cacheCertificateFromUser><never/></cacheCertificateFromUser>", "",
         m(M::TAG_REQUIRED, "cacheCertificateFromUser")},
        {"withCertificate without allowedCertSourceFromUser",
         "<allowedCertSourceFromUser><smartCardOnlyCertificate/></allowedCertSourceFromUser>", "",
         m(M::TAG_REQUIRED, "allowedCertSourceFromUser")},
        {"allowedCertSourceFromUser empty",
         "<allowedCertSourceFromUser><smartCardOnlyCertificate/></allowedCertSourceFromUser>",
         "<allowedCertSourceFromUser/>",
         m(M::TWO_TAGS_REQUIRED, "smartCardOnlyCertificate", "smartCardOrOsCertificate")},
        {"withCertificate without cachePinForSmartcard",
         "<cachePinForSmartcard><tilLogout/></cachePinForSmartcard>", "",
         m(M::TAG_REQUIRED, "cachePinForSmartcard")},
        {"withToken without cachePinForTokenFromUser",
         "<cachePinForTokenFromUser><never/></cachePinForTokenFromUser>", "",
         m(M::TAG_REQUIRED, "cachePinForTokenFromUser")},
        {"credential storage empty", "<cachePasswordFromUser><tilLogout/></cachePasswordFromUser>",
         "<cachePasswordFromUser/>", M::INVALID_CREDENTIAL_STORAGE_TYPE},
        {"credential storage forever and never", "<cachePasswordFromUser><tilLogout/>",
         "<cachePasswordFromUser><forever/><never/>", M::INVALID_CREDENTIAL_STORAGE_TAG},
        {"credential storage unknown", "<cachePasswordFromUser><tilLogout/>",
         "<cachePasswordFromUser><always/>", "TextToCredStorage: Unknown credentials storage type."},
        {"token collection for a password method",
         "<collectionBehavior><withPassword/></collectionBehavior>\n          </userAuthentication>",
         "<collectionBehavior><withToken><cachePinForTokenFromUser><never/></cachePinForTokenFromUser></"
         "withToken></collectionBehavior>\n          </userAuthentication>",
         M::CREDENTIAL_TYPE_MISMATCH},
        {"empty collection",
         "<collectionBehavior><withPassword/></collectionBehavior>\n          </userAuthentication>",
         "<collectionBehavior/>\n          </userAuthentication>", "", "Wired MD5", "collection",
         "storage=0 source=0 pin=0 extend=0"},
    };
    return rows;
}

}  // namespace tamsel::test
