#include "vel/enumtostring/EnumConversions.h"

#include <array>
#include <cstddef>

#include "vel/exception/ConversionException.h"
#include "vel/string/TextCodec.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

namespace conversiontables {

const AssociationModeRow ASSOCIATION_MODE[] = {
    {1, 1, "openNoEncryption"},      {1, 2, "openStaticWep"},        {2, 2, "sharedStaticWep"},
    {1, 2, "open1xDynamicWep"},      {5, 3, "wpaPersonalTkip"},      {5, 4, "wpaPersonalAes"},
    {7, 3, "wpa2PersonalTkip"},      {7, 4, "wpa2PersonalAes"},      {6, 3, "wpaEnterpriseTkip"},
    {6, 4, "wpaEnterpriseAes"},      {8, 3, "wpa2EnterpriseTkip"},   {8, 4, "wpa2EnterpriseAes"},
    {9, 3, "quillanEnterpriseTkip"}, {9, 4, "quillanEnterpriseAes"}, {0, 0, nullptr}};

const EnumTextRow EAP_TYPE[] = {{0, "none"},     {4, "eapMd5"}, {26, "eapMschapv2"}, {13, "eapTls"},
                                {43, "eapFast"}, {6, "eapGtc"}, {17, "leap"},        {25, "eapPeap"},
                                {21, "eapTtls"}, {0, nullptr}};

const EnumTextRow BOOL[] = {{0, "false"}, {1, "true"}, {0, nullptr}};

const EnumTextRow AUTH_80211[] = {{1, "open"}, {2, "shared"}, {0, nullptr}};

const EnumTextRow CRED_STORAGE[] = {{1, "forever"}, {2, "tilLogout"}, {3, "never"}, {0, nullptr}};

const EnumTextRow WPA_ENCR[] = {{4, "AES"}, {3, "TKIP"}, {0, nullptr}};

const EnumTextRow SERVER_RULES[] = {{0, "matchSubject"}, {1, "matchSubjectAlternativeName"}, {0, nullptr}};

const EnumTextRow HOW_MATCH[] = {{1, "exactly"}, {2, "endsWith"}, {0, nullptr}};

const EnumTextRow CERT[] = {{1, "certificate"}, {2, "certificateId"}, {0, nullptr}};

const EnumTextRow TTLS_METHOD[] = {{1, "chap"}, {2, "mschap"},     {3, "mschapv2"},
                                   {4, "pap"},  {5, "eapMethods"}, {0, nullptr}};

// The inner methods of a tunnel as the connection API names them; TTLS_METHOD names them for logs.
const EnumTextRow XML_API_TTLS_METHOD[] = {
    {4097, "chap"}, {4098, "mschap"}, {4099, "mschapv2"}, {4100, "pap"}, {0, nullptr}};

const EnumTextRow AUTHENTICATION_TYPE[] = {
    {4, "eapMd5"},    {6, "eapGtc"},      {13, "eapTls"},      {17, "leap"},    {18, "eapSim"},
    {21, "eapTtls"},  {25, "eapPeap"},    {26, "eapMschapv2"}, {43, "eapFast"}, {4097, "chap"},
    {4098, "mschap"}, {4099, "mschapv2"}, {4100, "pap"},       {0, nullptr}};

const EnumTextRow COMMAND[] = {{1, "response"}, {2, "request"},  {3, "event"},
                               {4, "cancel"},   {5, "Envelope"}, {0, nullptr}};

// The command table is the protocol's own; this is its form for the enumeration lookups.
constexpr std::array<EnumTextRow, ConnApiMessages::COUNT + 1> connApiCommandRows() {
    std::array<EnumTextRow, ConnApiMessages::COUNT + 1> rows{};
    for (std::int32_t i = 0; i < ConnApiMessages::COUNT; ++i)
        rows[static_cast<std::size_t>(i)] = {ConnApiMessages::TABLE[i].command,
                                             ConnApiMessages::TABLE[i].name};
    rows[ConnApiMessages::COUNT] = {0, nullptr};
    return rows;
}
constexpr std::array<EnumTextRow, ConnApiMessages::COUNT + 1> CONN_API_COMMAND_ROWS = connApiCommandRows();
const EnumTextRow* const CONN_API_COMMAND = CONN_API_COMMAND_ROWS.data();

const EnumTextRow TYPE[] = {{1, "identityRequest"},  {2, "passwordRequest"},     {3, "getNetworkInfo"},
                            {4, "setConfiguration"}, {5, "networkStart"},        {6, "networkStateChanged"},
                            {7, "velStateChanged"},  {8, "adapterStateChanged"}, {9, "attachClient"},
                            {10, "detachClient"},    {11, "networkConnect"},     {0, nullptr}};

const EnumTextRow NETWORK_TYPE[] = {{2, "wifi"}, {1, "wired"}, {0, nullptr}};

const EnumTextRow XML_API_NETWORK_TYPE[] = {
    {1, "stopped"},   {2, "associating"},           {3, "authenticating"}, {4, "acquiringIpAddress"},
    {5, "connected"}, {6, "authentication failed"}, {7, "retrying IP"},    {8, "countermeasures"},
    {0, nullptr}};

const EnumTextRow XML_API_FAILURE_REASON[] = {{1, "associationFailed"},
                                              {2, "associationTimeOut"},
                                              {3, "authenticationFailed"},
                                              {4, "acquireIpAddressFailed"},
                                              {0, nullptr}};

// Why the user's certificate could not be sent (NetworkConstants' credential failures).
const EnumTextRow XML_API_CREDENTIAL_FAILURE[] = {
    {1, "wrongPin"}, {2, "cardBlocked"}, {3, "noCertificate"}, {0, nullptr}};

const EnumTextRow XML_API_EAP_LEVEL[] = {{1, "outer"}, {2, "inner"}, {0, nullptr}};

const EnumTextRow XML_API_DIAGNOSTIC_MESSAGE[] = {{1, "identityRequest"},
                                                  {2, "sendIdentity"},
                                                  {3, "eapMethodRequest"},
                                                  {4, "sendEapMethod"},
                                                  {5, "passwordRequest"},
                                                  {6, "sendPassword"},
                                                  {7, "clientCertificateRequest"},
                                                  {8, "sendClientCertificate"},
                                                  {9, "serverCertificateReceived"},
                                                  {10, "serverCertificateValidationFailed"},
                                                  {11, "serverCertificateValidationPassed"},
                                                  {12, "tunnelPacRequest"},
                                                  {13, "sendTunnelPac"},
                                                  {14, "machinePacRequest"},
                                                  {15, "sendMachinePac"},
                                                  {16, "askSErverToProvisionTunnelPac"},
                                                  {17, "askServerToProvisionMachinePac"},
                                                  {18, "tunnelPacProvisionedSuccesfully"},
                                                  {19, "machinePacProvisionedSuccesfully"},
                                                  {20, "unprotectedEapSuccess"},
                                                  {21, "unprotectedEapFailure"},
                                                  {22, "protectedEapSuccess"},
                                                  {23, "protectedEapFailure"},
                                                  {0, nullptr}};

const EnumTextRow NETWORK_CREATOR[] = {{1, "user"}, {2, "administrator"}, {0, nullptr}};

const EnumTextRow LOCATION_FORMAT[] = {{1, "CIVIC"}, {2, "GEO"}, {3, "Varnel"}, {0, nullptr}};

const EnumTextRow LOCATION_SIGN_TYPE[] = {{0, "sha1Dsa"},   {1, "sha1Rsa"},   {2, "sha256Rsa"},
                                          {3, "sha384Rsa"}, {4, "sha512Rsa"}, {5, "md5Rsa"},
                                          {6, "md2Rsa"},    {0, nullptr}};

const EnumTextRow LOCATION_ENCODING[] = {
    {1, "text"}, {2, "X.694"}, {3, "X.finf"}, {4, "binary"}, {0, nullptr}};

const EnumTextRow LOCATION_RESOLUTION[] = {
    {2, "buildingResolution"}, {3, "apResolution"}, {4, "xyResolution"}, {0, nullptr}};

const EnumTextRow LOCATION_SERVICE[] = {{1, "requestLoc"}, {2, "locationUpdates"}, {0, nullptr}};

const EnumTextRow XML_API_CONNECTION_MODE[] = {{1, "auto"}, {2, "manual"}, {0, nullptr}};

const EnumTextRow XML_API_NETWORK_PRIORITY[] = {
    {1, "bottom"}, {2, "top"}, {3, "increment"}, {4, "decrement"}, {0, nullptr}};

const EnumTextRow CREDENTIAL_TYPE[] = {{0, "Pwd"},      {1, "Idt"},    {2, "Pin"},
                                       {3, "AsciiPsk"}, {4, "HexPsk"}, {5, "CertificateHash"},
                                       {6, "Pac"},      {0, nullptr}};

const EnumTextRow REQUEST_TYPE[] = {{5, "usernameAndPassword"}, {1, "password"},      {4, "username"},
                                    {2, "passwordChange"},      {3, "passwordRetry"}, {0, nullptr}};

const EnumTextRow MEDIA_TYPE[] = {
    {0, "wired"}, {1, "wifi"}, {2, "unit test"}, {3, "invalid media type"}, {0, nullptr}};

const EnumTextRow ADAPTER_STATE[] = {{0, "none"},
                                     {1, "unbound"},
                                     {2, "unmanaged"},
                                     {3, "disconnected link down"},
                                     {4, "disconnected link up"},
                                     {5, "associating"},
                                     {6, "associated"},
                                     {7, "authenticating"},
                                     {8, "authenticated"},
                                     {9, "no_ip"},
                                     {10, "connected"},
                                     {11, "auth_failed"},
                                     {12, "countermeasures"},
                                     {0, nullptr}};

const EnumTextRow VPN_SETTING[] = {
    {1, "rsaSecurId"}, {2, "secureComputingSofTokenII"}, {3, "password"}, {4, "certificate"}, {0, nullptr}};

const EnumTextRow VPN_STATE[] = {
    {1, "disconnected"}, {2, "connected"}, {3, "connecting"}, {4, "disconnecting"}, {0, nullptr}};

// The status texts a vpnStateEvent carries; 1, 5, 24 and 33 have none.
const EnumTextRow VPN_STATUS[] = {
    {0, "none"},
    {2, "User authentication failed."},
    {3, "PIN expired. Use Secure Computing SofToken-II application to change the PIN."},
    {49, "Unknown error."},
    {4, "Cannot get access to VPN service as it is being used by another process."},
    {15, "A required component PPPTool.exe is not present among the installed client software."},
    {26, "The required firewall software is no longer running."},
    {27, "Unable to configure the firewall software."},
    {18, "Failed to establish a connection to your ISP."},
    {12, "No connection exists."},
    {9, "The application was unable to allocate some system resources and can not proceed."},
    {7, "Invalid VPN profile name. Please repair the service to synchronize VPN profiles"},
    {20, "Unable to contact the security gateway."},
    {47, "Unable to resolve server address."},
    {21, "User authentication was cancelled by the user."},
    {13, "A vpn connection is already in the process of being established."},
    {14, "A vpn connection already exists."},
    {25, "The remote peer does not support the required VPN client protocol."},
    {48, "The remote peer is no longer responding."},
    {19, "Failed to establish a TCP connection."},
    {29, "Lost contact with the security gateway. Check your network connection"},
    {30, "Failed during auth phase"},
    {6, "Your VPN connection has been terminated."},
    {31, "Connectivity to Client Lost by Peer."},
    {32, "Manually Disconnected by Administrator."},
    {22, "Maximum Configured Lifetime Exceeded."},
    {23, "IKE Negotiation Failed"},
    {34, "Peer has been Shut Down."},
    {35, "Unknown Severe Error Occurred at Peer."},
    {36, "Configured Maximum Connection Time Exceeded."},
    {37, "Configured Maximum Idle Time for Session Exceeded."},
    {38, "Peer has been Rebooted."},
    {44, "(Reason Not Specified by Peer)"},
    {39, "Policy Negotiation Failed."},
    {40, "Firewall Policy Mismatch."},
    {41, "Platform Version Mismatch"},
    {42, "Zone Firewall Server Failed"},
    {28, "Certificate update failed"},
    {43, "Unknown Error Occurred at Peer. VPN connection has been terminated"},
    {8, "Unable to connect to the VPN service."},
    {10, "The Varnel VPN Service is not running."},
    {11, "The Varnel VPN Service is shutting down"},
    {45, "Auto update shutdown"},
    {16, "Driver Failure."},
    {17, "No more Backup Servers available."},
    {46, "Failed to enable Virtual Adapter."},
    {0, nullptr}};

const EnumTextRow VPN_USER_EVENT[] = {{1, "CONNECT"}, {2, "DISCONNECT"}, {0, nullptr}};

const EnumTextRow ACCESS_STATE[] = {
    {1, "ACCESS_STOPPED"},     {2, "ACCESS_STARTED"},  {3, "ACCESS_CONNECTING"},    {4, "ACCESS_CONNECTED"},
    {5, "ACCESS_ASSOCIATING"}, {6, "ACCESS_ATTACHED"}, {7, "ACCESS_AUTHENTICATED"}, {0, nullptr}};

// 8, 11 and 14 are named only: no transition enters them.
const EnumTextRow NETWORK_STATE[] = {{1, "STOPPED"},
                                     {2, "MACHINE_T_DISCONNECTED"},
                                     {3, "MACHINE_T_NOT_DISCONNECTED"},
                                     {4, "USER_T_DISCONNECTED"},
                                     {5, "USER_T_NOT_DISCONNECTED"},
                                     {8, "MACHINE_D_PWD_CHG_DONE"},
                                     {10, "MACHINE_ND_PWD_CHG_FROM_SERVER"},
                                     {11, "MACHINE_ND_PWD_CHG_DONE"},
                                     {14, "USER_D_PWD_CHG_DONE"},
                                     {16, "USER_ND_PWD_CHG_FROM_SERVER"},
                                     {17, "USER_ND_PWD_CHG_DONE"},
                                     {0, nullptr}};

const EnumTextRow NETWORK_USER_EVENT[] = {{1, "STOP"},           {2, "START"},   {3, "ATTACH_ADAPTER"},
                                          {4, "DETACH_ADAPTER"}, {5, "CONNECT"}, {6, "DISCONNECT"},
                                          {7, "ACCESS_CHANGED"}, {8, "REAUTH"},  {0, nullptr}};

const EnumTextRow NETWORK_SSO_REQUEST[] = {{1, "SET_USER_CREDS"},
                                           {2, "SET_MACHINE_CREDS"},
                                           {3, "SSO_CHANGE_PASSWORD_REQUEST"},
                                           {4, "SSO_LOGON_CREDENTIALS_CHANGED_REQUEST"},
                                           {0, nullptr}};

const EnumTextRow NETWORK_AUTH_REQUEST[] = {
    {1, "CHANGE_PASSWORD"}, {2, "AUTHENTICATION_FAILED"}, {0, nullptr}};

// Each failure event is numbered two above the status of its meaning; 6, 7, 26 and 35 are unused.
const EnumTextRow VPN_CLIENT_EVENT[] = {{0, "none"},
                                        {1, "CLIENT_CONNECTED"},
                                        {2, "CLIENT_DISCONNECTED"},
                                        {3, "CLIENT_CONNECTING"},
                                        {4, "CLIENT_CRED_REQUEST"},
                                        {5, "CLIENT_CRED_FAILURE"},
                                        {8, "CLIENT_CONNECT_ABORTED"},
                                        {9, "CLIENT_NOT_A_PROFILE"},
                                        {10, "CLIENT_IPC_FAILURE"},
                                        {11, "CLIENT_OUT_OF_MEMORY"},
                                        {12, "CLIENT_SERVICE_NOT_RUNNING"},
                                        {13, "CLIENT_SERVICE_SHUTTING_DOWN"},
                                        {14, "CLIENT_NOT_CONNECTED"},
                                        {15, "CLIENT_ALREADY_CONNECTING"},
                                        {16, "CLIENT_ALREADY_CONNECTED"},
                                        {17, "CLIENT_NO_PPPTOOL"},
                                        {18, "CLIENT_DRIVER_FAIL"},
                                        {19, "CLIENT_NO_MORE_BACKUPS"},
                                        {20, "CLIENT_PPP_FAIL"},
                                        {21, "CLIENT_CTCP_FAIL"},
                                        {22, "CLIENT_IKE_FAIL"},
                                        {23, "CLIENT_USER_CANCELLED_AUTH"},
                                        {24, "CLIENT_SA_EXPIRED"},
                                        {25, "CLIENT_IKE_NEG_FAILED"},
                                        {27, "CLIENT_NO_CLIENT_EXTENSIONS"},
                                        {28, "CLIENT_FIREWALL_NO_LONGER_RUNNING"},
                                        {29, "CLIENT_UNABLE_TO_CONFIGURE_FIREWALL"},
                                        {30, "CLIENT_UPDATE_CERT_FAILED"},
                                        {31, "CLIENT_ADDRESS_CHANGE"},
                                        {32, "CLIENT_AUTH_PHASE_ERROR"},
                                        {33, "CLIENT_BY_ERROR"},
                                        {34, "CLIENT_BY_ADMIN_COMMAND"},
                                        {36, "CLIENT_SERVER_SHUTDOWN"},
                                        {37, "CLIENT_SERVER_IN_FLAMES"},
                                        {38, "CLIENT_MAX_CONNECT_TIME"},
                                        {39, "CLIENT_IDLE_TIMEOUT"},
                                        {40, "CLIENT_SERVER_REBOOT"},
                                        {41, "CLIENT_PHASE2_PROPOSAL_MISMATCH"},
                                        {42, "CLIENT_FIREWALL_MISMATCH"},
                                        {43, "CLIENT_PLATFORM_VERSION_MISMATCH"},
                                        {44, "CLIENT_ZONE_FIREWALL_SERVER_FAIL"},
                                        {45, "CLIENT_NO_ERROR"},
                                        {46, "CLIENT_DEL_REASON_UNSPECIFIED"},
                                        {47, "CLIENT_AUTOUPDATE_SHUTDOWN"},
                                        {48, "CLIENT_VA_ENABLE_FAILED"},
                                        {49, "CLIENT_HOSTNAME_LOOKUP_FAIL"},
                                        {50, "CLIENT_PEER_NOT_RESPONDING"},
                                        {51, "CLIENT_GENERAL_FAILURE"},
                                        {0, nullptr}};

const EnumTextRow VPN_NETWORK_EVENT[] = {
    {1, "NETWORK_CONNECTED"}, {2, "NETWORK_NOT_CONNECTED"}, {0, nullptr}};

}  // namespace conversiontables

