#pragma once
// The stored form of a PAC's fields: eight little-endian 32-bit words (the lengths of the key,
// opaque, A-ID, I-ID and A-ID-Info, the sizes of the two lifetime ints, the PAC type), the five
// fields back to back, the two lifetime ints and a reserved word.
#include "vel/credmgr/PacFields.h"

class PacRecord {
public:
    static constexpr std::int32_t HEADER_SIZE = 32;
    static constexpr std::int32_t LIFETIME_INT_SIZE = 4;

    static ByteArray serialize(const PacFields& fields);
    // False, leaving `out` untouched, when the record is too short for its own lengths.
    static bool deserialize(const ByteArray& record, PacFields& out);
};
