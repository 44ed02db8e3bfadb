#pragma once
// The saved credentials of the internal file, grouped like the configuration's groups: per group
// entry its networks, per network its stored credential texts (opaque here).
#include <cstdint>
#include <vector>

#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"
#include "vel/string/Ascii.h"
#include "vel/string/ByteArray.h"

class XmlCredentialsNetworkImpl : public ReferenceImpl {
public:
    Ascii m_networkName;
    std::vector<ByteArray> m_credentials;
};

class XmlCredentialsNetwork : public Reference {
public:
    XmlCredentialsNetwork() = default;
    static XmlCredentialsNetwork create(const Ascii& networkName) {
        XmlCredentialsNetwork network(new XmlCredentialsNetworkImpl);
        network.impl()->m_networkName = networkName;
        return network;
    }

    XmlCredentialsNetworkImpl* impl() const {
        return static_cast<XmlCredentialsNetworkImpl*>(static_cast<ReferenceImpl*>(m));
    }

private:
    explicit XmlCredentialsNetwork(XmlCredentialsNetworkImpl* created)
        : Reference(created, Reference::TAKE_OVER) {}
};

class XmlCredentialsGroupImpl : public ReferenceImpl {
public:
    static constexpr std::int32_t KIND_GLOBAL_CREDENTIALS = 1;
    static constexpr std::int32_t KIND_GLOBAL_NETWORKS = 2;
    static constexpr std::int32_t KIND_GROUP = 3;

    Ascii m_name;
    std::int32_t m_kind = 0;
    std::vector<XmlCredentialsNetwork> m_networks;
};

class XmlCredentialsGroup : public Reference {
public:
    XmlCredentialsGroup() = default;
    static XmlCredentialsGroup create(const Ascii& name, std::int32_t kind) {
        XmlCredentialsGroup group(new XmlCredentialsGroupImpl);
        group.impl()->m_name = name;
        group.impl()->m_kind = kind;
        return group;
    }

    XmlCredentialsGroupImpl* impl() const {
        return static_cast<XmlCredentialsGroupImpl*>(static_cast<ReferenceImpl*>(m));
    }

private:
    explicit XmlCredentialsGroup(XmlCredentialsGroupImpl* created)
        : Reference(created, Reference::TAKE_OVER) {}
};

// The entries of one internal file. The global networks' entry (kind 2) is written only when its
// writer set the flag as it added it; the reader leaves the flag false.
struct XmlCredentialsEntries {
    std::vector<XmlCredentialsGroup> groups;
    bool hasGlobalNetworks = false;
    // The logged-on user's session reference; 0: none, and nothing is written.
    std::int32_t userSessionReference = 0;
};