using namespace conversiontables;

const char* AssociationModeToText(std::int32_t association, std::int32_t encryption) {
    for (const AssociationModeRow* row = ASSOCIATION_MODE; row->text; ++row) {
        if (row->association == association && row->encryption == encryption) return row->text;
    }
    ConversionException::raise(__FILE__, __LINE__, "AssociationModeToText: Unknown association mode.");
}

std::int64_t TextToAssociationMode(const char* text, std::int32_t length) {
    for (const AssociationModeRow* row = ASSOCIATION_MODE; row->text; ++row) {
        if (TextCodec::equal(row->text, -1, text, length)) {
            return static_cast<std::int64_t>(
                static_cast<std::uint64_t>(static_cast<std::uint32_t>(row->encryption)) << 32 |
                static_cast<std::uint32_t>(row->association));
        }
    }
    ConversionException::raise(__FILE__, __LINE__, "TextToAssociationMode: Unknown association mode.");
}

const char* EapTypeToText(std::int32_t value) {
    return EnumTable::toText(EAP_TYPE, value, __FILE__, __LINE__, "EapTypeToText: Unknown EAP type.");
}

std::int32_t TextToEapType(const char* text, std::int32_t length) {
    return EnumTable::toValue(EAP_TYPE, text, length, __FILE__, __LINE__, "TextToEapType: Unknown EAP type.");
}

