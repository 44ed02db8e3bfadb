// Private commands: framing, result bytes, ownership and what owning a binding allows.
#include "tests/driver/DriverFixture.h"

namespace {

using C = FiltConstants;

class PrivateCommandTest : public DriverFixture {};

TEST_F(PrivateCommandTest, ResultBytesAndNdisStatusForSizesAndGroups) {
    LoadWithTwoAdapters();
    auto& owner = Open(20);
    Private(owner, 1, true, Command(C::GROUP_OWNERSHIP, 1, 4, U32(1)));
    auto& other = Open(21);
    struct Case {
        const char* what;
        SimDeviceFile* file;
        bool set;
        Bytes command;
        uint32_t extraRoom;
        int result;  // -1: the command is returned untouched
        uint32_t ndisStatus;
    } cases[] = {
        {"u32 query with room 3", &owner, false, Command(2, 1, 3, Bytes(3, 0)), 0, C::FILT_CMD_TOO_SHORT, 0},
        {"unknown group", &owner, false, Command(4, 0, 4, Bytes(4, 0)), 0, C::FILT_CMD_UNSUPPORTED,
         NDIS_STATUS_NOT_SUPPORTED},
        {"unknown item", &owner, true, Command(2, 7, 0), 0, C::FILT_CMD_UNSUPPORTED,
         NDIS_STATUS_NOT_SUPPORTED},
        {"no room for a header", &owner, false, Bytes{1, 0, 0, 0, 0, 0}, 0, -1, NDIS_STATUS_BUFFER_TOO_SHORT},
        {"data length beyond the room", &owner, true, Command(1, 1, 8, U32(1)), 0, -1,
         NDIS_STATUS_BUFFER_TOO_SHORT},
        {"claim of 3 bytes", &owner, true, Command(1, 1, 3, Bytes(3, 1)), 0, C::FILT_CMD_TOO_SHORT, 0},
        {"claim of 5 bytes", &owner, true, Command(1, 1, 5, Bytes(5, 1)), 0, C::FILT_CMD_TOO_LONG, 0},
        {"claim owned elsewhere", &other, true, Command(1, 1, 4, U32(1)), 0, C::FILT_CMD_NOT_OWNER, 0},
        {"release by a non-owner", &other, true, Command(1, 1, 4, U32(0)), 0, C::FILT_CMD_NOT_OWNER, 0},
        {"claim by the owner again", &owner, true, Command(1, 1, 4, U32(1)), 0, C::FILT_CMD_OK, 0},
        {"EtherTypes of 34 bytes", &owner, true, Command(3, 1, 34, Bytes(34, 0)), 0, C::FILT_CMD_TOO_LONG, 0},
        {"EtherTypes of 3 bytes", &owner, true, Command(3, 1, 3, Bytes(3, 0)), 0, C::FILT_CMD_ODD_LENGTH, 0},
        {"EtherTypes by a non-owner", &other, true, Command(3, 1, 2, Bytes{0x88, 0x8e}), 0,
         C::FILT_CMD_NOT_OWNER, 0},
        {"port of 5 bytes", &owner, true, Command(2, 2, 5, Bytes(5, 0)), 0, C::FILT_CMD_TOO_LONG, 0},
        {"port by a non-owner", &other, true, Command(2, 2, 4, U32(0)), 0, C::FILT_CMD_NOT_OWNER, 0},
        {"raw frame of 19 bytes", &owner, true, Command(3, 2, 19, Bytes(19, 0)), 0, C::FILT_CMD_TOO_SHORT, 0},
        {"reset with odd length", &owner, true, Command(0, 1, 1, Bytes{1}), 0, C::FILT_CMD_ODD_LENGTH, 0},
        {"reset by a non-owner", &other, true, Command(0, 1, 0), 0, C::FILT_CMD_NOT_OWNER, 0},
    };
    for (const auto& c : cases) {
        uint32_t ndisStatus = 0;
        Bytes before = c.command;
        Bytes after = Private(*c.file, 1, c.set, c.command, &ndisStatus, c.extraRoom);
        EXPECT_EQ(ndisStatus, c.ndisStatus) << c.what;
        if (c.result < 0) {
            EXPECT_EQ(after, before) << c.what;
        } else {
            ASSERT_GE(after.size(), 8u) << c.what;
            EXPECT_EQ(after[C::CMD_RESULT], c.result) << c.what;
        }
    }
}

TEST_F(PrivateCommandTest, QueriesAnswerTheBindingState) {
    LoadWithTwoAdapters();
    auto& owner = Open(30);
    Private(owner, 2, true, Command(C::GROUP_OWNERSHIP, 1, 4, U32(1)));
    Private(owner, 2, true, Command(C::GROUP_FRAMES, 1, 4, Bytes{0x88, 0x8e, 0x88, 0xc7}));
    struct Case {
        uint16_t group;
        uint8_t item;
        uint16_t capacity;
        int result;
        Bytes data;
    } cases[] = {
        {0, 0, 4, C::FILT_CMD_OK, U32(1)},    {3, 0, 4, C::FILT_CMD_OK, U32(1)},
        {1, 2, 4, C::FILT_CMD_OK, U32(30)},   {2, 1, 4, C::FILT_CMD_OK, U32(1)},
        {2, 2, 4, C::FILT_CMD_OK, U32(1)},    {3, 1, 4, C::FILT_CMD_OK, Bytes{0x88, 0x8e, 0x88, 0xc7}},
        {3, 1, 3, C::FILT_CMD_TOO_SHORT, {}}, {3, 1, 5, C::FILT_CMD_ODD_LENGTH, {}},
    };
    for (const auto& c : cases) {
        Bytes after = Private(owner, 2, false, Command(c.group, c.item, c.capacity, Bytes(c.capacity, 0)));
        ASSERT_GE(after.size(), 8u);
        EXPECT_EQ(after[C::CMD_RESULT], c.result) << c.group << "/" << int(c.item);
        if (c.result == C::FILT_CMD_OK) {
            uint16_t length = FiltGetU16(after.data(), C::CMD_DATA_LENGTH);
            EXPECT_EQ(Bytes(after.begin() + 8, after.begin() + 8 + length), c.data)
                << c.group << "/" << int(c.item);
        }
    }
}

TEST_F(PrivateCommandTest, OwnerCloseReleasesAndOthersHearOfIt) {
    LoadWithTwoAdapters();
    NTSTATUS openStatus = STATUS_UNSUCCESSFUL;
    auto owner = SimDeviceFile::open(40, &openStatus);
    ASSERT_TRUE(owner);
    auto& watcher = Open(41);
    Bytes claim = Private(*owner, 1, true, Command(C::GROUP_OWNERSHIP, 1, 4, U32(1)));
    ASSERT_EQ(claim[C::CMD_RESULT], C::FILT_CMD_OK);
    EXPECT_EQ(Private(watcher, 1, true, Command(C::GROUP_OWNERSHIP, 1, 4, U32(1)))[C::CMD_RESULT],
              C::FILT_CMD_NOT_OWNER);
    Drain(watcher);
    owner->close();
    auto records = Drain(watcher);
    ASSERT_EQ(records.size(), 1u);
    const uint8_t* body = records[0].bytes.data() + C::STATUS_BODY;
    EXPECT_EQ(FiltGetU16(body, C::CMD_GROUP), C::GROUP_OWNERSHIP);
    EXPECT_EQ(FiltGetU16(body, C::CMD_SIZE), 12);
    EXPECT_EQ(FiltGetU32(body, C::CMD_DATA), 0u);
    EXPECT_EQ(Private(watcher, 1, true, Command(C::GROUP_OWNERSHIP, 1, 4, U32(1)))[C::CMD_RESULT],
              C::FILT_CMD_OK);
}

TEST_F(PrivateCommandTest, OrdinarySetsNeedTheOwnerAndQueriesDoNot) {
    LoadWithTwoAdapters();
    auto& owner = Open(50);
    auto& other = Open(51);
    Private(owner, 1, true, Command(C::GROUP_OWNERSHIP, 1, 4, U32(1)));
    const NDIS_OID oid = 0x0D01011A;
    wired_->setAnswer(oid, Bytes{});

    Bytes refused = Oid(other, OidRequest(1, 1, oid, U32(0)), 28);
    EXPECT_EQ(FiltGetU32(refused.data(), C::OID_NDIS_STATUS), NDIS_STATUS_NOT_ACCEPTED);
    EXPECT_EQ(FiltGetU32(refused.data(), C::OID_BYTES_WRITTEN), 0u);
    EXPECT_EQ(wired_->requestCount(oid), 0u);

    wired_->setAnswerU32(OID_GEN_MEDIA_CONNECT_STATUS, 0);
    Bytes query = Oid(other, OidRequest(1, 0, OID_GEN_MEDIA_CONNECT_STATUS), 28);
    EXPECT_EQ(FiltGetU32(query.data(), C::OID_NDIS_STATUS), NDIS_STATUS_SUCCESS);
    EXPECT_EQ(FiltGetU32(query.data(), C::OID_BYTES_WRITTEN), 4u);

    Bytes accepted = Oid(owner, OidRequest(1, 1, oid, U32(7)), 28);
    EXPECT_EQ(FiltGetU32(accepted.data(), C::OID_NDIS_STATUS), NDIS_STATUS_SUCCESS);
    EXPECT_EQ(wired_->answer(oid), U32(7));
}

TEST_F(PrivateCommandTest, UserFilterAndMulticastMergeWithTheUpperSide) {
    LoadWithTwoAdapters();
    auto& owner = Open(60);
    Private(owner, 1, true, Command(C::GROUP_OWNERSHIP, 1, 4, U32(1)));
    auto* upper = NdisEnvironment::instance().upperProtocol(u"\\Device\\{VWIRED-0001}");
    ASSERT_TRUE(upper);
    ASSERT_EQ(upper->setU32(OID_GEN_CURRENT_PACKET_FILTER, 0x0B).status, NDIS_STATUS_SUCCESS);
    Bytes set = Oid(owner, OidRequest(1, 1, OID_GEN_CURRENT_PACKET_FILTER, U32(0x20)), 28);
    EXPECT_EQ(FiltGetU32(set.data(), C::OID_NDIS_STATUS), NDIS_STATUS_SUCCESS);
    EXPECT_EQ(wired_->answer(OID_GEN_CURRENT_PACKET_FILTER), U32(0x2B));
    // The upper side's next set keeps the user side's bits.
    ASSERT_EQ(upper->setU32(OID_GEN_CURRENT_PACKET_FILTER, 0x01).status, NDIS_STATUS_SUCCESS);
    EXPECT_EQ(wired_->answer(OID_GEN_CURRENT_PACKET_FILTER), U32(0x21));

    // 30 upper addresses plus 3 of user mode's own do not fit 32.
    Bytes userList;
    for (uint8_t i = 0; i < 3; ++i)
        userList.insert(userList.end(), {0x01, 0x80, 0xc2, 0, 0, uint8_t(0x10 + i)});
    Bytes request = OidRequest(1, 1, OID_802_3_MULTICAST_LIST, userList);
    Bytes multicast = Oid(owner, request, uint32_t(request.size()));
    EXPECT_EQ(FiltGetU32(multicast.data(), C::OID_NDIS_STATUS), NDIS_STATUS_SUCCESS);
    Bytes upperList;
    for (uint8_t i = 0; i < 30; ++i) upperList.insert(upperList.end(), {0x01, 0x00, 0x5e, 0, 0, i});
    EXPECT_EQ(upper->set(OID_802_3_MULTICAST_LIST, upperList).status, NDIS_STATUS_MULTICAST_FULL);
    upperList.resize(29 * 6);
    EXPECT_EQ(upper->set(OID_802_3_MULTICAST_LIST, upperList).status, NDIS_STATUS_SUCCESS);
    EXPECT_EQ(wired_->answer(OID_802_3_MULTICAST_LIST).size(), 32u * 6);
}

}  // namespace
