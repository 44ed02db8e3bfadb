#include <gtest/gtest.h>

#include "tests/vel/basevaluessupport/BaseValuesTestSupport.h"
#include "tests/vel/credmgr/CredentialFixtures.h"
#include "vel/credmgr/PacRecord.h"

namespace tamsel::test {
namespace {

Bytes bytesOf(const ByteArray& array) {
    return Bytes(array.text(), array.length());
}

ByteArray arrayOf(const Bytes& bytes) {
    return ByteArray(bytes.data(), static_cast<std::int32_t>(bytes.size()));
}

PacFields sample() {
    PacFields fields;
    fields.key = ByteArray("KEYKEYKEY");
    fields.opaque = ByteArray("OPAQUE");
    fields.aid = ByteArray("AID");
    fields.iid = "I";
    fields.aidInfo = "INFO";
    fields.lifetime = {1900000000, 7};
    fields.pacType = 2;
    return fields;
}

TEST(PacRecordTest, RoundTripAndLayout) {
    const Bytes record = bytesOf(PacRecord::serialize(sample()));
    const Bytes expected = le32(9) + le32(6) + le32(3) + le32(1) + le32(4) + le32(4) + le32(4) + le32(2) +
                           "KEYKEYKEYOPAQUEAIDIINFO" + le32(1900000000) + le32(7) + le32(0);
    EXPECT_EQ(record, expected);

    PacFields read;
    ASSERT_TRUE(PacRecord::deserialize(arrayOf(record), read));
    EXPECT_EQ(bytesOf(read.key), "KEYKEYKEY");
    EXPECT_EQ(bytesOf(read.opaque), "OPAQUE");
    EXPECT_EQ(bytesOf(read.aid), "AID");
    EXPECT_STREQ(read.iid.text(), "I");
    EXPECT_STREQ(read.aidInfo.text(), "INFO");
    EXPECT_EQ(read.lifetime.first, 1900000000);
    EXPECT_EQ(read.lifetime.second, 7);
    EXPECT_EQ(read.pacType, 2);

    // The reserved word is ignored, present or not.
    ASSERT_TRUE(PacRecord::deserialize(arrayOf(record.substr(0, record.size() - 4)), read));
    EXPECT_EQ(read.lifetime.second, 7);
}

TEST(PacRecordTest, LengthsThatOverrunTheRecordAreRefused) {
    const Bytes good = bytesOf(PacRecord::serialize(sample()));
    auto withWord = [&](int index, std::uint32_t value) {
        Bytes record = good;
        record.replace(4 * index, 4, le32(value));
        return record;
    };
    const struct {
        const char* name;
        Bytes record;
    } rows[] = {
        {"empty", ""},
        {"header cut", good.substr(0, 31)},
        {"second lifetime int cut", good.substr(0, good.size() - 5)},
        {"key one byte too long", withWord(0, 10 + 8)},
        {"huge opaque", withWord(1, 0x7FFFFFFF)},
        // Five lengths whose 32-bit sum wraps to a small number.
        {"lengths wrapping in 32 bits", withWord(2, 0xFFFFFFF0)},
        {"negative I-ID", withWord(3, 0xFFFFFFFF)},
    };
    for (const auto& row : rows) {
        PacFields read = sample();
        EXPECT_FALSE(PacRecord::deserialize(arrayOf(row.record), read)) << row.name;
        EXPECT_EQ(read.pacType, 2) << row.name;  // untouched
    }
}

}  // namespace
}  // namespace tamsel::test