const char* BoolToText(std::int32_t value) {
    return EnumTable::toText(BOOL, value, __FILE__, __LINE__, "BoolToText: Unknown boolean value.");
}

std::int32_t TextToBool(const char* text, std::int32_t length) {
    return EnumTable::toValue(BOOL, text, length, __FILE__, __LINE__, "TextToBool: Unknown boolean value.");
}

const char* Auth80211ToText(std::int32_t value) {
    return EnumTable::toText(AUTH_80211, value, __FILE__, __LINE__,
                             "Auth80211ToText: Unknown 80211 authentication value.");
}

std::int32_t TextToAuth80211(const char* text, std::int32_t length) {
    return EnumTable::toValue(AUTH_80211, text, length, __FILE__, __LINE__,
                              "TextToAuth80211: Unknown 80211 authentication type.");
}

const char* CredStorageToText(std::int32_t value) {
    return EnumTable::toText(CRED_STORAGE, value, __FILE__, __LINE__,
                             "CredStorageToText: Unknown credentials storage value.");
}

std::int32_t TextToCredStorage(const char* text, std::int32_t length) {
    return EnumTable::toValue(CRED_STORAGE, text, length, __FILE__, __LINE__,
                              "TextToCredStorage: Unknown credentials storage type.");
}

const char* WpaEncrToText(std::int32_t value) {
    return EnumTable::toText(WPA_ENCR, value, __FILE__, __LINE__,
                             "WpaEncrToText: Unknown WPA encryption value.");
}

