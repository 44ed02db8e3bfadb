// The service's handler table. Each handler lands with its row; a row names the command, the kind
// of handler, its factory and its arrival line exactly as logged.
#include "vel/ipcmsghandlers/AddGroupHandler.h"
#include "vel/ipcmsghandlers/AddNetworkHandler.h"
#include "vel/ipcmsghandlers/ChangeNetworkHandler.h"
#include "vel/ipcmsghandlers/ConnectToNetworkHandler.h"
#include "vel/ipcmsghandlers/DisableClientHandler.h"
#include "vel/ipcmsghandlers/DisablePacketCaptureHandler.h"
#include "vel/ipcmsghandlers/DisableRadioHandler.h"
#include "vel/ipcmsghandlers/DisconnectHandler.h"
#include "vel/ipcmsghandlers/EnableAutoconnectHandler.h"
#include "vel/ipcmsghandlers/EnableClientHandler.h"
#include "vel/ipcmsghandlers/EnablePacketCaptureHandler.h"
#include "vel/ipcmsghandlers/EnableRadioHandler.h"
#include "vel/ipcmsghandlers/GetActiveGroupHandler.h"
#include "vel/ipcmsghandlers/GetAdministratorPolicyHandler.h"
#include "vel/ipcmsghandlers/GetConnectionModeHandler.h"
#include "vel/ipcmsghandlers/GetGroupsHandler.h"
#include "vel/ipcmsghandlers/GetNetworksInGroupHandler.h"
#include "vel/ipcmsghandlers/GetScanListHandler.h"
#include "vel/ipcmsghandlers/GetServiceStateHandler.h"
#include "vel/ipcmsghandlers/HandlerTable.h"
#include "vel/ipcmsghandlers/RemoveGroupHandler.h"
#include "vel/ipcmsghandlers/RemoveNetworkHandler.h"
#include "vel/ipcmsghandlers/ResendNetworkStateEventHandler.h"
#include "vel/ipcmsghandlers/SetActiveGroupHandler.h"
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
    {ConnApiMessages::UNKNOWN_REQUEST, HandlerKind::REQUEST, &makeHandler<UnknownRequestHandlerImpl>,
     nullptr},
};

}  // namespace

const HandlerTable& HandlerTable::service() {
    static const HandlerTable table(SERVICE_HANDLER_ROWS);
    return table;
}
