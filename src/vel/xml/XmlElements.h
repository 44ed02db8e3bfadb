#pragma once
// The element and attribute names of the configuration files, shared by their readers and writers.

class XmlElements {
public:
    // The administrator file.
    static constexpr const char* NETWORK_POLICY = "networkPolicy";
    static constexpr const char* ALLOWED_ASSOCIATION_MODES = "allowedAssociationModes";
    static constexpr const char* ALLOWED_EAP_METHODS = "allowedEapMethods";
    static constexpr const char* AUTO_VPN_SETTINGS = "autoVpnSettings";
    static constexpr const char* AUTH_MECHANISM = "authMechanism";
    static constexpr const char* NETWORKS = "networks";
    static constexpr const char* CONNECTION_SETTINGS = "connectionSettings";
    static constexpr const char* USER_CONTROL_POLICY = "userControlPolicy";
    static constexpr const char* MAJOR_VERSION = "major_version";
    static constexpr const char* MINOR_VERSION = "minor_version";
    static constexpr const char* DEVELOPMENT_VERSION = "development_version";
    static constexpr const char* CONNECTION_BEHAVIOR_AT_LOGON = "connectionBehaviorAtLogon";
    static constexpr const char* ATTEMPT_CONNECTION_BEFORE_USER_LOGON = "attemptConnectionBeforeUserLogon";
    static constexpr const char* SECONDS_TO_WAIT_FOR_CONNECTION = "secondsToWaitForConnection";
    static constexpr const char* ATTEMPT_CONNECTION_AFTER_USER_LOGON = "attemptConnectionAfterUserLogon";
    static constexpr const char* VALIDATE_WPA_HANDSHAKE = "validateWpaHandshake";
    static constexpr const char* DEFAULT_CONNECTION_TIMEOUT = "defaultConnectionTimeout";
    static constexpr const char* DEFAULT_ASSOCIATION_TIMEOUT = "defaultAssociationTimeout";
    static constexpr const char* ALLOWED_MEDIA = "allowedMedia";
    static constexpr const char* WIFI = "wifi";
    static constexpr const char* WIRED = "wired";
    static constexpr const char* ALLOW_VPN = "allowVpn";
    static constexpr const char* ALLOW_RUN_SCRIPT_AFTER_CONNECT = "allowRunScriptAfterConnect";

    // Groups and networks.
    static constexpr const char* GROUP = "group";
    static constexpr const char* GLOBAL_NETWORKS = "globalNetworks";
    static constexpr const char* GROUP_NAME = "groupName";
    static constexpr const char* ALLOW_USER_TO_SEE_SCANLIST = "allowUserToSeeScanlist";
    static constexpr const char* WIRED_NETWORK = "wiredNetwork";
    static constexpr const char* WIFI_NETWORK = "wifiNetwork";
    static constexpr const char* DISPLAY_NAME = "displayName";
    static constexpr const char* CONNECTION_TIMEOUT = "connectionTimeout";
    static constexpr const char* RUN_SCRIPT_AFTER_CONNECTION = "runScriptAfterConnection";
    static constexpr const char* SSID = "ssid";
    static constexpr const char* NAME = "name";
    static constexpr const char* ASSOCIATION_TIMEOUT = "associationTimeout";
    static constexpr const char* OPEN_NETWORK = "openNetwork";
    static constexpr const char* AUTHENTICATION_NETWORK = "authenticationNetwork";
    static constexpr const char* SHARED_KEY_NETWORK = "sharedKeyNetwork";
    static constexpr const char* MACHINE_CONNECTION = "machineConnection";
    static constexpr const char* USER_CONNECTION = "userConnection";
    static constexpr const char* MACHINE_USER_CONNECTION = "machineUserConnection";
    static constexpr const char* WEP = "wep";
    static constexpr const char* WPA = "wpa";
    static constexpr const char* WPA2 = "wpa2";
    static constexpr const char* QUILLAN = "quillan";
    static constexpr const char* KEY_IS_40_BITS = "keyIs40Bits";
    static constexpr const char* KEY_IS_128_BITS = "keyIs128Bits";
    static constexpr const char* KEY_FROM_PROFILE = "keyFromProfile";
    static constexpr const char* ASCII = "ascii";
    static constexpr const char* HEX = "hex";
    static constexpr const char* IEEE80211_AUTHENTICATION = "ieee80211Authentication";
    static constexpr const char* ENCRYPTION = "encryption";
    static constexpr const char* MACHINE_AUTHENTICATION = "machineAuthentication";
    static constexpr const char* USER_AUTHENTICATION = "userAuthentication";
    static constexpr const char* MACHINE_USER_AUTHENTICATION = "machineUserAuthentication";
    static constexpr const char* MACHINE = "machine";
    static constexpr const char* USER = "user";
    static constexpr const char* SETTING_8021X = "setting802.1x";
    static constexpr const char* AUTH_PERIOD = "authPeriod";
    static constexpr const char* HELD_PERIOD = "heldPeriod";
    static constexpr const char* START_PERIOD = "startPeriod";
    static constexpr const char* MAX_START = "maxStart";
    static constexpr const char* ASSOCIATION_MODE = "associationMode";

