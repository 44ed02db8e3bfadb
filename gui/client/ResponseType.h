#pragma once

#include <QMetaType>

// The kind of a message received from the service: the row of its name in the service client's
// table of replies, events and requests, or Unknown when no name matched.
enum class ResponseType : int {
    Unknown = -1,
    Fault = 0,
    GetGroupsResponse = 1,
    GetActiveGroupResponse = 2,
    SetActiveGroupResponse = 3,
    GetNetworksInGroupResponse = 4,
    GetScanListResponse = 5,
    NetworkStateEvent = 6,
    GetNetworkDetailsResponse = 7,
    AddNetworkResponse = 8,
    ChangeNetworkResponse = 9,
    RemoveNetworkResponse = 10,
    GetUsernameAndPasswordRequest = 11,
    GetVpnCredentialsRequest = 12,
    GetCertificateRequest = 13,
    GetConnectionModeResponse = 14,
    AddGroupResponse = 15,
    GetSmartCardPinRequest = 16,
    LogonEvent = 17,
    RemoveGroupResponse = 18,
    ConfigurationChangeEvent = 19,
    ResendLastNetworkStateEventResponse = 20,
    DisconnectVpnResponse = 21,
    DisableTamselResponse = 22,
    EnableTamselResponse = 23,
    GetServiceStateResponse = 24,
    GetAdministratorPolicyResponse = 25,
    GetVpnCapabilitiesResponse = 26,
    GetLocationCapabilitiesResponse = 27,
    LocationResponseEvent = 28,
    VpnStateEvent = 29,
    GetBannerRequest = 30
};

Q_DECLARE_METATYPE(ResponseType)