std::int32_t TextToWpaEncr(const char* text, std::int32_t length) {
    return EnumTable::toValue(WPA_ENCR, text, length, __FILE__, __LINE__,
                              "TextToWpaEncr: Unknown WPA encryption type.");
}

const char* ServerRulesToText(std::int32_t value) {
    return EnumTable::toText(SERVER_RULES, value, __FILE__, __LINE__,
                             "ServerRulesToText: Unknown server rule type.");
}

std::int32_t TextToServerRules(const char* text, std::int32_t length) {
    return EnumTable::toValue(SERVER_RULES, text, length, __FILE__, __LINE__,
                              "TextToServerRules: Unknown server rule type.");
}

const char* HowMatchToText(std::int32_t value) {
    return EnumTable::toText(HOW_MATCH, value, __FILE__, __LINE__,
                             "HowMatchToText: Unknown name matching rule type.");
}

std::int32_t TextToHowMatch(const char* text, std::int32_t length) {
    return EnumTable::toValue(HOW_MATCH, text, length, __FILE__, __LINE__,
                              "TextToHowMatch: Unknown name matching rule type.");
}

const char* CertToText(std::int32_t value) {
    return EnumTable::toText(CERT, value, __FILE__, __LINE__, "CertToText: Unknown certificate type.");
}

