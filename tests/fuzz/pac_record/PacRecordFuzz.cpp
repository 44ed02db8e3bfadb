// A stored PAC record read directly (first byte 0), or inside a sealed stored PAC (first byte 1).
// A record that reads must write back to a record that reads to the same fields.
#include <cstdint>

#include "tests/fuzz/FuzzEnvironment.h"
#include "vel/credmgr/Credential.h"
#include "vel/credmgr/CredentialPacImpl.h"
#include "vel/credmgr/PacRecord.h"
#include "vel/credmgr/StoredCredentialText.h"

namespace {

bool same(const PacFields& a, const PacFields& b) {
    return a.key == b.key && a.opaque == b.opaque && a.aid == b.aid && a.iid == b.iid &&
           a.aidInfo == b.aidInfo && a.lifetime.first == b.lifetime.first &&
           a.lifetime.second == b.lifetime.second && a.pacType == b.pacType;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    tamsel::fuzz::startEngineRuntime();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1 || size > 65536) return 0;
    const ByteArray record(data + 1, static_cast<std::int32_t>(size - 1));
    PacFields fields;
    if (data[0] & 1) {
        ByteArrayVector vector;
        vector.add(ByteArray("Pac"));
        vector.add(ByteArray("Disc"));
        vector.add(record);
        ByteArray stored;
        if (!StoredCredentialText::protectAes(vector.serialize(), stored)) __builtin_trap();
        const Credential pac = Credential::newPac(false, stored, "");
        fields = static_cast<CredentialPacImpl*>(pac.impl())->fields();
        pac.expired();
    } else if (!PacRecord::deserialize(record, fields)) {
        return 0;
    }
    PacFields again;
    if (!PacRecord::deserialize(PacRecord::serialize(fields), again) || !same(fields, again))
        __builtin_trap();
    return 0;
}
