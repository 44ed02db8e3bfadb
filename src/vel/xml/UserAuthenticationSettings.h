#pragma once

#include <cstdint>

#include "vel/network/Network.h"
#include "vel/xml/XmlAuthenticationRecord.h"

// The user authentication settings of a network added or changed through the connection API: the
// given method asking the user for the given kind of credential (1 password, 2 certificate,
// 3 token), with the inner method that kind needs in a tunnel.
XmlAuthenticationRecord userAuthenticationSettingsRecord(std::int32_t type, std::int32_t credentialKind);
// Applies that record to the network's user authentication parameters, then the network's
// credential collection defaults. Raises XmlException for a type no method has.
void createUserAuthenticationSettings(std::int32_t type, std::int32_t credentialKind, const Network& network);
