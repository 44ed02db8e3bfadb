// A stored credential text as given (first byte 0), or the input taken as the plain vector and
// sealed first (first byte 1), so that the vector reader and every kind's reader see the fuzzer's
// bytes; then the generic constructor and each kind read it.
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
    if (size < 1 || size > 65536) return 0;
    ByteArray text(data + 1, static_cast<std::int32_t>(size - 1));
    if (data[0] & 1) {
        ByteArray sealed;
        if (!StoredCredentialText::protectAes(text, sealed)) __builtin_trap();
        ByteArray plain;
        // What was sealed reads back unchanged.
        if (!StoredCredentialText::decrypt(sealed, plain) || plain != text) __builtin_trap();
        text = sealed;
    }
    const Credential generic(text);
    if (generic.type() < -1 || generic.type() > 6) __builtin_trap();
    Credential::createIdentityFromText(text).identity();
    Credential::createPassword(text).password();
    Credential::createPin(text).pin();
    Credential::createCertificate(text).certificateHash();
    Credential::createAsciiPsk(text).psk();
    Credential::newHexPsk(0, text).psk();
    Credential::newPac(false, text, "").aidInfo();
    Ascii plainText;
    Credential::decryptToText(text, plainText);
    return 0;
}