    // Authentication records and methods.
    static constexpr const char* AUTHENTICATION_METHOD = "authenticationMethod";
    static constexpr const char* COLLECTION_BEHAVIOR = "collectionBehavior";
    static constexpr const char* EXTEND_USER_CONNECTION_BEYOND_LOGOFF = "extendUserConnectionBeyondLogoff";
    static constexpr const char* EAP_MD5 = "eapMd5";
    static constexpr const char* EAP_MSCHAPV2 = "eapMschapv2";
    static constexpr const char* LEAP = "leap";
    static constexpr const char* EAP_GTC = "eapGtc";
    static constexpr const char* EAP_TLS = "eapTls";
    static constexpr const char* EAP_TTLS = "eapTtls";
    static constexpr const char* EAP_PEAP = "eapPeap";
    static constexpr const char* EAP_FAST = "eapFast";
    static constexpr const char* UNPROTECTED_IDENTITY_PATTERN = "unprotectedIdentityPattern";
    static constexpr const char* PROTECTED_IDENTITY_PATTERN = "protectedIdentityPattern";
    static constexpr const char* AUTHENTICATE_WITH_PASSWORD = "authenticateWithPassword";
    static constexpr const char* AUTHENTICATE_WITH_CERTIFICATE = "authenticateWithCertificate";
    static constexpr const char* AUTHENTICATE_WITH_TOKEN = "authenticateWithToken";
    static constexpr const char* DO_NOT_VALIDATE_SERVER_CERTIFICATE = "doNotValidateServerCertificate";
    static constexpr const char* VALIDATE_SERVER_CERTIFICATE = "validateServerCertificate";
    static constexpr const char* DISABLE_FAST_RECONNECT = "disableFastReconnect";
    static constexpr const char* ENABLE_FAST_RECONNECT = "enableFastReconnect";
    static constexpr const char* ALWAYS_ATTEMPT = "alwaysAttempt";
    static constexpr const char* DISABLE_WHEN_SMART_CARD = "disableWhenSmartCard";
    static constexpr const char* PAP = "pap";
    static constexpr const char* CHAP = "chap";
    static constexpr const char* MSCHAP = "mschap";
    static constexpr const char* MSCHAPV2 = "mschapv2";
    static constexpr const char* EAP_METHODS = "eapMethods";
    static constexpr const char* AUTH_METHODS = "authMethods";
    static constexpr const char* BUILTIN_METHODS = "builtinMethods";
    static constexpr const char* METHODS = "methods";
    static constexpr const char* DO_NOT_USE_PAC = "doNotUsePac";
    static constexpr const char* USE_PAC = "usePac";
    static constexpr const char* ALLOW_UNAUTH_PAC_PROVISIONING = "allowUnauthPacProvisioning";
    static constexpr const char* VALIDATE_WITH_SPECIFIC_PACS = "validateWithSpecificPacs";
    static constexpr const char* TRUSTED_SERVER_PAC = "trustedServerPac";
    static constexpr const char* ENABLE_POSTURE = "enablePosture";
    static constexpr const char* DO_NOT_USE_INNER_METHOD = "doNotUseInnerMethod";
    static constexpr const char* SEND_WHENEVER_REQUESTED = "sendWheneverRequested";
    static constexpr const char* SEND_SECURELY_ONLY = "sendSecurelyOnly";
    static constexpr const char* SEND_VIA_INNER_METHOD = "sendViaInnerMethod";
    static constexpr const char* CONTENT = "content";
    static constexpr const char* REFERENCE = "reference";
    static constexpr const char* SECRET_KEY = "secretKey";