std::int32_t TextToCert(const char* text, std::int32_t length) {
    return EnumTable::toValue(CERT, text, length, __FILE__, __LINE__,
                              "TextToCert: Unknown certificate type.");
}

const char* TtlsMethodToText(std::int32_t value) {
    return EnumTable::toText(TTLS_METHOD, value, __FILE__, __LINE__,
                             "TtlsMethodToText: Unknown TTLS method.");
}

const char* XmlApiTtlsMethodToText(std::int32_t value) {
    return EnumTable::toText(XML_API_TTLS_METHOD, value, __FILE__, __LINE__,
                             "XmlApiTtlsMethodToText: Unknown TTLS method.");
}

const char* AuthenticationTypeToText(std::int32_t value) {
    return EnumTable::toText(AUTHENTICATION_TYPE, value, __FILE__, __LINE__,
                             "AuthenticationTypeToText: Unknown authentication type.");
}

std::int32_t TextToAuthenticationType(const char* text, std::int32_t length) {
    return EnumTable::toValue(AUTHENTICATION_TYPE, text, length, __FILE__, __LINE__,
                              "TextToAuthenticationType: Unknown authentication type.");
}

std::int32_t TextToCommand(const char* text, std::int32_t length) {
    return EnumTable::toValue(COMMAND, text, length, __FILE__, __LINE__, "TextToCommand: Unknown command.");
}

