#pragma once
// The two lookups of machine authentication: the machine account's password, kept by the
// operating system as the private data "$machine.acc", and the computer's fully qualified name.
// Neither throws: a failed call is logged and the password or the name stays empty.
#include "platform/win/WinAccount.h"
#include "vel/string/Ascii.h"

class Network;

class MachineAccount {
public:
    static constexpr const char16_t* PASSWORD_KEY = u"$machine.acc";
    // Characters a counted wide text can hold with room for its NUL.
    static constexpr int MAX_LSA_STRING_CHARACTERS = 32766;

    // Reads the machine account's password into the network's machine credentials; on a
    // failure nothing is set.
    static void retrieveMachinePassword(const Network& network);
    // Points the counted text at the given text itself, without copying; false (target untouched)
    // without a target or for a text longer than MAX_LSA_STRING_CHARACTERS.
    static bool wcStringToLsaString(winaccount::LSA_UNICODE_STRING* target, const char16_t* text);
    // The fully qualified DNS name, or "".
    static Ascii computerName();
};
