#pragma once
// One group of networks as the files give it; the global group has no name and its networks run
// in every group.
#include <vector>

#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"
#include "vel/string/Ascii.h"
#include "vel/xml/XmlNetwork.h"

class XmlNetworkGroupImpl : public ReferenceImpl {
public:
    Ascii m_name;
    std::vector<XmlNetwork> m_networks;
    bool m_allowUserToSeeScanlist = false;
    bool m_global = false;
};

class XmlNetworkGroup : public Reference {
public:
    XmlNetworkGroup() = default;
    static XmlNetworkGroup create() { return XmlNetworkGroup(new XmlNetworkGroupImpl); }

    XmlNetworkGroupImpl* impl() const {
        return static_cast<XmlNetworkGroupImpl*>(static_cast<ReferenceImpl*>(m));
    }

private:
    explicit XmlNetworkGroup(XmlNetworkGroupImpl* created) : Reference(created, Reference::TAKE_OVER) {}
};