const char* ConnApiCommandToText(std::int32_t value) {
    return EnumTable::toText(CONN_API_COMMAND, value, __FILE__, __LINE__,
                             "ConnApiCommandToText: Unknown command.");
}

std::int32_t TextToConnApiCommand(const char* text, std::int32_t length) {
    return EnumTable::toValue(CONN_API_COMMAND, text, length, __FILE__, __LINE__,
                              "TextToConnApiCommand: Unknown command.");
}

std::int32_t TextToType(const char* text, std::int32_t length) {
    return EnumTable::toValue(TYPE, text, length, __FILE__, __LINE__, "TextToType: Unknown command type.");
}

const char* NetworkTypeToText(std::int32_t value) {
    return EnumTable::toText(NETWORK_TYPE, value, __FILE__, __LINE__,
                             "NetworkTypeToText: Unknown network type.");
}

std::int32_t TextToNetworkType(const char* text, std::int32_t length) {
    return EnumTable::toValue(NETWORK_TYPE, text, length, __FILE__, __LINE__,
                              "TextToNetworkType: Unknown network type.");
}

const char* XmlApiNetworkTypeToText(std::int32_t value) {
    return EnumTable::toText(XML_API_NETWORK_TYPE, value, __FILE__, __LINE__,
                             "XmlApiNetworkTypeToText: Unknown network state.");
}

