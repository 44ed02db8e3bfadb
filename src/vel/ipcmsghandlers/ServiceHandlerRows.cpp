// The service's handler table. Each handler lands with its row; a row names the command, the kind
// of handler, its factory and its arrival line exactly as logged.
#include "vel/ipcmsghandlers/AddGroupHandler.h"
#include "vel/ipcmsghandlers/AddNetworkHandler.h"
#include "vel/ipcmsghandlers/ChangeNetworkHandler.h"
#include "vel/ipcmsghandlers/ConnectToNetworkHandler.h"
#include "vel/ipcmsghandlers/ConnectVpnHandler.h"
#include "vel/ipcmsghandlers/DisableClientHandler.h"
#include "vel/ipcmsghandlers/DisablePacketCaptureHandler.h"
#include "vel/ipcmsghandlers/DisableRadioHandler.h"
#include "vel/ipcmsghandlers/DisconnectHandler.h"
#include "vel/ipcmsghandlers/DisconnectVpnHandler.h"
#include "vel/ipcmsghandlers/EnableAutoconnectHandler.h"
#include "vel/ipcmsghandlers/EnableClientHandler.h"
#include "vel/ipcmsghandlers/EnablePacketCaptureHandler.h"
#include "vel/ipcmsghandlers/EnableRadioHandler.h"
#include "vel/ipcmsghandlers/GetActiveGroupHandler.h"
#include "vel/ipcmsghandlers/GetAdministratorPolicyHandler.h"
#include "vel/ipcmsghandlers/GetBannerResponseHandler.h"
#include "vel/ipcmsghandlers/GetCertificateResponseHandler.h"
#include "vel/ipcmsghandlers/GetConnectionModeHandler.h"
#include "vel/ipcmsghandlers/GetGroupsHandler.h"
#include "vel/ipcmsghandlers/GetLocationCapabilitiesHandler.h"
#include "vel/ipcmsghandlers/GetLocationRequestHandler.h"
#include "vel/ipcmsghandlers/GetLogonSmartCardPinResponseHandler.h"
#include "vel/ipcmsghandlers/GetLogonUsernamePasswordResponseHandler.h"
#include "vel/ipcmsghandlers/GetNetworksInGroupHandler.h"
#include "vel/ipcmsghandlers/GetScanListHandler.h"
#include "vel/ipcmsghandlers/GetServiceStateHandler.h"
#include "vel/ipcmsghandlers/GetSmartCardPinResponseHandler.h"
#include "vel/ipcmsghandlers/GetUsernamePasswordResponseHandler.h"
#include "vel/ipcmsghandlers/GetVpnCapabilitiesHandler.h"
#include "vel/ipcmsghandlers/GetVpnCredentialsResponseHandler.h"
#include "vel/ipcmsghandlers/HandlerTable.h"
#include "vel/ipcmsghandlers/RemoveGroupHandler.h"
#include "vel/ipcmsghandlers/RemoveNetworkHandler.h"
#include "vel/ipcmsghandlers/ResendNetworkStateEventHandler.h"
#include "vel/ipcmsghandlers/ResendVpnStateEventHandler.h"
#include "vel/ipcmsghandlers/SetActiveGroupHandler.h"
#include "vel/ipcmsghandlers/SsoChangePasswordRequestHandler.h"
#include "vel/ipcmsghandlers/SsoLogonCredentialsChangedHandler.h"
#include "vel/ipcmsghandlers/SsoLogonPolicyHandler.h"
#include "vel/ipcmsghandlers/SsoNoUserSessionActionsHandler.h"
#include "vel/ipcmsghandlers/SsoPrelogonActionsRequestHandler.h"
#include "vel/ipcmsghandlers/SsoUserSessionActionsHandler.h"
#include "vel/ipcmsghandlers/UnknownRequestHandler.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

