#pragma once

// The children of the connection-API message bodies, by their element names. Both the service's
// readers and writers and the tray program's use these, so a name is spelt in one place.
class ConnApiElement {
public:
    // Location.
    static constexpr const char* IS_LOCATION_SERVICE_AVAILABLE = "isLocationServiceAvailable";
    static constexpr const char* SUPPORTED_SERVICES = "supportedServices";
    static constexpr const char* SERVICE_TYPE = "serviceType";
    static constexpr const char* SUPPORTED_FORMATS = "supportedFormats";
    static constexpr const char* LOCATION_FORMAT = "locationFormat";
    static constexpr const char* SUPPORTED_RESOLUTIONS = "supportedResolutions";
    static constexpr const char* LOCATION_RESOLUTION = "locationResolution";
    static constexpr const char* SUPPORTED_ENCODINGS = "supportedEncodings";
    static constexpr const char* LOCATION_ENCODING = "locationEncoding";
    static constexpr const char* REQUEST_SECURE_RESPONSE_ONLY = "requestSecureResponseOnly";
    static constexpr const char* REQUEST_DIGITAL_SIGNATURE = "requestDigitalSignature";
    static constexpr const char* REQUEST_LOCATION_ID = "requestLocationId";
    static constexpr const char* LOCATION_DATA = "locationData";
    static constexpr const char* LOCATION_ACCURACY = "locationAccuracy";
    static constexpr const char* SIGNATURE_TYPE = "signatureType";
    static constexpr const char* DIGITAL_SIGNATURE = "digitalSignature";
    static constexpr const char* LOCATION_ID = "locationId";
    static constexpr const char* ERROR = "error";
    // Groups and networks.
    static constexpr const char* GROUP_LIST = "groupList";
    static constexpr const char* GROUP_NAME = "groupName";
    static constexpr const char* NETWORK_LIST = "networkList";
    static constexpr const char* NETWORK = "network";
    static constexpr const char* NETWORK_NAME = "networkName";
    static constexpr const char* NETWORK_CREATOR = "networkCreator";
    static constexpr const char* NETWORK_MEDIA = "networkMedia";
    static constexpr const char* IS_GLOBAL = "isGlobal";
    static constexpr const char* SSID = "ssid";
    static constexpr const char* ASSOCIATION_AND_ENCRYPTION_MODE = "associationAndEncryptionMode";
    static constexpr const char* VPN_PARAMETERS = "vpnParameters";
    static constexpr const char* CONNECTION_ENTRY = "connectionEntry";
    static constexpr const char* AUTO_CONNECT_VPN = "autoConnectVpn";
    static constexpr const char* EAP_METHOD = "eapMethod";
    static constexpr const char* CREDENTIAL_TYPE = "credentialType";
    static constexpr const char* RUN_SCRIPT_SPEC = "runScriptSpec";
    static constexpr const char* NEW_GROUP_NAME = "newGroupName";
    static constexpr const char* NEW_NETWORK_NAME = "newNetworkName";
    static constexpr const char* PRIORITY = "priority";
    // Static keys of an added or changed network.
    static constexpr const char* WEP_ASCII_40_KEY = "wepAscii40Key";
    static constexpr const char* WEP_ASCII_128_KEY = "wepAscii128Key";
    static constexpr const char* WEP_HEX_40_KEY = "wepHex40Key";
    static constexpr const char* WEP_HEX_128_KEY = "wepHex128Key";
    static constexpr const char* WPA_ASCII_KEY = "wpaAsciiKey";
    static constexpr const char* WPA_HEX_KEY = "wpaHexKey";
    // Connection and scan list.
    static constexpr const char* CONNECTION_MODE = "connectionMode";
    static constexpr const char* NAD_LIST = "nadList";
    static constexpr const char* NAD = "nad";
    static constexpr const char* BSSID = "bssid";
    static constexpr const char* ASSOCIATION_AND_ENCRYPTION_MODE_LIST = "associationAndEncryptionModeList";
    static constexpr const char* CHANNEL = "channel";
    static constexpr const char* SIGNAL_STRENGTH_IN_DBM = "signalStrengthInDbm";
    static constexpr const char* SNR = "snr";
    static constexpr const char* TAMSEL_ENABLED = "tamselEnabled";
    static constexpr const char* RADIO_ENABLED = "radioEnabled";
    // Logon client.
    static constexpr const char* MAX_NUMBER_OF_SECONDS_TO_WAIT_FOR_CONNECTION_BEFORE_LOGON =
        "maxNumberOfSecondsToWaitForConnectionBeforeLogon";
    static constexpr const char* NUMBER_OF_SECONDS_BEFORE_ALLOWING_USER_TO_SKIP_LOGON_WAIT =
        "numberOfSecondsBeforeAllowingUserToSkipLogonWait";
    static constexpr const char* MAX_NUMBER_OF_SECONDS_TO_WAIT_FOR_PASSWORD_CHANGE =
        "maxNumberOfSecondsToWaitForPasswordChange";
    static constexpr const char* LOGON_ATTEMPT_ID = "logonAttemptId";
    static constexpr const char* USER_TOKEN_HANDLE = "userTokenHandle";
    static constexpr const char* USER_LOGON_PROCESS_ID = "userLogonProcessId";
    static constexpr const char* CHANGE_PASSWORD_ATTEMPT_ID = "changePasswordAttemptId";
    static constexpr const char* DOMAIN = "domain";
    static constexpr const char* EVENT_TYPE = "eventType";
    static constexpr const char* CHANGE_PASSWORD_RESULT = "changePasswordResult";
    // Credentials.
    static constexpr const char* USERNAME = "username";
    static constexpr const char* PASSWORD = "password";
    static constexpr const char* OLD_PASSWORD = "oldPassword";
    static constexpr const char* PASSWORD_TYPE = "passwordType";
    static constexpr const char* USERNAME_PROMPT = "usernamePrompt";
    static constexpr const char* PASSWORD_PROMPT = "passwordPrompt";
    static constexpr const char* CERTIFICATE_LIST = "certificateList";
    static constexpr const char* CERTIFICATE = "certificate";
    static constexpr const char* CERTIFICATE_HASH = "certificateHash";
    static constexpr const char* CERTIFICATE_NAME = "certificateName";
    static constexpr const char* ISSUED_TO = "issuedTo";
    static constexpr const char* ISSUED_BY = "issuedBy";
    static constexpr const char* EXPIRY_DATE = "expiryDate";
    static constexpr const char* SERIAL_NUMBER = "serialNumber";
    static constexpr const char* SMART_CARD_NAME = "smartCardName";
    static constexpr const char* PIN = "pin";
    // Network state event.
    static constexpr const char* NETWORK_STATE = "networkState";
    static constexpr const char* NAD_MAC_ADDRESS = "nadMacAddress";
    static constexpr const char* ADAPTER_NAME = "adapterName";
    static constexpr const char* ADAPTER_MAC_ADDRESS = "adapterMacAddress";
    static constexpr const char* SERVER_VERIFIED_NAME = "serverVerifiedName";
    static constexpr const char* IP_ADDRESS = "ipAddress";
    static constexpr const char* SPEED_IN_MBPS = "speedInMbps";
    static constexpr const char* OUTER_EAP_METHOD = "outerEapMethod";
    static constexpr const char* INNER_EAP_METHOD = "innerEapMethod";
    static constexpr const char* NETWORK_CONNECTION_FAILURE_INFO = "networkConnectionFailureInfo";
    static constexpr const char* REASON = "reason";
    static constexpr const char* ASSOCIATION_TIME_OUT = "associationTimeOut";
    static constexpr const char* EAP_LEVEL = "eapLevel";
    static constexpr const char* LAST_8021X_MESSAGE_SENT = "last8021XMessageSent";
    static constexpr const char* LAST_8021X_MESSAGE_RECEIVED = "last8021XMessageReceived";
    // Administrator policy.
    static constexpr const char* ADMINISTRATOR_POLICY = "administratorPolicy";
    static constexpr const char* NETWORK_POLICY = "networkPolicy";
    static constexpr const char* ALLOWED_EAP_METHODS = "allowedEapMethods";
    static constexpr const char* USER_CONTROL_POLICY = "userControlPolicy";
    static constexpr const char* ALLOWED_MEDIA = "allowedMedia";
    static constexpr const char* MEDIA_TYPE = "mediaType";
    static constexpr const char* VPN_ENABLED = "vpnEnabled";
    static constexpr const char* ALLOW_USER_TO_RUN_SCRIPT = "allowUserToRunScript";
    // VPN.
    static constexpr const char* IS_AUTOMATED_VPN_CAPABLE = "isAutomatedVpnCapable";
    static constexpr const char* CONNECTION_ENTRIES = "connectionEntries";
    static constexpr const char* DEFAULT_CONNECTION_ENTRY = "defaultConnectionEntry";
    static constexpr const char* VPN_STATE = "vpnState";
    static constexpr const char* VPN_STATUS = "vpnStatus";
    static constexpr const char* BANNER_PROMPT = "bannerPrompt";
    static constexpr const char* BANNER_ACCEPTED = "bannerAccepted";
};
