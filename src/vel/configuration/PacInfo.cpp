#include "vel/configuration/PacInfo.h"

#include "vel/string/ByteArray.h"

PacInfo PacInfo::create(const Ascii& pacText, const Ascii& secretKey, bool persistent) {
    // The credential first: a refused file leaves nothing half made.
    Credential pac = Credential::newPac(!persistent, ByteArray::fromBase64(pacText), secretKey);
    PacInfo info;
    static_cast<Reference&>(info) =
        Reference(new PacInfoImpl(pacText, secretKey, persistent, pac), Reference::TAKE_OVER);
    return info;
}
