#pragma once
// The VPN library's result codes and states as the service logs them, and what each error means
// to the VPN manager.
#include "vel/vpn/VpnClientEvent.h"

// "UnknownIpSecErr" for a code the library does not define.
const char* IpSecErrorToText(int code);
// "UnknownState" for a state the library does not define.
const char* IpSecStateToText(int state);

// The client event of a library error (logged); CLIENT_NONE for the errors that are no failure.
VpnClientEvent IpSecErrorToClientEvent(int code);
