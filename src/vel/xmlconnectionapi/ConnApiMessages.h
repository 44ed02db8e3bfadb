#pragma once
// The connection-API command table: every message that crosses the "vel" pipe, by its number and
// the name of its element. The service and the tray program both build and read messages from
// this one table; a request's reply is the row after it.
#include <cstdint>

struct ConnApiMessageRow {
    std::int32_t command;
    const char* name;
};

class ConnApiMessages {
public:
    static constexpr std::int32_t COUNT = 101;

    static constexpr std::int32_t GET_VERSION_REQUEST = 1;
    static constexpr std::int32_t GET_VERSION_RESPONSE = 2;
    static constexpr std::int32_t GET_LOCATION_CAPABILITIES_REQUEST = 3;
    static constexpr std::int32_t GET_LOCATION_CAPABILITIES_RESPONSE = 4;
    static constexpr std::int32_t GET_LOCATION_REQUEST = 5;
    static constexpr std::int32_t GET_LOCATION_RESPONSE = 6;
    static constexpr std::int32_t GET_GROUPS_REQUEST = 7;
    static constexpr std::int32_t GET_GROUPS_RESPONSE = 8;
    static constexpr std::int32_t GET_ACTIVE_GROUP_REQUEST = 9;
    static constexpr std::int32_t GET_ACTIVE_GROUP_RESPONSE = 10;
    static constexpr std::int32_t SET_ACTIVE_GROUP_REQUEST = 11;
    static constexpr std::int32_t SET_ACTIVE_GROUP_RESPONSE = 12;
    static constexpr std::int32_t GET_NETWORKS_IN_GROUP_REQUEST = 13;
    static constexpr std::int32_t GET_NETWORKS_IN_GROUP_RESPONSE = 14;
    static constexpr std::int32_t GET_NETWORK_DETAILS_REQUEST = 15;
    static constexpr std::int32_t GET_NETWORK_DETAILS_RESPONSE = 16;
    static constexpr std::int32_t GET_NETWORK_STATUS_REQUEST = 17;
    static constexpr std::int32_t GET_NETWORK_STATUS_RESPONSE = 18;
    static constexpr std::int32_t ENABLE_AUTOCONNECT_REQUEST = 19;
    static constexpr std::int32_t ENABLE_AUTOCONNECT_RESPONSE = 20;
    static constexpr std::int32_t GET_CONNECTION_MODE_REQUEST = 21;
    static constexpr std::int32_t GET_CONNECTION_MODE_RESPONSE = 22;
    static constexpr std::int32_t CONNECT_TO_NETWORK_REQUEST = 23;
    static constexpr std::int32_t CONNECT_TO_NETWORK_RESPONSE = 24;
    static constexpr std::int32_t DISCONNECT_REQUEST = 25;
    static constexpr std::int32_t DISCONNECT_RESPONSE = 26;
    static constexpr std::int32_t TURN_OFF_RADIO_REQUEST = 27;
    static constexpr std::int32_t TURN_OFF_RADIO_RESPONSE = 28;
    static constexpr std::int32_t TURN_ON_RADIO_REQUEST = 29;
    static constexpr std::int32_t TURN_ON_RADIO_RESPONSE = 30;
    static constexpr std::int32_t DISABLE_TAMSEL_REQUEST = 31;
    static constexpr std::int32_t DISABLE_TAMSEL_RESPONSE = 32;
    static constexpr std::int32_t ENABLE_TAMSEL_REQUEST = 33;
    static constexpr std::int32_t ENABLE_TAMSEL_RESPONSE = 34;
    static constexpr std::int32_t ADD_NETWORK_REQUEST = 35;
    static constexpr std::int32_t ADD_NETWORK_RESPONSE = 36;
    static constexpr std::int32_t CHANGE_NETWORK_REQUEST = 37;
    static constexpr std::int32_t CHANGE_NETWORK_RESPONSE = 38;
    static constexpr std::int32_t REMOVE_NETWORK_REQUEST = 39;
    static constexpr std::int32_t REMOVE_NETWORK_RESPONSE = 40;
    static constexpr std::int32_t ADD_GROUP_REQUEST = 41;
    static constexpr std::int32_t ADD_GROUP_RESPONSE = 42;
    static constexpr std::int32_t REMOVE_GROUP_REQUEST = 43;
    static constexpr std::int32_t REMOVE_GROUP_RESPONSE = 44;
    static constexpr std::int32_t GET_SCAN_LIST_REQUEST = 45;
    static constexpr std::int32_t GET_SCAN_LIST_RESPONSE = 46;
    static constexpr std::int32_t SSO_LOGON_POLICY_REQUEST = 47;
    static constexpr std::int32_t SSO_LOGON_POLICY_RESPONSE = 48;
    static constexpr std::int32_t SSO_PRELOGON_ACTIONS_REQUEST = 49;
    static constexpr std::int32_t SSO_PRELOGON_ACTIONS_RESPONSE = 50;
    static constexpr std::int32_t SSO_USER_SESSION_ACTIONS_REQUEST = 51;
    static constexpr std::int32_t SSO_USER_SESSION_ACTIONS_RESPONSE = 52;
    static constexpr std::int32_t SSO_NO_USER_SESSION_REQUEST = 53;
    static constexpr std::int32_t SSO_NO_USER_SESSION_RESPONSE = 54;
    static constexpr std::int32_t SSO_CHANGE_PASSWORD_REQUEST = 55;
    static constexpr std::int32_t SSO_CHANGE_PASSWORD_RESPONSE = 56;
    static constexpr std::int32_t SSO_LOGON_CREDENTIALS_CHANGED_REQUEST = 57;
    static constexpr std::int32_t SSO_LOGON_CREDENTIALS_CHANGED_RESPONSE = 58;
    static constexpr std::int32_t LOGON_EVENT = 59;
    static constexpr std::int32_t LOGON_CHANGE_PASSWORD_EVENT = 60;
    static constexpr std::int32_t GET_USERNAME_AND_PASSWORD_REQUEST = 61;
    static constexpr std::int32_t GET_USERNAME_AND_PASSWORD_RESPONSE = 62;
    static constexpr std::int32_t GET_CERTIFICATE_REQUEST = 63;
    static constexpr std::int32_t GET_CERTIFICATE_RESPONSE = 64;
    static constexpr std::int32_t GET_SHARED_KEY_REQUEST = 65;
    static constexpr std::int32_t GET_SHARED_KEY_RESPONSE = 66;
    static constexpr std::int32_t GET_LOGON_USERNAME_AND_PASSWORD_REQUEST = 67;
    static constexpr std::int32_t GET_LOGON_USERNAME_AND_PASSWORD_RESPONSE = 68;
    static constexpr std::int32_t GET_LOGON_SMART_CARD_PIN_REQUEST = 69;
    static constexpr std::int32_t GET_LOGON_SMART_CARD_PIN_RESPONSE = 70;
    static constexpr std::int32_t GET_SMART_CARD_PIN_REQUEST = 71;
    static constexpr std::int32_t GET_SMART_CARD_PIN_RESPONSE = 72;
    static constexpr std::int32_t NETWORK_STATE_EVENT = 73;
    static constexpr std::int32_t RESEND_LAST_NETWORK_STATE_EVENT_REQUEST = 74;
    static constexpr std::int32_t RESEND_LAST_NETWORK_STATE_EVENT_RESPONSE = 75;
    static constexpr std::int32_t CONFIGURATION_CHANGE_EVENT = 76;
    static constexpr std::int32_t LOCATION_RESPONSE_EVENT = 77;
    static constexpr std::int32_t LOCATION_ERROR_EVENT = 78;
    static constexpr std::int32_t GET_SERVICE_STATE_REQUEST = 79;
    static constexpr std::int32_t GET_SERVICE_STATE_RESPONSE = 80;
    static constexpr std::int32_t ENABLE_PACKET_CAPTURE_REQUEST = 81;
    static constexpr std::int32_t ENABLE_PACKET_CAPTURE_RESPONSE = 82;
    static constexpr std::int32_t DISABLE_PACKET_CAPTURE_REQUEST = 83;
    static constexpr std::int32_t DISABLE_PACKET_CAPTURE_RESPONSE = 84;
    static constexpr std::int32_t GET_ADMINISTRATOR_POLICY_REQUEST = 85;
    static constexpr std::int32_t GET_ADMINISTRATOR_POLICY_RESPONSE = 86;
    static constexpr std::int32_t GET_VPN_CAPABILITIES_REQUEST = 87;
    static constexpr std::int32_t GET_VPN_CAPABILITIES_RESPONSE = 88;
    static constexpr std::int32_t CONNECT_VPN_REQUEST = 89;
    static constexpr std::int32_t CONNECT_VPN_RESPONSE = 90;
    static constexpr std::int32_t DISCONNECT_VPN_REQUEST = 91;
    static constexpr std::int32_t DISCONNECT_VPN_RESPONSE = 92;
    static constexpr std::int32_t VPN_STATE_EVENT = 93;
    static constexpr std::int32_t RESEND_LAST_VPN_STATE_EVENT_REQUEST = 94;
    static constexpr std::int32_t RESEND_LAST_VPN_STATE_EVENT_RESPONSE = 95;
    static constexpr std::int32_t GET_VPN_CREDENTIALS_REQUEST = 96;
    static constexpr std::int32_t GET_VPN_CREDENTIALS_RESPONSE = 97;
    static constexpr std::int32_t GET_BANNER_REQUEST = 98;
    static constexpr std::int32_t GET_BANNER_RESPONSE = 99;
    static constexpr std::int32_t UNKNOWN_REQUEST = 100;
    static constexpr std::int32_t FAULT = 101;

