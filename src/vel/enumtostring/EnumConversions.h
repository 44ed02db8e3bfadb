#pragma once
// Texts of the enumerations that files, connection-API messages and log lines carry, both ways.
// A value or text outside its table raises ConversionException naming the function.
#include <cstdint>

#include "vel/enumtostring/EnumTable.h"

// Association mode: both halves must match; the text gives the association in the low and the
// encryption in the high 32 bits.
const char* AssociationModeToText(std::int32_t association, std::int32_t encryption);
std::int64_t TextToAssociationMode(const char* text, std::int32_t length = -1);

const char* EapTypeToText(std::int32_t value);
std::int32_t TextToEapType(const char* text, std::int32_t length = -1);
const char* BoolToText(std::int32_t value);
std::int32_t TextToBool(const char* text, std::int32_t length = -1);
const char* Auth80211ToText(std::int32_t value);
std::int32_t TextToAuth80211(const char* text, std::int32_t length = -1);
const char* CredStorageToText(std::int32_t value);
std::int32_t TextToCredStorage(const char* text, std::int32_t length = -1);
const char* WpaEncrToText(std::int32_t value);
std::int32_t TextToWpaEncr(const char* text, std::int32_t length = -1);
const char* ServerRulesToText(std::int32_t value);
std::int32_t TextToServerRules(const char* text, std::int32_t length = -1);
const char* HowMatchToText(std::int32_t value);
std::int32_t TextToHowMatch(const char* text, std::int32_t length = -1);
const char* CertToText(std::int32_t value);
std::int32_t TextToCert(const char* text, std::int32_t length = -1);
const char* TtlsMethodToText(std::int32_t value);
const char* XmlApiTtlsMethodToText(std::int32_t value);
const char* AuthenticationTypeToText(std::int32_t value);
std::int32_t TextToAuthenticationType(const char* text, std::int32_t length = -1);
std::int32_t TextToCommand(const char* text, std::int32_t length = -1);
const char* ConnApiCommandToText(std::int32_t value);
std::int32_t TextToConnApiCommand(const char* text, std::int32_t length = -1);
std::int32_t TextToType(const char* text, std::int32_t length = -1);
const char* NetworkTypeToText(std::int32_t value);
std::int32_t TextToNetworkType(const char* text, std::int32_t length = -1);
const char* XmlApiNetworkTypeToText(std::int32_t value);
const char* XmlApiFailureReasonToText(std::int32_t value);
const char* XmlApiCredentialFailureToText(std::int32_t value);
const char* XmlApiEapLevelToText(std::int32_t value);
const char* XmlApiDiagnosticMessageToText(std::int32_t value);
const char* NetworkCreatorToText(std::int32_t value);
const char* LocationFormatToText(std::int32_t value);
std::int32_t TextToLocationFormat(const char* text, std::int32_t length = -1);
const char* LocationSignTypeToText(std::int32_t value);
const char* LocationEncodingToText(std::int32_t value);
std::int32_t TextToLocationEncoding(const char* text, std::int32_t length = -1);
const char* LocationResolutionToText(std::int32_t value);
std::int32_t TextToLocationResolution(const char* text, std::int32_t length = -1);
const char* LocationServiceToText(std::int32_t value);
const char* XmlApiConnectionModeToText(std::int32_t value);
std::int32_t TextToXmlApiConnectionMode(const char* text, std::int32_t length = -1);
std::int32_t TextToXmlApiNetworkPriority(const char* text, std::int32_t length = -1);
const char* CredentialTypeToText(std::int32_t value);
std::int32_t TextToCredentialType(const char* text, std::int32_t length = -1);
const char* RequestTypeToText(std::int32_t value);
std::int32_t TextToRequestType(const char* text, std::int32_t length = -1);
const char* MediaTypeToText(std::int32_t value);
const char* AdapterStateToText(std::int32_t value);
const char* VpnSettingToText(std::int32_t value);
std::int32_t TextToVpnSetting(const char* text, std::int32_t length = -1);
const char* VpnStateToText(std::int32_t value);
const char* VpnStatusToText(std::int32_t value);
const char* VpnUserEventToText(std::int32_t value);
const char* VpnClientEventToText(std::int32_t value);
const char* VpnNetworkEventToText(std::int32_t value);
const char* AccessStateToText(std::int32_t value);
const char* NetworkStateToText(std::int32_t value);
const char* NetworkUserEventToText(std::int32_t value);
const char* NetworkSsoRequestToText(std::int32_t value);
const char* NetworkAuthRequestToText(std::int32_t value);

// Names of the credential sources; any other value is "<unknown>".
const char* CredentialSourceToText(std::int32_t source);

// The rows themselves, for the code that lists what a table accepts.
namespace conversiontables {
extern const AssociationModeRow ASSOCIATION_MODE[];
extern const EnumTextRow EAP_TYPE[];
extern const EnumTextRow BOOL[];
extern const EnumTextRow AUTH_80211[];
extern const EnumTextRow CRED_STORAGE[];
extern const EnumTextRow WPA_ENCR[];
extern const EnumTextRow SERVER_RULES[];
extern const EnumTextRow HOW_MATCH[];
extern const EnumTextRow CERT[];
extern const EnumTextRow TTLS_METHOD[];
extern const EnumTextRow XML_API_TTLS_METHOD[];
extern const EnumTextRow AUTHENTICATION_TYPE[];
extern const EnumTextRow COMMAND[];
extern const EnumTextRow* const CONN_API_COMMAND;
extern const EnumTextRow TYPE[];
extern const EnumTextRow NETWORK_TYPE[];
extern const EnumTextRow XML_API_NETWORK_TYPE[];
extern const EnumTextRow XML_API_FAILURE_REASON[];
extern const EnumTextRow XML_API_EAP_LEVEL[];
extern const EnumTextRow XML_API_DIAGNOSTIC_MESSAGE[];
extern const EnumTextRow NETWORK_CREATOR[];
extern const EnumTextRow LOCATION_FORMAT[];
extern const EnumTextRow LOCATION_SIGN_TYPE[];
extern const EnumTextRow LOCATION_ENCODING[];
extern const EnumTextRow LOCATION_RESOLUTION[];
extern const EnumTextRow LOCATION_SERVICE[];
extern const EnumTextRow XML_API_CONNECTION_MODE[];
extern const EnumTextRow XML_API_NETWORK_PRIORITY[];
extern const EnumTextRow CREDENTIAL_TYPE[];
extern const EnumTextRow REQUEST_TYPE[];
extern const EnumTextRow MEDIA_TYPE[];
extern const EnumTextRow ADAPTER_STATE[];
extern const EnumTextRow VPN_SETTING[];
extern const EnumTextRow VPN_STATE[];
extern const EnumTextRow VPN_STATUS[];
extern const EnumTextRow VPN_USER_EVENT[];
extern const EnumTextRow VPN_CLIENT_EVENT[];
extern const EnumTextRow VPN_NETWORK_EVENT[];
extern const EnumTextRow ACCESS_STATE[];
extern const EnumTextRow NETWORK_STATE[];
extern const EnumTextRow NETWORK_USER_EVENT[];
extern const EnumTextRow NETWORK_SSO_REQUEST[];
extern const EnumTextRow NETWORK_AUTH_REQUEST[];
}  // namespace conversiontables
