// The plain text of a pre-shared key an older release stored, sealed as it was, then converted.
#include <cstdint>

#include "tests/fuzz/FuzzEnvironment.h"
#include "vel/credmgr/Credential.h"
#include "vel/credmgr/CredentialProxy.h"
#include "vel/credmgr/StoredCredentialText.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    tamsel::fuzz::startEngineRuntime();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 4096) return 0;
    ByteArray stored;
    if (!StoredCredentialText::protectAes(ByteArray(data, static_cast<std::int32_t>(size)), stored))
        __builtin_trap();
    CredentialProxy converted = Credential::convertLegacyPsk(stored, ByteArray("ssid"));
    if (converted.exists()) {
        const Credential key = converted.credential();
        if (key.type() != 3 && key.type() != 4) __builtin_trap();
        key.psk();
    }
    return 0;
}
