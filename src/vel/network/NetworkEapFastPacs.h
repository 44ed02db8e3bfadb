#pragma once
// The EAP-FAST PACs a network keeps: which stored PAC answers the library's authority, and which
// PACs the network asks the server to provision in a session.
#include <cstdint>
#include <functional>
#include <vector>

#include "vel/credmgr/CredentialProxy.h"
#include "vel/reference/ElementVector.h"
#include "vel/string/Ascii.h"
#include "vel/string/ByteArray.h"

class NetworkEapFastPacs {
public:
    // The library's PAC types.
    static constexpr std::int32_t TUNNEL = 1;
    static constexpr std::int32_t MACHINE = 2;

    // The first saved PAC of the type for the authority and identity; empty when none.
    static CredentialProxy find(ElementVector savedPacs, std::int32_t pacType, const ByteArray& aid,
                                const Ascii& iid);

    struct TypesQuery {
        // The current connection type's top method provisions PACs at all.
        bool topUsesPac = false;
        std::int32_t allowedConnectionTypes = 0;
        std::int32_t connectionType = 0;
        // Both top methods (machine and user) are EAP-FAST and the machine's uses PACs.
        bool machinePacForUser = false;
        // Whether a PAC of a type is stored for the authority.
        std::function<bool(std::int32_t pacType)> stored;
    };
    // The PAC types to request, with their lines.
    static std::vector<std::int32_t> typesToRequest(const TypesQuery& query);
};