const char* XmlApiFailureReasonToText(std::int32_t value) {
    return EnumTable::toText(XML_API_FAILURE_REASON, value, __FILE__, __LINE__,
                             "XmlApiFailureReasonToText: Unknown failure reason.");
}

const char* XmlApiCredentialFailureToText(std::int32_t value) {
    return EnumTable::toText(XML_API_CREDENTIAL_FAILURE, value, __FILE__, __LINE__,
                             "XmlApiCredentialFailureToText: Unknown credential failure.");
}

const char* XmlApiEapLevelToText(std::int32_t value) {
    return EnumTable::toText(XML_API_EAP_LEVEL, value, __FILE__, __LINE__,
                             "XmlApiEapLevelToText: Unknown eap level.");
}

const char* XmlApiDiagnosticMessageToText(std::int32_t value) {
    return EnumTable::toText(XML_API_DIAGNOSTIC_MESSAGE, value, __FILE__, __LINE__,
                             "XmlApiDiagnosticMessageToText: Unknown diagnostic message.");
}

const char* NetworkCreatorToText(std::int32_t value) {
    return EnumTable::toText(NETWORK_CREATOR, value, __FILE__, __LINE__,
                             "NetworkCreatorToText: Unknown creator type.");
}

const char* LocationFormatToText(std::int32_t value) {
    return EnumTable::toText(LOCATION_FORMAT, value, __FILE__, __LINE__,
                             "LocationFormatToText: Unknown location format.");
}

std::int32_t TextToLocationFormat(const char* text, std::int32_t length) {
    return EnumTable::toValue(LOCATION_FORMAT, text, length, __FILE__, __LINE__,
                              "TextToLocationFormat: Unknown location format.");
}

const char* LocationSignTypeToText(std::int32_t value) {
    return EnumTable::toText(LOCATION_SIGN_TYPE, value, __FILE__, __LINE__,
                             "LocationSignTypeToText: Unknown location signature type.");
}

const char* LocationEncodingToText(std::int32_t value) {
    return EnumTable::toText(LOCATION_ENCODING, value, __FILE__, __LINE__,
                             "LocationEncodingToText: Unknown location encoding.");
}

std::int32_t TextToLocationEncoding(const char* text, std::int32_t length) {
    return EnumTable::toValue(LOCATION_ENCODING, text, length, __FILE__, __LINE__,
                              "TextToLocationEncoding: Unknown location encoding.");
}

const char* LocationResolutionToText(std::int32_t value) {
    return EnumTable::toText(LOCATION_RESOLUTION, value, __FILE__, __LINE__,
                             "LocationResolutionToText: Unknown location resolution.");
}

std::int32_t TextToLocationResolution(const char* text, std::int32_t length) {
    return EnumTable::toValue(LOCATION_RESOLUTION, text, length, __FILE__, __LINE__,
                              "TextToLocationResolution: Unknown location resolution.");
}

const char* LocationServiceToText(std::int32_t value) {
    return EnumTable::toText(LOCATION_SERVICE, value, __FILE__, __LINE__,
                             "LocationServiceToText: Unknown location service.");
}

const char* XmlApiConnectionModeToText(std::int32_t value) {
    return EnumTable::toText(XML_API_CONNECTION_MODE, value, __FILE__, __LINE__,
                             "XmlApiConnectionModeToText: Unknown connection mode.");
}

std::int32_t TextToXmlApiConnectionMode(const char* text, std::int32_t length) {
    return EnumTable::toValue(XML_API_CONNECTION_MODE, text, length, __FILE__, __LINE__,
                              "TextToXmlApiConnectionMode: Unknown connection mode.");
}

std::int32_t TextToXmlApiNetworkPriority(const char* text, std::int32_t length) {
    return EnumTable::toValue(XML_API_NETWORK_PRIORITY, text, length, __FILE__, __LINE__,
                              "TextToXmlApiNetworkPriority: Unknown network priority.");
}

