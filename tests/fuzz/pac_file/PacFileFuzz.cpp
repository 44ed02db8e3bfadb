// A PAC file as given (first byte 0), or the input taken as the deciphered blob and sealed into a
// file under a known password (first byte 1), so that the TLV walk sees the fuzzer's bytes.
#include <cstdint>
#include <string>

#include "tests/fuzz/FuzzEnvironment.h"
#include "tests/vel/credmgr/CredentialFixtures.h"
#include "vel/credmgr/PacFile.h"
#include "vel/exception/CredentialException.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    tamsel::fuzz::startEngineRuntime();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1 || size > 65536) return 0;
    const std::string input(reinterpret_cast<const char*>(data) + 1, size - 1);
    tamsel::test::PacFileOptions options;
    const std::string file = data[0] & 1 ? tamsel::test::pacFile(input, options) : input;
    try {
        const PacFields fields = PacFile::readPacFromFile(
            ByteArray(file.data(), static_cast<std::int32_t>(file.size())), Ascii(options.password.c_str()));
        // A taken PAC's opaque is a whole TLV of the blob.
        if (fields.opaque.length() < PacFile::TLV_HEADER_SIZE) __builtin_trap();
    } catch (const CredentialException&) {
    }
    return 0;
}
