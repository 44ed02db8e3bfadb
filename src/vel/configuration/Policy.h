#pragma once
// The administrator's policy held by every configuration, and the checks that walk a group's
// networks against it. The checks never throw: each violation is a log line and a false result.
#include <cstdint>

#include "vel/configuration/NetworkPolicy.h"
#include "vel/configuration/UserControlPolicy.h"
#include "vel/reference/ElementVector.h"
#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"

class AuthenticationMethod;
class Network;
class NetworkGroup;

class PolicyImpl : public ReferenceImpl {
public:
    UserControlPolicy m_userControlPolicy = UserControlPolicy::create();
    NetworkPolicy m_networkPolicy = NetworkPolicy::create();
};

class Policy : public Reference {
public:
    Policy() = default;
    static Policy create();

    UserControlPolicy userControlPolicy() const { return impl()->m_userControlPolicy; }
    void setUserControlPolicy(const UserControlPolicy& policy) const { impl()->m_userControlPolicy = policy; }
    NetworkPolicy networkPolicy() const { return impl()->m_networkPolicy; }
    void setNetworkPolicy(const NetworkPolicy& policy) const { impl()->m_networkPolicy = policy; }

    bool isEapMethodAllowed(std::int32_t authenticationType) const;
    bool isMethodAllowed(const AuthenticationMethod& method) const;
    // Every method is tested, also after one failed.
    bool areMethodsAllowed(ElementVector methods) const;
    // A wireless network's association mode, and the methods of the connection types it allows.
    // A network a user added is told from static WEP by its 802.1X flag, as the allowed entry
    // is by the name it was read from; an administrator's network by its pair alone.
    bool checkNetworkAgainstPolicy(const Network& network) const;
    // Every network, and no two of one name.
    bool checkGroupNetworks(const NetworkGroup& group) const;

    PolicyImpl* impl() const { return static_cast<PolicyImpl*>(static_cast<ReferenceImpl*>(m)); }

private:
    bool isAssociationModeAllowed(const Network& network) const;
};