    // Credential sources.
    static constexpr const char* PASSWORD_SOURCE = "passwordSource";
    static constexpr const char* CERTIFICATE_SOURCE = "certificateSource";
    static constexpr const char* TOKEN_SOURCE = "tokenSource";
    static constexpr const char* PASSWORD_FROM_PROFILE = "passwordFromProfile";
    static constexpr const char* PASSWORD_FROM_MACHINE = "passwordFromMachine";
    static constexpr const char* PASSWORD_FROM_LOGON = "passwordFromLogon";
    static constexpr const char* PASSWORD_FROM_USER = "passwordFromUser";
    static constexpr const char* CERTIFICATE_FROM_PROFILE = "certificateFromProfile";
    static constexpr const char* CERTIFICATE_ID = "certificateId";
    static constexpr const char* CERTIFICATE_FROM_MACHINE = "certificateFromMachine";
    static constexpr const char* CERTIFICATE_FROM_LOGON = "certificateFromLogon";
    static constexpr const char* CERTIFICATE_FROM_USER = "certificateFromUser";
    static constexpr const char* PASSWORD_FROM_GENERIC_TOKEN = "passwordFromGenericToken";
    static constexpr const char* PASSWORD_FROM_OTHER_TOKEN = "passwordFromOtherToken";

    // Server-certificate validation.
    static constexpr const char* SERVER_NAME_VALIDATION_RULES = "serverNameValidationRules";
    static constexpr const char* ANY_SERVER_NAME = "anyServerName";
    static constexpr const char* VALIDATE_CHAIN_WITH_ANY_CA_FROM_OS = "validateChainWithAnyCaFromOs";
    static constexpr const char* VALIDATE_CHAIN_WITH_SPECIFIC_CA = "validateChainWithSpecificCa";
    static constexpr const char* MATCH = "match";
    static constexpr const char* CERTIFICATE = "certificate";

    // Collection behaviour.
    static constexpr const char* WITH_PASSWORD = "withPassword";
    static constexpr const char* CACHE_PASSWORD_FROM_USER = "cachePasswordFromUser";
    static constexpr const char* WITH_CERTIFICATE = "withCertificate";
    static constexpr const char* CACHE_CERTIFICATE_FROM_USER = "cacheCertificateFromUser";
    static constexpr const char* ALLOWED_CERT_SOURCE_FROM_USER = "allowedCertSourceFromUser";
    static constexpr const char* SMART_CARD_ONLY_CERTIFICATE = "smartCardOnlyCertificate";
    static constexpr const char* SMART_CARD_OR_OS_CERTIFICATE = "smartCardOrOsCertificate";
    static constexpr const char* CACHE_PIN_FOR_SMARTCARD = "cachePinForSmartcard";
    static constexpr const char* WITH_TOKEN = "withToken";
    static constexpr const char* CACHE_PIN_FOR_TOKEN_FROM_USER = "cachePinForTokenFromUser";

    // The user file.
    static constexpr const char* USER_CONFIGURATION = "UserConfiguration";
    static constexpr const char* META_CONNECTIONS = "metaConnections";
    static constexpr const char* META_CONNECTION = "metaConnection";
    static constexpr const char* NETWORK = "network";
    static constexpr const char* VPN_CONNECTION_ENTRY = "vpnConnectionEntry";
    static constexpr const char* AUTO_CONNECT_VPN = "autoConnectVpn";
    static constexpr const char* GLOBAL_NETWORK = "globalNetwork";

    // The internal file.
    static constexpr const char* INTERNAL_CONFIGURATION_DATA = "internalConfigurationData";
    static constexpr const char* GLOBAL_CREDENTIALS = "globalCredentials";
    static constexpr const char* NETWORK_NAME = "networkName";
    static constexpr const char* CREDENTIALS = "credentials";
    static constexpr const char* CREDENTIAL = "credential";
    static constexpr const char* USER_SESSION_REFERENCE = "userSessionReference";
};
