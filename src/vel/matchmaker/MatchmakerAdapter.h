#pragma once
// An adapter as the matchmaker keeps it: the adapter, whether the matchmaker manages it, whether it
// is matched with a network and what it last said of its link; the adapters of one media type in
// the order they arrived, and whether the user-control policy supports that media type.
#include <cstdint>

#include "vel/adapter/VelAdapter.h"
#include "vel/matchmaker/MatchmakerList.h"
#include "vel/reference/HandleOf.h"
#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"

class MatchmakerAdapterImpl : public ReferenceImpl {
public:
    static constexpr std::int32_t LINK_UNKNOWN = 0;
    static constexpr std::int32_t LINK_DOWN = 1;
    static constexpr std::int32_t LINK_UP = 2;

    explicit MatchmakerAdapterImpl(const VelAdapter& adapter) : m_adapter(adapter) {}

    // Lets the adapter go with the last reference.
    VelAdapter m_adapter;
    bool m_managed = false;
    bool m_isMatched = false;
    std::int32_t m_linkStatus = LINK_UNKNOWN;
};

class MatchmakerAdapter : public Reference {
public:
    MatchmakerAdapter() = default;
    static MatchmakerAdapter create(const VelAdapter& adapter);

    VelAdapter adapter() const { return impl()->m_adapter; }
    bool isManaged() const { return impl()->m_managed; }
    void setManaged(bool managed) const { impl()->m_managed = managed; }
    bool getIsMatched() const { return impl()->m_isMatched; }
    void setIsMatched(bool matched) const { impl()->m_isMatched = matched; }
    std::int32_t linkStatus() const { return impl()->m_linkStatus; }
    void setLinkStatus(std::int32_t status) const { impl()->m_linkStatus = status; }
    // Managed, free, and for a wired adapter with its link up: a wired network needs a cable.
    bool isAvailable() const;

    MatchmakerAdapterImpl* impl() const {
        return static_cast<MatchmakerAdapterImpl*>(static_cast<ReferenceImpl*>(m));
    }
};

class MatchmakerAdapterProxy : public HandleProxy<MatchmakerAdapter> {
public:
    using HandleProxy<MatchmakerAdapter>::HandleProxy;
    // Asserts "m_usable": the finder found one and it was tested.
    MatchmakerAdapter matchmakerAdapter() const { return held(); }
    void setMatchmakerAdapter(const MatchmakerAdapter& adapter) { hold(adapter, "matchmakerAdapter.m"); }
};

class MatchmakerAdapterList : public MatchmakerList<MatchmakerAdapter> {
public:
    // An empty proxy when the adapter is not in the list.
    MatchmakerAdapterProxy find(const VelAdapter& adapter) const;
    // Only a supported media type offers its adapters.
    bool hasAvailableAdapter() const { return m_supported && hasAvailable(); }

    bool m_supported = false;
};
