#pragma once
// The group and network messages: the group list, the active group, the networks of a group, and
// adding, changing and removing networks and groups.
#include <cstdint>
#include <optional>
#include <vector>

#include "vel/connapi/SoapBodyContext.h"
#include "vel/string/Ascii.h"
#include "vel/string/AsciiVector.h"
#include "vel/string/ByteArray.h"

// A static key of an added or changed network.
struct StaticKeyRecord {
    static constexpr std::int32_t KIND_NONE = 0;
    static constexpr std::int32_t KIND_BINARY = 1;
    static constexpr std::int32_t KIND_ASCII = 2;

    ByteArray bytes;
    std::int32_t kind = KIND_NONE;
    // 5 or 13 for a WEP key, from the child it came in; 0 otherwise.
    std::int32_t length = 0;
};

// The settings an add or change request may carry from ssid on, each with whether it was given.
struct NetworkSettingsRecord {
    bool hasSsid = false;
    ByteArray ssid;
    bool hasAssociation = false;
    std::int32_t association = 0;
    std::int32_t encryption = 1;
    StaticKeyRecord key;
    bool hasVpn = false;
    Ascii connectionEntry;
    bool autoConnectVpn = false;
    // EAP method (EAP_TYPE) and credential type (1 password, 2 certificate, 3 token); 0 when absent.
    std::int32_t eapMethod = 0;
    std::int32_t credentialType = 0;
    bool hasScript = false;
    Ascii script;
};

struct AddNetworkRequestRecord {
    Ascii groupName;
    Ascii networkName;
    // 1 wired, 2 wifi.
    std::int32_t media = 0;
    NetworkSettingsRecord settings;
};

struct ChangeNetworkRequestRecord {
    Ascii groupName;
    Ascii networkName;
    // Empty when not given.
    Ascii newGroupName;
    Ascii newNetworkName;
    // 1 bottom, 2 top, 3 increment, 4 decrement; 0 when not given.
    std::int32_t priority = 0;
    // 1 wired, 2 wifi; 0 when not given.
    std::int32_t media = 0;
    NetworkSettingsRecord settings;
};

struct GroupAndNetworkRecord {
    Ascii groupName;
    Ascii networkName;
};

// One network of a getNetworksInGroupResponse.
struct NetworkListEntry {
    Ascii networkName;
    // 1 user, 2 administrator.
    std::int32_t creator = 1;
    // 1 wired, 2 wifi.
    std::int32_t media = 1;
    bool isGlobal = false;
    // Empty for a network without SSID, which then has no association either.
    ByteArray ssid;
    std::int32_t association = 0;
    std::int32_t encryption = 1;
    bool hasVpn = false;
    Ascii connectionEntry;
    bool autoConnectVpn = false;
    std::optional<std::int32_t> eapMethod;
    // Written only with an EAP method.
    std::optional<std::int32_t> credentialType;
    Ascii script;
};

// A name or text over its length in ConnApiLimitConstants does not read (fault 9).
class NetworkBodies {
public:
    // getGroupsResponse.
    static void writeGroupList(const SoapBodyContext& context, const AsciiVector& groupNames);
    // getActiveGroupResponse, setActiveGroupResponse, addGroupResponse, removeGroupResponse.
    static void writeGroupName(const SoapBodyContext& context, const Ascii& groupName);
    // setActiveGroupRequest, getNetworksInGroupRequest, addGroupRequest, removeGroupRequest.
    static Ascii readGroupName(const SharedXmlNode& element);
    // getNetworksInGroupResponse: the entries as given (the handler keeps to the first 100).
    static void writeNetworksInGroup(const SoapBodyContext& context, const Ascii& groupName,
                                     const std::vector<NetworkListEntry>& networks);
    static AddNetworkRequestRecord readAddNetworkRequest(const SharedXmlNode& element);
    static ChangeNetworkRequestRecord readChangeNetworkRequest(const SharedXmlNode& element);
    // removeNetworkRequest.
    static GroupAndNetworkRecord readGroupAndNetwork(const SharedXmlNode& element);
    // addNetworkResponse, removeNetworkResponse.
    static void writeGroupAndNetwork(const SoapBodyContext& context, const Ascii& groupName,
                                     const Ascii& networkName);
    // changeNetworkResponse: newGroupName only when the network moved.
    static void writeChangeNetworkResponse(const SoapBodyContext& context, const Ascii& groupName,
                                           const Ascii& newGroupName, const Ascii& networkName);
};