    static constexpr ConnApiMessageRow TABLE[COUNT] = {
        {GET_VERSION_REQUEST, "getVersionRequest"},
        {GET_VERSION_RESPONSE, "getVersionResponse"},
        {GET_LOCATION_CAPABILITIES_REQUEST, "getLocationCapabilitiesRequest"},
        {GET_LOCATION_CAPABILITIES_RESPONSE, "getLocationCapabilitiesResponse"},
        {GET_LOCATION_REQUEST, "getLocationRequest"},
        {GET_LOCATION_RESPONSE, "getLocationResponse"},
        {GET_GROUPS_REQUEST, "getGroupsRequest"},
        {GET_GROUPS_RESPONSE, "getGroupsResponse"},
        {GET_ACTIVE_GROUP_REQUEST, "getActiveGroupRequest"},
        {GET_ACTIVE_GROUP_RESPONSE, "getActiveGroupResponse"},
        {SET_ACTIVE_GROUP_REQUEST, "setActiveGroupRequest"},
        {SET_ACTIVE_GROUP_RESPONSE, "setActiveGroupResponse"},
        {GET_NETWORKS_IN_GROUP_REQUEST, "getNetworksInGroupRequest"},
        {GET_NETWORKS_IN_GROUP_RESPONSE, "getNetworksInGroupResponse"},
        {GET_NETWORK_DETAILS_REQUEST, "getNetworkDetailsRequest"},
        {GET_NETWORK_DETAILS_RESPONSE, "getNetworkDetailsResponse"},
        {GET_NETWORK_STATUS_REQUEST, "getNetworkStatusRequest"},
        {GET_NETWORK_STATUS_RESPONSE, "getNetworkStatusResponse"},
        {ENABLE_AUTOCONNECT_REQUEST, "enableAutoconnectRequest"},
        {ENABLE_AUTOCONNECT_RESPONSE, "enableAutoconnectResponse"},
        {GET_CONNECTION_MODE_REQUEST, "getConnectionModeRequest"},
        {GET_CONNECTION_MODE_RESPONSE, "getConnectionModeResponse"},
        {CONNECT_TO_NETWORK_REQUEST, "connectToNetworkRequest"},
        {CONNECT_TO_NETWORK_RESPONSE, "connectToNetworkResponse"},
        {DISCONNECT_REQUEST, "disconnectRequest"},
        {DISCONNECT_RESPONSE, "disconnectResponse"},
        {TURN_OFF_RADIO_REQUEST, "turnOffRadioRequest"},
        {TURN_OFF_RADIO_RESPONSE, "turnOffRadioResponse"},
        {TURN_ON_RADIO_REQUEST, "turnOnRadioRequest"},
        {TURN_ON_RADIO_RESPONSE, "turnOnRadioResponse"},
        {DISABLE_TAMSEL_REQUEST, "disableTamselRequest"},
        {DISABLE_TAMSEL_RESPONSE, "disableTamselResponse"},
        {ENABLE_TAMSEL_REQUEST, "enableTamselRequest"},
        {ENABLE_TAMSEL_RESPONSE, "enableTamselResponse"},
        {ADD_NETWORK_REQUEST, "addNetworkRequest"},
        {ADD_NETWORK_RESPONSE, "addNetworkResponse"},
        {CHANGE_NETWORK_REQUEST, "changeNetworkRequest"},
        {CHANGE_NETWORK_RESPONSE, "changeNetworkResponse"},
        {REMOVE_NETWORK_REQUEST, "removeNetworkRequest"},
        {REMOVE_NETWORK_RESPONSE, "removeNetworkResponse"},
        {ADD_GROUP_REQUEST, "addGroupRequest"},
        {ADD_GROUP_RESPONSE, "addGroupResponse"},
        {REMOVE_GROUP_REQUEST, "removeGroupRequest"},
        {REMOVE_GROUP_RESPONSE, "removeGroupResponse"},
        {GET_SCAN_LIST_REQUEST, "getScanListRequest"},
        {GET_SCAN_LIST_RESPONSE, "getScanListResponse"},
        {SSO_LOGON_POLICY_REQUEST, "ssoLogonPolicyRequest"},
        {SSO_LOGON_POLICY_RESPONSE, "ssoLogonPolicyResponse"},
        {SSO_PRELOGON_ACTIONS_REQUEST, "ssoPrelogonActionsRequest"},
        {SSO_PRELOGON_ACTIONS_RESPONSE, "ssoPrelogonActionsResponse"},
        {SSO_USER_SESSION_ACTIONS_REQUEST, "ssoUserSessionActionsRequest"},
        {SSO_USER_SESSION_ACTIONS_RESPONSE, "ssoUserSessionActionsResponse"},
        {SSO_NO_USER_SESSION_REQUEST, "ssoNoUserSessionRequest"},
        {SSO_NO_USER_SESSION_RESPONSE, "ssoNoUserSessionResponse"},
        {SSO_CHANGE_PASSWORD_REQUEST, "ssoChangePasswordRequest"},
        {SSO_CHANGE_PASSWORD_RESPONSE, "ssoChangePasswordResponse"},
        {SSO_LOGON_CREDENTIALS_CHANGED_REQUEST, "ssoLogonCredentialsChangedRequest"},
        {SSO_LOGON_CREDENTIALS_CHANGED_RESPONSE, "ssoLogonCredentialsChangedResponse"},
        {LOGON_EVENT, "logonEvent"},
        {LOGON_CHANGE_PASSWORD_EVENT, "logonChangePasswordEvent"},
        {GET_USERNAME_AND_PASSWORD_REQUEST, "getUsernameAndPasswordRequest"},
        {GET_USERNAME_AND_PASSWORD_RESPONSE, "getUsernameAndPasswordResponse"},
        {GET_CERTIFICATE_REQUEST, "getCertificateRequest"},
        {GET_CERTIFICATE_RESPONSE, "getCertificateResponse"},
        {GET_SHARED_KEY_REQUEST, "getSharedKeyRequest"},
        {GET_SHARED_KEY_RESPONSE, "getSharedKeyResponse"},
        {GET_LOGON_USERNAME_AND_PASSWORD_REQUEST, "getLogonUsernameAndPasswordRequest"},
        {GET_LOGON_USERNAME_AND_PASSWORD_RESPONSE, "getLogonUsernameAndPasswordResponse"},
        {GET_LOGON_SMART_CARD_PIN_REQUEST, "getLogonSmartCardPinRequest"},
        {GET_LOGON_SMART_CARD_PIN_RESPONSE, "getLogonSmartCardPinResponse"},
        {GET_SMART_CARD_PIN_REQUEST, "getSmartCardPinRequest"},
        {GET_SMART_CARD_PIN_RESPONSE, "getSmartCardPinResponse"},
        {NETWORK_STATE_EVENT, "networkStateEvent"},
        {RESEND_LAST_NETWORK_STATE_EVENT_REQUEST, "resendLastNetworkStateEventRequest"},
        {RESEND_LAST_NETWORK_STATE_EVENT_RESPONSE, "resendLastNetworkStateEventResponse"},
        {CONFIGURATION_CHANGE_EVENT, "configurationChangeEvent"},
        {LOCATION_RESPONSE_EVENT, "locationResponseEvent"},
        {LOCATION_ERROR_EVENT, "locationErrorEvent"},
        {GET_SERVICE_STATE_REQUEST, "getServiceStateRequest"},
        {GET_SERVICE_STATE_RESPONSE, "getServiceStateResponse"},
        {ENABLE_PACKET_CAPTURE_REQUEST, "enablePacketCaptureRequest"},
        {ENABLE_PACKET_CAPTURE_RESPONSE, "enablePacketCaptureResponse"},
        {DISABLE_PACKET_CAPTURE_REQUEST, "disablePacketCaptureRequest"},
        {DISABLE_PACKET_CAPTURE_RESPONSE, "disablePacketCaptureResponse"},
        {GET_ADMINISTRATOR_POLICY_REQUEST, "getAdministratorPolicyRequest"},
        {GET_ADMINISTRATOR_POLICY_RESPONSE, "getAdministratorPolicyResponse"},
        {GET_VPN_CAPABILITIES_REQUEST, "getVpnCapabilitiesRequest"},
        {GET_VPN_CAPABILITIES_RESPONSE, "getVpnCapabilitiesResponse"},
        {CONNECT_VPN_REQUEST, "connectVpnRequest"},
        {CONNECT_VPN_RESPONSE, "connectVpnResponse"},
        {DISCONNECT_VPN_REQUEST, "disconnectVpnRequest"},
        {DISCONNECT_VPN_RESPONSE, "disconnectVpnResponse"},
        {VPN_STATE_EVENT, "vpnStateEvent"},
        {RESEND_LAST_VPN_STATE_EVENT_REQUEST, "resendLastVpnStateEventRequest"},
        {RESEND_LAST_VPN_STATE_EVENT_RESPONSE, "resendLastVpnStateEventResponse"},
        {GET_VPN_CREDENTIALS_REQUEST, "getVpnCredentialsRequest"},
        {GET_VPN_CREDENTIALS_RESPONSE, "getVpnCredentialsResponse"},
        {GET_BANNER_REQUEST, "getBannerRequest"},
        {GET_BANNER_RESPONSE, "getBannerResponse"},
        {UNKNOWN_REQUEST, "unknownRequest"},
        {FAULT, "SOAP-ENV:Fault"},
    };

    // The element name of a command; null outside the table.
    static constexpr const char* name(std::int32_t command) {
        return command >= 1 && command <= COUNT ? TABLE[command - 1].name : nullptr;
    }
};