namespace {

constexpr HandlerRow SERVICE_HANDLER_ROWS[] = {
    {ConnApiMessages::GET_GROUPS_REQUEST, HandlerKind::REQUEST, &makeHandler<GetGroupsHandlerImpl>, nullptr},
    {ConnApiMessages::GET_ACTIVE_GROUP_REQUEST, HandlerKind::REQUEST, &makeHandler<GetActiveGroupHandlerImpl>,
     nullptr},
    {ConnApiMessages::SET_ACTIVE_GROUP_REQUEST, HandlerKind::REQUEST, &makeHandler<SetActiveGroupHandlerImpl>,
     nullptr},
    {ConnApiMessages::GET_NETWORKS_IN_GROUP_REQUEST, HandlerKind::REQUEST,
     &makeHandler<GetNetworksInGroupHandlerImpl>, nullptr},
    {ConnApiMessages::ENABLE_AUTOCONNECT_REQUEST, HandlerKind::REQUEST,
     &makeHandler<EnableAutoconnectHandlerImpl>, nullptr},
    {ConnApiMessages::GET_CONNECTION_MODE_REQUEST, HandlerKind::REQUEST,
     &makeHandler<GetConnectionModeHandlerImpl>, nullptr},
    {ConnApiMessages::CONNECT_TO_NETWORK_REQUEST, HandlerKind::REQUEST,
     &makeHandler<ConnectToNetworkHandlerImpl>, nullptr},
    {ConnApiMessages::DISCONNECT_REQUEST, HandlerKind::REQUEST, &makeHandler<DisconnectHandlerImpl>, nullptr},
    {ConnApiMessages::TURN_OFF_RADIO_REQUEST, HandlerKind::REQUEST, &makeHandler<DisableRadioHandlerImpl>,
     nullptr},
    {ConnApiMessages::TURN_ON_RADIO_REQUEST, HandlerKind::REQUEST, &makeHandler<EnableRadioHandlerImpl>,
     nullptr},
    {ConnApiMessages::DISABLE_TAMSEL_REQUEST, HandlerKind::REQUEST, &makeHandler<DisableClientHandlerImpl>,
     nullptr},
    {ConnApiMessages::ENABLE_TAMSEL_REQUEST, HandlerKind::REQUEST, &makeHandler<EnableClientHandlerImpl>,
     nullptr},
    {ConnApiMessages::ADD_NETWORK_REQUEST, HandlerKind::REQUEST, &makeHandler<AddNetworkHandlerImpl>,
     nullptr},
    {ConnApiMessages::CHANGE_NETWORK_REQUEST, HandlerKind::REQUEST, &makeHandler<ChangeNetworkHandlerImpl>,
     nullptr},
    {ConnApiMessages::REMOVE_NETWORK_REQUEST, HandlerKind::REQUEST, &makeHandler<RemoveNetworkHandlerImpl>,
     nullptr},
    {ConnApiMessages::ADD_GROUP_REQUEST, HandlerKind::REQUEST, &makeHandler<AddGroupHandlerImpl>, nullptr},
    {ConnApiMessages::REMOVE_GROUP_REQUEST, HandlerKind::REQUEST, &makeHandler<RemoveGroupHandlerImpl>,
     nullptr},
    {ConnApiMessages::GET_SCAN_LIST_REQUEST, HandlerKind::REQUEST, &makeHandler<GetScanListHandlerImpl>,
     nullptr},
    {ConnApiMessages::RESEND_LAST_NETWORK_STATE_EVENT_REQUEST, HandlerKind::REQUEST,
     &makeHandler<ResendNetworkStateEventHandlerImpl>, nullptr},
    {ConnApiMessages::GET_SERVICE_STATE_REQUEST, HandlerKind::REQUEST,
     &makeHandler<GetServiceStateHandlerImpl>, nullptr},
    {ConnApiMessages::ENABLE_PACKET_CAPTURE_REQUEST, HandlerKind::REQUEST,
     &makeHandler<EnablePacketCaptureHandlerImpl>, nullptr},
    {ConnApiMessages::DISABLE_PACKET_CAPTURE_REQUEST, HandlerKind::REQUEST,
     &makeHandler<DisablePacketCaptureHandlerImpl>, nullptr},
    {ConnApiMessages::GET_ADMINISTRATOR_POLICY_REQUEST, HandlerKind::REQUEST,
     &makeHandler<GetAdministratorPolicyHandlerImpl>, nullptr},
    {ConnApiMessages::GET_LOCATION_CAPABILITIES_REQUEST, HandlerKind::REQUEST,
     &makeHandler<GetLocationCapabilitiesHandlerImpl>, "Location capabilities request received from user."},
    {ConnApiMessages::GET_LOCATION_REQUEST, HandlerKind::REQUEST, &makeHandler<GetLocationRequestHandlerImpl>,
     "Location request received from user."},
    {ConnApiMessages::SSO_LOGON_POLICY_REQUEST, HandlerKind::REQUEST, &makeHandler<SsoLogonPolicyHandlerImpl>,
     nullptr},
    {ConnApiMessages::SSO_PRELOGON_ACTIONS_REQUEST, HandlerKind::REQUEST,
     &makeHandler<SsoPrelogonActionsRequestHandlerImpl>, nullptr},
    {ConnApiMessages::SSO_USER_SESSION_ACTIONS_REQUEST, HandlerKind::REQUEST,
     &makeHandler<SsoUserSessionActionsHandlerImpl>, nullptr},
    {ConnApiMessages::SSO_NO_USER_SESSION_REQUEST, HandlerKind::REQUEST,
     &makeHandler<SsoNoUserSessionActionsHandlerImpl>, nullptr},
    {ConnApiMessages::SSO_CHANGE_PASSWORD_REQUEST, HandlerKind::REQUEST,
     &makeHandler<SsoChangePasswordRequestHandlerImpl>, nullptr},
    {ConnApiMessages::SSO_LOGON_CREDENTIALS_CHANGED_REQUEST, HandlerKind::REQUEST,
     &makeHandler<SsoLogonCredentialsChangedHandlerImpl>, nullptr},
    {ConnApiMessages::GET_USERNAME_AND_PASSWORD_RESPONSE, HandlerKind::RESPONSE,
     &makeHandler<GetUsernamePasswordResponseHandlerImpl>, "User name and password received from user."},
    {ConnApiMessages::GET_CERTIFICATE_RESPONSE, HandlerKind::RESPONSE,
     &makeHandler<GetCertificateResponseHandlerImpl>, "Certificate received from user."},
    {ConnApiMessages::GET_LOGON_USERNAME_AND_PASSWORD_RESPONSE, HandlerKind::RESPONSE,
     &makeHandler<GetLogonUsernamePasswordResponseHandlerImpl>,
     "User logon and password received from user."},
    {ConnApiMessages::GET_LOGON_SMART_CARD_PIN_RESPONSE, HandlerKind::RESPONSE,
     &makeHandler<GetLogonSmartCardPinResponseHandlerImpl>, "Smartcard pin received from logon."},
    {ConnApiMessages::GET_SMART_CARD_PIN_RESPONSE, HandlerKind::RESPONSE,
     &makeHandler<GetSmartCardPinResponseHandlerImpl>, "Smartcard pin received from user."},
    {ConnApiMessages::GET_VPN_CAPABILITIES_REQUEST, HandlerKind::REQUEST,
     &makeHandler<GetVpnCapabilitiesHandlerImpl>, "VPN capabilities request received from user."},
    {ConnApiMessages::CONNECT_VPN_REQUEST, HandlerKind::REQUEST, &makeHandler<ConnectVpnHandlerImpl>,
     "Connect VPN request received from user."},
    {ConnApiMessages::DISCONNECT_VPN_REQUEST, HandlerKind::REQUEST, &makeHandler<DisconnectVpnHandlerImpl>,
     "Disconnect VPN request received from user."},
    {ConnApiMessages::RESEND_LAST_VPN_STATE_EVENT_REQUEST, HandlerKind::REQUEST,
     &makeHandler<ResendVpnStateEventHandlerImpl>, nullptr},
    {ConnApiMessages::GET_VPN_CREDENTIALS_RESPONSE, HandlerKind::RESPONSE,
     &makeHandler<GetVpnCredentialsResponseHandlerImpl>, "VPN credentials received from user."},
    {ConnApiMessages::GET_BANNER_RESPONSE, HandlerKind::RESPONSE, &makeHandler<GetBannerResponseHandlerImpl>,
     "Banner responce received from user."},
    {ConnApiMessages::UNKNOWN_REQUEST, HandlerKind::REQUEST, &makeHandler<UnknownRequestHandlerImpl>,
     nullptr},
};

}  // namespace

const HandlerTable& HandlerTable::service() {
    static const HandlerTable table(SERVICE_HANDLER_ROWS);
    return table;
}
