#pragma once
// Builders of stored credential texts and PAC files made with libcrypto directly, not with the code
// under test, so that a reader is checked against an independent writer. The fuzz seeds come from
// the same builders.
#include <cstdint>
#include <string>
#include <vector>

namespace tamsel::test {

using Bytes = std::string;

Bytes hexBytes(const std::string& hex);
Bytes be16(unsigned value);
Bytes be32(std::uint32_t value);
Bytes le32(std::uint32_t value);

// The serial form of a byte-array vector: a count, then each element's length and bytes (little-endian).
Bytes vectorBytes(const std::vector<Bytes>& elements);
// A stored PAC record: eight words, the five fields, two lifetime ints and the reserved word.
Bytes pacRecordBytes(const Bytes& key, const Bytes& opaque, const Bytes& aid, const Bytes& iid,
                     const Bytes& aidInfo, std::uint32_t lifetime, std::uint32_t pacType);

// The AES stored text of a plain vector under the built-in key: IV, cipher text of the zero-padded
// block, the protection byte and the CRC. The length word may be given to lie.
Bytes aesStoredText(const Bytes& plain, const Bytes& iv, int protectionByte = 3, long lengthWord = -1);
// The plain block an AES stored text holds (padded) or a data-protection text holds (not padded).
Bytes plainBlock(const Bytes& plain, bool padded, long lengthWord = -1);

// A TLV: 16-bit type, 16-bit length (the value's unless given), value.
Bytes tlv(unsigned type, const Bytes& value, long declaredLength = -1);

struct PacParts {
    Bytes key = Bytes(32, '\x11');
    Bytes opaque = Bytes(48, '\x22');
    Bytes aid = hexBytes("0123456789abcdef0123456789abcdef");
    Bytes iid = "alice";
    Bytes aidInfo = "Office authenticator";
    long lifetime = -1;  // no PAC-Lifetime TLV
    long pacType = -1;   // no PAC-Type TLV
};
// The outer PAC TLV (type 11) of the parts: key, opaque, then the PAC-Info.
Bytes pacTlv(const PacParts& parts);

struct PacFileOptions {
    std::string password = "pac password";
    int defaultKeyFlag = 0;
    unsigned cipherSuite = 1;
    Bytes iv = Bytes(16, '\x5a');
    // Plain bytes enciphered after the outer TLV (e.g. to reach a block boundary differently).
    Bytes trailing;
    bool corruptBlobCheck = false;
};
// A PAC file around the blob, zero-padded to whole blocks, with both checks computed.
Bytes pacFile(const Bytes& outerTlv, const PacFileOptions& options = {});
// The AES key of a PAC file's password (the built-in key for an empty one).
Bytes pacFileKey(const std::string& password);

}  // namespace tamsel::test