const char* CredentialTypeToText(std::int32_t value) {
    return EnumTable::toText(CREDENTIAL_TYPE, value, __FILE__, __LINE__,
                             "CredentialTypeToText: Unknown credential type.");
}

std::int32_t TextToCredentialType(const char* text, std::int32_t length) {
    return EnumTable::toValue(CREDENTIAL_TYPE, text, length, __FILE__, __LINE__,
                              "TextToCredentialType: Unknown credential type.");
}

const char* RequestTypeToText(std::int32_t value) {
    return EnumTable::toText(REQUEST_TYPE, value, __FILE__, __LINE__,
                             "RequestTypeToText: Unknown credential type.");
}

std::int32_t TextToRequestType(const char* text, std::int32_t length) {
    return EnumTable::toValue(REQUEST_TYPE, text, length, __FILE__, __LINE__,
                              "TextToRequestType: Unknown credential type.");
}

const char* MediaTypeToText(std::int32_t value) {
    return EnumTable::toText(MEDIA_TYPE, value, __FILE__, __LINE__, "MediaTypeToText: Unknown media type.");
}

const char* AdapterStateToText(std::int32_t value) {
    return EnumTable::toText(ADAPTER_STATE, value, __FILE__, __LINE__,
                             "AdapterStateToText: Unknown adapter state.");
}

const char* VpnSettingToText(std::int32_t value) {
    return EnumTable::toText(VPN_SETTING, value, __FILE__, __LINE__,
                             "VpnSettingToText: Unknown VPN settings type.");
}

std::int32_t TextToVpnSetting(const char* text, std::int32_t length) {
    return EnumTable::toValue(VPN_SETTING, text, length, __FILE__, __LINE__,
                              "TextToVpnSetting: Unknown VPN settings type.");
}

const char* VpnStateToText(std::int32_t value) {
    return EnumTable::toText(VPN_STATE, value, __FILE__, __LINE__, "VpnStateToText: Unknown vpn state.");
}

const char* VpnStatusToText(std::int32_t value) {
    return EnumTable::toText(VPN_STATUS, value, __FILE__, __LINE__, "VpnStatusToText: Unknown vpn status.");
}

const char* VpnUserEventToText(std::int32_t value) {
    return EnumTable::toText(VPN_USER_EVENT, value, __FILE__, __LINE__,
                             "VpnUserEventToText: Unknown vpn user event.");
}

const char* VpnClientEventToText(std::int32_t value) {
    return EnumTable::toText(VPN_CLIENT_EVENT, value, __FILE__, __LINE__,
                             "VpnClientEventToText: Unknown vpn user event.");
}

const char* VpnNetworkEventToText(std::int32_t value) {
    return EnumTable::toText(VPN_NETWORK_EVENT, value, __FILE__, __LINE__,
                             "VpnNetworkEventToText: Unknown network event.");
}

const char* AccessStateToText(std::int32_t value) {
    return EnumTable::toText(ACCESS_STATE, value, __FILE__, __LINE__,
                             "AccessStateToText: Unknown access state.");
}

const char* NetworkStateToText(std::int32_t value) {
    return EnumTable::toText(NETWORK_STATE, value, __FILE__, __LINE__,
                             "NetworkStateToText: Unknown network state.");
}

const char* NetworkUserEventToText(std::int32_t value) {
    return EnumTable::toText(NETWORK_USER_EVENT, value, __FILE__, __LINE__,
                             "NetworkUserEventToText: Unknown user event.");
}

const char* NetworkSsoRequestToText(std::int32_t value) {
    return EnumTable::toText(NETWORK_SSO_REQUEST, value, __FILE__, __LINE__,
                             "NetworkSsoRequestToText: Unknown SsoRequest.");
}

const char* NetworkAuthRequestToText(std::int32_t value) {
    return EnumTable::toText(NETWORK_AUTH_REQUEST, value, __FILE__, __LINE__,
                             "NetworkAuthRequestToText: Unknown Auth Request.");
}

const char* CredentialSourceToText(std::int32_t source) {
    switch (source) {
        case 0:
            return "None";
        case 1:
            return "SmartCards";
        case 2:
            return "OsUser";
        case 3:
            return "OsMachine";
        case 4:
            return "OsUserOrSmartCards";
        default:
            return "<unknown>";
    }
}
