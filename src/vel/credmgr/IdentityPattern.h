#pragma once
// Builds an identity from a pattern with the wildcards "[username]" and "[domain]", filled from an
// identity "user@domain" (without "@", all of it is the user part).
#include "vel/string/Ascii.h"

class IdentityPattern {
public:
    static Ascii expand(const Ascii& identity, const Ascii& pattern);
};
