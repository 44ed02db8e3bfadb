#pragma once
// What a group or network request changed, put back when the user's file could not be saved: the
// user would otherwise see a change that the next start has lost.
#include <cstdint>

#include "vel/configuration/Configuration.h"
#include "vel/network/Network.h"
#include "vel/string/Ascii.h"
#include "vel/string/ByteArray.h"

class UserChangeUndo {
public:
    // The index of the group among the configuration's groups; -1 when it is not there.
    static std::int32_t indexOfGroup(const Configuration& configuration, const NetworkGroup& group);
    // The group back at its index.
    static void placeGroup(const Configuration& configuration, const NetworkGroup& group, std::int32_t index);
    // The network back into the group at its index, started as an added network is.
    static void placeNetwork(const Configuration& configuration, const Ascii& groupName,
                             const Network& network, std::int32_t index);
};

// The settings of a user's network that a change request may touch, to be set back as they were.
class NetworkSettingsSnapshot {
public:
    explicit NetworkSettingsSnapshot(const Network& network);
    // The network's settings as taken; its access starts again when the change had touched it.
    void restore(bool accessChanged) const;

private:
    Network m_network;
    Ascii m_name;
    bool m_global;
    ByteArray m_ssid;
    std::int32_t m_association;
    std::int32_t m_encryption;
    bool m_8021x;
    Ascii m_script;
    AuthenticationParameters m_user;
    std::int32_t m_credentialStorage;
    std::int32_t m_allowedCertificateSource;
    std::int32_t m_smartCardPinStorage;
    bool m_extendBeyondLogoff;
    bool m_furtherFlag2;
};
